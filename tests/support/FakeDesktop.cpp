#include "support/FakeDesktop.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace lupenta::testing {

class FakeDesktop::CountingAllocator : public PixelAllocator {
public:
    CountingAllocator(int& count, const bool& fail) : count_(count), fail_(fail) {}
    std::unique_ptr<PixelStore> Allocate(int width, int height, int stride) override {
        if (fail_)
            throw std::bad_alloc();
        ++count_;
        return HeapPixelAllocator().Allocate(width, height, stride);
    }

private:
    int& count_;
    const bool& fail_;
};

Colour CoordinateColour(int x, int y) {
    return MakeColour(x * 7 + 3, y * 11 + 5, (x ^ y) * 13);
}

FakeDesktop::FakeDesktop()
    : screen(CoordinateColour),
      allocator_(std::make_unique<CountingAllocator>(allocations, allocationsFail)) {}

FakeDesktop::~FakeDesktop() = default;

PixelAllocator& FakeDesktop::FrameAllocator() {
    return *allocator_;
}

bool FakeDesktop::CaptureScreen(const Rect& source, Bitmap24& frame, Point at) {
    Record("CaptureScreen");
    captures.push_back(source);
    if (!screenAvailable)
        return false;
    for (int y = 0; y < source.Height(); ++y)
        for (int x = 0; x < source.Width(); ++x)
            if (frame.Contains(at.x + x, at.y + y))
                frame.SetPixel(at.x + x, at.y + y, screen(source.left + x, source.top + y));
    return true;
}

std::optional<Point> FakeDesktop::PointerPosition() {
    Record("PointerPosition");
    return pointer;
}

bool FakeDesktop::MovePointer(Point p) {
    Record("MovePointer");
    pointer = p;
    return true;
}

std::optional<PointerShape> FakeDesktop::CurrentPointer() {
    Record("CurrentPointer");
    return pointerShape;
}

std::optional<PointerSighting> FakeDesktop::SightPointer() {
    Record("SightPointer");
    if (!pointer)
        return std::nullopt;
    return PointerSighting{*pointer, pointerShape};
}

bool FakeDesktop::DrawPointer(const PointerShape&, Bitmap24& frame, Point at, int size) {
    Record("DrawPointer");
    for (int y = at.y; y < at.y + size; ++y)
        for (int x = at.x; x < at.x + size; ++x)
            if (frame.Contains(x, y))
                frame.SetPixel(x, y, pointerColour);
    return true;
}

CaretProbe FakeDesktop::ProbeCaret() {
    Record("ProbeCaret");
    return caret;
}

std::optional<WindowId> FakeDesktop::TopLevelWindowAt(Point) {
    Record("TopLevelWindowAt");
    return windowUnderPointer;
}

std::optional<Rect> FakeDesktop::WindowRect(WindowId window) {
    Record("WindowRect");
    for (const auto& [id, rect] : windows)
        if (id == window)
            return rect;
    return std::nullopt;
}

std::optional<Rect> FakeDesktop::MonitorNearest(Point p) {
    Record("MonitorNearest");
    std::optional<Rect> best;
    long long bestDistance = LLONG_MAX;
    for (const Rect& m : monitors) {
        const long long dx = p.x < m.left ? m.left - p.x : p.x >= m.right ? p.x - m.right + 1 : 0;
        const long long dy = p.y < m.top ? m.top - p.y : p.y >= m.bottom ? p.y - m.bottom + 1 : 0;
        const long long distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = m;
        }
    }
    return best;
}

std::vector<Rect> FakeDesktop::Monitors() {
    Record("Monitors");
    return monitors;
}

Rect FakeDesktop::VirtualDesktop() {
    Record("VirtualDesktop");
    if (monitors.empty())
        return {};
    Rect r = monitors.front();
    for (const Rect& m : monitors)
        r = {std::min(r.left, m.left), std::min(r.top, m.top), std::max(r.right, m.right),
             std::max(r.bottom, m.bottom)};
    return r;
}

bool FakeDesktop::IsCtrlDown() {
    Record("IsCtrlDown");
    return ctrlDown;
}

void FakeDesktop::ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                              bool centred) {
    Record("ShowMessage");
    messages.push_back({text, caption, icon, centred});
}

int FakeDesktop::ShellOpen(const std::string& target) {
    Record("ShellOpen");
    opened.push_back(target);
    return shellResult;
}

bool FakeDesktop::ClearClipboard() {
    Record("ClearClipboard");
    clipboardText.reset();
    clipboardBitmap.reset();
    return true;
}

bool FakeDesktop::SetClipboardText(const std::string& utf8) {
    Record("SetClipboardText");
    clipboardText = utf8;
    return true;
}

bool FakeDesktop::SetClipboardBitmap(const Bitmap24& frame) {
    Record("SetClipboardBitmap");
    clipboardBitmap.emplace();
    clipboardBitmap->SetSize(frame.Width(), frame.Height());
    for (int y = 0; y < frame.Height(); ++y)
        std::memcpy(clipboardBitmap->Row(y), frame.Row(y),
                    static_cast<std::size_t>(frame.Width()) * 3);
    return true;
}

void FakeDesktop::Record(const std::string& call) {
    calls.push_back(call);
    // A hook may clear or replace itself; it runs from a copy that lives until it returns.
    if (const auto hook = onCall)
        hook(call);
}

int FakeDesktop::CallCount(const std::string& name) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), name));
}

} // namespace lupenta::testing
