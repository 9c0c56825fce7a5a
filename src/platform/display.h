#pragma once
// The windows are designed in pixels at 96 dots per inch. On a display of another density every
// designed position, size and font height is scaled by the window's DPI / 96, rounded to the
// nearest pixel with halves away from zero, as the window system's MulDiv rounds: the logic and
// both backends scale through these functions only.
#include "platform/ui.h"

namespace platform {

constexpr int designDpi = 96;

constexpr int scaled(int designPixels, int dpi)
{
    const long long product = static_cast<long long>(designPixels) * dpi;
    const long long half = designDpi / 2;
    return static_cast<int>((product < 0 ? product - half : product + half) / designDpi);
}

constexpr Size scaled(Size s, int dpi) { return {scaled(s.width, dpi), scaled(s.height, dpi)}; }

// Each of the four values on its own, so that a control keeps its designed place whatever its size.
constexpr Rect scaled(const Rect& r, int dpi)
{
    return {scaled(r.left, dpi), scaled(r.top, dpi), scaled(r.width, dpi), scaled(r.height, dpi)};
}

inline FontSpec scaled(FontSpec font, int dpi)
{
    font.pixels = scaled(font.pixels, dpi);
    return font;
}

// Where a window of this outer size starts on its monitor: centred on the monitor, made no larger
// than the work area (the monitor less the taskbar) and moved into it where it would overlap the
// taskbar. A window as large as the work area in one direction is thus centred there.
Rect startPlace(Size outer, const Rect& monitor, const Rect& workArea);

}  // namespace platform
