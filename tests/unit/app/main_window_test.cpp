#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "harness.h"
#include "platform/errors.h"

using lists::ListFile;
using test::Harness;
using test::user;

namespace {

TEST(FormCreate, SetsTitlesCountersAndChoices)
{
    Harness h;
    EXPECT_EQ(h.form.caption(), "诺默拉v3.0.1");
    EXPECT_EQ(h.ui.applicationTitle(), "诺通");
    EXPECT_EQ(h.form.versionString, "v3.0.1");
    EXPECT_EQ(h.ui.hintShowMs, 500);
    EXPECT_EQ(h.ui.hintHideMs, 10000);
    EXPECT_EQ(h.form.lb_old.text(), "共 0 行");
    EXPECT_EQ(h.form.lb_new.text(), "共 0 行");
    EXPECT_EQ(h.form.cbPos.items(), (std::vector<std::string>{"序号后置", "序号前置"}));
    EXPECT_EQ(h.form.cbPos.text(), "序号后置");
    EXPECT_EQ(h.form.rgIncDec.items(), (std::vector<std::string>{"+1", "-1"}));
    EXPECT_EQ(h.form.rgIncDec.itemIndex(), 0);
    EXPECT_EQ(h.form.mmOriginal.text(), "");
    EXPECT_EQ(h.form.mmRenamed.text(), "");
}

TEST(FormCreate, CaptionsKeepTheirTrailingSpacesAndHintsArePaired)
{
    Harness h;
    auto& f = h.form;
    EXPECT_EQ(f.gb_name.text(), "文件名 ");
    EXPECT_EQ(f.gb_extension.text(), "扩展名 ");
    EXPECT_EQ(f.gb_attributes.text(), "文件属性 ");
    EXPECT_EQ(f.gb_output.text(), "输出设置 ");
    EXPECT_EQ(f.gb_old.text(), "原文件名");
    EXPECT_EQ(f.gb_new.text(), "改名后文件名");
    EXPECT_EQ(f.cbShowpathO.text(), "显示全目录");
    EXPECT_EQ(f.cbShowpathO.hint(), "显示文件的全路径");
    EXPECT_EQ(f.cbshowpathR.hint(), f.cbShowpathO.hint());
    EXPECT_EQ(f.cbBeforename.hint(), "若要在原文件名前插入字符，请不要勾选【新文件名】");
    EXPECT_EQ(f.edtForeside.hint(), f.cbBeforename.hint());
    EXPECT_EQ(f.rbRename.text(), "直接改名（替换原文件名）");
    EXPECT_EQ(f.gbReplace.hint(), "部分替换时，不能填写新文件名（即 不能勾选）");
    EXPECT_EQ(f.lbpath.hint(), "双击更改");
    EXPECT_EQ(f.Button1.hint(), "导入准备好的文件名txt文件，一行一个");
    EXPECT_EQ(f.n_open.hint(), "打开要改名的文件，可多选");
    EXPECT_EQ(h.window().menuCaption(ids::n_run), "开始执行");
    EXPECT_EQ(h.window().menuCaption(ids::m_checkupdate), "检查更新");
    EXPECT_EQ(h.window().menuCaption(ids::n_exit), "退出");
}

TEST(FormCreate, InitialStatesOfTheOptionControls)
{
    Harness h;
    auto& f = h.form;
    EXPECT_TRUE(f.cbNewname.checked());
    EXPECT_TRUE(f.cbInitNo.checked());
    EXPECT_TRUE(f.edtname.enabled());
    EXPECT_EQ(f.edtvalue.text(), "001");
    EXPECT_FALSE(f.edtsuffix_old.enabled());
    EXPECT_FALSE(f.edtsuffix_new.enabled());
    EXPECT_TRUE(f.rbRename.checked());
    EXPECT_FALSE(f.rbSaveas.checked());
    EXPECT_FALSE(f.btnFolder.visible());
    EXPECT_TRUE(f.Button1.enabled());
    EXPECT_EQ(f.lbpath.text(), "");
    EXPECT_FALSE(f.cbReadonly.checked());
}

TEST(FormCreate, StartUpTouchesNoListFile)
{
    Harness h;
    h.putList(ListFile::OriginalPaths, {"C:\\a.jpg"});
    Harness second;  // a new window over a volume with a list left behind
    EXPECT_EQ(h.form.mmOriginal.text(), "");
    EXPECT_EQ(second.fs.files(), (std::vector<std::string>{}));
}

struct LayoutCase {
    platform::Size client;
    int areaWidth, newLeft, viewWidth, areaHeight, viewHeight;
};

class Layout : public testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, ListAreasShareTheWidthAndFollowTheHeight)
{
    Harness h;
    const LayoutCase& c = GetParam();
    h.window().setClientSize(c.client);
    auto& f = h.form;
    EXPECT_EQ(f.gb_old.bounds(), (platform::Rect{8, 194, c.areaWidth, c.areaHeight}));
    EXPECT_EQ(f.gb_new.bounds(), (platform::Rect{c.newLeft, 194, c.areaWidth, c.areaHeight}));
    EXPECT_EQ(f.mmOriginal.bounds(), (platform::Rect{10, 44, c.viewWidth, c.viewHeight}));
    EXPECT_EQ(f.mmRenamed.bounds(), (platform::Rect{10, 44, c.viewWidth, c.viewHeight}));
    EXPECT_EQ(f.cbshowpathR.bounds().left, 10);
    // The option panel never moves.
    EXPECT_EQ(f.gb_name.bounds(), (platform::Rect{8, 6, 614, 115}));
    EXPECT_EQ(f.gb_output.bounds(), (platform::Rect{234, 123, 388, 68}));
    EXPECT_EQ(f.lb_new.bounds(), (platform::Rect{218, 20, 97, 16}));
}

