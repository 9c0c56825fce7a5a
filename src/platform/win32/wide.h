#pragma once
// The UTF-8 / UTF-16 boundary of the Win32 backend.
#include <string>

namespace platform::win32 {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);
// A path as the W functions take it: long absolute paths get the "\\?\" prefix so that they
// work beyond MAX_PATH.
std::wstring systemPath(const std::string& utf8);

}  // namespace platform::win32
