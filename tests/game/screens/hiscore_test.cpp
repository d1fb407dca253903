// The hiscore screen and its submit dialog with the game's own scripts,
// against the loopback hiscore server: local tables per game mode, the
// world's lists, submitting, and what the player sees when the server
// refuses, stays silent or answers with hostile text.
#include "screens_fixture.h"

#include "fake_servers.h"
#include "loopback_server.h"

#include "engine/base/encryptionkey.h"
#include "engine/window/modalwindow.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/screens/hiscore.h"
#include "game/screens/screenchildren.h"
#include "online/hiscores.h"
#include "online/simplehttp.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

class HiscoreScreen : public GameScreensTest {
protected:
    void TearDown() override
    {
        GameScreensTest::TearDown();
        TSimpleHttp::SetTimeouts(10000, 30000);
    }

    // Starts the game against the server at url with the string table's
    // high-score mode (one character; the full screen by default).
    void StartWith(const std::string& url, const char* mode = "0")
    {
        CopyAssets({"strings.xml", "scripts/ui.lua", "scripts/hiscore.lua", "scripts/hiscoresubmit.lua", "audio/sfx/keystroke2.ogg", "ui/kit",
                    "ui/screens", "fonts"});
        // The shipped game is local-only; these tests use the whole screen.
        const std::string strings = (scratch.Path() / "assets/strings.xml").string();
        std::ifstream in(strings);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        in.close();
        const std::string entry = "highscoremode</Data></Cell><Cell><Data ss:Type=\"String\">";
        text.replace(text.find(entry) + entry.size(), 1, mode);
        std::ofstream(strings) << text;
        std::ofstream(scratch.Path() / "hiscoreserver.txt") << url << "\n";
        StartGame();
    }

    THiscore* Open()
    {
        OpenScreen("scripts/hiscore.lua");
        TWindow* found = Find("hiscore");
        return found ? found->GetCast<THiscore>() : nullptr;
    }
    TWindow* Top() { return manager->GetTopModalWindow(); }
    std::string Text(const char* name) { return screens::GetChildText(Top(), name).c_str(); }
    bool Shown(const char* name)
    {
        TWindow* w = Top()->GetChildWindow(name, -1);
        for (; w && w != Top(); w = w->GetParent())
            if (!w->IsVisible())
                return false;
        return w != nullptr;
    }
    // Every text the player can see on the top screen, one per line.
    std::string VisibleTexts(TWindow* w = nullptr)
    {
        w = w ? w : Top();
        std::string out;
        if (!w->IsVisible())
            return out;
        if (TText* text = w->GetCast<TText>())
            out += std::string(text->GetText().c_str()) + "\n";
        for (TWindow* child : w->GetChildren())
            out += VisibleTexts(child);
        return out;
    }
    void Log(int score, const char* data) { settings->GetHiscores()->LogScore(score, data, "", false); }
    void SetMode(int mode, int difficulty)
    {
        settings->SetCurrentLevel(difficulty);
        settings->SetCurrentGameMode(mode);
    }
};

const std::string kHostileName = "<a id=\"back\">Press</a><font size=\"90\">me";

}  // namespace

TEST_F(HiscoreScreen, LocalTablesShowThePlayersScoresPerMode)
{
    StartWith("http://127.0.0.1:9/");
    Log(1200, "lev:12");
    SetMode(TSettings::kEndlessMode, 0);
    Log(500, "rest:3");
    Log(300, "rest:1");
    SetMode(TSettings::kEndlessMode, 2);
    Log(900, "rest:5");
    SetMode(TSettings::kCareerMode, 0);

    THiscore* screen = Open();
    ASSERT_NE(screen, nullptr);
    struct Step {
        const char* button;
        std::string mode, name1, score1, level1, score2;
    };
    const Step steps[] = {
        {nullptr, "Career", "Ann", "1200", "12", ""},
        {"gamemoderight", "Endless: easy", "Ann", "500", "3", "300"},
        {"gamemoderight", "Endless: medium", "", "", "", ""},
        {"gamemoderight", "Endless: hard", "Ann", "900", "5", ""},
        {"gamemoderight", "Career", "Ann", "1200", "12", ""},
        {"gamemodeleft", "Endless: hard", "Ann", "900", "5", ""},
    };
    for (const Step& step : steps) {
        if (step.button)
            Press(step.button);
        SCOPED_TRACE(step.mode);
        EXPECT_EQ(Text("gamemode"), step.mode);
        EXPECT_EQ(Shown("name1") ? Text("name1") : "", step.name1);
        EXPECT_EQ(Shown("score1") ? Text("score1") : "", step.score1);
        EXPECT_EQ(Shown("level1") ? Text("level1") : "", step.level1);
        EXPECT_EQ(Shown("score2") ? Text("score2") : "", step.score2);
        EXPECT_EQ(Shown("1"), !step.name1.empty());
        EXPECT_TRUE(Shown("local"));
        EXPECT_TRUE(Shown("view"));
        EXPECT_EQ(Shown("submit"), !step.name1.empty());
        EXPECT_FALSE(Shown("scrolldown"));
    }
}

