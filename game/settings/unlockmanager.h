// The rules of "assets/config/unlocks.xml" that open level packs and outfits
// once the player reaches a level, a score or expert on a restaurant. The
// manager remembers which rules were met when the level started, so each
// newly met rule is announced once.
#pragma once

#include "engine/base/str.h"
#include "engine/base/xml.h"

#include <memory>


// The parsed unlocks document; the run-time "_stateUnlocked" marks live in it
// and are never written back to disk.
struct TUnlockManagerData {
    TXmlNode document;
};

class TUnlockManager {
public:
    // int-based: GetNextUnlockedItem reports 2 for a rule of any other type.
    enum EUnlockType : int { kLevel = 0, kOutfit = 1 };
    static str TypeToStr(int type);

    // One instance, made and deleted by its owner (the game's start-up):
    // Create replaces any existing one (and publishes the Lua function
    // IsSomethingNewUnlocked); GetInstance never makes one (null before
    // Create and after Free).
    static TUnlockManager* Create();
    static TUnlockManager* GetInstance();
    static void Free();
    ~TUnlockManager();
    TUnlockManager(const TUnlockManager&) = delete;
    TUnlockManager& operator=(const TUnlockManager&) = delete;

    // Whether the current player's progress meets the rule.
    bool IsNodeUnlocked(TXmlNode* rule);
    bool IsAnyLevelUnlocked();
    // The first rule for that item decides; an item no rule names is open.
    bool IsItemUnlocked(EUnlockType type, str name, int color);
    // What opens the item, in words a player can act on: the level (counted
    // from 1) that its deciding rule asks to finish; 0 when no rule names
    // it, or its rule asks for something else too (a score, expert play).
    int LevelToFinish(EUnlockType type, str name) const;
    // Records every rule's state now; the level set-up calls it.
    void MarkCurrentState();
    // The first rule met since the last mark, marked so it is returned once.
    bool GetNextUnlockedItem(EUnlockType* type, str* name);
    bool IsSomethingNewUnlocked();

private:
    TUnlockManager();
    TXmlNode* Root() const;
    // The first rule that names the item (of that colour, for an outfit), or null.
    TXmlNode* ItemRule(EUnlockType type, const str& name, int color) const;
    void RegisterLuaFunction();

    std::unique_ptr<TUnlockManagerData> mData;
};
