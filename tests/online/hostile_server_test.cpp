// Replies no honest server sends: endless bodies, a byte now and then,
// enormous headers, valid replies far larger than any real one. Each request
// must end with status 2 (and the services' failure text) once it passes its
// size limit, holding no more than the limit; polls stay short throughout
// (each test prints its longest, bench/online measures them).
#include "http_test_util.h"
#include "loopback_server.h"
#include "online/hiscores.h"
#include "online/httppump.h"
#include "online/replyparse.h"
#include "online/simplehttp.h"
#include "online_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace {

// Whatever a client leaves unread can still sit in the loopback socket buffers.
const size_t kSocketSlack = 16u << 20;

class HostileServer : public OnlineFolders {
protected:
    void TearDown() override
    {
        // Transfers refused at their limit end at once; none may linger.
        PollUntilNot(1, [] {
            TSimpleHttp::PumpAll();
            return THttpPump::Instance().RunningCount() > 0 ? 1 : 0;
        });
        EXPECT_EQ(THttpPump::Instance().RunningCount(), 0);
        OnlineFolders::TearDown();
    }

    // A server that sends `body` whole to every request, named as the
    // hiscore server's address.
    std::unique_ptr<TLoopbackServer> HiscoreServerSending(std::string body)
    {
        auto server = std::make_unique<TLoopbackServer>([body](const TLoopbackRequest&) {
            TLoopbackReply reply;
            reply.stream = WholeReply(body);
            return reply;
        });
        WriteWorkingFile("hiscoreserver.txt", server->Url("/go/hiscore"));
        return server;
    }
};

std::string scoreList(int rows, size_t dataBytes)
{
    std::string xml = "<?xml version=\"1.0\"?>\n<hiscore><scores>";
    const std::string data(dataBytes, 'd');
    for (int i = 0; i < rows; ++i)
        xml += "<score rank=\"" + std::to_string(i + 1) + "\" score=\"" + std::to_string(100000 - i) +
               "\" name=\"p" + std::to_string(i) + "\" data=\"" + data + "\" anonymous=\"false\"></score>";
    return xml + "</scores></hiscore>";
}

// A refusal just within the hiscore limit: one word repeated.
std::string megabyteRefusal()
{
    std::string words;
    while (words.size() < (1u << 20) - 64)
        words += "refused ";
    return "<hiscore><message>" + words + "</message></hiscore>";
}

}  // namespace

TEST_F(HostileServer, RepliesPastTheirLimitFailWithoutGrowing)
{
    const size_t limit = 256u << 10;
    const size_t defaultLimit = TSimpleHttp::kDefaultReplyLimit;
    struct Case {
        const char* name;
        std::function<void(TLoopbackStream&)> stream;
        bool toFile;
        size_t limit;  // 0: the default
        int status;
        size_t mostHeld;  // the largest reply the client may hold
    };
    const Case cases[] = {
        {"endless body", EndlessBody(64u << 20), false, limit, TSimpleHttp::kFailed, limit},
        {"endless body, default limit", EndlessBody(4 * defaultLimit), false, 0, TSimpleHttp::kFailed, defaultLimit},
        {"endless body into a file", EndlessBody(64u << 20), true, limit, TSimpleHttp::kFailed, limit},
        {"huge declared length", EndlessBody(64u << 20, true), false, limit, TSimpleHttp::kFailed, limit},
        {"huge headers", HugeHeaders(8u << 20), false, 0, TSimpleHttp::kFailed, 0},
        {"one byte now and then", DripBody(20), false, 0, TSimpleHttp::kFailed, 0},
        {"reply exactly at the limit", WholeReply(std::string(limit, 'y')), false, limit, TSimpleHttp::kDone, limit},
        {"file exactly at the limit", WholeReply(std::string(limit, 'y')), true, limit, TSimpleHttp::kDone, limit},
    };
    TSimpleHttp::SetTimeouts(1000, 1500);  // only the slow drip runs into it
    const std::string outFile = DataFile("download.bin");
    std::filesystem::create_directories(std::filesystem::path(outFile).parent_path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLoopbackServer server([&](const TLoopbackRequest&) {
            TLoopbackReply reply;
            reply.stream = c.stream;
            return reply;
        });
        std::filesystem::remove(outFile);
        TSimpleHttp http;
        http.Init(server.Url("/big").c_str(), false, c.toFile ? outFile.c_str() : nullptr);
        if (c.limit > 0)
            http.SetReplyLimit(c.limit);
        http.DoRequest(0);
        EXPECT_EQ(WaitForHttp(http), c.status);
        if (c.status == TSimpleHttp::kDone) {
            size_t size = c.toFile ? std::filesystem::file_size(outFile) : std::string(http.GetContents()).size();
            EXPECT_EQ(size, c.mostHeld);
        } else {
            EXPECT_EQ(http.GetContents(), nullptr);
            EXPECT_FALSE(std::filesystem::exists(outFile));
            EXPECT_FALSE(std::filesystem::exists(outFile + ".part"));
            // The client stopped reading at its limit, long before the server's end.
            EXPECT_LT(server.StreamedBytes(), c.mostHeld + kSocketSlack);
        }
    }
}

