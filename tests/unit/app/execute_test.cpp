#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <stdexcept>
#include <utility>

#include "app/control_ids.h"
#include "harness.h"
#include "platform/private_folder.h"
#include "rename/execute.h"
#include "rename/journal.h"
#include "rename/undo_history.h"

using lists::ListFile;
using platform::attr::archive;
using platform::headless::Op;
using renaming::Mode;
using renaming::Outcome;
using renaming::Pair;
using test::Harness;
using test::user;

namespace {

// Every file's content on the volume, sorted: a run may move content, never lose it.
std::vector<std::string> contents(platform::headless::HeadlessFileSystem& fs)
{
    std::vector<std::string> all;
    for (const auto& f : fs.files())
        all.push_back(fs.content(f));
    std::sort(all.begin(), all.end());
    return all;
}

class Executor : public testing::Test {
protected:
    platform::headless::HeadlessFileSystem fs;
    std::vector<renaming::PairResult> run(const std::vector<Pair>& pairs, Mode mode = Mode::RenameInPlace,
                                          std::uint32_t attributes = archive)
    {
        return renaming::execute(fs, pairs, mode, attributes, nullptr);
    }
    void files(std::initializer_list<const char*> paths)
    {
        for (const char* p : paths)
            fs.addFile(p, std::string("content of ") + p);
    }
};

std::vector<Outcome> outcomes(const std::vector<renaming::PairResult>& results)
{
    std::vector<Outcome> o;
    for (const auto& r : results)
        o.push_back(r.outcome);
    return o;
}

long countDone(const std::vector<renaming::PairResult>& results)
{
    return std::count_if(results.begin(), results.end(), [](const auto& r) { return r.outcome == Outcome::Done; });
}

TEST_F(Executor, AChainRunsFromItsEnd)
{
    files({"C:\\p\\photo001.jpg", "C:\\p\\photo002.jpg"});
    auto r = run({{"C:\\p\\photo001.jpg", "C:\\p\\photo002.jpg"}, {"C:\\p\\photo002.jpg", "C:\\p\\photo003.jpg"}});
    EXPECT_EQ(outcomes(r), (std::vector<Outcome>{Outcome::Done, Outcome::Done}));
    EXPECT_EQ(fs.content("C:\\p\\photo002.jpg"), "content of C:\\p\\photo001.jpg");
    EXPECT_EQ(fs.content("C:\\p\\photo003.jpg"), "content of C:\\p\\photo002.jpg");
    EXPECT_FALSE(fs.fileExists("C:\\p\\photo001.jpg"));
}

TEST_F(Executor, ASwapAndACycleOfThreePassThroughATemporaryName)
{
    files({"C:\\p\\a", "C:\\p\\b", "C:\\q\\x", "C:\\q\\y", "C:\\q\\z"});
    auto r = run({{"C:\\p\\a", "C:\\p\\b"}, {"C:\\p\\b", "C:\\p\\a"}, {"C:\\q\\x", "C:\\q\\y"},
                  {"C:\\q\\y", "C:\\q\\z"}, {"C:\\q\\z", "C:\\q\\x"}});
    EXPECT_EQ(countDone(r), 5);
    EXPECT_EQ(fs.content("C:\\p\\b"), "content of C:\\p\\a");
    EXPECT_EQ(fs.content("C:\\p\\a"), "content of C:\\p\\b");
    EXPECT_EQ(fs.content("C:\\q\\y"), "content of C:\\q\\x");
    EXPECT_EQ(fs.content("C:\\q\\z"), "content of C:\\q\\y");
    EXPECT_EQ(fs.content("C:\\q\\x"), "content of C:\\q\\z");
    EXPECT_EQ(fs.files().size(), 5u);  // no temporary name left behind
}

TEST_F(Executor, NoFileIsReplacedAtAnyMoment)
{
    files({"C:\\p\\a", "C:\\p\\b", "C:\\p\\c"});
    const auto before = contents(fs);
    // Every move is checked against the volume as it stands at that moment.
    fs.fault = [&](Op op, const std::string&) {
        EXPECT_NE(op, Op::Copy);
        return 0u;
    };
    run({{"C:\\p\\a", "C:\\p\\b"}, {"C:\\p\\b", "C:\\p\\c"}, {"C:\\p\\c", "C:\\p\\a"}});
    EXPECT_EQ(contents(fs), before);
}

TEST_F(Executor, OfTwoPairsWithOneNewPathTheFirstWins)
{
    files({"C:\\p\\a", "C:\\p\\b"});
    auto r = run({{"C:\\p\\a", "C:\\p\\x"}, {"C:\\p\\b", "C:\\P\\X"}});
    EXPECT_EQ(outcomes(r), (std::vector<Outcome>{Outcome::Done, Outcome::TargetExists}));
    EXPECT_EQ(fs.content("C:\\p\\x"), "content of C:\\p\\a");
    EXPECT_TRUE(fs.fileExists("C:\\p\\b"));
}

TEST_F(Executor, ACaseOnlyRenameSucceeds)
{
    files({"C:\\p\\a.JPG"});
    auto r = run({{"C:\\p\\a.JPG", "C:\\p\\a.jpg"}});
    EXPECT_EQ(r[0].outcome, Outcome::Done);
    EXPECT_EQ(fs.files(), std::vector<std::string>{"C:\\p\\a.jpg"});
}

TEST_F(Executor, AFileListedTwiceMovesOnceInPlaceAndIsCopiedTwice)
{
    files({"C:\\p\\a.jpg", "C:\\p\\é.jpg"});
    const std::vector<Pair> pairs = {{"C:\\p\\a.jpg", "C:\\p\\1.jpg"}, {"C:\\P\\A.JPG", "C:\\p\\2.jpg"},
                                     {"C:\\p\\é.jpg", "C:\\p\\3.jpg"}, {"C:\\p\\É.JPG", "C:\\p\\4.jpg"}};
    auto r = run(pairs);
    EXPECT_EQ(outcomes(r), (std::vector<Outcome>{Outcome::Done, Outcome::DuplicateSource, Outcome::Done,
                                                 Outcome::DuplicateSource}));
    EXPECT_EQ(r[1].at, "C:\\p\\1.jpg");  // where the file really is
    EXPECT_EQ(fs.files().size(), 2u);
    r = run({{"C:\\p\\1.jpg", "C:\\p\\x.jpg"}, {"C:\\p\\1.JPG", "C:\\p\\y.jpg"}}, Mode::CopyToNewPath);
    EXPECT_EQ(countDone(r), 2);
}

TEST_F(Executor, ASpellingTheVolumeDoesNotKeepIsReported)
{
    files({"C:\\p\\photo.jpg"});
    fs.upperCaseNames = true;
    auto r = run({{"C:\\p\\photo.jpg", "C:\\p\\Photo.jpg"}});
    EXPECT_EQ(r[0].outcome, Outcome::CaseNotKept);
    EXPECT_EQ(fs.files().size(), 1u);
    EXPECT_TRUE(fs.fileExists(r[0].at));
}

TEST_F(Executor, InPlaceToAnotherVolumeCopiesAndRemovesWithoutReplacing)
{
    files({"C:\\p\\a.jpg", "C:\\p\\b.jpg", "D:\\out\\b.jpg"});
    auto r = run({{"C:\\p\\a.jpg", "D:\\out\\a.jpg"}, {"C:\\p\\b.jpg", "D:\\out\\b.jpg"}});
    EXPECT_EQ(outcomes(r), (std::vector<Outcome>{Outcome::Done, Outcome::TargetExists}));
    EXPECT_EQ(fs.content("D:\\out\\a.jpg"), "content of C:\\p\\a.jpg");
    EXPECT_EQ(fs.content("D:\\out\\b.jpg"), "content of D:\\out\\b.jpg");
    EXPECT_EQ(fs.files(), (std::vector<std::string>{"C:\\p\\b.jpg", "D:\\out\\a.jpg", "D:\\out\\b.jpg"}));
}

// Another program writes to the original while it is copied to the other drive (a recording
// still growing, an editor saving): removing it would lose what the copy lacks, so it stays, the
// copy goes, and the pair is reported as not carried out.
TEST_F(Executor, AnOriginalWrittenToDuringItsCopyIsNotRemoved)
{
    files({"C:\\p\\a.jpg"});
    fs.addFolder("D:\\out");
    bool saved = false;
    fs.fault = [&](Op op, const std::string& path) {
        if (op == Op::Flush && path == "D:\\out\\a.jpg" && !std::exchange(saved, true))
            fs.writeAll("C:\\p\\a.jpg", "saved again");  // once the copy is whole
        return 0u;
    };
    auto r = run({{"C:\\p\\a.jpg", "D:\\out\\a.jpg"}});
    EXPECT_EQ(fs.content("C:\\p\\a.jpg"), "saved again");
    EXPECT_EQ(r[0].outcome, Outcome::SystemError);
    EXPECT_EQ(r[0].at, "C:\\p\\a.jpg");
    EXPECT_FALSE(fs.fileExists("D:\\out\\a.jpg"));
}

TEST_F(Executor, AFailedParkingReportsTheSystemsOwnCode)
{
    files({"C:\\p\\a", "C:\\p\\b"});
    fs.fault = [](Op op, const std::string&) { return op == Op::Move ? platform::err::sharingViolation : 0u; };
    auto r = run({{"C:\\p\\a", "C:\\p\\b"}, {"C:\\p\\b", "C:\\p\\a"}});
    EXPECT_EQ(r[0].code, platform::err::sharingViolation);
}

TEST_F(Executor, AnUnrelatedFileAtTheNewPathSurvivesInBothModes)
{
    for (Mode mode : {Mode::RenameInPlace, Mode::CopyToNewPath}) {
        platform::headless::HeadlessFileSystem fresh;
        fs = std::move(fresh);
        files({"C:\\p\\a", "C:\\out\\a2"});
        fs.setAttributes("C:\\p\\a", platform::attr::readOnly);
        auto r = run({{"C:\\p\\a", "C:\\out\\a2"}}, mode, platform::attr::hidden);
        EXPECT_EQ(r[0].outcome, Outcome::TargetExists);
        EXPECT_EQ(r[0].at, "C:\\p\\a");
        EXPECT_EQ(fs.content("C:\\out\\a2"), "content of C:\\out\\a2");
        EXPECT_EQ(fs.attributes("C:\\out\\a2"), archive);
        EXPECT_EQ(fs.attributes("C:\\p\\a"), platform::attr::readOnly);  // not attempted, not touched
    }
}

TEST_F(Executor, RefusedNewNames)
{
    files({"C:\\p\\a"});
    const std::string longName(256, 'n');
    for (std::string bad : {"C:\\p\\", "C:\\p\\a:b", "C:\\p\\a?", "C:\\p\\x.", "C:\\p\\x ", "C:\\p\\a\tb",
                            "C:\\p\\<a>", "C:\\p\\a|b", "C:\\p\\a\"", "C:\\p\\a*", "C:\\p\\a/b",
                            // devices, whatever follows the first dot and however spelt
                            "C:\\p\\NUL.txt", "C:\\p\\con.jpg", "C:\\p\\Aux  .a.b", "C:\\p\\prn", "C:\\p\\COM1",
                            "C:\\p\\lpt9.log", "C:\\p\\com\u00B9.txt", "C:\\p\\LPT\u00B3"}) {
        EXPECT_FALSE(renaming::isValidNamePart(bad)) << bad;
        EXPECT_EQ(run({{"C:\\p\\a", bad}})[0].outcome, Outcome::InvalidName) << bad;
    }
    EXPECT_FALSE(renaming::isValidNamePart("C:\\p\\" + longName));
    EXPECT_TRUE(renaming::isValidNamePart("C:\\p\\" + longName.substr(1)));
    EXPECT_TRUE(renaming::isValidNamePart("C:\\p\\淺 .jpg"));
    for (const char* fine : {"C:\\p\\CONSOLE.txt", "C:\\p\\COM0", "C:\\p\\nul1.jpg", "C:\\p\\x.con"})
        EXPECT_TRUE(renaming::isValidNamePart(fine)) << fine;
    // The limit counts UTF-16 units: a character beyond the basic plane takes two.
    std::string emoji;
    for (int k = 0; k < 127; ++k)
        emoji += "\U0001F600";
    EXPECT_TRUE(renaming::isValidNamePart("C:\\p\\" + emoji + "a"));
    EXPECT_FALSE(renaming::isValidNamePart("C:\\p\\" + emoji + "ab"));
    EXPECT_EQ(fs.files(), std::vector<std::string>{"C:\\p\\a"});
}

TEST_F(Executor, MissingSourcesAndFolders)
{
    files({"C:\\p\\a", "C:\\p\\b"});
    auto r = run({{"C:\\p\\gone", "C:\\p\\x"}, {"C:\\p\\a", "C:\\nofolder\\a"}, {"C:\\p\\b", "C:\\p\\b2"}},
                 Mode::CopyToNewPath);
    EXPECT_EQ(outcomes(r), (std::vector<Outcome>{Outcome::SourceMissing, Outcome::TargetFolderMissing, Outcome::Done}));
    EXPECT_FALSE(fs.folderExists("C:\\nofolder"));
    EXPECT_EQ(fs.content("C:\\p\\b2"), fs.content("C:\\p\\b"));
}

struct Fault {
    Op op;
    std::uint32_t code;
    Mode mode;
};

class Faults : public testing::TestWithParam<Fault> {};

TEST_P(Faults, AFailedPairLosesNothingAndKeepsItsAttributes)
{
    platform::headless::HeadlessFileSystem fs;
    fs.addFile("C:\\p\\a", "A", platform::attr::readOnly | platform::attr::archive);
    fs.addFile("C:\\p\\b", "B");
    const auto before = contents(fs);
    int seen = 0;  // pair a goes first: its operation of the kind is the first one
    fs.fault = [&](Op op, const std::string&) { return op == GetParam().op && seen++ == 0 ? GetParam().code : 0u; };
    auto r = renaming::execute(fs, {{"C:\\p\\a", "C:\\p\\a2"}, {"C:\\p\\b", "C:\\p\\b2"}}, GetParam().mode,
                               platform::attr::hidden, nullptr);
    EXPECT_EQ(r[0].outcome, Outcome::SystemError);
    EXPECT_EQ(r[0].code, GetParam().code);
    EXPECT_EQ(r[1].outcome, Outcome::Done);
    EXPECT_EQ(fs.content("C:\\p\\a"), "A");
    EXPECT_EQ(fs.attributes("C:\\p\\a"), platform::attr::readOnly | platform::attr::archive);
    EXPECT_FALSE(fs.fileExists("C:\\p\\a2"));
    EXPECT_EQ(fs.attributes("C:\\p\\b2"), platform::attr::hidden);
    auto after = contents(fs);
    if (GetParam().mode == Mode::CopyToNewPath)
        after.erase(std::find(after.begin(), after.end(), "B"));
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(Cases, Faults,
                         testing::Values(Fault{Op::Move, platform::err::accessDenied, Mode::RenameInPlace},
                                         Fault{Op::Move, platform::err::sharingViolation, Mode::RenameInPlace},
                                         Fault{Op::Copy, platform::err::diskFull, Mode::CopyToNewPath},
                                         Fault{Op::Copy, platform::err::sharingViolation, Mode::CopyToNewPath}),
                         [](const auto& info) { return std::to_string(info.index); });

TEST_F(Executor, AParkedFileWhoseMoveFailsGoesBackToItsName)
{
    files({"C:\\p\\a", "C:\\p\\b"});
    int moves = 0;
    fs.fault = [&](Op op, const std::string& from) {
        // The third move, from the temporary name to the new path, fails.
        return op == Op::Move && ++moves == 3 && from != "C:\\p\\b" ? platform::err::accessDenied : 0u;
    };
    auto r = run({{"C:\\p\\a", "C:\\p\\b"}, {"C:\\p\\b", "C:\\p\\a"}});
    EXPECT_EQ(countDone(r), 1);
    for (const auto& result : r)
        EXPECT_TRUE(fs.fileExists(result.at)) << result.at;
    EXPECT_EQ(fs.files().size(), 2u);
}

// Every original attribute set of read-only, hidden, archive and system, every choice of the two
// boxes, both modes: the files end as the table says (the new file has the boxes' set or archive
// alone, a copy's original archive alone), and the only attribute calls left out are those whose
// result the file has already.
TEST(Attributes, EndAsTheTableSaysAndNoCallIsLeftOutThatWouldChangeAFile)
{
    using namespace platform::attr;
    constexpr std::uint32_t system = 0x4, normal = 0x80;  // as the system reports them
    struct Choice {
        bool readOnlyBox, hiddenBox;
        std::uint32_t newFile;
    };
    const Choice choices[] = {{false, false, 32}, {true, false, 1}, {false, true, 2}, {true, true, 3}};
    for (std::uint32_t bits = 0; bits < 16; ++bits) {
        const std::uint32_t set = (bits & 1 ? readOnly : 0) | (bits & 2 ? hidden : 0) | (bits & 4 ? archive : 0) |
                                  (bits & 8 ? system : 0);
        const std::uint32_t before = set ? set : normal;  // a file with none reads as normal
        for (const Choice& choice : choices)
            for (Mode mode : {Mode::RenameInPlace, Mode::CopyToNewPath}) {
                SCOPED_TRACE("before " + std::to_string(before) + ", new " + std::to_string(choice.newFile) +
                             (mode == Mode::RenameInPlace ? ", in place" : ", copy"));
                platform::headless::HeadlessFileSystem fs;
                fs.addFolder("C:\\p");
                fs.addFolder("C:\\out");
                const std::string from = "C:\\p\\a.jpg";
                const std::string to = mode == Mode::RenameInPlace ? "C:\\p\\b.jpg" : "C:\\out\\b.jpg";
                fs.addFile(from, "A", before);
                std::vector<std::string> calls;
                fs.fault = [&](Op op, const std::string& path) {
                    if (op == Op::SetAttributes)
                        calls.push_back(path);
                    return 0u;
                };
                const auto r = renaming::execute(fs, {{from, to}}, mode,
                                                 renaming::newAttributes(choice.readOnlyBox, choice.hiddenBox), nullptr);
                ASSERT_EQ(r[0].outcome, Outcome::Done);
                EXPECT_EQ(fs.attributes(to), choice.newFile);
                if (mode == Mode::RenameInPlace)
                    EXPECT_FALSE(fs.fileExists(from));
                else
                    EXPECT_EQ(fs.attributes(from), archive);
                // The original is given archive alone first; a copy always gets its set, a
                // renamed file only where archive alone is not what it should have.
                std::vector<std::string> expected;
                if (before != archive)
                    expected.push_back(from);
                if (mode == Mode::CopyToNewPath || choice.newFile != archive)
                    expected.push_back(to);
                EXPECT_EQ(calls, expected);
            }
    }
}

TEST(CompletionQuestion, SuccessOrTheFirstTenFailures)
{
    platform::headless::HeadlessFileSystem fs;
    std::vector<Pair> pairs;
    std::vector<renaming::PairResult> results;
    for (int i = 0; i < 12; ++i) {
        pairs.push_back({"C:\\a" + std::to_string(i), "C:\\b" + std::to_string(i)});
        results.push_back({i == 0 ? Outcome::Done : Outcome::TargetExists, 0, ""});
    }
    EXPECT_EQ(renaming::completionQuestion(fs, {pairs[0]}, {results[0]}, "D:\\out"), "执行成功!\r是否打开目录查看 D:\\out");
    results[1] = {Outcome::SystemError, 32, ""};
    const std::string q = renaming::completionQuestion(fs, pairs, results, "");
    EXPECT_EQ(q.rfind("执行完成，11 个文件未处理：\rC:\\a1 → C:\\b1（system error 32）\rC:\\a2 → C:\\b2（目标文件已存在）", 0), 0u);
    EXPECT_NE(q.find("C:\\a10 → C:\\b10"), std::string::npos);
    EXPECT_EQ(q.find("C:\\a11 →"), std::string::npos);
    EXPECT_EQ(q.substr(q.size() - std::string("\r……\r是否打开目录查看 ").size()), "\r……\r是否打开目录查看 ");
    // A control character of a hand-edited list shows as its picture: a NUL would end the box's
    // text before its question.
    EXPECT_EQ(renaming::completionQuestion(fs, {{std::string("C:\\z\0.jpg", 9), "C:\\y\x01"}},
                                           {{Outcome::SourceMissing, 0, ""}}, "D:\\out"),
              "执行完成，1 个文件未处理：\rC:\\z\u2400.jpg → C:\\y\u2401（原文件不存在）\r是否打开目录查看 D:\\out");
}

// ---- the command ----------------------------------------------------------------------------

class Run : public testing::Test {
protected:
    Harness h;
    void openPics()
    {
        h.openExistingFiles({"C:\\pics\\a.jpg", "C:\\pics\\b.JPG", "C:\\pics\\c.gif"});
        h.form.edtname.setText("trip");
    }
};

TEST_F(Run, RenamesInPlaceAndTheNewListBecomesTheOriginalList)
{
    openPics();
    h.form.n_preview.choose();
    const std::string newPaths = h.listBytes(ListFile::NewPaths), newNames = h.listBytes(ListFile::NewNames);
    h.ui.answers.push_back(true);
    h.form.n_run.choose();
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"执行成功!\r是否打开目录查看 C:\\pics\\"});
    EXPECT_EQ(h.fs.content("C:\\pics\\trip002.JPG"), "C:\\pics\\b.JPG");
    EXPECT_EQ(h.fs.attributes("C:\\pics\\trip001.jpg"), archive);
    EXPECT_EQ(h.listBytes(ListFile::OriginalPaths), newPaths);
    EXPECT_EQ(h.listBytes(ListFile::OriginalNames), newNames);
    EXPECT_EQ(h.form.mmOriginal.text(), "trip001.jpg\r\ntrip002.JPG\r\ntrip003.gif\r\n");
    EXPECT_EQ(h.form.mmRenamed.text(), "trip001.jpg\r\ntrip002.JPG\r\ntrip003.gif\r\n");
    ASSERT_EQ(h.shell.calls.size(), 1u);
    EXPECT_EQ(h.shell.calls[0].file, "explorer");
    EXPECT_EQ(h.shell.calls[0].verb, "");
    EXPECT_EQ(h.shell.calls[0].parameters, "C:\\pics\\");
    EXPECT_EQ(h.shell.calls[0].show, 5);

