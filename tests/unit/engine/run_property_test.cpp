// Generated runs over the in-memory volume: chains, swaps, cycles, files listed twice, letter
// case variants, missing files, targets taken by unrelated files, names shaped like temporary
// names, other volumes, device names, and a fault or a killed process at any operation. After
// each run, and after the recovery that follows a kill, no content is lost, every file stands
// where the original list says, and no temporary name is left unnamed.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "lists/path_parts.h"
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
    std::set<std::string> placed;               // case keys of files the user put there later
    std::multiset<std::string> added, removed;  // contents the user added and deleted since
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
    }
}

bool isTemporary(const std::string& path)
{
    return path.find("~nomerra") != std::string::npos || path.find("~NOMERRA") != std::string::npos;
}

// The pairs and the volume, for a failure's message.
std::string describe(Case& c)
{
    std::string text = "\npairs:\n";
    for (const auto& p : c.pairs)
        text += "  " + p.from + " -> " + p.to + "\n";
    text += "files:\n";
    for (const auto& f : c.fs.files())
        text += "  " + f + " = " + c.fs.content(f) + "\n";
    return text;
}

std::multiset<std::string> contentsOn(HeadlessFileSystem& fs)
{
    std::multiset<std::string> all;
    for (const auto& f : fs.files())
        if (f != journalPath)
            all.insert(fs.content(f));
    return all;
}

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

// One failing operation per run, chosen by the seed, deletes included.
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

// Installs the fault, counts the operations that change something and dies before operation killAt.
void inject(Case& c, const Fault& fault, std::size_t killAt, std::size_t& seen)
{
    c.fs.fault = [&seen, fault, killAt](Op op, const std::string&) -> std::uint32_t {
        if (op == Op::Read || op == Op::Identity)
            return 0;
        const std::size_t n = seen++;
        if (n == killAt)
            throw Killed{};
        return n == fault.at ? fault.code : 0u;
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

// Asked to stop from the k-th time on, as a stop once answered stays.
struct StopAt : renaming::RunProgress {
    explicit StopAt(std::size_t k) : k(k) {}
    void reached(std::size_t, const std::string&) override {}
    bool stopRequested() override { return asked++ >= k; }
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

}  // namespace
