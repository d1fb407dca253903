#include "game/screens/hiscore.h"

#include "engine/base/debuglog.h"
#include "engine/sound/sound.h"
#include "engine/sound/soundmanager.h"
#include "engine/window/button.h"
#include "engine/platform/platform.h"
#include "engine/window/message.h"
#include "engine/window/stringtable.h"
#include "engine/window/text.h"
#include "engine/window/textedit.h"
#include "engine/window/windowmanager.h"
#include "game/screens/screenchildren.h"
#include "game/settings/settings.h"
#include "online/hiscores.h"

#include <cstdlib>
#include <cstring>

using screens::PlainText;
using screens::SetChildText;
using screens::ShowChild;

namespace {

constexpr int kPollMs = 20;
constexpr int kStatusBytes = 512;
constexpr int kFieldBytes = 64;

const char* const kButtons[] = {"submit", "view", "viewlocal", "moreinfo", "categoryleft", "categoryright"};
const char* const kTexts[] = {"local", "global", "topplayers", "category", "server", "error", "info", "eligible",
                              "eligibleasterisk", "congratulations", "dnq", "yourrank", "yourrankglobalinfo",
                              "rankvalue", "rightpanel", "rightpanelsmall"};
const char* const kForm[] = {"header", "headershadow", "playertext", "yourscore", "eligiblescore", "nameeditbox",
                             "submittoserver", "submitcancel"};
const char* const kAccountPart[] = {"yourqmaccount", "nametext", "passtext", "accounteditbox", "passeditbox",
                                    "remember"};

// 0 full, 1 without the more-information button and account fields, 2 local
// only: the settings' reading of the string table's "highscoremode", the one
// the level flow asks too (so a value out of range is local only for both).
int HighScoreMode()
{
    TSettings* settings = TSettings::GetInstance();
    return settings ? settings->GetHighscoreMode() : 2;
}

void SetWindowText(TWindow* window, const str& text)
{
    if (TText* label = window ? window->GetCast<TText>() : nullptr) {
        label->SetText(text);
        label->InvalidateRect(nullptr);
    }
}

void ShowWindow(TWindow* window, bool show)
{
    if (!window)
        return;
    if (show)
        window->AddFlags(TWindow::kVisible);
    else
        window->ClearFlags(TWindow::kVisible);
}

// The number after "rest:" (endless) or "lev:" (career) in a row's game data.
str LevelOfRow(const char* gameData)
{
    TSettings* settings = TSettings::GetInstance();
    const bool endless = settings && settings->GetCurrentGameModeInt() == TSettings::kEndlessMode;
    const char* key = endless ? "rest:" : "lev:";
    const char* found = std::strstr(gameData, key);
    return found ? str::getFormatted("%d", std::atoi(found + std::strlen(key))) : str();
}

using contract::Child;
using contract::Numbered;

// The shipped script (scripts/hiscore.lua) builds every child named here,
// the online ones too: the buttons "view" and "submit", the world list's
// category arrows and the side panel's texts, which the screen shows only
// when the string table's "highscoremode" is 0 or 1 (the shipped 2 keeps the
// tables local). Those marked optional a layout may leave out.
const contract::TChildSpec kHiscoreChildren[] = {
    Numbered("name%d", 1, THiscore::kRows, &TText::ClassId),
    Numbered("score%d", 1, THiscore::kRows, &TText::ClassId),
    Numbered("level%d", 1, THiscore::kRows, &TText::ClassId),
    Numbered("%d", 1, THiscore::kRows, &TText::ClassId),
    Numbered("p1_%d", 1, THiscore::kRows),
    Child("gamemode", &TText::ClassId),
    Child("submit", &TButton::ClassId),
    Child("view", &TButton::ClassId),
    Child("viewlocal", &TButton::ClassId),
    Child("moreinfo", &TButton::ClassId),
    Child("categoryleft", &TButton::ClassId).Optional(),
    Child("categoryright", &TButton::ClassId).Optional(),
    Child("gamemodeleft", &TButton::ClassId).Optional(),
    Child("gamemoderight", &TButton::ClassId).Optional(),
    Child("scrollup", &TButton::ClassId).Optional(),
    Child("scrolldown", &TButton::ClassId).Optional(),
    Child("local"),
    Child("global"),
    Child("topplayers"),
    Child("category", &TText::ClassId),
    Child("server"),
    Child("error", &TText::ClassId),
    Child("info").Optional(),
    Child("eligible").Optional(),
    Child("eligibleasterisk").Optional(),
    Child("congratulations").Optional(),
    Child("dnq").Optional(),
    Child("yourrank", &TText::ClassId).Optional(),
    Child("yourrankglobalinfo").Optional(),
    Child("rankvalue").Optional(),
    Child("rightpanel"),
    Child("rightpanelsmall"),
};

const contract::TChildSpec kSubmitChildren[] = {
    Child("nameedit", &TTextEdit::ClassId),
    Child("accountedit", &TTextEdit::ClassId),
    Child("passedit", &TTextEdit::ClassId),
    Child("remember", &TButton::ClassId),
    Child("header"),
    Child("headershadow"),
    Child("playertext"),
    Child("yourscore"),
    Child("eligiblescore", &TText::ClassId),
    Child("yourqmaccount"),
    Child("nametext"),
    Child("passtext"),
    Child("nameeditbox").Composed(),  // the field's name and "box"
    Child("accounteditbox").Composed(),  // the field's name and "box"
    Child("passeditbox").Composed(),  // the field's name and "box"
    Child("submitconnect"),
    Child("submiterror", &TText::ClassId),
    Child("submittoserver", &TButton::ClassId),
    Child("submitcancel", &TButton::ClassId),
    Child("submiterrorok", &TButton::ClassId),
};

}  // namespace