INSTANTIATE_TEST_SUITE_P(Sizes, Layout,
                         testing::Values(LayoutCase{{640, 700}, 303, 327, 283, 500, 442},
                                         LayoutCase{{641, 700}, 303, 327, 283, 500, 442},
                                         LayoutCase{{642, 701}, 304, 328, 284, 501, 443},
                                         LayoutCase{{1272, 900}, 619, 643, 599, 700, 642}),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(Layout, StartsAtItsStoredSizeAndLaysOutWhenShown)
{
    Harness h;
    EXPECT_EQ(h.window().outerSize(), (platform::Size{648, 753}));
    const auto client = h.window().clientSize();
    EXPECT_EQ(h.form.gb_old.bounds().width, layout::listAreaWidth(client.width));
    EXPECT_EQ(h.form.gb_old.bounds().height, layout::listAreaHeight(client.height));
}

TEST(Layout, ASizeBelowTheMinimumSnapsBackInThatDimension)
{
    Harness h;
    h.window().userResize({500, 800});
    EXPECT_EQ(h.window().outerSize(), (platform::Size{648, 800}));
    h.window().userResize({700, 300});
    EXPECT_EQ(h.window().outerSize(), (platform::Size{700, 520}));
    h.window().userResize({100, 100});
    EXPECT_EQ(h.window().outerSize(), (platform::Size{648, 520}));
    const auto client = h.window().clientSize();
    EXPECT_EQ(h.form.gb_new.bounds().left, layout::listAreaWidth(client.width) + 24);
    EXPECT_EQ(h.form.mmRenamed.bounds().height, layout::listAreaHeight(client.height) - 58);
}

TEST(FormClose, DeletesTheFourListFilesWhetherOrNotTheyExist)
{
    for (int present = 0; present < 16; present += 5) {
        Harness h;
        int bit = 0;
        for (ListFile f : lists::allListFiles)
            if (present & (1 << bit++))
                h.putList(f, {"x"});
        h.fs.addFile("C:\\nomerra\\other.txt", "keep");
        h.form.n_exit.choose();
        EXPECT_TRUE(h.window().closed);
        EXPECT_EQ(h.fs.files(), std::vector<std::string>{"C:\\nomerra\\other.txt"}) << present;
    }
}

TEST(FormClose, AFileThatCannotBeDeletedDoesNotStopTheOthers)
{
    Harness h;
    for (ListFile f : lists::allListFiles)
        h.putList(f, {"x"});
    h.fs.fault = [&](platform::headless::Op op, const std::string& path) {
        return op == platform::headless::Op::Delete && path == h.listPath(ListFile::OriginalNames) ? 32u : 0u;
    };
    h.window().close();
    EXPECT_EQ(h.fs.files(), std::vector<std::string>{h.listPath(ListFile::OriginalNames)});
    EXPECT_TRUE(h.ui.shown.empty());
}

TEST(Dispatcher, AnEscapingErrorEndsTheHandlerInTheErrorBox)
{
    Harness h;
    bool after = false;
    h.form.n_clear.onClick = [&] {
        throw platform::IoError(5);
        after = true;
    };
    h.form.n_clear.choose();
    EXPECT_FALSE(after);
    ASSERT_EQ(h.ui.shown.size(), 1u);
    EXPECT_EQ(h.ui.shown[0].kind, platform::headless::Shown::Error);
    EXPECT_EQ(h.ui.shown[0].text, "File access denied.");
}

}  // namespace