    // At once again: every file is already where it belongs; the attributes follow the boxes.
    user(h.form.cbReadonly).click();
    h.form.n_run.choose();
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"执行成功!\r是否打开目录查看 C:\\pics\\"});
    EXPECT_EQ(h.fs.attributes("C:\\pics\\trip003.gif"), platform::attr::readOnly);
    EXPECT_EQ(h.shell.calls.size(), 1u);  // answered no
}

TEST_F(Run, CopiesWithAttributesAndReportsACollision)
{
    openPics();
    h.fs.addFolder("D:\\out");
    h.fs.addFile("D:\\out\\trip002.JPG", "someone else's");
    h.ui.folderAnswers.push_back({"D:\\out"});
    user(h.form.rbSaveas).click();
    user(h.form.cbReadonly).click();
    user(h.form.cbHidden).click();
    h.form.n_preview.choose();
    h.form.n_run.choose();
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"执行完成，1 个文件未处理：\rC:\\pics\\b.JPG → D:\\out\\trip002.JPG"
                                                      "（目标文件已存在）\r是否打开目录查看 D:\\out"});
    EXPECT_EQ(h.fs.content("D:\\out\\trip001.jpg"), "C:\\pics\\a.jpg");
    EXPECT_EQ(h.fs.attributes("D:\\out\\trip001.jpg"), 3u);
    EXPECT_EQ(h.fs.attributes("C:\\pics\\a.jpg"), archive);
    EXPECT_EQ(h.fs.content("D:\\out\\trip002.JPG"), "someone else's");
    EXPECT_EQ(h.fs.attributes("D:\\out\\trip002.JPG"), archive);
    EXPECT_EQ(h.list(ListFile::OriginalPaths),
              (std::vector<std::string>{"D:\\out\\trip001.jpg", "C:\\pics\\b.JPG", "D:\\out\\trip003.gif"}));
    EXPECT_EQ(h.list(ListFile::OriginalNames), (std::vector<std::string>{"trip001.jpg", "b.JPG", "trip003.gif"}));
}

