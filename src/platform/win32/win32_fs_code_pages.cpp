// Code pages: the system's own, and texts to and from one.
#include "platform/win32/win32_fs.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace platform::win32 {

std::uint32_t Win32FileSystem::ansiCodePage()
{
    return GetACP();
}

bool Win32FileSystem::hasCodePage(std::uint32_t codePage)
{
    return IsValidCodePage(codePage);
}

std::string Win32FileSystem::toCodePage(std::uint32_t codePage, const std::string& utf8, bool* exact)
{
    if (auto bytes = tables_.encode(*this, codePage, utf8)) {
        if (exact)
            *exact = true;
        return std::move(*bytes);
    }
    std::wstring wide = widen(utf8);
    if (exact)
        *exact = true;
    if (wide.empty())
        return {};
    BOOL usedDefault = FALSE;
    DWORD flags = WC_NO_BEST_FIT_CHARS;
    BOOL* defaultUsed = &usedDefault;
    int n = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                defaultUsed);
    // GB18030 and UTF-8 hold every character and take neither the flag nor the question.
    if (n == 0 && (GetLastError() == ERROR_INVALID_FLAGS || GetLastError() == ERROR_INVALID_PARAMETER)) {
        flags = 0;
        defaultUsed = nullptr;
        n = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                nullptr);
    }
    std::string out(n, '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                        defaultUsed);
    if (exact)
        *exact = n > 0 && !usedDefault && fromCodePage(codePage, out) == utf8;
    return out;
}

std::string Win32FileSystem::fromCodePage(std::uint32_t codePage, const std::string& bytes, bool* valid)
{
    if (auto text = tables_.decode(*this, codePage, bytes)) {
        if (valid)
            *valid = true;
        return std::move(*text);
    }
    if (valid)
        *valid = true;
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    // Strict first: for a valid text, as lists almost always are, one pass is all it takes.
    DWORD flags = valid ? MB_ERR_INVALID_CHARS : 0;
    int n = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (n == 0 && flags) {
        *valid = false;
        flags = 0;
        n = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    }
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), n);
    return narrow(wide);
}

}  // namespace platform::win32
