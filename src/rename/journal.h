#pragma once
// The run journal: a file beside the lists that follows a run operation by operation, so that a
// process killed part-way leaves enough on disk to put every file back in order at the next
// start. UTF-8, one line per record, fields split by tabs; paths escape control characters and
// "%" as %XX. The plan comes first in one write; then, handed to the system before the file
// operation it announces starts:
//   park <i> <temporary>   pair i's file goes to a temporary name
//   copy <i> <temporary>   pair i's file is copied to a temporary name (copies, other volumes)
//   move <i>               pair i's final move starts
// Whatever undoes a failed operation waits until the failure is on disk.
// and, written with the next announcement:
//   done <i> / fail <i>
// Only the operation announced last can be unaccounted for, and the disk tells its outcome.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "rename/execute.h"

namespace renaming {

class RunJournal {
public:
    // Creates the journal and hands it the plan. Throws IoError.
    RunJournal(platform::FileSystem& fs, const std::string& path, Mode mode, const std::vector<Pair>& pairs);

    // Each hands over the lines kept so far with its own; 0 or the system's error code.
    std::uint32_t parking(std::size_t pair, const std::string& temporary);
    std::uint32_t copying(std::size_t pair, const std::string& temporary);
    std::uint32_t moving(std::size_t pair);
    std::uint32_t flush();

    // Kept until the next announcement.
    void done(std::size_t pair);
    void failed(std::size_t pair);

    // A write failed: the journal no longer follows the run, which must end untouched by any
    // further operation and leave the journal for the next start.
    bool broken() const { return failure_ != 0; }

private:
    std::uint32_t hand(std::string line);
    std::unique_ptr<platform::AppendOnlyFile> file_;
    std::string kept_;
    std::uint32_t failure_ = 0;
};

struct Recovered {
    std::vector<std::string> where;   // where each file of the run stands now, in the order of the pairs
    std::size_t done = 0;             // pairs carried out
    std::vector<std::string> parked;  // files left under a temporary name: their own name is taken
};

// Settles a run that did not end: decides the operation in flight from the disk (and records
// the decision), puts parked files back under their original names where those are free and
// removes unfinished copies. Nothing when the journal holds no whole plan: then no file was
// touched. Throws IoError when the decision cannot be recorded.
std::optional<Recovered> recover(platform::FileSystem& fs, const std::string& journalPath);

std::string recoveryNotice(const Recovered& recovered);

}  // namespace renaming
