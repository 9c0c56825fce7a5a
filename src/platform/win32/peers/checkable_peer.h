#pragma once
// What check boxes and radio buttons share: a button window with a checked state. The state
// changes only through the peer, never by the click itself, so that a click and a change from
// code follow the same rule (platform/controls.h).
#include "platform/win32/peers/win32_control.h"

namespace platform::win32 {

class CheckablePeer : public Win32Control {
public:
    bool checked() const override { return SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void setChecked(bool on) override { SendMessageW(hwnd(), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
    void notify(WORD code) override
    {
        if (code == BN_CLICKED)
            events().userClicked();
    }

protected:
    // buttonStyle: BS_CHECKBOX or BS_RADIOBUTTON, which leave the state to the peer.
    CheckablePeer(const ControlSite& site, DWORD buttonStyle) : Win32Control(site, {WC_BUTTONW, WS_TABSTOP | buttonStyle})
    {
    }
};

}  // namespace platform::win32
