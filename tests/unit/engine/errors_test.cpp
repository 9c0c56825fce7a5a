#include <gtest/gtest.h>

#include "platform/errors.h"

namespace {

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersSortingAfterIt)
{
    EXPECT_EQ(platform::errorBoxText("File access denied"), "File access denied.");
    EXPECT_EQ(platform::errorBoxText("done."), "done.");
    EXPECT_EQ(platform::errorBoxText("really!"), "really!");
    EXPECT_EQ(platform::errorBoxText("I/O error 32"), "I/O error 32.");
    EXPECT_EQ(platform::errorBoxText("'1.5' is not a valid integer value"), "'1.5' is not a valid integer value.");
    EXPECT_EQ(platform::errorBoxText("文件"), "文件.");
    EXPECT_EQ(platform::errorBoxText(""), "");
}

TEST(IoErrorText, NamesTheKnownCodesAndNumbersTheRest)
{
    const std::pair<int, const char*> cases[] = {
        {2, "File not found"},     {3, "Invalid filename"},        {4, "Too many open files"},
        {5, "File access denied"}, {100, "Read beyond end of file"}, {101, "Disk full"},
        {106, "Invalid numeric input"}, {32, "I/O error 32"},      {1224, "I/O error 1224"},
    };
    for (auto [code, text] : cases)
        EXPECT_EQ(platform::ioErrorText(code), text) << code;
}

// However a file was written, the system's own code for a full disk or a file's end is told as
// the texts know it.
TEST(IoErrorText, TheSystemsCodesForAFullDiskAndAFilesEndAreTheTextsOwn)
{
    const std::pair<int, const char*> cases[] = {
        {112, "Disk full"}, {39, "Disk full"}, {101, "Disk full"}, {38, "Read beyond end of file"},
        {32, "I/O error 32"}, {2, "File not found"},
    };
    for (auto [code, text] : cases)
        EXPECT_STREQ(platform::IoError(code).what(), text) << code;
}

TEST(ParseInteger, TakesWholeNumbersOnly)
{
    EXPECT_EQ(platform::parseInteger("001"), 1);
    EXPECT_EQ(platform::parseInteger("9999"), 9999);
    EXPECT_EQ(platform::parseInteger("-3"), -3);
    for (const char* bad : {"", "1.5", ".", "1 ", "abc", "99999999999"})
        EXPECT_THROW(platform::parseInteger(bad), platform::ConvertError) << bad;
    try {
        platform::parseInteger("1.5");
    } catch (const platform::ConvertError& e) {
        EXPECT_STREQ(e.what(), "'1.5' is not a valid integer value");
    }
}

}  // namespace
