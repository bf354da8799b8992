// The least a magnifier built on GDI does each tick, for `make bench-e2e` to set beside the
// program: read the pointer, copy the square around it from the screen, enlarge it by pixel
// replication and present it. No readout, no overlays, no settings. Every second it appends
// "milliseconds frames" to frames.txt in its working folder.
// Usage: LupentaGdiFloor.exe width height zoom, for a view of that size at its screen's right edge.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT kRefreshMs = 16;

struct Frame {
    HDC dc = nullptr;
    std::uint32_t* pixels = nullptr;
};

struct Floor {
    int width = 0, height = 0, zoom = 1;
    int sourceWidth = 0, sourceHeight = 0;
    HDC screen = nullptr;
    Frame source, view;
    long frames = 0;
    DWORD lastReport = 0;
    FILE* report = nullptr;
};

Floor floor_;

Frame MakeFrame(HDC compatible, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    Frame frame;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(compatible, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    frame.dc = CreateCompatibleDC(compatible);
    SelectObject(frame.dc, bitmap);
    frame.pixels = static_cast<std::uint32_t*>(bits);
    return frame;
}

// Each source row is widened once into the first of its zoom rows, which the rest copy.
void Enlarge(const Floor& f) {
    for (int y = 0; y < f.height; y += f.zoom) {
        const std::uint32_t* in =
            f.source.pixels + static_cast<std::size_t>(y / f.zoom) * f.sourceWidth;
        std::uint32_t* out = f.view.pixels + static_cast<std::size_t>(y) * f.width;
        for (int x = 0; x < f.width; ++in)
            for (int k = 0; k < f.zoom && x < f.width; ++k)
                out[x++] = *in;
        for (int r = 1; r < f.zoom && y + r < f.height; ++r)
            std::memcpy(out + static_cast<std::size_t>(r) * f.width, out, f.width * 4u);
    }
}

void Tick(HWND window) {
    POINT at;
    GetCursorPos(&at);
    BitBlt(floor_.source.dc, 0, 0, floor_.sourceWidth, floor_.sourceHeight, floor_.screen,
           at.x - floor_.sourceWidth / 2, at.y - floor_.sourceHeight / 2, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    Enlarge(floor_);
    InvalidateRect(window, nullptr, FALSE);
    ++floor_.frames;
    const DWORD now = GetTickCount();
    if (floor_.report && now - floor_.lastReport >= 1000) {
        std::fprintf(floor_.report, "%lu %ld\n", static_cast<unsigned long>(now), floor_.frames);
        std::fflush(floor_.report);
        floor_.lastReport = now;
    }
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        Tick(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        BitBlt(dc, 0, 0, floor_.width, floor_.height, floor_.view.dc, 0, 0, SRCCOPY);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (__argc < 4)
        return 2;
    floor_.width = std::max(1, _wtoi(__wargv[1]));
    floor_.height = std::max(1, _wtoi(__wargv[2]));
    floor_.zoom = std::max(1, _wtoi(__wargv[3]));
    floor_.sourceWidth = (floor_.width + floor_.zoom - 1) / floor_.zoom;
    floor_.sourceHeight = (floor_.height + floor_.zoom - 1) / floor_.zoom;
    floor_.report = _wfopen(L"frames.txt", L"w");

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"LupentaGdiFloor";
    RegisterClassW(&windowClass);
    constexpr DWORD kStyle = WS_POPUP | WS_BORDER | WS_VISIBLE;
    RECT outer{0, 0, floor_.width, floor_.height};
    AdjustWindowRect(&outer, kStyle, FALSE);
    const int outerWidth = outer.right - outer.left;
    HWND window = CreateWindowW(L"LupentaGdiFloor", L"Lupenta GDI floor", kStyle,
                                GetSystemMetrics(SM_CXSCREEN) - outerWidth, 0, outerWidth,
                                outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
    floor_.screen = GetDC(nullptr);
    floor_.source = MakeFrame(floor_.screen, floor_.sourceWidth, floor_.sourceHeight);
    floor_.view = MakeFrame(floor_.screen, floor_.width, floor_.height);
    SetTimer(window, 1, kRefreshMs, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
