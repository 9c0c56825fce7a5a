#include "lists/import_names.h"

#include <algorithm>

#include "app/main_window.h"
#include "lists/names_decoding.h"
#include "lists/path_parts.h"
#include "platform/errors.h"

namespace lists {

std::vector<std::string> importedPaths(const std::vector<std::string>& originals, const std::vector<std::string>& names)
{
    std::vector<std::string> paths;
    const std::size_t k = std::min(originals.size(), names.size());
    paths.reserve(k);
    for (std::size_t i = 0; i < k; ++i)
        paths.push_back(folderPart(originals[i]) + names[i] + extensionOf(originals[i]));
    return paths;
}

}  // namespace lists

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
            ui().notice(lists::listsChangedNotice);
            return;
        }
        store_.rewriteNew(lists::importedPaths(original->entries, names), *original);
        loadView(mmRenamed, lists::ListPair::New, cbshowpathR.checked());
    } catch (const platform::AppError&) {
        // An import that fails says nothing; what was written stays.
    }
}
