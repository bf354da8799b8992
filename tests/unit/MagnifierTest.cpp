#include "main/SamplingTick.h"
#include "main/WindowStyles.h"
#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"
#include "support/FakeView.h"
#include "support/ShownMainWindow.h"

#include <gtest/gtest.h>

namespace lupenta {
namespace {

using testing::FakeDesktop;

// The main window without a window system: a visible form whose view is 468 x 253.
class MagnifierTest : public ::testing::Test {
protected:
    MagnifierTest() {
        testing::ShowMainWindow(form);
        desktop.pointer = Point{1000, 500};
    }

    TImageView& View() { return *form.imageview1; }
    CapturePlacement Placement() {
        return {View().ScreenLeft(), View().ScreenTop(), View().LeftOffset(), View().TopOffset()};
    }

    FakeDesktop desktop;
    Tfrmmain form{desktop};
};

TEST_F(MagnifierTest, FirstShowLaysOutTheViewAboveThePanelWithoutTitleBar) {
    EXPECT_EQ(View().BoundsRect(), Rect::FromSize(0, 0, 468, 253));
    EXPECT_EQ(form.Panel1.Bounds.Get(), Rect::FromSize(0, 253, 468, 29));
    EXPECT_EQ(View().Zoom(), 2);
    EXPECT_EQ(View().BorderColor(), kSilver);
    EXPECT_FALSE(form.showtitle);
    EXPECT_EQ(form.Style() & kTitleBarStyles, 0u);
    EXPECT_TRUE(form.Style() & kWsPopup);
    EXPECT_TRUE(form.zoomItems[1]->Checked);
}

// A layout that a command makes, not only a resize of the window, reaches the view's window.
TEST_F(MagnifierTest, ShowPanelMovesTheViewsWindowToItsNewBounds) {
    testing::FakeViewPeer window;
    View().AttachPeer(&window);
    form.ShowPanel1Click();
    EXPECT_EQ(window.placed, Rect::FromSize(0, 0, 468, 282));
    form.ShowPanel1Click();
    EXPECT_EQ(window.placed, Rect::FromSize(0, 0, 468, 253));
    View().AttachPeer(nullptr);
}

TEST_F(MagnifierTest, TickCentresTheViewOnThePointer) {
    form.cbxZoomLevel.UserSelected(3);
    form.Timer1Timer();
    EXPECT_EQ(Placement(), (CapturePlacement{942, 469, 58, 31}));
}

TEST_F(MagnifierTest, TickDoesNothingWhileTheWindowIsHidden) {
    form.SetVisible(false);
    form.Timer1Timer();
    EXPECT_TRUE(desktop.calls.empty());
}

TEST_F(MagnifierTest, TickRecordsTheOffsetsOfThePointersMonitor) {
    desktop.monitors = {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}};
    desktop.pointer = Point{2500, 500};
    form.Timer1Timer();
    EXPECT_EQ(form.offsetx, 3840);
    EXPECT_EQ(form.offsety, 0);
}

TEST_F(MagnifierTest, FixedLocationShowsThePlaceWhileTheHotPixelFollowsThePointer) {
    form.cbxZoomLevel.UserSelected(3);
    form.FixedLocation1.Checked = true;
    form.memX = 500;
    form.memY = 400;
    desktop.pointer = Point{520, 390};
    form.Timer1Timer();
    // The middle is (58, 31); the pointer is 20 columns right of and 10 rows above it.
    EXPECT_EQ(Placement(), (CapturePlacement{442, 369, 78, 21}));
}

TEST_F(MagnifierTest, FollowsTheCaretOfAnotherApplication) {
    form.cbxZoomLevel.UserSelected(3);
    form.followkey = true;
    desktop.caret = {CaretProbe::Outcome::FocusWindow, Point{310, 220}};
    View().SetShowCursor(true);
    form.Timer1Timer();
    EXPECT_EQ(Placement(), (CapturePlacement{252, 189, 58, 31}));
    EXPECT_FALSE(View().ShowCursor());

    desktop.caret = {CaretProbe::Outcome::FocusWindow, std::nullopt};
    form.Timer1Timer();
    EXPECT_EQ(Placement(), (CapturePlacement{942, 469, 58, 31})) << "no caret: the pointer";
}

TEST_F(MagnifierTest, CaretFollowingInFrontOfItselfShowsThePointerImageOnThePrimaryMonitor) {
    form.followkey = true;
    desktop.caret = {CaretProbe::Outcome::OwnThread, std::nullopt};
    form.Timer1Timer();
    EXPECT_TRUE(View().ShowCursor());
    desktop.monitors = {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}};
    desktop.pointer = Point{2500, 500};
    form.Timer1Timer();
    EXPECT_FALSE(View().ShowCursor());
}

TEST_F(MagnifierTest, HoverAvoidanceMovesTheWindowAndCtrlFreezesEverything) {
    form.FlipwhenHovered1.Checked = true;
    desktop.pointer = Point{200, 200};
    desktop.ctrlDown = true;
    form.Timer1Timer();
    EXPECT_EQ(form.BoundsRect().left, 100) << "Ctrl held: not moved";
    EXPECT_EQ(desktop.CallCount("CaptureScreen"), 0);
    EXPECT_EQ(Placement(), (CapturePlacement{0, 0, 0, 0})) << "Ctrl held: view untouched";

    desktop.ctrlDown = false;
    form.Timer1Timer();
    EXPECT_EQ(form.BoundsRect(), Rect::FromSize(350, 58, 470, 284));
}

TEST_F(MagnifierTest, DoubleClickTogglesTitleBarAndBorderColour) {
    form.ImageView1DblClick();
    EXPECT_TRUE(form.showtitle);
    EXPECT_EQ(form.Style() & kTitleBarStyles, kTitleBarStyles);
    EXPECT_EQ(View().BorderColor(), kGreen);
    form.ShowHideTitlebar1Click();
    EXPECT_FALSE(form.showtitle);
    EXPECT_EQ(form.Style() & kTitleBarStyles, 0u);
    EXPECT_EQ(View().BorderColor(), kSilver);
}

TEST_F(MagnifierTest, ZoomFromTheMenuSelectsTheListEntryAndChecksOnlyItsItem) {
    form.Magnify1X1Click(*form.zoomItems[6]);
    EXPECT_EQ(View().Zoom(), 8);
    EXPECT_EQ(form.cbxZoomLevel.ItemIndex.Get(), 6);
    EXPECT_EQ(form.AboutLupenta1.Tag.Get(), 6);
    for (std::size_t i = 0; i < form.zoomItems.size(); ++i)
        EXPECT_EQ(form.zoomItems[i]->Checked.Get(), i == 6) << form.zoomItems[i]->Name();
    EXPECT_EQ(form.zoomItems[6]->Name(), "Magnify8X1");
    EXPECT_EQ(form.zoomItems[15]->Name(), "Magnify40x1");
}

TEST_F(MagnifierTest, AnEmptyListSelectionMeansZoomOne) {
    form.cbxZoomLevel.UserSelected(-1);
    EXPECT_EQ(View().Zoom(), 1);
    EXPECT_TRUE(form.zoomItems[0]->Checked);
}

TEST_F(MagnifierTest, ExitAllowsTheClose) {
    form.AllowClose = false;
    form.mnuMain.DispatchShortCut(ui::kAlt | 0x73);
    EXPECT_TRUE(form.AllowClose);
    EXPECT_FALSE(form.Visible());
}

} // namespace
} // namespace lupenta
