#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "service/socket.h"

namespace service {

namespace {

SOCKET handle(Socket socket) {
    return static_cast<SOCKET>(socket);
}

std::string winsockError(int code) {
    return "Winsock error " + std::to_string(code);
}

}  // namespace

bool startSockets(std::string& error) {
    WSADATA data;
    const int result = WSAStartup(MAKEWORD(2, 2), &data);
    if (result != 0) {
        error = "cannot start Winsock: " + winsockError(result);
        return false;
    }
    return true;
}

Socket listenOnLoopback(int port, int backlog, int& boundPort, bool& portInUse, std::string& error) {
    portInUse = false;
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        error = "cannot create a socket: " + winsockError(WSAGetLastError());
        return kNoSocket;
    }
    // Winsock's SO_REUSEADDR would let a second service steal the port;
    // exclusive use makes a second start fail as it does on POSIX.
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    const BOOL on = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, backlog) != 0) {
        const int code = WSAGetLastError();
        portInUse = code == WSAEADDRINUSE || code == WSAEACCES;
        error = winsockError(code);
        closesocket(s);
        return kNoSocket;
    }
    int length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    boundPort = ntohs(address.sin_port);
    return static_cast<Socket>(s);
}

Socket acceptConnection(Socket listener) {
    const SOCKET s = accept(handle(listener), nullptr, nullptr);
    if (s != INVALID_SOCKET) {
        SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
        return static_cast<Socket>(s);
    }
    if (WSAGetLastError() != WSAECONNRESET) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return kNoSocket;
}

WaitResult waitReadable(Socket socket, int timeoutMs) {
    if (timeoutMs <= 0) return WaitResult::TimedOut;
    WSAPOLLFD p{};
    p.fd = handle(socket);
    p.events = POLLRDNORM;
    const int ready = WSAPoll(&p, 1, timeoutMs);
    if (ready == SOCKET_ERROR) return WaitResult::Failed;
    return ready == 0 ? WaitResult::TimedOut : WaitResult::Ready;
}

long receiveSome(Socket socket, char* buffer, std::size_t size) {
    const int n = recv(handle(socket), buffer, static_cast<int>(size), 0);
    return n == SOCKET_ERROR ? -1 : static_cast<long>(n);
}

bool sendAll(Socket socket, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const std::size_t chunk = std::min<std::size_t>(data.size() - sent, 1 << 20);
        const int n = send(handle(socket), data.data() + sent, static_cast<int>(chunk), 0);
        if (n == SOCKET_ERROR || n == 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void setSendTimeout(Socket socket, int timeoutMs) {
    const DWORD timeout = static_cast<DWORD>(timeoutMs);
    setsockopt(handle(socket), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout),
               sizeof timeout);
}

void shutdownSending(Socket socket) {
    shutdown(handle(socket), SD_SEND);
}

void closeSocket(Socket socket) {
    closesocket(handle(socket));
}

}  // namespace service
