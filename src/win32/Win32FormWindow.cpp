#include "win32/Win32FormWindow.h"

#include "ui/Application.h"

#include "win32/Handles.h"
#include "win32/Text.h"
#include "win32/Win32Desktop.h"

namespace lupenta::win32 {

bool Win32FormWindow::HasHandle() {
    return window_ && IsWindow(window_);
}

bool Win32FormWindow::IsVisible() {
    return window_ && IsWindowVisible(window_);
}

std::optional<WindowPlacement> Win32FormWindow::GetPlacement() {
    if (!window_)
        return std::nullopt;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(window_, &wp))
        return std::nullopt;
    const RECT& n = wp.rcNormalPosition;
    return WindowPlacement{wp.flags,
                           wp.showCmd,
                           {wp.ptMinPosition.x, wp.ptMinPosition.y},
                           {wp.ptMaxPosition.x, wp.ptMaxPosition.y},
                           {n.left, n.top, n.right, n.bottom}};
}

bool Win32FormWindow::SetPlacement(const WindowPlacement& placement) {
    if (!window_)
        return false;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.flags = placement.flags;
    wp.showCmd = placement.showCmd;
    wp.ptMinPosition = {placement.minPosition.x, placement.minPosition.y};
    wp.ptMaxPosition = {placement.maxPosition.x, placement.maxPosition.y};
    const Rect& n = placement.normalPosition;
    wp.rcNormalPosition = {n.left, n.top, n.right, n.bottom};
    return SetWindowPlacement(window_, &wp) != FALSE;
}

Rect Win32FormWindow::BoundsRect() {
    RECT r{};
    if (!window_ || !GetWindowRect(window_, &r))
        return {};
    return {r.left, r.top, r.right, r.bottom};
}

// The screen's logical figure, the same for every window: a window left on a monitor with
// another scaling must still find its placement valid at the next start.
int Win32FormWindow::PixelsPerInch() {
    UniqueWindowDc screen(nullptr);
    return screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : ScreenMetrics{}.pixelsPerInch;
}

ScreenMetrics Win32FormWindow::Screen() {
    ScreenMetrics screen;
    screen.virtualWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.virtualHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    screen.pixelsPerInch = PixelsPerInch();
    screen.monitors = DisplayMonitors();
    return screen;
}

void Win32FormWindow::Repaint() {
    // A null handle would repaint the whole desktop.
    if (HasHandle())
        RedrawWindow(window_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void Win32FormWindow::ShowError(const std::string& message) {
    MessageBoxW(HasHandle() ? window_ : nullptr, Widen(message).c_str(),
                Widen(ui::Application.Title).c_str(), MB_OK | MB_ICONERROR);
}

} // namespace lupenta::win32
