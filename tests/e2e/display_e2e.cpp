// The windows on a display of another density: every control at its designed place scaled, every
// caption whole in its scaled font, the menu bar on one line, the window inside the work area.
#include "../../src/app/control_ids.h"
#include "driver.h"
#include "platform/display.h"
#include "platform/win32/font_recipe.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace e2e;
using platform::scaled;

namespace {

// The window as drawn, without a hint: one shown because the pointer happened to rest over a
// control would cover the captions measured. The pointer goes to the title bar and every hint of
// the window's thread is taken down.
Shot captureWithoutHints(HWND window)
{
    RECT outer;
    GetWindowRect(window, &outer);
    SetCursorPos((outer.left + outer.right) / 2, outer.top + 4);
    EnumThreadWindows(
        GetWindowThreadProcessId(window, nullptr),
        [](HWND w, LPARAM) -> BOOL {
            wchar_t name[32] = {};
            GetClassNameW(w, name, 32);
            if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0)
                SendMessageW(w, TTM_POP, 0, 0);
            return TRUE;
        },
        0);
    return capture(window);
}

// Where Wine keeps the display density; each program reads it as it starts.
const wchar_t* const desktopKey = L"Control Panel\\Desktop";
const wchar_t* const logPixels = L"LogPixels";

std::optional<DWORD> readLogPixels()
{
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, desktopKey, logPixels, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

void writeLogPixels(std::optional<DWORD> value)
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, desktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    if (value)
        RegSetValueExW(key, logPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*value), sizeof *value);
    else
        RegDeleteValueW(key, logPixels);
    RegCloseKey(key);
}

// The programs started while it lives see a display of this density; the other tests share the
// prefix, so the density the prefix had comes back however the test ends (and should this
// process be killed, the cleanup below sets 96 again).
class DisplayDensity {
public:
    explicit DisplayDensity(int dpi) : before_(readLogPixels()) { writeLogPixels(static_cast<DWORD>(dpi)); }
    ~DisplayDensity() { writeLogPixels(before_); }
    DisplayDensity(const DisplayDensity&) = delete;
    DisplayDensity& operator=(const DisplayDensity&) = delete;

private:
    std::optional<DWORD> before_;
};

// The driver sees the program's windows in the program's own pixels, not scaled to its own DPI.
void seeWindowsUnscaled()
{
    using SetThreadDpiAwarenessContextFunction = HANDLE(WINAPI*)(HANDLE);
    const auto set = reinterpret_cast<SetThreadDpiAwarenessContextFunction>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext")));
    if (set)
        set(reinterpret_cast<HANDLE>(-4));  // per monitor, version 2
}

struct Designed {
    int id;
    RECT design;  // left, top, width, height at 96 dots per inch
};

// Every control that keeps its place, with its place in its parent as designed.
const Designed inventory[] = {
    {ids::gb_name, {8, 6, 614, 115}},        {ids::gb_extension, {8, 123, 118, 68}},
    {ids::gb_attributes, {131, 123, 97, 68}}, {ids::gb_output, {234, 123, 388, 68}},
    {ids::gb_append, {226, 64, 214, 44}},    {ids::cbAftername, {8, 14, 94, 17}},
    {ids::edtRearside, {86, 13, 114, 21}},   {ids::gb_filename, {6, 15, 214, 44}},
    {ids::cbNewname, {8, 15, 85, 17}},       {ids::edtname, {98, 14, 105, 21}},
    {ids::gb_No, {226, 15, 214, 44}},        {ids::cbInitNo, {8, 15, 76, 17}},
    {ids::edtvalue, {86, 14, 27, 21}},       {ids::cbPos, {123, 13, 80, 21}},
    {ids::rgIncDec, {446, 10, 160, 48}},     {ids::gbReplace, {446, 60, 160, 48}},
    {ids::edtOldpart, {8, 16, 60, 21}},      {ids::Label3, {72, 19, 12, 13}},
    {ids::edtNewpart, {91, 15, 60, 21}},     {ids::gb_insert, {6, 64, 214, 44}},
    {ids::cbBeforename, {8, 14, 84, 17}},    {ids::edtForeside, {98, 13, 105, 21}},
    {ids::cbChangesuffix, {8, 18, 54, 17}},  {ids::edtsuffix_old, {6, 40, 40, 21}},
    {ids::Label4, {51, 43, 12, 13}},         {ids::edtsuffix_new, {69, 40, 40, 21}},
    {ids::cbReadonly, {8, 18, 74, 17}},      {ids::cbHidden, {8, 40, 68, 20}},
    {ids::rbRename, {8, 18, 173, 17}},       {ids::rbSaveas, {187, 18, 161, 17}},
    {ids::lbpath, {12, 42, 365, 13}},        {ids::lb_old, {110, 20, 97, 16}},
    {ids::cbShowpathO, {10, 20, 90, 17}},    {ids::lb_new, {218, 20, 97, 16}},
    {ids::cbshowpathR, {10, 20, 90, 17}},    {ids::Button1, {114, 14, 92, 25}},
};

