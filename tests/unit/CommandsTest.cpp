#include "app/Program.h"
#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileSystem.h"
#include "support/FakeFormWindow.h"
#include "support/FakeRunKey.h"
#include "support/FakeView.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lupenta {
namespace {

using testing::FakeDesktop;
using testing::FakeFileSystem;
using testing::FakeFormWindow;
using testing::FakeViewPeer;

const std::string kIni = "C:\\Program Files\\Lupenta\\Lupenta.ini";
constexpr Colour kYellow = 0x00FFFF;

// Sees the hide-to-tray requests that the window makes of the tray.
class RecordingServices : public MainWindowServices {
public:
    int hides = 0;
    void HideApplication() override { ++hides; }
    std::string Version() override { return "15.0"; }
};

// One run of the program up to its first show: the store reads `ini` (when given) while the
// window is built, the stored properties are restored and the show handler runs, all over
// fakes. The view is 468 x 253 above the panel, and the pointer rests at (1000, 500).
class Session {
public:
    explicit Session(std::optional<std::string> ini = std::nullopt) {
        if (ini)
            files.files[kIni] = *ini;
        program = std::make_unique<Program>(desktop, files, window);
        Form().SetServices(&services);
        program->Create({}, runKey);
        Form().ClientResized(468, 282);
        program->Show();
        Form().SetVisible(true);
        desktop.pointer = Point{1000, 500};
    }

    Tfrmmain& Form() { return program->form; }
    TImageView& View() { return *program->form.imageview1; }
    std::string Stored(const std::string& key) { return program->store.ReadString(key, "-"); }
    std::string Text() { return program->store.Document().Format(); }
    // A tick, the paint that follows it, and a second tick, whose readout shows what the
    // paint sampled.
    void TickPaintTick() {
        Form().Timer1Timer();
        View().Paint(surface);
        Form().Timer1Timer();
    }
    std::vector<bool> ZoomChecks() {
        std::vector<bool> checks;
        for (const auto& item : Form().zoomItems)
            checks.push_back(item->Checked);
        return checks;
    }
    std::vector<ui::TMenuItem*> RateItems() {
        Tfrmmain& f = Form();
        return {&f.N5xpersecond1, &f.N10xpersecond1, &f.N15xpersecond1, &f.N30xpersecond1,
                &f.N60xpersecond1};
    }
    std::vector<ui::TMenuItem*> SpacingItems() {
        Tfrmmain& f = Form();
        return {&f.NoGrid1, &f.N1pixel1, &f.N5pixels1, &f.N10pixels1, &f.N20pixels1, &f.N50pixels1};
    }
    // The names of the checked items among `items`.
    static std::vector<std::string> Checked(const std::vector<ui::TMenuItem*>& items,
                                            bool visibleOnly = false) {
        std::vector<std::string> names;
        for (ui::TMenuItem* item : items)
            if (item->Checked && (!visibleOnly || item->Visible))
                names.push_back(item->Name());
        return names;
    }
    ui::TMenuItem& Item(const std::string& name) {
        for (ui::Component* component : Form().Components())
            if (component->Name() == name)
                if (auto* item = dynamic_cast<ui::TMenuItem*>(component))
                    return *item;
        ADD_FAILURE() << "no menu item " << name;
        return Form().Exit1;
    }

