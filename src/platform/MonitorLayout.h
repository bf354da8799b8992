#pragma once

#include "platform/Geometry.h"

#include <optional>
#include <vector>

namespace lupenta {

// Where the monitors are, as a platform layer can keep it between display changes instead of
// asking the window system on every tick.
struct MonitorLayout {
    Rect virtualDesktop;
    std::vector<Rect> monitors;

    // The monitor that holds `p`, else the one nearest to it (the first of equals); nothing
    // without monitors.
    std::optional<Rect> Nearest(Point p) const;
};

} // namespace lupenta
