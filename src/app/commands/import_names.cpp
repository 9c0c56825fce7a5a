// Importing prepared names as the new list.
#include "app/main_window.h"
#include "lists/messages.h"
#include "lists/import_names.h"
#include "lists/names_decoding.h"
#include "lists/path_parts.h"
#include "platform/errors.h"

void TFrmMain::Button1Click()
{
    recoverUnfinishedRun();
    const auto chosen = Ofile.execute();
    if (!chosen || !os_.fs.fileExists(chosen->front()))
        return;
    try {
        const auto names = lists::splitLines(lists::decodeNamesFile(os_.fs, os_.fs.readAll(chosen->front())));
        const auto original = store_.readOriginal();
        if (!original) {
            ui().notice(messages::listsChanged);
            return;
        }
        store_.rewriteNew(lists::importedPaths(original->entries, names), *original);
        loadView(mmRenamed, lists::ListPair::New, cbshowpathR.checked());
    } catch (const platform::AppError&) {
        // An import that fails says nothing; what was written stays.
    }
}
