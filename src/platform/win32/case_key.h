#pragma once
// The key under which Windows takes two names for one: every character in upper case, as the
// invariant locale maps it.
#include <string>
#include <string_view>

namespace platform::win32 {

std::string upperCaseKey(std::string_view utf8);

}  // namespace platform::win32
