#pragma once
// The line counters beside the two views.
#include <cstddef>
#include <string>
#include <vector>

namespace lists {

// Lines of a view's text; a line break at the very end starts no further line.
std::size_t countLines(const std::string& text);
// The entries one to a line, as the edit control breaks lines (CR LF); a control character
// shows as its visible picture (U+2400 + code), since a NUL would end the view's text.
std::string viewText(const std::vector<std::string>& entries);
// "共 " + count + " 行"
std::string counterText(std::size_t lines);

}  // namespace lists
