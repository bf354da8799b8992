#include "app/Program.h"
#include "support/FakeApplicationWindow.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileSystem.h"
#include "support/FakeFormWindow.h"
#include "support/FakeNotificationArea.h"
#include "support/FakeRunKey.h"
#include "ui/Application.h"

#include <gtest/gtest.h>

namespace lupenta {
namespace {

using testing::FakeDesktop;
using testing::FakeFileSystem;
using testing::FakeFormWindow;
using testing::FakeRunKey;

// The program's start as the entry point runs it: create with the arguments, show, then the
// switches.
class StartupTest : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& arguments) {
        program.Create(arguments, runKey);
        program.form.ClientResized(468, 282);
        program.Show();
        program.ApplyStartupSwitches(ParseStartupSwitches(arguments));
    }

    FakeDesktop desktop;
    FakeFileSystem files;
    FakeFormWindow window;
    FakeRunKey runKey;
    Program program{desktop, files, window};
};

TEST_F(StartupTest, ACoordinateArgumentSwitchesThePointerImageOffAtTheFirstShow) {
    Start({"Lupenta.exe", "x=5"});
    EXPECT_EQ(program.form.offsetx, 5);
    EXPECT_TRUE(program.form.Showcursor1.Checked);
    EXPECT_FALSE(program.form.imageview1->ShowCursor());
}

TEST_F(StartupTest, RunOnStartupShowsWhetherTheLogOnEntryExists) {
    runKey.values["Lupenta"] = "anything";
    Start({"Lupenta.exe"});
    EXPECT_TRUE(program.form.RunonStartup1.Checked);
}

TEST_F(StartupTest, SwitchesOverrideWhatTheFirstShowSet) {
    Start({"Lupenta.exe", "/ALLOWCLOSE", "/transparent:200"});
    EXPECT_TRUE(program.form.AllowClose) << "in spite of Stay in System Tray";
    EXPECT_EQ(program.form.Transparency, 200);
    EXPECT_FALSE(program.form.AlphaBlend()) << "translucent only once the item is checked";
    program.form.MakeWindowTransparent1Click();
    EXPECT_TRUE(program.form.AlphaBlend());
    EXPECT_EQ(program.form.AlphaBlendValue(), 200);
}

TEST_F(StartupTest, OpacityUsesTheLowEightBitsAndIgnoresNonPositiveValues) {
    Start({"Lupenta.exe", "/transparent:300"});
    program.form.MakeWindowTransparent1Click();
    EXPECT_EQ(program.form.AlphaBlendValue(), 44);

    FakeDesktop otherDesktop;
    FakeFileSystem otherFiles;
    Program other(otherDesktop, otherFiles, window);
    other.Create({"Lupenta.exe", "/transparent:-5"}, runKey);
    other.Show();
    other.ApplyStartupSwitches(ParseStartupSwitches({"Lupenta.exe", "/transparent:-5"}));
    EXPECT_EQ(other.form.Transparency, 160);
}

// The task-bar button and plain message boxes name the program; the window's own caption adds
// the version.
TEST_F(StartupTest, TheApplicationIsNamedApartFromTheWindowsCaption) {
    Start({"Lupenta.exe"});
    EXPECT_EQ(program.form.Caption(), "Lupenta 1.0");
    EXPECT_EQ(ui::Application.Title, "Lupenta");
    EXPECT_EQ(ui::Application.HelpFile, "Lupenta.chm");
}

// A hand-edited zoom index outside the list selects nothing, so the wheel moves from the
// first entry at once instead of working its way back from the bad index.
TEST_F(StartupTest, AZoomIndexOutsideTheListIsNoSelection) {
    for (const char* index : {"37", "16", "-5"}) {
        SCOPED_TRACE(index);
        FakeFileSystem edited;
        edited.files[edited.executableFolder + "\\Lupenta.ini"] =
            std::string("[Lupenta]\r\nFormVersion=0\r\ncbxZoomLevel_ItemIndex=") + index + "\r\n";
        Program other(desktop, edited, window);
        other.Create({"Lupenta.exe"}, runKey);
        other.form.ClientResized(468, 282);
        other.Show();
        EXPECT_EQ(other.form.cbxZoomLevel.ItemIndex, -1);
        EXPECT_EQ(other.form.imageview1->Zoom(), 1);
        EXPECT_TRUE(other.form.zoomItems.front()->Checked);
        other.form.ApplicationEvents1Message(120);
        EXPECT_EQ(other.form.cbxZoomLevel.ItemIndex, 0);
        other.form.ApplicationEvents1Message(120);
        EXPECT_EQ(other.form.cbxZoomLevel.ItemIndex, 1);
        EXPECT_EQ(other.form.imageview1->Zoom(), 2);
    }
}

} // namespace
} // namespace lupenta

namespace lupenta {
namespace {

// The same start with a tray icon over fakes of the notification area and the main window.
class TrayStartupTest : public StartupTest {
protected:
    TrayStartupTest() : tray(area, application, desktop) {}

    void StartWithTray(const std::vector<std::string>& arguments) {
        program.Create(arguments, runKey);
        program.AttachTray(tray);
        program.form.ClientResized(468, 282);
        program.Show();
        program.ApplyStartupSwitches(ParseStartupSwitches(arguments));
    }

    testing::FakeNotificationArea area;
    testing::FakeApplicationWindow application;
    TTrayIcon tray;
};

TEST_F(TrayStartupTest, TheIconIsThereBeforeTheFirstShow) {
    StartWithTray({"Lupenta.exe"});
    EXPECT_TRUE(area.iconPresent);
    EXPECT_EQ(area.tip, "Lupenta");
    EXPECT_EQ(tray.PopupMenu, &program.form.mnuMain);
    EXPECT_TRUE(application.visible);
    EXPECT_FALSE(program.form.AllowClose) << "closing hides to the tray";
}

TEST_F(TrayStartupTest, AutostartStartsHiddenInTheTray) {
    StartWithTray({"Lupenta.exe", "/autostart"});
    EXPECT_TRUE(area.iconPresent);
    EXPECT_FALSE(application.visible);
    EXPECT_FALSE(tray.Visibility.Get().Contains(tvVisibleTaskBar));
}

TEST_F(TrayStartupTest, NoTrayWinsOverAutostartAndClosingEnds) {
    StartWithTray({"Lupenta.exe", "/autostart", "/notray"});
    EXPECT_FALSE(area.iconPresent);
    EXPECT_TRUE(application.visible);
    EXPECT_TRUE(program.form.AllowClose);
}

} // namespace
} // namespace lupenta
