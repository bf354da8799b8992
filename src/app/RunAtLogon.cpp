#include "app/RunAtLogon.h"

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
        desktop.ShowMessage(std::string("Failed to set data for '") + kRunValueName + "'",
                            "Lupenta", MessageIcon::Error, false);
        return;
    }
    item.Checked = !item.Checked;
}

} // namespace lupenta
