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
#include "engine/window/webpage.h"
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

using qm::lua::Method;

const qm::lua::TBinding kLuaFunctions[] = {
    {"LaunchAccountCreate", Method<&TServerSaveLogin::LaunchAccountCreate>},
    {"VerifyLoginInfo", Method<&TServerSaveLogin::VerifyLoginInfo>},
    {"CloseResponseWindow", Method<&TServerSaveLogin::CloseResponseWindow>},
    {"LoadSSSG", Method<&TServerSaveLogin::LoadSSSG>},
    {"SaveSSSG", Method<&TServerSaveLogin::SaveSSSG>},
    {"InstallDownload", Method<&TServerSaveLogin::InstallDownload>},
    {"ToggleRemember", Method<&TServerSaveLogin::ToggleRemember>},
    {"RefreshButton", Method<&TServerSaveLogin::RefreshButton>},
};

TQmHiscores* Hiscores()
{
    TSettings* settings = TSettings::GetInstance();
    return settings ? settings->GetHiscores() : nullptr;
}

constexpr auto kNameedit = contract::Child<TTextEdit>("nameedit");
constexpr auto kPassedit = contract::Child<TTextEdit>("passedit");
constexpr auto kEnterok = contract::Child<TButton>("enterok");
constexpr auto kRemember = contract::Child<TButton>("remember");
constexpr auto kAlwayssave = contract::Child<TButton>("alwayssave");
constexpr auto kAsksave = contract::Child<TButton>("asksave");
constexpr auto kNeverssave = contract::Child<TButton>("neverssave");
constexpr auto kLoginwindow = contract::Child<TWindow>("loginwindow");
constexpr auto kDownloadavailable = contract::Child<TWindow>("downloadavailable");
constexpr auto kResponsewindow = contract::Child<TWindow>("responsewindow");
constexpr auto kResponseok = contract::Child<TWindow>("responseok");
constexpr auto kResponsedetails = contract::Child<TText>("responsedetails");
const contract::TChildSpec kLoginChildren[] = {
    kNameedit,
    kPassedit,
    kEnterok,
    kRemember,
    kAlwayssave,
    kAsksave,
    kNeverssave,
    kLoginwindow,
    kDownloadavailable,
    kResponsewindow,
    kResponseok,
    kResponsedetails,
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
    SetOn(kAlwayssave, setting == TServerSaveManager::kAlways);
    SetOn(kAsksave, setting == TServerSaveManager::kAsk || setting == TServerSaveManager::kNotChosen);
    SetOn(kNeverssave, setting == TServerSaveManager::kNever);
    char name[kLoginBytes] = {}, password[kLoginBytes] = {};
    TQmHiscores* hiscores = Hiscores();
    const bool remembered = hiscores && hiscores->GetRememberedUserInfo(name, sizeof name, password, sizeof password);
    if (remembered) {
        SetChildText(this, kNameedit, name);
        SetChildText(this, kPassedit, password);
        SetOn(kRemember, true);
    } else {
        ShowChild(this, kAlwayssave, false);
    }
    if (GetChildText(this, kNameedit).length() == 0)
        ShowChild(this, kEnterok, false);
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
    ShowChild(this, kLoginwindow, mode == kLoginForm);
    ShowChild(this, kDownloadavailable, mode == kDownloadAvailable);
    ShowChild(this, kResponsewindow, mode == kResponse);
    if (mode == kResponse) {
        ShowChild(this, kResponseok, false);
        const char* label = mMode == kSave       ? "connectingsavegame"
                            : mMode == kDownload ? "connectingdownloadgame"
                                                 : "connectingtoserver";
        SetChildText(this, kResponsedetails, Text(label));
    }
    InvalidateRect(nullptr);
}

void TServerSaveLogin::StartRequest(bool send)
{
    SwitchModes(kResponse);
    const str name = GetChildText(this, kNameedit);
    const str password = GetChildText(this, kPassedit);
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
        SetChildText(this, kResponsedetails, PlainText(reply));
    } else {
        mProgress = kSucceeded;
        OnRequestDone(reply);
    }
    ShowChild(this, kResponseok, true);
    InvalidateRect(nullptr);
    return true;
}

void TServerSaveLogin::OnRequestDone(const str& reply)
{
    if (mMode == kSave) {
        SetChildText(this, kResponsedetails, Text("savegamesuccess"));
        return;
    }
    if (TSettings* settings = TSettings::GetInstance())
        settings->CheckedLoadGame();
    if (reply.length() == 0) {
        SetChildText(this, kResponsedetails, Text(mMode == kDownload ? "downloadgamenogame" : "accountsetup"));
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
        SetChildText(this, kResponsedetails, Text("downloadgamebad"));
        return;
    }
    SetChildText(this, kResponsedetails, Text("downloadgamesuccess"));
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
        if (IsOn(kRemember))
            hiscores->SetRememberedUserInfo(GetChildText(this, kNameedit).c_str(),
                                            GetChildText(this, kPassedit).c_str());
        else
            hiscores->SetRememberedUserInfo(nullptr, nullptr);
    }
    if (TWindowManager* manager = TWindowManager::GetInstance())
        manager->PopModal();
}

void TServerSaveLogin::SaveCheckBoxes()
{
    if (IsOn(kAlwayssave))
        TServerSaveManager::SetSaveSetting(TServerSaveManager::kAlways);
    if (IsOn(kAsksave))
        TServerSaveManager::SetSaveSetting(TServerSaveManager::kAsk);
    if (IsOn(kNeverssave))
        TServerSaveManager::SetSaveSetting(TServerSaveManager::kNever);
}

void TServerSaveLogin::RefreshButton(const str& name)
{
    if (TWindow* child = GetChildWindow(name, -1))
        child->OnMouseLeave();
}

void TServerSaveLogin::ToggleRemember()
{
    if (IsOn(kRemember)) {
        ShowChild(this, kAlwayssave, false);
        if (IsOn(kAlwayssave)) {
            SetOn(kAlwayssave, false);
            SetOn(kAsksave, true);
        }
    } else {
        ShowChild(this, kAlwayssave, true);
    }
}

void TServerSaveLogin::LaunchAccountCreate()
{
    qm::OpenWebPage(Text("qmaccountpage").c_str());
}

bool TServerSaveLogin::OnMessage(TMessage* m)
{
    if (!m || m->GetType() != kTextChanged)
        return false;
    if (mKeyClick)
        mKeyClick->Play(false);
    const bool filled = GetChildText(this, kNameedit).length() > 0 && GetChildText(this, kPassedit).length() > 0;
    ShowChild(this, kEnterok, filled);
    if (!filled)
        if (TWindow* button = Child(kEnterok))
            button->OnMouseLeave();
    InvalidateRect(nullptr);
    return true;
}

bool TServerSaveLogin::IsOn(const contract::TChild<TButton>& toggle)
{
    TButton* box = Child(toggle);
    return box && box->IsOn();
}

void TServerSaveLogin::SetOn(const contract::TChild<TButton>& toggle, bool on)
{
    if (TButton* box = Child(toggle))
        box->SetOn(on);
}
