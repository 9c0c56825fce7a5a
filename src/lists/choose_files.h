#pragma once
// Choosing files: what may enter the list store.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace lists {

// The notice naming refused paths or names after its heading: the first ten, then "……" when
// there are more.
std::string refusedNotice(const std::string& heading, const std::vector<std::string>& refused);

struct Given {
    std::vector<std::string> files;
    std::vector<std::string> missing;
    bool tooMany = false;  // refused whole: no files, no missing names
};

// What one drop, hand-over or command line may add at most.
constexpr std::size_t maxGivenFiles = 1'000'000;

// Paths given from outside the file dialog (a drop, the command line), in their order: a file
// stays, a folder brings the files directly inside it in the order the file browser lists them,
// and a name that is neither is missing. Protected system files (hidden and system, such as
// desktop.ini or Thumbs.db) stay behind, as the file browser does not show them. A file given
// twice, by name or through its folder, counts once, where it first comes (names compared as
// the file system does). More than limit paths or files are refused whole, before any folder
// is listed once the paths alone are too many.
Given filesGiven(platform::FileSystem& fs, const std::vector<std::string>& paths,
                 std::size_t limit = maxGivenFiles);

}  // namespace lists
