#include <gtest/gtest.h>

#include "app/about_window.h"
#include "harness.h"
#include "lists/import_names.h"
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

    void originals(const Lines& paths)
    {
        h.putList(ListFile::OriginalPaths, paths);
        Lines names;
        for (const auto& p : paths)
            names.push_back(lists::namePart(p));
        h.putList(ListFile::OriginalNames, names);
    }
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

struct DecodeCase {
    std::string bytes;
    std::string text;
};

class Decode : public testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, RecognisesByteOrderMarksAndUtf8)
{
    platform::headless::HeadlessFileSystem fs;
    EXPECT_EQ(lists::decodeNamesFile(fs, GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Decode,
    testing::Values(DecodeCase{"\xC4\xEA\xB6\xC8\r\n", "年度\r\n"},              // GBK without a mark
                    DecodeCase{"\xE5\xB9\xB4\xE5\xBA\xA6\r\n", "年度\r\n"},      // UTF-8 without a mark
                    DecodeCase{"\xEF\xBB\xBF\xE5\xB9\xB4\r\n", "年\r\n"},        // UTF-8 with its mark
                    DecodeCase{"\xEF\xBB\xBF" "abc", "abc"},
                    DecodeCase{std::string("\xFF\xFE\x74\x5E\x0D\x00\x0A\x00", 8), "年\r\n"},  // UTF-16 LE
                    DecodeCase{std::string("\xFE\xFF\x5E\x74\x00\x41", 6), "年A"},             // UTF-16 BE
                    DecodeCase{std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80"},  // a surrogate pair
                    DecodeCase{"\x9C\x5C.txt", "淺.txt"},  // invalid UTF-8, valid GBK
                    DecodeCase{"plain", "plain"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(HelpMenu, PagesAndMailGoToTheShell)
{
    Harness h;
    h.form.n_web.choose();
    h.form.m_checkupdate.choose();
    user(h.form.frmAbout->lb_web).click();
    user(h.form.frmAbout->Label5).click();
    ASSERT_EQ(h.shell.calls.size(), 4u);
    EXPECT_EQ(h.shell.calls[0].file, "http://www.nomerra.example/cn/index.htm");
    EXPECT_EQ(h.shell.calls[0].verb, "open");
    EXPECT_EQ(h.shell.calls[0].show, 5);
    EXPECT_EQ(h.shell.calls[1].file, "http://www.nomerra.example/cn/dl.htm");
    EXPECT_EQ(h.shell.calls[2].file, h.shell.calls[0].file);
    EXPECT_EQ(h.shell.calls[3].file, "mailto:support@nomerra.example");
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
    EXPECT_EQ(about.Label5.text(), "Emial: support@nomerra.example");
    EXPECT_EQ(about.lb_web.text(), "官网：www.nomerra.example");
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
