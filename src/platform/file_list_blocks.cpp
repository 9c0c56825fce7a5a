#include "platform/file_list_blocks.h"

#include <cstdint>

#include "platform/utf8.h"

namespace platform {

namespace {

std::uint32_t le32(std::span<const unsigned char> block, std::size_t at)
{
    return block[at] | block[at + 1] << 8 | block[at + 2] << 16 | static_cast<std::uint32_t>(block[at + 3]) << 24;
}

bool nulAt(std::span<const unsigned char> units, std::size_t i) { return units[i] == 0 && units[i + 1] == 0; }

// Splits UTF-16 LE units at NUL into UTF-8 strings. The units end where the list ends: at an
// empty string when closedByEmpty (a drop), at the end of the units otherwise (a hand-over).
// Nothing when a string runs past the end, or the closing empty string is missing.
std::optional<std::vector<std::string>> nulEndedStrings(std::span<const unsigned char> units, bool closedByEmpty)
{
    std::vector<std::string> strings;
    const std::size_t end = units.size() & ~std::size_t{1};
    std::size_t start = 0;
    while (start < end) {
        std::size_t nul = start;
        while (nul < end && !nulAt(units, nul))
            nul += 2;
        if (nul == end)
            return std::nullopt;
        if (nul == start && closedByEmpty)
            return strings;
        if (nul > start)
            strings.push_back(utf16ToUtf8(std::string(units.begin() + start, units.begin() + nul), false));
        start = nul + 2;
    }
    if (closedByEmpty)
        return std::nullopt;
    return strings;
}

}  // namespace

std::optional<std::vector<std::string>> droppedFiles(std::span<const unsigned char> block)
{
    if (block.size() < dropFilesHeaderSize)
        return std::nullopt;
    const std::uint32_t listAt = le32(block, 0), wide = le32(block, 16);
    if (!wide || listAt < dropFilesHeaderSize || listAt >= block.size())
        return std::nullopt;
    return nulEndedStrings(block.subspan(listAt), true);
}

std::optional<std::vector<std::string>> handedOverFiles(std::span<const unsigned char> block)
{
    if (block.empty() || block.size() % 2 != 0)
        return std::nullopt;
    return nulEndedStrings(block, false);
}

}  // namespace platform
