// The file lists of drops and hand-overs, as bytes a careless or hostile sender may have made.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>

#include "platform/file_list_blocks.h"
#include "platform/utf8.h"

using namespace std::string_literals;
using Bytes = std::vector<unsigned char>;
using Paths = std::vector<std::string>;

namespace {

void putLe32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        b[at + k] = static_cast<unsigned char>(v >> (8 * k));
}

Bytes utf16(const std::u16string& units)
{
    Bytes b;
    for (char16_t u : units) {
        b.push_back(static_cast<unsigned char>(u & 0xFF));
        b.push_back(static_cast<unsigned char>(u >> 8));
    }
    return b;
}

// A DROPFILES as the file browser makes it: the list right after the header.
Bytes dropBlock(const std::u16string& list, std::uint32_t wide = 1)
{
    Bytes b(platform::dropFilesHeaderSize, 0);
    putLe32(b, 0, platform::dropFilesHeaderSize);
    putLe32(b, 4, 300);
    putLe32(b, 8, 500);
    putLe32(b, 16, wide);
    const Bytes l = utf16(list);
    b.insert(b.end(), l.begin(), l.end());
    return b;
}

std::optional<Paths> dropped(const Bytes& b) { return platform::droppedFiles(b); }

TEST(FileListBlocks, ADropIsReadOnlyWhenWholeAndWide)
{
    const std::u16string two = u"C:\\a.jpg\0D:\\\u6DFA\U0001F600.png\0\0"s;
    const Paths twoPaths{"C:\\a.jpg", "D:\\\xE6\xB7\xBA\xF0\x9F\x98\x80.png"};
    Bytes listFurther = dropBlock(two);
    listFurther.insert(listFurther.begin() + platform::dropFilesHeaderSize, {0xAA, 0xBB, 0xCC});  // odd offset
    putLe32(listFurther, 0, platform::dropFilesHeaderSize + 3);
    Bytes slack = dropBlock(two);
    slack.insert(slack.end(), {'x', 0, 'y'});  // the system may round a block up

    auto withListAt = [&](std::uint32_t at) {
        Bytes b = dropBlock(two);
        putLe32(b, 0, at);
        return b;
    };
    auto cut = [&](std::size_t bytesOff) {
        Bytes b = dropBlock(two);
        b.resize(b.size() - bytesOff);
        return b;
    };
    const struct {
        const char* what;
        Bytes block;
        std::optional<Paths> files;
    } cases[] = {
        {"two paths", dropBlock(two), twoPaths},
        {"the list further on, at an odd offset", listFurther, twoPaths},
        {"slack after the closing NULs", slack, twoPaths},
        {"an empty list", dropBlock(u"\0"s), Paths{}},
        {"the list beyond the block", withListAt(4096), std::nullopt},
        {"the list at the block's very end", withListAt(static_cast<std::uint32_t>(dropBlock(two).size())), std::nullopt},
        {"the list far beyond", withListAt(0xFFFFFFFF), std::nullopt},
        {"the list over the header", withListAt(0), std::nullopt},
        {"the list in the header's last field", withListAt(16), std::nullopt},
        {"no closing NUL after the last path", cut(2), std::nullopt},
        {"the last path not ended", cut(4), std::nullopt},
        {"half a unit short", cut(3), std::nullopt},
        {"code-page strings", dropBlock(two, 0), std::nullopt},
        {"any non-zero wide flag", dropBlock(two, 0x100), twoPaths},
        {"shorter than its header", Bytes(19, 0), std::nullopt},
        {"nothing at all", Bytes{}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // Every block in a heap block of exactly its size, so that a read past it is seen.
        const Bytes exact(c.block);
        EXPECT_EQ(dropped(exact), c.files);
    }
}

TEST(FileListBlocks, AHandOverIsReadOnlyWhenEveryPathIsEnded)
{
    const struct {
        const char* what;
        Bytes block;
        std::optional<Paths> files;
    } cases[] = {
        {"two paths", utf16(u"C:\\a\0D:\\b\0"s), Paths{"C:\\a", "D:\\b"}},
        {"empty ones passed over", utf16(u"\0C:\\a\0\0D:\\b\0"s), Paths{"C:\\a", "D:\\b"}},
        {"the last one not ended", utf16(u"C:\\a\0D:\\b"s), std::nullopt},
        {"an odd size", [] { Bytes b = utf16(u"C:\\a\0"s); b.push_back(0); return b; }(), std::nullopt},
        {"nothing", Bytes{}, std::nullopt},
        {"a lone surrogate", utf16(u"C:\\\xD800x\0"s), Paths{"C:\\\xEF\xBF\xBDx"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(platform::handedOverFiles(c.block), c.files);
    }
}

// What a block holds, worked out another way: the units after the header as one string, the
// list ending at the first empty string.
std::optional<Paths> referenceDrop(const Bytes& b)
{
    if (b.size() < 20)
        return std::nullopt;
    const std::uint32_t at = b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t(b[3]) << 24;
    if (!(b[16] | b[17] | b[18] | b[19]) || at < 20 || at >= b.size())
        return std::nullopt;
    std::u16string units;
    for (std::size_t i = at; i + 1 < b.size(); i += 2)
        units.push_back(static_cast<char16_t>(b[i] | b[i + 1] << 8));
    const std::size_t end = units.empty() || units[0] == 0 ? 0 : units.find(u"\0\0"s);
    if (units.empty() || end == std::u16string::npos)
        return std::nullopt;
    Paths paths;
    for (std::size_t start = 0; start < end;) {
        const std::size_t nul = units.find(u'\0', start);
        std::string bytes;
        for (std::size_t k = start; k < nul; ++k)
            bytes += {static_cast<char>(units[k] & 0xFF), static_cast<char>(units[k] >> 8)};
        paths.push_back(platform::utf16ToUtf8(bytes, false));
        start = nul + 1;
    }
    return paths;
}

// A hand-over's paths worked out another way: the block must end in NUL; split at every NUL.
std::optional<Paths> referenceHandOver(const Bytes& b)
{
    if (b.empty() || b.size() % 2 || b[b.size() - 1] || b[b.size() - 2])
        return std::nullopt;
    Paths paths;
    std::string path;
    for (std::size_t i = 0; i < b.size(); i += 2) {
        if (b[i] || b[i + 1]) {
            path += {static_cast<char>(b[i]), static_cast<char>(b[i + 1])};
        } else if (!path.empty()) {
            paths.push_back(platform::utf16ToUtf8(path, false));
            path.clear();
        }
    }
    return paths;
}

// Seeded: blocks made well, then damaged as a sender could, each checked against the reference
// under the sanitizers, as a drop and (without its header) as a hand-over. Bounded to about a
// second.
TEST(FileListBlocks, GeneratedBlocksMatchTheReferenceAndNeverReadOutside)
{
    const std::uint32_t seed = 20261210;
    std::mt19937 random(seed);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    const char16_t alphabet[] = {u'a', u'Z', u'\\', u':', u'.', u' ', 0x6DFA, 0xD83D, 0xDE00, 0xDC00, 0xFFFF, 0};
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    int accepted = 0, refused = 0, round = 0;
    for (; round < 200000 && std::chrono::steady_clock::now() < until; ++round) {
        std::u16string list;
        for (std::size_t n = pick(5); n > 0; --n) {
            for (std::size_t len = 1 + pick(12); len > 0; --len)
                list += alphabet[pick(sizeof alphabet / sizeof *alphabet - 1)];
            list += u'\0';
        }
        list += u'\0';
        Bytes b = dropBlock(list, pick(4) == 0 ? 0 : 1);
        for (std::size_t damage = pick(4); damage > 0; --damage) {
            switch (pick(5)) {
            case 0: b.resize(pick(b.size() + 1)); break;
            case 1: if (b.size() >= 4) putLe32(b, 0, static_cast<std::uint32_t>(pick(b.size() + 8))); break;
            case 2: if (!b.empty()) b[pick(b.size())] = 0; break;
            case 3: if (!b.empty()) b[pick(b.size())] = static_cast<unsigned char>(random()); break;
            case 4: b.push_back(static_cast<unsigned char>(random())); break;
            }
        }
        const Bytes exact(b);
        const auto got = platform::droppedFiles(exact);
        ASSERT_EQ(got, referenceDrop(exact)) << "seed " << seed << ", round " << round;
        const Bytes units(exact.begin() + std::min(exact.size(), platform::dropFilesHeaderSize), exact.end());
        ASSERT_EQ(platform::handedOverFiles(units), referenceHandOver(units)) << "seed " << seed << ", round " << round;
        got ? ++accepted : ++refused;
    }
    // Both kinds were met often enough for the run to mean something.
    EXPECT_GT(accepted, 100) << round << " rounds";
    EXPECT_GT(refused, 100) << round << " rounds";
}

}  // namespace
