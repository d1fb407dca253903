#include "game/screens/playerscreens.h"

#include "engine/base/debuglog.h"
#include "engine/base/prefs.h"
#include "engine/platform/platform.h"
#include "engine/script/luabind.h"
#include "engine/sound/sound.h"
#include "engine/sound/soundmanager.h"
#include "engine/window/button.h"
#include "engine/window/message.h"
#include "engine/window/modalwindow.h"
#include "engine/window/slider.h"
#include "engine/window/stringtable.h"
#include "engine/window/textedit.h"
#include "game/screens/luamethod.h"
#include "game/screens/screenchildren.h"
#include "game/screens/showwindow.h"
#include "game/settings/serversavemanager.h"
#include "game/settings/settings.h"

#include <algorithm>
#include <cstdio>

namespace {

str SlotName(int slot)
{
    char name[24];
    std::snprintf(name, sizeof name, "button%d", slot);
    return name;
}

int LuaGetCurrentSelectedUser(lua_State* L)
{
    lua_pushnumber(L, qm::lua::Self<TChoosePlayer>(L)->GetCurrentSelectedUser());
    return 1;
}

int LuaGetSelectedPlayerName(lua_State* L)
{
    const str name = qm::lua::Self<TChoosePlayer>(L)->GetSelectedPlayerName();
    lua_pushstring(L, name.c_str());
    return 1;
}

int LuaTurnPlayerPage(lua_State* L)
{
    const int pages = qm::lua::CheckInt(L, 1);
    qm::lua::Self<TChoosePlayer>(L)->TurnPlayerPage(pages);
    return 0;
}

const qm::lua::TBinding kChoosePlayerFunctions[] = {
    {"TurnPlayerPage", LuaTurnPlayerPage},
    {"SetPlayerChoices", LuaMethod<TChoosePlayer, &TChoosePlayer::SetPlayerChoices>},
    {"GetCurrentSelectedUser", LuaGetCurrentSelectedUser},
    {"GetSelectedPlayerName", LuaGetSelectedPlayerName},
};

const qm::lua::TBinding kOptionsFunctions[] = {
    {"SaveVolumes", LuaMethod<TOptions, &TOptions::SaveVolumes>},
};

// The volume sliders: window name, preference key, default in thousandths.
struct TVolumeSlider {
    const char* window;
    const char* key;
    int defaultLevel;
    int soundType;
};
const TVolumeSlider kVolumeSliders[] = {
    {"sfxlevelslider", "soundlevel", 750, TSoundManager::kEffects},
    {"musiclevelslider", "musiclevel", 750, TSoundManager::kMusic},
    {"environmentlevelslider", "environmentlevel", 500, TSoundManager::kEnvironment},
};

TPrefs* Prefs()
{
    TSettings* settings = TSettings::GetInstance();
    return settings ? settings->GetPrefs() : nullptr;
}

int CurrentPlayer(TPrefs& prefs) { return prefs.GetInt("curuser", 0, -1); }

using contract::Child;
const contract::TChildSpec kChoosePlayerChildren[] = {
    contract::Numbered("button%d", 0, TChoosePlayer::kMaxPlayers - 1, &TButton::ClassId),
    Child("delete"),
    Child("chooseok"),
    Child("editname"),
    Child("advanced"),
    Child("newplayer"),
    Child("playersprev"),
    Child("playersnext"),
};

const contract::TChildSpec kEnterNameChildren[] = {
    Child("nameedit", &TTextEdit::ClassId),
    Child("namecount", &TText::ClassId),
    Child("namefull", &TText::ClassId),
    Child("enterok"),
    Child("advanced"),
    Child("advancedtip"),
};

const contract::TChildSpec kOptionsChildren[] = {
    Child("fullscreen", &TButton::ClassId),
    Child("mutebox", &TButton::ClassId),
    Child("sfxlevelslider", &TSlider::ClassId),
    Child("musiclevelslider", &TSlider::ClassId),
    Child("environmentlevelslider", &TSlider::ClassId),
};

}  // namespace

const contract::TScreenSpec TChoosePlayer::kContract{"TChoosePlayer", "ChoosePlayerWindow", "scripts/chooseplayer.lua",
                                                     kChoosePlayerFunctions, kChoosePlayerChildren};
