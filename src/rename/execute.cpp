#include "rename/execute.h"

#include <algorithm>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "lists/messages.h"
#include "lists/path_parts.h"
#include "lists/views.h"
#include "platform/utf8.h"
#include "rename/journal.h"

namespace renaming {

namespace {

using platform::FileSystem;
namespace err = platform::err;

Outcome outcomeOf(std::uint32_t code)
{
    switch (code) {
    case err::ok: return Outcome::Done;
    case err::fileExists:
    case err::alreadyExists: return Outcome::TargetExists;
    case err::fileNotFound: return Outcome::SourceMissing;
    case err::pathNotFound: return Outcome::TargetFolderMissing;
    default: return Outcome::SystemError;
    }
}

class Run {
public:
    Run(FileSystem& fs, const std::vector<Pair>& pairs, Mode mode, const std::vector<std::uint32_t>& attributes,
        const Originals& originals, const std::function<RunJournal*()>& makeJournal, RunProgress* progress)
        : fs_(fs), pairs_(pairs), mode_(mode), attributes_(attributes), makeJournal_(makeJournal),
          progress_(progress), identities_(originals.identities), originalAttributes_(originals.attributes),
          results_(pairs.size()), moved_(pairs.size()), targetKey_(pairs.size()), before_(pairs.size())
    {}

    std::vector<PairResult> go()
    {
        // The journal is made while the pairs are checked; nothing is touched before it stands.
        fs_.together([&] { journal_ = makeJournal_(); }, [&] { select(); });
        for (std::size_t i : pending_)
            if (!blocker(i))
                ready_.insert(i);
        while (!pending_.empty() && !stopCode_) {
            // A stop waits until no file is under a temporary name: a cycle begun is finished.
            if (progress_ && progress_->stopRequested() && parked_.empty()) {
                userStopped_ = true;
                break;
            }
            if (ready_.empty()) {
                // Every pair left waits for another: only cycles remain. Parking one file frees a place.
                park(*pending_.begin());
                continue;
            }
            const std::size_t i = *ready_.begin();
            ready_.erase(ready_.begin());
            if (!pending_.count(i))
                continue;
            if (progress_)
                progress_->reached(pairs_.size() - pending_.size(), pairs_[i].from);
            mode_ == Mode::RenameInPlace ? rename(i) : copy(i);
        }
        for (std::size_t i : std::set<std::size_t>(pending_))
            leftOver(i);
        for (std::size_t i = 0; i < pairs_.size(); ++i)
            results_[i].at = results_[i].outcome == Outcome::Done ? pairs_[i].to : at(i);
        for (std::size_t i = 0; i < pairs_.size(); ++i)
            if (first_[i] != i)
                results_[i].at = results_[first_[i]].at;
        return std::move(results_);
    }

private:
    std::string key(const std::string& path) const { return fs_.caseKey(path); }

    // Where the pair's file stands now.
    const std::string& at(std::size_t i) const { return moved_[i].empty() ? pairs_[i].from : moved_[i]; }
    void place(std::size_t i, const std::string& path) { moved_[i] = path == pairs_[i].from ? std::string() : path; }

    static std::size_t hashed(const std::string& caseKey) { return std::hash<std::string>{}(caseKey); }

    // False when a path of the run, or a temporary name taken before, has this case key.
    bool claimTemporary(const std::string& caseKey) { return takenNames_.insert(hashed(caseKey)).second; }

