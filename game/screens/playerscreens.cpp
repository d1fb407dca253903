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
#include "engine/window/showwindow.h"
#include "engine/window/slider.h"
#include "engine/window/stringtable.h"
#include "engine/window/textedit.h"
#include "game/screens/screenchildren.h"
#include "game/settings/serversavemanager.h"
#include "game/settings/settings.h"

#include <algorithm>

namespace {

using screens::ShowChild;

using qm::lua::Method;
const qm::lua::TBinding kChoosePlayerFunctions[] = {
    {"TurnPlayerPage", Method<&TChoosePlayer::TurnPlayerPage>},
    {"SetPlayerChoices", Method<&TChoosePlayer::SetPlayerChoices>},
    {"GetCurrentSelectedUser", Method<&TChoosePlayer::GetCurrentSelectedUser>},
    {"GetSelectedPlayerName", Method<&TChoosePlayer::GetSelectedPlayerName>},
};

const qm::lua::TBinding kOptionsFunctions[] = {
    {"SaveVolumes", Method<&TOptions::SaveVolumes>},
};

TPrefs* Prefs()
{
    TSettings* settings = TSettings::GetInstance();
    return settings ? settings->GetPrefs() : nullptr;
}

int CurrentPlayer(TPrefs& prefs) { return prefs.GetInt("curuser", 0, -1); }

constexpr auto kButton = contract::Numbered<TButton>("button%d", 0, TChoosePlayer::kMaxPlayers - 1);
constexpr auto kDelete = contract::Child<TWindow>("delete");
constexpr auto kChooseok = contract::Child<TWindow>("chooseok");
constexpr auto kEditname = contract::Child<TWindow>("editname");
constexpr auto kAdvanced = contract::Child<TWindow>("advanced");
constexpr auto kNewplayer = contract::Child<TWindow>("newplayer");
constexpr auto kPlayersprev = contract::Child<TWindow>("playersprev");
constexpr auto kPlayersnext = contract::Child<TWindow>("playersnext");
const contract::TChildSpec kChoosePlayerChildren[] = {
    kButton,
    kDelete,
    kChooseok,
    kEditname,
    kAdvanced,
    kNewplayer,
    kPlayersprev,
    kPlayersnext,
};

constexpr auto kNameedit = contract::Child<TTextEdit>("nameedit");
constexpr auto kNamecount = contract::Child<TText>("namecount");
constexpr auto kNamefull = contract::Child<TText>("namefull");
constexpr auto kEnterok = contract::Child<TWindow>("enterok");
constexpr auto kAdvancedtip = contract::Child<TWindow>("advancedtip");
const contract::TChildSpec kEnterNameChildren[] = {
    kNameedit,
    kNamecount,
    kNamefull,
    kEnterok,
    kAdvanced,
    kAdvancedtip,
};

constexpr auto kFullscreen = contract::Child<TButton>("fullscreen");
constexpr auto kMutebox = contract::Child<TButton>("mutebox");
constexpr auto kSfxlevelslider = contract::Child<TSlider>("sfxlevelslider");
constexpr auto kMusiclevelslider = contract::Child<TSlider>("musiclevelslider");
constexpr auto kEnvironmentlevelslider = contract::Child<TSlider>("environmentlevelslider");
const contract::TChildSpec kOptionsChildren[] = {
    kFullscreen,
    kMutebox,
    kSfxlevelslider,
    kMusiclevelslider,
    kEnvironmentlevelslider,
};

// The volume sliders: the slider, preference key, default in thousandths.
struct TVolumeSlider {
    contract::TChild<TSlider> slider;
    const char* key;
    int defaultLevel;
    int soundType;
};
const TVolumeSlider kVolumeSliders[] = {
    {kSfxlevelslider, "soundlevel", 750, TSoundManager::kEffects},
    {kMusiclevelslider, "musiclevel", 750, TSoundManager::kMusic},
    {kEnvironmentlevelslider, "environmentlevel", 500, TSoundManager::kEnvironment},
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
        TWindow* w = Child(kButton, slot);
        ShowWindow(w, player < players);
        auto* button = ::GetCast<TButton>(w);
        if (button && player < players) {
            // A long name is shown smaller rather than run over its button.
            screens::SetTextOnOneLine(::GetCast<TText>(button->GetChildWindow("label", -1)),
                                      screens::PlainText(settings->GetUserName(player)));
        }
    }
    ShowChosen();
    ShowWindow(Child(kPlayersprev), mFirst > 0);
    ShowWindow(Child(kPlayersnext), mFirst + kMaxPlayers < players);
    ShowWindow(Child(kDelete), players > 0);
    ShowWindow(Child(kChooseok), players > 0);
    ShowWindow(Child(kEditname), players > 0);
    ShowWindow(Child(kAdvanced), players > 0 && TServerSaveManager::IsSystemEnabled());
    ShowWindow(Child(kNewplayer), players < kMaxPlayers);
    InvalidateRect(nullptr);
    WriteDbg("SetPlayerChoices: %d", platform ? static_cast<int>(platform->Timer() - start) : 0);
}

