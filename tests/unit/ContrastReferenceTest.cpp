#include "app/Program.h"
#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileSystem.h"
#include "support/FakeFormWindow.h"
#include "support/FakeRunKey.h"
#include "support/FakeView.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace lupenta {
namespace {

constexpr Colour Grey(int level) {
    return MakeColour(level, level, level);
}

// The program up to its first show over fakes, with the view 468 x 253 above the panel and
// the screen one colour that a test changes.
class ContrastReferenceTest : public ::testing::Test {
protected:
    ContrastReferenceTest() {
        program = std::make_unique<Program>(desktop, files, window);
        program->Create({}, runKey);
        Form().SetBoundsRect(Rect::FromSize(0, 0, 480, 300));
        Form().ClientResized(468, 282);
        program->Show();
        Form().SetVisible(true);
        desktop.pointer = Point{1000, 500};
        desktop.screen = [this](int, int) { return screen; };
        View().AttachPeer(&surface);
    }

    Tfrmmain& Form() { return program->form; }
    TImageView& View() { return *Form().imageview1; }
    // The readout shows what the paint between two ticks sampled.
    void Show(Colour colour) {
        screen = colour;
        Form().Timer1Timer();
        View().Paint(surface);
        Form().Timer1Timer();
    }
    std::vector<ui::TControl*> PanelControls() {
        Tfrmmain& f = Form();
        return {&f.Panel1,      &f.cbxZoomLevel, &f.btnType,    &f.lblColor, &f.pnlColor,
                &f.lblPosition, &f.SpeedButton1, &f.btnOptions, &f.btnClose};
    }
    std::vector<std::pair<Rect, bool>> PanelLayout() {
        std::vector<std::pair<Rect, bool>> layout;
        for (ui::TControl* control : PanelControls())
            layout.emplace_back(control->Bounds, control->Visible);
        return layout;
    }
    std::string SettingsText() {
        Form().WriteSettings();
        return program->store.Document().Format();
    }

