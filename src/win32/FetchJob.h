#pragma once

#include "update/VersionCheck.h"

#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

namespace lupenta::win32 {

// What one background fetch shares with the window's thread. The worker owns its internet
// handles; the window's thread may abandon the fetch at any moment. Abandoning during a
// blocking call closes the handles, which makes WinINet give up the call; otherwise the worker
// sees the abandonment before its next call and closes them itself. Either way each handle is
// closed at most once, and an abandoned worker touches no handle again: a closed handle's value
// may already belong to a newer fetch.
class FetchJob {
public:
    FetchJob(HWND notify, UINT message) : notify_(notify), message_(message) {}
    ~FetchJob();
    FetchJob(const FetchJob&) = delete;
    FetchJob& operator=(const FetchJob&) = delete;

    // Worker side.
    // A handle the worker made, to be closed with the others, the newest first.
    void Adopt(HINTERNET handle);
    // Around a call that may block on the network: false when the fetch is abandoned, and the
    // call must not be made or its results used.
    bool EnterCall();
    bool LeaveCall();
    // Closes the handles unless the window's thread did already, or they are left open.
    void CloseHandles();
    // Keeps the handles of a reply given up before its end open for the rest of the process:
    // closing them makes WinINet read the rest of the reply first, as fast as the server sends
    // it, which from an endless server under Wine starves every other thread of the program.
    // Such a check costs one idle connection instead.
    void LeaveOpen();
    // The fetch is over: the result is kept and the window is told, unless abandoned.
    void Complete(DownloadResult result);

    // Window side.
    void Abandon();
    // The result, once complete and not abandoned; taken once.
    std::optional<DownloadResult> TakeResult();
    // True when the worker has finished within `wait`.
    bool WaitUntilFinished(std::chrono::milliseconds wait);

private:
    void CloseHandlesLocked();

    std::mutex mutex_;
    std::condition_variable finishedChanged_;
    HWND notify_;
    UINT message_;
    std::vector<HINTERNET> handles_;
    bool inCall_ = false;
    bool abandoned_ = false;
    bool handlesClosed_ = false;
    bool leftOpen_ = false;
    bool finished_ = false;
    std::optional<DownloadResult> result_;
};

} // namespace lupenta::win32