    FakeDesktop desktop;
    FakeFileSystem files;
    FakeFormWindow window;
    testing::FakeRunKey runKey;
    RecordingServices services;
    FakeViewPeer surface;
    std::unique_ptr<Program> program;
};

std::vector<bool> OnlyZoom(std::size_t index) {
    std::vector<bool> checks(16, false);
    checks[index] = true;
    return checks;
}

TEST(Commands, ZoomFromTheListAppliesItWithoutWriting) {
    Session s;
    s.Form().WriteSettings();
    const std::string before = s.Text();
    s.Form().cbxZoomLevel.UserSelected(6);
    EXPECT_EQ(s.View().Zoom(), 8);
    EXPECT_EQ(s.Form().AboutLupenta1.Tag.Get(), 6);
    EXPECT_EQ(s.ZoomChecks(), OnlyZoom(6));
    EXPECT_EQ(s.Text(), before);
}

TEST(Commands, ZoomFromTheMenuSelectsTheListEntryAndWrites) {
    struct Case {
        std::size_t item;
        const char* name;
        int factor;
    };
    for (const Case& c :
         {Case{6, "Magnify8X1", 8}, Case{15, "Magnify40x1", 40}, Case{0, "Magnify1X1", 1}}) {
        SCOPED_TRACE(c.name);
        Session s;
        ui::TMenuItem& item = *s.Form().zoomItems[c.item];
        EXPECT_EQ(item.Name(), c.name);
        item.Click();
        EXPECT_EQ(s.View().Zoom(), c.factor);
        EXPECT_EQ(s.Form().cbxZoomLevel.ItemIndex.Get(), static_cast<int>(c.item));
        EXPECT_EQ(s.ZoomChecks(), OnlyZoom(c.item));
        EXPECT_EQ(s.Stored("Combobox1_Itemindex"), std::to_string(c.item));
    }
}

TEST(Commands, RefreshRateKeepsTheTimersStateAndChecksOnlyItsItem) {
    for (const bool enabled : {true, false}) {
        SCOPED_TRACE(enabled ? "sampling on" : "sampling off");
        Session s;
        Tfrmmain& f = s.Form();
        EXPECT_EQ(f.Timer1.Interval.Get(), 66);
        EXPECT_TRUE(Session::Checked(s.RateItems(), true).empty()) << "66 ms has no visible item";
        f.Timer1.Enabled = enabled;

        f.N30xpersecond1.Click();
        EXPECT_EQ(f.Timer1.Interval.Get(), 33);
        EXPECT_EQ(f.Timer1.Enabled.Get(), enabled);
        EXPECT_EQ(Session::Checked(s.RateItems()), std::vector<std::string>{"N30xpersecond1"});
        EXPECT_EQ(s.Stored("Timer1_Interval"), "33");

        f.N60xpersecond1.Click();
        EXPECT_EQ(f.Timer1.Interval.Get(), 16);
        EXPECT_EQ(f.Timer1.Enabled.Get(), enabled);
        EXPECT_EQ(Session::Checked(s.RateItems()), std::vector<std::string>{"N60xpersecond1"});
    }
}

TEST(Commands, NoGridIsWrittenOnlyByTheNextSettingsWrite) {
    Session s;
    Tfrmmain& f = s.Form();
    f.N10pixels1.Click();
    EXPECT_EQ(f.pixlevel, 10);
    EXPECT_EQ(s.View().Gridlevel(), 10);
    EXPECT_EQ(Session::Checked(s.SpacingItems()), std::vector<std::string>{"N10pixels1"});
    EXPECT_EQ(s.Stored("Pixlevel"), "10");

    f.NoGrid1.Click();
    EXPECT_EQ(f.pixlevel, 0);
    EXPECT_EQ(s.View().Gridlevel(), 0);
    EXPECT_EQ(Session::Checked(s.SpacingItems()), std::vector<std::string>{"NoGrid1"});
    EXPECT_EQ(s.Stored("Pixlevel"), "10") << "not written at once";

    f.Smoothen1.Click();
    EXPECT_EQ(s.Stored("Pixlevel"), "0");
}

TEST(Commands, RgbAndHtmlItemsStayInStepAcrossBothMenus) {
    Session s;
    Tfrmmain& f = s.Form();
    struct Step {
        ui::TMenuItem& item;
        bool rgb;
        const char* caption;
    };
    const Step steps[] = {{f.mnuHTML, false, "#000000"},
                          {f.RGBValues1, true, "RGB : 0,0,0"},
                          {f.HTMLCode1, false, "#000000"},
                          {f.mnuRGB, true, "RGB : 0,0,0"}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.item.Name());
        step.item.Click();
        EXPECT_EQ(f.RGBValues1.Checked.Get(), step.rgb);
        EXPECT_EQ(f.mnuRGB.Checked.Get(), step.rgb);
        EXPECT_EQ(f.HTMLCode1.Checked.Get(), !step.rgb);
        EXPECT_EQ(f.mnuHTML.Checked.Get(), !step.rgb);
        EXPECT_EQ(s.Stored("RGBValues1_Checked"), step.rgb ? "True" : "False");
        f.Timer1Timer();
        EXPECT_EQ(f.pnlColor.Caption.Get(), step.caption);
    }
}

