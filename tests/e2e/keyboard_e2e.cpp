// The window driven with the keyboard: where the focus is, and what Esc, Enter and Tab do.
#include "../../src/app/control_ids.h"
#include "driver.h"

#include <oleacc.h>

#include <cstdint>

using namespace e2e;

namespace {

std::wstring className(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

bool focusComesBackTo(HWND window, HWND control)
{
    const bool back = waitFor([&] { return focusOf(window) == control; }, 5000);
    if (!back)
        std::printf("  focus on %p (class %s), expected %p\n", static_cast<void*>(focusOf(window)),
                    narrow(className(focusOf(window))).c_str(), static_cast<void*>(control));
    return back;
}

void clickInto(HWND control)
{
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

HWND aboutWindow(const App& app)
{
    HWND about = nullptr;
    waitFor([&] {
        for (HWND w : windowsOf(app.processId(), L"TfrmAbout"))
            if (IsWindowVisible(w))
                about = w;
        return about != nullptr;
    });
    return about;
}

}  // namespace

// The first control of the tab order has the focus at the start; a dialog, the folder chooser, a
// notice or the About window gives it back to the control that had it.
E2E_TEST(the_focus_starts_on_the_first_control_and_comes_back_after_every_dialog)
{
    const std::wstring folder = freshFolder(L"focus");
    makeFiles(folder, {L"a.jpg"});
    App app(folder);
    CHECK(focusComesBackTo(app.window(), app.control(ids::mmOriginal)));

    const HWND renamed = app.control(ids::mmRenamed);
    clickInto(renamed);
    CHECK(focusComesBackTo(app.window(), renamed));
    openFiles(app, folder, L"a.jpg");
    CHECK(focusComesBackTo(app.window(), renamed));

    app.menuAsync(ids::n_run);
    HWND notice = app.waitForDialog(L"诺通");
    CHECK(notice != nullptr);
    CHECK_EQ(boxMessage(notice), L"没有预览，无法执行。");
    pressButton(notice, IDOK);
    CHECK(gone(notice));
    CHECK(focusComesBackTo(app.window(), renamed));

    // The chooser opens from a click on 另存到文件夹..., which takes the focus as a click does.
    app.clickAsync(ids::rbSaveas);
    HWND chooser = app.waitForDialog(L"Select Directory");
    CHECK(chooser != nullptr);
    answerFolderChooser(chooser, folder);
    CHECK(gone(chooser));
    CHECK(focusComesBackTo(app.window(), app.control(ids::rbSaveas)));

    clickInto(renamed);
    CHECK(focusComesBackTo(app.window(), renamed));
    app.menu(ids::n_about);
    HWND about = aboutWindow(app);
    CHECK(about != nullptr);
    CHECK(waitFor([&] { return GetForegroundWindow() == about; }));
    pressKey(about, VK_ESCAPE);
    CHECK(gone(about));
    CHECK(focusComesBackTo(app.window(), renamed));
}

// Esc and Enter close About; Tab reaches its links, which show that they have the focus.
E2E_TEST(about_closes_with_esc_and_enter_and_tab_reaches_its_links)
{
    App app(freshFolder(L"about-keys"));
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        app.menu(ids::n_about);
        HWND about = aboutWindow(app);
        CHECK(about != nullptr);
        if (!about)
            return;
        CHECK(focusComesBackTo(about, about));
        pressKey(about, key);
        CHECK(gone(about));
    }

    app.menu(ids::n_about);
    HWND about = aboutWindow(app);
    if (!about)
        return;
    CHECK(focusComesBackTo(about, about));
    std::vector<std::wstring> reached;
    for (int i = 0; i < 3; ++i) {
        pressKey(focusOf(about), VK_TAB);
        Sleep(300);
        reached.push_back(titleOf(focusOf(about)));
    }
    CHECK(reached == (std::vector<std::wstring>{L"Emial: kf@nmr.example", L"官网：www.nmr.example",
                                                L"Emial: kf@nmr.example"}));
    const Shot shot = capture(about);
    shot.save(L"about-focused-link.bmp");
    // The dotted rectangle around the focused link: ink above and below its text.
    const HWND link = focusOf(about);
    RECT r;
    GetClientRect(link, &r);
    const RECT above{0, 0, r.right, 2};
    CHECK(shot.inkOf(link, &above).pixels > 20);
}

// A screen reader asks the views what they are and what they show.
E2E_TEST(a_view_tells_a_screen_reader_its_role_name_and_text_and_copies_with_ctrl_a_ctrl_c)
{
    const std::wstring folder = freshFolder(L"accessible");
    writeBytes(folder + L"ThumbPath.db", gbkLines({L"C:\\照片\\一.jpg", L"C:\\照片\\二.jpg"}));
    writeBytes(folder + L"ThumbName.db", gbkLines({L"一.jpg", L"二.jpg"}));
    writeBytes(folder + L"Thumb1Path.db", gbkLines({L"C:\\照片\\旅行1.jpg", L"C:\\照片\\旅行2.jpg"}));
    writeBytes(folder + L"Thumb1Name.db", gbkLines({L"旅行1.jpg", L"旅行2.jpg"}));
    App app(folder);
    CHECK(waitFor([&] { return app.text(ids::lb_new) == L"共 2 行"; }));

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const struct {
        int view;
        const wchar_t* name;
        const wchar_t* firstLine;
    } views[] = {{ids::mmOriginal, L"原文件名", L"一.jpg\r\n"}, {ids::mmRenamed, L"改名后文件名", L"旅行1.jpg\r\n"}};
    for (const auto& v : views) {
        IAccessible* object = nullptr;
        CHECK(SUCCEEDED(AccessibleObjectFromWindow(app.control(v.view), OBJID_CLIENT, __uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&object))));
        if (!object)
            continue;
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        VARIANT role{};
        CHECK(SUCCEEDED(object->get_accRole(self, &role)));
        CHECK(role.vt == VT_I4 && role.lVal == ROLE_SYSTEM_TEXT);
        VARIANT state{};
        CHECK(SUCCEEDED(object->get_accState(self, &state)));
        CHECK(state.vt == VT_I4 && (state.lVal & STATE_SYSTEM_READONLY));
        BSTR name = nullptr, value = nullptr;
        CHECK(SUCCEEDED(object->get_accName(self, &name)));
        CHECK_EQ(name ? std::wstring(name) : L"", v.name);
        CHECK(SUCCEEDED(object->get_accValue(self, &value)));
        const std::wstring text = value ? std::wstring(value, SysStringLen(value)) : L"";
        CHECK_EQ(text.substr(0, std::wstring(v.firstLine).size()), v.firstLine);
        SysFreeString(name);
        SysFreeString(value);
        object->Release();
    }
    CoUninitialize();

