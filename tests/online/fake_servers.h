// The hiscore and save-game servers as the tests need them: they parse the
// requests the clients send, decipher submissions with the shared key, keep
// scores and saved games, and answer in the servers' reply shapes, including
// refusals, protocol errors, bad logins and silence.
#pragma once

#include "loopback_server.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TEncrypt;

struct TFakeSubmission {
    std::string text;                          // the deciphered payload
    std::map<std::string, std::string> score;  // attributes of its score element
    std::vector<std::string> medals;           // names of <medal> elements inside it
};

struct TFakeScore {
    std::string name, type, table, guid, data, ver;
    int score = 0;
};

class TFakeGameServers {
public:
    // keyText: the cipher key shared with the client. tls: serve HTTPS.
    TFakeGameServers(const char* keyText, const TTestCertificate* tls = nullptr);
    ~TFakeGameServers();

    std::string HiscoreUrl() const { return mServer.Url("/go/hiscore"); }
    std::string SaveGameUrl() const { return mServer.Url("/go/savegame"); }

    // Server state, read and changed by the tests.
    void AddAccount(const std::string& name, const std::string& password);
    void AddScore(const TFakeScore& score);
    void SetSilent(bool silent);
    void RefuseName(const std::string& name, const std::string& message);
    std::vector<TFakeSubmission> Submissions() const;
    std::vector<TLoopbackRequest> Requests() const { return mServer.Requests(); }

private:
    TLoopbackReply Handle(const TLoopbackRequest& request);
    std::string Hiscore(const std::map<std::string, std::string>& args);
    std::string SaveGame(const std::map<std::string, std::string>& args);
    std::string Submit(const std::map<std::string, std::string>& args);
    std::string Scores(const std::map<std::string, std::string>& args);

    mutable std::mutex mLock;
    std::unique_ptr<TEncrypt> mCipher;
    std::map<std::string, std::string> mAccounts;
    std::map<std::string, std::string> mRefusals;
    std::map<std::string, std::string> mSaves;
    std::vector<TFakeScore> mScores;
    std::vector<TFakeSubmission> mSubmissions;
    bool mSilent = false;
    TLoopbackServer mServer;  // last: it calls Handle on its own thread until destroyed first
};
