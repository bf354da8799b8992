#pragma once

// The window styles the main window is created with and switches, as the platform numbers
// them, so the decisions about them can be checked without a window system.

#include <cstdint>

namespace lupenta {

constexpr std::uint32_t kWsPopup = 0x80000000;
constexpr std::uint32_t kWsDlgFrame = 0x00400000;
constexpr std::uint32_t kWsCaption = 0x00C00000;
constexpr std::uint32_t kWsSysMenu = 0x00080000;
constexpr std::uint32_t kWsThickFrame = 0x00040000;
constexpr std::uint32_t kWsMinimizeBox = 0x00020000;
constexpr std::uint32_t kWsMaximizeBox = 0x00010000;
constexpr std::uint32_t kWsClipChildren = 0x02000000;
constexpr std::uint32_t kTitleBarStyles = kWsCaption | kWsSysMenu | kWsThickFrame;

// A sizeable top-level window with system menu and minimise and maximise boxes, made a popup
// without the dialog frame: it starts with no title bar, keeping a thin border and the sizing
// frame.
constexpr std::uint32_t MainWindowCreationStyle() {
    const std::uint32_t sizeable =
        kTitleBarStyles | kWsMinimizeBox | kWsMaximizeBox | kWsClipChildren;
    return (sizeable | kWsPopup) & ~kWsDlgFrame;
}

constexpr std::uint32_t WithTitleBar(std::uint32_t style) {
    return style | kTitleBarStyles;
}
constexpr std::uint32_t WithoutTitleBar(std::uint32_t style) {
    return style & ~kTitleBarStyles;
}

} // namespace lupenta
