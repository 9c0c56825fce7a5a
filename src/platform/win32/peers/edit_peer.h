#pragma once
// A one-line edit field; what the user types passes the field's key handler first.
#include "platform/win32/peers/win32_control.h"

namespace platform::win32 {

class EditPeer : public Win32Control {
public:
    explicit EditPeer(const ControlSite& site);
    void setMaxLength(int chars) override { SendMessageW(hwnd(), EM_LIMITTEXT, chars, 0); }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);
};

}  // namespace platform::win32
