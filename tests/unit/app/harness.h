#pragma once
// A main window over the headless backend, with helpers to act on it as a user does.
#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "lists/list_encoding.h"
#include "lists/list_store.h"
#include "platform/headless/headless_fs.h"
#include "platform/headless/headless_ui.h"

namespace test {

using platform::headless::HeadlessControl;
using platform::headless::HeadlessForm;

inline HeadlessControl& user(platform::Control& c) { return static_cast<HeadlessControl&>(c.peer()); }

struct Harness {
    platform::headless::HeadlessFileSystem fs;
    platform::headless::HeadlessUi ui{fs};
    platform::headless::HeadlessShell shell;
    TFrmMain form{platform::Platform{ui, fs, shell}};

    // What an earlier process left beside the program is set up before the window first shows.
    explicit Harness(const std::function<void(Harness&)>& before = {})
    {
        if (before)
            before(*this);
        form.show();
    }

    // A main window opened on a display of this density.
    explicit Harness(int dpi) : ui(fs, dpi) { form.show(); }

    HeadlessForm& window() { return static_cast<HeadlessForm&>(form.peer()); }
    std::string listPath(lists::ListFile f) { return form.store().pathOf(f); }
    std::string listBytes(lists::ListFile f) { return fs.content(listPath(f)); }
    bool listExists(lists::ListFile f) { return fs.fileExists(listPath(f)); }
    // Puts a list file beside the program as an earlier action would have left it.
    void putList(lists::ListFile f, const std::vector<std::string>& lines)
    {
        fs.addFile(listPath(f), fs.toAnsi(lists::joinLines(lines)));
    }
    // Writes both lists as an open and a preview (or an import) would have.
    void writeLists(const std::vector<std::string>& originals, const std::vector<std::string>& targets)
    {
        form.store().rewrite(lists::ListPair::Original, originals);
        form.store().rewriteNew(lists::joinLines(targets), *form.store().readOriginal());
    }
    std::vector<std::string> list(lists::ListFile f) { return lists::splitLines(lists::decodeList(fs, listBytes(f))); }
    // Files on the volume, each holding its own path, chosen through Open.
    void openExistingFiles(const std::vector<std::string>& paths)
    {
        for (const auto& p : paths)
            fs.addFile(p, p);
        ui.fileAnswers.push_back(platform::OpenFileAnswer{paths, 1});
        form.n_open.choose();
    }
    // The texts of every message box shown so far, then forgets them.
    std::vector<std::string> takeShown()
    {
        std::vector<std::string> texts;
        for (const auto& s : ui.shown)
            texts.push_back(s.text);
        ui.shown.clear();
        return texts;
    }
};

}  // namespace test
