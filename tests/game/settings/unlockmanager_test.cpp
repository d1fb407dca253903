// Unlock rules of unlocks.xml against the player's progress: level and
// score conditions, expert restaurants, outfit colours, and the rules newly
// met since the last snapshot (also as seen from Lua).
#include "settings_fixture.h"

#include "game/settings/unlockmanager.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class Unlocks : public SettingsWithPlayerTest {
protected:
    void TearDown() override
    {
        TUnlockManager::Free();
        SettingsTest::TearDown();
    }
    TUnlockManager* Load(const std::string& rules)
    {
        fs::create_directories(mHome / "assets/config");
        std::ofstream(mHome / "assets/config/unlocks.xml", std::ios::binary)
            << "<?xml version=\"1.0\"?>\n<unlocks>\n" << rules << "</unlocks>\n";
        return TUnlockManager::Create();
    }
    // Finishes overall levels 0..count-1 with that score.
    void Finish(int count, int score, bool expert)
    {
        for (int n = 0; n < count; ++n)
            mSettings->RecordLevelScore(n / 10, n % 10, score, expert);
    }
};

TEST_F(Unlocks, ALevelAndItsBestScore)
{
    TUnlockManager* unlocks = Load("<unlock type=\"level\" name=\"pack\" level=\"10\" levelscore=\"5000\"/>\n");
    EXPECT_FALSE(unlocks->IsItemUnlocked(TUnlockManager::kLevel, "pack", 0));
    EXPECT_FALSE(unlocks->IsAnyLevelUnlocked());
    Finish(10, 4999, false);  // level 11 open, but level 10 scored too low
    EXPECT_FALSE(unlocks->IsItemUnlocked(TUnlockManager::kLevel, "pack", 0));
    mSettings->RecordLevelScore(0, 9, 5000, false);
    EXPECT_TRUE(unlocks->IsItemUnlocked(TUnlockManager::kLevel, "pack", 0));
    EXPECT_TRUE(unlocks->IsAnyLevelUnlocked());
    // Items no rule names, or named under another type, are open.
    EXPECT_TRUE(unlocks->IsItemUnlocked(TUnlockManager::kLevel, "other", 0));
    EXPECT_TRUE(unlocks->IsItemUnlocked(TUnlockManager::kOutfit, "pack", 0));
}

TEST_F(Unlocks, AfterTheCareerOnlyTheScorePartCounts)
{
    TUnlockManager* unlocks = Load("<unlock type=\"level\" name=\"a\" level=\"30\"/>\n"
                                   "<unlock type=\"level\" name=\"b\" level=\"30\" levelscore=\"100\"/>\n");
    mSettings->BeatGame();
    EXPECT_TRUE(unlocks->IsItemUnlocked(TUnlockManager::kLevel, "a", 0));
    EXPECT_FALSE(unlocks->IsItemUnlocked(TUnlockManager::kLevel, "b", 0));
    mSettings->RecordLevelScore(2, 9, 100, false);
    EXPECT_TRUE(unlocks->IsItemUnlocked(TUnlockManager::kLevel, "b", 0));
}

TEST_F(Unlocks, CareerScoreAndExpertRestaurant)
{
    TUnlockManager* unlocks = Load("<unlock type=\"outfit\" name=\"gown\" score=\"3000\"/>\n"
                                   "<unlock type=\"outfit\" name=\"crown\" restaurantexpert=\"2\"/>\n");
    Finish(10, 200, true);  // restaurant index 0 on expert, career score 2000
    EXPECT_FALSE(unlocks->IsItemUnlocked(TUnlockManager::kOutfit, "gown", 0));
    EXPECT_FALSE(unlocks->IsItemUnlocked(TUnlockManager::kOutfit, "crown", 0));
    for (int level = 0; level < 9; ++level)
        mSettings->RecordLevelScore(1, level, 100, true);
    EXPECT_FALSE(unlocks->IsItemUnlocked(TUnlockManager::kOutfit, "crown", 0));  // nine of ten
    EXPECT_FALSE(unlocks->IsItemUnlocked(TUnlockManager::kOutfit, "gown", 0));  // 2900
    mSettings->RecordLevelScore(1, 9, 100, true);
    EXPECT_TRUE(unlocks->IsItemUnlocked(TUnlockManager::kOutfit, "crown", 0));
    EXPECT_TRUE(unlocks->IsItemUnlocked(TUnlockManager::kOutfit, "gown", 0));  // 3000
}

TEST_F(Unlocks, OutfitColours)
{
    TUnlockManager* unlocks = Load("<unlock type=\"outfit\" name=\"hat\" color=\"2\" level=\"5\"/>\n"
                                   "<unlock type=\"outfit\" name=\"hat\" color=\"\" level=\"40\"/>\n"
                                   "<unlock type=\"outfit\" name=\"cap\" color=\"1\" level=\"5\"/>\n");
    EXPECT_FALSE(unlocks->IsItemUnlocked(TUnlockManager::kOutfit, "hat", 2));
    EXPECT_FALSE(unlocks->IsItemUnlocked(TUnlockManager::kOutfit, "hat", 3));  // the every-colour rule
    // Only a rule of another colour: open.
    EXPECT_TRUE(unlocks->IsItemUnlocked(TUnlockManager::kOutfit, "cap", 0));
    Finish(5, 10, false);
    EXPECT_TRUE(unlocks->IsItemUnlocked(TUnlockManager::kOutfit, "hat", 2));
    EXPECT_FALSE(unlocks->IsItemUnlocked(TUnlockManager::kOutfit, "hat", 3));
    EXPECT_TRUE(unlocks->IsItemUnlocked(TUnlockManager::kOutfit, "cap", 1));
}

