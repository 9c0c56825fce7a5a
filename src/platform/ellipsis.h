#pragma once
// Shortening a text for a line that is too narrow for it.
#include <functional>
#include <string>

namespace platform {

// The text with its middle replaced by "…" so that its measured width is at most width: as much
// of its start as fits in half the room, then as much of its end as fits in the rest. A text
// that fits comes back whole. UTF-16 surrogate pairs are never split.
std::wstring middleEllipsis(const std::wstring& text, int width,
                            const std::function<int(const std::wstring&)>& measure);

// Whether a text of this measured width is shortened on a line this wide. A font scaled to
// another DPI is rounded to whole pixels, and so are its glyphs: a short caption may overrun its
// line by a pixel or two. Cut off at the edge it still reads whole, where "…" in its place would
// leave nothing of it; so a text is shortened only when more than a quarter of its last character
// would be lost.
constexpr bool shortened(int textWidth, int lastCharacterWidth, int width)
{
    return textWidth > width && (textWidth - width) * 4 > lastCharacterWidth;
}

}  // namespace platform