const contract::TScreenSpec THiscore::kContract{"THiscore", THiscore::kTypeName, "scripts/hiscore.lua", {},
                                                kHiscoreChildren};
const contract::TScreenSpec THiscoreSubmit::kContract{"THiscoreSubmit", nullptr, THiscore::kSubmitScript, {},
                                                      kSubmitChildren};

// ---- THiscore

THiscore::THiscore()
{
    if (TSettings* settings = TSettings::GetInstance())
        mHiscores = settings->GetHiscores();
    TWindowManager* manager = TWindowManager::GetInstance();
    if (TModalWindow* top = manager ? manager->GetTopModalWindow() : nullptr) {
        auto* task = new TUpdateHiscoreWindow(this);
        task->SetDelay(kPollMs, true, true, false);
        top->AdoptTask(task);
    }
}

THiscore::~THiscore() = default;

void THiscore::PostChildrenInit()
{
    for (int i = 0; i < kRows; ++i) {
        TRow& row = mRows[size_t(i)];
        row.name = Child(str::getFormatted("name%d", i + 1).c_str());
        row.score = Child(str::getFormatted("score%d", i + 1).c_str());
        row.level = Child(str::getFormatted("level%d", i + 1).c_str());
        row.rank = Child(str::getFormatted("%d", i + 1).c_str());
        row.accountIcon = Child(str::getFormatted("p1_%d", i + 1).c_str());
    }
    mGameModeText = Child("gamemode");
    UpdateText();
    UpdateButtons();
}

bool THiscore::OnDirtyRect(TRect*)
{
    // The screen's pictures overlap its texts: any change redraws it all.
    TRect screen{0, 0, 800, 600};
    return TWindow::OnDirtyRect(&screen);
}

bool THiscore::HasEligibleScore() const
{
    return mHiscores && mHiscores->GetUserBestScore(TQmHiscores::kEligibleScore, nullptr, nullptr, nullptr, 0);
}

void THiscore::UpdateServerStatus()
{
    if (!mHiscores || (mState != kCategoriesRequested && mState != kScoresRequested))
        return;
    char text[kStatusBytes] = {};
    const int status = mHiscores->GetServerRequestStatus(text, sizeof text, nullptr);
    if (status == TQmHiscores::kRequestRunning)
        return;
    if (status == TQmHiscores::kRequestDone && mState == kCategoriesRequested) {
        mState = kScoresRequested;
        mHiscores->RequestScores(mCategory);
        return;
    }
    if (status == TQmHiscores::kRequestDone) {
        mState = kGlobalShown;
    } else {
        mErrorText = text;
        mState = kErrorShown;
    }
    Refresh();
}

void THiscore::Refresh()
{
    UpdateText();
    UpdateButtons();
    InvalidateRect(nullptr);
}

void THiscore::UpdateButtons()
{
    for (const char* name : kButtons) {
        if (TWindow* button = Child(name)) {
            ShowWindow(button, false);
            button->OnMouseLeave();
        }
    }
    if (mState == kLocal) {
        ShowChild(this, "moreinfo", true);
        ShowChild(this, "view", true);
        ShowChild(this, "submit", HasEligibleScore());
    } else if (mState == kGlobalShown) {
        ShowChild(this, "viewlocal", true);
        ShowChild(this, "categoryleft", true);
        ShowChild(this, "categoryright", true);
    } else if (mState == kErrorShown) {
        ShowChild(this, "viewlocal", true);
    }
    const int mode = HighScoreMode();
    if (mode != 0)
        ShowChild(this, "moreinfo", false);
    if (mode == 2) {
        ShowChild(this, "view", false);
        ShowChild(this, "submit", false);
    }
}

