#include "service/http_server.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

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

// A count of free places (connections, workers), waited for when none is left.
struct Slots {
    std::mutex lock;
    std::condition_variable freed;
    int free;

    explicit Slots(int count) : free(count) {}
    void acquire() {
        std::unique_lock<std::mutex> guard(lock);
        freed.wait(guard, [this] { return free > 0; });
        --free;
    }
    void release() {
        {
            std::lock_guard<std::mutex> guard(lock);
            ++free;
        }
        freed.notify_one();
    }
};

struct SlotHeld {
    Slots& slots;
    explicit SlotHeld(Slots& s) : slots(s) { slots.acquire(); }
    ~SlotHeld() { slots.release(); }
    SlotHeld(const SlotHeld&) = delete;
    SlotHeld& operator=(const SlotHeld&) = delete;
};

enum class HeadResult { Complete, TooLarge, TimedOut, Closed };

// Reads until the blank line that ends the head, within the size and time
// limits. A peer that closes after a full request line still gets an answer.
HeadResult readHead(Socket socket, const ServerLimits& limits, std::string& head) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(limits.headTimeoutMs);
    char buffer[2048];
    while (!headComplete(head)) {
        if (head.size() > limits.maxHeadBytes) return HeadResult::TooLarge;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (waitReadable(socket, static_cast<int>(left.count())) != WaitResult::Ready)
            return HeadResult::TimedOut;
        const long n = receiveSome(socket, buffer, sizeof buffer);
        if (n <= 0) return head.find('\n') != std::string::npos ? HeadResult::Complete : HeadResult::Closed;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    return head.size() > limits.maxHeadBytes ? HeadResult::TooLarge : HeadResult::Complete;
}

// The handler's answer; a handler that fails answers 500 instead of taking
// the service down.
HttpResponse handled(const RequestHandler& handler, const RequestLine& request, Slots& workers) {
    SlotHeld worker(workers);
    try {
        return handler(request);
    } catch (...) {
        return errorResponse(500);
    }
}

HttpResponse respond(Socket socket, const RequestHandler& handler, const ServerLimits& limits, Slots& workers,
                     bool& headOnly, bool& answer) {
    std::string head;
    const HeadResult result = readHead(socket, limits, head);
    if (result == HeadResult::Closed) {
        answer = false;
        return {};
    }
    if (result == HeadResult::TimedOut) return errorResponse(408);
    if (result == HeadResult::TooLarge) return errorResponse(431);
    RequestLine request;
    if (!parseRequestLine(firstLine(head), request)) return errorResponse(400);
    if (request.method != "GET" && request.method != "HEAD") return errorResponse(405);
    headOnly = request.method == "HEAD";
    return handled(handler, request, workers);
}

void serveConnection(Socket socket, const RequestHandler& handler, const ServerLimits& limits,
                     Slots& workers) {
    setSendTimeout(socket, limits.sendTimeoutMs);
    bool headOnly = false;
    bool answer = true;
    std::string out;
    try {
        const HttpResponse response = respond(socket, handler, limits, workers, headOnly, answer);
        if (!answer) return;
        out = formatResponse(response, headOnly);
    } catch (...) {
        // Out of memory while reading or formatting: one short answer.
        out = formatResponse(errorResponse(500), false);
    }
    sendAll(socket, out);
    // Let the peer read everything before the socket goes away.
    shutdownSending(socket);
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

Socket openListener(int port, int& boundPort, bool& portInUse, std::string& error) {
    return listenOnLoopback(port, 128, boundPort, portInUse, error);
}

void serveForever(Socket listener, const RequestHandler& handler, const ServerLimits& limits) {
    // Both outlive every connection thread, even while the process exits.
    static Slots& connections = *new Slots(limits.connections);
    static Slots& workers = *new Slots(limits.workers);
    while (true) {
        connections.acquire();
        const Socket socket = acceptConnection(listener);
        if (socket == kNoSocket) {
            connections.release();
            continue;
        }
        try {
            std::thread([socket, &handler, &limits] {
                try {
                    serveConnection(socket, handler, limits, workers);
                } catch (...) {
                    // Not even a 500 could be sent; the connection just closes.
                }
                closeSocket(socket);
                connections.release();
            }).detach();
        } catch (const std::exception&) {
            // No thread to be had: drop this connection, keep serving.
            closeSocket(socket);
            connections.release();
        }
    }
}

}  // namespace service
