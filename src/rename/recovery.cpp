// Settling a run that did not end, from its journal and the disk.
#include <algorithm>
#include <map>
#include <numeric>
#include <set>
#include <string_view>

#include "lists/messages.h"
#include "lists/path_parts.h"
#include "rename/journal.h"
#include "rename/journal_read.h"

namespace renaming {

namespace {

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

struct Settled {
    std::string where;
    bool done = false;
};

class Recovery {
public:
    Recovery(platform::FileSystem& fs, const JournalRead& j, std::vector<std::string>& kept)
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
    const JournalRead& j_;
    Places places_;
    std::vector<std::string>& kept_;
};

}  // namespace

std::optional<Recovered> recover(platform::FileSystem& fs, const std::string& journalPath)
{
    const auto journal = readJournal(fs.readAll(journalPath));
    if (!journal)
        return std::nullopt;
    const JournalRead& j = *journal;
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
