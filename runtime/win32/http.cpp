#include "runtime/win32/http.h"

#include <windows.h>
#include <wininet.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace win32 {

namespace {

constexpr DWORD kLargestBlock = 102400;
constexpr DWORD kDefaultBlock = 10240;
constexpr int kMaxRedirects = 5;
// The whole header block is bounded as libcurl bounds it. No answer of a
// web service carries a header line near 4 KiB; the Internet functions under
// Wine cut longer lines off there and read on, so such a line is a mangled
// or hostile answer.
constexpr DWORD kMaxHeaderBytes = 100 * 1024;
constexpr std::size_t kMaxHeaderLine = 4000;
// How long the watchdog lets a call overrun the deadline before it closes
// the request under it; normally the call's own time-outs end it first.
constexpr DWORD kWatchdogGraceMs = 500;

// One Internet handle for the whole run, opened by the first request.
HINTERNET session(const Text& userAgent) {
    static HINTERNET handle = nullptr;
    if (handle == nullptr) {
        handle = InternetOpenA(userAgent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    }
    return handle;
}

const char* orNull(const Text& text) {
    return text.empty() ? nullptr : text.c_str();
}

// The time left until the request's deadline, in milliseconds, 0 when up.
struct Deadline {
    ULONGLONG end = 0;
    DWORD left() const {
        const ULONGLONG now = GetTickCount64();
        return now >= end ? 0 : static_cast<DWORD>(end - now);
    }
};

// Bounds the next connect, send and receive waits by the time that is left,
// so that a silent server cannot hold the GUI thread past the deadline.
void setTimeouts(HINTERNET handle, DWORD milliseconds) {
    DWORD value = milliseconds == 0 ? 1 : milliseconds;
    InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &value, sizeof(value));
    InternetSetOptionA(handle, INTERNET_OPTION_SEND_TIMEOUT, &value, sizeof(value));
    InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &value, sizeof(value));
}

DWORD queryNumber(HINTERNET request, DWORD info, bool& found) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    found = HttpQueryInfoA(request, info | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr) != FALSE;
    return value;
}

std::string queryText(HINTERNET request, DWORD info) {
    std::string text(256, '\0');
    DWORD size = static_cast<DWORD>(text.size());
    if (!HttpQueryInfoA(request, info, text.data(), &size, nullptr)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size > kMaxHeaderBytes) return std::string();
        text.assign(size + 1, '\0');
        if (!HttpQueryInfoA(request, info, text.data(), &size, nullptr)) return std::string();
    }
    text.resize(size);
    return text;
}

// Closes the request under a call that is still blocked past the deadline
// (Windows ignores some time-outs, the connect one above all); the blocked
// call then fails. The handle is closed once, by whichever side is first.
struct Watchdog {
    std::mutex lock;
    HINTERNET handle = nullptr;
    bool fired = false;
    bool finished = false;
    HANDLE timer = nullptr;
};

VOID CALLBACK onDeadline(PVOID parameter, BOOLEAN) {
    auto* watchdog = static_cast<Watchdog*>(parameter);
    std::lock_guard<std::mutex> guard(watchdog->lock);
    if (watchdog->finished || watchdog->fired) return;
    watchdog->fired = true;
    InternetCloseHandle(watchdog->handle);
}

void arm(Watchdog& watchdog, HINTERNET handle, DWORD milliseconds) {
    watchdog.handle = handle;
    CreateTimerQueueTimer(&watchdog.timer, nullptr, onDeadline, &watchdog, milliseconds + kWatchdogGraceMs, 0,
                          WT_EXECUTEONLYONCE);
}

