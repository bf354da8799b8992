#pragma once

#include "platform/Desktop.h"
#include "tray/TrayIcon.h"
#include "win32/TaskBarWindow.h"
#include "win32/WindowClass.h"

#include <windows.h>

#include <shellapi.h>

namespace lupenta::win32 {

// The main window with the window that carries the application's task-bar button, which is
// its owner or, without one, the main window itself: they leave the screen and come back
// together.
class MainApplicationWindow final : public ApplicationWindow {
public:
    explicit MainApplicationWindow(HWND main) : main_(main), button_(TaskBarButtonOf(main)) {}

    bool IsVisible() override { return IsWindowVisible(button_) != FALSE; }
    bool IsIconic() override { return ::IsIconic(button_) != FALSE; }
    void Hide() override;
    void Show() override;
    void Restore() override;
    void Activate() override { SetForegroundWindow(main_); }

private:
    HWND main_;
    HWND button_;
};

// The tray icon's own hidden window: the icon's entry in the notification area belongs to it,
// and it receives the icon's callbacks and the shell's broadcasts. It also watches the messages
// of the window that carries the task-bar button for the minimise command, which the main
// window passes on to it, for as long as both windows exist.
class TrayWindow final : public MessageHandler, public NotificationArea {
public:
    static constexpr UINT kCallbackMessage = WM_USER + 1;

    TrayWindow(HWND mainWindow, Desktop& desktop);
    ~TrayWindow() override;
    TrayWindow(const TrayWindow&) = delete;
    TrayWindow& operator=(const TrayWindow&) = delete;

    TTrayIcon& Icon() { return icon_; }
    HWND Hwnd() const { return window_; }

    void SetTip(const std::string& tip) override;
    NotifyResult Send(NotifyRequest request, std::uint32_t flags) override;
    void Sleep(int milliseconds) override;
    void PopupMenu(ui::TPopupMenu& menu, Point at) override;

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static LRESULT CALLBACK ButtonWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR id, DWORD_PTR self);

    HWND buttonWindow_;
    HWND window_ = nullptr;
    bool hooked_ = false;
    NOTIFYICONDATAW data_{};
    MainApplicationWindow application_;
    TTrayIcon icon_;
};

} // namespace lupenta::win32
