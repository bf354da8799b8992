#include "app/RunAtLogon.h"

#include "ui/Application.h"

namespace lupenta {

std::string RunCommandFor(const std::string& executablePath) {
    return "\"" + executablePath + "\" /autostart";
}

void RunonStartup1Click(RunKey& key, ui::TMenuItem& item, const std::string& executablePath,
                        Desktop& desktop) {
    if (item.Checked) {
        key.Remove(kRunValueName);
    } else if (key.Write(kRunValueName, RunCommandFor(executablePath)) ==
               RunKey::WriteResult::Failed) {
        ui::Application.ShowMessage(desktop,
                                    std::string("Failed to set data for '") + kRunValueName + "'",
                                    MessageIcon::Error, false);
        return;
    }
    item.Checked = !item.Checked;
}

} // namespace lupenta