TEST_F(Run, WithoutAPreviewNothingIsTouched)
{
    openPics();
    h.form.n_preview.choose();
    h.form.n_cancel.choose();
    h.form.mmRenamed.setText("stale\r\n");
    h.form.n_run.choose();
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"没有预览，无法执行。"});
    EXPECT_EQ(h.form.mmRenamed.text(), "");
    EXPECT_TRUE(h.fs.fileExists("C:\\pics\\a.jpg"));
}

TEST_F(Run, AnOriginalListWithoutEntriesCountsAsNoPreview)
{
    h.writeLists({}, {"C:\\x"});
    h.form.n_run.choose();
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"没有预览，无法执行。"});
}

TEST_F(Run, AMissingFirstFileStopsEverything)
{
    openPics();
    h.form.n_preview.choose();
    h.fs.deleteFile("C:\\pics\\a.jpg");
    h.form.n_run.choose();
    EXPECT_EQ(h.takeShown(),
              std::vector<std::string>{"没有找到文件 C:\\pics\\a.jpg， 请检查文件是否存在，是否已经改名。"});
    EXPECT_TRUE(h.fs.fileExists("C:\\pics\\b.JPG"));
    EXPECT_EQ(h.list(ListFile::OriginalPaths)[0], "C:\\pics\\a.jpg");
}