void THiscore::UpdateText()
{
    for (const char* name : kTexts)
        ShowChild(this, name, false);
    HideRows();
    TSettings* settings = TSettings::GetInstance();
    if (settings && mGameModeText) {
        const char* label = "gamemode1";
        if (settings->GetCurrentGameModeInt() == TSettings::kEndlessMode) {
            const int difficulty = settings->GetCurrentLevel();
            label = difficulty == 0 ? "endlesseasy" : difficulty == 1 ? "endlessmedium" : "endlesshard";
        }
        SetWindowText(mGameModeText, screens::Text(label));
    }
    const int mode = HighScoreMode();
    if (mode != 2) {
        ShowChild(this, "rightpanel", mState == kLocal);
        ShowChild(this, "rightpanelsmall", mState != kLocal);
    }
    if (mState == kLocal || mState == kGlobalShown)
        UpdateScoresTable(mode);
    if (mState == kLocal) {
        const bool eligible = HasEligibleScore();
        ShowChild(this, "eligible", eligible);
        ShowChild(this, "eligibleasterisk", eligible);
        ShowChild(this, "info", true);
    } else if (mState == kGlobalShown) {
        UpdateGlobalTexts();
    } else if (mState == kErrorShown) {
        SetChildText(this, "error", PlainText(mErrorText));
        ShowChild(this, "error", true);
    } else {
        ShowChild(this, "server", true);
    }
    if (mode == 2) {
        ShowChild(this, "info", false);
        ShowChild(this, "eligible", false);
        ShowChild(this, "eligibleasterisk", false);
    }
}

void THiscore::UpdateGlobalTexts()
{
    char name[kFieldBytes] = {};
    if (mHiscores)
        mHiscores->GetCategoryName(mCategory, name, sizeof name);
    SetChildText(this, "category", PlainText(name));
    ShowChild(this, "category", true);
    ShowChild(this, "yourrankglobalinfo", true);
    if (mSubmitResult != kNoSubmission) {
        ShowChild(this, mSubmitResult == kQualified ? "congratulations" : "dnq", true);
        ShowChild(this, "yourrankglobalinfo", false);
    }
    int rank = 0;
    if (mHiscores && mHiscores->GetUserBestScore(TQmHiscores::kGlobalScore, nullptr, &rank, nullptr, 0)) {
        TPlatform* platform = TPlatform::GetInstance();
        const str rankText = str::getFormatted("%d", rank);
        if (platform && platform->GetStringTable())
            SetChildText(this, "yourrank", platform->GetStringTable()->GetString("yourrank", 1, &rankText));
        ShowChild(this, "yourrank", true);
        ShowChild(this, "yourrankglobalinfo", false);
    }
}

void THiscore::HideRows()
{
    for (const TRow& row : mRows)
        for (TWindow* window : {row.name, row.score, row.level, row.rank, row.accountIcon})
            ShowWindow(window, false);
}

void THiscore::UpdateScoresTable(int mode)
{
    const bool local = mState != kGlobalShown;
    const int count = mHiscores ? mHiscores->GetScoreCount(local) : 0;
    if (local) {
        ShowChild(this, mode == 2 ? "topplayers" : "local", true);
        ShowChild(this, "scrollup", false);
        ShowChild(this, "scrolldown", false);
        mScroll = 0;
    } else {
        if (mode != 2)
            ShowChild(this, "global", true);
        mScroll = std::max(0, std::min(mScroll, count - 5));
        ShowChild(this, "scrollup", mScroll >= 1);
        ShowChild(this, "scrolldown", count > mScroll + kRows);
    }
    for (int k = 0; k < kRows && mScroll + k < count; ++k)
        FillRow(mRows[size_t(k)], local, mScroll + k, mode == 0);
}

void THiscore::FillRow(const TRow& row, bool local, int index, bool accounts)
{
    int rank = 0, score = 0;
    bool anonymous = true;
    char name[kFieldBytes] = {}, gameData[kFieldBytes] = {};
    if (!mHiscores->GetScore(local, index, &rank, name, sizeof name, &anonymous, &score, gameData, sizeof gameData))
        return;
    SetWindowText(row.name, PlainText(name, kFieldBytes));
    SetWindowText(row.score, str::getFormatted("%d", score));
    SetWindowText(row.rank, str::getFormatted("%d.", rank));
    SetWindowText(row.level, LevelOfRow(gameData));
    for (TWindow* window : {row.name, row.score, row.rank, row.level})
        ShowWindow(window, true);
    ShowWindow(row.accountIcon, accounts && !anonymous);
}

