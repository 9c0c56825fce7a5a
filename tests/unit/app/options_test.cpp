#include <gtest/gtest.h>

#include "harness.h"
#include "platform/folder_chooser.h"

using test::Harness;
using test::user;

namespace {

struct Combination {
    bool newName, number, nameEnabled, numberEnabled;
};

Combination state(Harness& h)
{
    return {h.form.cbNewname.checked(), h.form.cbInitNo.checked(), h.form.edtname.enabled(), h.form.edtvalue.enabled()};
}

bool operator==(const Combination& a, const Combination& b)
{
    return a.newName == b.newName && a.number == b.number && a.nameEnabled == b.nameEnabled &&
           a.numberEnabled == b.numberEnabled;
}

TEST(Cascade, OnlyThreeCombinationsCanBeReached)
{
    Harness h;
    auto& f = h.form;
    f.edtname.setText("trip");
    user(f.cbNewname).click();  // original name with number
    EXPECT_TRUE(state(h) == (Combination{false, true, false, true}));
    EXPECT_EQ(f.edtname.text(), "");
    user(f.cbInitNo).click();  // original name without number
    EXPECT_TRUE(state(h) == (Combination{false, false, false, false}));
    EXPECT_FALSE(f.cbPos.enabled());
    user(f.cbNewname).click();  // back to new name with number
    EXPECT_TRUE(state(h) == (Combination{true, true, true, true}));
    EXPECT_TRUE(f.cbPos.enabled());
    user(f.cbInitNo).click();  // unticking the number unticks the new name
    EXPECT_TRUE(state(h) == (Combination{false, false, false, false}));
    user(f.cbInitNo).click();
    EXPECT_TRUE(state(h) == (Combination{true, true, true, true}));
}

TEST(Cascade, TheStartNumberSurvivesBeingDisabled)
{
    Harness h;
    h.form.edtvalue.setText("07");
    user(h.form.cbInitNo).click();
    user(h.form.cbInitNo).click();
    EXPECT_EQ(h.form.edtvalue.text(), "07");
}

TEST(ChangeSuffix, EnablesBothFieldsKeepingTheirTexts)
{
    Harness h;
    h.form.edtsuffix_old.setText(".jpg");
    h.form.edtsuffix_new.setText(".png");
    user(h.form.cbChangesuffix).click();
    EXPECT_TRUE(h.form.edtsuffix_old.enabled());
    EXPECT_TRUE(h.form.edtsuffix_new.enabled());
    user(h.form.cbChangesuffix).click();
    EXPECT_FALSE(h.form.edtsuffix_new.enabled());
    EXPECT_EQ(h.form.edtsuffix_old.text(), ".jpg");
    EXPECT_EQ(h.form.edtsuffix_new.text(), ".png");
}

TEST(KeyFilter, LettersAndControlCharactersBecomeZero)
{
    const std::pair<std::u32string, std::string> cases[] = {
        {U"a1b", "010"}, {U"12.5", "12.5"}, {U"12345", "1234"}, {U"\x16" U"9", "09"},
        {U"99\b7", "97"}, {U"\r3", "3"}, {U"中x", "00"},
    };
    for (const auto& [keys, text] : cases) {
        Harness h;
        h.form.edtvalue.setText("");
        user(h.form.edtvalue).type(keys);
        EXPECT_EQ(h.form.edtvalue.text(), text);
    }
}

TEST(RenameOptions, ReadsEveryControlAsOneValue)
{
    Harness h;
    auto& f = h.form;
    f.edtname.setText("trip");
    f.edtvalue.setText("10");
    f.cbPos.setItemIndex(1);
    f.rgIncDec.setItemIndex(1);
    user(f.cbBeforename).click();
    f.edtForeside.setText("x_");
    user(f.cbReadonly).click();
    f.lbpath.setText("D:\\out");
    const auto o = f.renameOptions();
    EXPECT_TRUE(o.cbNewname);
    EXPECT_EQ(o.edtname, "trip");
    EXPECT_EQ(o.edtvalue, "10");
    EXPECT_TRUE(o.numberBefore);
    EXPECT_TRUE(o.decrement);
    EXPECT_TRUE(o.cbBeforename);
    EXPECT_EQ(o.edtForeside, "x_");
    EXPECT_FALSE(o.cbAftername);
    EXPECT_TRUE(o.cbReadonly);
    EXPECT_FALSE(o.cbHidden);
    EXPECT_TRUE(o.rbRename);
    EXPECT_EQ(o.lbpath, "D:\\out");
}

class Output : public testing::Test {
protected:
    Harness h;
};

TEST_F(Output, SelectingSaveAsOpensTheChooserOnTheShownFolder)
{
    h.fs.addFolder("D:\\out");
    h.form.lbpath.setText("D:\\out");
    h.ui.folderAnswers.push_back({"D:\\out\\sub2"});
    h.ui.answers.push_back(true);
    user(h.form.rbSaveas).click();
    ASSERT_EQ(h.ui.folderRequests.size(), 1u);
    EXPECT_EQ(h.ui.folderRequests[0].startFolder, "D:\\out");
    EXPECT_EQ(h.ui.folderRequests[0].helpContext, 1000);
    EXPECT_TRUE(h.form.rbSaveas.checked());
    EXPECT_FALSE(h.form.rbRename.checked());
    EXPECT_EQ(h.form.lbpath.text(), "D:\\out\\sub2");
    EXPECT_EQ(h.form.outputFolder, "D:\\out\\sub2");
    EXPECT_TRUE(h.fs.folderExists("D:\\out\\sub2"));
}

TEST_F(Output, TheChooserStartsInTheCurrentFolderWhenTheLabelNamesNone)
{
    h.fs.setCurrentFolder("E:\\work");
    user(h.form.rbSaveas).click();
    EXPECT_EQ(h.ui.folderRequests.at(0).startFolder, "E:\\work");
}

TEST_F(Output, CancelKeepsTheLabelAndOutputFolderFollowsIt)
{
    h.form.lbpath.setText("C:\\p\\");
    h.form.outputFolder = "";
    user(h.form.rbSaveas).click();
    EXPECT_TRUE(h.form.rbSaveas.checked());
    EXPECT_EQ(h.form.lbpath.text(), "C:\\p\\");
    EXPECT_EQ(h.form.outputFolder, "C:\\p\\");
}

TEST_F(Output, NoToTheCreationQuestionReturnsToTheChooser)
{
    h.fs.addFolder("D:\\exists");
    h.ui.folderAnswers.push_back({"D:\\new\\deep", "D:\\exists"});
    h.ui.answers.push_back(false);
    user(h.form.rbSaveas).click();
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"The specified directory does not exist. Create it?"});
    EXPECT_FALSE(h.fs.folderExists("D:\\new"));
    EXPECT_EQ(h.form.lbpath.text(), "D:\\exists");
}