TEST_F(Run, AShorterNewListCutsTheOriginalList)
{
    openPics();
    h.form.store().rewriteNew("C:\\pics\\A.jpg\r\n", *h.form.store().readOriginal());
    h.form.n_run.choose();
    EXPECT_EQ(h.list(ListFile::OriginalPaths), std::vector<std::string>{"C:\\pics\\A.jpg"});
    EXPECT_TRUE(h.fs.fileExists("C:\\pics\\b.JPG"));
    h.form.store().rewriteNew("", *h.form.store().readOriginal());
    h.form.n_run.choose();
    EXPECT_EQ(h.listBytes(ListFile::OriginalPaths), "");
    EXPECT_EQ(h.form.lb_old.text(), "共 0 行");
}

TEST_F(Run, AFileVanishedSincePreviewIsReportedAndKeptInTheList)
{
    openPics();
    h.form.n_preview.choose();
    h.fs.deleteFile("C:\\pics\\c.gif");
    h.form.n_run.choose();
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"执行完成，1 个文件未处理：\rC:\\pics\\c.gif → C:\\pics\\trip003.gif"
                                                      "（原文件不存在）\r是否打开目录查看 C:\\pics\\"});
    EXPECT_EQ(h.list(ListFile::OriginalPaths)[2], "C:\\pics\\c.gif");
}

