#include "main/ZoomFactors.h"
#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"
#include "support/FakeView.h"
#include "support/ShownMainWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <tuple>

namespace lupenta {
namespace {

using testing::CoordinateColour;
using testing::FakeDesktop;
using testing::FakeViewPeer;

// The main window ticking over a screen that holds still, its view painting onto a fake
// window after every tick, as the view's window does.
class StillTickTest : public ::testing::Test {
protected:
    StillTickTest() {
        testing::ShowMainWindow(form);
        form.imageview1->AttachPeer(&window);
        desktop.pointer = Point{1000, 500};
        desktop.pointerShape = PointerShape{{0, 0}, 7};
    }
    ~StillTickTest() override { form.imageview1->AttachPeer(nullptr); }

    // Presents made by one tick and the paint it asks for, when it asks for one.
    int Tick() {
        const int before = window.presents;
        const int invalidations = window.invalidations;
        form.Timer1Timer();
        if (window.invalidations > invalidations)
            form.imageview1->Paint(window);
        return window.presents - before;
    }

    FakeDesktop desktop;
    Tfrmmain form{desktop};
    FakeViewPeer window;
};

// The tick captures once and compares; with nothing moved it asks its window for no paint.
TEST_F(StillTickTest, AStillTickCapturesOnceAndAsksForNoPaintAtEveryZoom) {
    for (const int zoomItem : {0, 1, 3}) {
        SCOPED_TRACE(zoomItem);
        form.Magnify1X1Click(*form.zoomItems[zoomItem]);
        EXPECT_EQ(Tick(), 1);
        const std::size_t captures = desktop.captures.size();
        const int invalidations = window.invalidations;
        EXPECT_EQ(Tick(), 0);
        EXPECT_EQ(Tick(), 0);
        EXPECT_EQ(desktop.captures.size(), captures + 2);
        EXPECT_EQ(window.invalidations, invalidations);
    }
}

// When only the screen moved, the paint shows what the tick captured without capturing again.
TEST_F(StillTickTest, APaintAfterAStillTickThatFoundTheScreenMovedShowsThatCapture) {
    Tick();
    Tick();
    desktop.screen = [](int, int) { return kBlack; };
    const std::size_t captures = desktop.captures.size();
    EXPECT_EQ(Tick(), 1);
    EXPECT_EQ(desktop.captures.size(), captures + 1);
    EXPECT_EQ(window.shown.PixelAt(100, 100), kBlack);
}

// A window uncovered between the tick and its paint is painted from a fresh capture.
TEST_F(StillTickTest, AWindowUncoveredBeforeThePaintIsPaintedFromAFreshCapture) {
    Tick();
    desktop.screen = [](int, int) { return kBlack; };
    const int invalidations = window.invalidations;
    form.Timer1Timer();
    ASSERT_GT(window.invalidations, invalidations);
    desktop.screen = [](int, int) { return kWhite; };
    form.imageview1->DiscardPresented();
    form.imageview1->Paint(window);
    EXPECT_EQ(window.shown.PixelAt(100, 100), kWhite);
}

// The window still shows the last frame, so a copy of the image is that frame.
TEST_F(StillTickTest, CopyImageAfterStillTicksCopiesTheFrameShown) {
    Tick();
    Tick();
    form.CopyImagetoClipboard1Click();
    ASSERT_TRUE(desktop.clipboardBitmap);
    EXPECT_EQ(desktop.clipboardBitmap->PixelAt(10, 10), window.shown.PixelAt(10, 10));
}

struct Change {
    const char* name;
    std::function<void(Tfrmmain&, FakeDesktop&)> make;
};

void PrintTo(const Change& change, std::ostream* out) {
    *out << change.name;
}

// A change, and the zoom list entry the view shows it at.
class StillTickChange : public StillTickTest,
                        public ::testing::WithParamInterface<std::tuple<Change, int>> {};

// A tick presents when anything it would show differs, and only the first tick after.
TEST_P(StillTickChange, PresentsOnceAfterTheChange) {
    const auto& [change, zoomItem] = GetParam();
    form.Magnify1X1Click(*form.zoomItems[zoomItem]);
    Tick();
    ASSERT_EQ(Tick(), 0);
    change.make(form, desktop);
    EXPECT_EQ(Tick(), 1);
    EXPECT_EQ(Tick(), 0);
}

const Change kChanges[] = {
    {"PointerMoves", [](Tfrmmain&, FakeDesktop& d) { d.pointer->x += 1; }},
    {"ScreenChangesUnderTheHotPixel",
     [](Tfrmmain&, FakeDesktop& d) {
         d.screen = [](int x, int y) {
             return x == 1000 && y == 500 ? kBlack : CoordinateColour(x, y);
         };
     }},
    {"Zoom", [](Tfrmmain& f, FakeDesktop&) { f.Magnify1X1Click(*f.zoomItems[3]); }},
    {"Smoothen", [](Tfrmmain& f, FakeDesktop&) { f.Smoothen1Click(); }},
    {"Invert", [](Tfrmmain& f, FakeDesktop&) { f.InvertImage1Click(); }},
    {"FlipHorizontally", [](Tfrmmain& f, FakeDesktop&) { f.FlipHorizontally1Click(); }},
    {"FlipVertically", [](Tfrmmain& f, FakeDesktop&) { f.FlipVertically1Click(); }},
    {"Crosshair", [](Tfrmmain& f, FakeDesktop&) { f.DrawCrossHair1Click(); }},
    {"GridSpacing", [](Tfrmmain& f, FakeDesktop&) { f.N1pixel1Click(f.N5pixels1); }},
    {"FixedGrid", [](Tfrmmain& f, FakeDesktop&) { f.DrawFixedGrid1Click(); }},
    {"ShowCursor", [](Tfrmmain& f, FakeDesktop&) { f.Showcursor1Click(); }},
    {"SampleSize", [](Tfrmmain& f, FakeDesktop&) { f.SampleSizeClick(*f.sampleSizeItems[1]); }},
    {"WindowResized", [](Tfrmmain& f, FakeDesktop&) { f.ClientResized(500, 300); }},
    {"PanelAndColourReadoutHidden", [](Tfrmmain& f, FakeDesktop&) { f.ShowPanel1Click(); }},
    {"TitleBarShownChangesTheFrame", [](Tfrmmain& f, FakeDesktop&) { f.ImageView1DblClick(); }},
    {"PausedAndResumed",
     [](Tfrmmain& f, FakeDesktop&) {
         f.Enabled1Click();
         f.Enabled1Click();
     }},
    {"WindowUncovered", [](Tfrmmain& f, FakeDesktop&) { f.imageview1->DiscardPresented(); }},
};

INSTANTIATE_TEST_SUITE_P(Changes, StillTickChange,
                         ::testing::Combine(::testing::ValuesIn(kChanges), ::testing::Values(0, 1)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "AtZoom" +
                                    std::to_string(ZoomFactors[std::get<1>(info.param)]);
                         });

// With the pointer image on, a new cursor over a still screen is a new frame.
TEST_F(StillTickTest, ANewPointerShapePresentsWhenThePointerIsShown) {
    if (form.Showcursor1.Checked)
        form.Showcursor1Click();
    Tick();
    EXPECT_EQ(Tick(), 0);
    desktop.pointerShape->handle = 8;
    EXPECT_EQ(Tick(), 0);
    form.Showcursor1Click();
    EXPECT_EQ(Tick(), 1);
    EXPECT_EQ(Tick(), 0);
    desktop.pointerShape->handle = 9;
    EXPECT_EQ(Tick(), 1);
}

// The tick's one question about the pointer gives both its position and its cursor; neither
// the tick nor the paint after it asks again, still or moving.
TEST_F(StillTickTest, ATickAndItsPaintAskAboutThePointerOnce) {
    if (!form.Showcursor1.Checked)
        form.Showcursor1Click();
    Tick();
    for (const int step : {0, 1}) {
        SCOPED_TRACE(step);
        const std::vector<std::string> before = desktop.calls;
        desktop.pointer->x += step;
        EXPECT_EQ(Tick(), step);
        EXPECT_EQ(desktop.CallCount("SightPointer"),
                  std::count(before.begin(), before.end(), "SightPointer") + 1);
        EXPECT_EQ(desktop.CallCount("PointerPosition"), 0);
        EXPECT_EQ(desktop.CallCount("CurrentPointer"), 0);
    }
}

} // namespace
} // namespace lupenta
