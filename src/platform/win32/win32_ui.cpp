#include "platform/win32/win32_ui.h"

#include <commctrl.h>
#include <objbase.h>

#include <deque>
#include <exception>
#include <thread>
#include <vector>

#include "platform/display.h"
#include "platform/ellipsis.h"
#include "platform/win32/dpi.h"
#include "platform/win32/font_recipe.h"
#include "platform/win32/drop_and_handover.h"
#include "platform/win32/text_view.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

class Win32Form;

// Every control window carries its peer in GWLP_USERDATA so that a notification can be routed
// to it from whichever parent (window or group box) received it.
class Win32Control : public ControlPeer {
public:
    Win32Control(Win32Ui& ui, ControlKind kind, ControlEvents& events, Win32Form& form, HWND parent,
                 const Rect& bounds, int id);
    ~Win32Control() override;

    std::string text() const override;
    void setText(const std::string& text) override;
    bool checked() const override;
    void setChecked(bool on) override;
    bool enabled() const override { return IsWindowEnabled(hwnd_); }
    void setEnabled(bool on) override;
    bool visible() const override { return GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE; }
    void setVisible(bool on) override { ShowWindow(hwnd_, on ? SW_SHOWNA : SW_HIDE); }
    Rect bounds() const override;
    void setBounds(const Rect& r) override;
    void setHint(const std::string& hint) override;
    void setMaxLength(int chars) override { SendMessageW(hwnd_, EM_LIMITTEXT, chars, 0); }
    std::vector<std::string> items() const override;
    void setItems(const std::vector<std::string>& items) override;
    int itemIndex() const override;
    void setItemIndex(int index) override;
    void setProgress(int position, int range) override
    {
        SendMessageW(hwnd_, PBM_SETRANGE32, 0, range);
        SendMessageW(hwnd_, PBM_SETPOS, position, 0);
    }

    HWND hwnd() const { return hwnd_; }
    ControlKind kind() const { return kind_; }
    // A drop-down list's window height includes its opened list.
    int windowHeight(int height) const;
    ControlEvents& events() { return events_; }
    Win32Form& form() const { return form_; }
    TTTOOLINFOW areaToolInfo();
    bool blue = false;
    Ellipsis ellipsis = Ellipsis::End;
    bool link = false;  // a label that takes the focus and opens on Enter or Space
    void notify(WORD code);

private:
    Win32Ui& ui_;
    ControlKind kind_;
    ControlEvents& events_;
    Win32Form& form_;
    HWND hwnd_;
    std::wstring hint_;
    UINT_PTR areaTool_ = 0;  // the hint's tool on the parent, by rectangle; 0 before any hint
};

Win32Control* controlOf(HWND hwnd)
{
    return hwnd ? reinterpret_cast<Win32Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)) : nullptr;
}

// WM_COMMAND from a control, wherever it was sent.
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