// Room a caption leaves in its control at 96 dots per inch: the box or circle of a check box or
// radio button and its gap, the frame of a group box around its caption, a button's edges.
int designedRoom(const std::wstring& className, LONG style)
{
    if (className != L"Button")
        return 0;
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return 18;
    case BS_GROUPBOX: return 12;
    default: return 6;
    }
}

std::wstring classOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// Rows of the shot, from the top, that hold ink within part of a control.
std::pair<int, int> inkRows(const Shot& shot, HWND control, const RECT& part)
{
    int first = -1, last = -1;
    for (int y = part.top; y < part.bottom; ++y) {
        const RECT row{part.left, y, part.right, y + 1};
        if (shot.inkOf(control, &row).pixels > 0) {
            if (first < 0)
                first = y;
            last = y;
        }
    }
    return {first, last};
}

bool nearBlack(COLORREF c) { return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100; }

bool light(COLORREF c) { return GetRValue(c) >= 0xC0 && GetGValue(c) >= 0xC0 && GetBValue(c) >= 0xC0; }

// The lines of text of the menu bar: bands of rows with dark ink between the title bar (the first
// rows, upwards from the client area, that are not mostly light, as a menu bar is) and the client
// area.
int menuBarLines(const Shot& shot, HWND window)
{
    POINT client{0, 0};
    ClientToScreen(window, &client);
    int y = client.y - shot.screenRect.top - 1;
    int lines = 0;
    bool inLine = false;
    for (; y >= 0; --y) {
        int bright = 0, dark = 0;
        for (int x = 0; x < shot.width; ++x) {
            const COLORREF c = shot.at(x, y);
            bright += light(c);
            dark += nearBlack(c);
        }
        if (bright < shot.width / 2)
            break;  // the title bar
        if (dark > 0 && !inLine)
            ++lines;
        inLine = dark > 0;
    }
    return lines;
}

