// Win32Ui: the application window that carries the taskbar button, the control factory and
// fonts, the message loop and the worker thread of a long run.
#include "platform/win32/win32_ui.h"

#include <objbase.h>

#include <exception>
#include <optional>
#include <thread>

#include "platform/win32/font_recipe.h"
#include "platform/win32/win32_peers.h"

namespace platform::win32 {

Win32Ui::Win32Ui(FileSystem& fs) : fs_(fs)
{
    // Accessible objects are handed to screen readers through COM.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
}

Win32Ui::~Win32Ui()
{
    if (applicationWindow_)
        DestroyWindow(applicationWindow_);
    for (auto& [key, font] : fonts_)
        DeleteObject(font);
    CoUninitialize();
}

std::unique_ptr<FormPeer> Win32Ui::createForm(FormEvents& events, FormBorder border, const std::string& className,
                                              bool mainWindow)
{
    auto form = std::make_unique<Win32Form>(*this, events, border, className, mainWindow,
                                            mainWindow ? applicationWindow() : mainWindow_);
    if (mainWindow)
        mainWindow_ = form->hwnd();
    return form;
}

namespace {

// Hides the windows owned by the application window and by the main window, or shows again
// those it hid, the main window's own ones last so that they stay above it.
void showOwnedWindows(HWND application, HWND main, bool show)
{
    if (show) {
        ShowOwnedPopups(application, TRUE);
        ShowOwnedPopups(main, TRUE);
    } else {
        ShowOwnedPopups(main, FALSE);
        ShowOwnedPopups(application, FALSE);
    }
}

LRESULT CALLBACK applicationProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* ui = reinterpret_cast<Win32Ui*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    HWND mainWindow = ui ? ui->mainWindow() : nullptr;
    switch (msg) {
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
            showOwnedWindows(hwnd, mainWindow, false);
            ShowWindow(hwnd, SW_MINIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            showOwnedWindows(hwnd, mainWindow, true);
            if (mainWindow)
                SetForegroundWindow(mainWindow);
            return 0;
        }
        break;
    case WM_ACTIVATE:
        // Chosen on the taskbar while it is not minimised: the main window is what the user wants.
        if (LOWORD(wParam) != WA_INACTIVE && !IsIconic(hwnd) && mainWindow)
            PostMessageW(hwnd, WM_APP, 0, 0);
        return 0;
    case WM_APP:
        if (mainWindow)
            SetForegroundWindow(mainWindow);
        return 0;
    case WM_CLOSE:
        // "Close window" on the taskbar button closes the program as the main window's close does.
        if (mainWindow)
            PostMessageW(mainWindow, WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

HWND Win32Ui::applicationWindow()
{
    if (applicationWindow_)
        return applicationWindow_;
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = applicationProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(wc.hInstance, L"MAINICON");
    wc.hIconSm = static_cast<HICON>(LoadImageW(wc.hInstance, L"WINDOWICON", IMAGE_ICON, 32, 32, 0));
    wc.lpszClassName = L"TApplication";
    RegisterClassExW(&wc);
    // Visible but of no size, so that it has a taskbar button and nothing of it is seen.
    applicationWindow_ = CreateWindowExW(0, wc.lpszClassName, widen(appTitle_).c_str(),
                                         WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS,
                                         GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                                         nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(applicationWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(applicationWindow_, SW_SHOWNOACTIVATE);
    return applicationWindow_;
}

void Win32Ui::setApplicationTitle(const std::string& title)
{
    appTitle_ = title;
    SetWindowTextW(applicationWindow(), widen(title).c_str());
}

std::unique_ptr<ControlPeer> Win32Ui::createControl(ControlKind kind, ControlEvents& events, FormPeer& form,
                                                    ControlPeer* parent, const Rect& bounds, int id)
{
    auto& f = static_cast<Win32Form&>(form);
    HWND parentWindow = parent ? static_cast<Win32Control*>(parent)->hwnd() : f.hwnd();
    return std::make_unique<Win32Control>(*this, kind, events, f, parentWindow, bounds, id);
}

HFONT Win32Ui::font(const FontSpec& wanted)
{
    const std::string key = wanted.face + "/" + std::to_string(wanted.pixels) + (wanted.bold ? "b" : "") +
                            (wanted.underline ? "u" : "");
    auto it = fonts_.find(key);
    if (it != fonts_.end())
        return it->second;
    const LOGFONTW lf = logFontOf(wanted);
    HFONT font = CreateFontIndirectW(&lf);
    fonts_[key] = font;
    return font;
}

void Win32Ui::setFont(ControlPeer& control, const FontSpec& font, Align align)
{
    auto& c = static_cast<Win32Control&>(control);
    c.blue = font.blue;
    SendMessageW(c.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(this->font(font)), TRUE);
    if (c.kind() == ControlKind::Label) {
        LONG style = GetWindowLongW(c.hwnd(), GWL_STYLE) & ~(SS_LEFT | SS_CENTER | SS_RIGHT);
        style |= align == Align::Centre ? SS_CENTER : align == Align::Right ? SS_RIGHT : SS_LEFT;
        SetWindowLongW(c.hwnd(), GWL_STYLE, style);
        InvalidateRect(c.hwnd(), nullptr, TRUE);
    }
}

void Win32Ui::setEllipsis(ControlPeer& label, Ellipsis where)
{
    auto& c = static_cast<Win32Control&>(label);
    c.ellipsis = where;
    InvalidateRect(c.hwnd(), nullptr, TRUE);
}

void Win32Ui::makeLink(ControlPeer& label)
{
    auto& c = static_cast<Win32Control&>(label);
    c.link = true;
    SetWindowLongW(c.hwnd(), GWL_STYLE, GetWindowLongW(c.hwnd(), GWL_STYLE) | WS_TABSTOP);
}

void Win32Ui::makeDefault(ControlPeer& button)
{
    auto& c = static_cast<Win32Control&>(button);
    SendMessageW(c.hwnd(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    c.form().setDefaultButton(c.hwnd());
}

void Win32Ui::setHintTimes(int showMs, int hideMs)
{
    hintShowMs_ = showMs;
    hintHideMs_ = hideMs;
    if (mainWindow_)
        if (auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(mainWindow_, GWLP_USERDATA)))
            form->applyHintTimes();
}

HWND Win32Ui::owner() const
{
    HWND active = GetActiveWindow();
    return active ? active : mainWindow_;
}

namespace {
bool arrowKey(const MSG& msg)
{
    return msg.message == WM_KEYDOWN && msg.wParam >= VK_LEFT && msg.wParam <= VK_DOWN;
}

void dispatch(MSG& msg)
{
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    const HWND focus = GetFocus();
    if (root && IsDialogMessageW(root, &msg)) {
        // The dialog manager only moves the focus through a group of radio buttons whose state
        // their peers keep; the one an arrow reaches is selected, as a click selects it.
        if (Win32Control* reached = controlOf(GetFocus());
            arrowKey(msg) && GetFocus() != focus && reached && reached->kind() == ControlKind::RadioButton)
            reached->events().userClicked();
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}
}  // namespace

int Win32Ui::run()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        dispatch(msg);
    return static_cast<int>(msg.wParam);
}

void Win32Ui::runInBackground(const std::function<void()>& work, const std::function<void()>& tick, int tickMs)
{
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        SetEvent(finished);
    });
    // The windows keep answering: this thread waits for the work or a message, whichever comes.
    std::optional<int> quit;
    ULONGLONG lastTick = GetTickCount64();
    while (MsgWaitForMultipleObjectsEx(1, &finished, tickMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                quit = static_cast<int>(msg.wParam);
            else
                dispatch(msg);
        }
        if (GetTickCount64() - lastTick >= static_cast<ULONGLONG>(tickMs)) {
            lastTick = GetTickCount64();
            tick();
        }
    }
    worker.join();
    CloseHandle(finished);
    if (quit)
        PostQuitMessage(*quit);
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace platform::win32
