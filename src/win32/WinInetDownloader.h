#pragma once

#include "update/VersionReply.h"
#include "win32/FetchJob.h"

#include <string>

namespace lupenta::win32 {

// Fetches `address` by HTTP GET through WinINet with the system's proxy settings, always from
// the server, never from or into the cache; the reply is taken to be in the ANSI code page.
// Blocks, so it runs on a worker: no call waits past `deadline`, and `job` can abandon it
// from the window's thread. The handles stay with `job`, to be closed after the result has been
// handed on, as closing can take a while; a reply given up before its end leaves them open.
DownloadResult DownloadText(const std::string& address, CheckClock::time_point deadline,
                            FetchJob& job);

} // namespace lupenta::win32
