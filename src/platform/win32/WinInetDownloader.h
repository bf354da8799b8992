#pragma once

#include "update/VersionCheck.h"

namespace lupenta::win32 {

// HTTP through WinInet with the system's proxy settings, always from the server, never from
// the cache. The reply is taken to be in the ANSI code page.
class WinInetDownloader final : public TextDownloader {
public:
    DownloadResult DownloadText(const std::string& address) override;
};

} // namespace lupenta::win32
