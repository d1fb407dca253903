// Level set-up, the party schedule, goals and the level's texts.
#include "game/levels/levelmanager.h"

#include "engine/base/debuglog.h"
#include "engine/base/xml.h"
#include "engine/platform/platform.h"
#include "engine/sound/sound.h"
#include "engine/sound/soundmanager.h"
#include "engine/window/stringtable.h"
#include "game/levels/levelfile.h"
#include "game/settings/configfile.h"
#include "game/settings/settings.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const kEndlessFile = "assets/config/endless.xml";
const char* const kArriveSound = "audio/sfx/sfx_party_arrive_1_snd.ogg";
constexpr int kSpaceshipRestaurant = 4;  // its customers teleport in without a sound
constexpr int kEndlessChoices = 4;       // party choices "a" to "d" of a section
constexpr int kDefaultLeavePenalty = 500;
constexpr int kEndlessTutorialGoal = 100;
constexpr int kEndlessTutorialSecondGoal = 2500;

int Rand()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->Rand() : 0;
}

str Text(const str& label)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->GetStringTable())
        return str();
    return platform->GetStringTable()->GetString(label, "", "", "", "", "");
}

bool Contains(const str& text, const char* part) { return text.find(str(part)) >= 0; }

// Visits every child in document order (the node's own child cursor is used).
template <class F>
void ForEachChild(TXmlNode* node, F visit)
{
    if (!node)
        return;
    str name;
    TXmlNode* child = nullptr;
    node->ResetChildren();
    while (node->GetNextChild(&name, &child))
        visit(name, child);
}

// A level file's element named twice counts with its later value (LastChild).
bool HasChild(const TXmlNode* node, const str& name) { return LastChild(node, name.c_str()) != nullptr; }

str ChildText(const TXmlNode* node, const str& name)
{
    const TXmlNode* child = LastChild(node, name.c_str());
    return child ? child->GetContent() : str();
}

int ChildInt(const TXmlNode* node, const str& name) { return ChildText(node, name).to_int(); }

int ColorForLetter(char c)
{
    switch (c) {
    case 'b': return 1;
    case 'g': return 2;
    case 'y': return 3;
    case 'p': return 4;
    default: return 0;  // "r" and any other letter
    }
}

}  // namespace

TLevelManager::TLevelManager(eLevelMode mode, IPartyFactory* factory)
    : mMode(mode), mLevelDoc(std::make_unique<TXmlNode>()), mPartyFactory(factory)
{
    if (TChosenLevel::Read().levelFile) {
        ReadDownloadedLevel(TSettings::GetInstance()->GetDownloadLevelName());
    } else if (mode == kEndless) {
        game::ReadConfigDocument(kEndlessFile, mLevelDoc.get(), "dataroot", "endless mode has no levels");
    }
    SetupLevel();
    // Without it parties arrive silently; the sound's loader has named the file.
    mArriveSound = TSound::Get(kArriveSound, false, TSoundManager::kEffects);
}

TLevelManager::~TLevelManager() = default;

void TLevelManager::ReadDownloadedLevel(const str& file)
{
    const game::TLevelFileRead read = game::ReadLevelFile(file, mLevelDoc.get());
    if (read.problem == game::ELevelFileProblem::kMissing) {
        // The level editor's new level: an empty one to fill in.
        mLevelDoc->CreateChild("dataroot")->CreateChild("career")->CreateChild("level")->SetContent("1");
    } else if (read.problem != game::ELevelFileProblem::kNone) {
        // Nothing to play (no file to read, empty, damaged, no level in
        // it): the level is told as one that cannot be played.
        game::ReportLevelFileProblem(file, read, "the level cannot be played");
        mLevelDoc->Clear();
    }
}

bool TLevelManager::IsDownloadedLevel() const { return TChosenLevel::Read().levelFile; }

void TLevelManager::SetupLevel()
{
    mNumStars = 3;
    mLayoutRead = true;
    mLeavePenalty = -kDefaultLeavePenalty;
    mGroupIndex = mGoalsReached = mSnackChance = mPartyCount = 0;
    mLevelNode = nullptr;
    mDataRoot = mLevelDoc->GetChild("dataroot");
    SetupForMode();
}

void TLevelManager::SetupForMode()
{
    if (IsEndless())
        EndlessSetup();
    else
        CareerSetup();
    mChosen = TChosenLevel::Read();
}

