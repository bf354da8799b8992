#include "view/VwImage.h"

#include "view/Aperture.h"
#include "view/Overlays.h"

#include <utility>

namespace lupenta {

TCustomImageView::TCustomImageView(Desktop& desktop)
    : desktop_(desktop), Fsourcecopy(desktop.FrameAllocator()),
      FMainBitMap(desktop.FrameAllocator()), FTempBitMap(desktop.FrameAllocator()),
      FLastCapture(desktop.FrameAllocator()), pointerImage_(desktop) {}

void TCustomImageView::AttachPeer(ImageViewPeer* peer) {
    peer_ = peer;
    if (peer_ && FTimerRefresh)
        peer_->StartTimer(FTimerInterval);
}

void TCustomImageView::Invalidate() {
    presentDue_ = true;
    // Inside an update bracket the window is asked for a paint once, at its end.
    if (FUpdateCount > 0)
        invalidateWaiting_ = true;
    else if (peer_)
        peer_->Invalidate();
}

template <class T> void TCustomImageView::Assign(T& field, T value) {
    if (field == value)
        return;
    field = value;
    Invalidate();
}

void TCustomImageView::SetBounds(const Rect& bounds) {
    if (bounds == bounds_)
        return;
    const bool resized = bounds.Width() != bounds_.Width() || bounds.Height() != bounds_.Height();
    bounds_ = bounds;
    if (peer_)
        peer_->Place(bounds);
    if (resized)
        Invalidate();
}

void TCustomImageView::PositionChanged(const Rect& bounds) {
    const int edge = FBorderWidth + (FBevelOuter != Bevel::None ? FBevelWidth : 0) +
                     (FBevelInner != Bevel::None ? FBevelWidth : 0);
    if (peer_ && edge > 0) {
        const int w = Width();
        const int h = Height();
        if (bounds.Width() != w)
            peer_->InvalidateRect({w - edge - 1, 0, w, bounds.Height()});
        if (bounds.Height() != h)
            peer_->InvalidateRect({0, h - edge - 1, bounds.Width(), h});
    }
    SetBounds(bounds);
}

void TCustomImageView::SetScreenLeft(int value) {
    Assign(FScreenLeft, value);
}
void TCustomImageView::SetScreenTop(int value) {
    Assign(FScreenTop, value);
}
void TCustomImageView::SetLeftOffset(int value) {
    Assign(FLeftOffset, value);
}
void TCustomImageView::SetTopOffset(int value) {
    Assign(FTopOffset, value);
}
void TCustomImageView::SetSampleSize(int value) {
    Assign(FSampleSize, value);
}
void TCustomImageView::SetSmoothen(bool value) {
    Assign(FSmoothen, value);
}
void TCustomImageView::SetDrawCross(bool value) {
    Assign(FDrawCross, value);
}
void TCustomImageView::SetShowCursor(bool value) {
    Assign(FShowCursor, value);
}
void TCustomImageView::SetDrawGrid(bool value) {
    Assign(FDrawGrid, value);
}
void TCustomImageView::SetFixedGrid(bool value) {
    Assign(FFixedGrid, value);
}
void TCustomImageView::SetFlipHorizontal(bool value) {
    Assign(FFlipHorizontal, value);
}
void TCustomImageView::SetFlipVertical(bool value) {
    Assign(FFlipVertical, value);
}
void TCustomImageView::SetBorderColor(Colour value) {
    Assign(FBorderColor, value);
}
void TCustomImageView::SetBorderStyle(BorderStyle value) {
    Assign(FBorderStyle, value);
}
void TCustomImageView::SetBorderWidth(int value) {
    Assign(FBorderWidth, value);
}
void TCustomImageView::SetBevelWidth(int value) {
    Assign(FBevelWidth, value);
}
void TCustomImageView::SetBevelInner(Bevel value) {
    Assign(FBevelInner, value);
}
void TCustomImageView::SetBevelOuter(Bevel value) {
    Assign(FBevelOuter, value);
}
void TCustomImageView::SetCtl3D(bool value) {
    if (ctl3D_ == value)
        return;
    ctl3D_ = value;
    RefreshPicture();
}

void TCustomImageView::SetZoom(std::uint16_t value) {
    if (value == 0)
        value = 1;
    if (value == FZoom)
        return;
    FZoom = value;
    if (OnZoomChanged)
        OnZoomChanged(*this);
    Invalidate();
}

// The copy mode only takes effect when the frame is presented, after the overlays.
void TCustomImageView::SetInvert(bool value) {
    Assign(FInvert, value);
}

// The grid spacing is read by the next paint; changing it alone does not repaint, but that
// paint shows the new grid even over a still screen.
void TCustomImageView::SetGridlevel(int value) {
    if (value != FGridlevel)
        presentDue_ = true;
    FGridlevel = value;
}

// Sampling starts or stops without a repaint; the next paint samples, still screen or not.
void TCustomImageView::SetGetcolor(bool value) {
    if (value != FGetcolor)
        presentDue_ = true;
    FGetcolor = value;
}

void TCustomImageView::SetTimerRefresh(bool value) {
    if (value == FTimerRefresh)
        return;
    FTimerRefresh = value;
    if (!peer_)
        return;
    if (value)
        peer_->StartTimer(FTimerInterval);
    else
        peer_->StopTimer();
}

void TCustomImageView::SetTimerInterval(int value) {
    if (value <= 0)
        value = 1;
    if (value == FTimerInterval)
        return;
    FTimerInterval = value;
    if (FTimerRefresh && peer_) {
        peer_->StopTimer();
        peer_->StartTimer(FTimerInterval);
    }
}

Rect TCustomImageView::GetDisplayRect() const {
    Rect r = Rect::FromSize(0, 0, Width(), Height());
    int inset = FBorderWidth;
    if (ctl3D_) {
        inset += (FBevelOuter != Bevel::None ? FBevelWidth : 0) +
                 (FBevelInner != Bevel::None ? FBevelWidth : 0);
    } else if (FBevelOuter != Bevel::None || FBevelInner != Bevel::None) {
        inset += FBevelWidth;
    }
    return {r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
}

void TCustomImageView::BeginUpdate() {
    ++FUpdateCount;
}

void TCustomImageView::EndUpdate(bool refresh) {
    if (FUpdateCount <= 0)
        return;
    --FUpdateCount;
    if (FUpdateCount != 0)
        return;
    const bool invalidated = std::exchange(invalidateWaiting_, false);
    if (!peer_)
        return;
    if (!refresh) {
        if (invalidated)
            peer_->Invalidate();
        return;
    }
    // The tick ends every bracket this way, still pointer or not. When the bracket changed
    // nothing, the screen is captured and compared here and a paint is asked for only when it
    // moved; that paint shows this capture.
    if (presentDue_ || CaptureDiffers())
        peer_->Invalidate();
}

void TCustomImageView::RefreshPicture() {
    Invalidate();
}

// The copy is what the user sees: the frame the last paint presented, at its own size, even
// when a border makes it smaller than the control or the control was resized since.
void TCustomImageView::CopyToClipBoard() {
    if (displayed_)
        desktop_.SetClipboardBitmap(*displayed_);
}

void TCustomImageView::SampleColour(const Bitmap24& frame, const Rect& captured) {
    if (!FGetcolor || !frame.Contains(FLeftOffset, FTopOffset))
        return;
    if (FSampleSize <= 1) {
        Fscreencolor = static_cast<std::int32_t>(frame.PixelAt(FLeftOffset, FTopOffset));
        return;
    }
    if (const auto mean = ApertureMean(frame, captured, {FLeftOffset, FTopOffset}, FSampleSize))
        Fscreencolor = static_cast<std::int32_t>(*mean);
}

void TCustomImageView::OutlineAperture(Bitmap24& frame, int zoom, bool mirrored) {
    if (!FGetcolor || FSampleSize <= 1)
        return;
    DrawApertureOutline(frame, ApertureOutline({FLeftOffset, FTopOffset}, FSampleSize, zoom),
                        mirrored && FFlipHorizontal, mirrored && FFlipVertical);
}

void TCustomImageView::Mirror(Bitmap24& frame) {
    if (FFlipHorizontal)
        MirrorLeftRight(frame);
    if (FFlipVertical)
        MirrorTopBottom(frame);
}

void TCustomImageView::Present(ViewSurface& surface, Bitmap24& frame) {
    if (FInvert)
        InvertFrame(frame);
    Lap(FrameStage::Pixels);
    displayed_ = &frame;
    surface.Present(frame);
    Lap(FrameStage::Present);
}

std::optional<PointerShape> TCustomImageView::PointerToDraw() {
    if (!FShowCursor)
        return std::nullopt;
    return tickPointer_ ? *tickPointer_ : desktop_.CurrentPointer();
}

Point TCustomImageView::CaptureOrigin(const Rect& display) const {
    return FZoom == 1 ? Point{display.left, display.top} : Point{0, 0};
}

bool TCustomImageView::Capture(const Rect& display) {
    bool captured;
    if (FZoom == 1) {
        FMainBitMap.SetSize(Width(), Height());
        FLastCapture.SetSize(display.Width(), display.Height());
        captured = desktop_.CaptureScreen(
            Rect::FromSize(FScreenLeft, FScreenTop, display.Width(), display.Height()), FMainBitMap,
            CaptureOrigin(display));
    } else {
        const int w = display.Width();
        const int h = display.Height();
        const int z = FZoom;
        const int sw = w / z + (z * (w / z) < w ? 1 : 0);
        const int sh = h / z + (z * (h / z) < h ? 1 : 0);
        Fsourcecopy.SetSize(sw, sh);
        FLastCapture.SetSize(sw, sh);
        captured = desktop_.CaptureScreen(Rect::FromSize(FScreenLeft, FScreenTop, sw, sh),
                                          Fsourcecopy, {0, 0});
    }
    Lap(FrameStage::Capture);
    return captured;
}

bool TCustomImageView::CapturedMoved(const Rect& display) {
    pointer_ = PointerToDraw();
    const std::uintptr_t handle = pointer_ ? pointer_->handle : 0;
    const Bitmap24& frame = FZoom == 1 ? FMainBitMap : Fsourcecopy;
    const bool same = !presentDue_ && handle == presentedPointer_ &&
                      SamePixels(frame, CaptureOrigin(display), FLastCapture);
    presentDue_ = false;
    presentedPointer_ = handle;
    return !same;
}

bool TCustomImageView::CaptureDiffers() {
    // What the tick did up to here is its rest; the capture is timed on its own.
    Lap(FrameStage::Rest);
    const Rect display = GetDisplayRect();
    // A failed capture is left to the paint to try again.
    if (!Capture(display))
        return true;
    captureWaiting_ = CapturedMoved(display);
    return captureWaiting_;
}

void TCustomImageView::Paint(ViewSurface& surface) {
    if (FUpdateCount > 0)
        return;
    if (trace_)
        trace_->StartPaint();
    const Rect display = GetDisplayRect();
    // A capture the tick found different is shown as it is, unless something changed since.
    const bool waiting = std::exchange(captureWaiting_, false) && !presentDue_;
    const bool moved = waiting || (Capture(display) && CapturedMoved(display));
    if (moved) {
        if (FZoom == 1)
            PaintUnzoomed(surface, display);
        else
            PaintZoomed(surface, display);
    }
    if (trace_)
        trace_->EndPaint(moved);
}

void TCustomImageView::PaintUnzoomed(ViewSurface& surface, const Rect& display) {
    // The overlays are drawn on the captured frame itself, so what the next paint compares
    // against is kept aside first.
    CopyPixels(FMainBitMap, CaptureOrigin(display), FLastCapture);
    SampleColour(FMainBitMap, display);
    const OverlayInput overlay{1,          FLeftOffset, FTopOffset,      FScreenLeft,
                               FScreenTop, FGridlevel,  FFixedGrid,      FDrawGrid,
                               Width(),    Height(),    display.Width(), display.Height()};
    if (pointer_)
        pointerImage_.Draw(*pointer_, FMainBitMap, overlay);
    if (FDrawCross)
        InvertPixel(FMainBitMap, FLeftOffset, FTopOffset);
    OutlineAperture(FMainBitMap, 1, false);
    Mirror(FMainBitMap);
    Present(surface, FMainBitMap);
}

void TCustomImageView::PaintZoomed(ViewSurface& surface, const Rect& display) {
    const int w = display.Width();
    const int h = display.Height();
    const int z = FZoom;
    FTempBitMap.SetSize(w, h);
    SampleColour(Fsourcecopy, Rect::FromSize(0, 0, Fsourcecopy.Width(), Fsourcecopy.Height()));

    const OverlayInput overlay{z,          FLeftOffset, FTopOffset, FScreenLeft,
                               FScreenTop, FGridlevel,  FFixedGrid, FDrawGrid,
                               Width(),    Height(),    w,          h};
    const ZoomedPaint paint{overlay,         FSmoothen,     FDrawCross,
                            FFlipHorizontal, FFlipVertical, FInvert};
    // The pointer image goes onto the scaled frame, under the grid and the crosshair, so with
    // it on the paint stops after scaling and finishes in a second pass, when anything is left
    // to do; without it, one pass does all.
    if (pointer_) {
        pipeline_.Scale(Fsourcecopy, FTempBitMap, paint);
        pointerImage_.Draw(*pointer_, FTempBitMap, overlay);
        pipeline_.Finish(FTempBitMap, FTempPen, paint);
    } else {
        pipeline_.Render(Fsourcecopy, FTempBitMap, FTempPen, paint);
    }
    // The pipeline has mirrored the frame already, so the outline is placed mirrored too.
    OutlineAperture(FTempBitMap, z, true);
    // The frame around the view is drawn over the finished image, so it is never inverted.
    if (FBorderColor == kSilver)
        FrameRectangle(FTempBitMap, kSilver);
    Lap(FrameStage::Pixels);
    displayed_ = &FTempBitMap;
    surface.Present(FTempBitMap);
    Lap(FrameStage::Present);
    // The capture just shown becomes the one the next paint compares against, and the older
    // one takes the next capture: no pixels are copied.
    std::swap(Fsourcecopy, FLastCapture);
}

} // namespace lupenta
