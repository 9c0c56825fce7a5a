// The application window: never seen itself, it carries the taskbar button with the application
// title, and minimising, restoring and closing from the taskbar go through it.
#include "platform/win32/wide.h"
#include "platform/win32/win32_ui.h"

namespace platform::win32 {

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

}  // namespace platform::win32
