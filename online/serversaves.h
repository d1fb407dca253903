// The save-game server client: stores a player's saved game on the server
// and fetches it back, with the player's server login, over form POSTs.
//
// Requests never block: start one, then poll GetServerRequestStatus once a
// frame; it answers 1 running, 0 done, 2 failed (with a text for the player).
#pragma once

#include "engine/base/str.h"

#include <memory>

class TServerSavesData;

class TServerSaves {
public:
    enum ERequestStatus { kRequestDone = 0, kRequestRunning = 1, kRequestFailed = 2 };

    // Where user-visible texts come from (the string table); null: none.
    using TStringLookup = str (*)(const char* label);
    // Set once at start-up by whoever owns the string table; the label
    // "_debugsaveserver" names another server when its text contains "http".
    static void SetStringLookup(TStringLookup lookup);

    TServerSaves(str game, str version, str defaultError, str language);
    ~TServerSaves();
    TServerSaves(const TServerSaves&) = delete;
    TServerSaves& operator=(const TServerSaves&) = delete;

    void SendData(str user, str password, str data);
    void GetData(str user, str password);
    // 1 running, 0 done, 2 failed. On success *out gets the stored game (get)
    // or "" (set, or nothing stored); on failure the server's message or the
    // default error text. out may be null.
    int GetServerRequestStatus(str* out);

private:
    std::unique_ptr<TServerSavesData> mData;
};

namespace qm {

// Reads a save-game server reply: 0 with *out the stored game ("" for none or
// for a set), or 2 with *out the server's message or defaultError. A
// "protocolError" child is logged. out may be null.
int ReadSaveGameReply(const char* reply, const str& defaultError, str* out);

}  // namespace qm
