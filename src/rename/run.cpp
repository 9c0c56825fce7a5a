#include "rename/run.h"

#include "lists/path_parts.h"
#include "rename/journal.h"

namespace renaming {

using platform::FileSystem;
namespace err = platform::err;

Run::Run(FileSystem& fs, const std::vector<Pair>& pairs, Mode mode, const std::vector<std::uint32_t>& attributes,
         const Originals& originals, const std::function<RunJournal*()>& makeJournal, RunProgress* progress)
    : fs_(fs), pairs_(pairs), mode_(mode), attributes_(attributes), makeJournal_(makeJournal),
      progress_(progress), identities_(originals.identities), originalAttributes_(originals.attributes),
      results_(pairs.size()), moved_(pairs.size()), targetKey_(pairs.size()), before_(pairs.size())
{}

std::vector<PairResult> Run::go()
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
        if (!acrossVolumes_.empty())
            copyAcrossVolumes();
        else if (!anyReady())
            // Every pair left waits for another: only cycles remain. Parking one file frees a place.
            park(*pending_.begin());
        else if (mode_ == Mode::RenameInPlace)
            renameReady();
        else
            copy(nextReady());
    }
    // A copy that never had its turn leaves the original as it found it.
    for (const Move& move : acrossVolumes_)
        setAttributes(move.from, platform::attr::archive, before_[move.pair]);
    for (std::size_t i : std::set<std::size_t>(pending_))
        leftOver(i);
    for (std::size_t i = 0; i < pairs_.size(); ++i)
        results_[i].at = results_[i].outcome == Outcome::Done ? pairs_[i].to : at(i);
    for (std::size_t i = 0; i < pairs_.size(); ++i)
        if (first_[i] != i)
            results_[i].at = results_[first_[i]].at;
    return std::move(results_);
}

void Run::select()
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

bool Run::isFile(std::uint32_t attributes)
{
    return attributes != platform::attr::invalid && !(attributes & platform::attr::directory);
}

std::optional<std::size_t> Run::blocker(std::size_t i) const
{
    auto it = sourceOf_.find(targetKey_[i]);
    if (it == sourceOf_.end() || it->second == i)
        return std::nullopt;
    return it->second;
}

void Run::vacated(std::size_t i, const std::string& path)
{
    const std::string k = key(path);
    auto source = sourceOf_.find(k);
    if (source != sourceOf_.end() && source->second == i)
        sourceOf_.erase(source);
    auto waiter = targetOf_.find(k);
    if (waiter != targetOf_.end() && waiter->second != i && pending_.count(waiter->second))
        ready_.insert(waiter->second);
}

std::string Run::temporaryBeside(const std::string& path)
{
    const std::string folder = lists::folderPart(path);
    for (;;) {
        std::string candidate = folder + "~nomerra" + std::to_string(++temporaries_) + ".tmp";
        if (fs_.attributes(candidate) == platform::attr::invalid && claimTemporary(key(candidate)))
            return candidate;
    }
}

void Run::settle(std::size_t i, Outcome outcome, std::uint32_t code)
{
    results_[i].outcome = outcome;
    results_[i].code = code;
    pending_.erase(i);
    parked_.erase(i);
    vacated(i, at(i));
}

void Run::park(std::size_t i)
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

std::size_t Run::nextReady()
{
    const std::size_t i = *ready_.begin();
    ready_.erase(ready_.begin());
    if (progress_)
        progress_->reached(pairs_.size() - pending_.size(), pairs_[i].from);
    return i;
}

bool Run::anyReady()
{
    while (!ready_.empty() && !pending_.count(*ready_.begin()))
        ready_.erase(ready_.begin());
    return !ready_.empty();
}

void Run::leftOver(std::size_t i)
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

}  // namespace renaming
