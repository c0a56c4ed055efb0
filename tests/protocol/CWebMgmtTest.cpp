#include "protocol/CWebMgmt.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "LoopbackServers.h"
#include "RecordingMessageBox.h"
#include "protocol/HttpHeaders.h"
#include "protocol/WireText.h"

namespace korvane {
namespace {

using testing::ClosedLoopbackPort;
using testing::HttplibServer;
using testing::ParseRequest;
using testing::RawHttpServer;
using testing::RecordingMessageBox;

std::string Lower(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

// Header lines whose name is `name` (any case).
std::vector<std::string> HeadersNamed(const std::vector<std::string>& headers,
                                      const std::string& name) {
    std::vector<std::string> found;
    for (const auto& h : headers) {
        if (Lower(h.substr(0, name.size() + 1)) == Lower(name) + ":") {
            found.push_back(h);
        }
    }
    return found;
}

std::string Ok(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// No Content-Length: the body ends when the server closes.
std::string OkUntilClose(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body;
}

class CWebMgmtTest : public ::testing::Test {
  protected:
    CWebMgmtTest() { session.http_headers = std::string(kHttpHeaderBlock); }

    CWebMgmt Web(int port, long timeout_seconds = 10) {
        return CWebMgmt(session, boxes, HttpSettings{port, timeout_seconds, timeout_seconds});
    }

    SessionContext session;
    RecordingMessageBox boxes;
};

TEST(HttpHeaderBlock, IsTheExactTwoLineBlock) {
    EXPECT_EQ(kHttpHeaderBlock,
              "Content-Type: application/x-www-form-urlencoded\r\nUser-Agent: Moziila/4.0 "
              "(compatible; MSIE 7.0; Windows NT 6.0; SLCCC1; .NET CLR 2.0.50728; Medla Centrr PC "
              "5.0; .NET CLR 3.0.04506)");
    EXPECT_EQ(kHttpHeaderBlock.size(), 180u);
}

// The form request as it leaves the machine: verb, path, the block's two
// headers once each and nothing libcurl would add on its own, the body bytes
// unchanged, and the configured port although the URL names port 1.
TEST_F(CWebMgmtTest, PostFormSendsExactRequestToConfiguredPort) {
    const std::string body =
        "bin=\x01"
        "Ab\x03\x0e" +
        // Large enough (over 1 MiB) that libcurl would otherwise ask for 100-continue.
        std::string((1 << 20) + 100, 'x');
    RawHttpServer server(Ok("fine\n"));
    const std::string answer =
        Web(server.port()).PostForm("http://127.0.0.1:1/ClientLogin/client_logout.php", body);
    EXPECT_EQ(answer, "fine\n\n");

    const auto request = ParseRequest(server.request());
    EXPECT_EQ(request.request_line, "POST /ClientLogin/client_logout.php HTTP/1.1");
    EXPECT_EQ(HeadersNamed(request.headers, "Content-Type"),
              std::vector<std::string>{"Content-Type: application/x-www-form-urlencoded"});
    EXPECT_EQ(HeadersNamed(request.headers, "User-Agent"),
              std::vector<std::string>{
                  std::string(kHttpHeaderBlock.substr(kHttpHeaderBlock.find("User-Agent")))});
    EXPECT_TRUE(HeadersNamed(request.headers, "Expect").empty());
    EXPECT_TRUE(HeadersNamed(request.headers, "Accept").empty());
    EXPECT_EQ(HeadersNamed(request.headers, "Content-Length"),
              std::vector<std::string>{"Content-Length: " + std::to_string(body.size())});
    EXPECT_EQ(request.body, body);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CWebMgmtTest, PostQuerySendsEmptyPostWithEscapedQuery) {
    RawHttpServer server(Ok("answer"));
    const std::string answer = Web(server.port())
                                   .PostQuery(
                                       "http://127.0.0.1:1/ClientLogin/user_check_v1.php?bin=\x01"
                                       "Ab\x03%\xea");
    EXPECT_EQ(answer, "answer");

    const auto request = ParseRequest(server.request());
    EXPECT_EQ(request.request_line,
              "POST /ClientLogin/user_check_v1.php?bin=%01Ab%03%25%EA HTTP/1.1");
    EXPECT_EQ(HeadersNamed(request.headers, "Content-Length"),
              std::vector<std::string>{"Content-Length: 0"});
    EXPECT_EQ(HeadersNamed(request.headers, "Content-Type").size(), 1u);
    EXPECT_EQ(HeadersNamed(request.headers, "User-Agent").size(), 1u);
    EXPECT_TRUE(request.body.empty());
}

TEST_F(CWebMgmtTest, UrlPortIsIgnoredInFavourOfTheSetting) {
    HttplibServer named_in_url;
    named_in_url.server().Post("/p", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("from the url's port", "text/plain");
    });
    HttplibServer configured;
    configured.server().Post("/p", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("from the configured port", "text/plain");
    });
    named_in_url.Start();
    configured.Start();
    const std::string url = "http://127.0.0.1:" + std::to_string(named_in_url.port()) + "/p";
    EXPECT_EQ(Web(configured.port()).PostQuery(url + "?bin=x"), "from the configured port");
    EXPECT_EQ(Web(configured.port()).PostForm(url, "bin=x"), "from the configured port\n\n");
}

struct QueryCase {
    const char* name;
    std::string reply;
    std::string expected;
};

std::string ZeroBytesInChunks() {
    // First chunk cut at its zero byte, second whole, third starts with one.
    return "ab" + std::string(1, '\0') + std::string(1021, 'x') + std::string(1024, 'y') +
           std::string(1, '\0') + "zzz";
}

TEST_F(CWebMgmtTest, PostQueryReadingRules) {
    const QueryCase cases[] = {
        {"content length", Ok("abc"), "abc"},
        {"read to close", OkUntilClose(std::string(3000, 'q')), std::string(3000, 'q')},
        {"zero bytes end each chunk", OkUntilClose(ZeroBytesInChunks()),
         "ab" + std::string(1024, 'y')},
        {"declared length bounds the read",
         "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\nabcdefgh", "abcde"},
        {"empty body", Ok(""), ""},
        {"broken off midway keeps what came",
         "HTTP/1.1 200 OK\r\nContent-Length: 10\r\nConnection: close\r\n\r\nabc", "abc"},
        {"not found", "HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\nnope", ""},
        {"server error", "HTTP/1.1 500 Oops\r\nContent-Length: 4\r\n\r\nnope", ""},
    };
    for (const auto& c : cases) {
        RawHttpServer server(c.reply);
        EXPECT_EQ(Web(server.port()).PostQuery("http://127.0.0.1/q?bin=a"), c.expected) << c.name;
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CWebMgmtTest, PostFormLineRules) {
    const QueryCase cases[] = {
        {"one line without line feed", Ok("one"), "one\n\n"},
        {"one line", Ok("one\n"), "one\n\n"},
        {"second line empty", Ok("one\n\ntwo\n"), "one\n\n"},
        {"lines until the end", Ok("a\nb\nc"), "a\nb\nc\n\n"},
        {"crlf line ends", Ok("a\r\nb\r\n\r\nc\r\n"), "a\nb\n\n"},
        {"empty first line", Ok("\nlater"), "\n"},
        {"empty body", Ok(""), "\n"},
        {"read to close", OkUntilClose("x\ny"), "x\ny\n\n"},
        {"broken off midway keeps what came",
         "HTTP/1.1 200 OK\r\nContent-Length: 10\r\nConnection: close\r\n\r\nabc", "abc\n\n"},
        {"not found", "HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\nnope", ""},
    };
    for (const auto& c : cases) {
        RawHttpServer server(c.reply);
        EXPECT_EQ(Web(server.port()).PostForm("http://127.0.0.1/f", "bin=a"), c.expected) << c.name;
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CWebMgmtTest, UnreachableHostGivesEmptyAnswerAndFormShowsSendError) {
    const int port = ClosedLoopbackPort();
    EXPECT_EQ(Web(port).PostQuery("http://127.0.0.1/q?bin=a"), "");
    EXPECT_TRUE(boxes.boxes.empty());

    EXPECT_EQ(Web(port).PostForm("http://127.0.0.1/f", "bin=a"), "");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Web Send Error");
    EXPECT_EQ(boxes.boxes[0].caption, "DIZidezod");
    EXPECT_EQ(boxes.boxes[0].buttons, BoxButtons::Ok);
}

// A server that takes the request and never answers: the receive time-out
// ends the wait, and for a form it counts as a failed send.
TEST_F(CWebMgmtTest, SilentServerTimesOut) {
    {
        RawHttpServer server("", RawHttpServer::Mode::Silent);
        EXPECT_EQ(Web(server.port(), 1).PostQuery("http://127.0.0.1/q?bin=a"), "");
        EXPECT_TRUE(boxes.boxes.empty());
    }
    RawHttpServer server("", RawHttpServer::Mode::Silent);
    EXPECT_EQ(Web(server.port(), 1).PostForm("http://127.0.0.1/f", "bin=a"), "");
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(CWebMgmtTest, RedirectsAreNotFollowed) {
    std::atomic<int> target_hits = 0;
    HttplibServer server;
    server.server().Post("/start", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/target");
    });
    server.server().Post("/target", [&](const httplib::Request&, httplib::Response& res) {
        ++target_hits;
        res.set_content("moved", "text/plain");
    });
    server.server().Get("/target", [&](const httplib::Request&, httplib::Response& res) {
        ++target_hits;
        res.set_content("moved", "text/plain");
    });
    server.Start();
    EXPECT_EQ(Web(server.port()).PostQuery("http://127.0.0.1/start?bin=a"), "");
    EXPECT_EQ(Web(server.port()).PostForm("http://127.0.0.1/start", "bin=a"), "");
    EXPECT_EQ(target_hits, 0);
    EXPECT_TRUE(boxes.boxes.empty());
}

// The encoded record carries control bytes; the server's own query decoding
// must give back exactly those bytes.
TEST_F(CWebMgmtTest, EncodedQueryValueArrivesIntact) {
    const std::string bin =
        EncodeForWire("client_code=korvane|id=홍길동|password=a,b+c~~~|client_sysInfo=x\r\ny!");
    ASSERT_NE(bin.find_first_of("\x01\x03\x07\x08\x0b"), std::string::npos);
    std::string received;
    HttplibServer server;
    server.server().Post("/ClientLogin/user_check_v1.php",
                         [&](const httplib::Request& req, httplib::Response& res) {
                             received = req.get_param_value("bin");
                             res.set_content("ok", "text/plain");
                         });
    server.Start();
    EXPECT_EQ(
        Web(server.port()).PostQuery("http://127.0.0.1/ClientLogin/user_check_v1.php?bin=" + bin),
        "ok");
    EXPECT_EQ(received, bin);
}

// A proxy set in the environment is honoured, but never for loopback.
TEST_F(CWebMgmtTest, LoopbackBypassesEnvironmentProxy) {
    const std::string proxy = "http://127.0.0.1:" + std::to_string(ClosedLoopbackPort());
    setenv("http_proxy", proxy.c_str(), 1);
    setenv("no_proxy", "example.invalid", 1);
    RawHttpServer server(Ok("direct"));
    const std::string answer = Web(server.port()).PostQuery("http://127.0.0.1/q?bin=a");
    unsetenv("http_proxy");
    unsetenv("no_proxy");
    EXPECT_EQ(answer, "direct");
}

}  // namespace
}  // namespace korvane
