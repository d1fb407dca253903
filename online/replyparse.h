// Reading a hiscore server reply away from the frame: a reply of a few
// kilobytes is read at once, a larger one (up to the request's size limit,
// which can take many milliseconds) on a worker thread while the status poll
// keeps answering "running". The result is handed over on the main thread.
#pragma once

#include "engine/base/str.h"
#include "online/hiscoretable.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace qm {

// What one reply said. Filled by Read, on whichever thread runs it.
struct THiscoreReply {
    enum EKind { kSubmit = 0, kGetScores = 1, kGetCategories = 2 };

    int kind = kSubmit;
    std::string text;  // the reply as received
    bool ok = false;
    str message;
    TQmHiscoreTable scores;
    int accountIndex = -1;
    std::vector<TQmHiscoreCategory> categories;
    bool bestScore = false;

    // Reads the text; once `stop` (null: none) is set the reading ends part
    // way and the reply counts as unread.
    void Read(const std::atomic<bool>* stop = nullptr);
};

class TReplyReader {
public:
    // Replies up to this size are read in the poll itself.
    static constexpr size_t kInlineLimit = 64u << 10;

    TReplyReader() = default;
    // Stops the readers still running and joins them: a quit waits for no
    // reply being read, only for the reader to see its stop flag.
    ~TReplyReader();
    TReplyReader(const TReplyReader&) = delete;
    TReplyReader& operator=(const TReplyReader&) = delete;

    // Starts reading a reply; one still being read is dropped unread.
    void Start(int kind, const char* text);
    bool Busy() const { return mCurrent != nullptr; }
    // The reply once it has been read; null while reading goes on.
    std::unique_ptr<THiscoreReply> Take();
    // Drops the reply being read, if any; its reading stops part way.
    void Drop();

private:
    struct TJob {
        THiscoreReply reply;
        std::atomic<bool> done{false};
        std::atomic<bool> stop{false};
        std::thread worker;
    };
    void JoinFinished();

    std::unique_ptr<TJob> mCurrent;
    std::vector<std::unique_ptr<TJob>> mDropped;  // dropped while running; joined once done
};

}  // namespace qm
