#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileSystem.h"
#include "win32/AboutDialog.h"
#include "win32/MainWindow.h"
#include "win32/OptionsDialog.h"
#include "win32/Text.h"
#include "win32/UpdateDialog.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace lupenta::win32 {
namespace {

using Step = std::function<void(HWND dialog)>;

// Steps run one per timer tick while the dialog's own modal loop runs; when they are done and
// the dialog is still open, it is closed, so a test never blocks.
struct Script {
    std::vector<Step> steps;
    std::size_t next = 0;
    HWND dialog = nullptr;
};
Script* script = nullptr;

void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD) {
    if (!script->dialog || !IsWindowVisible(script->dialog))
        return;
    if (script->next < script->steps.size())
        script->steps[script->next++](script->dialog);
    else {
        // A message box left open by a failed step would hold the dialog's loop.
        if (const HWND box = FindWindowW(L"#32770", nullptr))
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        PostMessageW(script->dialog, WM_CLOSE, 0, 0);
    }
}

template <class Dialog> TDialog::ModalResult RunScripted(Dialog& dialog, std::vector<Step> steps) {
    Script s{std::move(steps), 0, dialog.Handle()};
    script = &s;
    const UINT_PTR timer = SetTimer(nullptr, 0, 60, RunStep);
    const TDialog::ModalResult result = dialog.ShowModal();
    KillTimer(nullptr, timer);
    script = nullptr;
    EXPECT_EQ(s.next, s.steps.size()) << "the dialog closed before every step ran";
    return result;
}

std::string TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return Narrow(text);
}

// The child window showing exactly `text`, or null.
HWND ChildWithText(HWND dialog, const std::string& text) {
    struct Search {
        std::string text;
        HWND found = nullptr;
    } search{text};
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (TextOf(child) != s->text)
                return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PressKey(HWND window, WPARAM key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
}

// The owner the dialogs are shown over, as the main window is.
class DialogTest : public ::testing::Test {
protected:
    DialogTest() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LupentaDialogTestOwner";
        RegisterClassW(&wc);
        owner = CreateWindowExW(0, wc.lpszClassName, L"Owner", WS_OVERLAPPEDWINDOW, 50, 50, 300,
                                200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(owner, SW_SHOW);
    }
    ~DialogTest() override { DestroyWindow(owner); }

    Step ExpectOwnerDisabled() {
        return [this](HWND) { EXPECT_FALSE(IsWindowEnabled(owner)); };
    }

    HWND owner = nullptr;
    testing::FakeDesktop desktop;
    testing::FakeFileSystem files;
};

// The About dialog's own loop hands the wheel to the same hook as the main loop: the main
// window's zoom steps while the dialog is open.
TEST_F(DialogTest, TheWheelStepsTheZoomWhileADialogIsOpen) {
    Tfrmmain form{desktop};
    form.FormCreate();
    {
        MainWindow window(form);
        form.FormShow();
        ASSERT_EQ(form.cbxZoomLevel.ItemIndex, 1);
        AboutDialog about(window.Hwnd(), desktop, files, "15.0", "C:\\Program Files\\Lupenta");
        RunScripted(about, {[](HWND dialog) {
                                PostMessageW(dialog, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
                            },
                            [&](HWND) {
                                EXPECT_EQ(form.cbxZoomLevel.ItemIndex, 2);
                                EXPECT_EQ(form.imageview1->Zoom(), 3);
                            }});
    }
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

TEST_F(DialogTest, AboutShowsItsTextsKeepsTheOwnerDisabledAndEscapeClosesFromAnyControl) {
    AboutDialog about(owner, desktop, files, "15.0", "C:\\Program Files\\Lupenta");
    EXPECT_EQ(TextOf(about.Handle()), "About Lupenta");
    RECT client;
    GetClientRect(about.Handle(), &client);
    EXPECT_EQ(client.right, 490);
    EXPECT_EQ(client.bottom, 225);
    const auto result = RunScripted(
        about, {ExpectOwnerDisabled(),
                [](HWND dialog) {
                    for (const char* text : {"Lupenta 15.0", "Freeware", "mail to", "surf to",
                                             "View Readme.txt", "OK"})
                        EXPECT_TRUE(ChildWithText(dialog, text)) << text;
                    EXPECT_EQ(GetFocus(), ChildWithText(dialog, "OK"));
                },
                [](HWND dialog) {
                    const HWND mail = ChildWithText(dialog, SupportMailAddress());
                    ASSERT_TRUE(mail);
                    // On the words "mail to" first, then on the link.
                    for (HWND target : {ChildWithText(dialog, "mail to"), mail}) {
                        PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 5));
                        PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(3, 5));
                    }
                    PostMessageW(ChildWithText(dialog, "View Readme.txt"), BM_CLICK, 0, 0);
                },
                [this](HWND dialog) {
                    ASSERT_EQ(desktop.opened.size(), 1u);
                    EXPECT_EQ(desktop.opened[0], "mailto:" + SupportMailAddress());
                    // The read-me button's error box is open over the dialog by now.
                    const HWND box = FindWindowW(L"#32770", L"Error");
                    ASSERT_TRUE(box);
                    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
                    EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)),
                              "File not found:\r\nC:\\Program Files\\Lupenta\\readme.txt");
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                },
                [](HWND dialog) {
                    EXPECT_FALSE(FindWindowW(L"#32770", L"Error"));
                    EXPECT_EQ(GetActiveWindow(), dialog);
                    const HWND readme = ChildWithText(dialog, "View Readme.txt");
                    SetFocus(readme);
                    PressKey(readme, VK_ESCAPE);
                }});
    EXPECT_EQ(result, TDialog::mrCancel);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(IsWindowVisible(about.Handle()));
}

