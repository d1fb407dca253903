#include "game/app/serversavemanager.h"

#include "engine/base/prefs.h"
#include "engine/platform/platform.h"
#include "engine/script/luabind.h"
#include "engine/window/button.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"
#include "game/screens/luaexport.h"
#include "game/settings/settings.h"

namespace {

constexpr char kSaveKey[] = "serversavesetting";
constexpr char kTipKey[] = "serversavetipsetting";

using TTarget = game::TLuaTarget<TServerSaveManager>;

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

int LuaEnabled(lua_State* L)
{
    const TServerSaveManager* m = TTarget::Get("SSSGEnabled");
    return game::LuaReturn(L, m && m->Enabled());
}

int LuaShowTip(lua_State* L)
{
    const TServerSaveManager* m = TTarget::Get("ShowSSSGTip");
    return game::LuaReturn(L, m && m->ShowSSSGTip());
}

int LuaRecordTip(lua_State* L)
{
    const str box = qm::lua::CheckString(L, 1);
    if (TServerSaveManager* m = TTarget::Get("RecordSSSGTip"))
        m->RecordSSSGTip(box);
    return 0;
}

int LuaDoSaveOrLoad(lua_State* L)
{
    const TServerSaveManager* m = TTarget::Get("DoSaveOrLoad");
    return game::LuaReturn(L, m && m->DoSaveOrLoad());
}

}  // namespace

TServerSaveManager::TServerSaveManager()
{
    TTarget::Bind(this);
    game::PublishLua("SSSGEnabled", LuaEnabled);
    game::PublishLua("ShowSSSGTip", LuaShowTip);
    game::PublishLua("RecordSSSGTip", LuaRecordTip);
    game::PublishLua("DoSaveOrLoad", LuaDoSaveOrLoad);
}

TServerSaveManager::~TServerSaveManager() { TTarget::Unbind(this); }

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
