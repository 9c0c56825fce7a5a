// Generated runs over the in-memory volume: chains, swaps, cycles, files listed twice, letter
// case variants, missing files, targets taken by unrelated files, names shaped like temporary
// names, other volumes, device names, and a fault or a killed process at any operation. After
// each run, and after the recovery that follows a kill, no content is lost, every file stands
// where the original list says, and no temporary name is left unnamed.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "platform/errors.h"
#include "platform/headless/headless_fs.h"
#include "rename/execute.h"
#include "rename/journal.h"

using platform::headless::HeadlessFileSystem;
using platform::headless::Op;
using renaming::Mode;
using renaming::Outcome;
using renaming::Pair;

namespace {

const char* const journalPath = "C:\\nomerra\\ThumbRun.db";

struct Killed {};

struct Case {
    HeadlessFileSystem fs;
    std::vector<Pair> pairs;
    Mode mode = Mode::RenameInPlace;
    std::map<std::string, std::string> before;  // content at the start, by case key
    std::vector<std::string> contents;          // every content at the start, sorted
};

void make(Case& c, unsigned seed)
{
    std::mt19937 random(seed);
    auto pick = [&](const auto& from) { return from[random() % from.size()]; };
    static const std::vector<std::string> folders = {"C:\\p\\", "C:\\p\\", "C:\\p\\", "C:\\q\\", "D:\\r\\"};
    static const std::vector<std::string> names = {
        "a.jpg", "b.jpg", "c.jpg", "d.jpg", "A.JPG", "B.jpg", "e", "é.jpg", "É.JPG", "~nomerra1.tmp",
        "~NOMERRA2.TMP", "NUL.txt", "con.jpg", "x.", "f.jpg", "g.jpg"};
    for (const auto& folder : folders)
        c.fs.addFolder(folder);
    const int files = static_cast<int>(random() % 12);
    for (int k = 0; k < files; ++k) {
        const std::string path = pick(folders) + pick(names);
        if (renaming::isValidNamePart(path) && !c.fs.fileExists(path))
            c.fs.addFile(path, "content " + std::to_string(k), random() % 4 ? platform::attr::archive : 1u);
    }
    const auto existing = c.fs.files();
    const int pairs = 1 + static_cast<int>(random() % 30);
    for (int k = 0; k < pairs; ++k) {
        std::string from = existing.empty() || random() % 5 == 0 ? pick(folders) + pick(names) : pick(existing);
        if (random() % 6 == 0)
            std::transform(from.begin(), from.end(), from.begin(), [](unsigned char ch) { return std::toupper(ch); });
        const std::string to = random() % 4 == 0 ? pick(existing.empty() ? names : existing)
                                                  : (random() % 5 ? "C:\\p\\" : pick(folders)) + pick(names);
        c.pairs.push_back({from, to.find('\\') == std::string::npos ? "C:\\p\\" + to : to});
    }
    c.mode = random() % 3 ? Mode::RenameInPlace : Mode::CopyToNewPath;
    for (const auto& f : c.fs.files()) {
        c.before[c.fs.caseKey(f)] = c.fs.content(f);
        c.contents.push_back(c.fs.content(f));
    }
    std::sort(c.contents.begin(), c.contents.end());
}

bool isTemporary(const std::string& path)
{
    return path.find("~nomerra") != std::string::npos || path.find("~NOMERRA") != std::string::npos;
}

// The invariants, given where the list says each file is and which pairs are carried out.
void check(Case& c, const std::vector<std::string>& where, const std::vector<bool>& done, const std::string& what)
{
    SCOPED_TRACE(what);
    HeadlessFileSystem& fs = c.fs;
    fs.fault = nullptr;
    std::vector<std::string> now, copies;
    for (const auto& f : fs.files())
        if (f != journalPath)
            now.push_back(fs.content(f));
    std::sort(now.begin(), now.end());
    for (std::size_t i = 0; i < c.pairs.size(); ++i) {
        const auto start = c.before.find(fs.caseKey(c.pairs[i].from));
        if (done[i]) {
            ASSERT_EQ(fs.caseKey(where[i]), fs.caseKey(c.pairs[i].to)) << i;
            ASSERT_NE(start, c.before.end()) << "carried out without a file: " << i;
            if (c.mode == Mode::CopyToNewPath && c.pairs[i].from != c.pairs[i].to)
                copies.push_back(start->second);
        }
        if (start != c.before.end()) {
            ASSERT_EQ(fs.content(where[i]), start->second) << "pair " << i << " is not at " << where[i];
        }
    }
    for (const auto& f : fs.files()) {
        if (isTemporary(f) && !c.before.count(fs.caseKey(f))) {
            ASSERT_NE(std::find(where.begin(), where.end(), f), where.end()) << "unnamed temporary " << f;
        }
    }
    std::vector<std::string> expected = c.contents;
    expected.insert(expected.end(), copies.begin(), copies.end());
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(now, expected);
}

// One failing operation per run, chosen by the seed; removing a temporary is the clean-up after
// a failure, and a second failure there leaves it, so it is left out.
struct Fault {
    explicit Fault(unsigned seed)
    {
        std::mt19937 random(seed * 7919u);
        at = random() % 40;
        static const std::uint32_t codes[] = {platform::err::accessDenied, platform::err::diskFull,
                                              platform::err::sharingViolation};
        code = codes[random() % 3];
    }
    std::size_t at;
    std::uint32_t code;
};

// Installs the fault, counts the operations and dies before operation killAt.
void inject(Case& c, const Fault& fault, std::size_t killAt, std::size_t& seen)
{
    c.fs.fault = [&seen, fault, killAt](Op op, const std::string&) -> std::uint32_t {
        if (op == Op::Read)
            return 0;
        const std::size_t n = seen++;
        if (n == killAt)
            throw Killed{};
        return op != Op::Delete && n == fault.at ? fault.code : 0u;
    };
}

// A run as Execute makes it: the journal first, then the engine. No results when the journal
// could not be made: then no file was touched. A kill that the fault hook throws goes through.
struct Ran {
    std::vector<renaming::PairResult> results;
    bool broken = false;
};

Ran runJournaled(Case& c, renaming::RunProgress* progress = nullptr)
{
    try {
        renaming::RunJournal journal(c.fs, journalPath, c.mode, c.pairs);
        Ran ran{renaming::execute(c.fs, c.pairs, c.mode, platform::attr::hidden, &journal, progress)};
        ran.broken = journal.broken();
        return ran;
    } catch (const platform::IoError&) {
        return {};
    }
}

// Where the run says each file is (the original path for a run that never began), and which
// pairs it carried out.
void placesOf(const Case& c, const Ran& ran, std::vector<std::string>& where, std::vector<bool>& done)
{
    for (std::size_t i = 0; i < c.pairs.size(); ++i) {
        const bool began = !ran.results.empty();
        where.push_back(began ? ran.results[i].at : c.pairs[i].from);
        done.push_back(began && ran.results[i].outcome == Outcome::Done);
    }
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
        std::vector<std::string> where;
        std::vector<bool> done;
        placesOf(c, ran, where, done);
        if (ran.broken) {
            // The journal failed part-way: the run stopped untouched and the next start settles it.
            c.fs.fault = nullptr;
            const auto recovered = renaming::recover(c.fs, journalPath);
            ASSERT_TRUE(recovered);
            for (std::size_t i = 0; i < where.size(); ++i) {
                if (done[i]) {
                    EXPECT_EQ(recovered->where[i], c.pairs[i].to) << i;
                }
                where[i] = recovered->where[i];
            }
        }
        check(c, where, done, "seed " + std::to_string(seed));
        if (HasFatalFailure())
            return;
    }
}

