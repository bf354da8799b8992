#include "win32/FetchJob.h"

namespace lupenta::win32 {

FetchJob::~FetchJob() {
    CloseHandlesLocked();
}

void FetchJob::Adopt(HINTERNET handle) {
    const std::lock_guard lock(mutex_);
    handles_.push_back(handle);
}

bool FetchJob::EnterCall() {
    const std::lock_guard lock(mutex_);
    inCall_ = !abandoned_;
    return inCall_;
}

bool FetchJob::LeaveCall() {
    const std::lock_guard lock(mutex_);
    inCall_ = false;
    return !abandoned_;
}

void FetchJob::CloseHandles() {
    const std::lock_guard lock(mutex_);
    CloseHandlesLocked();
}

void FetchJob::LeaveOpen() {
    const std::lock_guard lock(mutex_);
    leftOpen_ = true;
}

void FetchJob::CloseHandlesLocked() {
    if (handlesClosed_ || leftOpen_)
        return;
    handlesClosed_ = true;
    for (auto handle = handles_.rbegin(); handle != handles_.rend(); ++handle)
        InternetCloseHandle(*handle);
}

void FetchJob::Complete(DownloadResult result) {
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
        if (!abandoned_) {
            result_ = std::move(result);
            // Posted under the lock: once abandoned, the window is never told again.
            PostMessageW(notify_, message_, 0, 0);
        }
    }
    finishedChanged_.notify_all();
}

void FetchJob::Abandon() {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
    result_.reset();
    if (inCall_)
        CloseHandlesLocked();
}

std::optional<DownloadResult> FetchJob::TakeResult() {
    const std::lock_guard lock(mutex_);
    std::optional<DownloadResult> result = std::move(result_);
    result_.reset();
    return result;
}

bool FetchJob::WaitUntilFinished(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    return finishedChanged_.wait_for(lock, wait, [this] { return finished_; });
}

} // namespace lupenta::win32
