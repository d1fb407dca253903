#include "game/screens/hiscore.h"

#include "engine/base/debuglog.h"
#include "engine/sound/sound.h"
#include "engine/sound/soundmanager.h"
#include "engine/window/button.h"
#include "engine/platform/platform.h"
#include "engine/window/message.h"
#include "engine/window/showwindow.h"
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

// The number after "rest:" (endless) or "lev:" (career) in a row's game data.
str LevelOfRow(const char* gameData)
{
    TSettings* settings = TSettings::GetInstance();
    const bool endless = settings && settings->GetCurrentGameModeInt() == TSettings::kEndlessMode;
    const char* key = endless ? "rest:" : "lev:";
    const char* found = std::strstr(gameData, key);
    return found ? str::getFormatted("%d", std::atoi(found + std::strlen(key))) : str();
}


// The shipped script (scripts/hiscore.lua) builds every child named here,
// the online ones too: the buttons "view" and "submit", the world list's
// category arrows and the side panel's texts, which the screen shows only
// when the string table's "highscoremode" is 0 or 1 (the shipped 2 keeps the
// tables local). Those marked optional a layout may leave out.
constexpr auto kName = contract::Numbered<TText>("name%d", 1, THiscore::kRows);
constexpr auto kScore = contract::Numbered<TText>("score%d", 1, THiscore::kRows);
constexpr auto kLevel = contract::Numbered<TText>("level%d", 1, THiscore::kRows);
constexpr auto kChild = contract::Numbered<TText>("%d", 1, THiscore::kRows);
constexpr auto kP1 = contract::Numbered<TWindow>("p1_%d", 1, THiscore::kRows);
constexpr auto kGamemode = contract::Child<TText>("gamemode");
constexpr auto kSubmit = contract::Child<TButton>("submit");
constexpr auto kView = contract::Child<TButton>("view");
constexpr auto kViewlocal = contract::Child<TButton>("viewlocal");
constexpr auto kMoreinfo = contract::Child<TButton>("moreinfo");
constexpr auto kCategoryleft = contract::Child<TButton>("categoryleft").Optional();
constexpr auto kCategoryright = contract::Child<TButton>("categoryright").Optional();
constexpr auto kGamemodeleft = contract::Child<TButton>("gamemodeleft").Optional();
constexpr auto kGamemoderight = contract::Child<TButton>("gamemoderight").Optional();
constexpr auto kScrollup = contract::Child<TButton>("scrollup").Optional();
constexpr auto kScrolldown = contract::Child<TButton>("scrolldown").Optional();
constexpr auto kLocalChild = contract::Child<TWindow>("local");
constexpr auto kGlobal = contract::Child<TWindow>("global");
constexpr auto kTopplayers = contract::Child<TWindow>("topplayers");
constexpr auto kCategory = contract::Child<TText>("category");
constexpr auto kServer = contract::Child<TWindow>("server");
constexpr auto kError = contract::Child<TText>("error");
constexpr auto kInfo = contract::Child<TWindow>("info").Optional();
constexpr auto kEligible = contract::Child<TWindow>("eligible").Optional();
constexpr auto kEligibleasterisk = contract::Child<TWindow>("eligibleasterisk").Optional();
constexpr auto kCongratulations = contract::Child<TWindow>("congratulations").Optional();
constexpr auto kDnq = contract::Child<TWindow>("dnq").Optional();
constexpr auto kYourrank = contract::Child<TText>("yourrank").Optional();
constexpr auto kYourrankglobalinfo = contract::Child<TWindow>("yourrankglobalinfo").Optional();
constexpr auto kRankvalue = contract::Child<TWindow>("rankvalue").Optional();
constexpr auto kRightpanel = contract::Child<TWindow>("rightpanel");
constexpr auto kRightpanelsmall = contract::Child<TWindow>("rightpanelsmall");
const contract::TChildSpec kHiscoreChildren[] = {
    kName,
    kScore,
    kLevel,
    kChild,
    kP1,
    kGamemode,
    kSubmit,
    kView,
    kViewlocal,
    kMoreinfo,
    kCategoryleft,
    kCategoryright,
    kGamemodeleft,
    kGamemoderight,
    kScrollup,
    kScrolldown,
    kLocalChild,
    kGlobal,
    kTopplayers,
    kCategory,
    kServer,
    kError,
    kInfo,
    kEligible,
    kEligibleasterisk,
    kCongratulations,
    kDnq,
    kYourrank,
    kYourrankglobalinfo,
    kRankvalue,
    kRightpanel,
    kRightpanelsmall,
};

