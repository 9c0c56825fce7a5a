// The control peers: one window per control, their subclass procedures and label painting.
#include "platform/win32/win32_peers.h"

#include "platform/display.h"
#include "platform/win32/dpi.h"
#include "platform/win32/font_recipe.h"
#include "platform/win32/text_view.h"

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

// Group boxes are real parents: what their children report goes on to the peers.
LRESULT CALLBACK groupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
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

LRESULT CALLBACK editProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (msg == WM_CHAR)
        if (Win32Control* c = controlOf(hwnd))
            wParam = c->events().userTyped(static_cast<char32_t>(wParam));
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

int textWidth(HDC dc, const std::wstring& s)
{
    SIZE size{};
    GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
    return static_cast<int>(size.cx);
}

// A static control wraps at spaces and hides what its height cannot show: labels draw their
// text themselves, on one line, shortened where it does not fit.
void paintLabel(HWND hwnd, const Win32Control& label)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    FillRect(dc, &r, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    UINT format = DT_SINGLELINE | DT_NOPREFIX;
    format |= (style & SS_TYPEMASK) == SS_CENTER ? DT_CENTER : (style & SS_TYPEMASK) == SS_RIGHT ? DT_RIGHT : DT_LEFT;
    std::wstring text = windowText(hwnd);
    if (label.ellipsis == Ellipsis::Middle)
        text = middleEllipsis(text, r.right, [dc](const std::wstring& s) { return textWidth(dc, s); });
    const std::size_t last = text.size() > 1 && IS_SURROGATE_PAIR(text[text.size() - 2], text.back()) ? 2 : 1;
    if (!text.empty() && shortened(textWidth(dc, text), textWidth(dc, text.substr(text.size() - last)), r.right))
        format |= DT_END_ELLIPSIS;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    if (label.link && GetFocus() == hwnd) {
        // Around the text, as a focused link is marked.
        RECT around = r;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &around, format | DT_CALCRECT);
        const int room = r.right - around.right;
        OffsetRect(&around, (format & DT_CENTER) ? room / 2 : (format & DT_RIGHT) ? room : 0, 0);
        InflateRect(&around, 1, 0);
        IntersectRect(&around, &around, &r);
        DrawFocusRect(dc, &around);
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

// A link opens from the keyboard as on a click.
bool linkKey(UINT msg, WPARAM key)
{
    return msg == WM_KEYDOWN && (key == VK_RETURN || key == VK_SPACE);
}

LRESULT CALLBACK labelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    Win32Control* c = controlOf(hwnd);
    if (!c)
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT:
        paintLabel(hwnd, *c);
        return 0;
    case WM_GETDLGCODE:
        // Enter goes to a focused link, not to the window's default action.
        if (const auto* m = reinterpret_cast<const MSG*>(lParam); c->link && m && linkKey(m->message, m->wParam))
            return DLGC_WANTMESSAGE;
        break;
    case WM_KEYDOWN:
        if (c->link && linkKey(msg, wParam)) {
            c->events().userClicked();
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (c->link)
            InvalidateRect(hwnd, nullptr, TRUE);
        break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

const wchar_t* windowClassOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label: return WC_STATICW;
    case ControlKind::Edit: return WC_EDITW;
    case ControlKind::Memo: return textViewClass();
    case ControlKind::ComboBox: return WC_COMBOBOXW;
    case ControlKind::ProgressBar: return PROGRESS_CLASSW;
    default: return WC_BUTTONW;
    }
}

DWORD styleOf(ControlKind kind)
{
    const DWORD base = WS_CHILD | WS_VISIBLE;
    switch (kind) {
    case ControlKind::GroupBox:
    case ControlKind::RadioGroup: return base | BS_GROUPBOX;
    case ControlKind::Label: return base | SS_NOTIFY | SS_NOPREFIX | SS_LEFT;
    case ControlKind::Edit: return base | WS_TABSTOP | ES_AUTOHSCROLL;
    case ControlKind::Memo: return base | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL;
    // Check boxes and radio buttons change state only through their peers, so that a click and
    // a change from code follow the same rule.
    case ControlKind::CheckBox: return base | WS_TABSTOP | BS_CHECKBOX;
    case ControlKind::RadioButton: return base | WS_TABSTOP | BS_RADIOBUTTON;
    case ControlKind::ComboBox: return base | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
    case ControlKind::Button: return base | WS_TABSTOP | BS_PUSHBUTTON;
    case ControlKind::ProgressBar: return base;
    }
    return base;
}

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