    void select()
    {
        first_ = mode_ == Mode::RenameInPlace ? firstOfSameFile(fs_, pairs_, identities_) : std::vector<std::size_t>{};
        if (first_.empty())
            for (std::size_t i = 0; i < pairs_.size(); ++i)
                first_.push_back(i);
        for (std::size_t i = 0; i < pairs_.size(); ++i) {
            const Pair& p = pairs_[i];
            for (const std::string* path : {&p.from, &p.to})
                if (mayBeTemporaryName(*path))
                    takenNames_.insert(hashed(key(*path)));
            if (first_[i] != i)
                results_[i].outcome = Outcome::DuplicateSource;
            else if (!isValidNamePart(p.to))
                results_[i].outcome = Outcome::InvalidName;
            else if (hasControlCharacter(p.from) || readAsAnotherName(p.from) ||
                     !isFile(before_[i] = originalAttributes_[i]))
                // Only a file that stood at its path when the run began is acted on: never one
                // that another pair of this run put there.
                results_[i].outcome = Outcome::SourceMissing;
            else if (!identities_[i])
                results_[i].outcome = Outcome::Unidentified;
            else if (!targetOf_.emplace(targetKey_[i] = key(p.to), i).second)
                results_[i].outcome = Outcome::TargetExists;  // of several pairs with one new path the first wins
            else
                pending_.insert(i);
        }
        if (mode_ == Mode::RenameInPlace)
            for (std::size_t i : pending_)
                sourceOf_.emplace(key(pairs_[i].from), i);
    }

    static bool isFile(std::uint32_t attributes)
    {
        return attributes != platform::attr::invalid && !(attributes & platform::attr::directory);
    }

    // The pending pair whose file stands at this pair's new path, if any.
    std::optional<std::size_t> blocker(std::size_t i) const
    {
        auto it = sourceOf_.find(targetKey_[i]);
        if (it == sourceOf_.end() || it->second == i)
            return std::nullopt;
        return it->second;
    }

    // The pair's file has left this path: the pair waiting for it may go.
    void vacated(std::size_t i, const std::string& path)
    {
        const std::string k = key(path);
        auto source = sourceOf_.find(k);
        if (source != sourceOf_.end() && source->second == i)
            sourceOf_.erase(source);
        auto waiter = targetOf_.find(k);
        if (waiter != targetOf_.end() && waiter->second != i && pending_.count(waiter->second))
            ready_.insert(waiter->second);
    }

    // A name in the folder of the path that no path of the run has and no file bears.
    std::string temporaryBeside(const std::string& path)
    {
        const std::string folder = lists::folderPart(path);
        for (;;) {
            std::string candidate = folder + "~nomerra" + std::to_string(++temporaries_) + ".tmp";
            if (fs_.attributes(candidate) == platform::attr::invalid && claimTemporary(key(candidate)))
                return candidate;
        }
    }

    // False when the journal could not hear of the next operation: then the run stops before it.
    bool announced(std::uint32_t code)
    {
        if (code)
            stopCode_ = code;
        return code == 0;
    }

    void settle(std::size_t i, Outcome outcome, std::uint32_t code = 0)
    {
        results_[i].outcome = outcome;
        results_[i].code = code;
        pending_.erase(i);
        parked_.erase(i);
        vacated(i, at(i));
    }

    // A copy of the run that is not wanted after all; named in the report if it cannot go.
    void discardCopy(std::size_t i, const std::string& path)
    {
        if (!discardTemporary(fs_, path))
            results_[i].stray = path;
    }

    void park(std::size_t i)
    {
        const std::string temporary = temporaryBeside(at(i));
        if (auto code = fs_.moveFile(at(i), temporary)) {
            settle(i, outcomeOf(code) == Outcome::SourceMissing ? Outcome::SourceMissing : Outcome::SystemError, code);
            return;
        }
        const std::string left = at(i);
        place(i, temporary);
        parked_.insert(i);
        sourceOf_.emplace(key(temporary), i);
        vacated(i, left);
    }

