#pragma once

// What the update dialog shows after a version check.

#include <array>
#include <string>

namespace lupenta {

enum class UpdateKind { MajorUpgrade, MinorUpgrade, UpToDate };

struct UpdateOutcome {
    UpdateKind kind = UpdateKind::UpToDate;
    // "Major upgrade found", "Minor upgrade found" or "You are already using the latest
    // version."
    std::string message;
    // The version text published online, as found.
    std::string onlineVersion;
    // The program's own version text.
    std::string currentVersion;
    // whatsnew1 to whatsnew4; a missing one is empty.
    std::array<std::string, 4> features;
};

// The four feature lines, each followed by CR LF, empty ones included.
inline std::string FeatureText(const UpdateOutcome& outcome) {
    std::string text;
    for (const std::string& line : outcome.features)
        text += line + "\r\n";
    return text;
}

// An upgrade shows the download link and the feature list; being up to date hides both and
// makes the dialog shorter.
inline bool OffersDownload(const UpdateOutcome& outcome) {
    return outcome.kind != UpdateKind::UpToDate;
}

} // namespace lupenta
