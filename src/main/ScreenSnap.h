#pragma once

#include "platform/Geometry.h"

namespace lupenta {

// A window dragged to within `distance` pixels of an edge of the work area snaps onto it.
Point SnapToEdges(const Rect& window, const Rect& workArea, int distance);

} // namespace lupenta
