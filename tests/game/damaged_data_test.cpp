// The game's own data damaged the way a disk or a clumsy hand damages it
// (cut short, emptied, deleted), played through the game's entry on the
// headless engine: every damaged file is named once in the log, and the
// window's close button still ends the game cleanly within a second.
#include "damaged_data_fixture.h"

#include "engine/platform/event.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"
#include "game/play/game.h"
#include "game/play/gamedata.h"
#include "game/settings/settings.h"

#include <cctype>
#include <string>
#include <tuple>

namespace {

// What a close request must do within a second (50 turns of 20 ms): quit,
// after a "yes" when the confirmation shows.
constexpr int kSecond = 50;

}  // namespace

// ---- broken screen scripts --------------------------------------------------

class BrokenScript : public DamagedData, public testing::WithParamInterface<std::tuple<const char*, EDamage>> {
protected:
    const char* File() const { return std::get<0>(GetParam()); }
    EDamage Kind() const { return std::get<1>(GetParam()); }

    // Goes as far as the game lets a player go towards the broken screen.
    void PlayTowardsIt()
    {
        const std::string file = File();
        if (file == "scripts/mainmenu.lua" || file == "scripts/closeconfirm.lua") {
            WaitForTop("scripts/entername.lua", 400);
            return;
        }
        NameThePlayer();
        ASSERT_TRUE(WaitForTop("scripts/mainmenu.lua"));
        Press("play");
        ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
        Press("play");
        for (int i = 0; i < 100; ++i)
            Idle(16);
    }
};

