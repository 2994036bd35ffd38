#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "service/socket.h"

namespace service {

namespace {

int fd(Socket socket) {
    return static_cast<int>(socket);
}

}  // namespace

bool startSockets(std::string&) {
    // A client that hangs up early must not end the service.
    signal(SIGPIPE, SIG_IGN);
    return true;
}

Socket listenOnLoopback(int port, int backlog, int& boundPort, bool& portInUse, std::string& error) {
    portInUse = false;
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) {
        error = std::string("cannot create a socket: ") + std::strerror(errno);
        return kNoSocket;
    }
    // Lets a restarted service take the port while old connections linger in
    // TIME_WAIT; a second live listener on the port is still refused.
    const int on = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, backlog) != 0) {
        portInUse = errno == EADDRINUSE;
        error = std::strerror(errno);
        close(s);
        return kNoSocket;
    }
    socklen_t length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    boundPort = ntohs(address.sin_port);
    return s;
}

Socket acceptConnection(Socket listener) {
    const int s = accept4(fd(listener), nullptr, nullptr, SOCK_CLOEXEC);
    if (s >= 0) return s;
    // Out of descriptors or a connection that died while queued: wait a
    // moment rather than spin.
    if (errno != EINTR && errno != ECONNABORTED) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return kNoSocket;
}

WaitResult waitReadable(Socket socket, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return WaitResult::TimedOut;
        pollfd p{fd(socket), POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return WaitResult::Failed;
        return ready == 0 ? WaitResult::TimedOut : WaitResult::Ready;
    }
}

long receiveSome(Socket socket, char* buffer, std::size_t size) {
    while (true) {
        const ssize_t n = recv(fd(socket), buffer, size, 0);
        if (n < 0 && errno == EINTR) continue;
        return n < 0 ? -1 : static_cast<long>(n);
    }
}

bool sendAll(Socket socket, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = send(fd(socket), data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void setSendTimeout(Socket socket, int timeoutMs) {
    timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    setsockopt(fd(socket), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

void shutdownSending(Socket socket) {
    shutdown(fd(socket), SHUT_WR);
}

void closeSocket(Socket socket) {
    close(fd(socket));
}

}  // namespace service
