// The level being played: its definition (a career level file, an endless
// entry or a downloaded level), its floor layout and customer types, and the
// schedule by which customer parties arrive in the line. In endless mode it
// also shortens the parties' patience over time and moves through sections
// as goals are reached. The level editor builds and saves level files
// through the setters at the end.
//
// TGameData owns one per level; TSettings::SetLevelInfoToDownloadLevel
// builds one briefly (InstallDownloadLevelReader connects the two).
#pragma once

#include "engine/base/str.h"
#include "game/levels/chosenlevel.h"
#include "game/levels/levellayout.h"
#include "game/levels/levelrecord.h"
#include "game/levels/partyfactory.h"
#include "game/settings/customersettings.h"

#include <list>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class TParty;
class TSound;
class TXmlNode;

class TLevelManager {
public:
    enum eLevelMode { kCareer = 0, kEndless = 1 };

    // Reads the downloaded level or the endless file as the settings say and
    // sets the level up. Parties are built by `factory` (not owned; may be
    // set later); without one no party arrives. A career manager while the
    // player chose endless plays the first endless game's tutorial: career
    // level 1, in the restaurant chosen for endless.
    explicit TLevelManager(eLevelMode mode, IPartyFactory* factory = nullptr);
    ~TLevelManager();
    TLevelManager(const TLevelManager&) = delete;
    TLevelManager& operator=(const TLevelManager&) = delete;

    // ---- set-up and flow
    void SetupLevel();
    void StartLevel();
    void RestartLevel();
    // Moves the settings' restaurant and level on to the next level (the
    // next restaurant's first after the last) and sets a career level up.
    void AdvanceLevel();
    // The level as the settings chose it when this manager last set one up,
    // restarted or moved on (a level file may name its own restaurant):
    // what play reads as the level it plays.
    const TChosenLevel& Chosen() const { return mChosen; }
    // Once per frame: true when a group arrived into the line.
    // With holdArrivals the schedule's time still passes but no party comes
    // in: a held group walks in on the first frame it is let through.
    bool UpdateQueue(float seconds, std::list<TParty*>* queue, bool holdArrivals = false);
    bool AddNextGroup(std::list<TParty*>* queue);
    void ScheduleNextGroup();
    void GoalReached();
    // Career: every group has arrived. Never in endless.
    bool IsClosed() const;
    // False when the level's definition could not be found (a missing or
    // damaged career file): the game must not play it.
    bool IsLevelDefined() const { return mLevelNode != nullptr && mLayoutRead; }

    // ---- values
    int GetCurrentGoal() const { return mGoal; }
    int GetCurrentExpert() const { return mExpert; }
    int GetLeavePenalty() const { return mLeavePenalty; }
    int GetNumStars() const { return mNumStars; }
    int GetSnackChance() const { return mSnackChance; }
    int GetPartyCount() const { return mPartyCount; }
    int GetGroupIndex() const { return mGroupIndex; }
    int GetGoalsReached() const { return mGoalsReached; }
    eLevelMode GetMode() const { return mMode; }
    float GetLevelLength() const { return mLevelLength; }
    float GetNextGroupDelay() const { return mNextGroupDelay; }
    const str& GetNextGroupType() const { return mNextGroupType; }
    float GetTimeMultiplier() const { return mTimeMultiplier; }
    void SetPatienceMultiplier(float multiplier) { mPatienceMultiplier = multiplier; }
    str GetDoodle() const;
    bool GetBrokenArm() const { return IsFlagSet("brokenarm"); }
    bool GetFlashLight() const { return IsFlagSet("flashlight"); }
    bool GetStartDirty() const { return IsFlagSet("startdirty"); }
    bool GetMustColorMatch() const { return IsFlagSet("mustcolor"); }
    float GetNewChefValue() const;
    void GetShakeValue(float* freq, float* length, float* spill) const;
    void GetLevelTuningInformation(int* periodMS, float* multiplier, float* minimum, float* decrease) const;
    str GetCurrentLevelStr() const;
    str GetLevelIntroText() const;
    str GetLevelOverText(bool success) const;
    str GetLayoutName() const { return mLayout.GetName(); }
    TLevelLayout& GetLayout() { return mLayout; }

    // ---- tables
    void SetupTables(std::vector<TTableDesc>* tables, std::optional<TBarDesc>* bar);
    bool TableUpgradeAvailable() const;
    void TableUpgrade(std::vector<TTableDesc>* tables, std::optional<TBarDesc>* bar);
    void SetTableUpgrade(int n);
    // Replaces the list with the current layout's tables; a table is marked
    // new unless one with as many chairs stood at its point before.
    void MergeLayouts(std::vector<TTableDesc>* tables, std::optional<TBarDesc>* bar);

