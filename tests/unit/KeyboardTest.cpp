#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"

#include <gtest/gtest.h>

namespace lupenta {
namespace {

class KeyboardTest : public ::testing::Test {
protected:
    KeyboardTest() {
        form.FormCreate();
        form.ClientResized(468, 282);
        form.FormShow();
    }

    testing::FakeDesktop desktop;
    Tfrmmain form{desktop};
};

struct WheelCase {
    int index;
    int distance;
    int expectedIndex;
    int expectedZoom;
};

TEST_F(KeyboardTest, WheelStepsTheZoomListWithinItsEnds) {
    const WheelCase cases[] = {
        {1, 120, 2, 3},  {1, -120, 0, 1},   {15, 120, 15, 40}, {0, -120, 0, 1},
        {-1, 120, 0, 1}, {-1, -120, -1, 1}, {5, 0, 4, 5},
    };
    for (const WheelCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.index << " by " << c.distance);
        form.cbxZoomLevel.ItemIndex = c.index;
        for (const auto& item : form.zoomItems)
            item->Checked = false;
        form.ApplicationEvents1Message(c.distance);
        EXPECT_EQ(form.cbxZoomLevel.ItemIndex.Get(), c.expectedIndex);
        EXPECT_EQ(form.imageview1->Zoom(), c.expectedZoom);
        EXPECT_EQ(form.AboutLupenta1.Tag.Get(), c.expectedIndex);
        int checked = 0;
        for (const auto& item : form.zoomItems)
            checked += item->Checked ? item->Tag.Get() : 0;
        EXPECT_EQ(checked, c.expectedZoom) << "exactly the applied zoom is checked again";
    }
}

TEST_F(KeyboardTest, SpacePausesAndResumesSampling) {
    EXPECT_FALSE(form.KeyDown(0x20)) << "the key goes on to the focused control";
    EXPECT_FALSE(form.Timer1.Enabled);
    EXPECT_FALSE(form.Enabled1.Checked);
    form.KeyDown(0x20);
    EXPECT_TRUE(form.Timer1.Enabled);
    EXPECT_TRUE(form.Enabled1.Checked);
    form.KeyDown('A');
    EXPECT_TRUE(form.Timer1.Enabled);
}

TEST_F(KeyboardTest, ShortcutsTakeTheKeyBeforeTheKeyHandler) {
    EXPECT_TRUE(form.KeyDown(ui::kCtrl | ui::kAlt | 0x20));
    EXPECT_TRUE(form.StayOnTop1.Checked);
    EXPECT_TRUE(form.Timer1.Enabled) << "Ctrl+Alt+Space is Stay On Top, not a pause";
    EXPECT_TRUE(form.KeyDown(ui::kCtrl | ui::kAlt | 'E'));
    EXPECT_FALSE(form.Timer1.Enabled);
    EXPECT_FALSE(form.Enabled1.Checked);
}

class CountingServices : public MainWindowServices {
public:
    int hides = 0;
    int shows = 0;
    void HideApplication() override { ++hides; }
    void ShowApplication() override { ++shows; }
};

TEST_F(KeyboardTest, HotKeyHidesAVisibleWindowAndBringsBackAHiddenOne) {
    CountingServices services;
    form.SetServices(&services);
    form.SetVisible(true);
    form.WMHotKey();
    EXPECT_EQ(services.hides, 1);
    form.SetVisible(false);
    form.WMHotKey();
    EXPECT_EQ(services.shows, 1);
    form.SetVisible(true);
    form.KeyDown(ui::kCtrl | ui::kAlt | 'G');
    EXPECT_EQ(services.hides, 2) << "the menu's shortcut toggles the same way";
}

constexpr std::uint16_t kLeft = 0x25;
constexpr std::uint16_t kUp = 0x26;
constexpr std::uint16_t kRight = 0x27;
constexpr std::uint16_t kDown = 0x28;

struct ArrowCase {
    Point pointer;
    std::uint16_t key;
    Point expected;
};

TEST_F(KeyboardTest, ArrowsMoveThePointerAPixelOrTenWithShiftWithinTheDesktop) {
    desktop.monitors = {Rect{0, 0, 1920, 1080}, Rect{-1280, 100, 0, 1124}};
    const ArrowCase cases[] = {
        {{500, 300}, kLeft, {499, 300}},
        {{500, 300}, kRight, {501, 300}},
        {{500, 300}, kUp, {500, 299}},
        {{500, 300}, kDown, {500, 301}},
        {{500, 300}, ui::kShift | kLeft, {490, 300}},
        {{500, 300}, ui::kShift | kDown, {500, 310}},
        {{1915, 1079}, ui::kShift | kRight, {1919, 1079}},
        {{1919, 1079}, kDown, {1919, 1079}},
        {{-1275, 200}, ui::kShift | kLeft, {-1280, 200}},
        {{3, 5}, ui::kShift | kUp, {3, 0}},
        {{1000, 1075}, ui::kShift | kDown, {1000, 1079}},
        {{-10, 1120}, ui::kShift | kDown, {-10, 1123}},
        {{0, 500}, kLeft, {-1, 500}},
        {{-1, 50}, kRight, {0, 50}},
        {{-1, 100}, kUp, {-1, 100}},
    };
    for (const ArrowCase& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.pointer.x << "," << c.pointer.y << " key " << std::hex << c.key);
        desktop.pointer = c.pointer;
        EXPECT_TRUE(form.KeyDown(c.key)) << "the arrow is used up";
        EXPECT_EQ(desktop.pointer, c.expected);
    }
}

TEST_F(KeyboardTest, ArrowsWithCtrlOrAltOrInTheZoomListLeaveThePointer) {
    desktop.pointer = Point{500, 300};
    EXPECT_FALSE(form.KeyDown(ui::kCtrl | kLeft));
    EXPECT_FALSE(form.KeyDown(ui::kAlt | kRight));
    EXPECT_FALSE(form.KeyDown(ui::kCtrl | ui::kShift | kUp));
    EXPECT_FALSE(form.KeyDown(kDown, true)) << "the list steps its own selection";
    EXPECT_FALSE(form.KeyDown('A'));
    EXPECT_EQ(desktop.pointer, (Point{500, 300}));
    EXPECT_EQ(desktop.CallCount("MovePointer"), 0);
}

TEST_F(KeyboardTest, WithAFixedLocationArrowsMoveThatPointAndNotThePointer) {
    desktop.pointer = Point{800, 600};
    form.FixedLocation1Click();
    ASSERT_TRUE(form.FixedLocation1.Checked);
    EXPECT_TRUE(form.KeyDown(kRight));
    EXPECT_TRUE(form.KeyDown(ui::kShift | kUp));
    EXPECT_EQ(form.memX, 801);
    EXPECT_EQ(form.memY, 590);
    EXPECT_EQ(desktop.pointer, (Point{800, 600}));

    form.memX = 5;
    form.KeyDown(ui::kShift | kLeft);
    EXPECT_EQ(form.memX, 0) << "the fixed point stays on the desktop";

    form.SetVisible(true);
    form.Timer1Timer();
    EXPECT_EQ(form.lblPosition.Caption.Get(), "Position: 0, 590");
}

} // namespace
} // namespace lupenta
