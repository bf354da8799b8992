#include "platform/win32/PanelWindow.h"

#include "platform/win32/Handles.h"

namespace lupenta::win32 {

namespace {
constexpr wchar_t kPanelClass[] = L"LupentaPanel";
}

PanelWindow::PanelWindow(ui::TPanel& panel, HWND parent) : panel_(panel) {
    RegisterHandlerClass(kPanelClass, 0, nullptr);
    const Rect& b = panel.Bounds;
    window_ =
        CreateHandlerWindow(*this, kPanelClass, 0, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                            b.left, b.top, b.Width(), b.Height(), parent);
    panel_.AttachPeer(this);
}

PanelWindow::~PanelWindow() {
    panel_.AttachPeer(nullptr);
    if (window_)
        DestroyWindow(window_);
}

void PanelWindow::ComponentChanged() {
    if (!window_)
        return;
    const Rect& b = panel_.Bounds;
    MoveWindow(window_, b.left, b.top, b.Width(), b.Height(), FALSE);
    ShowWindow(window_, panel_.Visible ? SW_SHOWNA : SW_HIDE);
    InvalidateRect(window_, nullptr, TRUE);
}

LRESULT PanelWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(window, &r);
        UniqueBrush brush(CreateSolidBrush(panel_.Color));
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush.get());
        return 1;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (panel_.OnMouseDown)
            panel_.OnMouseDown();
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace lupenta::win32
