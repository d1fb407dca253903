// TSettings: the current player's progress, decor and clothing.
//
// Per-level tables are binary prefs of 60 entries indexed by the overall
// level number: "levelscores" and "decorupgrades" hold little-endian signed
// 32-bit values, "levelexperts" one byte each.
#include "game/settings/settings.h"

#include "engine/base/debuglog.h"
#include "engine/base/prefs.h"

#include <algorithm>

namespace {

constexpr int kIntTableBytes = NUM_LEVEL_SLOTS * 4;
const char* const kSourcePath = "download/src/settings";

bool IsLevelNumber(int n) { return n >= 0 && n < NUM_LEVEL_SLOTS; }

}  // namespace

// ---- binary tables

std::vector<unsigned char> TSettings::ReadBinary(const char* key, int size, int user)
{
    std::vector<unsigned char> bytes(static_cast<size_t>(size), 0);
    const int result = mPrefs->GetBinary(key, bytes.data(), size, user);
    if (result > size) {
        // A longer value than this program writes: keep the entries it knows
        // rather than reading them all as zero (and later saving zeros).
        std::vector<unsigned char> longer(static_cast<size_t>(result), 0);
        if (mPrefs->GetBinary(key, longer.data(), result, user) == 0)
            std::copy_n(longer.begin(), size, bytes.begin());
    }
    return bytes;
}

std::vector<std::int32_t> TSettings::ReadIntTable(const char* key, int user)
{
    const std::vector<unsigned char> bytes = ReadBinary(key, kIntTableBytes, user);
    std::vector<std::int32_t> table(NUM_LEVEL_SLOTS);
    for (int i = 0; i < NUM_LEVEL_SLOTS; ++i) {
        const unsigned char* b = &bytes[static_cast<size_t>(i) * 4];
        table[static_cast<size_t>(i)] = static_cast<std::int32_t>(
            static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
            static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24);
    }
    return table;
}

void TSettings::WriteIntTable(const char* key, const std::vector<std::int32_t>& table, int user, bool save)
{
    std::vector<unsigned char> bytes(kIntTableBytes);
    for (int i = 0; i < NUM_LEVEL_SLOTS; ++i) {
        const auto v = static_cast<std::uint32_t>(table[static_cast<size_t>(i)]);
        for (int k = 0; k < 4; ++k)
            bytes[static_cast<size_t>(i * 4 + k)] = static_cast<unsigned char>(v >> (8 * k));
    }
    mPrefs->SetBinary(key, bytes.data(), kIntTableBytes, user, save);
}

std::vector<unsigned char> TSettings::ReadByteTable(const char* key, int user)
{
    return ReadBinary(key, NUM_LEVEL_SLOTS, user);
}

void TSettings::LogBadLevel(int line)
{
    WriteDbg("ASSERT(%s) FAILED!! %s, %d", "levelNum >=0 && levelNum < NUM_RESTAURANTS * MAX_LEVELS_PER_RESTAURANT",
             kSourcePath, line);
}

// ---- unlocking

int TSettings::GetNumUnlockedLevels()
{
    return std::min(mPrefs->GetInt("levelsunlocked", 0, GetCurrentUser()), NUM_CAREER_LEVELS);
}

int TSettings::GetNumUnlockedRestaurants()
{
    // Truncating division: no unlocked level still opens the first restaurant.
    return std::min((GetNumUnlockedLevels() - 1) / MAX_LEVELS_PER_RESTAURANT + 1, NUM_RESTAURANTS);
}

int TSettings::GetNumUnlockedBonusLevels()
{
    if (!mBonusEnabled)
        return 0;
    return std::min(mPrefs->GetInt("bonuslevelsunlocked", 0, GetCurrentUser()), NUM_BONUS_LEVELS);
}

void TSettings::UnlockLevel(int restaurant, int level)
{
    const int n = RestaurantAndLevelToLevel(restaurant, level);
    if (!IsLevelNumber(n)) {
        WriteDbg("UnlockLevel: no level %d of restaurant %d", level, restaurant);
        return;
    }
    const int user = GetCurrentUser();
    if (restaurant > 4) {
        if (mPrefs->GetInt("bonuslevelsunlocked", 0, user) < n - 49)
            mPrefs->SetInt("bonuslevelsunlocked", n - 49, user, true);
        return;
    }
    if (mPrefs->GetInt("levelsunlocked", 0, user) >= n + 1)
        return;
    mPrefs->SetInt("levelsunlocked", n + 1, user, true);
    // Reaching the third restaurant opens the first bonus level.
    if (restaurant >= 2 && mPrefs->GetInt("bonuslevelsunlocked", 0, user) == 0)
        mPrefs->SetInt("bonuslevelsunlocked", 1, user, true);
}