std::wstring windowText(HWND hwnd)
{
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(n + 1, L'\0');
    n = GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(n);
    return text;
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

struct MenuEntry {
    HMENU owner;    // the menu that holds the item
    UINT position;  // its place there
    HMENU popup;    // for a drop-down
};

class Win32Form : public FormPeer {
public:
    Win32Form(Win32Ui& ui, FormEvents& events, FormBorder border, const std::string& className, bool mainWindow,
              HWND owner);
    ~Win32Form() override;

    std::string title() const override { return narrow(windowText(hwnd_)); }
    void setTitle(const std::string& title) override { SetWindowTextW(hwnd_, widen(title).c_str()); }
    Size outerSize() const override;
    void setOuterSize(Size size) override;
    Size clientSize() const override;
    void setClientSize(Size size) override;
    void centreOnScreen() override;
    void centreOver(const FormPeer& other) override;
    bool visible() const override { return IsWindowVisible(hwnd_); }
    void show() override { ShowWindow(hwnd_, SW_SHOW); }
    void hide() override { ShowWindow(hwnd_, SW_HIDE); }
    void bringToFront() override;
    void close() override { SendMessageW(hwnd_, WM_CLOSE, 0, 0); }
    void addMenuItem(int parent, int id, const std::string& caption, bool isSubmenu) override;
    void setMenuCaption(int id, const std::string& caption) override;
    void setMenuEnabled(int id, bool on) override;
    int dpi() const override { return dpi_; }
    Size workArea() const override;

    HWND hwnd() const { return hwnd_; }
    // The keyboard focus is the window's own state, as in a dialog: the control that had it when
    // the window lost it gets it back when the window is active again, so that closing a dialog,
    // a box or another window leaves the keyboard where it was.
    void rememberFocus();
    // Gives the focus to that control, or with none remembered to the default button or, in the
    // main window, to the first control of the tab order. False when no control can take it now:
    // one that was disabled waits until it is enabled again.
    bool restoreFocus();
    // After a control was enabled: an active window whose focus waited for it gives it back.
    void controlEnabled();
    void setDefaultButton(HWND button) { defaultButton_ = button; }
    HWND tooltip();
    void applyHintTimes();
    // Ids of tools by rectangle: small numbers, never a window handle as the other tools have.
    UINT_PTR nextAreaTool() { return ++areaTools_; }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
    void moveTo(int left, int top);

    Win32Ui& ui_;
    FormEvents& events_;
    bool mainWindow_;
    HWND hwnd_ = nullptr;
    int dpi_ = designDpi;
    bool changingDpi_ = false;
    HWND focus_ = nullptr;
    HWND defaultButton_ = nullptr;
    HWND tooltip_ = nullptr;
    UINT_PTR areaTools_ = 0;
    HMENU menuBar_ = nullptr;
    std::map<int, MenuEntry> menu_;
    // Handed over by a second copy, taken once that copy has been answered.
    std::deque<std::vector<std::string>> handedOver_;
    bool menuBarStale_ = false;
};

// Posted to itself by a window that was handed files.
constexpr UINT takeHandedOver = WM_APP + 1;
// Posted to itself by a window whose menu bar shows items of a state they no longer have.
constexpr UINT redrawMenuBar = WM_APP + 2;
// Where a long hint wraps, at 96 dots per inch.
constexpr int hintWidth = 600;

Win32Form::Win32Form(Win32Ui& ui, FormEvents& events, FormBorder border, const std::string& className,
                     bool mainWindow, HWND owner)
    : ui_(ui), events_(events), mainWindow_(mainWindow)
{
    std::wstring cls = widen(className);
    WNDCLASSEXW wc{sizeof wc};
    if (!GetClassInfoExW(GetModuleHandleW(nullptr), cls.c_str(), &wc)) {
        wc = WNDCLASSEXW{sizeof wc};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = cls.c_str();
        wc.hIcon = LoadIconW(wc.hInstance, L"MAINICON");
        wc.hIconSm = static_cast<HICON>(LoadImageW(wc.hInstance, L"WINDOWICON", IMAGE_ICON, 32, 32, 0));
        RegisterClassExW(&wc);
    }
    DWORD style = border == FormBorder::Sizeable ? WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN
                                                 : WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = border == FormBorder::Sizeable ? WS_EX_CONTROLPARENT : WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;
    hwnd_ = CreateWindowExW(exStyle, cls.c_str(), L"", style, CW_USEDEFAULT, CW_USEDEFAULT, 300, 200, owner, nullptr,
                            GetModuleHandleW(nullptr), this);
    if (border == FormBorder::Sizeable) {
        HICON big = LoadIconW(GetModuleHandleW(nullptr), L"WINDOWICON");
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    }
    dpi_ = dpiOf(hwnd_);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(ui_.font(scaled(FontSpec{}, dpi_))), FALSE);
    if (mainWindow)
        acceptDrops(hwnd_);
}

