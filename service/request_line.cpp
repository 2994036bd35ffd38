#include "service/request_line.h"

namespace service {

std::string firstLine(const std::string& head) {
    std::string line = head.substr(0, head.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

bool parseRequestLine(const std::string& line, RequestLine& out) {
    out = RequestLine{};
    const size_t methodEnd = line.find(' ');
    if (methodEnd == 0 || methodEnd == std::string::npos) return false;
    out.method = line.substr(0, methodEnd);
    std::string rest = line.substr(methodEnd + 1);
    const size_t lastBlank = rest.rfind(' ');
    if (lastBlank != std::string::npos && rest.compare(lastBlank + 1, 5, "HTTP/") == 0) {
        out.version = rest.substr(lastBlank + 1);
        rest.erase(lastBlank);
    }
    static const std::string kScheme = "http://";
    if (rest.size() > kScheme.size() && rest.compare(0, kScheme.size(), kScheme) == 0) {
        const size_t path = rest.find('/', kScheme.size());
        rest = path == std::string::npos ? "/" : rest.substr(path);
    }
    if (rest.empty() || rest[0] != '/') return false;
    out.target = rest;
    return true;
}

}  // namespace service