    // Ctrl+A and Ctrl+C from the keyboard, as in an edit field.
    const HWND view = app.control(ids::mmRenamed);
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    SetForegroundWindow(app.window());
    clickInto(view);
    CHECK(focusComesBackTo(app.window(), view));
    pressChord(VK_CONTROL, 'A');
    pressChord(VK_CONTROL, 'C');
    CHECK(waitFor([] { return clipboardText() == L"旅行1.jpg\r\n旅行2.jpg\r\n"; }, 5000));
}

// A view tells its accessible object its text within the program; a message from another
// program, of whatever number, makes it write nothing into memory that program points at.
E2E_TEST(a_view_writes_its_text_nowhere_another_program_points_at)
{
    const std::wstring folder = freshFolder(L"foreign-message");
    writeBytes(folder + L"ThumbPath.db", gbkLines({L"C:\\照片\\一.jpg"}));
    writeBytes(folder + L"ThumbName.db", gbkLines({L"一.jpg"}));
    App app(folder);
    CHECK(waitFor([&] { return app.text(ids::lb_old) == L"共 1 行"; }));
    // A string in the program's memory as its library lays one out, with room of its own: the
    // view would copy its text there if it took the pointer for its own string's.
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, app.processId());
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, 512, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    const std::uintptr_t layout[4] = {reinterpret_cast<std::uintptr_t>(remote + 64), 0, 100, 0};
    WriteProcessMemory(process, remote, layout, sizeof layout, nullptr);
    for (UINT msg = WM_USER; msg < WM_USER + 16; ++msg) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(app.control(ids::mmOriginal), msg, 0, reinterpret_cast<LPARAM>(remote),
                            SMTO_ABORTIFHUNG, 2000, &answer);
    }
    wchar_t written[100]{};
    ReadProcessMemory(process, remote + 64, written, sizeof written - sizeof(wchar_t), nullptr);
    CHECK_EQ(std::wstring(written), L"");
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    CHECK(app.running());
}