Win32Form::~Win32Form()
{
    if (IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

LRESULT CALLBACK Win32Form::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->handle(msg, wParam, lParam);
}

LRESULT Win32Form::handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SIZE:
        // A minimised window has no size the layout could use; a window taking the size of a new
        // DPI is laid out once its controls are at that DPI.
        if (wParam != SIZE_MINIMIZED && !changingDpi_)
            events_.resized();
        return 0;
    case WM_COMMAND:
        if (lParam != 0 || HIWORD(wParam) != 0)
            routeCommand(wParam, lParam);
        else if (!mainWindow_ && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK))
            // Esc, or Enter with no default button, as the dialog manager reports them: a window
            // of the program's own besides the main one closes as by its close box.
            SendMessageW(hwnd_, WM_CLOSE, 0, 0);
        else
            events_.menuChosen(LOWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(controlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            rememberFocus();
        else if (!HIWORD(wParam) && restoreFocus())
            return 0;
        break;
    case WM_SETFOCUS:
        if (restoreFocus())
            return 0;
        break;
    case DM_GETDEFID:
        // Asked by the dialog manager when Enter is pressed.
        return defaultButton_ ? MAKELRESULT(GetDlgCtrlID(defaultButton_), DC_HASDEFID) : 0;
    case WM_CLOSE:
        if (!events_.closeQuery())
            return 0;
        if (!mainWindow_) {
            ShowWindow(hwnd_, SW_HIDE);
            return 0;
        }
        events_.closing();
        DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        if (mainWindow_)
            PostQuitMessage(0);
        return 0;
    case WM_SYSCOMMAND:
        // The taskbar button is the application window's: minimising goes through it.
        if (mainWindow_ && (wParam & 0xFFF0) == SC_MINIMIZE) {
            SendMessageW(ui_.applicationWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return 0;
        }
        break;
    case WM_DPICHANGED: {
        // Moved to a monitor of another density: the size the system suggests keeps the window
        // as large to the eye, and the controls follow at the new DPI.
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        dpi_ = HIWORD(wParam);
        changingDpi_ = true;
        SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        changingDpi_ = false;
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(ui_.font(scaled(FontSpec{}, dpi_))), FALSE);
        if (tooltip_)
            SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, scaled(hintWidth, dpi_));
        events_.dpiChanged();
        return 0;
    }
    case WM_DROPFILES: {
        const auto files = filesOfDrop(reinterpret_cast<HDROP>(wParam));
        if (!files.empty())
            events_.filesDropped(files);
        return 0;
    }
    case WM_COPYDATA: {
        auto files = filesOfHandOver(lParam);
        if (!mainWindow_ || !files || files->empty())
            return FALSE;
        // The sender waits for the answer; a notice about these files must not hold it.
        handedOver_.push_back(std::move(*files));
        PostMessageW(hwnd_, takeHandedOver, 0, 0);
        return TRUE;
    }
    case redrawMenuBar:
        menuBarStale_ = false;
        DrawMenuBar(hwnd_);
        return 0;
    case takeHandedOver:
        if (!handedOver_.empty()) {
            const auto files = std::move(handedOver_.front());
            handedOver_.pop_front();
            events_.filesHandedOver(files);
        }
        return 0;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void Win32Form::rememberFocus()
{
    const HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus))
        focus_ = focus;
}

namespace {
// Enabled itself and in every group box around it.
bool canTakeFocus(HWND control, HWND form)
{
    for (HWND w = control; w && w != form; w = GetParent(w))
        if (!IsWindowEnabled(w) || !IsWindowVisible(w))
            return false;
    return true;
}
}  // namespace

bool Win32Form::restoreFocus()
{
    HWND target = nullptr;
    if (focus_ && IsWindow(focus_) && IsChild(hwnd_, focus_))
        target = canTakeFocus(focus_, hwnd_) ? focus_ : nullptr;
    else if (defaultButton_ && canTakeFocus(defaultButton_, hwnd_))
        target = defaultButton_;
    else if (mainWindow_)
        target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (!target)
        return false;
    SetFocus(target);
    return true;
}

void Win32Form::controlEnabled()
{
    const HWND focus = GetFocus();
    if (GetActiveWindow() == hwnd_ && (!focus || focus == hwnd_))
        restoreFocus();
}

