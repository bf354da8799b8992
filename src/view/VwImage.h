#pragma once

#include "platform/Bitmap24.h"
#include "platform/Desktop.h"
#include "platform/Geometry.h"
#include "view/FrameOps.h"
#include "view/FramePipeline.h"
#include "view/FrameTrace.h"
#include "view/PointerImage.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace lupenta {

// The platform side of the view: a child window that repaints later when invalidated, and a
// timer of its own.
class ImageViewPeer {
public:
    virtual ~ImageViewPeer() = default;
    virtual void Invalidate() = 0;
    // Marks only part of the view for repainting.
    virtual void InvalidateRect(const Rect& rect) = 0;
    virtual void StartTimer(int interval) = 0;
    virtual void StopTimer() = 0;
    // The owner's layout gave the view new bounds in its parent's client area.
    virtual void Place(const Rect& bounds) = 0;
};

// Where a paint puts its finished frame: the view's window.
class ViewSurface {
public:
    virtual ~ViewSurface() = default;
    virtual void Present(const Bitmap24& frame) = 0;
};

enum class BorderStyle { None, Single };
enum class Bevel { None, Lowered, Raised, Space };

// The magnifier view: on every paint it captures the screen rectangle whose top-left corner is
// (ScreenLeft, ScreenTop), samples the hot pixel (LeftOffset, TopOffset), enlarges the capture
// by Zoom, draws its overlays, mirrors and inverts as asked, and presents the result. Setters
// only store and mark the view for repainting; the paint always comes later.
class TCustomImageView {
public:
    explicit TCustomImageView(Desktop& desktop);
    virtual ~TCustomImageView() = default;
    TCustomImageView(const TCustomImageView&) = delete;
    TCustomImageView& operator=(const TCustomImageView&) = delete;

    void AttachPeer(ImageViewPeer* peer);

    // Size and place in the parent's client area, set by the parent's layout.
    void SetBounds(const Rect& bounds);
    // The window moved or changed size to `bounds`: a border or bevel drawn along the old right
    // and bottom edges must be repainted where the view grew or shrank.
    void PositionChanged(const Rect& bounds);
    const Rect& BoundsRect() const { return bounds_; }
    int Width() const { return bounds_.Width(); }
    int Height() const { return bounds_.Height(); }

    virtual Rect GetDisplayRect() const;
    virtual void BeginUpdate();
    virtual void EndUpdate(bool refresh);
    virtual void CopyToClipBoard();
    virtual void RefreshPicture();

    // Renders the view onto `surface`; run by the platform when the view needs painting. A
    // paint that would show what the surface already shows (nothing the view shows changed
    // and the screen under it is still) captures and compares, and presents nothing.
    void Paint(ViewSurface& surface);
    // The surface no longer holds the last frame presented (it was uncovered, say): the next
    // paint presents whatever it captures.
    void DiscardPresented() { presentDue_ = true; }
    // The cursor as the tick saw it, with the pointer's position: captures draw it until the
    // next tick instead of asking the desktop again. Without one they ask the desktop.
    void UsePointerShape(std::optional<PointerShape> shape) { tickPointer_ = shape; }
    // Where each paint's time goes is told to `trace`; nothing is traced while it is null.
    void SetTrace(FrameTrace* trace) { trace_ = trace; }

    int ScreenLeft() const { return FScreenLeft; }
    int ScreenTop() const { return FScreenTop; }
    int LeftOffset() const { return FLeftOffset; }
    int TopOffset() const { return FTopOffset; }
    std::uint16_t Zoom() const { return FZoom; }
    bool Smoothen() const { return FSmoothen; }
    bool DrawCross() const { return FDrawCross; }
    bool ShowCursor() const { return FShowCursor; }
    bool DrawGrid() const { return FDrawGrid; }
    bool FixedGrid() const { return FFixedGrid; }
    bool FlipHorizontal() const { return FFlipHorizontal; }
    bool FlipVertical() const { return FFlipVertical; }
    bool Invert() const { return FInvert; }
    int Gridlevel() const { return FGridlevel; }
    bool Getcolor() const { return FGetcolor; }
    int SampleSize() const { return FSampleSize; }
    Colour ScreenColor() const { return static_cast<Colour>(Fscreencolor); }
    Colour BorderColor() const { return FBorderColor; }
    BorderStyle GetBorderStyle() const { return FBorderStyle; }
    int BorderWidth() const { return FBorderWidth; }
    int BevelWidth() const { return FBevelWidth; }
    Bevel BevelInner() const { return FBevelInner; }
    Bevel BevelOuter() const { return FBevelOuter; }
    bool TimerRefresh() const { return FTimerRefresh; }
    int TimerInterval() const { return FTimerInterval; }
    bool Ctl3D() const { return ctl3D_; }

