#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "LoopbackServer.h"
#include "crash/HTTPTransfer.h"
#include "crash/HttpResponseParser.h"
#include "crash/ReportPost.h"
#include "platform/Socket.h"

namespace {

TEST(HTTPTransfer, SplitsTheEndpoint) {
    struct Case {
        const char* url;
        const char* protocol;
        const char* host;
        const char* path;
        int port;
        bool valid;
    } cases[] = {
        {"host:8080", "", "host", "/", 8080, true},
        {"http://h:81/x", "http", "h", "/x", 81, true},
        {"reports.example.org/a/b", "", "reports.example.org", "/a/b", 80, true},
        {"h:99999", "", "h", "/", 80, false},
        {"h:8x", "", "h", "/", 80, false},
        {"http:///x", "http", "", "/x", 80, false},
    };
    for (const Case& c : cases) {
        HTTPTransfer::UrlParts p = HTTPTransfer::SplitUrl(c.url);
        EXPECT_EQ(p.protocol, c.protocol) << c.url;
        EXPECT_EQ(p.host, c.host) << c.url;
        EXPECT_EQ(p.path, c.path) << c.url;
        EXPECT_EQ(p.port, c.port) << c.url;
        EXPECT_EQ(p.valid, c.valid) << c.url;
    }
}

TEST(HttpResponseParser, GivesTheSameAnswerWhateverThePieces) {
    struct Case {
        std::string response;
        bool closed;  // the peer closes after the bytes
        int result;
        std::string content;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA", false, 0, "hello"},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n7 ; ext\r\n, world\r\n0\r\n\r\n", false, 0,
         "hello, world"},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: identity\r\n\r\nto the end", true, 0, "to the end"},
        {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nshort", true, 4, "short"},  // cut short
        {"HTTP/1.0 404 Not Found\r\n\r\n", false, 3, ""},
        {"HTTP/1.1 500 Oops\r\n\r\n", false, 4, ""},
        {"HTTP/1.1 2\r\n\r\n", false, 4, ""},  // too short for a status
        {"SMTP ready\r\n", false, 4, ""},
        {"HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n", false, 4, ""},
        {"HTTP/1.1 200 OK\r\nContent-Length: 2000000\r\n\r\n", false, 4, ""},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFFFFFF\r\n", false, 4, ""},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", false, 0, ""},
        {"HTTP/1.1 200 OK\r\nX-Long: " + std::string(9000, 'a') + "\r\n\r\n", false, 4, ""},
        {"HTTP/1.1 200 OK\r\n\r\n" + std::string(HttpResponseParser::kMaxBody + 1, 'b'), true, 4, ""},
    };
    for (const Case& c : cases) {
        for (size_t piece : {size_t(1), size_t(7), size_t(256)}) {
            HttpResponseParser parser;
            for (size_t at = 0; at < c.response.size() && !parser.Done(); at += piece)
                parser.Feed(c.response.data() + at, std::min(piece, c.response.size() - at));
            if (c.closed) parser.Finish();
            ASSERT_TRUE(parser.Done()) << c.response.substr(0, 60) << " in pieces of " << piece;
            EXPECT_EQ(parser.Result(), c.result) << c.response.substr(0, 60) << " in pieces of " << piece;
            if (c.result == 0) {
                EXPECT_EQ(parser.Content(), c.content);
            }
        }
    }
}

ReportPostFields SampleFields() {
    ReportPostFields f;
    f.custom = {{"zeta", "z"}, {"alpha", "a"}};
    f.product = "Grand Quiltro 7";
    f.version = "v1.2";
    f.userText = "it broke";
    f.errorTitle = "Exception at 0002:00001234";
    f.errorText = "line 1\r\nline 2";
    return f;
}

TEST(ReportPost, BodyHasThePartsInOrderAndAFreshBoundaryWhenAValueHoldsIt) {
    const std::string& b = kReportBoundary;
    ReportPostFields f = SampleFields();
    EXPECT_EQ(BuildReportBody(f, ChooseBoundary(f)),
              FormPart("alpha", "a") + FormPart("zeta", "z") + FormPart("prod", "Grand Quiltro 7") +
                  FormPart("version", "v1.2") + FormPart("usertext", "it broke") +
                  FormPart("errortitle", "Exception at 0002:00001234") + FormPart("errortext", "line 1\r\nline 2") +
                  "--" + b + "--\r\n");

    std::string request = BuildReportRequest(f, "127.0.0.1:8080");
    bool lengthMatches = false;
    EXPECT_EQ(RequestBody(request, &lengthMatches), BuildReportBody(f, b));
    EXPECT_TRUE(lengthMatches);
    EXPECT_EQ(request.substr(0, request.find("\r\n\r\n") + 4),
              ReportPostHead("127.0.0.1:8080", BuildReportBody(f, b).size()));

    // A user who types the boundary cannot start a field of their own.
    f.userText = "x\r\n--" + b + "\r\nContent-Disposition: form-data; name=\"prod\"\r\n\r\nforged";
    std::string chosen = ChooseBoundary(f);
    EXPECT_NE(chosen, b);
    std::string body = BuildReportBody(f, chosen);
    size_t parts = 0;
    for (size_t at = body.find("--" + chosen + "\r\n"); at != std::string::npos;
         at = body.find("--" + chosen + "\r\n", at + 1))
        ++parts;
    EXPECT_EQ(parts, 7u);
}

