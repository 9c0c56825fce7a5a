#include "platform/win32/case_key.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

std::string upperCaseBySystem(std::string_view utf8)
{
    // The paths of a list mostly share their folders: the run asked last is likely asked again.
    thread_local std::string lastRun, lastKey;
    if (utf8 == lastRun)
        return lastKey;
    const std::wstring wide = widen(std::string(utf8));
    if (wide.empty())
        return {};
    std::wstring upper(wide.size(), L'\0');
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), static_cast<int>(wide.size()), upper.data(),
                  static_cast<int>(upper.size()), nullptr, nullptr, 0);
    lastRun = utf8;
    lastKey = narrow(upper);
    return lastKey;
}

bool isAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

}  // namespace

std::string upperCaseKey(std::string_view utf8)
{
    // The system maps each character alone: ASCII letters (most of any path) are mapped here, and
    // only each run of other characters is handed over, whole, so a surrogate pair stays one.
    std::string key;
    key.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        if (isAscii(utf8[i])) {
            const char c = utf8[i++];
            key += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            continue;
        }
        std::size_t end = i;
        while (end < utf8.size() && !isAscii(utf8[end]))
            ++end;
        key += upperCaseBySystem(utf8.substr(i, end - i));
        i = end;
    }
    return key;
}

}  // namespace platform::win32
