#include "game/screens/mainmenu.h"

#include "engine/platform/platform.h"
#include "engine/script/luabind.h"
#include "engine/sound/sound.h"
#include "engine/sound/soundmanager.h"
#include "engine/window/modalwindow.h"
#include "engine/window/showwindow.h"
#include "engine/window/stringtable.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/screens/preloader.h"
#include "game/screens/screenchildren.h"
#include "game/screens/textdropbutton.h"
#include "game/settings/settings.h"

namespace {

constexpr int kUpsellPeriodMs = 3000;
constexpr char kLoadingScript[] = "scripts/loading.lua";

TModalWindow* TopModal()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    return manager ? manager->GetTopModalWindow() : nullptr;
}

void ShowInTopModal(const char* name, bool show)
{
    TModalWindow* top = TopModal();
    ShowWindow(top ? top->GetChildWindow(name, -1) : nullptr, show);
}

const qm::lua::TBinding kMenuFunctions[] = {
    {"SetWelcomeName", qm::lua::Method<&TMainMenu::SetWelcomeName>},
    {"CycleUpsell", qm::lua::Method<&TMainMenu::CycleUpsell>},
    {"KillUpsell", qm::lua::Method<&TMainMenu::KillUpsell>},
};

constexpr auto kWelcome = contract::Child<TText>("welcome");
constexpr auto kChangeplayer = contract::Child<TWindow>("changeplayer");
constexpr auto kWelcomebox = contract::Child<TWindow>("welcomebox");
constexpr auto kHelp = contract::Child<TTextDropButton>("help");
constexpr auto kMoregames = contract::Child<TWindow>("moregames");
constexpr auto kEditors = contract::Child<TWindow>("editors");
constexpr auto kGroup = contract::Numbered<TWindow>("group%d", 1, 3).InScreen().Optional();
const contract::TChildSpec kMenuChildren[] = {
    kWelcome,
    kChangeplayer,
    kWelcomebox,
    kHelp,
    kMoregames,
    kEditors,
    // The upsell panels CycleUpsell turns through; the shipped menu has none.
    kGroup,
};

}  // namespace

// ---- TUpsellTask ----

TUpsellTask::TUpsellTask() { SetDelay(kUpsellPeriodMs, true, true, false); }

bool TUpsellTask::Animate()
{
    static const char* const kGroups[] = {"group1", "group2", "group3"};
    // Phase p shows panel p and hides the one before it.
    ShowInTopModal(kGroups[mPhase], true);
    ShowInTopModal(kGroups[(mPhase + 2) % 3], false);
    mPhase = (mPhase + 1) % 3;
    if (TModalWindow* top = TopModal())
        top->InvalidateRect(nullptr);
    return true;
}

// ---- TMainMenu ----

const contract::TScreenSpec TMainMenu::kContract{"TMainMenu", "MainMenu", "scripts/mainmenu.lua", kMenuFunctions,
                                                 kMenuChildren};

TMainMenu::TMainMenu()
{
    // Without its music the menu works silently.
    mMusic = TSound::Get("audio/music/mainmenumusic.ogg", false, TSoundManager::kMusic);
    if (mMusic)
        mMusicStream = mMusic->Play(true);
    PublishFunctions();
}

TMainMenu::~TMainMenu()
{
    KillUpsell();
    // Only this menu's stream: a menu opened after it shares the sound.
    if (mMusic && mMusicStream >= 0)
        mMusic->Kill(mMusicStream);
}

void TMainMenu::SetWelcomeName()
{
    TSettings* settings = TSettings::GetInstance();
    const bool players = settings && settings->GetNumUsers() > 0;
    screens::ShowChild(this, kWelcome, players);
    screens::ShowChild(this, kChangeplayer, players);
    screens::ShowChild(this, kWelcomebox, players);
    if (!players)
        return;
    TPlatform* platform = TPlatform::GetInstance();
    TStringTable* strings = platform ? platform->GetStringTable() : nullptr;
    if (auto* welcome = Child(kWelcome); welcome && strings)
        screens::SetTextOnOneLine(welcome, strings->GetString("welcome", screens::PlainText(settings->GetCurrentUserName()),
                                                              str(), str(), str(), str()));
    if (auto* help = Child(kHelp))
        help->DisableFlash();
}

void TMainMenu::CycleUpsell()
{
    TModalWindow* top = TopModal();
    if (!top)
        return;
    KillUpsell();
    ShowInTopModal("group2", false);
    ShowInTopModal("group3", false);
    mUpsellTask = new TUpsellTask;  // the top modal's task list owns it from here
    top->AdoptTask(mUpsellTask);
}

void TMainMenu::KillUpsell()
{
    if (!mUpsellTask)
        return;
    // Only a task still in the top modal's list is ours to delete; a list
    // that went with its modal window took the task along.
    if (TModalWindow* top = TopModal(); top && top->OrphanTask(mUpsellTask))
        delete mUpsellTask;
    mUpsellTask = nullptr;
}

void TMainMenu::PostChildrenInit()
{
    SetWelcomeName();
    TPlatform* platform = TPlatform::GetInstance();
    const str xsell = platform ? platform->TranslateResource("xsell/xsell.xml") : str();
    if (xsell.find(str("assets")) < 0)
        screens::ShowChild(this, kMoregames, false);
    TWindowManager* manager = TWindowManager::GetInstance();
    if (!Preloader_AssetsLoaded() && manager) {
        auto* loading = new TModalWindow;  // the modal stack owns it
        manager->PushModal(loading);
        loading->SetName(kLoadingScript);
        manager->RunScript(loading, kLoadingScript);
    }
    screens::ShowChild(this, kEditors, false);
    if (TModalWindow* parent = FindParentModal()) {
        parent->SetDefaultFocus(this);
        parent->SetWindowSize(800, 600);
    }
}
