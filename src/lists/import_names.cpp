#include "lists/import_names.h"

#include <algorithm>

#include "app/main_window.h"
#include "lists/path_parts.h"
#include "platform/errors.h"
#include "platform/utf8.h"

namespace lists {

std::string decodeNamesFile(platform::FileSystem& fs, const std::string& bytes)
{
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        return bytes.substr(3);
    if (bytes.rfind("\xFF\xFE", 0) == 0)
        return platform::utf16ToUtf8(bytes.substr(2), false);
    if (bytes.rfind("\xFE\xFF", 0) == 0)
        return platform::utf16ToUtf8(bytes.substr(2), true);
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii && platform::isValidUtf8(bytes))
        return bytes;
    return fs.fromAnsi(bytes);
}

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
    const auto chosen = Ofile.execute();
    if (!chosen || !os_.fs.fileExists(chosen->front()))
        return;
    try {
        const auto names = lists::splitLines(lists::decodeNamesFile(os_.fs, os_.fs.readAll(chosen->front())));
        const auto originals = store_.exists(lists::ListFile::OriginalPaths)
                                   ? store_.read(lists::ListFile::OriginalPaths)
                                   : std::vector<std::string>{};
        store_.rewrite(lists::ListPair::New, lists::importedPaths(originals, names));
        loadView(mmRenamed, lists::ListPair::New, cbshowpathR.checked());
    } catch (const platform::AppError&) {
        // An import that fails says nothing; what was written stays.
    }
}
