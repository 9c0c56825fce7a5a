#include "rename/journal.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <set>
#include <string_view>

#include "lists/messages.h"
#include "lists/path_parts.h"
#include "platform/errors.h"
#include "rename/record_fields.h"

namespace renaming {

namespace {

// The plan's format before the attributes were recorded is read still: a journal of the version
// before may be left on disk.
constexpr const char* header = "nomerra-run 3";
constexpr const char* headerWithoutAttributes = "nomerra-run 2";

using fields::escape;
using fields::identityOf;
using fields::identityText;
using fields::number;
using fields::unescape;
using fields::wholeLines;

std::string attributesText(std::uint32_t attributes)
{
    return attributes == platform::attr::invalid ? "-" : std::to_string(attributes);
}

std::uint32_t attributesOf(const std::string& text)
{
    const auto value = number(text);
    return value && *value < platform::attr::invalid ? static_cast<std::uint32_t>(*value) : platform::attr::invalid;
}

// Only a pair whose original has an identity can be carried out: the others need none.
std::vector<std::uint32_t> attributesBefore(platform::FileSystem& fs, const std::vector<Pair>& pairs,
                                            const Identities& identities)
{
    std::vector<std::uint32_t> out = attributesOf(fs, pairs);
    for (std::size_t i = 0; i < pairs.size(); ++i)
        if (!identities[i])
            out[i] = platform::attr::invalid;
    return out;
}

struct PairRecord {
    std::optional<platform::FileIdentity> copied;
    bool failed = false;
};

struct Journal : RunPlan {
    std::vector<PairRecord> records;
};

std::optional<Journal> parse(const std::string& text)
{
    const auto lines = wholeLines(text);
    if (lines.empty())
        return std::nullopt;
    const auto head = fields::split(lines[0]);
    const bool withAttributes = head.size() == 4 && head[0] == header && (head[3] == "run" || head[3] == "undo");
    if (!withAttributes && (head.size() != 3 || head[0] != headerWithoutAttributes))
        return std::nullopt;
    if (head[1] != "rename" && head[1] != "copy")
        return std::nullopt;
    const auto count = number(head[2]);
    if (!count || lines.size() - 1 < *count)  // never 1 + count: a spoiled count may be the largest
        return std::nullopt;
    Journal j;
    j.mode = head[1] == "rename" ? Mode::RenameInPlace : Mode::CopyToNewPath;
    j.kind = withAttributes && head[3] == "undo" ? RunKind::Undo : RunKind::Run;
    for (std::size_t i = 1; i <= *count; ++i) {
        const auto f = fields::split(lines[i]);
        if (f.size() != (withAttributes ? 4u : 3u))
            return std::nullopt;
        j.pairs.push_back({unescape(f[0]), unescape(f[1])});
        j.identities.push_back(identityOf(f[2]));
        // Not known from an older journal: an undo then leaves the attributes as they are.
        j.attributes.push_back(withAttributes ? attributesOf(f[3]) : platform::attr::invalid);
    }
    j.records.resize(*count);
    for (std::size_t i = 1 + *count; i < lines.size(); ++i) {
        const auto f = fields::split(lines[i]);
        const auto pair = f.size() >= 2 ? number(f[1]) : std::nullopt;
        if (!pair || *pair >= *count)
            continue;
        PairRecord& r = j.records[*pair];
        if (f[0] == "copied" && f.size() == 3)
            r.copied = identityOf(f[2]);
        else if (f[0] == "fail" && f.size() == 2)
            r.failed = true;
    }
    return j;
}

// A name the run gives a temporary file: "~nomerra" + digits + ".tmp", in any case.
bool isTemporaryName(platform::FileSystem& fs, const std::string& name)
{
    const std::string key = fs.caseKey(name);
    constexpr std::string_view head = "~NOMERRA", tail = ".TMP";
    if (key.size() <= head.size() + tail.size() || !key.starts_with(head) || !key.ends_with(tail))
        return false;
    return std::all_of(key.begin() + head.size(), key.end() - tail.size(), [](char c) { return c >= '0' && c <= '9'; });
}

// What stands where a run may have left a file of a pair: the identities of the files under the
// pair's own paths and under the run's temporary names in their folders, each read once.
class Places {
public:
    explicit Places(platform::FileSystem& fs) : fs_(fs) {}

