#include "game/app/gameapp.h"

#include "engine/base/debuglog.h"
#include "engine/base/folders.h"
#include "engine/base/safefile.h"
#include "engine/platform/platform.h"
#include "engine/script/script.h"
#include "engine/window/message.h"
#include "engine/window/dialog.h"
#include "engine/window/modalwindow.h"
#include "engine/window/screen.h"
#include "engine/window/stringtable.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"
#include "game/app/luaglobals.h"
#include "game/app/plainnotice.h"
#include "game/app/windowtypes.h"
#include "game/editors/customereditor.h"
#include "game/editors/editorsave.h"
#include "game/floor/quessacolors.h"
#include "game/levels/levelmanager.h"
#include "game/screens/cursor.h"
#include "game/screens/preloader.h"
#include "game/screens/screenchildren.h"
#include "game/settings/serversavemanager.h"
#include "game/settings/settings.h"
#include "game/settings/unlockmanager.h"
#include "online/serversaves.h"
#include "online/simplehttp.h"

namespace {

str LookUpString(const char* label) { return screens::Text(label); }

}  // namespace

TGameApp::TGameApp(TPlatform* platform) : mPlatform(platform) {}

TGameApp::~TGameApp() { Quit(); }

void TGameApp::StartUp()
{
    mPlatform->SetWindowTitle(LookUpString("windowtitle").c_str());
    TServerSaves::SetStringLookup(&LookUpString);
    switch (LockSaves()) {
    case ELock::kTaken:
        break;
    case ELock::kHeldElsewhere:
        RefuseStart("alreadyrunning_title", "alreadyrunning_body");
        return;
    case ELock::kNotTaken:
        RefuseStart("savesunlocked_title", "savesunlocked_body");
        return;
    }

    TSettings::CreateSettings()->InitGameToSettings();
    // Downloaded levels are read through the level manager.
    InstallDownloadLevelReader();
    // The game decides what the window's close button does.
    mPlatform->SetCloseRequests(true);

    TUnlockManager::Create();
    mServerSaves = std::make_unique<TServerSaveManager>();
    // Before any screen: buttons and the floor set the cursor, the closet and
    // her clothing read the colours.
    mCursor = std::make_unique<TCursor>();
    mColours = std::make_unique<TQuessaColors>();

    game::RegisterWindowTypes();
    game::PublishGameGlobals();

    TWindowManager* manager = mPlatform->GetWindowManager();
    if (manager) {
        // A script's quit message leaves through the clean quit, not at once.
        manager->SetExitHandler([this](int) { mQuitRequested = true; });
        if (TModalWindow* top = manager->GetTopModalWindow()) {
            top->SetName("splashscreen");
            manager->RunScript(top, kMainLoopScript);
        }
    }
    // Whatever the first screen did while it was built, the game starts on the arrow.
    mCursor->SetState(TCursor::kArrow);
}

bool TGameApp::HandleEvent(TEvent* ev)
{
    if (mQuit)
        return false;
    TWindowManager* manager = mPlatform->GetWindowManager();
    TSettings* settings = TSettings::GetInstance();
    switch (ev->mType) {
    case TEvent::kQuit:
        Quit();
        return false;
    case TEvent::kCloseRequest:
        // Closed while the last notice shows: the player has read enough.
        if (mQuitWhenTold || !OnCloseRequest()) {
            if (mQuitWhenTold || !TellOfUnkeptProgress()) {
                Quit();
                return false;
            }
        }
        break;
    case TEvent::kDisplayChanged:
        if (settings)
            settings->UpdateFullScreen();
        break;
    case TEvent::kActivate:
        if (ev->mParam == 0 && manager)
            manager->PostWindowMessage(new TMessage(kAppDeactivated, str(), nullptr));
        break;
    case TEvent::kIdle:
        TSimpleHttp::PumpAll();
        break;
    default:
        break;
    }
    if (settings) {
        settings->CurrentScreenMetric();
        settings->UpdateSessionTime();
    }
    if (manager)
        manager->HandleEvent(ev);
    if (manager && settings && !mRefused) {
        TellOfFailedSave(manager);
        TellOfRefusedFullScreen(manager);
    }
    if (manager)
        TellOfStoppedScript(manager);
    if (mQuitRequested && !mQuitWhenTold && TellOfUnkeptProgress())
        return true;
    if (mQuitRequested && !mQuitWhenTold) {
        Quit();
        return false;
    }
    if (mQuitWhenTold && !UnkeptProgressShowing()) {
        Quit();
        return false;
    }
    return true;
}

bool TGameApp::TellOfUnkeptProgress()
{
    TSettings* settings = TSettings::GetInstance();
    TWindowManager* manager = mPlatform->GetWindowManager();
    str title, body;
    if (mRefused || !settings || !manager || !manager->GetScript() || !settings->TakeUnkeptProgressNotice(&title, &body))
        return false;
    manager->DisplayDialog("scripts/ok.lua", body, title, kUnkeptProgressDialog);
    mQuitWhenTold = true;
    return true;
}

