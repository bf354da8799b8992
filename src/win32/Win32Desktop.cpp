#include "win32/Win32Desktop.h"

#include "win32/FaultGuard.h"
#include "win32/Handles.h"
#include "win32/Text.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

namespace lupenta::win32 {

namespace {

constexpr DWORD kCaptureWithLayeredWindows = SRCCOPY | CAPTUREBLT;

// Under Wine a capture is one image read from the X server into a buffer allocated for it
// and freed after. Read whole, a 961x541 capture (2 MB) cost 15 to 19 ms, the buffer faulted in
// afresh every time; in bands it costs a round trip to the X server each. Bands of 600 KiB
// read a 480x270 capture in one and cost a quarter less than bands of 120 KiB, and large
// captures show no faulting.
constexpr int kCaptureBandBytes = 600 * 1024;

// Opens the clipboard for the scope; a failed open leaves `ok` false.
class ClipboardSession {
public:
    explicit ClipboardSession(HWND owner) : ok(OpenClipboard(owner) != FALSE) {}
    ~ClipboardSession() {
        if (ok)
            CloseClipboard();
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    const bool ok;
};

// Hands a global memory block to the clipboard, which owns it only when the call succeeds.
bool PutOnClipboard(UINT format, HGLOBAL memory) {
    if (!memory)
        return false;
    if (SetClipboardData(format, memory))
        return true;
    GlobalFree(memory);
    return false;
}

struct MonitorList {
    std::vector<Rect> monitors;
    CallbackFault fault;
};

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data) {
    auto* list = reinterpret_cast<MonitorList*>(data);
    return list->fault.Run([&] {
        list->monitors.push_back(FromRECT(*rect));
        return TRUE;
    });
}

} // namespace

Rect FromRECT(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

bool Win32Desktop::CaptureScreen(const Rect& source, Bitmap24& frame, Point at) {
    HDC target = FrameDc(frame);
    if (!target)
        return false;
    if (!screen_ || !*screen_)
        screen_ = std::make_unique<UniqueWindowDc>(nullptr);
    if (!*screen_)
        return false;
    const int width = source.Width();
    const int band = std::max(1, kCaptureBandBytes / (std::max(width, 1) * 4));
    for (int y = 0; y < source.Height(); y += band)
        BitBlt(target, at.x, at.y + y, width, std::min(band, source.Height() - y), screen_->get(),
               source.left, source.top + y, kCaptureWithLayeredWindows);
    GdiFlush();
    return true;
}

std::optional<Point> Win32Desktop::PointerPosition() {
    POINT p;
    if (!GetCursorPos(&p))
        return std::nullopt;
    return Point{p.x, p.y};
}

bool Win32Desktop::MovePointer(Point p) {
    return SetCursorPos(p.x, p.y) != FALSE;
}

std::optional<PointerShape> Win32Desktop::ShapeOf(HCURSOR cursor) {
    if (!cursor)
        return std::nullopt;
    if (cursor != cursor_) {
        ICONINFO icon{};
        if (!GetIconInfo(cursor, &icon))
            return std::nullopt;
        UniqueBitmap mask(icon.hbmMask);
        UniqueBitmap colour(icon.hbmColor);
        cursor_ = cursor;
        hotSpot_ = {static_cast<int>(icon.xHotspot), static_cast<int>(icon.yHotspot)};
    }
    return PointerShape{hotSpot_, reinterpret_cast<std::uintptr_t>(cursor)};
}

std::optional<PointerShape> Win32Desktop::CurrentPointer() {
    CURSORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetCursorInfo(&info))
        return std::nullopt;
    return ShapeOf(info.hCursor);
}

std::optional<PointerSighting> Win32Desktop::SightPointer() {
    CURSORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetCursorInfo(&info))
        return std::nullopt;
    return PointerSighting{{info.ptScreenPos.x, info.ptScreenPos.y}, ShapeOf(info.hCursor)};
}