TEST(Commands, ClosingHidesToTheTrayUnlessClosingIsAllowed) {
    enum class Action { CloseButton, Exit, CloseBox };
    struct Case {
        const char* name;
        bool stayInTray;
        Action action;
        bool hidden;
        bool closed;
    };
    const Case cases[] = {
        {"tray, close button", true, Action::CloseButton, true, false},
        {"tray, close box", true, Action::CloseBox, true, false},
        {"tray, Exit", true, Action::Exit, false, true},
        {"no tray, close button", false, Action::CloseButton, false, true},
        {"no tray, close box", false, Action::CloseBox, false, true},
        {"no tray, Exit", false, Action::Exit, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        Tfrmmain& f = s.Form();
        EXPECT_FALSE(f.AllowClose);
        if (!c.stayInTray) {
            const std::string before = s.Text();
            f.StayinSystemTray1.Click();
            EXPECT_TRUE(f.AllowClose);
            EXPECT_EQ(s.Text(), before) << "the tray choice is saved with the placement";
        }
        bool closed = false;
        switch (c.action) {
        case Action::CloseButton:
            f.btnClose.Click();
            closed = !f.Visible() && s.program->CloseQuery();
            break;
        case Action::Exit:
            f.Exit1.Click();
            closed = !f.Visible() && s.program->CloseQuery();
            break;
        case Action::CloseBox:
            closed = s.program->CloseQuery();
            break;
        }
        EXPECT_EQ(closed, c.closed);
        EXPECT_EQ(s.services.hides, c.hidden ? 1 : 0);
        EXPECT_EQ(s.Stored("FormVersion"), c.closed ? "0" : "-") << "saved only when it closes";
    }
}

TEST(Commands, ReadoutShowsThePreviousPaintsColourAndThePosition) {
    struct Case {
        Colour colour;
        const char* rgb;
        const char* html;
        Colour text;
    };
    const Case cases[] = {
        {0x000000, "RGB : 0,0,0", "#000000", kWhite},
        {MakeColour(120, 120, 119), "RGB : 120,120,119", "#787877", kWhite},
        {MakeColour(120, 120, 120), "RGB : 120,120,120", "#787878", kBlack},
        {0x0080FF, "RGB : 255,128,0", "#FF8000", kBlack},
    };
    Session s;
    Tfrmmain& f = s.Form();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rgb);
        s.desktop.screen = [&c](int, int) { return c.colour; };
        s.TickPaintTick();
        EXPECT_EQ(f.pnlColor.Color.Get(), c.colour);
        EXPECT_EQ(f.pnlColor.FontColor.Get(), c.text);
        EXPECT_EQ(f.pnlColor.Caption.Get(), c.rgb);
        f.HTMLCode1.Click();
        f.Timer1Timer();
        EXPECT_EQ(f.pnlColor.Caption.Get(), c.html);
        f.RGBValues1.Click();
    }
    EXPECT_EQ(f.lblPosition.Caption.Get(), "Position: 1000, 500");
}

TEST(Commands, ReadoutOfAViewThatNeverSampledIsBlackInWhite) {
    Session s;
    s.desktop.screen = [](int, int) { return MakeColour(200, 200, 200); };
    s.Form().Timer1Timer();
    EXPECT_EQ(s.Form().pnlColor.Caption.Get(), "RGB : 0,0,0");
    EXPECT_EQ(s.Form().pnlColor.FontColor.Get(), kWhite);
}

