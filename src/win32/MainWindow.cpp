#include "win32/MainWindow.h"

#include "main/SamplingTick.h"
#include "main/ScreenSnap.h"
#include "main/WindowStyles.h"
#include "ui/MenuItem.h"
#include "win32/FaultGuard.h"
#include "win32/Text.h"

#include <commctrl.h>

namespace lupenta::win32 {

namespace {

constexpr wchar_t kMainClass[] = L"LupentaMain";
constexpr UINT_PTR kSamplingTimer = 1;
constexpr WPARAM kMoveByCaption = SC_MOVE + 2;
constexpr int kScreenSnapDistance = 10;

bool IsOwnWindow(HWND main, HWND window) {
    return window == main || IsChild(main, window);
}

HFONT CreateUiFont() {
    return CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH,
                       L"Segoe UI");
}

} // namespace

MainWindow::MainWindow(Tfrmmain& form, HWND owner)
    : form_(form), font_(CreateUiFont()), wheel_([this](const MSG& message) {
          if (message.message != WM_MOUSEWHEEL)
              return false;
          form_.ApplicationEvents1Message(GET_WHEEL_DELTA_WPARAM(message.wParam));
          return true;
      }) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterHandlerClass(kMainClass, CS_DBLCLKS, nullptr);
    const DWORD style = MainWindowCreationStyle();
    RECT outer{0, 0, Tfrmmain::kDesignClientWidth, Tfrmmain::kDesignClientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const Rect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const Point at = CentredIn(screen, width, height);
    window_ = CreateHandlerWindow(*this, kMainClass, 0, style, at.x, at.y, width, height, owner);
    SetWindowTextW(window_, L"Lupenta");
    form_.AttachPeer(this);
    CreateControls();
    Layout();
    // A second instance, or another program holding Ctrl+Alt+G, leaves this one without the
    // hot key; the menu's shortcut still works while the window has the keyboard.
    hotKeyId_ = GlobalAddAtomW(L"HotKey1");
    RegisterHotKey(window_, hotKeyId_, MOD_ALT | MOD_CONTROL, 'G');
}

void MainWindow::CreateControls() {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    const ControlContext context{font_.get(), tooltip_};
    view_ = std::make_unique<ViewWindow>(*form_.imageview1, window_);
    auto panel = std::make_unique<PanelWindow>(form_.Panel1, window_, context);
    HWND host = panel->Handle();
    controls_.push_back(std::move(panel));
    auto zoomList = std::make_unique<ComboBoxWindow>(form_.cbxZoomLevel, host, context);
    zoomList_ = zoomList.get();
    controls_.push_back(std::move(zoomList));
    controls_.push_back(std::make_unique<ButtonWindow>(form_.btnType, form_.Panel1, host, context));
    controls_.push_back(std::make_unique<LabelWindow>(form_.lblColor, form_.Panel1, host, context));
    controls_.push_back(std::make_unique<PanelWindow>(form_.pnlColor, host, context));
    controls_.push_back(
        std::make_unique<LabelWindow>(form_.lblPosition, form_.Panel1, host, context));
    for (ui::TSpeedButton* button : {&form_.SpeedButton1, &form_.btnOptions, &form_.btnClose})
        controls_.push_back(std::make_unique<ButtonWindow>(*button, form_.Panel1, host, context));
    auto contrastBar = std::make_unique<PanelWindow>(form_.pnlContrast, window_, context);
    HWND bar = contrastBar->Handle();
    controls_.push_back(std::move(contrastBar));
    controls_.push_back(
        std::make_unique<LabelWindow>(form_.lblContrast, form_.pnlContrast, bar, context));
    controls_.push_back(std::make_unique<PanelWindow>(form_.pnlReference, bar, context));
    timer_ = std::make_unique<TimerPeer>(form_.Timer1, window_, kSamplingTimer);
    menu_ = std::make_unique<MenuPeer>(window_);
    for (ui::TPopupMenu* menu : {&form_.mnuMain, &form_.mnuColorDisplay, &form_.mnuCopyCoord})
        menu->AttachPeer(menu_.get());
}

MainWindow::~MainWindow() {
    for (ui::TPopupMenu* menu : {&form_.mnuMain, &form_.mnuColorDisplay, &form_.mnuCopyCoord})
        menu->AttachPeer(nullptr);
    timer_.reset();
    controls_.clear();
    view_.reset();
    form_.AttachPeer(nullptr);
    if (window_)
        DestroyWindow(window_);
}

