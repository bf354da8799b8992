#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"
#include "win32/FaultGuard.h"
#include "win32/MainWindow.h"
#include "win32/Pump.h"
#include "win32/WindowClass.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include <windows.h>

namespace lupenta::win32 {
namespace {

using testing::FakeDesktop;

constexpr UINT kFail = WM_APP;
constexpr UINT kAnswer = WM_APP + 1;

// The main window's end asks the loop to quit, and the next test's loop must not see that.
void ForgetQuit() {
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// A window whose handler fails on request: with an error, or out of memory in its paint.
class FailingWindow final : public MessageHandler {
public:
    FailingWindow() {
        RegisterHandlerClass(L"LupentaFailingWindow", 0, nullptr);
        window = CreateHandlerWindow(*this, L"LupentaFailingWindow", 0, WS_POPUP | WS_VISIBLE, 0, 0,
                                     100, 100, nullptr);
    }
    ~FailingWindow() override { DestroyWindow(window); }

    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case kFail:
            throw std::runtime_error("the handler failed");
        case kAnswer:
            return 42;
        case WM_PAINT:
            ++paints;
            throw std::bad_alloc();
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
    }

    HWND window = nullptr;
    int paints = 0;
};

// The program's barrier, its error box caught by the fake desktop.
class FaultBarrierTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    ui::FaultBarrier barrier{desktop};
    InstalledFaultBarrier installed{barrier};
};

TEST_F(FaultBarrierTest, AFailedHandlerShowsTheErrorBoxAndTheWindowGoesOn) {
    FailingWindow failing;
    ASSERT_TRUE(failing.window);
    EXPECT_EQ(SendMessageW(failing.window, kFail, 0, 0), 0);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "the handler failed");
    EXPECT_EQ(desktop.messages[0].caption, "Lupenta");
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);

    EXPECT_EQ(SendMessageW(failing.window, kAnswer, 0, 0), 42);
    EXPECT_TRUE(IsWindow(failing.window));
}

TEST_F(FaultBarrierTest, APaintOutOfMemoryIsDroppedWithoutABoxAndNotAskedForAgain) {
    FailingWindow failing;
    Pump();
    const int paintsBefore = failing.paints;
    InvalidateRect(failing.window, nullptr, FALSE);
    UpdateWindow(failing.window);
    Pump();
    EXPECT_EQ(failing.paints, paintsBefore + 1);
    EXPECT_FALSE(GetUpdateRect(failing.window, nullptr, FALSE));
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(FaultBarrierTest, TheMainWindowsTickFailsIntoTheBoxAndTicksOn) {
    desktop.pointer = Point{300, 200};
    Tfrmmain form{desktop};
    form.FormCreate();
    {
        MainWindow window(form);
        window.Show();
        Pump();
        desktop.onCall = [&](const std::string& call) {
            if (call == "SightPointer") {
                desktop.onCall = nullptr;
                throw std::runtime_error("no pointer");
            }
        };
        SendMessageW(window.Hwnd(), WM_TIMER, 1, 0);
        ASSERT_EQ(desktop.messages.size(), 1u);
        EXPECT_EQ(desktop.messages[0].text, "no pointer");

        const int asked = desktop.CallCount("SightPointer");
        SendMessageW(window.Hwnd(), WM_TIMER, 1, 0);
        EXPECT_EQ(desktop.CallCount("SightPointer"), asked + 1);

        // The view's frames cannot be had: its paint is skipped, and no box says so.
        HWND view = FindWindowExW(window.Hwnd(), nullptr, L"LupentaView", nullptr);
        ASSERT_TRUE(view);
        desktop.allocationsFail = true;
        form.imageview1->SetBounds(Rect::FromSize(0, 0, 300, 200));
        RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_FALSE(GetUpdateRect(view, nullptr, FALSE));
        EXPECT_EQ(desktop.messages.size(), 1u);

        desktop.allocationsFail = false;
        const int captures = desktop.CallCount("CaptureScreen");
        RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(desktop.CallCount("CaptureScreen"), captures + 1);
        EXPECT_TRUE(IsWindow(window.Hwnd()));
    }
    ForgetQuit();
}

TEST_F(FaultBarrierTest, AKeyWhoseCommandFailsShowsTheBoxAndTheLoopRunsOn) {
    Tfrmmain form{desktop};
    form.FormCreate();
    {
        MainWindow window(form);
        window.Show();
        Pump();
        // Keys reach the menu's shortcuts in the message loop, before any window procedure.
        form.ShowHelpfile1.OnClick = [] { throw std::runtime_error("the command failed"); };
        PostMessageW(window.Hwnd(), WM_KEYDOWN, VK_F1, 0);
        PostQuitMessage(0);
        EXPECT_EQ(RunMessageLoop(window), 0);
        ASSERT_EQ(desktop.messages.size(), 1u);
        EXPECT_EQ(desktop.messages[0].text, "the command failed");
    }
    ForgetQuit();
}

} // namespace
} // namespace lupenta::win32