TEST_F(Output, AFolderThatCannotBeCreatedEndsSilently)
{
    h.form.lbpath.setText("C:\\p\\");
    h.form.outputFolder = "before";
    h.fs.fault = [](platform::headless::Op op, const std::string&) {
        return op == platform::headless::Op::CreateFolder ? 5u : 0u;
    };
    h.ui.folderAnswers.push_back({"Q:\\x"});
    h.ui.answers.push_back(true);
    user(h.form.rbSaveas).click();
    EXPECT_EQ(h.form.lbpath.text(), "C:\\p\\");
    EXPECT_EQ(h.form.outputFolder, "before");
    EXPECT_EQ(h.ui.shown.size(), 1u);  // the question only
}

TEST_F(Output, ClickingTheSelectedSaveAsAgainOpensNothingButDoubleClickDoes)
{
    user(h.form.rbSaveas).click();
    user(h.form.rbSaveas).click();
    EXPECT_EQ(h.ui.folderRequests.size(), 1u);
    user(h.form.lbpath).doubleClick();
    EXPECT_EQ(h.ui.folderRequests.size(), 2u);
}

TEST_F(Output, DoubleClickInRenameModeSelectsSaveAsAndOpensTheChooserOnce)
{
    user(h.form.lbpath).doubleClick();
    EXPECT_TRUE(h.form.rbSaveas.checked());
    EXPECT_EQ(h.ui.folderRequests.size(), 1u);
}

TEST_F(Output, RenameModePutsTheSourceFolderBack)
{
    h.ui.fileAnswers.push_back(platform::OpenFileAnswer{{"C:\\p\\a.jpg"}, 1});
    h.form.n_open.choose();
    h.ui.folderAnswers.push_back({"C:\\"});
    user(h.form.rbSaveas).click();
    EXPECT_EQ(h.form.lbpath.text(), "C:\\");
    user(h.form.rbRename).click();
    EXPECT_EQ(h.form.lbpath.text(), "C:\\p\\");
}

TEST_F(Output, RenameModeAfterOnlyAddingEmptiesTheLabel)
{
    h.ui.fileAnswers.push_back(platform::OpenFileAnswer{{"C:\\p\\a.jpg"}, 1});
    h.form.n_add.choose();
    user(h.form.rbSaveas).click();
    user(h.form.rbRename).click();
    EXPECT_EQ(h.form.lbpath.text(), "");
}

}  // namespace
