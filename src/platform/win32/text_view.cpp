#include "platform/win32/text_view.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/line_breaks.h"
#include "platform/win32/view_accessible.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

// Between the frame and the text, as the edit control leaves it.
constexpr int margin = 2;
// A longer text is read out by the lines in sight: a list of many thousand paths is too much to
// hand over at every question of a screen reader.
constexpr std::size_t wholeValueChars = 1 << 16;

class TextView {
public:
    explicit TextView(HWND hwnd);
    ~TextView();
    TextView(const TextView&) = delete;
    TextView& operator=(const TextView&) = delete;
    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
    // The text, or the lines in sight where it is too long to hand over at every question.
    std::wstring accessibleValue() const;
    const std::wstring& text() const { return text_; }
    void setText(std::wstring text);

private:
    // Line starts and the widest line, after the text or the font changed.
    void layout();
    void setFont(HFONT font);
    std::size_t lineOf(std::size_t pos) const;
    std::size_t lineEnd(std::size_t line) const;
    std::size_t clamp(std::size_t pos) const;
    // The width of the character at pos: a surrogate pair's on its first unit, none on its second.
    int advance(std::size_t pos);
    // Between the two units of a surrogate pair, where no caret may stand.
    bool insidePair(std::size_t pos) const;
    int width(std::size_t from, std::size_t to);
    std::size_t positionAt(int x, int y);
    POINT pointOf(std::size_t pos);

    SIZE client() const;
    int visibleLines() const;
    void updateScrollBars();
    void scrollTo(long long top, long long left);
    void scrollBy(int bar, WORD code);
    void wheel(int delta);
    void ensureVisible(std::size_t pos);
    void placeCaret();
    void paint();
    void drawRun(HDC dc, std::size_t from, std::size_t to, int x, int y);

    void select(std::size_t anchor, std::size_t caret);
    void moveCaret(std::size_t pos, bool extend);
    void keyDown(WPARAM key);
    void copy();
    void contextMenu(LPARAM lParam);

    HWND hwnd_;
    HDC measure_;  // a memory DC holding the font, for the width table
    HFONT font_ = nullptr;
    std::vector<int> advances_;  // by UTF-16 unit; -1 until asked for
    std::map<std::wstring, int> pairAdvances_;
    int lineHeight_ = 16;
    int charWidth_ = 8;
    std::wstring text_;
    std::vector<std::size_t> starts_{0};
    int widest_ = 0;
    long long top_ = 0;  // first line in sight
    int left_ = 0;       // pixels scrolled to the right
    std::size_t anchor_ = 0, caret_ = 0;
    int wheelRest_ = 0;  // wheel turn not yet worth a line
};

TextView::TextView(HWND hwnd) : hwnd_(hwnd), measure_(CreateCompatibleDC(nullptr))
{
    setFont(nullptr);
}

TextView::~TextView()
{
    DeleteDC(measure_);
}

void TextView::layout()
{
    // Breaks where the line counter counts a line; a break at the very end still starts a line here.
    starts_.assign(1, 0);
    widest_ = 0;
    int line = 0;
    const std::wstring_view text(text_);
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A list of a million paths passes here: the width of a character that breaks no line
        // and is no half of a surrogate pair comes straight from the table once measured.
        const wchar_t c = text[i];
        const bool plain = c != L'\r' && c != L'\n' && (c & 0xF800) != 0xD800;
        if (plain && advances_[c] >= 0) {
            line += advances_[c];
            continue;
        }
        const std::size_t br = platform::lineBreakAt(text, i);
        if (br == 0) {
            line += advance(i);
            continue;
        }
        i += br - 1;
        starts_.push_back(i + 1);
        widest_ = std::max(widest_, line);
        line = 0;
    }
    widest_ = std::max(widest_, line);
}

