#include <gtest/gtest.h>

#include "service/http_server.h"

using namespace service;

TEST(HttpFormat, ResponsesCarryLengthTypeAndClose) {
    const HttpResponse response{200, "audio/mpeg", std::string("ab\0c", 4)};
    const std::string full = formatResponse(response, false);
    EXPECT_EQ(full.compare(0, 17, "HTTP/1.0 200 OK\r\n"), 0);
    EXPECT_NE(full.find("Content-Type: audio/mpeg\r\n"), std::string::npos);
    EXPECT_NE(full.find("Content-Length: 4\r\n"), std::string::npos);
    EXPECT_NE(full.find("Connection: close\r\n"), std::string::npos);
    EXPECT_EQ(full.substr(full.size() - 8), std::string("\r\n\r\nab\0c", 8));
    // HEAD: the same headers without the body.
    const std::string head = formatResponse(response, true);
    EXPECT_EQ(head, full.substr(0, full.size() - 4));
    EXPECT_EQ(formatResponse({404, "", ""}, false).compare(0, 24, "HTTP/1.0 404 Not Found\r\n"), 0);
}

TEST(HttpFormat, AHeadEndsAtTheFirstBlankLine) {
    EXPECT_FALSE(headComplete("GET /a HTTP/1.0\r\n"));
    EXPECT_FALSE(headComplete("GET /a HTTP/1.0\r\nHost: x\r\n"));
    EXPECT_TRUE(headComplete("GET /a HTTP/1.0\r\n\r\n"));
    EXPECT_TRUE(headComplete("GET /a HTTP/1.0\n\n"));
}
