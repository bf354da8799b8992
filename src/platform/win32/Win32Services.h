#pragma once

#include "main/fmMagnifier.h"

#include <windows.h>

namespace lupenta::win32 {

// What the main window asks of the rest of the program, on Windows.
class Win32Services final : public MainWindowServices {
public:
    void SetWindow(HWND window) { window_ = window; }

    // Until the notification-area icon exists, hiding minimises the window, so it can always
    // be brought back from the task bar.
    void HideApplication() override;
    void ShowApplication() override;
    std::string Version() override;

private:
    HWND window_ = nullptr;
};

// "1.0": the major and minor numbers of the executable's own file version.
std::string ExecutableVersion();

} // namespace lupenta::win32