void MainWindow::Show(bool onScreen) {
    if (OnShow)
        OnShow();
    else
        form_.FormShow();
    // Started hidden in the tray, the window is set up as at every start but never flashes up.
    if (!onScreen)
        return;
    if (const HWND owner = GetWindow(window_, GW_OWNER))
        ShowWindow(owner, SW_SHOWNOACTIVATE);
    ShowWindow(window_, SW_SHOW);
    // A program the user just started comes to the front with the keyboard.
    SetForegroundWindow(window_);
    UpdateWindow(window_);
}

void MainWindow::Layout() {
    RECT client;
    GetClientRect(window_, &client);
    form_.ClientResized(client.right, client.bottom);
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

void MainWindow::SetLayeredAlpha(int alpha) {
    const LONG_PTR exStyle = GetWindowLongPtrW(window_, GWL_EXSTYLE);
    SetWindowLongPtrW(window_, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window_, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

void MainWindow::ClearLayered() {
    const LONG_PTR exStyle = GetWindowLongPtrW(window_, GWL_EXSTYLE);
    SetWindowLongPtrW(window_, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    RedrawWindow(window_, nullptr, nullptr,
                 RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void MainWindow::SetTopmost(bool topmost) {
    RECT r;
    GetWindowRect(window_, &r);
    SetWindowPos(window_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, r.left, r.top, r.right - r.left,
                 r.bottom - r.top, 0);
}

void MainWindow::PopupMainMenu(LPARAM where) {
    const POINT at = ContextMenuPosition(window_, where);
    form_.mnuMain.Popup(at.x, at.y);
}

bool MainWindow::PreTranslate(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return false;
    if (!IsOwnWindow(window_, message.hwnd))
        return false;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (message.wParam == VK_APPS || (message.wParam == VK_F10 && shift && !ctrl && !alt)) {
        PopupMainMenu(MAKELPARAM(-1, -1));
        return true;
    }
    std::uint16_t shortcut = static_cast<std::uint16_t>(message.wParam & 0xFF);
    if (shift)
        shortcut |= ui::kShift;
    if (ctrl)
        shortcut |= ui::kCtrl;
    if (alt)
        shortcut |= ui::kAlt;
    return form_.KeyDown(shortcut, IsOwnWindow(zoomList_->Handle(), message.hwnd));
}

LRESULT MainWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (window_)
            Layout();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_WINDOWPOSCHANGING: {
        // Dragged near an edge of its monitor's work area, the window snaps onto it.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if ((pos->flags & SWP_NOMOVE) || !(pos->flags & SWP_NOSIZE) || !moving_)
            break;
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        const RECT proposed{pos->x, pos->y, pos->x + pos->cx, pos->y + pos->cy};
        if (!GetMonitorInfoW(MonitorFromRect(&proposed, MONITOR_DEFAULTTONEAREST), &monitor))
            break;
        RECT current;
        GetWindowRect(window, &current);
        const Point at = SnapToEdges(Rect::FromSize(pos->x, pos->y, current.right - current.left,
                                                    current.bottom - current.top),
                                     Rect{monitor.rcWork.left, monitor.rcWork.top,
                                          monitor.rcWork.right, monitor.rcWork.bottom},
                                     kScreenSnapDistance);
        pos->x = at.x;
        pos->y = at.y;
        break;
    }
    case WM_ENTERSIZEMOVE:
        moving_ = true;
        break;
    case WM_EXITSIZEMOVE:
        moving_ = false;
        break;
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
    case WM_SYSCOMMAND:
        // Minimised, the application keeps its task-bar button, which its owner carries.
        if ((wParam & 0xFFF0) == SC_MINIMIZE) {
            if (const HWND owner = GetWindow(window, GW_OWNER)) {
                SendMessageW(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
                return 0;
            }
        }
        break;
    case WM_CLOSE:
        if (!(OnCloseQuery ? OnCloseQuery() : form_.FormCloseQuery()))
            return 0;
        ShowWindow(window, SW_HIDE);
        DestroyWindow(window);
        return 0;
    case WM_QUERYENDSESSION:
        // Staying in the tray must never keep the user from logging off or shutting down.
        return TRUE;
    case WM_ENDSESSION:
        if (wParam && OnEndSession)
            OnEndSession();
        return 0;
    case WM_HOTKEY:
        form_.WMHotKey();
        return 0;
    case WM_DISPLAYCHANGE:
        if (OnDisplayChange)
            OnDisplayChange();
        break;
    case WM_DESTROY:
        if (OnDestroy)
            OnDestroy();
        UnregisterHotKey(window, hotKeyId_);
        GlobalDeleteAtom(hotKeyId_);
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
        // Keys and the wheel reach the form here, outside any window procedure.
        bool consumed = false;
        if (!CurrentFaultBarrier().Run(
                ui::EventKind::Other,
                [&] { consumed = ApplicationEvents(message) || window.PreTranslate(message); }) ||
            consumed)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace lupenta::win32
