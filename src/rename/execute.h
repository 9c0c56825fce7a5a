#pragma once
// Carrying out the pairs of the new list on disk. Nothing is ever replaced: a pair whose new
// path is taken by a file that this run does not move away is not carried out. In place,
// chains and cycles of renames are ordered, passing through a temporary name where a cycle
// needs one.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace renaming {

struct Pair {
    std::string from;
    std::string to;
};

enum class Outcome { Done, TargetExists, SourceMissing, TargetFolderMissing, InvalidName, SystemError };

struct PairResult {
    Outcome outcome = Outcome::Done;
    std::uint32_t code = 0;  // the system's error code of a SystemError
    std::string at;          // where the file stands after the run
};

enum class Mode { RenameInPlace, CopyToNewPath };

// The attribute set the new files get from the two check boxes.
std::uint32_t newAttributes(bool readOnly, bool hidden);

// A name part (after the last "\") that Windows would refuse or silently change.
bool isValidNamePart(const std::string& path);

// Carries out every pair; the results stand in the order of the pairs.
std::vector<PairResult> execute(platform::FileSystem& fs, const std::vector<Pair>& pairs, Mode mode,
                                std::uint32_t attributes);

// The question at the end of a run, naming the pairs that were not carried out.
std::string completionQuestion(platform::FileSystem& fs, const std::vector<Pair>& pairs,
                               const std::vector<PairResult>& results, const std::string& outputFolder);

}  // namespace renaming
