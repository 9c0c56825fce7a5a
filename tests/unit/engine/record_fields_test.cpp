// The fields of the program's records read back as they were written, whatever a path holds.
#include <gtest/gtest.h>

#include <random>

#include "rename/record_fields.h"

namespace {

using namespace renaming::fields;

TEST(RecordFields, GeneratedPathsAndIdentitiesReadBackAsWritten)
{
    std::mt19937_64 random(11);
    // Control characters, the escape's own "%", tabs and line ends, UTF-8 and plain letters.
    static const std::string pieces[] = {"a", "%", "%41", "\t", "\n", "\r", "\x01", "\x1f", "照片", " ", "\\", "."};
    for (int round = 0; round < 500; ++round) {
        std::string path;
        for (std::size_t k = random() % 12; k > 0; --k)
            path += pieces[random() % std::size(pieces)];
        const platform::FileIdentity id{random(), random(), random() % 1000, random()};
        std::string line = "head\t";
        appendEscaped(line, path);
        line += '\t';
        appendIdentity(line, id);
        line += '\t';
        appendIdentity(line, std::nullopt);
        line += '\t';
        appendAttributes(line, static_cast<std::uint32_t>(random() % 0x10000));
        line += '\t';
        appendAttributes(line, platform::attr::invalid);

        ASSERT_EQ(line.find_first_of("\n\r"), std::string::npos) << path;
        const auto f = split(line);
        ASSERT_EQ(f.size(), 6u) << path;
        EXPECT_EQ(f[0], "head");
        EXPECT_EQ(unescape(f[1]), path);
        EXPECT_EQ(identityOf(f[2]), id);
        EXPECT_EQ(f[3], "-");
        EXPECT_TRUE(number(f[4]).has_value()) << f[4];
        EXPECT_EQ(f[5], "-");
    }
}

}  // namespace
