#pragma once

#include "platform/Desktop.h"
#include "platform/MonitorLayout.h"
#include "win32/DibAllocator.h"
#include "win32/Handles.h"

#include <memory>

#include <windows.h>

namespace lupenta::win32 {

class Win32Desktop final : public Desktop {
public:
    // The window that owns the clipboard contents the program puts there, and its message boxes.
    void SetOwnerWindow(HWND owner) { owner_ = owner; }
    // The monitors were added, removed, moved or resized: they are asked for again.
    void DisplayChanged() { layout_.reset(); }

    PixelAllocator& FrameAllocator() override { return allocator_; }
    bool CaptureScreen(const Rect& source, Bitmap24& frame, Point at) override;
    std::optional<Point> PointerPosition() override;
    bool MovePointer(Point p) override;
    std::optional<PointerShape> CurrentPointer() override;
    std::optional<PointerSighting> SightPointer() override;
    bool DrawPointer(const PointerShape& shape, Bitmap24& frame, Point at, int size) override;
    CaretProbe ProbeCaret() override;
    std::optional<WindowId> TopLevelWindowAt(Point p) override;
    std::optional<Rect> WindowRect(WindowId window) override;
    std::optional<Rect> MonitorNearest(Point p) override;
    std::vector<Rect> Monitors() override;
    Rect VirtualDesktop() override;
    bool IsCtrlDown() override;
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                     bool centred) override;
    int ShellOpen(const std::string& target) override;
    bool ClearClipboard() override;
    bool SetClipboardText(const std::string& utf8) override;
    bool SetClipboardBitmap(const Bitmap24& frame) override;

private:
    const MonitorLayout& Layout();
    // The cursor's hot spot and handle; none for no cursor.
    std::optional<PointerShape> ShapeOf(HCURSOR cursor);

    DibAllocator allocator_;
    // Asked for once and kept until the display changes: each question about the monitors is
    // a round trip through the window system, and the tick asks several every time.
    std::optional<MonitorLayout> layout_;
    HWND owner_ = nullptr;
    // The screen's device context, taken at the first capture and kept: getting one for every
    // capture costs a round of setting up and tearing down in the window system each tick.
    std::unique_ptr<UniqueWindowDc> screen_;
    // The last cursor seen and its hot spot, which asking for means copying its bitmaps.
    HCURSOR cursor_ = nullptr;
    Point hotSpot_;
};

Rect FromRECT(const RECT& r);
// Every monitor's rectangle in the virtual desktop.
std::vector<Rect> DisplayMonitors();

} // namespace lupenta::win32
