// TSettings: life cycle, options, mode and position, clocks and the reader of
// configuration files. Players are in settings_players.cpp, progress in
// settings_progress.cpp, the Lua functions in settings_lua.cpp.
#include "game/settings/settings.h"

#include "engine/base/debuglog.h"
#include "engine/base/encrypt.h"
#include "engine/base/encryptionkey.h"
#include "engine/base/folders.h"
#include "game/settings/configfile.h"
#include "engine/base/prefs.h"
#include "engine/platform/platform.h"
#include "engine/sound/soundmanager.h"
#include "engine/window/stringtable.h"
#include "online/hiscores.h"

#include <cmath>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

const char* const GAMEMODE_SCORE_NAMES[4] = {"corvellatrip_career", "corvellatrip_easy", "corvellatrip_medium",
                                             "corvellatrip_hard"};

namespace {

std::unique_ptr<TSettings> gSettings;
TSettings::TDownloadLevelReader gDownloadLevelReader;

// Sound type 0, the one the sound manager has no name for.
constexpr int kSoundTypeDefault = 0;

TPlatform* Platform() { return TPlatform::GetInstance(); }

// A string-table entry read as an integer; 0 when there is no string table
// or no such entry (the table answers "#####").
int StringTableInt(const char* label)
{
    TPlatform* platform = Platform();
    TStringTable* table = platform ? platform->GetStringTable() : nullptr;
    if (!table)
        return 0;
    return table->GetString(str(label), str(), str(), str(), str(), str()).to_int();
}

const char* Version()
{
    TPlatform* platform = Platform();
    return platform ? platform->GetVersion() : "0";
}

// How many times as fast as real time the game clock runs, in thousandths:
// the number in CORVELLATRIP_TIME_SCALE (from 0.05 to kMaxTimeScale), so
// that tests play a level in seconds, or, on a machine too busy for their
// clicks to keep up, slower than real time; 1 without it. Menus, slides and
// input keep the platform's real timer at any scale.
constexpr double kMinTimeScale = 0.05;
constexpr double kMaxTimeScale = 64;
constexpr std::uint32_t kScaleUnit = 1000;
std::uint32_t GameTimeScaleThousandths()
{
    const char* text = std::getenv("CORVELLATRIP_TIME_SCALE");
    if (!text || !*text)
        return kScaleUnit;
    char* end = nullptr;
    const double scale = std::strtod(text, &end);
    if (*end != '\0' || !(scale >= kMinTimeScale && scale <= kMaxTimeScale)) {
        WriteDbg("CORVELLATRIP_TIME_SCALE=%s is not a number from %g to %g; the game runs in real time", text,
                 kMinTimeScale, kMaxTimeScale);
        return kScaleUnit;
    }
    const auto thousandths = static_cast<std::uint32_t>(std::lround(scale * kScaleUnit));
    if (thousandths != kScaleUnit)
        WriteDbg("game clock: %g times real time (CORVELLATRIP_TIME_SCALE)", scale);
    return thousandths;
}

}  // namespace

// ---- life cycle

TSettings* TSettings::CreateSettings()
{
    // The old instance goes first: both would share prefs.dat and hiscore.dat.
    gSettings.reset();
    gSettings = std::make_unique<TSettings>();
    return gSettings.get();
}

TSettings* TSettings::GetInstance() { return gSettings.get(); }

void TSettings::DeleteSettings() { gSettings.reset(); }

