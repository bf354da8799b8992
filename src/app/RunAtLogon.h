#pragma once

#include "platform/Desktop.h"
#include "platform/RunKey.h"
#include "ui/MenuItem.h"

#include <string>

namespace lupenta {

// The name of the program's value in the log-on Run key; the value's presence is the only
// record of the "Run on Startup" choice.
inline constexpr const char* kRunValueName = "Lupenta";

// The command the platform runs at log-on: "\"<path>\" /autostart", so the program starts
// hidden in the tray.
std::string RunCommandFor(const std::string& executablePath);

// The "Run on Startup" command: removes the value when the item is checked, writes it when
// not, then flips the check without looking at the registry again. A failed write is reported
// and leaves the check as it was; a key that cannot be opened is not, and the check flips.
void RunonStartup1Click(RunKey& key, ui::TMenuItem& item, const std::string& executablePath,
                        Desktop& desktop);

} // namespace lupenta
