// Files that come from outside the program, generated: names files of every kind of bytes and
// list files another program may have written. Seeded and bounded, under the sanitizers.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>

#include "lists/list_store.h"
#include "lists/names_decoding.h"
#include "platform/headless/headless_fs.h"
#include "platform/utf8.h"

namespace {

// Bytes a names file may hold: pieces of UTF-8 text of several scripts, the same in the code
// page, line breaks, byte-order marks, and bytes of no encoding at all.
class Generator {
public:
    explicit Generator(std::uint32_t seed) : random_(seed) {}
    std::size_t pick(std::size_t n) { return static_cast<std::size_t>(random_() % n); }

    std::string text(std::size_t pieces)
    {
        static const char* const words[] = {"图片", "年度", "café", "Dvořák", "Ωμέγα", "α", "é", "Привет", "ファイル",
                                            "파일", "列夫·托尔斯泰", "x", "07", " ", "\r\n", "\r", "\n", "·", "\t"};
        std::string t;
        for (std::size_t i = 0; i < pieces; ++i)
            t += words[pick(std::size(words))];
        return t;
    }

    std::string bytes(platform::FileSystem& fs)
    {
        std::string b;
        for (std::size_t n = pick(8); n > 0; --n) {
            switch (pick(4)) {
            case 0: b += text(1 + pick(4)); break;
            case 1: b += fs.toAnsi(text(1 + pick(4))); break;
            case 2: for (std::size_t k = 1 + pick(6); k > 0; --k) b += static_cast<char>(random_()); break;
            case 3: b += std::string("\xEF\xBB\xBF\xFF\xFE\xFE\xFF\r\n", 10).substr(pick(10), 1 + pick(3)); break;
            }
        }
        return b;
    }

private:
    std::mt19937 random_;
};

template <typename Round>
int runFor(std::chrono::milliseconds budget, int maxRounds, Round round)
{
    const auto until = std::chrono::steady_clock::now() + budget;
    int n = 0;
    for (; n < maxRounds && std::chrono::steady_clock::now() < until && !testing::Test::HasFatalFailure(); ++n)
        round(n);
    return n;
}

// A names file decodes to valid text whatever its bytes; text that is ASCII alone is taken as
// it is; and a text's plausibility does not depend on the direction it is read in, nor does a
// space between two texts change what either is worth, so each word is judged as a whole.
TEST(GeneratedInput, NamesFilesDecodeToTextAndJudgeEachWordAsAWhole)
{
    const std::uint32_t seed = 4207;
    platform::headless::HeadlessFileSystem fs;
    Generator g(seed);
    const int rounds = runFor(std::chrono::milliseconds(1500), 5000, [&](int round) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", round " + std::to_string(round));
        const std::string bytes = g.bytes(fs);
        const std::string text = lists::decodeNamesFile(fs, bytes);
        ASSERT_TRUE(platform::isValidUtf8(text));
        if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            EXPECT_EQ(text, bytes);
        }

        const std::string a = g.text(g.pick(6)), b = g.text(g.pick(6));
        std::u32string reversed = platform::utf8Decode(a);
        std::reverse(reversed.begin(), reversed.end());
        std::string back;
        for (char32_t c : reversed)
            back += platform::utf8Encode(c);
        const lists::Plausibility pa = lists::plausibility(a), pb = lists::plausibility(b),
                                  pr = lists::plausibility(back), joined = lists::plausibility(a + " " + b);
        EXPECT_EQ(pr.score, pa.score) << a;
        EXPECT_EQ(pr.characters, pa.characters) << a;
        EXPECT_EQ(joined.score, pa.score + pb.score + 1) << a << " | " << b;
        EXPECT_EQ(joined.characters, pa.characters + pb.characters + 1) << a << " | " << b;
    });
    EXPECT_GT(rounds, 200);
}

// Whatever another program left in a list file, the entries read hold no line break, and
// written back they give the file's text with every line break as CR LF and the last one ended.
TEST(GeneratedInput, ListFilesReadAsWholeLinesWhateverTheirBytes)
{
    const std::uint32_t seed = 1210;
    platform::headless::HeadlessFileSystem fs;
    lists::ListStore store(fs);
    Generator g(seed);
    const int rounds = runFor(std::chrono::milliseconds(1000), 5000, [&](int round) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", round " + std::to_string(round));
        fs.addFile(store.pathOf(lists::ListFile::OriginalPaths), g.bytes(fs));
        const std::string text = store.text(lists::ListFile::OriginalPaths);
        const auto entries = store.read(lists::ListFile::OriginalPaths);
        std::string expected;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' || text[i] == '\n') {
                expected += "\r\n";
                i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
            } else {
                expected += text[i];
            }
        }
        if (!expected.empty() && expected.back() != '\n')
            expected += "\r\n";
        EXPECT_EQ(lists::joinLines(entries), expected);
        for (const auto& e : entries)
            EXPECT_EQ(e.find_first_of("\r\n"), std::string::npos);
    });
    EXPECT_GT(rounds, 200);
}

// One line of a megabyte, in scripts whose words used to be judged once per letter: read in
// linear time (quadratic, it took minutes), and read right.
TEST(GeneratedInput, AMegabyteLineOfOneWordIsDecoded)
{
    platform::headless::HeadlessFileSystem fs;
    for (const std::string letters : {"αβγ", "éa"}) {
        std::string line;
        while (line.size() < (1u << 20))
            line += letters;
        EXPECT_EQ(lists::decodeNamesFile(fs, line), line);
    }
}

}  // namespace
