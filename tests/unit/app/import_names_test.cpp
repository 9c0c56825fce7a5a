#include <gtest/gtest.h>

#include <cstdio>

#include "app/about_window.h"
#include "harness.h"
#include "lists/import_names.h"
#include "lists/names_decoding.h"
#include "lists/path_parts.h"

using lists::ListFile;
using test::Harness;
using test::user;
using Lines = std::vector<std::string>;

namespace {

class Import : public testing::Test {
protected:
    Harness h;
    const std::string namesFile = "D:\\names.txt";

    void originals(const Lines& paths) { h.form.store().rewrite(lists::ListPair::Original, paths); }
    void import(const std::string& bytes)
    {
        h.fs.addFile(namesFile, bytes);
        h.ui.fileAnswers.push_back(platform::OpenFileAnswer{{namesFile}, 1});
        user(h.form.Button1).click();
    }
};

TEST_F(Import, PairsByLineUpToTheShorterList)
{
    originals({"C:\\p\\1.jpg", "C:\\p\\2.jpg", "C:\\p\\3.jpg", "C:\\p\\4.jpg", "C:\\p\\5.jpg"});
    import("A\r\nB\r\nC\r\n");
    EXPECT_EQ(h.list(ListFile::NewPaths), (Lines{"C:\\p\\A.jpg", "C:\\p\\B.jpg", "C:\\p\\C.jpg"}));
    EXPECT_EQ(h.listBytes(ListFile::NewNames), "A.jpg\r\nB.jpg\r\nC.jpg\r\n");
    EXPECT_EQ(h.form.lb_new.text(), "共 3 行");
    EXPECT_TRUE(h.ui.shown.empty());

    import("x\ny\nz\nw\nv\nu\nt\n");  // more names than originals
    EXPECT_EQ(h.list(ListFile::NewNames), (Lines{"x.jpg", "y.jpg", "z.jpg", "w.jpg", "v.jpg"}));
}

TEST_F(Import, EachOriginalKeepsItsFolderAndExtension)
{
    originals({"C:\\a\\1.jpg", "D:\\b\\2.PNG", "C:\\c\\README", "C:\\d\\photo.jpg", "C:\\e\\f.gif", "C:\\g\\h.txt",
               "C:\\i\\j.txt"});
    import("one\rtwo\nthree\r\nphoto.jpg\r\n\r\n  padded \r\nsub\\deeper\r\n");
    EXPECT_EQ(h.list(ListFile::NewPaths), (Lines{"C:\\a\\one.jpg", "D:\\b\\two.PNG", "C:\\c\\three",
                                                 "C:\\d\\photo.jpg.jpg", "C:\\e\\.gif", "C:\\g\\  padded .txt",
                                                 "C:\\i\\sub\\deeper.txt"}));
    EXPECT_EQ(h.list(ListFile::NewNames).back(), "deeper.txt");
}

TEST_F(Import, WithoutAnOriginalListBothFilesAreEmpty)
{
    import("A\r\n");
    EXPECT_TRUE(h.listExists(ListFile::NewPaths));
    EXPECT_EQ(h.listBytes(ListFile::NewPaths), "");
    EXPECT_EQ(h.listBytes(ListFile::NewNames), "");
    EXPECT_EQ(h.form.mmRenamed.text(), "");
}

TEST_F(Import, AnEmptyNamesFileEmptiesAnEarlierPreview)
{
    originals({"C:\\p\\1.jpg"});
    h.fs.addFile("C:\\p\\1.jpg");
    h.form.n_preview.choose();
    EXPECT_EQ(h.form.lb_new.text(), "共 1 行");
    import("");
    EXPECT_EQ(h.listBytes(ListFile::NewPaths), "");
    EXPECT_EQ(h.form.lb_new.text(), "共 0 行");
}

TEST_F(Import, CancelOrAMissingFileChangesNothing)
{
    originals({"C:\\p\\1.jpg"});
    import("A\r\n");
    user(h.form.Button1).click();  // cancelled
    h.ui.fileAnswers.push_back(platform::OpenFileAnswer{{"D:\\nothing.txt"}, 1});
    user(h.form.Button1).click();
    EXPECT_EQ(h.list(ListFile::NewNames), Lines{"A.jpg"});
    EXPECT_EQ(h.ui.fileRequests.back().initialFile, namesFile);
    EXPECT_EQ(h.ui.fileRequests.back().filter, "文本文件(*.txt)|*.txt");
    EXPECT_FALSE(h.ui.fileRequests.back().multiSelect);
}

TEST_F(Import, AFailureSaysNothing)
{
    originals({"C:\\p\\1.jpg"});
    h.fs.fault = [](platform::headless::Op op, const std::string& path) {
        return op == platform::headless::Op::Read && path == "D:\\names.txt" ? 32u : 0u;
    };
    import("A\r\n");
    EXPECT_TRUE(h.ui.shown.empty());
    EXPECT_FALSE(h.listExists(ListFile::NewPaths));
}

TEST_F(Import, ShowsFullPathsWhenAsked)
{
    originals({"C:\\p\\1.jpg"});
    user(h.form.cbshowpathR).click();
    import("A\r\n");
    EXPECT_EQ(h.form.mmRenamed.text(), "C:\\p\\A.jpg\r\n");
}

std::string utf16LittleEndianWithMark(const std::u16string& text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// Names the code page cannot hold reach the list exactly, whichever way the names file says so.
TEST_F(Import, NamesBeyondTheCodePageAreImportedAsTheyAre)
{
    originals({"C:\\p\\1.jpg", "C:\\p\\2.jpg", "C:\\p\\3"});
    const std::string utf8 = "가족 🎉\r\nØrsted\r\n甲\r\n";
    const struct {
        const char* what;
        std::string bytes;
    } files[] = {
        {"UTF-8 without a mark", utf8},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + utf8},
        {"UTF-16 with a mark", utf16LittleEndianWithMark(u"가족 🎉\r\nØrsted\r\n甲\r\n")},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.what);
        import(f.bytes);
        EXPECT_TRUE(h.takeShown().empty());
        EXPECT_EQ(h.list(ListFile::NewPaths), (Lines{"C:\\p\\가족 🎉.jpg", "C:\\p\\Ørsted.jpg", "C:\\p\\甲"}));
        EXPECT_EQ(h.form.mmRenamed.text(), "가족 🎉.jpg\r\nØrsted.jpg\r\n甲\r\n");
    }
}

