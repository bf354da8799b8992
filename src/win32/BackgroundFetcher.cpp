#include "win32/BackgroundFetcher.h"

#include "win32/WinInetDownloader.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace lupenta::win32 {

namespace {

constexpr wchar_t kFetcherClass[] = L"LupentaFetcher";
constexpr UINT kFetchDone = WM_APP + 1;
// Long enough for a worker whose blocked call the closed handles aborted to end. Wine does not
// abort such a call; its worker ends by its deadline, or with the process.
constexpr std::chrono::milliseconds kExitGrace{1000};

} // namespace

BackgroundFetcher::BackgroundFetcher() {
    RegisterHandlerClass(kFetcherClass, 0, nullptr);
    window_ = CreateHandlerWindow(*this, kFetcherClass, 0, 0, 0, 0, 0, 0, HWND_MESSAGE);
}

BackgroundFetcher::~BackgroundFetcher() {
    Cancel();
    const auto end = CheckClock::now() + kExitGrace;
    for (const std::shared_ptr<FetchJob>& job : abandoned_)
        job->WaitUntilFinished(
            std::max(std::chrono::duration_cast<std::chrono::milliseconds>(end - CheckClock::now()),
                     std::chrono::milliseconds{0}));
    if (window_)
        DestroyWindow(window_);
}

void BackgroundFetcher::Start(const std::string& address, CheckClock::time_point deadline,
                              std::function<void(DownloadResult)> done) {
    Cancel();
    if (!window_) {
        done({std::nullopt, "no window to report to"});
        return;
    }
    job_ = std::make_shared<FetchJob>(window_, kFetchDone);
    done_ = std::move(done);
    try {
        // The worker owns its job with us, so an abandoned worker never outlives its state.
        std::thread([job = job_, address, deadline] {
            job->Complete(DownloadText(address, deadline, *job));
            job->CloseHandles();
        }).detach();
    } catch (const std::system_error& error) {
        job_->Complete({std::nullopt, error.what()});
    }
}

void BackgroundFetcher::Cancel() {
    std::erase_if(abandoned_, [](const std::shared_ptr<FetchJob>& job) {
        return job->WaitUntilFinished(std::chrono::milliseconds{0});
    });
    if (!job_)
        return;
    job_->Abandon();
    abandoned_.push_back(std::move(job_));
    job_.reset();
    done_ = nullptr;
}

LRESULT BackgroundFetcher::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kFetchDone:
        // A message from an abandoned job finds no result to take.
        if (job_) {
            if (std::optional<DownloadResult> result = job_->TakeResult()) {
                job_.reset();
                const std::function<void(DownloadResult)> done = std::move(done_);
                done_ = nullptr;
                done(std::move(*result));
            }
        }
        return 0;
    case WM_TIMER:
        if (OnTimer)
            OnTimer();
        return 0;
    case WM_NCDESTROY:
        window_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace lupenta::win32
