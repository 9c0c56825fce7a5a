// The view's lines: where each starts, how wide its characters are, and where a point falls.
#include "platform/win32/text_view_impl.h"

#include <algorithm>
#include <string_view>

#include "platform/line_breaks.h"

namespace platform::win32 {

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

}  // namespace platform::win32
