#pragma once
// Carrying out the pairs of the new list on disk. Nothing is ever replaced: a pair whose new
// path is taken by a file that this run does not move away is not carried out. Every pair acts
// on the file that stood at its original path when the run began, or on nothing. In place,
// chains and cycles of renames are ordered, passing through a temporary name where a cycle
// needs one; a copy is made under a temporary name and then moved to its new path, so no half
// copy ever stands under a new path.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace renaming {

class RunJournal;

struct Pair {
    std::string from;
    std::string to;
};

enum class Outcome {
    Done,
    TargetExists,
    SourceMissing,
    TargetFolderMissing,
    InvalidName,
    DuplicateSource,
    CaseNotKept,
    Stopped,
    Unidentified,  // a file whose identity cannot be read is not acted on: nobody could find it again
    SystemError
};

struct PairResult {
    Outcome outcome = Outcome::Done;
    std::uint32_t code = 0;  // the system's error code of a SystemError
    std::string at;          // where the file stands after the run
    std::string stray;       // a copy the run made and could not remove again
};

using Identities = std::vector<std::optional<platform::FileIdentity>>;

// Who each pair's original is and what attributes it has, as the run began: what the run checks
// its originals by, and what an undo gives back.
struct Originals {
    Identities identities;
    std::vector<std::uint32_t> attributes;  // attr::invalid where not known
};

// Each pair's original as it is now, read in one look at each folder.
Originals originalsOf(platform::FileSystem& fs, const std::vector<Pair>& pairs);

enum class Mode { RenameInPlace, CopyToNewPath };

// The attribute set the new files get from the two check boxes.
std::uint32_t newAttributes(bool readOnly, bool hidden);

// A name part (after the last "\") that Windows would refuse, silently change or take for a
// device.
bool isValidNamePart(std::string_view path);
bool hasControlCharacter(std::string_view text);
// The system reads a name without the dots and spaces it ends in: such a path would act on
// another file than the one listed, or take a spelling change for done.
bool readAsAnotherName(const std::string& path);

// Whether the path could be one of the temporary names a run gives files ("~nomerra<n>.tmp" in
// any letter case): only a name that ends in ".tmp" can, as no letter but t, m and p has T, M or
// P for its capital.
bool mayBeTemporaryName(const std::string& path);

// Removes a temporary file of a run, read-only or not; false when it stays.
bool discardTemporary(platform::FileSystem& fs, const std::string& path);

// For each pair the first pair whose original is the same file (itself when none): in place a
// file listed twice moves once, under whatever spelling. The same file is the same identity;
// where none could be read, the same path.
std::vector<std::size_t> firstOfSameFile(platform::FileSystem& fs, const std::vector<Pair>& pairs,
                                         const Identities& identities);

// What a run tells the window while it goes, and asks it. It may be called from another thread
// than the window's.
class RunProgress {
public:
    virtual ~RunProgress() = default;
    // Before each pair's file operations: how many pairs are settled, and the file at hand.
    virtual void reached(std::size_t settled, const std::string& path) = 0;
    // Asked before each pair, or each group of renames that go at once (a few dozen at most), and
    // it may wait there: the run ends at the first of these points with no file under a temporary
    // name once the answer is yes.
    virtual bool stopRequested() = 0;
};

// Carries out every pair; the results stand in the order of the pairs. The journal, when given,
// hears of every file operation before it starts; when it can no longer be written the run stops
// there and the pairs left are reported with its error. Pairs left by a stop are Stopped.
std::vector<PairResult> execute(platform::FileSystem& fs, const std::vector<Pair>& pairs, Mode mode,
                                std::uint32_t attributes, RunJournal* journal, RunProgress* progress = nullptr);
// The same, each pair's file given its own attribute set; attr::invalid leaves the set the file
// had as it is. An undo gives each file back what it had before its run.
std::vector<PairResult> execute(platform::FileSystem& fs, const std::vector<Pair>& pairs, Mode mode,
                                const std::vector<std::uint32_t>& attributes, RunJournal* journal,
                                RunProgress* progress = nullptr);

// The same, with the originals read before and the journal made by makeJournal while the run
// checks its pairs (at a million pairs writing the plan takes as long as the checks): no file
// is touched before it stands, and what making it throws is thrown before any file operation.
std::vector<PairResult> execute(platform::FileSystem& fs, const std::vector<Pair>& pairs, Mode mode,
                                std::uint32_t attributes, const Originals& originals,
                                const std::function<RunJournal*()>& makeJournal, RunProgress* progress);

// The folder the end of a run offers to open: that of the first pair carried out, else the
// output folder.
std::string folderToOpen(const std::vector<Pair>& pairs, const std::vector<PairResult>& results,
                         const std::string& outputFolder);

// Why a pair was not carried out, as the report says it; empty for a system error, whose own text
// the file system gives.
const char* reasonText(Outcome outcome);

// Whether a file or a copy of the run was left under a temporary name.
bool temporaryLeft(const std::vector<Pair>& pairs, const std::vector<PairResult>& results);

// The question at the end of a run, naming the pairs that were not carried out and, each on a
// line of its own, every file left under a temporary name.
std::string completionQuestion(platform::FileSystem& fs, const std::vector<Pair>& pairs,
                               const std::vector<PairResult>& results, const std::string& outputFolder);

}  // namespace renaming
