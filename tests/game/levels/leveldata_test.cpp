// The game's own level data, played headless: every career level's schedule
// runs to closing, every party fits a table of its floor and is of a known
// customer type, and the floor has room and time for most of its parties.
// (Whether its goal is in reach is played out by the bots of
// levelbots_test.cpp.) The endless shifts and the configuration files are
// checked alike.
#include "levelmanager_fixture.h"

#include "engine/base/xml.h"
#include "game/levels/levelrecord.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>

namespace fs = std::filesystem;

namespace {

constexpr float kFrame = 1.0f / 60.0f;

// The test player. Each party costs the waitress six walks (order, ticket,
// food pick-up, serving, check, dishes) of 1.5 s each (300 px/s over half
// the floor) and holds its table while it decides, waits for its food, eats
// and pays (its own deciding and eating times plus 15 s). She keeps serving
// for a minute after the last arrival.
constexpr float kWaitressSecondsPerParty = 6 * 1.5f;
constexpr float kTableSecondsBesidesMeal = 15.0f;
constexpr float kServiceTail = 60.0f;

class LevelData : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        for (const char* folder : {"config", "layouts"})
            fs::copy(fs::path(QM_DATA_DIR) / "assets" / folder, mHome / "assets" / folder,
                     fs::copy_options::recursive);
        StartWithSettings();
        TXmlNode points;
        points.ParseString(TSettings::ReadEncryptedFile("assets/config/actionpoints.xml").c_str());
        const TXmlNode* table = points.GetChild("dataroot") ? points.GetChild("dataroot")->GetChild("actionpoints") : nullptr;
        ASSERT_NE(table, nullptr);
        for (const char* key : {"ticket", "food", "check", "dishes"})
            mPlainPartyPoints += table->GetChildContent(key).to_int();
    }

    void PlaceAt(int restaurant, int level)
    {
        mSettings->SetCurrentRestaurant(restaurant);
        mSettings->SetCurrentLevel(level);
    }

    int mPlainPartyPoints = 0;
};


// One level's schedule, as the settings place it, run to closing: every
// party fits a table of its floor and is of a known type, and the floor has
// room and time for them all; `label` names it in the table printed.
void CheckLevelSchedule(const std::string& label)
{
    RecordingPartyFactory factory;
    testing::internal::CaptureStderr();
    TLevelManager levels(TLevelManager::kCareer, &factory);
    std::vector<TTableDesc> tables;
    std::optional<TBarDesc> bar;
    levels.SetupTables(&tables, &bar);
    levels.StartLevel();
    std::list<TParty*> line;
    int frames = 0;
    float t = 0;
    while (!levels.IsClosed() && t < levels.GetLevelLength() + kServiceTail) {
        t = static_cast<float>(++frames) / 60.0f;
        levels.UpdateQueue(kFrame, &line);
    }
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(levels.IsLevelDefined());
    EXPECT_EQ(log.find("not defined"), std::string::npos) << log;
    EXPECT_EQ(log.find("layouts/"), std::string::npos) << log;  // its layout exists

    // Each arrival waits for the first frame after its delay: one frame
    // per group (and float rounding of the frame sums) is the most the
    // closing may run over the level length.
    const int groups = static_cast<int>(factory.orders.size());
    EXPECT_TRUE(levels.IsClosed());
    EXPECT_LE(t, levels.GetLevelLength() + groups * kFrame + 0.01f);
    ASSERT_GE(tables.size(), 2u);

    int largest = 0;
    for (const TTableDesc& table : tables)
        largest = std::max(largest, table.seats);
    const float window = levels.GetLevelLength() + kServiceTail;
    float tableSeconds = window * static_cast<float>(tables.size());
    const int byWaitress = static_cast<int>(window / kWaitressSecondsPerParty);
    int served = 0;
    for (const TPartyOrder& order : factory.orders) {
        EXPECT_LE(order.size, largest) << order.def.graphicType;
        EXPECT_GT(order.def.graphicType[0], 0);
        const float meal = (order.def.states[1].durationMS + order.def.states[4].durationMS) / 1000.0f +
                           kTableSecondsBesidesMeal;
        if (served < byWaitress && tableSeconds >= meal) {
            tableSeconds -= meal;
            served += 1;
        }
    }
    std::printf("%8s %7d %9.1f %9.1f %6zu %5d %8d\n", label.c_str(), groups, levels.GetLevelLength(), t,
                tables.size(), levels.GetCurrentGoal(), served);
    EXPECT_GT(levels.GetCurrentGoal(), 0);
    EXPECT_EQ(served, groups) << "the floor has no room or time for every party";
    EXPECT_GT(levels.GetCurrentExpert(), levels.GetCurrentGoal());
}

TEST_F(LevelData, EveryCareerLevelClosesInTimeWithRoomForItsParties)
{
    std::printf("   level parties length(s) closed(s) tables  goal servable\n");
    for (int number = 1; number <= NUM_CAREER_LEVELS; ++number) {
        SCOPED_TRACE("career level " + std::to_string(number));
        int restaurant = 0, level = 0;
        TSettings::LevelToRestaurantAndLevel(number - 1, &restaurant, &level);
        PlaceAt(restaurant, level);
        CheckLevelSchedule(std::to_string(number));
    }
}

