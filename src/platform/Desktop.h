#pragma once

#include "platform/Bitmap24.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lupenta {

using WindowId = std::uintptr_t;

// The cursor now shown on screen: its hot spot and a handle the platform uses to draw it.
struct PointerShape {
    Point hotSpot;
    std::uintptr_t handle = 0;
};

// Where the pointer is and the cursor it shows there, seen at one moment.
struct PointerSighting {
    Point position;
    // None while no cursor is shown.
    std::optional<PointerShape> shape;
};

// What the platform found when it looked for the caret of the foreground window's thread.
struct CaretProbe {
    enum class Outcome {
        NoForegroundWindow, // nothing is in front
        OwnThread,          // the magnifier itself (or one of its dialogs) is in front
        AttachFailed,       // the foreground thread's input state could not be joined
        NoFocusWindow,      // joined, but that thread has no focus window
        FocusWindow,        // joined and asked the focus window for its caret
    };
    Outcome outcome = Outcome::NoForegroundWindow;
    // Only for FocusWindow: the caret in screen coordinates, or nothing when the request failed.
    std::optional<Point> caret;
};

enum class MessageIcon { None, Warning, Error };

// The window-system services the view and the sampling code lean on. Coordinates are
// virtual-desktop pixels. A service that can fail says so in its result and the caller skips
// the step; none of them reports anything to the user.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Where frames get their memory, so a capture can land in a frame without a copy.
    virtual PixelAllocator& FrameAllocator() = 0;

    // Copies what all monitors show (layered windows included) from the screen rectangle
    // `source` into `frame` with its top-left corner at `at`. False when nothing could be
    // captured.
    virtual bool CaptureScreen(const Rect& source, Bitmap24& frame, Point at) = 0;

    virtual std::optional<Point> PointerPosition() = 0;
    // Puts the pointer on the pixel `p`; false when the system refused.
    virtual bool MovePointer(Point p) = 0;
    virtual std::optional<PointerShape> CurrentPointer() = 0;
    // The position and the cursor with one question, where the two calls above ask twice;
    // nothing when the position cannot be had.
    virtual std::optional<PointerSighting> SightPointer() = 0;
    // Draws the pointer's mask and image scaled to a square of `size` pixels with its top-left
    // corner at `at`, clipped to the frame.
    virtual bool DrawPointer(const PointerShape& shape, Bitmap24& frame, Point at, int size) = 0;

    virtual CaretProbe ProbeCaret() = 0;

    // The top-level ancestor of the window under `p`.
    virtual std::optional<WindowId> TopLevelWindowAt(Point p) = 0;
    virtual std::optional<Rect> WindowRect(WindowId window) = 0;

    virtual std::optional<Rect> MonitorNearest(Point p) = 0;
    // Every monitor's bounds, in an order that stays the same from call to call.
    virtual std::vector<Rect> Monitors() = 0;
    virtual Rect VirtualDesktop() = 0;

    virtual bool IsCtrlDown() = 0;

    // A modal message box with one OK button, centred on the screen when asked.
    virtual void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                             bool centred) = 0;
    // Asks the shell to open a file or web address; a result of 32 or less is a failure.
    virtual int ShellOpen(const std::string& target) = 0;

    virtual bool ClearClipboard() = 0;
    // Replaces the clipboard's contents with the text.
    virtual bool SetClipboardText(const std::string& utf8) = 0;
    // Adds the frame to the clipboard as a bitmap; the caller clears the clipboard first.
    virtual bool SetClipboardBitmap(const Bitmap24& frame) = 0;
};

} // namespace lupenta