    // ---- level editor (act on the current level element; nothing without one)
    void SetGroupDefinition(int slot, int timeMS, str def, str type);
    int GetGroupTime(int slot) const;
    str GetGroupDef(int slot) const;
    str GetGroupType(int slot) const;
    void SetCurrentLevelDefinition(int restaurant, int goal, int expert, int leavePenalty, int snackChance,
                                   str doodle, str layout);
    void SetBrokenArm(bool on) { SetFlag("brokenarm", on); }
    void SetFlashLight(bool on) { SetFlag("flashlight", on); }
    void SetStartDirty(bool on) { SetFlag("startdirty", on); }
    void SetMustColorMatch(bool on) { SetFlag("mustcolor", on); }
    void SetNewChefValue(float value);
    void SetShakeValue(float freq, float length, float spill);
    void SetEndlessLevelDefinition(int numStars, int difficultyIncreaseMS, float startingTimeMultiplier,
                                   float timeMultiplierMinimum, float timeMultiplierDecrease);
    void SetTableUpgradeLayout(int n, str name);
    str GetTableUpgradeLayout(int n) const;
    void SetSectionInfo(int section, int goal, int timeMS);
    void GetSectionInfo(int section, int* goal, int* timeMS) const;
    void SetPartyInfo(int section, int slot, str type, int frequency);
    void GetPartyInfo(int section, int slot, str* type, int* frequency) const;
    void SetLayoutStr(str text) { SetLevelValue("layout", text); }
    void SetLevelValue(str name, str value);
    void RemoveLevelValue(str name);
    // The level file's text; a career level in the layout of every level
    // file (levelrecord.h).
    str LevelAsStr() const;
    // Marks the level (a career file, an endless entry) as the editor's: the
    // level generator then reads it back instead of writing it.
    void MarkEdited();
    // Writes LevelAsStr (enciphered when asked) over `path`, keeping the old
    // file until the new one is complete. False when nothing was written.
    bool SaveLevelDefinition(str path, bool encipher) const;

private:
    // A downloaded level's file into the document: a missing one reads as
    // an empty level (the editor's new one); one that holds no level to play
    // leaves it empty (unplayable, logged).
    void ReadDownloadedLevel(const str& file);
    // The career or endless set-up of the level the settings choose now.
    void SetupForMode();
    void CareerSetup();
    void EndlessSetup();
    void ScheduleCareerGroup();
    void ScheduleEndlessGroup();
    void SkipPowerups();
    void StepDifficulty(float seconds, std::list<TParty*>* queue);
    TCustomerDef DefinitionFor(const str& type);
    void PlayArriveSound();
    bool IsFlagSet(const char* name) const;
    void SetFlag(const char* name, bool on);
    float LevelFloat(const char* name) const;
    str LevelText(const char* name) const;
    bool IsDownloadedLevel() const;
    bool IsEndless() const { return mMode == kEndless; }
    str LayoutKey(int n) const;

    int mGoal = 0;
    int mExpert = 0;
    int mLeavePenalty = -500;
    int mNumStars = 5;
    int mSnackChance = 0;
    int mPartyCount = 0;
    int mGroupIndex = 0;
    int mGoalsReached = 0;
    int mTableUpgrades = 0;
    float mTimeSinceGroup = 0;
    float mNextGroupDelay = 0;
    str mNextGroupType;
    str mNextGroupDef;
    eLevelMode mMode;
    float mLevelLength = 0;
    float mServiceMultiplier = 1.0f;
    float mPatienceMultiplier = 1.0f;
    float mDifficultyTimer = 0;
    float mCurrentDifficultyPeriod = 0;
    float mDifficultyPeriod = 0;
    float mTimeMultiplier = 1.0f;
    float mTimeMultiplierDecrease = 0;
    float mTimeMultiplierMinimum = 1.0f;
    std::unique_ptr<TXmlNode> mLevelDoc;
    TXmlNode* mDataRoot = nullptr;
    TXmlNode* mLevelNode = nullptr;
    bool mLayoutRead = true;  // false: the career level's floor plan is missing or damaged
    TCareerLevelRecord mCareer;  // the career level being played, as read
    TChosenLevel mChosen;        // the level set up last, as the settings chose it
    TCustomerSettings mCustomerSettings;
    std::shared_ptr<TSound> mArriveSound;
    TLevelLayout mLayout;
    IPartyFactory* mPartyFactory = nullptr;
    std::set<std::string> mUnknownTypesLogged;
};

// Lets TSettings::SetLevelInfoToDownloadLevel read a downloaded level's
// restaurant through a briefly built career level manager. Main calls it
// once at start-up.
void InstallDownloadLevelReader();