    // Reads these in one go, as the system allows.
    void readAhead(const std::vector<std::string>& paths)
    {
        const auto identities = fs_.identities({paths.begin(), paths.end()});
        for (std::size_t i = 0; i < paths.size(); ++i)
            identities_.emplace(fs_.caseKey(paths[i]), identities[i]);
    }

    // The paths among these and the temporaries in the folder that hold this file: of this very
    // identity when sameContent, else of its number, whatever was written to it since.
    std::vector<std::string> holding(const platform::FileIdentity& id, bool sameContent,
                                     const std::vector<std::string>& paths, const std::string& folder)
    {
        std::vector<std::string> found;
        std::set<std::string> seen;
        auto consider = [&](const std::string& path) {
            const auto& there = identity(path);
            if (seen.insert(fs_.caseKey(path)).second && there && (sameContent ? *there == id : there->sameFile(id)))
                found.push_back(path);
        };
        for (const auto& path : paths)
            consider(path);
        for (const auto& path : temporariesIn(folder))
            consider(folder + lists::namePart(path));
        return found;
    }

    const std::optional<platform::FileIdentity>& identity(const std::string& path)
    {
        const std::string key = fs_.caseKey(path);
        auto it = identities_.find(key);
        if (it == identities_.end())
            it = identities_.emplace(key, fs_.identity(path)).first;
        return it->second;
    }

    // The place is no longer what it was read as.
    void changed(const std::string& path) { identities_.erase(fs_.caseKey(path)); }

    const std::vector<std::string>& temporariesIn(const std::string& folder)
    {
        const std::string key = fs_.caseKey(folder);
        auto it = temporaries_.find(key);
        if (it != temporaries_.end())
            return it->second;
        std::vector<std::string> paths;
        for (const auto& entry : fs_.filesIn(folder))
            if (isTemporaryName(fs_, entry.name))
                paths.push_back(folder + entry.name);
        return temporaries_.emplace(key, std::move(paths)).first->second;
    }

private:
    platform::FileSystem& fs_;
    std::map<std::string, std::optional<platform::FileIdentity>> identities_;
    std::map<std::string, std::vector<std::string>> temporaries_;
};

}  // namespace

RunJournal::RunJournal(platform::FileSystem& fs, const std::string& path, Mode mode, const std::vector<Pair>& pairs,
                       RunKind kind)
    : identities_(identitiesOf(fs, pairs)), attributes_(attributesBefore(fs, pairs, identities_)),
      file_(fs.openAppendOnly(path, false))
{
    std::string plan = std::string(header) + (mode == Mode::RenameInPlace ? "\trename\t" : "\tcopy\t") +
                       std::to_string(pairs.size()) + (kind == RunKind::Undo ? "\tundo\n" : "\trun\n");
    // A million pairs make a plan of some hundred megabytes: grown in place, never copied whole.
    std::size_t size = plan.size();
    for (const Pair& p : pairs)
        size += p.from.size() + p.to.size() + 80;
    plan.reserve(size);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        plan += escape(pairs[i].from);
        plan += '\t';
        plan += escape(pairs[i].to);
        plan += '\t';
        plan += identityText(identities_[i]);
        plan += '\t';
        plan += attributesText(attributes_[i]);
        plan += '\n';
    }
    // Once, before any file moves: what follows need not reach the disk for the recovery to
    // find every file.
    if (auto code = file_->write(plan); code || (code = file_->flush()))
        throw platform::IoError(static_cast<int>(code));
}

std::uint32_t RunJournal::hand(const std::string& line)
{
    if (!failure_)
        failure_ = file_->write(line);
    return failure_;
}

std::uint32_t RunJournal::copied(std::size_t pair, const platform::FileIdentity& copy)
{
    return hand("copied\t" + std::to_string(pair) + "\t" + identityText(copy) + "\n");
}