namespace {
// What has the focus, by the name a reader of the window would use: the control's id, or for an
// item of the increment group its caption.
std::wstring focusName(HWND window)
{
    const HWND focus = focusOf(window);
    const int id = GetDlgCtrlID(focus);
    return id ? std::to_wstring(id) : titleOf(focus);
}

std::wstring nextByKey(HWND window, WPARAM key)
{
    pressKey(focusOf(window), key);
    Sleep(200);
    return focusName(window);
}
}  // namespace

// Tab goes through the main window in its keyboard order, a radio group one stop on its selected
// item; the arrows select within the group as they move, and the preview then counts down.
E2E_TEST(tab_walks_the_main_window_in_its_keyboard_order_and_arrows_select_in_a_radio_group)
{
    const std::wstring folder = freshFolder(L"tab-order");
    makeFiles(folder, {L"a.jpg", L"b.jpg", L"c.jpg"});
    writeBytes(folder + L"ThumbPath.db", gbkLines({folder + L"a.jpg", folder + L"b.jpg", folder + L"c.jpg"}));
    writeBytes(folder + L"ThumbName.db", gbkLines({L"a.jpg", L"b.jpg", L"c.jpg"}));
    App app(folder);
    CHECK(focusComesBackTo(app.window(), app.control(ids::mmOriginal)));
    using namespace ids;
    std::vector<std::wstring> expected;
    for (int id : std::initializer_list<int>{cbShowpathO, cbshowpathR, mmRenamed, Button1, cbAftername, edtRearside, cbNewname, edtname,
                   cbInitNo, edtvalue, cbPos, 0, edtOldpart, edtNewpart, cbBeforename, edtForeside, cbChangesuffix,
                   cbReadonly, cbHidden, rbRename, rbSaveas, mmOriginal})
        expected.push_back(id ? std::to_wstring(id) : L"+1");
    std::vector<std::wstring> reached;
    for (std::size_t i = 0; i < expected.size(); ++i)
        reached.push_back(nextByKey(app.window(), VK_TAB));
    CHECK(reached == expected);

    const HWND plus = GetWindow(app.control(rgIncDec), GW_CHILD), minus = GetWindow(plus, GW_HWNDNEXT);
    clickInto(app.control(cbPos));
    pressKey(app.control(cbPos), VK_ESCAPE);  // the list a click opens
    CHECK_EQ(nextByKey(app.window(), VK_TAB), L"+1");
    CHECK_EQ(nextByKey(app.window(), VK_DOWN), L"-1");
    CHECK(waitFor([&] { return SendMessageW(minus, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 2000));
    CHECK(SendMessageW(plus, BM_GETCHECK, 0, 0) == BST_UNCHECKED);
    app.menu(n_preview);
    CHECK_EQ(app.text(mmRenamed), L"001.jpg\r\n000.jpg\r\n0-1.jpg\r\n");
    // Back into the group, Tab lands on the selected item.
    clickInto(app.control(cbPos));
    pressKey(app.control(cbPos), VK_ESCAPE);
    CHECK_EQ(nextByKey(app.window(), VK_TAB), L"-1");
    CHECK_EQ(nextByKey(app.window(), VK_UP), L"+1");
    CHECK(waitFor([&] { return SendMessageW(plus, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 2000));
    app.saveScreenshot(L"radio-by-keyboard.bmp");
}
