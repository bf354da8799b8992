#include "support/FakeDesktop.h"
#include "support/FakeView.h"
#include "view/FramePipeline.h"
#include "view/VwImage.h"

#include <gtest/gtest.h>

namespace lupenta {
namespace {

using testing::FakeDesktop;
using testing::FakeViewPeer;

struct Settings {
    int zoom;
    bool smooth, cross, grid, flipH, flipV, invert, cursor, silver;
};

// What a zoomed paint must present, done one step at a time with the reference operations.
Bitmap24 StepByStep(FakeDesktop& desktop, const TImageView& view, Pen& pen, const Settings& s) {
    const Rect display = view.GetDisplayRect();
    const int w = display.Width(), h = display.Height(), z = s.zoom;
    const int sw = (w + z - 1) / z, sh = (h + z - 1) / z;
    Bitmap24 src;
    src.SetSize(sw, sh);
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x)
            src.SetPixel(x, y, desktop.screen(view.ScreenLeft() + x, view.ScreenTop() + y));
    ZoomedPaint paint;
    paint.overlay = OverlayInput{z,
                                 view.LeftOffset(),
                                 view.TopOffset(),
                                 view.ScreenLeft(),
                                 view.ScreenTop(),
                                 view.Gridlevel(),
                                 view.FixedGrid(),
                                 view.DrawGrid(),
                                 view.Width(),
                                 view.Height(),
                                 w,
                                 h};
    paint.smooth = s.smooth;
    paint.drawCross = s.cross;
    paint.flipHorizontal = s.flipH;
    paint.flipVertical = s.flipV;
    paint.invert = s.invert;
    Bitmap24 frame;
    frame.SetSize(w, h);
    ScaleZoomedReference(src, frame, paint);
    if (s.cursor)
        DrawPointerImage(desktop, frame, paint.overlay);
    FinishZoomedReference(frame, pen, paint);
    if (s.silver)
        FrameRectangle(frame, kSilver);
    return frame;
}

// The view's paint takes the fused path, or the split one around the pointer image, and still
// presents exactly what the steps would, paint after paint with the pen carried along.
TEST(FramePipelineView, PaintPresentsWhatTheStepsWould) {
    const Settings sequence[] = {
        {4, false, true, false, false, false, false, false, true},
        {4, false, false, false, true, false, true, true, false},
        {5, true, true, true, true, true, true, false, true},
        {5, true, true, true, false, true, false, true, true},
        {2, false, false, false, false, false, true, true, false},
        {12, false, true, false, true, true, false, false, false},
        {3, true, false, true, false, false, true, true, true},
    };
    FakeDesktop desktop;
    desktop.pointerShape = PointerShape{{2, 2}, 1};
    FakeViewPeer peer;
    TImageView view(desktop);
    view.SetBounds(Rect::FromSize(0, 0, 233, 127));
    view.SetBorderWidth(1);
    view.SetGridlevel(5);
    view.SetScreenLeft(-45);
    view.SetScreenTop(317);
    view.SetLeftOffset(20);
    view.SetTopOffset(11);
    Pen pen;
    for (const Settings& s : sequence) {
        SCOPED_TRACE(::testing::Message() << "zoom " << s.zoom << " smooth " << s.smooth);
        view.SetZoom(static_cast<std::uint16_t>(s.zoom));
        view.SetSmoothen(s.smooth);
        view.SetDrawCross(s.cross);
        view.SetDrawGrid(s.grid);
        view.SetFixedGrid(s.grid);
        view.SetFlipHorizontal(s.flipH);
        view.SetFlipVertical(s.flipV);
        view.SetInvert(s.invert);
        view.SetShowCursor(s.cursor);
        view.SetBorderColor(s.silver ? kSilver : kGreen);
        view.Paint(peer);
        const Bitmap24 expected = StepByStep(desktop, view, pen, s);
        ASSERT_EQ(peer.shown.Width(), expected.Width());
        ASSERT_EQ(peer.shown.Height(), expected.Height());
        for (int y = 0; y < expected.Height(); ++y)
            for (int x = 0; x < expected.Width(); ++x)
                ASSERT_EQ(peer.shown.PixelAt(x, y), expected.PixelAt(x, y))
                    << "at (" << x << ", " << y << ")";
        EXPECT_EQ(view.TempPen().colour, pen.colour);
        EXPECT_EQ(view.TempPen().op, pen.op);
    }
}

} // namespace
} // namespace lupenta
