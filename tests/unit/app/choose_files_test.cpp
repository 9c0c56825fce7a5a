#include <gtest/gtest.h>

#include "harness.h"
#include "lists/choose_files.h"

using lists::ListFile;
using platform::OpenFileAnswer;
using test::Harness;

namespace {

OpenFileAnswer chosen(std::vector<std::string> files, int filterIndex = 1) { return {std::move(files), filterIndex}; }

class ChooseFiles : public testing::Test {
protected:
    Harness h;
    void open(std::vector<std::string> files)
    {
        h.ui.fileAnswers.push_back(chosen(std::move(files)));
        h.form.n_open.choose();
    }
    void add(std::vector<std::string> files)
    {
        h.ui.fileAnswers.push_back(chosen(std::move(files)));
        h.form.n_add.choose();
    }
};

TEST_F(ChooseFiles, OpenThreeThenAddTwoListsFiveInOrder)
{
    open({"C:\\p\\c.jpg", "C:\\p\\a.jpg", "C:\\p\\b.jpg"});
    add({"D:\\q\\e.png", "C:\\p\\a.jpg"});
    EXPECT_EQ(h.list(ListFile::OriginalPaths),
              (std::vector<std::string>{"C:\\p\\c.jpg", "C:\\p\\a.jpg", "C:\\p\\b.jpg", "D:\\q\\e.png", "C:\\p\\a.jpg"}));
    EXPECT_EQ(h.list(ListFile::OriginalNames), (std::vector<std::string>{"c.jpg", "a.jpg", "b.jpg", "e.png", "a.jpg"}));
    EXPECT_EQ(h.form.lb_old.text(), "共 5 行");
    EXPECT_EQ(h.form.mmOriginal.text(), "c.jpg\r\na.jpg\r\nb.jpg\r\ne.png\r\na.jpg\r\n");
}

TEST_F(ChooseFiles, OpenPrimesExtensionsAndFoldersFromTheFirstFile)
{
    open({"C:\\p\\first.png", "C:\\p\\b.jpg"});
    EXPECT_EQ(h.form.edtsuffix_old.text(), ".png");
    EXPECT_EQ(h.form.edtsuffix_new.text(), ".png");
    EXPECT_EQ(h.form.lbpath.text(), "C:\\p\\");
    EXPECT_EQ(h.form.sourceFolder, "C:\\p\\");
    EXPECT_EQ(h.form.outputFolder, "C:\\p\\");
    open({"C:\\p\\README"});
    EXPECT_EQ(h.form.edtsuffix_old.text(), "");
    EXPECT_EQ(h.form.edtsuffix_new.text(), "");
    EXPECT_EQ(h.form.lb_old.text(), "共 1 行");
}

TEST_F(ChooseFiles, OpenDropsAPreview)
{
    h.putList(ListFile::NewPaths, {"C:\\p\\x.jpg"});
    h.putList(ListFile::NewNames, {"x.jpg"});
    h.form.mmRenamed.setText("x.jpg\r\n");
    open({"C:\\p\\a.jpg"});
    EXPECT_FALSE(h.listExists(ListFile::NewPaths));
    EXPECT_FALSE(h.listExists(ListFile::NewNames));
    EXPECT_EQ(h.form.mmRenamed.text(), "");
    EXPECT_EQ(h.form.lb_new.text(), "共 0 行");
}

TEST_F(ChooseFiles, SaveAsKeepsAnExistingOutputFolderUntilAddReplacesIt)
{
    h.fs.addFolder("D:\\out");
    h.form.rbSaveas.peer().setChecked(true);
    h.form.rbRename.peer().setChecked(false);
    h.form.lbpath.setText("D:\\out");
    open({"C:\\p\\a.jpg"});
    EXPECT_EQ(h.form.lbpath.text(), "D:\\out");
    EXPECT_EQ(h.form.outputFolder, "D:\\out");
    EXPECT_EQ(h.form.sourceFolder, "C:\\p\\");
    add({"E:\\r\\b.jpg"});
    EXPECT_EQ(h.form.lbpath.text(), "E:\\r\\");
    EXPECT_EQ(h.form.outputFolder, "D:\\out");  // add leaves it
}

TEST_F(ChooseFiles, SaveAsWithAVanishedOutputFolderFallsBackToTheFirstFilesFolder)
{
    h.form.rbSaveas.peer().setChecked(true);
    h.form.rbRename.peer().setChecked(false);
    h.form.lbpath.setText("D:\\gone");
    open({"C:\\p\\a.jpg"});
    EXPECT_EQ(h.form.lbpath.text(), "C:\\p\\");
}

TEST_F(ChooseFiles, CancellingOpenEmptiesOnlyTheTwoFolders)
{
    open({"C:\\p\\a.jpg"});
    h.form.n_open.choose();  // no answer scripted: cancelled
    EXPECT_EQ(h.form.sourceFolder, "");
    EXPECT_EQ(h.form.outputFolder, "");
    EXPECT_EQ(h.form.lbpath.text(), "C:\\p\\");
    EXPECT_EQ(h.form.edtsuffix_old.text(), ".jpg");
    EXPECT_EQ(h.list(ListFile::OriginalPaths), std::vector<std::string>{"C:\\p\\a.jpg"});
    EXPECT_EQ(h.form.lb_old.text(), "共 1 行");
}

TEST_F(ChooseFiles, CancellingAddChangesNothing)
{
    open({"C:\\p\\a.jpg"});
    h.form.n_add.choose();
    EXPECT_EQ(h.form.outputFolder, "C:\\p\\");
    EXPECT_EQ(h.list(ListFile::OriginalPaths), std::vector<std::string>{"C:\\p\\a.jpg"});
}

TEST_F(ChooseFiles, AddWithoutAListCreatesItAndLeavesTheExtensionBoxes)
{
    h.form.edtsuffix_old.setText(".gif");
    add({"C:\\p\\a.jpg"});
    EXPECT_EQ(h.list(ListFile::OriginalNames), std::vector<std::string>{"a.jpg"});
    EXPECT_EQ(h.form.edtsuffix_old.text(), ".gif");
    EXPECT_EQ(h.form.sourceFolder, "");
}

TEST_F(ChooseFiles, ClearDeletesOnlyTheOriginalList)
{
    open({"C:\\p\\a.jpg"});
    h.putList(ListFile::NewPaths, {"C:\\p\\x.jpg"});
    h.putList(ListFile::NewNames, {"x.jpg"});
    h.form.n_clear.choose();
    EXPECT_FALSE(h.listExists(ListFile::OriginalPaths));
    EXPECT_FALSE(h.listExists(ListFile::OriginalNames));
    EXPECT_TRUE(h.listExists(ListFile::NewPaths));
    EXPECT_EQ(h.form.lb_old.text(), "共 0 行");
    EXPECT_EQ(h.form.lbpath.text(), "C:\\p\\");
    test::user(h.form.cbshowpathR).click();  // the former new names show again
    EXPECT_EQ(h.form.mmRenamed.text(), "C:\\p\\x.jpg\r\n");
}

TEST_F(ChooseFiles, TheDialogRemembersTheFirstFileAndTheFilterEntry)
{
    h.ui.fileAnswers.push_back(chosen({"C:\\p\\a.png", "C:\\p\\b.png"}, 2));
    h.form.n_open.choose();
    h.form.n_add.choose();
    ASSERT_EQ(h.ui.fileRequests.size(), 2u);
    EXPECT_EQ(h.ui.fileRequests[0].initialFile, "");
    EXPECT_EQ(h.ui.fileRequests[0].filterIndex, 1);
    EXPECT_EQ(h.ui.fileRequests[0].filter, "JPG文件(*.jpg)|*.jpg|所有文件(*.*)|*.*");
    EXPECT_TRUE(h.ui.fileRequests[0].multiSelect);
    EXPECT_EQ(h.ui.fileRequests[1].initialFile, "C:\\p\\a.png");
    EXPECT_EQ(h.ui.fileRequests[1].filterIndex, 2);
}

// Open and Add list every name Windows allows, also those the code page cannot hold.
TEST_F(ChooseFiles, PathsBeyondTheCodePageAreListedAsTheyAre)
{
    const std::vector<std::string> opened{"C:\\p\\a.jpg", "C:\\p\\\xF0\x9F\x98\x80.jpg", "C:\\p\\淺.jpg"};
    open(opened);
    h.ui.fileAnswers.push_back(platform::OpenFileAnswer{{"D:\\노래\\Ελλάδα.txt"}, 1});
    h.form.n_add.choose();
    EXPECT_TRUE(h.takeShown().empty());
    EXPECT_EQ(h.list(ListFile::OriginalPaths),
              (std::vector<std::string>{opened[0], opened[1], opened[2], "D:\\노래\\Ελλάδα.txt"}));
    EXPECT_EQ(h.form.mmOriginal.text(), "a.jpg\r\n\xF0\x9F\x98\x80.jpg\r\n淺.jpg\r\nΕλλάδα.txt\r\n");
    EXPECT_EQ(h.form.lbpath.text(), "D:\\노래\\");
    EXPECT_EQ(h.form.lb_old.text(), "共 4 行");
}

TEST(RefusedNotice, NamesTenThenEllipsis)
{
    std::vector<std::string> refused;
    for (int i = 0; i < 12; ++i)
        refused.push_back("p" + std::to_string(i));
    const std::string text = lists::refusedNotice("heading", refused);
    EXPECT_EQ(text.rfind("heading\rp0\rp1\r", 0), 0u);
    EXPECT_NE(text.find("\rp9"), std::string::npos);
    EXPECT_EQ(text.find("\rp10"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 7), "\r……");
}

TEST_F(ChooseFiles, AWriteFailureEndsOpenInTheErrorBox)
{
    h.fs.fault = [](platform::headless::Op op, const std::string&) {
        return op == platform::headless::Op::Write ? 5u : 0u;
    };
    open({"C:\\p\\a.jpg"});
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"File access denied."});
    EXPECT_EQ(h.form.edtsuffix_old.text(), "");
    EXPECT_EQ(h.form.sourceFolder, "");
}

}  // namespace
