// The level manager on career, endless and downloaded levels: the party
// schedule on a seeded Rand, goals and sections, texts, table upgrades, the
// download-level hook and the editor's files.
#include "levelmanager_fixture.h"

#include "engine/platform/platform.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

const char* const kCareerOne =
    "<?xml version=\"1.0\"?>\n<dataroot><career><level>1</level><goal>900</goal><expert>1500</expert>"
    "<leavePenalty>300</leavePenalty><layout>floor</layout><snackChance>20</snackChance><doodle>tip</doodle>"
    "<brokenarm>1</brokenarm><flashlight>yes</flashlight><newchef>1.5</newchef><shakefreq>20</shakefreq>"
    "<time1>2000</time1><groupType1>young</groupType1><groupDef1>rb</groupDef1>"
    "<time2>5500</time2><groupType2>family</groupType2><groupDef2>gggg</groupDef2>"
    "<time3>1000</time3><groupType3>powerup_tip</groupType3><groupDef3>r</groupDef3>"
    "<time4>3000</time4><groupType4>crowd</groupType4><groupDef4>rbgyprbgy</groupDef4>"
    "<time5>1500</time5><groupType5>stranger</groupType5><groupDef5>p</groupDef5>"
    "</career></dataroot>\n";

const char* const kEndless =
    "<dataroot>\n"
    "<shift><diner>1</diner><level>3</level><numStars>4</numStars><leavePenalty>250</leavePenalty>"
    "<difficultyIncreaseMS>10000</difficultyIncreaseMS><startingTimeMultiplier>1.5</startingTimeMultiplier>"
    "<timeMultiplierDecrease>0.25</timeMultiplierDecrease><timeMultiplierMinimum>1.0</timeMultiplierMinimum>"
    "<goal1>1000</goal1><time1>3000</time1><group1_a>young</group1_a><frequency1_a>1</frequency1_a>"
    "<group1_b>family</group1_b><frequency1_b>1</frequency1_b>"
    "<goal2>1500</goal2><time2>2000</time2><group2_a>crowd</group2_a><frequency2_a>2</frequency2_a>"
    "<layout>floor</layout><layout1>bigfloor</layout1>"
    "<text><intro>Shift starts</intro><succeed>Well done</succeed><fail>Too bad</fail></text></shift>\n"
    "<shift><diner>2</diner><level>1</level><goal1>100</goal1><time1>1000</time1>"
    "<goal2>200</goal2><time2>1000</time2><group2_c>young</group2_c><frequency2_c>3</frequency2_c>"
    "<layout>floor</layout></shift>\n"
    "</dataroot>\n";

struct Arrival {
    float time;
    TPartyOrder order;
};

// Runs the schedule in frames of 1/8 s (exact in binary) until the level
// closes or `limit` seconds pass.
std::vector<Arrival> RunSchedule(TLevelManager& levels, RecordingPartyFactory& factory, float limit,
                                 std::list<TParty*>* line)
{
    std::vector<Arrival> arrivals;
    for (float t = 0.125f; t <= limit; t += 0.125f) {
        if (levels.UpdateQueue(0.125f, line))
            arrivals.push_back({t, factory.orders.back()});
        if (levels.IsClosed())
            break;
    }
    return arrivals;
}

std::vector<int> Colors(const TPartyOrder& order)
{
    return std::vector<int>(order.colors.begin(), order.colors.begin() + order.size);
}

class CareerLevels : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        WriteCustomerTypes();
        WriteFloor();
        WriteFile("assets/config/career/1.xml", kCareerOne);
        StartWithSettings();
    }
};