int RunTransfer(HTTPTransfer& transfer, const std::string& url, std::string* content = nullptr) {
    transfer.Send(url, BuildReportRequest(SampleFields(), url));
    transfer.WaitForCompletion();
    if (content) *content = transfer.GetContent();
    return transfer.GetResult();
}

TEST(HTTPTransfer, ResultCodesAgainstALoopbackServer) {
    using B = LoopbackServer::Behaviour;
    struct Case {
        B behaviour;
        std::string answer;
        int result;
        std::string content;
    } cases[] = {
        {B::Answer, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", 0, "ok"},
        {B::Answer, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n", 3, ""},
        {B::Answer, "HTTP/1.1 500 Internal Server Error\r\n\r\n", 4, ""},
        {B::Answer, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n", 0, "abc"},
        {B::Answer, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nuntil close", 0, "until close"},
        {B::CloseAtOnce, "", 9, ""},
        {B::Silent, "", HTTPTransfer::kSocketFailed, ""},  // a server that never answers times out
    };
    for (const Case& c : cases) {
        LoopbackServer server(c.behaviour, c.answer);
        HTTPTransfer transfer;
        if (c.behaviour == B::Silent) transfer.SetIdleTimeoutMs(300);
        std::string content;
        EXPECT_EQ(RunTransfer(transfer, server.Endpoint(), &content), c.result) << c.answer;
        EXPECT_EQ(content, c.content) << c.answer;
        if (c.behaviour == B::Answer) {
            bool lengthMatches = false;
            RequestBody(server.Requests(), &lengthMatches);
            EXPECT_TRUE(lengthMatches);
        }
    }
}

TEST(HTTPTransfer, FailuresBeforeTheAnswer) {
    uint16_t port = 0;
    {
        LoopbackServer gone(LoopbackServer::Behaviour::CloseAtOnce, "", 0);
        port = gone.Port();
    }  // nothing listens there any more
    HTTPTransfer transfer;
    EXPECT_EQ(RunTransfer(transfer, "127.0.0.1:" + std::to_string(port)), HTTPTransfer::kConnectFailed);

    transfer.SetResolver([](const std::string&, uint32_t*) { return false; });
    EXPECT_EQ(RunTransfer(transfer, "reports.invalid:80"), HTTPTransfer::kLookupFailed);
}

TEST(HTTPTransfer, WritingToAClosedConnectionFailsWithoutSigpipe) {
    uint16_t port = 0;
    int listener = PlatformListenLoopback(&port);
    int client = PlatformTcpSocket();
    uint32_t loopback = 0;
    ASSERT_TRUE(PlatformParseIPv4("127.0.0.1", &loopback));
    ASSERT_NE(PlatformConnect(client, loopback, port), ConnectStart::Failed);
    PlatformCloseSocket(PlatformAccept(listener, 5000));
    // The first write meets the closed peer, which answers with a reset; the
    // second would raise SIGPIPE and end this program.
    long results[2];
    for (long& r : results) {
        ASSERT_EQ(PlatformWaitSocket(client, false, true, 5000), SocketWait::Ready);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        r = PlatformSocketSend(client, "data", 4);
    }
    EXPECT_EQ(results[1], -1);
    PlatformCloseSocket(client);
    PlatformCloseSocket(listener);
}

TEST(HTTPTransfer, AbortEndsASilentTransferQuickly) {
    LoopbackServer server(LoopbackServer::Behaviour::Silent);
    HTTPTransfer transfer;
    transfer.Send(server.Endpoint(), BuildReportRequest(SampleFields(), server.Endpoint()));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kBusy);
    auto start = std::chrono::steady_clock::now();
    transfer.Abort();
    transfer.WaitForCompletion();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kAborted);
}

TEST(HTTPTransfer, ARetrySendsAFreshCompleteRequest) {
    LoopbackServer server(LoopbackServer::Behaviour::Answer, "HTTP/1.1 500 No\r\n\r\n", 2);
    HTTPTransfer transfer;
    EXPECT_EQ(RunTransfer(transfer, server.Endpoint()), HTTPTransfer::kNotOk);
    EXPECT_EQ(RunTransfer(transfer, server.Endpoint()), HTTPTransfer::kNotOk);
    std::string once = BuildReportRequest(SampleFields(), server.Endpoint());
    EXPECT_EQ(server.Requests(), once + once);
}

}  // namespace
