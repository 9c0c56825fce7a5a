#pragma once
// What the two views show of a list, and how many lines they count.
#include <cstddef>
#include <string>

namespace lists {

// Lines of a view's text; a line break at the very end starts no further line.
std::size_t countLines(const std::string& text);
// A list file's text as a view shows it: a control character inside an entry shows as its
// visible picture (U+2400 + code), since a NUL would end the view's text.
std::string viewText(std::string listText);

}  // namespace lists
