#include "tray/TrayIcon.h"
#include "support/FakeApplicationWindow.h"
#include "support/FakeDesktop.h"
#include "support/FakeNotificationArea.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace lupenta {
namespace {

using testing::FakeApplicationWindow;
using testing::FakeDesktop;
using testing::FakeNotificationArea;
using Request = FakeNotificationArea::Request;
using enum NotifyRequest;

constexpr std::uint32_t kAddFlags = 7;
constexpr NotifyResult kTimeout{false, TTrayIcon::kErrorTimeout};
constexpr NotifyResult kDone{true, 0};

// How the main window stands when a case begins.
enum class Start { Visible, Minimised, Hidden };

// The icon configured as the main window configures it. It starts inactive, so each test
// chooses when the icon goes into the notification area.
class TrayIconTest : public ::testing::Test {
protected:
    TrayIconTest() {
        tray.Hint = "Lupenta";
        tray.PopupMenu = &menu;
        tray.Visibility = TTrayIcon::kMainWindowVisibility;
    }

    void Activate() {
        tray.Active = true;
        area.requests.clear();
    }

    // The window as the window manager holds it, and the task-bar flag, which is set through
    // the icon's own operations so that no change handling runs.
    void Put(Start start, std::optional<bool> taskBar = std::nullopt) {
        if (taskBar.value_or(start != Start::Hidden))
            tray.ShowApplication();
        else
            tray.HideApplication();
        window.visible = start != Start::Hidden;
        window.iconic = start == Start::Minimised;
        window.calls.clear();
    }

    bool TaskBarFlag() const { return tray.Visibility.Get().Contains(tvVisibleTaskBar); }

