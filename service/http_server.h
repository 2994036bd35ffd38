// A small HTTP/1.0 server on plain sockets (service/socket.h). The quiz program sends request
// targets raw (blanks, GBK bytes), which general-purpose HTTP libraries
// reject, so the request line is read leniently here. One request per
// connection; every response closes the connection.
#pragma once

#include <functional>
#include <string>

#include "service/request_line.h"
#include "service/socket.h"

namespace service {

struct HttpResponse {
    int status = 200;
    std::string contentType;
    std::string body;
};

using RequestHandler = std::function<HttpResponse(const RequestLine&)>;

struct ServerLimits {
    size_t maxHeadBytes = 8192;  // request line and headers
    int headTimeoutMs = 5000;    // for the whole head to arrive
    int sendTimeoutMs = 10000;   // per blocked write of the response
    int workers = 8;             // requests handled at the same time
    // Connections open at the same time, each on its own thread while its
    // head arrives, so idle clients never keep a worker from real requests.
    // Further connections wait in the listen backlog.
    int connections = 64;
};

// A listening socket on 127.0.0.1:port (0 picks a free port). Returns the
// socket, or kNoSocket with a message in error; portInUse tells the common
// case. Connections made before serving starts wait in the backlog.
Socket openListener(int port, int& boundPort, bool& portInUse, std::string& error);

// Serves the listening socket within the limits; never returns. A handler
// that throws gets its connection answered with 500; the service goes on.
[[noreturn]] void serveForever(Socket listener, const RequestHandler& handler, const ServerLimits& limits);

// The whole response as sent: status line, headers, and the body unless
// headOnly.
std::string formatResponse(const HttpResponse& response, bool headOnly);

// The request head (up to and including the blank line) is complete.
bool headComplete(const std::string& received);

}  // namespace service
