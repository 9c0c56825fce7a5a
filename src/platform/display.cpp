#include "platform/display.h"

#include <algorithm>

namespace platform {

namespace {
// One direction: the window's extent within the monitor's and the work area's.
std::pair<int, int> place(int extent, int monitorStart, int monitorExtent, int workStart, int workExtent)
{
    const int length = std::min(extent, workExtent);
    const int centred = monitorStart + (monitorExtent - length) / 2;
    return {std::clamp(centred, workStart, workStart + workExtent - length), length};
}
}  // namespace

Rect startPlace(Size outer, const Rect& monitor, const Rect& workArea)
{
    const auto [left, width] = place(outer.width, monitor.left, monitor.width, workArea.left, workArea.width);
    const auto [top, height] = place(outer.height, monitor.top, monitor.height, workArea.top, workArea.height);
    return {left, top, width, height};
}

}  // namespace platform
