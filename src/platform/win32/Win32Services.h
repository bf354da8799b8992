#pragma once

#include "main/fmMagnifier.h"
#include "platform/win32/Win32RunKey.h"
#include "tray/TrayIcon.h"

#include <windows.h>

namespace lupenta::win32 {

// What the main window asks of the rest of the program, on Windows.
class Win32Services final : public MainWindowServices {
public:
    explicit Win32Services(Desktop& desktop) : desktop_(desktop) {}

    void SetTray(TTrayIcon* tray) { tray_ = tray; }

    void HideApplication() override;
    void ShowApplication() override;
    void ToggleRunOnStartup(ui::TMenuItem& item) override;
    RunKey& LogonRunKey() { return runKey_; }
    std::string Version() override;

private:
    Desktop& desktop_;
    Win32RunKey runKey_;
    TTrayIcon* tray_ = nullptr;
};

// "1.0": the major and minor numbers of the executable's own file version.
std::string ExecutableVersion();

} // namespace lupenta::win32
