#include "lists/choose_files.h"

#include "app/main_window.h"
#include "lists/list_store.h"
#include "lists/path_parts.h"
#include "lists/views.h"

namespace lists {

Representable splitByCodePage(platform::FileSystem& fs, const std::vector<std::string>& paths)
{
    Representable r;
    for (const auto& p : paths) {
        bool exact = false;
        fs.toAnsi(p, &exact);
        (exact ? r.kept : r.refused).push_back(p);
    }
    return r;
}

bool allRepresentable(platform::FileSystem& fs, const std::vector<std::string>& entries)
{
    bool exact = false;
    fs.toAnsi(joinLines(entries), &exact);
    return exact;
}

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

}  // namespace lists

std::vector<std::string> TFrmMain::chooseFiles()
{
    auto chosen = odOPen.execute();
    if (!chosen)
        return {};
    auto split = lists::splitByCodePage(os_.fs, *chosen);
    if (!split.refused.empty())
        ui().notice(lists::refusedNotice(lists::refusedPathsHeading, split.refused));
    return split.kept;
}

void TFrmMain::dropNewList()
{
    // Before the original list changes: its old pairs must never meet the new entries.
    mmRenamed.clear();
    store_.removePair(lists::ListPair::New);
}

void TFrmMain::n_openClick()
{
    sourceFolder.clear();
    outputFolder.clear();
    const auto files = chooseFiles();
    if (files.empty())
        return;
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
    const auto files = chooseFiles();
    if (files.empty())
        return;
    dropNewList();
    store_.appendOriginal(files);
    mmOriginal.clear();
    loadView(mmOriginal, lists::ListPair::Original, cbShowpathO.checked());
    lbpath.setText(lists::folderPart(files.front()));
}

void TFrmMain::n_clearClick()
{
    mmOriginal.clear();
    mmRenamed.clear();
    store_.removePair(lists::ListPair::Original);
    lb_old.setText(lists::counterText(0));
    lb_new.setText(lists::counterText(0));
}
