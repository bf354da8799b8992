#include "win32/WinInetDownloader.h"

#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace lupenta::win32 {
namespace {

using namespace std::chrono_literals;

// How the server treats the first GET: answer it at once, say nothing until the server is
// destroyed, send the headers and half the body and then nothing, or send the headers and then
// a byte every 100 ms.
enum class Manner { Answer, Silent, SilentMidBody, Trickle };

// A one-shot HTTP server on a free loopback port: it answers the first GET with `body` (or
// with `status`), in the given manner.
class LoopbackServer {
public:
    explicit LoopbackServer(std::string body, Manner manner = Manner::Answer,
                            std::string status = "200 OK")
        : body_(std::move(body)), manner_(manner), status_(std::move(status)) {
        WSADATA data;
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        int length = sizeof address;
        if (listener_ == INVALID_SOCKET ||
            bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(listener_, 1) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer() {
        released_.set_value();
        // Ends a wait in accept when no request ever came.
        if (listener_ != INVALID_SOCKET)
            closesocket(listener_);
        if (thread_.joinable())
            thread_.join();
        if (started_)
            WSACleanup();
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return port_; }
    std::string Address(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    const std::string& Request() const { return request_; }
    // Until the request is in, or 5 s have passed.
    void WaitForRequest() { requested_.get_future().wait_for(5s); }

private:
    void Serve() {
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return;
        char chunk[512];
        while (request_.find("\r\n\r\n") == std::string::npos) {
            const int got = recv(client, chunk, sizeof chunk, 0);
            if (got <= 0)
                break;
            request_.append(chunk, static_cast<std::size_t>(got));
        }
        requested_.set_value();
        const std::string headers =
            "HTTP/1.0 " + status_ +
            "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body_.size()) +
            "\r\nConnection: close\r\n\r\n";
        const std::future<void> released = released_.get_future();
        if (manner_ == Manner::Silent) {
            released.wait();
        } else if (manner_ == Manner::SilentMidBody) {
            Send(client, headers + body_.substr(0, body_.size() / 2));
            released.wait();
        } else if (manner_ == Manner::Trickle) {
            Send(client, headers);
            for (char c : body_)
                if (!Send(client, std::string(1, c)) ||
                    released.wait_for(100ms) == std::future_status::ready)
                    break;
        } else {
            Send(client, headers + body_);
        }
        shutdown(client, SD_SEND);
        closesocket(client);
    }

    static bool Send(SOCKET client, const std::string& bytes) {
        for (std::size_t sent = 0; sent < bytes.size();) {
            const int n =
                send(client, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
            if (n <= 0)
                return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    std::string body_;
    Manner manner_;
    std::string status_;
    std::promise<void> released_;
    std::promise<void> requested_;
    bool started_ = false;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::thread thread_;
    std::string request_;
};

DownloadResult Download(const std::string& address,
                        std::chrono::milliseconds deadline = std::chrono::seconds{15}) {
    FetchJob job(nullptr, 0);
    return DownloadText(address, CheckClock::now() + deadline, job);
}

// A version file longer than one read, with ANSI letters on both sides of the first read's end.
std::string VersionFileBody() {
    std::string body = "<html><head>\r\n<meta name=\"Version\" content=\"15.1\">\r\n";
    body += "<meta name=\"whatsnew1\" content=\"Caf\xE9 ";
    body.append(1030 - body.size(), 'x');
    body += "\xE9t\xE9\">\r\n</head></html>\r\n";
    return body;
}

TEST(Downloader, ReadsTheWholeReplyFromTheServer) {
    const std::string body = VersionFileBody();
    ASSERT_GT(body.size(), 1025u);
    LoopbackServer server(body);
    ASSERT_NE(server.Port(), 0);

    const DownloadResult result = Download(server.Address("/version/x.txt"));

    ASSERT_TRUE(result.text) << result.error;
    EXPECT_EQ(server.Request().rfind("GET /version/x.txt HTTP/1.", 0), 0u) << server.Request();
    EXPECT_NE(server.Request().find("User-Agent: Lupenta\r\n"), std::string::npos)
        << server.Request();
    if (GetACP() != 1252)
        GTEST_SKIP() << "the ANSI code page is " << GetACP();
    std::string expected;
    for (char c : body)
        expected += c == '\xE9' ? std::string("\xC3\xA9") : std::string(1, c);
    EXPECT_EQ(*result.text, expected);
}

TEST(Downloader, AnAddressThatCannotBeOpenedIsAnError) {
    int closedPort = 0;
    {
        // Nobody listens on a port just given up.
        const LoopbackServer gone("");
        closedPort = gone.Port();
    }
    ASSERT_NE(closedPort, 0);
    const std::string address = "http://127.0.0.1:" + std::to_string(closedPort) + "/v.txt";

    const DownloadResult result = Download(address);

    EXPECT_FALSE(result.text);
    EXPECT_EQ(result.error, "Cannot open URL " + address);
}

TEST(Downloader, OnlyAReplyWithStatus200IsTheFile) {
    const struct {
        const char* status;
        const char* error;
    } cases[] = {
        {"404 Not Found", "HTTP status 404"},
        {"500 Internal Server Error", "HTTP status 500"},
        // Not followed, though the file is there.
        {"302 Found\r\nLocation: /version/x.txt", "HTTP status 302"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        LoopbackServer server(VersionFileBody(), Manner::Answer, c.status);
        const DownloadResult result = Download(server.Address("/version/moved.txt"));
        EXPECT_FALSE(result.text);
        EXPECT_EQ(result.error, c.error);
    }
}

TEST(Downloader, ALongReplyIsRefusedAtTheCap) {
    LoopbackServer server(std::string(VersionReply::kReplyCap + 1, 'v'));
    const DownloadResult result = Download(server.Address("/v.txt"));
    EXPECT_FALSE(result.text);
    EXPECT_EQ(result.error, "reply longer than 65536 bytes");
}

TEST(Downloader, NoServerKeepsItWaitingPastTheDeadline) {
    const Manner manners[] = {Manner::Silent, Manner::SilentMidBody, Manner::Trickle};
    for (Manner manner : manners) {
        SCOPED_TRACE(static_cast<int>(manner));
        LoopbackServer server(VersionFileBody(), manner);
        const auto start = CheckClock::now();
        const DownloadResult result = Download(server.Address("/v.txt"), 2s);
        const auto waited = CheckClock::now() - start;
        EXPECT_FALSE(result.text);
        // Generous for a loaded machine, and far below what each server would take.
        EXPECT_LT(waited, 10s) << std::chrono::duration_cast<std::chrono::milliseconds>(waited);
    }
}

// Closing the handles of a blocked call does not end it under Wine (measured: it waits on to
// its own deadline), so an abandoned worker must end by that deadline, report nothing, and
// leave the handles it no longer owns alone.
TEST(Downloader, AnAbandonedWorkerEndsByItsDeadlineAndReportsNothing) {
    LoopbackServer server(VersionFileBody(), Manner::Silent);
    auto job = std::make_shared<FetchJob>(nullptr, 0);
    const auto deadline = CheckClock::now() + 3s;
    std::thread worker([job, deadline, address = server.Address("/v.txt")] {
        job->Complete(DownloadText(address, deadline, *job));
    });
    server.WaitForRequest();
    job->Abandon();
    const bool ended = job->WaitUntilFinished(20s);
    const auto late = CheckClock::now() - deadline;
    worker.join();
    EXPECT_TRUE(ended);
    EXPECT_LT(late, 5s) << std::chrono::duration_cast<std::chrono::milliseconds>(late);
    EXPECT_FALSE(job->TakeResult());
}

} // namespace
} // namespace lupenta::win32
