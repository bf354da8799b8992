#pragma once

// The arithmetic of one sampling tick: where the view captures, where its hot pixel lies, and
// where the window goes when it has to get out of the pointer's way.

#include "platform/Geometry.h"

#include <optional>
#include <vector>

namespace lupenta {

struct CaptureInput {
    Point source;       // S: the point to show in the middle of the view
    Point displacement; // D: pointer minus source in fixed-location mode, else (0, 0)
    Rect desktop;       // the virtual desktop
    int viewWidth = 0;
    int viewHeight = 0;
    int zoom = 1;
};

struct CapturePlacement {
    int screenLeft = 0; // SL, ST: the captured area's top-left corner
    int screenTop = 0;
    int leftOffset = 0; // LO, TO: the hot pixel within it
    int topOffset = 0;

    friend bool operator==(const CapturePlacement&, const CapturePlacement&) = default;
};

// Centres the capture on the source point, or comes as close as the desktop's edges allow.
CapturePlacement PlaceCapture(const CaptureInput& in);

// The offsets the tick derives from the monitor under the pointer: its far edge, or 0 for a
// monitor that starts at the primary monitor's edge.
Point MonitorOffsets(const Rect& monitor);

// The window's left and top centred in `area`.
Point CentredIn(const Rect& area, int width, int height);

// Where the window of outer size `size` goes so that it no longer lies under the pointer:
// beside, above or below the pointer on its monitor, else centred on another monitor.
Point PlaceAwayFromPointer(Point pointer, const Rect& monitor, int width, int height,
                           const std::vector<Rect>& monitors);

} // namespace lupenta