void TextView::setText(std::wstring text)
{
    text_ = std::move(text);
    layout();
    top_ = 0;
    left_ = 0;
    anchor_ = caret_ = 0;
    updateScrollBars();
    placeCaret();
    InvalidateRect(hwnd_, nullptr, FALSE);
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

void TextView::setFont(HFONT font)
{
    const int widestBefore = widest_;
    font_ = font;
    SelectObject(measure_, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW tm;
    GetTextMetricsW(measure_, &tm);
    lineHeight_ = std::max<int>(1, tm.tmHeight);
    charWidth_ = std::max<int>(1, tm.tmAveCharWidth);
    advances_.assign(0x10000, -1);
    pairAdvances_.clear();
    layout();
    // The lines grew or shrank with the font: the part of them that was in sight stays there.
    if (widestBefore > 0)
        left_ = MulDiv(left_, widest_, widestBefore);
}

std::size_t TextView::lineOf(std::size_t pos) const
{
    return std::upper_bound(starts_.begin(), starts_.end(), pos) - starts_.begin() - 1;
}

std::size_t TextView::lineEnd(std::size_t line) const
{
    if (line + 1 == starts_.size())
        return text_.size();
    std::size_t end = starts_[line + 1] - 1;
    if (text_[end] == L'\n' && end > starts_[line] && text_[end - 1] == L'\r')
        --end;
    return end;
}

// A place between two characters of one line, never inside a line break.
std::size_t TextView::clamp(std::size_t pos) const
{
    pos = std::min(pos, text_.size());
    pos = std::min(pos, lineEnd(lineOf(pos)));
    return insidePair(pos) ? pos - 1 : pos;
}

bool TextView::insidePair(std::size_t pos) const
{
    return pos > 0 && pos < text_.size() && IS_HIGH_SURROGATE(text_[pos - 1]) && IS_LOW_SURROGATE(text_[pos]);
}

int TextView::advance(std::size_t pos)
{
    if (insidePair(pos))
        return 0;
    if (insidePair(pos + 1)) {
        const std::wstring pair = text_.substr(pos, 2);
        auto [at, added] = pairAdvances_.try_emplace(pair, 0);
        SIZE size{};
        if (added && GetTextExtentPoint32W(measure_, pair.data(), 2, &size))
            at->second = size.cx;
        return at->second;
    }
    const wchar_t c = text_[pos];
    int& a = advances_[c];
    if (a < 0 && !GetCharWidth32W(measure_, c, c, &a))
        a = 0;
    return a;
}

int TextView::width(std::size_t from, std::size_t to)
{
    int w = 0;
    for (std::size_t i = from; i < to; ++i)
        w += advance(i);
    return w;
}

// The place nearest to a client point; above or below the text it is on the first or last line.
std::size_t TextView::positionAt(int x, int y)
{
    const long long row = y >= 0 ? y / lineHeight_ : (y - lineHeight_ + 1) / lineHeight_;
    const auto line = static_cast<std::size_t>(std::clamp<long long>(top_ + row, 0, starts_.size() - 1));
    const int target = x - margin + left_;
    std::size_t pos = starts_[line];
    const std::size_t end = lineEnd(line);
    for (int at = 0; pos < end; ++pos) {
        const int a = advance(pos);
        if (target < at + a / 2)
            break;
        at += a;
    }
    // Stopped on a pair's second unit: the point lies in the pair's right half.
    return insidePair(pos) ? pos + 1 : pos;
}

POINT TextView::pointOf(std::size_t pos)
{
    const std::size_t line = lineOf(pos);
    return {margin - left_ + width(starts_[line], pos),
            static_cast<int>((static_cast<long long>(line) - top_) * lineHeight_)};
}

SIZE TextView::client() const
{
    RECT r;
    GetClientRect(hwnd_, &r);
    return {r.right, r.bottom};
}

int TextView::visibleLines() const
{
    return std::max(1, static_cast<int>(client().cy / lineHeight_));
}

void TextView::updateScrollBars()
{
    // Both bars stay in place, greyed while everything fits, as those of the edit control do.
    SCROLLINFO v{sizeof v, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL};
    v.nMax = static_cast<int>(starts_.size()) - 1;
    v.nPage = visibleLines();
    v.nPos = static_cast<int>(top_);
    SetScrollInfo(hwnd_, SB_VERT, &v, TRUE);
    SCROLLINFO h{sizeof h, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL};
    h.nMax = widest_ + 2 * margin - 1;
    h.nPage = std::max<LONG>(0, client().cx);
    h.nPos = left_;
    SetScrollInfo(hwnd_, SB_HORZ, &h, TRUE);
}

void TextView::scrollTo(long long top, long long left)
{
    const long long lastTop = std::max<long long>(0, static_cast<long long>(starts_.size()) - visibleLines());
    const long long lastLeft = std::max<long long>(0, widest_ + 2 * margin - client().cx);
    top = std::clamp<long long>(top, 0, lastTop);
    left = std::clamp<long long>(left, 0, lastLeft);
    if (top == top_ && left == left_)
        return;
    top_ = top;
    left_ = static_cast<int>(left);
    updateScrollBars();
    placeCaret();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TextView::scrollBy(int bar, WORD code)
{
    SCROLLINFO si{sizeof si, SIF_ALL};
    GetScrollInfo(hwnd_, bar, &si);
    const long long step = bar == SB_VERT ? 1 : charWidth_;
    long long pos = si.nPos;
    switch (code) {
    case SB_LINEUP: pos -= step; break;
    case SB_LINEDOWN: pos += step; break;
    case SB_PAGEUP: pos -= si.nPage; break;
    case SB_PAGEDOWN: pos += si.nPage; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
    }
    if (bar == SB_VERT)
        scrollTo(pos, left_);
    else
        scrollTo(top_, pos);
}

void TextView::wheel(int delta)
{
    UINT perNotch = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
    if (perNotch == WHEEL_PAGESCROLL)
        perNotch = visibleLines();
    wheelRest_ += delta;
    const int notches = wheelRest_ / WHEEL_DELTA;
    wheelRest_ %= WHEEL_DELTA;
    scrollTo(top_ - static_cast<long long>(notches) * perNotch, left_);
}

void TextView::ensureVisible(std::size_t pos)
{
    const auto line = static_cast<long long>(lineOf(pos));
    long long top = top_;
    if (line < top)
        top = line;
    else if (line >= top + visibleLines())
        top = line - visibleLines() + 1;
    // Sideways by a third of the width at a time, so that the caret does not sit at the edge.
    const int x = width(starts_[line], pos);
    const int room = std::max(1, static_cast<int>(client().cx) - 2 * margin);
    long long left = left_;
    if (x < left_)
        left = x - room / 3;
    else if (x >= left_ + room)
        left = x - room + room / 3;
    scrollTo(top, left);
}

void TextView::placeCaret()
{
    if (GetFocus() != hwnd_)
        return;
    const POINT p = pointOf(caret_);
    SetCaretPos(p.x, p.y);
    // The system caret is what a screen reader and a magnifier follow.
    NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, hwnd_, OBJID_CARET, CHILDID_SELF);
}

void TextView::drawRun(HDC dc, std::size_t from, std::size_t to, int x, int y)
{
    // Drawn with the widths the view measures with, so that hits and highlight match the glyphs.
    std::vector<INT> dx(to - from);
    // A pair's width goes with its second unit, so that both halves stand at the pair's place.
    for (std::size_t i = from; i < to; ++i)
        dx[i - from] = insidePair(i + 1) ? 0 : advance(insidePair(i) ? i - 1 : i);
    ExtTextOutW(dc, x, y, 0, nullptr, text_.data() + from, static_cast<UINT>(to - from), dx.data());
}

void TextView::paint()
{
    PAINTSTRUCT ps;
    HDC target = BeginPaint(hwnd_, &ps);
    const SIZE size = client();
    // Drawn off screen first, so that scrolling does not flicker.
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, std::max<LONG>(1, size.cx), std::max<LONG>(1, size.cy));
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(SYSTEM_FONT));
    RECT all{0, 0, size.cx, size.cy};
    FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);

    const std::size_t selFrom = std::min(anchor_, caret_), selTo = std::max(anchor_, caret_);
    for (auto line = static_cast<std::size_t>(top_); line < starts_.size(); ++line) {
        const int y = static_cast<int>(static_cast<long long>(line) - top_) * lineHeight_;
        if (y >= size.cy)
            break;
        const std::size_t from = starts_[line], to = lineEnd(line);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        drawRun(dc, from, to, margin - left_, y);
        const std::size_t a = std::max(from, selFrom), b = std::min(to, selTo);
        if (a >= b)
            continue;
        const int xa = margin - left_ + width(from, a);
        RECT mark{xa, y, xa + width(a, b), y + lineHeight_};
        FillRect(dc, &mark, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        drawRun(dc, a, b, xa, y);
    }

    BitBlt(target, 0, 0, size.cx, size.cy, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EndPaint(hwnd_, &ps);
}

void TextView::select(std::size_t anchor, std::size_t caret)
{
    anchor = clamp(anchor);
    caret = clamp(caret);
    const bool marked = anchor_ != caret_ || anchor != caret;
    anchor_ = anchor;
    caret_ = caret;
    if (marked)
        InvalidateRect(hwnd_, nullptr, FALSE);
    placeCaret();
}

void TextView::moveCaret(std::size_t pos, bool extend)
{
    select(extend ? anchor_ : pos, pos);
    ensureVisible(caret_);
}

void TextView::keyDown(WPARAM key)
{
    const bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
    const std::size_t line = lineOf(caret_);
    auto rowsAway = [this](int rows) {
        const POINT p = pointOf(caret_);
        return positionAt(p.x, p.y + rows * lineHeight_);
    };
    switch (key) {
    case VK_LEFT:
        if (caret_ > starts_[line])
            moveCaret(caret_ - 1, shift);
        else
            moveCaret(line > 0 ? lineEnd(line - 1) : caret_, shift);
        break;
    case VK_RIGHT:
        if (caret_ < lineEnd(line))
            moveCaret(caret_ + (insidePair(caret_ + 1) ? 2 : 1), shift);
        else
            moveCaret(line + 1 < starts_.size() ? starts_[line + 1] : caret_, shift);
        break;
    case VK_UP: moveCaret(rowsAway(-1), shift); break;
    case VK_DOWN: moveCaret(rowsAway(1), shift); break;
    case VK_PRIOR: moveCaret(rowsAway(-visibleLines()), shift); break;
    case VK_NEXT: moveCaret(rowsAway(visibleLines()), shift); break;
    case VK_HOME: moveCaret(control ? 0 : starts_[line], shift); break;
    case VK_END: moveCaret(control ? text_.size() : lineEnd(line), shift); break;
    case 'A':
        if (control)
            select(0, text_.size());
        break;
    case 'C':
    case VK_INSERT:
        if (control)
            copy();
        break;
    }
}

void TextView::copy()
{
    const std::size_t from = std::min(anchor_, caret_), to = std::max(anchor_, caret_);
    if (from == to || !OpenClipboard(hwnd_))
        return;
    EmptyClipboard();
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (to - from + 1) * sizeof(wchar_t))) {
        auto* chars = static_cast<wchar_t*>(GlobalLock(block));
        std::memcpy(chars, text_.data() + from, (to - from) * sizeof(wchar_t));
        chars[to - from] = L'\0';
        GlobalUnlock(block);
        if (!SetClipboardData(CF_UNICODETEXT, block))
            GlobalFree(block);
    }
    CloseClipboard();
}