constexpr auto kNameedit = contract::Child<TTextEdit>("nameedit");
constexpr auto kAccountedit = contract::Child<TTextEdit>("accountedit");
constexpr auto kPassedit = contract::Child<TTextEdit>("passedit");
constexpr auto kRemember = contract::Child<TButton>("remember");
constexpr auto kHeader = contract::Child<TWindow>("header");
constexpr auto kHeadershadow = contract::Child<TWindow>("headershadow");
constexpr auto kPlayertext = contract::Child<TWindow>("playertext");
constexpr auto kYourscore = contract::Child<TWindow>("yourscore");
constexpr auto kEligiblescore = contract::Child<TText>("eligiblescore");
constexpr auto kYourqmaccount = contract::Child<TWindow>("yourqmaccount");
constexpr auto kNametext = contract::Child<TWindow>("nametext");
constexpr auto kPasstext = contract::Child<TWindow>("passtext");
constexpr auto kNameeditbox = contract::Child<TWindow>("nameeditbox").Composed();
constexpr auto kAccounteditbox = contract::Child<TWindow>("accounteditbox").Composed();
constexpr auto kPasseditbox = contract::Child<TWindow>("passeditbox").Composed();
constexpr auto kSubmitconnect = contract::Child<TWindow>("submitconnect");
constexpr auto kSubmiterror = contract::Child<TText>("submiterror");
constexpr auto kSubmittoserver = contract::Child<TButton>("submittoserver");
constexpr auto kSubmitcancel = contract::Child<TButton>("submitcancel");
constexpr auto kSubmiterrorok = contract::Child<TButton>("submiterrorok");
const contract::TChildSpec kSubmitChildren[] = {
    kNameedit,
    kAccountedit,
    kPassedit,
    kRemember,
    kHeader,
    kHeadershadow,
    kPlayertext,
    kYourscore,
    kEligiblescore,
    kYourqmaccount,
    kNametext,
    kPasstext,
    kNameeditbox,  // the field's name and "box"
    kAccounteditbox,  // the field's name and "box"
    kPasseditbox,  // the field's name and "box"
    kSubmitconnect,
    kSubmiterror,
    kSubmittoserver,
    kSubmitcancel,
    kSubmiterrorok,
};

// What each state of the board and of the dialog shows or hides together.
const contract::TChildSpec kButtons[] = {kSubmit, kView, kViewlocal, kMoreinfo, kCategoryleft, kCategoryright};
const contract::TChildSpec kTexts[] = {kLocalChild, kGlobal, kTopplayers, kCategory, kServer, kError, kInfo, kEligible,
                                       kEligibleasterisk, kCongratulations, kDnq, kYourrank, kYourrankglobalinfo,
                                       kRankvalue, kRightpanel, kRightpanelsmall};
const contract::TChildSpec kForm[] = {kHeader, kHeadershadow, kPlayertext, kYourscore, kEligiblescore, kNameeditbox,
                                      kSubmittoserver, kSubmitcancel};