void TLevelManager::CareerSetup()
{
    const TChosenLevel position = TChosenLevel::Read();
    const bool downloaded = position.levelFile;
    // The first endless game plays its tutorial on career level 1, in the
    // restaurant and at the difficulty the player chose for endless.
    const bool endlessTutorial = position.endlessMode;
    const int wanted = downloaded || endlessTutorial
                           ? 1
                           : TSettings::RestaurantAndLevelToLevel(position.restaurant, position.level) + 1;
    const str path = str::getFormatted("assets/config/career/%d.xml", wanted);
    bool reported = false;
    if (!downloaded) {
        mLevelDoc->Clear();
        const std::string consequence = "career level " + std::to_string(wanted) + " cannot be played";
        reported = !game::ReadConfigDocument(path, mLevelDoc.get(), "dataroot", consequence.c_str());
        mDataRoot = mLevelDoc->GetChild("dataroot");
    }
    mSnackChance = 0;
    mLevelNode = CareerLevelElement(mDataRoot, wanted);
    // (A level file of its own has been reported as it was read.)
    if (!mLevelNode && !reported && !downloaded) {
        // Played as it stands this would be an empty level won at once.
        WriteDbg("TLevelManager: career level %d (%s) is missing or damaged; it cannot be played", wanted,
                 path.c_str());
    }

    // The level is played from its record: what the file says, read once.
    mCareer = mLevelNode ? TCareerLevelRecord::Read(*mLevelNode) : TCareerLevelRecord{};
    mLevelLength = 0;
    for (const TCareerLevelRecord::TGroup& group : mCareer.groups)
        mLevelLength += group.timeMS / 1000.0f;
    mGoal = mCareer.goal;
    mExpert = mCareer.expert;
    if (mCareer.leavePenalty)
        mLeavePenalty = -*mCareer.leavePenalty;

    const str layout(mCareer.layout.c_str());
    if (downloaded)
        mLayout.OpenLevelFromMem(layout);
    else if (mLevelNode)
        // A floor without its tables cannot be played either.
        mLayoutRead = mLayout.OpenLevel(layout);

    mSnackChance = mCareer.snackChance;
    if (downloaded && mCareer.restaurant >= 0)
        TSettings::GetInstance()->SetCurrentRestaurant(mCareer.restaurant);
    if (!mLayout.HasSnackStation())
        mSnackChance = 0;
    if (endlessTutorial)
        mGoal = kEndlessTutorialGoal;
}

void TLevelManager::EndlessSetup()
{
    const TChosenLevel position = TChosenLevel::Read();
    mGroupIndex = mGoalsReached = mTableUpgrades = mSnackChance = 0;
    mLevelNode = nullptr;
    ForEachChild(mDataRoot, [&](const str&, TXmlNode* child) {
        if (!mLevelNode && ChildInt(child, "diner") == position.restaurant + 1 &&
            ChildInt(child, "level") == position.level + 1)
            mLevelNode = child;
    });
    if (!mLevelNode)
        WriteDbg("TLevelManager: no endless entry for restaurant %d, difficulty %d", position.restaurant,
                 position.level);
    if (HasChild(mLevelNode, "numStars"))
        mNumStars = ChildInt(mLevelNode, "numStars");
    if (HasChild(mLevelNode, "leavePenalty"))
        mLeavePenalty = -ChildInt(mLevelNode, "leavePenalty");
    mDifficultyPeriod = ChildInt(mLevelNode, "difficultyIncreaseMS") / 1000.0f;
    mTimeMultiplier = HasChild(mLevelNode, "startingTimeMultiplier") ? LevelFloat("startingTimeMultiplier") : 1.0f;
    mTimeMultiplierDecrease = LevelFloat("timeMultiplierDecrease");
    mTimeMultiplierMinimum = HasChild(mLevelNode, "timeMultiplierMinimum") ? LevelFloat("timeMultiplierMinimum") : 1.0f;
    mGoal = ChildInt(mLevelNode, "goal1");
    mExpert = 0;
    mLayout.OpenLevel(LevelText("layout"));
}

void TLevelManager::StartLevel()
{
    mTimeSinceGroup = 0;
    mGroupIndex = 0;
    mGoalsReached = 0;
    ScheduleNextGroup();
    SkipPowerups();
    mDifficultyTimer = 0;
    mCurrentDifficultyPeriod = mDifficultyPeriod;
    if (IsEndless())
        mNextGroupDelay = 0;
}

