#include "platform/win32/dpi.h"

namespace platform::win32 {

namespace {

template <typename Function>
Function user32Function(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

int dpiOf(HWND window)
{
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(window))
            return static_cast<int>(dpi);
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi > 0 ? dpi : 96;
}

void adjustWindowRect(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi)
{
    static const auto adjustForDpi = user32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    if (!adjustForDpi || !adjustForDpi(&rect, style, menu, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&rect, style, menu, exStyle);
}

MonitorArea monitorAreaOf(HWND window)
{
    MONITORINFO info{sizeof info};
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info))
        return {info.rcMonitor, info.rcWork};
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return {{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, work};
}

}  // namespace platform::win32
