// The end of a run, where the lists, the undo history and the journal are written while the
// progress window still shows: a kill, a stop, a drop and a held file there, and the history's
// files changed by hand between runs.
#include "../../src/app/control_ids.h"
#include "driver.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <regex>

using namespace e2e;

namespace {

constexpr int fileCount = 3000;

std::wstring numbered(const std::wstring& folder, const wchar_t* stem, int i)
{
    wchar_t name[32];
    swprintf(name, 32, L"%ls%04d.jpg", stem, i + 1);
    return folder + name;
}

std::wstring contentOf(int i)
{
    return L"content of " + numbered(L"", L"IMG_", i);
}

// A run of thousands beside a program with no history, listed as Open would have left them.
struct EndRun {
    std::wstring folder, traceFile;
    std::vector<std::wstring> originals, targets;

    explicit EndRun(const std::wstring& name) : folder(freshProgramFolder(name)), traceFile(folder + L"trace.txt")
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < fileCount; ++i) {
            originals.push_back(numbered(folder, L"IMG_", i));
            targets.push_back(numbered(folder, L"旅行", i));
            names.push_back(originals.back().substr(folder.size()));
        }
        makeFiles(folder, names);
        leaveLists(folder, originals, {});
        // The program says which step of its run it has reached: the moment for the test to act.
        SetEnvironmentVariableW(L"NOMERRA_TRACE", traceFile.c_str());
    }
    ~EndRun() { SetEnvironmentVariableW(L"NOMERRA_TRACE", nullptr); }

    void preview(const App& app) const
    {
        app.type(ids::edtname, L"旅行");
        app.selectAll(ids::edtvalue);
        app.type(ids::edtvalue, L"0001");
        app.menu(ids::n_preview);
        CHECK_EQ(app.text(ids::lb_new), L"共 3000 行");
    }

    // Executes and returns as soon as the run has passed the step.
    bool runTo(const App& app, const std::string& step) const
    {
        preview(app);
        app.menuAsync(ids::n_run);
        const bool reached = waitFor([&] { return readBytes(traceFile).find("\n" + step + " ") != std::string::npos; }, 120000);
        CHECK(reached);
        return reached;
    }

    long long at(const std::vector<std::wstring>& paths) const
    {
        long long n = 0;
        for (int i = 0; i < fileCount; ++i)
            n += readBytes(paths[i]) == narrow(contentOf(i));
        return n;
    }
};

// The record files of the history in a private folder.
long long recordFiles(const std::wstring& privateFolder)
{
    long long n = 0;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((privateFolder + L"ThumbUndo-*.db").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do
        ++n;
    while (FindNextFileW(h, &fd));
    FindClose(h);
    return n;
}

// 撤销执行 chosen and its question answered yes: the question and the notice that ends it.
std::pair<std::wstring, std::wstring> undoNewest(const App& app)
{
    app.menuAsync(ids::n_undo);
    const std::wstring question = closeBox(app, L"确认", IDYES);
    return {question, closeBox(app, L"诺通", IDOK, 120000)};
}

const std::wstring undoAll = L"确定要撤销上次执行吗？\r将把 3000 个文件改回原名。";

// After the run, whatever became of the program: every file renamed, the original list naming
// them unless the program closed through its window, and the run offered for undo once, which
// puts every file back.
void undoneOnceAfterRestart(const EndRun& run, bool killed)
{
    App app(run.folder);
    // When the kill came before the journal went, the start settles the run and says so.
    HWND notice = app.waitForDialog(L"诺通", 3000);
    if (notice) {
        CHECK_EQ(boxMessage(notice), L"上次执行未完成，已恢复：3000 个文件已改名，0 个文件未处理。");
        pressButton(notice, IDOK);
        CHECK(gone(notice));
    }
    CHECK(!fileExists(privateFolderOf(run.folder) + L"ThumbRun.db"));
    CHECK_EQ(run.at(run.targets), fileCount);
    CHECK_EQ(fileExists(app.listFile(L"ThumbPath.db")), killed);
    if (killed)
        CHECK(readBytes(app.listFile(L"ThumbPath.db")) == gbkLines(run.targets));
    CHECK(!app.undoGrayed());
    CHECK_EQ(recordFiles(privateFolderOf(run.folder)), 1);

    const auto [question, result] = undoNewest(app);
    CHECK_EQ(question, undoAll);
    CHECK_EQ(result, L"撤销成功!");
    CHECK_EQ(run.at(run.originals), fileCount);
    CHECK(app.undoGrayed());
    CHECK_EQ(recordFiles(privateFolderOf(run.folder)), 0);
}

}  // namespace

