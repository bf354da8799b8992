#include "support/FakeDesktop.h"
#include "support/FakeView.h"
#include "view/VwImage.h"

#include <gtest/gtest.h>

namespace lupenta {
namespace {

using testing::CoordinateColour;
using testing::FakeDesktop;
using testing::FakeViewPeer;

constexpr Colour kGrey = MakeColour(100, 100, 100);

class ViewTest : public ::testing::Test {
protected:
    ViewTest() {
        view.AttachPeer(&peer);
        view.SetBounds(Rect::FromSize(0, 0, 468, 253));
        view.SetGetcolor(true);
    }

    void Place(int screenLeft, int screenTop, int left, int top) {
        view.SetScreenLeft(screenLeft);
        view.SetScreenTop(screenTop);
        view.SetLeftOffset(left);
        view.SetTopOffset(top);
    }

    void Paint() { view.Paint(peer); }
    Colour Shown(int x, int y) const { return peer.shown.PixelAt(x, y); }

    FakeDesktop desktop;
    FakeViewPeer peer;
    TImageView view{desktop};
};

TEST_F(ViewTest, AtZoomOneTheCaptureIsTheDisplayRectangleAndNeverFramed) {
    view.SetBorderColor(kSilver);
    Place(300, 200, 10, 20);
    Paint();
    ASSERT_EQ(desktop.captures.back(), Rect::FromSize(300, 200, 468, 253));
    for (auto [x, y] : {std::pair{0, 0}, {467, 252}, {100, 50}})
        EXPECT_EQ(Shown(x, y), CoordinateColour(300 + x, 200 + y));
    EXPECT_EQ(view.ScreenColor(), CoordinateColour(310, 220));
}

TEST_F(ViewTest, ZoomedPaintCapturesTheSourcePixelsThatCoverTheViewRoundedUp) {
    // 468 pixels at zoom 5 need 94 source columns; the last is drawn 3 pixels wide.
    view.SetZoom(5);
    Place(1000, 500, 0, 0);
    Paint();
    EXPECT_EQ(desktop.captures.back(), Rect::FromSize(1000, 500, 94, 51));
    EXPECT_EQ(Shown(464, 1), CoordinateColour(1092, 500));
    EXPECT_EQ(Shown(465, 1), CoordinateColour(1093, 500));
    EXPECT_EQ(Shown(467, 1), CoordinateColour(1093, 500));
}

TEST_F(ViewTest, SamplesTheHotPixelOnlyInsideTheCapture) {
    view.SetZoom(4);
    EXPECT_EQ(view.ScreenColor(), kBlack) << "a view that never sampled reports black";
    Place(942, 469, 58, 31);
    Paint();
    EXPECT_EQ(view.ScreenColor(), CoordinateColour(1000, 500));
    Place(942, 469, 117, 31); // one column beyond the 117 captured
    Paint();
    EXPECT_EQ(view.ScreenColor(), CoordinateColour(1000, 500));
    view.SetGetcolor(false);
    Place(942, 469, 10, 10);
    Paint();
    EXPECT_EQ(view.ScreenColor(), CoordinateColour(1000, 500));
}

TEST_F(ViewTest, NoScreenMeansNothingIsDrawn) {
    desktop.screenAvailable = false;
    Paint();
    EXPECT_EQ(peer.presents, 0);
}

TEST_F(ViewTest, SettersRepaintOnlyOnChange) {
    view.SetZoom(4);
    view.SetInvert(true);
    peer.invalidations = 0;
    view.SetZoom(4);
    view.SetInvert(true);
    view.SetScreenLeft(0);
    view.SetGridlevel(5);
    view.SetGridlevel(10);
    EXPECT_EQ(peer.invalidations, 0);
    view.SetZoom(0);
    EXPECT_EQ(view.Zoom(), 1) << "zoom 0 is taken as 1";
    EXPECT_EQ(peer.invalidations, 1);
    view.SetDrawCross(true);
    EXPECT_EQ(peer.invalidations, 2);
}

TEST_F(ViewTest, ZoomChangeTellsTheOwner) {
    int told = 0;
    view.OnZoomChanged = [&](TCustomImageView& v) {
        EXPECT_EQ(v.Zoom(), 8);
        ++told;
    };
    view.SetZoom(8);
    view.SetZoom(8);
    EXPECT_EQ(told, 1);
}

TEST_F(ViewTest, UpdateBracketSuppressesPaintAndRefreshesOnceAtTheEnd) {
    peer.invalidations = 0;
    view.EndUpdate(true);
    EXPECT_EQ(peer.invalidations, 0) << "EndUpdate without BeginUpdate does nothing";

    view.BeginUpdate();
    Paint();
    EXPECT_EQ(peer.presents, 0);
    view.EndUpdate(false);
    EXPECT_EQ(peer.invalidations, 0);

    view.BeginUpdate();
    view.BeginUpdate();
    view.EndUpdate(true);
    EXPECT_EQ(peer.invalidations, 0);
    view.EndUpdate(true);
    EXPECT_EQ(peer.invalidations, 1);
}

TEST_F(ViewTest, SelfRefreshTimerFollowsItsProperties) {
    view.SetTimerInterval(0);
    EXPECT_EQ(view.TimerInterval(), 1);
    view.SetTimerInterval(250);
    view.SetTimerRefresh(true);
    EXPECT_EQ(peer.timerInterval, 250);
    view.SetTimerInterval(40);
    EXPECT_EQ(peer.timerInterval, 40);
    view.SetTimerRefresh(false);
    EXPECT_EQ(peer.timerInterval, 0);
}

TEST_F(ViewTest, DisplayRectangleShrinksByBorderAndBevels) {
    EXPECT_EQ(view.GetDisplayRect(), Rect::FromSize(0, 0, 468, 253));
    view.SetBorderWidth(2);
    view.SetBevelWidth(3);
    view.SetBevelOuter(Bevel::Raised);
    view.SetBevelInner(Bevel::Lowered);
    EXPECT_EQ(view.GetDisplayRect(), (Rect{8, 8, 460, 245}));
    view.SetCtl3D(false);
    EXPECT_EQ(view.GetDisplayRect(), (Rect{5, 5, 463, 248}));
}

TEST_F(ViewTest, InvertedViewShowsAndCopiesTheComplement) {
    view.SetZoom(2);
    view.SetInvert(true);
    Place(10, 10, 0, 0);
    Paint();
    const Colour original = CoordinateColour(10 + 50, 10 + 40);
    EXPECT_EQ(Shown(100, 80), ~original & 0xFFFFFF);
    view.CopyToClipBoard();
    ASSERT_TRUE(desktop.clipboardBitmap);
    EXPECT_EQ(desktop.clipboardBitmap->PixelAt(100, 80), ~original & 0xFFFFFF);
    EXPECT_EQ(desktop.CallCount("ClearClipboard"), 0) << "the caller clears the clipboard";
}

// The copy is the frame last presented, pixel for pixel and at its own size: with a border the
// zoomed frame is smaller than the control, and a resize since the last paint changes nothing.
TEST_F(ViewTest, CopyTakesExactlyTheLastPresentedFrame) {
    for (const int zoom : {1, 2, 5}) {
        SCOPED_TRACE(zoom);
        desktop.clipboardBitmap.reset();
        view.SetBounds(Rect::FromSize(0, 0, 468, 253));
        view.SetBorderWidth(6);
        view.SetZoom(static_cast<std::uint16_t>(zoom));
        Place(40, 30, 5, 5);
        Paint();
        view.SetBounds(Rect::FromSize(0, 0, 300, 400));
        view.CopyToClipBoard();
        ASSERT_TRUE(desktop.clipboardBitmap);
        const Bitmap24& copied = *desktop.clipboardBitmap;
        ASSERT_EQ(copied.Width(), peer.shown.Width());
        ASSERT_EQ(copied.Height(), peer.shown.Height());
        int differing = 0;
        for (int y = 0; y < copied.Height(); ++y)
            for (int x = 0; x < copied.Width(); ++x)
                differing += copied.PixelAt(x, y) != peer.shown.PixelAt(x, y);
        EXPECT_EQ(differing, 0);
        EXPECT_NE(copied.PixelAt(20, 20), 0u) << "a blank copy";
    }
}

TEST_F(ViewTest, NothingPresentedNothingCopied) {
    view.CopyToClipBoard();
    EXPECT_FALSE(desktop.clipboardBitmap);
}

TEST_F(ViewTest, SilverBorderFramesTheZoomedViewOverTheInvertedImage) {
    view.SetZoom(2);
    view.SetInvert(true);
    view.SetBorderColor(kSilver);
    Paint();
    for (auto [x, y] : {std::pair{0, 0}, {467, 0}, {0, 252}, {467, 252}, {200, 0}, {0, 100}})
        EXPECT_EQ(Shown(x, y), kSilver) << x << "," << y;
    EXPECT_NE(Shown(1, 1), kSilver);
    view.SetBorderColor(kGreen);
    Paint();
    EXPECT_NE(Shown(0, 0), kSilver);
}

TEST_F(ViewTest, BothMirrorsTurnImageAndOverlaysHalfRound) {
    desktop.screen = [](int, int) { return kGrey; };
    view.SetZoom(4);
    view.SetDrawCross(true);
    Place(0, 0, 10, 5);
    Paint();
    const Bitmap24 straight = [&] {
        Bitmap24 copy;
        copy.SetSize(peer.shown.Width(), peer.shown.Height());
        for (int y = 0; y < copy.Height(); ++y)
            for (int x = 0; x < copy.Width(); ++x)
                copy.SetPixel(x, y, peer.shown.PixelAt(x, y));
        return copy;
    }();
    view.SetFlipHorizontal(true);
    view.SetFlipVertical(true);
    Paint();
    for (int y = 0; y < 253; y += 3)
        for (int x = 0; x < 468; x += 3)
            ASSERT_EQ(Shown(x, y), straight.PixelAt(467 - x, 252 - y)) << x << "," << y;
}

TEST_F(ViewTest, PointerImageLandsOnePixelInsideTheHotCell) {
    desktop.screen = [](int, int) { return kGrey; };
    desktop.pointerShape = PointerShape{{3, 2}, 1};
    view.SetZoom(4);
    view.SetShowCursor(true);
    Place(0, 0, 58, 31);
    Paint();
    // Top-left at ((58 - 3) * 4 + 1, (31 - 2) * 4 + 1), a square of 32 * 4 pixels.
    EXPECT_EQ(Shown(221, 117), desktop.pointerColour);
    EXPECT_EQ(Shown(220, 117), kGrey);
    EXPECT_EQ(Shown(221 + 127, 117 + 127), desktop.pointerColour);
    EXPECT_EQ(Shown(221 + 128, 117), kGrey);

    desktop.pointerShape.reset();
    Paint();
    EXPECT_EQ(Shown(221, 117), kGrey) << "no cursor, no image";
}

TEST_F(ViewTest, CrosshairAtZoomOneInvertsTheHotPixelOnlyInsideTheFrame) {
    desktop.screen = [](int, int) { return kGrey; };
    view.SetDrawCross(true);
    Place(0, 0, 20, 30);
    Paint();
    EXPECT_EQ(Shown(20, 30), ~kGrey & 0xFFFFFF);
    EXPECT_EQ(Shown(21, 30), kGrey);
    Place(0, 0, 468, 30);
    Paint();
    EXPECT_EQ(Shown(467, 30), kGrey);
}

} // namespace
} // namespace lupenta

