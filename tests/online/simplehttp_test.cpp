#include "http_test_util.h"
#include "loopback_server.h"
#include "online/httpargs.h"
#include "online/httppump.h"
#include "online/simplehttp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// A redirect with the given Location header (none when empty) and no body.
std::function<void(TLoopbackStream&)> Redirect(const std::string& location)
{
    const std::string header = location.empty() ? "" : "Location: " + location + "\r\n";
    return RawReply("HTTP/1.1 302 Found\r\nConnection: close\r\n" + header + "Content-Length: 0\r\n\r\n");
}

// Echoes the request; "/code/N" answers with code N, "/slow" never answers,
// "/big" sends 3 MiB and a little more; "/moved" redirects to "/f",
// "/nowhere" is a redirect without a Location and "/loop" redirects to itself.
TLoopbackReply Serve(const TLoopbackRequest& request)
{
    TLoopbackReply reply;
    if (request.path == "/moved")
        reply.stream = Redirect("/f");
    if (request.path == "/nowhere")
        reply.stream = Redirect("");
    if (request.path == "/loop")
        reply.stream = Redirect("/loop");
    reply.contentType = "text/plain";
    reply.body = request.method + " " + request.path + "?" + request.query + " [" + request.body + "]";
    if (request.path.rfind("/code/", 0) == 0)
        reply.code = std::stoi(request.path.substr(6));
    reply.silent = request.path == "/slow";
    if (request.path == "/empty")
        reply.body.clear();
    if (request.path == "/big") {
        reply.body.assign(3 * 1024 * 1024 + 17, 'x');
        for (size_t i = 0; i < reply.body.size(); i += 4096)
            reply.body[i] = static_cast<char>('a' + (i / 4096) % 26);
    }
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

    int Fetch(const std::string& path, bool post = false, const char* outFile = nullptr)
    {
        http.Init(server.Url(path).c_str(), post, outFile);
        http.DoRequest(0);
        return WaitForHttp(http);
    }

    TLoopbackServer server{Serve};
    TSimpleHttp http;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(HttpArgs, EncodesReservedControlAndHighBytesAndSeparatesPairs)
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
    // A raw CR/LF would split the request line; raw high bytes make an invalid URL.
    EXPECT_STREQ(qm::EncodeArgValue("a\r\nb\tc\x7f").c_str(), "a%0D%0Ab%09c%7F");
    EXPECT_STREQ(qm::EncodeArgValue("\xc3\xa9\xff").c_str(), "%C3%A9%FF");

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

TEST_F(SimpleHttp, GetAndPostSendTheirArgumentsAndReadTheReply)
{
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kFailed);  // no request yet
    EXPECT_EQ(http.GetContents(), nullptr);
    http.Init(server.Url("/go/hiscore").c_str(), false, nullptr);
    http.AddArg("name", "a b&c");
    http.AddArg("n", 7);
    http.DoRequest(0);
    ASSERT_EQ(WaitForHttp(http), TSimpleHttp::kDone);
    EXPECT_STREQ(http.GetContents(), "GET /go/hiscore?name=a%20b%26c&n=7 []");
    EXPECT_EQ(http.GetResponseCode(), 200);
    EXPECT_EQ(server.Requests().at(0).headers["user-agent"], "roroz/Mac");
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kDone);  // the status never changes once the request has ended

    http.Init(server.Url("/go/savegame").c_str(), true, nullptr);
    http.AddArg("lang", "en");
    http.AddArg("data", "x=1&y=2\n");
    http.DoRequest(0);
    ASSERT_EQ(WaitForHttp(http), TSimpleHttp::kDone);
    EXPECT_STREQ(http.GetContents(), "POST /go/savegame? [lang=en&data=x%3D1%26y%3D2%0A]");
    EXPECT_EQ(server.Requests().at(1).headers["content-type"], "application/x-www-form-urlencoded");
    EXPECT_EQ(ParseFormArgs(server.Requests().at(1).body)["data"], "x=1&y=2\n");

    ASSERT_EQ(Fetch("/empty"), TSimpleHttp::kDone);
    ASSERT_NE(http.GetContents(), nullptr);
    EXPECT_STREQ(http.GetContents(), "");
    ASSERT_EQ(Fetch("/big"), TSimpleHttp::kDone);
    TLoopbackRequest big;
    big.path = "/big";
    EXPECT_EQ(std::string(http.GetContents()), Serve(big).body);

    // Servers answer refusals with an error code and the text to show in the
    // body; a reply in memory is handed over whatever the code.
    ASSERT_EQ(Fetch("/code/401"), TSimpleHttp::kDone);
    EXPECT_EQ(http.GetResponseCode(), 401);
    EXPECT_STREQ(http.GetContents(), "GET /code/401? []");
}

