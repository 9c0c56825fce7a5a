#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/code_page_table.h"
#include "platform/headless/headless_fs.h"
#include "platform/utf8.h"

namespace {

using platform::CodePageTable;

// The test volume converts through iconv, as Windows does through its own tables: the tables
// learnt from it must convert every text exactly as it does, or leave the text to it.
class CodePageTables : public testing::TestWithParam<std::uint32_t> {
protected:
    platform::headless::HeadlessFileSystem fs;
};

// Bytes mostly of the code page's characters (which the system writes for random characters),
// with now and then a byte that may begin no character, or a lead byte cut off at the end.
std::string generatedBytes(platform::FileSystem& fs, std::uint32_t codePage, std::mt19937& random)
{
    std::string text;
    for (int i = random() % 40; i > 0; --i) {
        switch (random() % 4) {
        case 0: text += static_cast<char>(random() % 0x80); break;
        case 1: text += platform::utf8Encode(0x4E00 + random() % 0x5200); break;
        case 2: text += platform::utf8Encode(0xA0 + random() % 0x2000); break;
        default: text += "\r\nC:\\照片\\IMG_20260517_0930"; break;
        }
    }
    std::string bytes = fs.toCodePage(codePage, text);
    if (random() % 4 == 0)
        bytes.insert(random() % (bytes.size() + 1), 1, static_cast<char>(0x80 + random() % 0x80));
    return bytes;
}

// Characters within the code page, beyond it, beyond the Basic Multilingual Plane, and now and
// then a byte that is no UTF-8.
std::string generatedText(std::mt19937& random)
{
    std::string text;
    for (int i = random() % 40; i > 0; --i) {
        switch (random() % 6) {
        case 0: text += static_cast<char>(random() % 0x80); break;
        case 1:
        case 2: text += platform::utf8Encode(0x4E00 + random() % 0x5200); break;
        case 3: text += platform::utf8Encode(0xA0 + random() % 0xFF00); break;
        case 4: text += "\r\nD:\\假期 2026\\IMG_20260517_" + std::to_string(random() % 10000); break;
        default: {
            // An emoji; or an encoded surrogate, an overlong "/", a cut character, a stray byte.
            static const char* const notUtf8[] = {"\xED\xA0\x80", "\xC0\xAF", "\xE4\xB8", "\x80", "\xFF"};
            text += random() % 2 ? platform::utf8Encode(0x1F600 + random() % 64) : notUtf8[random() % 5];
            break;
        }
        }
    }
    return text;
}

TEST_P(CodePageTables, ConvertExactlyAsTheSystemDoesOrLeaveTheTextToIt)
{
    const std::uint32_t codePage = GetParam();
    const auto table = CodePageTable::learn(fs, codePage);
    ASSERT_NE(table, nullptr);
    std::mt19937 random(codePage);
    for (int i = 0; i < 3000; ++i) {
        const std::string bytes = generatedBytes(fs, codePage, random);
        bool valid = false;
        const std::string text = fs.fromCodePage(codePage, bytes, &valid);
        const auto decoded = table->decode(bytes);
        ASSERT_EQ(decoded.has_value(), valid) << i;
        if (decoded) {
            ASSERT_EQ(*decoded, text) << i;
        }

        const std::string written = generatedText(random);
        bool exact = false;
        const std::string encodedBySystem = fs.toCodePage(codePage, written, &exact);
        const auto encoded = table->encode(written);
        ASSERT_EQ(encoded.has_value(), exact) << i;
        if (encoded) {
            ASSERT_EQ(*encoded, encodedBySystem) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(OneAndTwoByteCodePages, CodePageTables, testing::Values(936u, 932u, 1252u));

// Wine writes U+F8F5 in code page 936 as the byte FF, which it never reads as a character.
class OneWayByte : public platform::headless::HeadlessFileSystem {
public:
    std::string toCodePage(std::uint32_t codePage, const std::string& utf8, bool* exact = nullptr) override
    {
        const std::string oneWay = platform::utf8Encode(0xF8F5);
        const auto at = utf8.find(oneWay);
        if (at == std::string::npos)
            return HeadlessFileSystem::toCodePage(codePage, utf8, exact);
        bool before = false, after = false;
        std::string bytes = HeadlessFileSystem::toCodePage(codePage, utf8.substr(0, at), &before) + "\xFF" +
                            toCodePage(codePage, utf8.substr(at + oneWay.size()), &after);
        if (exact)
            *exact = false;
        return bytes;
    }
};

TEST(CodePageTable, ACharacterWrittenAsAByteNeverReadBackIsNoCharacterOfTheCodePage)
{
    OneWayByte fs;
    const auto table = CodePageTable::learn(fs, 936);
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(table->encode("C:\\" + platform::utf8Encode(0xF8F5) + ".jpg"));
    EXPECT_FALSE(table->decode("C:\\\xFF.jpg"));
    EXPECT_EQ(table->encode("C:\\照片.jpg"), fs.toCodePage(936, "C:\\照片.jpg"));
}

TEST(CodePageTable, IsNotLearntWhereCharactersTakeMoreThanTwoBytes)
{
    platform::headless::HeadlessFileSystem fs;
    EXPECT_EQ(CodePageTable::learn(fs, platform::codePage::gb18030), nullptr);
    EXPECT_EQ(CodePageTable::learn(fs, 65001), nullptr);
}

TEST(CodePageTable, LongTextsAloneAreLeftToTheTables)
{
    platform::headless::HeadlessFileSystem fs;
    platform::CodePageTables tables;
    const std::string line = "C:\\照片\\IMG_0001.jpg\r\n";
    std::string longText;
    while (longText.size() < platform::CodePageTables::worthFrom)
        longText += line;
    EXPECT_FALSE(tables.encode(fs, 936, line));
    const auto encoded = tables.encode(fs, 936, longText);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(*encoded, fs.toCodePage(936, longText));
    // A code page that cannot be learnt is asked once and then left to the system.
    EXPECT_FALSE(tables.encode(fs, 65001, longText));
    EXPECT_FALSE(tables.encode(fs, 65001, longText));
}

}  // namespace
