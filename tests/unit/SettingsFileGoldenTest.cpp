#include "app/Program.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileSystem.h"
#include "support/FakeFormWindow.h"
#include "support/FakeRunKey.h"

#include <gtest/gtest.h>

#include <string>

namespace lupenta {
namespace {

using testing::FakeDesktop;
using testing::FakeFileSystem;
using testing::FakeFormWindow;

const std::string kIni = "C:\\Program Files\\Lupenta\\Lupenta.ini";

// The window's own values come first with the texts of the window's writer, which also has the
// last word on the keys it shares with the stored properties; then the placement save, and
// the stored properties that have a line of their own.
const std::string kAfterInvertAndExit = "[Lupenta]\r\n"
                                        "InvertImage1_Checked=True\r\n"
                                        "DrawCrossHair1_Checked=False\r\n"
                                        "DrawGrid1_Checked=False\r\n"
                                        "Panel1_Visible=True\r\n"
                                        "MakeWindowTransparent1_Checked=False\r\n"
                                        "ShowCursor1_Checked=True\r\n"
                                        "ShowTitlebar=False\r\n"
                                        "Stayontop1_Checked=False\r\n"
                                        "RGBValues1_Checked=True\r\n"
                                        "Smoothen1_Checked=False\r\n"
                                        "Combobox1_Itemindex=1\r\n"
                                        "Timer1_Interval=66\r\n"
                                        "memX=0\r\n"
                                        "memY=0\r\n"
                                        "Pixlevel=0\r\n"
                                        "FormVersion=0\r\n"
                                        "Flags=0\r\n"
                                        "PixelsPerInch=96\r\n"
                                        "MinMaxPos(1920x1080)=-1,-1,-1,-1\r\n"
                                        "MinMaxPos=-1,-1,-1,-1\r\n"
                                        "NormPos(1920x1080)=100,100,584,421\r\n"
                                        "NormPos=100,100,584,421\r\n"
                                        "cbxZoomLevel_ItemIndex=1\r\n"
                                        "FixedLocation1_Checked=FALSE\r\n"
                                        "StayinSystemTray1_Checked=TRUE\r\n"
                                        "DrawFixedGrid1_Checked=FALSE\r\n"
                                        "btnType_Down=FALSE\r\n"
                                        "FollowCaretPosition1_Checked=FALSE\r\n"
                                        "FlipwhenHovered1_Checked=FALSE\r\n"
                                        "FlipVertically1_Checked=FALSE\r\n"
                                        "FlipHorizontally1_Checked=FALSE\r\n"
                                        "\r\n";

// Built, laid out and shown for the first time, as the entry point does it.
void StartAsThePlatformDoes(Program& program, RunKey& runKey) {
    program.Create({}, runKey);
    program.form.ClientResized(468, 282);
    program.Show();
}

TEST(SettingsFileGolden, FirstRunInvertThenExit) {
    FakeDesktop desktop;
    FakeFileSystem files;
    FakeFormWindow window;
    testing::FakeRunKey runKey;
    {
        Program program(desktop, files, window);
        StartAsThePlatformDoes(program, runKey);
        program.form.SetVisible(true);

        program.form.InvertImage1Click();

        program.form.Exit1Click();
        ASSERT_TRUE(program.CloseQuery());
        window.visible = false;
        program.Destroy();
        EXPECT_FALSE(files.files.count(kIni)) << "the file is written only when the store goes";
    }
    ASSERT_TRUE(files.files.count(kIni));
    EXPECT_EQ(files.files.at(kIni), kAfterInvertAndExit);
}

TEST(SettingsFileGolden, TheNextStartComesBackInverted) {
    FakeDesktop desktop;
    FakeFileSystem files;
    files.files[kIni] = kAfterInvertAndExit;
    FakeFormWindow window;
    testing::FakeRunKey runKey;
    Program program(desktop, files, window);
    StartAsThePlatformDoes(program, runKey);
    EXPECT_TRUE(program.form.InvertImage1.Checked);
    EXPECT_TRUE(program.form.imageview1->Invert());
    EXPECT_EQ(program.form.imageview1->Zoom(), 2);
    EXPECT_TRUE(program.form.Panel1.Visible);
    EXPECT_EQ(window.applied.size(), 1u) << "the saved placement is applied";
}

// Each way the program ends, with the window on screen, hidden to the tray or never shown: what
// the user set comes back at the next start.
enum class Screen { Shown, HiddenToTray, NeverShown };

struct WayOut {
    const char* name;
    Screen screen;
    void (*leave)(Program&);
};

void PrintTo(const WayOut& way, std::ostream* out) {
    *out << way.name;
}

class EveryWayOut : public ::testing::TestWithParam<WayOut> {};

TEST_P(EveryWayOut, KeepsTheSettings) {
    FakeDesktop desktop;
    FakeFileSystem files;
    FakeFormWindow window;
    testing::FakeRunKey runKey;
    {
        Program program(desktop, files, window);
        StartAsThePlatformDoes(program, runKey);
        program.form.SetVisible(true);
        program.form.InvertImage1Click();
        program.form.FlipHorizontally1Click();
        program.form.N1pixel1Click(program.form.N5pixels1);
        program.form.ImageView1DblClick();
        // Hidden through the menu, the placement is saved on the way to the tray.
        if (GetParam().screen == Screen::HiddenToTray)
            program.form.ShowHideProgram1Click();
        if (GetParam().screen != Screen::Shown) {
            program.form.SetVisible(false);
            window.visible = false;
        }
        GetParam().leave(program);
    }
    ASSERT_TRUE(files.files.count(kIni));
    const std::string& file = files.files.at(kIni);
    for (const char* line : {"InvertImage1_Checked=True\r\n", "FlipHorizontally1_Checked=TRUE\r\n",
                             "Pixlevel=5\r\n", "ShowTitlebar=True\r\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line << " missing from\n" << file;

    Program again(desktop, files, window);
    StartAsThePlatformDoes(again, runKey);
    EXPECT_TRUE(again.form.imageview1->Invert());
    EXPECT_TRUE(again.form.imageview1->FlipHorizontal());
    EXPECT_EQ(again.form.imageview1->Gridlevel(), 5);
    EXPECT_TRUE(again.form.showtitle);
}

void CloseAllowed(Program& program) {
    if (program.CloseQuery())
        program.Destroy();
}

INSTANTIATE_TEST_SUITE_P(
    SettingsFileGolden, EveryWayOut,
    ::testing::Values(WayOut{"ExitWhileShown", Screen::Shown,
                             [](Program& p) {
                                 p.form.Exit1Click();
                                 CloseAllowed(p);
                             }},
                      WayOut{"ExitFromTheTrayWhileHidden", Screen::HiddenToTray,
                             [](Program& p) {
                                 p.form.Exit1Click();
                                 CloseAllowed(p);
                             }},
                      WayOut{"ExitFromTheTrayNeverShown", Screen::NeverShown,
                             [](Program& p) {
                                 p.form.Exit1Click();
                                 CloseAllowed(p);
                             }},
                      WayOut{"CloseBoxWithoutTray", Screen::Shown,
                             [](Program& p) {
                                 p.ApplyStartupSwitches(
                                     StartupRequests{.allowClose = true, .noTray = true});
                                 p.form.btnCloseClick();
                                 CloseAllowed(p);
                             }},
                      WayOut{"EndOfSessionWhileHidden", Screen::HiddenToTray,
                             [](Program& p) { p.EndSession(); }}),
    [](const ::testing::TestParamInfo<WayOut>& info) { return std::string(info.param.name); });

// Log-off ends the process without the usual close; nothing the user set may be lost.
TEST(SettingsFileGolden, EndingTheSessionWritesWhatExitWould) {
    FakeDesktop desktop;
    FakeFileSystem files;
    FakeFormWindow window;
    testing::FakeRunKey runKey;
    Program program(desktop, files, window);
    StartAsThePlatformDoes(program, runKey);
    program.form.SetVisible(true);
    program.form.InvertImage1Click();

    program.EndSession();
    ASSERT_TRUE(files.files.count(kIni)) << "written before the process is ended";
    EXPECT_EQ(files.files.at(kIni), kAfterInvertAndExit);
}

} // namespace
} // namespace lupenta
