// TSettings: everything that outlives a level. The player profiles and their
// progress (kept in prefs.dat through TPrefs), the options, the current game
// mode, restaurant and level, the clocks that measure play, the hiscore
// service, and the reader of configuration files that may be enciphered.
//
// One instance per process, made by Main (CreateSettings, then
// InitGameToSettings) before every other game service and deleted last
// (DeleteSettings); everything else reaches it through GetInstance().
//
// Preference values of a player live under the player's index; the global
// ones under index -1. Setters write prefs.dat at once unless noted.
#pragma once

#include "engine/base/clock.h"
#include "engine/base/str.h"
#include "game/settings/levelnumbers.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

class TPrefs;
class TQmHiscores;

// What to tell the player of a save file found at start-up that could not
// be read: string-table labels for the dialog's title and body, and the
// words the body takes: the file it names, and for a file this user may not
// open, whose it is and the folder it stands in.
struct TSaveNotice {
    str title;
    str body;
    str file;
    str owner;
    str folder;
};

// The hiscore tables, by index: career, then endless easy, medium, hard.
extern const char* const GAMEMODE_SCORE_NAMES[4];

class TSettings {
public:
    enum EGameMode { kCareerMode = 0, kEndlessMode = 1 };

    // ---- life cycle
    // Deletes an existing instance, makes a new one and publishes it.
    static TSettings* CreateSettings();
    static TSettings* GetInstance();
    static void DeleteSettings();
    // The display (800 x 600, full screen per the "fullscreen" pref) and the
    // current player's sound.
    void InitGameToSettings();

    TSettings();
    ~TSettings();
    TSettings(const TSettings&) = delete;
    TSettings& operator=(const TSettings&) = delete;

    // ---- players
    int GetCurrentUser();
    // index >= number of players is ignored; so is an unchanged index unless forced.
    void SetCurrentUser(int index, bool force);
    void CreateNewUser(str name);
    void DeleteUser(int index);
    // True when a player other than the current one has exactly this name.
    bool IsNameInUse(str name);
    int GetNumUsers();
    str GetUserName(int index);
    str GetCurrentUserName();
    void ChangeCurrentUserName(str name);
    // Removes profiles made by versions older than 1.0.0.77 (or without a version).
    void ModifyUsersForVersion();

    // ---- options
    bool IsFullScreen();
    // False (nothing stored) when the platform refused the switch.
    bool ToggleFullScreen();
    void UpdateFullScreen();
    void ToggleSoundMute();
    void SetSoundForCurrentUser();

    // ---- mode and position
    void SetCurrentGameMode(int mode);
    int GetCurrentGameModeInt() const { return mGameMode; }
    void SetCurrentRestaurant(int restaurant) { mRestaurant = restaurant; }
    int GetCurrentRestaurant() const { return mRestaurant; }
    void SetCurrentLevel(int level);
    int GetCurrentLevel() const { return mLevel; }
    int GetCurrentTotalLevel() const { return RestaurantAndLevelToLevel(mRestaurant, mLevel); }
    static int RestaurantAndLevelToLevel(int restaurant, int level);
    static void LevelToRestaurantAndLevel(int number, int* restaurant, int* level);
    str GetCurrentRestaurantName() const;
    str GetCurrentRestaurantFolder() const;
    int GetCurrentRestaurantID() const { return mRestaurant + 1; }
    int GetHighscoreMode() const { return mHighscoreMode; }

    // Downloaded levels.
    void SetLevelMode(int mode) { mLevelMode = mode; }
    int GetLevelMode() const { return mLevelMode; }
    void SetDownloadLevelName(str name);
    const str& GetDownloadLevelName() const { return mDownloadLevelName; }
    void SetDownloadLevelDescription(str text) { mDownloadLevelDescription = text; }
    const str& GetDownloadLevelDescription() const { return mDownloadLevelDescription; }
    // Reads the downloaded level's definition to learn its restaurant. The
    // level definitions are read by the level manager; until one is
    // installed here this logs and changes nothing.
    void SetLevelInfoToDownloadLevel();
    using TDownloadLevelReader = std::function<void(TSettings&)>;
    static void SetDownloadLevelReader(TDownloadLevelReader reader);

