// The session's history of runs that can be undone: kept after every run and recovery, read
// for the undo's question, and the lists an undo leaves.
#include "lists/messages.h"
#include "rename/rename_session.h"
#include "rename/undo_history.h"

namespace renaming {

using lists::ListPair;

void RenameSession::settleRecovered(const Recovered& recovered, Shown& shown)
{
    if (recovered.plan.kind == RunKind::Run) {
        // As after a run: the original list names where each file is, the new list stays.
        store_.rewriteAfterRun(recovered.where);
        shown.load(ListPair::Original);
        addToHistory(recordAfterRecovery(fs_, recovered), shown, &recovered.plan);
        return;
    }
    // An undo: the lists as after it, made from the run it was taking back. Without that run
    // (its history lost) the lists cannot be told and stay as they were.
    const HistoryRead read = undoingRecord(fs_, historyPath());
    if (!read.setAside.empty())
        shown.notice(historySetAsideNotice(read.setAside));
    if (!read.record)
        return;
    const UndoResult undone = placesAfterRecoveredUndo(fs_, *read.record, recovered);
    if (!writeListsAfterUndo(undone.where, read.record->targets))
        shown.notice(messages::listsChanged);
    shown.load(ListPair::Original);
    shown.load(ListPair::New);
    endUndo(true, undone.rest);
}

const std::string& RenameSession::historyPath()
{
    if (historyPath_.empty())
        historyPath_ = undoHistoryPath(fs_);
    return historyPath_;
}

void RenameSession::readUndoable(Shown& shown)
{
    const HistoryRead read = readHistory(fs_, historyPath());
    undoable_ = read.history.runs.size();
    if (!read.setAside.empty())
        shown.notice(historySetAsideNotice(read.setAside));
    // An undo that left no journal behind was killed before it took back a rename, or among the
    // removals of a copy run, each whole: the rest of its run can be undone still.
    if (read.history.undoing && !fs_.fileExists(store_.journalPath()))
        endUndo(false);
}

void RenameSession::endUndo(bool undone, const std::optional<UndoRecord>& rest)
{
    undoable_ = renaming::endUndo(fs_, historyPath(), undone, rest).history.runs.size();
}

void RenameSession::addToHistory(const std::optional<UndoRecord>& record, Shown& shown, const RunPlan* recoveredFrom)
{
    if (!record)
        return;
    const HistoryRead read = renaming::addToHistory(fs_, historyPath(), *record, recoveredFrom);
    undoable_ = read.history.runs.size();
    // A run dropped from the history with what was set aside is never offered again: said now.
    if (!read.setAside.empty())
        shown.notice(historySetAsideNotice(read.setAside));
}

bool RenameSession::writeListsAfterUndo(const std::vector<std::string>& where, const std::vector<std::string>& targets)
{
    store_.rewrite(ListPair::Original, where);
    // Read back at once, it is the list just written unless another program wrote over it.
    const auto original = store_.readOriginal();
    if (!original)
        return false;
    store_.rewriteNew(lists::joinLines(targets), *original);
    return true;
}

std::optional<std::string> RenameSession::undoQuestion()
{
    const HistoryRead read = readHistory(fs_, historyPath());
    undoable_ = read.history.runs.size();
    if (read.history.runs.empty())
        return std::nullopt;
    const HistoryRun& newest = read.history.runs.front();
    return renaming::undoQuestion(newest.mode, newest.pairs);
}

}  // namespace renaming
