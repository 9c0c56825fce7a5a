#include "rename/undo.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "lists/messages.h"
#include "lists/views.h"

namespace renaming {

namespace {

using platform::FileIdentity;

// The file a pair left at its new path: the original itself where it stayed on its volume, else
// the file found there, which the run made.
std::optional<FileIdentity> movedOf(Mode mode, const std::optional<FileIdentity>& original,
                                    const std::optional<FileIdentity>& there)
{
    const bool keptItsNumber = mode == Mode::RenameInPlace && original && (!there || there->volume == original->volume);
    return keptItsNumber ? original : there;
}

// Takes the plan's lists, and where when it makes a record: a run of a million pairs is not
// copied whole once more.
std::optional<UndoRecord> recordOf(platform::FileSystem& fs, RunPlan plan, std::vector<std::string>&& where,
                                   const std::vector<bool>& done)
{
    UndoRecord record{plan.mode, {}, {}, {}, {}};
    record.originals.reserve(plan.pairs.size());
    record.targets.reserve(plan.pairs.size());
    std::vector<std::size_t> carried;
    std::vector<std::string_view> newPaths;
    for (std::size_t i = 0; i < plan.pairs.size(); ++i) {
        record.originals.push_back(std::move(plan.pairs[i].from));
        record.targets.push_back(std::move(plan.pairs[i].to));
        if (done[i])
            carried.push_back(i);
    }
    for (std::size_t i : carried)
        newPaths.push_back(record.targets[i]);
    const auto there = fs.identities(newPaths);
    for (std::size_t k = 0; k < carried.size(); ++k) {
        const std::size_t i = carried[k];
        const auto& original = plan.identities[i];
        // A copy onto its own path is the original: there is nothing to remove.
        if (plan.mode == Mode::CopyToNewPath && (!original || (there[k] && there[k]->sameFile(*original))))
            continue;
        record.pairs.push_back({i, movedOf(plan.mode, original, there[k]), original, plan.attributes[i]});
    }
    if (record.pairs.empty())
        return std::nullopt;
    record.after = std::move(where);
    return record;
}

// Why the file at a new path is not the one to take back; nothing when it is. Its content may
// have changed: undo takes back names, not edits.
const char* notTheFile(platform::FileSystem& fs, const std::string& path, const std::optional<FileIdentity>& there,
                       const std::optional<FileIdentity>& moved)
{
    if (!there)
        return fs.attributes(path) == platform::attr::invalid ? messages::undoReason::fileMissing
                                                               : messages::reason::unidentified;
    if (!moved)
        return messages::reason::unidentified;
    return there->sameFile(*moved) ? nullptr : messages::undoReason::notTheSameFile;
}

// The undo's progress counts the pairs it left out before the engine began as settled.
class Offset : public RunProgress {
public:
    Offset(RunProgress& inner, std::size_t settled) : inner_(inner), settled_(settled) {}
    void reached(std::size_t settled, const std::string& path) override { inner_.reached(settled_ + settled, path); }
    bool stopRequested() override { return inner_.stopRequested(); }

private:
    RunProgress& inner_;
    std::size_t settled_;
};

class Undoing {
public:
    Undoing(platform::FileSystem& fs, const UndoRecord& record) : fs_(fs), r_(record) { result_.where = record.after; }

    void renames(const std::string& journalPath, RunProgress* progress);
    void copies(RunProgress* progress);

    // A pair's file is back: the entry names this place now.
    void takenBack(std::size_t index, const std::string& at) { result_.where[index] = at; }
    void left(std::size_t index, const std::string& at, const std::string& reason)
    {
        result_.where[index] = at;
        result_.left.push_back({index, at, r_.originals[index], reason});
    }
    // Left for a reason that may pass: a later undo may take it back while it is where the run put it.
    void leftForLater(const UndoPair& p, const std::string& at, const std::string& reason)
    {
        left(p.index, at, reason);
        if (at == r_.targets[p.index])
            later_.push_back(p);
    }

