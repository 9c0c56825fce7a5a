#pragma once
// The key under which Windows takes two names for one: every character in upper case, as the
// invariant locale maps it.
#include <string>

namespace platform::win32 {

std::string upperCaseKey(const std::string& utf8);

}  // namespace platform::win32