TSettings::TSettings()
{
    RegisterLuaFunctions();
    mPrefs = std::make_unique<TPrefs>(str(ENCRYPTION_KEY), true);
    if (mPrefs->GetPath().length() == 0) {
        // Tried once more, to learn why it cannot be made.
        errno = 0;
        mDataFolderError = qm::MakeDirectories(qm::UserDataDirectoryPath(), 0700) ? 0 : (errno != 0 ? errno : ENOENT);
    }
    mHiscores = std::make_unique<TQmHiscores>("corvellatrip", ENCRYPTION_KEY, Version(), true);
    ModifyUsersForVersion();

    mGameMode = kCareerMode;
    mHiscores->SetProperty(TQmHiscores::kTableType, GAMEMODE_SCORE_NAMES[0]);
    // A stored player index that names no player would make the first
    // progress write create empty profiles up to it: start with none instead.
    const int stored = GetCurrentUser();
    SetCurrentUser(stored >= -1 && stored < GetNumUsers() ? stored : -1, true);

    mHighscoreMode = StringTableInt("highscoremode");
    if (mHighscoreMode < 0 || mHighscoreMode > 2)
        mHighscoreMode = 2;

    mSkipTutorial[0] = mSkipTutorial[1] = false;
    LoadPlayTimeTotals();
    mSessionClock.Reset();
    mSessionClock.Start();
    mTotalPlayClock.Reset();
    mTotalPlayClock.SetTime(static_cast<unsigned long>(static_cast<std::uint32_t>(mPrefs->GetInt("totalplay", 0, -1))));
    mTotalPlayClock.Start();
    mGameClock.SetRate(GameTimeScaleThousandths(), kScaleUnit);
    mGameClock.Start();
    OpenMetrics();
}

// The play-time totals are saved only by the metrics log at shut-down, and
// TPrefs never saves on its own: whatever was set without saving is left.
// A save that failed during the run (a full disk) is tried once more, so
// room made before quitting keeps everything.
TSettings::~TSettings()
{
    CloseMetrics();
    if (mPrefs->GetLastSaveError() != 0)
        mPrefs->SavePrefs();
    mHiscores->SaveAgainIfFailed();
}

void TSettings::LoadPlayTimeTotals()
{
    mTotalStoryTime = static_cast<float>(mPrefs->GetInt("totalstory", 0, -1));
    mTotalEndlessTime = static_cast<float>(mPrefs->GetInt("totalendless", 0, -1));
    mTotalSecretTime = static_cast<float>(mPrefs->GetInt("totalsecret", 0, -1));
    mTotalClosetTime = static_cast<float>(mPrefs->GetInt("totalcloset", 0, -1));
}

void TSettings::InitGameToSettings()
{
    if (TPlatform* platform = Platform())
        platform->SetDisplay(800, 600, mPrefs->GetInt("fullscreen", 1, -1) == 1);
    SetSoundForCurrentUser();
    WriteMetricsHeader();
}

// ---- options

bool TSettings::IsFullScreen()
{
    TPlatform* platform = Platform();
    return platform && platform->IsFullscreen();
}

bool TSettings::ToggleFullScreen()
{
    TPlatform* platform = Platform();
    if (!platform)
        return false;
    const bool wanted = !platform->IsFullscreen();
    if (!platform->SetFullscreen(wanted))
        return false;
    mPrefs->SetInt("fullscreen", wanted ? 1 : 0, -1, true);
    return true;
}

void TSettings::UpdateFullScreen() { mPrefs->SetInt("fullscreen", IsFullScreen() ? 1 : 0, -1, true); }

void TSettings::ToggleSoundMute()
{
    const int user = GetCurrentUser();
    const int off = (mPrefs->GetInt("soundoff", 0, user) + 1) % 2;
    mPrefs->SetInt("soundoff", off, user, true);
    TPlatform* platform = Platform();
    if (TSoundManager* sound = platform ? platform->GetSoundManager() : nullptr)
        sound->SetVolume(off == 1 ? 0.0f : 1.0f);
}