// The lists and the run's record are written at once after the last file: either may fail
// while the other is written. The user hears what was done, then the error; the journal stays,
// the next command settles the run, and the history holds it once, to be undone whole.
TEST(RunEnd, ListsOrRecordThatCannotBeWrittenStillGetTheQuestionThenTheErrorAndOneRecord)
{
    const struct {
        const char* what;
        Op op;
        std::string (*path)(Harness&);
    } cases[] = {
        {"lists", Op::Replace, [](Harness& h) { return h.listPath(ListFile::OriginalPaths); }},
        {"record", Op::Write, [](Harness& h) { return platform::openPrivateFolder(h.fs) + "ThumbUndo-1.db.tmp"; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Harness h;
        h.openExistingFiles({"C:\\pics\\a.jpg", "C:\\pics\\b.JPG", "C:\\pics\\c.gif"});
        h.form.edtname.setText("trip");
        h.form.n_preview.choose();
        const std::string failing = c.path(h);
        h.fs.fault = [&](Op op, const std::string& path) {
            return op == c.op && path == failing ? platform::err::diskFull : 0u;
        };
        h.form.n_run.choose();
        ASSERT_EQ(h.ui.shown.size(), 2u);
        EXPECT_EQ(h.ui.shown[0].kind, platform::headless::Shown::Question);
        EXPECT_EQ(h.ui.shown[1].kind, platform::headless::Shown::Error);
        EXPECT_TRUE(h.fs.fileExists("C:\\pics\\trip001.jpg"));
        EXPECT_TRUE(h.fs.fileExists(h.form.store().journalPath()));  // for the next start to settle
        // The view shows the original list as it stands, whichever of the two was written.
        EXPECT_EQ(h.form.mmOriginal.text().find("trip001.jpg") != std::string::npos, c.op != Op::Replace);

        // Space freed, the next action that uses the lists puts them right first.
        h.fs.fault = nullptr;
        h.takeShown();
        h.form.n_preview.choose();
        EXPECT_EQ(h.takeShown(), std::vector<std::string>{"上次执行未完成，已恢复：3 个文件已改名，0 个文件未处理。"});
        EXPECT_EQ(h.list(ListFile::OriginalPaths)[0], "C:\\pics\\trip001.jpg");
        EXPECT_EQ(renaming::readHistory(h.fs, renaming::undoHistoryPath(h.fs)).history.runs.size(), 1u);
        h.ui.answers.push_back(true);
        h.form.n_undo.choose();
        EXPECT_TRUE(h.fs.fileExists("C:\\pics\\a.jpg"));
        EXPECT_FALSE(h.fs.fileExists("C:\\pics\\trip001.jpg"));
        EXPECT_TRUE(renaming::readHistory(h.fs, renaming::undoHistoryPath(h.fs)).history.runs.empty());
    }
}

// The original list is shown again once it is written, while the record still is, from the lines
// written: its file is not read. When showing it fails then (a million entries are hundreds of
// megabytes in the view's forms), the run ends as a run does and reads it from its file, with
// nothing said of it.
TEST(RunEnd, TheWrittenListIsShownOnceAndReadOnlyIfShowingItFailedDuringTheRun)
{
    const std::vector<std::pair<const char*, std::function<void()>>> firstShows{
        {"shown", [] {}},
        {"heap exhausted", [] { throw std::bad_alloc(); }},
        {"string too long", [] { throw std::length_error("basic_string::_M_create"); }},
    };
    for (const auto& [what, firstShow] : firstShows) {
        SCOPED_TRACE(what);
        const bool shown = std::string(what) == "shown";
        Harness h;
        h.openExistingFiles({"C:\\pics\\a.jpg", "C:\\pics\\b.JPG"});
        h.form.edtname.setText("trip");
        h.form.n_preview.choose();
        const std::string names = h.listPath(ListFile::OriginalNames);
        int reads = 0, shows = 0;
        h.fs.fault = [&](Op op, const std::string& path) {
            reads += op == Op::Read && path == names;
            return 0u;
        };
        const auto counter = h.form.mmOriginal.onChange;
        h.form.mmOriginal.onChange = [&] {
            if (++shows == 1)
                firstShow();
            counter();
        };
        h.form.n_run.choose();
        EXPECT_EQ(h.takeShown(), std::vector<std::string>{"执行成功!\r是否打开目录查看 C:\\pics\\"});
        EXPECT_EQ(h.form.mmOriginal.text(), "trip001.jpg\r\ntrip002.JPG\r\n");
        EXPECT_EQ(h.form.lb_old.text(), "共 2 行");
        EXPECT_EQ(reads, shown ? 0 : 1);
        EXPECT_EQ(shows, shown ? 1 : 2);
    }
}

// 撤销执行 can be chosen only when a run can be undone and no run goes; the undo asks first and
// runs as a run does, with its own words in the stop question.
TEST_F(Run, UndoIsGreyedWithoutARunAndDuringOneAndAsksBeforeItTakesTheRunBack)
{
    openPics();
    EXPECT_FALSE(h.window().menuEnabled(ids::n_undo));
    h.form.n_preview.choose();
    h.ui.answers.push_back(false);
    h.form.n_run.choose();
    h.takeShown();
    ASSERT_TRUE(h.window().menuEnabled(ids::n_undo));
    h.ui.answers.push_back(false);
    h.form.n_undo.choose();
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"确定要撤销上次执行吗？\r将把 3 个文件改回原名。"});
    EXPECT_TRUE(h.fs.fileExists("C:\\pics\\trip001.jpg"));
    h.ui.answers.push_back(true);
    h.ui.answers.push_back(false);  // the stop question: go on
    h.ui.whileRunning = [&] {
        EXPECT_FALSE(h.window().menuEnabled(ids::n_undo));
        EXPECT_FALSE(h.window().menuEnabled(ids::n_run));
        h.window().close();
        h.ui.whileRunning = nullptr;
    };
    h.form.n_undo.choose();
    EXPECT_EQ(h.takeShown(), (std::vector<std::string>{"确定要撤销上次执行吗？\r将把 3 个文件改回原名。",
                                                       "确定要停止撤销吗？", "撤销成功!"}));
    for (const char* p : {"C:\\pics\\a.jpg", "C:\\pics\\b.JPG", "C:\\pics\\c.gif"})
        EXPECT_EQ(h.fs.content(p), p);
    EXPECT_FALSE(h.window().menuEnabled(ids::n_undo));
}