    void SetScreenLeft(int value);
    void SetScreenTop(int value);
    void SetLeftOffset(int value);
    void SetTopOffset(int value);
    void SetZoom(std::uint16_t value);
    void SetSmoothen(bool value);
    void SetDrawCross(bool value);
    void SetShowCursor(bool value);
    void SetDrawGrid(bool value);
    void SetFixedGrid(bool value);
    void SetFlipHorizontal(bool value);
    void SetFlipVertical(bool value);
    void SetInvert(bool value);
    void SetGridlevel(int value);
    void SetGetcolor(bool value);
    // Above 1 the colour is the mean of that many pixels square around the hot pixel, and the
    // view outlines them.
    void SetSampleSize(int value);
    void SetBorderColor(Colour value);
    void SetBorderStyle(BorderStyle value);
    void SetBorderWidth(int value);
    void SetBevelWidth(int value);
    void SetBevelInner(Bevel value);
    void SetBevelOuter(Bevel value);
    void SetTimerRefresh(bool value);
    void SetTimerInterval(int value);
    void SetCtl3D(bool value);

    std::function<void(TCustomImageView&)> OnZoomChanged;
    // Bound by the owner: double-click and mouse button down and up on the view.
    std::function<void()> OnDblClick;
    std::function<void(MouseButton)> OnMouseDown;
    std::function<void()> OnMouseUp;
    // What a screen reader calls the view; the owner names it.
    std::string AccessibleName;

    const Pen& TempPen() const { return FTempPen; }

private:
    void Invalidate();
    template <class T> void Assign(T& field, T value);
    void Lap(FrameStage stage) {
        if (trace_)
            trace_->Lap(stage);
    }
    // The pointer image the paint would draw, if any.
    std::optional<PointerShape> PointerToDraw();
    // Where the capture lies in its frame: the display rectangle at zoom 1, else the corner.
    Point CaptureOrigin(const Rect& display) const;
    // Captures the source rectangle into FMainBitMap at zoom 1, else into Fsourcecopy.
    bool Capture(const Rect& display);
    // True unless the capture, the pointer image and every setting are those of the frame
    // shown; either way the capture is then taken to be shown.
    bool CapturedMoved(const Rect& display);
    // Captures for a tick that changed nothing; true when the view must paint.
    bool CaptureDiffers();
    void SampleColour(const Bitmap24& frame, const Rect& captured);
    void OutlineAperture(Bitmap24& frame, int zoom, bool mirrored);
    // Render the capture and present it.
    void PaintUnzoomed(ViewSurface& surface, const Rect& display);
    void PaintZoomed(ViewSurface& surface, const Rect& display);
    void Mirror(Bitmap24& frame);
    void Present(ViewSurface& surface, Bitmap24& frame);

    Desktop& desktop_;
    ImageViewPeer* peer_ = nullptr;
    Rect bounds_ = Rect::FromSize(0, 0, 150, 200);
    bool ctl3D_ = true;
    // The last frame presented, as displayed: what CopyToClipBoard copies.
    Bitmap24* displayed_ = nullptr;
    FrameTrace* trace_ = nullptr;
    // Set by every change to what the view shows; cleared when a frame is presented.
    bool presentDue_ = true;

    Bitmap24 Fsourcecopy;
    Bitmap24 FMainBitMap;
    Bitmap24 FTempBitMap;
    // The screen pixels and the pointer image the last presented frame was made from.
    Bitmap24 FLastCapture;
    std::uintptr_t presentedPointer_ = 0;
    // The tick captured pixels that differ from the frame shown; the paint it asked for
    // shows them without capturing again.
    bool captureWaiting_ = false;
    std::optional<PointerShape> pointer_;
    std::optional<std::optional<PointerShape>> tickPointer_;
    Pen FTempPen;
    // Row buffers and tables of the zoomed paint, kept so a paint at a stable size allocates
    // nothing.
    FramePipeline pipeline_;
    PointerImage pointerImage_;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    BorderStyle FBorderStyle = BorderStyle::None;
    Bevel FBevelInner = Bevel::None;
    Bevel FBevelOuter = Bevel::None;
    // The system button-face colour: the high byte marks a system colour index.
    Colour FBorderColor = 0xFF00000F;
    int FScreenTop = 0;
    int FScreenLeft = 0;
    int FTopOffset = 0;
    int FLeftOffset = 0;
    std::uint16_t FZoom = 1;
    bool FDrawGrid = false;
    bool FSmoothen = false;
    bool FDrawCross = false;
    bool FShowCursor = false;
    bool FGetcolor = false;
    int FSampleSize = 1;
    bool FInvert = false;
    bool FFixedGrid = false;
    int FUpdateCount = 0;
    // Something asked for a paint inside the update bracket; its end asks the window once.
    bool invalidateWaiting_ = false;
    bool FTimerRefresh = false;
    int FTimerInterval = 100;
    std::int32_t Fscreencolor = 0;
    int FGridlevel = 0;
    bool FFlipHorizontal = false;
    bool FFlipVertical = false;
};

// Makes the properties available to the window that hosts the view; adds nothing.
class TImageView : public TCustomImageView {
public:
    using TCustomImageView::TCustomImageView;
};

} // namespace lupenta
