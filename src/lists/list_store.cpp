#include "lists/list_store.h"

#include "lists/list_encoding.h"
#include "lists/list_record.h"
#include "lists/path_parts.h"
#include "lists/views.h"
#include "platform/errors.h"
#include "platform/line_breaks.h"
#include "platform/private_folder.h"

namespace lists {

namespace {
ListFile pathFileOf(ListPair pair) { return pair == ListPair::Original ? ListFile::OriginalPaths : ListFile::NewPaths; }
ListFile nameFileOf(ListPair pair) { return pair == ListPair::Original ? ListFile::OriginalNames : ListFile::NewNames; }
}  // namespace

std::string namePartLines(std::string_view lines)
{
    std::string names;
    names.reserve(lines.size() / 2);
    platform::forEachLine(lines, [&](std::size_t start, std::size_t length) {
        const std::string_view path = lines.substr(start, length);
        names += path.substr(nameStart(path));
        names += "\r\n";
    });
    return names;
}

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
    lines.reserve(platform::countLines(text));
    platform::forEachLine(std::string_view(text),
                          [&](std::size_t start, std::size_t length) { lines.emplace_back(text, start, length); });
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
    return decode(fs_.readAll(pathOf(file)));
}

std::string ListStore::decode(const std::string& bytes) const
{
    return decodeList(fs_, bytes);
}

ListStore::PairBytes ListStore::encodePair(const std::string& pathLines) const
{
    return lists::encodePair(fs_, pathLines, namePartLines(pathLines));
}

namespace {
std::string temporaryOf(const std::string& path) { return path + ".tmp"; }

// The lists' folder is often one every program of the user can write: a temporary's name there
// may be a link to a file elsewhere, put there for the program to write it with administrator
// rights. Deleting the name takes the link away, never the file it leads to.
void writeTemporary(platform::FileSystem& fs, const std::string& path, const std::string& bytes)
{
    fs.deleteFile(path);
    fs.writeAll(path, bytes);
}
}  // namespace

std::string ListStore::digestOf(const std::string& path) const
{
    return fs_.fileExists(path) ? fs_.digest(fs_.readAll(path)) : "";
}

std::string ListStore::recordPath() const
{
    return platform::openPrivateFolder(fs_) + "ListRecord.db";
}

std::optional<ListRecord> ListStore::loadRecord() const
{
    const std::string path = recordPath();
    if (!fs_.fileExists(path))
        return std::nullopt;
    return ListRecord::parse(fs_.readAll(path));
}

void ListStore::saveRecord(const ListRecord& record) const
{
    const std::string path = recordPath();
    std::uint32_t code = 0;
    try {
        fs_.writeAll(temporaryOf(path), record.text());
        code = fs_.replaceFile(temporaryOf(path), path);
    } catch (const platform::IoError& e) {
        code = static_cast<std::uint32_t>(e.code());
    }
    if (code) {
        fs_.deleteFile(temporaryOf(path));
        throw platform::IoError(static_cast<int>(code));
    }
}

