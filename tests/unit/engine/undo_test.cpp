// The undo of a copy run, a journal of the version before, and the undo's texts.
#include <gtest/gtest.h>

#include "platform/headless/headless_fs.h"
#include "rename/journal.h"
#include "rename/undo.h"
#include "generated_runs.h"

using platform::headless::HeadlessFileSystem;
using renaming::Mode;
using renaming::UndoRecord;

namespace {

const char* const journalPath = "C:\\nomerra\\ThumbRun.db";

// The record of a copy run of the pairs, journaled as the program runs it.
std::optional<UndoRecord> copied(HeadlessFileSystem& fs, const std::vector<renaming::Pair>& pairs)
{
    renaming::RunJournal journal(fs, journalPath, Mode::CopyToNewPath, pairs);
    const auto results = renaming::execute(fs, pairs, Mode::CopyToNewPath, platform::attr::archive, &journal);
    return renaming::recordAfterRun(fs, Mode::CopyToNewPath, pairs, journal, results, generated::placesAfter(results));
}

// Copies unchanged since the run go to the Recycle Bin, read-only or not; an edited copy, one
// whose original is gone or smaller, one put in its place and one deleted stay and are named.
TEST(Undo, RemovesOnlyCopiesAsTheRunMadeThemWhoseOriginalIsThere)
{
    HeadlessFileSystem fs;
    const std::vector<std::string> names = {"kept", "readonly", "edited", "gone", "shrunk", "replaced", "deleted"};
    std::vector<renaming::Pair> pairs;
    for (const auto& name : names) {
        fs.addFile("C:\\in\\" + name + ".jpg", "content of " + name);
        pairs.push_back({"C:\\in\\" + name + ".jpg", "D:\\out\\" + name + ".jpg"});
    }
    fs.addFolder("D:\\out");
    const std::optional<UndoRecord> record = copied(fs, pairs);
    ASSERT_TRUE(record);
    fs.setAttributes("D:\\out\\readonly.jpg", platform::attr::readOnly);
    fs.writeAll("D:\\out\\edited.jpg", "edited");
    fs.deleteFile("C:\\in\\gone.jpg");
    fs.writeAll("C:\\in\\shrunk.jpg", "less");
    fs.deleteFile("D:\\out\\replaced.jpg");
    fs.writeAll("D:\\out\\replaced.jpg", "content of replaced");
    fs.deleteFile("D:\\out\\deleted.jpg");

    EXPECT_EQ(renaming::undoQuestion(record->mode, record->pairs.size()), "确定要撤销上次执行吗？\r将删除上次复制出的 7 个文件。");
    const auto result = renaming::undo(fs, *record, journalPath);
    using Recycled = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(fs.recycled, (Recycled{{"D:\\out\\kept.jpg", "content of kept"},
                                     {"D:\\out\\readonly.jpg", "content of readonly"}}));
    EXPECT_EQ(result.where, (std::vector<std::string>{"C:\\in\\kept.jpg", "C:\\in\\readonly.jpg", "D:\\out\\edited.jpg",
                                                      "D:\\out\\gone.jpg", "D:\\out\\shrunk.jpg",
                                                      "D:\\out\\replaced.jpg", "D:\\out\\deleted.jpg"}));
    EXPECT_EQ(renaming::undoNotice(result),
              "撤销完成，5 个文件未处理："
              "\rD:\\out\\edited.jpg → C:\\in\\edited.jpg（复制出的文件已被修改，未删除）"
              "\rD:\\out\\gone.jpg → C:\\in\\gone.jpg（原文件已不存在，复制出的文件保留）"
              "\rD:\\out\\shrunk.jpg → C:\\in\\shrunk.jpg（原文件已不存在，复制出的文件保留）"
              "\rD:\\out\\replaced.jpg → C:\\in\\replaced.jpg（文件已不是上次改名的文件）"
              "\rD:\\out\\deleted.jpg → C:\\in\\deleted.jpg（文件不存在）");
    EXPECT_EQ(fs.content("D:\\out\\edited.jpg"), "edited");
}

// A copy is removed only while the very file it was copied from is there: another file of the same
// size put at the original's path (with the volume's bin not at hand, the copy would be deleted for
// good) keeps the copy, and the notice names it.
TEST(Undo, KeepsACopyWhoseOriginalWasReplacedByAnotherFileOfItsSize)
{
    HeadlessFileSystem fs;
    const std::vector<renaming::Pair> pairs = {{"C:\\in\\a.jpg", "D:\\out\\a.jpg"}};
    fs.addFile(pairs[0].from, "original");
    fs.addFolder("D:\\out");
    const std::optional<UndoRecord> record = copied(fs, pairs);
    ASSERT_TRUE(record);
    fs.deleteFile(pairs[0].from);
    fs.addFile(pairs[0].from, "stranger");
    const auto result = renaming::undo(fs, *record, journalPath);
    EXPECT_TRUE(fs.recycled.empty());
    EXPECT_EQ(fs.content(pairs[0].to), "original");
    EXPECT_EQ(renaming::undoNotice(result),
              "撤销完成，1 个文件未处理：\rD:\\out\\a.jpg → C:\\in\\a.jpg（原文件已不存在，复制出的文件保留）");
}

// A journal the version before left (no attributes in its plan) is recovered, and its run undone
// with each file's attributes left as they are; a run whose journal records them gets them back.
TEST(Undo, GivesAttributesBackWhereTheJournalRecordedThem)
{
    for (const bool recorded : {true, false}) {
        SCOPED_TRACE(recorded);
        HeadlessFileSystem fs;
        fs.addFile("C:\\p\\a.jpg", "A", platform::attr::readOnly | platform::attr::hidden);
        const auto id = *fs.identity("C:\\p\\a.jpg");
        fs.moveFile("C:\\p\\a.jpg", "C:\\p\\b.jpg");
        fs.setAttributes("C:\\p\\b.jpg", platform::attr::system);
        const std::string pair = "C:\\p\\a.jpg\tC:\\p\\b.jpg\t" + std::to_string(id.volume) + ":" +
                                 std::to_string(id.file) + ":1:" + std::to_string(id.written);
        fs.writeAll(journalPath, recorded ? "nomerra-run 3\trename\t1\trun\n" + pair + "\t3\n"
                                          : "nomerra-run 2\trename\t1\n" + pair + "\n");
        const auto recovered = renaming::recover(fs, journalPath);
        ASSERT_TRUE(recovered);
        const auto record = renaming::recordAfterRecovery(fs, *recovered);
        ASSERT_TRUE(record);
        fs.deleteFile(journalPath);
        EXPECT_EQ(renaming::undoQuestion(record->mode, record->pairs.size()), "确定要撤销上次执行吗？\r将把 1 个文件改回原名。");
        const auto result = renaming::undo(fs, *record, journalPath);
        EXPECT_EQ(renaming::undoNotice(result), "撤销成功!");
        EXPECT_EQ(result.where, std::vector<std::string>{"C:\\p\\a.jpg"});
        EXPECT_EQ(fs.content("C:\\p\\a.jpg"), "A");
        EXPECT_EQ(fs.attributes("C:\\p\\a.jpg"), recorded ? 3u : platform::attr::system);
    }
}

TEST(Undo, TheNoticeNamesTenFilesThenAnEllipsis)
{
    renaming::UndoResult result;
    for (std::size_t i = 0; i < 12; ++i)
        result.left.push_back({i, "C:\\n\\" + std::to_string(i), "C:\\o\\" + std::to_string(i), "已停止"});
    result.left[0].at = std::string("C:\\n\\\x01", 6);  // a control character is shown, not sent
    std::string lines;
    for (std::size_t i = 1; i < 10; ++i)
        lines += "\rC:\\n\\" + std::to_string(i) + " → C:\\o\\" + std::to_string(i) + "（已停止）";
    EXPECT_EQ(renaming::undoNotice(result),
              "撤销完成，12 个文件未处理：\rC:\\n\\\u2401 → C:\\o\\0（已停止）" + lines + "\r……");
}

}  // namespace
