#include "win32/WinInetDownloader.h"

#include "win32/Text.h"

#include <algorithm>
#include <array>

namespace lupenta::win32 {

namespace {

constexpr DWORD kBufferSize = 1025;

// A redirect is not followed: the version file has one address, and a reply from anywhere
// else is not the file, so its 3xx status fails the check like any status but 200.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_UI;

std::string AnsiToUtf8(const std::string& ansi) {
    if (ansi.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), size);
    return Narrow(wide);
}

// WinINet's own time-outs, set on the request before each wait: under Wine they are honoured
// on a request opened through InternetConnect, but not on one from InternetOpenUrl.
void LimitWaits(HINTERNET request, CheckClock::time_point deadline) {
    DWORD wait = static_cast<DWORD>(TimeLeft(deadline, CheckClock::now()).count());
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(request, option, &wait, sizeof wait);
}

// A call that may wait on the network, made only while the fetch is wanted; false when it
// failed or the fetch was abandoned meanwhile.
template <class Call> bool Wait(FetchJob& job, Call call) {
    if (!job.EnterCall())
        return false;
    const BOOL done = call();
    return job.LeaveCall() && done;
}

struct AddressParts {
    std::wstring host;
    INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
    std::wstring path;
};

std::optional<AddressParts> SplitAddress(const std::string& address) {
    const std::wstring wide = Widen(address);
    std::array<wchar_t, INTERNET_MAX_HOST_NAME_LENGTH> host{};
    std::array<wchar_t, INTERNET_MAX_PATH_LENGTH> path{};
    std::array<wchar_t, INTERNET_MAX_PATH_LENGTH> extra{};
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host.data();
    parts.dwHostNameLength = static_cast<DWORD>(host.size());
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    if (!InternetCrackUrlW(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts))
        return std::nullopt;
    return AddressParts{host.data(), parts.nPort, std::wstring(path.data()) + extra.data()};
}

} // namespace

DownloadResult DownloadText(const std::string& address, CheckClock::time_point deadline,
                            FetchJob& job) {
    const HINTERNET session =
        InternetOpenW(L"Lupenta", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session)
        return {std::nullopt, "Unable to initialize Wininet"};
    job.Adopt(session);
    const std::string cannotOpen = "Cannot open URL " + address;
    const std::optional<AddressParts> parts = SplitAddress(address);
    if (!parts)
        return {std::nullopt, cannotOpen};
    const HINTERNET connection = InternetConnectW(session, parts->host.c_str(), parts->port,
                                                  nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (!connection)
        return {std::nullopt, cannotOpen};
    job.Adopt(connection);
    const HINTERNET request = HttpOpenRequestW(connection, L"GET", parts->path.c_str(), nullptr,
                                               nullptr, nullptr, kRequestFlags, 0);
    if (!request)
        return {std::nullopt, cannotOpen};
    job.Adopt(request);

    LimitWaits(request, deadline);
    if (!Wait(job, [&] { return HttpSendRequestW(request, nullptr, 0, nullptr, 0); }))
        return {std::nullopt, cannotOpen};
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &statusSize, nullptr))
        return {std::nullopt, cannotOpen};
    VersionReply reply;
    if (!reply.TakeStatus(static_cast<int>(status))) {
        job.LeaveOpen();
        return reply.Finish();
    }

    // Each read takes only what has arrived, so a trickling server cannot keep one read
    // waiting past the deadline.
    std::array<char, kBufferSize> buffer{};
    for (;;) {
        if (CheckClock::now() >= deadline) {
            job.LeaveOpen();
            return {std::nullopt, "no reply by the deadline"};
        }
        LimitWaits(request, deadline);
        DWORD available = 0;
        if (!Wait(job, [&] { return InternetQueryDataAvailable(request, &available, 0, 0); }))
            return {std::nullopt, "Cannot read URL " + address};
        if (available == 0)
            break;
        DWORD read = 0;
        if (!Wait(job, [&] {
                return InternetReadFile(request, buffer.data(), std::min(available, kBufferSize),
                                        &read);
            }))
            return {std::nullopt, "Cannot read URL " + address};
        if (read == 0)
            break;
        if (!reply.TakeRead({buffer.data(), read})) {
            job.LeaveOpen();
            break;
        }
    }
    DownloadResult result = reply.Finish();
    if (result.text)
        result.text = AnsiToUtf8(*result.text);
    return result;
}

} // namespace lupenta::win32
