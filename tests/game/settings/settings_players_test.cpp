// Player profiles: creating, choosing, renaming and deleting players, the
// profiles of old versions removed at start-up, and the scripts' functions.
#include "settings_fixture.h"

#include "engine/base/encryptionkey.h"
#include "engine/base/prefs.h"
#include "engine/sound/soundmanager.h"

namespace {

class Players : public SettingsTest {
protected:
    void SetUp() override
    {
        SettingsTest::SetUp();
        StartPlatform();
    }
    // Profiles stored as an earlier program left them, before TSettings starts.
    void StorePlayers(const std::vector<std::pair<std::string, std::string>>& nameAndVersion, int current)
    {
        TPrefs prefs(str(ENCRYPTION_KEY), true);
        for (size_t i = 0; i < nameAndVersion.size(); ++i) {
            prefs.SetStr("name", nameAndVersion[i].first.c_str(), static_cast<int>(i), false);
            if (!nameAndVersion[i].second.empty())
                prefs.SetStr("version", nameAndVersion[i].second.c_str(), static_cast<int>(i), false);
            prefs.SetInt("careercash", 100 + static_cast<int>(i), static_cast<int>(i), false);
        }
        prefs.SetInt("curuser", current, -1, false);
        ASSERT_TRUE(prefs.SavePrefs());
    }
    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int i = 0; i < mSettings->GetNumUsers(); ++i)
            names.push_back(mSettings->GetUserName(i).c_str());
        return names;
    }
};

TEST_F(Players, AFreshInstallationHasNoPlayer)
{
    Create();
    EXPECT_EQ(mSettings->GetNumUsers(), 0);
    EXPECT_EQ(mSettings->GetCurrentUser(), -1);
    EXPECT_STREQ(mSettings->GetCurrentUserName().c_str(), "");
    EXPECT_EQ(TSettings::GetInstance(), mSettings);
}

TEST_F(Players, CreateChooseRenameDeleteAndReadBack)
{
    Create();
    mSettings->CreateNewUser("Ann");
    mSettings->CreateNewUser("Bob");
    mSettings->CreateNewUser("Cy");
    EXPECT_EQ(mSettings->GetNumUsers(), 3);
    EXPECT_EQ(mSettings->GetCurrentUser(), 2);
    EXPECT_STREQ(mSettings->GetUserName(1).c_str(), "Bob");

    mSettings->SetCurrentUser(0, false);
    EXPECT_STREQ(mSettings->GetCurrentUserName().c_str(), "Ann");
    mSettings->SetCurrentUser(3, true);  // no such player: ignored
    EXPECT_EQ(mSettings->GetCurrentUser(), 0);

    EXPECT_TRUE(mSettings->IsNameInUse("Bob"));
    EXPECT_FALSE(mSettings->IsNameInUse("Ann"));  // the current player's own name
    EXPECT_FALSE(mSettings->IsNameInUse("bob"));  // case matters
    mSettings->ChangeCurrentUserName("Anna");
    EXPECT_STREQ(mSettings->GetUserName(0).c_str(), "Anna");

    mSettings->DeleteUser(1);  // Bob: the one before him becomes current
    EXPECT_EQ(Names(), (std::vector<std::string>{"Anna", "Cy"}));
    EXPECT_EQ(mSettings->GetCurrentUser(), 0);

    // Everything reached prefs.dat: a new TSettings reads the same.
    Create();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Anna", "Cy"}));
    EXPECT_EQ(mSettings->GetCurrentUser(), 0);
    EXPECT_STREQ(mSettings->GetPrefs()->GetStr("version", "", 1).c_str(), "2.0.0.0");
}

TEST_F(Players, DeletingTheFirstOrOnlyPlayer)
{
    Create();
    mSettings->CreateNewUser("Ann");
    mSettings->CreateNewUser("Bob");
    mSettings->CreateNewUser("Cy");
    mSettings->DeleteUser(0);
    EXPECT_EQ(mSettings->GetCurrentUser(), 1);  // the last remaining player
    EXPECT_EQ(Names(), (std::vector<std::string>{"Bob", "Cy"}));
    std::string log = Create();
    mSettings->DeleteUser(7);  // out of range: nothing changes
    EXPECT_EQ(mSettings->GetNumUsers(), 2);
    mSettings->DeleteUser(1);
    mSettings->DeleteUser(0);
    EXPECT_EQ(mSettings->GetNumUsers(), 0);
    EXPECT_EQ(mSettings->GetCurrentUser(), -1);
    Create();
    EXPECT_EQ(mSettings->GetNumUsers(), 0);
    EXPECT_EQ(mSettings->GetCurrentUser(), -1);
}

