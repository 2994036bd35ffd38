#include "service/http_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

using namespace service;

TEST(HttpFormat, ResponsesCarryLengthTypeAndClose) {
    const HttpResponse response{200, "audio/mpeg", std::string("ab\0c", 4)};
    const std::string full = formatResponse(response, false);
    EXPECT_EQ(full.compare(0, 17, "HTTP/1.0 200 OK\r\n"), 0);
    EXPECT_NE(full.find("Content-Type: audio/mpeg\r\n"), std::string::npos);
    EXPECT_NE(full.find("Content-Length: 4\r\n"), std::string::npos);
    EXPECT_NE(full.find("Connection: close\r\n"), std::string::npos);
    EXPECT_EQ(full.substr(full.size() - 8), std::string("\r\n\r\nab\0c", 8));
    // HEAD: the same headers without the body.
    const std::string head = formatResponse(response, true);
    EXPECT_EQ(head, full.substr(0, full.size() - 4));
    EXPECT_EQ(formatResponse({404, "", ""}, false).compare(0, 24, "HTTP/1.0 404 Not Found\r\n"), 0);
}

TEST(HttpFormat, AHeadEndsAtTheFirstBlankLine) {
    EXPECT_FALSE(headComplete("GET /a HTTP/1.0\r\n"));
    EXPECT_FALSE(headComplete("GET /a HTTP/1.0\r\nHost: x\r\n"));
    EXPECT_TRUE(headComplete("GET /a HTTP/1.0\r\n\r\n"));
    EXPECT_TRUE(headComplete("GET /a HTTP/1.0\n\n"));
}

namespace {

// The status line the server at 127.0.0.1:port gives for a GET of target.
std::string statusLineFor(int port, const std::string& target) {
    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string received;
    if (::connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        const std::string request = "GET " + target + " HTTP/1.0\r\n\r\n";
        ::send(client, request.data(), request.size(), 0);
        char buffer[512];
        long n;
        while ((n = ::recv(client, buffer, sizeof buffer, 0)) > 0)
            received.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(client);
    return received.substr(0, received.find("\r\n"));
}

}  // namespace

// A handler that throws (out of memory above all) costs its own request a
// 500 and nothing more: the next request is served as usual.
TEST(HttpServer, AHandlerThatThrowsGetsA500AndTheServiceGoesOn) {
    int port = 0;
    bool portInUse = false;
    std::string error;
    const Socket listener = openListener(0, port, portInUse, error);
    ASSERT_NE(listener, kNoSocket) << error;
    static const RequestHandler handler = [](const RequestLine& request) -> HttpResponse {
        if (request.target == "/throw") throw std::bad_alloc();
        if (request.target == "/fail") throw std::runtime_error("handler failed");
        return {200, "text/plain", "ok"};
    };
    static const ServerLimits limits;
    std::thread([listener] { serveForever(listener, handler, limits); }).detach();
    EXPECT_EQ(statusLineFor(port, "/throw"), "HTTP/1.0 500 Internal Server Error");
    EXPECT_EQ(statusLineFor(port, "/fail"), "HTTP/1.0 500 Internal Server Error");
    EXPECT_EQ(statusLineFor(port, "/ok"), "HTTP/1.0 200 OK");
}
