#pragma once
// The runs that can be undone, newest first, in the program's private folder: undo moves the files
// it names, so they must lie where only administrators can write, never beside the program.
// ThumbUndo.db is the index, small enough to read at every start and rewrite whole: per run the
// file of its record, its mode and its counts (what the undo question says), and the digest that
// closes that file. Each run's record (its lists, where each file stood after it, the pairs it
// carried out) is a file of its own, ThumbUndo-<n>.db, written once when the run is added and never
// rewritten; it is read only when acted on, and only when it is the very file the index names.
// Every file is UTF-8, written through a temporary file that is flushed and then moved into place,
// and closed by the digest of what precedes, so a file torn or changed is known and never acted
// on. A record file goes only once an index without it is written, so a kill anywhere leaves every
// indexed record in place; a record file no index names is deleted at the next write. Closing the
// window leaves them all: a run can be undone after a restart.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "rename/undo.h"

namespace renaming {

constexpr std::size_t historyLength = 10;

// A run as the index names it.
struct HistoryRun {
    std::string file;  // its record's name in the private folder
    Mode mode = Mode::RenameInPlace;
    std::size_t entries = 0, pairs = 0;
    std::string digest;  // the digest that closes the record file
    // Read from a history of the version before, whose records it held: written into a file of
    // its own at the next write.
    std::shared_ptr<const UndoRecord> unwritten;
    bool operator==(const HistoryRun&) const = default;
};

struct History {
    std::vector<HistoryRun> runs;  // newest first, at most historyLength
    // The run taken off for the undo under way: what a recovered undo's lists are made from.
    std::optional<HistoryRun> undoing;
    bool operator==(const History&) const = default;
};

struct HistoryRead {
    History history;
    // Not empty when the index or the record acted on could not be read whole: the name it was
    // set aside under, or its own where it could not be moved. An index is then read as empty, a
    // record's run dropped from it.
    std::string setAside;
    // takeLatestForUndo's run taken off, undoingRecord's run being undone.
    std::optional<UndoRecord> record;
};

// ThumbUndo.db in the private folder; throws IoError as openPrivateFolder does.
std::string undoHistoryPath(platform::FileSystem& fs);

// The index alone; nothing when it is missing. Throws IoError when it cannot be read at all.
HistoryRead readHistory(platform::FileSystem& fs, const std::string& path);

// After a run that carried out a pair: its record becomes the newest; only the oldest beyond
// historyLength goes, whether or not a run was undone before. Returns the history as written.
// After a recovery, recoveredFrom is the journal's plan: a newest record that the run made from
// that very plan before its journal could go is replaced, never kept beside the new one, so that
// no run is offered for undo twice. Throws IoError; the history before stays in force then.
HistoryRead addToHistory(platform::FileSystem& fs, const std::string& path, const UndoRecord& record,
                         const RunPlan* recoveredFrom = nullptr);
// Before an undo touches any file: the newest run is taken off and kept as undoing, so a killed
// undo is never done twice and the run before it is the next to undo. record is empty when there
// was none to take, or its record was set aside.
HistoryRead takeLatestForUndo(platform::FileSystem& fs, const std::string& path);
// After a kill during an undo: the record of the run it was taking back, when there is one.
HistoryRead undoingRecord(platform::FileSystem& fs, const std::string& path);

// Once an undo's lists are written (undone; what it left to undo later, its rest, goes back on
// the history as the newest), or when it is known to have taken nothing back (the run goes back
// as the newest): undoing is cleared, so that only an undo under way leaves it.
HistoryRead endUndo(platform::FileSystem& fs, const std::string& path, bool undone,
                    const std::optional<UndoRecord>& rest = std::nullopt);

// The notice for an index or a record set aside.
std::string historySetAsideNotice(const std::string& setAside);

}  // namespace renaming
