#include "fake_servers.h"
#include "http_test_util.h"
#include "online/hiscores.h"
#include "online/httppump.h"
#include "online_fixture.h"
#include "otheruser.h"

#include "engine/base/encrypt.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

namespace {

class Hiscores : public OnlineFolders {
protected:
    std::unique_ptr<TQmHiscores> Make(const char* player = "Ann", const char* type = "career", bool save = true)
    {
        auto hiscores = std::make_unique<TQmHiscores>("corvellatrip", kTestKey, "1.2", save);
        hiscores->SetProperty(TQmHiscores::kUserName, player);
        hiscores->SetProperty(TQmHiscores::kTableType, type);
        return hiscores;
    }

    std::string Rows(TQmHiscores& hiscores, bool local = true)
    {
        std::string text;
        for (int i = 0; i < hiscores.GetScoreCount(local); ++i) {
            int rank = 0, score = 0;
            char name[64], data[64];
            EXPECT_TRUE(hiscores.GetScore(local, i, &rank, name, sizeof name, nullptr, &score, data, sizeof data));
            text += std::to_string(rank) + ":" + name + "=" + std::to_string(score) + (data[0] ? "/" : "") + data + " ";
        }
        return text;
    }

    // Polls as the hiscore screen does; the text (on failure) lands in mText.
    int Wait(TQmHiscores& hiscores, bool* best = nullptr)
    {
        mText[0] = 0;
        return PollUntilNot(TQmHiscores::kRequestRunning,
                            [&] { return hiscores.GetServerRequestStatus(mText, sizeof mText, best); });
    }

    void UseServer(const std::string& url)
    {
        // A stray line break and blanks after the address must not matter.
        WriteWorkingFile("hiscoreserver.txt", url + " \r\nsecond line ignored\n");
    }

    char mText[256] = {};
};

}  // namespace

