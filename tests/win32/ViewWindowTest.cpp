#include "win32/ViewWindow.h"
#include "support/FakeDesktop.h"
#include "view/VwImage.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace lupenta::win32 {
namespace {

// While a button is down the view holds the mouse, so the release reaches it even off the
// view; the last button up lets go. A mouse-down handler that starts a drag releases it itself.
TEST(ViewWindowTest, HoldsTheMouseWhileAButtonIsDown) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(parent);
    testing::FakeDesktop desktop;
    TImageView view{desktop};
    view.SetBounds(Rect::FromSize(0, 0, 300, 200));
    int ups = 0;
    view.OnMouseUp = [&] { ++ups; };
    {
        ViewWindow window(view, parent);
        HWND hwnd = window.Handle();
        ASSERT_TRUE(hwnd);
        SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        EXPECT_EQ(GetCapture(), hwnd);
        SendMessageW(hwnd, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, MAKELPARAM(10, 10));
        SendMessageW(hwnd, WM_LBUTTONUP, MK_RBUTTON, MAKELPARAM(10, 10));
        EXPECT_EQ(GetCapture(), hwnd) << "the right button is still down";
        SendMessageW(hwnd, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(ups, 2);

        view.OnMouseDown = [](MouseButton) { ReleaseCapture(); };
        SendMessageW(hwnd, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(10, 10));
        EXPECT_EQ(GetCapture(), nullptr) << "the handler let go";
    }
    DestroyWindow(parent);
}

} // namespace
} // namespace lupenta::win32
