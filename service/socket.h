// The few socket operations the HTTP server needs, on BSD sockets or
// Winsock. Everything that differs between the two lives behind these
// functions, so the server itself has no platform code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace service {

// A socket descriptor on POSIX, a SOCKET on Windows.
using Socket = std::intptr_t;
constexpr Socket kNoSocket = -1;

// Once per process before any other call: starts Winsock, or keeps a peer
// that hangs up early from ending the process with SIGPIPE. False with a
// message in error on failure.
bool startSockets(std::string& error);

// A socket listening on 127.0.0.1:port (0 picks a free port), or kNoSocket
// with a message in error; portInUse tells the common case.
Socket listenOnLoopback(int port, int backlog, int& boundPort, bool& portInUse, std::string& error);

// The next connection, or kNoSocket when accepting failed (after a short
// pause when the failure may last, so a caller's loop never spins).
Socket acceptConnection(Socket listener);

enum class WaitResult { Ready, TimedOut, Failed };
// Waits until the socket has data (or the peer closed) for at most timeoutMs.
WaitResult waitReadable(Socket socket, int timeoutMs);

// Up to size bytes: the count, 0 when the peer closed, -1 on an error.
long receiveSome(Socket socket, char* buffer, std::size_t size);

// Sends all of data; false when the peer went away or a send blocked longer
// than the send time-out.
bool sendAll(Socket socket, const std::string& data);

void setSendTimeout(Socket socket, int timeoutMs);
// Ends the sending side so the peer reads everything before the close.
void shutdownSending(Socket socket);
void closeSocket(Socket socket);

}  // namespace service
