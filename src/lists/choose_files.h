#pragma once
// Choosing files: what may enter the list store.
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace lists {

struct Representable {
    std::vector<std::string> kept;
    std::vector<std::string> refused;
};

// A path that the ANSI code page cannot hold exactly would be stored as "?" or a look-alike,
// which may name another, real file: such paths are refused.
Representable splitByCodePage(platform::FileSystem& fs, const std::vector<std::string>& paths);

// The notice naming refused paths: the first ten, then "……" when there are more.
std::string refusedNotice(const std::vector<std::string>& refused);

}  // namespace lists
