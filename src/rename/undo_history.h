#pragma once
// The runs that can be undone, newest first, in ThumbUndo.db in the program's private folder: undo
// moves the files it names, so it must lie where only administrators can write, never beside the
// program. UTF-8, written whole through a temporary file that is flushed and then moved over it,
// and closed by the digest of what precedes, so a file torn or changed is known and never acted
// on. Closing the window leaves it: a run can be undone after a restart.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "rename/undo.h"

namespace renaming {

constexpr std::size_t historyLength = 10;

struct History {
    std::vector<UndoRecord> runs;  // newest first, at most historyLength
    // The run taken off for the undo under way: what a recovered undo's lists are made from.
    std::optional<UndoRecord> undoing;
    bool operator==(const History&) const = default;
};

struct HistoryRead {
    History history;
    // Not empty when the file could not be read whole: the name it was set aside under, or its
    // own where it could not be moved. The history is then read as empty.
    std::string setAside;
};

// ThumbUndo.db in the private folder; throws IoError as openPrivateFolder does.
std::string undoHistoryPath(platform::FileSystem& fs);

// Nothing when the file is missing. Throws IoError when it cannot be read at all.
HistoryRead readHistory(platform::FileSystem& fs, const std::string& path);
// Throws IoError; the file before stays in force then.
void writeHistory(platform::FileSystem& fs, const std::string& path, const History& history);

// After a run that carried out a pair: its record becomes the newest; only the oldest beyond
// historyLength goes, whether or not a run was undone before. Returns the history as written.
// After a recovery, recoveredFrom is the journal's plan: a newest record that the run made from
// that very plan before its journal could go is replaced, never kept beside the new one, so that
// no run is offered for undo twice.
HistoryRead addToHistory(platform::FileSystem& fs, const std::string& path, UndoRecord record,
                         const RunPlan* recoveredFrom = nullptr);
// Before an undo touches any file: the newest run is taken off and kept as undoing, so a killed
// undo is never done twice and the run before it is the next to undo. undoing is empty when
// there was none to take.
HistoryRead takeLatestForUndo(platform::FileSystem& fs, const std::string& path);

// Once an undo's lists are written (undone; what it left to undo later, its rest, goes back on
// the history as the newest), or when it is known to have taken nothing back (the run goes back
// as the newest): undoing is cleared, so that only an undo under way leaves it.
HistoryRead endUndo(platform::FileSystem& fs, const std::string& path, bool undone,
                    std::optional<UndoRecord> rest = std::nullopt);

// The notice for a history set aside.
std::string historySetAsideNotice(const std::string& setAside);

}  // namespace renaming
