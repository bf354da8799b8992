#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"
#include "ui/Application.h"
#include "win32/MainWindow.h"
#include "win32/Pump.h"
#include "win32/TaskBarWindow.h"
#include "win32/Text.h"
#include "win32/TrayWindow.h"
#include "win32/Win32Desktop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

namespace lupenta::win32 {
namespace {

std::string TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return Narrow(text);
}

// The windows of this process that a task bar shows a button for: top-level, shown, owned by
// no other window and no tool window.
std::vector<HWND> TaskBarButtons() {
    std::vector<HWND> buttons;
    EnumWindows(
        [](HWND window, LPARAM found) -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
                !GetWindow(window, GW_OWNER) &&
                !(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
                reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&buttons));
    return buttons;
}

bool HasButton(HWND window) {
    for (HWND button : TaskBarButtons())
        if (button == window)
            return true;
    return false;
}

// The main window as the program builds it: owned by the application's window, with the tray.
class TaskBarTest : public ::testing::Test {
protected:
    TaskBarTest() {
        form.FormCreate();
        window = std::make_unique<MainWindow>(form, application.Hwnd());
        application.SetMainWindow(window->Hwnd());
        tray = std::make_unique<TrayWindow>(window->Hwnd(), desktop);
        tray->Icon().Visibility = TTrayIcon::kMainWindowVisibility;
        window->Show();
        PumpFor(5);
    }
    ~TaskBarTest() override {
        tray.reset();
        window.reset();
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    HWND Main() const { return window->Hwnd(); }
    bool MainOnScreen() const { return IsWindowVisible(Main()) != FALSE; }

    testing::FakeDesktop desktop;
    Tfrmmain form{desktop};
    TaskBarWindow application;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<TrayWindow> tray;
};

TEST_F(TaskBarTest, TheButtonShowsTheApplicationsTitleAndTheWindowItsCaption) {
    EXPECT_TRUE(HasButton(application.Hwnd()));
    EXPECT_FALSE(HasButton(Main()));
    EXPECT_EQ(TextOf(application.Hwnd()), "Lupenta");
    EXPECT_EQ(TextOf(Main()), "Lupenta 1.0");
    EXPECT_EQ(GetWindow(Main(), GW_OWNER), application.Hwnd());
    RECT r{};
    GetWindowRect(application.Hwnd(), &r);
    EXPECT_EQ(r.right - r.left, 0) << "only the button is seen";
    EXPECT_EQ(r.bottom - r.top, 0);
}

TEST_F(TaskBarTest, HidingToTheTrayTakesTheButtonAndShowingBringsItBack) {
    tray->Icon().HideApplication();
    EXPECT_FALSE(MainOnScreen());
    EXPECT_FALSE(HasButton(application.Hwnd()));
    tray->Icon().ShowApplication();
    EXPECT_TRUE(MainOnScreen());
    EXPECT_TRUE(HasButton(application.Hwnd()));

    // The minimise command reaches the tray through the button's window.
    tray->Icon().Active = true;
    SendMessageW(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(MainOnScreen());
    EXPECT_FALSE(HasButton(application.Hwnd()));
    EXPECT_FALSE(tray->Icon().Visibility.Get().Contains(tvVisibleTaskBar));
    tray->Icon().ShowApplication();
    EXPECT_TRUE(MainOnScreen());
    EXPECT_TRUE(HasButton(application.Hwnd()));
    tray->Icon().Active = false;
}

// Without a tray the window minimises to its button, which brings it back, as does the hot key.
TEST_F(TaskBarTest, MinimisedWithoutTheTrayTheButtonStaysAndRestoresTheWindow) {
    SendMessageW(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(MainOnScreen());
    EXPECT_TRUE(IsIconic(application.Hwnd()));
    EXPECT_TRUE(HasButton(application.Hwnd()));
    SendMessageW(application.Hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
    PumpFor(5);
    EXPECT_TRUE(MainOnScreen());
    EXPECT_FALSE(IsIconic(application.Hwnd()));

    SendMessageW(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_FALSE(MainOnScreen());
    tray->Icon().ShowApplication();
    EXPECT_TRUE(MainOnScreen());
    EXPECT_FALSE(IsIconic(application.Hwnd()));
}

TEST_F(TaskBarTest, ActivatingTheButtonHandsTheKeyboardToTheMainWindow) {
    SetActiveWindow(application.Hwnd());
    PumpFor(5);
    EXPECT_EQ(GetActiveWindow(), Main());
}

TEST_F(TaskBarTest, ClosingFromTheButtonAsksTheMainWindow) {
    form.AllowClose = true;
    SendMessageW(application.Hwnd(), WM_CLOSE, 0, 0);
    PumpFor(5);
    EXPECT_FALSE(IsWindow(Main()));
}

HWND plainBox = nullptr;

void CALLBACK CloseBoxCaptionedLupenta(HWND, UINT, UINT_PTR, DWORD) {
    if (const HWND box = FindWindowW(L"#32770", L"Lupenta")) {
        plainBox = box;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
}

TEST(PlainMessageBox, IsCaptionedWithTheApplicationsTitle) {
    Win32Desktop desktop;
    plainBox = nullptr;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseBoxCaptionedLupenta);
    ui::Application.ShowMessage(desktop, "copied", MessageIcon::None, true);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(plainBox);
}

} // namespace
} // namespace lupenta::win32
