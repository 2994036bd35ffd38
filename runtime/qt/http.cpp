#include "runtime/qt/http.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "runtime/qt/optional_libraries.h"

namespace qtport {

namespace {

constexpr int kMaxRedirects = 5;
constexpr const char* kWebProtocols = "http,https";

// Where the body goes and how much of it may come.
struct BodySink {
    Bytes* body = nullptr;
    std::int64_t limit = 0;
    bool overLimit = false;
};

// Runs inside libcurl's C code: nothing may be thrown out of it. Returning
// less than was given aborts the transfer.
size_t appendBody(char* data, size_t size, size_t count, void* target) {
    auto* sink = static_cast<BodySink*>(target);
    const size_t length = size * count;
    if (static_cast<std::int64_t>(sink->body->size()) + static_cast<std::int64_t>(length) > sink->limit) {
        sink->overLimit = true;
        return 0;
    }
    try {
        // Grows as usual, but never reserves past the limit.
        Bytes& body = *sink->body;
        const std::size_t needed = body.size() + length;
        if (needed > body.capacity()) {
            body.reserve(static_cast<std::size_t>(std::min<std::int64_t>(
                sink->limit, static_cast<std::int64_t>(std::max(needed, 2 * body.capacity())))));
        }
        body.append(data, length);
    } catch (...) {
        sink->overLimit = true;
        return 0;
    }
    return length;
}

// The extra header text holds CR LF separated lines, ended by an empty line.
curl_slist* headerList(const CurlLibrary& api, const Text& headers) {
    curl_slist* list = nullptr;
    std::size_t start = 0;
    while (start < headers.size()) {
        std::size_t end = headers.find('\n', start);
        if (end == Text::npos) end = headers.size();
        std::string line = headers.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) list = api.slistAppend(list, line.c_str());
        start = end + 1;
    }
    return list;
}

// libcurl, opened and set up on the first request; nullptr when it cannot be.
const CurlLibrary* curlReady() {
    static const CurlLibrary* const ready = [] {
        const CurlLibrary* api = curlLibrary();
        return api != nullptr && api->globalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK ? api : nullptr;
    }();
    return ready;
}

struct CurlCleanup {
    void operator()(CURL* curl) const { curlLibrary()->cleanup(curl); }
};
struct ListCleanup {
    void operator()(curl_slist* list) const { curlLibrary()->slistFreeAll(list); }
};

using Clock = std::chrono::steady_clock;

long millisecondsLeft(Clock::time_point deadline) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
}

bool isRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

HttpResponse failed() {
    return HttpResponse();
}

HttpResponse get(const HttpRequest& request) {
    HttpResponse response;
    const CurlLibrary* api = curlReady();
    if (api == nullptr || request.host.empty()) return response;
    std::unique_ptr<CURL, CurlCleanup> handle(api->init());
    if (!handle) return response;
    CURL* curl = handle.get();

    const long timeoutMs = request.timeoutMs > 0 ? request.timeoutMs : 30000;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    BodySink sink{&response.body,
                  request.maxBodyBytes > 0 ? request.maxBodyBytes : HttpRequest().maxBodyBytes};

    // The URL carries scheme, host and port only; the object is sent as it is.
    const std::string origin =
        (request.secure ? "https://" : "http://") + request.host + ":" + std::to_string(request.port) + "/";
    std::string url = origin;
    std::string target = request.object.empty() ? std::string("/") : request.object;
    std::unique_ptr<curl_slist, ListCleanup> headers(headerList(*api, request.headers));

    api->setopt(curl, CURLOPT_CUSTOMREQUEST, request.verb == "GET" ? nullptr : request.verb.c_str());
    api->setopt(curl, CURLOPT_HTTP_VERSION,
                request.version == "HTTP/1.0" ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    api->setopt(curl, CURLOPT_USERAGENT, request.userAgent.c_str());
    api->setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    // A direct connection, whatever the environment says about proxies.
    api->setopt(curl, CURLOPT_PROXY, "");
    api->setopt(curl, CURLOPT_NOPROXY, "*");
    // Web pages and sounds only: a server's Location never makes libcurl read
    // a local file or speak another protocol, and an answer that is not HTTP
    // is not taken as a body.
    api->setopt(curl, CURLOPT_PROTOCOLS_STR, kWebProtocols);
    api->setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, kWebProtocols);
    api->setopt(curl, CURLOPT_HTTP09_ALLOWED, 0L);
    api->setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(sink.limit));
    api->setopt(curl, CURLOPT_NOSIGNAL, 1L);
    api->setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    api->setopt(curl, CURLOPT_WRITEDATA, &sink);
    if (!request.user.empty()) {
        api->setopt(curl, CURLOPT_USERNAME, request.user.c_str());
        api->setopt(curl, CURLOPT_PASSWORD, request.password.c_str());
    }

    // Redirects are followed here rather than by libcurl, which would send the
    // raw request target again to the new location. A Location is a proper URL
    // and goes out as the server wrote it.
    api->setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    api->setopt(curl, CURLOPT_URL, url.c_str());
    api->setopt(curl, CURLOPT_REQUEST_TARGET, target.c_str());
    for (int hop = 0;; ++hop) {
        // One deadline for the whole request, redirects included.
        const long left = millisecondsLeft(deadline);
        if (left <= 0) return failed();
        api->setopt(curl, CURLOPT_TIMEOUT_MS, left);
        api->setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, left);

        response.body.clear();
        const CURLcode result = api->perform(curl);
        if (sink.overLimit || result == CURLE_OPERATION_TIMEDOUT || result == CURLE_FILESIZE_EXCEEDED ||
            result == CURLE_UNSUPPORTED_PROTOCOL) {
            return failed();
        }
        long status = 0;
        api->getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        response.status = static_cast<int>(status);
        response.completed = result == CURLE_OK;
        char* location = nullptr;
        api->getinfo(curl, CURLINFO_REDIRECT_URL, &location);
        if (!response.completed || !isRedirect(status) || location == nullptr) break;
        if (hop == kMaxRedirects) return failed();
        url = location;
        api->setopt(curl, CURLOPT_URL, url.c_str());
        api->setopt(curl, CURLOPT_REQUEST_TARGET, nullptr);
        // The credentials belong to the configured server and go nowhere else.
        if (url.rfind(origin, 0) != 0) {
            api->setopt(curl, CURLOPT_USERNAME, nullptr);
            api->setopt(curl, CURLOPT_PASSWORD, nullptr);
        }
    }
    return response;
}

}  // namespace

HttpResponse httpGet(const HttpRequest& request) {
    // Called from event handlers on the GUI thread: whatever goes wrong here
    // is a failed request, never an exception in the event loop.
    try {
        return get(request);
    } catch (...) {
        return failed();
    }
}

}  // namespace qtport
