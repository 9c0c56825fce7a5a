// Renames that are ready together go at once; what the system refuses to do in one call (a move
// to another volume) is then done file by file, and a run still stops between those as it would
// between pairs one after the other.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generated_runs.h"
#include "lists/path_parts.h"

using namespace generated;

namespace {

// Three files on C: that go to D:, each ready from the start.
std::vector<Pair> toAnotherVolume(HeadlessFileSystem& fs)
{
    fs.addFolder("C:\\p\\");
    fs.addFolder("D:\\r\\");
    std::vector<Pair> pairs;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        fs.addFile(std::string("C:\\p\\") + name, name);
        pairs.push_back({std::string("C:\\p\\") + name, std::string("D:\\r\\") + name});
    }
    return pairs;
}

// Once the journal could not hear of the first copy, no file is copied any more: the journal no
// longer follows the run.
TEST(MovesAtOnce, NoCopyToAnotherVolumeFollowsAFailedJournal)
{
    HeadlessFileSystem fs;
    const std::vector<Pair> pairs = toAnotherVolume(fs);
    renaming::RunJournal journal(fs, journalPath, Mode::RenameInPlace, pairs);
    bool journalFailed = false;
    std::vector<std::string> copiedAfter;
    fs.fault = [&](Op op, const std::string& path) -> std::uint32_t {
        if (journalFailed && op == Op::Copy)
            copiedAfter.push_back(path);
        if (op == Op::Append && !journalFailed) {
            journalFailed = true;
            return platform::err::diskFull;
        }
        return 0;
    };
    const auto r = renaming::execute(fs, pairs, Mode::RenameInPlace, platform::attr::archive, &journal);
    EXPECT_TRUE(journal.broken());
    EXPECT_TRUE(copiedAfter.empty()) << copiedAfter.front();
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        EXPECT_EQ(r[i].outcome, Outcome::SystemError) << i;
        EXPECT_EQ(r[i].at, pairs[i].from) << i;
        EXPECT_EQ(fs.content(pairs[i].from), lists::namePart(pairs[i].from)) << i;
    }
}

// Each copy to another volume is a pair's turn of its own: the window hears of its file, and a
// stop answered before it leaves that file and every later one where it is.
TEST(MovesAtOnce, EachCopyToAnotherVolumeIsATurnOfItsOwn)
{
    for (const std::size_t k : {1u, 2u, 3u, 99u}) {
        const std::string trace = "stopped from question " + std::to_string(k);
        HeadlessFileSystem fs;
        const std::vector<Pair> pairs = toAnotherVolume(fs);
        StopAt stop(k);
        std::vector<std::string> heardAtCopy;
        std::size_t copiesAfterStop = 0;
        fs.fault = [&](Op op, const std::string&) -> std::uint32_t {
            if (op == Op::Copy) {
                heardAtCopy.push_back(stop.last);
                copiesAfterStop += stop.stopped;
            }
            return 0;
        };
        const auto r = renaming::execute(fs, pairs, Mode::RenameInPlace, platform::attr::archive, nullptr, &stop);
        EXPECT_EQ(copiesAfterStop, 0u) << trace;
        std::vector<std::string> copied;
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            EXPECT_EQ(fs.content(r[i].at), lists::namePart(pairs[i].from)) << trace << ", pair " << i;
            if (r[i].outcome == Outcome::Done)
                copied.push_back(pairs[i].from);
            else
                EXPECT_EQ(r[i].outcome, Outcome::Stopped) << trace << ", pair " << i;
        }
        EXPECT_EQ(heardAtCopy, copied) << trace;
        EXPECT_EQ(copied.size() == pairs.size(), k == 99u) << trace;
    }
}

}  // namespace