// The engine failing on the worker (out of memory) ends the run with its error; the journal stays
// for the next command to settle, and no run is left behind that would hold the window open.
TEST_F(Run, ARunThatFailsOnTheWorkerLeavesNoRunBehind)
{
    for (const bool undoing : {false, true}) {
        SCOPED_TRACE(undoing);
        Harness h;
        h.openExistingFiles({"C:\\pics\\a.jpg", "C:\\pics\\b.JPG"});
        h.form.edtname.setText("trip");
        h.form.n_preview.choose();
        if (undoing) {
            h.form.n_run.choose();
            h.ui.answers.push_back(true);
        }
        int moves = 0;
        h.fs.fault = [&](Op op, const std::string&) -> std::uint32_t {
            if (op == Op::Move && ++moves == 2)
                throw std::bad_alloc();
            return 0;
        };
        (undoing ? h.form.n_undo : h.form.n_run).choose();
        h.fs.fault = nullptr;
        ASSERT_FALSE(h.ui.shown.empty());
        EXPECT_EQ(h.ui.shown.back().kind, platform::headless::Shown::Error);
        EXPECT_TRUE(h.window().menuEnabled(ids::n_open));
        // The next command settles it as after a kill: a run can be undone, and so can the file an
        // undo had not taken back yet, but not the one it had.
        h.takeShown();
        h.form.n_preview.choose();
        const auto shown = h.takeShown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].rfind("上次执行未完成，已恢复：1 个文件已改名", 0), 0u) << shown[0];
        EXPECT_TRUE(h.window().menuEnabled(ids::n_undo));
        if (undoing) {
            h.form.n_undo.choose();  // asked, answered no
            EXPECT_EQ(h.takeShown(), std::vector<std::string>{"确定要撤销上次执行吗？\r将把 1 个文件改回原名。"});
        }
        h.window().close();
        EXPECT_EQ(h.takeShown(), std::vector<std::string>{});
        EXPECT_TRUE(h.window().closed);
    }
}

// The journal is made on the worker: one that cannot be written or made durable ends the run
// with its error before any file moves, asks nothing, and leaves the window free for the next run.
TEST_F(Run, AJournalThatCannotBeMadeMovesNoFileAndTheNextRunGoes)
{
    for (const Op failing : {Op::Append, Op::Flush}) {
        SCOPED_TRACE(static_cast<int>(failing));
        Harness h;
        h.openExistingFiles({"C:\\pics\\a.jpg", "C:\\pics\\b.JPG"});
        h.form.edtname.setText("trip");
        h.form.n_preview.choose();
        h.fs.fault = [&](Op op, const std::string& path) {
            return op == failing && path == h.form.store().journalPath() ? platform::err::diskFull : 0u;
        };
        h.form.n_run.choose();
        h.fs.fault = nullptr;
        ASSERT_EQ(h.ui.shown.size(), 1u);
        EXPECT_EQ(h.ui.shown[0].kind, platform::headless::Shown::Error);
        EXPECT_TRUE(h.fs.fileExists("C:\\pics\\a.jpg"));
        EXPECT_TRUE(h.window().menuEnabled(ids::n_run));
        EXPECT_TRUE(h.form.gb_name.enabled());
        h.takeShown();
        h.form.n_run.choose();
        EXPECT_TRUE(h.fs.fileExists("C:\\pics\\trip001.jpg"));
        EXPECT_FALSE(h.fs.fileExists(h.form.store().journalPath()));
    }
}

// A history damaged while the window is open: 撤销执行 says that it was set aside, acts on nothing
// in it, and is greyed afterwards.
TEST_F(Run, UndoWithADamagedHistorySaysSoAndIsGreyed)
{
    openPics();
    h.form.n_preview.choose();
    h.form.n_run.choose();
    h.takeShown();
    const std::string history = platform::privateFolderPath(h.fs) + "ThumbUndo.db";
    h.fs.writeAll(history, h.fs.content(history) + "#");
    ASSERT_TRUE(h.window().menuEnabled(ids::n_undo));
    h.ui.answers.push_back(true);
    h.form.n_undo.choose();
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"撤销记录已损坏，已改名为 ThumbUndo.bad，其中的执行不能再撤销。"});
    EXPECT_TRUE(h.fs.fileExists("C:\\pics\\trip001.jpg"));
    EXPECT_FALSE(h.window().menuEnabled(ids::n_undo));
}

// Closing the window while a run goes asks first; yes stops the run before any file moves and
// then closes the window, without the question at the end.
TEST_F(Run, ClosingTheWindowDuringARunStopsItAndThenCloses)
{
    openPics();
    h.form.n_preview.choose();
    h.ui.answers.push_back(true);
    h.ui.whileRunning = [&] {
        EXPECT_FALSE(h.window().menuEnabled(ids::n_open));
        EXPECT_FALSE(h.form.gb_name.enabled());
        h.window().close();
        EXPECT_FALSE(h.window().closed);  // not before every file is in its place
    };
    h.form.n_run.choose();
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"确定要停止执行吗？"});
    EXPECT_TRUE(h.window().closed);
    for (const char* p : {"C:\\pics\\a.jpg", "C:\\pics\\b.JPG", "C:\\pics\\c.gif"})
        EXPECT_EQ(h.fs.content(p), p);
    EXPECT_FALSE(h.fs.fileExists(h.form.store().journalPath()));
}

// Closed while the lists of a run are read, which then refuse it: the window says why, then closes
// as the user asked; answered no, it says why and stays.
TEST_F(Run, ClosingTheWindowDuringARefusedRunSaysWhyThenClosesAsAnswered)
{
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes);
        Harness h;
        h.openExistingFiles({"C:\\pics\\a.jpg", "C:\\pics\\b.JPG"});
        h.ui.answers.push_back(yes);
        h.ui.whileRunning = [&] { h.window().close(); };
        h.form.n_run.choose();
        EXPECT_EQ(h.takeShown(), (std::vector<std::string>{"确定要停止执行吗？", "没有预览，无法执行。"}));
        EXPECT_EQ(h.window().closed, yes);
        EXPECT_TRUE(h.fs.fileExists("C:\\pics\\a.jpg"));
    }
}

