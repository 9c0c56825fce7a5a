#include "rename/undo_history.h"

#include <algorithm>

#include "lists/messages.h"
#include "lists/path_parts.h"
#include "platform/errors.h"
#include "platform/private_folder.h"
#include "rename/record_fields.h"

namespace renaming {

namespace {

constexpr const char* header = "nomerra-undo 1";

using fields::escape;
using fields::identityOf;
using fields::identityText;
using fields::number;
using fields::split;
using fields::unescape;

// Where a file stood after the run, most often one of its pair's paths.
std::string placeText(const std::string& place, const std::string& from, const std::string& to)
{
    return place == from ? "o" : place == to ? "n" : "p" + escape(place);
}

std::string recordText(const UndoRecord& r)
{
    std::string text = "run\t" + std::string(r.mode == Mode::RenameInPlace ? "rename" : "copy") + "\t" +
                       std::to_string(r.originals.size()) + "\t" + std::to_string(r.pairs.size()) + "\n";
    for (std::size_t i = 0; i < r.originals.size(); ++i)
        text += escape(r.originals[i]) + "\t" + escape(r.targets[i]) + "\t" +
                placeText(r.after[i], r.originals[i], r.targets[i]) + "\n";
    for (const UndoPair& p : r.pairs)
        text += std::to_string(p.index) + "\t" + identityText(p.moved) + "\t" + identityText(p.original) + "\t" +
                (p.attributes == platform::attr::invalid ? "-" : std::to_string(p.attributes)) + "\n";
    return text;
}

// Reads the file line by line; any line not as written makes the whole file unreadable.
class Reader {
public:
    explicit Reader(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    bool atEnd() const { return next_ == lines_.size(); }
    std::vector<std::string> line(std::size_t fieldCount)
    {
        if (atEnd())
            return {};
        auto f = split(lines_[next_++]);
        return f.size() == fieldCount ? f : std::vector<std::string>{};
    }

    std::optional<UndoRecord> record()
    {
        const auto head = line(4);
        if (head.empty() || head[0] != "run" || (head[1] != "rename" && head[1] != "copy"))
            return std::nullopt;
        const auto entries = number(head[2]), pairs = number(head[3]);
        // Never more than the lines left: a spoiled count may be the largest.
        if (!entries || !pairs || *entries > lines_.size() - next_ || *pairs > *entries)
            return std::nullopt;
        UndoRecord r;
        r.mode = head[1] == "rename" ? Mode::RenameInPlace : Mode::CopyToNewPath;
        for (std::size_t i = 0; i < *entries; ++i)
            if (!entry(r))
                return std::nullopt;
        for (std::size_t k = 0; k < *pairs; ++k)
            if (!pair(r))
                return std::nullopt;
        return r;
    }

private:
    bool entry(UndoRecord& r)
    {
        const auto f = line(3);
        if (f.empty())
            return false;
        const std::string& place = f[2];
        r.originals.push_back(unescape(f[0]));
        r.targets.push_back(unescape(f[1]));
        if (place == "o")
            r.after.push_back(r.originals.back());
        else if (place == "n")
            r.after.push_back(r.targets.back());
        else if (place.starts_with('p'))
            r.after.push_back(unescape(place.substr(1)));
        else
            return false;
        return true;
    }

    bool pair(UndoRecord& r)
    {
        const auto f = line(4);
        const auto index = f.empty() ? std::nullopt : number(f[0]);
        // In the order of the lists, each entry once.
        if (!index || *index >= r.originals.size() || (!r.pairs.empty() && *index <= r.pairs.back().index))
            return false;
        const auto attributes = f[3] == "-" ? std::optional<std::size_t>(platform::attr::invalid) : number(f[3]);
        if (!attributes || *attributes > platform::attr::invalid || (f[1] != "-" && !identityOf(f[1])) ||
            (f[2] != "-" && !identityOf(f[2])))
            return false;
        r.pairs.push_back({*index, identityOf(f[1]), identityOf(f[2]), static_cast<std::uint32_t>(*attributes)});
        return true;
    }

    std::vector<std::string> lines_;
    std::size_t next_ = 0;
};

std::optional<History> parse(platform::FileSystem& fs, const std::string& text)
{
    // The digest closes the file: whatever precedes its line is whole and as written.
    const std::size_t last = text.rfind("end\t");
    if (last == std::string::npos || (last > 0 && text[last - 1] != '\n') ||
        text.compare(last, std::string::npos, "end\t" + fs.digest(text.substr(0, last)) + "\n") != 0)
        return std::nullopt;
    Reader reader(fields::wholeLines(text.substr(0, last)));
    const auto head = reader.line(3);
    const auto runs = head.empty() || head[0] != header ? std::nullopt : number(head[1]);
    if (!runs || *runs > historyLength || (head[2] != "0" && head[2] != "1"))
        return std::nullopt;
    History history;
    for (std::size_t i = 0; i < *runs + (head[2] == "1"); ++i) {
        auto record = reader.record();
        if (!record)
            return std::nullopt;
        if (i < *runs)
            history.runs.push_back(std::move(*record));
        else
            history.undoing = std::move(*record);
    }
    if (!reader.atEnd())
        return std::nullopt;
    return history;
}

std::string text(platform::FileSystem& fs, const History& history)
{
    std::string body = std::string(header) + "\t" + std::to_string(history.runs.size()) + "\t" +
                       (history.undoing ? "1" : "0") + "\n";
    for (const UndoRecord& r : history.runs)
        body += recordText(r);
    if (history.undoing)
        body += recordText(*history.undoing);
    return body + "end\t" + fs.digest(body) + "\n";
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

}  // namespace

std::string undoHistoryPath(platform::FileSystem& fs)
{
    return platform::openPrivateFolder(fs) + "ThumbUndo.db";
}

HistoryRead readHistory(platform::FileSystem& fs, const std::string& path)
{
    if (!fs.fileExists(path))
        return {};
    auto history = parse(fs, fs.readAll(path));
    if (!history)
        return {{}, setAside(fs, path)};
    return {std::move(*history), ""};
}

void writeHistory(platform::FileSystem& fs, const std::string& path, const History& history)
{
    const std::string temporary = path + ".tmp";
    std::uint32_t code = 0;
    try {
        fs.deleteFile(temporary);
        fs.writeAll(temporary, text(fs, history));
        code = fs.replaceFile(temporary, path);
    } catch (const platform::IoError& e) {
        code = static_cast<std::uint32_t>(e.code());
    }
    if (code) {
        fs.deleteFile(temporary);
        throw platform::IoError(static_cast<int>(code));
    }
}

HistoryRead addToHistory(platform::FileSystem& fs, const std::string& path, UndoRecord record,
                         const RunPlan* recoveredFrom)
{
    HistoryRead read = readHistory(fs, path);
    auto& runs = read.history.runs;
    if (recoveredFrom && !runs.empty() && madeFrom(runs.front(), *recoveredFrom))
        runs.front() = std::move(record);
    else
        runs.insert(runs.begin(), std::move(record));
    if (runs.size() > historyLength)
        runs.resize(historyLength);
    writeHistory(fs, path, read.history);
    return read;
}

HistoryRead takeLatestForUndo(platform::FileSystem& fs, const std::string& path)
{
    HistoryRead read = readHistory(fs, path);
    auto& history = read.history;
    if (history.runs.empty()) {
        history.undoing.reset();
        return read;
    }
    history.undoing = std::move(history.runs.front());
    history.runs.erase(history.runs.begin());
    writeHistory(fs, path, history);
    return read;
}

HistoryRead endUndo(platform::FileSystem& fs, const std::string& path, bool undone, std::optional<UndoRecord> rest)
{
    HistoryRead read = readHistory(fs, path);
    auto& history = read.history;
    if (!history.undoing)
        return read;
    if (!undone)
        rest = std::move(history.undoing);
    if (rest) {
        history.runs.insert(history.runs.begin(), std::move(*rest));
        if (history.runs.size() > historyLength)
            history.runs.resize(historyLength);
    }
    history.undoing.reset();
    writeHistory(fs, path, history);
    return read;
}

std::string historySetAsideNotice(const std::string& setAside)
{
    using namespace messages::undo;
    if (setAside == "ThumbUndo.db")
        return historyKept;
    return historySetAsidePrefix + setAside + historySetAsideSuffix;
}

}  // namespace renaming
