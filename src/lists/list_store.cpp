#include "lists/list_store.h"

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
    return fs_.fromAnsi(fs_.readAll(pathOf(file)));
}

void ListStore::write(ListFile file, const std::vector<std::string>& entries, bool append) const
{
    std::string bytes = fs_.toAnsi(joinLines(entries));
    if (append)
        fs_.append(pathOf(file), bytes);
    else
        fs_.writeAll(pathOf(file), bytes);
}

void ListStore::rewrite(ListPair pair, const std::vector<std::string>& paths) const
{
    // Both files are emptied before either is filled, as a partly failed rewrite must not leave
    // the old entries of one file beside the new entries of the other.
    fs_.writeAll(pathOf(pathFileOf(pair)), "");
    fs_.writeAll(pathOf(nameFileOf(pair)), "");
    write(pathFileOf(pair), paths, false);
    write(nameFileOf(pair), nameParts(paths), false);
}

void ListStore::appendOriginal(const std::vector<std::string>& paths) const
{
    if (!exists(ListFile::OriginalPaths)) {
        rewrite(ListPair::Original, paths);
        return;
    }
    write(ListFile::OriginalPaths, paths, true);
    write(ListFile::OriginalNames, nameParts(paths), true);
}

void ListStore::remove(ListFile file) const
{
    fs_.deleteFile(pathOf(file));
}

void ListStore::replaceWithCopy(ListFile target, ListFile source) const
{
    fs_.copyFile(pathOf(source), pathOf(target), false);
}

}  // namespace lists
