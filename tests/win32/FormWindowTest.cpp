#include "settings/FormStorage.h"
#include "settings/SettingsStore.h"
#include "win32/Pump.h"
#include "win32/Text.h"
#include "win32/Win32FileSystem.h"
#include "win32/Win32FormWindow.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

namespace lupenta::win32 {
namespace {

// scripts/with-xvfb gives Wine one screen of this size.
constexpr int kDesktopWidth = 1920;
constexpr int kDesktopHeight = 1080;
constexpr Rect kCreatedAt{200, 150, 200 + 480, 150 + 320};

// An ordinary top-level window, created hidden as the program's main window is.
class TopLevelWindow {
public:
    explicit TopLevelWindow(const Rect& at = kCreatedAt) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"LupentaTestForm";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, L"LupentaTestForm", L"Form", WS_OVERLAPPEDWINDOW, at.left,
                                  at.top, at.Width(), at.Height(), nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        PumpFor(10);
    }
    ~TopLevelWindow() {
        if (IsWindow(window_))
            DestroyWindow(window_);
        PumpFor(10);
    }
    TopLevelWindow(const TopLevelWindow&) = delete;
    TopLevelWindow& operator=(const TopLevelWindow&) = delete;

    HWND Handle() const { return window_; }
    void Show(int showCmd) {
        ShowWindow(window_, showCmd);
        PumpFor(10);
    }

private:
    HWND window_;
};

// The placement record measures the normal rectangle from the work area's corner, not the
// screen's.
Rect InPlacementCoordinates(const Rect& screen) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return {screen.left - work.left, screen.top - work.top, screen.right - work.left,
            screen.bottom - work.top};
}

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

