#pragma once
// Importing prepared names: one new name per line of a text file.
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace lists {

// Entry i of the original list with name line i: its folder, the name as it stands, its
// extension; as many as the shorter of the two lists.
std::vector<std::string> importedPaths(const std::vector<std::string>& originals,
                                       const std::vector<std::string>& names);

}  // namespace lists