    UndoResult finish()
    {
        // An entry the run did not carry out may name a file it did: one listed twice follows its
        // first listing. One that names its own original path keeps it.
        std::vector<bool> carried(r_.after.size());
        std::unordered_map<std::string, std::size_t> placeOf;  // case key of each carried-out file's place
        for (const UndoPair& p : r_.pairs) {
            carried[p.index] = true;
            placeOf.emplace(fs_.caseKey(r_.after[p.index]), p.index);
        }
        for (std::size_t j = 0; j < r_.after.size(); ++j) {
            const std::string key = fs_.caseKey(r_.after[j]);
            const auto first = placeOf.find(key);
            if (!carried[j] && first != placeOf.end() && key != fs_.caseKey(r_.originals[j]))
                result_.where[j] = result_.where[first->second];
        }
        const auto byIndex = [](const auto& a, const auto& b) { return a.index < b.index; };
        std::stable_sort(result_.left.begin(), result_.left.end(), byIndex);
        if (!later_.empty()) {
            std::sort(later_.begin(), later_.end(), byIndex);
            result_.rest = UndoRecord{r_.mode, r_.originals, r_.targets, result_.where, std::move(later_)};
        }
        return std::move(result_);
    }

private:
    // A file the engine could not take back this time, but may later.
    static bool mayPass(Outcome outcome)
    {
        return outcome == Outcome::Stopped || outcome == Outcome::SystemError || outcome == Outcome::TargetExists ||
               outcome == Outcome::TargetFolderMissing;
    }

    std::string reasonOf(const PairResult& result) const
    {
        if (result.outcome == Outcome::SystemError)
            return fs_.errorText(result.code);
        if (result.outcome == Outcome::SourceMissing)
            return messages::undoReason::fileMissing;
        return reasonText(result.outcome);
    }

    // Removed, a copy may hold the only content left: its original must be there, the same file
    // and as large as it was.
    bool originalThere(const UndoPair& p)
    {
        const auto original = fs_.identity(r_.originals[p.index]);
        return original && p.original && original->sameFile(*p.original) && original->size == p.original->size;
    }

    // The journal's plan reads who stands at each new path: a pair whose file is not the one the
    // run left there is dropped, and the plan made again without it, so that the engine and the
    // recovery act on nothing else.
    std::unique_ptr<RunJournal> plan(const std::string& journalPath, std::vector<const UndoPair*>& pairs,
                                     std::vector<Pair>& back)
    {
        for (;;) {
            back.clear();
            for (const UndoPair* p : pairs)
                back.push_back({r_.targets[p->index], r_.originals[p->index]});
            auto journal = std::make_unique<RunJournal>(fs_, journalPath, Mode::RenameInPlace, back, RunKind::Undo);
            std::vector<const UndoPair*> same;
            for (std::size_t j = 0; j < pairs.size(); ++j) {
                if (const char* why = notTheFile(fs_, back[j].from, journal->identities()[j], pairs[j]->moved))
                    left(pairs[j]->index, back[j].from, why);
                else
                    same.push_back(pairs[j]);
            }
            if (same.size() == pairs.size())
                return journal;
            journal.reset();  // its file is made anew
            pairs = std::move(same);
        }
    }