TEST(Commands, HiddenPanelStopsSamplingAndKeepsTheLastReadout) {
    Session s;
    Tfrmmain& f = s.Form();
    s.desktop.screen = [](int, int) { return 0x0080FF; };
    s.TickPaintTick();
    f.ShowPanel1.Click();
    EXPECT_FALSE(f.Panel1.Visible);
    EXPECT_FALSE(s.View().Getcolor());
    EXPECT_EQ(s.Stored("Panel1_Visible"), "False");
    s.desktop.screen = [](int, int) { return kWhite; };
    s.desktop.pointer = Point{7, 8};
    s.TickPaintTick();
    EXPECT_EQ(f.pnlColor.Caption.Get(), "RGB : 255,128,0");
    EXPECT_EQ(f.lblPosition.Caption.Get(), "Position: 1000, 500");
}

TEST(Commands, VirtualOriginComesFromThePointerAndSwitchesOffWhenSetTwiceInPlace) {
    Session s;
    Tfrmmain& f = s.Form();
    s.desktop.pointer = Point{300, 200};
    f.SetVirtualOrigin1.Click();
    EXPECT_EQ(Point(f.virtx, f.virty), Point(300, 200));
    EXPECT_EQ(f.lblPosition.FontColor.Get(), kYellow);

    s.desktop.pointer = Point{295, 212};
    f.Timer1Timer();
    EXPECT_EQ(f.lblPosition.Caption.Get(), "Position: -5, 12");

    // The readout shows the fixed location, but the origin still follows the pointer.
    f.FixedLocation1.Checked = true;
    f.memX = 500;
    f.memY = 400;
    s.desktop.pointer = Point{520, 390};
    f.SetVirtualOrigin1.Click();
    EXPECT_EQ(Point(f.virtx, f.virty), Point(520, 390));
    f.Timer1Timer();
    EXPECT_EQ(f.lblPosition.Caption.Get(), "Position: -20, 10");

    f.SetVirtualOrigin1.Click();
    EXPECT_EQ(Point(f.virtx, f.virty), Point(0, 0));
    EXPECT_EQ(f.lblPosition.FontColor.Get(), kWhite);
    f.Timer1Timer();
    EXPECT_EQ(f.lblPosition.Caption.Get(), "Position: 500, 400");
}

TEST(Commands, CopyCommandsPutTheReadoutAndTheImageOnTheClipboard) {
    Session s;
    Tfrmmain& f = s.Form();
    s.desktop.screen = [](int, int) { return 0x0080FF; };
    s.TickPaintTick();

    f.CopyColortoClipboard2.Click();
    EXPECT_EQ(s.desktop.clipboardText, "RGB : 255,128,0");
    ASSERT_EQ(s.desktop.messages.size(), 1u);
    EXPECT_EQ(s.desktop.messages[0].text, "copied");
    EXPECT_EQ(s.desktop.messages[0].caption, "Lupenta");
    EXPECT_TRUE(s.desktop.messages[0].centred);

    f.mnuHTML.Click();
    f.Timer1Timer();
    f.CopyColortoClipboard2.Click();
    EXPECT_EQ(s.desktop.clipboardText, "#FF8000");

    f.mnuCopyCoord1.Click();
    EXPECT_EQ(s.desktop.clipboardText, "Position: 1000, 500");
    EXPECT_EQ(s.desktop.messages.size(), 2u) << "only a colour copy says so";

    s.desktop.calls.clear();
    f.CopyImagetoClipboard1.Click();
    EXPECT_EQ(s.desktop.calls, (std::vector<std::string>{"ClearClipboard", "SetClipboardBitmap"}));
    EXPECT_FALSE(s.desktop.clipboardText.has_value());
    ASSERT_TRUE(s.desktop.clipboardBitmap.has_value());
    EXPECT_EQ(s.desktop.clipboardBitmap->Width(), 468);
    EXPECT_EQ(s.desktop.clipboardBitmap->Height(), 253);
    EXPECT_EQ(s.desktop.clipboardBitmap->PixelAt(234, 126), 0x0080FFu);
}