// Killed after the last file moved, before, among and after the lists and the history are written.
E2E_TEST(a_run_killed_as_it_closes_is_recorded_once)
{
    for (const char* step : {"engine-ended", "lists-written", "history-written"}) {
        std::printf("  killed after %s\n", step);
        EndRun run(L"killedatend");
        {
            App app(run.folder);
            if (!run.runTo(app, step))
                return;
            app.kill();
        }
        undoneOnceAfterRestart(run, true);
    }
}

// 停止 pressed and answered yes once every file has moved: nothing is left to stop, the run
// reports success, and its lists and history are as after any run.
E2E_TEST(stop_pressed_as_the_lists_are_written_reports_the_whole_run)
{
    EndRun run(L"stopatend");
    {
        App app(run.folder);
        if (!run.runTo(app, "engine-ended"))
            return;
        for (HWND w : windowsOf(app.processId(), L"TfrmProgress"))
            if (IsWindowVisible(w))
                PostMessageW(GetDlgItem(w, ids::btnStop), BM_CLICK, 0, 0);
        HWND ask = app.waitForDialog(L"确认");
        if (ask && boxMessage(ask) == L"确定要停止执行吗？") {
            app.saveScreenshot(L"stop-at-end.bmp");
            pressButton(ask, IDYES);
            CHECK(gone(ask));
        }
        CHECK_EQ(closeBox(app, L"确认", IDNO, 60000), L"执行成功!\r是否打开目录查看 " + run.folder);
        CHECK(readBytes(app.listFile(L"ThumbPath.db")) == gbkLines(run.targets));
        CHECK(!fileExists(privateFolderOf(run.folder) + L"ThumbRun.db"));
        app.menuAsync(ids::n_exit);
        CHECK(app.waitForExit());
    }
    undoneOnceAfterRestart(run, false);
}

// Files dropped while the run closes wait for it: they join the list after it, which names the
// renamed files, and the run is undone as it was.
E2E_TEST(files_dropped_as_a_run_closes_join_the_list_after_it)
{
    EndRun run(L"dropatend");
    const std::wstring other = freshFolder(L"dropped") + L"extra.jpg";
    writeBytes(other, "extra");
    App app(run.folder);
    if (!run.runTo(app, "engine-ended"))
        return;
    app.dropFiles({other});
    CHECK_EQ(closeBox(app, L"确认", IDNO, 60000), L"执行成功!\r是否打开目录查看 " + run.folder);
    std::vector<std::wstring> listed = run.targets;
    listed.push_back(other);
    CHECK(waitFor([&] { return readBytes(app.listFile(L"ThumbPath.db")) == gbkLines(listed); }));
    CHECK_EQ(app.text(ids::lb_old), L"共 3001 行");
    app.saveScreenshot(L"drop-at-end.bmp");
    const auto [question, result] = undoNewest(app);
    CHECK_EQ(question, undoAll);
    CHECK_EQ(result, L"撤销成功!");
    CHECK_EQ(run.at(run.originals), fileCount);
    CHECK(readBytes(other) == "extra");
}

namespace {

// Two small runs beside a program with no history: a.jpg b.jpg become trip00n.jpg, then x00n.jpg.
struct TwoRuns {
    std::wstring folder;
    explicit TwoRuns(const std::wstring& name) : folder(freshProgramFolder(name))
    {
        makeFiles(folder, {L"a.jpg", L"b.jpg"});
    }
    std::wstring history() const { return privateFolderOf(folder); }

    void run(const App& app, const std::wstring& stem) const
    {
        app.selectAll(ids::edtname);
        app.type(ids::edtname, stem);
        app.menu(ids::n_preview);
        CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    }
    void first(const App& app) const
    {
        openFiles(app, folder, L"\"a.jpg\" \"b.jpg\"");
        run(app, L"trip");
    }
    bool named(const wchar_t* first, const wchar_t* second) const
    {
        return readBytes(folder + first) == "content of a.jpg" && readBytes(folder + second) == "content of b.jpg";
    }
    // Both runs undone in turn, newest first, and nothing more to undo.
    void undoneInTurn(const App& app) const
    {
        const std::wstring both = L"确定要撤销上次执行吗？\r将把 2 个文件改回原名。";
        CHECK(undoNewest(app) == std::make_pair(both, std::wstring(L"撤销成功!")));
        CHECK(named(L"trip001.jpg", L"trip002.jpg"));
        CHECK(undoNewest(app) == std::make_pair(both, std::wstring(L"撤销成功!")));
        CHECK(named(L"a.jpg", L"b.jpg"));
        CHECK(app.undoGrayed());
        CHECK_EQ(recordFiles(history()), 0);
    }
};

}  // namespace