void TLevelManager::SkipPowerups()
{
    while (Contains(mNextGroupType, "powerup")) {
        mGroupIndex += 1;
        ScheduleNextGroup();
    }
}

void TLevelManager::ScheduleNextGroup()
{
    mNextGroupDelay = 0;
    mNextGroupType = str();
    mNextGroupDef = str();
    if (!mLevelNode)
        return;
    if (IsEndless())
        ScheduleEndlessGroup();
    else
        ScheduleCareerGroup();
}

void TLevelManager::ScheduleCareerGroup()
{
    if (mGroupIndex < 0 || mGroupIndex >= static_cast<int>(mCareer.groups.size()))
        return;
    const TCareerLevelRecord::TGroup& group = mCareer.groups[static_cast<std::size_t>(mGroupIndex)];
    mNextGroupDelay = group.timeMS / 1000.0f;
    mNextGroupType = str(group.type.c_str());
    mNextGroupDef = str(group.def.c_str());
    const int overrides = mCustomerSettings.GetNumGraphicOverrides(mNextGroupType);
    if (overrides > 0 && mNextGroupDef.length() > overrides)
        mNextGroupDef = mNextGroupDef.substr(0, overrides);
}

void TLevelManager::ScheduleEndlessGroup()
{
    const int s = mGroupIndex + 1;
    int frequencies[kEndlessChoices];
    int total = 0;
    for (int i = 0; i < kEndlessChoices; ++i) {
        frequencies[i] = ChildInt(mLevelNode, str::getFormatted("frequency%d_%c", s, 'a' + i));
        total += frequencies[i];
    }
    if (total < 1)
        return;
    // The first choice whose running sum passes r: each choice is drawn in
    // proportion to its weight (r runs from 0 to total - 1).
    const int r = Rand() % total;
    int choice = kEndlessChoices - 1;
    for (int i = 0, sum = 0; i < kEndlessChoices; ++i) {
        sum += frequencies[i];
        if (sum > r) {
            choice = i;
            break;
        }
    }
    const str typeKey = str::getFormatted("group%d_%c", s, 'a' + choice);
    if (!HasChild(mLevelNode, typeKey))
        return;
    mNextGroupType = ChildText(mLevelNode, typeKey);
    mNextGroupDelay = ChildInt(mLevelNode, str::getFormatted("time%d", s)) / 1000.0f;
    if (mGroupIndex < mGoalsReached) {
        const int difficulty = TChosenLevel::Read().level;
        mNextGroupDelay += (mGoalsReached - mGroupIndex) * -0.2f * (difficulty + 1);
        if (mNextGroupDelay < 1.0f)
            mNextGroupDelay = 1.0f;
    }
    int size = Rand() % 3 + 2;
    if (const int overrides = mCustomerSettings.GetNumGraphicOverrides(mNextGroupType); overrides != 0)
        size = overrides;
    const int restaurant = TChosenLevel::Read().restaurant;
    static const char kColorLetters[] = "rbgyp";
    std::string def;
    for (int i = 0; i < size; ++i) {
        int c = Rand() % 5;
        // The first restaurants use fewer colours: two, three, four, then five.
        if (restaurant <= 3)
            c = Rand() % (restaurant + 2);
        def += kColorLetters[c];
    }
    mNextGroupDef = str(def.c_str());
}

TCustomerDef TLevelManager::DefinitionFor(const str& type)
{
    TCustomerDef def = mCustomerSettings.CreateCustomerDefinition(type);
    if (def.minStatePeriodMS == 0) {
        // An unknown type: without the fixed values every state period of
        // its party would last no time at all.
        if (mUnknownTypesLogged.insert(type.c_str()).second)
            WriteDbg("TLevelManager: customer type \"%s\" is not defined; its parties use default values",
                     type.c_str());
        TXmlNode empty;
        TCustomerSettings::UpdateCustomerDef(&empty, &def);
    }
    return def;
}