TEST_F(CareerLevels, ScheduleGivesExactDelaysTypesColoursAndClosingTime)
{
    // This folder has no arrive sound: the parties come all the same.
    testing::internal::CaptureStderr();
    TLevelManager levels(TLevelManager::kCareer, &mFactory);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("sfx_party_arrive_1_snd.ogg: not found"), std::string::npos);
    EXPECT_TRUE(levels.IsLevelDefined());
    EXPECT_EQ(levels.GetCurrentGoal(), 900);
    EXPECT_EQ(levels.GetCurrentExpert(), 1500);
    EXPECT_EQ(levels.GetLeavePenalty(), -300);
    EXPECT_EQ(levels.GetSnackChance(), 20);
    EXPECT_FLOAT_EQ(levels.GetLevelLength(), 13.0f);
    EXPECT_EQ(std::string(levels.GetDoodle().c_str()), "tip");
    EXPECT_TRUE(levels.GetBrokenArm());
    EXPECT_FALSE(levels.GetFlashLight());  // only "1" sets a flag
    EXPECT_FLOAT_EQ(levels.GetNewChefValue(), 1.5f);
    float freq = 0, length = 0, spill = 0;
    levels.GetShakeValue(&freq, &length, &spill);
    EXPECT_FLOAT_EQ(freq, 20.0f);
    EXPECT_FLOAT_EQ(length, 0.0f);

    levels.StartLevel();
    EXPECT_FLOAT_EQ(levels.GetNextGroupDelay(), 2.0f);
    std::list<TParty*> line;
    testing::internal::CaptureStderr();
    const std::vector<Arrival> arrivals = RunSchedule(levels, mFactory, 60, &line);
    const std::string log = testing::internal::GetCapturedStderr();

    // Each group arrives on the first frame after its delay has passed; the
    // power-up slot's own time is skipped with it.
    ASSERT_EQ(arrivals.size(), 4u);
    const float times[] = {2.125f, 7.75f, 10.875f, 12.5f};
    const char* graphics[] = {"young_female", "dad_male", "old_male", "young_female"};
    const std::vector<std::vector<int>> colors = {{0, 1}, {2, 2, 2}, {0, 1, 2, 3, 4, 0, 1, 2}, {4}};
    for (size_t i = 0; i < arrivals.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(arrivals[i].time, times[i]);
        EXPECT_EQ(arrivals[i].order.id, static_cast<int>(i));
        EXPECT_EQ(Colors(arrivals[i].order), colors[i]);
        EXPECT_EQ(arrivals[i].order.snackChance, 20);
        EXPECT_FLOAT_EQ(arrivals[i].order.timeMultiplier, 1.0f);
        if (i != 3) {
            EXPECT_STREQ(arrivals[i].order.def.graphicType, graphics[i]);
        }
    }
    EXPECT_TRUE(levels.IsClosed());
    EXPECT_LE(arrivals.back().time, levels.GetLevelLength());
    EXPECT_EQ(line.size(), 4u);
    EXPECT_EQ(RecordingPartyFactory::Number(line.back()), 4);

    // The family's three fixed members cut its four letters to three.
    EXPECT_STREQ(arrivals[1].order.MemberFigure(2), "mom_female");
    // Nine letters make eight members; the seventh and eighth wear the sixth figure.
    EXPECT_EQ(arrivals[2].order.MemberFigure(7), arrivals[2].order.MemberFigure(6));
    EXPECT_EQ(arrivals[2].order.MemberFigure(8), arrivals[2].order.MemberFigure(6));
    // An unknown type is logged once and keeps the one-second floor.
    EXPECT_NE(log.find("\"stranger\" is not defined"), std::string::npos) << log;
    EXPECT_FLOAT_EQ(arrivals[3].order.def.minStatePeriodMS, 1000.0f);
    EXPECT_TRUE(arrivals[3].order.def.states[0].timed);
}

TEST_F(CareerLevels, RestartPlaysTheSameScheduleAgain)
{
    TLevelManager levels(TLevelManager::kCareer, &mFactory);
    levels.StartLevel();
    std::list<TParty*> line;
    RunSchedule(levels, mFactory, 60, &line);
    levels.RestartLevel();
    levels.StartLevel();
    EXPECT_FALSE(levels.IsClosed());
    const std::vector<Arrival> again = RunSchedule(levels, mFactory, 60, &line);
    ASSERT_EQ(again.size(), 4u);
    EXPECT_EQ(again[0].order.id, 0);
    EXPECT_FLOAT_EQ(again.back().time, 12.5f);
}

