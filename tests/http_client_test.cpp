#include "lookup/http_client.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace {

HttpRequest split(const Text& url) {
    HttpRequest request;
    EXPECT_TRUE(buildHttpRequest(url, request)) << url;
    return request;
}

}  // namespace

TEST(HttpRequestSplit, FillsTheFixedRequestFields) {
    HttpRequest r = split("http://dict.example.org/apple");
    EXPECT_FALSE(r.secure);
    EXPECT_EQ(r.host, "dict.example.org");
    EXPECT_EQ(r.port, 80);
    EXPECT_EQ(r.object, "/apple");
    EXPECT_EQ(r.verb, "GET");
    EXPECT_EQ(r.version, "HTTP/1.0");
    EXPECT_EQ(r.userAgent, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    EXPECT_EQ(r.headers, "Accept: */*\r\n\r\n");
    EXPECT_EQ(r.timeoutMs, 30000);
    EXPECT_TRUE(r.user.empty());
    EXPECT_TRUE(r.password.empty());
}

TEST(HttpRequestSplit, SchemePortAndCredentials) {
    HttpRequest https = split("HTTPS://secure.example.org");
    EXPECT_TRUE(https.secure);
    EXPECT_EQ(https.port, 443);
    EXPECT_EQ(https.object, "/");

    HttpRequest full = split("http://ann:se:cret@127.0.0.1:47800/text2audio?a=1");
    EXPECT_EQ(full.user, "ann");
    EXPECT_EQ(full.password, "se:cret");
    EXPECT_EQ(full.host, "127.0.0.1");
    EXPECT_EQ(full.port, 47800);
    EXPECT_EQ(full.object, "/text2audio?a=1");
}

TEST(HttpRequestSplit, TheObjectIsSentRawAndCutAtTheFirstHash) {
    EXPECT_EQ(split("http://h/ice cream").object, "/ice cream");
    EXPECT_EQ(split("http://h/\xC6\xBB\xB9\xFB%20x").object, "/\xC6\xBB\xB9\xFB%20x");
    EXPECT_EQ(split("http://h/text2audio?text=C#&spd=2").object, "/text2audio?text=C");
    EXPECT_EQ(split("http://h:81#/x").port, 81);
}

TEST(HttpRequestSplit, UrlsThatCannotBeSplit) {
    const char* bad[] = {"",
                         "apple",
                         "ftp://h/x",
                         "http:/h/x",
                         "http:///x",
                         "http://h:0/x",
                         "http://h:65536/x",
                         "http://h:/x",
                         "http://h:8x/x",
                         "http://user@/x",
                         "#http://h/x"};
    for (const char* url : bad) {
        HttpRequest request;
        EXPECT_FALSE(buildHttpRequest(url, request)) << url;
    }
}

TEST(HttpFetch, SendsTheRequestThroughThePlatformAndReturnsTheBody) {
    FakePlatform fake;
    HttpResponse notFound;
    notFound.completed = true;
    notFound.status = 404;
    notFound.body = "error page";
    fake.httpResponder = [&](const HttpRequest&) { return notFound; };

    // The status is not examined by fetchUrl: an error page is a body too.
    EXPECT_EQ(fetchUrl("http://127.0.0.1:47800/apple#x"), "error page");
    HttpResponse withStatus = fetchUrlWithStatus("http://127.0.0.1:47800/apple");
    EXPECT_EQ(withStatus.status, 404);
    ASSERT_EQ(fake.httpRequests.size(), 2u);
    EXPECT_EQ(fake.httpRequests[0].request.object, "/apple");
    EXPECT_EQ(fake.httpRequests[0].request.port, 47800);
    EXPECT_EQ(fake.httpRequests[0].request.userAgent, kUserAgent);
}

TEST(HttpFetch, AUrlThatCannotBeSplitGivesAnEmptyBodyWithoutARequest) {
    FakePlatform fake;
    fake.httpResponder = [](const HttpRequest&) {
        HttpResponse response;
        response.completed = true;
        response.status = 200;
        response.body = "body";
        return response;
    };
    EXPECT_EQ(fetchUrl("gopher://h/x"), "");
    EXPECT_FALSE(fetchUrlWithStatus("http://h:99999/").completed);
    EXPECT_TRUE(fake.httpRequests.empty());
}