TEST_F(DialogTest, EnterOnTheFocusedButtonPressesIt) {
    AboutDialog about(owner, desktop, files, "15.0", "C:\\Program Files\\Lupenta");
    const auto result = RunScripted(about, {[](HWND dialog) {
                                        const HWND ok = ChildWithText(dialog, "OK");
                                        SetFocus(ok);
                                        PressKey(ok, VK_RETURN);
                                    }});
    EXPECT_EQ(result, TDialog::mrOk);
}

UpdateOutcome Outcome(UpdateKind kind, const char* message) {
    UpdateOutcome outcome;
    outcome.kind = kind;
    outcome.message = message;
    outcome.currentVersion = "15.0";
    outcome.onlineVersion = "15.1";
    outcome.features = {"Faster capture", "Grid colours", "", ""};
    return outcome;
}

TEST_F(DialogTest, UpdateDialogWithAnUpgradeOpensTheDownloadPageFromBesideTheLinkWords) {
    UpdateDialog update(owner, desktop, Outcome(UpdateKind::MinorUpgrade, "Minor upgrade found"));
    EXPECT_EQ(TextOf(update.Handle()), "Check For Lupenta Update");
    const auto result =
        RunScripted(update, {ExpectOwnerDisabled(),
                             [](HWND dialog) {
                                 for (const char* text : {"You are currently using version 15.0",
                                                          "Latest version found online :", "15.1",
                                                          "Minor upgrade found", "New Features"})
                                     EXPECT_TRUE(ChildWithText(dialog, text)) << text;
                                 const HWND link = ChildWithText(dialog, "Download new Version");
                                 ASSERT_TRUE(link);
                                 EXPECT_TRUE(IsWindowVisible(link));
                                 // Right of the words, still inside the 160-pixel label.
                                 PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(155, 7));
                                 PostMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(155, 7));
                             },
                             [this](HWND) {
                                 ASSERT_EQ(desktop.opened.size(), 1u);
                                 EXPECT_EQ(desktop.opened[0], DownloadPage());
                             }});
    EXPECT_EQ(result, TDialog::mrCancel);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(DialogTest, UpToDateDialogIsShortWithOkStillInTheBottomRightCorner) {
    UpdateDialog update(owner, desktop,
                        Outcome(UpdateKind::UpToDate, "You are already using the latest version."));
    RECT outer;
    GetWindowRect(update.Handle(), &outer);
    EXPECT_EQ(outer.bottom - outer.top, 160);
    const auto result = RunScripted(
        update, {[](HWND dialog) {
            EXPECT_TRUE(ChildWithText(dialog, "You are already using the latest version."));
            const HWND link = ChildWithText(dialog, "Download new Version");
            EXPECT_FALSE(link && IsWindowVisible(link));
            const HWND heading = ChildWithText(dialog, "New Features");
            EXPECT_FALSE(heading && IsWindowVisible(heading));
            const HWND ok = ChildWithText(dialog, "OK");
            ASSERT_TRUE(ok);
            RECT client, button;
            GetClientRect(dialog, &client);
            GetWindowRect(ok, &button);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&button), 2);
            EXPECT_EQ(client.right - button.right, 442 - (357 + 75));
            EXPECT_EQ(client.bottom - button.bottom, 254 - (217 + 25));
            PostMessageW(ok, BM_CLICK, 0, 0);
        }});
    EXPECT_EQ(result, TDialog::mrOk);
}

TEST_F(DialogTest, OptionsSliderAndShortcutFieldReactAndEscapeDoesNotClose) {
    OptionsDialog options(owner);
    EXPECT_EQ(TextOf(options.Handle()), "Lupenta Options");
    const auto result = RunScripted(
        options,
        {ExpectOwnerDisabled(),
         [](HWND dialog) {
             for (const char* text :
                  {"Zoom Level", "1x", "Refresh Rate", "Stay in System Tray", "Run on Startup",
                   "Show Panel", "Always on Top", "Hide Screen on Startup", "edtShortcut", "Debug",
                   "OK", "Apply", "Cancel"})
                 EXPECT_TRUE(ChildWithText(dialog, text)) << text;
             const HWND slider = FindWindowExW(GetParent(ChildWithText(dialog, "Zoom Level")),
                                               nullptr, L"msctls_trackbar32", nullptr);
             ASSERT_TRUE(slider);
             SetFocus(slider);
             SendMessageW(slider, WM_KEYDOWN, VK_END, 1);
             EXPECT_TRUE(ChildWithText(dialog, "40x"));
         },
         [&options](HWND dialog) {
             const HWND field = ChildWithText(dialog, "edtShortcut");
             ASSERT_TRUE(field);
             SetFocus(field);
             BYTE keys[256] = {};
             keys[VK_CONTROL] = keys[VK_SHIFT] = 0x80;
             SetKeyboardState(keys);
             SendMessageW(field, WM_KEYDOWN, 'A', 1);
             SendMessageW(field, WM_CHAR, 1, 1);
             keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
             SetKeyboardState(keys);
             EXPECT_EQ(TextOf(field), "Ctrl+Shift+A");
             EXPECT_EQ(options.Model().FHotKey, (THotKeyData{6, 65}));
             PressKey(field, VK_ESCAPE);
         },
         [](HWND dialog) {
             EXPECT_TRUE(IsWindowVisible(dialog));
             PostMessageW(ChildWithText(dialog, "Cancel"), BM_CLICK, 0, 0);
         }});
    EXPECT_EQ(result, TDialog::mrCancel);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

} // namespace
} // namespace lupenta::win32
