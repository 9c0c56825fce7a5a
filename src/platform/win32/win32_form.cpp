// The form window: its class and procedure, its keyboard focus, its size and place.
#include "platform/win32/win32_form.h"

#include "platform/win32/dpi.h"
#include "platform/win32/drop_and_handover.h"

namespace platform::win32 {

Win32Form::Win32Form(Win32Ui& ui, FormEvents& events, FormBorder border, const std::string& className,
                     bool mainWindow, HWND owner)
    : ui_(ui), events_(events), mainWindow_(mainWindow)
{
    std::wstring cls = widen(className);
    WNDCLASSEXW wc{sizeof wc};
    if (!GetClassInfoExW(GetModuleHandleW(nullptr), cls.c_str(), &wc)) {
        wc = WNDCLASSEXW{sizeof wc};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = cls.c_str();
        wc.hIcon = LoadIconW(wc.hInstance, L"MAINICON");
        wc.hIconSm = static_cast<HICON>(LoadImageW(wc.hInstance, L"WINDOWICON", IMAGE_ICON, 32, 32, 0));
        RegisterClassExW(&wc);
    }
    DWORD style = border == FormBorder::Sizeable ? WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN
                                                 : WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = border == FormBorder::Sizeable ? WS_EX_CONTROLPARENT : WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;
    hwnd_ = CreateWindowExW(exStyle, cls.c_str(), L"", style, CW_USEDEFAULT, CW_USEDEFAULT, 300, 200, owner, nullptr,
                            GetModuleHandleW(nullptr), this);
    if (border == FormBorder::Sizeable) {
        HICON big = LoadIconW(GetModuleHandleW(nullptr), L"WINDOWICON");
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    }
    dpi_ = dpiOf(hwnd_);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(ui_.font(scaled(FontSpec{}, dpi_))), FALSE);
    if (mainWindow)
        acceptDrops(hwnd_);
}

