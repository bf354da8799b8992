#pragma once

#include <array>
#include <string>

namespace lupenta {

enum class UpdateKind { MajorUpgrade, MinorUpgrade, UpToDate };

// What a finished version check hands to the update dialog.
struct UpdateOutcome {
    UpdateKind kind = UpdateKind::UpToDate;
    // "Major upgrade found", "Minor upgrade found" or "You are already using the latest
    // version."
    std::string message;
    // The running program's own version text, as in the main window's title.
    std::string currentVersion;
    // The version text exactly as the version file gives it.
    std::string onlineVersion;
    // The whatsnew1 to whatsnew4 values in order; a missing one stays empty.
    std::array<std::string, 4> features;

    // The download link and the features are shown only then.
    bool Upgrade() const { return kind != UpdateKind::UpToDate; }
};

} // namespace lupenta
