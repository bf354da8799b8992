#pragma once

#include "main/fmMagnifier.h"
#include "tray/TrayIcon.h"
#include "update/UpdateCheck.h"
#include "win32/BackgroundFetcher.h"
#include "win32/TimerPeer.h"
#include "win32/Win32RunKey.h"

#include <windows.h>

namespace lupenta::win32 {

// What the main window asks of the rest of the program, on Windows.
class Win32Services final : public MainWindowServices, private UpdatePresenter {
public:
    Win32Services(Desktop& desktop, std::string executableFolder);

    void SetTray(TTrayIcon* tray) { tray_ = tray; }
    // The window that owns the dialogs.
    void SetOwner(HWND owner) { owner_ = owner; }

    void HideApplication() override;
    void ShowApplication() override;
    void ToggleRunOnStartup(ui::TMenuItem& item) override;
    RunKey& LogonRunKey() { return runKey_; }
    std::string Version() override;
    void CheckForUpdates(Tfrmmain& form) override;
    void ShowAbout(const std::string& version) override;
    void ShowOptions() override;

private:
    void ShowUpdateDialog(const UpdateOutcome& outcome) override;

    Desktop& desktop_;
    std::string executableFolder_;
    HWND owner_ = nullptr;
    BackgroundFetcher fetcher_;
    TUpdateCheck check_{fetcher_, *this, desktop_};
    TimerPeer deadline_;
    Win32RunKey runKey_;
    TTrayIcon* tray_ = nullptr;
};

// "1.0": the major and minor numbers of the executable's own file version.
std::string ExecutableVersion();

} // namespace lupenta::win32