// The system's own edit menu, with what a read-only field cannot do greyed.
void TextView::contextMenu(LPARAM lParam)
{
    HMODULE user = GetModuleHandleW(L"user32.dll");
    HMENU menu = LoadMenuW(user, L"EDITMENU");
    if (!menu)
        menu = LoadMenuW(user, MAKEINTRESOURCEW(1));
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        const UINT id = GetMenuItemID(popup, i);
        const bool possible = (id == WM_COPY && anchor_ != caret_) || (id == EM_SETSEL && !text_.empty());
        EnableMenuItem(popup, i, MF_BYPOSITION | (possible ? MF_ENABLED : MF_GRAYED));
    }
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (lParam == -1) {  // from the keyboard: at the caret
        at = pointOf(caret_);
        ClientToScreen(hwnd_, &at);
    }
    const UINT chosen = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_,
                                       nullptr);
    DestroyMenu(menu);
    if (chosen == WM_COPY)
        copy();
    else if (chosen == EM_SETSEL)
        select(0, text_.size());
}

std::wstring TextView::accessibleValue() const
{
    if (text_.size() <= wholeValueChars)
        return text_;
    const auto first = static_cast<std::size_t>(top_);
    const std::size_t last = std::min(starts_.size(), first + visibleLines());
    return text_.substr(starts_[first], (last < starts_.size() ? starts_[last] : text_.size()) - starts_[first]);
}

