#include "fake_servers.h"
#include "http_test_util.h"
#include "online/serversaves.h"
#include "online_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string gDebugServer;

str lookup(const char* label)
{
    return std::string(label) == "_debugsaveserver" ? str(gDebugServer.c_str()) : str("#####");
}

class ServerSaves : public OnlineFolders {
protected:
    void SetUp() override
    {
        OnlineFolders::SetUp();
        TServerSaves::SetStringLookup(&lookup);
    }
    void TearDown() override
    {
        TServerSaves::SetStringLookup(nullptr);
        OnlineFolders::TearDown();
    }

    std::unique_ptr<TServerSaves> Make(const std::string& url)
    {
        gDebugServer = url;
        return std::make_unique<TServerSaves>(str("corvellatrip"), str("1.2"), str("Saving failed."), str("en"));
    }

    int Wait(TServerSaves& saves, str* out)
    {
        return PollUntilNot(TServerSaves::kRequestRunning, [&] { return saves.GetServerRequestStatus(out); });
    }
};

}  // namespace

TEST_F(ServerSaves, SetThenGetRoundTripsAProfileOverHttps)
{
    TTestCertificate certificate;
    TSimpleHttp::SetCertificateAuthorityFile(certificate.certFile.c_str());
    TFakeGameServers servers(kTestKey, &certificate);
    servers.AddAccount("ann", "p&ss word");
    auto saves = Make(servers.SaveGameUrl());

    str out("untouched");
    saves->GetData(str("ann"), str("p&ss word"));
    ASSERT_EQ(Wait(*saves, &out), TServerSaves::kRequestDone);
    EXPECT_STREQ(out.c_str(), "");  // nothing stored yet

    const char* profile = "PHVzZXIgbmFtZT0iQW5uIj48L3VzZXI++/==";
    saves->SendData(str("ann"), str("p&ss word"), str(profile));
    ASSERT_EQ(Wait(*saves, &out), TServerSaves::kRequestDone);
    EXPECT_STREQ(out.c_str(), "");
    auto body = ParseFormArgs(servers.Requests().back().body);
    EXPECT_EQ(servers.Requests().back().body.rfind("lang=en&ver=1.0&action=set&game=corvellatrip&username=ann&password=", 0), 0u);
    EXPECT_EQ(body["data"], profile);

    saves->GetData(str("ann"), str("p&ss word"));
    ASSERT_EQ(Wait(*saves, &out), TServerSaves::kRequestDone);
    EXPECT_STREQ(out.c_str(), profile);
    // The state stays: polling again reads the same reply.
    EXPECT_EQ(saves->GetServerRequestStatus(nullptr), TServerSaves::kRequestDone);
}

TEST_F(ServerSaves, RefusalsAndTransportFailures)
{
    TFakeGameServers servers(kTestKey);
    servers.AddAccount("ann", "right");
    auto saves = Make(servers.SaveGameUrl());
    str out;

    testing::internal::CaptureStderr();
    EXPECT_EQ(saves->GetServerRequestStatus(&out), TServerSaves::kRequestFailed);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "ERROR: Calling TServerSaves::GetServerRequestStatus without issuing a server request!"),
              std::string::npos);

    saves->GetData(str("ann"), str("wrong"));
    EXPECT_EQ(Wait(*saves, &out), TServerSaves::kRequestFailed);
    EXPECT_STREQ(out.c_str(), "The user name or password is not valid.");

    saves->GetData(str("ann"), str(""));  // the server misses the password
    testing::internal::CaptureStderr();
    EXPECT_EQ(Wait(*saves, &out), TServerSaves::kRequestFailed);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "ERROR: TServerSaves - server says: Missing required parameter: password"),
              std::string::npos);
    EXPECT_STREQ(out.c_str(), "Saving failed.");

    // A transport failure resets the state: the next poll has no request.
    TSimpleHttp::SetTimeouts(300, 600);
    servers.SetSilent(true);
    saves->SendData(str("ann"), str("right"), str("x"));
    EXPECT_EQ(Wait(*saves, &out), TServerSaves::kRequestFailed);
    EXPECT_STREQ(out.c_str(), "Saving failed.");
    EXPECT_EQ(saves->GetServerRequestStatus(nullptr), TServerSaves::kRequestFailed);
}

TEST_F(ServerSaves, OddRepliesFailWithTheirMessageOrTheDefaultText)
{
    const struct {
        int code;
        const char *body, *shown;
    } cases[] = {
        {200, "<savegame><data>abc</data><message>Server full.</message></savegame>", "Server full."},
        {200, "<html>maintenance</html>", "Saving failed."},
        // A refusal sent with an error code is a reply, not a transport failure.
        {403, "<savegame><message>The user name or password is not valid.</message></savegame>",
         "The user name or password is not valid."},
    };
    for (const auto& c : cases) {
        TLoopbackServer server([&](const TLoopbackRequest&) {
            TLoopbackReply reply;
            reply.code = c.code;
            reply.body = c.body;
            return reply;
        });
        auto saves = Make(server.Url("/go/savegame"));
        str out;
        saves->GetData(str("a"), str("b"));
        EXPECT_EQ(Wait(*saves, &out), TServerSaves::kRequestFailed);
        EXPECT_STREQ(out.c_str(), c.shown);
        // The request is still there to poll.
        EXPECT_EQ(saves->GetServerRequestStatus(nullptr), TServerSaves::kRequestFailed);
    }
}

TEST_F(ServerSaves, DestroyedMidTransfer)
{
    TFakeGameServers servers(kTestKey);
    servers.SetSilent(true);
    TSimpleHttp::SetTimeouts(200, 400);
    auto saves = Make(servers.SaveGameUrl());
    saves->SendData(str("a"), str("b"), str("c"));
    EXPECT_EQ(saves->GetServerRequestStatus(nullptr), TServerSaves::kRequestRunning);
    saves.reset();
}
