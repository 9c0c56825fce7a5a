// Every generated run (generated_runs.h) undone: with the user's changes between run and undo, a
// fault, a stop, or the process killed at any operation of the undo and recovered. A pair whose
// file is still the one the run left is back at its original path with its content and its
// attributes from before the run, or reported; a file that is not that one is left alone and
// reported; nothing else moves, and nothing is lost.
#include <gtest/gtest.h>

#include "generated_runs.h"
#include "lists/messages.h"
#include "lists/path_parts.h"
#include "rename/undo.h"

using namespace generated;
using renaming::UndoRecord;
using renaming::UndoResult;

namespace {

// What the user may do between a run and its undo: edit a file the run left (same file), put
// another in its place, delete it, put a file at an original path, delete a copy's original.
void meddle(Case& c, const UndoRecord& r, std::mt19937& random)
{
    HeadlessFileSystem& fs = c.fs;
    auto writable = [&](const std::string& path) {
        fs.setAttributes(path, platform::attr::archive);
        return fs.fileExists(path);
    };
    for (const auto& p : r.pairs) {
        const std::string& at = r.targets[p.index];
        const std::string& back = r.originals[p.index];
        switch (random() % 10) {
        case 0:
            if (writable(at))
                fs.writeAll(at, fs.content(at) + " edited");
            break;
        case 1:
            if (writable(at) && fs.deleteFile(at) == 0)
                fs.writeAll(at, "put in place of " + at);
            break;
        case 2:
            if (writable(at))
                fs.deleteFile(at);
            break;
        case 3:
            if (r.mode == Mode::CopyToNewPath && writable(back))
                fs.deleteFile(back);
            else if (!fs.fileExists(back) && fs.folderExists(lists::folderPart(back)))
                fs.writeAll(back, "put at " + back);
            break;
        }
    }
}

struct Seen {
    std::string path, content;
    std::uint32_t attributes;
    std::optional<platform::FileIdentity> identity;
};

// The volume as the undo begins, by case key.
std::map<std::string, Seen> snapshot(HeadlessFileSystem& fs)
{
    std::map<std::string, Seen> seen;
    for (const auto& f : fs.files())
        if (f != journalPath)
            seen[fs.caseKey(f)] = {f, fs.content(f), fs.attributes(f), fs.identity(f)};
    return seen;
}

// The record and the report, for a failure's message.
std::string describe(Case& c, const UndoRecord& r, const UndoResult& result)
{
    std::string text = describe(c) + "carried out:\n";
    for (const auto& p : r.pairs)
        text += "  " + std::to_string(p.index) + " " + r.originals[p.index] + " -> " + r.targets[p.index] + "\n";
    text += "left:\n";
    for (const auto& l : result.left)
        text += "  " + l.at + " -> " + l.back + " (" + l.reason + ")\n";
    text += "where:\n";
    for (const auto& w : result.where)
        text += "  " + w + "\n";
    return text;
}

bool leftWith(const UndoResult& result, std::size_t index, const std::string& at, const char* reason)
{
    return std::any_of(result.left.begin(), result.left.end(),
                       [&](const auto& l) { return l.index == index && l.at == at && l.reason == reason; });
}

// Why the undo must not take the pair back, as the volume stood when it began; none when it may.
const char* mustLeave(Case& c, const UndoRecord& r, const renaming::UndoPair& p,
                      const std::map<std::string, Seen>& seen)
{
    namespace reason = messages::undoReason;
    const auto there = seen.find(c.fs.caseKey(r.targets[p.index]));
    if (there == seen.end())
        return reason::fileMissing;
    if (!p.moved)
        return messages::reason::unidentified;
    if (!there->second.identity->sameFile(*p.moved))
        return reason::notTheSameFile;
    if (r.mode == Mode::RenameInPlace)
        return nullptr;
    if (*there->second.identity != *p.moved)
        return reason::copyChanged;
    const auto original = seen.find(c.fs.caseKey(r.originals[p.index]));
    return original == seen.end() || original->second.identity->size != p.original->size ? reason::originalGone
                                                                                        : nullptr;
}

// Whether the pair's original path is held by a file that stays: one the undo does not move, or
// one whose own pair is held so. A cycle of pairs holds none of them.
bool held(Case& c, const UndoRecord& r, std::size_t k, const std::map<std::string, Seen>& seen,
          std::set<std::size_t>& visiting)
{
    const std::string back = c.fs.caseKey(r.originals[r.pairs[k].index]);
    if (!seen.count(back) || !visiting.insert(k).second)
        return false;
    for (std::size_t q = 0; q < r.pairs.size(); ++q)
        if (c.fs.caseKey(r.targets[r.pairs[q].index]) == back)
            return q != k && (mustLeave(c, r, r.pairs[q], seen) || held(c, r, q, seen, visiting));
    return true;
}

// smooth: no fault fired and no stop came, so every pair that may go back and whose original
// path is not held goes back.
void checkUndo(Case& c, const UndoRecord& r, const std::map<std::string, Seen>& seen, const UndoResult& result,
               bool smooth, const std::string& what)
{
    SCOPED_TRACE(what);
    HeadlessFileSystem& fs = c.fs;
    fs.fault = nullptr;
    std::set<std::string> moved, arrived;  // case keys the undo took files from and put them at
    std::vector<bool> carried(r.after.size());
    for (const auto& p : r.pairs) {
        carried[p.index] = true;
        const std::string at = r.targets[p.index], back = r.originals[p.index];
        const bool isLeft = std::any_of(result.left.begin(), result.left.end(),
                                        [&](const auto& l) { return l.index == p.index; });
        if (const char* reason = mustLeave(c, r, p, seen)) {
            const bool stopped = leftWith(result, p.index, at, messages::reason::stopped);
            ASSERT_TRUE(leftWith(result, p.index, at, reason) || stopped)
                << at << " (" << reason << ")" << describe(c, r, result);
            continue;
        }
        const Seen& file = seen.at(fs.caseKey(at));
        if (isLeft) {
            std::set<std::size_t> visiting;
            ASSERT_FALSE(smooth && !held(c, r, static_cast<std::size_t>(&p - r.pairs.data()), seen, visiting))
                << at << " was not taken back" << describe(c, r, result);
            // Not taken back: the file stands where the report says.
            ASSERT_EQ(fs.content(result.where[p.index]), file.content) << at << describe(c, r, result);
            continue;
        }
        ASSERT_EQ(result.where[p.index], back) << describe(c, r, result);
        moved.insert(fs.caseKey(at));
        if (r.mode == Mode::CopyToNewPath) {
            ASSERT_FALSE(fs.fileExists(at)) << at;
            ASSERT_TRUE(std::count(fs.recycled.begin(), fs.recycled.end(), std::pair(file.path, file.content)));
            continue;
        }
        arrived.insert(fs.caseKey(back));
        ASSERT_EQ(fs.content(back), file.content) << back << describe(c, r, result);
        ASSERT_EQ(fs.attributes(back), c.attributes.at(fs.caseKey(back))) << back << describe(c, r, result);
    }
    // Nothing else moved or changed, and nothing was lost.
    std::multiset<std::string> before, after;
    for (const auto& [key, file] : seen) {
        before.insert(file.content);
        if (!moved.count(key) && !arrived.count(key)) {
            ASSERT_EQ(fs.content(file.path), file.content) << file.path << describe(c, r, result);
            ASSERT_EQ(fs.attributes(file.path), file.attributes) << file.path;
        }
    }
    for (const auto& f : fs.files())
        if (f != journalPath)
            after.insert(fs.content(f));
    for (const auto& [path, content] : fs.recycled)
        after.insert(content);
    // A copy the undo could not remove is named to the user, and stands where it is named.
    for (const auto& l : result.left)
        if (!l.stray.empty()) {
            ASSERT_TRUE(fs.fileExists(l.stray)) << l.stray << describe(c, r, result);
            after.erase(after.find(fs.content(l.stray)));
        }
    ASSERT_EQ(after, before) << describe(c, r, result);
    // What a later undo may take back is a pair left now, where the run put it, and one the undo
    // may take back or stopped before it looked at; every pair stopped there is among it.
    const auto later = [&](std::size_t index) {
        return result.rest && std::any_of(result.rest->pairs.begin(), result.rest->pairs.end(),
                                          [&](const auto& p) { return p.index == index; });
    };
    for (const auto& p : result.rest ? result.rest->pairs : std::vector<renaming::UndoPair>{}) {
        ASSERT_EQ(result.where[p.index], r.targets[p.index]) << describe(c, r, result);
        ASSERT_TRUE(!mustLeave(c, r, p, seen) || leftWith(result, p.index, r.targets[p.index], messages::reason::stopped))
            << describe(c, r, result);
        ASSERT_TRUE(std::any_of(result.left.begin(), result.left.end(), [&](const auto& l) { return l.index == p.index; }))
            << describe(c, r, result);
    }
    for (const auto& l : result.left) {
        if (l.reason == messages::reason::stopped && l.at == r.targets[l.index]) {
            ASSERT_TRUE(later(l.index)) << l.at << describe(c, r, result);
        }
    }
    // An entry the run did not carry out keeps its place, unless it named a file the run moved
    // (a file listed twice): then it follows that file.
    for (std::size_t j = 0; j < r.after.size(); ++j) {
        const auto file = seen.find(fs.caseKey(r.after[j]));
        if (carried[j])
            continue;
        if (file == seen.end() || fs.caseKey(r.after[j]) == fs.caseKey(r.originals[j])) {
            ASSERT_EQ(result.where[j], r.after[j]) << j;
        } else {
            ASSERT_EQ(fs.content(result.where[j]), file->second.content) << j << describe(c, r, result);
        }
    }
}

// Fails the operation numbered `at` that changes a file (never an attribute call, whose failure
// a run and an undo leave unreported), and dies before operation `killAt`.
void faultUndo(Case& c, std::size_t at, std::uint32_t code, std::size_t killAt, std::size_t& seen)
{
    c.fs.fault = [&seen, at, code, killAt](Op op, const std::string&) -> std::uint32_t {
        if (op == Op::Read || op == Op::Identity || op == Op::SetAttributes)
            return 0;
        const std::size_t n = seen++;
        if (n == killAt)
            throw Killed{};
        return n == at ? code : 0u;
    };
}

// A generated run without a fault, its journal gone as after a run that ended, and the user's
// changes: nothing when the run carried out no pair.
std::optional<UndoRecord> ranAndMeddled(Case& c, unsigned seed, std::mt19937& random)
{
    make(c, seed);
    const Ran ran = runJournaled(c);
    c.fs.deleteFile(journalPath);
    if (ran.record)
        meddle(c, *ran.record, random);
    return ran.record;
}

TEST(UndoProperty, EveryRunIsTakenBackOrReported)
{
    for (unsigned seed = 0; seed < 3000; ++seed) {
        Case c;
        make(c, seed);
        std::mt19937 random(seed * 31u + 7u);
        std::size_t seen = 0;
        inject(c, Fault(seed), SIZE_MAX, seen);
        StopAt runStop(random() % 4 ? SIZE_MAX : random() % 8);
        const Ran ran = runJournaled(c, &runStop);
        c.fs.fault = nullptr;
        std::optional<UndoRecord> record = ran.record;
        if (ran.broken) {
            const auto recovered = renaming::recover(c.fs, journalPath);
            ASSERT_TRUE(recovered);
            record = renaming::recordAfterRecovery(c.fs, *recovered);
        }
        c.fs.deleteFile(journalPath);
        if (!record)
            continue;
        meddle(c, *record, random);
        const auto before = snapshot(c.fs);
        std::size_t undoSeen = 0;
        const std::size_t faultAt = random() % 30;
        faultUndo(c, faultAt, Fault(seed).code, SIZE_MAX, undoSeen);
        StopAt stop(random() % 4 ? SIZE_MAX : random() % 8);
        UndoResult result;
        try {
            result = renaming::undo(c.fs, *record, journalPath, &stop);
        } catch (const platform::IoError&) {
            // The journal could not be made: no file was touched.
            c.fs.fault = nullptr;
            EXPECT_EQ(snapshot(c.fs).size(), before.size());
            for (const auto& [key, file] : before)
                ASSERT_EQ(c.fs.content(file.path), file.content) << seed;
            continue;
        }
        const bool smooth = undoSeen <= faultAt && stop.asked <= stop.k;
        checkUndo(c, *record, before, result, smooth, "seed " + std::to_string(seed));
        if (HasFatalFailure())
            return;
    }
}

// A run killed at any operation and settled at the next start is undone for the pairs it
// carried out.
TEST(UndoProperty, ARecoveredRunIsUndoneForThePairsItCarriedOut)
{
    for (unsigned seed = 0; seed < 60; ++seed) {
        for (std::size_t k = 0;; ++k) {
            Case c;
            make(c, seed);
            std::size_t seen = 0;
            inject(c, Fault(~0u), k, seen);
            try {
                runJournaled(c);
                break;  // the run ended before operation k
            } catch (const Killed&) {
            }
            c.fs.fault = nullptr;
            const auto recovered =
                c.fs.fileExists(journalPath) ? renaming::recover(c.fs, journalPath) : std::nullopt;
            c.fs.deleteFile(journalPath);
            const auto record = recovered ? renaming::recordAfterRecovery(c.fs, *recovered) : std::nullopt;
            if (!record)
                continue;
            const auto before = snapshot(c.fs);
            const UndoResult result = renaming::undo(c.fs, *record, journalPath);
            checkUndo(c, *record, before, result, true,
                      "seed " + std::to_string(seed) + ", run killed before operation " + std::to_string(k));
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(UndoProperty, AnUndoKilledAtAnyOperationIsRecovered)
{
    for (unsigned seed = 0; seed < 150; ++seed) {
        std::size_t operations = 0;
        {
            Case c;
            std::mt19937 random(seed);
            const auto record = ranAndMeddled(c, seed, random);
            if (!record)
                continue;
            faultUndo(c, SIZE_MAX, 0, SIZE_MAX, operations);
            renaming::undo(c.fs, *record, journalPath);
        }
        for (std::size_t k = 0; k <= operations; ++k) {
            Case c;
            std::mt19937 random(seed);
            const auto record = ranAndMeddled(c, seed, random);
            const auto seen = snapshot(c.fs);
            std::size_t count = 0;
            faultUndo(c, SIZE_MAX, 0, k, count);
            try {
                renaming::undo(c.fs, *record, journalPath);
            } catch (const Killed&) {
            }
            c.fs.fault = nullptr;
            const std::string trace = "seed " + std::to_string(seed) + ", killed before operation " + std::to_string(k);
            const auto recovered = c.fs.fileExists(journalPath) ? renaming::recover(c.fs, journalPath) : std::nullopt;
            // Nothing is lost; a file more is a whole copy whose record the kill took, which the
            // notice names.
            std::multiset<std::string> after;
            for (const auto& f : c.fs.files())
                if (f != journalPath)
                    after.insert(c.fs.content(f));
            for (const auto& [path, content] : c.fs.recycled)
                after.insert(content);
            for (const auto& [key, file] : seen) {
                const auto it = after.find(file.content);
                ASSERT_NE(it, after.end()) << trace << ": lost " << file.content << describe(c);
                after.erase(it);
            }
            std::set<std::string> named;
            for (const auto& path : recovered ? recovered->kept : std::vector<std::string>{})
                named.insert(c.fs.caseKey(path));
            for (const auto& f : c.fs.files())
                if (const auto it = after.find(c.fs.content(f)); it != after.end() && named.count(c.fs.caseKey(f)))
                    after.erase(it);
            ASSERT_TRUE(after.empty()) << trace << ": an unnamed file more holding " << *after.begin() << describe(c);
            if (!recovered)
                continue;
            EXPECT_FALSE(renaming::recordAfterRecovery(c.fs, *recovered)) << trace;  // an undo is not undone
            const auto where = renaming::placesAfterRecoveredUndo(c.fs, *record, *recovered).where;
            // Each file the undo was taking back stands at its new or its original path, or the
            // notice names it.
            for (const auto& p : record->pairs) {
                const auto there = seen.find(c.fs.caseKey(record->targets[p.index]));
                if (mustLeave(c, *record, p, seen))
                    continue;
                const std::string& content = there->second.content;
                const std::string& at = where[p.index];
                ASSERT_EQ(c.fs.content(at), content) << trace << ": " << at << describe(c);
                ASSERT_TRUE(at == record->targets[p.index] || at == record->originals[p.index] ||
                            named.count(c.fs.caseKey(at)))
                    << trace << ": " << at;
            }
        }
    }
}

}  // namespace
