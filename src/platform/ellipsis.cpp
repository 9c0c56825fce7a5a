#include "platform/ellipsis.h"

namespace platform {

namespace {
bool isLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
}  // namespace

std::wstring middleEllipsis(const std::wstring& text, int width,
                            const std::function<int(const std::wstring&)>& measure)
{
    if (measure(text) <= width)
        return text;
    const std::wstring dots = L"\u2026";
    const int half = (width - measure(dots)) / 2;
    auto step = [&](std::size_t at, bool forward) {
        std::size_t next = forward ? at + 1 : at - 1;
        return next > 0 && next < text.size() && isLowSurrogate(text[next]) ? (forward ? next + 1 : next - 1) : next;
    };
    std::size_t head = 0;
    while (head < text.size() && measure(text.substr(0, step(head, true))) <= half)
        head = step(head, true);
    std::size_t tail = text.size();
    while (tail > head && measure(text.substr(0, head) + dots + text.substr(step(tail, false))) <= width)
        tail = step(tail, false);
    return text.substr(0, head) + dots + text.substr(tail);
}

}  // namespace platform
