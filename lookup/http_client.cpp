// The program's one HTTP client. The URL is split the way the Windows
// Internet functions crack it, without escaping anything: a word with blanks
// or Chinese characters goes out in the request line exactly as typed.
#include "lookup/http_client.h"

const char* const kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

namespace {

Text lowerAscii(Text text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool parsePort(const Text& text, int& port) {
    if (text.empty() || text.size() > 5) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535) return false;
    port = value;
    return true;
}

}  // namespace

bool buildHttpRequest(const Text& url, HttpRequest& request) {
    Text rest = url.substr(0, url.find('#'));

    std::size_t schemeEnd = rest.find("://");
    if (schemeEnd == Text::npos) return false;
    Text scheme = lowerAscii(rest.substr(0, schemeEnd));
    HttpRequest built;
    if (scheme == "http") {
        built.secure = false;
        built.port = 80;
    } else if (scheme == "https") {
        built.secure = true;
        built.port = 443;
    } else {
        return false;
    }
    rest = rest.substr(schemeEnd + 3);

    std::size_t slash = rest.find('/');
    Text authority = rest.substr(0, slash);
    built.object = slash == Text::npos ? Text("/") : rest.substr(slash);

    std::size_t at = authority.rfind('@');
    if (at != Text::npos) {
        Text credentials = authority.substr(0, at);
        authority = authority.substr(at + 1);
        std::size_t colon = credentials.find(':');
        built.user = credentials.substr(0, colon);
        if (colon != Text::npos) built.password = credentials.substr(colon + 1);
    }

    std::size_t colon = authority.find(':');
    built.host = authority.substr(0, colon);
    if (built.host.empty()) return false;
    if (colon != Text::npos && !parsePort(authority.substr(colon + 1), built.port)) return false;

    built.verb = "GET";
    built.version = "HTTP/1.0";
    built.userAgent = kUserAgent;
    built.headers = "Accept: */*\r\n\r\n";
    built.timeoutMs = 30000;
    request = built;
    return true;
}

HttpResponse fetchUrlWithStatus(const Text& url, std::int64_t maxBodyBytes) {
    HttpRequest request;
    if (!buildHttpRequest(url, request)) return HttpResponse();
    request.maxBodyBytes = maxBodyBytes;
    return platform().httpGet(request);
}

Bytes fetchUrl(const Text& url, std::int64_t maxBodyBytes) {
    return fetchUrlWithStatus(url, maxBodyBytes).body;
}
