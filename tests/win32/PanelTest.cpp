#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"
#include "win32/MainWindow.h"
#include "win32/Pump.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace lupenta::win32 {
namespace {

// The main window's end asks the loop to quit, and the next test's loop must not see that.
void ForgetQuit() {
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// A colour of the system's scheme set to another value for as long as the object lives.
class SchemeColour {
public:
    SchemeColour(int index, COLORREF colour) : index_(index), saved_(GetSysColor(index)) {
        SetSysColors(1, &index_, &colour);
    }
    ~SchemeColour() { SetSysColors(1, &index_, &saved_); }
    SchemeColour(const SchemeColour&) = delete;
    SchemeColour& operator=(const SchemeColour&) = delete;

private:
    int index_;
    COLORREF saved_;
};

int PixelsOf(HDC dc, const RECT& r, COLORREF colour) {
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            count += GetPixel(dc, x, y) == colour;
    return count;
}

// The panel's labels are drawn in the scheme's highlighted-text colour, whatever the user
// chose, and the panel has its thin bevel in the scheme's button colours.
TEST(PanelTest, LabelsAndBevelTakeTheirColoursFromTheSystemScheme) {
    constexpr COLORREF kChosenText = RGB(250, 200, 0);
    constexpr COLORREF kChosenLight = RGB(0, 230, 120);
    constexpr COLORREF kChosenShadow = RGB(20, 30, 200);
    SchemeColour text(COLOR_HIGHLIGHTTEXT, kChosenText);
    SchemeColour light(COLOR_BTNHIGHLIGHT, kChosenLight);
    SchemeColour shadow(COLOR_BTNSHADOW, kChosenShadow);
    testing::FakeDesktop desktop;
    Tfrmmain form{desktop};
    form.FormCreate();
    {
        MainWindow window(form);
        window.Show();
        Pump();
        HWND panel = FindWindowExW(window.Hwnd(), nullptr, L"LupentaPanel", nullptr);
        ASSERT_TRUE(panel);
        RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();

        HWND label = FindWindowExW(panel, nullptr, L"LupentaLabel", nullptr);
        ASSERT_TRUE(label);
        HDC labelDc = GetDC(label);
        RECT labelArea;
        GetClientRect(label, &labelArea);
        EXPECT_GT(PixelsOf(labelDc, labelArea, kChosenText), 5) << "no text in the chosen colour";
        ReleaseDC(label, labelDc);

        HDC panelDc = GetDC(panel);
        RECT r;
        GetClientRect(panel, &r);
        EXPECT_EQ(GetPixel(panelDc, 0, r.bottom / 2), kChosenLight) << "left edge";
        EXPECT_EQ(GetPixel(panelDc, r.right / 2, 0), kChosenLight) << "top edge";
        EXPECT_EQ(GetPixel(panelDc, r.right - 1, r.bottom / 2), kChosenShadow) << "right edge";
        EXPECT_EQ(GetPixel(panelDc, r.right / 2, r.bottom - 1), kChosenShadow) << "bottom edge";
        EXPECT_EQ(GetPixel(panelDc, 1, 1), RGB(95, 95, 95)) << "the bevel is one pixel wide";
        ReleaseDC(panel, panelDc);
    }
    ForgetQuit();
}

} // namespace
} // namespace lupenta::win32