TEST(Commands, EveryShortcutRunsItsItem) {
    struct Case {
        const char* item;
        std::uint16_t shortcut;
        const char* text;
    };
    const Case cases[] = {
        {"InvertImage1", 0xC049, "Ctrl+Alt+I"},
        {"FlipHorizontally1", 0xC048, "Ctrl+Alt+H"},
        {"FlipVertically1", 0xC056, "Ctrl+Alt+V"},
        {"StayOnTop1", 0xC020, "Ctrl+Alt+Space"},
        {"MakeWindowTransparent1", 0xC054, "Ctrl+Alt+T"},
        {"FlipwhenHovered1", 0xC050, "Ctrl+Alt+P"},
        {"FixedLocation1", 0xC046, "Ctrl+Alt+F"},
        {"SetVirtualOrigin1", 0xC04F, "Ctrl+Alt+O"},
        {"SetContrastReference1", 0xC052, "Ctrl+Alt+R"},
        {"CopyImagetoClipboard1", 0xC043, "Ctrl+Alt+C"},
        {"Enabled1", 0xC045, "Ctrl+Alt+E"},
        {"ShowHideProgram1", 0xC047, "Ctrl+Alt+G"},
        {"ShowHelpfile1", 0x0070, "F1"},
        {"Exit1", 0x8073, "Alt+F4"},
    };
    Session s;
    std::vector<std::string> ran;
    for (const Case& c : cases) {
        ui::TMenuItem& item = s.Item(c.item);
        EXPECT_EQ(ui::ShortCutToText(item.ShortCut), c.text) << c.item;
        item.OnClick = [&ran, name = item.Name(), click = item.OnClick] {
            ran.push_back(name);
            click();
        };
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        ran.clear();
        EXPECT_TRUE(s.Form().mnuMain.DispatchShortCut(c.shortcut));
        EXPECT_EQ(ran, std::vector<std::string>{c.item});
    }
    EXPECT_FALSE(s.Form().mnuMain.DispatchShortCut(ui::kCtrl | ui::kAlt | 'A'));
}

TEST(Commands, CtrlAltSpaceTogglesStayOnTopAndLeavesSamplingAlone) {
    Session s;
    Tfrmmain& f = s.Form();
    f.mnuMain.DispatchShortCut(ui::kCtrl | ui::kAlt | ' ');
    EXPECT_TRUE(f.StayOnTop1.Checked);
    EXPECT_EQ(s.Stored("Stayontop1_Checked"), "True");
    EXPECT_TRUE(f.Timer1.Enabled);
    EXPECT_TRUE(f.Enabled1.Checked);
    f.mnuMain.DispatchShortCut(ui::kCtrl | ui::kAlt | ' ');
    EXPECT_FALSE(f.StayOnTop1.Checked);
    EXPECT_TRUE(f.Timer1.Enabled);

    f.mnuMain.DispatchShortCut(ui::kCtrl | ui::kAlt | 'E');
    EXPECT_FALSE(f.Timer1.Enabled);
    EXPECT_FALSE(f.Enabled1.Checked);
}

TEST(Commands, WriteSettingsWritesItsFifteenValuesInOrder) {
    Session s;
    EXPECT_EQ(s.Text(), "") << "showing the window writes nothing";
    Tfrmmain& f = s.Form();
    f.InvertImage1.Checked = true;
    f.DrawGrid1.Checked = true;
    f.Panel1.Visible = false;
    f.showtitle = true;
    f.RGBValues1.Checked = false;
    f.AboutLupenta1.Tag = 6;
    f.Timer1.Interval = 33;
    f.memX = -3;
    f.memY = 12;
    f.pixlevel = 5;
    f.WriteSettings();
    EXPECT_EQ(s.Text(), "[Lupenta]\r\n"
                        "InvertImage1_Checked=True\r\n"
                        "DrawCrossHair1_Checked=False\r\n"
                        "DrawGrid1_Checked=True\r\n"
                        "Panel1_Visible=False\r\n"
                        "MakeWindowTransparent1_Checked=False\r\n"
                        "ShowCursor1_Checked=True\r\n"
                        "ShowTitlebar=True\r\n"
                        "Stayontop1_Checked=False\r\n"
                        "RGBValues1_Checked=False\r\n"
                        "Smoothen1_Checked=False\r\n"
                        "Combobox1_Itemindex=6\r\n"
                        "Timer1_Interval=33\r\n"
                        "memX=-3\r\n"
                        "memY=12\r\n"
                        "Pixlevel=5\r\n"
                        "\r\n");
}