const contract::TScreenSpec TEnterName::kContract{"TEnterName", "EnterNameWindow", "scripts/entername.lua", {},
                                                  kEnterNameChildren};
const contract::TScreenSpec TOptions::kContract{"TOptions", "OptionsWindow", "scripts/options.lua", kOptionsFunctions,
                                                kOptionsChildren};

// ---- TChoosePlayer ----

TChoosePlayer::TChoosePlayer()
{
    PublishFunctions();
}

void TChoosePlayer::SetPlayerChoices()
{
    TSettings* settings = TSettings::GetInstance();
    mChosen = settings ? settings->GetCurrentUser() : -1;
    mFirst = mChosen > 0 ? mChosen / kMaxPlayers * kMaxPlayers : 0;
    ShowPage();
}

void TChoosePlayer::ShowPage()
{
    TPlatform* platform = TPlatform::GetInstance();
    const std::uint32_t start = platform ? platform->Timer() : 0;
    TSettings* settings = TSettings::GetInstance();
    const int players = settings ? settings->GetNumUsers() : 0;
    const int lastPage = players > 0 ? (players - 1) / kMaxPlayers * kMaxPlayers : 0;
    mFirst = std::clamp(mFirst, 0, lastPage);
    for (int slot = 0; slot < kMaxPlayers; ++slot) {
        const int player = mFirst + slot;
        TWindow* w = Child(SlotName(slot));
        ShowWindow(w, player < players);
        auto* button = ::GetCast<TButton>(w);
        if (button && player < players) {
            // A long name is shown smaller rather than run over its button.
            screens::SetTextOnOneLine(::GetCast<TText>(button->GetChildWindow("label", -1)),
                                      screens::PlainText(settings->GetUserName(player)));
        }
    }
    ShowChosen();
    ShowWindow(Child("playersprev"), mFirst > 0);
    ShowWindow(Child("playersnext"), mFirst + kMaxPlayers < players);
    ShowWindow(Child("delete"), players > 0);
    ShowWindow(Child("chooseok"), players > 0);
    ShowWindow(Child("editname"), players > 0);
    ShowWindow(Child("advanced"), players > 0 && TServerSaveManager::IsSystemEnabled());
    ShowWindow(Child("newplayer"), players < kMaxPlayers);
    InvalidateRect(nullptr);
    WriteDbg("SetPlayerChoices: %d", platform ? static_cast<int>(platform->Timer() - start) : 0);
}

// The chosen player's button is on when it is on this page; otherwise none is.
void TChoosePlayer::ShowChosen()
{
    for (int slot = 0; slot < kMaxPlayers; ++slot)
        if (auto* button = Child<TButton>(SlotName(slot)))
            button->SetOn(false);
    if (mChosen >= mFirst && mChosen < mFirst + kMaxPlayers)
        if (auto* button = Child<TButton>(SlotName(mChosen - mFirst)))
            button->SetOn(true);
}

void TChoosePlayer::TurnPlayerPage(int pages)
{
    const int chosen = GetCurrentSelectedUser();
    if (chosen >= 0)
        mChosen = chosen;
    mFirst += pages * kMaxPlayers;
    ShowPage();
}

int TChoosePlayer::GetCurrentSelectedUser()
{
    for (int slot = 0; slot < kMaxPlayers; ++slot) {
        auto* button = Child<TButton>(SlotName(slot));
        if (button && button->IsOn() && button->IsVisible())
            return mFirst + slot;
    }
    return -1;
}

str TChoosePlayer::GetSelectedPlayerName()
{
    const int player = GetCurrentSelectedUser();
    TSettings* settings = TSettings::GetInstance();
    return player >= 0 && settings ? settings->GetUserName(player) : str();
}

void TChoosePlayer::PostChildrenInit()
{
    SetPlayerChoices();
    TWindow* advanced = Child("advanced");
    if (TServerSaveManager::IsSystemEnabled() || !advanced)
        return;
    ShowWindow(advanced, false);
    // The new-player button takes the hidden button's place.
    if (TWindow* newPlayer = Child("newplayer"))
        newPlayer->SetWindowPos(advanced->GetRect().x1, advanced->GetRect().y1);
}

// ---- TEnterName ----

TEnterName::TEnterName() : mKeySound(TSound::Get("audio/sfx/keystroke2.ogg", false, TSoundManager::kEffects)) {}

TEnterName::~TEnterName() = default;