bool TLevelManager::AddNextGroup(std::list<TParty*>* queue)
{
    if (mNextGroupType.length() == 0)
        return false;
    if (Contains(mNextGroupType, "powerup")) {
        if (!IsEndless())
            mGroupIndex += 1;
        return true;
    }
    TPartyOrder order;
    const int letters = std::min(mNextGroupDef.length(), kMaxPartyMembers);
    if (letters == 0)
        return false;
    if (!mPartyFactory || !queue) {
        WriteDbg("TLevelManager: no party factory; a group of \"%s\" cannot arrive", mNextGroupType.c_str());
        return false;
    }
    order.def = DefinitionFor(mNextGroupType);
    order.size = letters;
    for (int i = 0; i < letters; ++i)
        order.colors[i] = ColorForLetter(mNextGroupDef[i]);
    order.id = mPartyCount;
    order.snackChance = mSnackChance;
    order.timeMultiplier = mTimeMultiplier;
    order.serviceMultiplier = mServiceMultiplier;
    order.lineMultiplier = mPatienceMultiplier;
    TParty* party = mPartyFactory->CreateParty(order);
    if (!party)
        return false;
    if (!IsEndless())
        mGroupIndex += 1;
    mPartyCount += 1;
    queue->push_back(party);
    PlayArriveSound();
    return true;
}

void TLevelManager::PlayArriveSound()
{
    if (TChosenLevel::Read().restaurant == kSpaceshipRestaurant)
        return;
    if (mArriveSound)
        mArriveSound->Play(false);
}

void TLevelManager::StepDifficulty(float seconds, std::list<TParty*>* queue)
{
    mDifficultyTimer += seconds;
    if (mDifficultyTimer <= mCurrentDifficultyPeriod)
        return;
    mTimeMultiplier -= mTimeMultiplierDecrease;
    if (mTimeMultiplier < mTimeMultiplierMinimum)
        mTimeMultiplier = mTimeMultiplierMinimum;
    mDifficultyTimer = 0;
    mCurrentDifficultyPeriod = mDifficultyPeriod;
    if (queue && mPartyFactory)
        for (TParty* party : *queue)
            mPartyFactory->SetTimeMultiplier(party, mTimeMultiplier);
}

bool TLevelManager::UpdateQueue(float seconds, std::list<TParty*>* queue, bool holdArrivals)
{
    if (IsEndless()) {
        StepDifficulty(seconds, queue);
        // A section without a valid choice is drawn again each frame, so
        // one bad draw cannot end the arrivals for the rest of the shift.
        if (mNextGroupType.length() == 0)
            ScheduleNextGroup();
    }
    mTimeSinceGroup += seconds;
    if (!holdArrivals && mTimeSinceGroup > mNextGroupDelay && AddNextGroup(queue)) {
        ScheduleNextGroup();
        SkipPowerups();
        mTimeSinceGroup = 0;
        return true;
    }
    return false;
}

void TLevelManager::GoalReached()
{
    if (IsEndless() && mLevelNode) {
        mGoalsReached += 1;
        const str next = str::getFormatted("goal%d", mGroupIndex + 2);
        const str current = str::getFormatted("goal%d", mGroupIndex + 1);
        if (HasChild(mLevelNode, next)) {
            mGroupIndex += 1;
            mGoal += ChildInt(mLevelNode, next);
        } else if (HasChild(mLevelNode, current)) {
            mGoal += ChildInt(mLevelNode, current);
        }
    } else if (TChosenLevel::Read().endlessMode) {
        mGoal = kEndlessTutorialSecondGoal;
    }
}

bool TLevelManager::IsClosed() const
{
    if (IsEndless())
        return false;
    return mNextGroupType.length() == 0 || mNextGroupDef.length() == 0;
}

void TLevelManager::RestartLevel()
{
    mPartyCount = 0;
    mServiceMultiplier = mPatienceMultiplier = 1.0f;
    mDifficultyTimer = mCurrentDifficultyPeriod = mDifficultyPeriod = 0;
    mTimeMultiplier = 1.0f;
    mTimeMultiplierDecrease = 0;
    mTimeMultiplierMinimum = 1.0f;
    SetupForMode();
}

void TLevelManager::AdvanceLevel()
{
    TSettings* settings = TSettings::GetInstance();
    if (!settings)
        return;
    const int level = settings->GetCurrentLevel() + 1;
    settings->SetCurrentLevel(level);
    const int restaurant = settings->GetCurrentRestaurant();
    const int perRestaurant = restaurant == BONUS_RESTAURANT ? NUM_BONUS_LEVELS : MAX_LEVELS_PER_RESTAURANT;
    if (restaurant <= BONUS_RESTAURANT && level % perRestaurant == 0) {
        settings->SetCurrentRestaurant(restaurant + 1);
        settings->SetCurrentLevel(0);
    }
    if (!IsEndless() && settings->GetCurrentRestaurant() < BONUS_RESTAURANT) {
        mPartyCount = 0;
        CareerSetup();
    }
    mChosen = TChosenLevel::Read();
}

