// Open, add and clear, and the files that come from outside the file dialog.
#include "app/main_window.h"
#include "lists/messages.h"
#include "app/texts.h"
#include "lists/choose_files.h"
#include "lists/path_parts.h"
#include "lists/views.h"

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
        ui().notice(lists::refusedNotice(messages::missingPathsHeading, given.missing));
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
        ui().notice(messages::listsChanged);
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
    lb_old.setText(texts::counterText(0));
    lb_new.setText(texts::counterText(0));
}
