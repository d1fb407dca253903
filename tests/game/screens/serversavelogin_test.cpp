// The server-save login with the game's own script against the loopback
// save-game server: a saved profile comes back and is installed under the
// player's own name; a profile that is not one is refused and the player's
// own is kept; closing without "remember" forgets the login.
#include "screens_fixture.h"

#include "fake_servers.h"

#include "engine/base/base64.h"
#include "engine/base/encryptionkey.h"
#include "engine/base/prefs.h"
#include "engine/window/button.h"
#include "engine/window/windowmanager.h"
#include "game/screens/profilecheck.h"
#include "game/screens/screenchildren.h"
#include "game/screens/serversavelogin.h"
#include "online/hiscores.h"
#include "online/serversaves.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

std::string gSaveServer;

str LookUp(const char* label)
{
    if (std::string(label) == "_debugsaveserver")
        return str(gSaveServer.c_str());
    return screens::Text(label);
}

// A profile in the transport form: quoted Base64 of a "user" element.
std::string Profile(const std::string& xml)
{
    std::string text(Base64EncodeGetLength(xml.size() + 1) + 1, '\0');
    text.resize(Base64Encode(text.data(), xml.c_str(), xml.size() + 1));
    return "\"" + text + "\"";
}

class ServerSaveLogin : public GameScreensTest {
protected:
    void SetUp() override
    {
        GameScreensTest::SetUp();
        server = std::make_unique<TFakeGameServers>(ENCRYPTION_KEY);
        server->AddAccount("ann", "pw");
        gSaveServer = server->SaveGameUrl();
        TServerSaves::SetStringLookup(&LookUp);
        CopyAssets({"strings.xml", "scripts/ui.lua", "scripts/serversavelogin.lua", "audio/sfx/keystroke2.ogg",
                    "ui/kit", "fonts"});
        StartGame();
        Prefs()->SetInt("careercash", 5, 0, true);
    }
    void TearDown() override
    {
        GameScreensTest::TearDown();
        TServerSaves::SetStringLookup(nullptr);
        server.reset();
    }

    TPrefs* Prefs() { return settings->GetPrefs(); }
    // Stores text as ann's saved game, as another computer would.
    void Upload(const std::string& text)
    {
        TServerSaves client("corvellatrip", "1", "failed", "en");
        client.SendData("ann", "pw", str(text.c_str()));
        ASSERT_TRUE(FramesUntil([&] { return client.GetServerRequestStatus(nullptr) != TServerSaves::kRequestRunning; }));
    }
    TServerSaveLogin* OpenDownload()
    {
        Lua("gServerSaveMode = 2");
        OpenScreen("scripts/serversavelogin.lua");
        TWindow* found = Find("serversave");
        auto* login = found ? found->GetCast<TServerSaveLogin>() : nullptr;
        if (login) {
            screens::SetChildText(login, "nameedit", "ann");
            screens::SetChildText(login, "passedit", "pw");
        }
        return login;
    }
    // Runs frames (and the screen's poll ticks) for a while.
    void FramesFor(std::chrono::milliseconds time)
    {
        const auto until = std::chrono::steady_clock::now() + time;
        FramesUntil([&] { return std::chrono::steady_clock::now() >= until; });
    }
    std::string Details() { return screens::GetChildText(Find("serversave"), "responsedetails").c_str(); }
    bool Shown(const char* name) { return screens::IsChildShown(Find("serversave"), name); }

    std::unique_ptr<TFakeGameServers> server;
};

}  // namespace

TEST_F(ServerSaveLogin, ASavedProfileIsInstalledUnderThePlayersName)
{
    Prefs()->SetInt("careercash", 777, 0, true);
    Prefs()->SetStr("name", "Ann at work", 0, true);
    Upload(Prefs()->GetUserStr(0).c_str());
    Prefs()->SetInt("careercash", 5, 0, true);
    Prefs()->SetStr("name", "Ann", 0, true);

    TServerSaveLogin* login = OpenDownload();
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->GetDialogMode(), TServerSaveLogin::kDownload);
    // Not chosen yet: "ask" starts ticked, and the player decides.
    Lua("LoadSSSG()");
    EXPECT_EQ(Details(), "Fetching your game from the server...");
    ASSERT_TRUE(FramesUntil([&] { return login->GetProgress() == TServerSaveLogin::kSucceeded; }));
    EXPECT_TRUE(Shown("downloadavailable"));
    EXPECT_EQ(Prefs()->GetInt("careercash", 0, 0), 5);
    Lua("InstallDownload()");
    EXPECT_EQ(Prefs()->GetInt("careercash", 0, 0), 777);
    EXPECT_EQ(std::string(Prefs()->GetStr("name", "", 0).c_str()), "Ann");
    EXPECT_EQ(Details(), "Your saved game is installed.");
}