// The files move though the original list or the history cannot be written after them: the user
// hears of the run, then of the error; the next command settles the run from its journal and it
// is undone once, after the run before it is undone.
E2E_TEST(a_run_whose_lists_or_history_cannot_be_written_is_settled_by_the_next_command)
{
    for (const wchar_t* heldFile : {L"ThumbPath.db", L"ThumbUndo.db"}) {
        std::printf("  %ls held\n", heldFile);
        const TwoRuns runs(L"heldatend");
        App app(runs.folder);
        runs.first(app);
        const std::wstring path = std::wstring(heldFile) == L"ThumbPath.db" ? app.listFile(heldFile)
                                                                             : runs.history() + heldFile;
        Held held(path);
        app.selectAll(ids::edtname);
        app.type(ids::edtname, L"x");
        app.menu(ids::n_preview);
        CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + runs.folder);
        const std::wstring error = closeBox(app, L"诺通", IDOK);
        std::printf("  error box: %s\n", narrow(error).c_str());
        CHECK(!error.empty());
        CHECK(runs.named(L"x001.jpg", L"x002.jpg"));
        CHECK(fileExists(runs.history() + L"ThumbRun.db"));
        app.saveScreenshot(L"held-at-end.bmp");
        held.release();

        app.menuAsync(ids::n_undo);
        CHECK_EQ(closeBox(app, L"诺通", IDOK), L"上次执行未完成，已恢复：2 个文件已改名，0 个文件未处理。");
        CHECK_EQ(closeBox(app, L"确认", IDNO), L"确定要撤销上次执行吗？\r将把 2 个文件改回原名。");
        CHECK(!fileExists(runs.history() + L"ThumbRun.db"));
        CHECK(readBytes(app.listFile(L"ThumbPath.db")) ==
              gbkLines({runs.folder + L"x001.jpg", runs.folder + L"x002.jpg"}));
        runs.undoneInTurn(app);
    }
}

// A history as the version before wrote it, every record inside the one file, newest first: its
// runs are undone in turn after a restart.
E2E_TEST(a_history_of_the_version_before_is_undone_in_turn)
{
    const TwoRuns runs(L"formerhistory");
    {
        App app(runs.folder);
        runs.first(app);
        runs.run(app, L"x");
        app.menuAsync(ids::n_exit);
        CHECK(app.waitForExit());
    }
    // Each record file without its closing line is what the one file held of that run.
    std::string body = "nomerra-undo 1\t2\t0\n";
    for (const wchar_t* record : {L"ThumbUndo-2.db", L"ThumbUndo-1.db"}) {
        const std::string text = readBytes(runs.history() + record);
        const std::size_t closing = text.rfind("end\t");
        CHECK(closing != std::string::npos && closing > 0);
        body += text.substr(0, closing);
        CHECK(DeleteFileW((runs.history() + record).c_str()));
    }
    writeBytes(runs.history() + L"ThumbUndo.db", body + "end\t" + sha256Hex(body) + "\n");

    App app(runs.folder);
    CHECK(!app.undoGrayed());
    runs.undoneInTurn(app);
}

// A record deleted by hand, or one edited, is never acted on: the user hears the history was
// damaged, the run before it can still be undone, and the next run is recorded beside it.
E2E_TEST(records_deleted_or_edited_by_hand_are_not_acted_on)
{
    for (bool deleted : {true, false}) {
        std::printf("  the newest record %s\n", deleted ? "deleted" : "edited");
        const TwoRuns runs(L"handedited");
        App app(runs.folder);
        runs.first(app);
        runs.run(app, L"x");
        const std::wstring newest = runs.history() + L"ThumbUndo-2.db";
        CHECK(fileExists(newest));
        if (deleted) {
            CHECK(DeleteFileW(newest.c_str()));
        } else {
            std::string text = readBytes(newest);
            const std::size_t at = text.find("x001.jpg");
            CHECK(at != std::string::npos);
            if (at != std::string::npos)
                text.replace(at, 8, "y001.jpg");
            writeBytes(newest, text);
        }
        app.menuAsync(ids::n_undo);
        CHECK_EQ(closeBox(app, L"确认", IDYES), L"确定要撤销上次执行吗？\r将把 2 个文件改回原名。");
        const std::wstring notice = closeBox(app, L"诺通", IDOK);
        CHECK_EQ(notice, deleted ? std::wstring(L"撤销记录已损坏，其中的执行不能再撤销。")
                                 : L"撤销记录已损坏，已改名为 ThumbUndo-2.bad，其中的执行不能再撤销。");
        CHECK(runs.named(L"x001.jpg", L"x002.jpg"));
        CHECK_EQ(fileExists(runs.history() + L"ThumbUndo-2.bad"), !deleted);
        CHECK(!app.undoGrayed());

        // The next run's record goes beside the first run's, the one set aside left as it is.
        runs.run(app, L"z");
        CHECK(runs.named(L"z001.jpg", L"z002.jpg"));
        CHECK_EQ(recordFiles(runs.history()), 2);
        CHECK_EQ(fileExists(runs.history() + L"ThumbUndo-2.bad"), !deleted);
        CHECK(undoNewest(app) == std::make_pair(std::wstring(L"确定要撤销上次执行吗？\r将把 2 个文件改回原名。"),
                                                std::wstring(L"撤销成功!")));
        CHECK(runs.named(L"x001.jpg", L"x002.jpg"));
        // What is left is the first run, whose files now stand under other names: none is touched.
        const auto [question, result] = undoNewest(app);
        CHECK(result.rfind(L"撤销完成，2 个文件未处理：\r" + runs.folder + L"trip001.jpg → " + runs.folder + L"a.jpg（文件不存在）", 0) == 0);
        CHECK(runs.named(L"x001.jpg", L"x002.jpg"));
        CHECK(app.undoGrayed());
    }
}

