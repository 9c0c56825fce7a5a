// The end of a run where another program stands in the way of the history or the lists: what
// the window shows of the lists, and what the user is told of the history.
#include "../../src/app/control_ids.h"
#include "driver.h"

#include <cstdio>

using namespace e2e;

// The history's index held when a run ends: the lists are written all the same, and the view of
// the original list shows them, the files under their new names.
E2E_TEST(a_run_whose_history_cannot_be_written_shows_the_lists_it_wrote)
{
    const std::wstring folder = freshProgramFolder(L"historyheld");
    makeFiles(folder, {L"a.jpg", L"b.jpg"});
    App app(folder);
    openFiles(app, folder, L"\"a.jpg\" \"b.jpg\"");
    previewNamed(app, L"trip");
    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    CHECK_EQ(app.text(ids::mmOriginal), L"trip001.jpg\r\ntrip002.jpg\r\n");

    Held held(privateFolderOf(folder) + L"ThumbUndo.db");
    previewNamed(app, L"x");
    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    CHECK(!closeBox(app, L"诺通", IDOK).empty());
    CHECK(readBytes(folder + L"x001.jpg") == "content of a.jpg");
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == gbkLines({folder + L"x001.jpg", folder + L"x002.jpg"}));
    CHECK_EQ(app.text(ids::mmOriginal), L"x001.jpg\r\nx002.jpg\r\n");
    CHECK_EQ(app.text(ids::lb_old), L"共 2 行");
}

namespace {

// The texts of the notices the program shows until it asks a question, which stays open.
std::vector<std::wstring> noticesBeforeQuestion(const App& app)
{
    std::vector<std::wstring> notices;
    for (HWND box; (box = app.waitForDialog(60000)) && titleOf(box) == L"诺通";) {
        notices.push_back(boxMessage(box));
        pressButton(box, IDOK);
        CHECK(gone(box));
    }
    return notices;
}

}  // namespace

// The history's index spoilt while a run goes, and the original list held when it ends: the
// history is set aside, and the user hears so once.
E2E_TEST(a_history_spoilt_during_a_run_whose_lists_are_held_is_said_to_be_set_aside)
{
    const std::wstring folder = freshProgramFolder(L"spoiltheld"), trace = folder + L"trace.txt";
    std::vector<std::wstring> names, originals;
    for (int i = 0; i < 3000; ++i) {
        names.push_back(L"IMG_" + std::to_wstring(10000 + i) + L".jpg");
        originals.push_back(folder + names.back());
    }
    makeFiles(folder, names);
    leaveLists(folder, originals, {});
    SetEnvironmentVariableW(L"NOMERRA_TRACE", trace.c_str());
    App app(folder);
    SetEnvironmentVariableW(L"NOMERRA_TRACE", nullptr);
    previewNamed(app, L"trip");
    app.menuAsync(ids::n_run);
    CHECK(waitFor([&] { return readBytes(trace).find("\nengine ") != std::string::npos; }, 60000));
    writeBytes(privateFolderOf(folder) + L"ThumbUndo.db", "spoilt\n");
    Held held(app.listFile(L"ThumbPath.db"));
    CHECK(readBytes(trace).find("engine-ended") == std::string::npos);

    // A history set aside as the run is recorded is said at once, before the question.
    std::wstring told;
    for (const std::wstring& notice : noticesBeforeQuestion(app))
        told += notice + L"\n";
    CHECK_EQ(closeBox(app, L"确认", IDNO, 60000), L"执行成功!\r是否打开目录查看 " + folder);
    told += closeBox(app, L"诺通", IDOK) + L"\n";
    held.release();
    // Execute again: the run is settled first, then done again over the files where they are.
    app.menuAsync(ids::n_run);
    for (const std::wstring& notice : noticesBeforeQuestion(app))
        told += notice + L"\n";
    CHECK_EQ(closeBox(app, L"确认", IDNO), L"执行成功!\r是否打开目录查看 " + folder);
    std::printf("  told:\n%s", narrow(told).c_str());
    const std::wstring setAside = L"撤销记录已损坏，已改名为 ThumbUndo.bad，其中的执行不能再撤销。";
    const std::size_t first = told.find(setAside);
    CHECK(first != std::wstring::npos);
    CHECK(first == std::wstring::npos || told.find(setAside, first + 1) == std::wstring::npos);  // said once
    CHECK(fileExists(privateFolderOf(folder) + L"ThumbUndo.bad"));
}
