#pragma once
// Taking back a run. A run's record holds what its undo needs: its lists, where each file stood
// after it, and for every pair it carried out the identity of the file it left at the new path and
// the attributes the original had before. Undo acts only on that very file: a rename is taken back
// through the run's own engine (chains, swaps, cycles, spelling changes, never replacing) with a
// journal of its own, and gives the file its attributes back; a copy is removed, to the Recycle
// Bin, only while it is as the run made it and its original is there.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "rename/execute.h"
#include "rename/journal.h"

namespace renaming {

// A pair a run carried out.
struct UndoPair {
    std::size_t index = 0;  // in the run's lists
    // The file at the new path once the pair was carried out: the original itself after a rename
    // on one volume (its number survives the rename), else the file the run made there.
    std::optional<platform::FileIdentity> moved;
    std::optional<platform::FileIdentity> original;      // the original as the run began
    std::uint32_t attributes = platform::attr::invalid;  // the original's before the run; invalid: not known
    bool operator==(const UndoPair&) const = default;
};

struct UndoRecord {
    Mode mode = Mode::RenameInPlace;
    std::vector<std::string> originals, targets;  // the run's original list and new list, pair by pair
    std::vector<std::string> after;               // where each file stood after the run
    std::vector<UndoPair> pairs;                  // the pairs it carried out, in the order of the lists
    bool operator==(const UndoRecord&) const = default;
};

// After a run that ended, from its journal, its results and where each file stands (the pairs
// taken; where taken into the record, and left as it is when none is made). Nothing when it
// carried out no pair, or when its journal broke down: then the next start recovers it, and the
// record is made then.
std::optional<UndoRecord> recordAfterRun(platform::FileSystem& fs, Mode mode, std::vector<Pair> pairs,
                                         RunJournal& journal, const std::vector<PairResult>& results,
                                         std::vector<std::string>&& where);
// After the recovery of a run that did not end: for the pairs it carried out. Nothing when it
// carried out none, or when it was an undo (an undo is never undone: Execute does the run again).
std::optional<UndoRecord> recordAfterRecovery(platform::FileSystem& fs, const Recovered& recovered);

// A pair not taken back: its entry in the lists, where its file is, where it was to go back, and
// why not.
struct UndoLeft {
    std::size_t index = 0;
    std::string at, back, reason;
    std::string stray;  // a copy the undo made on its way to another volume and could not remove
    bool operator==(const UndoLeft&) const = default;
};

struct UndoResult {
    // Each file of the run's original list where it stands now: at its old name when taken back.
    // Written as the original list, with the run's new list (the record's targets) as the new
    // list, it shows the window as right after the run's preview: Execute does the run again.
    std::vector<std::string> where;
    std::vector<UndoLeft> left;  // in the order of the lists
    // The pairs left where the run put them for a reason that may pass (stopped, a kill, the
    // system's error, an old name taken, a folder gone): a later undo takes them back still, so
    // they go back on the history. Nothing when there are none.
    std::optional<UndoRecord> rest;
    bool journalBroken = false;  // as after a run: the journal stays for the next start
};

// Takes the run back. The caller takes the run off the history first (takeLatestForUndo), so that
// an undo killed part-way is never done twice. A rename run is taken back with a journal at
// journalPath, which the caller deletes once the lists are written unless it broke down, as after
// a run; a kill leaves it for the recovery (see placesAfterRecoveredUndo). A copy run's undo
// writes no journal: each removal is whole or not done. Throws IoError when the journal cannot be
// made: then no file was touched, and the record may go back on the history.
UndoResult undo(platform::FileSystem& fs, const UndoRecord& record, const std::string& journalPath,
                RunProgress* progress = nullptr);

// After the recovery of an undo killed part-way (its plan's kind is RunKind::Undo), with the run
// it was taking back (the history's undoing): where each file of that run's original list stands
// now (where), and what is still to undo (rest). The lists are then written as after an undo:
// where as the original list, the run's new list as the new list.
UndoResult placesAfterRecoveredUndo(platform::FileSystem& fs, const UndoRecord& undone,
                                                  const Recovered& recovered);

// The question before the undo of a run that carried out this many pairs, and the notice after it.
std::string undoQuestion(Mode mode, std::size_t pairs);
std::string undoNotice(const UndoResult& result);

}  // namespace renaming
