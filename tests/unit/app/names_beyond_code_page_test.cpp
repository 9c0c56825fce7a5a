// Names the system's code page cannot hold travel through a run, its journal and its recovery
// exactly as through the lists.
#include <gtest/gtest.h>

#include "harness.h"
#include "lists/path_parts.h"
#include "rename/execute.h"
#include "rename/journal.h"
#include "rename/undo_history.h"

using lists::ListFile;
using lists::ListPair;
using platform::headless::Op;
using renaming::Mode;
using renaming::Pair;
using test::Harness;
using Lines = std::vector<std::string>;

namespace {

std::string emojis(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "\xF0\x9F\x98\x80";
    return text;
}

const Lines originals{"C:\\p\\노래 01.mp3", "C:\\p\\\xF0\x9F\x98\x80 smile.jpg", "C:\\p\\Ελλάδα.txt", "C:\\사진\\照片.jpg"};
// A swap and a chain, so that a run parks files under temporary names; the last name is 255
// UTF-16 units long.
const Lines targets{"C:\\p\\\xF0\x9F\x98\x80 smile.jpg", "C:\\p\\노래 01.mp3", "C:\\p\\Ørsted.txt",
                    "C:\\사진\\" + emojis(125) + "a.jpg"};

Lines names(const Lines& paths)
{
    Lines out;
    for (const auto& p : paths)
        out.push_back(lists::namePart(p));
    return out;
}

struct Killed {};

// A run killed before each of its file operations in turn, then started again: the lists, the
// views and the notice hold the names exactly, and Execute finishes the run.
TEST(NamesBeyondTheCodePage, SurviveAKilledRunItsRecoveryAndTheRestOfTheRun)
{
    int killedAt = 1;
    for (;; ++killedAt) {
        SCOPED_TRACE("killed before file operation " + std::to_string(killedAt));
        bool killed = false;
        Harness h([&](Harness& earlier) {
            for (const auto& p : originals)
                earlier.fs.addFile(p, p);
            earlier.writeLists(originals, targets);
            std::vector<Pair> pairs;
            for (std::size_t i = 0; i < originals.size(); ++i)
                pairs.push_back({originals[i], targets[i]});
            int operations = 0;
            earlier.fs.fault = [&](Op op, const std::string&) -> std::uint32_t {
                if ((op == Op::Move || op == Op::SetAttributes) && ++operations == killedAt) {
                    killed = true;
                    throw Killed{};
                }
                return 0;
            };
            try {
                renaming::RunJournal journal(earlier.fs, earlier.form.store().journalPath(), Mode::RenameInPlace,
                                             pairs);
                renaming::execute(earlier.fs, pairs, Mode::RenameInPlace, platform::attr::archive, &journal);
            } catch (const Killed&) {
            }
            earlier.fs.fault = nullptr;
        });
        if (!killed)
            break;
        const Lines shown = h.takeShown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_TRUE(shown[0].starts_with("上次执行未完成，已恢复：")) << shown[0];
        // Every file is where the original list says, under a name the list holds exactly: its
        // own, its new one, or a temporary one that the notice names when its own was taken.
        const Lines where = h.form.store().read(ListFile::OriginalPaths);
        ASSERT_EQ(where.size(), originals.size());
        for (std::size_t i = 0; i < where.size(); ++i) {
            EXPECT_TRUE(where[i] == originals[i] || where[i] == targets[i] ||
                        shown[0].find("\r" + where[i]) != std::string::npos)
                << where[i];
            EXPECT_EQ(h.fs.content(where[i]), originals[i]);
        }
        EXPECT_EQ(h.form.store().read(ListFile::OriginalNames), names(where));
        EXPECT_EQ(h.form.mmOriginal.text(), lists::joinLines(names(where)));
        EXPECT_EQ(h.form.mmRenamed.text(), lists::joinLines(names(targets)));

        h.form.n_run.choose();
        for (std::size_t i = 0; i < targets.size(); ++i)
            EXPECT_EQ(h.fs.content(targets[i]), originals[i]);
        EXPECT_EQ(h.form.store().read(ListFile::OriginalPaths), targets);
        // The files, the four lists and their record, the index of the runs to undo and each run's record.
        const auto undoable = renaming::readHistory(h.fs, renaming::undoHistoryPath(h.fs)).history.runs.size();
        EXPECT_EQ(h.fs.files().size(), targets.size() + 6u + undoable);
    }
    EXPECT_GE(killedAt, 6);  // a swap (park, move, move back), a move, a move: every one killed
}

// One unit more than a name may have is refused, with the name shown whole in the question.
TEST(NamesBeyondTheCodePage, ANameOver255Utf16UnitsStaysInvalid)
{
    Harness h;
    const Lines from{"C:\\p\\a.jpg", "C:\\p\\b.jpg"};
    for (const auto& p : from)
        h.fs.addFile(p, p);
    const std::string longest = emojis(127) + "a", tooLong = emojis(128);
    h.writeLists(from, {"C:\\p\\" + longest, "C:\\p\\" + tooLong});
    h.form.n_run.choose();
    EXPECT_EQ(h.takeShown(), Lines{"执行完成，1 个文件未处理：\rC:\\p\\b.jpg → C:\\p\\" + tooLong +
                                   "（文件名无效）\r是否打开目录查看 C:\\p\\"});
    EXPECT_EQ(h.fs.content("C:\\p\\" + longest), "C:\\p\\a.jpg");
    EXPECT_EQ(h.form.store().read(ListFile::OriginalPaths), (Lines{"C:\\p\\" + longest, "C:\\p\\b.jpg"}));
    EXPECT_EQ(h.form.mmOriginal.text(), longest + "\r\nb.jpg\r\n");
}

}  // namespace