// Every character of the first level of GB2312 (rows 16 to 55), as the code page gives it.
std::vector<std::string> level1Characters(platform::FileSystem& fs)
{
    std::vector<std::string> characters;
    for (int lead = 0xB0; lead <= 0xD7; ++lead)
        for (int trail = 0xA1; trail <= (lead == 0xD7 ? 0xF9 : 0xFE); ++trail)
            characters.push_back(fs.fromAnsi({static_cast<char>(lead), static_cast<char>(trail)}));
    return characters;
}

TEST(DecodeNames, ByteOrderMarksDecide)
{
    platform::headless::HeadlessFileSystem fs;
    const struct {
        std::string bytes, text;
    } cases[] = {
        {"\xEF\xBB\xBF\xE5\xB9\xB4\r\n", "年\r\n"},
        {"\xEF\xBB\xBF" "abc", "abc"},
        {std::string("\xFF\xFE\x74\x5E\x0D\x00\x0A\x00", 8), "年\r\n"},        // UTF-16 LE
        {std::string("\xFE\xFF\x5E\x74\x00\x41", 6), "年A"},                   // UTF-16 BE
        {std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80"},      // a surrogate pair
    };
    for (const auto& c : cases)
        EXPECT_EQ(lists::decodeNamesFile(fs, c.bytes), c.text);
}

// GB18030 is how a Chinese system writes a name beyond GBK (and how the lists here do): its bytes
// are valid neither in the code page nor as UTF-8.
TEST(DecodeNames, ANamesFileInGb18030IsReadSoWhereTheCodePageIsGbk)
{
    const std::string text = "가족 \xF0\x9F\x8E\x89\r\nØrsted\r\n照片\r\n";
    platform::headless::HeadlessFileSystem fs;
    const std::string gb18030 = fs.toCodePage(platform::codePage::gb18030, text);
    EXPECT_EQ(lists::decodeNamesFile(fs, gb18030), text);
}

TEST(DecodeNames, WithoutAMarkTheMorePlausibleReadingWins)
{
    platform::headless::HeadlessFileSystem fs;
    const struct {
        const char* text;
        bool gbk;  // saved in the code page; otherwise as UTF-8
    } cases[] = {
        {"图片1", true},  // CD BC C6 AC 31, valid UTF-8 too
        {"新建文件夹", true},
        {"第一章", true},
        {"年度\r\n淺.txt", true},
        {"plain", true},
        {"列夫·托尔斯泰", false},
        {"café", false},
        {"写真.jpg", false},
        {"ファイル", false},
        {"파일", false},
        {"年度\r\n2024年度Report总结 final版", false},
        {"Dvořák – Łódź", false},
        {"Привет", false},
    };
    for (const auto& c : cases) {
        const std::string bytes = c.gbk ? fs.toAnsi(c.text) : std::string(c.text);
        EXPECT_EQ(lists::decodeNamesFile(fs, bytes), c.text) << c.text << (c.gbk ? " in GBK" : " in UTF-8");
    }
}

TEST(DecodeNames, EveryFirstLevelCharacterAloneAndBesideDigitsBothWays)
{
    platform::headless::HeadlessFileSystem fs;
    const auto characters = level1Characters(fs);
    ASSERT_EQ(characters.size(), 3755u);
    std::size_t asGbk = 0, asUtf8 = 0;
    std::vector<std::string> misread;
    for (const auto& c : characters) {
        bool gbkRight = true, utf8Right = true;
        for (const std::string& text : {c, "1" + c, c + "2", "07" + c + "9"}) {
            gbkRight = gbkRight && lists::decodeNamesFile(fs, fs.toAnsi(text)) == text;
            utf8Right = utf8Right && lists::decodeNamesFile(fs, text) == text;
        }
        asGbk += gbkRight;
        asUtf8 += utf8Right;
        if (!gbkRight || !utf8Right)
            misread.push_back(c);
    }
    std::printf("first-level characters read right: %zu/%zu saved in GBK, %zu/%zu saved as UTF-8\n", asGbk,
                characters.size(), asUtf8, characters.size());
    EXPECT_EQ(misread, std::vector<std::string>{});
}

TEST(HelpMenu, PagesAndMailGoToTheShell)
{
    Harness h;
    h.form.n_web.choose();
    h.form.m_checkupdate.choose();
    user(h.form.frmAbout->lb_web).click();
    user(h.form.frmAbout->Label5).click();
    ASSERT_EQ(h.shell.calls.size(), 4u);
    EXPECT_EQ(h.shell.calls[0].file, "http://www.nmr.example/cn/index.htm");
    EXPECT_EQ(h.shell.calls[0].verb, "open");
    EXPECT_EQ(h.shell.calls[0].show, 5);
    EXPECT_EQ(h.shell.calls[1].file, "http://www.nmr.example/cn/dl.htm");
    EXPECT_EQ(h.shell.calls[2].file, h.shell.calls[0].file);
    EXPECT_EQ(h.shell.calls[3].file, "mailto:kf@nmr.example");
    EXPECT_TRUE(h.ui.shown.empty());
}

TEST(About, OneWindowShownAgainAndHiddenOnClose)
{
    Harness h;
    auto& about = *h.form.frmAbout;
    auto& window = static_cast<test::HeadlessForm&>(about.peer());
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(about.caption(), "关于");
    EXPECT_EQ(window.clientSize(), (platform::Size{242, 142}));
    EXPECT_EQ(about.lb_sw.text(), "诺默拉v3.0.1");
    EXPECT_EQ(about.Label5.text(), "Emial: kf@nmr.example");
    EXPECT_EQ(about.lb_web.text(), "官网：www.nmr.example");
    EXPECT_EQ(about.lb_company.text(), "澜岩出品");
    EXPECT_EQ(test::user(about.lb_company).align, platform::Align::Right);
    EXPECT_TRUE(test::user(about.lb_company).font.bold);
    EXPECT_TRUE(test::user(about.lb_web).font.underline);

    h.form.n_about.choose();
    EXPECT_TRUE(window.visible());
    EXPECT_EQ(window.centredOver, &h.form.peer());
    h.form.n_about.choose();
    EXPECT_EQ(window.broughtToFront, 2);
    window.close();
    EXPECT_FALSE(window.visible());
    EXPECT_FALSE(h.window().closed);
    h.form.n_about.choose();
    EXPECT_TRUE(window.visible());
}

}  // namespace
