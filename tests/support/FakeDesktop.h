#pragma once

#include "platform/Desktop.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lupenta::testing {

// A scriptable desktop: the screen is a function of (x, y), and the pointer, caret, monitors,
// keys and clipboard are plain fields. Every call is logged by name.
class FakeDesktop : public Desktop {
public:
    FakeDesktop();
    ~FakeDesktop() override;

    // What the screen shows at each virtual-desktop pixel.
    std::function<Colour(int x, int y)> screen;
    bool screenAvailable = true;
    std::optional<Point> pointer = Point{0, 0};
    std::optional<PointerShape> pointerShape;
    // The pointer image is drawn as a square of this colour.
    Colour pointerColour = 0x00FF00;
    CaretProbe caret;
    std::vector<Rect> monitors{Rect{0, 0, 1920, 1080}};
    std::optional<WindowId> windowUnderPointer;
    std::vector<std::pair<WindowId, Rect>> windows;
    bool ctrlDown = false;

    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
        bool centred;
    };
    std::vector<Message> messages;
    std::vector<std::string> opened;
    int shellResult = 42;

    std::optional<std::string> clipboardText;
    std::optional<Bitmap24> clipboardBitmap;
    std::vector<std::string> calls;
    // The screen rectangles captured, in order.
    std::vector<Rect> captures;

    // Counts the pixel stores handed out, so a test can see that frames are reused.
    int allocations = 0;
    // Frame memory runs out: every allocation throws std::bad_alloc.
    bool allocationsFail = false;
    // Runs inside every call after it is logged, so a test can make any service throw.
    std::function<void(const std::string& call)> onCall;

    PixelAllocator& FrameAllocator() override;
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

    int CallCount(const std::string& name) const;

private:
    class CountingAllocator;
    void Record(const std::string& call);
    std::unique_ptr<CountingAllocator> allocator_;
};

// A screen whose every pixel has a colour of its own, so a capture shows where it came from.
Colour CoordinateColour(int x, int y);

} // namespace lupenta::testing
