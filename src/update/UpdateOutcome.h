#pragma once

#include <array>
#include <string>

namespace lupenta {

// What a finished version check hands to the update dialog.
struct UpdateOutcome {
    // The running program's own version text, as in the main window's title.
    std::string programVersion;
    // The version text exactly as the version file gives it.
    std::string onlineVersion;
    // "Major upgrade found", "Minor upgrade found" or "You are already using the latest
    // version."
    std::string message;
    // The whatsnew1 to whatsnew4 values in order; a missing one stays empty.
    std::array<std::string, 4> features;
    // A major or minor upgrade exists: the download link and the features are shown.
    bool upgrade = false;
};

} // namespace lupenta