    // Copies under a temporary name beside the new path, then moves the copy there: a failure at
    // any point leaves nothing under either name. Nothing when the journal stops the run first.
    std::optional<std::uint32_t> placeCopy(std::size_t i, const std::string& from, const std::string& to)
    {
        const std::string temporary = temporaryBeside(to);
        if (const std::uint32_t code = fs_.copyFile(from, temporary, true)) {
            if (outcomeOf(code) != Outcome::TargetExists)
                discardCopy(i, temporary);  // a copy cut short
            return code;
        }
        // Once its identity is on record the recovery can tell this whole copy from any other
        // file; without it the recovery leaves the copy where it is and names it.
        if (journal_) {
            const auto copy = fs_.identity(temporary);
            if (copy && !announced(journal_->copied(i, *copy))) {
                discardCopy(i, temporary);
                return std::nullopt;
            }
        }
        const std::uint32_t code = fs_.moveFile(temporary, to);
        if (code)
            discardCopy(i, temporary);
        return code;
    }

    // Every attribute call is skipped where the file has the wanted set already: a rename keeps
    // a file's attributes, a copy need not.
    void setAttributes(const std::string& path, std::uint32_t now, std::uint32_t wanted)
    {
        if (now != wanted)
            fs_.setAttributes(path, wanted);
    }

    std::uint32_t wanted(std::size_t i) const
    {
        return attributes_[i] == platform::attr::invalid ? before_[i] : attributes_[i];
    }

    void rename(std::size_t i)
    {
        const std::string& to = pairs_[i].to;
        const std::uint32_t before = before_[i];
        const std::uint32_t archive = platform::attr::archive;
        if (at(i) == to) {
            setAttributes(to, before, wanted(i));
            return settle(i, Outcome::Done);
        }
        // Where only the spelling changes, some file systems take both names for one file and
        // keep the old spelling: a temporary name in between makes the new one a new entry.
        const bool spellingOnly = key(at(i)) == targetKey_[i];
        if (spellingOnly) {
            park(i);
            if (at(i) == pairs_[i].from)
                return;  // stopped, or settled as failed
        }
        const std::string from = at(i);
        setAttributes(from, before, archive);
        // Where nothing is checked between the move and the new attributes, one call does both:
        // the file is found once, not twice.
        const bool together = !spellingOnly && wanted(i) != archive;
        std::optional<std::uint32_t> code =
            together ? fs_.moveFileWithAttributes(from, to, wanted(i)) : fs_.moveFile(from, to);
        const bool copied = code == err::notSameDevice;
        if (copied)
            code = moveAcrossVolumes(i, from, to);
        if (!code) {
            setAttributes(from, archive, before);
            return;
        }
        if (*code == err::ok && spellingOnly && fs_.storedName(to) != lists::namePart(to)) {
            setAttributes(to, archive, before);
            place(i, pairs_[i].from);
            return settle(i, Outcome::CaseNotKept);
        }
        if (*code == err::ok) {
            if (copied)
                fs_.setAttributes(to, wanted(i));
            else if (!together)
                setAttributes(to, archive, wanted(i));
            return settle(i, Outcome::Done);
        }
        setAttributes(from, archive, before);
        settle(i, outcomeOf(*code), *code);
        if (from != pairs_[i].from && fs_.moveFile(from, pairs_[i].from) == err::ok)
            place(i, pairs_[i].from);  // a parked file goes back to its own name
    }

    // What the system does not do across volumes without replacing, done in steps: a copy
    // beside the new path, then the original removed; if it cannot be removed, the copy goes.
    std::optional<std::uint32_t> moveAcrossVolumes(std::size_t i, const std::string& from, const std::string& to)
    {
        const auto copied = fs_.identity(from);
        auto code = placeCopy(i, from, to);
        if (code != err::ok)
            return code;
        // The original goes only once its copy is on the disk itself (after a power cut the
        // removal could otherwise stand and the copy be empty), and only while it is as it was
        // copied: what another program wrote to it meanwhile is in no copy.
        auto removed = fs_.flushFile(to);
        if (removed == err::ok)
            removed = copied && fs_.identity(from) == copied ? fs_.deleteFile(from) : err::sharingViolation;
        if (removed) {
            // The copy goes once the journal says so; else the recovery finishes the move.
            if (!journal_ || announced(journal_->failed(i)))
                discardCopy(i, to);
            return removed;
        }
        return code;
    }

