#include "update/VersionReply.h"

#include <algorithm>

namespace lupenta {

std::chrono::milliseconds TimeLeft(CheckClock::time_point deadline, CheckClock::time_point now) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
    return std::max(left, std::chrono::milliseconds{1});
}

bool VersionReply::TakeStatus(int status) {
    if (status != 200 && refusal_.empty())
        refusal_ = "HTTP status " + std::to_string(status);
    return refusal_.empty();
}

bool VersionReply::TakeRead(std::string_view bytes) {
    if (!refusal_.empty())
        return false;
    received_ += bytes.size();
    if (received_ > kReplyCap) {
        refusal_ = "reply longer than " + std::to_string(kReplyCap) + " bytes";
        text_.clear();
        return false;
    }
    // Text ends at a zero byte; what follows it in the same read is not text.
    text_.append(bytes.substr(0, bytes.find('\0')));
    return true;
}

DownloadResult VersionReply::Finish() const {
    if (!refusal_.empty())
        return {std::nullopt, refusal_};
    return {text_, {}};
}

} // namespace lupenta
