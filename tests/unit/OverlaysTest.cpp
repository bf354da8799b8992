#include "support/FakeDesktop.h"
#include "support/FakeView.h"
#include "view/VwImage.h"

#include <gtest/gtest.h>

#include <set>

namespace lupenta {
namespace {

using testing::FakeDesktop;
using testing::FakeViewPeer;

constexpr Colour kGrey = MakeColour(100, 100, 100);
constexpr Colour kInvertedGrey = MakeColour(155, 155, 155);

// The typical tick: view 468 x 253 at zoom 4, hot pixel (58, 31), on a plain grey screen.
class OverlaysTest : public ::testing::Test {
protected:
    OverlaysTest() {
        desktop.screen = [](int, int) { return kGrey; };
        view.AttachPeer(&peer);
        view.SetBounds(Rect::FromSize(0, 0, 468, 253));
        view.SetZoom(4);
        view.SetScreenLeft(942);
        view.SetScreenTop(469);
        view.SetLeftOffset(58);
        view.SetTopOffset(31);
    }

    Colour Shown(int x, int y) const { return peer.shown.PixelAt(x, y); }
    void Paint() { view.Paint(peer); }

    // Columns of row `y` whose colour differs from grey.
    std::set<int> MarkedColumns(int y) const {
        std::set<int> columns;
        for (int x = 0; x < 468; ++x)
            if (Shown(x, y) != kGrey)
                columns.insert(x);
        return columns;
    }
    std::set<int> MarkedRows(int x) const {
        std::set<int> rows;
        for (int y = 0; y < 253; ++y)
            if (Shown(x, y) != kGrey)
                rows.insert(y);
        return rows;
    }

    FakeDesktop desktop;
    FakeViewPeer peer;
    TImageView view{desktop};
};

std::set<int> Every(int first, int step, int last) {
    std::set<int> values;
    for (int v = first; v <= last; v += step)
        values.insert(v);
    return values;
}

TEST_F(OverlaysTest, GridStandsStillAroundTheViewCentre) {
    view.SetGridlevel(5);
    Paint();
    EXPECT_EQ(MarkedColumns(1), Every(14, 20, 454));
    EXPECT_EQ(MarkedRows(1), Every(6, 20, 246));
    EXPECT_EQ(Shown(14, 1), kBlack) << "grid lines copy black until a crosshair was drawn";
}

TEST_F(OverlaysTest, FixedGridFollowsTheScreenPixels) {
    view.SetGridlevel(5);
    view.SetFixedGrid(true);
    Paint();
    // Shifted left by 4 * (942 mod 5) = 8 and up by 4 * (469 mod 5) = 16.
    EXPECT_EQ(MarkedColumns(1), Every(6, 20, 446));
    EXPECT_EQ(MarkedRows(1), Every(10, 20, 230)) << "only indices up to h div z are tried";
}

TEST_F(OverlaysTest, GridHasNoEffectAtZoomOne) {
    view.SetZoom(1);
    view.SetGridlevel(5);
    Paint();
    EXPECT_TRUE(MarkedColumns(1).empty());
}

TEST_F(OverlaysTest, CrosshairOutlinesTheHotCellDrawingEveryPixelOnce) {
    view.SetDrawCross(true);
    Paint();
    // The cell is (232, 124) to (235, 127); the outline runs from (232, 124) to (236, 128).
    EXPECT_EQ(MarkedColumns(124), (std::set<int>{232, 233, 234, 235, 236}));
    EXPECT_EQ(MarkedColumns(128), (std::set<int>{232, 233, 234, 235, 236}));
    EXPECT_EQ(MarkedColumns(126), (std::set<int>{232, 236}));
    for (auto [x, y] : {std::pair{232, 124}, {236, 124}, {236, 128}, {232, 128}})
        EXPECT_EQ(Shown(x, y), kInvertedGrey) << "corner " << x << "," << y;
}

TEST_F(OverlaysTest, InvertingLinesCancelWhereTheyCross) {
    view.SetDrawCross(true);
    Paint(); // the crosshair switches the pen to invert
    view.SetGridlevel(5);
    view.SetDrawCross(false);
    Paint();
    EXPECT_EQ(Shown(14, 1), kInvertedGrey) << "the pen stays inverting after the crosshair";
    EXPECT_EQ(Shown(14, 6), kGrey) << "a crossing is inverted twice";
    view.SetDrawCross(true);
    Paint();
    // The crosshair's left side at x = 232 does not lie on a grid line (x = 234 does).
    EXPECT_EQ(Shown(234, 124), kGrey) << "the outline over a vertical grid line cancels it";
}

TEST_F(OverlaysTest, RedCrosshairWhileTheViewDrawsAGridThenBlackGridLines) {
    view.SetDrawGrid(true);
    view.SetGridlevel(5);
    view.SetDrawCross(true);
    Paint();
    EXPECT_EQ(Shown(233, 124), kRed);
    EXPECT_EQ(view.TempPen().colour, kBlack);
    EXPECT_EQ(view.TempPen().op, RasterOp::Copy);
    Paint();
    EXPECT_EQ(Shown(14, 1), kBlack);
}

TEST_F(OverlaysTest, HotPixelFarOutsideLeavesNoCrosshair) {
    view.SetDrawCross(true);
    view.SetLeftOffset(500);
    Paint();
    EXPECT_TRUE(MarkedRows(100).empty());
}

} // namespace
} // namespace lupenta