    FakeDesktop desktop;
    FakeNotificationArea area;
    FakeApplicationWindow window;
    ui::TPopupMenu menu{"mnuMain"};
    TTrayIcon tray{area, window, desktop};
};

TEST_F(TrayIconTest, ActiveAddsTheIconAndDeletesIt) {
    tray.Hint = "Lupenta|second line";
    tray.Active = true;
    EXPECT_EQ(area.requests,
              (std::vector<Request>{{Add, kAddFlags, "Lupenta"}, {SetVersion, 0, "Lupenta"}}));
    EXPECT_TRUE(area.iconPresent);
    EXPECT_TRUE(tray.IconShown());

    tray.Active = true;
    EXPECT_EQ(area.requests.size(), 2u) << "activating an active icon sends nothing";

    area.requests.clear();
    tray.Active = false;
    EXPECT_EQ(area.requests, (std::vector<Request>{{Delete, 0, "Lupenta"}}));
    EXPECT_FALSE(area.iconPresent);
    EXPECT_FALSE(tray.IconShown());
    EXPECT_TRUE(window.calls.empty()) << "the icon alone changes nothing on screen";
}

TEST_F(TrayIconTest, DestroyingAnActiveIconDeletesIt) {
    {
        TTrayIcon other{area, window, desktop};
        other.Active = true;
        EXPECT_TRUE(area.iconPresent);
    }
    EXPECT_FALSE(area.iconPresent);
    EXPECT_EQ(area.Kinds().back(), Delete);
}

struct ClickCase {
    const char* name;
    Start start;
    std::vector<std::uint32_t> notifications;
    bool visibleAfter;
    bool taskBarAfter;
    int menusOpened;
};

TEST_F(TrayIconTest, ClicksOnTheIcon) {
    const ClickCase cases[] = {
        {"left click hides", Start::Visible, {0x201, 0x202}, false, false, 0},
        {"left click shows", Start::Hidden, {0x201, 0x202}, true, true, 0},
        {"left click restores a minimised window", Start::Minimised, {0x201, 0x202}, true, true, 0},
        {"second left click brings it back",
         Start::Visible,
         {0x201, 0x202, 0x201, 0x202},
         true,
         true,
         0},
        {"double click hides once", Start::Visible, {0x201, 0x202, 0x203, 0x202}, false, false, 0},
        {"double click shows once", Start::Hidden, {0x201, 0x202, 0x203, 0x202}, true, true, 0},
        {"button-up without a press", Start::Visible, {0x202}, true, true, 0},
        {"right click opens the menu once", Start::Visible, {0x204, 0x205, 0x7B}, true, true, 1},
        {"right button-up alone opens nothing", Start::Visible, {0x204, 0x205}, true, true, 0},
        {"right click on a hidden window", Start::Hidden, {0x204, 0x205, 0x7B}, false, false, 1},
        {"right double click", Start::Visible, {0x204, 0x205, 0x206, 0x205}, true, true, 0},
        {"keyboard selection opens the menu", Start::Hidden, {0x401}, false, false, 1},
        {"select is ignored", Start::Visible, {0x400}, true, true, 0},
        {"middle clicks do nothing", Start::Visible, {0x207, 0x208, 0x209, 0x208}, true, true, 0},
    };
    Activate();
    for (const ClickCase& c : cases) {
        SCOPED_TRACE(c.name);
        Put(c.start);
        area.popups.clear();
        for (std::uint32_t notification : c.notifications)
            tray.OnNotify(notification);
        EXPECT_EQ(window.visible, c.visibleAfter);
        EXPECT_FALSE(c.visibleAfter && window.iconic);
        EXPECT_EQ(TaskBarFlag(), c.taskBarAfter);
        EXPECT_EQ(static_cast<int>(area.popups.size()), c.menusOpened);
    }
}

TEST_F(TrayIconTest, MenuOpensAtThePointer) {
    Activate();
    desktop.pointer = Point{-300, 1070};
    tray.OnNotify(0x7B);
    ASSERT_EQ(area.popups.size(), 1u);
    EXPECT_EQ(area.popups[0].menu, "mnuMain");
    EXPECT_EQ(area.popups[0].at, (Point{-300, 1070}));

    desktop.pointer = std::nullopt;
    tray.OnNotify(0x7B);
    EXPECT_EQ(area.popups.size(), 1u) << "no pointer position, no menu";
}

struct ShowHideCase {
    const char* name;
    bool hide;
    Start start;
    std::vector<std::string> calls;
};

// Hiding and showing work the same without the icon, which is how they run with no tray.
TEST_F(TrayIconTest, HideAndShowApplication) {
    const ShowHideCase cases[] = {
        {"hide a visible window", true, Start::Visible, {"Hide"}},
        {"hide a minimised window", true, Start::Minimised, {"Hide"}},
        {"hide an already hidden one only drops the flag", true, Start::Hidden, {}},
        {"show a visible window only adds the flag", false, Start::Visible, {}},
        {"show a minimised window", false, Start::Minimised, {"Restore", "Activate"}},
        {"show a hidden window", false, Start::Hidden, {"Show", "Activate"}},
    };
    for (bool active : {false, true}) {
        tray.Active = active;
        for (const ShowHideCase& c : cases) {
            SCOPED_TRACE(::testing::Message() << c.name << (active ? ", active" : ", inactive"));
            Put(c.start, c.hide && c.start != Start::Hidden);
            area.requests.clear();
            if (c.hide)
                tray.HideApplication();
            else
                tray.ShowApplication();
            EXPECT_EQ(window.calls, c.calls);
            EXPECT_EQ(TaskBarFlag(), !c.hide);
            EXPECT_EQ(window.visible, !c.hide);
            EXPECT_TRUE(area.requests.empty());
        }
    }
}

TEST_F(TrayIconTest, HiddenMinimisedWindowComesBackRestored) {
    Put(Start::Minimised);
    tray.HideApplication();
    tray.ShowApplication();
    EXPECT_EQ(window.calls, (std::vector<std::string>{"Hide", "Restore", "Activate"}));
    EXPECT_TRUE(window.visible);
    EXPECT_FALSE(window.iconic);
}

TEST_F(TrayIconTest, MinimiseHidesOnlyWhileActiveWithAutoHide) {
    struct Case {
        bool active;
        bool autoHide;
        bool swallowed;
    };
    const Case cases[] = {{true, true, true}, {true, false, false}, {false, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "active " << c.active << ", auto-hide " << c.autoHide);
        tray.Active = c.active;
        tray.Visibility = c.autoHide ? TTrayIcon::kMainWindowVisibility
                                     : TTrayIcon::kMainWindowVisibility.Without(tvAutoHide);
        Put(Start::Visible);
        EXPECT_EQ(tray.OnMinimizeCommand(), c.swallowed);
        EXPECT_EQ(window.visible, !c.swallowed);
        EXPECT_EQ(TaskBarFlag(), !c.swallowed);
    }
}

TEST_F(TrayIconTest, VisibilityWhileInactiveIsOnlyStored) {
    tray.Visibility = TTrayIcon::kMainWindowVisibility.Without(tvVisibleTaskBar);
    EXPECT_EQ(tray.Visibility.Get(), TTrayIcon::kMainWindowVisibility.Without(tvVisibleTaskBar));
    EXPECT_TRUE(window.visible);
    EXPECT_TRUE(window.calls.empty());
    EXPECT_TRUE(area.requests.empty());
}

TEST_F(TrayIconTest, DroppingTheTaskBarFlagHidesAndAddingItShows) {
    Activate();
    tray.Visibility = tray.Visibility.Get().Without(tvVisibleTaskBar);
    EXPECT_FALSE(window.visible);
    tray.Visibility = tray.Visibility.Get().With(tvVisibleTaskBar);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"Hide", "Show", "Activate"}));
    EXPECT_TRUE(window.visible);
}

