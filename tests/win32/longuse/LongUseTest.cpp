#include "LiveObjects.h"
#include "app/Program.h"
#include "main/ZoomFactors.h"
#include "support/FakeFileSystem.h"
#include "support/FakeRunKey.h"
#include "win32/MainWindow.h"
#include "win32/Pump.h"
#include "win32/TrayWindow.h"
#include "win32/UpdateDialog.h"
#include "win32/Win32Desktop.h"
#include "win32/Win32FormWindow.h"
#include "win32/Win32Services.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace lupenta::win32 {
namespace {

// The program's parts put together as the program puts them together, with the settings file
// kept in memory.
class RunningProgram {
public:
    RunningProgram() {
        program.form.SetServices(&services);
        program.Create({}, runKey);
        window = std::make_unique<MainWindow>(program.form);
        formWindow.SetWindow(window->Hwnd());
        services.SetOwner(window->Hwnd());
        desktop.SetOwnerWindow(window->Hwnd());
        window->OnShow = [this] { program.Show(); };
        window->OnCloseQuery = [this] { return program.CloseQuery(); };
        window->OnDestroy = [this] { program.Destroy(); };
        tray = std::make_unique<TrayWindow>(window->Hwnd(), desktop);
        program.AttachTray(tray->Icon());
        services.SetTray(&tray->Icon());
        window->Show();
    }
    ~RunningProgram() {
        tray.reset();
        window.reset();
        // The main window's end asks the message loop to stop; there is none here, and a quit
        // left in the queue would end the next test's modal loops.
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    Tfrmmain& Form() { return program.form; }

    Win32Desktop desktop;
    testing::FakeFileSystem files;
    testing::FakeRunKey runKey;
    Win32FormWindow formWindow;
    Win32Services services{desktop, files.ExecutableFolder()};
    Program program{desktop, files, formWindow};
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<TrayWindow> tray;
};

// Lets the window paint and the sampling timer tick between repetitions, as a user's pauses do.
std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// Ends every menu, dialog and message box of this thread once it is up and painted, so the
// modal loops that show them return; counts them, so a test knows they really opened.
class ModalCloser {
public:
    ModalCloser() {
        active_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~ModalCloser() {
        UnhookWindowsHookEx(hook_);
        active_ = nullptr;
    }
    ModalCloser(const ModalCloser&) = delete;
    ModalCloser& operator=(const ModalCloser&) = delete;

    int closed = 0;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_CREATEWND && ClassOf(window) == L"#32768")
            // The menu's own loop ends at the first cancel it finds in the queue.
            active_->Close(window, WM_CANCELMODE, 0);
        else if (code == HCBT_ACTIVATE && ClassOf(window) == L"#32770")
            active_->Close(window, WM_COMMAND, IDOK);
        else if (code == HCBT_ACTIVATE && ClassOf(window) == L"LupentaDialog")
            active_->Close(window, WM_CLOSE, 0);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    // A window may be activated more than once while it is up. The close waits for a timer,
    // which comes after the window's paint, so the paint's objects are counted too.
    void Close(HWND window, UINT message, WPARAM wParam) {
        if (window == target_)
            return;
        target_ = window;
        message_ = message;
        wParam_ = wParam;
        timer_ = SetTimer(nullptr, 0, 1, PostClose);
        ++closed;
    }

    static void CALLBACK PostClose(HWND, UINT, UINT_PTR, DWORD) {
        KillTimer(nullptr, active_->timer_);
        PostMessageW(active_->target_, active_->message_, active_->wParam_, 0);
    }