bool TGameApp::UnkeptProgressShowing() const
{
    TWindowManager* manager = mPlatform->GetWindowManager();
    if (!manager)
        return false;
    for (TModalWindow* window : manager->GetModalStack())
        if (window->GetName() == str(kUnkeptProgressDialog))
            return true;
    return false;
}

namespace {

// The process may end before the window tree is torn down, so an open
// customer editor writes its edits now rather than in its destructor.
void SaveCustomerEditors(TWindow* window)
{
    if (!window)
        return;
    if (auto* editor = dynamic_cast<TCustomerEditor*>(window))
        editor->SaveLevelData();
    for (TWindow* child : window->GetChildren())
        SaveCustomerEditors(child);
}

}  // namespace

bool TGameApp::ConfirmationWaiting() const
{
    TWindowManager* manager = mPlatform->GetWindowManager();
    IWindowScript* script = manager ? manager->GetScript() : nullptr;
    return script && script->IsRunningFile(kCloseConfirmScript);
}

bool TGameApp::AskBeforeClosing()
{
    TWindowManager* manager = mPlatform->GetWindowManager();
    TModalWindow* top = manager ? manager->GetTopModalWindow() : nullptr;
    if (top && manager->GetScript())
        manager->RunScript(top, kCloseConfirmScript);
    // A confirmation shows as long as its script waits for the answer; one
    // that failed, or ended without asking, leaves the player no other way
    // out than this close request.
    if (ConfirmationWaiting())
        return true;
    WriteDbg("The close confirmation %s did not open: the game closes without asking", kCloseConfirmScript);
    game::ClearInQuitConfirm();
    return false;
}

bool TGameApp::OnCloseRequest()
{
    if (game::IsInQuitConfirm()) {
        // While the confirmation shows, a further close request is only passed on.
        if (ConfirmationWaiting())
            return true;
        WriteDbg("%s no longer runs but left its flag set: the close request is taken afresh", kCloseConfirmScript);
        game::ClearInQuitConfirm();
    }
    if (game::IsQuitConfirmAllowed() && AskBeforeClosing())
        return true;
    TWindowManager* manager = mPlatform->GetWindowManager();
    TWindow* root = manager ? manager->GetScreen() : nullptr;
    TWindow* editor = root ? root->GetChildWindow("leveleditorwindow", -1) : nullptr;
    if (auto* saver = dynamic_cast<IEditorSaveOnClose*>(editor))
        saver->SaveLevelData();
    SaveCustomerEditors(root);
    return false;
}

void TGameApp::DestroyWindowTree()
{
    TWindowManager* manager = mPlatform->GetWindowManager();
    if (!manager)
        return;
    while (manager->GetModalStack().size() > 1)
        manager->PopModal();
    if (TScreen* root = manager->GetScreen())
        root->DestroyAllChildren();
    manager->ClearDestroyedWindows();
}

void TGameApp::Quit()
{
    if (mQuit)
        return;
    mQuit = true;
    DestroyWindowTree();
    Preloader_FreeAllAssets();
    if (TWindowManager* manager = mPlatform->GetWindowManager())
        manager->SetExitHandler([](int) {});
    mColours.reset();
    mCursor.reset();
    mServerSaves.reset();
    // A refused start made neither; the ones there belong to another game.
    if (!mRefused) {
        TUnlockManager::Free();
        TSettings::DeleteSettings();
    }
    TServerSaves::SetStringLookup(nullptr);
    mSavesLock.reset();
}

TGameApp::ELock TGameApp::LockSaves()
{
    const str folder = qm::UserDataDirectory();
    // Without a folder nothing is saved, so nothing can be undone either.
    if (folder.length() == 0)
        return ELock::kTaken;
    for (int i = 0; i < kLockNames; ++i) {
        const str file = folder + str("/") + str(kSavesLockFile) + (i == 0 ? str() : str::getFormatted(".%d", i));
        mSavesLock = std::make_unique<qm::TLockFile>(file);
        if (mSavesLock->Held())
            return ELock::kTaken;
        if (mSavesLock->HeldElsewhere()) {
            WriteDbg("Another game holds %s", file.c_str());
            return ELock::kHeldElsewhere;
        }
        if (mSavesLock->FolderNotWritable())
            return ELock::kTaken;
        WriteDbg("%s is no lock file: the lock is taken on the next name", file.c_str());
    }
    WriteDbg("No lock can be taken in %s: the saves are not touched", folder.c_str());
    return ELock::kNotTaken;
}

