// The text view's window: its class, its procedure, its text and what a screen reader is read.
#include "platform/win32/text_view.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/win32/text_view_impl.h"
#include "platform/win32/view_accessible.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {
// A longer text is read out by the lines in sight: a list of many thousand paths is too much to
// hand over at every question of a screen reader.
constexpr std::size_t wholeValueChars = 1 << 16;
}  // namespace

TextView::TextView(HWND hwnd) : hwnd_(hwnd), measure_(CreateCompatibleDC(nullptr))
{
    setFont(nullptr);
}

TextView::~TextView()
{
    DeleteDC(measure_);
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

namespace {

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