std::uint32_t RunJournal::failed(std::size_t pair)
{
    return hand("fail\t" + std::to_string(pair) + "\n");
}

namespace {

struct Settled {
    std::string where;
    bool done = false;
};

class Recovery {
public:
    Recovery(platform::FileSystem& fs, const Journal& j, std::vector<std::string>& kept)
        : fs_(fs), j_(j), places_(fs), kept_(kept)
    {
        std::vector<std::string> paths;
        for (const auto& p : j.pairs) {
            paths.push_back(p.from);
            paths.push_back(p.to);
        }
        places_.readAhead(paths);
    }

    // First every copy of the run: removing one may free the name a parked file goes back to.
    // Nothing for a pair whose own file is still to be settled.
    std::optional<Settled> settleCopies(std::size_t i)
    {
        const Pair& p = j_.pairs[i];
        const PairRecord& record = j_.records[i];
        if (!j_.identities[i])
            return Settled{p.from, false};  // a file the run did not act on
        const auto copies = record.copied ? places_.holding(*record.copied, true, {p.to}, lists::folderPart(p.to))
                                          : std::vector<std::string>{};
        const auto originals = originalsOf(i);
        if (originals.size() > 1 || copies.size() > 1) {
            // Several names for one file: which one the list should name is a guess, so none is touched.
            kept_.insert(kept_.end(), originals.begin(), originals.end());
            kept_.insert(kept_.end(), copies.begin(), copies.end());
            return Settled{originals.empty() ? p.from : originals.front(), false};
        }
        const std::string original = originals.empty() ? "" : originals.front();
        const std::string copy = copies.empty() ? "" : copies.front();
        if (j_.mode == Mode::CopyToNewPath)
            return settleCopy(p, copy);
        // An original written to since the plan holds what its copy may lack: it stays.
        const bool keepOriginal = record.failed || (!original.empty() && places_.identity(original) != j_.identities[i]);
        return copy.empty() ? std::nullopt : settleMoveAcrossVolumes(p, keepOriginal, original, copy);
    }

    // Then each file of a rename where it is: parked files go back to their own names.
    Settled settleOriginal(std::size_t i)
    {
        const Pair& p = j_.pairs[i];
        const auto originals = originalsOf(i);
        std::string original = originals.empty() ? "" : originals.front();
        if (original.empty())  // gone, or moved to another volume with the record lost
            return copyArrived(i) ? Settled{p.to, true} : Settled{p.from, false};
        if (!is(original, p.to) && !is(original, p.from)) {
            // Parked under a temporary name: back to its own name when nothing stands there.
            if (fs_.attributes(p.from) != platform::attr::invalid || fs_.moveFile(original, p.from) != platform::err::ok) {
                kept_.push_back(original);
                return {original, false};
            }
            places_.changed(original);
            places_.changed(p.from);
            original = p.from;
        }
        if (is(original, p.to)) {
            // One place for both names: the volume's spelling tells whether the change was made.
            const bool done = !is(p.from, p.to) || fs_.storedName(p.to) == lists::namePart(p.to);
            return {done ? p.to : p.from, done};
        }
        return {p.from, false};
    }

    // Files under the run's temporary names that are none of its files: a copy cut short, or whole
    // with its record lost. Nobody can tell which, so they stay, and the notice names them.
    void nameUnknownTemporaries()
    {
        std::set<std::pair<std::uint64_t, std::uint64_t>> known;
        for (std::size_t i = 0; i < j_.pairs.size(); ++i)
            for (const auto& id : {j_.identities[i], j_.records[i].copied})
                if (id)
                    known.emplace(id->volume, id->file);
        std::set<std::string> seen;
        for (const auto& p : j_.pairs)
            for (const auto& folder : {lists::folderPart(p.from), lists::folderPart(p.to)})
                for (const auto& path : places_.temporariesIn(folder)) {
                    const auto& id = places_.identity(path);
                    if (id && !known.count({id->volume, id->file}) && seen.insert(fs_.caseKey(path)).second)
                        kept_.push_back(path);
                }
    }

private:
    std::vector<std::string> originalsOf(std::size_t i)
    {
        const Pair& p = j_.pairs[i];
        // Another program may have saved it since the plan: it is the same file all the same.
        return places_.holding(*j_.identities[i], false, {p.from, p.to}, lists::folderPart(p.from));
    }

