#include "game/screens/serversavelogin.h"

#include "engine/base/debuglog.h"
#include "engine/base/prefs.h"
#include "engine/platform/platform.h"
#include "engine/script/luabind.h"
#include "engine/sound/sound.h"
#include "engine/sound/soundmanager.h"
#include "engine/window/button.h"
#include "engine/window/message.h"
#include "engine/window/textedit.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"
#include "game/screens/profilecheck.h"
#include "game/screens/screenchildren.h"
#include "game/settings/serversavemanager.h"
#include "game/settings/settings.h"
#include "online/hiscores.h"
#include "online/serversaves.h"

using screens::GetChildText;
using screens::PlainText;
using screens::SetChildText;
using screens::ShowChild;
using screens::Text;

namespace {

constexpr int kPollMs = 50;
constexpr int kLoginBytes = 512;

template <void (TServerSaveLogin::*Action)()>
int Call(lua_State* L)
{
    (qm::lua::Self<TServerSaveLogin>(L)->*Action)();
    return 0;
}

int LuaRefreshButton(lua_State* L)
{
    const str name = qm::lua::CheckString(L, 1);
    if (TWindow* child = qm::lua::Self<TServerSaveLogin>(L)->GetChildWindow(name, -1))
        child->OnMouseLeave();
    return 0;
}

const qm::lua::TBinding kLuaFunctions[] = {
    {"LaunchAccountCreate", &Call<&TServerSaveLogin::LaunchAccountCreate>},
    {"VerifyLoginInfo", &Call<&TServerSaveLogin::VerifyLoginInfo>},
    {"CloseResponseWindow", &Call<&TServerSaveLogin::CloseResponseWindow>},
    {"LoadSSSG", &Call<&TServerSaveLogin::LoadSSSG>},
    {"SaveSSSG", &Call<&TServerSaveLogin::SaveSSSG>},
    {"InstallDownload", &Call<&TServerSaveLogin::InstallDownload>},
    {"ToggleRemember", &Call<&TServerSaveLogin::ToggleRemember>},
    {"RefreshButton", &LuaRefreshButton},
};

TQmHiscores* Hiscores()
{
    TSettings* settings = TSettings::GetInstance();
    return settings ? settings->GetHiscores() : nullptr;
}

using contract::Child;
const contract::TChildSpec kLoginChildren[] = {
    Child("nameedit", &TTextEdit::ClassId),
    Child("passedit", &TTextEdit::ClassId),
    Child("enterok", &TButton::ClassId),
    Child("remember", &TButton::ClassId),
    Child("alwayssave", &TButton::ClassId),
    Child("asksave", &TButton::ClassId),
    Child("neverssave", &TButton::ClassId),
    Child("loginwindow"),
    Child("downloadavailable"),
    Child("responsewindow"),
    Child("responseok"),
    Child("responsedetails", &TText::ClassId),
};

}  // namespace

const contract::TScreenSpec TServerSaveLogin::kContract{"TServerSaveLogin", TServerSaveLogin::kTypeName,
                                                        "scripts/serversavelogin.lua", kLuaFunctions, kLoginChildren};

TServerSaveLogin::TServerSaveLogin()
{
    TPlatform* platform = TPlatform::GetInstance();
    mSaves = std::make_unique<TServerSaves>("corvellatrip", platform ? platform->GetVersion() : "",
                                            Text("defaultsaveerror"), Text("ISO-639_language"));
    mKeyClick = TSound::Get("audio/sfx/keystroke2.ogg", false, TSoundManager::kEffects);
    PublishFunctions();
}

TServerSaveLogin::~TServerSaveLogin() = default;

bool TServerSaveLogin::Init()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    IWindowScript* script = manager ? manager->GetScript() : nullptr;
    mMode = script ? int(script->GetNumber("mode", 0)) : kVerify;
    return TWindow::Init();
}

void TServerSaveLogin::PostChildrenInit()
{
    SwitchModes(kLoginForm);
    const auto setting = TServerSaveManager::GetSaveSetting();
    SetOn("alwayssave", setting == TServerSaveManager::kAlways);
    SetOn("asksave", setting == TServerSaveManager::kAsk || setting == TServerSaveManager::kNotChosen);
    SetOn("neverssave", setting == TServerSaveManager::kNever);
    char name[kLoginBytes] = {}, password[kLoginBytes] = {};
    TQmHiscores* hiscores = Hiscores();
    const bool remembered = hiscores && hiscores->GetRememberedUserInfo(name, sizeof name, password, sizeof password);
    if (remembered) {
        SetChildText(this, "nameedit", name);
        SetChildText(this, "passedit", password);
        SetOn("remember", true);
    } else {
        ShowChild(this, "alwayssave", false);
    }
    if (GetChildText(this, "nameedit").length() == 0)
        ShowChild(this, "enterok", false);
    if (setting == TServerSaveManager::kAlways && remembered) {
        if (mMode == kDownload)
            LoadSSSG();
        else if (mMode == kSave)
            SaveSSSG();
    }
    StartWindowAnimation(kPollMs, true, true, false);
}

void TServerSaveLogin::SwitchModes(EMode mode)
{
    ShowChild(this, "loginwindow", mode == kLoginForm);
    ShowChild(this, "downloadavailable", mode == kDownloadAvailable);
    ShowChild(this, "responsewindow", mode == kResponse);
    if (mode == kResponse) {
        ShowChild(this, "responseok", false);
        const char* label = mMode == kSave       ? "connectingsavegame"
                            : mMode == kDownload ? "connectingdownloadgame"
                                                 : "connectingtoserver";
        SetChildText(this, "responsedetails", Text(label));
    }
    InvalidateRect(nullptr);
}

