#pragma once
// What the program last wrote into the list store, kept in its private folder where no other
// program of the user can change it: the digest of each of the four list files, and the digest
// of the original path file that the new list was made from. A list on disk is the program's
// own while its digest is the recorded one; a new list may be executed only together with the
// original list it was made from.
#include <array>
#include <optional>
#include <string>

#include "lists/list_store.h"

namespace lists {

struct ListRecord {
    // By ListFile; empty: the program holds that file absent.
    std::array<std::string, 4> digests;
    // The original path file the new list belongs to; empty: to none.
    std::string newMadeFrom;

    std::string& of(ListFile file) { return digests[static_cast<std::size_t>(file)]; }
    const std::string& of(ListFile file) const { return digests[static_cast<std::size_t>(file)]; }

    std::string text() const;
    // Nothing for a text the program did not write whole.
    static std::optional<ListRecord> parse(const std::string& text);
};

}  // namespace lists
