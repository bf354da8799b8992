#include "support/FakeDesktop.h"
#include "win32/Pump.h"
#include "win32/TrayWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include <windows.h>

namespace lupenta::win32 {
namespace {

// Sees where and with which window in front the menu would pop up, without tracking it.
class RecordingMenuPeer : public ui::PopupMenuPeer {
public:
    void Popup(ui::TPopupMenu&, int x, int y) override {
        at = Point{x, y};
        foreground = GetForegroundWindow();
    }
    std::optional<Point> at;
    HWND foreground = nullptr;
};

// A shown top-level window in the main window's place, with the tray configured as the
// program configures it.
class TrayTest : public ::testing::Test {
protected:
    TrayTest() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LupentaTrayTestMain";
        RegisterClassW(&wc);
        main = CreateWindowExW(0, L"LupentaTrayTestMain", L"Main", WS_OVERLAPPEDWINDOW, 100, 100,
                               400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(main, SW_SHOW);
        PumpFor(5);
        tray = std::make_unique<TrayWindow>(main, desktop);
        Icon().Hint = "Lupenta";
        Icon().PopupMenu = &menu;
        Icon().Visibility = TTrayIcon::kMainWindowVisibility;
    }
    ~TrayTest() override {
        tray.reset();
        DestroyWindow(main);
        PumpFor(5);
    }

    TTrayIcon& Icon() { return tray->Icon(); }
    // Only an icon that the shell holds can be modified.
    bool ShellHoldsTheIcon() { return tray->Send(NotifyRequest::Modify, kNotifyTip).ok; }
    void Notify(UINT notification, LPARAM highBits = 0) {
        SendMessageW(tray->Hwnd(), TrayWindow::kCallbackMessage, 1,
                     highBits | static_cast<LPARAM>(notification));
    }
    bool Visible() { return IsWindowVisible(main) != FALSE; }

    testing::FakeDesktop desktop;
    ui::TPopupMenu menu{"mnuMain"};
    HWND main = nullptr;
    std::unique_ptr<TrayWindow> tray;
};

TEST_F(TrayTest, HiddenWindowIsAZeroSizeToolWindowOfItsOwn) {
    const HWND hidden = tray->Hwnd();
    ASSERT_TRUE(IsWindow(hidden));
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_TRUE(GetWindowLongPtrW(hidden, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(GetWindowLongPtrW(hidden, GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(GetWindow(hidden, GW_OWNER), nullptr);
    EXPECT_EQ(GetAncestor(hidden, GA_PARENT), GetDesktopWindow());
    RECT r{};
    GetWindowRect(hidden, &r);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
}

TEST_F(TrayTest, ActiveAddsTheIconAndDeletesIt) {
    Icon().Active = true;
    EXPECT_TRUE(Icon().IconShown());
    EXPECT_TRUE(ShellHoldsTheIcon());

    Icon().Active = false;
    EXPECT_FALSE(Icon().IconShown());
    EXPECT_FALSE(ShellHoldsTheIcon());
    EXPECT_TRUE(Visible()) << "the icon alone changes nothing on screen";
}

TEST_F(TrayTest, ShellBroadcastsDeleteTheIconAndAddItAgain) {
    Icon().Active = true;
    SendMessageW(tray->Hwnd(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Icon().IconShown());
    EXPECT_TRUE(ShellHoldsTheIcon());

    SendMessageW(tray->Hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(ShellHoldsTheIcon());
    SendMessageW(tray->Hwnd(), WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(ShellHoldsTheIcon());
}

// Without an icon too, which is how they run with no tray.
TEST_F(TrayTest, HideAndShowApplicationTakeTheWindowOffAndBack) {
    Icon().HideApplication();
    EXPECT_FALSE(Visible());
    Icon().ShowApplication();
    EXPECT_TRUE(Visible());

    ShowWindow(main, SW_MINIMIZE);
    Icon().HideApplication();
    EXPECT_FALSE(Visible());
    Icon().ShowApplication();
    EXPECT_TRUE(Visible());
    EXPECT_FALSE(IsIconic(main));
}

TEST_F(TrayTest, MinimiseCommandHidesToTheTrayWhileActive) {
    Icon().Active = true;
    SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(Visible());
    EXPECT_FALSE(IsIconic(main)) << "the minimise itself must not happen";
    EXPECT_FALSE(Icon().Visibility.Get().Contains(tvVisibleTaskBar));

    Icon().ShowApplication();
    Icon().Active = false;
    SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(Visible());
    EXPECT_TRUE(IsIconic(main));
}

TEST_F(TrayTest, LeftClicksOnTheIconHideAndShow) {
    Icon().Active = true;
    // Only the low 32 bits of the callback's lParam carry the notification.
    const LPARAM noise = ~static_cast<LPARAM>(0xFFFFFFFFu);
    Notify(WM_LBUTTONDOWN, noise);
    Notify(WM_LBUTTONUP, noise);
    EXPECT_FALSE(Visible());
    Notify(WM_LBUTTONDOWN);
    Notify(WM_LBUTTONUP);
    EXPECT_TRUE(Visible());
}

TEST_F(TrayTest, MenuOpensAtThePointerWithTheTrayWindowInFront) {
    RecordingMenuPeer peer;
    menu.AttachPeer(&peer);
    desktop.pointer = Point{1700, 1060};
    Icon().Active = true;
    Notify(WM_CONTEXTMENU);
    ASSERT_TRUE(peer.at);
    EXPECT_EQ(*peer.at, (Point{1700, 1060}));
    EXPECT_EQ(peer.foreground, tray->Hwnd());
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, tray->Hwnd(), WM_NULL, WM_NULL, PM_REMOVE))
        << "a message follows the menu";
}

} // namespace
} // namespace lupenta::win32
