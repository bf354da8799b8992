#include "win32/TaskBarWindow.h"

#include "ui/Application.h"
#include "win32/Text.h"

namespace lupenta::win32 {

namespace {

constexpr wchar_t kClassName[] = L"LupentaApplication";

} // namespace

TaskBarWindow::TaskBarWindow() {
    RegisterHandlerClass(kClassName, 0, nullptr);
    // Without a sizing frame the window keeps the size it is given, none; the system menu and
    // the minimise box give the button its menu.
    window_ = CreateHandlerWindow(*this, kClassName, 0,
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                                  nullptr);
    SetWindowTextW(window_, Widen(ui::Application.Title).c_str());
}

TaskBarWindow::~TaskBarWindow() {
    if (window_)
        DestroyWindow(window_);
}

LRESULT TaskBarWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        // The button was clicked: the keyboard belongs to the main window, or to the dialog
        // open over it.
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam) && main_ && IsWindowVisible(main_)) {
            SetActiveWindow(GetLastActivePopup(main_));
            return 0;
        }
        break;
    case WM_SIZE:
        // Minimised, the application leaves only its button; restored, the main window is
        // back with the keyboard. Showing the button alone leaves the main window as it is.
        if (!main_)
            break;
        if (wParam == SIZE_MINIMIZED) {
            minimized_ = true;
            ShowWindow(main_, SW_HIDE);
        } else if (wParam == SIZE_RESTORED && minimized_) {
            minimized_ = false;
            ShowWindow(main_, SW_SHOW);
            SetForegroundWindow(main_);
        }
        return 0;
    case WM_CLOSE:
        if (main_)
            PostMessageW(main_, WM_CLOSE, 0, 0);
        return 0;
    case WM_NCDESTROY:
        window_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND TaskBarButtonOf(HWND main) {
    const HWND owner = GetWindow(main, GW_OWNER);
    return owner ? owner : main;
}

} // namespace lupenta::win32