TEST_F(SimpleHttp, RepliesToFilesReplaceTheFileOnlyWhenWhole)
{
    const std::string dir = testing::TempDir() + "qm_http/";
    fs::remove_all(dir);
    fs::create_directories(dir + "a_folder");
    std::ofstream(dir + "kept") << "good";
    const struct {
        const char *path, *file;
        int status;
        const char* afterwards;  // the file's text, or nullptr when it is not a plain file
    } cases[] = {
        {"/f", "new", TSimpleHttp::kDone, "GET /f? []"},
        {"/code/404", "kept", TSimpleHttp::kFailed, "good"},  // an error page never replaces the file
        {"/code/500", "kept", TSimpleHttp::kFailed, "good"},
        // A download that moved is fetched from its new place; one that
        // cannot be followed fails and never leaves the file empty.
        {"/moved", "moved", TSimpleHttp::kDone, "GET /f? []"},
        {"/nowhere", "kept", TSimpleHttp::kFailed, "good"},
        {"/loop", "kept", TSimpleHttp::kFailed, "good"},
        {"/f", "a_folder", TSimpleHttp::kOutputNotWritable, nullptr},
    };
    for (const auto& c : cases) {
        std::string file = dir + c.file;
        EXPECT_EQ(Fetch(c.path, false, file.c_str()), c.status) << c.path << " into " << c.file;
        EXPECT_EQ(http.GetContents(), nullptr);  // the reply went to the file, not to memory
        if (c.afterwards)
            EXPECT_EQ(readFile(file), c.afterwards) << c.path;
        else
            EXPECT_TRUE(fs::is_directory(file));
        EXPECT_FALSE(fs::exists(file + ".part"));
    }
    // A file in a folder that does not exist: nothing is sent.
    size_t sent = server.Requests().size();
    http.Init(server.Url("/f").c_str(), false, "/nonexistent-folder-qm/out.txt");
    http.DoRequest(0);
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kOutputNotWritable);
    EXPECT_EQ(server.Requests().size(), sent);
    fs::remove_all(dir);
}

TEST_F(SimpleHttp, RefusedSilentAbandonedAndDestroyedRequestsEnd)
{
    http.Init(("http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/x").c_str(), false, nullptr);
    http.DoRequest(0);
    EXPECT_EQ(WaitForHttp(http), TSimpleHttp::kFailed);

    TSimpleHttp::SetTimeouts(300, 600);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Fetch("/slow"), TSimpleHttp::kFailed);
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::cout << "silent server: failed after " << took.count() << " ms (total time-out 600 ms); longest poll "
              << LongestPollMicroseconds() << " us\n";

    // Init abandons a running request; there is none until the next DoRequest.
    http.Init(server.Url("/slow").c_str(), false, nullptr);
    http.DoRequest(0);
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kRunning);
    http.Init(server.Url("/fast").c_str(), false, nullptr);
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kFailed);
    http.DoRequest(0);
    ASSERT_EQ(WaitForHttp(http), TSimpleHttp::kDone);
    EXPECT_STREQ(http.GetContents(), "GET /fast? []");

    // Clients destroyed mid-transfer: TearDown checks the pump drains.
    for (const char* path : {"/slow", "/big"}) {
        auto doomed = std::make_unique<TSimpleHttp>();
        doomed->Init(server.Url(path).c_str(), false, nullptr);
        doomed->DoRequest(0);
        doomed->GetStatus();
        doomed.reset();
        TSimpleHttp::PumpAll();
    }
}

TEST_F(SimpleHttp, HttpsVerifiesTheCertificate)
{
    TTestCertificate certificate;
    TLoopbackServer secure(Serve, &certificate);
    http.Init(secure.Url("/secure").c_str(), true, nullptr);
    http.AddArg("k", "v");
    http.DoRequest(0);  // not trusted by the system's store: the request must fail
    EXPECT_EQ(WaitForHttp(http), TSimpleHttp::kFailed);

    TSimpleHttp::SetCertificateAuthorityFile(certificate.certFile.c_str());
    http.DoRequest(0);
    ASSERT_EQ(WaitForHttp(http), TSimpleHttp::kDone);
    EXPECT_STREQ(http.GetContents(), "POST /secure? [k=v]");
}