void TServerSaveLogin::StartRequest(bool send)
{
    SwitchModes(kResponse);
    const str name = GetChildText(this, "nameedit");
    const str password = GetChildText(this, "passedit");
    mProgress = kWaiting;
    TSettings* settings = TSettings::GetInstance();
    if (send) {
        const str profile = settings ? settings->GetPrefs()->GetUserStr(settings->GetCurrentUser()) : str();
        mSaves->SendData(name, password, profile);
    } else {
        mSaves->GetData(name, password);
    }
}

void TServerSaveLogin::SaveSSSG() { StartRequest(true); }
void TServerSaveLogin::LoadSSSG() { StartRequest(false); }
void TServerSaveLogin::VerifyLoginInfo() { StartRequest(false); }

bool TServerSaveLogin::OnTaskAnimate()
{
    // The poll timer lives as long as the screen (false would end it): the
    // player may take any time to start a request and the server any time to
    // answer, and only this timer notices the answer.
    if (mProgress != kWaiting)
        return true;
    str reply;
    const int status = mSaves->GetServerRequestStatus(&reply);
    if (status == TServerSaves::kRequestRunning)
        return true;
    if (status == TServerSaves::kRequestFailed) {
        mProgress = kFailed;
        SetChildText(this, "responsedetails", PlainText(reply));
    } else {
        mProgress = kSucceeded;
        OnRequestDone(reply);
    }
    ShowChild(this, "responseok", true);
    InvalidateRect(nullptr);
    return true;
}

void TServerSaveLogin::OnRequestDone(const str& reply)
{
    if (mMode == kSave) {
        SetChildText(this, "responsedetails", Text("savegamesuccess"));
        return;
    }
    if (TSettings* settings = TSettings::GetInstance())
        settings->CheckedLoadGame();
    if (reply.length() == 0) {
        SetChildText(this, "responsedetails", Text(mMode == kDownload ? "downloadgamenogame" : "accountsetup"));
        return;
    }
    mDownloaded = reply;
    if (TServerSaveManager::GetSaveSetting() != TServerSaveManager::kAlways)
        SwitchModes(kDownloadAvailable);
    else
        InstallDownload();
}

void TServerSaveLogin::InstallDownload()
{
    TSettings* settings = TSettings::GetInstance();
    if (!settings)
        return;
    str why;
    if (!screens::IsValidDownloadedProfile(mDownloaded, &why)) {
        WriteDbg("InstallDownload: the server's profile was refused (%s); the player's own is kept", why.c_str());
        SetChildText(this, "responsedetails", Text("downloadgamebad"));
        return;
    }
    SetChildText(this, "responsedetails", Text("downloadgamesuccess"));
    const str name = settings->GetCurrentUserName();
    settings->GetPrefs()->SetUserStr(settings->GetCurrentUser(), mDownloaded);
    // Restoring the name also writes prefs.dat.
    settings->ChangeCurrentUserName(name);
}

void TServerSaveLogin::CloseResponseWindow()
{
    if (mProgress == kFailed) {
        SwitchModes(kLoginForm);
        return;
    }
    SaveCheckBoxes();
    if (TQmHiscores* hiscores = Hiscores()) {
        if (IsOn("remember"))
            hiscores->SetRememberedUserInfo(GetChildText(this, "nameedit").c_str(),
                                            GetChildText(this, "passedit").c_str());
        else
            hiscores->SetRememberedUserInfo(nullptr, nullptr);
    }
    if (TWindowManager* manager = TWindowManager::GetInstance())
        manager->PopModal();
}

void TServerSaveLogin::SaveCheckBoxes()
{
    if (IsOn("alwayssave"))
        TServerSaveManager::SetSaveSetting(TServerSaveManager::kAlways);
    if (IsOn("asksave"))
        TServerSaveManager::SetSaveSetting(TServerSaveManager::kAsk);
    if (IsOn("neverssave"))
        TServerSaveManager::SetSaveSetting(TServerSaveManager::kNever);
}

void TServerSaveLogin::ToggleRemember()
{
    if (IsOn("remember")) {
        ShowChild(this, "alwayssave", false);
        if (IsOn("alwayssave")) {
            SetOn("alwayssave", false);
            SetOn("asksave", true);
        }
    } else {
        ShowChild(this, "alwayssave", true);
    }
}

void TServerSaveLogin::LaunchAccountCreate()
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->OpenBrowser(Text("qmaccountpage").c_str());
}

bool TServerSaveLogin::OnMessage(TMessage* m)
{
    if (!m || m->GetType() != kTextChanged)
        return false;
    if (mKeyClick)
        mKeyClick->Play(false);
    const bool filled = GetChildText(this, "nameedit").length() > 0 && GetChildText(this, "passedit").length() > 0;
    ShowChild(this, "enterok", filled);
    if (!filled)
        if (TWindow* button = Child("enterok"))
            button->OnMouseLeave();
    InvalidateRect(nullptr);
    return true;
}

bool TServerSaveLogin::IsOn(const char* name)
{
    TWindow* child = Child(name);
    TButton* box = child ? child->GetCast<TButton>() : nullptr;
    return box && box->IsOn();
}

void TServerSaveLogin::SetOn(const char* name, bool on)
{
    TWindow* child = Child(name);
    if (TButton* box = child ? child->GetCast<TButton>() : nullptr)
        box->SetOn(on);
}
