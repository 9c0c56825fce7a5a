// Painting the lines in sight, off screen first, with the selection marked.
#include "platform/win32/text_view_impl.h"

#include <algorithm>

namespace platform::win32 {

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

}  // namespace platform::win32