TEST(FormWindow, PlacementSurvivesAReadAndWriteBack) {
    struct Case {
        const char* name;
        int show;
    };
    const Case cases[] = {
        {"normal", SW_SHOWNORMAL},
        {"maximised", SW_SHOWMAXIMIZED},
        {"minimised", SW_SHOWMINIMIZED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TopLevelWindow window;
        window.Show(c.show);
        Win32FormWindow form(window.Handle());

        const std::optional<WindowPlacement> before = form.GetPlacement();
        ASSERT_TRUE(before);
        // Checked against what the window was given, as a round trip alone would not notice
        // two fields swapped both ways.
        EXPECT_EQ(before->showCmd, static_cast<std::uint32_t>(c.show));
        EXPECT_EQ(before->normalPosition, InPlacementCoordinates(kCreatedAt));

        ASSERT_TRUE(form.SetPlacement(*before));
        PumpFor(10);
        const std::optional<WindowPlacement> after = form.GetPlacement();
        ASSERT_TRUE(after);
        EXPECT_EQ(after->flags, before->flags);
        EXPECT_EQ(after->showCmd, before->showCmd);
        EXPECT_EQ(after->minPosition, before->minPosition);
        EXPECT_EQ(after->normalPosition, before->normalPosition);
        // Wine moves a maximised window to its maximised position on the write-back and from
        // then on reports (0,0) where it reported "none", (-1,-1).
        if (!(c.show == SW_SHOWMAXIMIZED && UnderWine())) {
            EXPECT_EQ(after->maxPosition, before->maxPosition);
        }
        EXPECT_TRUE(form.IsVisible());
    }
}

TEST(FormWindow, AHiddenPlacementMovesTheWindowWithoutShowingIt) {
    TopLevelWindow window;
    Win32FormWindow form(window.Handle());
    WindowPlacement placement = *form.GetPlacement();
    const Rect target{640, 400, 640 + 300, 400 + 250};
    placement.normalPosition = InPlacementCoordinates(target);
    placement.showCmd = kShowHidden;

    ASSERT_TRUE(form.SetPlacement(placement));
    PumpFor(10);
    EXPECT_FALSE(form.IsVisible());
    EXPECT_EQ(form.BoundsRect(), target);
    EXPECT_EQ(form.GetPlacement()->normalPosition, placement.normalPosition);
}

TEST(FormWindow, TheHandleMayComeLaterAndGoAway) {
    Win32FormWindow form;
    EXPECT_FALSE(form.HasHandle());
    EXPECT_FALSE(form.IsVisible());
    EXPECT_FALSE(form.GetPlacement());
    EXPECT_FALSE(form.SetPlacement(WindowPlacement{}));
    EXPECT_EQ(form.BoundsRect(), Rect{});
    form.Repaint();

    HWND gone = nullptr;
    {
        TopLevelWindow window;
        window.Show(SW_SHOWNORMAL);
        form.SetWindow(window.Handle());
        EXPECT_TRUE(form.HasHandle());
        EXPECT_TRUE(form.IsVisible());
        EXPECT_EQ(form.BoundsRect(), kCreatedAt);
        form.Repaint();
        gone = window.Handle();
    }
    EXPECT_EQ(form.Window(), gone);
    EXPECT_FALSE(form.HasHandle());
    EXPECT_FALSE(form.GetPlacement());
}

TEST(FormWindow, ScreenIsTheWholeDesktopWithItsMonitors) {
    TopLevelWindow window;
    Win32FormWindow form(window.Handle());
    const ScreenMetrics screen = form.Screen();

    EXPECT_EQ(screen.virtualWidth, kDesktopWidth);
    EXPECT_EQ(screen.virtualHeight, kDesktopHeight);
    ASSERT_FALSE(screen.monitors.empty());
    Rect enclosing = screen.monitors.front();
    for (const Rect& m : screen.monitors) {
        EXPECT_GT(m.Width(), 0);
        EXPECT_GT(m.Height(), 0);
        enclosing = {std::min(enclosing.left, m.left), std::min(enclosing.top, m.top),
                     std::max(enclosing.right, m.right), std::max(enclosing.bottom, m.bottom)};
    }
    EXPECT_EQ(enclosing.Width(), screen.virtualWidth);
    EXPECT_EQ(enclosing.Height(), screen.virtualHeight);

    // The screen's logical figure, whichever monitor the window is on (Wine gives every monitor
    // the same scaling, so only the figure itself can be checked here).
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(screen.pixelsPerInch, GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(nullptr, dc);
    // Without a window only the screen can answer, and it must answer the same.
    EXPECT_EQ(Win32FormWindow().Screen().pixelsPerInch, screen.pixelsPerInch);
}

// The Win32 file system with the program's folder moved to a fresh temporary folder.
class TemporaryFolderFileSystem : public Win32FileSystem {
public:
    TemporaryFolderFileSystem() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = Narrow(std::wstring(temp)) + "lupenta-form-" + std::to_string(GetTickCount()) +
                  "-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(Widen(folder_).c_str(), nullptr);
    }
    ~TemporaryFolderFileSystem() override {
        RemoveFile(Ini());
        RemoveDirectoryW(Widen(folder_).c_str());
    }
    std::string ExecutableFolder() override { return folder_; }
    std::string Ini() const { return folder_ + "\\Lupenta.ini"; }

private:
    std::string folder_;
};

// The settings store and form storage as the main window sets them up.
struct Storage {
    explicit Storage(FileSystem& files, Win32FormWindow& window)
        : store(files), form(window, "frmmain") {
        store.SetFileName("Lupenta.ini");
        store.Reload();
        form.SetAppStorage(&store);
        form.SetAppStoragePath("..\\");
    }
    TSettingsStore store;
    TFormStorage form;
};

std::string PositionText(const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

TEST(FormWindow, ASavedPlacementCarriesTheDesktopSizeAndComesBackInTheNextRun) {
    TemporaryFolderFileSystem files;
    WindowPlacement saved;
    {
        TopLevelWindow window;
        window.Show(SW_SHOWNORMAL);
        Win32FormWindow form(window.Handle());
        Storage storage(files, form);
        // The first run finds nothing, so the save afterwards writes the placement.
        storage.form.RestoreFormPlacement();
        MoveWindow(window.Handle(), 333, 222, 400, 300, TRUE);
        PumpFor(10);
        saved = *form.GetPlacement();
        ASSERT_EQ(saved.normalPosition, InPlacementCoordinates({333, 222, 733, 522}));
        storage.form.SaveFormPlacement();

        const std::string norm = PositionText(saved.normalPosition);
        EXPECT_EQ(storage.store.ReadString("NormPos(1920x1080)", ""), norm);
        EXPECT_EQ(storage.store.ReadString("NormPos", ""), norm);
        EXPECT_TRUE(storage.store.ValueStored("MinMaxPos(1920x1080)"));
        EXPECT_EQ(storage.store.ReadInteger("PixelsPerInch", 0), form.Screen().pixelsPerInch);
    }
    ASSERT_NE(files.ReadFile(files.Ini()).value_or("").find("NormPos(1920x1080)="),
              std::string::npos);

    TopLevelWindow window;
    Win32FormWindow form(window.Handle());
    Storage storage(files, form);
    storage.form.OnShow();
    PumpFor(10);
    EXPECT_FALSE(form.IsVisible());
    EXPECT_EQ(form.GetPlacement()->normalPosition, saved.normalPosition);
    EXPECT_EQ(form.BoundsRect(), (Rect{333, 222, 733, 522}));
}

TEST(FormWindow, APlacementOffEveryMonitorIsNotApplied) {
    struct Case {
        const char* norm;
        bool applied;
    };
    const Case cases[] = {
        {"100,100,500,400", true},
        {"1700,900,2000,1100", false}, // bottom-right corner beyond the screen
        {"-40,100,300,400", false},    // top-left corner beyond the screen
        {"500,400,100,100", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.norm);
        TemporaryFolderFileSystem files;
        TopLevelWindow window;
        Win32FormWindow form(window.Handle());
        Storage storage(files, form);
        storage.store.WriteInteger("PixelsPerInch", form.Screen().pixelsPerInch);
        storage.store.WriteString("NormPos", c.norm);
        storage.store.FlushOnDestroy = false;

        storage.form.RestoreFormPlacement();
        PumpFor(10);
        EXPECT_EQ(form.BoundsRect() == kCreatedAt, !c.applied);
    }
}

} // namespace
} // namespace lupenta::win32
