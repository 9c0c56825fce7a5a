#pragma once
// A memo: the read-only multi-line text view (text_view.h), framed as an edit field is.
#include "platform/win32/peers/win32_control.h"
#include "platform/win32/text_view.h"

namespace platform::win32 {

class MemoPeer : public Win32Control {
public:
    explicit MemoPeer(const ControlSite& site)
        : Win32Control(site, {textViewClass(), WS_TABSTOP | WS_HSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE})
    {
    }
};

}  // namespace platform::win32
