// A window of our own that owns a caret at known places, for the end-to-end tests of caret
// following: a borderless white window at (left, top) whose caret stands at the first of its
// places while the window has the keyboard; the N key moves it to the next place. The window's
// title tells where the caret is in screen coordinates, "Lupenta caret test at X,Y", so a
// test knows where to expect it and when a move has happened.
// Usage: LupentaCaret.exe [left top]

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace {

constexpr POINT kPlaces[] = {{30, 40}, {250, 120}, {120, 170}};
constexpr int kCaretWidth = 2;
constexpr int kCaretHeight = 20;

std::size_t place = 0;

void ShowWhereTheCaretIs(HWND window) {
    POINT at = kPlaces[place];
    ClientToScreen(window, &at);
    wchar_t title[64];
    std::swprintf(title, std::size(title), L"Lupenta caret test at %ld,%ld", at.x, at.y);
    SetWindowTextW(window, title);
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS:
        CreateCaret(window, nullptr, kCaretWidth, kCaretHeight);
        SetCaretPos(kPlaces[place].x, kPlaces[place].y);
        ShowCaret(window);
        return 0;
    case WM_KILLFOCUS:
        DestroyCaret();
        return 0;
    case WM_KEYDOWN:
        if (wParam == 'N') {
            place = (place + 1) % std::size(kPlaces);
            SetCaretPos(kPlaces[place].x, kPlaces[place].y);
            ShowWhereTheCaretIs(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int left = 100;
    int top = 600;
    if (__argc >= 3) {
        left = _wtoi(__wargv[1]);
        top = _wtoi(__wargv[2]);
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_IBEAM));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"LupentaCaret";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, L"LupentaCaret", L"", WS_POPUP | WS_VISIBLE, left, top, 400,
                                  200, nullptr, nullptr, instance, nullptr);
    ShowWhereTheCaretIs(window);
    SetForegroundWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
