// The session without a window: what each command asks the window to show, checked against
// the lists in force over generated command sequences with injected faults, and a run whose
// question and lists follow from what it did.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "lists/messages.h"
#include "lists/path_parts.h"
#include "platform/headless/headless_fs.h"
#include "rename/rename_session.h"
#include "rename/run_state.h"
#include "rename/undo_history.h"

using lists::ListPair;
using platform::headless::HeadlessFileSystem;
using platform::headless::Op;
using renaming::Effect;
using renaming::RenameSession;
using renaming::Shown;

namespace {

// The two views and the notices as a window that shows the effects would have them.
struct Window {
    std::map<ListPair, std::string> views;
    std::vector<std::string> notices;

    void show(const RenameSession& session, const Shown& shown)
    {
        for (const Effect& e : shown.effects) {
            if (e.kind == Effect::Kind::LoadView) {
                if (auto text = session.viewText(e.pair, true))
                    views[e.pair] = *text;
            } else if (e.kind == Effect::Kind::ClearView) {
                views[e.pair].clear();
            } else {
                notices.push_back(e.text);
            }
        }
    }
};

std::vector<std::string> makeFiles(HeadlessFileSystem& fs, int count)
{
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        paths.push_back("D:\\photos\\p" + std::to_string(i) + ".jpg");
        fs.addFile(paths.back(), paths.back());
    }
    return paths;
}

renaming::RenameOptions tripOptions()
{
    renaming::RenameOptions options;
    options.edtname = "trip";
    options.lbpath = "D:\\photos";
    return options;
}

// A fault that refuses every read of a run's record (the history's index stays readable).
std::uint32_t recordsUnreadable(Op op, const std::string& path)
{
    return op == Op::Read && path.find("ThumbUndo-") != std::string::npos ? 5u : 0u;
}

Shown run(RenameSession& session)
{
    Shown refused = session.prepareRun(renaming::Mode::RenameInPlace, 0, "D:\\photos");
    if (!session.run())
        return refused;
    session.carryOut();
    // An error on the worker (the journal not made, say) comes out of finishRun, as in the window.
    try {
        return std::move(session.finishRun().shown);
    } catch (...) {
        Shown failed;
        failed.failure = std::current_exception();
        return failed;
    }
}

// The files opened, previewed as trip and run: the history holds that run.
void ranTrip(RenameSession& session, const std::vector<std::string>& files)
{
    session.start();
    session.open(files);
    session.preview(tripOptions());
    run(session);
}

// A first run (trip) carried out and recorded, and a second (walk) previewed: the history holds one run.
void ranTripThenPreviewedWalk(RenameSession& session, const std::vector<std::string>& files)
{
    ranTrip(session, files);
    auto walk = tripOptions();
    walk.edtname = "walk";
    session.preview(walk);
}

// Whatever the commands and wherever a write fails, a command that ends without an error
// leaves each view showing the list in force, or empty where there is none.
TEST(Session, ViewsFollowTheListsInForceThroughGeneratedCommandsAndFaults)
{
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 random(seed);
        HeadlessFileSystem fs;
        const auto files = makeFiles(fs, 6);
        fs.addFile("D:\\names.txt", "a\r\nb\r\nc\r\n");
        RenameSession session(fs);
        Window window;
        window.show(session, session.start());
        for (int step = 0; step < 12; ++step) {
            int writes = 0;
            const int failAt = random() % 4 == 0 ? 1 + static_cast<int>(random() % 3) : 0;
            fs.fault = [&](Op op, const std::string&) -> std::uint32_t {
                return (op == Op::Write || op == Op::Replace || op == Op::Delete) && ++writes == failAt ? 5 : 0;
            };
            const std::vector<std::string> some(files.begin(), files.begin() + 1 + random() % files.size());
            Shown shown;
            const unsigned command = random() % 7;
            switch (command) {
            case 0: shown = session.open(some); break;
            case 1: shown = session.add(some); break;
            case 2: shown = session.clear(); break;
            case 3: shown = session.preview(tripOptions()); break;
            case 4: shown = session.cancelPreview(); break;
            case 5: shown = session.importNames("D:\\names.txt"); break;
            default: shown = run(session); break;
            }
            fs.fault = nullptr;
            window.show(session, shown);
            if (shown.failure) {
                // The error box tells the user the view may be behind; the test looks afresh.
                for (ListPair pair : {ListPair::Original, ListPair::New})
                    window.views[pair] = session.viewText(pair, true).value_or("");
                continue;
            }
            // Clear leaves the new list's files behind, out of force with no original list.
            const bool newInForce = session.store().readForRun().state == lists::RunLists::State::Ready;
            EXPECT_EQ(window.views[ListPair::Original], session.viewText(ListPair::Original, true).value_or(""))
                << "seed " << seed << " step " << step << " command " << command;
            EXPECT_EQ(window.views[ListPair::New], newInForce ? *session.viewText(ListPair::New, true) : "")
                << "seed " << seed << " step " << step << " command " << command;
        }
    }
}