LRESULT TextView::handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETTEXT:
        setText(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
        return TRUE;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(text_.size());
    case WM_GETTEXT: {
        if (wParam == 0)
            return 0;
        const std::size_t n = std::min<std::size_t>(wParam - 1, text_.size());
        auto* out = reinterpret_cast<wchar_t*>(lParam);
        std::memcpy(out, text_.data(), n * sizeof(wchar_t));
        out[n] = L'\0';
        return static_cast<LRESULT>(n);
    }
    case WM_CREATE:
        updateScrollBars();
        return 0;
    case WM_SETFONT:
        setFont(reinterpret_cast<HFONT>(wParam));
        updateScrollBars();
        placeCaret();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE:
        updateScrollBars();
        scrollTo(top_, left_);
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        paint();
        return 0;
    case WM_VSCROLL:
        scrollBy(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_HSCROLL:
        scrollBy(SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        wheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_SETFOCUS:
        CreateCaret(hwnd_, nullptr, 1, lineHeight_);
        placeCaret();
        ShowCaret(hwnd_);
        return 0;
    case WM_KILLFOCUS:
        DestroyCaret();
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(hwnd_);
        SetCapture(hwnd_);
        moveCaret(positionAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), wParam & MK_SHIFT);
        return 0;
    case WM_MOUSEMOVE:
        // Dragging past an edge scrolls, since the caret is kept in sight.
        if (GetCapture() == hwnd_)
            moveCaret(positionAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), true);
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd_)
            ReleaseCapture();
        return 0;
    case WM_KEYDOWN:
        keyDown(wParam);
        return 0;
    case WM_CONTEXTMENU:
        contextMenu(lParam);
        return 0;
    case WM_COPY:
        copy();
        return 0;
    case EM_SETSEL:
        // -1 as the start only drops the selection; -1 as the end reaches the end of the text.
        if (static_cast<int>(wParam) == -1)
            select(caret_, caret_);
        else
            select(wParam, static_cast<int>(lParam) == -1 ? text_.size() : static_cast<std::size_t>(lParam));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) == OBJID_CLIENT)
            return accessibleView(hwnd_, wParam);
        break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK textViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* view = reinterpret_cast<TextView*>(GetWindowLongPtrW(hwnd, 0));
    if (msg == WM_NCCREATE) {
        view = new TextView(hwnd);
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(view));
    }
    if (!view)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, 0, 0);
        delete view;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return view->handle(msg, wParam, lParam);
}

}  // namespace