// Every control at its designed place scaled, the list areas by the layout rule scaled.
void checkPlaces(const App& app, int dpi)
{
    const auto s = [&](int v) { return scaled(v, dpi); };
    for (const Designed& d : inventory) {
        const RECT r = app.rectInClient(d.id);
        const RECT want{s(d.design.left), s(d.design.top), s(d.design.right), s(d.design.bottom)};
        CHECK_EQ(r.left, want.left);
        CHECK_EQ(r.top, want.top);
        CHECK_EQ(r.right - r.left, want.right);
        if (d.id != ids::cbPos)  // a drop-down list is as high as its font makes it
            CHECK_EQ(r.bottom - r.top, want.bottom);
    }
    // The two items of the increment group, side by side in its columns.
    int column = 0;
    for (HWND item = GetWindow(app.control(ids::rgIncDec), GW_CHILD); item; item = GetWindow(item, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(item, &r);
        MapWindowPoints(nullptr, GetParent(item), reinterpret_cast<POINT*>(&r), 2);
        CHECK_EQ(r.left, s(8 + column++ * 72));
        CHECK_EQ(r.top, s(16));
        CHECK_EQ(r.right - r.left, s(72));
    }
    CHECK_EQ(column, 2);
    const SIZE client = app.clientSize();
    const int w = (client.cx - s(34)) / 2, h = client.cy - s(200);
    const RECT oldArea = app.rectInClient(ids::gb_old), newArea = app.rectInClient(ids::gb_new);
    CHECK_EQ(oldArea.left, s(8));
    CHECK_EQ(oldArea.right - oldArea.left, w);
    CHECK_EQ(newArea.left, w + s(24));
    CHECK_EQ(newArea.right - newArea.left, w);
    CHECK_EQ(newArea.bottom - newArea.top, h);
    const RECT view = app.rectInClient(ids::mmRenamed);
    CHECK_EQ(view.right - view.left, w - s(20));
    CHECK_EQ(view.bottom - view.top, h - s(58));
}

// The columns a text's ink takes, drawn at the left edge in a font: its advance may end in blank.
Ink inkOfText(HDC dc, const std::wstring& text)
{
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    const int width = size.cx * 2 + 8, height = size.cy + 4;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = SelectObject(memory, GetCurrentObject(dc, OBJ_FONT));
    const RECT all{0, 0, width, height};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(memory, RGB(0, 0, 0));
    SetBkMode(memory, TRANSPARENT);
    TextOutW(memory, 0, 0, text.c_str(), static_cast<int>(text.size()));
    GdiFlush();
    Ink ink;
    const auto* pixel = static_cast<const DWORD*>(bits);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            if (3 * 255 - GetRValue(pixel[y * width + x]) - GetGValue(pixel[y * width + x]) -
                    GetBValue(pixel[y * width + x]) >= 90) {  // as far from the paper as Shot::inkOf asks
                ink.left = ink.left < 0 ? x : ink.left;
                ink.right = x;
                ++ink.pixels;
            }
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return ink;
}

// The control's caption fits it in the font selected into dc (the control's own), with room
// for the control's own parts; a label draws it whole, not shortened.
void checkCaptionFits(const Shot& shot, HWND control, HDC dc, int room)
{
    const std::wstring caption = titleOf(control);
    const Ink text = inkOfText(dc, caption);
    RECT r;
    GetClientRect(control, &r);
    const Ink drawn = shot.inkOf(control);
    std::printf("  \"%s\": ink %d..%d, %d px for the control's parts, of %ld; drawn in %d..%d\n",
                narrow(caption).c_str(), text.left, text.right, room, r.right, drawn.left, drawn.right);
    CHECK(text.right + 1 + room <= r.right);
    if (classOf(control) == L"Static")
        CHECK(drawn.right - drawn.left >= std::min<int>(text.right - text.left, r.right - 1) - 1);
}

// Each caption of the main window fits its control, in the window's font scaled.
void checkCaptionsFit(const Shot& shot, const App& app, int dpi)
{
    const LOGFONTW windowFont = platform::win32::logFontOf(platform::scaled(platform::FontSpec{}, dpi));
    HFONT font = CreateFontIndirectW(&windowFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    for (const Designed& d : inventory) {
        HWND control = app.control(d.id);
        const std::wstring kind = classOf(control);
        if (!app.text(d.id).empty() && kind != L"Edit" && kind != L"ComboBox")
            checkCaptionFits(shot, control, dc, scaled(designedRoom(kind, GetWindowLongW(control, GWL_STYLE)), dpi));
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
}

// The About window's four labels, by the start of their texts, and their fonts as designed.
const std::pair<const wchar_t*, platform::FontSpec> aboutLabels[] = {
    {L"诺默拉", {"MS Sans Serif", 13}},
    {L"Emial: ", {"Arial", 13, false, true, true}},
    {L"官网：", {"Arial", 13, false, true, true}},
    {L"澜岩出品", {"MS Sans Serif", 11, true}},
};

// Each label of the About window shows its text whole in its font scaled.
void checkAboutLabelsFit(const Shot& shot, HWND about, int dpi)
{
    HDC dc = GetDC(nullptr);
    int labels = 0;
    for (HWND label = GetWindow(about, GW_CHILD); label; label = GetWindow(label, GW_HWNDNEXT))
        for (const auto& [start, designFont] : aboutLabels)
            if (titleOf(label).rfind(start, 0) == 0) {
                const LOGFONTW lf = platform::win32::logFontOf(platform::scaled(designFont, dpi));
                HFONT font = CreateFontIndirectW(&lf);
                HGDIOBJ old = SelectObject(dc, font);
                checkCaptionFits(shot, label, dc, 0);
                SelectObject(dc, old);
                DeleteObject(font);
                ++labels;
            }
    CHECK_EQ(labels, 4);
    ReleaseDC(nullptr, dc);
}

// Captions are drawn in the scaled font, whole: a Chinese caption's ink is about as high as the
// font, inside its control.
void checkCaptionsDrawn(const Shot& shot, const App& app, int dpi)
{
    for (int id : {ids::cbNewname, ids::lb_old, ids::rbRename}) {
        HWND control = app.control(id);
        RECT r;
        GetClientRect(control, &r);
        const RECT text{id == ids::lb_old ? 0 : scaled(18, dpi), 0, r.right, r.bottom};
        const auto [top, bottom] = inkRows(shot, control, text);
        std::printf("  \"%s\": ink in rows %d..%d of %ld\n", narrow(app.text(id)).c_str(), top, bottom, r.bottom);
        CHECK(top >= 0 && bottom - top + 1 >= scaled(11, dpi) * 3 / 4);
        CHECK(top >= 0 && bottom - top + 1 <= scaled(11, dpi) + 2);
        CHECK(top >= 0 && bottom < r.bottom);
    }
}

}  // namespace

namespace {

// The program started on a display of this density, as a new user meets it.
void windowAtDensity(int dpi)
{
    DisplayDensity density(dpi);
    seeWindowsUnscaled();
    const std::wstring suffix = L"-" + std::to_wstring(dpi) + L"dpi";
    App app(freshFolder(L"dpi" + std::to_wstring(dpi)));

    // 648 × 753 scaled, but never beyond the work area, and centred there.
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(app.window(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT work = monitor.rcWork;
    RECT outer;
    GetWindowRect(app.window(), &outer);
    std::printf("  window %ld,%ld %ldx%ld in the work area %ld,%ld %ldx%ld\n", outer.left, outer.top,
                outer.right - outer.left, outer.bottom - outer.top, work.left, work.top, work.right - work.left,
                work.bottom - work.top);
    CHECK_EQ(outer.right - outer.left, std::min<long>(scaled(648, dpi), work.right - work.left));
    CHECK_EQ(outer.bottom - outer.top, std::min<long>(scaled(753, dpi), work.bottom - work.top));
    CHECK(outer.left >= work.left && outer.right <= work.right && outer.top >= work.top && outer.bottom <= work.bottom);
    CHECK(std::abs((outer.left - work.left) - (work.right - outer.right)) <= 1);
    CHECK(std::abs((outer.top - work.top) - (work.bottom - outer.bottom)) <= 1);

    checkPlaces(app, dpi);
    const Shot shot = captureWithoutHints(app.window());
    shot.save(L"main-window" + suffix + L".bmp");
    checkCaptionsFit(shot, app, dpi);
    CHECK_EQ(menuBarLines(shot, app.window()), 1);
    checkCaptionsDrawn(shot, app, dpi);

    // The About window: its client area and its labels' fonts scaled, each text whole.
    app.menu(ids::n_about);
    HWND about = nullptr;
    waitFor([&] {
        auto found = windowsOf(app.processId(), L"TfrmAbout");
        about = found.empty() || !IsWindowVisible(found[0]) ? nullptr : found[0];
        return about != nullptr;
    });
    CHECK(about != nullptr);
    if (!about)
        return;
    RECT aboutClient;
    GetClientRect(about, &aboutClient);
    CHECK_EQ(aboutClient.right, scaled(242, dpi));
    CHECK_EQ(aboutClient.bottom, scaled(142, dpi));
    const Shot aboutShot = captureWithoutHints(about);
    aboutShot.save(L"about-window" + suffix + L".bmp");
    checkAboutLabelsFit(aboutShot, about, dpi);
}

}  // namespace

E2E_TEST(the_window_at_120_dpi_is_its_design_scaled)
{
    windowAtDensity(120);
}

E2E_TEST(the_window_at_144_dpi_is_its_design_scaled)
{
    windowAtDensity(144);
}

E2E_TEST(the_window_at_192_dpi_is_its_design_scaled)
{
    windowAtDensity(192);
}

namespace {

// What the system sends when the window is moved onto a monitor of another density: the new
// DPI, and the rectangle it suggests, which lies in the program's own memory.
void moveToDisplay(const App& app, int dpi, const RECT& suggested)
{
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, app.processId());
    void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr);
    SendMessageW(app.window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
}

// Where the hints of the main window wrap.
int hintWrapWidth(const App& app)
{
    for (HWND tip : windowsOf(app.processId(), TOOLTIPS_CLASSW))
        if (GetWindow(tip, GW_OWNER) == app.window())
            return static_cast<int>(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0));
    return -1;
}

}  // namespace

// Long hints wrap at a width that follows the window to its new density, as its fonts do.
E2E_TEST(hints_wrap_at_the_width_of_the_new_density)
{
    App app(freshFolder(L"dpihints"));
    CHECK_EQ(hintWrapWidth(app), 600);
    for (int dpi : {144, 168, 96}) {
        RECT outer;
        GetWindowRect(app.window(), &outer);
        moveToDisplay(app, dpi, {outer.left, outer.top, outer.left + scaled(700, dpi), outer.top + scaled(760, dpi)});
        std::printf("  at %d dpi: hints wrap at %d px\n", dpi, hintWrapWidth(app));
        CHECK_EQ(hintWrapWidth(app), scaled(600, dpi));
    }
    CHECK(app.running());
}

namespace {

// Where the caret of the program's window thread is, in its view.
RECT caretPlace(const App& app)
{
    GUITHREADINFO info{sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(app.window(), nullptr), &info);
    return info.rcCaret;
}

}  // namespace

// A list scrolled sideways keeps the part of its lines that was in sight there at the new
// density, the whole view scaled: the caret at the end of a long line stays where it was in the
// view, scaled (to a tenth of the view: glyphs do not scale exactly), and not lines away.
E2E_TEST(a_list_scrolled_sideways_keeps_its_part_of_the_lines_in_sight_at_another_density)
{
    App app(freshFolder(L"dpiscroll"));
    SetForegroundWindow(app.window());
    HWND view = app.control(ids::mmOriginal);
    std::wstring line;
    for (int i = 0; i < 40; ++i)
        line += L"照片_IMG_" + std::to_wstring(1000 + i) + L".jpg ";
    SendMessageW(view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    SendMessageW(view, WM_KEYDOWN, VK_END, 0);
    RECT outer;
    GetWindowRect(app.window(), &outer);
    const auto moveTo = [&](int dpi) {
        moveToDisplay(app, dpi, {outer.left, outer.top, outer.left + scaled(700, dpi), outer.top + scaled(760, dpi)});
    };
    moveTo(96);
    int dpiBefore = 96;
    long caretBefore = caretPlace(app).left;
    for (int dpi : {144, 192, 96}) {
        moveTo(dpi);
        RECT client;
        GetClientRect(view, &client);
        const long caret = caretPlace(app).left, expected = MulDiv(caretBefore, dpi, dpiBefore);
        std::printf("  at %d dpi the caret at %ld (%ld expected) in a view %ld wide\n", dpi, caret, expected, client.right);
        CHECK(std::abs(caret - expected) <= client.right / 10);
        dpiBefore = dpi;
        caretBefore = caret;
    }
}

E2E_TEST(moving_to_a_display_of_another_density_lays_the_window_out_again)
{
    App app(freshFolder(L"dpichange"));
    const RECT larger{100, 0, 100 + 1000, 1000};
    moveToDisplay(app, 144, larger);
    RECT outer;
    GetWindowRect(app.window(), &outer);
    CHECK(EqualRect(&outer, &larger));
    checkPlaces(app, 144);
    const Shot shot = captureWithoutHints(app.window());
    checkCaptionsFit(shot, app, 144);
    checkCaptionsDrawn(shot, app, 144);

    // Back, to a size below the smallest of 96 dpi: the smallest it is, laid out at 96 dpi.
    moveToDisplay(app, 96, {100, 0, 100 + 600, 500});
    waitFor([&] { return app.outerSize().cx == 648 && app.outerSize().cy == 520; }, 3000);
    CHECK_EQ(app.outerSize().cx, 648);
    CHECK_EQ(app.outerSize().cy, 520);
    checkPlaces(app, 96);
    checkCaptionsDrawn(captureWithoutHints(app.window()), app, 96);
    CHECK(app.running());
}

// Run after the tests above however they ended, even killed: the prefix is at 96 dpi again.
E2E_TEST(the_display_is_back_at_96_dpi)
{
    if (const auto value = readLogPixels(); value && *value != 96)
        writeLogPixels(96);
    CHECK(readLogPixels().value_or(96) == 96);
}