TEST(Session, ARunMovesTheFilesNamesThemInTheOriginalListAndAsksToOpenTheirFolder)
{
    HeadlessFileSystem fs;
    const auto files = makeFiles(fs, 3);
    RenameSession session(fs);
    session.open(files);
    session.preview(tripOptions());
    // The window's thread reads no list: a million entries take it a second.
    fs.fault = [](Op op, const std::string&) { return op == Op::Read ? 5u : 0u; };
    ASSERT_TRUE(session.prepareRun(renaming::Mode::RenameInPlace, 0, "D:\\photos").effects.empty());
    fs.fault = nullptr;
    ASSERT_NE(session.run(), nullptr);
    EXPECT_EQ(session.run()->total(), 0u);
    // The lists, the history and the journal are settled on the worker: the window thread only
    // shows what came of it.
    session.carryOut();
    EXPECT_EQ(session.run()->total(), 3u);
    EXPECT_EQ(*session.viewText(ListPair::Original, false), "trip001.jpg\r\ntrip002.jpg\r\ntrip003.jpg\r\n");
    EXPECT_FALSE(fs.fileExists(session.store().journalPath()));
    EXPECT_TRUE(session.canUndo());
    fs.fault = [](Op, const std::string&) { return 5u; };
    const renaming::RunEnd end = session.finishRun();
    fs.fault = nullptr;
    EXPECT_EQ(session.run(), nullptr);
    EXPECT_FALSE(end.shown.failure);
    EXPECT_EQ(end.folder, "D:\\photos");
    EXPECT_EQ(end.question.rfind(messages::report::succeeded, 0), 0u) << end.question;
    for (const char* name : {"trip001.jpg", "trip002.jpg", "trip003.jpg"})
        EXPECT_TRUE(fs.fileExists(std::string("D:\\photos\\") + name)) << name;
    EXPECT_EQ(*session.viewText(ListPair::Original, false), "trip001.jpg\r\ntrip002.jpg\r\ntrip003.jpg\r\n");
    EXPECT_FALSE(fs.fileExists(session.store().journalPath()));
}

// The run's record, read on the worker, cannot be read: the undo ends in that error having
// touched no file, and the run is still there to undo.
TEST(Session, AnUndoWhoseRecordCannotBeReadTouchesNothingAndStaysToUndo)
{
    HeadlessFileSystem fs;
    const auto files = makeFiles(fs, 3);
    RenameSession session(fs);
    ranTrip(session, files);
    ASSERT_TRUE(session.prepareUndo().effects.empty());
    fs.fault = recordsUnreadable;
    session.carryOut();
    fs.fault = nullptr;
    EXPECT_TRUE(session.finishUndo().failure);
    EXPECT_TRUE(session.canUndo());
    EXPECT_TRUE(fs.fileExists("D:\\photos\\trip001.jpg"));

    ASSERT_TRUE(session.prepareUndo().effects.empty());
    session.carryOut();
    EXPECT_FALSE(session.finishUndo().failure);
    for (const auto& f : files)
        EXPECT_EQ(fs.content(f), f);
}