TEST_F(CareerLevels, AMissingLevelFileIsRefusedNotWon)
{
    mSettings->SetCurrentRestaurant(2);
    mSettings->SetCurrentLevel(3);
    testing::internal::CaptureStderr();
    TLevelManager levels(TLevelManager::kCareer, &mFactory);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(levels.IsLevelDefined());
    EXPECT_NE(log.find("assets/config/career/24.xml is missing; career level 24 cannot be played"), std::string::npos)
        << log;
    levels.StartLevel();
    EXPECT_TRUE(levels.IsClosed());
}

TEST_F(CareerLevels, AdvancingCrossesIntoTheNextRestaurant)
{
    WriteFile("assets/config/career/11.xml",
              "<dataroot><career><level>11</level><goal>4000</goal><layout>floor</layout></career></dataroot>");
    mSettings->SetCurrentLevel(9);
    TLevelManager levels(TLevelManager::kCareer, &mFactory);
    levels.AdvanceLevel();
    EXPECT_EQ(mSettings->GetCurrentRestaurant(), 1);
    EXPECT_EQ(mSettings->GetCurrentLevel(), 0);
    EXPECT_EQ(levels.GetCurrentGoal(), 4000);
    EXPECT_EQ(std::string(levels.GetCurrentLevelStr().c_str()), "11");
}

TEST_F(CareerLevels, TextsComeFromTheStringTable)
{
    StopPlatform();
    WriteStrings({{"career_1_intro", "Welcome aboard"}, {"career_1_succeed", "Shipshape"},
                  {"career_1_fail", "Rough seas"}, {"blimpinitial", "B"},
                  {"genericwin", "You won"}, {"genericlose", "You lost"}});
    StartWithSettings();
    TLevelManager levels(TLevelManager::kCareer, &mFactory);
    EXPECT_EQ(std::string(levels.GetLevelIntroText().c_str()), "Welcome aboard");
    EXPECT_EQ(std::string(levels.GetLevelOverText(true).c_str()), "Shipshape");
    EXPECT_EQ(std::string(levels.GetLevelOverText(false).c_str()), "Rough seas");
    EXPECT_EQ(std::string(levels.GetCurrentLevelStr().c_str()), "1");
    mSettings->SetCurrentRestaurant(BONUS_RESTAURANT);
    for (int level = 0; level < NUM_BONUS_LEVELS; ++level) {
        mSettings->SetCurrentLevel(level);
        EXPECT_EQ(std::string(levels.GetCurrentLevelStr().c_str()), "B" + std::to_string(level + 1));
    }
}

