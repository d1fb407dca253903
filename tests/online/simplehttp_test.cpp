#include "http_test_util.h"
#include "loopback_server.h"
#include "online/httpargs.h"
#include "online/httppump.h"
#include "online/simplehttp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace {

TLoopbackReply Echo(const TLoopbackRequest& request)
{
    TLoopbackReply reply;
    reply.contentType = "text/plain";
    reply.body = request.method + " " + request.path + "?" + request.query + " [" + request.body + "]";
    return reply;
}

class SimpleHttp : public testing::Test {
protected:
    void SetUp() override { TSimpleHttp::SetTimeouts(2000, 5000); }
    void TearDown() override
    {
        TSimpleHttp::SetCertificateAuthorityFile(nullptr);
        // Abandoned transfers finish on their own; none may outlive a test.
        PollUntilNot(1, [] {
            TSimpleHttp::PumpAll();
            return THttpPump::Instance().RunningCount() > 0 ? 1 : 0;
        });
        EXPECT_EQ(THttpPump::Instance().RunningCount(), 0);
    }
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(HttpArgs, EncodesReservedCharactersAndSeparatesPairs)
{
    str args;
    qm::AppendArg(args, true, false, "name", "a b&c");
    qm::AppendArg(args, false, false, "x", "~");
    EXPECT_STREQ(args.c_str(), "?name=a%20b%26c&x=~");

    str body;
    qm::AppendArg(body, true, true, "lang", "en");
    qm::AppendArg(body, false, true, "ver", "1.0");
    EXPECT_STREQ(body.c_str(), "lang=en&ver=1.0");

    EXPECT_STREQ(qm::EncodeArgValue(" \"#$%&+,/:;<=>?@[\\]^`{|}").c_str(),
                 "%20%22%23%24%25%26%2B%2C%2F%3A%3B%3C%3D%3E%3F%40%5B%5C%5D%5E%60%7B%7C%7D");
    EXPECT_STREQ(qm::EncodeArgValue("AZaz09!'()*-._~").c_str(), "AZaz09!'()*-._~");
}

TEST(HttpArgs, EscapesControlBytesDelAndHighBytes)
{
    // A raw CR/LF would split the request line; raw high bytes make an invalid URL.
    EXPECT_STREQ(qm::EncodeArgValue("a\r\nb\tc\x7f").c_str(), "a%0D%0Ab%09c%7F");
    EXPECT_STREQ(qm::EncodeArgValue("\xc3\xa9\xff").c_str(), "%C3%A9%FF");
}

TEST(HttpArgs, IntegerAndEmptyValues)
{
    TSimpleHttp http;
    http.Init("http://127.0.0.1/", false, nullptr);
    http.AddArg("n", 0);
    http.AddArg("e", static_cast<const char*>(nullptr));
    http.AddArg("f", "");
    http.AddArg("m", -12);
    EXPECT_STREQ(http.GetArgs().c_str(), "?n=0&e=&f=&m=-12");
    http.Init("http://127.0.0.1/", true, nullptr);
    EXPECT_STREQ(http.GetArgs().c_str(), "");
}

TEST_F(SimpleHttp, GetSendsQueryAndUserAgent)
{
    TLoopbackServer server(Echo);
    TSimpleHttp http;
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kFailed);  // no request yet
    EXPECT_EQ(http.GetContents(), nullptr);
    http.Init(server.Url("/go/hiscore").c_str(), false, nullptr);
    http.AddArg("name", "a b&c");
    http.AddArg("n", 7);
    http.DoRequest(0);
    ASSERT_EQ(WaitForHttp(http), TSimpleHttp::kDone);
    EXPECT_STREQ(http.GetContents(), "GET /go/hiscore?name=a%20b%26c&n=7 []");
    EXPECT_EQ(http.GetResponseCode(), 200);
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].headers["user-agent"], "roroz/Mac");
    EXPECT_EQ(ParseFormArgs(requests[0].query)["name"], "a b&c");
    // The status never changes once the request has ended.
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kDone);
}

