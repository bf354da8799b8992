#include "platform/win32/MainWindow.h"

#include "main/SamplingTick.h"
#include "main/WindowStyles.h"
#include "platform/win32/Text.h"
#include "ui/MenuItem.h"

#include <windowsx.h>

namespace lupenta::win32 {

namespace {

constexpr wchar_t kMainClass[] = L"LupentaMain";
constexpr UINT_PTR kSamplingTimer = 1;
constexpr WPARAM kMoveByCaption = SC_MOVE + 2;

bool IsOwnWindow(HWND main, HWND window) {
    return window == main || IsChild(main, window);
}

} // namespace

MainWindow::MainWindow(Tfrmmain& form) : form_(form) {
    RegisterHandlerClass(kMainClass, CS_DBLCLKS, nullptr);
    const DWORD style = MainWindowCreationStyle();
    RECT outer{0, 0, Tfrmmain::kDesignClientWidth, Tfrmmain::kDesignClientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const Rect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const Point at = CentredIn(screen, width, height);
    window_ = CreateHandlerWindow(*this, kMainClass, 0, style, at.x, at.y, width, height, nullptr);
    SetWindowTextW(window_, Widen("Lupenta").c_str());
    form_.AttachPeer(this);
    view_ = std::make_unique<ViewWindow>(*form_.imageview1, window_);
    panel_ = std::make_unique<PanelWindow>(form_.Panel1, window_);
    timer_ = std::make_unique<TimerPeer>(form_.Timer1, window_, kSamplingTimer);
    menu_ = std::make_unique<MenuPeer>(window_);
    form_.mnuMain.AttachPeer(menu_.get());
    Layout();
}

MainWindow::~MainWindow() {
    form_.mnuMain.AttachPeer(nullptr);
    timer_.reset();
    panel_.reset();
    view_.reset();
    form_.AttachPeer(nullptr);
    if (window_)
        DestroyWindow(window_);
}

void MainWindow::Show() {
    form_.FormShow();
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
}

void MainWindow::Layout() {
    RECT client;
    GetClientRect(window_, &client);
    form_.ClientResized(client.right, client.bottom);
    if (view_)
        view_->FollowBounds();
}

bool MainWindow::Visible() {
    return IsWindowVisible(window_) != FALSE;
}

Rect MainWindow::BoundsRect() {
    RECT r;
    GetWindowRect(window_, &r);
    return {r.left, r.top, r.right, r.bottom};
}

void MainWindow::SetBoundsRect(const Rect& b) {
    SetWindowPos(window_, nullptr, b.left, b.top, b.Width(), b.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

std::uint32_t MainWindow::Style() {
    return static_cast<std::uint32_t>(GetWindowLongPtrW(window_, GWL_STYLE));
}

void MainWindow::SetStyle(std::uint32_t style) {
    SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(style));
}

void MainWindow::RefreshFrame() {
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void MainWindow::SetCaption(const std::string& caption) {
    SetWindowTextW(window_, Widen(caption).c_str());
}

void MainWindow::StartMove() {
    ReleaseCapture();
    SendMessageW(window_, WM_SYSCOMMAND, kMoveByCaption, 0);
}

void MainWindow::Close() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
}

void MainWindow::PopupMainMenu(LPARAM where) {
    POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    // From the keyboard (Shift+F10, the Menu key) the menu opens at the view's top-left.
    if (at.x == -1 && at.y == -1) {
        at = POINT{0, 0};
        ClientToScreen(window_, &at);
    }
    form_.mnuMain.Popup(at.x, at.y);
}

bool MainWindow::DispatchShortCut(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return false;
    if (!IsOwnWindow(window_, message.hwnd))
        return false;
    std::uint16_t shortcut = static_cast<std::uint16_t>(message.wParam & 0xFF);
    if (GetKeyState(VK_SHIFT) < 0)
        shortcut |= ui::kShift;
    if (GetKeyState(VK_CONTROL) < 0)
        shortcut |= ui::kCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shortcut |= ui::kAlt;
    return form_.mnuMain.DispatchShortCut(shortcut);
}

LRESULT MainWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (window_)
            Layout();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = POINT{Tfrmmain::kMinimumSize, Tfrmmain::kMinimumSize};
        return 0;
    }
    case WM_TIMER:
        if (timer_ && wParam == timer_->Id())
            form_.Timer1.Fire();
        return 0;
    case WM_CONTEXTMENU:
        PopupMainMenu(lParam);
        return 0;
    case WM_LBUTTONDOWN:
        form_.ImageView1MouseDown();
        return 0;
    case WM_CLOSE:
        if (form_.AllowClose)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        window_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int RunMessageLoop(MainWindow& window) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.DispatchShortCut(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace lupenta::win32
