// How the window looks at a run the way the Windows backend does: ticks only while the run lasts,
// and a look whenever the work asks for one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "platform/headless/headless_fs.h"
#include "platform/headless/headless_ui.h"
#include "platform/private_folder.h"

using platform::headless::Op;

namespace {

// A run that ends before the first tick is due: the only looks are those its work asks for.
class LooksWhenAskedUi : public platform::headless::HeadlessUi {
public:
    using HeadlessUi::HeadlessUi;
    void runInBackground(const BackgroundWork& work, const std::function<void()>& tick, int) override
    {
        work(tick);
    }
};

struct QuickRun {
    platform::headless::HeadlessFileSystem fs;
    LooksWhenAskedUi ui{fs};
    platform::headless::HeadlessShell shell;
    TFrmMain form{platform::Platform{ui, fs, shell}};
    QuickRun() { form.show(); }

    std::vector<platform::Control*> options()
    {
        return {&form.gb_name,  &form.cbNewname, &form.edtname,    &form.cbInitNo,     &form.edtvalue,
                &form.cbPos,    &form.gbReplace, &form.edtOldpart, &form.cbChangesuffix, &form.cbReadonly,
                &form.cbHidden, &form.rbRename,  &form.rbSaveas,   &form.btnFolder,    &form.lbpath,
                &form.cbShowpathO, &form.cbshowpathR, &form.Button1};
    }
    std::vector<bool> enabled()
    {
        std::vector<bool> now;
        for (platform::Control* c : options())
            now.push_back(c->enabled());
        return now;
    }
};

// A run over before the window's first tick has it look once, when its lists are written: the
// original view is loaded then, while the record is written, and no option is drawn greyed and
// drawn again for it, as none is for lists that refuse a run.
TEST(QuickRun, TheLookAtWrittenListsLoadsTheViewAndGreysNoOption)
{
    for (const bool copying : {false, true}) {
        SCOPED_TRACE(copying);
        QuickRun q;
        const std::vector<std::string> files = {"C:\\pics\\a.jpg", "C:\\pics\\b.JPG", "C:\\pics\\c.gif"};
        for (const auto& f : files)
            q.fs.addFile(f, f);
        q.ui.fileAnswers.push_back(platform::OpenFileAnswer{files, 1});
        q.form.n_open.choose();
        q.form.edtname.setText("trip");
        if (copying) {
            q.fs.addFolder("D:\\out");
            q.form.rbSaveas.setChecked(true);
            q.ui.folderAnswers.push_back({"D:\\out"});
            q.form.btnFolderClick();
        }
        q.form.n_preview.choose();
        const std::vector<bool> before = q.enabled();
        const std::string history = platform::privateFolderPath(q.fs) + "ThumbUndo";
        std::size_t historyOps = 0;
        q.fs.fault = [&](Op, const std::string& path) -> std::uint32_t {
            if (path.rfind(history, 0) != 0)
                return 0;
            ++historyOps;
            EXPECT_EQ(q.form.mmOriginal.text(), "trip001.jpg\r\ntrip002.JPG\r\ntrip003.gif\r\n") << path;
            EXPECT_EQ(q.enabled(), before) << path;
            return 0;
        };
        q.form.n_run.choose();
        q.fs.fault = nullptr;
        EXPECT_GT(historyOps, 0u);
        EXPECT_EQ(q.enabled(), before);
        EXPECT_EQ(q.form.mmOriginal.text(), "trip001.jpg\r\ntrip002.JPG\r\ntrip003.gif\r\n");
    }
}

}  // namespace