void TSettings::SetSoundForCurrentUser()
{
    TPlatform* platform = Platform();
    TSoundManager* sound = platform ? platform->GetSoundManager() : nullptr;
    if (!sound)
        return;
    const int user = GetCurrentUser();
    const float effects = static_cast<float>(mPrefs->GetInt("soundlevel", 750, user)) / 1000.0f;
    const float music = static_cast<float>(mPrefs->GetInt("musiclevel", 750, user)) / 1000.0f;
    const float environment = static_cast<float>(mPrefs->GetInt("environmentlevel", 500, user)) / 1000.0f;
    sound->SetTypeVolume(kSoundTypeDefault, effects);
    sound->SetTypeVolume(TSoundManager::kEffects, effects);
    sound->SetTypeVolume(TSoundManager::kMusic, music);
    sound->SetTypeVolume(TSoundManager::kEnvironment, environment);
    sound->SetVolume(mPrefs->GetInt("soundoff", 0, user) != 0 ? 0.0f : 1.0f);
}

// ---- mode and position

// Endless difficulties 0, 1, 2 play on the easy, medium and hard tables.
void TSettings::SetScoreTable(int mode, int level)
{
    int table = 0;
    if (mode == kEndlessMode)
        table = (level == 1 || level == 2) ? level + 1 : 1;
    mHiscores->SetProperty(TQmHiscores::kTableType, GAMEMODE_SCORE_NAMES[table]);
}

void TSettings::SetCurrentGameMode(int mode)
{
    if (mode != kCareerMode && mode != kEndlessMode)
        return;
    mGameMode = mode;
    SetScoreTable(mGameMode, mLevel);
}

void TSettings::SetCurrentLevel(int level)
{
    mLevel = level;
    SetScoreTable(mGameMode, mLevel);
}

int TSettings::RestaurantAndLevelToLevel(int restaurant, int level)
{
    return game::RestaurantAndLevelToLevel(restaurant, level);
}

void TSettings::LevelToRestaurantAndLevel(int number, int* restaurant, int* level)
{
    game::LevelToRestaurantAndLevel(number, restaurant, level);
}

str TSettings::GetCurrentRestaurantName() const { return game::RestaurantName(mRestaurant); }

str TSettings::GetCurrentRestaurantFolder() const { return str("restaurants/") + GetCurrentRestaurantName() + "/"; }

void TSettings::SetDownloadLevelName(str name)
{
    mDownloadLevelName = name.replace(str(".bin"), str(".xml"), str::kReplaceAll);
}

void TSettings::SetDownloadLevelReader(TDownloadLevelReader reader) { gDownloadLevelReader = std::move(reader); }

void TSettings::SetLevelInfoToDownloadLevel()
{
    if (!gDownloadLevelReader) {
        WriteDbg("SetLevelInfoToDownloadLevel: no level reader installed");
        return;
    }
    gDownloadLevelReader(*this);
}

// ---- clocks

void TSettings::Activate(TClock& clock, bool on)
{
    if (on)
        clock.Start();
    else
        clock.Pause();
}

void TSettings::AddPlayTime(float seconds)
{
    if (mGameMode == kEndlessMode) {
        mSessionEndlessTime += seconds;
        mTotalEndlessTime += seconds;
    } else if (mLevelMode != 0) {
        mSessionSecretTime += seconds;
        mTotalSecretTime += seconds;
    } else {
        mSessionStoryTime += seconds;
        mTotalStoryTime += seconds;
    }
}

// ---- configuration files

str TSettings::ReadEncryptedFile(str path)
{
    str text;
    game::TRefusedFile refused;
    switch (game::ReadConfigText(path, &text, &refused)) {
    case game::EConfigText::kUndecipherable:
        WriteDbg("ReadEncryptedFile: the enciphered sibling of %s could not be deciphered", path.c_str());
        break;
    case game::EConfigText::kUnreadable:
        game::ReportRefusedFile(refused, "it reads as empty");
        break;
    case game::EConfigText::kRead:
    case game::EConfigText::kMissing:
        break;
    }
    return text;
}

str TSettings::EncryptString(str text) { return TEncrypt(str(ENCRYPTION_KEY)).EncryptStr(text); }