// A hand-edited level file may name an element twice: the later value
// counts everywhere (schedule, flags, values, layout), and the editor's
// record keeps only that one.
TEST_F(CareerLevels, AnElementNamedTwiceCountsWithItsLaterValue)
{
    WriteFile("assets/config/career/1.xml",
              "<dataroot><career><level>1</level><goal>900</goal><goal>1200</goal><expert>1500</expert>"
              "<layout>nowhere</layout><layout>floor</layout><doodle>old</doodle><doodle>new</doodle>"
              "<brokenarm>1</brokenarm><brokenarm>0</brokenarm><startdirty>0</startdirty><startdirty>1</startdirty>"
              "<newchef>1</newchef><newchef>2.5</newchef><shakefreq>20</shakefreq><shakefreq>30</shakefreq>"
              "<time1>2000</time1><groupType1>young</groupType1><groupDef1>rb</groupDef1>"
              "<time1>3000</time1><groupDef1>ggg</groupDef1><custom>a</custom><custom>b</custom>"
              "</career></dataroot>");
    TLevelManager levels(TLevelManager::kCareer, &mFactory);
    EXPECT_TRUE(levels.IsLevelDefined()) << "the later layout is read";
    EXPECT_EQ(levels.GetCurrentGoal(), 1200);
    EXPECT_EQ(std::string(levels.GetDoodle().c_str()), "new");
    EXPECT_FALSE(levels.GetBrokenArm());
    EXPECT_TRUE(levels.GetStartDirty());
    EXPECT_FLOAT_EQ(levels.GetNewChefValue(), 2.5f);
    float freq = 0, length = 0, spill = 0;
    levels.GetShakeValue(&freq, &length, &spill);
    EXPECT_FLOAT_EQ(freq, 30.0f);
    EXPECT_FLOAT_EQ(levels.GetLevelLength(), 3.0f);
    EXPECT_EQ(levels.GetGroupTime(0), 3000);

    levels.StartLevel();
    EXPECT_FLOAT_EQ(levels.GetNextGroupDelay(), 3.0f);
    std::list<TParty*> line;
    const std::vector<Arrival> arrivals = RunSchedule(levels, mFactory, 10, &line);
    ASSERT_EQ(arrivals.size(), 1u);
    EXPECT_EQ(Colors(arrivals[0].order), (std::vector<int>{2, 2, 2}));

    // Written back: one goal, the flags as they count, both unknown copies.
    const std::string text = levels.LevelAsStr().c_str();
    EXPECT_NE(text.find("<goal>1200</goal>"), std::string::npos) << text;
    EXPECT_EQ(text.find("<goal>900</goal>"), std::string::npos) << text;
    EXPECT_EQ(text.find("brokenarm"), std::string::npos) << text;
    EXPECT_NE(text.find("<startdirty>1</startdirty>"), std::string::npos) << text;
    EXPECT_LT(text.find("<custom>a</custom>"), text.find("<custom>b</custom>")) << text;

    // The editor changes the copy that counts and clears every copy.
    levels.SetLevelValue("doodle", "edited");
    EXPECT_EQ(std::string(levels.GetDoodle().c_str()), "edited");
    levels.SetStartDirty(false);
    EXPECT_FALSE(levels.GetStartDirty());
    EXPECT_EQ(std::string(levels.LevelAsStr().c_str()).find("startdirty"), std::string::npos);
}

class EndlessLevels : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        WriteCustomerTypes();
        WriteFloor();
        WriteFloor("bigfloor");
        WriteFile("assets/layouts/bigfloor.txt",
                  "sy--------------\n----------------\n----------------\n"
                  "..r2b...r2b.....\n..g4b...........\n..r4y...........\n" +
                      std::string(7 * 17, '.'));
        WriteFile("assets/config/endless.xml", kEndless);
        StartWithSettings();
        mSettings->SetCurrentGameMode(TSettings::kEndlessMode);
        mSettings->SetCurrentLevel(2);
        mPlatform->SeedRand(7);
    }
};

TEST_F(EndlessLevels, SeededArrivalsGiveExactDelaysTypesAndColours)
{
    TLevelManager levels(TLevelManager::kEndless, &mFactory);
    EXPECT_EQ(levels.GetNumStars(), 4);
    EXPECT_EQ(levels.GetLeavePenalty(), -250);
    EXPECT_EQ(levels.GetCurrentGoal(), 1000);
    EXPECT_EQ(levels.GetCurrentExpert(), 0);
    EXPECT_FALSE(levels.IsClosed());
    levels.StartLevel();
    EXPECT_FLOAT_EQ(levels.GetNextGroupDelay(), 0.0f);  // the first group comes at once
    std::list<TParty*> line;
    const std::vector<Arrival> arrivals = RunSchedule(levels, mFactory, 12, &line);

    // Restaurant 0 uses two colours; the family always brings three.
    ASSERT_EQ(arrivals.size(), 4u);
    const float times[] = {0.125f, 3.25f, 6.375f, 9.5f};
    const char* types[] = {"dad_male", "young_female", "dad_male", "dad_male"};
    const std::vector<std::vector<int>> colors = {{1, 1, 1}, {1, 0, 1, 0}, {0, 1, 0}, {1, 0, 1}};
    for (size_t i = 0; i < arrivals.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(arrivals[i].time, times[i]);
        EXPECT_STREQ(arrivals[i].order.def.graphicType, types[i]);
        EXPECT_EQ(Colors(arrivals[i].order), colors[i]);
        EXPECT_FLOAT_EQ(arrivals[i].order.timeMultiplier, 1.5f);
    }
    // After ten seconds the parties in line grow less patient.
    RunSchedule(levels, mFactory, 1, &line);
    EXPECT_FLOAT_EQ(levels.GetTimeMultiplier(), 1.25f);
    ASSERT_FALSE(mFactory.multipliers.empty());
    EXPECT_FLOAT_EQ(mFactory.multipliers.back().second, 1.25f);
    EXPECT_EQ(mFactory.multipliers.size(), 4u);  // the parties in line at ten seconds
}