void ListStore::writeTemporaries(ListPair pair, const PairBytes& bytes) const
{
    try {
        writeTemporary(fs_, temporaryOf(pathOf(pathFileOf(pair))), bytes.paths);
        writeTemporary(fs_, temporaryOf(pathOf(nameFileOf(pair))), bytes.names);
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

void ListStore::commit(ListPair pair, const PairBytes& bytes, ListRecord next, bool newListFollows) const
{
    const std::string pathFile = pathOf(pathFileOf(pair)), nameFile = pathOf(nameFileOf(pair));
    const ListRecord before = loadRecord().value_or(ListRecord{});
    next.of(pathFileOf(pair)) = fs_.digest(bytes.paths);
    next.of(nameFileOf(pair)) = fs_.digest(bytes.names);
    if (newListFollows)
        next.newMadeFrom = next.of(ListFile::OriginalPaths);
    writeTemporaries(pair, bytes);
    try {
        saveRecord(next);
    } catch (const platform::IoError&) {
        removeTemporaries(pair);
        throw;
    }
    shown_.erase(pathFileOf(pair));
    shown_.erase(nameFileOf(pair));
    std::uint32_t code = fs_.replaceFile(temporaryOf(nameFile), nameFile);
    if (!code && (code = fs_.replaceFile(temporaryOf(pathFile), pathFile)))
        restoreNames(pair);
    if (!code)
        return;
    // Undone: the old pair is in force again, as the record says.
    try {
        saveRecord(before);
    } catch (const platform::IoError&) {
        // The record names lists that are not on the disk: nothing executes them.
    }
    removeTemporaries(pair);
    throw platform::IoError(static_cast<int>(code));
}

void ListStore::rewrite(ListPair pair, const std::vector<std::string>& paths) const
{
    finishReplacements();
    ListRecord next = loadRecord().value_or(ListRecord{});
    next.newMadeFrom.clear();
    commit(pair, encodePair(joinLines(paths)), next);
}

void ListStore::restoreNames(ListPair pair) const
{
    const std::string nameFile = pathOf(nameFileOf(pair));
    if (!exists(pathFileOf(pair))) {
        fs_.deleteFile(nameFile);
        return;
    }
    try {
        writeTemporary(fs_, temporaryOf(nameFile), encodePair(joinLines(read(pathFileOf(pair)))).names);
        fs_.replaceFile(temporaryOf(nameFile), nameFile);
    } catch (const platform::IoError&) {
        // The failure that brought us here is the one the user is told of.
    }
}

bool ListStore::belongTogether(ListPair pair) const
{
    const bool paths = exists(pathFileOf(pair)), names = exists(nameFileOf(pair));
    if (!paths || !names)
        return paths == names;
    return splitLines(namePartLines(text(pathFileOf(pair)))) == read(nameFileOf(pair));
}

void ListStore::finishReplacements() const
{
    // A record never moved into place was never in force.
    if (const std::string cut = temporaryOf(recordPath()); fs_.fileExists(cut))
        fs_.deleteFile(cut);
    std::optional<ListRecord> record;
    for (ListFile f : allListFiles) {
        const std::string path = pathOf(f), temporary = temporaryOf(path);
        if (!fs_.fileExists(temporary))
            continue;
        if (!record)
            record = loadRecord().value_or(ListRecord{});
        // Recorded, so the replacement was under way when the process died: finish it.
        const std::string& recorded = record->of(f);
        if (!recorded.empty() && digestOf(path) != recorded && digestOf(temporary) == recorded) {
            if (auto code = fs_.replaceFile(temporary, path))
                throw platform::IoError(static_cast<int>(code));
        } else {
            fs_.deleteFile(temporary);
        }
    }
}

void ListStore::settle() const
{
    finishReplacements();
    const auto record = loadRecord();
    for (ListPair pair : {ListPair::Original, ListPair::New}) {
        const bool own = record && digestOf(pathOf(pathFileOf(pair))) == record->of(pathFileOf(pair)) &&
                         digestOf(pathOf(nameFileOf(pair))) == record->of(nameFileOf(pair));
        // The program writes both files together; a pair it did not write may be torn (an older
        // version killed between its two moves, or a drop killed between its two deletes). Its
        // path file stands: the name file follows it.
        if (!own && !belongTogether(pair))
            restoreNames(pair);
    }
}

void ListStore::noteShown()
{
    for (ListFile f : allListFiles)
        shown_[f] = digestOf(pathOf(f));
}

std::optional<ListRead> ListStore::readOriginal() const
{
    finishReplacements();
    if (!exists(ListFile::OriginalPaths))
        return ListRead{};
    const std::string bytes = fs_.readAll(pathOf(ListFile::OriginalPaths));
    ListRead list{true, decode(bytes), fs_.digest(bytes)};
    const auto record = loadRecord();
    const bool own = record && record->of(ListFile::OriginalPaths) == list.digest;
    const auto shown = shown_.find(ListFile::OriginalPaths);
    if (!own && (shown == shown_.end() || shown->second != list.digest))
        return std::nullopt;
    return list;
}

void ListStore::rewriteNew(const std::string& lines, const ListRead& madeFrom) const
{
    ListRecord next = loadRecord().value_or(ListRecord{});
    if (next.of(ListFile::OriginalPaths) != madeFrom.digest) {
        // The list shown at start becomes the program's own, as the user sees it.
        next.of(ListFile::OriginalPaths) = madeFrom.digest;
        next.of(ListFile::OriginalNames) = digestOf(pathOf(ListFile::OriginalNames));
    }
    next.newMadeFrom = madeFrom.digest;
    commit(ListPair::New, encodePair(lines), next);
}

bool ListStore::appendOriginal(const std::vector<std::string>& paths) const
{
    auto all = readOriginal();
    if (!all)
        return false;
    std::vector<std::string> entries = splitLines(all->text);
    entries.insert(entries.end(), paths.begin(), paths.end());
    rewrite(ListPair::Original, entries);
    return true;
}

RunLists ListStore::readForRun() const
{
    using State = RunLists::State;
    finishReplacements();
    if (!exists(ListFile::OriginalPaths) || !exists(ListFile::NewPaths))
        return {State::NoPreview, {}, {}};
    std::string originals = fs_.readAll(pathOf(ListFile::OriginalPaths));
    std::string targets = fs_.readAll(pathOf(ListFile::NewPaths));
    const auto record = loadRecord();
    // The program dropped the new list, though its file may still stand.
    if (record && record->newMadeFrom.empty())
        return {State::NoPreview, {}, {}};
    if (!record || fs_.digest(originals) != record->of(ListFile::OriginalPaths) ||
        fs_.digest(targets) != record->of(ListFile::NewPaths))
        return {State::Changed, {}, {}};
    // Both are the program's own, but the new list was made from another original list.
    if (record->newMadeFrom != record->of(ListFile::OriginalPaths))
        return {State::NoPreview, {}, {}};
    // A million entries are a hundred megabytes in each form: each goes as soon as the next is made.
    RunLists lists{State::Ready, decode(originals), {}};
    originals = std::string();
    lists.targets = decode(targets);
    return lists;
}

std::string ListStore::rewriteAfterRun(const std::vector<std::string>& paths) const
{
    finishReplacements();
    ListRecord next = loadRecord().value_or(ListRecord{});
    const bool paired = !next.of(ListFile::NewPaths).empty();
    std::string lines = joinLines(paths);
    commit(ListPair::Original, encodePair(lines), next, paired);
    return lines;
}

void ListStore::remove(ListFile file) const
{
    fs_.deleteFile(pathOf(file));
}

void ListStore::removePair(ListPair pair) const
{
    // Recorded absent first: a file that then cannot be deleted is no list of the program's.
    ListRecord next = loadRecord().value_or(ListRecord{});
    next.of(pathFileOf(pair)).clear();
    next.of(nameFileOf(pair)).clear();
    if (pair == ListPair::New)
        next.newMadeFrom.clear();
    saveRecord(next);
    shown_.erase(pathFileOf(pair));
    shown_.erase(nameFileOf(pair));
    for (ListFile f : {pathFileOf(pair), nameFileOf(pair)})
        if (exists(f))
            if (auto code = fs_.deleteFile(pathOf(f)))
                throw platform::IoError(static_cast<int>(code));
}

std::string ListStore::journalPath() const
{
    return platform::openPrivateFolder(fs_) + "ThumbRun.db";
}

std::string ListStore::setAsideJournalBeside() const
{
    const std::string beside = folder_ + "ThumbRun.db";
    if (!fs_.fileExists(beside))
        return "";
    for (int n = 1; n <= 99; ++n) {
        const std::string aside = beside + ".ignored" + (n > 1 ? std::to_string(n) : "");
        if (fs_.moveFile(beside, aside) == platform::err::ok)
            return namePart(aside);
    }
    return namePart(beside);
}

}  // namespace lists