    bool is(const std::string& a, const std::string& b) { return !a.empty() && fs_.caseKey(a) == fs_.caseKey(b); }

    bool remove(const std::string& path)
    {
        discardTemporary(fs_, path);
        places_.changed(path);
        return !fs_.fileExists(path);
    }

    // Where a power cut took the copy's record: another file at the new path, on another drive
    // (a rename on one drive makes no copy), with the size and the time of the original is its
    // copy. Only the list follows it; nothing is touched.
    bool copyArrived(std::size_t i)
    {
        const auto& planned = *j_.identities[i];
        const auto& there = places_.identity(j_.pairs[i].to);
        return there && there->volume != planned.volume && there->size == planned.size &&
               there->written == planned.written;
    }

    // A copy whose record was lost stays where it is: at its new path, or named as unknown.
    Settled settleCopy(const Pair& p, const std::string& copy)
    {
        if (is(copy, p.to))
            return {p.to, true};
        if (!copy.empty() && !remove(copy))
            kept_.push_back(copy);
        return {p.from, false};
    }

    // A move to another volume. The copy is known whole by its identity; the original goes only
    // once the copy stands at the new path and the original is to go (the run had not given up
    // on removing it, and it holds what was copied). Otherwise the copy goes, and the original is
    // settled as any other: nothing when the copy cannot go or is all there is.
    std::optional<Settled> settleMoveAcrossVolumes(const Pair& p, bool keepOriginal, const std::string& original,
                                                   const std::string& copy)
    {
        if (is(copy, p.to) && (!keepOriginal || original.empty())) {
            if (!original.empty() && !remove(original))
                kept_.push_back(original);
            return Settled{p.to, true};
        }
        if (original.empty() || !remove(copy)) {
            kept_.push_back(copy);
            return Settled{original.empty() ? copy : original, false};
        }
        return std::nullopt;
    }

    platform::FileSystem& fs_;
    const Journal& j_;
    Places places_;
    std::vector<std::string>& kept_;
};

}  // namespace

std::optional<Recovered> recover(platform::FileSystem& fs, const std::string& journalPath)
{
    const auto journal = parse(fs.readAll(journalPath));
    if (!journal)
        return std::nullopt;
    const Journal& j = *journal;
    Recovered r;
    Recovery recovery(fs, j, r.kept);
    std::vector<std::size_t> first(j.pairs.size());
    if (j.mode == Mode::RenameInPlace)
        first = firstOfSameFile(fs, j.pairs, j.identities);
    else
        std::iota(first.begin(), first.end(), std::size_t{0});
    r.where.resize(j.pairs.size());
    r.done.resize(j.pairs.size());
    std::vector<std::optional<Settled>> settled(j.pairs.size());
    for (std::size_t i = 0; i < j.pairs.size(); ++i) {
        if (first[i] == i)
            settled[i] = recovery.settleCopies(i);
    }
    for (std::size_t i = 0; i < j.pairs.size(); ++i) {
        if (first[i] != i)
            continue;
        if (!settled[i])
            settled[i] = recovery.settleOriginal(i);
        r.where[i] = settled[i]->where;
        r.done[i] = settled[i]->done;
    }
    // A file listed twice stands where its first pair left it.
    for (std::size_t i = 0; i < j.pairs.size(); ++i)
        r.where[i] = r.where[first[i]];
    recovery.nameUnknownTemporaries();
    r.plan = j;
    return r;
}

std::string recoveryNotice(const Recovered& recovered)
{
    const auto done = static_cast<std::size_t>(std::count(recovered.done.begin(), recovered.done.end(), true));
    using namespace messages::recovery;
    std::string text = prefix + std::to_string(done) + doneSuffix + std::to_string(recovered.where.size() - done) +
                       leftSuffix;
    text += messages::firstTenLines(recovered.kept.size(), [&](std::size_t i) { return recovered.kept[i]; });
    return text;
}

}  // namespace renaming