void THiscore::StepGameMode(bool right)
{
    TSettings* settings = TSettings::GetInstance();
    if (!settings)
        return;
    // Career, easy, medium, hard as positions 0-3 of a ring.
    const bool endless = settings->GetCurrentGameModeInt() == TSettings::kEndlessMode;
    const int difficulty = std::max(0, std::min(settings->GetCurrentLevel(), 2));
    const int position = endless ? difficulty + 1 : 0;
    const int next = (position + (right ? 1 : 3)) % 4;
    if (next == 0) {
        settings->SetCurrentGameMode(TSettings::kCareerMode);
    } else {
        settings->SetCurrentLevel(next - 1);
        settings->SetCurrentGameMode(TSettings::kEndlessMode);
    }
}

void THiscore::StepCategory(int step)
{
    const int count = mHiscores ? mHiscores->GetCategoryCount() : 0;
    mCategory += step;
    if (mCategory < 0)
        mCategory = std::max(0, count - 1);
    else if (mCategory >= count)
        mCategory = 0;
    mState = kScoresRequested;
    if (mHiscores)
        mHiscores->RequestScores(mCategory);
}

bool THiscore::OnMessage(TMessage* m)
{
    if (!m || m->GetType() != kButtonPress)
        return false;
    const str& name = m->GetName();
    if (name == str("gamemodeleft") || name == str("gamemoderight")) {
        if (mState != kLocal && mState != kGlobalShown)
            return true;
        StepGameMode(name == str("gamemoderight"));
        if (mState == kGlobalShown && mHiscores) {
            mState = kScoresRequested;
            mHiscores->RequestScores(mCategory);
        }
        mSubmitResult = kNoSubmission;
    } else if (name == str("categoryleft") || name == str("categoryright")) {
        StepCategory(name == str("categoryleft") ? -1 : 1);
    } else if (name == str("view")) {
        mSubmitResult = kNoSubmission;
        mState = kCategoriesRequested;
        if (mHiscores)
            mHiscores->RequestCategoryInformation();
    } else if (name == str("viewlocal")) {
        mState = kLocal;
    } else if (name == str("scrollup") || name == str("scrolldown")) {
        mScroll += name == str("scrollup") ? -kRows : kRows;
        UpdateText();
        InvalidateRect(nullptr);
        return true;
    } else if (name == str("submit")) {
        OpenSubmitDialog();
        return true;
    } else {
        return false;
    }
    Refresh();
    return true;
}

void THiscore::OpenSubmitDialog()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    if (!manager || !mHiscores)
        return;
    auto* dialog = new THiscoreSubmit(this);
    dialog->SetName(kSubmitScript);
    manager->PushModal(dialog);
    manager->RunScript(dialog, kSubmitScript);
    dialog->SetupSubmitWindow();
    dialog->SwitchModes(false);
}

void THiscore::SubmissionDone(bool best)
{
    mState = kCategoriesRequested;
    if (mHiscores)
        mHiscores->RequestCategoryInformation();
    mSubmitResult = best ? kQualified : kDidNotQualify;
    Refresh();
}

// ---- THiscoreSubmit

THiscoreSubmit::THiscoreSubmit(THiscore* owner)
    : mOwner(owner->Lifeline().Handle()), mOwnerWindow(owner), mHiscores(owner->GetHiscores())
{
    mKeyClick = TSound::Get("audio/sfx/keystroke2.ogg", false, TSoundManager::kEffects);
}

THiscoreSubmit::~THiscoreSubmit() = default;

void THiscoreSubmit::SetupSubmitWindow()
{
    if (TSettings* settings = TSettings::GetInstance())
        SetChildText(this, "nameedit", settings->GetCurrentUserName());
    char name[kStatusBytes] = {}, password[kStatusBytes] = {};
    if (mHiscores && mHiscores->GetRememberedUserInfo(name, sizeof name, password, sizeof password)) {
        SetChildText(this, "accountedit", name);
        SetChildText(this, "passedit", password);
        if (TButton* button = Child<TButton>("remember"))
            button->SetOn(true);
    }
    ShowChild(this, "submitconnect", false);
    ShowChild(this, "submiterror", false);
    ShowChild(this, "submiterrorok", false);
    int score = 0;
    if (mHiscores)
        mHiscores->GetUserBestScore(TQmHiscores::kEligibleScore, &score, nullptr, nullptr, 0);
    SetChildText(this, "eligiblescore", str::getFormatted("%d", score));
    FocusNameEdit();
}