TEST_F(Hiscores, LogScoreKeepsOrderedTablesPerMode)
{
    auto hiscores = Make();
    EXPECT_EQ(hiscores->GetScoreCount(true), 0);
    hiscores->LogScore(100, "lvl 3", "", false);
    hiscores->LogScore(100, "lvl 4", "", false);
    hiscores->LogScore(250, "", "", false);
    EXPECT_EQ(Rows(*hiscores), "1:Ann=250 2:Ann=100/lvl 3 3:Ann=100/lvl 4 ");

    hiscores->SetProperty(TQmHiscores::kTableType, "endless");
    EXPECT_EQ(hiscores->GetScoreCount(true), 0);
    hiscores->SetProperty(TQmHiscores::kUserName, "Bob");
    hiscores->LogScore(70, "", "", true);
    hiscores->LogScore(60, "", "", true);  // not better: unchanged
    EXPECT_EQ(Rows(*hiscores), "1:Bob=70 ");
    hiscores->LogScore(90, "", "", true);
    EXPECT_EQ(Rows(*hiscores), "1:Bob=90 ");

    EXPECT_FALSE(hiscores->GetScore(true, 1, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0));
    EXPECT_FALSE(hiscores->GetScore(true, -1, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0));
    EXPECT_TRUE(hiscores->GetScore(true, 0, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(hiscores->GetScoreCount(false), 0);
}

TEST_F(Hiscores, OnePerUserReplacementKeepsItsGuidAcrossRestarts)
{
    TFakeGameServers servers(kTestKey);
    UseServer(servers.HiscoreUrl());
    {
        auto hiscores = Make();
        hiscores->LogScore(100, "", "", true);
        ASSERT_TRUE(hiscores->SubmitScore("Ann", nullptr, false));
        ASSERT_EQ(Wait(*hiscores), TQmHiscores::kRequestDone) << mText;
    }
    auto hiscores = Make();
    hiscores->LogScore(150, "", "", true);
    EXPECT_EQ(Rows(*hiscores), "1:Ann=150 ");
    // The server's row (100) is still recognised as this player's by the GUID
    // that the replacing local row kept.
    hiscores->RequestScores(-1);
    ASSERT_EQ(Wait(*hiscores), TQmHiscores::kRequestDone) << mText;
    int global = 0;
    ASSERT_TRUE(hiscores->GetUserBestScore(TQmHiscores::kGlobalScore, &global, nullptr, nullptr, 0));
    EXPECT_EQ(global, 100);
}

TEST_F(Hiscores, SaveAndLoadAreByteStable)
{
    {
        auto hiscores = Make();
        hiscores->LogScore(300, "career 1", "<medal name=\"gold\"></medal>", false);
        hiscores->LogScore(200, "", "", false);
        hiscores->SetRememberedUserInfo("ann_online", "s3cret & <more>");
        hiscores->SetProperty(TQmHiscores::kUserName, "Bob");
        hiscores->SetProperty(TQmHiscores::kTableType, "endless");
        hiscores->LogScore(50, "ünïcode", "", true);
        hiscores->SetRememberedUserInfo("bob", "pw");
    }
    std::string first = ReadBytes(DataFile("hiscore.dat"));
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.size() % 8, 0u);

    auto hiscores = Make("Bob", "endless");
    hiscores->LogScore(10, "", "", true);  // not better: the tables stay, the file is written again
    EXPECT_EQ(ReadBytes(DataFile("hiscore.dat")), first);

    EXPECT_EQ(Rows(*hiscores), "1:Bob=50/ünïcode ");
    hiscores->SetProperty(TQmHiscores::kTableType, "career");
    hiscores->SetProperty(TQmHiscores::kUserName, "Ann");
    EXPECT_EQ(Rows(*hiscores), "1:Ann=300/career 1 2:Ann=200 ");
    char name[32], password[32];
    ASSERT_TRUE(hiscores->GetRememberedUserInfo(name, sizeof name, password, sizeof password));
    EXPECT_STREQ(name, "ann_online");
    EXPECT_STREQ(password, "s3cret & <more>");
    EXPECT_FALSE(std::filesystem::exists(DataFile("hiscore.dat.tmp")));
}

TEST_F(Hiscores, TamperedOrShortFileIsIgnoredAndKeptAside)
{
    {
        auto hiscores = Make();
        hiscores->LogScore(100, "", "", false);
    }
    const std::string good = ReadBytes(DataFile("hiscore.dat"));
    for (size_t at : {size_t(0), good.size() / 2, good.size() - 9, good.size() - 1}) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ 0x20);
        WriteBytes(DataFile("hiscore.dat"), bad);
        testing::internal::CaptureStderr();
        auto hiscores = Make();
        std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(hiscores->GetScoreCount(true), 0) << "flipped byte " << at;
        EXPECT_NE(log.find("HiScores: Checksum did not match! Ignoring saved score data."), std::string::npos);
        EXPECT_EQ(ReadBytes(DataFile("hiscore.dat.bad")), bad);
        EXPECT_FALSE(std::filesystem::exists(DataFile("hiscore.dat")));
        std::filesystem::remove(DataFile("hiscore.dat.bad"));
    }

    WriteBytes(DataFile("hiscore.dat"), good.substr(0, 8));
    EXPECT_EQ(Make()->GetScoreCount(true), 0);
    EXPECT_EQ(ReadBytes(DataFile("hiscore.dat.bad")), good.substr(0, 8));

    WriteBytes(DataFile("hiscore.dat"), good);
    EXPECT_EQ(Make()->GetScoreCount(true), 1);
}

// Another user's hiscore.dat (what a game started as root leaves) is not
// damaged: this run neither reads nor writes the local scores, and the file
// is left as it is. The player's game runs in a child (as nobody when this
// is root).
TEST_F(Hiscores, AFileThisUserMayNotOpenIsNeitherReadNorWritten)
{
    {
        auto hiscores = Make();
        hiscores->LogScore(100, "", "", false);
    }
    const std::filesystem::path file = DataFile("hiscore.dat");
    qmtest::MakeNotPermitted(file, file.parent_path(), mRoot);
    const qmtest::TFileState before = qmtest::FileState(file);
    const int found = qmtest::RunAsOtherUser([this] {
        testing::internal::CaptureStderr();
        auto hiscores = Make();
        hiscores->LogScore(200, "", "", false);
        hiscores->SetRememberedUserInfo("ann", "secret");
        hiscores->SaveAgainIfFailed();
        const std::string log = testing::internal::GetCapturedStderr();
        // One bit for each thing that is wrong.
        return (hiscores->FoundFileNotPermitted() ? 0 : 1) | (hiscores->FoundUnreadableFile() ? 2 : 0) |
               (Rows(*hiscores) == "1:Ann=200 " ? 0 : 4) | (hiscores->GetLastSaveError() == 0 ? 0 : 8) |
               (log.find("may not be opened by this user") != std::string::npos ? 0 : 16);
    });
    EXPECT_EQ(found, 0);
    EXPECT_TRUE(qmtest::FileState(file) == before) << "hiscore.dat was changed";
    EXPECT_FALSE(std::filesystem::exists(DataFile("hiscore.dat.bad")));
}

