#include "main/ArrowKeys.h"

#include "ui/MenuItem.h"

#include <algorithm>

namespace lupenta {

std::optional<Point> ArrowKeyStep(std::uint16_t shortcut) {
    constexpr int kLeft = 0x25;
    constexpr int kUp = 0x26;
    constexpr int kRight = 0x27;
    constexpr int kDown = 0x28;
    if (shortcut & (ui::kCtrl | ui::kAlt))
        return std::nullopt;
    const int distance = (shortcut & ui::kShift) ? 10 : 1;
    switch (shortcut & 0xFF) {
    case kLeft:
        return Point{-distance, 0};
    case kUp:
        return Point{0, -distance};
    case kRight:
        return Point{distance, 0};
    case kDown:
        return Point{0, distance};
    default:
        return std::nullopt;
    }
}

Point StepOnMonitors(Point from, Point step, const std::vector<Rect>& monitors) {
    const Point to{from.x + step.x, from.y + step.y};
    const auto onMonitor = [](Point p) { return [p](const Rect& m) { return m.Contains(p); }; };
    if (std::any_of(monitors.begin(), monitors.end(), onMonitor(to)))
        return to;
    auto home = std::find_if(monitors.begin(), monitors.end(), onMonitor(from));
    if (home == monitors.end())
        home = monitors.begin();
    if (home == monitors.end() || home->Width() <= 0 || home->Height() <= 0)
        return from;
    return {std::clamp(to.x, home->left, home->right - 1),
            std::clamp(to.y, home->top, home->bottom - 1)};
}

} // namespace lupenta