TEST(Commands, ShowAppliesTheSettingsFile) {
    struct Case {
        const char* name;
        const char* lines;
        std::function<void(Session&)> check;
    };
    const Case cases[] = {
        {"first run", nullptr,
         [](Session& s) {
             Tfrmmain& f = s.Form();
             EXPECT_EQ(s.View().Zoom(), 2);
             EXPECT_EQ(s.ZoomChecks(), OnlyZoom(1));
             EXPECT_EQ(f.AboutLupenta1.Tag.Get(), 1);
             EXPECT_FALSE(f.showtitle);
             EXPECT_FALSE(f.AllowClose);
             EXPECT_FALSE(f.InvertImage1.Checked);
             EXPECT_TRUE(s.View().ShowCursor());
             EXPECT_TRUE(s.View().Getcolor());
             EXPECT_TRUE(f.ShowPanel1.Checked);
             EXPECT_EQ(Session::Checked(s.SpacingItems()), std::vector<std::string>{"NoGrid1"});
             EXPECT_EQ(f.Caption(), "Lupenta 15.0");
             EXPECT_TRUE(s.desktop.messages.empty());
         }},
        {"inverted", "InvertImage1_Checked=True",
         [](Session& s) {
             EXPECT_TRUE(s.Form().InvertImage1.Checked);
             EXPECT_TRUE(s.View().Invert());
         }},
        {"TRUE is not True here", "InvertImage1_Checked=TRUE",
         [](Session& s) {
             EXPECT_FALSE(s.Form().InvertImage1.Checked);
             EXPECT_FALSE(s.View().Invert());
         }},
        {"1 is not True here", "InvertImage1_Checked=1",
         [](Session& s) { EXPECT_FALSE(s.View().Invert()); }},
        {"title bar", "ShowTitlebar=True", [](Session& s) { EXPECT_TRUE(s.Form().showtitle); }},
        {"title bar in lower case", "ShowTitlebar=true",
         [](Session& s) { EXPECT_FALSE(s.Form().showtitle); }},
        {"zoom index out of range", "cbxZoomLevel_ItemIndex=16",
         [](Session& s) {
             EXPECT_EQ(s.View().Zoom(), 1);
             EXPECT_EQ(s.ZoomChecks(), OnlyZoom(0));
         }},
        {"negative zoom index", "cbxZoomLevel_ItemIndex=-1",
         [](Session& s) {
             EXPECT_EQ(s.View().Zoom(), 1);
             EXPECT_EQ(s.ZoomChecks(), OnlyZoom(0));
         }},
        {"grid spacing 7", "pixlevel=7",
         [](Session& s) {
             EXPECT_EQ(s.Form().pixlevel, 7);
             EXPECT_EQ(s.View().Gridlevel(), 7);
             EXPECT_TRUE(Session::Checked(s.SpacingItems()).empty());
         }},
        {"grid spacing 20", "Pixlevel=20",
         [](Session& s) {
             EXPECT_EQ(s.View().Gridlevel(), 20);
             EXPECT_EQ(Session::Checked(s.SpacingItems()), std::vector<std::string>{"N20pixels1"});
         }},
        {"30 per second", "Timer1_Interval=33",
         [](Session& s) {
             EXPECT_EQ(s.Form().Timer1.Interval.Get(), 33);
             EXPECT_EQ(Session::Checked(s.RateItems()), std::vector<std::string>{"N30xpersecond1"});
         }},
        {"unknown interval", "Timer1_Interval=50",
         [](Session& s) {
             EXPECT_EQ(s.Form().Timer1.Interval.Get(), 50);
             EXPECT_TRUE(Session::Checked(s.RateItems()).empty());
         }},
        {"HTML notation", "RGBValues1_Checked=FALSE",
         [](Session& s) {
             Tfrmmain& f = s.Form();
             EXPECT_TRUE(f.HTMLCode1.Checked);
             EXPECT_TRUE(f.mnuHTML.Checked);
             EXPECT_FALSE(f.RGBValues1.Checked);
             EXPECT_FALSE(f.mnuRGB.Checked);
         }},
        {"no tray", "StayinSystemTray1_Checked=FALSE",
         [](Session& s) { EXPECT_TRUE(s.Form().AllowClose); }},
        {"panel hidden", "Panel1_Visible=False",
         [](Session& s) {
             EXPECT_FALSE(s.Form().ShowPanel1.Checked);
             EXPECT_FALSE(s.View().Getcolor());
         }},
        {"fixed location", "memX=-40\r\nmemY=$10",
         [](Session& s) {
             EXPECT_EQ(s.Form().memX, -40);
             EXPECT_EQ(s.Form().memY, 16);
         }},
        // Numbers at the ends of the range are held where the tick and the paint can work
        // with them: the grid's z * spacing once wrapped to 0 and divided by it, and the
        // pointer's distance from the fixed location overflowed.
        {"grid spacing beyond any view", "pixlevel=1073741824",
         [](Session& s) {
             EXPECT_EQ(s.Form().pixlevel, 65536);
             EXPECT_EQ(s.View().Gridlevel(), 65536);
             s.TickPaintTick();
             EXPECT_GT(s.surface.presents, 0);
         }},
        {"negative grid spacing", "pixlevel=-2147483648",
         [](Session& s) { EXPECT_EQ(s.View().Gridlevel(), -65536); }},
        {"fixed location at the ends of the range",
         "FixedLocation1_Checked=TRUE\r\nmemX=-2147483648\r\nmemY=2147483647",
         [](Session& s) {
             EXPECT_EQ(s.Form().memX, -(1 << 20));
             EXPECT_EQ(s.Form().memY, 1 << 20);
             s.TickPaintTick();
             EXPECT_EQ(s.View().ScreenLeft(), 0);
             EXPECT_GT(s.surface.presents, 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s(c.lines ? std::optional<std::string>(std::string("[Lupenta]\r\n") + c.lines)
                          : std::nullopt);
        c.check(s);
    }
}

TEST(Commands, AnIntegerThatIsNoNumberIsReportedAndTheShowGoesOn) {
    for (const std::string key : {"memX", "memY", "pixlevel"}) {
        SCOPED_TRACE(key);
        const auto value = [&](const char* name, const char* number) {
            return std::string(name) + "=" + (key == name ? "abc" : number) + "\r\n";
        };
        const std::string ini = "[Lupenta]\r\n" + value("memX", "11") + value("memY", "22") +
                                value("pixlevel", "5") +
                                "cbxZoomLevel_ItemIndex=6\r\nShowTitlebar=True\r\n";
        Session s(ini);
        Tfrmmain& f = s.Form();
        ASSERT_EQ(s.desktop.messages.size(), 1u);
        EXPECT_EQ(s.desktop.messages[0].text, "'abc' is not a valid integer value");
        EXPECT_EQ(s.desktop.messages[0].caption, "Lupenta");
        EXPECT_EQ(s.desktop.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(f.memX, key == "memX" ? 0 : 11);
        EXPECT_EQ(f.memY, key == "memY" ? 0 : 22);
        EXPECT_EQ(f.pixlevel, key == "pixlevel" ? 0 : 5);
        EXPECT_EQ(s.View().Gridlevel(), f.pixlevel);
        // The steps after the failed read still ran.
        EXPECT_EQ(s.View().Zoom(), 8);
        EXPECT_EQ(s.ZoomChecks(), OnlyZoom(6));
        EXPECT_TRUE(f.showtitle);
        EXPECT_EQ(f.AboutLupenta1.Tag.Get(), 6);
    }
}

TEST(Commands, WebSiteThatFailsToOpenShowsTheAddressOnItsOwnLine) {
    for (const int result : {42, 31, 2, 0}) {
        SCOPED_TRACE(result);
        Session s;
        s.desktop.shellResult = result;
        s.Form().VisitTarnwellSoftwareWebsite1.Click();
        const std::string address = VendorHomePage();
        EXPECT_EQ(address.rfind("http://", 0), 0u);
        EXPECT_EQ(s.desktop.opened, std::vector<std::string>{address});
        if (result >= 32) {
            EXPECT_TRUE(s.desktop.messages.empty());
            continue;
        }
        ASSERT_EQ(s.desktop.messages.size(), 1u);
        EXPECT_EQ(s.desktop.messages[0].text, "The following link is invalid :\n\r" + address);
        EXPECT_EQ(s.desktop.messages[0].caption, "Warning");
        EXPECT_EQ(s.desktop.messages[0].icon, MessageIcon::Warning);
        EXPECT_FALSE(s.desktop.messages[0].centred);
    }
}

TEST(Commands, HelpPageFailureIsSilent) {
    Session s;
    s.desktop.shellResult = 2;
    s.Form().mnuMain.DispatchShortCut(0x70);
    ASSERT_EQ(s.desktop.opened.size(), 1u);
    const std::string& page = s.desktop.opened[0];
    EXPECT_EQ(page.rfind("https://", 0), 0u);
    EXPECT_EQ(page.substr(page.size() - 14), "/lupenta/help/");
    EXPECT_TRUE(s.desktop.messages.empty());
}

} // namespace
} // namespace lupenta

namespace lupenta {
namespace {

TEST(Commands, SampleSizeStaysInStepAcrossBothMenusAndIsWrittenOnceChosen) {
    Session s;
    Tfrmmain& f = s.Form();
    ASSERT_EQ(f.sampleSizeItems.size(), 6u);
    EXPECT_EQ(f.SampleSize1.Items().size(), 3u);
    EXPECT_EQ(f.mnuSampleSize.Items().size(), 3u);
    EXPECT_EQ(f.ColorDisplay1.Items().back(), &f.SampleSize1) << "after the notations";
    EXPECT_EQ(f.mnuColorDisplay.Items().back(), &f.mnuSampleSize);
    EXPECT_EQ(s.View().SampleSize(), 1);
    EXPECT_EQ(s.Stored("SampleSize"), "-") << "the default is not written";

    const struct {
        const char* item;
        int size;
    } steps[] = {{"mnuSampleSize5x5", 5}, {"SampleSize3x3", 3}, {"mnuSampleSize1x1", 1}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.item);
        s.Item(step.item).Click();
        EXPECT_EQ(s.View().SampleSize(), step.size);
        for (const auto& item : f.sampleSizeItems)
            EXPECT_EQ(item->Checked.Get(), item->Tag == step.size) << item->Name();
        EXPECT_EQ(s.Stored("SampleSize"), std::to_string(step.size));
    }
}

TEST(Commands, ShowRestoresAStoredSampleSizeAndIgnoresOneNotOffered) {
    for (const auto& [stored, expected] : {std::pair{"5", 5}, {"3", 3}, {"4", 1}, {"-3", 1}}) {
        SCOPED_TRACE(stored);
        Session s(std::string("[Lupenta]\r\nSampleSize=") + stored + "\r\n");
        EXPECT_EQ(s.View().SampleSize(), expected);
        EXPECT_TRUE(s.Item("SampleSize" + std::to_string(expected) + "x" + std::to_string(expected))
                        .Checked);
    }
}

TEST(Commands, CopyColorCopiesTheApertureMean) {
    Session s;
    s.desktop.screen = [](int x, int y) { return (x + y) % 2 ? kWhite : kBlack; };
    s.Item("SampleSize3x3").Click();
    s.TickPaintTick();
    // 1000 + 500 is even: black at the centre, five of nine black, 4 * 255 / 9 = 113.33.
    EXPECT_EQ(s.Form().pnlColor.Caption.Get(), "RGB : 113,113,113");
    s.Form().CopyColortoClipboard1Click();
    EXPECT_EQ(s.desktop.clipboardText, "RGB : 113,113,113");
}

} // namespace
} // namespace lupenta
