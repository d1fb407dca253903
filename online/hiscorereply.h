// Reading what comes from outside the hiscore service: the hiscore server's
// XML replies and the deciphered text of hiscore.dat. Each reader takes any
// text, however malformed, and reports failure instead of guessing.
#pragma once

#include "engine/base/str.h"
#include "online/hiscoretable.h"

#include <atomic>
#include <map>
#include <vector>

class TXmlNode;

namespace qm {

// The error check every reply passes first: the "hiscore" element must exist
// (else "HiScore XML parsing error!" is logged); a "message" child is a refusal
// whose text goes to *message; a "protocolError" child is logged. holder keeps
// the parsed tree; *hiscore points into it when found.
// Each reply reader takes a flag `stop` (null: none) that ends the reading
// part way once set, from any thread: the reply then counts as unread
// (false, nothing logged). A reply read on a worker thread is dropped so.
bool CheckHiscoreReply(const char* reply, TXmlNode& holder, TXmlNode** hiscore, str* message,
                       const std::atomic<bool>* stop = nullptr);

// A score list reply: rows in document order and the index of the first row
// marked as the requesting account (-1 when none).
bool ReadScoreList(const char* reply, TQmHiscoreTable* scores, int* accountIndex, str* message,
                   const std::atomic<bool>* stop = nullptr);

// A categories reply.
bool ReadCategories(const char* reply, std::vector<TQmHiscoreCategory>* categories, str* message,
                    const std::atomic<bool>* stop = nullptr);

// A submission reply; *bestScore tells whether the server took it as the player's best.
bool ReadSubmitReply(const char* reply, bool* bestScore, str* message, const std::atomic<bool>* stop = nullptr);

// The text stored in hiscore.dat: remembered logins by player and local tables by type.
void ReadHiscoreText(const char* text, std::map<str, TQmHiscoreUserInfo>* users,
                     std::map<str, TQmHiscoreTable>* tables);

// The text to store in hiscore.dat.
str WriteHiscoreText(const std::map<str, TQmHiscoreUserInfo>& users, const std::map<str, TQmHiscoreTable>& tables);

}  // namespace qm
