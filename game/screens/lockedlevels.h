// TLockedLevels ("LockedLevels"): the extra level packs found in
// assets/config/levels, five slots on screen, each ready or locked by the
// unlock rules: a ready pack shows its play button, a locked one a padlock
// in its place and the level that opens it. Its script asks for a pack's
// file and state by list index.
// It also lists the levels the player has downloaded into the "levels"
// folder of their data folder (each a level file of its own, always ready
// when it can be read; one that cannot is listed saying why, without play).
#pragma once

#include "engine/base/str.h"
#include "engine/window/window.h"
#include "game/screens/scriptedwindow.h"

#include <array>
#include <vector>

class TButton;
class TText;

struct TGameDescription {
    enum EContentState : int { kReady = 0, kLocked = 1 };
    str name;
    EContentState state = kReady;
    str file;
};

// A level file in the player's own folder.
struct TDownloadedLevel {
    str file;         // its full path, ending in ".xml" (a ".bin" is read enciphered)
    str title;        // shown: the file's name, as plain text
    str description;  // the level's own "description" element, as plain text
    str problem;      // why it cannot be played, in the player's words; "" when it can
};

class TLockedLevels : public TScriptedWindow<TLockedLevels> {
public:
    static const contract::TScreenSpec kContract;

    static constexpr int kSlots = 5;
    static constexpr int kMaxDownloads = 20;

    TLockedLevels();

    void PostChildrenInit() override;

    // Entries read by index; null outside the list, so a script that asks
    // for a slot past the end gets an empty answer, not a stray read.
    const TGameDescription* GetGame(int index) const;
    int GetGameCount() const { return static_cast<int>(mGames.size()); }
    // What the script reads of an entry: empty (or false) outside the list.
    str GameFile(int index) const;
    bool IsGameLocked(int index) const;
    str GameDescription(int index) const;  // the pack's "<name>_description" string

    void BuildGameList(const char* folder);
    // Reads the downloaded levels of `folder` (sorted by name, at most
    // kMaxDownloads); PostChildrenInit reads the player's own.
    void BuildDownloadList(const str& folder);
    static str DownloadFolder();
    const TDownloadedLevel* GetDownload(int index) const;
    int GetDownloadCount() const { return static_cast<int>(mDownloads.size()); }
    str DownloadFile(int index) const;
    str DownloadTitle(int index) const;
    str DownloadDescription(int index) const;
    str DownloadProblem(int index) const;
    void AddGame(str name, TGameDescription::EContentState state, str file);
    void UpdateDisplay();

private:
    struct TSlot {
        TButton* button = nullptr;
        TText* title = nullptr;
        TText* description = nullptr;
        TText* status = nullptr;
        TWindow* lock = nullptr;    // the padlock a locked pack shows instead of its button
        TText* unlock = nullptr;    // what opens a locked pack
    };
    std::array<TSlot, kSlots> mSlots{};
    std::vector<TGameDescription> mGames;
    std::vector<TDownloadedLevel> mDownloads;
};

