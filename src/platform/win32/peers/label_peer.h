#pragma once
// A label: a static control that draws its own text on one line, shortened where it does not
// fit, and that can be made a link the keyboard reaches.
#include "platform/win32/peers/win32_control.h"

namespace platform::win32 {

class LabelPeer : public Win32Control {
public:
    explicit LabelPeer(const ControlSite& site);
    void setAlign(Align align) override;
    void notify(WORD code) override;
    void setEllipsis(Ellipsis where);
    // Takes the focus with Tab and opens on Enter or Space, as on a click.
    void makeLink();

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);
    void paint();

    Ellipsis ellipsis_ = Ellipsis::End;
    bool link_ = false;
};

}  // namespace platform::win32
