#include "game/settings/serversavemanager.h"

#include "engine/base/prefs.h"
#include "engine/platform/platform.h"
#include "engine/script/luabind.h"
#include "engine/script/windowscript.h"
#include "engine/window/button.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"
#include "game/settings/settings.h"

namespace {

constexpr char kSaveKey[] = "serversavesetting";
constexpr char kTipKey[] = "serversavetipsetting";

using qm::lua::Method;

int ReadPref(const char* key, int def)
{
    TSettings* settings = TSettings::GetInstance();
    if (!settings || !settings->GetPrefs())
        return def;
    return settings->GetPrefs()->GetInt(key, def, settings->GetCurrentUser());
}

void WritePref(const char* key, int value)
{
    TSettings* settings = TSettings::GetInstance();
    if (!settings || !settings->GetPrefs())
        return;
    settings->GetPrefs()->SetInt(key, value, settings->GetCurrentUser(), true);
}

const qm::lua::TBinding kLuaFunctions[] = {
    {"SSSGEnabled", Method<&TServerSaveManager::Enabled>},
    {"ShowSSSGTip", Method<&TServerSaveManager::ShowSSSGTip>},
    {"RecordSSSGTip", Method<&TServerSaveManager::RecordSSSGTip>},
    {"DoSaveOrLoad", Method<&TServerSaveManager::DoSaveOrLoad>},
};

}  // namespace

TServerSaveManager::TServerSaveManager()
{
    if (TWindowScript* script = TWindowScript::Get())
        qm::lua::PublishAll(script->GetState(), kLuaFunctions, "TServerSaveManager", this, mLifeline);
}

TServerSaveManager::~TServerSaveManager() = default;

TServerSaveManager::ESaveSettings TServerSaveManager::GetSaveSetting()
{
    const int value = ReadPref(kSaveKey, kNotChosen);
    // A value no version wrote reads as not chosen.
    return value >= kAlways && value <= kNotChosen ? static_cast<ESaveSettings>(value) : kNotChosen;
}

void TServerSaveManager::SetSaveSetting(ESaveSettings setting) { WritePref(kSaveKey, setting); }

TServerSaveManager::EShowTipSetting TServerSaveManager::GetTipSetting()
{
    return ReadPref(kTipKey, kShowTip) == kDontShowTip ? kDontShowTip : kShowTip;
}

void TServerSaveManager::SetTipSetting(EShowTipSetting setting) { WritePref(kTipKey, setting); }

bool TServerSaveManager::DoSaveOrLoad() const
{
    const ESaveSettings setting = GetSaveSetting();
    return setting == kAlways || setting == kAsk;
}

bool TServerSaveManager::ShowSSSGTip() const
{
    return GetSaveSetting() == kNotChosen && GetTipSetting() == kShowTip;
}

void TServerSaveManager::RecordSSSGTip(str box)
{
    TWindowManager* manager = TWindowManager::GetInstance();
    TModalWindow* top = manager ? manager->GetTopModalWindow() : nullptr;
    TWindow* child = top ? top->GetChildWindow(box, -1) : nullptr;
    if (TButton* button = child ? ::GetCast<TButton>(child) : nullptr)
        SetTipSetting(button->IsOn() ? kDontShowTip : kShowTip);
}