// Closed during a run in which a locked file keeps A under a temporary name: the window stays, with
// its lists, and the report says where A is.
TEST_F(Run, ClosingWhileAFileIsLeftUnderATemporaryNameShowsTheReportInstead)
{
    const std::vector<std::string> files = {"C:\\pics\\a.jpg", "C:\\pics\\b.jpg", "C:\\pics\\c.jpg"};
    for (const auto& p : files)
        h.fs.addFile(p, p);
    h.writeLists(files, {files[1], files[2], files[0]});
    bool closed = false;
    h.fs.fault = [&](Op op, const std::string& path) {
        if (op == Op::Move && path == "C:\\pics\\a.jpg" && !std::exchange(closed, true))
            h.window().close();  // as A is parked
        return op == Op::Move && path == "C:\\pics\\b.jpg" ? platform::err::sharingViolation : 0u;
    };
    h.ui.answers.push_back(true);
    h.form.n_run.choose();
    EXPECT_FALSE(h.window().closed);
    const auto shown = h.takeShown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NE(shown[1].find("\r文件暂存于 C:\\pics\\~nomerra1.tmp（C:\\pics\\a.jpg → C:\\pics\\b.jpg）"), std::string::npos);
    EXPECT_EQ(h.list(ListFile::OriginalPaths)[0], "C:\\pics\\~nomerra1.tmp");
}

// A journal that cannot be deleted after its run (held open by a scanner, say) is an error: left
// silently, every later command would settle that old run again, put its files back into the
// original list over the files the user opened since, and pair them with the next preview.
TEST_F(Run, AJournalThatCannotBeDeletedIsAnErrorAndNeverRevivesItsRun)
{
    openPics();
    h.form.n_preview.choose();
    bool held = true;
    h.fs.fault = [&](Op op, const std::string& path) {
        return held && op == Op::Delete && path == h.form.store().journalPath() ? platform::err::sharingViolation : 0u;
    };
    h.form.n_run.choose();
    ASSERT_EQ(h.ui.shown.size(), 2u);
    EXPECT_EQ(h.ui.shown[1].kind, platform::headless::Shown::Error);
    EXPECT_TRUE(h.fs.fileExists("C:\\pics\\trip001.jpg"));
    h.takeShown();

    h.openExistingFiles({"C:\\docs\\report.docx"});
    h.form.edtname.setText("doc");
    h.form.n_preview.choose();
    h.form.n_run.choose();
    ASSERT_EQ(h.ui.shown.size(), 3u);
    for (const auto& shown : h.ui.shown)
        EXPECT_EQ(shown.kind, platform::headless::Shown::Error) << shown.text;
    h.takeShown();
    EXPECT_TRUE(h.fs.fileExists("C:\\docs\\report.docx"));
    for (const char* p : {"C:\\pics\\trip001.jpg", "C:\\pics\\trip002.JPG", "C:\\pics\\trip003.gif"})
        EXPECT_TRUE(h.fs.fileExists(p)) << p;

    held = false;
    h.openExistingFiles({"C:\\docs\\report.docx"});
    h.form.edtname.setText("doc");
    h.form.n_preview.choose();
    EXPECT_EQ(h.list(ListFile::OriginalPaths), std::vector<std::string>{"C:\\docs\\report.docx"});
    h.form.n_run.choose();
    EXPECT_EQ(h.fs.content("C:\\docs\\doc001.docx"), "C:\\docs\\report.docx");
    for (const char* p : {"C:\\pics\\trip001.jpg", "C:\\pics\\trip002.JPG", "C:\\pics\\trip003.gif"})
        EXPECT_TRUE(h.fs.fileExists(p)) << p;
}

// A journal spoiled by hand is no plan: the start goes on without touching a file.
TEST(Recover, AJournalSpoiledByHandIsNoPlan)
{
    for (const std::string& text : {std::string("\0\0\0\0", 4), std::string("nomerra-run 1\trename\t18446744073709551615\n"),
                                   std::string("nomerra-run 1\tcopy\t2\nC:\\a\tC:\\b\n"),
                                   std::string("nomerra-run 1\trename\t1\nC:\\a\n")}) {
        platform::headless::HeadlessFileSystem fs;
        fs.addFile("C:\\a", "A");
        fs.writeAll("C:\\ThumbRun.db", text);
        EXPECT_FALSE(renaming::recover(fs, "C:\\ThumbRun.db")) << text;
        EXPECT_EQ(fs.content("C:\\a"), "A");
    }
}

struct Killed {};

// A process killed part-way through a swap, then started again: the lists are shown, the run is
// settled and said so, and Execute finishes the rest without undoing anything.
TEST(Restart, SettlesAKilledRunShowsTheListsAndExecuteFinishesIt)
{
    Harness h([](Harness& earlier) {
        for (const char* p : {"C:\\pics\\a.jpg", "C:\\pics\\b.jpg", "C:\\pics\\c.jpg"})
            earlier.fs.addFile(p, p);
        const std::string withNul("x\0.jpg", 6);
        earlier.writeLists({"C:\\pics\\a.jpg", "C:\\pics\\b.jpg", "C:\\pics\\c.jpg"},
                           {"C:\\pics\\c.jpg", "C:\\pics\\" + withNul, "C:\\pics\\a.jpg"});
        const std::vector<Pair> pairs = {{"C:\\pics\\a.jpg", "C:\\pics\\c.jpg"},
                                         {"C:\\pics\\b.jpg", "C:\\pics\\" + withNul},
                                         {"C:\\pics\\c.jpg", "C:\\pics\\a.jpg"}};
        int moves = 0;
        earlier.fs.fault = [&](Op op, const std::string&) -> std::uint32_t {
            if (op == Op::Move && ++moves == 2)
                throw Killed{};  // a parked, c about to take a's name
            return 0;
        };
        try {
            renaming::RunJournal journal(earlier.fs, earlier.form.store().journalPath(), Mode::RenameInPlace, pairs);
            renaming::execute(earlier.fs, pairs, Mode::RenameInPlace, archive, &journal);
        } catch (const Killed&) {
        }
        earlier.fs.fault = nullptr;
    });
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"上次执行未完成，已恢复：0 个文件已改名，3 个文件未处理。"});
    EXPECT_FALSE(h.fs.fileExists(h.form.store().journalPath()));
    EXPECT_EQ(h.fs.content("C:\\pics\\a.jpg"), "C:\\pics\\a.jpg");  // back under its own name
    EXPECT_EQ(h.form.mmOriginal.text(), "a.jpg\r\nb.jpg\r\nc.jpg\r\n");
    EXPECT_EQ(h.form.lb_old.text(), "共 3 行");
    EXPECT_EQ(h.form.mmRenamed.text(), "c.jpg\r\nx\u2400.jpg\r\na.jpg\r\n");  // a NUL is shown, not an end
    EXPECT_EQ(h.form.lb_new.text(), "共 3 行");

    h.form.n_run.choose();
    EXPECT_EQ(h.fs.content("C:\\pics\\c.jpg"), "C:\\pics\\a.jpg");
    EXPECT_EQ(h.fs.content("C:\\pics\\a.jpg"), "C:\\pics\\c.jpg");
    // The three pictures, the four lists and their record, the index of the runs to undo and the
    // one run's record, nothing else.
    EXPECT_EQ(h.fs.files().size(), 3u + 4u + 1u + 2u);
}

}  // namespace

