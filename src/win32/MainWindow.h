#pragma once

#include "main/fmMagnifier.h"
#include "win32/ApplicationEvents.h"
#include "win32/ControlWindows.h"
#include "win32/Handles.h"
#include "win32/MenuPeer.h"
#include "win32/TimerPeer.h"
#include "win32/ViewWindow.h"
#include "win32/WindowClass.h"

#include <functional>
#include <memory>
#include <vector>

namespace lupenta::win32 {

// The top-level window of Tfrmmain and the home of its controls' peers. Given an owner, the
// owner carries the task-bar button and the window's minimise command.
class MainWindow final : public MessageHandler, public ui::FormPeer {
public:
    explicit MainWindow(Tfrmmain& form, HWND owner = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Hwnd() const { return window_; }
    // Run when the window first becomes visible, before it appears; the form storage takes
    // this over to restore the placement first.
    std::function<void()> OnShow;
    // Answers a close request; when the close passes, the settings to keep have been written.
    std::function<bool()> OnCloseQuery;
    std::function<void()> OnDestroy;
    std::function<void()> OnEndSession;
    // The monitors were added, removed, moved or resized.
    std::function<void()> OnDisplayChange;
    // The first show: the show handler runs, then the window appears unless it starts hidden.
    void Show(bool onScreen = true);
    // Keys the window sees before any control: menu shortcuts, the menu keys and the key
    // handler. True when the message is consumed.
    bool PreTranslate(const MSG& message);

    WindowId Handle() override { return reinterpret_cast<WindowId>(window_); }
    bool Visible() override;
    Rect BoundsRect() override;
    void SetBoundsRect(const Rect& bounds) override;
    std::uint32_t Style() override;
    void SetStyle(std::uint32_t style) override;
    void RefreshFrame() override;
    void SetCaption(const std::string& caption) override;
    void StartMove() override;
    void Close() override;
    void SetLayeredAlpha(int alpha) override;
    void ClearLayered() override;
    void SetTopmost(bool topmost) override;

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls();
    void Layout();
    void PopupMainMenu(LPARAM where);

    Tfrmmain& form_;
    HWND window_ = nullptr;
    UniqueFont font_;
    HWND tooltip_ = nullptr;
    ATOM hotKeyId_ = 0;
    // The user is dragging the window, which snaps to the screen's edges.
    bool moving_ = false;
    std::unique_ptr<ViewWindow> view_;
    std::vector<std::unique_ptr<ControlWindow>> controls_;
    // The zoom list keeps its own arrow keys while it has the keyboard.
    ControlWindow* zoomList_ = nullptr;
    std::unique_ptr<TimerPeer> timer_;
    std::unique_ptr<MenuPeer> menu_;
    // The wheel steps the zoom from every loop of the program, modal dialogs' included.
    InstalledMessageHook wheel_;
};

// Runs the message loop until the main window is gone; returns the exit code.
int RunMessageLoop(MainWindow& window);

} // namespace lupenta::win32