TEST_F(Players, ANewPlayerTakesTheSoundOfTheCurrentOne)
{
    Create();
    mSettings->CreateNewUser("Ann");
    mSettings->GetPrefs()->SetInt("musiclevel", 300, 0, true);
    mSettings->ToggleSoundMute();
    mSettings->CreateNewUser("Bob");
    EXPECT_EQ(mSettings->GetPrefs()->GetInt("musiclevel", -1, 1), 300);
    EXPECT_EQ(mSettings->GetPrefs()->GetInt("soundoff", -1, 1), 1);
    EXPECT_EQ(mSettings->GetPrefs()->GetInt("environmentlevel", -1, 1), 500);
    TSoundManager* sound = mPlatform->GetSoundManager();
    ASSERT_NE(sound, nullptr);
    EXPECT_FLOAT_EQ(sound->GetVolume(1001), 0.0f);  // muted
    mSettings->ToggleSoundMute();
    EXPECT_FLOAT_EQ(sound->GetVolume(1001), 0.3f);
    EXPECT_FLOAT_EQ(sound->GetVolume(1002), 0.5f);
    EXPECT_FLOAT_EQ(sound->GetVolume(1000), 0.75f);
}

TEST_F(Players, ProfilesOfOldVersionsAreRemovedAtStartUp)
{
    StorePlayers({{"old", "1.0.0.50"}, {"new", "2.0.0.0"}, {"none", ""}, {"mid", "1.1.0.0"}, {"edge", "1.0.0.77"}},
                 3);
    Create();
    EXPECT_EQ(Names(), (std::vector<std::string>{"new", "mid", "edge"}));
    // The current player stays the same person although the players before
    // him moved down, and his progress is intact.
    EXPECT_STREQ(mSettings->GetCurrentUserName().c_str(), "mid");
    EXPECT_EQ(mSettings->GetCareerCash(), 103);
    // The removal was saved.
    Create();
    EXPECT_EQ(Names(), (std::vector<std::string>{"new", "mid", "edge"}));
}

TEST_F(Players, RemovingTheCurrentOldProfileSelectsTheOneBefore)
{
    StorePlayers({{"keep", "2.0.0.0"}, {"old", "1.0.0.1"}}, 1);
    Create();
    EXPECT_EQ(Names(), (std::vector<std::string>{"keep"}));
    EXPECT_EQ(mSettings->GetCurrentUser(), 0);
    StopPlatform();
    StartPlatform();
    StorePlayers({{"old", "0.0.0.3"}}, 0);
    Create();
    EXPECT_EQ(mSettings->GetNumUsers(), 0);
    EXPECT_EQ(mSettings->GetCurrentUser(), -1);
}

TEST_F(Players, AStoredCurrentPlayerThatDoesNotExistMeansNone)
{
    StorePlayers({{"Ann", "2.0.0.0"}}, 4);
    Create();
    EXPECT_EQ(mSettings->GetCurrentUser(), -1);
    mSettings->SetCareerCash(5);
    EXPECT_EQ(mSettings->GetNumUsers(), 1);  // no empty profiles made
}

TEST_F(Players, ScriptsManagePlayersThroughTheirFunctions)
{
    Create();
    EXPECT_EQ(Lua("CreateNewUser('Ann') CreateNewUser('Bob') gProbe = GetNumUsers()"), "2");
    EXPECT_EQ(Lua("SetCurrentUser(0, false) gProbe = IsNameInUse('Bob')"), "true");
    EXPECT_EQ(Lua("ChangeCurrentUserName('Al') gProbe = IsNameInUse('Al')"), "false");
    EXPECT_STREQ(mSettings->GetUserName(0).c_str(), "Al");
    EXPECT_EQ(Lua("DeleteUser(1) gProbe = GetNumUsers()"), "1");
    EXPECT_EQ(Lua("SetCurrentGameMode(1) SetCurrentLevel(2) gProbe = GetCurrentGameMode() .. GetCurrentLevel()"), "12");
    EXPECT_EQ(Lua("UnlockLevel(0, 4) gProbe = GetNumUnlockedLevels()"), "5");
    EXPECT_EQ(Lua("gProbe = EnterQuessasCloset() and not EnterQuessasCloset()"), "true");
    EXPECT_EQ(Lua("gProbe = HasCheckedLoadGame()"), "false");
    EXPECT_EQ(Lua("CheckedLoadGame() gProbe = HasCheckedLoadGame()"), "true");
    EXPECT_EQ(Lua("gProbe = ShowBonusUnlockedDialog()"), "false");
    // A wrong argument type is a Lua error inside the script, not a crash.
    EXPECT_NE(Lua("gProbe = nil CreateNewUser({})").find("bad argument"), std::string::npos);
    EXPECT_EQ(mSettings->GetNumUsers(), 1);
    // Without a settings object the functions do nothing.
    TSettings::DeleteSettings();
    mSettings = nullptr;
    EXPECT_NE(Lua("gProbe = GetNumUsers()").find("without a settings object"), std::string::npos);
}

}  // namespace
