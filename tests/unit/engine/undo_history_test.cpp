// The undo history: its index and the records in files of their own (round trip, its length),
// a damaged index or record set aside and never acted on, a kill or a failure at any file
// operation, a history of the version before, and record files no index names.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "lists/path_parts.h"
#include "platform/errors.h"
#include "platform/headless/headless_fs.h"
#include "platform/private_folder.h"
#include "rename/undo.h"
#include "rename/undo_history.h"
#include "rename/undo_record_text.h"

using platform::headless::HeadlessFileSystem;
using platform::headless::Op;
using renaming::HistoryRead;
using renaming::Mode;
using renaming::UndoRecord;

namespace {

// Records of every shape the file must keep: paths with tabs, line breaks, "%" and any script,
// places after the run at either path or elsewhere, identities and attributes known or not.
UndoRecord generatedRecord(std::mt19937& random)
{
    static const std::vector<std::string> paths = {"C:\\p\\a.jpg", "C:\\p\\tab\there.jpg", "C:\\p\\100%.jpg",
                                                   "C:\\p\\line\r\nbreak", "D:\\照片\\😀 Ελλάδα.jpg", "", "p"};
    auto pick = [&] { return paths[random() % paths.size()]; };
    auto identity = [&]() -> std::optional<platform::FileIdentity> {
        if (random() % 4 == 0)
            return std::nullopt;
        return platform::FileIdentity{random(), random() * 4294967296ull + random(), random(), random()};
    };
    UndoRecord r;
    r.mode = random() % 2 ? Mode::RenameInPlace : Mode::CopyToNewPath;
    const std::size_t entries = 1 + random() % 6;
    for (std::size_t i = 0; i < entries; ++i) {
        r.originals.push_back(pick());
        r.targets.push_back(pick());
        const unsigned place = random() % 3;
        r.after.push_back(place == 0 ? r.originals.back() : place == 1 ? r.targets.back() : pick() + "~");
        if (random() % 2)
            r.pairs.push_back({i, identity(), identity(), random() % 3 ? static_cast<std::uint32_t>(random() % 64)
                                                                        : platform::attr::invalid});
    }
    return r;
}

// The index names each run's counts and mode as its record holds them.
bool indexes(const renaming::HistoryRun& run, const UndoRecord& record)
{
    return run.mode == record.mode && run.entries == record.originals.size() && run.pairs == record.pairs.size();
}

// The record files in the private folder, temporaries included: what the history may delete.
std::vector<std::string> recordFiles(HeadlessFileSystem& fs)
{
    std::vector<std::string> names;
    for (const auto& entry : fs.filesIn(platform::privateFolderPath(fs)))
        if (entry.name.starts_with("ThumbUndo-") && !entry.name.ends_with(".bad"))
            names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> namedFiles(const renaming::History& history)
{
    std::vector<std::string> names;
    for (const auto& run : history.runs)
        names.push_back(run.file);
    if (history.undoing)
        names.push_back(history.undoing->file);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(UndoHistory, KeepsTheTenNewestRunsAndTheOneTakenOff)
{
    HeadlessFileSystem fs;
    const std::string path = renaming::undoHistoryPath(fs);
    // In the private folder, where only administrators write; never beside the program.
    EXPECT_EQ(path, platform::privateFolderPath(fs) + "ThumbUndo.db");
    std::mt19937 random(16);
    std::vector<UndoRecord> added;
    for (int i = 0; i < 13; ++i) {
        added.insert(added.begin(), generatedRecord(random));
        EXPECT_EQ(renaming::addToHistory(fs, path, added.front()).setAside, "");
        const auto read = renaming::readHistory(fs, path);
        EXPECT_EQ(read.setAside, "");
        ASSERT_EQ(read.history.runs.size(), std::min<std::size_t>(added.size(), renaming::historyLength));
        EXPECT_TRUE(std::equal(read.history.runs.begin(), read.history.runs.end(), added.begin(), indexes)) << i;
        // A record of its own for each run kept, and none for a run gone.
        EXPECT_EQ(recordFiles(fs), namedFiles(read.history)) << i;
    }
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(renaming::takeLatestForUndo(fs, path).record, added[i]);
        const auto read = renaming::undoingRecord(fs, path);
        EXPECT_EQ(read.record, added[i]);
        EXPECT_EQ(read.history.runs.size(), 9u - i);
        EXPECT_EQ(recordFiles(fs), namedFiles(read.history)) << i;
    }
    EXPECT_FALSE(renaming::takeLatestForUndo(fs, path).record);
    EXPECT_FALSE(fs.fileExists(path + ".tmp"));
}

// A file torn, cut or changed anywhere is set aside under a name of its own, unchanged, and
// nothing in it is taken off or undone.
TEST(UndoHistory, ADamagedFileIsSetAsideAndNeverActedOn)
{
    std::mt19937 random(61);
    for (int round = 0; round < 400; ++round) {
        HeadlessFileSystem fs;
        const std::string path = renaming::undoHistoryPath(fs);
        renaming::addToHistory(fs, path, generatedRecord(random));
        renaming::addToHistory(fs, path, generatedRecord(random));
        const std::string whole = fs.content(path);
        std::string damaged = whole;
        const std::size_t at = random() % whole.size();
        switch (random() % 4) {
        case 0: damaged.resize(at); break;
        case 1: damaged[at] = static_cast<char>(damaged[at] ^ (1 + random() % 255)); break;
        case 2: damaged.erase(at, 1 + random() % 20); break;
        case 3: damaged.insert(at, whole.substr(random() % whole.size(), 1 + random() % 30)); break;
        }
        if (damaged == whole)
            continue;
        fs.writeAll(path, damaged);
        if (round % 2)
            fs.writeAll(lists::folderPart(path) + "ThumbUndo.bad", "set aside before");
        const auto taken = renaming::takeLatestForUndo(fs, path);
        const std::string aside = round % 2 ? "ThumbUndo.bad2" : "ThumbUndo.bad";
        EXPECT_EQ(taken.setAside, aside) << round;
        EXPECT_FALSE(taken.record) << round;
        EXPECT_EQ(fs.content(lists::folderPart(path) + aside), damaged) << round;
        EXPECT_FALSE(fs.fileExists(path)) << round;
        EXPECT_EQ(renaming::historySetAsideNotice(taken.setAside),
                  "撤销记录已损坏，已改名为 " + aside + "，其中的执行不能再撤销。");
    }
}

// The plan a journal held for the run the record was made from.
renaming::RunPlan planOf(const UndoRecord& record)
{
    renaming::RunPlan plan;
    plan.mode = record.mode;
    for (std::size_t i = 0; i < record.originals.size(); ++i)
        plan.pairs.push_back({record.originals[i], record.targets[i]});
    plan.identities.resize(plan.pairs.size());
    for (const auto& p : record.pairs)
        plan.identities[p.index] = p.original;
    return plan;
}

// Every run the history offers, the one being undone first, each loaded from its record as an
// undo would load it; none may be set aside.
std::vector<UndoRecord> offered(HeadlessFileSystem fs)
{
    const std::string path = renaming::undoHistoryPath(fs);
    std::vector<UndoRecord> records;
    const HistoryRead undoing = renaming::undoingRecord(fs, path);
    EXPECT_EQ(undoing.setAside, "");
    if (undoing.record)
        records.push_back(*undoing.record);
    for (HistoryRead taken; (taken = renaming::takeLatestForUndo(fs, path)).record;)
        records.push_back(*taken.record);
    EXPECT_EQ(renaming::readHistory(fs, path).setAside, "");
    return records;
}

std::vector<UndoRecord> generatedRecords(std::mt19937& random, std::size_t n)
{
    std::vector<UndoRecord> records;
    for (std::size_t i = 0; i < n; ++i)
        records.push_back(generatedRecord(random));
    return records;
}

// The history as the version before wrote it: every record inside the one file.
std::string formerHistory(HeadlessFileSystem& fs, const std::vector<UndoRecord>& runs, const UndoRecord* undoing)
{
    std::string body = "nomerra-undo 1\t" + std::to_string(runs.size()) + "\t" + (undoing ? "1" : "0") + "\n";
    for (const auto& r : runs)
        body += renaming::records::recordText(r);
    if (undoing)
        body += renaming::records::recordText(*undoing);
    return renaming::records::closed(fs, body);
}

struct Killed {};

// One step of the history: how the history stands before it, the step, what the program does
// about it at its next start (the journal or the undoing left behind settled), and the runs it
// must offer then.
struct HistoryStep {
    const char* name;
    std::function<void(HeadlessFileSystem&, const std::string&)> before, step, settle;
    std::function<std::vector<UndoRecord>()> expected;
};

// A kill, or the system's failure, at each write, move, replacement and deletion of a step, one
// at a time: the history left reads whole, every record it names is there, no run is offered
// twice, and once the program has settled it offers the runs the step was to leave, and only the
// record files it names remain.
TEST(UndoHistory, AKillOrAFailureAtAnyFileOperationLosesNoRunAndOffersNoneTwice)
{
    std::mt19937 random(42);
    const auto runs = generatedRecords(random, renaming::historyLength);
    const UndoRecord added = generatedRecord(random), rest = generatedRecord(random);
    auto fullHistory = [&](HeadlessFileSystem& fs, const std::string& path) {
        for (auto r = runs.rbegin(); r != runs.rend(); ++r)
            renaming::addToHistory(fs, path, *r);
    };
    auto afterAdding = [&] {
        std::vector<UndoRecord> expected{added};
        expected.insert(expected.end(), runs.begin(), runs.end() - 1);
        return expected;
    };
    auto addAgain = [&](HeadlessFileSystem& fs, const std::string& path) {
        const auto plan = planOf(added);
        renaming::addToHistory(fs, path, added, &plan);
    };
    auto undoing = [&](HeadlessFileSystem& fs, const std::string& path) {
        fullHistory(fs, path);
        renaming::takeLatestForUndo(fs, path);
    };
    auto undoneWithRest = [&](HeadlessFileSystem& fs, const std::string& path) {
        if (renaming::readHistory(fs, path).history.undoing)
            renaming::endUndo(fs, path, true, rest);
    };
    auto nothingTakenBack = [](HeadlessFileSystem& fs, const std::string& path) {
        if (renaming::readHistory(fs, path).history.undoing)
            renaming::endUndo(fs, path, false);
    };
    const std::vector<HistoryStep> steps = {
        {"add", fullHistory, [&](auto& fs, auto& path) { renaming::addToHistory(fs, path, added); }, addAgain,
         afterAdding},
        {"add over the version before",
         [&](HeadlessFileSystem& fs, const std::string& path) {
             fs.writeAll(path, formerHistory(fs, {runs.begin(), runs.end()}, nullptr));
         },
         [&](auto& fs, auto& path) { renaming::addToHistory(fs, path, added); }, addAgain, afterAdding},
        {"take", fullHistory, [](auto& fs, auto& path) { renaming::takeLatestForUndo(fs, path); }, nothingTakenBack,
         [&] { return runs; }},
        {"undone", undoing, [&](auto& fs, auto& path) { renaming::endUndo(fs, path, true, rest); }, undoneWithRest,
         [&] {
             std::vector<UndoRecord> expected{rest};
             expected.insert(expected.end(), runs.begin() + 1, runs.end());
             return expected;
         }},
        {"nothing taken back", undoing, [](auto& fs, auto& path) { renaming::endUndo(fs, path, false); },
         nothingTakenBack, [&] { return runs; }},
    };
    for (const auto& s : steps) {
        HeadlessFileSystem prepared;
        const std::string path = renaming::undoHistoryPath(prepared);
        s.before(prepared, path);
        for (const bool kill : {true, false}) {
            bool reached = true;
            for (int k = 1; reached; ++k) {
                SCOPED_TRACE(std::string(s.name) + (kill ? " killed at " : " failing at ") + std::to_string(k));
                HeadlessFileSystem fs = prepared;
                int count = 0;
                reached = false;
                fs.fault = [&](Op op, const std::string&) -> std::uint32_t {
                    if ((op != Op::Write && op != Op::Move && op != Op::Replace && op != Op::Delete) || ++count != k)
                        return 0;
                    reached = true;
                    if (kill)
                        throw Killed{};
                    return platform::err::diskFull;
                };
                try {
                    s.step(fs, path);
                } catch (const Killed&) {
                } catch (const platform::IoError&) {
                    EXPECT_FALSE(kill);
                }
                fs.fault = nullptr;
                const auto left = offered(fs);
                for (std::size_t i = 0; i < left.size(); ++i)
                    EXPECT_EQ(std::count(left.begin(), left.end(), left[i]), 1) << i;
                s.settle(fs, path);
                EXPECT_EQ(offered(fs), s.expected());
                // What a kill left named by no index goes at the next write.
                const auto named = namedFiles(renaming::readHistory(fs, path).history);
                const auto files = recordFiles(fs);
                EXPECT_TRUE(std::includes(files.begin(), files.end(), named.begin(), named.end()));
                renaming::takeLatestForUndo(fs, path);
                renaming::endUndo(fs, path, false);
                EXPECT_EQ(recordFiles(fs), named);
                EXPECT_EQ(offered(fs), s.expected());
            }
        }
    }
}

// A record file cut, changed, lost or replaced by another whole one is set aside under a name of its
// own and its run dropped, whether an undo, a recovered undo or a recovered run reads it; the
// runs before it stay to undo.
TEST(UndoHistory, ADamagedRecordIsSetAsideAndItsRunDropped)
{
    std::mt19937 random(7);
    for (int round = 0; round < 120; ++round) {
        SCOPED_TRACE(round);
        HeadlessFileSystem fs;
        const std::string path = renaming::undoHistoryPath(fs);
        const std::string folder = lists::folderPart(path);
        const auto runs = generatedRecords(random, 3);
        for (auto r = runs.rbegin(); r != runs.rend(); ++r)
            renaming::addToHistory(fs, path, *r);
        const int reader = round % 3;  // 0: an undo, 1: a recovered undo, 2: a recovered run
        if (reader == 1)
            renaming::takeLatestForUndo(fs, path);
        const auto index = renaming::readHistory(fs, path).history;
        const std::string file = reader == 1 ? index.undoing->file : index.runs.front().file;
        const std::string whole = fs.content(folder + file);
        std::string damaged = whole;
        const std::size_t at = random() % whole.size();
        switch (random() % 5) {
        case 0: damaged.resize(at); break;
        case 1: damaged[at] = static_cast<char>(damaged[at] ^ (1 + random() % 255)); break;
        case 2: damaged.erase(at, 1 + random() % 20); break;
        case 3: {
            // Whole and closed by its own digest, but not the record the index names.
            UndoRecord other = runs.front();
            other.targets[at % other.targets.size()] += "~";
            damaged = renaming::records::closed(fs, renaming::records::recordText(other));
            break;
        }
        case 4: damaged.clear(); break;  // lost
        }
        if (damaged == whole)
            continue;
        if (damaged.empty())
            fs.deleteFile(folder + file);
        else
            fs.writeAll(folder + file, damaged);
        HistoryRead read;
        if (reader == 0) {
            read = renaming::takeLatestForUndo(fs, path);
        } else if (reader == 1) {
            read = renaming::undoingRecord(fs, path);
        } else {
            const auto plan = planOf(runs.front());
            read = renaming::addToHistory(fs, path, runs.front(), &plan);
        }
        const std::string aside = damaged.empty() ? file : file.substr(0, file.size() - 3) + ".bad";
        EXPECT_EQ(read.setAside, aside);
        EXPECT_FALSE(read.record);
        if (!damaged.empty()) {
            EXPECT_EQ(fs.content(folder + aside), damaged);
        }
        EXPECT_EQ(renaming::historySetAsideNotice(read.setAside),
                  damaged.empty() ? "撤销记录已损坏，其中的执行不能再撤销。"
                                  : "撤销记录已损坏，已改名为 " + aside + "，其中的执行不能再撤销。");
        // Never named again; the runs before it are still offered, the recovered run beside them.
        EXPECT_EQ(recordFiles(fs), namedFiles(renaming::readHistory(fs, path).history));
        std::vector<UndoRecord> expected(runs.begin() + 1, runs.end());
        if (reader == 2)
            expected.insert(expected.begin(), runs.front());
        EXPECT_EQ(offered(fs), expected);
    }
}

// A history the version before wrote, a run being undone in it, is read as it was; the next
// write puts each record into a file of its own and the index in the new form.
TEST(UndoHistory, AHistoryOfTheVersionBeforeIsReadAndWrittenAnew)
{
    std::mt19937 random(3);
    HeadlessFileSystem fs;
    const std::string path = renaming::undoHistoryPath(fs);
    const auto runs = generatedRecords(random, 3);
    const UndoRecord undoing = generatedRecord(random), added = generatedRecord(random);
    fs.writeAll(path, formerHistory(fs, runs, &undoing));
    const auto read = renaming::readHistory(fs, path);
    EXPECT_EQ(read.setAside, "");
    ASSERT_EQ(read.history.runs.size(), runs.size());
    EXPECT_TRUE(std::equal(runs.begin(), runs.end(), read.history.runs.begin(),
                           [](const UndoRecord& r, const renaming::HistoryRun& run) { return indexes(run, r); }));
    EXPECT_EQ(renaming::undoingRecord(fs, path).record, undoing);
    EXPECT_TRUE(recordFiles(fs).empty());

    renaming::addToHistory(fs, path, added);
    EXPECT_EQ(fs.content(path).rfind("nomerra-undo 2\t4\t1\n", 0), 0u);
    const auto written = renaming::readHistory(fs, path).history;
    EXPECT_EQ(recordFiles(fs), namedFiles(written));
    EXPECT_EQ(recordFiles(fs).size(), 5u);
    std::vector<UndoRecord> expected{undoing, added};
    expected.insert(expected.end(), runs.begin(), runs.end());
    EXPECT_EQ(offered(fs), expected);
}

// Record files a kill left behind, named by no index, go at the next write; other files of the
// folder stay, and the new record takes a number none of them has.
TEST(UndoHistory, RecordFilesNoIndexNamesGoAtTheNextWrite)
{
    std::mt19937 random(5);
    HeadlessFileSystem fs;
    const std::string path = renaming::undoHistoryPath(fs);
    const std::string folder = lists::folderPart(path);
    const UndoRecord kept = generatedRecord(random), added = generatedRecord(random);
    renaming::addToHistory(fs, path, kept);
    const std::vector<std::string> orphans = {"ThumbUndo-77.db", "ThumbUndo-78.db.tmp"};
    const std::vector<std::string> others = {"ThumbUndo-79.bad", "ThumbUndo-080.db", "ThumbUndo-x.db",
                                             "ThumbUndo-81", "ThumbRun.db", "ThumbUndo.bad"};
    for (const auto& name : orphans)
        fs.writeAll(folder + name, "left by a kill");
    for (const auto& name : others)
        fs.writeAll(folder + name, "not a record");
    const auto written = renaming::addToHistory(fs, path, added).history;
    for (const auto& name : orphans)
        EXPECT_FALSE(fs.fileExists(folder + name)) << name;
    for (const auto& name : others)
        EXPECT_EQ(fs.content(folder + name), "not a record") << name;
    EXPECT_GT(std::stoul(written.runs.front().file.substr(10)), 81u);
    EXPECT_EQ(offered(fs), (std::vector<UndoRecord>{added, kept}));
}

}  // namespace
