#include "rename/undo_history.h"

#include <algorithm>
#include <string_view>

#include "lists/messages.h"
#include "lists/path_parts.h"
#include "platform/errors.h"
#include "platform/private_folder.h"
#include "rename/record_fields.h"
#include "rename/undo_record_text.h"

namespace renaming {

namespace {

constexpr const char* indexHeader = "nomerra-undo 2";
// The version before held every record in the one file.
constexpr const char* formerHeader = "nomerra-undo 1";
constexpr std::string_view recordPrefix = "ThumbUndo-";

using fields::number;
using records::modeName;
using records::modeOf;

std::string recordName(std::size_t n)
{
    return std::string(recordPrefix) + std::to_string(n) + ".db";
}

// The n of a name ThumbUndo-<n> with any extension or none, which no new record may take.
std::optional<std::size_t> numberIn(const std::string& name)
{
    if (!name.starts_with(recordPrefix))
        return std::nullopt;
    const std::size_t dot = std::min(name.find('.', recordPrefix.size()), name.size());
    return number(name.substr(recordPrefix.size(), dot - recordPrefix.size()));
}

// A record's file as written, or its temporary: the only names the history deletes.
bool isRecordFile(const std::string& name)
{
    const auto n = numberIn(name);
    return n && (name == recordName(*n) || name == recordName(*n) + ".tmp");
}

bool isDigest(const std::string& text)
{
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// A run as the index names it.
std::optional<HistoryRun> indexed(const std::vector<std::string>& f)
{
    const auto mode = f.empty() || f[0] != "run" ? std::nullopt : modeOf(f[2]);
    const auto entries = mode ? number(f[3]) : std::nullopt, pairs = mode ? number(f[4]) : std::nullopt;
    const auto n = mode ? numberIn(f[1]) : std::nullopt;
    if (!entries || !pairs || *pairs > *entries || !n || f[1] != recordName(*n) || !isDigest(f[5]))
        return std::nullopt;
    return HistoryRun{f[1], *mode, *entries, *pairs, f[5], nullptr};
}

// A run of the version before, its record inside.
std::optional<HistoryRun> former(records::LineReader& reader)
{
    auto r = reader.record();
    if (!r)
        return std::nullopt;
    HistoryRun run{"", r->mode, r->originals.size(), r->pairs.size(), "", nullptr};
    run.unwritten = std::make_shared<const UndoRecord>(std::move(*r));
    return run;
}

std::vector<HistoryRun*> runsOf(History& history)
{
    std::vector<HistoryRun*> runs;
    for (HistoryRun& run : history.runs)
        runs.push_back(&run);
    if (history.undoing)
        runs.push_back(&*history.undoing);
    return runs;
}

bool names(const History& history, const std::string& file)
{
    return std::any_of(history.runs.begin(), history.runs.end(), [&](const HistoryRun& r) { return r.file == file; }) ||
           (history.undoing && history.undoing->file == file);
}

// The index, or a history of the version before with its records inside.
std::optional<History> parseIndex(platform::FileSystem& fs, std::string text)
{
    const auto whole = records::opened(fs, std::move(text));
    if (!whole)
        return std::nullopt;
    records::LineReader reader(whole->body);
    const auto head = reader.line(3);
    const bool formerVersion = !head.empty() && head[0] == formerHeader;
    const auto runs = head.empty() || (!formerVersion && head[0] != indexHeader) ? std::nullopt : number(head[1]);
    if (!runs || *runs > historyLength || (head[2] != "0" && head[2] != "1"))
        return std::nullopt;
    History history;
    for (std::size_t i = 0; i < *runs + (head[2] == "1"); ++i) {
        auto run = formerVersion ? former(reader) : indexed(reader.line(6));
        // Each record named once: a run is never offered twice.
        if (!run || (!formerVersion && names(history, run->file)))
            return std::nullopt;
        if (i < *runs)
            history.runs.push_back(std::move(*run));
        else
            history.undoing = std::move(*run);
    }
    if (!reader.atEnd())
        return std::nullopt;
    return history;
}

std::string indexText(platform::FileSystem& fs, History& history)
{
    std::string body = std::string(indexHeader) + "\t" + std::to_string(history.runs.size()) + "\t" +
                       (history.undoing ? "1" : "0") + "\n";
    for (const HistoryRun* run : runsOf(history))
        body += "run\t" + run->file + "\t" + modeName(run->mode) + "\t" + std::to_string(run->entries) + "\t" +
                std::to_string(run->pairs) + "\t" + run->digest + "\n";
    return records::closed(fs, std::move(body));
}

// A record's file as the index names it: the same digest, the same counts.
std::optional<UndoRecord> parseRecord(platform::FileSystem& fs, std::string text, const HistoryRun& run)
{
    const auto whole = records::opened(fs, std::move(text));
    if (!whole || whole->digest != run.digest)
        return std::nullopt;
    records::LineReader reader(whole->body);
    auto record = reader.record();
    if (!record || !reader.atEnd() || record->mode != run.mode || record->originals.size() != run.entries ||
        record->pairs.size() != run.pairs)
        return std::nullopt;
    return record;
}

// The record was made from this plan: the same lists, and each pair it carried out planned with
// the same original.
bool madeFrom(const UndoRecord& r, const RunPlan& plan)
{
    if (r.mode != plan.mode || r.originals.size() != plan.pairs.size())
        return false;
    for (std::size_t i = 0; i < plan.pairs.size(); ++i)
        if (r.originals[i] != plan.pairs[i].from || r.targets[i] != plan.pairs[i].to)
            return false;
    return std::all_of(r.pairs.begin(), r.pairs.end(),
                       [&](const UndoPair& p) { return p.original == plan.identities[p.index]; });
}

// Never acted on, never overwritten: the user may want to see it.
std::string setAside(platform::FileSystem& fs, const std::string& path)
{
    for (int n = 1; n <= 99; ++n) {
        const std::string aside = path.substr(0, path.size() - 3) + ".bad" + (n > 1 ? std::to_string(n) : "");
        if (fs.moveFile(path, aside) == platform::err::ok)
            return lists::namePart(aside);
    }
    return lists::namePart(path);
}

// Through a temporary file, on the disk before it is moved into place: over the file before
// (replace) or never over any. Throws IoError; whatever stood at path stays then.
void writeThrough(platform::FileSystem& fs, const std::string& path, const std::string& text, bool replace)
{
    const std::string temporary = path + ".tmp";
    std::uint32_t code = 0;
    try {
        fs.deleteFile(temporary);
        fs.writeAll(temporary, text);
        code = replace ? fs.replaceFile(temporary, path) : fs.moveFile(temporary, path);
    } catch (const platform::IoError& e) {
        code = static_cast<std::uint32_t>(e.code());
    }
    if (code) {
        fs.deleteFile(temporary);
        throw platform::IoError(static_cast<int>(code));
    }
}

// Into a file of its own under a number no file in the folder and no run of the history has
// (a record named but missing included); the run as the index is to name it.
HistoryRun writeRecord(platform::FileSystem& fs, const std::string& folder, const UndoRecord& record,
                       History& history)
{
    std::size_t n = 1;
    for (const auto& entry : fs.filesIn(folder))
        n = std::max(n, numberIn(entry.name).value_or(0) + 1);
    for (const HistoryRun* run : runsOf(history))
        n = std::max(n, numberIn(run->file).value_or(0) + 1);
    std::string body = records::recordText(record);
    HistoryRun run{recordName(n), record.mode, record.originals.size(), record.pairs.size(), fs.digest(body), nullptr};
    body += records::closingLine(run.digest);
    writeThrough(fs, folder + run.file, body, false);
    return run;
}

// Records read from the version before go into files of their own first, then the index; only
// then do the record files it no longer names go, those a kill left behind with them.
void writeIndex(platform::FileSystem& fs, const std::string& path, History& history)
{
    const std::string folder = lists::folderPart(path);
    for (HistoryRun* run : runsOf(history))
        if (run->unwritten)
            *run = writeRecord(fs, folder, *run->unwritten, history);
    writeThrough(fs, path, indexText(fs, history), true);
    for (const auto& entry : fs.filesIn(folder))
        if (isRecordFile(entry.name) && !names(history, entry.name))
            fs.deleteFile(folder + entry.name);
}

// The record of the newest run, or of the one being undone; one not as the index names it is set
// aside, never acted on, and its run dropped for the caller to write the index without it.
std::optional<UndoRecord> load(platform::FileSystem& fs, const std::string& path, HistoryRead& read, bool undoing)
{
    History& history = read.history;
    const HistoryRun& run = undoing ? *history.undoing : history.runs.front();
    if (run.unwritten)
        return *run.unwritten;
    const std::string file = lists::folderPart(path) + run.file;
    std::optional<UndoRecord> record;
    if (fs.fileExists(file))
        record = parseRecord(fs, fs.readAll(file), run);
    if (record)
        return record;
    read.setAside = fs.fileExists(file) ? setAside(fs, file) : run.file;
    if (undoing)
        history.undoing.reset();
    else
        history.runs.erase(history.runs.begin());
    return std::nullopt;
}

void keepNewest(History& history, HistoryRun run)
{
    history.runs.insert(history.runs.begin(), std::move(run));
    if (history.runs.size() > historyLength)
        history.runs.resize(historyLength);
}

}  // namespace

std::string undoHistoryPath(platform::FileSystem& fs)
{
    return platform::openPrivateFolder(fs) + "ThumbUndo.db";
}

HistoryRead readHistory(platform::FileSystem& fs, const std::string& path)
{
    if (!fs.fileExists(path))
        return {};
    auto history = parseIndex(fs, fs.readAll(path));
    if (!history)
        return {{}, setAside(fs, path), std::nullopt};
    return {std::move(*history), "", std::nullopt};
}

HistoryRead addToHistory(platform::FileSystem& fs, const std::string& path, const UndoRecord& record,
                         const RunPlan* recoveredFrom)
{
    HistoryRead read = readHistory(fs, path);
    auto& runs = read.history.runs;
    // Only a newest run of the plan's mode and length can be its twin: no other record is read.
    if (recoveredFrom && !runs.empty() && runs.front().mode == recoveredFrom->mode &&
        runs.front().entries == recoveredFrom->pairs.size()) {
        const auto newest = load(fs, path, read, false);
        if (newest && madeFrom(*newest, *recoveredFrom))
            runs.erase(runs.begin());
    }
    keepNewest(read.history, writeRecord(fs, lists::folderPart(path), record, read.history));
    writeIndex(fs, path, read.history);
    return read;
}

HistoryRead takeLatestForUndo(platform::FileSystem& fs, const std::string& path)
{
    HistoryRead read = readHistory(fs, path);
    auto& history = read.history;
    if (history.runs.empty())
        return read;
    read.record = load(fs, path, read, false);
    if (read.record) {
        history.undoing = std::move(history.runs.front());
        history.runs.erase(history.runs.begin());
    }
    writeIndex(fs, path, history);
    return read;
}

HistoryRead undoingRecord(platform::FileSystem& fs, const std::string& path)
{
    HistoryRead read = readHistory(fs, path);
    if (!read.history.undoing)
        return read;
    read.record = load(fs, path, read, true);
    if (!read.record)
        writeIndex(fs, path, read.history);
    return read;
}

HistoryRead endUndo(platform::FileSystem& fs, const std::string& path, bool undone,
                    const std::optional<UndoRecord>& rest)
{
    HistoryRead read = readHistory(fs, path);
    auto& history = read.history;
    if (!history.undoing)
        return read;
    if (!undone)
        keepNewest(history, std::move(*history.undoing));
    else if (rest)
        keepNewest(history, writeRecord(fs, lists::folderPart(path), *rest, history));
    history.undoing.reset();
    writeIndex(fs, path, history);
    return read;
}

std::string historySetAsideNotice(const std::string& setAside)
{
    using namespace messages::undo;
    // Under its own name: it could not be moved.
    if (setAside.ends_with(".db"))
        return historyKept;
    return historySetAsidePrefix + setAside + historySetAsideSuffix;
}

}  // namespace renaming
