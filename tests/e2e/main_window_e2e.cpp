// The main window as a person meets it: start-up, the views over lists left by an earlier run,
// resizing, closing, and a second copy.
#include "../../src/app/control_ids.h"
#include "driver.h"

#include <commctrl.h>

using namespace e2e;

namespace {

const std::vector<std::wstring> earlierPaths = {L"C:\\照片\\淺.jpg", L"C:\\照片\\b.JPG"};
const std::vector<std::wstring> earlierNames = {L"淺.jpg", L"b.JPG"};

void leaveEarlierLists(const std::wstring& folder)
{
    writeBytes(folder + L"ThumbPath.db", gbkLines(earlierPaths));
    writeBytes(folder + L"ThumbName.db", gbkLines(earlierNames));
    writeBytes(folder + L"Thumb1Path.db", gbkLines({L"C:\\照片\\x001.jpg"}));
    writeBytes(folder + L"Thumb1Name.db", gbkLines({L"x001.jpg"}));
}

}  // namespace

E2E_TEST(startup_shows_the_whole_main_window)
{
    std::wstring folder = freshFolder(L"startup");
    leaveEarlierLists(folder);
    App app(folder);
    CHECK_EQ(app.title(), L"诺默拉v3.0.1");
    CHECK_EQ(app.outerSize().cx, 648);
    CHECK_EQ(app.outerSize().cy, 753);
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    RECT r;
    GetWindowRect(app.window(), &r);
    CHECK_EQ(r.left, (screen.right - 648) / 2);
    CHECK_EQ(r.top, (screen.bottom - 753) / 2);

    // Lists left behind are in force, so they are shown: names, as both boxes start unticked.
    CHECK_EQ(app.text(ids::lb_old), L"共 2 行");
    CHECK_EQ(app.text(ids::lb_new), L"共 1 行");
    CHECK_EQ(app.text(ids::mmOriginal), joinCrLf(earlierNames));
    CHECK_EQ(app.text(ids::mmRenamed), L"x001.jpg\r\n");
    CHECK(app.comboItems(ids::cbPos) == (std::vector<std::wstring>{L"序号后置", L"序号前置"}));
    CHECK_EQ(app.comboText(ids::cbPos), L"序号后置");
    CHECK_EQ(app.text(ids::gb_name), L"文件名 ");
    CHECK_EQ(app.text(ids::rbSaveas), L"另存到文件夹...");
    CHECK_EQ(app.text(ids::edtvalue), L"001");
    CHECK(app.checked(ids::cbNewname));
    CHECK(app.checked(ids::rbRename));
    CHECK(!app.enabled(ids::edtsuffix_old));
    CHECK(!app.visible(ids::btnFolder));
    // Group boxes are the parents of their controls.
    CHECK(GetParent(app.control(ids::cbNewname)) == app.control(ids::gb_filename));
    CHECK(GetParent(app.control(ids::gb_filename)) == app.control(ids::gb_name));
    RECT cb = app.rectInClient(ids::cbInitNo);
    CHECK_EQ(cb.left, 8);
    CHECK_EQ(cb.top, 15);

    // Start-up left the earlier lists as they were.
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == gbkLines(earlierPaths));
    app.saveScreenshot(L"main-window.bmp");
}

E2E_TEST(show_full_path_switches_read_the_lists)
{
    std::wstring folder = freshFolder(L"showpath");
    leaveEarlierLists(folder);
    App app(folder);
    app.click(ids::cbShowpathO);
    CHECK(app.checked(ids::cbShowpathO));
    CHECK_EQ(app.text(ids::mmOriginal), joinCrLf(earlierPaths));
    CHECK_EQ(app.text(ids::lb_old), L"共 2 行");
    app.click(ids::cbShowpathO);
    CHECK_EQ(app.text(ids::mmOriginal), joinCrLf(earlierNames));
    CHECK_EQ(app.text(ids::lb_old), L"共 2 行");
    app.click(ids::cbshowpathR);
    CHECK_EQ(app.text(ids::mmRenamed), L"C:\\照片\\x001.jpg\r\n");
    CHECK_EQ(app.text(ids::lb_new), L"共 1 行");
    app.click(ids::cbshowpathR);
    CHECK_EQ(app.text(ids::mmRenamed), L"x001.jpg\r\n");
}