TEST_F(ServerSaveLogin, WhatIsNoProfileIsRefusedAndTheOwnIsKept)
{
    const std::string zeros240(320, 'A');
    std::string flood;
    for (int i = 0; i < 3000; ++i)
        flood += " k" + std::to_string(i) + "=\"1\"";
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"not Base64", "\"<user name=\\\"Eve\\\"></user>\""},
        {"not XML", Profile("just some words")},
        {"an unknown key", Profile("<user name=\"Eve\" admin=\"1\"></user>")},
        {"a volume out of range", Profile("<user name=\"Eve\" soundlevel=\"99999\"></user>")},
        {"a number that is none", Profile("<user name=\"Eve\" careercash=\"lots\"></user>")},
        {"scores of the wrong size", Profile("<user name=\"Eve\" levelscores=\"QUJD\"></user>")},
        {"markup in a name", Profile("<user name=\"&lt;a id=&quot;x&quot;&gt;\"></user>")},
        {"no name", Profile("<user careercash=\"9\"></user>")},
        {"two players", Profile("<user name=\"A\"></user><user name=\"B\"></user>")},
        {"huge", Profile("<user name=\"Eve\"" + flood + "></user>")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        str why;
        EXPECT_FALSE(screens::IsValidDownloadedProfile(str(c.text.c_str()), &why));
        Upload(c.text);
        TServerSaveLogin* login = OpenDownload();
        ASSERT_NE(login, nullptr);
        Lua("LoadSSSG()");
        ASSERT_TRUE(FramesUntil([&] { return login->GetProgress() != TServerSaveLogin::kWaiting; })) << "progress " << int(login->GetProgress()) << " " << Details();
        ASSERT_EQ(login->GetProgress(), TServerSaveLogin::kSucceeded) << Details();
        Lua("InstallDownload()");
        EXPECT_EQ(Prefs()->GetInt("careercash", 0, 0), 5);
        EXPECT_EQ(std::string(Prefs()->GetStr("name", "", 0).c_str()), "Ann");
        EXPECT_EQ(Details(), "The server's saved game could not be read; your own game is kept.");
        manager->PopModal();
        Frame(0);
    }
    // A real profile with every kind of value passes.
    const std::string good = Profile("<user name=\"Eve\" version=\"2.0\" soundlevel=\"750\" careercash=\"12\" "
                                     "clothing_2_name=\"top3\" levelscores=\"" + zeros240 + "\"></user>");
    str why;
    EXPECT_TRUE(screens::IsValidDownloadedProfile(str(good.c_str()), &why)) << why.c_str();
}

TEST_F(ServerSaveLogin, NothingSavedAndForgettingTheLogin)
{
    settings->GetHiscores()->SetRememberedUserInfo("ann", "pw");
    TServerSaveLogin* login = OpenDownload();
    ASSERT_NE(login, nullptr);
    // A remembered login fills the form and ticks "remember".
    EXPECT_EQ(screens::GetChildText(login, "nameedit"), str("ann"));
    Lua("LoadSSSG()");
    ASSERT_TRUE(FramesUntil([&] { return login->GetProgress() == TServerSaveLogin::kSucceeded; }));
    EXPECT_EQ(Details(), "There is no saved game on the server for this account.");
    // Closing with "remember" off forgets the login for the hiscores too.
    auto* remember = login->GetChildWindow("remember", -1)->GetCast<TButton>();
    ASSERT_NE(remember, nullptr);
    EXPECT_TRUE(remember->IsOn());
    remember->SetOn(false);
    Lua("CloseResponseWindow()");
    char name[64] = {}, password[64] = {};
    EXPECT_FALSE(settings->GetHiscores()->GetRememberedUserInfo(name, sizeof name, password, sizeof password));
}

TEST_F(ServerSaveLogin, ASlowServerIsWaitedForHoweverLateTheRequestStarts)
{
    // The server holds its answer until the test lets it go (or 10 s pass).
    std::atomic<bool> answer{false};
    TLoopbackServer slow([&](const TLoopbackRequest&) {
        for (int i = 0; i < 1000 && !answer; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        TLoopbackReply reply;
        reply.body = "<?xml version=\"1.0\"?>\n<savegame></savegame>\n";
        return reply;
    });
    gSaveServer = slow.Url("/go/savegame");
    TServerSaveLogin* login = OpenDownload();
    ASSERT_NE(login, nullptr);
    // The player takes a while to log in, and the server a while to answer:
    // the screen's poll ticks many times before and during the request.
    FramesFor(std::chrono::milliseconds(300));
    Lua("LoadSSSG()");
    const bool asked = FramesUntil([&] { return slow.Requests().size() == 1; });
    FramesFor(std::chrono::milliseconds(300));
    const auto progressWhileHeld = login->GetProgress();
    answer = true;
    ASSERT_TRUE(asked);
    EXPECT_EQ(progressWhileHeld, TServerSaveLogin::kWaiting);
    ASSERT_TRUE(FramesUntil([&] { return login->GetProgress() != TServerSaveLogin::kWaiting; }));
    EXPECT_EQ(login->GetProgress(), TServerSaveLogin::kSucceeded);
    EXPECT_EQ(Details(), "There is no saved game on the server for this account.");
}