namespace {

// The view behind a window of this thread, asked directly, never through a message: a message of
// any number can come from any program, and a pointer in it could make the view write anywhere.
TextView* viewOf(HWND view)
{
    wchar_t className[32] = L"";
    if (!IsWindow(view) || GetWindowThreadProcessId(view, nullptr) != GetCurrentThreadId() ||
        !GetClassNameW(view, className, 32) || std::wstring_view(className) != textViewClass())
        return nullptr;
    return reinterpret_cast<TextView*>(GetWindowLongPtrW(view, 0));
}

}  // namespace

std::optional<std::wstring> textViewAccessibleValue(HWND view)
{
    const TextView* text = viewOf(view);
    if (!text)
        return std::nullopt;
    return text->accessibleValue();
}

std::optional<std::string> textViewText(HWND view)
{
    const TextView* text = viewOf(view);
    if (!text)
        return std::nullopt;
    return narrow(text->text());
}

bool setTextViewText(HWND view, std::wstring text)
{
    TextView* target = viewOf(view);
    if (target)
        target->setText(std::move(text));
    return target != nullptr;
}

const wchar_t* textViewClass()
{
    static const wchar_t* const name = [] {
        WNDCLASSEXW wc{sizeof wc};
        wc.lpfnWndProc = textViewProc;
        wc.cbWndExtra = sizeof(TextView*);
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
        wc.lpszClassName = L"NomerraTextView";
        RegisterClassExW(&wc);
        return wc.lpszClassName;
    }();
    return name;
}

}  // namespace platform::win32