TEST_F(HostileServer, AHeaderLineLongerThanTheClientTakesIsRefusedByName)
{
    TLoopbackServer server([](const TLoopbackRequest&) {
        TLoopbackReply reply;
        reply.stream = RawReply("HTTP/1.1 200 OK\r\nConnection: close\r\nX-Filler: " + std::string(200u << 10, 'h') +
                                "\r\nContent-Length: 2\r\n\r\nok");
        return reply;
    });
    TSimpleHttp http;
    http.Init(server.Url("/x").c_str(), false, nullptr);
    testing::internal::CaptureStderr();
    http.DoRequest(0);
    const int status = WaitForHttp(http);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, TSimpleHttp::kFailed);
    EXPECT_NE(log.find("header line longer than the client accepts"), std::string::npos) << log;
    EXPECT_EQ(log.find("Out of memory"), std::string::npos) << log;
}

TEST_F(HostileServer, ASubmissionReplyIsHeldToTheHiscoreLimit)
{
    const std::string body = scoreList(4000, 1000);  // some 4 MB: within the default, beyond the hiscores' limit
    ASSERT_LT(body.size(), TSimpleHttp::kDefaultReplyLimit);
    const auto server = HiscoreServerSending(body);
    TQmHiscores hiscores("corvellatrip", kTestKey, "1.2", true);
    hiscores.SetProperty(TQmHiscores::kUserName, "Ann");
    hiscores.SetProperty(TQmHiscores::kTableType, "career");
    hiscores.LogScore(100, "", "", true);
    ASSERT_TRUE(hiscores.SubmitScore("Ann", nullptr, false));
    testing::internal::CaptureStderr();
    char text[256] = {};
    int status = PollUntilNot(TQmHiscores::kRequestRunning,
                              [&] { return hiscores.GetServerRequestStatus(text, sizeof text, nullptr); });
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, TQmHiscores::kRequestFailed);
    EXPECT_NE(log.find("passes its limit (1048576 bytes"), std::string::npos) << log;
}

TEST_F(HostileServer, HiscoreRepliesBeyondTheirLimitAreRefusedAndLargeOnesStillRead)
{
    struct Case {
        const char* name;
        std::string body;
        int status;
        int rows;
    };
    const Case cases[] = {
        {"a valid list far beyond any real one", scoreList(4000, 1000), TQmHiscores::kRequestFailed, 0},
        {"a large list within the limit", scoreList(500, 600), TQmHiscores::kRequestDone, 500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto server = HiscoreServerSending(c.body);
        TQmHiscores hiscores("corvellatrip", kTestKey, "1.2", true);
        hiscores.SetProperty(TQmHiscores::kTableType, "career");
        hiscores.RequestScores(0);
        char text[256] = {};
        int status = PollUntilNot(TQmHiscores::kRequestRunning,
                                  [&] { return hiscores.GetServerRequestStatus(text, sizeof text, nullptr); });
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(hiscores.GetScoreCount(false), c.rows);
        if (c.status == TQmHiscores::kRequestFailed) {
            EXPECT_STREQ(text, "Unable to connect to server. Please try again later.");
        }
    }
}

// A refusal of a megabyte that arrives whole at once is read (in linear time:
// bench/online times it) and its text reaches the caller, cut to the
// caller's buffer.
TEST_F(HostileServer, ARefusalOfAMegabyteSentAtOnceIsTold)
{
    const std::string body = megabyteRefusal();
    const auto server = HiscoreServerSending(body);
    TQmHiscores hiscores("corvellatrip", kTestKey, "1.2", true);
    hiscores.RequestCategoryInformation();
    char text[256] = {};
    testing::internal::CaptureStderr();
    const int status =
        PollUntilNot(TQmHiscores::kRequestRunning, [&] { return hiscores.GetServerRequestStatus(text, sizeof text, nullptr); });
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, TQmHiscores::kRequestFailed);
    EXPECT_EQ(std::string(text).substr(0, 16), "refused refused ");
    EXPECT_EQ(std::string(text).size(), sizeof text - 1);
}

// A reply dropped while it is read (another request, or the game quitting)
// stops being read: the reader sees its text end and the reply counts as
// unread, nothing logged.
TEST_F(HostileServer, AReplyDroppedWhileItIsReadStopsBeingRead)
{
    qm::THiscoreReply reply;
    reply.kind = qm::THiscoreReply::kGetScores;
    reply.text = megabyteRefusal();
    std::atomic<bool> stop{true};
    testing::internal::CaptureStderr();
    reply.Read(&stop);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(reply.message.length(), 0);

    // Read without the flag, the same text is a refusal.
    testing::internal::CaptureStderr();
    reply.Read();
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(reply.ok);
    EXPECT_GT(reply.message.length(), 1000000);

    // The reader of the service drops it on a worker thread and lets go at once.
    auto reader = std::make_unique<qm::TReplyReader>();
    reader->Start(qm::THiscoreReply::kGetScores, reply.text.c_str());
    EXPECT_TRUE(reader->Busy());
    reader->Drop();
    EXPECT_FALSE(reader->Busy());
    EXPECT_EQ(reader->Take(), nullptr);
    reader.reset();
}
