// The process-wide libcurl multi handle. Every running transfer is added to it
// and advances only when Pump() runs on the main thread: whenever a request's
// status is polled and once a frame. No thread of ours is involved; libcurl's
// name resolver works in the background on its own.
#pragma once

#include "online/httpdata.h"

#include <map>
#include <memory>

typedef void CURLM;

class THttpPump {
public:
    static THttpPump& Instance();

    // Starts a prepared transfer. The pump holds it until it ends, so an owner
    // may let go of it at any time without waiting.
    void Start(std::shared_ptr<THttpData> request);

    // Moves every running transfer along without blocking.
    void Pump();

    int RunningCount() const { return static_cast<int>(mRunning.size()); }

    ~THttpPump();

private:
    THttpPump();
    THttpPump(const THttpPump&) = delete;
    THttpPump& operator=(const THttpPump&) = delete;

    CURLM* mMulti = nullptr;
    std::map<CURL*, std::shared_ptr<THttpData>> mRunning;
};