    // ---- progress of the current player
    int GetNumUnlockedLevels();
    int GetNumUnlockedRestaurants();
    int GetNumUnlockedBonusLevels();
    void UnlockLevel(int restaurant, int level);
    // False (nothing changed) unless score beats the stored best.
    bool RecordLevelScore(int restaurant, int level, int score, bool expert);
    int GetLevelScore(int restaurant, int level);
    bool GotExpert(int restaurant, int level);
    bool BeatRestaurantOnExpert(int restaurant);
    bool HasBeatGameOnExpert();
    void BeatGame();
    bool HasBeatGame();
    bool HasBeatBonusGame();
    // The sum of the career best scores, leaving out level skipLevel (-1: none).
    int GetCareerScore(int skipLevel);
    int GetCareerCash();
    void SetCareerCash(int cash);
    int GetLastCareerLevel();
    void SetLastCareerLevel(int level);
    void SetHighestPlayedLevel(int level);
    bool HasPlayedEndlessTutorial();
    void PlayedEndlessTutorial();
    void SkipTutorial();
    bool IsTutorialSkipped(int mode) const;
    bool ShowBonusUnlockedDialog();
    bool EnterQuessasCloset();
    bool EnterUpgradeScreen();
    bool IsBonusEnabled() const { return mBonusEnabled; }
    bool IsAltShoesColor() const { return mAltShoesColor; }

    // ---- decor and clothing
    bool IsDecorUpgradeSelected(int slot);
    void SelectDecorUpgrade(int slot);
    bool AlreadyPickedDecorThisLevel();
    void SetClothing(int slot, str name, str color);
    void GetClothing(int slot, str* name, str* color, str defaultName, str defaultColor);
    void AddNewClothing(str name) { mNewClothing.push_back(name); }
    void ClearNewClothing() { mNewClothing.clear(); }
    bool IsNewClothing(str name) const;

    // ---- clocks (milliseconds)
    void ActivateHelpClock(bool on) { Activate(mHelpClock, on); }
    void ActivatePauseClock(bool on) { Activate(mPauseClock, on); }
    void ActivateUpgradeClock(bool on) { Activate(mUpgradeClock, on); }
    std::uint32_t GetHelpClockTime() const { return mHelpClock.GetTime(); }
    std::uint32_t GetPauseClockTime() const { return mPauseClock.GetTime(); }
    std::uint32_t GetUpgradeClockTime() const { return mUpgradeClock.GetTime(); }
    std::uint32_t GetSessionClockTime() const { return mSessionClock.GetTime(); }
    std::uint32_t GetTotalPlayClockTime() const { return mTotalPlayClock.GetTime(); }
    // Game time: every floor animation runs on it; paused while play stands still.
    TClock* GetGameClock() { return &mGameClock; }
    // A frame's play time, credited to endless, downloaded ("secret") or
    // story time by the current mode, in the session and the total alike.
    void AddPlayTime(float seconds);
    float GetSessionStoryTime() const { return mSessionStoryTime; }
    float GetSessionEndlessTime() const { return mSessionEndlessTime; }
    float GetSessionSecretTime() const { return mSessionSecretTime; }
    float GetTotalStoryTime() const { return mTotalStoryTime; }
    float GetTotalEndlessTime() const { return mTotalEndlessTime; }
    int GetClosetVisits() const { return mClosetVisits; }
    bool HasCheckedLoadGame() const { return mCheckedLoadGame; }
    void CheckedLoadGame() { mCheckedLoadGame = true; }

    // ---- configuration files
    // The file's text; else the deciphered text of its ".bin" sibling; else "".
    static str ReadEncryptedFile(str path);
    static str EncryptString(str text);

    // ---- metrics log (metrics.txt in the user data folder; only while the
    // string-table entry "metrics" is 1, otherwise these do nothing)
    static str TimeStamp();
    void RecordEventMetric(str event, str detail);
    // Main calls these two before every event: time per top modal window,
    // and the play-time marks.
    void CurrentScreenMetric();
    void UpdateSessionTime();
    // Seconds spent with the named window on top (credited when it was left).
    float GetScreenTime(str name) const;
    void RecordAggregateMetrics();
    // Renames the top modal window, so screen time is booked under that name.
    void SetWindowNameMetric(str name);
    bool IsMetricsOn() const { return mMetricsFile != nullptr; }

