#pragma once
// A group box, and the frame of a radio group, whose items are radio buttons of their own
// (radio_button_peer.h): a real parent of the controls inside it.
#include "platform/win32/peers/win32_control.h"

namespace platform::win32 {

class GroupBoxPeer : public Win32Control {
public:
    explicit GroupBoxPeer(const ControlSite& site);

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);
};

}  // namespace platform::win32