Win32Form::~Win32Form()
{
    if (IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

LRESULT CALLBACK Win32Form::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->handle(msg, wParam, lParam);
}

LRESULT Win32Form::handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SIZE:
        // A minimised window has no size the layout could use; a window taking the size of a new
        // DPI is laid out once its controls are at that DPI.
        if (wParam != SIZE_MINIMIZED && !changingDpi_)
            events_.resized();
        return 0;
    case WM_COMMAND:
        if (lParam != 0 || HIWORD(wParam) != 0)
            routeCommand(wParam, lParam);
        else if (!mainWindow_ && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK))
            // Esc, or Enter with no default button, as the dialog manager reports them: a window
            // of the program's own besides the main one closes as by its close box.
            SendMessageW(hwnd_, WM_CLOSE, 0, 0);
        else
            events_.menuChosen(LOWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(controlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            rememberFocus();
        else if (!HIWORD(wParam) && restoreFocus())
            return 0;
        break;
    case WM_SETFOCUS:
        if (restoreFocus())
            return 0;
        break;
    case DM_GETDEFID:
        // Asked by the dialog manager when Enter is pressed.
        return defaultButton_ ? MAKELRESULT(GetDlgCtrlID(defaultButton_), DC_HASDEFID) : 0;
    case WM_CLOSE:
        if (!events_.closeQuery())
            return 0;
        if (!mainWindow_) {
            ShowWindow(hwnd_, SW_HIDE);
            return 0;
        }
        events_.closing();
        DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        if (mainWindow_)
            PostQuitMessage(0);
        return 0;
    case WM_SYSCOMMAND:
        // The taskbar button is the application window's: minimising goes through it.
        if (mainWindow_ && (wParam & 0xFFF0) == SC_MINIMIZE) {
            SendMessageW(ui_.applicationWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return 0;
        }
        break;
    case WM_DPICHANGED:
        dpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DROPFILES:
        filesDropped(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_COPYDATA:
        return filesHandedOver(lParam);
    case takeHandedOverMessage:
        takeHandedOver();
        return 0;
    case redrawMenuBarMessage:
        redrawStaleMenuBar();
        return 0;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

// Moved to a monitor of another density: the size the system suggests keeps the window as large
// to the eye, and the controls follow at the new DPI.
void Win32Form::dpiChanged(int dpi, const RECT& suggested)
{
    dpi_ = dpi;
    changingDpi_ = true;
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    changingDpi_ = false;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(ui_.font(scaled(FontSpec{}, dpi_))), FALSE);
    fitHintWidth();
    events_.dpiChanged();
}

void Win32Form::rememberFocus()
{
    const HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus))
        focus_ = focus;
}

namespace {
// Enabled itself and in every group box around it.
bool canTakeFocus(HWND control, HWND form)
{
    for (HWND w = control; w && w != form; w = GetParent(w))
        if (!IsWindowEnabled(w) || !IsWindowVisible(w))
            return false;
    return true;
}
}  // namespace

bool Win32Form::restoreFocus()
{
    HWND target = nullptr;
    if (focus_ && IsWindow(focus_) && IsChild(hwnd_, focus_))
        target = canTakeFocus(focus_, hwnd_) ? focus_ : nullptr;
    else if (defaultButton_ && canTakeFocus(defaultButton_, hwnd_))
        target = defaultButton_;
    else if (mainWindow_)
        target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (!target)
        return false;
    SetFocus(target);
    return true;
}

void Win32Form::changeTogether(const std::function<void()>& change)
{
    if (!IsWindowVisible(hwnd_))
        return change();
    // Held, the window counts as out of sight: each control changed marks nothing for drawing.
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    struct DrawnOnce {
        HWND window;
        ~DrawnOnce()
        {
            SendMessageW(window, WM_SETREDRAW, TRUE, 0);
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
    } drawnOnce{hwnd_};
    change();
}

void Win32Form::controlEnabled()
{
    const HWND focus = GetFocus();
    if (GetActiveWindow() == hwnd_ && (!focus || focus == hwnd_))
        restoreFocus();
}

Size Win32Form::outerSize() const
{
    RECT r;
    GetWindowRect(hwnd_, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void Win32Form::setOuterSize(Size size)
{
    SetWindowPos(hwnd_, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Size Win32Form::clientSize() const
{
    RECT r;
    GetClientRect(hwnd_, &r);
    return {r.right, r.bottom};
}

void Win32Form::setClientSize(Size size)
{
    RECT r{0, 0, size.width, size.height};
    adjustWindowRect(r, GetWindowLongW(hwnd_, GWL_STYLE), GetMenu(hwnd_) != nullptr, GetWindowLongW(hwnd_, GWL_EXSTYLE),
                     dpi_);
    setOuterSize({r.right - r.left, r.bottom - r.top});
}

void Win32Form::moveTo(int left, int top)
{
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {
Rect rectOf(const RECT& r)
{
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}
}  // namespace

Size Win32Form::workArea() const
{
    const Rect work = rectOf(monitorAreaOf(hwnd_).work);
    return {work.width, work.height};
}

void Win32Form::centreOnScreen()
{
    const MonitorArea area = monitorAreaOf(hwnd_);
    const Rect place = startPlace(outerSize(), rectOf(area.monitor), rectOf(area.work));
    SetWindowPos(hwnd_, nullptr, place.left, place.top, place.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::centreOver(const FormPeer& other)
{
    RECT r;
    GetWindowRect(static_cast<const Win32Form&>(other).hwnd_, &r);
    Size s = outerSize();
    moveTo(r.left + (r.right - r.left - s.width) / 2, r.top + (r.bottom - r.top - s.height) / 2);
}

void Win32Form::bringToFront()
{
    if (IsIconic(ui_.applicationWindow()))
        SendMessageW(ui_.applicationWindow(), WM_SYSCOMMAND, SC_RESTORE, 0);
    // A modal box the window waits on comes to the front with it, not behind it.
    HWND front = GetLastActivePopup(hwnd_);
    SetForegroundWindow(front);
    BringWindowToTop(front);
}

}  // namespace platform::win32
