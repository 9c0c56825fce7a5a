#pragma once
// The line counters beside the two views.
#include <cstddef>
#include <string>

namespace lists {

// Lines of a view's text; a line break at the very end starts no further line.
std::size_t countLines(const std::string& text);
// "共 " + count + " 行"
std::string counterText(std::size_t lines);

}  // namespace lists
