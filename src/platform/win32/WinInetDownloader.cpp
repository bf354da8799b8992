#include "platform/win32/WinInetDownloader.h"

#include "platform/win32/Text.h"

#include <windows.h>
#include <wininet.h>

#include <array>
#include <cstring>
#include <utility>

namespace lupenta::win32 {

namespace {

constexpr DWORD kBufferSize = 1025;

class UniqueInternetHandle {
public:
    explicit UniqueInternetHandle(HINTERNET handle) : handle_(handle) {}
    ~UniqueInternetHandle() {
        if (handle_)
            InternetCloseHandle(handle_);
    }
    UniqueInternetHandle(const UniqueInternetHandle&) = delete;
    UniqueInternetHandle& operator=(const UniqueInternetHandle&) = delete;
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

std::string AnsiToUtf8(const std::string& ansi) {
    if (ansi.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), size);
    return Narrow(wide);
}

} // namespace

DownloadResult WinInetDownloader::DownloadText(const std::string& address) {
    const UniqueInternetHandle session(
        InternetOpenW(L"Lupenta", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session)
        return {std::nullopt, "Unable to initialize Wininet"};
    // Declared after the session, so it is closed first.
    const UniqueInternetHandle url(InternetOpenUrlW(session.get(), Widen(address).c_str(), nullptr,
                                                    0, INTERNET_FLAG_RELOAD, 0));
    if (!url)
        return {std::nullopt, "Cannot open URL " + address};

    // Converted as a whole: a double-byte character may be split between two reads.
    std::string ansi;
    std::array<char, kBufferSize> buffer{};
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(url.get(), buffer.data(), kBufferSize, &read))
            return {std::nullopt, "Cannot read URL " + address};
        if (read == 0)
            break;
        // Text ends at a zero byte; what follows it in the same read is not text.
        const void* zero = std::memchr(buffer.data(), 0, read);
        ansi.append(buffer.data(),
                    zero ? static_cast<const char*>(zero) - buffer.data() : std::size_t{read});
    }
    return {AnsiToUtf8(ansi), {}};
}

} // namespace lupenta::win32
