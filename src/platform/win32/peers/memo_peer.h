#pragma once
// A memo: the read-only multi-line text view (text_view.h), framed as an edit field is.
#include "platform/win32/peers/win32_control.h"
#include "platform/win32/text_view.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

class MemoPeer : public Win32Control {
public:
    explicit MemoPeer(const ControlSite& site)
        : Win32Control(site, {textViewClass(), WS_TABSTOP | WS_HSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE})
    {
    }
    // A list of a million lines is handed to the view, not copied through a message.
    std::string text() const override
    {
        if (auto text = textViewText(hwnd()))
            return std::move(*text);
        return Win32Control::text();
    }
    void setText(const std::string& text) override
    {
        if (!setTextViewText(hwnd(), widen(text)))
            Win32Control::setText(text);
    }
};

}  // namespace platform::win32