TEST_F(EndlessLevels, AnEntryNamingAValueTwiceTakesTheLaterOne)
{
    WriteFile("assets/config/endless.xml",
              "<dataroot><shift><diner>1</diner><level>1</level><level>3</level><numStars>2</numStars>"
              "<numStars>4</numStars><goal1>100</goal1><goal1>700</goal1><layout>none</layout><layout>floor</layout>"
              "<text><intro>old</intro><intro>new</intro></text></shift></dataroot>");
    TLevelManager levels(TLevelManager::kEndless, &mFactory);
    EXPECT_EQ(levels.GetNumStars(), 4);
    EXPECT_EQ(levels.GetCurrentGoal(), 700);
    EXPECT_EQ(std::string(levels.GetLevelIntroText().c_str()), "new");
    std::vector<TTableDesc> tables;
    std::optional<TBarDesc> bar;
    levels.SetupTables(&tables, &bar);
    EXPECT_FALSE(tables.empty()) << "the later layout is the floor";
}

TEST_F(EndlessLevels, EqualWeightsDrawBothChoices)
{
    TLevelManager levels(TLevelManager::kEndless, &mFactory);
    int young = 0;
    for (int i = 0; i < 200; ++i) {
        levels.ScheduleNextGroup();
        young += levels.GetNextGroupType() == str("young");
    }
    EXPECT_GT(young, 70);
    EXPECT_LT(young, 130);
}

TEST_F(EndlessLevels, GoalsMoveThroughSectionsAndShortenTheWait)
{
    TLevelManager levels(TLevelManager::kEndless, &mFactory);
    levels.StartLevel();
    levels.GoalReached();
    EXPECT_EQ(levels.GetCurrentGoal(), 2500);
    levels.GoalReached();  // past the last section its goal repeats
    levels.GoalReached();
    EXPECT_EQ(levels.GetCurrentGoal(), 5500);
    EXPECT_EQ(levels.GetGroupIndex(), 1);
    EXPECT_EQ(std::string(levels.GetCurrentLevelStr().c_str()), "4");

    // Three goals ahead of section 1 at difficulty 2: 3.0 - 3 * 0.2 * 3.
    levels.RestartLevel();
    levels.StartLevel();
    for (int i = 0; i < 3; ++i)
        levels.GoalReached();
    levels.SetSectionInfo(1, 0, 0);
    levels.RemoveLevelValue("goal2");
    levels.RestartLevel();
    levels.StartLevel();
    for (int i = 0; i < 3; ++i)
        levels.GoalReached();
    ASSERT_EQ(levels.GetGroupIndex(), 0);
    do
        levels.ScheduleNextGroup();
    while (levels.GetNextGroupType().length() == 0);
    EXPECT_FLOAT_EQ(levels.GetNextGroupDelay(), 1.2f);
    levels.SetSectionInfo(0, 1000, 2000);
    levels.ScheduleNextGroup();
    EXPECT_FLOAT_EQ(levels.GetNextGroupDelay(), 1.0f);
}

TEST_F(EndlessLevels, ASectionWithoutChoicesDoesNotEndTheArrivals)
{
    mSettings->SetCurrentRestaurant(1);
    mSettings->SetCurrentLevel(0);
    TLevelManager levels(TLevelManager::kEndless, &mFactory);
    levels.StartLevel();
    std::list<TParty*> line;
    EXPECT_TRUE(RunSchedule(levels, mFactory, 5, &line).empty());
    levels.GoalReached();
    const std::vector<Arrival> arrivals = RunSchedule(levels, mFactory, 5, &line);
    ASSERT_FALSE(arrivals.empty());
    EXPECT_STREQ(arrivals[0].order.def.graphicType, "young_female");
}

