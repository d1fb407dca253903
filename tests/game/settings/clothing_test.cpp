// The wardrobe catalogue read from clothing.xml: entries as written, which
// entry decides availability, the items awarded at the current level, and
// missing or damaged files.
#include "settings_fixture.h"

#include "engine/base/prefs.h"
#include "game/settings/clothing.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class Clothing : public SettingsWithPlayerTest {
protected:
    void WriteCatalogue(const std::string& bytes)
    {
        fs::create_directories(mHome / "assets/config");
        std::ofstream(mHome / "assets/config/clothing.xml", std::ios::binary) << bytes;
    }
    void UnlockLevels(int count) { mSettings->GetPrefs()->SetInt("levelsunlocked", count, 0, true); }
    void GoToLevel(int overall)
    {
        mSettings->SetCurrentRestaurant(overall / 10);
        mSettings->SetCurrentLevel(overall % 10);
    }
};

const char* const kCatalogue =
    "<?xml version=\"1.0\"?>\n<clothing>\n"
    "<item name=\"cl_apron\" file=\"apron\"/>\n"
    "<item name=\"cl_hat\" file=\"hat\" color=\"red\" unlock=\"12\"/>\n"
    "<other name=\"cl_skip\" file=\"skip\"/>\n"
    "<item name=\"cl_scarf\" file=\"scarf\" color=\"\" unlock=\"12\"/>\n"
    "<item name=\"cl_boots\" file=\"boots\" color=\"all\" unlock=\"20\"/>\n"
    "<item name=\"cl_boots2\" file=\"boots\" color=\"blue\" unlock=\"0\"/>\n"
    "</clothing>\n";

TEST_F(Clothing, EntriesAreReadInFileOrder)
{
    WriteCatalogue(kCatalogue);
    GoToLevel(12);
    TClothing catalogue;
    EXPECT_EQ(catalogue.GetNumItems(), 5);  // "other" is skipped

    TClothingItem* hat = catalogue.GetUnlockedItem(0);
    ASSERT_NE(hat, nullptr);
    EXPECT_STREQ(hat->name.c_str(), "cl_hat");
    EXPECT_STREQ(hat->file.c_str(), "hat");
    EXPECT_STREQ(hat->icon.c_str(), "quessascloset/icons/hat");
    EXPECT_STREQ(hat->color.c_str(), "red");
    EXPECT_EQ(hat->unlock, 12);
    // A present but empty colour counts as "all".
    TClothingItem* scarf = catalogue.GetUnlockedItem(1);
    ASSERT_NE(scarf, nullptr);
    EXPECT_STREQ(scarf->color.c_str(), "all");
    EXPECT_EQ(catalogue.GetUnlockedItem(2), nullptr);
    EXPECT_EQ(catalogue.GetUnlockedItem(-1), nullptr);

    const TClothingItem copy = *scarf;
    EXPECT_STREQ(copy.icon.c_str(), "quessascloset/icons/scarf");
}

TEST_F(Clothing, AnItemOfLevel12OpensWith13LevelsUnlocked)
{
    WriteCatalogue(kCatalogue);
    TClothing catalogue;
    UnlockLevels(12);
    EXPECT_FALSE(catalogue.GetStatus("hat", "red"));
    EXPECT_FALSE(catalogue.GetStatus("scarf", "green"));
    UnlockLevels(13);
    EXPECT_TRUE(catalogue.GetStatus("hat", "red"));
    EXPECT_FALSE(catalogue.GetStatus("hat", "blue"));  // listed for red only
    EXPECT_FALSE(catalogue.GetStatus("Hat", "red"));   // names match exactly
    // "all" (and an empty colour) answer for every colour.
    EXPECT_TRUE(catalogue.GetStatus("scarf", "green"));
    EXPECT_TRUE(catalogue.GetStatus("scarf", "red"));
}

TEST_F(Clothing, AlwaysAvailableItemsAndTheFirstEntryDecides)
{
    WriteCatalogue(kCatalogue);
    TClothing catalogue;
    UnlockLevels(5);
    EXPECT_TRUE(catalogue.GetStatus("apron", "pink"));
    // The "all" entry with unlock 20 comes first, so the blue one is never consulted.
    EXPECT_FALSE(catalogue.GetStatus("boots", "blue"));
    EXPECT_FALSE(catalogue.GetStatus("gloves", "all"));
    EXPECT_FALSE(catalogue.GetStatus("skip", "red"));

    // Level 0 awards the entries with unlock 0 or none.
    GoToLevel(0);
    TClothingItem* first = catalogue.GetUnlockedItem(0);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->file.c_str(), "apron");
    TClothingItem* second = catalogue.GetUnlockedItem(1);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->name.c_str(), "cl_boots2");
    EXPECT_EQ(catalogue.GetUnlockedItem(2), nullptr);
}

TEST_F(Clothing, ReadsTheEncipheredSibling)
{
    fs::create_directories(mHome / "assets/config");
    std::ofstream(mHome / "assets/config/clothing.bin", std::ios::binary)
        << TSettings::EncryptString("<clothing><item name=\"n\" file=\"vest\"/></clothing>").c_str();
    TClothing catalogue;
    EXPECT_EQ(catalogue.GetNumItems(), 1);
    EXPECT_TRUE(catalogue.GetStatus("vest", "red"));
}

TEST_F(Clothing, MissingOrDamagedFilesGiveAnEmptyCatalogue)
{
    {
        testing::internal::CaptureStderr();
        TClothing catalogue;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("clothing.xml"), std::string::npos);
        EXPECT_EQ(catalogue.GetNumItems(), 0);
        EXPECT_FALSE(catalogue.GetStatus("apron", "all"));
        EXPECT_EQ(catalogue.GetUnlockedItem(0), nullptr);
    }
    for (const std::string& bytes : {std::string("garbage"), std::string("<clothing><item file=\"a"),
                                     std::string("\xff\xfe<<&&>>", 8), std::string("<wardrobe><item file=\"a\"/></wardrobe>")}) {
        WriteCatalogue(bytes);
        testing::internal::CaptureStderr();
        TClothing catalogue;
        testing::internal::GetCapturedStderr();
        catalogue.GetStatus("a", "all");
        catalogue.GetUnlockedItem(0);
    }
    // Unlock values that are not numbers read as 0: always available.
    WriteCatalogue("<clothing><item file=\"cap\" unlock=\"soon\"/><item file=\"belt\"/></clothing>");
    TClothing catalogue;
    EXPECT_TRUE(catalogue.GetStatus("cap", "red"));
    EXPECT_TRUE(catalogue.GetStatus("belt", "red"));
}

}  // namespace
