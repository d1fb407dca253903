// The hiscore screen (window type "HiscoreWindow"): the player's local score
// table of the current game mode and, on request, the hiscore server's lists
// by category; it switches game modes, scrolls the global list and opens the
// submit dialog (THiscoreSubmit, "scripts/hiscoresubmit.lua") that sends the
// player's best unsubmitted score. Both poll the hiscore service every 20 ms.
// Whatever the server sends (messages, names) is shown as plain text.
#pragma once

#include "engine/base/animtask.h"
#include "engine/base/str.h"
#include "engine/window/modalwindow.h"
#include "engine/window/window.h"
#include "game/screens/scriptedwindow.h"

#include <array>
#include <memory>

class TQmHiscores;
class TSound;

class THiscore : public TScriptedWindow<THiscore> {
public:
    static const contract::TScreenSpec kContract;

    static constexpr const char* kTypeName = "HiscoreWindow";
    static constexpr const char* kSubmitScript = "scripts/hiscoresubmit.lua";
    static constexpr int kRows = 10;
    enum EState { kLocal = 0, kCategoriesRequested = 1, kScoresRequested = 2, kGlobalShown = 4, kErrorShown = 5 };
    enum ESubmitResult { kNoSubmission = 0, kQualified = 1, kDidNotQualify = 2 };

    THiscore();
    ~THiscore() override;

    void PostChildrenInit() override;
    bool OnMessage(TMessage* m) override;
    bool OnDirtyRect(TRect* r) override;

    void UpdateServerStatus();
    void UpdateText();
    void UpdateButtons();
    void SubmissionDone(bool best);
    TQmHiscores* GetHiscores() const { return mHiscores; }

    int GetState() const { return mState; }
    int GetCategory() const { return mCategory; }
    int GetScroll() const { return mScroll; }
    int GetSubmitResult() const { return mSubmitResult; }

private:
    struct TRow {
        TWindow* name = nullptr;
        TWindow* score = nullptr;
        TWindow* level = nullptr;
        TWindow* rank = nullptr;
        TWindow* accountIcon = nullptr;
    };

    void UpdateGlobalTexts();
    void UpdateScoresTable(int mode);
    void FillRow(const TRow& row, bool local, int index, bool accounts);
    void HideRows();
    void StepGameMode(bool right);
    void StepCategory(int step);
    void Refresh();
    void OpenSubmitDialog();
    bool HasEligibleScore() const;

    int mState = kLocal;
    int mSubmitResult = kNoSubmission;
    TQmHiscores* mHiscores = nullptr;
    str mErrorText;
    int mCategory = 0;
    int mScroll = 0;
    std::array<TRow, kRows> mRows{};
    TWindow* mGameModeText = nullptr;
};

class THiscoreSubmit : public TScriptedWindow<THiscoreSubmit, TModalWindow> {
public:
    static const contract::TScreenSpec kContract;
    // Made by its hiscore screen only, never from its identity.
    static TWindow* DynamicCreate() { return nullptr; }

    explicit THiscoreSubmit(THiscore* owner);
    ~THiscoreSubmit() override;

    bool OnMessage(TMessage* m) override;
    void OnSetFocus(TWindow* previous) override;

    void SetupSubmitWindow();
    void SwitchModes(bool connecting);
    // Polls the submission; false once it is finished (done or failed).
    bool UpdateServerStatus();

private:
    void Submit();
    void FocusNameEdit();

    TLifeHandle mOwner;
    THiscore* mOwnerWindow;
    std::shared_ptr<TSound> mKeyClick;
    TQmHiscores* mHiscores = nullptr;
};

class TUpdateHiscoreWindow : public TAnimTask {
public:
    explicit TUpdateHiscoreWindow(THiscore* window);
    bool Animate() override;

private:
    THiscore* mWindow;
    TLifeHandle mAlive;
};

class TUpdateHiscoreSubmitWindow : public TAnimTask {
public:
    explicit TUpdateHiscoreSubmitWindow(THiscoreSubmit* window);
    bool Animate() override;

private:
    THiscoreSubmit* mWindow;
    TLifeHandle mAlive;
};