void TEnterName::Show(const char* name, bool show) { ShowWindow(Child(name), show); }

void TEnterName::ShowCount()
{
    auto* edit = Child<TTextEdit>("nameedit");
    TPlatform* platform = TPlatform::GetInstance();
    TStringTable* strings = platform ? platform->GetStringTable() : nullptr;
    if (!edit || !strings)
        return;
    const str length = str::getFormatted("%d", edit->GetLength());
    const str most = str::getFormatted("%d", edit->GetMaxLength());
    const bool full = edit->GetLength() >= edit->GetMaxLength();
    screens::SetChildText(this, "namecount", strings->GetString("entername_count", length, most, str(), str(), str()),
                          true);
    screens::SetChildText(this, "namefull", strings->GetString("entername_full", length, most, str(), str(), str()),
                          true);
    screens::ShowChild(this, "namecount", !full);
    screens::ShowChild(this, "namefull", full);
}

void TEnterName::PostChildrenInit()
{
    auto* edit = Child<TTextEdit>("nameedit");
    if (edit) {
        edit->SetIgnoreChars(kRefusedNameChars);
        // The dialog's only field: a click anywhere else on it (the focus then
        // goes to the dialog) hands the focus straight back, so no key is lost.
        if (TModalWindow* dialog = FindParentModal())
            dialog->SetDefaultFocus(edit);
    }
    ShowCount();
    if (!Child("enterok"))
        return;
    const bool hasText = edit && edit->GetText().length() > 0;
    if (!hasText)
        Show("enterok", false);
    if (!(TServerSaveManager::IsSystemEnabled() && hasText)) {
        Show("advanced", false);
        Show("advancedtip", false);
    }
}

bool TEnterName::OnMessage(TMessage* m)
{
    if (m->GetType() != kTextChanged)
        return false;
    if (mKeySound)
        mKeySound->Play(false);
    auto* edit = Child<TTextEdit>("nameedit");
    const bool hasText = edit && edit->GetText().length() > 0;
    ShowCount();
    Show("enterok", hasText);
    if (hasText && TServerSaveManager::IsSystemEnabled()) {
        Show("advanced", true);
        Show("advancedtip", true);
    }
    if (!hasText) {
        // It must not keep a hover look it had before it went.
        if (TWindow* ok = Child("enterok"))
            ok->OnMouseLeave();
    }
    return true;
}

// ---- TOptions ----

TOptions::TOptions()
{
    PublishFunctions();
}

void TOptions::PostChildrenInit()
{
    TSettings* settings = TSettings::GetInstance();
    TPrefs* prefs = Prefs();
    if (auto* full = Child<TButton>("fullscreen"); full && settings)
        full->SetOn(settings->IsFullScreen());
    if (!prefs)
        return;
    const int player = CurrentPlayer(*prefs);
    if (auto* mute = Child<TButton>("mutebox"))
        mute->SetOn(prefs->GetInt("soundoff", 0, player) == 1);
    for (const TVolumeSlider& v : kVolumeSliders) {
        if (auto* slider = Child<TSlider>(v.window))
            slider->SetValue(static_cast<float>(prefs->GetInt(v.key, v.defaultLevel, player)) / 1000.0f, true);
    }
}

bool TOptions::OnMessage(TMessage* m)
{
    if (m->GetType() != kSliderMoved)
        return false;
    for (const TVolumeSlider& v : kVolumeSliders) {
        if (m->GetName() != str(v.window))
            continue;
        auto* slider = Child<TSlider>(v.window);
        TSoundManager* sound = TSoundManager::GetInstance();
        if (!slider)
            return false;
        if (sound) {
            sound->SetTypeVolume(v.soundType, slider->GetValue());
            // Sounds got without a type play at the effects' volume.
            if (v.soundType == TSoundManager::kEffects)
                sound->SetTypeVolume(0, slider->GetValue());
        }
        return true;
    }
    return false;
}

void TOptions::SaveVolumes()
{
    TPrefs* prefs = Prefs();
    if (!prefs)
        return;
    const int player = CurrentPlayer(*prefs);
    for (const TVolumeSlider& v : kVolumeSliders) {
        if (auto* slider = Child<TSlider>(v.window))
            prefs->SetInt(v.key, static_cast<int>(slider->GetValue() * 1000.0f), player, true);
    }
}
