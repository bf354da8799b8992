#pragma once

#include "settings/FormWindow.h"

#include <windows.h>

namespace lupenta::win32 {

// The form storage's view of a real window. The handle may come later than the storage, so
// every call tolerates a window that does not exist (yet or any more).
class Win32FormWindow final : public FormWindow {
public:
    explicit Win32FormWindow(HWND window = nullptr) : window_(window) {}

    void SetWindow(HWND window) { window_ = window; }
    HWND Window() const { return window_; }

    bool HasHandle() override;
    bool IsVisible() override;
    std::optional<WindowPlacement> GetPlacement() override;
    bool SetPlacement(const WindowPlacement& placement) override;
    Rect BoundsRect() override;
    ScreenMetrics Screen() override;
    // The window is centred when it is created, before the placement is restored, and never
    // placed again by the system, so a restored position is kept without anything to do.
    void KeepPlacedPosition() override {}
    void Repaint() override;
    void ShowError(const std::string& message) override;

private:
    int PixelsPerInch();

    HWND window_;
};

} // namespace lupenta::win32
