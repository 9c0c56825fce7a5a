#include "platform/win32/peers/edit_peer.h"

namespace platform::win32 {

EditPeer::EditPeer(const ControlSite& site)
    : Win32Control(site, {WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE})
{
    SetWindowSubclass(hwnd(), proc, 1, 0);
}

LRESULT CALLBACK EditPeer::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (msg == WM_CHAR)
        if (Win32Control* c = controlOf(hwnd))
            wParam = c->events().userTyped(static_cast<char32_t>(wParam));
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace platform::win32