Win32Control::Win32Control(Win32Ui& ui, ControlKind kind, ControlEvents& events, Win32Form& form, HWND parent,
                           const Rect& bounds, int id)
    : ui_(ui), kind_(kind), events_(events), form_(form)
{
    const bool container = kind == ControlKind::GroupBox || kind == ControlKind::RadioGroup;
    DWORD exStyle = container ? WS_EX_CONTROLPARENT : kind == ControlKind::Memo ? WS_EX_CLIENTEDGE : 0;
    if (kind == ControlKind::Edit)
        exStyle |= WS_EX_CLIENTEDGE;
    hwnd_ = CreateWindowExW(exStyle, windowClassOf(kind), L"", styleOf(kind), bounds.left, bounds.top, bounds.width,
                            windowHeight(bounds.height), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(ui_.font(scaled(FontSpec{}, form_.dpi()))), FALSE);
    if (container)
        SetWindowSubclass(hwnd_, groupProc, 1, 0);
    if (kind == ControlKind::Edit)
        SetWindowSubclass(hwnd_, editProc, 1, 0);
    if (kind == ControlKind::Label)
        SetWindowSubclass(hwnd_, labelProc, 1, 0);
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

Win32Control::~Win32Control()
{
    if (IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Win32Control::notify(WORD code)
{
    switch (kind_) {
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::Button:
        if (code == BN_CLICKED)
            events_.userClicked();
        break;
    case ControlKind::Label:
        if (code == STN_CLICKED)
            events_.userClicked();
        else if (code == STN_DBLCLK)
            events_.userDoubleClicked();
        break;
    default:
        break;
    }
}

std::string Win32Control::text() const
{
    if (kind_ == ControlKind::ComboBox) {
        int i = itemIndex();
        return i < 0 ? "" : items()[i];
    }
    if (kind_ == ControlKind::Memo)
        if (auto text = textViewText(hwnd_))
            return std::move(*text);
    return narrow(windowText(hwnd_));
}

void Win32Control::setText(const std::string& text)
{
    if (kind_ != ControlKind::Memo || !setTextViewText(hwnd_, widen(text)))
        SetWindowTextW(hwnd_, widen(text).c_str());
}

bool Win32Control::checked() const
{
    return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Control::setChecked(bool on)
{
    SendMessageW(hwnd_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

Rect Win32Control::bounds() const
{
    RECT r;
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    int height = r.bottom - r.top;
    if (kind_ == ControlKind::ComboBox) {
        COMBOBOXINFO info{sizeof info};
        GetComboBoxInfo(hwnd_, &info);
        height = info.rcItem.bottom + info.rcItem.top;
    }
    return {r.left, r.top, r.right - r.left, height};
}

void Win32Control::setBounds(const Rect& r)
{
    MoveWindow(hwnd_, r.left, r.top, r.width, windowHeight(r.height), TRUE);
    if (areaTool_) {
        TTTOOLINFOW area = areaToolInfo();
        SendMessageW(form_.tooltip(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&area));
    }
}

TTTOOLINFOW Win32Control::areaToolInfo()
{
    TTTOOLINFOW ti{sizeof ti};
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = GetParent(hwnd_);
    ti.uId = areaTool_;
    ti.lpszText = hint_.data();
    const Rect r = bounds();
    ti.rect = {r.left, r.top, r.left + r.width, r.top + r.height};
    return ti;
}

// A disabled window gets no mouse messages: its parent gets them. So besides the control's own
// tool, which follows the mouse over the enabled control, a tool on the parent covers the
// control's rectangle and shows the same hint while it is disabled.
void Win32Control::setHint(const std::string& hint)
{
    hint_ = widen(hint);
    HWND tip = form_.tooltip();
    TTTOOLINFOW own{sizeof own};
    own.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    own.hwnd = GetParent(hwnd_);
    own.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    own.lpszText = hint_.data();
    if (!areaTool_)
        areaTool_ = form_.nextAreaTool();
    TTTOOLINFOW area = areaToolInfo();
    for (TTTOOLINFOW* ti : {&own, &area}) {
        SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(ti));
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(ti));
    }
}

std::vector<std::string> Win32Control::items() const
{
    std::vector<std::string> list;
    int n = static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        std::wstring item(SendMessageW(hwnd_, CB_GETLBTEXTLEN, i, 0) + 1, L'\0');
        int len = static_cast<int>(SendMessageW(hwnd_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data())));
        item.resize(len < 0 ? 0 : len);
        list.push_back(narrow(item));
    }
    return list;
}

void Win32Control::setItems(const std::vector<std::string>& items)
{
    SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
    for (const auto& item : items)
        SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
}

int Win32Control::windowHeight(int height) const
{
    return kind_ == ControlKind::ComboBox ? height + scaled(120, form_.dpi()) : height;
}

int Win32Control::itemIndex() const
{
    return static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
}

void Win32Control::setItemIndex(int index)
{
    SendMessageW(hwnd_, CB_SETCURSEL, index, 0);
}

}  // namespace platform::win32