void THiscoreSubmit::OnSetFocus(TWindow* previous)
{
    TModalWindow::OnSetFocus(previous);
    FocusNameEdit();
}

// The dialog gets the focus when pushed, before its script has built the
// edit; SetupSubmitWindow asks again once it exists.
void THiscoreSubmit::FocusNameEdit()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    TWindow* edit = Child("nameedit");
    if (!edit || !manager || manager->GetFocus() == edit)
        return;
    SetDefaultFocus(edit);
    TWindow* previous = manager->GetFocus();
    manager->SetFocus(edit);
    edit->OnSetFocus(previous);
}

void THiscoreSubmit::SwitchModes(bool connecting)
{
    for (const char* name : kForm)
        ShowChild(this, name, !connecting);
    const bool accounts = !connecting && HighScoreMode() == 0;
    for (const char* name : kAccountPart)
        ShowChild(this, name, accounts);
    ShowChild(this, "submitconnect", connecting);
    InvalidateRect(nullptr);
}

void THiscoreSubmit::Submit()
{
    SwitchModes(true);
    const str name = screens::GetChildText(this, "nameedit");
    const str account = screens::GetChildText(this, "accountedit");
    const str password = screens::GetChildText(this, "passedit");
    TButton* remember = Child<TButton>("remember");
    const bool keep = remember && remember->IsOn();
    if (account.length() > 0)
        mHiscores->SubmitScore(account.c_str(), password.c_str(), keep);
    else
        mHiscores->SubmitScore(name.c_str(), nullptr, keep);
    auto* task = new TUpdateHiscoreSubmitWindow(this);
    task->SetDelay(kPollMs, true, true, false);
    AdoptTask(task);
}

bool THiscoreSubmit::OnMessage(TMessage* m)
{
    if (m && m->GetType() == kTextChanged) {
        if (mKeyClick)
            mKeyClick->Play(false);
        ShowChild(this, "submittoserver",
                  screens::GetChildText(this, "nameedit").length() > 0 || screens::GetChildText(this, "accountedit").length() > 0);
        return true;
    }
    if (!m || m->GetType() != kButtonPress)
        return TModalWindow::OnMessage(m);
    const str& name = m->GetName();
    if (name == str("submittoserver") && mHiscores) {
        Submit();
    } else if (name == str("submiterrorok")) {
        ShowChild(this, "submiterror", false);
        ShowChild(this, "submiterrorok", false);
        SwitchModes(false);
    } else if (name == str("submitcancel")) {
        if (TWindowManager* manager = TWindowManager::GetInstance())
            manager->PopModal();
    } else {
        return TModalWindow::OnMessage(m);
    }
    return true;
}

bool THiscoreSubmit::UpdateServerStatus()
{
    if (!mHiscores)
        return false;
    char text[kStatusBytes] = {};
    bool best = false;
    const int status = mHiscores->GetServerRequestStatus(text, sizeof text, &best);
    if (status == TQmHiscores::kRequestRunning)
        return true;
    if (status == TQmHiscores::kRequestFailed) {
        const str shown = PlainText(text);
        WriteDbg("hiscore submission failed: %s", shown.c_str());
        SetChildText(this, "submiterror", shown);
        ShowChild(this, "submiterror", true);
        ShowChild(this, "submitconnect", false);
        ShowChild(this, "submiterrorok", true);
        return false;
    }
    const bool ownerAlive = mOwner.IsAlive();
    THiscore* owner = mOwnerWindow;
    if (TWindowManager* manager = TWindowManager::GetInstance())
        manager->PopModal();
    if (ownerAlive)
        owner->SubmissionDone(best);
    return false;
}

// ---- the polling tasks

TUpdateHiscoreWindow::TUpdateHiscoreWindow(THiscore* window) : mWindow(window), mAlive(window->Lifeline().Handle()) {}

bool TUpdateHiscoreWindow::Animate()
{
    if (mAlive.IsAlive())
        mWindow->UpdateServerStatus();
    return mAlive.IsAlive();
}

TUpdateHiscoreSubmitWindow::TUpdateHiscoreSubmitWindow(THiscoreSubmit* window)
    : mWindow(window), mAlive(window->Lifeline().Handle())
{
}

bool TUpdateHiscoreSubmitWindow::Animate()
{
    return mAlive.IsAlive() && mWindow->UpdateServerStatus();
}
