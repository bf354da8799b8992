#include "update/VersionCheck.h"

#include "platform/AsciiText.h"
#include "settings/SettingsStore.h"

namespace lupenta {

namespace {

constexpr std::string_view kContentMarker = "CONTENT=";
constexpr std::size_t kLongestValue = 254;

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Characters, not bytes: the text is UTF-8 and a value must not start inside a character.
std::size_t AdvanceCharacters(std::string_view text, std::size_t at, std::size_t count) {
    for (; count > 0 && at < text.size(); --count) {
        ++at;
        while (at < text.size() && IsContinuationByte(text[at]))
            ++at;
    }
    return at;
}

std::int32_t VersionPart(std::string_view text) {
    return ParseIntegerText(text).value_or(0);
}

} // namespace

std::string VersionFileAddress() {
    return std::string("http://") + LUPENTA_VENDOR_HOST + "/version/lupenta.txt";
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

std::string FindContentValue(const std::vector<std::string>& lines, std::string_view key) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (line->find(key) == std::string::npos)
            continue;
        const std::string_view text = *line;
        const std::size_t marker = FindIgnoringAsciiCase(text, kContentMarker);
        // Without the marker the value starts at the ninth character, as the published files
        // have always been read.
        const std::size_t start = marker == std::string_view::npos
                                      ? AdvanceCharacters(text, 0, kContentMarker.size())
                                      : AdvanceCharacters(text, marker, kContentMarker.size() + 1);
        const std::size_t limit = AdvanceCharacters(text, start, kLongestValue + 1);
        const std::size_t quote = text.substr(start, limit - start).find('"');
        if (quote == std::string_view::npos)
            return {};
        return std::string(text.substr(start, quote));
    }
    return {};
}

std::int32_t GetMajorVersion(std::string_view version) {
    const std::size_t dot = version.find('.');
    return dot == std::string_view::npos ? 0 : VersionPart(version.substr(0, dot));
}

std::int32_t GetMinorVersion(std::string_view version) {
    const std::size_t dot = version.find('.');
    return VersionPart(dot == std::string_view::npos ? version : version.substr(dot + 1));
}

UpdateKind CompareVersions(std::string_view programVersion, std::string_view onlineVersion) {
    const std::int32_t programMajor = GetMajorVersion(programVersion);
    const std::int32_t onlineMajor = GetMajorVersion(onlineVersion);
    if (onlineMajor > programMajor)
        return UpdateKind::MajorUpgrade;
    if (onlineMajor == programMajor &&
        GetMinorVersion(onlineVersion) > GetMinorVersion(programVersion))
        return UpdateKind::MinorUpgrade;
    return UpdateKind::UpToDate;
}

const char* UpdateMessage(UpdateKind kind) {
    switch (kind) {
    case UpdateKind::MajorUpgrade:
        return "Major upgrade found";
    case UpdateKind::MinorUpgrade:
        return "Minor upgrade found";
    case UpdateKind::UpToDate:
        break;
    }
    return "You are already using the latest version.";
}

std::optional<UpdateOutcome> ReadVersionFile(std::string_view text,
                                             const std::string& programVersion) {
    const std::vector<std::string> lines = SplitLines(text);
    std::string online = FindContentValue(lines, "Version");
    if (online.empty())
        return std::nullopt;
    UpdateOutcome outcome;
    outcome.kind = CompareVersions(programVersion, online);
    outcome.message = UpdateMessage(outcome.kind);
    outcome.onlineVersion = std::move(online);
    outcome.currentVersion = programVersion;
    for (std::size_t i = 0; i < outcome.features.size(); ++i)
        outcome.features[i] = FindContentValue(lines, "whatsnew" + std::to_string(i + 1));
    return outcome;
}

} // namespace lupenta