// The chosen player's button is on when it is on this page; otherwise none is.
void TChoosePlayer::ShowChosen()
{
    for (int slot = 0; slot < kMaxPlayers; ++slot)
        if (auto* button = Child(kButton, slot))
            button->SetOn(false);
    if (mChosen >= mFirst && mChosen < mFirst + kMaxPlayers)
        if (auto* button = Child(kButton, mChosen - mFirst))
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
        auto* button = Child(kButton, slot);
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
    TWindow* advanced = Child(kAdvanced);
    if (TServerSaveManager::IsSystemEnabled() || !advanced)
        return;
    ShowWindow(advanced, false);
    // The new-player button takes the hidden button's place.
    if (TWindow* newPlayer = Child(kNewplayer))
        newPlayer->SetWindowPos(advanced->GetRect().x1, advanced->GetRect().y1);
}

// ---- TEnterName ----

TEnterName::TEnterName() : mKeySound(TSound::Get("audio/sfx/keystroke2.ogg", false, TSoundManager::kEffects)) {}

TEnterName::~TEnterName() = default;

void TEnterName::ShowCount()
{
    auto* edit = Child(kNameedit);
    TPlatform* platform = TPlatform::GetInstance();
    TStringTable* strings = platform ? platform->GetStringTable() : nullptr;
    if (!edit || !strings)
        return;
    const str length = str::getFormatted("%d", edit->GetLength());
    const str most = str::getFormatted("%d", edit->GetMaxLength());
    const bool full = edit->GetLength() >= edit->GetMaxLength();
    screens::SetChildText(this, kNamecount, strings->GetString("entername_count", length, most, str(), str(), str()),
                          true);
    screens::SetChildText(this, kNamefull, strings->GetString("entername_full", length, most, str(), str(), str()),
                          true);
    screens::ShowChild(this, kNamecount, !full);
    screens::ShowChild(this, kNamefull, full);
}

void TEnterName::PostChildrenInit()
{
    auto* edit = Child(kNameedit);
    if (edit) {
        edit->SetIgnoreChars(kRefusedNameChars);
        // The dialog's only field: a click anywhere else on it (the focus then
        // goes to the dialog) hands the focus straight back, so no key is lost.
        if (TModalWindow* dialog = FindParentModal())
            dialog->SetDefaultFocus(edit);
    }
    ShowCount();
    if (!Child(kEnterok))
        return;
    const bool hasText = edit && edit->GetText().length() > 0;
    if (!hasText)
        ShowChild(this, kEnterok, false);
    if (!(TServerSaveManager::IsSystemEnabled() && hasText)) {
        ShowChild(this, kAdvanced, false);
        ShowChild(this, kAdvancedtip, false);
    }
}

bool TEnterName::OnMessage(TMessage* m)
{
    if (m->GetType() != kTextChanged)
        return false;
    if (mKeySound)
        mKeySound->Play(false);
    auto* edit = Child(kNameedit);
    const bool hasText = edit && edit->GetText().length() > 0;
    ShowCount();
    ShowChild(this, kEnterok, hasText);
    if (hasText && TServerSaveManager::IsSystemEnabled()) {
        ShowChild(this, kAdvanced, true);
        ShowChild(this, kAdvancedtip, true);
    }
    if (!hasText) {
        // It must not keep a hover look it had before it went.
        if (TWindow* ok = Child(kEnterok))
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
    if (auto* full = Child(kFullscreen); full && settings)
        full->SetOn(settings->IsFullScreen());
    if (!prefs)
        return;
    const int player = CurrentPlayer(*prefs);
    if (auto* mute = Child(kMutebox))
        mute->SetOn(prefs->GetInt("soundoff", 0, player) == 1);
    for (const TVolumeSlider& v : kVolumeSliders) {
        if (auto* slider = Child(v.slider))
            slider->SetValue(static_cast<float>(prefs->GetInt(v.key, v.defaultLevel, player)) / 1000.0f, true);
    }
}

bool TOptions::OnMessage(TMessage* m)
{
    // The box has ticked itself: it shows what the display really is, a
    // window when the desktop refused full screen.
    if (m->GetType() == kButtonPress && m->GetName() == str(kFullscreen.name)) {
        TSettings* settings = TSettings::GetInstance();
        if (auto* full = Child(kFullscreen); full && settings)
            full->SetOn(settings->IsFullScreen());
        return false;
    }
    if (m->GetType() != kSliderMoved)
        return false;
    for (const TVolumeSlider& v : kVolumeSliders) {
        if (m->GetName() != str(v.slider.name))
            continue;
        auto* slider = Child(v.slider);
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
        if (auto* slider = Child(v.slider))
            prefs->SetInt(v.key, static_cast<int>(slider->GetValue() * 1000.0f), player, true);
    }
}