TEST_F(SimpleHttp, PostSendsFormBody)
{
    TLoopbackServer server(Echo);
    TSimpleHttp http;
    http.Init(server.Url("/go/savegame").c_str(), true, nullptr);
    http.AddArg("lang", "en");
    http.AddArg("data", "x=1&y=2\n");
    http.DoRequest(0);
    ASSERT_EQ(WaitForHttp(http), TSimpleHttp::kDone);
    EXPECT_STREQ(http.GetContents(), "POST /go/savegame? [lang=en&data=x%3D1%26y%3D2%0A]");
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].headers["content-type"], "application/x-www-form-urlencoded");
    EXPECT_EQ(ParseFormArgs(requests[0].body)["data"], "x=1&y=2\n");
}

TEST_F(SimpleHttp, EmptyAndLargeReplies)
{
    std::string big(3 * 1024 * 1024 + 17, 'x');
    for (size_t i = 0; i < big.size(); i += 4096)
        big[i] = static_cast<char>('a' + (i / 4096) % 26);
    TLoopbackServer server([&](const TLoopbackRequest& request) {
        TLoopbackReply reply;
        if (request.path == "/big")
            reply.body = big;
        return reply;
    });
    TSimpleHttp http;
    http.Init(server.Url("/empty").c_str(), false, nullptr);
    http.DoRequest(0);
    ASSERT_EQ(WaitForHttp(http), TSimpleHttp::kDone);
    ASSERT_NE(http.GetContents(), nullptr);
    EXPECT_STREQ(http.GetContents(), "");

    http.Init(server.Url("/big").c_str(), false, nullptr);
    http.DoRequest(0);
    ASSERT_EQ(WaitForHttp(http), TSimpleHttp::kDone);
    ASSERT_NE(http.GetContents(), nullptr);
    EXPECT_EQ(std::string(http.GetContents()), big);
}

TEST_F(SimpleHttp, HttpErrorCodeStillDeliversTheBody)
{
    // Servers answer refusals with an error code and the text to show in the
    // body; the caller reads that body, whatever the code.
    TLoopbackServer server([](const TLoopbackRequest&) {
        TLoopbackReply reply;
        reply.code = 401;
        reply.body = "<hiscore><message>hiscore.error.invalidUsernameOrPassword</message></hiscore>";
        return reply;
    });
    TSimpleHttp http;
    http.Init(server.Url("/go/hiscore").c_str(), false, nullptr);
    http.DoRequest(0);
    ASSERT_EQ(WaitForHttp(http), TSimpleHttp::kDone);
    EXPECT_EQ(http.GetResponseCode(), 401);
    ASSERT_NE(http.GetContents(), nullptr);
    EXPECT_STREQ(http.GetContents(), "<hiscore><message>hiscore.error.invalidUsernameOrPassword</message></hiscore>");
}

TEST_F(SimpleHttp, ReplyToOutputFile)
{
    TLoopbackServer server([](const TLoopbackRequest&) {
        TLoopbackReply reply;
        reply.body = "file body\n";
        return reply;
    });
    std::string path = testing::TempDir() + "qm_http_out.txt";
    std::remove(path.c_str());
    TSimpleHttp http;
    http.Init(server.Url("/f").c_str(), false, path.c_str());
    http.DoRequest(0);
    ASSERT_EQ(WaitForHttp(http), TSimpleHttp::kDone);
    EXPECT_EQ(http.GetContents(), nullptr);  // the reply went to the file, not to memory
    EXPECT_EQ(readFile(path), "file body\n");
    EXPECT_NE(::access((path + ".part").c_str(), F_OK), 0);
    std::remove(path.c_str());
}

TEST_F(SimpleHttp, FailedDownloadLeavesExistingFileAlone)
{
    TLoopbackServer server([](const TLoopbackRequest&) {
        TLoopbackReply reply;
        reply.code = 500;
        reply.body = "broken";
        return reply;
    });
    std::string path = testing::TempDir() + "qm_http_keep.txt";
    std::ofstream(path) << "good";
    TSimpleHttp http;
    http.Init(server.Url("/f").c_str(), false, path.c_str());
    http.DoRequest(0);
    EXPECT_EQ(WaitForHttp(http), TSimpleHttp::kFailed);
    EXPECT_EQ(readFile(path), "good");
    std::remove(path.c_str());
}

