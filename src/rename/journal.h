#pragma once
// The run journal: a file beside the lists that lets the next start put every file of a run that
// did not end in order. UTF-8, one line per record, fields split by tabs; paths escape control
// characters and "%" as %XX. The plan comes first, made durable before the first file operation: every pair with the identity of its original (volume, file number, size, time
// of the last write; "-" where it could not be read) and its attributes, which an undo gives
// back; the head says whether the run is an undo. The plan of the version before has neither
// ("nomerra-run 2") and is read still. Renames are not announced: the recovery finds each
// planned file by its identity at its original path, its new path or one of the run's temporary
// names beside them, so a record lost with the system's cache costs nothing.
// Only what the disk cannot tell is recorded, each handed to the system before what it covers:
//   copied <i> <identity>    pair i's copy (copies, moves to other volumes) is whole under its
//                            temporary name
//   fail <i>                 the original of a move to another volume could not be removed: the
//                            copy at the new path goes
// A line cut short by a kill or a power cut is no record; the recovery appends nothing.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "rename/execute.h"

namespace renaming {

// A run of the lists, or the undo of one, which is never undone itself.
enum class RunKind { Run, Undo };

// What a journal's plan holds.
struct RunPlan {
    Mode mode = Mode::RenameInPlace;
    RunKind kind = RunKind::Run;
    std::vector<Pair> pairs;
    Identities identities;                  // of each original as the run began
    std::vector<std::uint32_t> attributes;  // of each original as the run began; attr::invalid where not known
};

class RunJournal {
public:
    // Reads the identity and the attributes of every original, creates the journal, hands it the
    // plan and makes it durable. Throws IoError.
    RunJournal(platform::FileSystem& fs, const std::string& path, Mode mode, const std::vector<Pair>& pairs,
               RunKind kind = RunKind::Run);
    // The same with the originals read before.
    RunJournal(platform::FileSystem& fs, const std::string& path, Mode mode, const std::vector<Pair>& pairs,
               Originals originals, RunKind kind = RunKind::Run);

    const Originals& originals() const { return originals_; }
    const Identities& identities() const { return originals_.identities; }
    const std::vector<std::uint32_t>& attributes() const { return originals_.attributes; }
    // Once the run has ended, for its record: a million identities are not copied.
    Originals takeOriginals() { return std::move(originals_); }

    // Each hands its record to the system; 0 or the system's error code.
    std::uint32_t copied(std::size_t pair, const platform::FileIdentity& copy);
    std::uint32_t failed(std::size_t pair);

    // A write failed: the journal no longer follows the run, which must end untouched by any
    // further operation and leave the journal for the next start.
    bool broken() const { return failure_ != 0; }

private:
    std::uint32_t hand(const std::string& line);
    Originals originals_;
    std::unique_ptr<platform::AppendOnlyFile> file_;
    std::uint32_t failure_ = 0;
};

struct Recovered {
    std::vector<std::string> where;  // where each file of the run stands now, in the order of the pairs
    std::vector<bool> done;          // which pairs are carried out
    // Files left as they are because their place is taken or because it is not certain what
    // they are: the notice names them.
    std::vector<std::string> kept;
    RunPlan plan;  // the journal's plan: what an undo of the run, or the lists after an undo, need
};

// Settles a run that did not end. Each planned file is looked for by its identity (an original
// by its volume and number alone: another program may have written to it since); only a file
// so found is moved, only one whose whole identity matches what the journal recorded is
// deleted, and only under the run's own temporary names beside the pair's paths: a parked file
// goes back to its original name where that is free, an unfinished copy goes, a move to another
// volume whose copy arrived whole is finished by removing the original, unless the original
// changed since. The decisions follow from the disk alone, so a
// second recovery reaches the same ones. Nothing when the journal holds no whole plan: then no
// file was touched.
std::optional<Recovered> recover(platform::FileSystem& fs, const std::string& journalPath);

std::string recoveryNotice(const Recovered& recovered);

}  // namespace renaming
