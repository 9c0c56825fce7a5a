#include "platform/win32/peers/group_box_peer.h"

namespace platform::win32 {

GroupBoxPeer::GroupBoxPeer(const ControlSite& site)
    : Win32Control(site, {WC_BUTTONW, BS_GROUPBOX, WS_EX_CONTROLPARENT})
{
    SetWindowSubclass(hwnd(), proc, 1, 0);
}

// As real parents, group boxes pass on what their children report to the children's peers.
LRESULT CALLBACK GroupBoxPeer::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (msg) {
    case WM_COMMAND:
        routeCommand(wParam, lParam);
        return 0;
    case WM_NCHITTEST:
        // A group box is transparent to the mouse by default, which would hide its hint.
        return HTCLIENT;
    case WM_ERASEBKGND: {
        // As a real parent it must paint what lies behind its children.
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(controlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace platform::win32