TEST_F(HiscoreScreen, FetchesTheWorldsListsAndSubmits)
{
    TFakeGameServers server(ENCRYPTION_KEY);
    for (int i = 0; i < 11; ++i)
        server.AddScore({"Player" + std::to_string(i), "corvellatrip_career", "", "g", "lev:" + std::to_string(i), "1", 5000 - i});
    server.AddScore({kHostileName, "corvellatrip_career", "", "g", "lev:2", "1", 4000});
    StartWith(server.HiscoreUrl());
    Log(4500, "lev:30");

    THiscore* screen = Open();
    ASSERT_NE(screen, nullptr);
    Press("view");
    EXPECT_TRUE(Shown("server"));
    ASSERT_TRUE(FramesUntil([&] { return screen->GetState() == THiscore::kGlobalShown; }));
    EXPECT_TRUE(Shown("global"));
    EXPECT_EQ(Text("category"), "Career");
    EXPECT_EQ(Text("name1"), "Player0");
    EXPECT_EQ(Text("score1"), "5000");
    EXPECT_EQ(Text("1"), "1.");
    EXPECT_TRUE(Shown("scrolldown"));
    EXPECT_FALSE(Shown("scrollup"));
    EXPECT_TRUE(Shown("viewlocal"));
    EXPECT_FALSE(Shown("view"));

    // Twelve rows: the second page starts at row 8 and is the last.
    Press("scrolldown");
    EXPECT_EQ(screen->GetScroll(), 7);
    EXPECT_FALSE(Shown("scrolldown"));
    EXPECT_TRUE(Shown("scrollup"));
    const std::string shown = VisibleTexts();
    EXPECT_NE(shown.find("Press"), std::string::npos);
    EXPECT_EQ(shown.find_first_of("<>"), std::string::npos) << shown;

    // Two categories: right twice comes back to the first.
    Press("categoryright");
    ASSERT_TRUE(FramesUntil([&] { return screen->GetState() == THiscore::kGlobalShown; }));
    EXPECT_EQ(Text("category"), "This week");
    Press("categoryright");
    ASSERT_TRUE(FramesUntil([&] { return screen->GetState() == THiscore::kGlobalShown; }));
    EXPECT_EQ(screen->GetCategory(), 0);

    // Back to the local table, then send the best score.
    Press("viewlocal");
    ASSERT_TRUE(Shown("submit"));
    Press("submit");
    EXPECT_EQ(std::string(Top()->GetName().c_str()), THiscore::kSubmitScript);
    EXPECT_EQ(Text("nameedit"), "Ann");
    EXPECT_EQ(Text("eligiblescore"), "4500");
    EXPECT_EQ(Text("accountedit"), "");
    EXPECT_EQ(Text("passedit"), "");
    EXPECT_FALSE(Shown("submitconnect"));
    Press("submittoserver");
    EXPECT_TRUE(Shown("submitconnect"));
    ASSERT_TRUE(FramesUntil([&] { return Top()->GetName() != str(THiscore::kSubmitScript); }));
    ASSERT_TRUE(FramesUntil([&] { return screen->GetState() == THiscore::kGlobalShown; }));
    ASSERT_EQ(server.Submissions().size(), 1u);
    EXPECT_EQ(server.Submissions()[0].score.at("name"), "Ann");
    EXPECT_EQ(screen->GetSubmitResult(), THiscore::kQualified);
    EXPECT_TRUE(Shown("congratulations"));
    EXPECT_EQ(Text("name1"), "Player0");
}

