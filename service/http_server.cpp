#include "service/http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace service {

namespace {

const char* reasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 408:
            return "Request Timeout";
        case 431:
            return "Request Header Fields Too Large";
        case 500:
            return "Internal Server Error";
        default:
            return "Error";
    }
}

HttpResponse errorResponse(int status) {
    return {status, "text/plain; charset=utf-8", std::to_string(status) + " " + reasonPhrase(status) + "\n"};
}

bool sendAll(int fd, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

enum class HeadResult { Complete, TooLarge, TimedOut, Closed };

// Reads until the blank line that ends the head, within the size and time
// limits. A peer that closes after a full request line still gets an answer.
HeadResult readHead(int fd, const ServerLimits& limits, std::string& head) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(limits.headTimeoutMs);
    char buffer[2048];
    while (!headComplete(head)) {
        if (head.size() > limits.maxHeadBytes) return HeadResult::TooLarge;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return HeadResult::TimedOut;
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return HeadResult::TimedOut;
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return head.find('\n') != std::string::npos ? HeadResult::Complete : HeadResult::Closed;
        head.append(buffer, static_cast<size_t>(n));
    }
    return head.size() > limits.maxHeadBytes ? HeadResult::TooLarge : HeadResult::Complete;
}

void serveConnection(int fd, const RequestHandler& handler, const ServerLimits& limits) {
    timeval sendTimeout{limits.sendTimeoutMs / 1000, (limits.sendTimeoutMs % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof sendTimeout);
    std::string head;
    const HeadResult result = readHead(fd, limits, head);
    if (result == HeadResult::Closed) return;
    if (result == HeadResult::TimedOut) {
        sendAll(fd, formatResponse(errorResponse(408), false));
        return;
    }
    if (result == HeadResult::TooLarge) {
        sendAll(fd, formatResponse(errorResponse(431), false));
        return;
    }
    RequestLine request;
    if (!parseRequestLine(firstLine(head), request)) {
        sendAll(fd, formatResponse(errorResponse(400), false));
        return;
    }
    if (request.method != "GET" && request.method != "HEAD") {
        sendAll(fd, formatResponse(errorResponse(405), false));
        return;
    }
    sendAll(fd, formatResponse(handler(request), request.method == "HEAD"));
    // Let the peer read everything before the socket goes away.
    shutdown(fd, SHUT_WR);
}

[[noreturn]] void workerLoop(int listener, const RequestHandler& handler, const ServerLimits& limits) {
    while (true) {
        const int fd = accept(listener, nullptr, nullptr);
        if (fd < 0) {
            // Out of descriptors or a connection that died while queued: wait
            // a moment and go on rather than spin or stop serving.
            if (errno != EINTR && errno != ECONNABORTED)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        serveConnection(fd, handler, limits);
        close(fd);
    }
}

}  // namespace

bool headComplete(const std::string& received) {
    return received.find("\r\n\r\n") != std::string::npos || received.find("\n\n") != std::string::npos;
}

std::string formatResponse(const HttpResponse& response, bool headOnly) {
    std::string out =
        "HTTP/1.0 " + std::to_string(response.status) + " " + reasonPhrase(response.status) + "\r\n";
    if (!response.contentType.empty()) out += "Content-Type: " + response.contentType + "\r\n";
    out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    out += "Cache-Control: no-store\r\nConnection: close\r\n\r\n";
    if (!headOnly) out += response.body;
    return out;
}

int openListener(int port, int& boundPort, bool& portInUse, std::string& error) {
    portInUse = false;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::string("cannot create a socket: ") + std::strerror(errno);
        return -1;
    }
    // Lets a restarted service take the port while old connections linger in
    // TIME_WAIT; a second live listener on the port is still refused.
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 128) != 0) {
        portInUse = errno == EADDRINUSE;
        error = std::string(std::strerror(errno));
        close(fd);
        return -1;
    }
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    boundPort = ntohs(address.sin_port);
    return fd;
}

void serveForever(int listener, const RequestHandler& handler, const ServerLimits& limits) {
    std::vector<std::thread> workers;
    for (int i = 1; i < limits.workers; ++i)
        workers.emplace_back(workerLoop, listener, std::cref(handler), std::cref(limits));
    workerLoop(listener, handler, limits);
}

}  // namespace service