// What a locked item shows the player comes from its deciding rule: the level
// to finish, and nothing when the rule asks for more (a best score, a career
// score, expert play) or no rule names the item.
TEST_F(Unlocks, TheLevelToFinishIsTheDecidingRulesLevelAlone)
{
    TUnlockManager* unlocks = Load("<unlock type=\"level\" name=\"harbour\" level=\"10\"/>\n"
                                   "<unlock type=\"level\" name=\"harbour\" level=\"30\"/>\n"
                                   "<unlock type=\"outfit\" name=\"express\" level=\"20\"/>\n"
                                   "<unlock type=\"level\" name=\"gold\" level=\"10\" levelscore=\"5000\"/>\n"
                                   "<unlock type=\"level\" name=\"rich\" level=\"10\" score=\"9000\"/>\n"
                                   "<unlock type=\"level\" name=\"chef\" restaurantexpert=\"1\"/>\n");
    EXPECT_EQ(unlocks->LevelToFinish(TUnlockManager::kLevel, "harbour"), 10);  // the first rule decides
    EXPECT_EQ(unlocks->LevelToFinish(TUnlockManager::kOutfit, "express"), 20);
    EXPECT_EQ(unlocks->LevelToFinish(TUnlockManager::kLevel, "express"), 0);  // another type's rule
    for (const char* more : {"gold", "rich", "chef", "nobody"})
        EXPECT_EQ(unlocks->LevelToFinish(TUnlockManager::kLevel, more), 0) << more;
    Finish(10, 100, false);
    EXPECT_TRUE(unlocks->IsItemUnlocked(TUnlockManager::kLevel, "harbour", 0));
    EXPECT_EQ(unlocks->LevelToFinish(TUnlockManager::kLevel, "harbour"), 10) << "the rule stays what it is";
}

TEST_F(Unlocks, NewlyMetRulesAreReportedOnce)
{
    TUnlockManager* unlocks = Load("<unlock type=\"level\" name=\"free\"/>\n"
                                   "<note name=\"skipped\"/>\n"
                                   "<unlock type=\"outfit\" name=\"vest\" level=\"2\"/>\n"
                                   "<unlock type=\"odd\" name=\"thing\" level=\"2\"/>\n");
    // Before the first snapshot every met rule is new.
    EXPECT_TRUE(unlocks->IsSomethingNewUnlocked());
    TUnlockManager::EUnlockType type = TUnlockManager::kOutfit;
    str name;
    ASSERT_TRUE(unlocks->GetNextUnlockedItem(&type, &name));
    EXPECT_EQ(type, TUnlockManager::kLevel);
    EXPECT_STREQ(name.c_str(), "free");
    EXPECT_FALSE(unlocks->GetNextUnlockedItem(&type, &name));

    unlocks->MarkCurrentState();
    EXPECT_FALSE(unlocks->IsSomethingNewUnlocked());
    Finish(2, 10, false);
    EXPECT_TRUE(unlocks->IsSomethingNewUnlocked());
    EXPECT_STREQ(Lua("gProbe = IsSomethingNewUnlocked()").c_str(), "true");
    ASSERT_TRUE(unlocks->GetNextUnlockedItem(&type, &name));
    EXPECT_EQ(type, TUnlockManager::kOutfit);
    EXPECT_STREQ(name.c_str(), "vest");
    ASSERT_TRUE(unlocks->GetNextUnlockedItem(nullptr, nullptr));
    EXPECT_FALSE(unlocks->GetNextUnlockedItem(&type, &name));
    EXPECT_FALSE(unlocks->IsSomethingNewUnlocked());
    EXPECT_STRNE(Lua("gProbe = IsSomethingNewUnlocked()").c_str(), "true");

    EXPECT_STREQ(TUnlockManager::TypeToStr(0).c_str(), "level");
    EXPECT_STREQ(TUnlockManager::TypeToStr(1).c_str(), "outfit");
    EXPECT_STREQ(TUnlockManager::TypeToStr(2).c_str(), "");
}

TEST_F(Unlocks, MissingOrDamagedFilesLockNothing)
{
    testing::internal::CaptureStderr();
    TUnlockManager* unlocks = TUnlockManager::Create();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("unlocks.xml"), std::string::npos);
    EXPECT_TRUE(unlocks->IsItemUnlocked(TUnlockManager::kLevel, "pack", 0));
    EXPECT_FALSE(unlocks->IsAnyLevelUnlocked());
    EXPECT_FALSE(unlocks->IsSomethingNewUnlocked());
    EXPECT_FALSE(unlocks->GetNextUnlockedItem(nullptr, nullptr));
    unlocks->MarkCurrentState();
    EXPECT_FALSE(unlocks->IsNodeUnlocked(nullptr));

    fs::create_directories(mHome / "assets/config");
    for (const std::string& bytes : {std::string("garbage"), std::string("<unlocks><unlock level=\"9"),
                                     std::string("\xff<&>\"", 5)}) {
        std::ofstream(mHome / "assets/config/unlocks.xml", std::ios::binary) << bytes;
        testing::internal::CaptureStderr();
        unlocks = TUnlockManager::Create();
        testing::internal::GetCapturedStderr();
        unlocks->IsItemUnlocked(TUnlockManager::kOutfit, "x", 0);
        unlocks->MarkCurrentState();
        unlocks->GetNextUnlockedItem(nullptr, nullptr);
    }
}

}  // namespace