    Colour screen = kBlack;
    testing::FakeDesktop desktop;
    testing::FakeFileSystem files;
    testing::FakeFormWindow window;
    testing::FakeRunKey runKey;
    testing::FakeViewPeer surface;
    std::unique_ptr<Program> program;
};

// The bar takes its room from the view: the panel and every control on it stay as they were.
TEST_F(ContrastReferenceTest, SetShowsTheRatioAboveThePanelAndClearTakesItAway) {
    Tfrmmain& f = Form();
    const auto layout = PanelLayout();
    const std::string settings = SettingsText();
    EXPECT_FALSE(f.pnlContrast.Visible);
    EXPECT_FALSE(f.ClearContrastReference1.Enabled);
    EXPECT_FALSE(f.mnuClearContrastReference.Enabled);

    Show(kWhite);
    f.SetContrastReference1.Click();
    EXPECT_TRUE(f.pnlContrast.Visible);
    EXPECT_EQ(f.pnlContrast.Bounds.Get(), Rect::FromSize(0, 227, 468, 26));
    EXPECT_EQ(View().BoundsRect(), Rect::FromSize(0, 0, 468, 227));
    EXPECT_EQ(surface.placed, View().BoundsRect()) << "the view's window follows";
    EXPECT_EQ(PanelLayout(), layout);
    EXPECT_EQ(f.lblContrast.Caption.Get(), "Contrast 1:1 Fail");
    EXPECT_EQ(f.pnlReference.Caption.Get(), "RGB : 255,255,255");
    EXPECT_EQ(f.pnlReference.Color.Get(), kWhite);
    EXPECT_EQ(f.pnlReference.FontColor.Get(), kBlack);
    EXPECT_TRUE(f.ClearContrastReference1.Enabled);
    EXPECT_TRUE(f.mnuClearContrastReference.Enabled);

    Show(Grey(0x76));
    EXPECT_EQ(f.lblContrast.Caption.Get(), "Contrast 4.5:1 AA");
    f.HTMLCode1.Click();
    Show(Grey(0x77));
    EXPECT_EQ(f.lblContrast.Caption.Get(), "Contrast 4.4:1 AA Large");
    EXPECT_EQ(f.pnlReference.Caption.Get(), "#FFFFFF") << "the reference follows the notation";

    f.mnuClearContrastReference.Click();
    EXPECT_FALSE(f.pnlContrast.Visible);
    EXPECT_EQ(View().BoundsRect(), Rect::FromSize(0, 0, 468, 253));
    EXPECT_EQ(PanelLayout(), layout);
    EXPECT_FALSE(f.ClearContrastReference1.Enabled);
    f.RGBValues1.Click();
    EXPECT_EQ(SettingsText(), settings) << "the reference is not kept";
}

TEST_F(ContrastReferenceTest, TheReferenceIsTheColourUnderTheHotPixelAndSettingItAgainReplacesIt) {
    Tfrmmain& f = Form();
    Show(Grey(0x59));
    f.mnuSetContrastReference.Click();
    Show(kWhite);
    EXPECT_EQ(f.lblContrast.Caption.Get(), "Contrast 7:1 AAA");
    f.mnuMain.DispatchShortCut(ui::kCtrl | ui::kAlt | 'R');
    Show(kBlack);
    EXPECT_EQ(f.lblContrast.Caption.Get(), "Contrast 21:1 AAA");
    EXPECT_EQ(f.pnlReference.Caption.Get(), "RGB : 255,255,255");
}

// Hiding the panel stops the readout, so the bar goes with it and comes back with it.
TEST_F(ContrastReferenceTest, TheBarFollowsThePanel) {
    Tfrmmain& f = Form();
    f.SetContrastReference1.Click();
    f.ShowPanel1.Click();
    EXPECT_FALSE(f.pnlContrast.Visible);
    EXPECT_EQ(View().BoundsRect(), Rect::FromSize(0, 0, 468, 282));
    f.ShowPanel1.Click();
    EXPECT_TRUE(f.pnlContrast.Visible);
    EXPECT_EQ(View().BoundsRect(), Rect::FromSize(0, 0, 468, 227));
}

// Narrow, the bar keeps the ratio and drops the swatch, as the panel drops its own.
TEST_F(ContrastReferenceTest, ANarrowWindowKeepsTheRatio) {
    Tfrmmain& f = Form();
    f.SetContrastReference1.Click();
    for (int width : {480, 370, 369, 150}) {
        SCOPED_TRACE(width);
        f.SetBoundsRect(Rect::FromSize(0, 0, width, 300));
        f.FormResize();
        EXPECT_TRUE(f.lblContrast.Visible);
        EXPECT_EQ(f.pnlReference.Visible.Get(), width >= 370);
        EXPECT_EQ(f.pnlReference.Visible.Get(), f.pnlColor.Visible.Get());
    }
}

// A screen reader hears each change of grade, never a change of the ratio alone.
TEST_F(ContrastReferenceTest, GradeChangesAreAnnounced) {
    Tfrmmain& f = Form();
    Show(kWhite);
    f.SetContrastReference1.Click();
    EXPECT_EQ(f.Panel1.SpokenName(), "Contrast reference RGB : 255,255,255");
    const struct {
        int grey;
        const char* announced; // nullptr: the grade stayed
    } steps[] = {
        {0x59, "Contrast 7:1 AAA"},
        {0x50, nullptr},
        {0x5A, "Contrast 6.9:1 AA"},
        {0x60, nullptr},
        {0x77, "Contrast 4.4:1 AA Large"},
        {0x95, "Contrast 2.9:1 Fail"},
        {0xFF, nullptr},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.grey);
        const int before = f.Panel1.Announcements();
        Show(Grey(step.grey));
        EXPECT_EQ(f.Panel1.Announcements(), before + (step.announced ? 1 : 0));
        if (step.announced) {
            EXPECT_EQ(f.Panel1.SpokenName(), step.announced);
        }
    }
    f.ClearContrastReference1.Click();
    EXPECT_EQ(f.Panel1.SpokenName(), "Contrast reference cleared");
}

// Copying the same colour twice is announced twice: the user asked twice.
TEST_F(ContrastReferenceTest, CopyColorIsAnnouncedEachTime) {
    Tfrmmain& f = Form();
    Show(0x0080FF);
    f.CopyColortoClipboard2.Click();
    const int first = f.Panel1.Announcements();
    EXPECT_EQ(f.Panel1.SpokenName(), "Copied RGB : 255,128,0");
    f.CopyColortoClipboard2.Click();
    EXPECT_EQ(f.Panel1.Announcements(), first + 1);
    EXPECT_EQ(desktop.clipboardText, "RGB : 255,128,0");
    EXPECT_EQ(desktop.messages.back().text, "copied");
}

// Every shortcut of the main menu belongs to one command only.
TEST_F(ContrastReferenceTest, NoTwoCommandsShareAShortcut) {
    std::map<std::uint16_t, std::string> owners;
    const auto visit = [&](const auto& self, const std::vector<ui::TMenuItem*>& items) -> void {
        for (ui::TMenuItem* item : items) {
            if (item->ShortCut != 0) {
                const auto [owner, added] = owners.emplace(item->ShortCut, item->Name());
                EXPECT_TRUE(added) << item->Name() << " and " << owner->second << " share "
                                   << ui::ShortCutToText(item->ShortCut);
            }
            self(self, item->Items());
        }
    };
    visit(visit, Form().mnuMain.Items());
    EXPECT_EQ(owners.at(ui::kCtrl | ui::kAlt | 'R'), "SetContrastReference1");
}

} // namespace
} // namespace lupenta