TEST_F(EndlessLevels, TextsAndTableUpgrades)
{
    TLevelManager levels(TLevelManager::kEndless, &mFactory);
    EXPECT_EQ(std::string(levels.GetLevelIntroText().c_str()), "Shift starts");
    EXPECT_EQ(std::string(levels.GetLevelOverText(true).c_str()), "Well done");
    EXPECT_EQ(std::string(levels.GetLevelOverText(false).c_str()), "Too bad");

    std::vector<TTableDesc> tables;
    std::optional<TBarDesc> bar;
    levels.MergeLayouts(&tables, &bar);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_TRUE(tables[0].isNew);
    ASSERT_TRUE(levels.TableUpgradeAvailable());
    levels.TableUpgrade(&tables, &bar);
    EXPECT_EQ(tables.size(), 3u);
    EXPECT_FALSE(levels.TableUpgradeAvailable());
    levels.MergeLayouts(&tables, &bar);
    ASSERT_EQ(tables.size(), 3u);
    EXPECT_FALSE(tables[0].isNew);
    EXPECT_FALSE(tables[2].isNew);

    int period = 0;
    float multiplier = 0, minimum = 0, decrease = 0;
    levels.GetLevelTuningInformation(&period, &multiplier, &minimum, &decrease);
    EXPECT_EQ(period, 10000);
    EXPECT_FLOAT_EQ(multiplier, 1.5f);
    EXPECT_FLOAT_EQ(minimum, 1.0f);
    EXPECT_FLOAT_EQ(decrease, 0.25f);
}