E2E_TEST(a_view_scrolls_both_ways_and_copies_what_is_dragged_over)
{
    std::wstring folder = freshFolder(L"viewcopy");
    std::vector<std::wstring> paths;
    for (int i = 0; i < 300; ++i)
        paths.push_back(L"C:\\照片\\一个很长很长的文件夹名字，比列表还宽\\IMG_" + std::to_wstring(1000 + i) + L".jpg");
    writeBytes(folder + L"ThumbPath.db", gbkLines(paths));
    writeBytes(folder + L"ThumbName.db", gbkLines(paths));
    App app(folder);
    app.click(ids::cbShowpathO);
    CHECK_EQ(app.text(ids::lb_old), L"共 300 行");
    HWND view = app.control(ids::mmOriginal);

    // From the start of the first line to past the right edge: that whole line.
    drag(view, {2, 2}, {3000, 2});
    CHECK_EQ(copied(view), paths[0]);

    // Scrolled down and to the right, the top left corner lies inside a later line.
    const std::wstring all = joinCrLf(paths);
    SendMessageW(view, WM_VSCROLL, SB_BOTTOM, 0);
    SendMessageW(view, WM_HSCROLL, SB_PAGEDOWN, 0);
    drag(view, {2, 2}, {3000, 3000});
    const std::wstring tail = copied(view);
    CHECK(!tail.empty() && tail.size() < all.size() - paths[0].size());
    CHECK(all.ends_with(tail));
    CHECK(!tail.starts_with(L"C:\\"));
}

E2E_TEST(resizing_keeps_the_minimum_and_lays_out_the_lists)
{
    App app(freshFolder(L"resize"));
    SetWindowPos(app.window(), nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    waitFor([&] { return app.outerSize().cx == 648 && app.outerSize().cy == 520; }, 3000);
    CHECK_EQ(app.outerSize().cx, 648);
    CHECK_EQ(app.outerSize().cy, 520);

    SetWindowPos(app.window(), nullptr, 0, 0, 901, 800, SWP_NOMOVE | SWP_NOZORDER);
    SIZE client = app.clientSize();
    const int w = (client.cx - 34) / 2, h = client.cy - 200;
    RECT oldArea = app.rectInClient(ids::gb_old), newArea = app.rectInClient(ids::gb_new);
    CHECK_EQ(oldArea.left, 8);
    CHECK_EQ(oldArea.right - oldArea.left, w);
    CHECK_EQ(oldArea.bottom - oldArea.top, h);
    CHECK_EQ(newArea.left, w + 24);
    CHECK_EQ(newArea.right - newArea.left, w);
    RECT view = app.rectInClient(ids::mmRenamed);
    CHECK_EQ(view.right - view.left, w - 20);
    CHECK_EQ(view.bottom - view.top, h - 58);
    RECT options = app.rectInClient(ids::gb_output);
    CHECK_EQ(options.left, 234);
    CHECK_EQ(options.right - options.left, 388);
}

E2E_TEST(exit_deletes_the_four_lists)
{
    std::wstring folder = freshFolder(L"exit");
    leaveEarlierLists(folder);
    writeBytes(folder + L"other.db", "keep");
    App app(folder);
    app.menuAsync(ids::n_exit);
    CHECK(app.waitForExit());
    for (const wchar_t* name : {L"ThumbPath.db", L"ThumbName.db", L"Thumb1Path.db", L"Thumb1Name.db"})
        CHECK(!fileExists(folder + name));
    CHECK(fileExists(folder + L"other.db"));
}

E2E_TEST(a_second_copy_in_the_same_folder_opens_no_window)
{
    std::wstring folder = freshFolder(L"single");
    App first(folder);
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    std::wstring image = folder + L"nomerra.exe";
    std::wstring command = L"\"" + image + L"\"";
    CHECK(CreateProcessW(image.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi));
    CHECK(WaitForSingleObject(pi.hProcess, 15000) == WAIT_OBJECT_0);
    CHECK(windowsOf(pi.dwProcessId, L"TFrmMain").empty());
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    CHECK(first.running());

    // A copy in another folder has lists of its own and runs beside it.
    App other(freshFolder(L"single-other"));
    CHECK(other.running());
    CHECK(first.running());
}

namespace {

void moveMouseTo(int x, int y)
{
    SetCursorPos(x - 1, y);
    INPUT move{INPUT_MOUSE};
    move.mi.dx = 1;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &move, sizeof move);
}

std::wstring shownHint(const App& app)
{
    for (HWND tip : windowsOf(app.processId(), TOOLTIPS_CLASSW))
        if (IsWindowVisible(tip))
            return titleOf(tip);
    return L"";
}

// Takes the mouse away until no hint shows, then rests it on the middle of a control, as a user
// does, and returns the text of the tool tip that shows then ("" when none shows).
std::wstring hintShownOver(const App& app, int id)
{
    moveMouseTo(2, 2);
    waitFor([&] { return shownHint(app).empty(); }, 3000);
    RECT r;
    GetWindowRect(app.control(id), &r);
    moveMouseTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    waitFor([&] { return !shownHint(app).empty(); }, 3000);
    return shownHint(app);
}

}  // namespace

