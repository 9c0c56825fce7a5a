// Labels paint their text themselves: a static control wraps at spaces and hides what its height
// cannot show.
#include "platform/win32/peers/label_peer.h"

#include "platform/ellipsis.h"

namespace platform::win32 {

namespace {

int textWidth(HDC dc, const std::wstring& s)
{
    SIZE size{};
    GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
    return static_cast<int>(size.cx);
}

// Around the text, as a focused link is marked.
void drawLinkFocus(HDC dc, const std::wstring& text, const RECT& r, UINT format)
{
    RECT around = r;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &around, format | DT_CALCRECT);
    const int room = r.right - around.right;
    OffsetRect(&around, (format & DT_CENTER) ? room / 2 : (format & DT_RIGHT) ? room : 0, 0);
    InflateRect(&around, 1, 0);
    IntersectRect(&around, &around, &r);
    DrawFocusRect(dc, &around);
}

// A link opens from the keyboard as on a click.
bool linkKey(UINT msg, WPARAM key)
{
    return msg == WM_KEYDOWN && (key == VK_RETURN || key == VK_SPACE);
}

}  // namespace

LabelPeer::LabelPeer(const ControlSite& site)
    : Win32Control(site, {WC_STATICW, SS_NOTIFY | SS_NOPREFIX | SS_LEFT})
{
    SetWindowSubclass(hwnd(), proc, 1, 0);
}

void LabelPeer::setAlign(Align align)
{
    LONG style = GetWindowLongW(hwnd(), GWL_STYLE) & ~(SS_LEFT | SS_CENTER | SS_RIGHT);
    style |= align == Align::Centre ? SS_CENTER : align == Align::Right ? SS_RIGHT : SS_LEFT;
    SetWindowLongW(hwnd(), GWL_STYLE, style);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void LabelPeer::notify(WORD code)
{
    if (code == STN_CLICKED)
        events().userClicked();
    else if (code == STN_DBLCLK)
        events().userDoubleClicked();
}

void LabelPeer::setEllipsis(Ellipsis where)
{
    ellipsis_ = where;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void LabelPeer::makeLink()
{
    link_ = true;
    SetWindowLongW(hwnd(), GWL_STYLE, GetWindowLongW(hwnd(), GWL_STYLE) | WS_TABSTOP);
}

void LabelPeer::paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT r;
    GetClientRect(hwnd(), &r);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd()), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd())));
    FillRect(dc, &r, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    const LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
    UINT format = DT_SINGLELINE | DT_NOPREFIX;
    format |= (style & SS_TYPEMASK) == SS_CENTER ? DT_CENTER : (style & SS_TYPEMASK) == SS_RIGHT ? DT_RIGHT : DT_LEFT;
    std::wstring text = windowText(hwnd());
    if (ellipsis_ == Ellipsis::Middle)
        text = middleEllipsis(text, r.right, [dc](const std::wstring& s) { return textWidth(dc, s); });
    const std::size_t last = text.size() > 1 && IS_SURROGATE_PAIR(text[text.size() - 2], text.back()) ? 2 : 1;
    if (!text.empty() && shortened(textWidth(dc, text), textWidth(dc, text.substr(text.size() - last)), r.right))
        format |= DT_END_ELLIPSIS;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    if (link_ && GetFocus() == hwnd())
        drawLinkFocus(dc, text, r, format);
    SelectObject(dc, oldFont);
    EndPaint(hwnd(), &ps);
}

LRESULT CALLBACK LabelPeer::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    auto* label = static_cast<LabelPeer*>(controlOf(hwnd));
    if (!label)
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT:
        label->paint();
        return 0;
    case WM_GETDLGCODE:
        // Enter goes to a focused link, not to the window's default action.
        if (const auto* m = reinterpret_cast<const MSG*>(lParam); label->link_ && m && linkKey(m->message, m->wParam))
            return DLGC_WANTMESSAGE;
        break;
    case WM_KEYDOWN:
        if (label->link_ && linkKey(msg, wParam)) {
            label->events().userClicked();
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (label->link_)
            InvalidateRect(hwnd, nullptr, TRUE);
        break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace platform::win32
