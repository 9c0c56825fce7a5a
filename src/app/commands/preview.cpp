// The preview turns the original list into the new list; cancel throws the new list away.
#include <vector>

#include "app/main_window.h"
#include "app/texts.h"
#include "lists/messages.h"
#include "lists/views.h"
#include "rename/compose.h"

void TFrmMain::n_previewClick()
{
    recoverUnfinishedRun();
    const auto original = store_.readOriginal();
    if (!original) {
        ui().notice(messages::listsChanged);
        return;
    }
    if (!original->present)
        return;
    const std::vector<std::string>& originals = original->entries;
    // A list without entries has nothing to preview, like a missing one.
    if (originals.empty())
        return;
    if (!os_.fs.fileExists(originals.front())) {
        ui().notice(notFoundNotice(originals.front()));
        return;
    }
    const renaming::RenameOptions options = renameOptions();
    // A start number that is no number is reported before the new list is touched, so that the
    // list Execute acts on is always the one the view shows.
    if (options.cbInitNo)
        renaming::startNumber(options);
    const bool outputFolderExists = !options.rbRename && os_.fs.folderExists(options.lbpath);

    std::vector<std::string> paths;
    paths.reserve(originals.size());
    for (std::size_t k = 0; k < originals.size(); ++k)
        paths.push_back(renaming::composeEntry(originals[k], k, options, outputFolderExists).path);
    store_.rewriteNew(paths, *original);
    loadView(mmRenamed, lists::ListPair::New, cbshowpathR.checked());
}

void TFrmMain::n_cancelClick()
{
    mmRenamed.clear();
    store_.removePair(lists::ListPair::New);
}

std::string TFrmMain::notFoundNotice(const std::string& path)
{
    return texts::notFoundPrefix + lists::viewText(path) + texts::notFoundSuffix;
}
