#pragma once

#include "platform/Desktop.h"
#include "tray/TrayIcon.h"
#include "win32/WindowClass.h"

#include <windows.h>

#include <shellapi.h>

namespace lupenta::win32 {

// The main window in its second role: it carries the application's task-bar button, so
// hiding it takes the button away too.
class MainApplicationWindow final : public ApplicationWindow {
public:
    explicit MainApplicationWindow(HWND window) : window_(window) {}

    bool IsVisible() override { return IsWindowVisible(window_) != FALSE; }
    bool IsIconic() override { return ::IsIconic(window_) != FALSE; }
    void Hide() override { ShowWindow(window_, SW_HIDE); }
    void Show() override { ShowWindow(window_, SW_SHOW); }
    void Restore() override { ShowWindow(window_, SW_RESTORE); }
    void Activate() override { SetForegroundWindow(window_); }

private:
    HWND window_;
};

// The tray icon's own hidden window: the icon's entry in the notification area belongs to it,
// and it receives the icon's callbacks and the shell's broadcasts. It also watches the main
// window's messages for the minimise command, for as long as both windows exist.
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
    static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR self);

    HWND mainWindow_;
    HWND window_ = nullptr;
    bool hooked_ = false;
    NOTIFYICONDATAW data_{};
    MainApplicationWindow application_;
    TTrayIcon icon_;
};

} // namespace lupenta::win32