namespace lupenta {
namespace {

TEST_F(ViewTest, ResizingRepaintsTheOldEdgeWhereABorderIsDrawn) {
    view.PositionChanged(Rect::FromSize(0, 0, 400, 253));
    EXPECT_TRUE(peer.invalidatedRects.empty()) << "no border, nothing drawn along the edge";
    view.SetBorderWidth(2);
    view.SetBevelOuter(Bevel::Raised);
    view.PositionChanged(Rect::FromSize(0, 0, 420, 200));
    // Border 2 plus one bevel of 1: the strips from the old right and bottom edges.
    ASSERT_EQ(peer.invalidatedRects.size(), 2u);
    EXPECT_EQ(peer.invalidatedRects[0], (Rect{396, 0, 400, 200}));
    EXPECT_EQ(peer.invalidatedRects[1], (Rect{0, 249, 420, 253}));
    EXPECT_EQ(view.Width(), 420);
}

} // namespace
} // namespace lupenta

namespace lupenta {
namespace {

TEST_F(ViewTest, ColourIsSampledBeforeMirroring) {
    view.SetZoom(3);
    view.SetFlipHorizontal(true);
    view.SetFlipVertical(true);
    Place(500, 400, 7, 9);
    Paint();
    EXPECT_EQ(view.ScreenColor(), CoordinateColour(507, 409));
}

TEST_F(ViewTest, ViewsSmallerThanOneZoomedPixelStillPaint) {
    for (const Rect& bounds :
         {Rect::FromSize(0, 0, 3, 2), Rect::FromSize(0, 0, 1, 1), Rect::FromSize(0, 0, 0, 0)}) {
        SCOPED_TRACE(bounds.Width());
        view.SetBounds(bounds);
        view.SetZoom(5);
        view.SetDrawCross(true);
        view.SetGridlevel(1);
        Place(-10, -10, 0, 0);
        Paint();
        view.SetZoom(1);
        Paint();
    }
    view.SetDrawCross(false);
    view.SetGridlevel(0);
    Place(10, 10, 0, 0);
    view.SetBounds(Rect::FromSize(0, 0, 3, 2));
    view.SetZoom(5);
    Paint();
    EXPECT_EQ(desktop.captures.back(), Rect::FromSize(10, 10, 1, 1));
    EXPECT_EQ(Shown(2, 1), CoordinateColour(10, 10));
}

} // namespace
} // namespace lupenta