// ---- values read from the current level element

str TLevelManager::LevelText(const char* name) const { return ChildText(mLevelNode, name); }

float TLevelManager::LevelFloat(const char* name) const { return LevelText(name).to_float(); }

bool TLevelManager::IsFlagSet(const char* name) const { return std::strcmp(LevelText(name).c_str(), "1") == 0; }

str TLevelManager::GetDoodle() const { return LevelText("doodle"); }

float TLevelManager::GetNewChefValue() const { return LevelFloat("newchef"); }

void TLevelManager::GetShakeValue(float* freq, float* length, float* spill) const
{
    *freq = LevelFloat("shakefreq");
    *length = LevelFloat("shakelength");
    *spill = LevelFloat("shakespill");
}

void TLevelManager::GetLevelTuningInformation(int* periodMS, float* multiplier, float* minimum, float* decrease) const
{
    *periodMS = static_cast<int>(mDifficultyPeriod * 1000.0f + 0.5f);
    *multiplier = mTimeMultiplier;
    *minimum = mTimeMultiplierMinimum;
    *decrease = mTimeMultiplierDecrease;
}

// ---- texts

str TLevelManager::GetCurrentLevelStr() const
{
    if (IsEndless())
        return str::getFormatted("%d", mGoalsReached + 1);
    const TChosenLevel position = TChosenLevel::Read();
    int n = 0;
    for (int r = 0; r < position.restaurant; ++r)
        n += r < 5 ? MAX_LEVELS_PER_RESTAURANT : NUM_BONUS_LEVELS;
    if (n > NUM_CAREER_LEVELS - 1)
        return str::getFormatted("%s%d", Text("blimpinitial").c_str(), n + position.level - (NUM_CAREER_LEVELS - 1));
    return str::getFormatted("%d", n + position.level + 1);
}

str TLevelManager::GetLevelIntroText() const
{
    if (IsEndless())
        return ChildText(LastChild(mLevelNode, "text"), "intro");
    if (IsDownloadedLevel())
        return TSettings::GetInstance()->GetDownloadLevelDescription();
    const TChosenLevel p = TChosenLevel::Read();
    return Text(str::getFormatted("career_%d_intro", p.restaurant * 10 + p.level + 1));
}

str TLevelManager::GetLevelOverText(bool success) const
{
    if (IsEndless()) {
        return ChildText(LastChild(mLevelNode, "text"), success ? "succeed" : "fail");
    }
    if (IsDownloadedLevel())
        return Text(success ? "genericwin" : "genericlose");
    const TChosenLevel p = TChosenLevel::Read();
    return Text(str::getFormatted("career_%d_%s", p.restaurant * 10 + p.level + 1, success ? "succeed" : "fail"));
}

// ---- tables

void TLevelManager::SetupTables(std::vector<TTableDesc>* tables, std::optional<TBarDesc>* bar)
{
    mLayout.SetupTables(tables, bar);
}

str TLevelManager::LayoutKey(int n) const { return n == 0 ? str("layout") : str::getFormatted("layout%d", n); }

bool TLevelManager::TableUpgradeAvailable() const
{
    return IsEndless() && HasChild(mLevelNode, LayoutKey(mTableUpgrades + 1));
}

void TLevelManager::TableUpgrade(std::vector<TTableDesc>* tables, std::optional<TBarDesc>* bar)
{
    if (!TableUpgradeAvailable())
        return;
    mLayout.OpenLevel(ChildText(mLevelNode, LayoutKey(mTableUpgrades + 1)));
    mLayout.SetupTables(tables, bar);
    mTableUpgrades += 1;
}

void TLevelManager::SetTableUpgrade(int n)
{
    if (IsEndless() && mLevelNode)
        mLayout.OpenLevel(ChildText(mLevelNode, LayoutKey(n)));
}

void TLevelManager::MergeLayouts(std::vector<TTableDesc>* tables, std::optional<TBarDesc>* bar)
{
    std::vector<TTableDesc> fresh;
    bar->reset();
    mLayout.SetupTables(&fresh, bar);
    for (TTableDesc& table : fresh) {
        table.isNew = true;
        for (const TTableDesc& old : *tables)
            if (old.seats == table.seats && old.point == table.point)
                table.isNew = false;
    }
    *tables = std::move(fresh);
}
