// The hiscore service: the player's local score tables (one per game mode,
// kept in hiscore.dat in the user data folder), remembered server logins per
// player profile, and the hiscore server's requests: the list of categories,
// a category's scores, and submitting the player's best unsubmitted score.
//
// Requests never block: start one, then poll GetServerRequestStatus once a
// frame; it answers 1 running, 0 done, 2 failed (with a text for the player).
// Only one request is in flight; starting one abandons the previous one.
#pragma once

#include "engine/base/str.h"

#include <memory>

class TQmHiscoresData;

class TQmHiscores {
public:
    enum EProperty { kLanguage = 0, kUserName = 1, kTableType = 2 };
    // Of a fixed type: any other number is a kind the service does not know
    // (GetUserBestScore says false), not undefined behaviour.
    enum EUserScore : int { kEligibleScore = 0, kGlobalScore = 1 };
    enum ERequestStatus { kRequestDone = 0, kRequestRunning = 1, kRequestFailed = 2 };

    // Loads hiscore.dat, then reads "hiscore.xml" (language, default error
    // text) and "hiscoreserver.txt" (server address) from the working folder.
    // hiscore.dat is written only when saveEnabled.
    TQmHiscores(const char* game, const char* keyText, const char* version, bool saveEnabled);
    ~TQmHiscores();
    TQmHiscores(const TQmHiscores&) = delete;
    TQmHiscores& operator=(const TQmHiscores&) = delete;

    void SetProperty(EProperty property, const char* value);

    void RequestCategoryInformation();
    int GetCategoryCount();
    bool GetCategoryName(int i, char* buffer, int length);
    void RequestScores(int category);
    // False (nothing sent) when the player has no unsubmitted score in the current table.
    bool SubmitScore(const char* name, const char* password, bool remember);
    // 1 running, 0 done, 2 failed with a text for the player in buffer.
    // For a submission, *bestScore tells whether the server took it as the
    // player's best. Null outputs are skipped.
    int GetServerRequestStatus(char* buffer, int length, bool* bestScore);

    // Adds a row for the current player to the current table and saves.
    void LogScore(int score, const char* gameData, const char* serverData, bool onePerUser);
    int GetScoreCount(bool local);
    // Row i of the current local table or of the downloaded list; any output
    // may be null (a length of 0 or less skips that text).
    bool GetScore(bool local, int i, int* rank, char* name, int nameLength, bool* anonymous, int* score,
                  char* gameData, int gameDataLength);
    bool GetUserBestScore(EUserScore which, int* score, int* rank, char* gameData, int length);

    bool GetRememberedUserInfo(char* name, int nameLength, char* password, int passwordLength);

    // Whether the load found a hiscore.dat it could not read (the tables
    // and logins then started empty), and the name it was kept aside as
    // ("" when it could not be).
    bool FoundUnreadableFile() const;
    str GetKeptAside() const;
    // Whether the load found a hiscore.dat this user may not open (another
    // user's): it is left as it is, and the local scores are neither read
    // nor written in this run.
    bool FoundFileNotPermitted() const;
    // Where hiscore.dat is kept ("" without a user data folder).
    str GetFilePath() const;
    // Why the last save of hiscore.dat that was tried failed (an errno
    // value), 0 when it succeeded or none was tried; and a new try when it
    // failed (every save writes the whole file, so one that succeeds later
    // loses nothing).
    int GetLastSaveError() const;
    void SaveAgainIfFailed();
    // Remembers the current player's login, or forgets it when either text is
    // null or empty; saves.
    void SetRememberedUserInfo(const char* name, const char* password);

private:
    std::unique_ptr<TQmHiscoresData> mData;
};
