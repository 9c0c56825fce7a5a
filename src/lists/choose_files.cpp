#include "lists/choose_files.h"

#include <algorithm>
#include <unordered_set>

#include "app/main_window.h"
#include "app/texts.h"
#include "lists/list_store.h"
#include "lists/path_parts.h"
#include "lists/views.h"

namespace lists {

std::string refusedNotice(const std::string& heading, const std::vector<std::string>& refused)
{
    constexpr std::size_t shown = 10;
    std::string text = heading;
    for (std::size_t i = 0; i < refused.size() && i < shown; ++i)
        text += "\r" + refused[i];
    if (refused.size() > shown)
        text += "\r……";
    return text;
}

namespace {

constexpr std::uint32_t protectedFile = platform::attr::hidden | platform::attr::system;

std::vector<std::string> filesOfFolder(platform::FileSystem& fs, const std::string& folder)
{
    std::vector<platform::FolderEntry> entries = fs.filesIn(folder);
    std::erase_if(entries, [](const auto& e) { return (e.attributes & protectedFile) == protectedFile; });
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const auto& a, const auto& b) { return fs.compareNames(a.name, b.name) < 0; });
    const bool closed = !folder.empty() && (folder.back() == '\\' || folder.back() == ':');
    std::vector<std::string> paths;
    for (const auto& e : entries)
        paths.push_back(folder + (closed ? "" : "\\") + e.name);
    return paths;
}

}  // namespace

Given filesGiven(platform::FileSystem& fs, const std::vector<std::string>& paths, std::size_t limit)
{
    Given given;
    if (paths.size() > limit) {
        given.tooMany = true;
        return given;
    }
    std::unordered_set<std::string> pathsSeen, filesSeen;
    auto take = [&](const std::string& file) {
        if (filesSeen.insert(fs.caseKey(file)).second)
            given.files.push_back(file);
    };
    for (const auto& p : paths) {
        if (!pathsSeen.insert(fs.caseKey(p)).second)
            continue;
        // The system answers for a device as for a file, but it is none.
        if (isDeviceName(namePart(p))) {
            given.missing.push_back(p);
        } else if (fs.fileExists(p)) {
            take(p);
        } else if (fs.folderExists(p)) {
            for (const auto& inside : filesOfFolder(fs, p))
                take(inside);
        } else {
            given.missing.push_back(p);
        }
        if (given.files.size() > limit)
            return Given{{}, {}, true};
    }
    return given;
}

}  // namespace lists

std::vector<std::string> TFrmMain::chooseFiles()
{
    auto chosen = odOPen.execute();
    return chosen ? *chosen : std::vector<std::string>{};
}

std::vector<std::string> TFrmMain::takeGiven(const std::vector<std::string>& paths)
{
    const lists::Given given = lists::filesGiven(os_.fs, paths);
    if (given.tooMany) {
        ui().notice(texts::tooManyGiven);
        return {};
    }
    if (!given.missing.empty())
        ui().notice(lists::refusedNotice(lists::missingPathsHeading, given.missing));
    return given.files;
}

void TFrmMain::dropNewList()
{
    // Before the original list changes: its old pairs must never meet the new entries. A new
    // list that cannot be deleted is an error, and is out of force all the same.
    mmRenamed.clear();
    store_.removePair(lists::ListPair::New);
}

void TFrmMain::n_openClick()
{
    sourceFolder.clear();
    outputFolder.clear();
    openFiles(chooseFiles());
}

void TFrmMain::openFiles(const std::vector<std::string>& files)
{
    if (files.empty())
        return;
    recoverUnfinishedRun();
    dropNewList();
    store_.rewrite(lists::ListPair::Original, files);
    const std::string first = files.front();
    edtsuffix_old.setText(lists::extensionOf(first));
    edtsuffix_new.setText(lists::extensionOf(first));
    if (rbRename.checked())
        lbpath.setText(lists::folderPart(first));
    sourceFolder = lists::folderPart(first);
    mmOriginal.clear();
    loadView(mmOriginal, lists::ListPair::Original, cbShowpathO.checked());
    if (!os_.fs.folderExists(lbpath.text()))
        lbpath.setText(lists::folderPart(first));
    outputFolder = lbpath.text();
}

void TFrmMain::n_addClick()
{
    addFiles(chooseFiles());
}

void TFrmMain::addFiles(const std::vector<std::string>& files)
{
    if (files.empty())
        return;
    recoverUnfinishedRun();
    dropNewList();
    if (!store_.appendOriginal(files)) {
        ui().notice(lists::listsChangedNotice);
        return;
    }
    mmOriginal.clear();
    loadView(mmOriginal, lists::ListPair::Original, cbShowpathO.checked());
    lbpath.setText(lists::folderPart(files.front()));
}

void TFrmMain::FormDropFiles(const std::vector<std::string>& paths)
{
    const auto files = takeGiven(paths);
    if (store_.exists(lists::ListFile::OriginalPaths))
        addFiles(files);
    else
        openFiles(files);
}

void TFrmMain::openCommandLine(const std::vector<std::string>& arguments)
{
    openFiles(takeGiven(arguments));
}

void TFrmMain::n_clearClick()
{
    recoverUnfinishedRun();
    mmOriginal.clear();
    mmRenamed.clear();
    store_.removePair(lists::ListPair::Original);
    lb_old.setText(lists::counterText(0));
    lb_new.setText(lists::counterText(0));
}