namespace {

// A refusal's text from the string table, or the built-in English when the
// table lacks it (the refusal must say something whatever the data).
str RefusalText(TStringTable* strings, const char* label, const str& folder, const char* fallback)
{
    const str text = strings ? strings->GetString(str(label), folder, str(), str(), str(), str()) : str();
    if (text.length() > 0 && text != str(label))
        return text;
    str plain(fallback);
    return plain.replace(str("%1%"), folder);
}

}  // namespace

void TGameApp::RefuseStart(const char* titleLabel, const char* bodyLabel)
{
    mRefused = true;
    mSavesLock.reset();
    TPlatform* platform = mPlatform;
    platform->SetDisplay(800, 600, false);
    TStringTable* strings = platform->GetStringTable();
    const str folder = qm::UserDataDirectory();
    const str title = RefusalText(strings, titleLabel, folder, "The game closes");
    const str body = RefusalText(strings, bodyLabel, folder,
                                 "The game cannot keep its saves in %1% safe from another game: it closes now.");
    WriteDbg("Telling the player: %s", body.c_str());
    mCursor = std::make_unique<TCursor>();
    game::RegisterWindowTypes();
    game::PublishGameGlobals();
    TWindowManager* manager = platform->GetWindowManager();
    IWindowScript* script = manager ? manager->GetScript() : nullptr;
    TModalWindow* top = manager ? manager->GetTopModalWindow() : nullptr;
    if (!script || !top) {
        mQuitRequested = true;
        return;
    }
    manager->SetExitHandler([this](int) { mQuitRequested = true; });
    script->RunLuaText(str("gStartRefusal = ") + TDialog::LuaLiteral(body) + str("; gStartRefusalTitle = ") +
                       TDialog::LuaLiteral(title));
    top->SetName("splashscreen");
    manager->RunScript(top, kStartRefusedScript);
    // The refusal shows for as long as its script waits for the player; one
    // that failed, was stopped or ended without waiting (a damaged script)
    // would leave a black window that takes no answer.
    if (!script->IsRunningFile(kStartRefusedScript) && !mQuitRequested)
        ShowPlainRefusal(title, body);
    mCursor->SetState(TCursor::kArrow);
}

void TGameApp::ShowPlainRefusal(const str& title, const str& body)
{
    WriteDbg("%s showed nothing: the refusal shows as a plain notice", kStartRefusedScript);
    if (TWindowManager* manager = mPlatform->GetWindowManager())
        manager->PushModal(new TPlainNotice(title, body, [this] { mQuitRequested = true; }));
}

void TGameApp::TellOfFailedSave(TWindowManager* manager)
{
    TSettings* settings = TSettings::GetInstance();
    TModalWindow* top = manager->GetTopModalWindow();
    str title, body;
    // The splash movie covers the whole screen until it is clicked away: a
    // failure at start-up waits for the screen after it.
    if (!settings || !manager->GetScript() || !top || top->GetName() == str(kSplashWindow))
        return;
    if (settings->TakeSaveFailureNotice(&title, &body))
        manager->DisplayDialog("scripts/ok.lua", body, title, "savefailed");
}

// A script the watchdog stopped (it ran without end): the player is told
// which one, in the game's dialog, once no movie covers the screen.
void TGameApp::TellOfStoppedScript(TWindowManager* manager)
{
    str script;
    if (!manager->GetScript() || !manager->GetTopModalWindow() || manager->IsMoviePlaying() ||
        !TScript::TakeStoppedScript(&script))
        return;
    TStringTable* strings = mPlatform->GetStringTable();
    const str title = strings ? strings->GetString(str("scriptstopped_title"), str(), str(), str(), str(), str()) : str();
    const str body = strings ? strings->GetString(str("scriptstopped_body"), script, str(), str(), str(), str()) : script;
    WriteDbg("Telling the player: %s", body.c_str());
    manager->DisplayDialog("scripts/ok.lua", body, title, "scriptstopped");
}

void TGameApp::TellOfRefusedFullScreen(TWindowManager* manager)
{
    if (mPlatform->TakeFullscreenRefusal())
        mFullScreenRefused = true;
    TModalWindow* top = manager->GetTopModalWindow();
    // As a failed save: after the splash, once there is a script to run it.
    if (!mFullScreenRefused || mFullScreenRefusalTold || !manager->GetScript() || !top ||
        top->GetName() == str(kSplashWindow))
        return;
    mFullScreenRefusalTold = true;
    WriteDbg("Telling the player: full screen was refused, the game stays a window");
    manager->DisplayDialog("scripts/ok.lua", screens::Text("fullscreenrefused_body"),
                           screens::Text("fullscreenrefused_title"), "fullscreenrefused");
}

void Main(TPlatform* platform, const char*)
{
    TGameApp app(platform);
    app.StartUp();
    TEvent ev;
    do {
        platform->GetEvent(&ev);
    } while (app.HandleEvent(&ev));
}