TEST_F(SimpleHttp, UnwritableOutputFileSendsNothing)
{
    TLoopbackServer server(Echo);
    TSimpleHttp http;
    http.Init(server.Url("/f").c_str(), false, "/nonexistent-folder-qm/out.txt");
    http.DoRequest(0);
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kOutputNotWritable);
    EXPECT_EQ(http.GetContents(), nullptr);
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(SimpleHttp, OutputFileThatCannotBeReplaced)
{
    TLoopbackServer server(Echo);
    std::string folder = testing::TempDir() + "qm_http_folder";
    std::filesystem::create_directories(folder);
    TSimpleHttp http;
    http.Init(server.Url("/f").c_str(), false, folder.c_str());  // a folder is in the way
    http.DoRequest(0);
    EXPECT_EQ(WaitForHttp(http), TSimpleHttp::kOutputNotWritable);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_FALSE(std::filesystem::exists(folder + ".part"));
    std::filesystem::remove_all(folder);
}

TEST_F(SimpleHttp, RefusedConnectionFails)
{
    TSimpleHttp http;
    std::string url = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/x";
    http.Init(url.c_str(), false, nullptr);
    http.DoRequest(0);
    EXPECT_EQ(WaitForHttp(http), TSimpleHttp::kFailed);
}

TEST_F(SimpleHttp, SilentServerTimesOut)
{
    TSimpleHttp::SetTimeouts(300, 600);
    TLoopbackServer server([](const TLoopbackRequest&) {
        TLoopbackReply reply;
        reply.silent = true;
        return reply;
    });
    TSimpleHttp http;
    http.Init(server.Url("/slow").c_str(), false, nullptr);
    auto start = std::chrono::steady_clock::now();
    http.DoRequest(0);
    EXPECT_EQ(WaitForHttp(http), TSimpleHttp::kFailed);
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::cout << "silent server: failed after " << took.count() << " ms (total time-out 600 ms); longest poll "
              << LongestPollMicroseconds() << " us\n";
    RecordProperty("silent_ms", static_cast<int>(took.count()));
}

TEST_F(SimpleHttp, InitAbandonsRunningRequest)
{
    TSimpleHttp::SetTimeouts(300, 600);
    TLoopbackServer server([](const TLoopbackRequest& request) {
        TLoopbackReply reply;
        reply.silent = request.path == "/slow";
        reply.body = "fast";
        return reply;
    });
    TSimpleHttp http;
    http.Init(server.Url("/slow").c_str(), false, nullptr);
    http.DoRequest(0);
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kRunning);
    http.Init(server.Url("/fast").c_str(), false, nullptr);
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kFailed);  // no request until the next DoRequest
    http.DoRequest(0);
    ASSERT_EQ(WaitForHttp(http), TSimpleHttp::kDone);
    EXPECT_STREQ(http.GetContents(), "fast");
}

TEST_F(SimpleHttp, DestroyingClientMidTransfer)
{
    TSimpleHttp::SetTimeouts(300, 600);
    TLoopbackServer server([](const TLoopbackRequest& request) {
        TLoopbackReply reply;
        reply.silent = request.path == "/slow";
        reply.body = std::string(1 << 20, 'z');
        return reply;
    });
    for (const char* path : {"/slow", "/big"}) {
        auto http = std::make_unique<TSimpleHttp>();
        http->Init(server.Url(path).c_str(), false, nullptr);
        http->DoRequest(0);
        http->GetStatus();
        http.reset();
        TSimpleHttp::PumpAll();
    }
    // Both abandoned transfers end on their own (TearDown checks the pump drains).
}

TEST_F(SimpleHttp, HttpsVerifiesTheCertificate)
{
    TTestCertificate certificate;
    TLoopbackServer server(Echo, &certificate);
    TSimpleHttp http;
    http.Init(server.Url("/secure").c_str(), true, nullptr);
    http.AddArg("k", "v");

    // Not trusted by the system's store: the request must fail.
    http.DoRequest(0);
    EXPECT_EQ(WaitForHttp(http), TSimpleHttp::kFailed);

    TSimpleHttp::SetCertificateAuthorityFile(certificate.certFile.c_str());
    http.DoRequest(0);
    ASSERT_EQ(WaitForHttp(http), TSimpleHttp::kDone);
    EXPECT_STREQ(http.GetContents(), "POST /secure? [k=v]");
}
