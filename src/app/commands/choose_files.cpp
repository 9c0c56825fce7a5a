// Open, add and clear, and the files that come from outside the file dialog.
#include "app/main_window.h"
#include "app/texts.h"
#include "lists/path_parts.h"

std::vector<std::string> TFrmMain::chooseFiles()
{
    auto chosen = odOPen.execute();
    return chosen ? *chosen : std::vector<std::string>{};
}

std::vector<std::string> TFrmMain::takeGiven(const std::vector<std::string>& paths)
{
    renaming::GivenFiles given = session_.given(paths);
    present(given.shown);
    return std::move(given.files);
}

void TFrmMain::n_openClick()
{
    sourceFolder.clear();
    outputFolder.clear();
    openFiles(chooseFiles());
}

void TFrmMain::openFiles(const std::vector<std::string>& files)
{
    const renaming::Shown shown = session_.open(files);
    if (!shown.refused && !shown.failure) {
        const std::string first = files.front();
        edtsuffix_old.setText(lists::extensionOf(first));
        edtsuffix_new.setText(lists::extensionOf(first));
        if (rbRename.checked())
            lbpath.setText(lists::folderPart(first));
        sourceFolder = lists::folderPart(first);
    }
    present(shown);
    if (shown.refused)
        return;
    if (!os_.fs.folderExists(lbpath.text()))
        lbpath.setText(lists::folderPart(files.front()));
    outputFolder = lbpath.text();
}

void TFrmMain::n_addClick()
{
    addFiles(chooseFiles());
}

void TFrmMain::addFiles(const std::vector<std::string>& files)
{
    const renaming::Shown shown = session_.add(files);
    present(shown);
    if (!shown.refused)
        lbpath.setText(lists::folderPart(files.front()));
}

void TFrmMain::FormDropFiles(const std::vector<std::string>& paths)
{
    const auto files = takeGiven(paths);
    if (session_.store().exists(lists::ListFile::OriginalPaths))
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
    present(session_.clear());
    lb_old.setText(texts::counterText(0));
    lb_new.setText(texts::counterText(0));
}
