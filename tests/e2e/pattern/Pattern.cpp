// Known screen content for the end-to-end tests and `make run`: a borderless window at the
// screen's top-left corner whose every pixel has a colour computable from its position, with
// a few lines of large text over the lower part. Usage: LupentaPattern.exe [width height]

#include <windows.h>

#include <cstdlib>

namespace {

constexpr int kTile = 16;

// Must match tile_colour() in tests/e2e/lupenta_e2e.py.
COLORREF TileColour(int x, int y) {
    const int tx = x / kTile;
    const int ty = y / kTile;
    return RGB((tx * 37) & 0xFF, (ty * 59) & 0xFF, ((tx + ty) * 23) & 0xFF);
}

int textTop = 0;

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT client;
        GetClientRect(window, &client);
        for (int y = 0; y < client.bottom; y += kTile)
            for (int x = 0; x < client.right; x += kTile) {
                HBRUSH brush = CreateSolidBrush(TileColour(x, y));
                RECT r{x, y, x + kTile, y + kTile};
                FillRect(dc, &r, brush);
                DeleteObject(brush);
            }
        HFONT font = CreateFontW(-64, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH, L"Arial");
        HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        RECT text{40, textTop, client.right, client.bottom};
        DrawTextW(dc, L"Lupenta sees every pixel.\nMagnify, pick a colour, copy it.", -1, &text,
                  DT_LEFT | DT_NOPREFIX);
        SelectObject(dc, old);
        DeleteObject(font);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (__argc >= 3) {
        width = _wtoi(__wargv[1]);
        height = _wtoi(__wargv[2]);
    }
    textTop = height * 3 / 5;
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = L"LupentaPattern";
    RegisterClassW(&wc);
    CreateWindowExW(0, L"LupentaPattern", L"Lupenta test pattern", WS_POPUP | WS_VISIBLE, 0, 0,
                    width, height, nullptr, nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
