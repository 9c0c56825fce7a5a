#pragma once
// The display density of a window, on systems that know one per monitor and on those that know
// one for the whole display only (older Windows, Wine): the per-monitor functions are looked up
// at run time, and without them the display's LOGPIXELSY holds for every window.
#include <windows.h>

namespace platform::win32 {

// The dots per inch the window is shown at.
int dpiOf(HWND window);

// The outer rectangle around a client rectangle, with the frame metrics of that DPI.
void adjustWindowRect(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi);

// The monitor the window is on, and that monitor less its taskbar, in screen coordinates.
struct MonitorArea {
    RECT monitor, work;
};
MonitorArea monitorAreaOf(HWND window);

}  // namespace platform::win32