TEST_F(Hiscores, SmallestFileWithAnEmptyTextLoads)
{
    // An 8-byte body (the lone NUL of an empty text) and its checksum block.
    TEncrypt cipher{str(kTestKey)};
    char body[8];
    ASSERT_EQ(cipher.EncryptBinary("", 1, body, sizeof body, false), 0);
    unsigned char sum[4] = {0, 0, 0, 0};
    for (int i = 0; i < 8; ++i)
        sum[i % 4] ^= static_cast<unsigned char>(body[i]);
    char tail[8];
    ASSERT_EQ(cipher.EncryptBinary(sum, 4, tail, sizeof tail, false), 0);
    auto hiscores = Make();  // creates the data folder
    hiscores.reset();
    WriteBytes(DataFile("hiscore.dat"), std::string(body, 8) + std::string(tail, 8));
    testing::internal::CaptureStderr();
    hiscores = Make();
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.find("Checksum"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(DataFile("hiscore.dat")));
}

TEST_F(Hiscores, WithSavingOffOrNoUserDataFolderScoresStayInMemory)
{
    auto unsaved = Make("Ann", "career", false);
    unsaved->LogScore(5, "", "", false);
    unsaved->SetRememberedUserInfo("a", "b");
    EXPECT_FALSE(std::filesystem::exists(DataFile("hiscore.dat")));

    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", "", 1);
    testing::internal::CaptureStderr();
    auto hiscores = Make();
    hiscores->LogScore(5, "", "", false);
    std::string log = testing::internal::GetCapturedStderr();
    ::setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(hiscores->GetScoreCount(true), 1);
    EXPECT_NE(log.find("no user data folder"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("/hiscore.dat.tmp"));
}

TEST_F(Hiscores, RememberedLoginsPerPlayer)
{
    auto hiscores = Make();
    char name[8], password[8];
    EXPECT_FALSE(hiscores->GetRememberedUserInfo(name, sizeof name, password, sizeof password));
    hiscores->SetRememberedUserInfo("ann_online_long_name", "pw");
    ASSERT_TRUE(hiscores->GetRememberedUserInfo(name, sizeof name, password, sizeof password));
    EXPECT_STREQ(name, "ann_onl");  // cut to the buffer, always terminated
    EXPECT_TRUE(hiscores->GetRememberedUserInfo(nullptr, 0, nullptr, 0));
    hiscores->SetProperty(TQmHiscores::kUserName, "Bob");
    EXPECT_FALSE(hiscores->GetRememberedUserInfo(name, sizeof name, password, sizeof password));
    hiscores->SetProperty(TQmHiscores::kUserName, "Ann");
    hiscores->SetRememberedUserInfo("ann", "");
    EXPECT_FALSE(hiscores->GetRememberedUserInfo(name, sizeof name, password, sizeof password));
}

TEST_F(Hiscores, SettingsFileFixesLanguageAndDefaultError)
{
    TFakeGameServers servers(kTestKey);
    UseServer(servers.HiscoreUrl());
    WriteWorkingFile("hiscore.xml",
                     "<hiscore><language>fr</language><defaulterror>\"Serveur indisponible.\"</defaulterror></hiscore>");
    auto hiscores = Make();
    hiscores->SetProperty(TQmHiscores::kLanguage, "de");  // fixed by the settings file
    hiscores->RequestCategoryInformation();
    ASSERT_EQ(Wait(*hiscores), TQmHiscores::kRequestDone);
    EXPECT_EQ(ParseFormArgs(servers.Requests().back().query)["lang"], "fr");

    servers.SetSilent(true);
    TSimpleHttp::SetTimeouts(200, 400);
    hiscores->RequestCategoryInformation();
    EXPECT_EQ(Wait(*hiscores), TQmHiscores::kRequestFailed);
    EXPECT_STREQ(mText, "Serveur indisponible.");
}

TEST_F(Hiscores, CategoriesScoresAndSubmitAgainstTheServer)
{
    TFakeGameServers servers(kTestKey);
    servers.AddAccount("ann_online", "pw&1");
    servers.AddScore({"zed", "career", "", "00000000000000000000000000000001", "z", "1.0", 900});
    UseServer(servers.HiscoreUrl());
    auto hiscores = Make();
    hiscores->SetProperty(TQmHiscores::kLanguage, "en");

    hiscores->RequestCategoryInformation();
    ASSERT_EQ(Wait(*hiscores), TQmHiscores::kRequestDone);
    ASSERT_EQ(hiscores->GetCategoryCount(), 2);
    char name[32];
    ASSERT_TRUE(hiscores->GetCategoryName(1, name, sizeof name));
    EXPECT_STREQ(name, "This week");
    EXPECT_FALSE(hiscores->GetCategoryName(2, name, sizeof name));
    EXPECT_FALSE(hiscores->GetCategoryName(0, nullptr, 10));
    auto tablesArgs = ParseFormArgs(servers.Requests().back().query);
    EXPECT_EQ(servers.Requests().back().query, "lang=en&ver=1.0&action=tables&game=corvellatrip");

    // Nothing logged yet: nothing to submit, nothing sent.
    size_t sent = servers.Requests().size();
    EXPECT_FALSE(hiscores->SubmitScore("ann_online", "pw&1", true));
    EXPECT_EQ(servers.Requests().size(), sent);

    hiscores->LogScore(1200, "restaurant 2", "<medals><medal name=\"speedy\"></medal><medal name=\"tidy\"></medal></medals>",
                       true);
    int eligible = 0;
    EXPECT_TRUE(hiscores->GetUserBestScore(TQmHiscores::kEligibleScore, &eligible, nullptr, nullptr, 0));
    EXPECT_EQ(eligible, 1200);

    ASSERT_TRUE(hiscores->SubmitScore("ann_online", "pw&1", true));
    bool best = false;
    ASSERT_EQ(Wait(*hiscores, &best), TQmHiscores::kRequestDone) << mText;
    EXPECT_TRUE(best);  // a reply with medals is a success like any other
    EXPECT_FALSE(hiscores->GetUserBestScore(TQmHiscores::kEligibleScore, nullptr, nullptr, nullptr, 0));

    auto submissions = servers.Submissions();
    ASSERT_EQ(submissions.size(), 1u);
    auto& score = submissions[0].score;
    EXPECT_EQ(score["name"], "ann_online");
    EXPECT_EQ(score["password"], "pw&1");
    EXPECT_EQ(score["type"], "career");
    EXPECT_EQ(score["game"], "corvellatrip");
    EXPECT_EQ(score["score"], "1200");
    EXPECT_EQ(score["data"], "restaurant 2");
    EXPECT_EQ(score["ver"], "1.2");
    EXPECT_EQ(score["guid"].size(), 32u);
    EXPECT_EQ(submissions[0].medals, (std::vector<std::string>{"speedy", "tidy"}));
    EXPECT_EQ(submissions[0].text.rfind("<?xml version=\"1.0\"?>\n<score", 0), 0u);
    EXPECT_EQ(submissions[0].text.substr(submissions[0].text.size() - 25), "</medal></medals></score>");
    std::string submitQuery = servers.Requests().back().query;
    EXPECT_EQ(submitQuery.rfind("lang=en&ver=1.0&game=corvellatrip&action=submit&score=", 0), 0u);

    // The remembered login is saved with the submitted rows.
    {
        auto again = Make();
        char login[32], password[32];
        ASSERT_TRUE(again->GetRememberedUserInfo(login, sizeof login, password, sizeof password));
        EXPECT_STREQ(login, "ann_online");
        EXPECT_FALSE(again->GetUserBestScore(TQmHiscores::kEligibleScore, nullptr, nullptr, nullptr, 0));
    }

    // Scores of a category, asking for the logged-in account.
    hiscores->RequestScores(0);
    ASSERT_EQ(Wait(*hiscores), TQmHiscores::kRequestDone) << mText;
    auto getArgs = ParseFormArgs(servers.Requests().back().query);
    EXPECT_EQ(servers.Requests().back().query,
              "lang=en&ver=1.0&action=get&game=corvellatrip&type=career&table=career&numScores=500&username=ann_online");
    EXPECT_EQ(Rows(*hiscores, false), "1:ann_online=1200/restaurant 2 2:zed=900/z ");
    bool anonymous = true;
    ASSERT_TRUE(hiscores->GetScore(false, 0, nullptr, nullptr, 0, &anonymous, nullptr, nullptr, 0));
    EXPECT_FALSE(anonymous);
    int global = 0, rank = 0;
    ASSERT_TRUE(hiscores->GetUserBestScore(TQmHiscores::kGlobalScore, &global, &rank, nullptr, 0));
    EXPECT_EQ(global, 1200);
    EXPECT_EQ(rank, 1);

    std::cout << "longest status poll so far: " << LongestPollMicroseconds() << " us\n";
}

TEST_F(Hiscores, GlobalScoreFoundByGuidWithoutAnAccountMark)
{
    TFakeGameServers servers(kTestKey);
    UseServer(servers.HiscoreUrl());
    auto hiscores = Make();
    hiscores->LogScore(500, "", "", true);
    ASSERT_TRUE(hiscores->SubmitScore("Ann", nullptr, false));  // anonymous: no password, no login
    ASSERT_EQ(Wait(*hiscores), TQmHiscores::kRequestDone) << mText;
    EXPECT_EQ(servers.Submissions().back().score.count("password"), 0u);

    hiscores->RequestScores(-1);  // no categories asked: no "table"
    ASSERT_EQ(Wait(*hiscores), TQmHiscores::kRequestDone) << mText;
    EXPECT_EQ(ParseFormArgs(servers.Requests().back().query).count("table"), 0u);
    EXPECT_EQ(ParseFormArgs(servers.Requests().back().query).count("username"), 0u);
    int global = 0;
    ASSERT_TRUE(hiscores->GetUserBestScore(TQmHiscores::kGlobalScore, &global, nullptr, nullptr, 0));
    EXPECT_EQ(global, 500);
    EXPECT_FALSE(hiscores->GetUserBestScore(static_cast<TQmHiscores::EUserScore>(7), &global, nullptr, nullptr, 0));
}

TEST_F(Hiscores, RefusalsAndProtocolErrorsReachTheCaller)
{
    TFakeGameServers servers(kTestKey);
    servers.RefuseName("rude", "That name is not allowed.");
    UseServer(servers.HiscoreUrl());
    auto hiscores = Make();
    hiscores->LogScore(10, "", "", false);

    ASSERT_TRUE(hiscores->SubmitScore("rude", nullptr, false));
    bool best = true;
    EXPECT_EQ(Wait(*hiscores, &best), TQmHiscores::kRequestFailed);
    EXPECT_STREQ(mText, "That name is not allowed.");
    EXPECT_TRUE(hiscores->GetUserBestScore(TQmHiscores::kEligibleScore, nullptr, nullptr, nullptr, 0));

    // No game mode: the server's protocol error becomes the game-mode text.
    hiscores->SetProperty(TQmHiscores::kTableType, "");
    testing::internal::CaptureStderr();
    hiscores->RequestScores(0);
    EXPECT_EQ(Wait(*hiscores), TQmHiscores::kRequestFailed);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_STREQ(mText, "Score request failed because game mode is not valid");
    EXPECT_NE(log.find("HiScore Protocol Error: Missing required parameter: type"), std::string::npos);

    // A failed score request before any categories arrived.
    servers.RefuseName("x", "");
    hiscores->SetProperty(TQmHiscores::kTableType, "career");
    hiscores->RequestScores(0);
    ASSERT_EQ(Wait(*hiscores), TQmHiscores::kRequestDone);  // the fake server answers this one
    hiscores->SetProperty(TQmHiscores::kLanguage, "");        // the server now refuses: lang missing
    hiscores->RequestScores(0);
    EXPECT_EQ(Wait(*hiscores), TQmHiscores::kRequestFailed);
    EXPECT_STREQ(mText, "Score request failed because no category information has been received yet");

    // A protocol error in a categories reply: the player sees the generic text.
    hiscores->RequestCategoryInformation();
    EXPECT_EQ(Wait(*hiscores), TQmHiscores::kRequestFailed);
    EXPECT_STREQ(mText, "Unable to connect to server. Please try again later.");
}

TEST_F(Hiscores, RepliesSentWithAnErrorCodeAreReadAsReplies)
{
    // A server may answer a bad request or a bad login with an HTTP error
    // code; the body still says what went wrong.
    TLoopbackServer server([](const TLoopbackRequest& request) {
        TLoopbackReply reply;
        auto args = ParseFormArgs(request.query);
        if (args["action"] == "get") {
            reply.code = 400;
            reply.body = "<hiscore><protocolError>Missing required parameter: type</protocolError></hiscore>";
        } else {
            reply.code = 401;
            reply.body = "<hiscore><message>hiscore.error.invalidUsernameOrPassword</message></hiscore>";
        }
        return reply;
    });
    UseServer(server.Url("/go/hiscore"));
    auto hiscores = Make("Ann", "");
    hiscores->RequestScores(0);
    EXPECT_EQ(Wait(*hiscores), TQmHiscores::kRequestFailed);
    EXPECT_STREQ(mText, "Score request failed because game mode is not valid");

    hiscores->LogScore(10, "", "", false);
    ASSERT_TRUE(hiscores->SubmitScore("ann_online", "wrong", true));
    EXPECT_EQ(Wait(*hiscores), TQmHiscores::kRequestFailed);
    EXPECT_STREQ(mText, "hiscore.error.invalidUsernameOrPassword");
    // A bad login forgets the remembered one, in memory and in the file, and keeps the score to send.
    EXPECT_FALSE(hiscores->GetRememberedUserInfo(nullptr, 0, nullptr, 0));
    EXPECT_FALSE(Make("Ann", "")->GetRememberedUserInfo(nullptr, 0, nullptr, 0));
    EXPECT_TRUE(hiscores->GetUserBestScore(TQmHiscores::kEligibleScore, nullptr, nullptr, nullptr, 0));
}

TEST_F(Hiscores, UnreachableAndSilentServersFailWithinTheTimeout)
{
    TSimpleHttp::SetTimeouts(300, 600);
    UseServer("http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/go/hiscore");
    auto hiscores = Make();
    hiscores->RequestCategoryInformation();
    EXPECT_EQ(Wait(*hiscores), TQmHiscores::kRequestFailed);
    EXPECT_STREQ(mText, "Unable to connect to server. Please try again later.");

    TFakeGameServers servers(kTestKey);
    servers.SetSilent(true);
    UseServer(servers.HiscoreUrl());
    hiscores = Make();
    hiscores->LogScore(10, "", "", false);
    ASSERT_TRUE(hiscores->SubmitScore("ann", "pw", true));
    EXPECT_EQ(Wait(*hiscores, nullptr), TQmHiscores::kRequestFailed);
    EXPECT_STREQ(mText, "Unable to connect to server. Please try again later.");
    EXPECT_TRUE(hiscores->GetUserBestScore(TQmHiscores::kEligibleScore, nullptr, nullptr, nullptr, 0));
    std::cout << "longest status poll so far: " << LongestPollMicroseconds() << " us\n";
}

TEST_F(Hiscores, DestroyedWhileARequestRuns)
{
    TFakeGameServers servers(kTestKey);
    servers.SetSilent(true);
    UseServer(servers.HiscoreUrl());
    TSimpleHttp::SetTimeouts(200, 400);
    auto hiscores = Make();
    hiscores->RequestCategoryInformation();
    EXPECT_EQ(hiscores->GetServerRequestStatus(nullptr, 0, nullptr), TQmHiscores::kRequestRunning);
    hiscores->RequestScores(3);  // abandons the first
    hiscores.reset();
    PollUntilNot(1, [] {
        TSimpleHttp::PumpAll();
        return THttpPump::Instance().RunningCount() > 0 ? 1 : 0;
    });
}
