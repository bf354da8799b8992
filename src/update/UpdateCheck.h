#pragma once

// "Check for New Version...": the version file fetched away from the window's thread, so the
// magnifier stays live while it waits, and one deadline from the click to the box.

#include "ui/Timer.h"
#include "update/VersionCheck.h"
#include "update/VersionReply.h"

#include <functional>
#include <string>

namespace lupenta {

class Desktop;
class Tfrmmain;

// Fetches the version file in the background.
class VersionFetcher {
public:
    virtual ~VersionFetcher() = default;
    // Starts fetching `address`; its network calls give up by `deadline`. `done` runs later
    // on the window's thread, once, unless Cancel comes first.
    virtual void Start(const std::string& address, CheckClock::time_point deadline,
                       std::function<void(DownloadResult)> done) = 0;
    // Abandons the fetch in flight, if any: its `done` never runs.
    virtual void Cancel() = 0;
};

// One check at a time, from the click until its dialog or warning is closed. While it waits,
// the window's thread goes on (the sampling timer keeps ticking); when the deadline passes
// first, the fetch is abandoned and the check fails.
class TUpdateCheck {
public:
    TUpdateCheck(VersionFetcher& fetcher, UpdatePresenter& presenter, Desktop& desktop,
                 CheckClock::time_point (*now)() = &CheckClock::now);
    ~TUpdateCheck();
    TUpdateCheck(const TUpdateCheck&) = delete;
    TUpdateCheck& operator=(const TUpdateCheck&) = delete;

    // Starts the check behind `form`'s command, whose item the click has disabled.
    void Start(Tfrmmain& form);
    bool Waiting() const { return form_ != nullptr; }
    // Why the last check failed; empty when it showed the dialog. For tests.
    const std::string& LastFailure() const { return lastFailure_; }

    // Runs once, kCheckDeadline after the click, while the check still waits.
    ui::TTimer tmrDeadline{"tmrDeadline", static_cast<int>(kCheckDeadline.count())};

private:
    void Finish(const DownloadResult& download);

    VersionFetcher& fetcher_;
    UpdatePresenter& presenter_;
    Desktop& desktop_;
    CheckClock::time_point (*now_)();
    Tfrmmain* form_ = nullptr;
    std::string lastFailure_;
};

} // namespace lupenta
