#pragma once
// What the two views show of a list.
#include <string>

namespace lists {

// A list file's text as a view shows it: a control character inside an entry shows as its
// visible picture (U+2400 + code), since a NUL would end the view's text.
std::string viewText(std::string listText);

}  // namespace lists
