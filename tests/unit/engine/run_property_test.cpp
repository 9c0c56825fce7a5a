// Generated runs (generated_runs.h). After each run, and after the recovery that follows a kill,
// no content is lost, every file stands where the original list says, and no temporary name is
// left unnamed.
#include <gtest/gtest.h>

#include "generated_runs.h"
#include "lists/path_parts.h"

using namespace generated;

namespace {

// What a run or a recovery says: where each pair's file is, which pairs are carried out, and the
// other paths it names (files kept under a temporary name, copies it could not remove).
struct Told {
    std::vector<std::string> where;
    std::vector<bool> done;
    std::vector<std::string> named;
};

// The invariants. Every content that was on the volume (or the user put there) is there still, and
// nothing else is but copies of carried-out pairs, files it names and files at new paths; each
// pair's file stands where it says, and every temporary name is one it says.
void check(Case& c, const Told& told, const std::string& what)
{
    SCOPED_TRACE(what);
    HeadlessFileSystem& fs = c.fs;
    fs.fault = nullptr;
    std::multiset<std::string> expected = c.added, extra = contentsOn(fs);
    for (const auto& [key, content] : c.before)
        expected.insert(content);
    for (const auto& content : c.removed)
        expected.erase(expected.find(content));
    for (std::size_t i = 0; i < c.pairs.size(); ++i) {
        const auto start = c.before.find(fs.caseKey(c.pairs[i].from));
        if (told.done[i]) {
            ASSERT_EQ(fs.caseKey(told.where[i]), fs.caseKey(c.pairs[i].to)) << i;
            ASSERT_NE(start, c.before.end()) << "carried out without a file: " << i;
            if (c.mode == Mode::CopyToNewPath && c.pairs[i].from != c.pairs[i].to)
                expected.insert(start->second);
        }
        if (start != c.before.end() && !c.removed.count(start->second)) {
            ASSERT_EQ(fs.content(told.where[i]), start->second) << "pair " << i << " is not at " << told.where[i] << describe(c);
        }
    }
    for (const auto& content : expected) {
        auto it = extra.find(content);
        ASSERT_NE(it, extra.end()) << "lost: " << content << describe(c);
        extra.erase(it);
    }
    for (const auto& f : fs.files()) {
        auto says = [&](const std::vector<std::string>& paths) {
            return std::any_of(paths.begin(), paths.end(), [&](const auto& p) { return fs.caseKey(p) == fs.caseKey(f); });
        };
        const bool named = says(told.where) || says(told.named);
        if (isTemporary(f) && !c.before.count(fs.caseKey(f)) && !c.placed.count(fs.caseKey(f))) {
            ASSERT_TRUE(named) << "unnamed temporary " << f << describe(c);
        }
        const bool atNewPath = std::any_of(c.pairs.begin(), c.pairs.end(),
                                           [&](const Pair& p) { return fs.caseKey(p.to) == fs.caseKey(f); });
        if (auto it = extra.find(fs.content(f)); it != extra.end() && (named || atNewPath) && f != journalPath)
            extra.erase(it);
    }
    ASSERT_TRUE(extra.empty()) << "an unnamed extra file holding " << *extra.begin();
}

// What the run says (the original paths for a run that never began).
Told toldBy(const Case& c, const Ran& ran)
{
    Told told;
    for (std::size_t i = 0; i < c.pairs.size(); ++i) {
        const bool began = !ran.results.empty();
        told.where.push_back(began ? ran.results[i].at : c.pairs[i].from);
        told.done.push_back(began && ran.results[i].outcome == Outcome::Done);
        if (began && !ran.results[i].stray.empty())
            told.named.push_back(ran.results[i].stray);
    }
    return told;
}

Told toldBy(const renaming::Recovered& recovered)
{
    return {recovered.where, recovered.done, recovered.kept};
}

std::size_t operationsOf(unsigned seed)
{
    Case c;
    make(c, seed);
    std::size_t seen = 0;
    inject(c, Fault(seed), SIZE_MAX, seen);
    runJournaled(c);
    return seen;
}

TEST(RunProperty, EveryRunAccountsForEveryFile)
{
    for (unsigned seed = 0; seed < 4000; ++seed) {
        Case c;
        make(c, seed);
        std::size_t seen = 0;
        inject(c, Fault(seed), SIZE_MAX, seen);
        const Ran ran = runJournaled(c);
        Told told = toldBy(c, ran);
        if (ran.broken) {
            // The journal failed part-way: the run stopped and the next start settles it.
            c.fs.fault = nullptr;
            const auto recovered = renaming::recover(c.fs, journalPath);
            ASSERT_TRUE(recovered);
            for (std::size_t i = 0; i < told.where.size(); ++i) {
                if (told.done[i]) {
                    EXPECT_EQ(recovered->where[i], c.pairs[i].to) << i;
                }
                told.where[i] = recovered->where[i];
            }
            told.named.insert(told.named.end(), recovered->kept.begin(), recovered->kept.end());
        }
        check(c, told, "seed " + std::to_string(seed));
        if (HasFatalFailure())
            return;
    }
}

// What a user may do between a kill and the next start: put files back under their original
// names, delete the temporaries, put a file of their own at a new path.
void tidyUp(Case& c, std::mt19937& random)
{
    HeadlessFileSystem& fs = c.fs;
    const unsigned what = random() % 4;
    for (const auto& p : c.pairs) {
        const auto original = c.before.find(fs.caseKey(p.from));
        if (what == 1 && original != c.before.end() && fs.content(p.to) == original->second &&
            !fs.fileExists(p.from) && random() % 2)
            fs.moveFile(p.to, p.from);
        if (what == 3 && !fs.fileExists(p.to) && fs.folderExists(lists::folderPart(p.to)) && random() % 3 == 0) {
            fs.writeAll(p.to, "the user's own " + p.to);
            c.placed.insert(fs.caseKey(p.to));
            c.added.insert(fs.content(p.to));
        }
    }
    for (const auto& f : fs.files()) {
        if (isTemporary(f) && !c.before.count(fs.caseKey(f)) && what == 2 && random() % 2) {
            const std::string content = fs.content(f);
            fs.setAttributes(f, platform::attr::archive);
            fs.deleteFile(f);
            if (!contentsOn(fs).count(content))
                c.removed.insert(content);  // the user deleted the last of it
        }
    }
}

// A power cut may lose any part of the journal after its plan, and cut its last line.
void tearJournal(Case& c, std::mt19937& random)
{
    std::string text = c.fs.readAll(journalPath);
    std::size_t plan = 0;
    for (std::size_t lines = 0; plan < text.size() && lines <= c.pairs.size(); ++plan)
        lines += text[plan] == '\n';
    if (plan < text.size())
        c.fs.writeAll(journalPath, text.substr(0, plan + random() % (text.size() - plan)));
}

// The moves that may go at once end as they would one after the other, whatever order they are
// taken in.
TEST(RunProperty, MovesTakenInAnyOrderEndAsInTheirOwn)
{
    for (unsigned seed = 0; seed < 3000; ++seed) {
        Case inOrder, reordered;
        make(inOrder, seed);
        make(reordered, seed);
        inOrder.fs.atOnceOrder = nullptr;
        reordered.fs.atOnceOrder = shuffled(seed * 31u + 7u);
        const Ran expected = runJournaled(inOrder), ran = runJournaled(reordered);
        ASSERT_EQ(ran.results.size(), expected.results.size());
        for (std::size_t i = 0; i < ran.results.size(); ++i) {
            ASSERT_EQ(ran.results[i].outcome, expected.results[i].outcome) << "seed " << seed << ", pair " << i << describe(reordered);
            ASSERT_EQ(ran.results[i].at, expected.results[i].at) << "seed " << seed << ", pair " << i;
        }
        ASSERT_EQ(reordered.fs.files(), inOrder.fs.files()) << "seed " << seed;
        ASSERT_EQ(contentsOn(reordered.fs), contentsOn(inOrder.fs)) << "seed " << seed;
    }
}

TEST(RunProperty, AKillAtAnyOperationIsRecovered)
{
    for (unsigned seed = 0; seed < 200; ++seed) {
        const std::size_t operations = operationsOf(seed);
        for (std::size_t k = 0; k <= operations; ++k) {
            Case c;
            make(c, seed);
            std::mt19937 random(seed * 131u + static_cast<unsigned>(k));
            std::size_t seen = 0;
            inject(c, Fault(seed), k, seen);
            try {
                runJournaled(c);
            } catch (const Killed&) {
            }
            c.fs.fault = nullptr;
            const std::string trace = "seed " + std::to_string(seed) + ", killed before operation " + std::to_string(k);
            if (!c.fs.fileExists(journalPath))
                continue;  // killed before the journal existed: nothing was touched
            const unsigned trouble = random() % 4;
            if (trouble == 1)
                tidyUp(c, random);
            if (trouble == 2)
                tearJournal(c, random);
            if (trouble == 3) {
                // A second kill, this time during the recovery.
                std::size_t again = 0;
                inject(c, Fault(~0u), random() % 6, again);
                try {
                    renaming::recover(c.fs, journalPath);
                } catch (const Killed&) {
                }
                c.fs.fault = nullptr;
            }
            const auto recovered = renaming::recover(c.fs, journalPath);
            if (!recovered) {
                check(c, toldBy(c, Ran{}), trace + " (no plan)");  // no file was touched
            } else {
                check(c, toldBy(*recovered), trace + ", trouble " + std::to_string(trouble));
                // A second recovery over the same journal reaches the same places.
                const auto again = renaming::recover(c.fs, journalPath);
                ASSERT_TRUE(again);
                EXPECT_EQ(again->where, recovered->where) << trace << describe(c);
            }
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(RunProperty, AStopAtAnyPointLeavesEveryFileInPlace)
{
    for (unsigned seed = 0; seed < 300; ++seed) {
        std::size_t points = 0;
        {
            Case c;
            make(c, seed);
            StopAt never(SIZE_MAX);
            runJournaled(c, &never);
            points = never.asked;
        }
        for (std::size_t k = 0; k < points; ++k) {
            Case c;
            make(c, seed);
            StopAt stop(k);
            const Ran ran = runJournaled(c, &stop);
            const std::string trace = "seed " + std::to_string(seed) + ", stopped at point " + std::to_string(k);
            // A stop inside a cycle waits for its end, which may be the end of the run.
            EXPECT_TRUE(std::any_of(ran.results.begin(), ran.results.end(),
                                    [](const auto& r) { return r.outcome == Outcome::Stopped; }) ||
                        stop.asked == points)
                << trace;
            EXPECT_FALSE(renaming::temporaryLeft(c.pairs, ran.results)) << trace;
            check(c, toldBy(c, ran), trace);
            if (HasFatalFailure())
                return;
        }
    }
}


// Paths no identity could be read for are one file when their spellings differ only in letter
// case: each pair names the first such pair, as a map of the case keys would.
TEST(RunProperty, PathsWithoutIdentityAreTheSameFileByTheirCaseKey)
{
    std::mt19937 random(7);
    HeadlessFileSystem fs;
    for (int round = 0; round < 50; ++round) {
        std::vector<renaming::Pair> pairs;
        const std::size_t n = 1 + random() % 40;
        for (std::size_t i = 0; i < n; ++i) {
            static const char* const parts[] = {"a", "A", "b", "é", "É", "ß"};
            const std::string name = std::string("C:\\d\\") + parts[random() % 6] + parts[random() % 6];
            pairs.push_back({name, "C:\\d\\new" + std::to_string(i)});
        }
        const renaming::Identities none(n);
        const auto first = renaming::firstOfSameFile(fs, pairs, none);
        std::map<std::string, std::size_t> reference;
        for (std::size_t i = 0; i < n; ++i)
            EXPECT_EQ(first[i], reference.emplace(fs.caseKey(pairs[i].from), i).first->second) << pairs[i].from;
    }
}

}  // namespace
