#include "lists/list_store.h"

#include "lists/list_encoding.h"
#include "lists/path_parts.h"
#include "platform/errors.h"

namespace lists {

namespace {
ListFile pathFileOf(ListPair pair) { return pair == ListPair::Original ? ListFile::OriginalPaths : ListFile::NewPaths; }
ListFile nameFileOf(ListPair pair) { return pair == ListPair::Original ? ListFile::OriginalNames : ListFile::NewNames; }

std::vector<std::string> nameParts(const std::vector<std::string>& paths)
{
    std::vector<std::string> names;
    names.reserve(paths.size());
    for (const auto& p : paths)
        names.push_back(namePart(p));
    return names;
}
}  // namespace

const char* fileName(ListFile file)
{
    switch (file) {
    case ListFile::OriginalPaths: return "ThumbPath.db";
    case ListFile::OriginalNames: return "ThumbName.db";
    case ListFile::NewPaths: return "Thumb1Path.db";
    case ListFile::NewNames: return "Thumb1Name.db";
    }
    return "";
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text, start, i - start);
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text, start);
    return lines;
}

std::string joinLines(const std::vector<std::string>& entries)
{
    std::size_t size = 0;
    for (const auto& e : entries)
        size += e.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& e : entries) {
        text += e;
        text += "\r\n";
    }
    return text;
}

ListStore::ListStore(platform::FileSystem& fs) : fs_(fs), folder_(folderPart(fs.modulePath())) {}

std::string ListStore::pathOf(ListFile file) const
{
    return folder_ + fileName(file);
}

bool ListStore::exists(ListFile file) const
{
    return fs_.fileExists(pathOf(file));
}

std::vector<std::string> ListStore::read(ListFile file) const
{
    return splitLines(text(file));
}

std::string ListStore::text(ListFile file) const
{
    return decodeList(fs_, fs_.readAll(pathOf(file)));
}

namespace {
std::string temporaryOf(const std::string& path) { return path + ".tmp"; }
}  // namespace

void ListStore::writeTemporaries(ListPair pair, const std::vector<std::string>& paths) const
{
    try {
        const EncodedPair bytes = encodePair(fs_, joinLines(paths), joinLines(nameParts(paths)));
        fs_.writeAll(temporaryOf(pathOf(pathFileOf(pair))), bytes.paths);
        fs_.writeAll(temporaryOf(pathOf(nameFileOf(pair))), bytes.names);
    } catch (const platform::IoError&) {
        removeTemporaries(pair);
        throw;
    }
}

void ListStore::removeTemporaries(ListPair pair) const
{
    fs_.deleteFile(temporaryOf(pathOf(pathFileOf(pair))));
    fs_.deleteFile(temporaryOf(pathOf(nameFileOf(pair))));
}

void ListStore::rewrite(ListPair pair, const std::vector<std::string>& paths) const
{
    const std::string pathFile = pathOf(pathFileOf(pair)), nameFile = pathOf(nameFileOf(pair));
    writeTemporaries(pair, paths);
    if (auto code = fs_.replaceFile(temporaryOf(nameFile), nameFile)) {
        removeTemporaries(pair);
        throw platform::IoError(static_cast<int>(code));
    }
    if (auto code = fs_.replaceFile(temporaryOf(pathFile), pathFile)) {
        restoreNames(pair);
        removeTemporaries(pair);
        throw platform::IoError(static_cast<int>(code));
    }
}

void ListStore::restoreNames(ListPair pair) const
{
    const std::string nameFile = pathOf(nameFileOf(pair));
    if (!exists(pathFileOf(pair))) {
        fs_.deleteFile(nameFile);
        return;
    }
    try {
        const auto paths = read(pathFileOf(pair));
        fs_.writeAll(temporaryOf(nameFile), encodePair(fs_, joinLines(paths), joinLines(nameParts(paths))).names);
        fs_.replaceFile(temporaryOf(nameFile), nameFile);
    } catch (const platform::IoError&) {
        // The failure that brought us here is the one the user is told of.
    }
}

void ListStore::appendOriginal(const std::vector<std::string>& paths) const
{
    std::vector<std::string> all;
    if (exists(ListFile::OriginalPaths))
        all = read(ListFile::OriginalPaths);
    all.insert(all.end(), paths.begin(), paths.end());
    rewrite(ListPair::Original, all);
}

void ListStore::remove(ListFile file) const
{
    fs_.deleteFile(pathOf(file));
}

void ListStore::removePair(ListPair pair) const
{
    remove(pathFileOf(pair));
    remove(nameFileOf(pair));
}

std::string ListStore::journalPath() const
{
    return folder_ + "ThumbRun.db";
}

}  // namespace lists
