#include "app/Program.h"

#include "app/RunAtLogon.h"

namespace lupenta {

Program::Program(Desktop& desktop, FileSystem& files, FormWindow& window)
    : store(files), form(desktop), storage(window, "frmmain") {
    store.SetFileName(kSettingsFileName);
    store.Reload();
    storage.SetAppStorage(&store);
    storage.SetAppStoragePath("..\\");
    storage.StoredProps = kMainWindowStoredProps;
    form.SetFormStorage(&storage);
}

void Program::AttachTray(TTrayIcon& tray) {
    tray_ = &tray;
    tray.Hint = "Lupenta";
    tray.PopupMenu = &form.mnuMain;
    tray.Visibility = TTrayIcon::kMainWindowVisibility;
    tray.Active = true;
}

void Program::ApplyStartupSwitches(const StartupRequests& requests) {
    if (requests.opacity > 0) {
        form.Transparency = requests.opacity;
        form.SetTransparency();
    }
    if (requests.noTray && tray_)
        tray_->Active = false;
    if (requests.allowClose)
        form.AllowClose = true;
    // Started hidden, the program is reachable through its tray icon and the hot key.
    if (requests.startHidden && tray_)
        tray_->Visibility = tray_->Visibility.Get().Without(tvVisibleTaskBar);
}

bool Program::CloseQuery() {
    if (!storage.OnCloseQuery())
        return false;
    // The placement save has just written its own texts into the keys it shares with the
    // window's settings, so the window's values are written after it on every way out: also
    // when the window was hidden to the tray, or never shown, and no hide will run its hide
    // handler.
    form.FormHide();
    return true;
}

void Program::EndSession() {
    storage.SaveFormPlacement();
    form.FormHide();
    store.Flush();
}

void Program::Create(const std::vector<std::string>& arguments, RunKey& runKey) {
    form.FormCreate();
    ReadCoordinateArguments(arguments, form.offsetx, form.offsety);
    form.RunonStartup1.Checked = runKey.Exists(kRunValueName);
    storage.BindStoredProps(form.Components());
    storage.TakeOverEvents([this] { form.FormShow(); }, [this] { return form.FormCloseQuery(); },
                           [] {});
}

} // namespace lupenta