// Every option control is locked while the files of a run or an undo move, the items of the
// increment group included, and each is as it was once they are settled, while the lists are
// written: those the options' interplay had disabled stay disabled.
TEST_F(Run, EveryOptionIsLockedWhileFilesMoveAndIsAsItWasOnceTheyAreSettled)
{
    openPics();
    h.form.cbNewname.setChecked(false);  // disables edtname
    h.form.n_preview.choose();
    std::vector<platform::Control*> options{&h.form.edtname, &h.form.edtvalue, &h.form.cbPos, &h.form.edtsuffix_old,
                                            &h.form.cbReadonly, &h.form.rbSaveas, &h.form.Button1};
    for (const auto& item : h.form.rgIncDec.buttons())
        options.push_back(item.get());
    ASSERT_EQ(options.size(), 9u);
    std::vector<bool> before;
    for (platform::Control* c : options)
        before.push_back(c->enabled());
    EXPECT_EQ(before, (std::vector<bool>{false, true, true, false, true, true, true, true, true}));
    const auto states = [&] {
        std::vector<bool> now;
        for (platform::Control* c : options)
            now.push_back(c->enabled());
        return now;
    };
    std::size_t moves = 0, listWrites = 0;
    h.fs.fault = [&](Op op, const std::string& path) -> std::uint32_t {
        const bool fileMoved = op == Op::Move && path.rfind("C:\\pics\\", 0) == 0;
        const bool listWritten = op == Op::Write && path.rfind("C:\\nomerra\\Thumb", 0) == 0;
        moves += fileMoved;
        listWrites += listWritten;
        if (fileMoved)
            EXPECT_EQ(states(), std::vector<bool>(options.size(), false)) << path;
        if (listWritten)
            EXPECT_EQ(states(), before) << path;
        return 0u;
    };
    for (platform::MenuItem* command : {&h.form.n_run, &h.form.n_undo}) {
        SCOPED_TRACE(command == &h.form.n_run ? "run" : "undo");
        moves = listWrites = 0;
        h.ui.answers = {command == &h.form.n_run ? false : true};
        command->choose();
        EXPECT_GT(moves, 0u);
        EXPECT_GT(listWrites, 0u);
        EXPECT_EQ(states(), before);
    }
}

// The original view, shown from the lines the run wrote, is what its file says: the names or the
// full paths as its switch says, a name beyond the code page as it is, as when it is read back.
TEST_F(Run, TheOriginalViewAfterARunIsWhatItsFileSays)
{
    const std::vector<std::string> files = {"C:\\pics\\a.jpg", "C:\\pics\\b.jpg"};
    for (const bool fullPaths : {false, true}) {
        SCOPED_TRACE(fullPaths);
        Harness h;
        for (const auto& p : files)
            h.fs.addFile(p, p);
        h.writeLists(files, {"C:\\pics\\x.jpg", "C:\\pics\\\xF0\x9F\x98\x80.jpg"});
        if (fullPaths)
            user(h.form.cbShowpathO).click();
        h.ui.answers.push_back(false);
        h.form.n_run.choose();
        const std::string shown = h.form.mmOriginal.text();
        EXPECT_EQ(shown, fullPaths ? "C:\\pics\\x.jpg\r\nC:\\pics\\\xF0\x9F\x98\x80.jpg\r\n"
                                   : "x.jpg\r\n\xF0\x9F\x98\x80.jpg\r\n");
        EXPECT_EQ(h.form.lb_old.text(), "共 2 行");
        user(h.form.cbShowpathO).click();
        user(h.form.cbShowpathO).click();  // read back from the file
        EXPECT_EQ(h.form.mmOriginal.text(), shown);
    }
}

// A click can reach the window's controls during a run before its first look locks them, or wait
// in the queue behind other input: it is taken once the run has ended, as files dropped then
// are, never inside it. The import then pairs the names with the list the run left; the folder
// chooser and a switch of the view come after it too.
TEST_F(Run, AClickDuringARunIsTakenOnceTheRunHasEnded)
{
    openPics();
    h.form.n_preview.choose();
    h.fs.addFile("D:\\names.txt", "x\r\ny\r\nz\r\n");
    h.ui.fileAnswers.push_back(platform::OpenFileAnswer{{"D:\\names.txt"}, 1});
    h.fs.addFolder("D:\\out");
    h.ui.folderAnswers.push_back({"D:\\out"});
    h.ui.answers.push_back(false);
    h.ui.whileRunning = [&] {
        // As the window's controls take them, enabled or not when the click was made.
        h.form.Button1.userClicked();
        h.form.btnFolder.userClicked();
        h.form.cbShowpathO.userClicked();
        EXPECT_EQ(h.ui.fileAnswers.size(), 1u);
        EXPECT_EQ(h.ui.folderAnswers.size(), 1u);
        EXPECT_FALSE(h.form.cbShowpathO.checked());
    };
    h.form.n_run.choose();
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"执行成功!\r是否打开目录查看 C:\\pics\\"});
    EXPECT_EQ(h.fs.content("C:\\pics\\trip002.JPG"), "C:\\pics\\b.JPG");
    EXPECT_TRUE(h.ui.fileAnswers.empty());
    EXPECT_TRUE(h.ui.folderAnswers.empty());
    EXPECT_EQ(h.list(ListFile::NewPaths), (std::vector<std::string>{"C:\\pics\\x.jpg", "C:\\pics\\y.JPG", "C:\\pics\\z.gif"}));
    EXPECT_EQ(h.form.lbpath.text(), "D:\\out");
    EXPECT_TRUE(h.form.cbShowpathO.checked());
    EXPECT_EQ(h.form.mmOriginal.text(), "C:\\pics\\trip001.jpg\r\nC:\\pics\\trip002.JPG\r\nC:\\pics\\trip003.gif\r\n");
}
