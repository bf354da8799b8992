#include "win32/TrayWindow.h"

#include "win32/FaultGuard.h"
#include "win32/Text.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace lupenta::win32 {

namespace {

constexpr wchar_t kClassName[] = L"LupentaTrayWindow";
constexpr UINT_PTR kSubclassId = 1;

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

HICON ProgramIcon() {
    if (HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)))
        return icon;
    return LoadIconW(nullptr, IDI_APPLICATION);
}

} // namespace

void MainApplicationWindow::Hide() {
    ShowWindow(main_, SW_HIDE);
    if (button_ != main_)
        ShowWindow(button_, SW_HIDE);
}

void MainApplicationWindow::Show() {
    if (button_ != main_)
        ShowWindow(button_, SW_SHOWNOACTIVATE);
    ShowWindow(main_, SW_SHOW);
}

void MainApplicationWindow::Restore() {
    ShowWindow(button_, SW_RESTORE);
    if (button_ != main_)
        ShowWindow(main_, SW_SHOW);
}

TrayWindow::TrayWindow(HWND mainWindow, Desktop& desktop)
    : buttonWindow_(TaskBarButtonOf(mainWindow)), application_(mainWindow),
      icon_(*this, application_, desktop) {
    RegisterHandlerClass(kClassName, 0, nullptr);
    window_ =
        CreateHandlerWindow(*this, kClassName, WS_EX_TOOLWINDOW, WS_POPUP, 0, 0, 0, 0, nullptr);
    data_.cbSize = sizeof(data_);
    data_.hWnd = window_;
    data_.uID = 1;
    data_.uCallbackMessage = kCallbackMessage;
    data_.hIcon = ProgramIcon();
    data_.uVersion = NOTIFYICON_VERSION;
    hooked_ = buttonWindow_ && SetWindowSubclass(buttonWindow_, ButtonWindowProc, kSubclassId,
                                                 reinterpret_cast<DWORD_PTR>(this));
}

TrayWindow::~TrayWindow() {
    // The icon's entry goes while the window it belongs to still exists.
    icon_.Active = false;
    if (hooked_)
        RemoveWindowSubclass(buttonWindow_, ButtonWindowProc, kSubclassId);
    if (window_)
        DestroyWindow(window_);
}

void TrayWindow::SetTip(const std::string& tip) {
    const std::wstring wide = Widen(tip);
    const std::size_t length = std::min(wide.size(), std::size(data_.szTip) - 1);
    std::copy_n(wide.begin(), length, data_.szTip);
    data_.szTip[length] = L'\0';
}

NotifyResult TrayWindow::Send(NotifyRequest request, std::uint32_t flags) {
    data_.uFlags = flags;
    SetLastError(0);
    if (Shell_NotifyIconW(static_cast<DWORD>(request), &data_))
        return {true, 0};
    return {false, GetLastError()};
}

void TrayWindow::Sleep(int milliseconds) {
    ::Sleep(static_cast<DWORD>(milliseconds));
}

void TrayWindow::PopupMenu(ui::TPopupMenu& menu, Point at) {
    // A menu opened from the notification area closes on a click elsewhere only while one of
    // the program's windows is in front, and only after the program sees another message.
    SetForegroundWindow(window_);
    menu.Popup(at.x, at.y);
    PostMessageW(window_, WM_NULL, 0, 0);
}

LRESULT TrayWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kCallbackMessage) {
        icon_.OnNotify(static_cast<std::uint32_t>(static_cast<std::uint64_t>(lParam)));
        return 0;
    }
    const UINT taskbarCreated = TaskbarCreatedMessage();
    if (taskbarCreated != 0 && message == taskbarCreated) {
        icon_.OnTaskbarCreated();
        return 0;
    }
    switch (message) {
    case WM_ENDSESSION:
        icon_.OnEndSession(wParam != FALSE);
        return 0;
    case WM_NCDESTROY:
        window_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK TrayWindow::ButtonWindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* tray = reinterpret_cast<TrayWindow*>(self);
    return GuardedMessage(window, message, [&]() -> LRESULT {
        switch (message) {
        case WM_SYSCOMMAND:
            // Minimising a hidden window would show it again, so the command stops here.
            if (wParam == SC_MINIMIZE && tray->icon_.OnMinimizeCommand())
                return 0;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, ButtonWindowProc, kSubclassId);
            tray->hooked_ = false;
            break;
        default:
            break;
        }
        return DefSubclassProc(window, message, wParam, lParam);
    });
}

} // namespace lupenta::win32