// Refused by its lists on the worker: no file or journal is touched, the progress never learns a
// size to show, and the window hears why once it is back.
TEST(Session, RunWithoutAPreviewWithTheFirstFileGoneOrWithChangedListsIsRefusedWithItsNotice)
{
    HeadlessFileSystem fs;
    const auto files = makeFiles(fs, 2);
    RenameSession session(fs);
    Window window;
    window.show(session, session.open(files));
    const auto refusedRun = [&] {
        ASSERT_TRUE(session.prepareRun(renaming::Mode::RenameInPlace, 0, "D:\\photos").effects.empty());
        // Reading the lists makes sure of the program's private folder; nothing else is written.
        fs.fault = [](Op op, const std::string&) { return op == Op::Read || op == Op::CreateFolder ? 0u : 5u; };
        session.carryOut();
        fs.fault = nullptr;
        EXPECT_EQ(session.run()->total(), 0u);
        renaming::RunEnd end = session.finishRun();
        EXPECT_FALSE(end.started);
        EXPECT_TRUE(end.question.empty());
        window.show(session, std::move(end.shown));
    };
    refusedRun();
    session.preview(tripOptions());
    fs.deleteFile(files.front());
    refusedRun();
    fs.writeAll(files.front(), files.front());
    fs.writeAll(session.store().pathOf(lists::ListFile::NewPaths), "D:\\elsewhere.jpg\r\n");
    refusedRun();
    ASSERT_EQ(window.notices.size(), 3u);
    EXPECT_EQ(window.notices[0], messages::noPreview);
    EXPECT_EQ(window.notices[1], messages::notFoundPrefix + files.front() + messages::notFoundSuffix);
    EXPECT_EQ(window.notices[2], messages::listsChanged);
    EXPECT_EQ(session.run(), nullptr);
    EXPECT_FALSE(fs.fileExists(session.store().journalPath()));
    EXPECT_EQ(fs.content(files.back()), files.back());
}

// Undo through the session: the run taken back, the lists as right after its preview so that
// Execute does it again, and the history kept across sessions.
TEST(Session, AnUndoTakesTheRunBackAndExecuteDoesItAgain)
{
    HeadlessFileSystem fs;
    const auto files = makeFiles(fs, 3);
    RenameSession session(fs);
    session.start();
    session.open(files);
    session.preview(tripOptions());
    const std::string previewed = *session.viewText(ListPair::New, true);
    EXPECT_FALSE(session.canUndo());
    run(session);
    ASSERT_TRUE(session.canUndo());
    EXPECT_EQ(session.undoQuestion(), std::string("确定要撤销上次执行吗？\r将把 3 个文件改回原名。"));

    Window window;
    // The window's thread reads the history's index alone; the run's record is read on the worker.
    fs.fault = recordsUnreadable;
    window.show(session, session.prepareUndo());
    fs.fault = nullptr;
    ASSERT_NE(session.run(), nullptr);
    EXPECT_EQ(session.run()->total(), 3u);
    session.carryOut();
    // As after a run, the lists and the history are settled on the worker.
    fs.fault = [](Op, const std::string&) { return 5u; };
    const renaming::Shown undone = session.finishUndo();
    fs.fault = nullptr;
    window.show(session, undone);
    EXPECT_EQ(window.notices, std::vector<std::string>{messages::undo::succeeded});
    for (const auto& f : files)
        EXPECT_EQ(fs.content(f), f);
    EXPECT_EQ(window.views[ListPair::Original], *session.viewText(ListPair::Original, true));
    EXPECT_EQ(*session.viewText(ListPair::Original, false), "p0.jpg\r\np1.jpg\r\np2.jpg\r\n");
    EXPECT_EQ(window.views[ListPair::New], previewed);
    EXPECT_FALSE(session.canUndo());

    run(session);
    EXPECT_TRUE(fs.fileExists("D:\\photos\\trip003.jpg"));
    EXPECT_TRUE(session.canUndo());
}

struct Killed {};

TEST(Session, TheHistoryOutlivesTheSessionAndAnUndoKilledPartWayIsSettledAtTheNextStart)
{
    HeadlessFileSystem fs;
    const auto files = makeFiles(fs, 4);
    {
        RenameSession first(fs);
        ranTrip(first, files);
    }
    {
        RenameSession second(fs);
        second.start();
        ASSERT_TRUE(second.canUndo());
        second.prepareUndo();
        int moves = 0;
        fs.fault = [&](Op op, const std::string&) -> std::uint32_t {
            if (op == Op::Move && ++moves == 3)
                throw Killed{};
            return 0;
        };
        second.carryOut();
        fs.fault = nullptr;
        // The process dies here: nothing of the undo is finished.
    }
    RenameSession third(fs);
    Window window;
    window.show(third, third.start());
    ASSERT_EQ(window.notices.size(), 1u);
    EXPECT_EQ(window.notices[0].rfind(messages::recovery::prefix, 0), 0u) << window.notices[0];
    // Every file at its old name or its new one, and the lists say which.
    const auto originals = lists::splitLines(third.store().text(lists::ListFile::OriginalPaths));
    ASSERT_EQ(originals.size(), files.size());
    std::size_t stillRenamed = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string renamed = "D:\\photos\\trip00" + std::to_string(i + 1) + ".jpg";
        EXPECT_TRUE(originals[i] == files[i] || originals[i] == renamed) << originals[i];
        EXPECT_EQ(fs.content(originals[i]), files[i]);
        stillRenamed += originals[i] == renamed;
    }
    EXPECT_EQ(window.views[ListPair::New], *third.viewText(ListPair::New, true));
    // Never done twice: only the files it had not taken back are offered, and then nothing.
    ASSERT_GT(stillRenamed, 0u);
    ASSERT_TRUE(third.canUndo());
    EXPECT_EQ(*third.undoQuestion(), renaming::undoQuestion(renaming::Mode::RenameInPlace, stillRenamed));
    third.prepareUndo();
    third.carryOut();
    window.show(third, third.finishUndo());
    EXPECT_EQ(window.notices.back(), messages::undo::succeeded);
    for (const auto& file : files)
        EXPECT_TRUE(fs.fileExists(file)) << file;
    EXPECT_FALSE(third.canUndo());
}

}  // namespace

