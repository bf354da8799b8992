#pragma once

#include "settings/FormWindow.h"

#include <string>
#include <vector>

namespace lupenta::testing {

// A window whose placement and screen are plain fields; what the form storage does to it is
// recorded.
class FakeFormWindow : public FormWindow {
public:
    bool hasHandle = true;
    bool visible = true;
    std::optional<WindowPlacement> placement =
        WindowPlacement{0, 1, {-1, -1}, {-1, -1}, Rect{100, 100, 584, 421}};
    Rect bounds{100, 100, 584, 421};
    ScreenMetrics screen{1920, 1080, 96, {Rect{0, 0, 1920, 1080}}};

    std::vector<WindowPlacement> applied;
    bool keptPlacedPosition = false;
    int repaints = 0;
    std::vector<std::string> errors;

    bool HasHandle() override { return hasHandle; }
    bool IsVisible() override { return visible; }
    std::optional<WindowPlacement> GetPlacement() override { return placement; }
    bool SetPlacement(const WindowPlacement& p) override {
        applied.push_back(p);
        placement = p;
        return true;
    }
    Rect BoundsRect() override { return bounds; }
    ScreenMetrics Screen() override { return screen; }
    void KeepPlacedPosition() override { keptPlacedPosition = true; }
    void Repaint() override { ++repaints; }
    void ShowError(const std::string& message) override { errors.push_back(message); }
};

} // namespace lupenta::testing