TEST_F(TrayIconTest, AddingAutoHideWhileMinimisedHidesTheApplication) {
    tray.Visibility = TTrayVisibility{tvVisibleTaskBar};
    Activate();
    Put(Start::Minimised);
    tray.Visibility = TTrayVisibility{tvVisibleTaskBar, tvAutoHide};
    EXPECT_FALSE(window.visible);
    EXPECT_EQ(tray.Visibility.Get(), TTrayVisibility{tvAutoHide});
}

struct RetryCase {
    const char* name;
    NotifyRequest request;
    std::vector<NotifyResult> script;
    std::vector<NotifyRequest> sent;
    int sleeps;
    bool shownAfter;
};

TEST_F(TrayIconTest, RequestsRetryWhileTheShellTimesOut) {
    const RetryCase cases[] = {
        {"add times out, then goes through",
         Add,
         {kTimeout, kTimeout, kDone},
         {Add, Modify, Add, SetVersion},
         1,
         true},
        {"add times out, the icon was added after all",
         Add,
         {kTimeout, kDone},
         {Add, Modify, SetVersion},
         1,
         true},
        {"add fails with no error code",
         Add,
         {{false, 0}, kDone},
         {Add, Modify, SetVersion},
         1,
         true},
        {"add refused", Add, {{false, 5}}, {Add}, 0, false},
        {"a second time-out waits again",
         Add,
         {kTimeout, kTimeout, kTimeout, kTimeout, kDone},
         {Add, Modify, Add, Modify, Add, SetVersion},
         2,
         true},
        {"set-version retries without a check",
         Add,
         {kDone, kTimeout, kDone},
         {Add, SetVersion, SetVersion},
         1,
         true},
        {"delete times out, the icon is gone after all",
         Delete,
         {kTimeout, kTimeout},
         {Delete, Modify},
         1,
         false},
        {"delete times out, then goes through",
         Delete,
         {kTimeout, kDone, kDone},
         {Delete, Modify, Delete},
         1,
         false},
        {"delete refused", Delete, {{false, 5}}, {Delete}, 0, true},
    };
    for (const RetryCase& c : cases) {
        SCOPED_TRACE(c.name);
        tray.Active = false;
        area.iconPresent = false;
        if (c.request == Delete)
            tray.Active = true;
        area.requests.clear();
        area.sleeps.clear();
        area.script.assign(c.script.begin(), c.script.end());
        tray.Active = c.request == Add;
        EXPECT_EQ(area.Kinds(), c.sent);
        EXPECT_EQ(area.sleeps, std::vector<int>(static_cast<std::size_t>(c.sleeps), 1000));
        EXPECT_EQ(tray.IconShown(), c.shownAfter);
        EXPECT_TRUE(area.script.empty());
        area.script.clear();
    }
}

