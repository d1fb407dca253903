// Feeds one input to every reader of the online services: the hiscore
// server's replies, the save-game server's reply and hiscore.dat's text.
#include "online/hiscorereply.h"
#include "online/serversaves.h"

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The readers see what the HTTP client hands over: NUL-terminated text.
    std::string text(reinterpret_cast<const char*>(data), size);
    str message;

    TQmHiscoreTable scores;
    int account = 0;
    if (qm::ReadScoreList(text.c_str(), &scores, &account, &message) && account >= scores.Count())
        __builtin_trap();
    std::vector<TQmHiscoreCategory> categories;
    qm::ReadCategories(text.c_str(), &categories, &message);
    bool best = false;
    qm::ReadSubmitReply(text.c_str(), &best, &message);
    str saved;
    qm::ReadSaveGameReply(text.c_str(), str("failed"), &saved);

    std::map<str, TQmHiscoreUserInfo> users;
    std::map<str, TQmHiscoreTable> tables;
    qm::ReadHiscoreText(text.c_str(), &users, &tables);
    // What was read must write out and read back the same.
    str written = qm::WriteHiscoreText(users, tables);
    std::map<str, TQmHiscoreUserInfo> usersAgain;
    std::map<str, TQmHiscoreTable> tablesAgain;
    qm::ReadHiscoreText(written.c_str(), &usersAgain, &tablesAgain);
    if (qm::WriteHiscoreText(usersAgain, tablesAgain) != written)
        __builtin_trap();
    return 0;
}