    static inline ModalCloser* active_ = nullptr;
    HHOOK hook_ = nullptr;
    HWND target_ = nullptr;
    UINT message_ = 0;
    WPARAM wParam_ = 0;
    UINT_PTR timer_ = 0;
};

UpdateOutcome UpgradeFound() {
    UpdateOutcome outcome;
    outcome.kind = UpdateKind::MajorUpgrade;
    outcome.message = "Major upgrade found";
    outcome.currentVersion = "1.0";
    outcome.onlineVersion = "2.0";
    outcome.features = {"Faster", "Smaller", "Sharper", "Kinder"};
    return outcome;
}

// Turns the wheel one notch, away from the user until the largest zoom, then towards the user
// until the smallest, and so on.
void StepZoom(Tfrmmain& form, int& direction) {
    const int last = static_cast<int>(form.cbxZoomLevel.Items().size()) - 1;
    if (form.cbxZoomLevel.ItemIndex >= last)
        direction = -1;
    else if (form.cbxZoomLevel.ItemIndex <= 0)
        direction = 1;
    form.ApplicationEvents1Message(direction * WHEEL_DELTA);
}

// Actions that show or hide a window cost 45 to 80 ms each under Wine (measured on a busy
// two-core machine): a thousand of each would take six minutes, so they repeat 150 times. A
// leak of even one object a repetition shows at the first; the thousands are kept for the
// actions cheap enough to afford them.
constexpr int kCheapRepetitions = 1000;
constexpr int kWindowRepetitions = 150;

struct RepeatedAction {
    std::string name;
    // Each repetition leaves the program as it found it, but for the zoom's steps.
    std::function<void(RunningProgram&)> once;
    int repetitions;
    // Menus, dialogs and boxes each repetition opens.
    int modalsOpened = 0;
    // Repetitions before the count is taken: those that may fill caches living as long as the
    // process (a font the system loads for a dialog, a menu's check-mark bitmaps).
    int warmUps = 1;
};

std::ostream& operator<<(std::ostream& out, const RepeatedAction& action) {
    return out << action.name;
}

class LongUseTest : public ::testing::TestWithParam<RepeatedAction> {};

TEST_P(LongUseTest, RepeatingLeavesNoGdiObjectWindowOrMenuBehind) {
    const RepeatedAction& action = GetParam();
    RunningProgram running;
    ModalCloser closer;
    Pump();
    for (int i = 0; i < action.warmUps; ++i) {
        action.once(running);
        Pump();
    }
    const LiveObjects before = CountLiveObjects();
    const int closedBefore = closer.closed;
    const auto start = std::chrono::steady_clock::now();

    for (int i = 0; i < action.repetitions; ++i) {
        action.once(running);
        Pump();
    }

    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(CountLiveObjects(), before);
    EXPECT_EQ(closer.closed - closedBefore, action.repetitions * action.modalsOpened)
        << "each repetition opens and closes its menu, dialog or box";
    RecordProperty(
        "milliseconds",
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
}

// The view keeps one frame for each way it paints (unzoomed, and the zoomed source and output),
// each made at its first use; a sweep over every zoom makes them all before the count.
constexpr int kZoomSweep = 2 * (static_cast<int>(ZoomFactors.size()) - 1);

INSTANTIATE_TEST_SUITE_P(
    EveryRepeatableAction, LongUseTest,
    ::testing::Values(
        RepeatedAction{"OpenAndCloseTheMenu",
                       [](RunningProgram& p) { p.Form().mnuMain.Popup(200, 200); },
                       kWindowRepetitions, 1},
        RepeatedAction{
            "StepTheZoom",
            [direction = 1](RunningProgram& p) mutable { StepZoom(p.Form(), direction); },
            kCheapRepetitions, 0, kZoomSweep},
        RepeatedAction{"ToggleTheTitleBar",
                       [](RunningProgram& p) {
                           p.Form().ShowHideTitlebar1Click();
                           p.Form().ShowHideTitlebar1Click();
                       },
                       kWindowRepetitions},
        RepeatedAction{"CopyTheColour",
                       [](RunningProgram& p) { p.Form().CopyColortoClipboard1Click(); },
                       kWindowRepetitions, 1},
        RepeatedAction{"CopyTheImage",
                       [](RunningProgram& p) { p.Form().CopyImagetoClipboard1Click(); },
                       kCheapRepetitions},
        RepeatedAction{"OpenAndCloseAbout",
                       [](RunningProgram& p) { p.Form().AboutLupenta1Click(); }, kWindowRepetitions,
                       1},
        RepeatedAction{"OpenAndCloseTheUpdateDialog",
                       [](RunningProgram& p) {
                           ShowUpdateDialog(p.window->Hwnd(), p.desktop, UpgradeFound());
                       },
                       kWindowRepetitions, 1},
        RepeatedAction{"HideToTheTrayAndBack",
                       [](RunningProgram& p) {
                           p.Form().ShowHideProgram1Click();
                           p.Form().ShowHideProgram1Click();
                       },
                       kWindowRepetitions}),
    [](const ::testing::TestParamInfo<RepeatedAction>& info) { return info.param.name; });

} // namespace
} // namespace lupenta::win32
