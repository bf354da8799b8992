#pragma once

#include "update/VersionCheck.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace lupenta {

using CheckClock = std::chrono::steady_clock;

// From the click to the box, whatever the network does.
inline constexpr std::chrono::milliseconds kCheckDeadline{15000};

// The time a network call may still wait before the check's deadline. Never below a
// millisecond: to the network calls a time-out of 0 means no time-out at all.
std::chrono::milliseconds TimeLeft(CheckClock::time_point deadline, CheckClock::time_point now);

// The version file's reply as it arrives, judged on the way: only a reply with status 200 and
// at most kReplyCap bytes is the file; anything else is refused at once, so a hostile server
// can neither make the check read without end nor pass off an error page.
class VersionReply {
public:
    static constexpr std::size_t kReplyCap = 64 * 1024;

    // False when the reply is refused for its status.
    bool TakeStatus(int status);
    // One read from the network; false once the reply is refused, when reading stops.
    bool TakeRead(std::string_view bytes);
    // The whole text once the reply is complete (in the code page it came in), or why not.
    DownloadResult Finish() const;

private:
    std::string text_;
    std::size_t received_ = 0;
    std::string refusal_;
};

} // namespace lupenta