// The extra levels are level files of their own, read as a downloaded level
// is: each has room for its parties in the same way, in the restaurant it
// names.
TEST_F(LevelData, EveryExtraLevelClosesInTimeWithRoomForItsParties)
{
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(mHome / "assets/config/levels"))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 1u);
    std::printf("   extra parties length(s) closed(s) tables  goal servable\n");
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        mSettings->SetLevelMode(1);
        mSettings->SetDownloadLevelName(str(("assets/config/levels/" + file).c_str()));
        mSettings->SetLevelInfoToDownloadLevel();
        EXPECT_LE(mSettings->GetCurrentRestaurant(), 4);
        CheckLevelSchedule(file.substr(0, file.find('.')));
    }
    mSettings->SetLevelMode(0);
}

TEST_F(LevelData, EveryEndlessShiftSchedulesPartiesAndGrowsItsFloor)
{
    mSettings->SetCurrentGameMode(TSettings::kEndlessMode);
    mPlatform->SeedRand(1);
    for (int restaurant = 0; restaurant < 5; ++restaurant) {
        for (int difficulty = 0; difficulty < 3; ++difficulty) {
            SCOPED_TRACE("endless " + std::to_string(restaurant) + "/" + std::to_string(difficulty));
            PlaceAt(restaurant, difficulty);
            RecordingPartyFactory factory;
            testing::internal::CaptureStderr();
            TLevelManager levels(TLevelManager::kEndless, &factory);
            std::vector<TTableDesc> tables;
            std::optional<TBarDesc> bar;
            levels.MergeLayouts(&tables, &bar);
            const size_t startTables = tables.size();
            while (levels.TableUpgradeAvailable())
                levels.TableUpgrade(&tables, &bar);
            levels.StartLevel();
            std::list<TParty*> line;
            for (int section = 0; section < 6; ++section) {
                for (float t = 0; t < 60; t += kFrame)
                    levels.UpdateQueue(kFrame, &line);
                levels.GoalReached();
            }
            const std::string log = testing::internal::GetCapturedStderr();
            ASSERT_TRUE(levels.IsLevelDefined());
            EXPECT_EQ(log.find("not defined"), std::string::npos) << log;
            EXPECT_EQ(log.find("layouts/"), std::string::npos) << log;
            EXPECT_GE(startTables, 2u);
            EXPECT_GT(tables.size(), startTables);
            EXPECT_GT(factory.orders.size(), 20u);
            EXPECT_GT(levels.GetCurrentGoal(), 0);
            EXPECT_FALSE(levels.GetLevelIntroText().length() == 0);
            for (const TPartyOrder& order : factory.orders)
                EXPECT_LE(order.size, 4);
        }
    }
}

TEST_F(LevelData, CustomerTypesDressAllThirteenFigures)
{
    const std::set<std::string> figures = {"old_male", "young_female", "bookworm_female", "cellphone_male",
                                           "business_female", "fitness_female", "mom_female", "dad_male",
                                           "kid_male", "lovebird_female", "lovebird_male", "tourist_female",
                                           "tourist_male"};
    TCustomerSettings customers;
    std::set<std::string> worn;
    for (const char* id : {"young", "old", "business", "bookworm", "cellphone", "fitness", "family", "lovebirds",
                           "tourists"}) {
        const TCustomerDef def = customers.CreateCustomerDefinition(id);
        ASSERT_EQ(def.minStatePeriodMS, 1000.0f) << id;
        EXPECT_GT(def.states[0].madMS, 0.0f) << id;
        const int members = std::max(1, customers.GetNumGraphicOverrides(id));
        for (int i = 0; i < std::min(members, kCustomerGraphicOverrides); ++i)
            worn.insert(def.graphicOverride[i]);
    }
    EXPECT_EQ(worn, figures);
}

TEST_F(LevelData, GlobalSettingsCarryTheFloorAndStaffKeys)
{
    TXmlNode global;
    global.ParseString(TSettings::ReadEncryptedFile("assets/config/global.xml").c_str());
    const TXmlNode* root = global.GetChild("dataroot");
    ASSERT_NE(root, nullptr);
    const TXmlNode* globals = root->GetChild("globals");
    ASSERT_NE(globals, nullptr);
    for (const char* key : {"highChairPatience", "phoneRingLength", "foodReadyMS", "closingTimeMS", "foodColdMS",
                            "benchHeartBoost", "benchPatienceMultiplier", "drinkRefreshMS", "drinkMood",
                            "waiterSpeed", "highchairboost", "entertainerTime", "phoneChargeTime",
                            "podiumChargeTime", "podiumActiveTime", "podiumDelayTime", "podiumMoodBoost"})
        EXPECT_NE(globals->GetChild(key), nullptr) << key;
    EXPECT_GT(globals->GetChildContent("podiumChargeTime").to_int(), 0);
    EXPECT_GT(globals->GetChildContent("podiumMoodBoost").to_int(), 0);
}

}  // namespace

