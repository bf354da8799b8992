#pragma once

// What the form storage needs from the window whose placement it keeps. The Win32 layer
// answers from GetWindowPlacement, SetWindowPlacement and the monitor metrics; tests use a fake.

#include "platform/Geometry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lupenta {

// The platform's placement record, in the platform's own coordinates and meanings; the form
// storage only carries the numbers, so they come back exactly as they were saved.
struct WindowPlacement {
    std::uint32_t flags = 0;
    std::uint32_t showCmd = 0;
    Point minPosition;
    Point maxPosition;
    Rect normalPosition;

    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// The show state that applies a placement without showing the window or changing its state.
constexpr std::uint32_t kShowHidden = 0;

struct ScreenMetrics {
    // The size of the rectangle that encloses all monitors.
    int virtualWidth = 0;
    int virtualHeight = 0;
    int pixelsPerInch = 96;
    std::vector<Rect> monitors;
};

class FormWindow {
public:
    virtual ~FormWindow() = default;

    virtual bool HasHandle() = 0;
    virtual bool IsVisible() = 0;
    virtual std::optional<WindowPlacement> GetPlacement() = 0;
    virtual bool SetPlacement(const WindowPlacement& placement) = 0;
    // The window's outer rectangle now, in screen coordinates.
    virtual Rect BoundsRect() = 0;
    virtual ScreenMetrics Screen() = 0;
    // A window that would be centred on the screen at its first show keeps the position it
    // is given instead.
    virtual void KeepPlacedPosition() = 0;
    virtual void Repaint() = 0;
    // The application's standard error box.
    virtual void ShowError(const std::string& message) = 0;
};

} // namespace lupenta
