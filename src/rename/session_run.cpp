// The session's run and undo: prepared on the window's thread, carried out and closed on the
// worker, finished on the window's thread again.
#include <algorithm>
#include <string_view>
#include <utility>

#include "lists/messages.h"
#include "platform/line_breaks.h"
#include "platform/trace.h"
#include "rename/rename_session.h"
#include "rename/run_state.h"
#include "rename/session_pending.h"
#include "rename/undo_history.h"

namespace renaming {

using lists::ListPair;

Shown RenameSession::prepareRun(Mode mode, std::uint32_t attributes, const std::string& outputFolder)
{
    return guarded(recoverUnfinishedRun(), [&](Shown&) {
        auto pending = std::make_unique<Pending>();
        pending->mode = mode;
        pending->attributes = attributes;
        pending->outputFolder = outputFolder;
        pending_ = std::move(pending);
        state_ = std::make_unique<RunState>();
    });
}

bool RenameSession::readPairs(Pending& p)
{
    lists::RunLists toRun = store_.readForRun();
    platform::trace("lists-read");
    Shown& refusal = p.end.shown;
    if (toRun.state == lists::RunLists::State::Changed) {
        refusal.notice(messages::listsChanged);
        return false;
    }
    const std::string& originals = toRun.originals;
    const std::size_t listed = platform::countLines(originals);
    if (toRun.state == lists::RunLists::State::NoPreview || listed == 0) {
        refusal.notice(messages::noPreview);
        refusal.clear(ListPair::New);
        return false;
    }
    const std::size_t paired = std::min(listed, platform::countLines(toRun.targets));
    p.pairs.reserve(paired);
    platform::forEachLine(std::string_view(originals), [&](std::size_t start, std::size_t length) {
        if (p.pairs.size() < paired)
            p.pairs.push_back({originals.substr(start, length), {}});
    });
    if (auto missing = firstMissing(originals)) {
        refusal.notice(*missing);
        return false;
    }
    p.targets = std::move(toRun.targets);
    state_->setTotal(p.pairs.size());
    return true;
}

void RenameSession::carryOut()
{
    Pending& p = *pending_;
    // Raised here, an error would leave the run pending for good: finishing it raises it again.
    try {
        if (p.kind == RunKind::Run) {
            // Read here, not on the window's thread: a million entries take a second to read and
            // check, and what they say is said once the window is back.
            if (!readPairs(p))
                return;
            platform::trace("engine");
            // Read here, not before the worker starts: reading who every original is and making
            // the plan durable takes long enough over many folders for the window to stop answering.
            // The new list is split while the originals are looked up, which reads only each
            // pair's original path and makes few strings: the two do not wait on each other.
            Originals originals;
            fs_.together([&] { originals = originalsOf(fs_, p.pairs); }, [&] { takeTargets(p); });
            platform::trace("originals-read");
            const std::string journalPath = store_.journalPath();
            p.results = execute(fs_, p.pairs, p.mode, p.attributes, originals, [&] {
                p.journal = std::make_unique<RunJournal>(fs_, journalPath, p.mode, p.pairs, originals);
                return p.journal.get();
            }, state_.get());
            platform::trace("engine-ended");
            state_->engineEnded();
            // Here too: writing the lists and the history of a long run takes the window longer
            // than it may go without answering.
            p.end = closeRun(p);
        } else {
            platform::trace("engine");
            carryOutUndo(p);
        }
    } catch (...) {
        p.error = std::current_exception();
    }
}

void RenameSession::takeTargets(Pending& p)
{
    std::vector<std::string> targets = lists::splitLines(std::exchange(p.targets, {}));
    for (std::size_t i = 0; i < p.pairs.size(); ++i)
        p.pairs[i].to = std::move(targets[i]);
}

void RenameSession::writeListsAndRecord(const std::vector<std::string>& places, const std::optional<UndoRecord>& record,
                                        Shown& shown)
{
    Shown recorded;
    bool listsWritten = false;
    std::exception_ptr failed;
    try {
        fs_.together(
            [&] {
                std::string lines = store_.rewriteAfterRun(places);
                listsWritten = true;
                state_->listsWritten(std::move(lines));
                platform::trace("lists-written");
            },
            [&] {
                addToHistory(record, recorded);
                platform::trace("history-written");
            });
    } catch (...) {
        failed = std::current_exception();
    }
    // Whichever of the two failed, the other may stand: lists written are shown, and what
    // writing the record set aside is said now, for it is never found again.
    if (listsWritten)
        shown.load(ListPair::Original);
    shown.append(std::move(recorded));
    if (failed)
        std::rethrow_exception(failed);
}

RunEnd RenameSession::closeRun(Pending& p)
{
    RunEnd end;
    end.started = true;
    end.temporaryLeft = temporaryLeft(p.pairs, p.results);
    end.folder = folderToOpen(p.pairs, p.results, p.outputFolder);
    end.question = completionQuestion(fs_, p.pairs, p.results, end.folder);
    platform::trace("run-closed");

    // The original list now names where each file is. The files have moved whatever happens to
    // the lists: if they cannot be written, the user still hears what was done, then why the
    // lists are behind, and the journal stays for the next start to settle them. A journal that
    // broke down part-way stays too: the recovery puts back what the run could not.
    end.shown = guarded({}, [&](Shown& s) {
        std::vector<std::string> where;
        where.reserve(p.results.size());
        for (auto& r : p.results)
            where.push_back(std::move(r.at));
        // Before the journal goes: a kill in between, or among them, recovers the run and
        // records it then.
        const bool journalBroken = p.journal->broken();
        std::optional<UndoRecord>& record = end.record;
        record = recordAfterRun(fs_, p.mode, std::move(p.pairs), *p.journal, p.results, std::move(where));
        const std::vector<std::string>& places = record ? record->after : where;
        writeListsAndRecord(places, record, s);
        p.journal.reset();
        if (!journalBroken)
            deleteJournal();
        platform::trace("journal-deleted");
    });
    return end;
}

RunEnd RenameSession::finishRun()
{
    const std::unique_ptr<Pending> p = std::move(pending_);
    state_.reset();
    // The engine ended part-way: its journal stays for the next command to settle the run.
    if (p->error)
        std::rethrow_exception(p->error);
    return std::move(p->end);
}

Shown RenameSession::prepareUndo()
{
    return guarded(recoverUnfinishedRun(), [&](Shown& s) {
        // The index alone: the run's record, three strings an entry, is read on the worker.
        const HistoryRead read = readHistory(fs_, historyPath());
        undoable_ = read.history.runs.size();
        if (!read.setAside.empty())
            s.notice(historySetAsideNotice(read.setAside));
        if (read.history.runs.empty())
            return;
        auto pending = std::make_unique<Pending>();
        pending->kind = RunKind::Undo;
        pending_ = std::move(pending);
        state_ = std::make_unique<RunState>();
        state_->setTotal(read.history.runs.front().pairs);
    });
}

void RenameSession::carryOutUndo(Pending& p)
{
    // Off the history before any file is touched: a killed undo is never done twice.
    HistoryRead read = takeLatestForUndo(fs_, historyPath());
    undoable_ = read.history.runs.size();
    if (!read.setAside.empty())
        p.undoEnd.notice(historySetAsideNotice(read.setAside));
    if (!read.record)
        return;
    p.record = std::move(*read.record);
    p.undone = undo(fs_, p.record, store_.journalPath(), state_.get());
    platform::trace("engine-ended");
    state_->engineEnded();
    p.undoEnd.append(closeUndo(p));
}

Shown RenameSession::closeUndo(Pending& p)
{
    return guarded({}, [&](Shown& s) {
        if (!writeListsAfterUndo(p.undone.where, p.record.targets))
            s.notice(messages::listsChanged);
        s.load(ListPair::Original);
        s.load(ListPair::New);
        // A journal that broke down stays, and with it what its recovery makes the lists from.
        if (!p.undone.journalBroken) {
            endUndo(true, p.undone.rest);
            deleteJournal();
        }
        s.notice(undoNotice(p.undone));
        platform::trace("journal-deleted");
    });
}

Shown RenameSession::finishUndo()
{
    const std::unique_ptr<Pending> p = std::move(pending_);
    state_.reset();
    if (!p->error)
        return std::move(p->undoEnd);
    return guarded(std::move(p->undoEnd), [&](Shown&) {
        // Without a journal no rename was taken back: the run can still be undone. With one,
        // the next command settles the undo as after a kill.
        if (!fs_.fileExists(store_.journalPath()))
            endUndo(false);
        std::rethrow_exception(p->error);
    });
}

}  // namespace renaming
