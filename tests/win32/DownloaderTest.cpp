#include "platform/win32/WinInetDownloader.h"

#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <string>
#include <thread>

namespace lupenta::win32 {
namespace {

// A one-shot HTTP server on a free loopback port: it answers the first GET with `body`.
class LoopbackServer {
public:
    explicit LoopbackServer(std::string body) : body_(std::move(body)) {
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
        const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n"
                                  "Content-Length: " +
                                  std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n" +
                                  body_;
        for (std::size_t sent = 0; sent < reply.size();) {
            const int n =
                send(client, reply.data() + sent, static_cast<int>(reply.size() - sent), 0);
            if (n <= 0)
                break;
            sent += static_cast<std::size_t>(n);
        }
        shutdown(client, SD_SEND);
        closesocket(client);
    }

    std::string body_;
    bool started_ = false;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::thread thread_;
    std::string request_;
};

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

    const DownloadResult result =
        WinInetDownloader().DownloadText(server.Address("/version/x.txt"));

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

    const DownloadResult result = WinInetDownloader().DownloadText(address);

    EXPECT_FALSE(result.text);
    EXPECT_EQ(result.error, "Cannot open URL " + address);
}

} // namespace
} // namespace lupenta::win32
