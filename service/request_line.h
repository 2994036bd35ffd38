// The first line of an HTTP request, read leniently: the program sends words
// raw, so the target may hold blanks, GBK bytes and even NUL bytes.
#pragma once

#include <string>

namespace service {

struct RequestLine {
    std::string method;
    std::string target;   // origin form, starts with "/"
    std::string version;  // "HTTP/1.0", or empty for a bare "GET /word"
};

// Splits "METHOD TARGET VERSION": the method ends at the first blank, the
// version is the last blank-separated field when it starts with "HTTP/", and
// everything between is the target. An absolute "http://host/..." target is
// cut to its path. False when there is no method or the target does not
// start with "/".
bool parseRequestLine(const std::string& line, RequestLine& out);

// The request line of a request head: the bytes before the first LF, without
// a trailing CR.
std::string firstLine(const std::string& head);

}  // namespace service