E2E_TEST(hints_show_over_disabled_fields_too)
{
    App app(freshFolder(L"hints"));
    SetForegroundWindow(app.window());
    CHECK(!app.enabled(ids::edtsuffix_old));
    CHECK_EQ(hintShownOver(app, ids::edtsuffix_old), L"若只想改变扩展名，请不要勾选【新文件名】");
    CHECK_EQ(hintShownOver(app, ids::cbReadonly), L"若只想改变属性，请不要勾选【新文件名】");
    CHECK(!app.enabled(ids::edtsuffix_new));
    CHECK_EQ(hintShownOver(app, ids::edtsuffix_new), L"若只想改变扩展名，请不要勾选【新文件名】");
    app.click(ids::cbChangesuffix);
    CHECK(app.enabled(ids::edtsuffix_new));
    CHECK_EQ(hintShownOver(app, ids::edtname), L"输入新文件名");
    CHECK_EQ(hintShownOver(app, ids::edtsuffix_new), L"若只想改变扩展名，请不要勾选【新文件名】");
}

namespace {

// The windows of the process that the taskbar shows a button for: visible, unowned and no tool
// window, or marked as application windows.
std::vector<HWND> taskbarWindows(DWORD processId)
{
    std::vector<HWND> found;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        const LONG_PTR ex = GetWindowLongPtrW(w, GWL_EXSTYLE);
        if (pid == processId && IsWindowVisible(w) &&
            ((!GetWindow(w, GW_OWNER) && !(ex & WS_EX_TOOLWINDOW)) || (ex & WS_EX_APPWINDOW)))
            found.push_back(w);
    }
    return found;
}

}  // namespace

E2E_TEST(the_taskbar_button_reads_the_application_title)
{
    App app(freshFolder(L"taskbar"));
    const auto buttons = taskbarWindows(app.processId());
    CHECK_EQ(buttons.size(), 1);
    if (buttons.size() != 1)
        return;
    HWND application = buttons[0];
    CHECK_EQ(titleOf(application), L"诺通");
    CHECK_EQ(app.title(), L"诺默拉v3.0.1");
    CHECK(GetWindow(app.window(), GW_OWNER) == application);

    app.menu(ids::n_about);
    HWND about = nullptr;
    waitFor([&] {
        auto w = windowsOf(app.processId(), L"TfrmAbout");
        about = w.empty() || !IsWindowVisible(w[0]) ? nullptr : w[0];
        return about != nullptr;
    });
    CHECK(about != nullptr);
    CHECK(GetWindow(about, GW_OWNER) == app.window());
    CHECK(taskbarWindows(app.processId()) == buttons);

    // Minimising the main window minimises the button and hides both windows; the button brings
    // them back.
    PostMessageW(app.window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    CHECK(waitFor([&] { return IsIconic(application) && !IsWindowVisible(app.window()) && !IsWindowVisible(about); }));
    PostMessageW(application, WM_SYSCOMMAND, SC_RESTORE, 0);
    CHECK(waitFor([&] { return !IsIconic(application) && IsWindowVisible(app.window()) && IsWindowVisible(about); }));
    app.click(ids::cbShowpathO);
    CHECK(app.checked(ids::cbShowpathO));
}
