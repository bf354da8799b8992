#include "app/Program.h"

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

void Program::EndSession() {
    storage.SaveFormPlacement();
    form.FormHide();
    store.Flush();
}

void Program::Create() {
    form.FormCreate();
    storage.BindStoredProps(form.Components());
    storage.TakeOverEvents([this] { form.FormShow(); }, [this] { return form.FormCloseQuery(); },
                           [] {});
}

} // namespace lupenta