TEST_F(TrayIconTest, AShellThatKeepsTimingOutIsTriedThirtyOneTimesMore) {
    area.script.assign(200, kTimeout);
    tray.Active = true;
    EXPECT_EQ(area.requests.size(), 1u + 31u * 2u);
    EXPECT_EQ(area.sleeps, std::vector<int>(31, 1000));
    EXPECT_FALSE(tray.IconShown());

    // The icon stays absent, so the next re-created task bar adds it.
    area.script.clear();
    area.requests.clear();
    tray.OnTaskbarCreated();
    EXPECT_EQ(area.Kinds(), (std::vector<NotifyRequest>{Add, SetVersion}));
    EXPECT_TRUE(tray.IconShown());
}

TEST_F(TrayIconTest, ARefusedDeleteLeavesTheIconCountedAsShown) {
    Activate();
    area.script = {{false, 5}};
    tray.Active = false;
    area.requests.clear();
    tray.Active = true;
    EXPECT_TRUE(area.requests.empty()) << "the icon still counts as shown";
}

TEST_F(TrayIconTest, TaskbarCreatedAddsTheIconAgain) {
    Activate();
    // A shell that restarted has lost the icon and refuses to delete it.
    area.iconPresent = false;
    tray.OnTaskbarCreated();
    EXPECT_EQ(area.Kinds(), (std::vector<NotifyRequest>{Delete, Add, SetVersion}));
    EXPECT_EQ(area.requests[1], (Request{Add, kAddFlags, "Lupenta"}));
    EXPECT_TRUE(area.iconPresent);
    EXPECT_TRUE(tray.IconShown());

    // A task bar that only announced itself again still holds the icon.
    area.requests.clear();
    tray.OnTaskbarCreated();
    EXPECT_EQ(area.Kinds(), (std::vector<NotifyRequest>{Delete, Add, SetVersion}));
    EXPECT_TRUE(area.iconPresent);

    tray.Active = false;
    area.requests.clear();
    tray.OnTaskbarCreated();
    EXPECT_TRUE(area.requests.empty());
}

TEST_F(TrayIconTest, EndOfSessionDeletesAndACancelledOneAddsAgain) {
    Activate();
    tray.OnEndSession(true);
    EXPECT_EQ(area.Kinds(), (std::vector<NotifyRequest>{Delete}));
    EXPECT_FALSE(area.iconPresent);

    tray.OnEndSession(false);
    EXPECT_EQ(area.Kinds(), (std::vector<NotifyRequest>{Delete, Add, SetVersion}));
    EXPECT_TRUE(area.iconPresent);

    area.requests.clear();
    tray.OnEndSession(false);
    EXPECT_TRUE(area.requests.empty()) << "an icon already shown is not added twice";

    tray.Active = false;
    area.requests.clear();
    tray.OnEndSession(false);
    EXPECT_TRUE(area.requests.empty());
}

TEST_F(TrayIconTest, NewHintReachesTheShellAtTheNextPointerMove) {
    Activate();
    tray.OnNotify(0x200);
    EXPECT_TRUE(area.requests.empty());

    tray.Hint = "Paused|detail";
    EXPECT_TRUE(area.requests.empty());
    tray.OnNotify(0x200);
    EXPECT_EQ(area.requests, (std::vector<Request>{{Modify, 4, "Paused"}}));
    tray.OnNotify(0x200);
    EXPECT_EQ(area.requests.size(), 1u);
}

} // namespace
} // namespace lupenta
