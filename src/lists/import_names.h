#pragma once
// Importing prepared names: one new name per line of a text file.
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace lists {

// The names file as text. A byte-order mark (UTF-8, UTF-16 LE or BE) decides and is dropped;
// without one, text that is valid UTF-8 with at least one non-ASCII byte is UTF-8 (what today's
// editors save), anything else is in the ANSI code page.
std::string decodeNamesFile(platform::FileSystem& fs, const std::string& bytes);

// Entry i of the original list with name line i: its folder, the name as it stands, its
// extension; as many as the shorter of the two lists.
std::vector<std::string> importedPaths(const std::vector<std::string>& originals,
                                       const std::vector<std::string>& names);

}  // namespace lists
