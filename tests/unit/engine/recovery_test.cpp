// The recovery's checks of identity, the journal's resistance to torn and hostile text, the engine's
// notion of the same file, what a failure inside a cycle reports, and a stop question that holds
// the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <random>
#include <map>
#include <set>

#include "platform/errors.h"
#include "platform/headless/headless_fs.h"
#include "rename/execute.h"
#include "rename/journal.h"
#include "rename/journal_read.h"
#include "rename/run_state.h"

using platform::headless::HeadlessFileSystem;
using platform::headless::Op;
using renaming::Mode;
using renaming::Outcome;
using renaming::Pair;

namespace {

const char* const journalPath = "C:\\nomerra\\ThumbRun.db";

struct Killed {};

// Runs the pairs with a journal and dies before the n-th move (counted from 1).
void runKilledAtMove(HeadlessFileSystem& fs, const std::vector<Pair>& pairs, int killAt)
{
    int moves = 0;
    fs.fault = [&](Op op, const std::string&) -> std::uint32_t {
        if (op == Op::Move && ++moves == killAt)
            throw Killed{};
        return 0;
    };
    try {
        renaming::RunJournal journal(fs, journalPath, Mode::RenameInPlace, pairs);
        renaming::execute(fs, pairs, Mode::RenameInPlace, platform::attr::archive, &journal);
    } catch (const Killed&) {
    }
    fs.fault = nullptr;
}

std::string identityText(HeadlessFileSystem& fs, const std::string& path)
{
    const auto id = *fs.identity(path);
    return std::to_string(id.volume) + ":" + std::to_string(id.file) + ":" + std::to_string(id.size) + ":" +
           std::to_string(id.written);
}

// Killed as the copy of a.jpg on drive D: was about to take b.jpg's name; before the next start the
// user renamed c.jpg back to b.jpg and deleted the stray temporary. Nothing says A's copy arrived,
// so A stays, and every file is where the list says.
TEST(Recovery, AFileTheUserPutBackIsNotTakenForACopyThatArrived)
{
    HeadlessFileSystem fs;
    fs.addFile("D:\\r\\b.jpg", "B");
    fs.addFile("C:\\p\\a.jpg", "A");
    const std::vector<Pair> pairs = {{"D:\\r\\b.jpg", "D:\\r\\c.jpg"}, {"C:\\p\\a.jpg", "D:\\r\\b.jpg"}};
    runKilledAtMove(fs, pairs, 3);  // b→c, a→b (refused: another volume), the copy's move
    ASSERT_TRUE(fs.fileExists("D:\\r\\~nomerra1.tmp"));
    fs.moveFile("D:\\r\\c.jpg", "D:\\r\\b.jpg");
    fs.deleteFile("D:\\r\\~nomerra1.tmp");
    const std::string journal = fs.content(journalPath);

    for (int round = 0; round < 2; ++round) {
        const auto recovered = renaming::recover(fs, journalPath);
        ASSERT_TRUE(recovered);
        EXPECT_EQ(recovered->where, (std::vector<std::string>{"D:\\r\\b.jpg", "C:\\p\\a.jpg"}));
        EXPECT_EQ(fs.content("C:\\p\\a.jpg"), "A");
        EXPECT_EQ(fs.content("D:\\r\\b.jpg"), "B");
        EXPECT_EQ(fs.content(journalPath), journal);  // a recovery appends nothing, after a torn line or not
    }
}

// Killed before a rename on one drive; before the next start the user moved the original away.
// The file at the new path, a copy the user made with the original's size and time, is no copy
// of the run's (a rename on one drive makes none): the pair is not done and the list does not
// give it that file.
TEST(Recovery, AFileAtTheNewPathOnTheSameDriveIsNotTakenForTheRunsCopy)
{
    HeadlessFileSystem fs;
    fs.addFile("C:\\p\\a.jpg", "A");
    fs.addFolder("C:\\elsewhere\\");
    ASSERT_EQ(fs.copyFile("C:\\p\\a.jpg", "C:\\p\\b.jpg", true), 0u);
    runKilledAtMove(fs, {{"C:\\p\\a.jpg", "C:\\p\\b.jpg"}}, 1);
    ASSERT_EQ(fs.moveFile("C:\\p\\a.jpg", "C:\\elsewhere\\a.jpg"), 0u);

    const auto recovered = renaming::recover(fs, journalPath);
    ASSERT_TRUE(recovered);
    EXPECT_EQ(recovered->where, std::vector<std::string>{"C:\\p\\a.jpg"});
    EXPECT_EQ(recovered->done, std::vector<bool>{false});
}

// Another program saved a listed file after the run had read who it is: the file is the same
// (its number), only its size and time are new. Killed with it parked, or with its copy on the
// other drive whole, the recovery still finds it, and removes neither it nor the only copy of
// what it now holds; every content ends at a path the list or the notice names.
TEST(Recovery, AFileSavedAgainDuringTheRunIsStillFoundAndKept)
{
    struct Case {
        const char* what;
        std::vector<Pair> pairs;
        const char* saved;  // the file another program writes
        Op killBefore;
        std::string killPath;
    };
    const Case cases[] = {
        {"parked in a swap", {{"C:\\p\\a.jpg", "C:\\p\\b.jpg"}, {"C:\\p\\b.jpg", "C:\\p\\a.jpg"}}, "C:\\p\\~nomerra1.tmp",
         Op::Move, "C:\\p\\b.jpg"},
        {"copied to another drive", {{"C:\\p\\a.jpg", "D:\\r\\a.jpg"}}, "C:\\p\\a.jpg", Op::Delete, "C:\\p\\a.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HeadlessFileSystem fs;
        fs.addFolder("D:\\r");
        fs.addFile("C:\\p\\a.jpg", "A");
        fs.addFile("C:\\p\\b.jpg", "B");
        fs.fault = [&](Op op, const std::string& path) -> std::uint32_t {
            if (op == c.killBefore && path == c.killPath) {
                fs.writeAll(c.saved, "A, saved again");
                throw Killed{};
            }
            return 0;
        };
        try {
            renaming::RunJournal journal(fs, journalPath, Mode::RenameInPlace, c.pairs);
            renaming::execute(fs, c.pairs, Mode::RenameInPlace, platform::attr::archive, &journal);
        } catch (const Killed&) {
        }
        fs.fault = nullptr;
        const auto recovered = renaming::recover(fs, journalPath);
        ASSERT_TRUE(recovered);
        std::set<std::string> named(recovered->kept.begin(), recovered->kept.end());
        named.insert(recovered->where.begin(), recovered->where.end());
        std::set<std::string> contents;
        for (const auto& f : fs.files())
            if (f != journalPath) {
                contents.insert(fs.content(f));
                EXPECT_TRUE(named.count(f) || f == "C:\\p\\b.jpg") << f << " holds " << fs.content(f) << ", named nowhere";
            }
        EXPECT_TRUE(contents.count("A, saved again"));
        EXPECT_EQ(fs.content(recovered->where[0]), "A, saved again");
    }
}

// A journal written by someone else: whatever it names, the recovery moves and deletes only files
// under its own temporary names beside the pair's own paths, and only those of a recorded identity.
TEST(Recovery, ActsOnlyOnItsOwnTemporariesOfARecordedIdentity)
{
    HeadlessFileSystem fs;
    fs.addFile("C:\\sys\\precious.sys", "precious", platform::attr::readOnly);
    fs.addFile("C:\\user\\payload.dll", "payload");
    fs.addFile("C:\\user\\~nomerra1.tmp", "planted");
    fs.addFile("C:\\sys\\~nomerra2.tmp", "someone's");
    const std::string payload = identityText(fs, "C:\\user\\payload.dll");
    const std::string planted = identityText(fs, "C:\\user\\~nomerra1.tmp");
    struct Case {
        std::string journal;
        std::vector<std::string> kept;
    };
    const Case cases[] = {
        // the older format, naming the files outright: no plan
        {"nomerra-run 1\trename\t2\nC:\\sys\\precious.sys\tC:\\sys\\x\nC:\\sys\\evil.dll\tC:\\sys\\y\n"
         "copy\t0\tC:\\sys\\precious.sys\npark\t1\tC:\\user\\payload.dll\nmove\t1\n",
         {}},
        // files elsewhere given as originals, under their own name and under a temporary name
        {"nomerra-run 2\trename\t2\nC:\\sys\\evil.dll\tC:\\sys\\y.dll\t" + payload +
             "\nC:\\sys\\evil2.dll\tC:\\sys\\z.dll\t" + planted + "\n",
         {"C:\\sys\\~nomerra2.tmp"}},
        // a copy of an identity nobody has, and a torn last line
        {"nomerra-run 2\trename\t1\nC:\\sys\\evil.dll\tC:\\sys\\y.dll\t1:2:3:4\ncopied\t0\t5:6:7:8\nfai",
         {"C:\\sys\\~nomerra2.tmp"}},
    };
    for (const Case& c : cases) {
        fs.writeAll(journalPath, c.journal);
        std::map<std::string, std::string> before;
        for (const auto& f : fs.files())
            before[f] = fs.content(f);
        const auto recovered = renaming::recover(fs, journalPath);
        std::map<std::string, std::string> after;
        for (const auto& f : fs.files())
            after[f] = fs.content(f);
        EXPECT_EQ(after, before) << c.journal;
        EXPECT_EQ(recovered.has_value(), !c.kept.empty()) << c.journal;
        if (recovered) {
            EXPECT_EQ(recovered->where[0], "C:\\sys\\evil.dll");
            EXPECT_EQ(recovered->kept, c.kept);
        }
    }
}

// Two spellings of one file (a short 8.3 name, a hard link) are one file: it moves once. Two
// files are two, whatever their names.
TEST(SameFile, IsTheSameIdentityNotTheSameSpelling)
{
    HeadlessFileSystem fs;
    fs.addFile("C:\\p\\photo-long.jpg", "P");
    fs.addHardLink("C:\\p\\photo-long.jpg", "C:\\p\\PHOTO~1.JPG");
    fs.addFile("C:\\p\\q.jpg", "Q");
    const auto r = renaming::execute(fs,
                                     {{"C:\\p\\photo-long.jpg", "C:\\p\\x.jpg"},
                                      {"C:\\p\\PHOTO~1.JPG", "C:\\p\\y.jpg"},
                                      {"C:\\p\\q.jpg", "C:\\p\\z.jpg"}},
                                     Mode::RenameInPlace, platform::attr::archive, nullptr);
    EXPECT_EQ(r[0].outcome, Outcome::Done);
    EXPECT_EQ(r[1].outcome, Outcome::DuplicateSource);
    EXPECT_EQ(r[1].at, "C:\\p\\x.jpg");
    EXPECT_EQ(r[2].outcome, Outcome::Done);
    EXPECT_FALSE(fs.fileExists("C:\\p\\y.jpg"));
}

// A file whose identity cannot be read could not be found again after a kill: it is not acted on.
TEST(SameFile, AFileWithoutAnIdentityIsNotActedOn)
{
    HeadlessFileSystem fs;
    fs.addFile("C:\\p\\a.jpg", "A");
    fs.fault = [](Op op, const std::string&) { return op == Op::Identity ? platform::err::accessDenied : 0u; };
    const auto r = renaming::execute(fs, {{"C:\\p\\a.jpg", "C:\\p\\b.jpg"}}, Mode::RenameInPlace,
                                     platform::attr::archive, nullptr);
    EXPECT_EQ(r[0].outcome, Outcome::Unidentified);
    EXPECT_EQ(fs.content("C:\\p\\a.jpg"), "A");
    EXPECT_NE(renaming::completionQuestion(fs, {{"C:\\p\\a.jpg", "C:\\p\\b.jpg"}}, r, "C:\\p").find("（无法识别文件）"),
              std::string::npos);
}

// A locked file inside a cycle of three: A can neither reach its new name nor go back, so the
// report names where it is on a line of its own, as the list does.
TEST(CycleFailure, AFileLeftUnderATemporaryNameIsNamedInTheReportAndTheList)
{
    HeadlessFileSystem fs;
    for (const char* p : {"C:\\p\\a.jpg", "C:\\p\\b.jpg", "C:\\p\\c.jpg"})
        fs.addFile(p, p);
    fs.fault = [](Op op, const std::string& path) {
        return op == Op::Move && path == "C:\\p\\b.jpg" ? platform::err::sharingViolation : 0u;
    };
    const std::vector<Pair> pairs = {
        {"C:\\p\\a.jpg", "C:\\p\\b.jpg"}, {"C:\\p\\b.jpg", "C:\\p\\c.jpg"}, {"C:\\p\\c.jpg", "C:\\p\\a.jpg"}};
    const auto r = renaming::execute(fs, pairs, Mode::RenameInPlace, platform::attr::archive, nullptr);
    ASSERT_EQ(r[0].at, "C:\\p\\~nomerra1.tmp");
    EXPECT_EQ(fs.content(r[0].at), "C:\\p\\a.jpg");
    EXPECT_TRUE(renaming::temporaryLeft(pairs, r));
    const std::string q = renaming::completionQuestion(fs, pairs, r, "C:\\p");
    EXPECT_NE(q.find("\r文件暂存于 C:\\p\\~nomerra1.tmp（C:\\p\\a.jpg → C:\\p\\b.jpg）\r"), std::string::npos) << q;
}

// While the stop question is open the run waits before its next pair; no lets it go on, yes stops it.
TEST(StopQuestion, HoldsTheRunUntilAnswered)
{
    for (const bool yes : {false, true}) {
        renaming::RunState state;
        std::promise<bool> answer;
        std::promise<void> asking;
        auto window = std::async(std::launch::async, [&] {
            return state.askToStop([&] {
                asking.set_value();
                return answer.get_future().get();
            });
        });
        asking.get_future().wait();
        auto worker = std::async(std::launch::async, [&] { return state.stopRequested(); });
        EXPECT_EQ(worker.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
        answer.set_value(yes);
        EXPECT_EQ(worker.get(), yes);
        EXPECT_EQ(window.get(), yes);
    }
}

// Journals cut, spliced and flipped at random, recovered over a volume of the files they name: no
// crash, no undefined behaviour, and no content lost.
TEST(JournalFuzz, MangledJournalsNeverLoseAFile)
{
    std::mt19937 random(20261210u);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    for (int round = 0; std::chrono::steady_clock::now() < deadline; ++round) {
        HeadlessFileSystem fs;
        for (const char* p : {"C:\\p\\a", "C:\\p\\b", "D:\\r\\c", "C:\\p\\~nomerra1.tmp"})
            fs.addFile(p, p);
        const std::vector<Pair> pairs = {
            {"C:\\p\\a", "C:\\p\\b"}, {"C:\\p\\b", "C:\\p\\a"}, {"D:\\r\\c", "C:\\p\\c"}, {"C:\\p\\~nomerra1.tmp", "D:\\r\\d"}};
        runKilledAtMove(fs, pairs, 1 + static_cast<int>(random() % 6));
        std::string text = fs.content(journalPath);
        for (int edits = 1 + static_cast<int>(random() % 8); edits > 0 && !text.empty(); --edits) {
            const std::size_t at = random() % text.size();
            switch (random() % 5) {
            case 0: text[at] = static_cast<char>(random()); break;
            case 1: text.erase(at, random() % 16); break;
            case 2: text.insert(at, text.substr(random() % text.size(), random() % 32)); break;
            case 3: text.insert(at, 1, "\t\n:%-0123456789"[random() % 16]); break;
            default: text.resize(at); break;
            }
        }
        fs.writeAll(journalPath, text);
        std::set<std::string> before;
        for (const auto& f : fs.files())
            if (f != journalPath)
                before.insert(fs.content(f));
        renaming::recover(fs, journalPath);
        std::set<std::string> after;
        for (const auto& f : fs.files())
            if (f != journalPath)
                after.insert(fs.content(f));
        ASSERT_EQ(after, before) << "round " << round << ": " << text;
    }
}

}  // namespace

// A plan of many megabytes reaches the disk in parts: one part refused ends the journal there, with
// the system's error, and what stands is no plan that a recovery would act on.
TEST(Journal, APlanRefusedPartWayIsNoPlan)
{
    HeadlessFileSystem fs;
    std::vector<Pair> pairs;
    const std::string name = "C:\\" + std::string(180, 'p');
    for (int i = 0; i < 4000; ++i) {
        const std::string from = name + std::to_string(i) + ".jpg";
        fs.writeAll(from, "x");
        pairs.push_back({from, name + "new" + std::to_string(i) + ".jpg"});
    }
    for (const int refused : {1, 2}) {
        SCOPED_TRACE(refused);
        fs.deleteFile(journalPath);
        int appends = 0;
        fs.fault = [&](Op op, const std::string& path) {
            return op == Op::Append && path == journalPath && ++appends == refused ? platform::err::diskFull : 0u;
        };
        try {
            renaming::RunJournal journal(fs, journalPath, Mode::RenameInPlace, pairs);
            ADD_FAILURE() << "made";
        } catch (const platform::IoError& e) {
            EXPECT_STREQ(e.what(), "Disk full");
        }
        fs.fault = nullptr;
        EXPECT_EQ(appends, refused);
        EXPECT_FALSE(renaming::readJournal(fs.content(journalPath)));
    }
}
