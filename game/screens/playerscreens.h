// The windows behind the player and options screens, each laid out by its
// script, which also wires the buttons to the settings' Lua functions:
// TChoosePlayer ("ChoosePlayerWindow") lists the players as buttons, ten at
// a time (arrows page through more),
// TEnterName ("EnterNameWindow") takes a new player's name, TOptions
// ("OptionsWindow") shows and applies the volumes, full screen and mute.
#pragma once

#include "engine/window/window.h"
#include "game/screens/scriptedwindow.h"

#include <memory>

class TSound;

class TChoosePlayer : public TScriptedWindow<TChoosePlayer> {
public:
    static const contract::TScreenSpec kContract;

    static constexpr int kMaxPlayers = 10;

    TChoosePlayer();

    void PostChildrenInit() override;

    // Shows the page of players that holds the current one, chosen.
    void SetPlayerChoices();
    // The player whose button is on; -1 when none is, so nothing acts on a
    // player nobody chose.
    int GetCurrentSelectedUser();
    // The chosen player's name; empty when none is chosen.
    str GetSelectedPlayerName();
    // Turns to the next (pages > 0) or an earlier page of players; the
    // chosen one stays chosen. "playersprev" and "playersnext" show only
    // where there is a page to turn to.
    void TurnPlayerPage(int pages);

private:
    void ShowPage();
    void ShowChosen();

    int mFirst = 0;    // the player in slot 0
    int mChosen = -1;  // the player chosen, shown or not
};

// The name entry: the field ("nameedit") keeps the keys wherever the dialog
// is clicked; "namecount" shows how many of the field's characters are used
// ("entername_count"), and at the limit "namefull" shows instead
// ("entername_full").
class TEnterName : public TScriptedWindow<TEnterName> {
public:
    static const contract::TScreenSpec kContract;

    // Kept out of names: they would act as argument marks and markup where
    // the name is shown through the string table.
    static constexpr const char* kRefusedNameChars = "%<>";

    TEnterName();
    ~TEnterName() override;

    void PostChildrenInit() override;
    bool OnMessage(TMessage* m) override;

private:
    void ShowCount();

    std::shared_ptr<TSound> mKeySound;
};

class TOptions : public TScriptedWindow<TOptions> {
public:
    static const contract::TScreenSpec kContract;

    TOptions();

    void PostChildrenInit() override;
    bool OnMessage(TMessage* m) override;
    void SaveVolumes();
};

