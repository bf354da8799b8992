#include "platform/MonitorLayout.h"

#include <algorithm>
#include <cstdint>

namespace lupenta {

namespace {

// How far `p` lies outside `r` along one axis: 0 inside, else the pixels to its nearest edge.
std::int64_t Outside(int p, int start, int end) {
    if (p < start)
        return static_cast<std::int64_t>(start) - p;
    if (p >= end)
        return static_cast<std::int64_t>(p) - (end - 1);
    return 0;
}

} // namespace

std::optional<Rect> MonitorLayout::Nearest(Point p) const {
    std::optional<Rect> nearest;
    std::int64_t best = 0;
    for (const Rect& monitor : monitors) {
        const std::int64_t dx = Outside(p.x, monitor.left, monitor.right);
        const std::int64_t dy = Outside(p.y, monitor.top, monitor.bottom);
        const std::int64_t distance = dx * dx + dy * dy;
        if (!nearest || distance < best) {
            nearest = monitor;
            best = distance;
        }
    }
    return nearest;
}

} // namespace lupenta
