#pragma once

// The arrow keys place the hot pixel one screen pixel at a time (ten with Shift), so a pixel
// can be picked exactly at high zoom without a steady hand.

#include "platform/Geometry.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace lupenta {

// The step an arrow key (plain or with Shift) asks for; nothing for any other key, or for an
// arrow held with Ctrl or Alt, which belong to other programs' habits.
std::optional<Point> ArrowKeyStep(std::uint16_t shortcut);

// `from` moved by `step`. A step that would leave every monitor stops at the edge of the
// monitor it started on, as the pointer does against the screen's edge.
Point StepOnMonitors(Point from, Point step, const std::vector<Rect>& monitors);

} // namespace lupenta