    // ---- services
    TPrefs* GetPrefs() { return mPrefs.get(); }
    TQmHiscores* GetHiscores() { return mHiscores.get(); }

    // The next thing to tell the player about saves found unreadable at
    // start-up (prefs.dat, then hiscore.dat), each once: damaged (the file
    // named where it was kept aside, or itself when it stays in place), or
    // one this user may not open (named with its owner and folder), which
    // this run neither reads nor writes. False when nothing is left to tell.
    bool TakeSaveNotice(TSaveNotice* notice);
    // The next failure to keep the player's saves to tell him of, each
    // cause once in a run: no user data folder at all, or a save of
    // prefs.dat or hiscore.dat that failed (a full disk, a folder that
    // cannot be written, a path too long, ...). The dialog's title and body
    // (naming the folder and the reason); logged as "Telling the player: ...".
    // What failed to save stays in memory and the next save writes it all.
    bool TakeSaveFailureNotice(str* title, str* body);
    // At a quit the player asked for: writes prefs.dat (and hiscore.dat
    // when its last save failed) once more;
    // when that still fails, true with the dialog's title and body telling
    // him that the progress since the last good save cannot be kept, where
    // and why (logged as "Telling the player: ..."). The settings' deletion
    // tries a last time after he has read it.
    bool TakeUnkeptProgressNotice(str* title, str* body);

private:
    void RegisterLuaFunctions();
    bool NextSaveNotice(TSaveNotice* notice);
    // The errno of a failure not yet told (0: none); kNoDataFolder for the missing folder.
    int UntoldSaveFailure();
    // The name of the file whose last save failed with `cause` (prefs.dat or hiscore.dat).
    str FileFailingWith(int cause) const;
    void OpenMetrics();
    void WriteMetricsHeader();
    void CloseMetrics();
    float ClosetTotalSeconds() const;
    void LoadPlayTimeTotals();
    void SetScoreTable(int mode, int level);
    static void Activate(TClock& clock, bool on);
    void LogBadLevel(int line);
    // True the first time the player meets what the key marks (a tip, a
    // notice), which is marked at once.
    bool FirstTimeFor(const char* key);
    // A 60-entry table of a player ("levelscores", "decorupgrades"); missing
    // entries read as 0.
    std::vector<std::int32_t> ReadIntTable(const char* key, int user);
    void WriteIntTable(const char* key, const std::vector<std::int32_t>& table, int user, bool save);
    std::vector<unsigned char> ReadByteTable(const char* key, int user);
    std::vector<unsigned char> ReadBinary(const char* key, int size, int user);

    std::unique_ptr<TPrefs> mPrefs;
    std::unique_ptr<TQmHiscores> mHiscores;
    bool mToldOfPrefs = false;
    bool mToldOfHiscores = false;
    // Why the user data folder could not be made (an errno value); 0 when it exists.
    int mDataFolderError = 0;
    std::set<int> mToldSaveFailures;
    TClock mGameClock;
    int mGameMode = kCareerMode;
    int mHighscoreMode = 0;
    int mLevelMode = 0;
    str mDownloadLevelName;
    str mDownloadLevelDescription;
    int mRestaurant = 0;
    int mLevel = 0;
    TClock mHelpClock;
    TClock mPauseClock;
    TClock mUpgradeClock;
    TClock mSessionClock;
    TClock mTotalPlayClock;
    int mClosetVisits = 0;
    bool mSkipTutorial[2] = {false, false};
    float mSessionStoryTime = 0;
    float mSessionEndlessTime = 0;
    float mSessionSecretTime = 0;
    float mTotalStoryTime = 0;
    float mTotalEndlessTime = 0;
    float mTotalSecretTime = 0;
    float mTotalClosetTime = 0;
    std::vector<str> mNewClothing;
    std::uint32_t mLastProgressTime = 0;
    bool mCheckedLoadGame = false;
    bool mBonusEnabled = false;
    bool mAltShoesColor = false;
    std::FILE* mMetricsFile = nullptr;
    str mCurrentScreenName;
    std::map<str, std::uint32_t> mScreenTimes;
    TClock mScreenClock;
};
