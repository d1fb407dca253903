#include "game/app/gameapp.h"

#include "engine/base/debuglog.h"
#include "engine/base/folders.h"
#include "engine/base/safefile.h"
#include "engine/platform/platform.h"
#include "engine/script/scriptwatchdog.h"
#include "engine/window/message.h"
#include "engine/window/dialog.h"
#include "engine/window/image.h"
#include "engine/window/modalwindow.h"
#include "engine/window/screen.h"
#include "engine/window/stringtable.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"
#include "game/app/luaglobals.h"
#include "game/app/plainnotice.h"
#include "game/app/startupchecks.h"
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

#include <cerrno>
#include <cstring>

namespace {

str LookUpString(const char* label) { return screens::Text(label); }

}  // namespace

TGameApp::TGameApp(TPlatform* platform) : mPlatform(platform) {}

TGameApp::~TGameApp() { Quit(); }

void TGameApp::StartUp()
{
    if (RefuseUnreadableFiles())
        return;
    mPlatform->SetWindowTitle(LookUpString("windowtitle").c_str());
    TServerSaves::SetStringLookup(&LookUpString);
    switch (LockSaves()) {
    case ELock::kTaken:
        break;
    case ELock::kHeldElsewhere:
        RefuseStart("alreadyrunning_title", "alreadyrunning_body");
        return;
    case ELock::kNotTaken:
        RefuseStart("savesunlocked_title", "savesunlocked_body", LockFailureText());
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
    if (manager && mRefused)
        WatchRefusal(manager);
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

bool TGameApp::AskBeforeClosing(bool mayStartAlone)
{
    TWindowManager* manager = mPlatform->GetWindowManager();
    TModalWindow* top = manager ? manager->GetTopModalWindow() : nullptr;
    if (top && manager->GetScript())
        RunConfirmation(manager, top, mayStartAlone);
    // A confirmation shows as long as its script waits for the answer; one
    // that failed, or ended without asking, leaves the player no other way
    // out than this close request.
    if (ConfirmationWaiting())
        return true;
    WriteDbg("The close confirmation %s did not open: the game closes without asking", kCloseConfirmScript);
    game::ClearInQuitConfirm();
    return false;
}

// The confirmation waits for its answer as a screen does, inside the
// screens' coroutine. When none waits (the coroutine has ended: a screen
// script failed, or the watchdog stopped it), it starts as the coroutine
// itself: run outside one, its wait would fail and the game would close
// without asking. One that died while it showed is not started again: it
// would die again, and the close button would never close the game.
void TGameApp::RunConfirmation(TWindowManager* manager, TModalWindow* top, bool mayStartAlone)
{
    IWindowScript* script = manager->GetScript();
    if (script->ScreenWaiting())
        manager->RunScript(top, kCloseConfirmScript);
    else if (mayStartAlone)
        script->StartScreen(kCloseConfirmScript);
}

bool TGameApp::OnCloseRequest()
{
    bool confirmationDied = false;
    if (game::IsInQuitConfirm()) {
        // While the confirmation shows, a further close request is only passed on.
        if (ConfirmationWaiting())
            return true;
        WriteDbg("%s no longer runs but left its flag set: the close request is taken afresh", kCloseConfirmScript);
        game::ClearInQuitConfirm();
        confirmationDied = true;
    }
    if (game::IsQuitConfirmAllowed() && AskBeforeClosing(!confirmationDied))
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

str TGameApp::LockName(const str& folder, int i)
{
    return folder + str("/") + str(kSavesLockFile) + (i == 0 ? str() : str::getFormatted(".%d", i));
}

TGameApp::ELock TGameApp::LockSaves()
{
    const str folder = qm::UserDataDirectoryPath();
    // Without a home nothing is saved, so nothing can be undone either.
    if (folder.length() == 0)
        return ELock::kTaken;
    errno = 0;
    if (!qm::MakeDirectories(folder, 0700)) {
        mLockFailure = {game::ELockStep::kMakeFolder, errno != 0 ? errno : ENOENT};
        WriteDbg("The data home %s cannot be made (%s): the saves are not touched", folder.c_str(),
                 std::strerror(mLockFailure.error));
        return ELock::kNotTaken;
    }
    // Asked first, so that a refused game makes no lock file of its own.
    if (OtherLockNameHeld(folder, -1))
        return ELock::kHeldElsewhere;
    for (int i = 0; i < kLockNames; ++i) {
        const str file = LockName(folder, i);
        mSavesLock = std::make_unique<qm::TLockFile>(file);
        if (mSavesLock->HeldElsewhere()) {
            WriteDbg("Another game holds %s", file.c_str());
            return ELock::kHeldElsewhere;
        }
        // (asked again: another game may have locked a name meanwhile)
        if (mSavesLock->Held())
            return OtherLockNameHeld(folder, i) ? ELock::kHeldElsewhere : ELock::kTaken;
        // The first name's failure is the one told: the others are only its stand-ins.
        if (i == 0)
            mLockFailure = {game::LockNameStep(file), mSavesLock->Error()};
        WriteDbg("%s cannot serve as the lock: the lock is taken on the next name", file.c_str());
    }
    WriteDbg("No lock can be taken in %s (%s): the saves are not touched", folder.c_str(),
             LockFailureText().c_str());
    return ELock::kNotTaken;
}

// Games that may open different files come to different names: one started
// as another user leaves a running.lock that this user cannot open, so this
// game locks the next name while that one may still hold the first. Every
// name but its own (none: -1) is therefore asked whether another game holds it.
bool TGameApp::OtherLockNameHeld(const str& folder, int taken)
{
    for (int i = 0; i < kLockNames; ++i) {
        const str file = LockName(folder, i);
        if (i != taken && qm::LockHeldElsewhere(file)) {
            WriteDbg("Another game holds %s", file.c_str());
            mSavesLock.reset();
            return true;
        }
    }
    return false;
}

namespace {

// A refusal's text from the string table, or the built-in English when the
// table lacks it (the refusal must say something whatever the data).
str RefusalText(TStringTable* strings, const char* label, const str& arg1, const char* fallback,
                const str& arg2 = str())
{
    const str text = strings ? strings->GetString(str(label), arg1, arg2, str(), str(), str()) : str();
    if (text.length() > 0 && text != str(label))
        return text;
    str plain(fallback);
    return plain.replace(str("%1%"), arg1).replace(str("%2%"), arg2);
}

}  // namespace

str TGameApp::LockFailureText() const
{
    const str system(std::strerror(mLockFailure.error));
    return RefusalText(mPlatform->GetStringTable(), game::LockFailureLabel(mLockFailure.step, mLockFailure.error),
                       system, "%1%");
}

void TGameApp::RefuseStart(const char* titleLabel, const char* bodyLabel, const str& cause)
{
    mRefused = true;
    mSavesLock.reset();
    TPlatform* platform = mPlatform;
    platform->SetDisplay(800, 600, false);
    TStringTable* strings = platform->GetStringTable();
    // (named even when it could not be made)
    const str folder = qm::UserDataDirectoryPath();
    mRefusalTitle = RefusalText(strings, titleLabel, folder, "The game closes");
    mRefusalBody = RefusalText(strings, bodyLabel, folder,
                               cause.length() > 0
                                   ? "The game cannot lock its saves in %1%: %2%. It closes now."
                                   : "The game cannot keep its saves in %1% safe from another game: it closes now.",
                               cause);
    WriteDbg("Telling the player: %s", mRefusalBody.c_str());
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
    script->RunLuaText(str("gStartRefusal = ") + TDialog::LuaLiteral(mRefusalBody) + str("; gStartRefusalTitle = ") +
                       TDialog::LuaLiteral(mRefusalTitle));
    top->SetName("splashscreen");
    mBlankSince = platform->Timer();
    manager->RunScript(top, kStartRefusedScript);
    // The refusal shows for as long as its script waits for the player; one
    // that failed, was stopped or ended without waiting (a damaged script)
    // would leave a black window that takes no answer.
    if (!script->IsRunningFile(kStartRefusedScript) && !mQuitRequested)
        ShowPlainRefusal();
    mCursor->SetState(TCursor::kArrow);
}

void TGameApp::ShowPlainRefusal()
{
    WriteDbg("%s showed nothing: the refusal shows as a plain notice", kStartRefusedScript);
    ShowPlainNotice();
}

void TGameApp::ShowPlainNotice()
{
    mPlainRefusalShown = true;
    if (TWindowManager* manager = mPlatform->GetWindowManager())
        manager->PushModal(new TPlainNotice(mRefusalTitle, mRefusalBody, [this] { mQuitRequested = true; }));
}

bool TGameApp::RefuseUnreadableFiles()
{
    const str why = game::UnreadableGameFiles(mPlatform->GetResourceFolder(), mPlatform->GetResourceFolderError(),
                                              kMainLoopScript);
    if (why.length() == 0)
        return false;
    // Nothing of the saves is touched, and no text can come from the string
    // table: the notice is the built-in English one.
    mRefused = true;
    mRefusalTitle = str("The game's files cannot be read");
    mRefusalBody = str("The game cannot read its files in ") + mPlatform->GetResourceFolder() + str(": ") + why +
                   str(". It takes them from the folder that CORVELLATRIP_DATA names, else from the data folder "
                       "beside the program. It closes now.");
    WriteDbg("Telling the player: %s", mRefusalBody.c_str());
    mPlatform->SetWindowTitle("Corvellatrip");
    mPlatform->SetDisplay(800, 600, false);
    ShowPlainNotice();
    return true;
}

namespace {

// Whether the player sees anything of the window: a text or a picture
// somewhere in it, with nothing hiding it on the way.
bool ShowsSomething(TWindow* window)
{
    if (!window || !window->IsVisible())
        return false;
    if (auto* text = window->GetCast<TText>(); text && text->GetText().length() > 0)
        return true;
    if (auto* image = window->GetCast<TImage>(); image && image->GetTexture())
        return true;
    for (TWindow* child : window->GetChildren())
        if (ShowsSomething(child))
            return true;
    return false;
}

}  // namespace

void TGameApp::WatchRefusal(TWindowManager* manager)
{
    // A dialog script that builds nothing (ok.lua cut short), or a refusal
    // that waits without showing one, would leave a black window that
    // takes no answer.
    if (mPlainRefusalShown || mQuitRequested)
        return;
    const std::uint32_t now = mPlatform->Timer();
    if (ShowsSomething(manager->GetScreen()))
        mBlankSince = now;
    else if (now - mBlankSince >= kBlankRefusalMs)
        ShowPlainRefusal();
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
        !TScriptWatchdog::TakeStoppedScript(&script))
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
