#include <gtest/gtest.h>

#include "harness.h"

using lists::ListFile;
using test::Harness;
using test::user;

namespace {

class Preview : public testing::Test {
protected:
    Harness h;
    void SetUp() override
    {
        h.openExistingFiles({"C:\\pics\\a.jpg", "C:\\pics\\b.JPG", "C:\\pics\\c.gif"});
        h.form.edtname.setText("trip");
    }
};

TEST_F(Preview, WritesAndShowsTheNewList)
{
    h.form.n_preview.choose();
    EXPECT_EQ(h.list(ListFile::NewPaths),
              (std::vector<std::string>{"C:\\pics\\trip001.jpg", "C:\\pics\\trip002.JPG", "C:\\pics\\trip003.gif"}));
    EXPECT_EQ(h.listBytes(ListFile::NewNames), "trip001.jpg\r\ntrip002.JPG\r\ntrip003.gif\r\n");
    EXPECT_EQ(h.form.mmRenamed.text(), "trip001.jpg\r\ntrip002.JPG\r\ntrip003.gif\r\n");
    EXPECT_EQ(h.form.lb_new.text(), "共 3 行");
    EXPECT_EQ(h.form.lb_old.text(), "共 3 行");
    user(h.form.cbshowpathR).click();
    EXPECT_EQ(h.form.mmRenamed.text(), "C:\\pics\\trip001.jpg\r\nC:\\pics\\trip002.JPG\r\nC:\\pics\\trip003.gif\r\n");

    const std::string before = h.listBytes(ListFile::NewPaths);
    h.form.n_preview.choose();  // twice without a change: the same lines
    EXPECT_EQ(h.listBytes(ListFile::NewPaths), before);
}

TEST_F(Preview, NoOriginalListDoesNothing)
{
    h.form.n_clear.choose();
    h.form.n_preview.choose();
    EXPECT_FALSE(h.listExists(ListFile::NewPaths));
    EXPECT_TRUE(h.ui.shown.empty());
}

TEST_F(Preview, AMissingFirstFileIsNamedAndNothingIsWritten)
{
    h.fs.deleteFile("C:\\pics\\a.jpg");
    h.form.n_preview.choose();
    EXPECT_EQ(h.takeShown(),
              std::vector<std::string>{"没有找到文件 C:\\pics\\a.jpg， 请检查文件是否存在，是否已经改名。"});
    EXPECT_FALSE(h.listExists(ListFile::NewPaths));
    EXPECT_EQ(h.form.mmRenamed.text(), "");
}

TEST_F(Preview, AnInvalidStartNumberLeavesTheEarlierPreviewAsItWas)
{
    h.form.n_preview.choose();
    const std::string before = h.listBytes(ListFile::NewPaths);
    for (const char* bad : {"1.5", ""}) {
        h.form.edtvalue.setText(bad);
        h.form.n_preview.choose();
        EXPECT_EQ(h.takeShown(), std::vector<std::string>{"'" + std::string(bad) + "' is not a valid integer value."});
        EXPECT_EQ(h.listBytes(ListFile::NewPaths), before);
        EXPECT_EQ(h.form.lb_new.text(), "共 3 行");
    }
}

// Text of the option fields that the code page cannot hold enters the new names exactly.
TEST_F(Preview, TextBeyondTheCodePageEntersTheNamesAsTyped)
{
    user(h.form.cbAftername).click();
    h.form.edtRearside.setText("_\xF0\x9F\x98\x80");
    h.form.edtname.setText("노래");
    h.form.n_preview.choose();
    EXPECT_TRUE(h.takeShown().empty());
    EXPECT_EQ(h.list(ListFile::NewPaths),
              (std::vector<std::string>{"C:\\pics\\노래_\xF0\x9F\x98\x80" "001.jpg", "C:\\pics\\노래_\xF0\x9F\x98\x80" "002.JPG",
                                        "C:\\pics\\노래_\xF0\x9F\x98\x80" "003.gif"}));
    EXPECT_EQ(h.form.mmRenamed.text(), "노래_\xF0\x9F\x98\x80" "001.jpg\r\n노래_\xF0\x9F\x98\x80" "002.JPG\r\n"
                                       "노래_\xF0\x9F\x98\x80" "003.gif\r\n");
}

TEST_F(Preview, SaveAsFallsBackToANewFolderBesideTheOriginals)
{
    h.ui.folderAnswers.push_back({"D:\\gone"});
    h.ui.answers.push_back(false);  // not created
    user(h.form.rbSaveas).click();
    h.form.lbpath.setText("D:\\gone");
    h.form.n_preview.choose();
    EXPECT_EQ(h.list(ListFile::NewPaths)[0], "C:\\pics\\新文件夹\\trip001.jpg");
    EXPECT_FALSE(h.fs.folderExists("C:\\pics\\新文件夹"));
}

TEST_F(Preview, CancelDropsTheNewListAndAPreviewRebuildsIt)
{
    h.form.n_preview.choose();
    h.form.n_cancel.choose();
    EXPECT_EQ(h.form.mmRenamed.text(), "");
    EXPECT_EQ(h.form.lb_new.text(), "共 0 行");
    EXPECT_EQ(h.form.lb_old.text(), "共 3 行");
    EXPECT_FALSE(h.listExists(ListFile::NewPaths));
    EXPECT_FALSE(h.listExists(ListFile::NewNames));
    h.form.edtname.setText("x");
    h.form.n_preview.choose();
    EXPECT_EQ(h.list(ListFile::NewNames)[0], "x001.jpg");
}

TEST_F(Preview, AnEmptyOriginalListIsNotPreviewed)
{
    h.form.store().rewrite(lists::ListPair::Original, {});
    h.form.n_preview.choose();
    EXPECT_FALSE(h.listExists(ListFile::NewPaths));
    EXPECT_TRUE(h.ui.shown.empty());
}

}  // namespace
