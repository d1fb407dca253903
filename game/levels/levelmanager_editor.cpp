// The level editor's side of the level manager: values written into the
// current level element, and the level file written back out.
#include "game/levels/levelmanager.h"

#include "engine/base/debuglog.h"
#include "engine/base/safefile.h"
#include "engine/base/xml.h"
#include "game/levels/levelrecord.h"
#include "game/settings/settings.h"

#include <string>

namespace {

str Int(int value) { return str::getFormatted("%d", value); }
// The shortest text that reads back as the value, as the level files hold it.
str Float(float value) { return str::getFormatted("%g", static_cast<double>(value)); }
str SectionKey(const char* name, int section) { return str::getFormatted("%s%d", name, section + 1); }
str PartyKey(const char* name, int section, int slot)
{
    return str::getFormatted("%s%d_%c", name, section + 1, 'a' + slot);
}

}  // namespace

void TLevelManager::SetLevelValue(str name, str value)
{
    if (!mLevelNode)
        return;
    // The element that counts is the last of its name: an edit goes there.
    TXmlNode* child = LastChild(mLevelNode, name.c_str());
    if (!child)
        child = mLevelNode->CreateChild(name.c_str());
    child->SetContent(value.c_str());
}

void TLevelManager::RemoveLevelValue(str name)
{
    // Every copy goes: an earlier one would count again once the last is gone.
    if (!mLevelNode)
        return;
    while (TXmlNode* child = mLevelNode->GetChild(name.c_str()))
        mLevelNode->DeleteChild(child);
}

void TLevelManager::SetFlag(const char* name, bool on)
{
    if (on)
        SetLevelValue(name, "1");
    else
        RemoveLevelValue(name);
}

void TLevelManager::SetGroupDefinition(int slot, int timeMS, str def, str type)
{
    SetLevelValue(SectionKey("time", slot), Int(timeMS));
    SetLevelValue(SectionKey("groupDef", slot), def);
    SetLevelValue(SectionKey("groupType", slot), type);
}

int TLevelManager::GetGroupTime(int slot) const { return LevelText(SectionKey("time", slot).c_str()).to_int(); }
str TLevelManager::GetGroupDef(int slot) const { return LevelText(SectionKey("groupDef", slot).c_str()); }
str TLevelManager::GetGroupType(int slot) const { return LevelText(SectionKey("groupType", slot).c_str()); }

void TLevelManager::SetCurrentLevelDefinition(int restaurant, int goal, int expert, int leavePenalty, int snackChance,
                                              str doodle, str layout)
{
    SetLevelValue("goal", Int(goal));
    SetLevelValue("expert", Int(expert));
    SetLevelValue("leavePenalty", Int(leavePenalty));
    SetLevelValue("snackChance", Int(snackChance));
    SetLevelValue("doodle", doodle);
    SetLevelValue("layout", layout);
    if (IsDownloadedLevel())
        SetLevelValue("restaurant", Int(restaurant));
}

void TLevelManager::SetNewChefValue(float value)
{
    if (value == 0)
        RemoveLevelValue("newchef");
    else
        SetLevelValue("newchef", Float(value));
}

void TLevelManager::SetShakeValue(float freq, float length, float spill)
{
    if (freq == 0) {
        RemoveLevelValue("shakefreq");
        RemoveLevelValue("shakelength");
        RemoveLevelValue("shakespill");
        return;
    }
    SetLevelValue("shakefreq", Float(freq));
    SetLevelValue("shakelength", Float(length));
    SetLevelValue("shakespill", Float(spill));
}

void TLevelManager::SetEndlessLevelDefinition(int numStars, int difficultyIncreaseMS, float startingTimeMultiplier,
                                              float timeMultiplierMinimum, float timeMultiplierDecrease)
{
    if (!IsEndless())
        return;
    SetLevelValue("numStars", Int(numStars));
    SetLevelValue("difficultyIncreaseMS", Int(difficultyIncreaseMS));
    SetLevelValue("startingTimeMultiplier", Float(startingTimeMultiplier));
    SetLevelValue("timeMultiplierMinimum", Float(timeMultiplierMinimum));
    SetLevelValue("timeMultiplierDecrease", Float(timeMultiplierDecrease));
}

void TLevelManager::SetTableUpgradeLayout(int n, str name)
{
    if (IsEndless())
        SetLevelValue(LayoutKey(n), name);
}

str TLevelManager::GetTableUpgradeLayout(int n) const
{
    return IsEndless() ? LevelText(LayoutKey(n).c_str()) : str();
}

void TLevelManager::SetSectionInfo(int section, int goal, int timeMS)
{
    if (!IsEndless())
        return;
    SetLevelValue(SectionKey("goal", section), Int(goal));
    SetLevelValue(SectionKey("time", section), Int(timeMS));
}

void TLevelManager::GetSectionInfo(int section, int* goal, int* timeMS) const
{
    const bool endless = IsEndless();
    *goal = endless ? LevelText(SectionKey("goal", section).c_str()).to_int() : 0;
    *timeMS = endless ? LevelText(SectionKey("time", section).c_str()).to_int() : 0;
}

void TLevelManager::SetPartyInfo(int section, int slot, str type, int frequency)
{
    if (!IsEndless())
        return;
    SetLevelValue(PartyKey("group", section, slot), type);
    SetLevelValue(PartyKey("frequency", section, slot), Int(frequency));
}

void TLevelManager::GetPartyInfo(int section, int slot, str* type, int* frequency) const
{
    const bool endless = IsEndless();
    *type = endless ? LevelText(PartyKey("group", section, slot).c_str()) : str();
    *frequency = endless ? LevelText(PartyKey("frequency", section, slot).c_str()).to_int() : 0;
}

str TLevelManager::LevelAsStr() const
{
    if (!mDataRoot)
        return str();
    // A career level file holds its one level: written as every level file
    // is, whoever writes it. Anything else is written as it was read.
    if (!IsEndless() && mLevelNode && mDataRoot->CountChildren() == 1)
        return str(TCareerLevelRecord::Read(*mLevelNode).Write().c_str());
    std::string text;
    if (WriteLevelFile(*mDataRoot, &text))
        return str(text.c_str());
    return str("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + mDataRoot->AsString();
}

void TLevelManager::MarkEdited() { SetLevelValue("edited", "1"); }

bool TLevelManager::SaveLevelDefinition(str path, bool encipher) const
{
    if (!mDataRoot)
        return false;
    const str text = encipher ? TSettings::EncryptString(LevelAsStr()) : LevelAsStr();
    return qm::WriteFileReplacing(path, text.c_str(), static_cast<std::size_t>(text.length()));
}

void InstallDownloadLevelReader()
{
    // Building a career manager for the downloaded level sets the
    // restaurant from its "restaurant" element.
    TSettings::SetDownloadLevelReader([](TSettings&) { TLevelManager reader(TLevelManager::kCareer); });
}
