// The control window every peer has: its making, text, enabling and place.
#include "platform/win32/peers/win32_control.h"

#include "platform/display.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

Win32Control* controlOf(HWND hwnd)
{
    return hwnd ? reinterpret_cast<Win32Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)) : nullptr;
}

void routeCommand(WPARAM wParam, LPARAM lParam)
{
    if (Win32Control* c = controlOf(reinterpret_cast<HWND>(lParam)))
        c->notify(HIWORD(wParam));
}

HBRUSH controlColour(HDC dc, HWND child)
{
    Win32Control* c = controlOf(child);
    SetTextColor(dc, c && c->blue ? RGB(0, 0, 255) : RGB(0, 0, 0));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

std::wstring windowText(HWND hwnd)
{
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(n + 1, L'\0');
    n = GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(n);
    return text;
}

namespace {

// A button or label paints itself the moment it is enabled or disabled; the options locked for a
// run, one after another, cost tens of milliseconds so under Wine. A control in sight is marked
// for painting instead, and all are painted together when the window next reads its messages.
void enableUnpainted(HWND control, bool on)
{
    if (!IsWindowVisible(control)) {
        EnableWindow(control, on);
        return;
    }
    SendMessageW(control, WM_SETREDRAW, FALSE, 0);
    EnableWindow(control, on);
    SendMessageW(control, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace

Win32Control::Win32Control(const ControlSite& site, const WindowRecipe& recipe)
    : events_(site.events), form_(site.form)
{
    const Rect& b = site.bounds;
    hwnd_ = CreateWindowExW(recipe.exStyle, recipe.windowClass, L"", WS_CHILD | WS_VISIBLE | recipe.style, b.left,
                            b.top, b.width, b.height, site.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(site.id)),
                            GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(site.ui.font(scaled(FontSpec{}, form_.dpi()))), FALSE);
}

Win32Control::~Win32Control()
{
    if (IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

std::string Win32Control::text() const
{
    return narrow(windowText(hwnd_));
}

void Win32Control::setText(const std::string& text)
{
    SetWindowTextW(hwnd_, widen(text).c_str());
}

void Win32Control::setEnabled(bool on)
{
    if (on) {
        enableUnpainted(hwnd_, true);
        form_.controlEnabled();
        return;
    }
    // A disabled control cannot keep the focus: the window holds it and remembers whose it was.
    const HWND focus = GetFocus();
    const bool hadFocus = focus && (focus == hwnd_ || IsChild(hwnd_, focus));
    if (hadFocus)
        form_.rememberFocus();
    enableUnpainted(hwnd_, false);
    if (hadFocus)
        SetFocus(form_.hwnd());
}

Rect Win32Control::bounds() const
{
    RECT r;
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32Control::setBounds(const Rect& r)
{
    MoveWindow(hwnd_, r.left, r.top, r.width, windowHeight(r.height), TRUE);
    if (areaTool_)
        moveHintArea();
}

}  // namespace platform::win32
