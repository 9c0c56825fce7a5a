// The window's look at a run under way: on the window's thread, between its messages, while the
// worker still has the run's record and journal to see to.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "lists/list_store.h"
#include "platform/headless/headless_fs.h"
#include "platform/headless/headless_ui.h"

using lists::ListFile;
using platform::headless::Op;

namespace {

// As the window system's backend runs a look, but counting what escapes one: there the worker's
// thread is still joinable when it unwinds, and the process ends without a word.
struct LookWatchingUi : platform::headless::HeadlessUi {
    using HeadlessUi::HeadlessUi;
    int escaped = 0;
    void runInBackground(const std::function<void()>& work, const std::function<void()>& tick, int ms) override
    {
        HeadlessUi::runInBackground(
            work,
            [&] {
                try {
                    tick();
                } catch (...) {
                    ++escaped;
                    throw;
                }
            },
            ms);
    }
};

struct Window {
    platform::headless::HeadlessFileSystem fs;
    LookWatchingUi ui{fs};
    platform::headless::HeadlessShell shell;
    TFrmMain form{platform::Platform{ui, fs, shell}};
    Window() { form.show(); }
    std::vector<std::string> takeShown()
    {
        std::vector<std::string> texts;
        for (const auto& s : ui.shown)
            texts.push_back(s.text);
        ui.shown.clear();
        return texts;
    }
};

}  // namespace

// A million entries are a few hundred megabytes in the view's forms, made while the worker still
// holds the run's own: what the heap refuses then is no AppError. The run still ends as a run
// does, its question asked and its list shown, and nothing leaves the look.
TEST(RunLook, ShowingTheWrittenListDuringTheRunLetsNoFailureOutOfTheLook)
{
    const std::vector<std::pair<const char*, std::function<void()>>> refusals{
        {"heap exhausted", [] { throw std::bad_alloc(); }},
        {"string too long", [] { throw std::length_error("basic_string::_M_create"); }},
    };
    for (const auto& [what, refuse] : refusals) {
        SCOPED_TRACE(what);
        Window w;
        for (const char* p : {"C:\\pics\\a.jpg", "C:\\pics\\b.JPG"})
            w.fs.addFile(p, p);
        w.ui.fileAnswers.push_back(platform::OpenFileAnswer{{"C:\\pics\\a.jpg", "C:\\pics\\b.JPG"}, 1});
        w.form.n_open.choose();
        w.form.edtname.setText("trip");
        w.form.n_preview.choose();
        ASSERT_TRUE(w.takeShown().empty());
        const std::string names = w.form.store().pathOf(ListFile::OriginalNames);
        int reads = 0;
        // Only the first read of the list the run wrote is refused: the run's end may read it again.
        w.fs.fault = [&](Op op, const std::string& path) -> std::uint32_t {
            if (op == Op::Read && path == names && w.fs.content(names).find("trip") != std::string::npos &&
                ++reads == 1)
                refuse();
            return 0;
        };
        w.form.n_run.choose();
        EXPECT_EQ(w.ui.escaped, 0);
        EXPECT_EQ(w.takeShown(), std::vector<std::string>{"执行成功!\r是否打开目录查看 C:\\pics\\"});
        EXPECT_EQ(w.form.mmOriginal.text(), "trip001.jpg\r\ntrip002.JPG\r\n");
        EXPECT_TRUE(w.fs.fileExists("C:\\pics\\trip001.jpg"));
    }
}
