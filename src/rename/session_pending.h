#pragma once
// What the session's files share: the run or undo going on, and how a command's error is kept.
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "rename/journal.h"
#include "rename/rename_session.h"
#include "rename/undo.h"

namespace renaming {

// The run between prepareRun and finishRun, or the undo between prepareUndo and finishUndo.
struct RenameSession::Pending {
    RunKind kind = RunKind::Run;
    std::vector<Pair> pairs;  // their new paths taken from targets when the run begins
    std::string targets;      // the new list's text
    Mode mode = Mode::RenameInPlace;
    std::uint32_t attributes = 0;
    std::string outputFolder;
    std::unique_ptr<RunJournal> journal;
    std::vector<PairResult> results;
    UndoRecord record;
    UndoResult undone;
    RunEnd end;                // of a run, once its files are settled
    Shown undoEnd;             // of an undo, likewise
    std::exception_ptr error;  // raised on the worker
};

// Runs a command's body; an error ends it and is kept for the window to show after the rest.
template <class Body>
inline Shown guarded(Shown shown, Body body)
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

}  // namespace renaming
