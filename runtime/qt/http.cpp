#include "runtime/qt/http.h"

#include <curl/curl.h>

#include <string>

namespace qtport {

namespace {

size_t appendBody(char* data, size_t size, size_t count, void* target) {
    static_cast<Bytes*>(target)->append(data, size * count);
    return size * count;
}

// The extra header text holds CR LF separated lines, ended by an empty line.
curl_slist* headerList(const Text& headers) {
    curl_slist* list = nullptr;
    std::size_t start = 0;
    while (start < headers.size()) {
        std::size_t end = headers.find('\n', start);
        if (end == Text::npos) end = headers.size();
        std::string line = headers.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) list = curl_slist_append(list, line.c_str());
        start = end + 1;
    }
    return list;
}

constexpr int kMaxRedirects = 10;

bool curlReady() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

}  // namespace

HttpResponse httpGet(const HttpRequest& request) {
    HttpResponse response;
    if (!curlReady() || request.host.empty()) return response;
    CURL* curl = curl_easy_init();
    if (curl == nullptr) return response;

    // The URL carries scheme, host and port only; the object is sent as it is.
    std::string url =
        (request.secure ? "https://" : "http://") + request.host + ":" + std::to_string(request.port) + "/";
    std::string target = request.object.empty() ? std::string("/") : request.object;
    long timeoutMs = request.timeoutMs > 0 ? request.timeoutMs : 30000;
    curl_slist* headers = headerList(request.headers);

    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.verb == "GET" ? nullptr : request.verb.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION,
                     request.version == "HTTP/1.0" ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, request.userAgent.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    // A direct connection, whatever the environment says about proxies.
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    // Receive time-out: give up when nothing arrives for that long.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, (timeoutMs + 999) / 1000);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &response.body);
    if (!request.user.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, request.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, request.password.c_str());
    }

    // Redirects are followed here rather than by libcurl, which would send the
    // raw request target again to the new location. A Location is a proper URL
    // and goes out as the server wrote it.
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_REQUEST_TARGET, target.c_str());
    for (int hop = 0;; ++hop) {
        response.body.clear();
        CURLcode result = curl_easy_perform(curl);
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        response.status = static_cast<int>(status);
        response.completed = result == CURLE_OK;
        char* location = nullptr;
        curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location);
        bool redirected = status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
        if (!response.completed || !redirected || location == nullptr || hop == kMaxRedirects) break;
        url = location;
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_REQUEST_TARGET, nullptr);
    }

    curl_easy_cleanup(curl);
    curl_slist_free_all(headers);
    return response;
}

}  // namespace qtport
