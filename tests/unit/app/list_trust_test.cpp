// The program acts only on lists it wrote itself, and a pair's replacement is one commit.
#include <gtest/gtest.h>

#include <random>

#include "harness.h"
#include "lists/messages.h"
#include "lists/list_record.h"
#include "lists/path_parts.h"
#include "platform/errors.h"
#include "platform/private_folder.h"

using lists::ListFile;
using lists::ListPair;
using platform::headless::Op;
using test::Harness;
using Lines = std::vector<std::string>;

namespace {

const Lines pics = {"C:\\pics\\a.jpg", "C:\\pics\\b.jpg", "C:\\pics\\c.jpg"};
const Lines docs = {"D:\\docs\\report.docx", "D:\\docs\\budget.xlsx"};

// The content of every file on the volume but the lists and their record: what a run moves.
std::map<std::string, std::string> userFiles(platform::headless::HeadlessFileSystem& fs)
{
    std::map<std::string, std::string> all;
    for (const auto& f : fs.files())
        if (f.rfind("C:\\nomerra\\", 0) != 0 && f.rfind("C:\\ProgramData\\", 0) != 0)
            all[f] = fs.content(f);
    return all;
}

struct Trust : testing::Test {
    Harness h;
    void openAndPreview(const Lines& files, const std::string& name)
    {
        h.openExistingFiles(files);
        h.form.cbNewname.setChecked(true);
        h.form.edtname.setText(name);
        h.form.cbInitNo.setChecked(true);
        h.form.edtvalue.setText("001");
        h.form.n_preview.choose();
    }
    // Execute; what was shown.
    Lines execute()
    {
        h.takeShown();
        h.form.n_run.choose();
        return h.takeShown();
    }
};

// Another program rewrites one or more lists between the preview and Execute: whatever it
// writes, Execute moves nothing and says why; the untouched lists are executed.
TEST_F(Trust, ListsChangedAfterThePreviewAreNotExecuted)
{
    std::mt19937 random(20);
    for (int round = 0; round < 40; ++round) {
        Harness fresh;
        std::swap(h.fs, fresh.fs);
        openAndPreview(pics, "trip");
        const auto before = userFiles(h.fs);
        const ListFile swapped = round % 2 ? ListFile::OriginalPaths : ListFile::NewPaths;
        Lines other = h.list(swapped);
        switch (random() % 3) {
        case 0: other.push_back("C:\\sys\\victim.dll"); break;
        case 1: other[random() % other.size()] = "C:\\sys\\moved.dll"; break;
        default: other = {"C:\\sys\\victim.dll"};
        }
        h.putList(swapped, other);
        EXPECT_EQ(execute(), Lines{messages::listsChanged}) << round;
        EXPECT_EQ(userFiles(h.fs), before) << round;
    }
    openAndPreview(pics, "trip");
    h.ui.answers.push_back(false);
    EXPECT_EQ(execute(), Lines{"执行成功!\r是否打开目录查看 C:\\pics\\"});
    EXPECT_TRUE(h.fs.fileExists("C:\\pics\\trip003.jpg"));
}

// A new list that cannot be deleted (held by another program) ends Open, Add, a drop and
// Cancel with the error box, and it is never executed against the files chosen since.
TEST_F(Trust, ANewListThatCannotBeDeletedIsAnErrorAndNeverExecuted)
{
    const std::vector<std::function<void(Harness&)>> commands = {
        [](Harness& x) { x.openExistingFiles(docs); },
        [](Harness& x) {
            for (const auto& d : docs)
                x.fs.addFile(d, d);
            x.ui.fileAnswers.push_back(platform::OpenFileAnswer{docs, 1});
            x.form.n_add.choose();
        },
        [](Harness& x) {
            for (const auto& d : docs)
                x.fs.addFile(d, d);
            x.window().dropFiles(docs);
        },
        [](Harness& x) { x.form.n_cancel.choose(); },
    };
    for (std::size_t c = 0; c < commands.size(); ++c) {
        Harness fresh;
        std::swap(h.fs, fresh.fs);
        openAndPreview(pics, "trip");
        h.takeShown();
        const std::string held = h.listPath(ListFile::NewPaths);
        h.fs.fault = [&](Op op, const std::string& path) {
            return op == Op::Delete && path == held ? platform::err::sharingViolation : 0u;
        };
        commands[c](h);
        const auto shown = h.ui.shown;
        ASSERT_EQ(shown.size(), 1u) << c;
        EXPECT_EQ(shown[0].kind, platform::headless::Shown::Error) << c;
        EXPECT_EQ(shown[0].text, "I/O error 32.") << c;
        EXPECT_EQ(h.form.mmRenamed.text(), "") << c;
        const auto before = userFiles(h.fs);
        EXPECT_EQ(execute(), Lines{"没有预览，无法执行。"}) << c;
        EXPECT_EQ(userFiles(h.fs), before) << c;
    }
}

// Lists left by another program, or by an older version, are shown; Execute refuses them until a
// preview made from what the view shows makes them the program's own. A list changed after it
// was shown is no longer what the user saw.
TEST(TrustAtStart, ListsFoundAtStartAreShownButOnlyAPreviewMakesThemTheProgramsOwn)
{
    auto leftBehind = [](Harness& earlier) {
        for (const auto& p : pics)
            earlier.fs.addFile(p, p);
        earlier.putList(ListFile::OriginalPaths, pics);
        earlier.putList(ListFile::OriginalNames, {"a.jpg", "b.jpg", "c.jpg"});
        earlier.putList(ListFile::NewPaths, {"C:\\pics\\x.jpg", "C:\\pics\\y.jpg", "C:\\pics\\z.jpg"});
        earlier.putList(ListFile::NewNames, {"x.jpg", "y.jpg", "z.jpg"});
    };
    {
        Harness h(leftBehind);
        EXPECT_EQ(h.form.mmOriginal.text(), "a.jpg\r\nb.jpg\r\nc.jpg\r\n");
        EXPECT_EQ(h.form.mmRenamed.text(), "x.jpg\r\ny.jpg\r\nz.jpg\r\n");
        h.form.n_run.choose();
        EXPECT_EQ(h.takeShown(), Lines{messages::listsChanged});
        EXPECT_TRUE(h.fs.fileExists("C:\\pics\\a.jpg"));
        h.form.edtname.setText("trip");
        h.form.cbNewname.setChecked(true);
        h.form.n_preview.choose();
        h.ui.answers.push_back(false);
        h.form.n_run.choose();
        EXPECT_EQ(h.takeShown(), Lines{"执行成功!\r是否打开目录查看 C:\\pics\\"});
        EXPECT_EQ(h.fs.content("C:\\pics\\trip001.jpg"), "C:\\pics\\a.jpg");
    }
    {
        Harness h(leftBehind);
        h.putList(ListFile::OriginalPaths, {"C:\\sys\\victim.dll"});
        for (auto* command : {&h.form.n_preview, &h.form.n_add}) {
            h.ui.fileAnswers.push_back(platform::OpenFileAnswer{{"C:\\pics\\b.jpg"}, 1});
            command->choose();
            EXPECT_EQ(h.takeShown(), Lines{messages::listsChanged});
        }
        EXPECT_EQ(h.list(ListFile::OriginalPaths), Lines{"C:\\sys\\victim.dll"});
    }
}

// A view switched to full paths, line by line.
Lines fullPaths(platform::Memo& view, platform::CheckBox& box)
{
    box.setChecked(true);
    return lists::splitLines(view.text());
}

// A process killed at any file operation of a command that rewrites or drops lists after a
// preview (a second preview, an open, an add, a cancel): at the next start each pair is whole
// (its name file follows its path file), no temporary is left, and Execute either refuses or
// moves exactly the files the views show to the names the views show; never does it take the
// lists for another program's.
TEST(TrustAtStart, ListsKilledHalfwayAreSettledToOneWholeState)
{
    struct Killed {};
    const std::vector<std::function<void(Harness&)>> commands = {
        [](Harness& x) { x.form.edtname.setText("new"), x.form.n_preview.choose(); },
        [](Harness& x) { x.openExistingFiles({"C:\\docs\\r.docx", "C:\\docs\\s.xlsx"}); },
        [](Harness& x) {
            x.fs.addFile("C:\\pics\\d.jpg", "C:\\pics\\d.jpg");
            x.ui.fileAnswers.push_back(platform::OpenFileAnswer{{"C:\\pics\\d.jpg"}, 1});
            x.form.n_add.choose();
        },
        [](Harness& x) { x.form.n_cancel.choose(); },
    };
    for (std::size_t c = 0; c < commands.size(); ++c) {
        bool reachedTheEnd = false;
        for (int killAt = 1; !reachedTheEnd; ++killAt) {
            platform::headless::HeadlessFileSystem volume;
            {
                Harness earlier;
                earlier.openExistingFiles(pics);
                earlier.form.cbNewname.setChecked(true);
                earlier.form.edtname.setText("old");
                earlier.form.n_preview.choose();
                int ops = 0;
                earlier.fs.fault = [&](Op op, const std::string&) -> std::uint32_t {
                    if (op != Op::Read && ++ops == killAt)
                        throw Killed{};
                    return 0;
                };
                try {
                    commands[c](earlier);
                    reachedTheEnd = true;
                } catch (const Killed&) {
                }
                earlier.fs.fault = nullptr;
                volume = earlier.fs;
            }
            Harness h([&](Harness& later) { later.fs = volume; });
            const std::string at = std::to_string(c) + "/" + std::to_string(killAt);
            for (const auto& f : h.fs.files())
                EXPECT_EQ(f.find(".tmp"), std::string::npos) << at << " " << f;
            const Lines originals = fullPaths(h.form.mmOriginal, h.form.cbShowpathO);
            const Lines targets = fullPaths(h.form.mmRenamed, h.form.cbshowpathR);
            for (auto [paths, names] : {std::pair{ListFile::OriginalPaths, ListFile::OriginalNames},
                                        std::pair{ListFile::NewPaths, ListFile::NewNames}}) {
                Lines expected;
                for (const auto& p : h.list(paths))
                    expected.push_back(lists::namePart(p));
                EXPECT_EQ(h.list(names), expected) << at;
            }
            const auto before = userFiles(h.fs);
            h.ui.answers.push_back(false);
            h.takeShown();
            h.form.n_run.choose();
            // Nobody else wrote the lists: whatever the kill left, they are the program's own.
            for (const auto& text : h.takeShown())
                EXPECT_NE(text, messages::listsChanged) << at;
            const auto after = userFiles(h.fs);
            if (after == before)
                continue;
            ASSERT_EQ(originals.size(), targets.size()) << at;
            for (std::size_t i = 0; i < originals.size(); ++i)
                EXPECT_EQ(after.at(targets[i]), before.at(originals[i])) << at;
        }
    }
}

// An older version killed between the two moves of a pair leaves the name file replaced and the
// path file's temporary beside the old one: the path file stands, and the names follow it.
TEST(TrustAtStart, ATornPairWithoutARecordFollowsItsPathFile)
{
    Harness h([](Harness& earlier) {
        earlier.putList(ListFile::NewPaths, {"C:\\p\\old1.jpg", "C:\\p\\old2.jpg"});
        earlier.putList(ListFile::NewNames, {"new1.jpg"});
        earlier.fs.addFile(earlier.listPath(ListFile::NewPaths) + ".tmp", "C:\\p\\new1.jpg\r\n");
    });
    EXPECT_EQ(h.form.mmRenamed.text(), "old1.jpg\r\nold2.jpg\r\n");
    EXPECT_FALSE(h.fs.fileExists(h.listPath(ListFile::NewPaths) + ".tmp"));
}

TEST(PrivateFolder, OnlyAdministratorsAndTheSystemMayChangeIt)
{
    using platform::Principal;
    const platform::AccessEntry admins{Principal::Administrators, true, 0x1F01FF};
    const platform::AccessEntry system{Principal::System, true, 0x1F01FF};
    struct Case {
        platform::FolderGuard guard;
        bool accepted;
    };
    const Case cases[] = {
        {{Principal::Administrators, {admins, system}}, true},
        {{Principal::System, {system}}, true},
        {{Principal::Administrators, {admins, system, {Principal::Other, true, 0x1200A9}}}, true},  // users read
        {{Principal::Administrators, {admins, {Principal::Other, false, 0x1F01FF}}}, true},        // a denial
        {{Principal::Other, {admins, system}}, false},                                             // owned by a user
        {{Principal::Administrators, {admins, {Principal::Other, true, 0x0004}}}, false},          // add subfolder
        {{Principal::Administrators, {admins, {Principal::Other, true, 0x0002}}}, false},          // add file
        {{Principal::Administrators, {admins, {Principal::Other, true, 0x00040000}}}, false},      // change the list
        {{Principal::Administrators, {admins, {Principal::Other, true, 0x10000000}}}, false},      // generic all
        {{Principal::Administrators, {admins, {Principal::Other, true, 0x00010000}}}, false},      // delete
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(platform::onlyAdministratorsWrite(cases[i].guard), cases[i].accepted) << i;
}

// The private folder is made guarded, and one that another program made first, open to the user,
// is refused: no list is written or executed through it.
TEST(PrivateFolder, IsCreatedGuardedAndRefusedWhenOthersMayWriteIt)
{
    {
        Harness h;
        const std::string folder = platform::openPrivateFolder(h.fs);
        EXPECT_EQ(folder.rfind("C:\\ProgramData\\nomerra\\", 0), 0u);
        EXPECT_EQ(h.form.store().journalPath(), folder + "ThumbRun.db");
        EXPECT_TRUE(platform::onlyAdministratorsWrite(*h.fs.guardOf(folder)));
        EXPECT_EQ(folder, platform::openPrivateFolder(h.fs));
    }
    Harness h([](Harness& earlier) {
        earlier.fs.setGuard(platform::privateFolderPath(earlier.fs),
                            {platform::Principal::Other, {{platform::Principal::Other, true, 0x1F01FF}}});
    });
    EXPECT_THROW(platform::openPrivateFolder(h.fs), platform::IoError);
    h.takeShown();
    h.openExistingFiles(pics);
    EXPECT_EQ(h.takeShown(), Lines{"File access denied."});
    EXPECT_FALSE(h.listExists(ListFile::OriginalPaths));
}

// A run journal beside the program (planted, or an older version's) is moved aside with a notice
// and nothing it names is touched.
TEST(PrivateFolder, AJournalBesideTheProgramIsNeverActedOn)
{
    Harness h([](Harness& earlier) {
        earlier.fs.addFile("C:\\sys\\precious.sys", "P", platform::attr::readOnly);
        earlier.fs.addFile("C:\\user\\payload.dll", "D");
        earlier.fs.addFile("C:\\nomerra\\ThumbRun.db",
                           "nomerra-run 1\trename\t2\nC:\\user\\payload.dll\tC:\\sys\\evil.dll\n"
                           "C:\\x\\a\tC:\\sys\\precious.sys\npark\t0\tC:\\user\\payload.dll\ncopy\t1\tC:\\sys\\precious.sys\n");
    });
    EXPECT_EQ(h.takeShown(), Lines{"程序文件夹中的 ThumbRun.db 不是本程序现在的执行记录，没有据以处理任何文件，"
                                   "已改名为 ThumbRun.db.ignored。"});
    EXPECT_EQ(h.fs.content("C:\\sys\\precious.sys"), "P");
    EXPECT_EQ(h.fs.content("C:\\user\\payload.dll"), "D");
    EXPECT_FALSE(h.fs.fileExists("C:\\sys\\evil.dll"));
    EXPECT_TRUE(h.fs.fileExists("C:\\nomerra\\ThumbRun.db.ignored"));
}

TEST(ListRecordText, ReadsBackWhatItWroteAndNothingCut)
{
    lists::ListRecord record;
    record.of(ListFile::OriginalPaths) = "aa";
    record.of(ListFile::NewNames) = "bb";
    record.newMadeFrom = "aa";
    const std::string text = record.text();
    const auto back = lists::ListRecord::parse(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->digests, record.digests);
    EXPECT_EQ(back->newMadeFrom, "aa");
    for (std::size_t cut = 0; cut < text.size(); ++cut)
        EXPECT_FALSE(lists::ListRecord::parse(text.substr(0, cut))) << cut;
    // Whatever bytes stand there, a record is read only as the program would have written it.
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        std::string changed = text;
        for (int k = 1 + random() % 3; k > 0; --k)
            changed[random() % changed.size()] = "ab- \n\r\0x"[random() % 9];
        if (const auto read = lists::ListRecord::parse(changed)) {
            EXPECT_EQ(read->text(), changed) << round;
        }
    }
}

}  // namespace
