// How the window looks at a run over before its first tick: only when the work asks it to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "platform/private_folder.h"

using platform::headless::Op;
using test::Harness;

namespace {

std::vector<platform::Control*> options(TFrmMain& f)
{
    return {&f.gb_name,  &f.cbNewname, &f.edtname,    &f.cbInitNo,       &f.edtvalue,   &f.cbPos,
            &f.gbReplace, &f.edtOldpart, &f.cbChangesuffix, &f.cbReadonly, &f.cbHidden, &f.rbRename,
            &f.rbSaveas, &f.btnFolder, &f.lbpath,     &f.cbShowpathO, &f.cbshowpathR, &f.Button1};
}

std::vector<bool> enabled(TFrmMain& f)
{
    std::vector<bool> now;
    for (platform::Control* c : options(f))
        now.push_back(c->enabled());
    return now;
}

// A run over before the window's first tick has it look once, when its lists are written: the
// original view is loaded then, while the record is written, and no option is drawn greyed and
// drawn again for it, as none is for lists that refuse a run.
TEST(QuickRun, TheLookAtWrittenListsLoadsTheViewAndGreysNoOption)
{
    for (const bool copying : {false, true}) {
        SCOPED_TRACE(copying);
        Harness h;
        h.ui.timedLooks = false;
        h.openExistingFiles({"C:\\pics\\a.jpg", "C:\\pics\\b.JPG", "C:\\pics\\c.gif"});
        h.form.edtname.setText("trip");
        if (copying) {
            h.fs.addFolder("D:\\out");
            h.form.rbSaveas.setChecked(true);
            h.ui.folderAnswers.push_back({"D:\\out"});
            h.form.btnFolderClick();
        }
        h.form.n_preview.choose();
        const std::vector<bool> before = enabled(h.form);
        const std::string history = platform::privateFolderPath(h.fs) + "ThumbUndo";
        std::size_t historyOps = 0;
        h.fs.fault = [&](Op, const std::string& path) -> std::uint32_t {
            if (path.rfind(history, 0) != 0)
                return 0;
            ++historyOps;
            EXPECT_EQ(h.form.mmOriginal.text(), "trip001.jpg\r\ntrip002.JPG\r\ntrip003.gif\r\n") << path;
            EXPECT_EQ(enabled(h.form), before) << path;
            return 0;
        };
        h.form.n_run.choose();
        h.fs.fault = nullptr;
        EXPECT_GT(historyOps, 0u);
        EXPECT_EQ(enabled(h.form), before);
        EXPECT_EQ(h.form.mmOriginal.text(), "trip001.jpg\r\ntrip002.JPG\r\ntrip003.gif\r\n");
    }
}

}  // namespace