// The main window closed once every file has moved, the stop answered yes: the program ends as
// closed, and the run is undone after the restart.
E2E_TEST(closing_the_main_window_as_a_run_closes_keeps_its_history)
{
    EndRun run(L"closeatend");
    {
        App app(run.folder);
        if (!run.runTo(app, "engine-ended"))
            return;
        closeWindow(app.window());
        HWND ask = app.waitForDialog(L"确认");
        if (ask && boxMessage(ask) == L"确定要停止执行吗？") {
            pressButton(ask, IDYES);
            CHECK(gone(ask));
        }
        CHECK(app.waitForExit(60000));
    }
    CHECK(!fileExists(privateFolderOf(run.folder) + L"ThumbRun.db"));
    undoneOnceAfterRestart(run, false);
}

// Copies onto a drive that fills part-way are taken back: each copy made goes, and the drive has
// its room again.
E2E_TEST(copies_onto_a_full_drive_are_undone)
{
    wchar_t drive[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"NOMERRA_SMALL_DRIVE", drive, MAX_PATH)) {
        std::printf("  SKIPPED: no small drive is mapped (mounting one needs privileges)\n");
        return;
    }
    const std::wstring root = drive;
    ULARGE_INTEGER total{}, freeBefore{};
    CHECK(GetDiskFreeSpaceExW(root.c_str(), nullptr, &total, nullptr));
    const std::wstring out = freshFolderIn(root, L"undoonto"), outFolder = out.substr(0, out.size() - 1);
    const std::wstring folder = freshProgramFolder(L"undofull");
    std::vector<std::wstring> originals, targets;
    for (int i = 0; i < 3; ++i) {
        originals.push_back(numbered(folder, L"p", i));
        targets.push_back(numbered(out, L"x", i));
        writeBytes(originals.back(), std::string(total.QuadPart * 2 / 5, static_cast<char>('a' + i)));
    }
    leaveLists(folder, originals, targets);
    CHECK(GetDiskFreeSpaceExW(root.c_str(), &freeBefore, nullptr, nullptr));
    App app(folder);
    app.clickAsync(ids::rbSaveas);
    HWND chooser = app.waitForDialog(L"Select Directory");
    CHECK(chooser != nullptr);
    answerFolderChooser(chooser, outFolder);
    CHECK(gone(chooser));
    const std::wstring report = executeAndAnswer(app);
    CHECK(report.rfind(L"执行完成，1 个文件未处理：\r" + originals[2], 0) == 0);
    CHECK(fileExists(targets[0]) && fileExists(targets[1]) && !fileExists(targets[2]));

    const auto [question, result] = undoNewest(app);
    CHECK_EQ(question, L"确定要撤销上次执行吗？\r将删除上次复制出的 2 个文件。");
    CHECK_EQ(result, L"撤销成功!");
    app.saveScreenshot(L"undo-full-drive.bmp");
    for (const auto& t : targets)
        CHECK(!fileExists(t));
    for (const auto& o : originals)
        CHECK(fileExists(o));
    ULARGE_INTEGER freeAfter{};
    CHECK(GetDiskFreeSpaceExW(root.c_str(), &freeAfter, nullptr, nullptr));
    CHECK(freeAfter.QuadPart + 65536 >= freeBefore.QuadPart);
    CHECK(app.undoGrayed());
}
