#pragma once

#include "win32/WindowClass.h"

#include <windows.h>

namespace lupenta::win32 {

// The application's own window. It carries the program's task-bar button under the
// application's title, while the main window, which it owns and so keeps off the task bar,
// shows its own caption with the version. It has no size: the user meets only its button, and
// what the button asks for (activation, minimising, restoring, closing) is passed on to the
// main window.
class TaskBarWindow final : public MessageHandler {
public:
    TaskBarWindow();
    ~TaskBarWindow() override;
    TaskBarWindow(const TaskBarWindow&) = delete;
    TaskBarWindow& operator=(const TaskBarWindow&) = delete;

    HWND Hwnd() const { return window_; }
    // The window that goes and comes back with the button, created with this one as owner.
    void SetMainWindow(HWND main) { main_ = main; }

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND window_ = nullptr;
    HWND main_ = nullptr;
    bool minimized_ = false;
};

// The window that carries the main window's task-bar button: its owner when it has one,
// otherwise the main window itself.
HWND TaskBarButtonOf(HWND main);

} // namespace lupenta::win32