TEST_P(BrokenScript, IsNamedInTheLogAndTheCloseRequestStillQuits)
{
    Damage(std::string("assets/") + File(), Kind());
    TSettings* settings = nullptr;
    BeginLog();
    Start();
    Idle();
    settings = TSettings::GetInstance();
    ASSERT_NE(settings, nullptr);
    PlayTowardsIt();

    ASSERT_FALSE(app->HasQuit());
    const bool quitAtOnce = !Send(TEvent::kCloseRequest);
    bool quit = quitAtOnce || AnswerYesAndQuitWithin(kSecond);
    const std::string log = EndLog();
    EXPECT_TRUE(quit) << "top: " << TopName().c_str() << "\n" << log;
    EXPECT_TRUE(app->HasQuit());
    // The clean way out: the settings (and with them prefs.dat) were written and deleted.
    EXPECT_EQ(TSettings::GetInstance(), nullptr);
    EXPECT_NE(log.find(File()), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(
    EveryScreenOnTheWayOut, BrokenScript,
    testing::Combine(testing::Values("scripts/mainmenu.lua", "scripts/game.lua", "scripts/levelintro.lua",
                                     "scripts/closeconfirm.lua"),
                     testing::Values(EDamage::kCutToOneByte, EDamage::kCutInHalf, EDamage::kEmptied,
                                     EDamage::kDeleted)),
    [](const testing::TestParamInfo<BrokenScript::ParamType>& info) {
        std::string name = std::get<0>(info.param);
        name = name.substr(name.find('/') + 1);
        name = name.substr(0, name.find('.'));
        return name + "_" + DamageName(std::get<1>(info.param));
    });

// ---- a broken intro does not hold the level ----------------------------------

class BrokenIntro : public DamagedData, public testing::WithParamInterface<EDamage> {};

TEST_P(BrokenIntro, TheLevelStartsWithoutIt)
{
    Damage("assets/scripts/levelintro.lua", GetParam());
    BeginLog();
    Start();
    Idle();
    NameThePlayer();
    ASSERT_TRUE(WaitForTop("scripts/mainmenu.lua"));
    Press("play");
    ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
    Press("play");
    TGame* game = nullptr;
    for (int i = 0; i < 200 && !(game && game->GetGameData()->GetState() == kPlaying); ++i) {
        Idle(16);
        game = GetCast<TGame>(Find("game"));
    }
    const std::string log = EndLog();
    ASSERT_NE(game, nullptr) << log;
    EXPECT_EQ(game->GetGameData()->GetState(), kPlaying) << log;
    EXPECT_EQ(TopName(), str("scripts/game.lua"));
    EXPECT_FALSE(TSettings::GetInstance()->GetGameClock()->IsPaused());
    EXPECT_NE(log.find("levelintro.lua"), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(CutEmptiedOrDeleted, BrokenIntro,
                         testing::Values(EDamage::kCutToOneByte, EDamage::kCutInHalf, EDamage::kEmptied,
                                         EDamage::kDeleted),
                         [](const testing::TestParamInfo<EDamage>& info) { return DamageName(info.param); });

// ---- nor a broken level-over screen --------------------------------------------

TEST_F(DamagedData, ALevelOverScreenThatBuiltNothingGoesBackToTheMap)
{
    Damage("assets/scripts/levelover.lua", EDamage::kEmptied);
    BeginLog();
    Start();
    Idle();
    NameThePlayer();
    ASSERT_TRUE(WaitForTop("scripts/mainmenu.lua"));
    Press("play");
    ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
    Press("play");
    ASSERT_TRUE(WaitForTop("scripts/levelintro.lua"));
    TWindow* letsplay = Top()->GetChildWindow("letsplay", -1);
    ASSERT_NE(letsplay, nullptr);
    for (int i = 0; i < 100 && !letsplay->IsVisible(); ++i)
        Idle(16);
    Press("letsplay");
    ASSERT_TRUE(WaitForTop("scripts/game.lua"));
    auto* game = GetCast<TGame>(Find("game"));
    ASSERT_NE(game, nullptr);
    TLevelResult result;
    result.win = true;
    game->OpenLevelOver(result);
    const bool backOnMap = WaitForTop("scripts/chooserestaurant.lua");
    const std::string log = EndLog();
    EXPECT_TRUE(backOnMap) << TopName().c_str() << "\n" << log;
    EXPECT_NE(log.find("levelover.lua"), std::string::npos) << log;
}

// ---- every kind of data file is named once -------------------------------------

namespace {

struct TDataFile {
    const char* file;    // below assets/
    const char* folder;  // below assets/, copied from the game's data first ("" when the fixture has it)
    const char* named;   // what the log line holds
    bool inLevel;        // read when a level starts (else at start-up)
};

const TDataFile kDataFiles[] = {
    {"strings.xml", "", "assets/strings.xml", false},
    {"config/global.xml", "", "assets/config/global.xml", true},
    {"config/career/1.xml", "", "assets/config/career/1.xml", true},
    {"layouts/cruise01.txt", "", "assets/layouts/cruise01.txt", true},
    {"config/customer.xml", "", "assets/config/customer.xml", true},
    {"config/actionpoints.xml", "", "assets/config/actionpoints.xml", true},
    {"config/unlocks.xml", "", "assets/config/unlocks.xml", false},
    {"restaurants/cruise/upgrades/upgrades.xml", "restaurants/cruise/upgrades", "cruise/upgrades/upgrades.xml", true},
    {"quessa/colors.inf", "quessa", "assets/quessa/colors.inf", true},
    {"ui/noisering.png", "ui", "ui/noisering", true},
    {"audio/sfx/customer_ditch.ogg", "audio/sfx", "audio/sfx/customer_ditch.ogg", true},
    {"ui/ui_globe.anm", "ui", "ui/ui_globe.anm", true},
};

}  // namespace

class DamagedFile : public DamagedData,
                    public testing::WithParamInterface<std::tuple<TDataFile, EDamage>> {};

TEST_P(DamagedFile, IsNamedOnceInTheLogAndTheGameGoesOn)
{
    const auto& [data, kind] = GetParam();
    if (*data.folder)
        CopyGameFolder(data.folder);
    Damage(std::string("assets/") + data.file, kind);
    BeginLog();
    Start();
    Idle();
    if (data.inLevel) {
        NameThePlayer();
        ASSERT_TRUE(WaitForTop("scripts/mainmenu.lua"));
        Press("play");
        ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
        Press("play");
        for (int i = 0; i < 150; ++i)
            Idle(16);
    } else {
        for (int i = 0; i < 150; ++i)
            Idle(16);
    }
    const bool quit = !Send(TEvent::kCloseRequest) || AnswerYesAndQuitWithin(kSecond);
    const std::string log = EndLog();
    EXPECT_TRUE(quit);
    int lines = 0;
    for (size_t at = log.find(data.named); at != std::string::npos; at = log.find(data.named, at + 1))
        ++lines;
    EXPECT_EQ(lines, 1) << data.file << " " << DamageName(kind) << "\n" << log;
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, DamagedFile,
    testing::Combine(testing::ValuesIn(kDataFiles), testing::Values(EDamage::kCutToOneByte, EDamage::kCutInHalf,
                                                                    EDamage::kEmptied, EDamage::kDeleted)),
    [](const testing::TestParamInfo<DamagedFile::ParamType>& info) {
        std::string name = std::get<0>(info.param).file;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name + "_" + DamageName(std::get<1>(info.param));
    });
