// Files from the file browser: given on the command line (Send To), handed over by a second
// copy, dropped on the window.
#include "../../src/app/control_ids.h"
#include "../../src/platform/win32/single_instance.h"
#include "driver.h"

using namespace e2e;

namespace {

std::wstring quoted(const std::vector<std::wstring>& paths)
{
    std::wstring line;
    for (const auto& p : paths)
        line += (line.empty() ? L"\"" : L" \"") + p + L"\"";
    return line;
}

// The window that had the foreground must answer the system, as the file browser's does.
void answerMessages()
{
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&m);
}

void checkOriginalList(const App& app, const std::vector<std::wstring>& paths, const std::vector<std::wstring>& names)
{
    const std::wstring counter = L"共 " + std::to_wstring(paths.size()) + L" 行";
    waitFor([&] { return app.text(ids::lb_old) == counter; });
    CHECK_EQ(app.text(ids::lb_old), counter);
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == gbkLines(paths));
    CHECK(readBytes(app.listFile(L"ThumbName.db")) == gbkLines(names));
    CHECK_EQ(app.text(ids::mmOriginal), joinCrLf(names));
}

}  // namespace

E2E_TEST(started_with_files_and_a_folder_opens_them)
{
    const std::wstring folder = freshFolder(L"started-with");
    const std::wstring photos = folder + L"photos\\";
    makeFiles(folder, {L"c.png", L"my a.jpg", L"b.jpg"});
    CreateDirectoryW(photos.c_str(), nullptr);
    makeFiles(photos, {L"img10.jpg", L"淺.jpg", L"IMG2.jpg", L"img1.jpg"});
    CreateDirectoryW((photos + L"sub").c_str(), nullptr);
    makeFiles(photos + L"sub\\", {L"deeper.jpg"});

    // The folder is named relative to the folder the program starts in.
    App app(folder, quoted({folder + L"c.png", folder + L"my a.jpg", folder + L"gone.jpg", folder + L"b.jpg"}) +
                        L" photos con");
    HWND box = app.waitForDialog();
    CHECK(box != nullptr);
    // The system answers for a device as for a file; it is no file to rename.
    CHECK_EQ(boxMessage(box), L"以下文件不存在，未加入列表：\r" + folder + L"gone.jpg\r\\\\.\\con");
    pressButton(box, IDOK);
    CHECK(gone(box));

    checkOriginalList(app,
                      {folder + L"c.png", folder + L"my a.jpg", folder + L"b.jpg", photos + L"img1.jpg",
                       photos + L"IMG2.jpg", photos + L"img10.jpg", photos + L"淺.jpg"},
                      {L"c.png", L"my a.jpg", L"b.jpg", L"img1.jpg", L"IMG2.jpg", L"img10.jpg", L"淺.jpg"});
    CHECK_EQ(app.text(ids::edtsuffix_old), L".png");
    CHECK_EQ(app.text(ids::edtsuffix_new), L".png");
    CHECK_EQ(app.text(ids::lbpath), folder);
    CHECK_EQ(app.text(ids::lb_new), L"共 0 行");
}

