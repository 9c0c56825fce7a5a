#pragma once
// What assistive technology is told of a text view: the system's own accessible object for the
// view's client area, wrapped so that it says what the view is: read-only text, named by the
// caption of the group box around it, with the view's text as its value.
#include <windows.h>

namespace platform::win32 {

// The answer to WM_GETOBJECT for a view's client area.
LRESULT accessibleView(HWND view, WPARAM wParam);

}  // namespace platform::win32
