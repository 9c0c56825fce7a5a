#pragma once
// How the in-memory volume spells names: folded as Windows folds them, and a path's parent;
// private to src/platform/headless.
#include <locale.h>
#include <wctype.h>

#include <string>

#include "platform/utf8.h"

namespace platform::headless {

// Windows folds names by the simple upper-case mapping of every character; glibc's C.UTF-8
// locale carries the same Unicode table. Bytes that are not UTF-8 stay as they are.
inline std::string upperCase(const std::string& text)
{
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length == 0 || i + length > text.size()) {
            out += text[i++];
            continue;
        }
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out += utf8Encode(static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), unicode)));
        i += length;
    }
    return out;
}

inline std::string fold(const std::string& path)
{
    std::string key = upperCase(path);
    while (key.size() > 3 && key.back() == '\\')
        key.pop_back();
    return key;
}

inline std::string parentOf(const std::string& path)
{
    auto cut = path.find_last_of('\\');
    if (cut == std::string::npos)
        return "";
    return cut == 2 && path[1] == ':' ? path.substr(0, 3) : path.substr(0, cut);
}

}  // namespace platform::headless