// Closing a request whose body was left unread can take as long as the
// rest of the body takes to arrive: some implementations of the Internet
// functions read it to the end to keep the connection. A refused answer
// (a body past the cap) is therefore let go on a thread of its own, request
// before connection, and the GUI thread goes on at once.
void closeRequest(HINTERNET request, HINTERNET connection, bool unreadBody) {
    if (!unreadBody) {
        if (request != nullptr) InternetCloseHandle(request);
        InternetCloseHandle(connection);
        return;
    }
    try {
        std::thread([request, connection] {
            if (request != nullptr) InternetCloseHandle(request);
            InternetCloseHandle(connection);
        }).detach();
    } catch (...) {
        if (request != nullptr) InternetCloseHandle(request);
        InternetCloseHandle(connection);
    }
}

// Stops the watchdog (waiting for a callback that runs). Returns the handle
// still to be closed, or null when the watchdog has closed it.
HINTERNET disarm(Watchdog& watchdog) {
    {
        std::lock_guard<std::mutex> guard(watchdog.lock);
        watchdog.finished = true;
    }
    if (watchdog.timer != nullptr) DeleteTimerQueueTimer(nullptr, watchdog.timer, INVALID_HANDLE_VALUE);
    return watchdog.fired ? nullptr : watchdog.handle;
}

// Where one hop goes.
struct Target {
    bool secure = false;
    Text host;
    int port = 80;
    Text object;
};

// A redirect's Location: an absolute http or https URL, or a path on the
// same server. Anything else (file:, ftp:, ...) is refused.
bool followLocation(const std::string& location, Target& target) {
    if (location.empty()) return false;
    if (location[0] == '/' && (location.size() < 2 || location[1] != '/')) {
        target.object = location;
        return true;
    }
    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof(host);
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlA(location.c_str(), static_cast<DWORD>(location.size()), 0, &parts)) return false;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return false;
    if (parts.dwHostNameLength == 0) return false;
    target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    target.host.assign(host, parts.dwHostNameLength);
    target.port = parts.nPort;
    target.object.assign(parts.lpszUrlPath != nullptr ? parts.lpszUrlPath : "", parts.dwUrlPathLength);
    if (parts.lpszExtraInfo != nullptr) target.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (target.object.empty()) target.object.push_back('/');
    return true;
}

// An answer that is not HTTP (garbage, or an old HTTP/0.9 bare body) comes
// back from the Internet functions under a made-up "HTTP/1.0 200 OK" with no
// header field at all; every web service sends at least one.
bool plausibleHeaders(HINTERNET request) {
    DWORD size = 0;
    if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &size, nullptr) &&
        (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size > kMaxHeaderBytes)) {
        return false;
    }
    const std::string raw = queryText(request, HTTP_QUERY_RAW_HEADERS_CRLF);
    if (raw.rfind("HTTP/1.", 0) != 0) return false;
    int fields = 0;
    for (std::size_t start = 0; start < raw.size();) {
        std::size_t end = raw.find("\r\n", start);
        if (end == std::string::npos) end = raw.size();
        if (end - start >= kMaxHeaderLine) return false;
        if (start > 0 && end > start) ++fields;
        start = end + 2;
    }
    return fields > 0;
}

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// What one hop ended in.
enum class Outcome { Done, Redirect, Refused };

// Reads the body in pieces as they arrive, looking at the clock between
// them, so that a server that drips its bytes meets the deadline as well.
Outcome readBody(HINTERNET request, const Deadline& deadline, std::int64_t limit, HttpResponse& response) {
    bool found = false;
    const DWORD length = queryNumber(request, HTTP_QUERY_CONTENT_LENGTH, found);
    if (found && static_cast<std::int64_t>(length) > limit) return Outcome::Refused;
    std::vector<char> block(!found || length == 0 ? kDefaultBlock
                                                  : (length >= kLargestBlock ? kLargestBlock : length + 1));
    for (;;) {
        const DWORD left = deadline.left();
        if (left == 0) return Outcome::Refused;
        setTimeouts(request, left);
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0)) return Outcome::Done;
        if (deadline.left() == 0) return Outcome::Refused;
        DWORD wanted = available == 0 ? 1 : (available < block.size() ? available : block.size());
        DWORD read = 0;
        if (!InternetReadFile(request, block.data(), wanted, &read)) return Outcome::Done;
        if (read == 0) {
            response.completed = true;
            return Outcome::Done;
        }
        if (static_cast<std::int64_t>(response.body.size()) + read > limit) return Outcome::Refused;
        response.body.append(block.data(), read);
    }
}

