#pragma once

#include "app/CommandLine.h"
#include "main/fmMagnifier.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/RunKey.h"
#include "settings/FormStorage.h"
#include "settings/FormWindow.h"
#include "settings/SettingsStore.h"
#include "tray/TrayIcon.h"

namespace lupenta {

// The main window with the settings that belong to it, built and torn down in the order the
// program relies on: the settings are read while the window is built, and the file is
// written last, after the window and its form storage are gone.
class Program {
public:
    static constexpr const char* kSettingsFileName = "Lupenta.ini";

    Program(Desktop& desktop, FileSystem& files, FormWindow& window);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The window's create handler with the coordinate arguments and the log-on entry; then
    // the stored properties are bound to the window's components.
    void Create(const std::vector<std::string>& arguments, RunKey& runKey);
    // The tray icon comes with the window: its tip, its menu, and it is in the notification
    // area before the window is first shown.
    void AttachTray(TTrayIcon& tray);
    // After the first show, the switches override what the show set.
    void ApplyStartupSwitches(const StartupRequests& requests);

    // Window events, routed through the form storage.
    void Show() { storage.OnShow(); }
    // A close request; true when the window may go, its final settings written.
    bool CloseQuery();
    void Destroy() { storage.OnDestroy(); }
    // The user logs off or the system shuts down: the process ends without the window's
    // usual close, so everything the close would have saved is saved and written now.
    void EndSession();

    TSettingsStore store;
    Tfrmmain form;
    TFormStorage storage;

private:
    TTrayIcon* tray_ = nullptr;
};

} // namespace lupenta