// ---- scores

bool TSettings::RecordLevelScore(int restaurant, int level, int score, bool expert)
{
    const int n = RestaurantAndLevelToLevel(restaurant, level);
    if (!IsLevelNumber(n)) {
        LogBadLevel(__LINE__);
        return false;
    }
    const int user = GetCurrentUser();
    std::vector<std::int32_t> scores = ReadIntTable("levelscores", user);
    if (scores[static_cast<size_t>(n)] >= score)
        return false;
    scores[static_cast<size_t>(n)] = score;
    WriteIntTable("levelscores", scores, user, false);
    if (expert) {
        std::vector<unsigned char> experts = ReadByteTable("levelexperts", user);
        experts[static_cast<size_t>(n)] = 1;
        mPrefs->SetBinary("levelexperts", experts.data(), NUM_LEVEL_SLOTS, user, true);
    }
    if (restaurant == 4 && level == 9)
        mPrefs->SetInt("beatgame", 1, user, true);
    if (restaurant == 5 && level == 4)
        mPrefs->SetInt("beatbounsgame", 1, user, true);
    int nextRestaurant = 0;
    int nextLevel = 0;
    LevelToRestaurantAndLevel(n + 1, &nextRestaurant, &nextLevel);
    UnlockLevel(nextRestaurant, nextLevel);
    // The new best must reach the disk even when nothing above saved
    // (no expert, nothing newly unlocked).
    mPrefs->SavePrefs();
    return true;
}

int TSettings::GetLevelScore(int restaurant, int level)
{
    const int n = RestaurantAndLevelToLevel(restaurant, level);
    if (!IsLevelNumber(n)) {
        LogBadLevel(__LINE__);
        return 0;
    }
    return ReadIntTable("levelscores", GetCurrentUser())[static_cast<size_t>(n)];
}

bool TSettings::GotExpert(int restaurant, int level)
{
    const int n = RestaurantAndLevelToLevel(restaurant, level);
    if (!IsLevelNumber(n)) {
        LogBadLevel(__LINE__);
        return false;
    }
    return ReadByteTable("levelexperts", GetCurrentUser())[static_cast<size_t>(n)] != 0;
}

bool TSettings::BeatRestaurantOnExpert(int restaurant)
{
    for (int level = 0; level < MAX_LEVELS_PER_RESTAURANT; ++level) {
        if (!GotExpert(restaurant, level))
            return false;
    }
    return true;
}

bool TSettings::HasBeatGameOnExpert()
{
    if (!HasBeatGame())
        return false;
    for (int restaurant = 0; restaurant < BONUS_RESTAURANT; ++restaurant) {
        if (!BeatRestaurantOnExpert(restaurant))
            return false;
    }
    return true;
}

int TSettings::GetCareerScore(int skipLevel)
{
    const std::vector<std::int32_t> scores = ReadIntTable("levelscores", GetCurrentUser());
    int total = 0;
    for (int i = 0; i < NUM_CAREER_LEVELS; ++i) {
        if (i != skipLevel)
            total += scores[static_cast<size_t>(i)];
    }
    return total;
}

// ---- flags and counters

void TSettings::BeatGame() { mPrefs->SetInt("beatgame", 1, GetCurrentUser(), true); }

bool TSettings::HasBeatGame() { return mPrefs->GetInt("beatgame", 0, GetCurrentUser()) == 1; }

bool TSettings::HasBeatBonusGame() { return mPrefs->GetInt("beatbounsgame", 0, GetCurrentUser()) == 1; }

int TSettings::GetCareerCash() { return mPrefs->GetInt("careercash", 0, GetCurrentUser()); }

void TSettings::SetCareerCash(int cash) { mPrefs->SetInt("careercash", cash, GetCurrentUser(), true); }

int TSettings::GetLastCareerLevel()
{
    const int highest = mBonusEnabled ? NUM_LEVEL_SLOTS - 1 : NUM_CAREER_LEVELS - 1;
    return std::clamp(mPrefs->GetInt("lastlevel", 0, GetCurrentUser()), 0, highest);
}

