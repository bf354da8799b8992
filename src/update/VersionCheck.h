#pragma once

// The version check: the vendor's published version file fetched over HTTP, its values, the
// comparison with the program's own version, and the dialog or the one warning that ends it.

#include "update/UpdateOutcome.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lupenta {

// The whole version file as UTF-8 text, or why there is none.
struct DownloadResult {
    std::optional<std::string> text;
    std::string error;
};

class UpdatePresenter {
public:
    virtual ~UpdatePresenter() = default;
    // Shows the update dialog modally and returns once it is closed.
    virtual void ShowUpdateDialog(const UpdateOutcome& outcome) = 0;
};

// "http://<vendor host>/version/lupenta.txt"
std::string VersionFileAddress();

// Lines end at CR LF, a lone CR or a lone LF; a break at the very end opens no further line.
std::vector<std::string> SplitLines(std::string_view text);

// The value of `key` in the last line that contains it (case-sensitive): from one character
// after the first "CONTENT=" (in any case) up to the next double quote. Made for HTML meta
// lines, where that one character is the opening quote. A line with the key but without
// "CONTENT=" is read from its ninth character. A value that finds no closing quote within 255
// characters is empty, and so is the value of a key that no line contains.
std::string FindContentValue(const std::vector<std::string>& lines, std::string_view key);

// A version text is major "." minor, split at the first "."; each part is a whole integer as
// the settings read them, and 0 when it is not one. Without "." the whole text is the minor.
std::int32_t GetMajorVersion(std::string_view version);
std::int32_t GetMinorVersion(std::string_view version);

UpdateKind CompareVersions(std::string_view programVersion, std::string_view onlineVersion);
const char* UpdateMessage(UpdateKind kind);

// The outcome of a version file against the program's version; nothing when the file holds
// no "Version" value.
std::optional<UpdateOutcome> ReadVersionFile(std::string_view text,
                                             const std::string& programVersion);

inline constexpr const char* kConnectionWarning =
    "Cannot connect to the internet.  Please check your connection.";

} // namespace lupenta