// One request to one server; on a redirect, target becomes the next one.
Outcome hop(HINTERNET internet, const HttpRequest& request, Target& target, const Deadline& deadline,
            HttpResponse& response) {
    const DWORD left = deadline.left();
    if (left == 0 || target.host.empty() || target.port < 1 || target.port > 65535) return Outcome::Refused;
    // The credentials belong to the configured server and go nowhere else.
    const bool sameServer = target.host == request.host && target.port == request.port;
    HINTERNET connection =
        InternetConnectA(internet, target.host.c_str(), static_cast<INTERNET_PORT>(target.port),
                         sameServer ? orNull(request.user) : nullptr,
                         sameServer ? orNull(request.password) : nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (connection == nullptr) return Outcome::Done;
    setTimeouts(connection, left);

    // Redirects are followed by hand, so that each hop is checked.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;
    if (target.secure) flags |= INTERNET_FLAG_SECURE;
    // The A function takes the object's bytes as they are: blanks and GBK
    // bytes of a word go into the request line unchanged.
    HINTERNET handle = HttpOpenRequestA(connection, request.verb.c_str(), target.object.c_str(),
                                        request.version.c_str(), nullptr, nullptr, flags, 0);
    if (handle == nullptr) {
        InternetCloseHandle(connection);
        return Outcome::Done;
    }
    setTimeouts(handle, left);
    Watchdog watchdog;
    arm(watchdog, handle, left);

    Outcome outcome = Outcome::Done;
    response = HttpResponse();
    if (HttpSendRequestA(handle, request.headers.c_str(), static_cast<DWORD>(request.headers.size()), nullptr,
                         0)) {
        bool found = false;
        const DWORD status = queryNumber(handle, HTTP_QUERY_STATUS_CODE, found);
        if (!plausibleHeaders(handle)) {
            outcome = Outcome::Refused;
        } else {
            if (found) response.status = static_cast<int>(status);
            if (isRedirect(response.status)) {
                outcome = followLocation(queryText(handle, HTTP_QUERY_LOCATION), target) ? Outcome::Redirect
                                                                                         : Outcome::Refused;
            } else {
                outcome = readBody(handle, deadline, request.maxBodyBytes, response);
            }
        }
    }
    if (deadline.left() == 0) outcome = Outcome::Refused;
    closeRequest(disarm(watchdog), connection, outcome == Outcome::Refused);
    return outcome;
}

HttpResponse get(const HttpRequest& request) {
    HINTERNET internet = session(request.userAgent);
    if (internet == nullptr) return HttpResponse();
    const DWORD timeout = request.timeoutMs > 0 ? static_cast<DWORD>(request.timeoutMs) : 30000;
    const Deadline deadline{GetTickCount64() + timeout};
    HttpRequest limited = request;
    if (limited.maxBodyBytes <= 0) limited.maxBodyBytes = HttpRequest().maxBodyBytes;

    Target target{request.secure, request.host, request.port, request.object};
    HttpResponse response;
    for (int redirects = 0;; ++redirects) {
        const Outcome outcome = hop(internet, limited, target, deadline, response);
        if (outcome == Outcome::Done) return response;
        // Past a limit (time, size, protocol, redirects): nothing of it.
        if (outcome == Outcome::Refused || redirects == kMaxRedirects) return HttpResponse();
    }
}

}  // namespace

HttpResponse httpGet(const HttpRequest& request) {
    // Called from event handlers on the GUI thread: whatever goes wrong here
    // is a failed request, never an exception in the message loop.
    try {
        return get(request);
    } catch (...) {
        return HttpResponse();
    }
}

}  // namespace win32