const contract::TChildSpec kAccountPart[] = {kYourqmaccount, kNametext, kPasstext, kAccounteditbox, kPasseditbox,
                                             kRemember};

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
        row.name = Child(kName, i + 1);
        row.score = Child(kScore, i + 1);
        row.level = Child(kLevel, i + 1);
        row.rank = Child(kChild, i + 1);
        row.accountIcon = Child(kP1, i + 1);
    }
    mGameModeText = Child(kGamemode);
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
    for (const contract::TChildSpec& child : kButtons) {
        if (TWindow* button = Child(child.name)) {
            ShowWindow(button, false);
            button->OnMouseLeave();
        }
    }
    if (mState == kLocal) {
        ShowChild(this, kMoreinfo, true);
        ShowChild(this, kView, true);
        ShowChild(this, kSubmit, HasEligibleScore());
    } else if (mState == kGlobalShown) {
        ShowChild(this, kViewlocal, true);
        ShowChild(this, kCategoryleft, true);
        ShowChild(this, kCategoryright, true);
    } else if (mState == kErrorShown) {
        ShowChild(this, kViewlocal, true);
    }
    const int mode = HighScoreMode();
    if (mode != 0)
        ShowChild(this, kMoreinfo, false);
    if (mode == 2) {
        ShowChild(this, kView, false);
        ShowChild(this, kSubmit, false);
    }
}

void THiscore::UpdateText()
{
    for (const contract::TChildSpec& child : kTexts)
        ShowChild(this, child, false);
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
        ShowChild(this, kRightpanel, mState == kLocal);
        ShowChild(this, kRightpanelsmall, mState != kLocal);
    }
    if (mState == kLocal || mState == kGlobalShown)
        UpdateScoresTable(mode);
    if (mState == kLocal) {
        const bool eligible = HasEligibleScore();
        ShowChild(this, kEligible, eligible);
        ShowChild(this, kEligibleasterisk, eligible);
        ShowChild(this, kInfo, true);
    } else if (mState == kGlobalShown) {
        UpdateGlobalTexts();
    } else if (mState == kErrorShown) {
        SetChildText(this, kError, PlainText(mErrorText));
        ShowChild(this, kError, true);
    } else {
        ShowChild(this, kServer, true);
    }
    if (mode == 2) {
        ShowChild(this, kInfo, false);
        ShowChild(this, kEligible, false);
        ShowChild(this, kEligibleasterisk, false);
    }
}

