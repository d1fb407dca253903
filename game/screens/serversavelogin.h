// The server-save dialog (window type "ServerSaveLogin"): logs the player
// into the save-game server and, by the "mode" of its window definition,
// checks the login (0), uploads the player's profile (1) or downloads one
// and installs it as the current player's (2). It records when to save to
// the server and remembers the login in the hiscore service. The feature is
// switched off (TServerSaveManager::IsSystemEnabled), so no screen offers it
// yet; the class is registered for the scripts that will.
#pragma once

#include "engine/base/str.h"
#include "engine/window/window.h"
#include "game/screens/scriptedwindow.h"

#include <memory>

class TButton;
class TServerSaves;
class TSound;

class TServerSaveLogin : public TScriptedWindow<TServerSaveLogin> {
public:
    static const contract::TScreenSpec kContract;

    static constexpr const char* kTypeName = "ServerSaveLogin";
    enum EProgress { kIdle = 0, kWaiting = 1, kFailed = 2, kSucceeded = 3 };
    enum EDialogMode { kVerify = 0, kSave = 1, kDownload = 2 };
    enum EMode { kLoginForm = 0, kDownloadAvailable = 1, kResponse = 2 };

    TServerSaveLogin();
    ~TServerSaveLogin() override;

    bool Init() override;
    void PostChildrenInit() override;
    bool OnMessage(TMessage* m) override;
    bool OnTaskAnimate() override;

    void SwitchModes(EMode mode);
    void SaveSSSG();
    void LoadSSSG();
    void VerifyLoginInfo();
    // Installs the downloaded profile as the current player's, keeping the
    // player's name; a profile that fails the check is refused and the
    // player's own is kept.
    void InstallDownload();
    void CloseResponseWindow();
    void ToggleRemember();
    // A button the script names drawn afresh, as if the mouse had left it.
    void RefreshButton(const str& name);
    void LaunchAccountCreate();

    int GetProgress() const { return mProgress; }
    int GetDialogMode() const { return mMode; }

private:
    void StartRequest(bool send);
    void OnRequestDone(const str& reply);
    void SaveCheckBoxes();
    bool IsOn(const contract::TChild<TButton>& toggle);
    void SetOn(const contract::TChild<TButton>& toggle, bool on);

    std::unique_ptr<TServerSaves> mSaves;
    int mProgress = kIdle;
    int mMode = kVerify;
    str mDownloaded;
    std::shared_ptr<TSound> mKeyClick;
};