    platform::FileSystem& fs_;
    const UndoRecord& r_;
    UndoResult result_;
    std::vector<UndoPair> later_;
};

void Undoing::renames(const std::string& journalPath, RunProgress* progress)
{
    std::vector<const UndoPair*> pairs;
    for (const UndoPair& p : r_.pairs)
        pairs.push_back(&p);
    std::vector<Pair> back;
    const auto journal = plan(journalPath, pairs, back);
    std::vector<std::uint32_t> attributes;
    for (const UndoPair* p : pairs)
        attributes.push_back(p->attributes);
    std::optional<Offset> offset;
    if (progress)
        offset.emplace(*progress, r_.pairs.size() - pairs.size());
    const auto results =
        execute(fs_, back, Mode::RenameInPlace, attributes, journal.get(), offset ? &*offset : nullptr);
    result_.journalBroken = journal->broken();
    for (std::size_t j = 0; j < pairs.size(); ++j) {
        if (results[j].outcome == Outcome::Done)
            takenBack(pairs[j]->index, results[j].at);
        else if (mayPass(results[j].outcome))
            leftForLater(*pairs[j], results[j].at, reasonOf(results[j]));
        else
            left(pairs[j]->index, results[j].at, reasonOf(results[j]));
        if (!results[j].stray.empty())
            result_.left.back().stray = results[j].stray;
    }
}

void Undoing::copies(RunProgress* progress)
{
    for (std::size_t k = 0; k < r_.pairs.size(); ++k) {
        const UndoPair& p = r_.pairs[k];
        const std::string& copy = r_.targets[p.index];
        if (progress && progress->stopRequested()) {
            for (; k < r_.pairs.size(); ++k)
                leftForLater(r_.pairs[k], r_.targets[r_.pairs[k].index], messages::reason::stopped);
            return;
        }
        if (progress)
            progress->reached(k, copy);
        const auto there = fs_.identity(copy);
        const char* why = notTheFile(fs_, copy, there, p.moved);
        if (!why && *there != *p.moved)
            why = messages::undoReason::copyChanged;
        if (!why && !originalThere(p))
            why = messages::undoReason::originalGone;
        if (why)
            left(p.index, copy, why);
        else if (const std::uint32_t code = fs_.recycle(copy))
            leftForLater(p, copy, fs_.errorText(code));
        else
            takenBack(p.index, r_.originals[p.index]);
    }
}

}  // namespace

std::optional<UndoRecord> recordAfterRun(platform::FileSystem& fs, Mode mode, std::vector<Pair> pairs,
                                         RunJournal& journal, const std::vector<PairResult>& results,
                                         std::vector<std::string>&& where)
{
    if (journal.broken())
        return std::nullopt;
    std::vector<bool> done;
    done.reserve(results.size());
    for (const PairResult& r : results)
        done.push_back(r.outcome == Outcome::Done);
    Originals originals = journal.takeOriginals();
    return recordOf(fs, {mode, RunKind::Run, std::move(pairs), std::move(originals.identities),
                         std::move(originals.attributes)},
                    std::move(where), done);
}

std::optional<UndoRecord> recordAfterRecovery(platform::FileSystem& fs, const Recovered& recovered)
{
    if (recovered.plan.kind == RunKind::Undo)
        return std::nullopt;
    return recordOf(fs, recovered.plan, std::vector<std::string>(recovered.where), recovered.done);
}

UndoResult undo(platform::FileSystem& fs, const UndoRecord& record, const std::string& journalPath,
                RunProgress* progress)
{
    Undoing undoing(fs, record);
    if (record.mode == Mode::RenameInPlace)
        undoing.renames(journalPath, progress);
    else
        undoing.copies(progress);
    return undoing.finish();
}

UndoResult placesAfterRecoveredUndo(platform::FileSystem& fs, const UndoRecord& undone,
                                                  const Recovered& recovered)
{
    // The undo planned its pairs in the order of the record, each from its new path back to its
    // original path.
    Undoing undoing(fs, undone);
    const auto& planned = recovered.plan.pairs;
    std::size_t k = 0;
    for (const UndoPair& p : undone.pairs) {
        if (k == planned.size())
            break;
        if (planned[k].from != undone.targets[p.index] || planned[k].to != undone.originals[p.index])
            continue;
        if (recovered.done[k])
            undoing.takenBack(p.index, recovered.where[k]);
        else
            undoing.leftForLater(p, recovered.where[k], "");
        ++k;
    }
    return undoing.finish();
}

std::string undoQuestion(Mode mode, std::size_t pairs)
{
    using namespace messages::undo;
    const std::string count = std::to_string(pairs);
    return std::string(question) + "\r" +
           (mode == Mode::RenameInPlace ? renamePrefix + count + renameSuffix : copyPrefix + count + copySuffix);
}

std::string undoNotice(const UndoResult& result)
{
    using namespace messages::undo;
    if (result.left.empty())
        return succeeded;
    return finishedPrefix + std::to_string(result.left.size()) + messages::report::failedSuffix +
           messages::firstTenLines(result.left.size(), [&](std::size_t i) {
               const UndoLeft& l = result.left[i];
               return lists::viewText(l.at) + " → " + lists::viewText(l.back) + "（" + l.reason + "）" +
                      (l.stray.empty() ? "" : "\r" + (messages::report::strayPrefix + lists::viewText(l.stray)));
           });
}

}  // namespace renaming