namespace {

// A run killed just before or just after its record reaches the history: the next start settles
// its journal and records it once, beside the run before it, so each is offered for undo once.
TEST(Session, ARunKilledAroundItsHistoryWriteIsRecordedOnce)
{
    for (const Op killedAt : {Op::Replace, Op::Delete}) {
        SCOPED_TRACE(static_cast<int>(killedAt));
        HeadlessFileSystem fs;
        const auto files = makeFiles(fs, 3);
        {
            RenameSession first(fs);
            ranTripThenPreviewedWalk(first, files);
            const std::string journal = first.store().journalPath();
            fs.fault = [&](Op op, const std::string& path) -> std::uint32_t {
                if (op == killedAt && (op == Op::Replace || path == journal))
                    throw Killed{};
                return 0;
            };
            run(first);
            fs.fault = nullptr;
            ASSERT_TRUE(fs.fileExists(journal));
        }
        RenameSession second(fs);
        second.start();
        for (const char* name : {"trip", "p"}) {
            ASSERT_TRUE(second.canUndo()) << name;
            second.prepareUndo();
            ASSERT_NE(second.run(), nullptr);
            second.carryOut();
            Window window;
            window.show(second, second.finishUndo());
            EXPECT_EQ(window.notices, std::vector<std::string>{messages::undo::succeeded});
            EXPECT_EQ(second.viewText(ListPair::Original, false)->rfind(name, 0), 0u) << name;
        }
        EXPECT_FALSE(second.canUndo());
        EXPECT_EQ(second.undoQuestion(), std::nullopt);
    }
}

// Killed after the run was taken off the history and before its undo took a file back by a journal
// (before the journal was made, or among the removals of a copy run, which need none), or with a
// journal that could not be written: the run is back as the newest to undo, at the next command or
// the next start, and a copy removed already is named as gone.
TEST(Session, AnUndoKilledBeforeItsJournalLeavesTheRunToUndo)
{
    enum class Case { KilledBeforeTheJournal, KilledAmongCopies, JournalNotWritten };
    for (const Case c : {Case::KilledBeforeTheJournal, Case::KilledAmongCopies, Case::JournalNotWritten}) {
        SCOPED_TRACE(static_cast<int>(c));
        const bool copies = c == Case::KilledAmongCopies;
        const auto mode = copies ? renaming::Mode::CopyToNewPath : renaming::Mode::RenameInPlace;
        HeadlessFileSystem fs;
        const auto files = makeFiles(fs, 3);
        fs.addFolder("D:\\out");
        {
            RenameSession first(fs);
            first.start();
            first.open(files);
            auto options = tripOptions();
            options.rbRename = !copies;
            options.lbpath = "D:\\out";
            first.preview(options);
            ASSERT_TRUE(first.prepareRun(mode, 0, "D:\\out").effects.empty());
            first.carryOut();
            first.finishRun();
            ASSERT_TRUE(first.prepareUndo().effects.empty());
            // The worker takes the run off the history, then makes the journal.
            fs.fault = [&](Op op, const std::string&) -> std::uint32_t {
                const bool killed = c == Case::KilledBeforeTheJournal ? op == Op::Append
                                                                      : op == Op::Recycle && fs.recycled.size() == 1;
                if (killed)
                    throw Killed{};
                return op == Op::Append ? platform::err::diskFull : 0;
            };
            first.carryOut();
            EXPECT_FALSE(first.canUndo());  // taken off the history before anything else
            if (c == Case::JournalNotWritten) {
                EXPECT_TRUE(first.finishUndo().failure);
                fs.fault = nullptr;
                EXPECT_FALSE(first.settle().failure);
                EXPECT_TRUE(first.canUndo());
            }
            fs.fault = nullptr;
        }
        RenameSession second(fs);
        second.start();
        ASSERT_TRUE(second.canUndo());
        second.prepareUndo();
        ASSERT_NE(second.run(), nullptr);
        second.carryOut();
        Window window;
        window.show(second, second.finishUndo());
        EXPECT_EQ(window.notices, std::vector<std::string>{copies ? "撤销完成，1 个文件未处理：\rD:\\out\\trip001.jpg → "
                                                                    "D:\\photos\\p0.jpg（文件不存在）"
                                                                  : messages::undo::succeeded});
        for (const auto& f : files)
            EXPECT_EQ(fs.content(f), f);
        EXPECT_EQ(fs.recycled.size(), copies ? 3u : 0u);
        EXPECT_FALSE(second.canUndo());
    }
}

}  // namespace