void THiscore::UpdateGlobalTexts()
{
    char name[kFieldBytes] = {};
    if (mHiscores)
        mHiscores->GetCategoryName(mCategory, name, sizeof name);
    SetChildText(this, kCategory, PlainText(name));
    ShowChild(this, kCategory, true);
    ShowChild(this, kYourrankglobalinfo, true);
    if (mSubmitResult != kNoSubmission) {
        ShowChild(this, mSubmitResult == kQualified ? kCongratulations : kDnq, true);
        ShowChild(this, kYourrankglobalinfo, false);
    }
    int rank = 0;
    if (mHiscores && mHiscores->GetUserBestScore(TQmHiscores::kGlobalScore, nullptr, &rank, nullptr, 0)) {
        TPlatform* platform = TPlatform::GetInstance();
        const str rankText = str::getFormatted("%d", rank);
        if (platform && platform->GetStringTable())
            SetChildText(this, kYourrank, platform->GetStringTable()->GetString("yourrank", 1, &rankText));
        ShowChild(this, kYourrank, true);
        ShowChild(this, kYourrankglobalinfo, false);
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
        ShowChild(this, mode == 2 ? kTopplayers : kLocalChild, true);
        ShowChild(this, kScrollup, false);
        ShowChild(this, kScrolldown, false);
        mScroll = 0;
    } else {
        if (mode != 2)
            ShowChild(this, kGlobal, true);
        mScroll = std::max(0, std::min(mScroll, count - 5));
        ShowChild(this, kScrollup, mScroll >= 1);
        ShowChild(this, kScrolldown, count > mScroll + kRows);
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
    if (name == str(kGamemodeleft.name) || name == str(kGamemoderight.name)) {
        if (mState != kLocal && mState != kGlobalShown)
            return true;
        StepGameMode(name == str(kGamemoderight.name));
        if (mState == kGlobalShown && mHiscores) {
            mState = kScoresRequested;
            mHiscores->RequestScores(mCategory);
        }
        mSubmitResult = kNoSubmission;
    } else if (name == str(kCategoryleft.name) || name == str(kCategoryright.name)) {
        StepCategory(name == str(kCategoryleft.name) ? -1 : 1);
    } else if (name == str(kView.name)) {
        mSubmitResult = kNoSubmission;
        mState = kCategoriesRequested;
        if (mHiscores)
            mHiscores->RequestCategoryInformation();
    } else if (name == str(kViewlocal.name)) {
        mState = kLocal;
    } else if (name == str(kScrollup.name) || name == str(kScrolldown.name)) {
        mScroll += name == str(kScrollup.name) ? -kRows : kRows;
        UpdateText();
        InvalidateRect(nullptr);
        return true;
    } else if (name == str(kSubmit.name)) {
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
        SetChildText(this, kNameedit, settings->GetCurrentUserName());
    char name[kStatusBytes] = {}, password[kStatusBytes] = {};
    if (mHiscores && mHiscores->GetRememberedUserInfo(name, sizeof name, password, sizeof password)) {
        SetChildText(this, kAccountedit, name);
        SetChildText(this, kPassedit, password);
        if (TButton* button = Child(kRemember))
            button->SetOn(true);
    }
    ShowChild(this, kSubmitconnect, false);
    ShowChild(this, kSubmiterror, false);
    ShowChild(this, kSubmiterrorok, false);
    int score = 0;
    if (mHiscores)
        mHiscores->GetUserBestScore(TQmHiscores::kEligibleScore, &score, nullptr, nullptr, 0);
    SetChildText(this, kEligiblescore, str::getFormatted("%d", score));
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
    TWindow* edit = Child(kNameedit);
    if (!edit || !manager || manager->GetFocus() == edit)
        return;
    SetDefaultFocus(edit);
    TWindow* previous = manager->GetFocus();
    manager->SetFocus(edit);
    edit->OnSetFocus(previous);
}

void THiscoreSubmit::SwitchModes(bool connecting)
{
    for (const contract::TChildSpec& child : kForm)
        ShowChild(this, child, !connecting);
    const bool accounts = !connecting && HighScoreMode() == 0;
    for (const contract::TChildSpec& child : kAccountPart)
        ShowChild(this, child, accounts);
    ShowChild(this, kSubmitconnect, connecting);
    InvalidateRect(nullptr);
}

void THiscoreSubmit::Submit()
{
    SwitchModes(true);
    const str name = screens::GetChildText(this, kNameedit);
    const str account = screens::GetChildText(this, kAccountedit);
    const str password = screens::GetChildText(this, kPassedit);
    TButton* remember = Child(kRemember);
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
        const bool typed = screens::GetChildText(this, kNameedit).length() > 0 ||
                           screens::GetChildText(this, kAccountedit).length() > 0;
        ShowChild(this, kSubmittoserver, typed);
        return true;
    }
    if (!m || m->GetType() != kButtonPress)
        return TModalWindow::OnMessage(m);
    const str& name = m->GetName();
    if (name == str(kSubmittoserver.name) && mHiscores) {
        Submit();
    } else if (name == str(kSubmiterrorok.name)) {
        ShowChild(this, kSubmiterror, false);
        ShowChild(this, kSubmiterrorok, false);
        SwitchModes(false);
    } else if (name == str(kSubmitcancel.name)) {
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
        SetChildText(this, kSubmiterror, shown);
        ShowChild(this, kSubmiterror, true);
        ShowChild(this, kSubmitconnect, false);
        ShowChild(this, kSubmiterrorok, true);
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