void TSettings::SetLastCareerLevel(int level) { mPrefs->SetInt("lastlevel", level, GetCurrentUser(), true); }

void TSettings::SetHighestPlayedLevel(int level)
{
    if (level > mPrefs->GetInt("highestlevel", 0, -1))
        mPrefs->SetInt("highestlevel", level, -1, true);
}

bool TSettings::HasPlayedEndlessTutorial() { return mPrefs->GetInt("endlesstutorial", 0, GetCurrentUser()) > 0; }

void TSettings::PlayedEndlessTutorial() { mPrefs->SetInt("endlesstutorial", 1, GetCurrentUser(), true); }

void TSettings::SkipTutorial()
{
    if (mGameMode == kCareerMode || mGameMode == kEndlessMode)
        mSkipTutorial[mGameMode] = true;
}

bool TSettings::IsTutorialSkipped(int mode) const
{
    return (mode == kCareerMode || mode == kEndlessMode) && mSkipTutorial[mode];
}

bool TSettings::FirstTimeFor(const char* key)
{
    const int user = GetCurrentUser();
    if (mPrefs->GetInt(key, 0, user) != 0)
        return false;
    mPrefs->SetInt(key, 1, user, true);
    return true;
}

bool TSettings::ShowBonusUnlockedDialog()
{
    if (!mBonusEnabled || GetNumUnlockedBonusLevels() == 0)
        return false;
    return FirstTimeFor("bonusdialog");
}

bool TSettings::EnterQuessasCloset()
{
    ++mClosetVisits;
    return FirstTimeFor("quessasclosettip");
}

bool TSettings::EnterUpgradeScreen() { return FirstTimeFor("upgradetip"); }

// ---- decor

bool TSettings::IsDecorUpgradeSelected(int slot)
{
    const int index = mRestaurant * MAX_LEVELS_PER_RESTAURANT + slot;
    if (slot < 0 || slot >= MAX_LEVELS_PER_RESTAURANT || !IsLevelNumber(index))
        return false;
    return ReadIntTable("decorupgrades", GetCurrentUser())[static_cast<size_t>(index)] > 0;
}

void TSettings::SelectDecorUpgrade(int slot)
{
    const int index = mRestaurant * MAX_LEVELS_PER_RESTAURANT + slot;
    if (slot < 0 || slot >= MAX_LEVELS_PER_RESTAURANT || !IsLevelNumber(index)) {
        WriteDbg("SelectDecorUpgrade: no slot %d in restaurant %d", slot, mRestaurant);
        return;
    }
    const int user = GetCurrentUser();
    std::vector<std::int32_t> decor = ReadIntTable("decorupgrades", user);
    decor[static_cast<size_t>(index)] = mLevel;
    WriteIntTable("decorupgrades", decor, user, true);
}

// Untouched entries are 0, so level 0 of a restaurant always counts as picked.
bool TSettings::AlreadyPickedDecorThisLevel()
{
    if (mRestaurant < 0 || mRestaurant >= NUM_RESTAURANTS)
        return false;
    const std::vector<std::int32_t> decor = ReadIntTable("decorupgrades", GetCurrentUser());
    const auto first = decor.begin() + mRestaurant * MAX_LEVELS_PER_RESTAURANT;
    return std::find(first, first + MAX_LEVELS_PER_RESTAURANT, mLevel) != first + MAX_LEVELS_PER_RESTAURANT;
}

// ---- clothing

void TSettings::SetClothing(int slot, str name, str color)
{
    const int user = GetCurrentUser();
    mPrefs->SetStr(str::getFormatted("clothing_%d_name", slot), name, user, false);
    mPrefs->SetStr(str::getFormatted("clothing_%d_color", slot), color, user, true);
}

void TSettings::GetClothing(int slot, str* name, str* color, str defaultName, str defaultColor)
{
    const int user = GetCurrentUser();
    if (name)
        *name = mPrefs->GetStr(str::getFormatted("clothing_%d_name", slot), defaultName, user);
    if (color)
        *color = mPrefs->GetStr(str::getFormatted("clothing_%d_color", slot), defaultColor, user);
}

bool TSettings::IsNewClothing(str name) const
{
    return std::find(mNewClothing.begin(), mNewClothing.end(), name) != mNewClothing.end();
}