namespace {

// The history found damaged while a run is recorded (its newest record as a recovered run is
// checked against it at the next start, or its index as a run ends): the run is recorded all the
// same, and the user hears that what was damaged was set aside, as an undo would have said.
TEST(Session, AHistorySetAsideWhileARunIsRecordedIsSaid)
{
    for (const bool recovered : {true, false}) {
        SCOPED_TRACE(recovered ? "recovered at the next start" : "as the run ends");
        HeadlessFileSystem fs;
        const auto files = makeFiles(fs, 3);
        const std::string index = renaming::undoHistoryPath(fs);
        Window window;
        std::string damaged;
        {
            RenameSession first(fs);
            ranTripThenPreviewedWalk(first, files);
            ASSERT_TRUE(first.prepareRun(renaming::Mode::RenameInPlace, 0, "D:\\photos").effects.empty());
            // The trip run's record, or the index, spoiled on the disk.
            damaged = recovered ? lists::folderPart(index) + renaming::readHistory(fs, index).history.runs.front().file
                                : index;
            fs.writeAll(damaged, fs.content(damaged) + "x");
            if (recovered)
                fs.fault = [&](Op op, const std::string& path) -> std::uint32_t {
                    if (op == Op::Replace && path == index)
                        throw Killed{};
                    return 0;
                };
            first.carryOut();
            fs.fault = nullptr;
            if (!recovered)
                window.show(first, first.finishRun().shown);
        }
        if (recovered) {
            RenameSession second(fs);
            window.show(second, second.start());
        }
        const std::string aside = lists::namePart(damaged.substr(0, damaged.size() - 3) + ".bad");
        ASSERT_TRUE(fs.fileExists(lists::folderPart(damaged) + aside));
        EXPECT_EQ(std::count(window.notices.begin(), window.notices.end(), renaming::historySetAsideNotice(aside)), 1)
            << ::testing::PrintToString(window.notices);
        EXPECT_EQ(renaming::readHistory(fs, index).history.runs.size(), 1u);
    }
}

// The history's index found damaged as the run is recorded while its lists cannot be written:
// the run ends in an error, the next command settles it, and the user still hears once that the
// index was set aside.
TEST(Session, AHistorySetAsideWhileTheListsOfARunFailIsSaid)
{
    HeadlessFileSystem fs;
    const auto files = makeFiles(fs, 3);
    const std::string index = renaming::undoHistoryPath(fs);
    RenameSession session(fs);
    ranTripThenPreviewedWalk(session, files);
    ASSERT_TRUE(session.prepareRun(renaming::Mode::RenameInPlace, 0, "D:\\photos").effects.empty());
    fs.writeAll(index, fs.content(index) + "x");
    const std::string list = session.store().pathOf(lists::ListFile::OriginalPaths);
    fs.fault = [&](Op op, const std::string& path) -> std::uint32_t {
        return op == Op::Replace && path == list ? platform::err::diskFull : 0;
    };
    session.carryOut();
    fs.fault = nullptr;
    Window window;
    const renaming::RunEnd end = session.finishRun();
    EXPECT_TRUE(end.shown.failure);
    window.show(session, end.shown);
    window.show(session, session.settle());
    const std::string aside = lists::namePart(index.substr(0, index.size() - 3) + ".bad");
    ASSERT_TRUE(fs.fileExists(lists::folderPart(index) + aside));
    EXPECT_EQ(std::count(window.notices.begin(), window.notices.end(), renaming::historySetAsideNotice(aside)), 1)
        << ::testing::PrintToString(window.notices);
    EXPECT_EQ(renaming::readHistory(fs, index).history.runs.size(), 1u);
}

}  // namespace