E2E_TEST(a_second_copy_hands_its_files_to_the_running_one)
{
    const std::wstring folder = freshFolder(L"hand-over");
    const std::wstring other = folder + L"other\\";
    makeFiles(folder, {L"a.jpg"});
    CreateDirectoryW(other.c_str(), nullptr);
    makeFiles(other, {L"d.jpg", L"e.gif"});
    App first(folder, quoted({folder + L"a.jpg"}));
    checkOriginalList(first, {folder + L"a.jpg"}, {L"a.jpg"});
    // Another window has the foreground, as the file browser has when Send To starts a copy.
    HWND elsewhere = CreateWindowExW(0, L"STATIC", L"elsewhere", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                     nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(elsewhere);
    CHECK(GetForegroundWindow() == elsewhere);

    PROCESS_INFORMATION second = startProgram(folder, quoted({other + L"d.jpg", other + L"e.gif"}));
    bool secondWindow = false;
    const bool ended = waitFor([&] {
        answerMessages();
        secondWindow |= !windowsOf(second.dwProcessId, L"TFrmMain").empty();
        return WaitForSingleObject(second.hProcess, 0) == WAIT_OBJECT_0;
    }, 15000);
    CHECK(ended);
    CHECK(!secondWindow);
    CloseHandle(second.hProcess);
    CloseHandle(second.hThread);

    // A list was there: the files are added, and add sets only the output path.
    checkOriginalList(first, {folder + L"a.jpg", other + L"d.jpg", other + L"e.gif"}, {L"a.jpg", L"d.jpg", L"e.gif"});
    CHECK_EQ(first.text(ids::lbpath), other);
    CHECK_EQ(first.text(ids::edtsuffix_old), L".jpg");
    CHECK(first.running());
    waitFor([&] {
        answerMessages();
        return GetForegroundWindow() == first.window();
    }, 3000);
    CHECK(GetForegroundWindow() == first.window());
    DestroyWindow(elsewhere);
}

E2E_TEST(a_hand_over_while_a_notice_is_open_waits_for_it)
{
    const std::wstring folder = freshFolder(L"hand-over-waits");
    makeFiles(folder, {L"a.jpg", L"b.jpg"});
    App first(folder, quoted({folder + L"gone.jpg", folder + L"a.jpg"}));
    HWND box = first.waitForDialog();
    CHECK(box != nullptr);

    PROCESS_INFORMATION second = startProgram(folder, quoted({folder + L"b.jpg"}));
    CHECK(WaitForSingleObject(second.hProcess, 15000) == WAIT_OBJECT_0);
    CloseHandle(second.hProcess);
    CloseHandle(second.hThread);
    Sleep(500);
    // The notice stays in front of the window that waits on it, and nothing was listed yet.
    RECT r;
    GetWindowRect(box, &r);
    CHECK(GetAncestor(WindowFromPoint({(r.left + r.right) / 2, r.top + 5}), GA_ROOT) == box);
    CHECK(!fileExists(first.listFile(L"ThumbPath.db")));

    pressButton(box, IDOK);
    CHECK(gone(box));
    // The open ended first; the handed-over file was then added.
    checkOriginalList(first, {folder + L"a.jpg", folder + L"b.jpg"}, {L"a.jpg", L"b.jpg"});
}

E2E_TEST(files_dropped_on_the_window_are_opened_then_added)
{
    const std::wstring folder = freshFolder(L"dropped");
    const std::wstring more = folder + L"more\\";
    makeFiles(folder, {L"x.png", L"y.jpg"});
    CreateDirectoryW(more.c_str(), nullptr);
    makeFiles(more, {L"p10.jpg", L"p9.jpg", L"desktop.ini"});
    SetFileAttributesW((more + L"desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    App app(folder);

    // No list yet: the drop opens.
    app.dropFiles({folder + L"y.jpg", folder + L"x.png"});
    checkOriginalList(app, {folder + L"y.jpg", folder + L"x.png"}, {L"y.jpg", L"x.png"});
    CHECK_EQ(app.text(ids::edtsuffix_old), L".jpg");
    CHECK_EQ(app.text(ids::lbpath), folder);

    // Now it adds; the folder brings its files but not its protected system file.
    app.dropFiles({folder + L"more"});
    checkOriginalList(app, {folder + L"y.jpg", folder + L"x.png", more + L"p9.jpg", more + L"p10.jpg"},
                      {L"y.jpg", L"x.png", L"p9.jpg", L"p10.jpg"});
    CHECK_EQ(app.text(ids::lbpath), more);
    CHECK_EQ(app.text(ids::edtsuffix_old), L".jpg");
}

// Blocks no file browser makes: a list outside its block or over its header, a list without
// its closing NULs (nothing after it but the block's own bytes), code-page strings. Each is
// passed over without a word; the program goes on and takes the next whole drop.
E2E_TEST(a_damaged_drop_is_refused_and_lists_nothing)
{
    const std::wstring folder = freshFolder(L"damaged-drop");
    makeFiles(folder, {L"a.jpg", L"b.jpg"});
    App app(folder);
    for (const wchar_t* damage : {L"outside", L"header", L"unended", L"narrow"})
        app.dropFiles({folder + L"a.jpg", folder + L"b.jpg"}, damage);
    CHECK(app.running());
    // Posted after the damaged ones, this drop is handled after them.
    app.dropFiles({folder + L"b.jpg"});
    checkOriginalList(app, {folder + L"b.jpg"}, {L"b.jpg"});
    CHECK(windowsOf(app.processId(), L"#32770").empty());
    CHECK(app.running());
}

// A program of the user takes the folder's one-copy lock first, where the lock lies in a
// namespace every program may use (under Wine, which has no private namespaces): no window of
// a copy answers, and the program starts all the same after five seconds.
E2E_TEST(a_lock_taken_first_by_another_program_does_not_keep_the_program_from_starting)
{
    const std::wstring folder = freshFolder(L"lock-taken");
    const std::wstring lock = platform::win32::lockName(L"Local", platform::win32::folderOf(folder + L"nomerra.exe"));
    HANDLE squatter = CreateMutexW(nullptr, TRUE, lock.c_str());
    CHECK(squatter && GetLastError() != ERROR_ALREADY_EXISTS);
    App app(folder);
    CHECK(app.window() != nullptr);
    CHECK(app.running());
    CloseHandle(squatter);
}

// Hand-overs no copy of the program sends: no data at all, another tag, a block of an odd size,
// a last path not ended. Each is answered "not taken" and lists nothing; a well-formed one is
// still taken (under Wine every process counts as elevated, as a second copy is).
E2E_TEST(a_forged_hand_over_is_refused_and_lists_nothing)
{
    const std::wstring folder = freshFolder(L"forged-hand-over");
    makeFiles(folder, {L"a.jpg", L"b.jpg"});
    App app(folder);
    auto send = [&](const COPYDATASTRUCT* data) {
        DWORD_PTR answer = 0;
        const bool delivered = SendMessageTimeoutW(app.window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(data),
                                                   SMTO_ABORTIFHUNG, 5000, &answer);
        return delivered ? static_cast<long long>(answer) : -1LL;
    };
    std::wstring block = folder + L"a.jpg" + L'\0';
    const DWORD bytes = static_cast<DWORD>(block.size() * sizeof(wchar_t));
    const ULONG_PTR tag = 0x6E6D4631;
    COPYDATASTRUCT otherTag{tag + 1, bytes, block.data()}, oddSize{tag, bytes - 1, block.data()},
        unended{tag, bytes - 2, block.data()};
    // The system does not carry a hand-over without data between processes: it comes from inside.
    app.dropFiles({}, L"null-copydata");
    CHECK_EQ(send(&otherTag), 0);
    CHECK_EQ(send(&oddSize), 0);
    CHECK_EQ(send(&unended), 0);
    CHECK(app.running());
    Sleep(300);
    CHECK(!fileExists(app.listFile(L"ThumbPath.db")));
    CHECK(windowsOf(app.processId(), L"#32770").empty());

    std::wstring whole = folder + L"b.jpg" + L'\0';
    COPYDATASTRUCT handOver{tag, static_cast<DWORD>(whole.size() * sizeof(wchar_t)), whole.data()};
    CHECK_EQ(send(&handOver), 1);
    checkOriginalList(app, {folder + L"b.jpg"}, {L"b.jpg"});
}