Size Win32Form::outerSize() const
{
    RECT r;
    GetWindowRect(hwnd_, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void Win32Form::setOuterSize(Size size)
{
    SetWindowPos(hwnd_, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Size Win32Form::clientSize() const
{
    RECT r;
    GetClientRect(hwnd_, &r);
    return {r.right, r.bottom};
}

void Win32Form::setClientSize(Size size)
{
    RECT r{0, 0, size.width, size.height};
    adjustWindowRect(r, GetWindowLongW(hwnd_, GWL_STYLE), GetMenu(hwnd_) != nullptr, GetWindowLongW(hwnd_, GWL_EXSTYLE),
                     dpi_);
    setOuterSize({r.right - r.left, r.bottom - r.top});
}

void Win32Form::moveTo(int left, int top)
{
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect rectOf(const RECT& r)
{
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Size Win32Form::workArea() const
{
    const Rect work = rectOf(monitorAreaOf(hwnd_).work);
    return {work.width, work.height};
}

void Win32Form::centreOnScreen()
{
    const MonitorArea area = monitorAreaOf(hwnd_);
    const Rect place = startPlace(outerSize(), rectOf(area.monitor), rectOf(area.work));
    SetWindowPos(hwnd_, nullptr, place.left, place.top, place.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::centreOver(const FormPeer& other)
{
    RECT r;
    GetWindowRect(static_cast<const Win32Form&>(other).hwnd_, &r);
    Size s = outerSize();
    moveTo(r.left + (r.right - r.left - s.width) / 2, r.top + (r.bottom - r.top - s.height) / 2);
}

void Win32Form::bringToFront()
{
    if (IsIconic(ui_.applicationWindow()))
        SendMessageW(ui_.applicationWindow(), WM_SYSCOMMAND, SC_RESTORE, 0);
    // A modal box the window waits on comes to the front with it, not behind it.
    HWND front = GetLastActivePopup(hwnd_);
    SetForegroundWindow(front);
    BringWindowToTop(front);
}

void Win32Form::addMenuItem(int parent, int id, const std::string&, bool isSubmenu)
{
    if (!menuBar_) {
        menuBar_ = CreateMenu();
        SetMenu(hwnd_, menuBar_);
    }
    HMENU owner = parent == 0 ? menuBar_ : menu_.at(parent).popup;
    HMENU popup = isSubmenu ? CreatePopupMenu() : nullptr;
    UINT position = GetMenuItemCount(owner);
    if (popup)
        AppendMenuW(owner, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), L"");
    else
        AppendMenuW(owner, MF_STRING, id, L"");
    menu_[id] = {owner, position, popup};
    DrawMenuBar(hwnd_);
}

void Win32Form::setMenuCaption(int id, const std::string& caption)
{
    const MenuEntry& e = menu_.at(id);
    std::wstring text = widen(caption);
    MENUITEMINFOW mi{sizeof mi};
    mi.fMask = MIIM_FTYPE | MIIM_STRING;
    mi.fType = caption == "-" ? MFT_SEPARATOR : MFT_STRING;
    mi.dwTypeData = text.data();
    SetMenuItemInfoW(e.owner, e.position, TRUE, &mi);
    DrawMenuBar(hwnd_);
}

void Win32Form::setMenuEnabled(int id, bool on)
{
    const MenuEntry& e = menu_.at(id);
    EnableMenuItem(e.owner, e.position, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
    // Drawn once for all the items changed together (a run locks them all), as soon as the
    // window reads its messages: each drawing is a round trip to the display under Wine.
    if (e.owner == menuBar_ && !menuBarStale_) {
        menuBarStale_ = true;
        PostMessageW(hwnd_, redrawMenuBar, 0, 0);
    }
}

HWND Win32Form::tooltip()
{
    if (!tooltip_) {
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, scaled(hintWidth, dpi_));
        applyHintTimes();
    }
    return tooltip_;
}

void Win32Form::applyHintTimes()
{
    if (!tooltip_)
        return;
    SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_INITIAL, ui_.hintShowMs());
    SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, ui_.hintHideMs());
    SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_RESHOW, 0);
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
    return narrow(windowText(hwnd_));
}

void Win32Control::setText(const std::string& text)
{
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

}  // namespace

Win32Ui::Win32Ui(FileSystem& fs) : fs_(fs)
{
    // Accessible objects are handed to screen readers through COM.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
}

Win32Ui::~Win32Ui()
{
    if (applicationWindow_)
        DestroyWindow(applicationWindow_);
    for (auto& [key, font] : fonts_)
        DeleteObject(font);
    CoUninitialize();
}

std::unique_ptr<FormPeer> Win32Ui::createForm(FormEvents& events, FormBorder border, const std::string& className,
                                              bool mainWindow)
{
    auto form = std::make_unique<Win32Form>(*this, events, border, className, mainWindow,
                                            mainWindow ? applicationWindow() : mainWindow_);
    if (mainWindow)
        mainWindow_ = form->hwnd();
    return form;
}

namespace {

// Hides the windows owned by the application window and by the main window, or shows again
// those it hid, the main window's own ones last so that they stay above it.
void showOwnedWindows(HWND application, HWND main, bool show)
{
    if (show) {
        ShowOwnedPopups(application, TRUE);
        ShowOwnedPopups(main, TRUE);
    } else {
        ShowOwnedPopups(main, FALSE);
        ShowOwnedPopups(application, FALSE);
    }
}

LRESULT CALLBACK applicationProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* ui = reinterpret_cast<Win32Ui*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    HWND mainWindow = ui ? ui->mainWindow() : nullptr;
    switch (msg) {
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
            showOwnedWindows(hwnd, mainWindow, false);
            ShowWindow(hwnd, SW_MINIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            showOwnedWindows(hwnd, mainWindow, true);
            if (mainWindow)
                SetForegroundWindow(mainWindow);
            return 0;
        }
        break;
    case WM_ACTIVATE:
        // Chosen on the taskbar while it is not minimised: the main window is what the user wants.
        if (LOWORD(wParam) != WA_INACTIVE && !IsIconic(hwnd) && mainWindow)
            PostMessageW(hwnd, WM_APP, 0, 0);
        return 0;
    case WM_APP:
        if (mainWindow)
            SetForegroundWindow(mainWindow);
        return 0;
    case WM_CLOSE:
        // "Close window" on the taskbar button closes the program as the main window's close does.
        if (mainWindow)
            PostMessageW(mainWindow, WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

HWND Win32Ui::applicationWindow()
{
    if (applicationWindow_)
        return applicationWindow_;
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = applicationProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(wc.hInstance, L"MAINICON");
    wc.hIconSm = static_cast<HICON>(LoadImageW(wc.hInstance, L"WINDOWICON", IMAGE_ICON, 32, 32, 0));
    wc.lpszClassName = L"TApplication";
    RegisterClassExW(&wc);
    // Visible but of no size, so that it has a taskbar button and nothing of it is seen.
    applicationWindow_ = CreateWindowExW(0, wc.lpszClassName, widen(appTitle_).c_str(),
                                         WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS,
                                         GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                                         nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(applicationWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(applicationWindow_, SW_SHOWNOACTIVATE);
    return applicationWindow_;
}

void Win32Ui::setApplicationTitle(const std::string& title)
{
    appTitle_ = title;
    SetWindowTextW(applicationWindow(), widen(title).c_str());
}

std::unique_ptr<ControlPeer> Win32Ui::createControl(ControlKind kind, ControlEvents& events, FormPeer& form,
                                                    ControlPeer* parent, const Rect& bounds, int id)
{
    auto& f = static_cast<Win32Form&>(form);
    HWND parentWindow = parent ? static_cast<Win32Control*>(parent)->hwnd() : f.hwnd();
    return std::make_unique<Win32Control>(*this, kind, events, f, parentWindow, bounds, id);
}

HFONT Win32Ui::font(const FontSpec& wanted)
{
    const std::string key = wanted.face + "/" + std::to_string(wanted.pixels) + (wanted.bold ? "b" : "") +
                            (wanted.underline ? "u" : "");
    auto it = fonts_.find(key);
    if (it != fonts_.end())
        return it->second;
    const LOGFONTW lf = logFontOf(wanted);
    HFONT font = CreateFontIndirectW(&lf);
    fonts_[key] = font;
    return font;
}

void Win32Ui::setFont(ControlPeer& control, const FontSpec& font, Align align)
{
    auto& c = static_cast<Win32Control&>(control);
    c.blue = font.blue;
    SendMessageW(c.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(this->font(font)), TRUE);
    if (c.kind() == ControlKind::Label) {
        LONG style = GetWindowLongW(c.hwnd(), GWL_STYLE) & ~(SS_LEFT | SS_CENTER | SS_RIGHT);
        style |= align == Align::Centre ? SS_CENTER : align == Align::Right ? SS_RIGHT : SS_LEFT;
        SetWindowLongW(c.hwnd(), GWL_STYLE, style);
        InvalidateRect(c.hwnd(), nullptr, TRUE);
    }
}

void Win32Ui::setEllipsis(ControlPeer& label, Ellipsis where)
{
    auto& c = static_cast<Win32Control&>(label);
    c.ellipsis = where;
    InvalidateRect(c.hwnd(), nullptr, TRUE);
}

void Win32Ui::makeLink(ControlPeer& label)
{
    auto& c = static_cast<Win32Control&>(label);
    c.link = true;
    SetWindowLongW(c.hwnd(), GWL_STYLE, GetWindowLongW(c.hwnd(), GWL_STYLE) | WS_TABSTOP);
}

void Win32Ui::makeDefault(ControlPeer& button)
{
    auto& c = static_cast<Win32Control&>(button);
    SendMessageW(c.hwnd(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    c.form().setDefaultButton(c.hwnd());
}

void Win32Ui::setHintTimes(int showMs, int hideMs)
{
    hintShowMs_ = showMs;
    hintHideMs_ = hideMs;
    if (mainWindow_)
        if (auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(mainWindow_, GWLP_USERDATA)))
            form->applyHintTimes();
}

HWND Win32Ui::owner() const
{
    HWND active = GetActiveWindow();
    return active ? active : mainWindow_;
}

namespace {
bool arrowKey(const MSG& msg)
{
    return msg.message == WM_KEYDOWN && msg.wParam >= VK_LEFT && msg.wParam <= VK_DOWN;
}

void dispatch(MSG& msg)
{
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    const HWND focus = GetFocus();
    if (root && IsDialogMessageW(root, &msg)) {
        // The dialog manager only moves the focus through a group of radio buttons whose state
        // their peers keep; the one an arrow reaches is selected, as a click selects it.
        if (Win32Control* reached = controlOf(GetFocus());
            arrowKey(msg) && GetFocus() != focus && reached && reached->kind() == ControlKind::RadioButton)
            reached->events().userClicked();
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}
}  // namespace

int Win32Ui::run()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        dispatch(msg);
    return static_cast<int>(msg.wParam);
}

void Win32Ui::runInBackground(const std::function<void()>& work, const std::function<void()>& tick, int tickMs)
{
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        SetEvent(finished);
    });
    // The windows keep answering: this thread waits for the work or a message, whichever comes.
    std::optional<int> quit;
    ULONGLONG lastTick = GetTickCount64();
    while (MsgWaitForMultipleObjectsEx(1, &finished, tickMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                quit = static_cast<int>(msg.wParam);
            else
                dispatch(msg);
        }
        if (GetTickCount64() - lastTick >= static_cast<ULONGLONG>(tickMs)) {
            lastTick = GetTickCount64();
            tick();
        }
    }
    worker.join();
    CloseHandle(finished);
    if (quit)
        PostQuitMessage(*quit);
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace platform::win32
