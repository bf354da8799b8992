#include "win32/Text.h"
#include "win32/Win32Desktop.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace lupenta::win32 {
namespace {

// A topmost popup window that paints a known pattern: each 10 x 10 block in its own colour.
class PatternWindow {
public:
    static constexpr int kLeft = 100;
    static constexpr int kTop = 120;
    static constexpr int kSize = 80;

    PatternWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LupentaTestPattern";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"LupentaTestPattern", L"",
                                  WS_POPUP | WS_VISIBLE, kLeft, kTop, kSize, kSize, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        UpdateWindow(window_);
        Pump();
    }
    ~PatternWindow() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }

    static Colour ColourAt(int x, int y) { return MakeColour(x / 10 * 30, y / 10 * 30, 200); }

    static void Pump() {
        for (int i = 0; i < 20; ++i) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            Sleep(20);
        }
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_PAINT)
            return DefWindowProcW(window, message, wParam, lParam);
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        for (int y = 0; y < kSize; y += 10)
            for (int x = 0; x < kSize; x += 10) {
                HBRUSH brush = CreateSolidBrush(ColourAt(x, y));
                RECT r{x, y, x + 10, y + 10};
                FillRect(dc, &r, brush);
                DeleteObject(brush);
            }
        EndPaint(window, &ps);
        return 0;
    }

    HWND window_;
};

TEST(Win32Desktop, CapturesWhatTheScreenShowsIntoTheFrameAtTheGivenPoint) {
    PatternWindow pattern;
    Win32Desktop desktop;
    Bitmap24 frame(desktop.FrameAllocator());
    frame.SetSize(33, 21);
    const Rect source = Rect::FromSize(PatternWindow::kLeft + 5, PatternWindow::kTop + 7, 30, 20);
    ASSERT_TRUE(desktop.CaptureScreen(source, frame, {3, 1}));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            SCOPED_TRACE(::testing::Message() << x << "," << y);
            ASSERT_EQ(frame.PixelAt(x + 3, y + 1), PatternWindow::ColourAt(x + 5, y + 7));
        }
}

// A source this large is read in two bands of rows, the pattern lying across their border.
TEST(Win32Desktop, ALargeCaptureHasEveryRowOfEveryBandInPlace) {
    PatternWindow pattern;
    Win32Desktop desktop;
    Bitmap24 frame(desktop.FrameAllocator());
    frame.SetSize(1000, 300);
    const Point inFrame{50, 100};
    const Rect source = Rect::FromSize(PatternWindow::kLeft - inFrame.x,
                                       PatternWindow::kTop - inFrame.y, 1000, 300);
    ASSERT_TRUE(desktop.CaptureScreen(source, frame, {0, 0}));
    for (int y = 0; y < PatternWindow::kSize; ++y)
        for (int x = 0; x < PatternWindow::kSize; ++x) {
            SCOPED_TRACE(::testing::Message() << x << "," << y);
            ASSERT_EQ(frame.PixelAt(x + inFrame.x, y + inFrame.y), PatternWindow::ColourAt(x, y));
        }
}

TEST(Win32Desktop, TheWindowUnderAPointIsItsTopLevelWindowWithItsRectangle) {
    PatternWindow pattern;
    Win32Desktop desktop;
    const auto window =
        desktop.TopLevelWindowAt({PatternWindow::kLeft + 40, PatternWindow::kTop + 40});
    ASSERT_TRUE(window);
    EXPECT_EQ(*window, reinterpret_cast<WindowId>(pattern.Handle()));
    EXPECT_EQ(desktop.WindowRect(*window),
              Rect::FromSize(PatternWindow::kLeft, PatternWindow::kTop, PatternWindow::kSize,
                             PatternWindow::kSize));
}

TEST(Win32Desktop, MonitorsLieInsideTheVirtualDesktop) {
    Win32Desktop desktop;
    const Rect virtualDesktop = desktop.VirtualDesktop();
    const auto monitors = desktop.Monitors();
    ASSERT_FALSE(monitors.empty());
    EXPECT_EQ(desktop.Monitors(), monitors);
    for (const Rect& m : monitors) {
        EXPECT_GE(m.left, virtualDesktop.left);
        EXPECT_LE(m.right, virtualDesktop.right);
    }
    // Every point has a nearest monitor, even far outside the desktop.
    EXPECT_TRUE(desktop.MonitorNearest({-100000, 100000}));
}

TEST(Win32Desktop, ClipboardTextRoundTripsAsUnicode) {
    Win32Desktop desktop;
    ASSERT_TRUE(desktop.SetClipboardText("RGB : 255,128,0 \u00D7"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    const std::wstring text(static_cast<const wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(Narrow(text), "RGB : 255,128,0 \u00D7");
}

TEST(Win32Desktop, ClipboardBitmapKeepsEveryPixel) {
    Win32Desktop desktop;
    Bitmap24 frame;
    frame.SetSize(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            frame.SetPixel(x, y, MakeColour(x * 50, y * 100, 7));
    ASSERT_TRUE(desktop.ClearClipboard());
    ASSERT_TRUE(desktop.SetClipboardBitmap(frame));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_DIB);
    ASSERT_NE(data, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
    EXPECT_EQ(header->biWidth, 5);
    EXPECT_EQ(header->biHeight, 3);
    EXPECT_EQ(header->biBitCount, 24);
    const auto* pixels = reinterpret_cast<const std::uint8_t*>(header + 1);
    const int stride = Bitmap24::StrideFor(5);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const std::uint8_t* p = pixels + (2 - y) * stride + x * 3;
            EXPECT_EQ(MakeColour(p[2], p[1], p[0]), frame.PixelAt(x, y));
        }
    GlobalUnlock(data);
    CloseClipboard();
}

} // namespace
} // namespace lupenta::win32
