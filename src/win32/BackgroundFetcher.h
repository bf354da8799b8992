#pragma once

#include "update/UpdateCheck.h"
#include "win32/FetchJob.h"
#include "win32/WindowClass.h"

#include <functional>
#include <memory>
#include <vector>

namespace lupenta::win32 {

// Runs each fetch on a worker thread of its own and hands the result back on the thread that
// made this object, through a message-only window that also carries window timers.
class BackgroundFetcher final : public VersionFetcher, private MessageHandler {
public:
    BackgroundFetcher();
    // Abandons what is in flight and gives the workers a moment to end; one still blocked
    // after that is left to the process's end, and touches nothing of ours meanwhile.
    ~BackgroundFetcher() override;
    BackgroundFetcher(const BackgroundFetcher&) = delete;
    BackgroundFetcher& operator=(const BackgroundFetcher&) = delete;

    void Start(const std::string& address, CheckClock::time_point deadline,
               std::function<void(DownloadResult)> done) override;
    void Cancel() override;

    HWND Hwnd() const { return window_; }
    // Runs on each WM_TIMER of this window.
    std::function<void()> OnTimer;

private:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND window_ = nullptr;
    std::shared_ptr<FetchJob> job_;
    std::function<void(DownloadResult)> done_;
    // Workers abandoned while blocked; they end by their own deadline.
    std::vector<std::shared_ptr<FetchJob>> abandoned_;
};

} // namespace lupenta::win32