// Every career level file is in the one level file layout: its record,
// read and written again, gives the file's bytes back (the generator and
// the level editor write through the same layout).
TEST(LevelRecord, EveryShippedCareerLevelIsWrittenBackByteForByte)
{
    for (int number = 1; number <= 50; ++number) {
        const fs::path path = fs::path(QM_DATA_DIR) / "assets/config/career" / (std::to_string(number) + ".xml");
        std::ifstream in(path, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        TXmlNode document;
        document.ParseString(text.c_str());
        TXmlNode* root = document.GetChild("dataroot");
        TXmlNode* career = root ? root->GetChild("career") : nullptr;
        ASSERT_NE(career, nullptr) << path;
        const TCareerLevelRecord record = TCareerLevelRecord::Read(*career);
        EXPECT_EQ(record.level, number);
        EXPECT_FALSE(record.groups.empty()) << path;
        EXPECT_EQ(record.Write(), text) << path;
    }
}

TEST(LevelRecord, KeepsWhatItHasNoFieldForAndDropsOnlyTrailingEmptySlots)
{
    TXmlNode document;
    document.ParseString("<dataroot><career><level>3</level><groupDef2>rr</groupDef2><time1>500</time1>"
                         "<groupType1>young</groupType1><groupDef1>b</groupDef1><time2>900</time2>"
                         "<groupType2>old</groupType2><time3>0</time3><groupType3></groupType3>"
                         "<mystery>42</mystery><goal>100</goal><goal>999</goal><newchef>1.5</newchef>"
                         "<brokenarm>1</brokenarm><flashlight>0</flashlight></career></dataroot>");
    const TCareerLevelRecord record = TCareerLevelRecord::Read(*document.GetChild("dataroot")->GetChild("career"));
    EXPECT_EQ(record.goal, 999);  // the later counts; the earlier is not kept
    EXPECT_FALSE(record.leavePenalty.has_value());
    ASSERT_EQ(record.groups.size(), 2u);
    EXPECT_EQ(record.groups[1].def, "rr");
    EXPECT_EQ(record.Write(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dataroot>\n    <career>\n"
              "        <level>3</level>\n        <goal>999</goal>\n        <expert>0</expert>\n"
              "        <layout></layout>\n        <snackChance>0</snackChance>\n"
              "        <brokenarm>1</brokenarm>\n        <newchef>1.5</newchef>\n"
              "        <time1>500</time1>\n        <groupType1>young</groupType1>\n        <groupDef1>b</groupDef1>\n"
              "        <time2>900</time2>\n        <groupType2>old</groupType2>\n        <groupDef2>rr</groupDef2>\n"
              "        <mystery>42</mystery>\n"
              "    </career>\n</dataroot>\n");
}

// The layouts the shipped levels name: each career level's <layout> and the
// endless shifts' <layout>, <layout1>, ...
std::set<std::string> NamedLayouts()
{
    const std::regex tag("<layout[0-9]*>([^<]+)</layout[0-9]*>");
    std::set<std::string> names;
    std::vector<fs::path> files{fs::path(QM_DATA_DIR) / "assets/config/endless.xml"};
    for (const auto& entry : fs::directory_iterator(fs::path(QM_DATA_DIR) / "assets/config/career"))
        files.push_back(entry.path());
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        for (auto it = std::sregex_iterator(text.begin(), text.end(), tag); it != std::sregex_iterator(); ++it)
            names.insert((*it)[1]);
    }
    return names;
}

// Every shipped layout is what the level editor writes for the floor it
// reads from it: the generator's layouts and the editor's are one format.
// Every layout a shipped level names is among them.
TEST_F(LevelData, EveryShippedLayoutIsWrittenBackByTheEditorsWriterByteForByte)
{
    std::set<std::string> checked;
    for (const auto& entry : fs::directory_iterator(fs::path(QM_DATA_DIR) / "assets/layouts")) {
        if (entry.path().extension() != ".txt")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        TLevelLayout layout;
        layout.OpenLevel(entry.path().stem().string().c_str());
        std::vector<TTableDesc> tables;
        std::optional<TBarDesc> bar;
        layout.SetupTables(&tables, &bar);
        const std::string grid =
            TLevelLayout::GetLayoutStr(tables, bar ? &*bar : nullptr, layout.GetStations()).c_str();
        std::string lines;  // as SaveLayout writes it
        for (int row = 0; row < kLayoutRows; ++row)
            lines += grid.substr(static_cast<size_t>(row * kLayoutColumns), kLayoutColumns) + "\n";
        EXPECT_EQ(lines, text) << entry.path();
        checked.insert(entry.path().stem().string());
    }
    const std::set<std::string> named = NamedLayouts();
    EXPECT_FALSE(named.empty());
    for (const std::string& name : named)
        EXPECT_TRUE(checked.count(name)) << "assets/layouts/" << name << ".txt, named by a level, is missing";
}
