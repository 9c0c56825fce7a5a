#include <gtest/gtest.h>

#include "harness.h"
#include "lists/choose_files.h"

using lists::ListFile;
using test::Harness;

namespace {

enum class Way { Drop, HandOver, CommandLine };

const char* const smiley = "C:\\p\\\xF0\x9F\x98\x80.jpg";  // no place in code page 936

// The same volume in every harness: loose files, a folder whose listing order differs from the
// browser's, an empty folder.
void makeVolume(Harness& h)
{
    for (const char* p : {"C:\\p\\b.png", "C:\\p\\a.jpg", "C:\\p\\README", "C:\\old\\x.jpg", smiley,
                          "C:\\f\\img10.jpg", "C:\\f\\IMG2.jpg", "C:\\f\\img1.jpg", "C:\\f\\a.txt",
                          "C:\\f\\sub\\deeper.jpg"})
        h.fs.addFile(p, p);
    h.fs.addFile("C:\\f\\desktop.ini", "", platform::attr::hidden | platform::attr::system);
    h.fs.addFile("C:\\f\\h.jpg", "", platform::attr::hidden);
    h.fs.addFolder("C:\\empty");
}

// Everything open and add leave behind that a user or a later action can see.
std::vector<std::string> state(Harness& h)
{
    std::vector<std::string> s;
    for (ListFile f : lists::allListFiles)
        s.push_back(std::string(lists::fileName(f)) + "=" + (h.listExists(f) ? h.listBytes(f) : "(none)"));
    TFrmMain& w = h.form;
    for (const platform::TextControl* c : std::initializer_list<const platform::TextControl*>{
             &w.mmOriginal, &w.mmRenamed, &w.lb_old, &w.lb_new, &w.edtsuffix_old, &w.edtsuffix_new, &w.lbpath})
        s.push_back(c->text());
    s.push_back("source=" + w.sourceFolder);
    s.push_back("output=" + w.outputFolder);
    return s;
}

struct Case {
    const char* what;
    Way way;
    bool listBefore;
    std::vector<std::string> given;
    std::vector<std::string> taken;  // what the dialog would have had to answer
    std::vector<std::string> notices;
};

const std::string missingHead = "以下文件不存在，未加入列表：";

TEST(FilesFromOutside, ActAsOpenOrAddWithTheSameFiles)
{
    const std::vector<std::string> folderFiles{"C:\\f\\a.txt", "C:\\f\\h.jpg", "C:\\f\\img1.jpg", "C:\\f\\IMG2.jpg",
                                               "C:\\f\\img10.jpg"};
    const Case cases[] = {
        {"drop, no list: open", Way::Drop, false, {"C:\\p\\b.png", "C:\\p\\a.jpg"}, {"C:\\p\\b.png", "C:\\p\\a.jpg"}, {}},
        {"drop onto a list: add", Way::Drop, true, {"C:\\p\\README", "C:\\p\\a.jpg"}, {"C:\\p\\README", "C:\\p\\a.jpg"}, {}},
        {"a folder, with and without closing separator", Way::Drop, false, {"C:\\f"}, folderFiles, {}},
        {"a folder's files in browser order", Way::HandOver, true, {"c:\\F\\"}, {"c:\\F\\a.txt", "c:\\F\\h.jpg",
            "c:\\F\\img1.jpg", "c:\\F\\IMG2.jpg", "c:\\F\\img10.jpg"}, {}},
        {"a mixed selection keeps its order", Way::Drop, true, {"C:\\p\\b.png", "C:\\f", "C:\\p\\a.jpg"},
         {"C:\\p\\b.png", "C:\\f\\a.txt", "C:\\f\\h.jpg", "C:\\f\\img1.jpg", "C:\\f\\IMG2.jpg", "C:\\f\\img10.jpg",
          "C:\\p\\a.jpg"}, {}},
        {"names beyond the code page", Way::Drop, false, {smiley, "C:\\p\\a.jpg"}, {smiley, "C:\\p\\a.jpg"}, {}},
        {"missing names among names beyond the code page", Way::CommandLine, false,
         {"C:\\p\\gone.jpg", smiley, "C:\\p\\b.png", "D:\\x"}, {smiley, "C:\\p\\b.png"},
         {missingHead + "\rC:\\p\\gone.jpg\rD:\\x"}},
        {"the command line opens over a list", Way::CommandLine, true, {"C:\\p\\a.jpg"}, {"C:\\p\\a.jpg"}, {}},
        {"an empty folder changes nothing", Way::Drop, true, {"C:\\empty"}, {}, {}},
        {"nothing but missing names changes nothing", Way::HandOver, false, {"C:\\nope"}, {}, {missingHead + "\rC:\\nope"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Harness outside, dialog;
        for (Harness* h : {&outside, &dialog}) {
            makeVolume(*h);
            // Copies to a folder: open keeps an existing output folder, add replaces it.
            h->form.rbSaveas.peer().setChecked(true);
            h->form.rbRename.peer().setChecked(false);
            h->fs.addFolder("C:\\out");
            h->form.lbpath.setText("C:\\out");
            if (c.listBefore) {
                h->ui.fileAnswers.push_back(platform::OpenFileAnswer{{"C:\\old\\x.jpg"}, 1});
                h->form.n_open.choose();
            }
            h->putList(ListFile::NewPaths, {"C:\\old\\y.jpg"});
            h->putList(ListFile::NewNames, {"y.jpg"});
            h->form.cbshowpathR.setChecked(true);
        }
        const int frontBefore = outside.window().broughtToFront;
        switch (c.way) {
        case Way::Drop: outside.window().dropFiles(c.given); break;
        case Way::HandOver: outside.window().handOver(c.given); break;
        case Way::CommandLine: outside.form.openCommandLine(c.given); break;
        }
        EXPECT_EQ(outside.window().broughtToFront - frontBefore, c.way == Way::HandOver ? 1 : 0);
        EXPECT_EQ(outside.takeShown(), c.notices);

        if (!c.taken.empty()) {
            dialog.ui.fileAnswers.push_back(platform::OpenFileAnswer{c.taken, 1});
            (c.way == Way::CommandLine || !c.listBefore ? dialog.form.n_open : dialog.form.n_add).choose();
        }
        EXPECT_TRUE(dialog.ui.shown.empty());
        EXPECT_EQ(state(outside), state(dialog));
    }
}

TEST(FilesFromOutside, ADropWhileAModalBoxIsOpenWaitsForItsHandler)
{
    Harness h;
    makeVolume(h);
    h.ui.whileModal = [&] { h.window().handOver({"C:\\p\\b.png"}); };
    h.ui.fileAnswers.push_back(platform::OpenFileAnswer{{"C:\\p\\a.jpg"}, 1});
    h.form.n_open.choose();
    // Open ended first; the files that arrived meanwhile were then added.
    EXPECT_EQ(h.list(ListFile::OriginalPaths), (std::vector<std::string>{"C:\\p\\a.jpg", "C:\\p\\b.png"}));
    EXPECT_EQ(h.form.edtsuffix_old.text(), ".jpg");
    EXPECT_EQ(h.form.lb_old.text(), "共 2 行");
}

// While a run goes the window answers, but files handed to it wait for the run to end, and a
// window closed meanwhile takes none of them.
TEST(FilesFromOutside, FilesArrivingDuringARunWaitForItOrGoWithTheWindow)
{
    for (const bool closeDuringRun : {false, true}) {
        SCOPED_TRACE(closeDuringRun ? "closed during the run" : "left open");
        Harness h;
        makeVolume(h);
        h.openExistingFiles({"C:\\pics\\a.jpg", "C:\\pics\\b.jpg"});
        h.form.edtname.setText("trip");
        h.form.n_preview.choose();
        const std::string before = h.listBytes(ListFile::OriginalPaths);
        h.ui.whileRunning = [&] {
            h.window().handOver({"C:\\p\\a.jpg"});
            EXPECT_EQ(h.listBytes(ListFile::OriginalPaths), before);
            if (closeDuringRun)
                h.window().close();
        };
        h.ui.answers.push_back(closeDuringRun);  // stop and close; or leave the folder unopened
        h.form.n_run.choose();
        if (closeDuringRun) {
            EXPECT_TRUE(h.window().closed);
            for (ListFile f : lists::allListFiles)
                EXPECT_FALSE(h.listExists(f));
        } else {
            EXPECT_EQ(h.list(ListFile::OriginalPaths),
                      (std::vector<std::string>{"C:\\pics\\trip001.jpg", "C:\\pics\\trip002.jpg", "C:\\p\\a.jpg"}));
        }
    }
}

// A file named twice, or once by name and once through its folder, or its folder twice, in
// any spelling of the same name, is taken once, where it first comes.
TEST(FilesFromOutside, AFileGivenTwiceIsTakenOnce)
{
    Harness h;
    makeVolume(h);
    std::vector<std::string> flood;
    for (int i = 0; i < 1000; ++i)
        flood.insert(flood.end(), {"C:\\f", "c:\\F\\", "C:\\p\\a.jpg", "C:\\P\\A.JPG", "C:\\nope"});
    flood.push_back("C:\\f\\img1.jpg");
    h.window().handOver(flood);
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{missingHead + "\rC:\\nope"});
    EXPECT_EQ(h.list(ListFile::OriginalPaths),
              (std::vector<std::string>{"C:\\f\\a.txt", "C:\\f\\h.jpg", "C:\\f\\img1.jpg", "C:\\f\\IMG2.jpg",
                                        "C:\\f\\img10.jpg", "C:\\p\\a.jpg"}));
}

// More than one list's worth is refused whole, counted after a file given twice counts once:
// by the names given, before any of them is looked at, or by the files their folders bring.
TEST(FilesFromOutside, TooManyFilesAreRefusedWhole)
{
    platform::headless::HeadlessFileSystem fs;
    for (const char* p : {"C:\\f\\1.jpg", "C:\\f\\2.jpg", "C:\\f\\3.jpg", "C:\\g\\4.jpg"})
        fs.addFile(p);
    const struct {
        const char* what;
        std::vector<std::string> given;
        bool tooMany;
        std::size_t files;
    } cases[] = {
        {"as many as the limit", {"C:\\f"}, false, 3},
        {"the limit's worth twice over", {"C:\\f", "C:\\f\\1.jpg", "c:\\F\\2.JPG"}, false, 3},
        {"one file more", {"C:\\f", "C:\\g\\4.jpg"}, true, 0},
        {"one name more, though missing", {"C:\\x", "C:\\y", "C:\\z", "C:\\w"}, true, 0},
        {"missing names are no files", {"C:\\x", "C:\\y", "C:\\f\\1.jpg"}, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const lists::Given given = lists::filesGiven(fs, c.given, 3);
        EXPECT_EQ(given.tooMany, c.tooMany);
        EXPECT_EQ(given.files.size(), c.files);
        if (c.tooMany) {
            EXPECT_TRUE(given.missing.empty());
        }
    }
}

TEST(FilesFromOutside, AHandOverOfMoreThanAMillionNamesChangesNothing)
{
    Harness h;
    makeVolume(h);
    h.openExistingFiles({"C:\\old\\x.jpg"});
    h.form.n_preview.choose();
    const auto before = state(h);
    const int frontBefore = h.window().broughtToFront;
    h.window().handOver(std::vector<std::string>(lists::maxGivenFiles + 1, "C:\\p\\a.jpg"));
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"一次加入的文件超过 1000000 个，未加入列表。"});
    EXPECT_EQ(state(h), before);
    EXPECT_EQ(h.window().broughtToFront - frontBefore, 1);
}

TEST(FilesFromOutside, TheTestVolumeOrdersNamesAsTheFileBrowser)
{
    platform::headless::HeadlessFileSystem fs;
    const struct {
        const char *a, *b;
        int order;
    } pairs[] = {
        {"img2.jpg", "img10.jpg", -1},  {"IMG2.jpg", "img2.JPG", 0},  {"a", "a1", -1},
        {"1z", "a", -1},                {"x007", "x7", 0},            {"x07y", "x7z", -1},
        {"n99999999999999999999", "n100000000000000000000", -1},     {"b", "A", 1},
        {"淺2", "淺10", -1},
    };
    for (const auto& p : pairs) {
        EXPECT_EQ(fs.compareNames(p.a, p.b), p.order) << p.a << " / " << p.b;
        EXPECT_EQ(fs.compareNames(p.b, p.a), -p.order) << p.b << " / " << p.a;
    }
}

}  // namespace
