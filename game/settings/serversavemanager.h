// TServerSaveManager: per player, whether the game saves to and loads from
// the save-game server (always, after asking, never, not chosen yet) and
// whether the tip about it was dismissed. The feature is switched off in
// this game: Enabled and IsSystemEnabled always answer false. Main makes one
// at start-up and deletes it at quit; the answers live in prefs.dat.
#pragma once

#include "engine/base/lifeline.h"
#include "engine/base/str.h"

class TServerSaveManager {
public:
    enum ESaveSettings : int { kAlways = 0, kAsk = 1, kNever = 2, kNotChosen = 3 };
    enum EShowTipSetting : int { kShowTip = 0, kDontShowTip = 1 };

    // Publishes SSSGEnabled, ShowSSSGTip, RecordSSSGTip and DoSaveOrLoad.
    TServerSaveManager();
    ~TServerSaveManager();
    TServerSaveManager(const TServerSaveManager&) = delete;
    TServerSaveManager& operator=(const TServerSaveManager&) = delete;

    static bool IsSystemEnabled() { return false; }
    // The current player's choices; defaults without settings or a choice.
    static ESaveSettings GetSaveSetting();
    static void SetSaveSetting(ESaveSettings setting);
    static EShowTipSetting GetTipSetting();
    static void SetTipSetting(EShowTipSetting setting);

    bool Enabled() const { return false; }
    bool DoSaveOrLoad() const;
    bool ShowSSSGTip() const;
    // Stores the tip setting from the toggle `box` of the top modal window:
    // on = do not show again. Nothing when there is no such button.
    void RecordSSSGTip(str box);

private:
    // Last, so the Lua functions see it cut before anything else goes.
    TLifeline mLifeline;
};
