#include "runtime/win32/http.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

namespace win32 {

namespace {

constexpr DWORD kLargestBlock = 102400;
constexpr DWORD kDefaultBlock = 10240;

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

// Bounds the connect, send and receive waits so that a silent server cannot
// hold the GUI thread longer than that.
void setTimeouts(HINTERNET handle, int milliseconds) {
    if (milliseconds <= 0) return;
    DWORD value = static_cast<DWORD>(milliseconds);
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

// Content-Length plus one, at most 100 KiB; 10 KiB when the length is unknown.
DWORD blockSize(HINTERNET request) {
    bool found = false;
    const DWORD length = queryNumber(request, HTTP_QUERY_CONTENT_LENGTH, found);
    if (!found || length == 0) return kDefaultBlock;
    return length >= kLargestBlock ? kLargestBlock : length + 1;
}

void readBody(HINTERNET request, HttpResponse& response) {
    std::vector<char> block(blockSize(request));
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request, block.data(), static_cast<DWORD>(block.size()), &read)) return;
        if (read == 0) {
            response.completed = true;
            return;
        }
        response.body.append(block.data(), read);
    }
}

void send(HINTERNET connection, const HttpRequest& request, HttpResponse& response) {
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    if (request.secure) flags |= INTERNET_FLAG_SECURE;
    // The A function takes the object's bytes as they are: blanks and GBK
    // bytes of a word go into the request line unchanged.
    HINTERNET handle = HttpOpenRequestA(connection, request.verb.c_str(), request.object.c_str(),
                                        request.version.c_str(), nullptr, nullptr, flags, 0);
    if (handle == nullptr) return;
    setTimeouts(handle, request.timeoutMs);
    if (HttpSendRequestA(handle, request.headers.c_str(), static_cast<DWORD>(request.headers.size()), nullptr,
                         0)) {
        bool found = false;
        const DWORD status = queryNumber(handle, HTTP_QUERY_STATUS_CODE, found);
        if (found) response.status = static_cast<int>(status);
        readBody(handle, response);
    }
    InternetCloseHandle(handle);
}

}  // namespace

HttpResponse httpGet(const HttpRequest& request) {
    HttpResponse response;
    HINTERNET internet = session(request.userAgent);
    if (internet == nullptr || request.host.empty() || request.port < 1 || request.port > 65535)
        return response;
    HINTERNET connection =
        InternetConnectA(internet, request.host.c_str(), static_cast<INTERNET_PORT>(request.port),
                         orNull(request.user), orNull(request.password), INTERNET_SERVICE_HTTP, 0, 0);
    if (connection == nullptr) return response;
    setTimeouts(connection, request.timeoutMs);
    send(connection, request, response);
    InternetCloseHandle(connection);
    return response;
}

}  // namespace win32
