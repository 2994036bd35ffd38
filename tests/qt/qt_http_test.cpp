// The libcurl GET: the request as it reaches a server, redirects, error
// bodies and transfers cut short.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <string>
#include <thread>
#include <vector>

#include "lookup/http_client.h"
#include "qt_test_support.h"
#include "runtime/qt/http.h"

namespace {

// Answers each connection with the next canned reply and keeps the request
// lines it saw. {port} in a reply is replaced by the server's port.
class CannedServer {
public:
    explicit CannedServer(std::vector<std::string> replies) : replies_(std::move(replies)) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        listen(listener_, 4);
        thread_ = std::thread([this] { serve(); });
    }
    ~CannedServer() {
        shutdown(listener_, SHUT_RDWR);
        close(listener_);
        thread_.join();
    }
    int port() const { return port_; }
    const std::vector<std::string>& requestLines() const { return lines_; }

private:
    void serve() {
        for (std::string reply : replies_) {
            int connection = accept(listener_, nullptr, nullptr);
            if (connection < 0) return;
            std::string request;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos) {
                ssize_t n = recv(connection, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                request.append(buffer, static_cast<std::size_t>(n));
            }
            lines_.push_back(request.substr(0, request.find("\r\n")));
            std::size_t at = reply.find("{port}");
            if (at != std::string::npos) reply.replace(at, 6, std::to_string(port_));
            send(connection, reply.data(), reply.size(), MSG_NOSIGNAL);
            close(connection);
        }
    }
    std::vector<std::string> replies_;
    std::vector<std::string> lines_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
};

HttpRequest requestFor(int port, const Text& object) {
    HttpRequest request;
    EXPECT_TRUE(buildHttpRequest("http://127.0.0.1:" + std::to_string(port) + object, request));
    return request;
}

TEST(QtHttp, SendsTheRawTargetAsHttp10WithTheUserAgentAndAccept) {
    QTemporaryDir logFolder;
    DictServer server(logFolder.filePath("requests.log"));
    ASSERT_GT(server.port(), 0);
    Text gbkWord = gbk(u"苹果");
    HttpResponse blank = qtport::httpGet(requestFor(server.port(), "/ice cream"));
    HttpResponse chinese = qtport::httpGet(requestFor(server.port(), "/" + gbkWord));

    EXPECT_TRUE(blank.completed);
    EXPECT_EQ(blank.status, 200);
    EXPECT_NE(blank.body.find("<ul class=\"\">"), std::string::npos);
    EXPECT_TRUE(chinese.completed);

    std::vector<QJsonObject> requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].value("raw_line").toString(), QStringLiteral("GET /ice cream HTTP/1.0"));
    QJsonObject headers = requests[0].value("headers").toObject();
    EXPECT_EQ(headers.value("User-Agent").toString(),
              QStringLiteral("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"));
    EXPECT_EQ(headers.value("Accept").toString(), QStringLiteral("*/*"));
    EXPECT_FALSE(headers.contains("Pragma"));
    // The GBK bytes of the word go out as they are, not percent-encoded.
    EXPECT_EQ(requests[1].value("target_hex").toString().toStdString(),
              QByteArray(("/" + gbkWord).c_str()).toHex().toStdString());
}

TEST(QtHttp, ReturnsTheBodyOfAnErrorPageWithItsStatus) {
    QTemporaryDir logFolder;
    DictServer server(logFolder.filePath("requests.log"));
    HttpResponse response = qtport::httpGet(requestFor(server.port(), "/missing/word"));
    EXPECT_TRUE(response.completed);
    EXPECT_EQ(response.status, 404);
    EXPECT_EQ(response.body, "not found");
}

TEST(QtHttp, FollowsARedirectToTheLocationItNames) {
    CannedServer server({"HTTP/1.0 302 Found\r\nLocation: http://127.0.0.1:{port}/final\r\n\r\nmoved",
                         "HTTP/1.0 200 OK\r\nContent-Length: 7\r\n\r\narrived"});
    HttpResponse response = qtport::httpGet(requestFor(server.port(), "/start here"));
    EXPECT_TRUE(response.completed);
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, "arrived");
    ASSERT_EQ(server.requestLines().size(), 2u);
    EXPECT_EQ(server.requestLines()[0], "GET /start here HTTP/1.0");
    EXPECT_EQ(server.requestLines()[1], "GET /final HTTP/1.0");
}

TEST(QtHttp, KeepsWhatArrivedWhenTheTransferBreaksOff) {
    CannedServer server({"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nhalf"});
    HttpResponse response = qtport::httpGet(requestFor(server.port(), "/word"));
    EXPECT_FALSE(response.completed);
    EXPECT_EQ(response.body, "half");
}

TEST(QtHttp, ARefusedConnectionGivesNothing) {
    int port;
    {
        CannedServer closed({});  // binds a free port, then gives it up
        port = closed.port();
    }
    HttpResponse response = qtport::httpGet(requestFor(port, "/word"));
    EXPECT_FALSE(response.completed);
    EXPECT_EQ(response.status, 0);
    EXPECT_TRUE(response.body.empty());
}

}  // namespace
