// Scrolling both ways, with the bars, the wheel and the caret kept in sight.
#include "platform/win32/text_view_impl.h"

#include <algorithm>

namespace platform::win32 {

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

}  // namespace platform::win32
