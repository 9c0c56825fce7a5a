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

}  // namespace platform
