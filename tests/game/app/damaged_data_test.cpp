// The game's own data damaged the way a disk or a clumsy hand damages it
// (cut short, emptied, deleted), played through the game's entry on the
// headless engine: every damaged file is named once in the log, and the
// window's close button still ends the game cleanly within a second.
#include "damaged_data_fixture.h"

#include "engine/base/encryptionkey.h"
#include "engine/base/prefs.h"
#include "engine/platform/event.h"
#include "engine/window/modalwindow.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/play/game.h"
#include "game/play/gamedata.h"
#include "game/settings/settings.h"
#include "online/hiscores.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
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
        // A new career opens with the story's first comic: paged through.
        for (int page = 0; page < 8 && !WaitForTop("scripts/chooserestaurant.lua", 30); ++page)
            if (TopName() == str("scripts/comic_1_1.lua"))
                Press("right");
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
    // A new career opens with the story's first comic: paged through.
    for (int page = 0; page < 8 && !WaitForTop("scripts/chooserestaurant.lua", 30); ++page)
        if (TopName() == str("scripts/comic_1_1.lua"))
            Press("right");
    ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
    Press("play");
    TGame* game = nullptr;
    for (int i = 0; i < 200 && !(game && game->GetGameData()->GetState() == kPlaying); ++i) {
        Idle(16);
        game = GetCast<TGame>(Find("maingamewindow"));
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

// ---- a damaged career level is told, once ---------------------------------------

TEST_F(DamagedData, ACareerLevelThatCannotBePlayedIsToldOnceAndTheMapStays)
{
    Damage("assets/config/career/1.xml", EDamage::kCutInHalf);
    BeginLog();
    Start();
    Idle();
    NameThePlayer();
    ASSERT_TRUE(WaitForTop("scripts/mainmenu.lua"));
    Press("play");
    for (int page = 0; page < 8 && !WaitForTop("scripts/chooserestaurant.lua", 30); ++page)
        if (TopName() == str("scripts/comic_1_1.lua"))
            Press("right");
    ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
    Press("play");
    const bool told = WaitForTop("scripts/ok.lua");
    auto* body = told ? GetCast<TText>(Top()->GetChildWindow("body", -1)) : nullptr;
    const std::string shown = body ? body->GetText().c_str() : "";
    if (told)
        Press("ok");
    const bool backOnTheMap = WaitForTop("scripts/chooserestaurant.lua");
    // Play again: the player knows already; the map simply stays.
    Press("play");
    bool toldAgain = false;
    for (int i = 0; i < 100; ++i) {
        Idle(16);
        toldAgain = toldAgain || TopName() == str("scripts/ok.lua");
    }
    const std::string log = EndLog();
    ASSERT_TRUE(told) << TopName().c_str() << "\n" << log;
    EXPECT_NE(shown.find("cannot be played"), std::string::npos) << shown;
    EXPECT_TRUE(backOnTheMap) << TopName().c_str();
    EXPECT_FALSE(toldAgain);
    EXPECT_EQ(TopName(), str("scripts/chooserestaurant.lua"));
    EXPECT_NE(log.find("Telling the player: career level 1 cannot be played"), std::string::npos) << log;
}

// A level file of its own that cannot be played (an extra level's file cut
// short) is told by its file: it has no career level's number.
TEST_F(DamagedData, ALevelFileThatCannotBePlayedIsToldByItsFile)
{
    Damage("assets/config/levels/harbour.xml", EDamage::kCutInHalf);
    BeginLog();
    Start();
    Idle();
    NameThePlayer();
    ASSERT_TRUE(WaitForTop("scripts/mainmenu.lua"));
    TSettings* settings = TSettings::GetInstance();
    settings->UnlockLevel(0, 0);
    for (int n = 0; n < 10; ++n)  // the cruise finished: its extra level opens
        settings->RecordLevelScore(0, n, 1000, false);
    settings->SetLastCareerLevel(10);
    Press("play");
    ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
    Press("lockedlevels");
    ASSERT_TRUE(WaitForTop("scripts/lockedlevels.lua"));
    std::string harbour;
    for (int k = 1; k <= 3; ++k) {
        auto* title = GetCast<TText>(Top()->GetChildWindow(("leveltext_" + std::to_string(k)).c_str(), -1));
        if (title && title->GetText() == str("Harbour Lights"))
            harbour = "gamebutton_" + std::to_string(k);
    }
    ASSERT_FALSE(harbour.empty());
    Press(harbour.c_str());
    const bool told = WaitForTop("scripts/ok.lua");
    const std::string log = EndLog();
    ASSERT_TRUE(told) << TopName().c_str() << "\n" << log;
    EXPECT_NE(log.find("Telling the player: the level assets/config/levels/harbour.xml cannot be played"),
              std::string::npos) << log;
    EXPECT_EQ(log.find("Telling the player: career level"), std::string::npos) << log;
    Press("ok");
    EXPECT_TRUE(WaitForTop("scripts/lockedlevels.lua")) << TopName().c_str();
}

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
    // A new career opens with the story's first comic: paged through.
    for (int page = 0; page < 8 && !WaitForTop("scripts/chooserestaurant.lua", 30); ++page)
        if (TopName() == str("scripts/comic_1_1.lua"))
            Press("right");
    ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
    Press("play");
    ASSERT_TRUE(WaitForTop("scripts/levelintro.lua"));
    TWindow* letsplay = Top()->GetChildWindow("letsplay", -1);
    ASSERT_NE(letsplay, nullptr);
    for (int i = 0; i < 100 && !letsplay->IsVisible(); ++i)
        Idle(16);
    Press("letsplay");
    ASSERT_TRUE(WaitForTop("scripts/game.lua"));
    auto* game = GetCast<TGame>(Find("maingamewindow"));
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
    {"fonts/corona.mvec", "", "fonts/corona.mvec", false},
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
        // A new career opens with the story's first comic: paged through.
        for (int page = 0; page < 8 && !WaitForTop("scripts/chooserestaurant.lua", 30); ++page)
            if (TopName() == str("scripts/comic_1_1.lua"))
                Press("right");
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

// ---- damaged saves: told once, kept aside ------------------------------------

namespace {

// A folder where the file should be: it cannot be read either.
constexpr int kFolderInItsPlace = 100;

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

class DamagedSave : public DamagedData, public testing::WithParamInterface<std::tuple<const char*, int>> {
protected:
    std::string UserFile(const char* name) const
    {
        return (scratch.Path() / "data" / "corvellatrip" / name).string();
    }

    // A player with progress and a score, saved as the game saves them.
    void WriteGoodSaves()
    {
        std::filesystem::create_directories(UserFile(""));
        {
            TPrefs prefs(str(ENCRYPTION_KEY), true);
            prefs.SetStr("username", "Ada", 0, true);
        }
        TQmHiscores scores("corvellatrip", ENCRYPTION_KEY, "2.0", true);
        scores.SetProperty(TQmHiscores::kUserName, "Ada");
        scores.SetProperty(TQmHiscores::kTableType, "career");
        scores.LogScore(1234, "", "", true);
    }

    void DamageSave(const std::string& path, int kind)
    {
        if (kind == kFolderInItsPlace) {
            std::filesystem::remove(path);
            std::filesystem::create_directories(path + "/inside");
        } else {
            DamageFile(path, static_cast<EDamage>(kind));
        }
    }
};

TEST_P(DamagedSave, ThePlayerIsToldOnceAndTheFileIsKeptAside)
{
    const auto& [name, kind] = GetParam();
    WriteGoodSaves();
    const std::string path = UserFile(name);
    DamageSave(path, kind);
    const bool folder = kind == kFolderInItsPlace;
    const std::string damaged = folder ? std::string() : FileBytes(path);

    BeginLog();
    Start();
    Idle();
    const bool told = WaitForTop("scripts/ok.lua", 400);
    std::string body;
    if (told)
        if (auto* text = GetCast<TText>(Top()->GetChildWindow("body", -1)))
            body = text->GetText().c_str();
    if (told)
        Press("ok");
    // Told once: what follows is the menu's own way on (a first start asks for a name).
    for (int i = 0; i < 100; ++i)
        Idle(16);
    const str after = TopName();
    const std::string log = EndLog();

    ASSERT_TRUE(told) << log;
    const std::string aside = path + ".bad";
    EXPECT_NE(body.find(std::string(name) + ".bad"), std::string::npos) << body;
    EXPECT_NE(after, str("scripts/ok.lua"));
    EXPECT_TRUE(folder ? std::filesystem::is_directory(aside) : FileBytes(aside) == damaged) << aside;
    EXPECT_NE(log.find(aside), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(
    EveryDamage, DamagedSave,
    testing::Combine(testing::Values("prefs.dat", "hiscore.dat"),
                     testing::Values(static_cast<int>(EDamage::kCutToOneByte), static_cast<int>(EDamage::kCutInHalf),
                                     static_cast<int>(EDamage::kEmptied), static_cast<int>(EDamage::kFlippedBits),
                                     kFolderInItsPlace)),
    [](const testing::TestParamInfo<DamagedSave::ParamType>& info) {
        std::string name = std::get<0>(info.param);
        name = name.substr(0, name.find('.'));
        const int kind = std::get<1>(info.param);
        return name + "_" + (kind == kFolderInItsPlace ? std::string("folder") : DamageName(static_cast<EDamage>(kind)));
    });
