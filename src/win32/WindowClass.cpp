#include "win32/WindowClass.h"

#include "win32/FaultGuard.h"

namespace lupenta::win32 {

namespace {

LRESULT CALLBACK ForwardingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* handler = reinterpret_cast<MessageHandler*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!handler)
        return DefWindowProcW(window, message, wParam, lParam);
    return GuardedMessage(window, message,
                          [&] { return handler->HandleMessage(window, message, wParam, lParam); });
}

} // namespace

void RegisterHandlerClass(const wchar_t* className, UINT classStyle, HBRUSH background) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &existing))
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = classStyle;
    wc.lpfnWndProc = ForwardingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
}

MouseButton ButtonOfMessage(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
        return MouseButton::Left;
    case WM_RBUTTONDOWN:
        return MouseButton::Right;
    default:
        return MouseButton::Middle;
    }
}

HWND CreateHandlerWindow(MessageHandler& handler, const wchar_t* className, DWORD exStyle,
                         DWORD style, int x, int y, int width, int height, HWND parent) {
    return CreateWindowExW(exStyle, className, L"", style, x, y, width, height, parent, nullptr,
                           GetModuleHandleW(nullptr), &handler);
}

} // namespace lupenta::win32