// Mode 1 keeps the world's lists and sending, without accounts; a value out
// of range is local only, for the screen as for the level flow.
TEST_F(HiscoreScreen, TheHighscoreModeLimitsTheScreenAsTheSettingsReadIt)
{
    TFakeGameServers server(ENCRYPTION_KEY);
    StartWith(server.HiscoreUrl(), "1");
    EXPECT_EQ(settings->GetHighscoreMode(), 1);
    Log(700, "lev:3");
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(Shown("view"));
    EXPECT_TRUE(Shown("submit"));
    EXPECT_FALSE(Shown("moreinfo"));
    EXPECT_TRUE(Shown("local"));
    Press("submit");
    EXPECT_TRUE(Shown("nameeditbox"));
    EXPECT_FALSE(Shown("accounteditbox"));
    EXPECT_FALSE(Shown("remember"));
}

TEST_F(HiscoreScreen, AModeOutOfRangeKeepsTheScoresLocal)
{
    TFakeGameServers server(ENCRYPTION_KEY);
    StartWith(server.HiscoreUrl(), "7");
    EXPECT_EQ(settings->GetHighscoreMode(), 2);
    Log(700, "lev:3");
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(Shown("topplayers"));
    for (const char* online : {"view", "submit", "moreinfo", "local", "info", "eligible", "rightpanel"})
        EXPECT_FALSE(Shown(online)) << online;
    EXPECT_EQ(Text("name1"), "Ann");
}

TEST_F(HiscoreScreen, RefusalsAndSilenceAreShownAsText)
{
    TFakeGameServers server(ENCRYPTION_KEY);
    server.RefuseName("Ann", "<b>Not</b> this name: <a id=\"submitcancel\">ok</a>");
    StartWith(server.HiscoreUrl());
    Log(700, "lev:3");

    THiscore* screen = Open();
    ASSERT_NE(screen, nullptr);
    Press("submit");
    Press("submittoserver");
    ASSERT_TRUE(FramesUntil([&] { return Shown("submiterror"); }));
    EXPECT_EQ(Text("submiterror").find_first_of("<>"), std::string::npos);
    EXPECT_NE(Text("submiterror").find("Not"), std::string::npos);
    EXPECT_NE(Text("submiterror").find("this name"), std::string::npos);
    EXPECT_TRUE(Shown("submiterrorok"));
    EXPECT_FALSE(Shown("submitconnect"));
    Press("submiterrorok");
    EXPECT_FALSE(Shown("submiterror"));
    EXPECT_TRUE(Shown("submittoserver"));
    Press("submitcancel");
    EXPECT_EQ(Top()->GetName(), str("scripts/hiscore.lua"));

    // A server that never answers: the request times out and says so.
    TSimpleHttp::SetTimeouts(200, 400);
    server.SetSilent(true);
    Press("view");
    ASSERT_TRUE(FramesUntil([&] { return screen->GetState() == THiscore::kErrorShown; }));
    EXPECT_TRUE(Shown("error"));
    EXPECT_FALSE(Text("error").empty());
    EXPECT_TRUE(Shown("viewlocal"));
    Press("viewlocal");
    EXPECT_EQ(screen->GetState(), THiscore::kLocal);
}

TEST_F(HiscoreScreen, HostileRepliesAreShownSafely)
{
    struct Case {
        const char* what;
        std::string body;
    };
    std::string flood;
    for (int i = 0; i < 20000; ++i)
        flood += "<a id=\"back\">x</a>";
    const Case cases[] = {
        {"markup in the message", "<hiscore><message><font size=\"99\"><a id=\"back\">Click</a></font></message></hiscore>"},
        {"huge", "<hiscore><message>" + flood + "</message></hiscore>"},
        {"malformed", "<<hiscore>>&#-1;<message <scores><score rank=\"x\"name=\"<b>\"</hiscore"},
        {"not XML at all", std::string(300000, '<')},
    };
    std::string reply;
    TLoopbackServer server([&](const TLoopbackRequest&) {
        TLoopbackReply r;
        r.body = reply;
        return r;
    });
    StartWith(server.Url("/go/hiscore"));
    THiscore* screen = Open();
    ASSERT_NE(screen, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reply = c.body;
        Press("viewlocal");
        Press("view");
        ASSERT_TRUE(FramesUntil([&] {
            return screen->GetState() == THiscore::kErrorShown || screen->GetState() == THiscore::kGlobalShown;
        }));
        const std::string shown = VisibleTexts();
        EXPECT_EQ(shown.find_first_of("<>"), std::string::npos) << shown.substr(0, 200);
        EXPECT_LT(shown.size(), 4000u);
        // The screen still answers: back to the local table.
        Press("viewlocal");
        EXPECT_EQ(screen->GetState(), THiscore::kLocal);
    }
}
