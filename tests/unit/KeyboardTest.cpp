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

} // namespace
} // namespace lupenta
