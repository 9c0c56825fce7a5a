#pragma once
// Generated runs over the in-memory volume: chains, swaps, cycles, files listed twice, letter
// case variants, missing files, targets taken by unrelated files, names shaped like temporary
// names, other volumes, device names, and a fault, a stop or a killed process at any operation.
// Shared by the tests of runs and of their undo.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <numeric>
#include <random>
#include <set>

#include "platform/errors.h"
#include "platform/headless/headless_fs.h"
#include "rename/execute.h"
#include "rename/journal.h"
#include "rename/undo.h"

namespace generated {

using platform::headless::HeadlessFileSystem;
using platform::headless::Op;
using renaming::Mode;
using renaming::Outcome;
using renaming::Pair;

inline const char* const journalPath = "C:\\nomerra\\ThumbRun.db";

struct Killed {};

struct Case {
    HeadlessFileSystem fs;
    std::vector<Pair> pairs;
    Mode mode = Mode::RenameInPlace;
    std::map<std::string, std::string> before;  // content at the start, by case key
    std::map<std::string, std::uint32_t> attributes;  // at the start, by case key
    std::set<std::string> placed;               // case keys of files the user put there later
    std::multiset<std::string> added, removed;  // contents the user added and deleted since
};

// An order in which threads could take the moves that go at once, drawn from the seed.
inline std::function<std::vector<std::size_t>(std::size_t)> shuffled(unsigned seed)
{
    return [random = std::mt19937(seed)](std::size_t count) mutable {
        std::vector<std::size_t> order(count);
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), random);
        return order;
    };
}

inline void make(Case& c, unsigned seed)
{
    std::mt19937 random(seed);
    auto pick = [&](const auto& from) { return from[random() % from.size()]; };
    static const std::vector<std::string> folders = {"C:\\p\\", "C:\\p\\", "C:\\p\\", "C:\\q\\", "D:\\r\\"};
    static const std::vector<std::string> names = {
        "a.jpg", "b.jpg", "c.jpg", "d.jpg", "A.JPG", "B.jpg", "e", "é.jpg", "É.JPG", "~nomerra1.tmp",
        "~NOMERRA2.TMP", "~NoMerra3.tMp", "NUL.txt", "con.jpg", "x.", "f.jpg", "g.jpg"};
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
        c.attributes[c.fs.caseKey(f)] = c.fs.attributes(f);
    }
    if (seed % 2)
        c.fs.atOnceOrder = shuffled(seed);
}

inline bool isTemporary(const std::string& path)
{
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return lower.find("~nomerra") != std::string::npos;
}

// The pairs and the volume, for a failure's message.
inline std::string describe(Case& c)
{
    std::string text = "\npairs:\n";
    for (const auto& p : c.pairs)
        text += "  " + p.from + " -> " + p.to + "\n";
    text += "files:\n";
    for (const auto& f : c.fs.files())
        text += "  " + f + " = " + c.fs.content(f) + "\n";
    return text;
}

inline std::multiset<std::string> contentsOn(HeadlessFileSystem& fs)
{
    std::multiset<std::string> all;
    for (const auto& f : fs.files())
        if (f != journalPath)
            all.insert(fs.content(f));
    return all;
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
inline void inject(Case& c, const Fault& fault, std::size_t killAt, std::size_t& seen)
{
    c.fs.fault = [&seen, fault, killAt](Op op, const std::string&) -> std::uint32_t {
        if (op == Op::Read || op == Op::Identity)
            return 0;
        const std::size_t n = seen++;
        // A dead process does nothing more, on none of its threads.
        if (n >= killAt)
            throw Killed{};
        return n == fault.at ? fault.code : 0u;
    };
}

// A run as Execute makes it: the journal first, then the engine, then the record of its undo.
// No results when the journal could not be made: then no file was touched. A kill that the fault
// hook throws goes through.
struct Ran {
    std::vector<renaming::PairResult> results;
    bool broken = false;
    std::optional<renaming::UndoRecord> record;
};

// Where each file of a run stands after it, as the original list is written.
inline std::vector<std::string> placesAfter(const std::vector<renaming::PairResult>& results)
{
    std::vector<std::string> where;
    for (const auto& r : results)
        where.push_back(r.at);
    return where;
}

inline Ran runJournaled(Case& c, renaming::RunProgress* progress = nullptr)
{
    try {
        renaming::RunJournal journal(c.fs, journalPath, c.mode, c.pairs);
        Ran ran{renaming::execute(c.fs, c.pairs, c.mode, platform::attr::hidden, &journal, progress)};
        ran.broken = journal.broken();
        ran.record = renaming::recordAfterRun(c.fs, c.mode, c.pairs, journal, ran.results, placesAfter(ran.results));
        return ran;
    } catch (const platform::IoError&) {
        return {};
    }
}

// Asked to stop from the k-th time on, as a stop once answered stays; remembers the file it heard
// of last.
struct StopAt : renaming::RunProgress {
    explicit StopAt(std::size_t k) : k(k) {}
    void reached(std::size_t, const std::string& path) override { last = path; }
    bool stopRequested() override { return stopped = asked++ >= k; }
    std::size_t k, asked = 0;
    bool stopped = false;
    std::string last;
};

}  // namespace generated