bool Win32Desktop::DrawPointer(const PointerShape& shape, Bitmap24& frame, Point at, int size) {
    HDC target = FrameDc(frame);
    if (!target)
        return false;
    const BOOL drawn = DrawIconEx(target, at.x, at.y, reinterpret_cast<HICON>(shape.handle), size,
                                  size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    return drawn != FALSE;
}

CaretProbe Win32Desktop::ProbeCaret() {
    using Outcome = CaretProbe::Outcome;
    HWND foreground = GetForegroundWindow();
    if (!foreground)
        return {Outcome::NoForegroundWindow, std::nullopt};
    const DWORD theirs = GetWindowThreadProcessId(foreground, nullptr);
    const DWORD ours = GetCurrentThreadId();
    if (theirs == ours)
        return {Outcome::OwnThread, std::nullopt};
    if (!AttachThreadInput(ours, theirs, TRUE))
        return {Outcome::AttachFailed, std::nullopt};
    CaretProbe probe{Outcome::NoFocusWindow, std::nullopt};
    if (HWND focus = GetFocus()) {
        probe.outcome = Outcome::FocusWindow;
        POINT caret;
        if (GetCaretPos(&caret) && ClientToScreen(focus, &caret))
            probe.caret = Point{caret.x, caret.y};
    }
    AttachThreadInput(ours, theirs, FALSE);
    return probe;
}

std::optional<WindowId> Win32Desktop::TopLevelWindowAt(Point p) {
    HWND under = WindowFromPoint(POINT{p.x, p.y});
    if (!under)
        return std::nullopt;
    HWND root = GetAncestor(under, GA_ROOT);
    return reinterpret_cast<WindowId>(root ? root : under);
}

std::optional<Rect> Win32Desktop::WindowRect(WindowId window) {
    RECT r;
    if (!GetWindowRect(reinterpret_cast<HWND>(window), &r))
        return std::nullopt;
    return FromRECT(r);
}

const MonitorLayout& Win32Desktop::Layout() {
    if (!layout_)
        layout_ = MonitorLayout{Rect::FromSize(GetSystemMetrics(SM_XVIRTUALSCREEN),
                                               GetSystemMetrics(SM_YVIRTUALSCREEN),
                                               GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                               GetSystemMetrics(SM_CYVIRTUALSCREEN)),
                                DisplayMonitors()};
    return *layout_;
}

std::optional<Rect> Win32Desktop::MonitorNearest(Point p) {
    return Layout().Nearest(p);
}

std::vector<Rect> Win32Desktop::Monitors() {
    return Layout().monitors;
}

std::vector<Rect> DisplayMonitors() {
    MonitorList list;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&list));
    list.fault.Rethrow();
    return std::move(list.monitors);
}

Rect Win32Desktop::VirtualDesktop() {
    return Layout().virtualDesktop;
}

bool Win32Desktop::IsCtrlDown() {
    return (GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

void Win32Desktop::ShowMessage(const std::string& text, const std::string& caption,
                               MessageIcon icon, bool centred) {
    UINT style = MB_OK | MB_TASKMODAL;
    if (icon == MessageIcon::Warning)
        style |= MB_ICONWARNING;
    else if (icon == MessageIcon::Error)
        style |= MB_ICONERROR;
    // Without an owner the box is centred on the screen; with one, on the owner.
    MessageBoxW(centred ? nullptr : owner_, Widen(text).c_str(), Widen(caption).c_str(), style);
    // An unowned box hands the activation to whichever window is next; the user was working
    // in ours.
    if (centred && owner_)
        SetForegroundWindow(owner_);
}

int Win32Desktop::ShellOpen(const std::string& target) {
    const auto result =
        ShellExecuteW(nullptr, L"open", Widen(target).c_str(), L"", nullptr, SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

bool Win32Desktop::ClearClipboard() {
    ClipboardSession clipboard(owner_);
    return clipboard.ok && EmptyClipboard();
}

bool Win32Desktop::SetClipboardText(const std::string& utf8) {
    const std::wstring text = Widen(utf8);
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    void* locked = GlobalLock(memory);
    if (!locked) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(locked, text.c_str(), bytes);
    GlobalUnlock(memory);
    ClipboardSession clipboard(owner_);
    if (!clipboard.ok || !EmptyClipboard()) {
        GlobalFree(memory);
        return false;
    }
    return PutOnClipboard(CF_UNICODETEXT, memory);
}

// Adds the frame as a device-independent bitmap; the caller decides whether to clear first.
bool Win32Desktop::SetClipboardBitmap(const Bitmap24& frame) {
    const int stride = Bitmap24::StrideFor(frame.Width());
    const std::size_t pixelBytes = static_cast<std::size_t>(stride) * frame.Height();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + pixelBytes);
    if (!memory)
        return false;
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(memory));
    if (!header) {
        GlobalFree(memory);
        return false;
    }
    *header = BITMAPINFOHEADER{};
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = frame.Width();
    header->biHeight = frame.Height(); // bottom-up, which every reader of the format accepts
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(pixelBytes);
    auto* pixels = reinterpret_cast<std::uint8_t*>(header + 1);
    for (int y = 0; y < frame.Height(); ++y)
        std::memcpy(pixels + static_cast<std::size_t>(frame.Height() - 1 - y) * stride,
                    frame.Row(y), static_cast<std::size_t>(stride));
    GlobalUnlock(memory);
    ClipboardSession clipboard(owner_);
    if (!clipboard.ok) {
        GlobalFree(memory);
        return false;
    }
    return PutOnClipboard(CF_DIB, memory);
}

} // namespace lupenta::win32