TEST(RunProperty, AKillAtAnyOperationIsRecovered)
{
    for (unsigned seed = 0; seed < 200; ++seed) {
        const std::size_t operations = operationsOf(seed);
        for (std::size_t k = 0; k <= operations; ++k) {
            Case c;
            make(c, seed);
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
            auto recovered = renaming::recover(c.fs, journalPath);
            if (!recovered) {
                std::vector<std::string> where;
                std::vector<bool> done;
                placesOf(c, Ran{}, where, done);  // no file was touched
                check(c, where, done, trace + " (no plan)");
            } else {
                std::vector<bool> done;
                for (std::size_t i = 0; i < c.pairs.size(); ++i)
                    done.push_back(recovered->where[i] == c.pairs[i].to &&
                                   c.before.count(c.fs.caseKey(c.pairs[i].from)));
                check(c, recovered->where, done, trace);
                // A second recovery over the same journal reaches the same places.
                const auto again = renaming::recover(c.fs, journalPath);
                ASSERT_TRUE(again);
                EXPECT_EQ(again->where, recovered->where) << trace;
            }
            if (HasFatalFailure())
                return;
        }
    }
}

// Stops when asked for the k-th time.
struct StopAt : renaming::RunProgress {
    explicit StopAt(std::size_t k) : k(k) {}
    void reached(std::size_t, const std::string&) override {}
    bool stopRequested() override { return asked++ == k; }
    std::size_t k, asked = 0;
};

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
            std::vector<std::string> where;
            std::vector<bool> done;
            placesOf(c, ran, where, done);
            EXPECT_GT(std::count_if(ran.results.begin(), ran.results.end(),
                                    [](const auto& r) { return r.outcome == Outcome::Stopped; }),
                      0);
            check(c, where, done, "seed " + std::to_string(seed) + ", stopped at point " + std::to_string(k));
            if (HasFatalFailure())
                return;
        }
    }
}

}  // namespace