    void copy(std::size_t i)
    {
        const std::string& from = pairs_[i].from;
        const std::string& to = pairs_[i].to;
        const std::uint32_t before = before_[i];
        if (from == to) {
            setAttributes(to, before, wanted(i));
            return settle(i, Outcome::Done);
        }
        setAttributes(from, before, platform::attr::archive);
        const auto code = placeCopy(i, from, to);
        if (code == err::ok) {
            fs_.setAttributes(to, wanted(i));
            return settle(i, Outcome::Done);
        }
        setAttributes(from, platform::attr::archive, before);
        if (code)
            settle(i, outcomeOf(*code), *code);
    }

    // The run stopped before this pair. A parked file (only a failed journal leaves one) goes
    // back to its own name if it can; else the list and the report name where it is.
    void leftOver(std::size_t i)
    {
        const std::string parked = at(i);
        if (userStopped_)
            settle(i, Outcome::Stopped);
        else
            results_[i] = {Outcome::SystemError, stopCode_, "", ""};
        pending_.erase(i);
        if (parked != pairs_[i].from && fs_.moveFile(parked, pairs_[i].from) == err::ok)
            place(i, pairs_[i].from);
    }

    FileSystem& fs_;
    const std::vector<Pair>& pairs_;
    Mode mode_;
    const std::vector<std::uint32_t>& attributes_;  // each pair's wanted set
    const std::function<RunJournal*()>& makeJournal_;
    RunJournal* journal_ = nullptr;
    RunProgress* progress_;
    const Identities& identities_;                       // of each original as the run began
    const std::vector<std::uint32_t>& originalAttributes_;  // of each original as the run began
    std::vector<PairResult> results_;
    std::vector<std::string> moved_;      // where each file stands now, when not at its original path
    std::vector<std::string> targetKey_;  // case key of each new path that may be made
    std::vector<std::size_t> first_;      // see firstOfSameFile
    std::vector<std::uint32_t> before_;   // each original's attributes when the run began
    std::set<std::size_t> pending_;
    std::set<std::size_t> parked_;  // pending pairs whose file is under a temporary name
    std::set<std::size_t> ready_;
    std::unordered_map<std::string, std::size_t> sourceOf_;  // case key of a pending file's place
    std::unordered_map<std::string_view, std::size_t> targetOf_;  // case key (in targetKey_) of each new path that may be made
    // The case keys, hashed, of the temporary names taken and of the run's paths that could be
    // one: a name whose hash is among them is merely passed over.
    std::unordered_set<std::size_t> takenNames_;
    std::size_t temporaries_ = 0;
    std::uint32_t stopCode_ = 0;  // the journal's failure
    bool userStopped_ = false;
};

}  // namespace

std::vector<PairResult> execute(FileSystem& fs, const std::vector<Pair>& pairs, Mode mode, std::uint32_t attributes,
                                RunJournal* journal, RunProgress* progress)
{
    return execute(fs, pairs, mode, std::vector<std::uint32_t>(pairs.size(), attributes), journal, progress);
}

std::vector<PairResult> execute(FileSystem& fs, const std::vector<Pair>& pairs, Mode mode,
                                const std::vector<std::uint32_t>& attributes, RunJournal* journal,
                                RunProgress* progress)
{
    const std::function<RunJournal*()> given = [journal] { return journal; };
    if (journal)
        return Run(fs, pairs, mode, attributes, journal->originals(), given, progress).go();
    return Run(fs, pairs, mode, attributes, originalsOf(fs, pairs), given, progress).go();
}

std::vector<PairResult> execute(FileSystem& fs, const std::vector<Pair>& pairs, Mode mode, std::uint32_t attributes,
                                const Originals& originals, const std::function<RunJournal*()>& makeJournal,
                                RunProgress* progress)
{
    const std::vector<std::uint32_t> each(pairs.size(), attributes);
    return Run(fs, pairs, mode, each, originals, makeJournal, progress).go();
}

}  // namespace renaming
