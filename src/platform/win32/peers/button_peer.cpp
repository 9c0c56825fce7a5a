#include "platform/win32/peers/button_peer.h"

#include "platform/win32/win32_form.h"

namespace platform::win32 {

ButtonPeer::ButtonPeer(const ControlSite& site) : Win32Control(site, {WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON}) {}

void ButtonPeer::notify(WORD code)
{
    if (code == BN_CLICKED)
        events().userClicked();
}

void ButtonPeer::makeDefault()
{
    SendMessageW(hwnd(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    form().setDefaultButton(hwnd());
}

}  // namespace platform::win32
