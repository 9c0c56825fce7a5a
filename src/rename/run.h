#pragma once
// One run of the pairs of a new list, as execute() carries it out: which pair goes when, and the
// file operations of each. Only the engine's own files include this.
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/file_system.h"
#include "rename/execute.h"

namespace renaming {

// What a pair comes to when the system answered a move of its file with this code.
Outcome outcomeOf(std::uint32_t code);

class Run {
public:
    Run(platform::FileSystem& fs, const std::vector<Pair>& pairs, Mode mode,
        const std::vector<std::uint32_t>& attributes, const Originals& originals,
        const std::function<RunJournal*()>& makeJournal, RunProgress* progress);

    std::vector<PairResult> go();

private:
    // A pair's move, prepared: from where, and whether the new attributes go with the move.
    struct Move {
        std::size_t pair;
        std::string from;
        bool spellingOnly;
        bool withAttributes;
    };

    // Which pair goes when (run.cpp).

    std::string key(const std::string& path) const { return fs_.caseKey(path); }
    // Where the pair's file stands now.
    const std::string& at(std::size_t i) const { return moved_[i].empty() ? pairs_[i].from : moved_[i]; }
    void place(std::size_t i, const std::string& path) { moved_[i] = path == pairs_[i].from ? std::string() : path; }
    static std::size_t hashed(const std::string& caseKey) { return std::hash<std::string>{}(caseKey); }
    // False when a path of the run, or a temporary name taken before, has this case key.
    bool claimTemporary(const std::string& caseKey) { return takenNames_.insert(hashed(caseKey)).second; }
    void select();
    static bool isFile(std::uint32_t attributes);
    // The pending pair whose file stands at this pair's new path, if any.
    std::optional<std::size_t> blocker(std::size_t i) const;
    // The pair's file has left this path: the pair waiting for it may go.
    void vacated(std::size_t i, const std::string& path);
    // A name in the folder of the path that no path of the run has and no file bears.
    std::string temporaryBeside(const std::string& path);
    void settle(std::size_t i, Outcome outcome, std::uint32_t code = 0);
    void park(std::size_t i);
    // Whether a pair still pending is among those ready.
    bool anyReady();
    // The first of those ready, taken from them, just after anyReady() said there is one.
    std::size_t nextReady();
    // The run stopped before this pair. A parked file (only a failed journal leaves one) goes
    // back to its own name if it can; else the list and the report name where it is.
    void leftOver(std::size_t i);

    // The file operations of each pair (run_moves.cpp).

    // Pairs that are ready together touch none of each other's names: their moves may go at
    // once, and each is settled after as if it had gone alone.
    void renameReady();
    // What comes before the move; nothing when the pair needs none or is settled already.
    std::optional<Move> prepared(std::size_t i);
    // A move the system refused across volumes is a copy, as long as any: it waits for a turn of
    // its own, at which the window hears of its file and a stop may come before it.
    void copyAcrossVolumes();
    // The one call of a pair that may run beside another pair's.
    std::uint32_t carriedOut(const Move& move);
    void settleMove(const Move& move, std::uint32_t moveCode);
    // What the system does not do across volumes without replacing, done in steps: a copy
    // beside the new path, then the original removed; if it cannot be removed, the copy goes.
    std::optional<std::uint32_t> moveAcrossVolumes(std::size_t i, const std::string& from, const std::string& to);
    void copy(std::size_t i);
    // Copies under a temporary name beside the new path, then moves the copy there: a failure at
    // any point leaves nothing under either name. Nothing when the journal stops the run first.
    std::optional<std::uint32_t> placeCopy(std::size_t i, const std::string& from, const std::string& to);
    // A copy of the run that is not wanted after all; named in the report if it cannot go.
    void discardCopy(std::size_t i, const std::string& path);
    // False when the journal could not hear of the next operation: then the run stops before it.
    bool announced(std::uint32_t code);
    // Every attribute call is skipped where the file has the wanted set already: a rename keeps
    // a file's attributes, a copy need not.
    void setAttributes(const std::string& path, std::uint32_t now, std::uint32_t wanted);
    std::uint32_t wanted(std::size_t i) const;

    platform::FileSystem& fs_;
    const std::vector<Pair>& pairs_;
    Mode mode_;
    const std::vector<std::uint32_t>& attributes_;  // each pair's wanted set
    const std::function<RunJournal*()>& makeJournal_;
    RunJournal* journal_ = nullptr;
    RunProgress* progress_;
    const Identities& identities_;                       // of each original as the run began
    const std::vector<std::uint32_t>& originalAttributes_;  // of each original as the run began
    std::vector<PairResult> results_;
    std::vector<std::string> moved_;      // where each file stands now, when not at its original path
    std::vector<std::string> targetKey_;  // case key of each new path that may be made
    std::vector<std::size_t> first_;      // see firstOfSameFile
    std::vector<std::uint32_t> before_;   // each original's attributes when the run began
    std::set<std::size_t> pending_;
    std::set<std::size_t> parked_;  // pending pairs whose file is under a temporary name
    std::set<std::size_t> ready_;
    std::deque<Move> acrossVolumes_;  // prepared, refused across volumes, each waiting for its turn
    std::unordered_map<std::string, std::size_t> sourceOf_;  // case key of a pending file's place
    // The case key (in targetKey_) of each new path that may be made.
    std::unordered_map<std::string_view, std::size_t> targetOf_;
    // The case keys, hashed, of the temporary names taken and of the run's paths that could be
    // one: a name whose hash is among them is merely passed over.
    std::unordered_set<std::size_t> takenNames_;
    std::size_t temporaries_ = 0;
    // Enough to keep every core busy between two looks at whether the user stopped the run.
    static constexpr std::size_t maxMovesAtOnce = 64;
    std::uint32_t stopCode_ = 0;  // the journal's failure
    bool userStopped_ = false;
};

}  // namespace renaming
