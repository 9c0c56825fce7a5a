#include "rename/rename_session.h"

#include <algorithm>

#include "lists/choose_files.h"
#include "lists/import_names.h"
#include "lists/messages.h"
#include "lists/names_decoding.h"
#include "lists/views.h"
#include "platform/errors.h"
#include "platform/trace.h"
#include "rename/compose.h"
#include "rename/journal.h"
#include "rename/run_state.h"
#include "rename/undo_history.h"

namespace renaming {

using lists::ListPair;

// The run between prepareRun and finishRun, or the undo between prepareUndo and finishUndo.
struct RenameSession::Pending {
    RunKind kind = RunKind::Run;
    std::vector<Pair> pairs;
    Mode mode = Mode::RenameInPlace;
    std::uint32_t attributes = 0;
    std::unique_ptr<RunJournal> journal;
    std::vector<PairResult> results;
    UndoRecord record;
    UndoResult undone;
    std::exception_ptr error;  // raised on the worker
};

namespace {
// Runs a command's body; an error ends it and is kept for the window to show after the rest.
template <class Body>
Shown guarded(Shown shown, Body body)
{
    if (shown.failure)
        return shown;
    try {
        body(shown);
    } catch (...) {
        shown.failure = std::current_exception();
    }
    return shown;
}
}  // namespace

void Shown::append(Shown&& later)
{
    effects.insert(effects.end(), std::make_move_iterator(later.effects.begin()),
                   std::make_move_iterator(later.effects.end()));
    if (!failure)
        failure = later.failure;
    refused = refused || later.refused;
}

RenameSession::RenameSession(platform::FileSystem& fs) : fs_(fs), store_(fs) {}

RenameSession::~RenameSession() = default;

std::optional<std::string> RenameSession::viewText(ListPair pair, bool fullPaths) const
{
    using lists::ListFile;
    const bool original = pair == ListPair::Original;
    const ListFile pathFile = original ? ListFile::OriginalPaths : ListFile::NewPaths;
    const ListFile nameFile = original ? ListFile::OriginalNames : ListFile::NewNames;
    if (!store_.exists(pathFile))
        return std::nullopt;
    return lists::viewText(store_.text(fullPaths ? pathFile : nameFile));
}

Shown RenameSession::start()
{
    // Only a preview or an import makes lists the program did not write its own, and only as
    // shown now.
    Shown shown = guarded({}, [&](Shown& s) {
        store_.settle();
        s.load(ListPair::Original);
        s.load(ListPair::New);
        store_.noteShown();
        const std::string aside = store_.setAsideJournalBeside();
        if (aside.empty())
            return;
        std::string notice = messages::journalBesideNotice;
        notice += aside == "ThumbRun.db"
                      ? messages::journalBesideKept
                      : messages::journalBesideRenamedPrefix + aside + messages::journalBesideRenamedSuffix;
        s.notice(notice);
    });
    shown = guarded(std::move(shown), [&](Shown& s) { readUndoable(s); });
    if (!shown.failure)
        shown.append(recoverUnfinishedRun());
    return shown;
}

Shown RenameSession::settle()
{
    // What can be undone is read afresh: a history that can no longer be read is said so before
    // any question about it.
    return guarded(recoverUnfinishedRun(), [&](Shown& s) { readUndoable(s); });
}

Shown RenameSession::recoverUnfinishedRun()
{
    return guarded({}, [&](Shown& s) {
        const std::string journal = store_.journalPath();
        if (!fs_.fileExists(journal))
            return;
        const auto recovered = recover(fs_, journal);
        if (recovered)
            settleRecovered(*recovered, s);
        else
            endUndo(false);  // no whole plan, no file touched: an undo's run is still to undo
        // A journal left behind would settle its run again at every later command, over the
        // lists the user has made since.
        deleteJournal();
        if (recovered)
            s.notice(recoveryNotice(*recovered));
    });
}

void RenameSession::deleteJournal()
{
    const std::string journal = store_.journalPath();
    if (!fs_.fileExists(journal))
        return;
    if (auto code = fs_.deleteFile(journal))
        throw platform::IoError(static_cast<int>(code));
}

void RenameSession::dropNewList(Shown& shown)
{
    // A new list that cannot be deleted is an error, and is out of force all the same.
    shown.clear(ListPair::New);
    store_.removePair(ListPair::New);
}

std::optional<std::string> RenameSession::firstMissing(const std::vector<std::string>& originals) const
{
    if (fs_.fileExists(originals.front()))
        return std::nullopt;
    return messages::notFoundPrefix + lists::viewText(originals.front()) + messages::notFoundSuffix;
}

GivenFiles RenameSession::given(const std::vector<std::string>& paths) const
{
    GivenFiles result;
    const lists::Given given = lists::filesGiven(fs_, paths);
    if (given.tooMany) {
        result.shown.notice(messages::tooManyGiven);
        return result;
    }
    if (!given.missing.empty())
        result.shown.notice(lists::refusedNotice(messages::missingPathsHeading, given.missing));
    result.files = given.files;
    return result;
}

Shown RenameSession::open(const std::vector<std::string>& files)
{
    if (files.empty())
        return {.refused = true};
    return guarded(recoverUnfinishedRun(), [&](Shown& s) {
        dropNewList(s);
        store_.rewrite(ListPair::Original, files);
        s.clear(ListPair::Original);
        s.load(ListPair::Original);
    });
}

Shown RenameSession::add(const std::vector<std::string>& files)
{
    if (files.empty())
        return {.refused = true};
    return guarded(recoverUnfinishedRun(), [&](Shown& s) {
        dropNewList(s);
        if (!store_.appendOriginal(files)) {
            s.notice(messages::listsChanged);
            s.refused = true;
            return;
        }
        s.clear(ListPair::Original);
        s.load(ListPair::Original);
    });
}

Shown RenameSession::clear()
{
    return guarded(recoverUnfinishedRun(), [&](Shown& s) {
        s.clear(ListPair::Original);
        s.clear(ListPair::New);
        store_.removePair(ListPair::Original);
    });
}

Shown RenameSession::preview(const RenameOptions& options)
{
    return guarded(recoverUnfinishedRun(), [&](Shown& s) {
        const auto original = store_.readOriginal();
        if (!original) {
            s.notice(messages::listsChanged);
            return;
        }
        const std::vector<std::string>& originals = original->entries;
        // A list without entries has nothing to preview, like a missing one.
        if (originals.empty())
            return;
        if (auto missing = firstMissing(originals)) {
            s.notice(*missing);
            return;
        }
        // A start number that is no number is reported before the new list is touched, so that
        // the list Execute acts on is always the one the view shows.
        if (options.cbInitNo)
            startNumber(options);
        const bool outputFolderExists = !options.rbRename && fs_.folderExists(options.lbpath);
        std::vector<std::string> paths;
        paths.reserve(originals.size());
        for (std::size_t k = 0; k < originals.size(); ++k)
            paths.push_back(composeEntry(originals[k], k, options, outputFolderExists).path);
        store_.rewriteNew(paths, *original);
        s.load(ListPair::New);
    });
}

Shown RenameSession::cancelPreview()
{
    return guarded({}, [&](Shown& s) { dropNewList(s); });
}

Shown RenameSession::importNames(const std::string& namesFile)
{
    return guarded(recoverUnfinishedRun(), [&](Shown& s) {
        if (!fs_.fileExists(namesFile))
            return;
        try {
            const auto names = lists::splitLines(lists::decodeNamesFile(fs_, fs_.readAll(namesFile)));
            const auto original = store_.readOriginal();
            if (!original) {
                s.notice(messages::listsChanged);
                return;
            }
            store_.rewriteNew(lists::importedPaths(original->entries, names), *original);
            s.load(ListPair::New);
        } catch (const platform::AppError&) {
            // An import that fails says nothing; what was written stays.
        }
    });
}

void RenameSession::close()
{
    for (lists::ListFile file : lists::allListFiles)
        store_.remove(file);
}

Shown RenameSession::prepareRun(Mode mode, std::uint32_t attributes)
{
    return guarded(recoverUnfinishedRun(), [&](Shown& s) {
        lists::RunLists toRun = store_.readForRun();
        platform::trace("lists-read");
        if (toRun.state == lists::RunLists::State::Changed) {
            s.notice(messages::listsChanged);
            return;
        }
        std::vector<std::string>& originals = toRun.originals;
        if (toRun.state == lists::RunLists::State::NoPreview || originals.empty()) {
            s.notice(messages::noPreview);
            s.clear(ListPair::New);
            return;
        }
        if (auto missing = firstMissing(originals)) {
            s.notice(*missing);
            return;
        }
        auto pending = std::make_unique<Pending>();
        const std::size_t count = std::min(originals.size(), toRun.targets.size());
        pending->pairs.reserve(count);
        for (std::size_t i = 0; i < count; ++i)
            pending->pairs.push_back({std::move(originals[i]), std::move(toRun.targets[i])});
        pending->mode = mode;
        pending->attributes = attributes;
        pending_ = std::move(pending);
        state_ = std::make_unique<RunState>();
    });
}

std::size_t RenameSession::runSize() const
{
    if (!pending_)
        return 0;
    return pending_->kind == RunKind::Run ? pending_->pairs.size() : pending_->record.pairs.size();
}

void RenameSession::carryOut()
{
    platform::trace("engine");
    Pending& p = *pending_;
    // Raised here, an error would leave the run pending for good: finishing it raises it again.
    try {
        if (p.kind == RunKind::Run) {
            // Made here, not before the worker starts: reading who every original is and making
            // the plan durable takes long enough over many folders for the window to stop answering.
            p.journal = std::make_unique<RunJournal>(fs_, store_.journalPath(), p.mode, p.pairs);
            platform::trace("planned");
            p.results = execute(fs_, p.pairs, p.mode, p.attributes, p.journal.get(), state_.get());
        } else {
            p.undone = undo(fs_, p.record, store_.journalPath(), state_.get());
        }
    } catch (...) {
        p.error = std::current_exception();
    }
    platform::trace("engine-ended");
}

RunEnd RenameSession::finishRun(const std::string& outputFolder)
{
    const std::unique_ptr<Pending> p = std::move(pending_);
    state_.reset();
    // The engine ended part-way: its journal stays for the next command to settle the run.
    if (p->error)
        std::rethrow_exception(p->error);
    const bool journalBroken = p->journal->broken();
    const auto record = recordAfterRun(fs_, p->mode, p->pairs, *p->journal, p->results);
    p->journal.reset();
    platform::trace("run-closed");

    // The original list now names where each file is. The files have moved whatever happens to
    // the lists: if they cannot be written, the user still hears what was done, then why the
    // lists are behind, and the journal stays for the next start to settle them. A journal that
    // broke down part-way stays too: the recovery puts back what the run could not.
    RunEnd end;
    end.shown = guarded({}, [&](Shown& s) {
        std::vector<std::string> where;
        where.reserve(p->pairs.size());
        for (const auto& r : p->results)
            where.push_back(r.at);
        store_.rewriteAfterRun(where);
        platform::trace("lists-written");
        s.load(ListPair::Original);
        // Before the journal goes: a kill in between recovers the run and records it then.
        addToHistory(record);
        platform::trace("history-written");
        if (!journalBroken)
            deleteJournal();
        platform::trace("journal-deleted");
    });
    end.temporaryLeft = temporaryLeft(p->pairs, p->results);
    end.folder = folderToOpen(p->pairs, p->results, outputFolder);
    end.question = completionQuestion(fs_, p->pairs, p->results, end.folder);
    return end;
}

Shown RenameSession::prepareUndo()
{
    return guarded(recoverUnfinishedRun(), [&](Shown& s) {
        // Off the history before any file is touched: a killed undo is never done twice.
        HistoryRead read = takeLatestForUndo(fs_, historyPath());
        undoable_ = read.history.runs.size();
        if (!read.setAside.empty())
            s.notice(historySetAsideNotice(read.setAside));
        if (!read.record)
            return;
        auto pending = std::make_unique<Pending>();
        pending->kind = RunKind::Undo;
        pending->record = std::move(*read.record);
        pending_ = std::move(pending);
        state_ = std::make_unique<RunState>();
    });
}

Shown RenameSession::finishUndo()
{
    const std::unique_ptr<Pending> p = std::move(pending_);
    state_.reset();
    return guarded({}, [&](Shown& s) {
        if (p->error) {
            // Without a journal no rename was taken back: the run can still be undone. With one,
            // the next command settles the undo as after a kill.
            if (!fs_.fileExists(store_.journalPath()))
                endUndo(false);
            std::rethrow_exception(p->error);
        }
        if (!writeListsAfterUndo(p->undone.where, p->record.targets))
            s.notice(messages::listsChanged);
        s.load(ListPair::Original);
        s.load(ListPair::New);
        // A journal that broke down stays, and with it what its recovery makes the lists from.
        if (!p->undone.journalBroken) {
            endUndo(true, p->undone.rest);
            deleteJournal();
        }
        s.notice(undoNotice(p->undone));
    });
}

}  // namespace renaming