class DownloadedLevels : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        WriteCustomerTypes();
        StartWithSettings();
        mSettings->SetLevelMode(1);
        mSettings->SetDownloadLevelName("mine.bin");
        mSettings->SetDownloadLevelDescription("Made at home");
    }

    std::string ReadBytes(const char* path)
    {
        std::ifstream in(mHome / path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
};

TEST_F(DownloadedLevels, TheHookSetsTheRestaurantFromTheLevel)
{
    WriteFile("mine.xml", "<dataroot><career><level>1</level><restaurant>3</restaurant><layout>d" +
                              std::string(47, '-') + "..r2b</layout></career></dataroot>");
    InstallDownloadLevelReader();
    mSettings->SetLevelInfoToDownloadLevel();
    EXPECT_EQ(mSettings->GetCurrentRestaurant(), 3);

    TLevelManager levels(TLevelManager::kCareer, &mFactory);
    EXPECT_TRUE(levels.GetLayout().HasDrinkStation());
    std::vector<TTableDesc> tables;
    std::optional<TBarDesc> bar;
    levels.SetupTables(&tables, &bar);
    EXPECT_EQ(tables.size(), 1u);
    EXPECT_EQ(std::string(levels.GetLevelIntroText().c_str()), "Made at home");
    TSettings::SetDownloadLevelReader(nullptr);
}

// A downloaded level that is no file to read (a pipe, a link to the zero
// device) is not waited on or read to no end, and neither it nor a file that
// holds no level (empty, cut short, another level's number) is played as an
// empty level: it cannot be played, and the log says why.
TEST_F(DownloadedLevels, ALevelThatIsNoFileOrHoldsNoLevelCannotBePlayed)
{
    ASSERT_EQ(::mkfifo((mHome / "mine.xml").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", mHome / "zeros.xml");
    WriteFile("empty.xml", "\n");
    WriteFile("cut.xml", "<dataroot><career><level>1</level><goal>5");
    WriteFile("other.xml", "<dataroot><career><level>2</level></career></dataroot>");
    const std::pair<const char*, const char*> files[] = {
        {"mine.xml", "cannot be read (it is no regular file"},
        {"zeros.xml", "cannot be read (it is no regular file"},
        {"empty.xml", "is empty"},
        {"cut.xml", "ends inside an element"},
        {"other.xml", "holds no <career> level 1"},
    };
    for (const auto& [name, why] : files) {
        SCOPED_TRACE(name);
        mSettings->SetDownloadLevelName(name);
        testing::internal::CaptureStderr();
        TLevelManager levels(TLevelManager::kCareer, &mFactory);
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(levels.IsLevelDefined());
        EXPECT_NE(log.find(std::string(name) + " " + why), std::string::npos) << log;
    }
}

TEST_F(DownloadedLevels, EditorOutputRoundTripsByteForByte)
{
    // No file yet: the editor starts from an empty level.
    TLevelManager levels(TLevelManager::kCareer, &mFactory);
    ASSERT_TRUE(levels.IsLevelDefined());
    levels.SetCurrentLevelDefinition(2, 1200, 2000, 400, 15, "hint", "");
    levels.SetLayoutStr(TLevelLayout::GetLayoutStr({}, nullptr, {}));
    levels.SetGroupDefinition(0, 2500, "rb", "young");
    levels.SetGroupDefinition(1, 4000, "ggg", "family");
    levels.SetBrokenArm(true);
    levels.SetStartDirty(true);
    levels.SetStartDirty(false);
    levels.SetNewChefValue(2.5f);
    levels.SetShakeValue(30, 2, 0.5f);
    levels.SetShakeValue(0, 0, 0);
    levels.SetLevelValue("flashlight", "1");
    EXPECT_EQ(levels.GetGroupTime(1), 4000);
    EXPECT_EQ(std::string(levels.GetGroupType(1).c_str()), "family");
    EXPECT_EQ(std::string(levels.GetGroupDef(5).c_str()), "");

    const std::string text = levels.LevelAsStr().c_str();
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dataroot>", 0), 0u);
    EXPECT_EQ(text.find("startdirty"), std::string::npos);
    EXPECT_EQ(text.find("shakefreq"), std::string::npos);
    ASSERT_TRUE(levels.SaveLevelDefinition("mine.xml", false));
    EXPECT_EQ(ReadBytes("mine.xml"), text);

    TLevelManager reread(TLevelManager::kCareer, &mFactory);
    EXPECT_EQ(std::string(reread.LevelAsStr().c_str()), text);
    EXPECT_EQ(mSettings->GetCurrentRestaurant(), 2);
    EXPECT_TRUE(reread.GetBrokenArm());
    EXPECT_TRUE(reread.GetFlashLight());
    EXPECT_EQ(reread.GetCurrentGoal(), 1200);

    // Enciphered, read back through the ".bin" sibling.
    ASSERT_TRUE(reread.SaveLevelDefinition("mine.bin", true));
    fs::remove(mHome / "mine.xml");
    TLevelManager fromBin(TLevelManager::kCareer, &mFactory);
    EXPECT_EQ(std::string(fromBin.LevelAsStr().c_str()), text);

    // A folder that does not exist: nothing written, and said so.
    EXPECT_FALSE(fromBin.SaveLevelDefinition("nowhere/mine.xml", false));
    for (const auto& entry : fs::directory_iterator(mHome))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(DownloadedLevels, EndlessEditorValuesAreKeptToEndlessLevels)
{
    TLevelManager levels(TLevelManager::kCareer, &mFactory);
    levels.SetSectionInfo(0, 500, 3000);
    levels.SetPartyInfo(0, 1, "young", 3);
    levels.SetEndlessLevelDefinition(3, 1000, 1, 1, 0);
    levels.SetTableUpgradeLayout(1, "big");
    EXPECT_EQ(std::string(levels.LevelAsStr().c_str()).find("goal1"), std::string::npos);
    EXPECT_EQ(std::string(levels.LevelAsStr().c_str()).find("numStars"), std::string::npos);
    str type;
    int frequency = -1;
    levels.GetPartyInfo(0, 1, &type, &frequency);
    EXPECT_EQ(frequency, 0);
}

}  // namespace
