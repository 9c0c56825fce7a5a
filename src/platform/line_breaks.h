#pragma once
// The one rule of where a line ends, shared by the list files, the line counters and the views:
// at CR LF, at a lone CR and at a lone LF.
#include <cstddef>
#include <string_view>

namespace platform {

// The length of the line break that starts at text[i]: 2 for CR LF, 1 for a lone CR or LF,
// 0 when text[i] breaks no line.
template <class Char>
constexpr std::size_t lineBreakAt(std::basic_string_view<Char> text, std::size_t i)
{
    if (text[i] == Char('\r'))
        return i + 1 < text.size() && text[i + 1] == Char('\n') ? 2 : 1;
    return text[i] == Char('\n') ? 1 : 0;
}

// Calls line(start, length) for every line of text; a break at the very end starts no further line.
template <class Char, class Line>
void forEachLine(std::basic_string_view<Char> text, Line&& line)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t br = lineBreakAt(text, i);
        if (br == 0) {
            ++i;
            continue;
        }
        line(start, i - start);
        i += br;
        start = i;
    }
    if (start < text.size())
        line(start, text.size() - start);
}

// The lines of text, as the counters beside the views tell them.
inline std::size_t countLines(std::string_view text)
{
    std::size_t lines = 0;
    forEachLine(text, [&](std::size_t, std::size_t) { ++lines; });
    return lines;
}

// The text up to its first line break.
template <class Char>
constexpr std::basic_string_view<Char> firstLine(std::basic_string_view<Char> text)
{
    std::size_t end = 0;
    while (end < text.size() && lineBreakAt(text, end) == 0)
        ++end;
    return text.substr(0, end);
}

}  // namespace platform
