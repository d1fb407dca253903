// One HTTP transfer: its own copies of the request, the reply collected in
// memory or in an output file, and its status. Transfers run on the shared
// libcurl multi handle (THttpPump) and advance only when it is pumped from the
// main thread, so nothing here is locked.
#pragma once

#include "engine/base/str.h"

#include <cstdio>
#include <string>

typedef void CURL;
struct curl_slist;

class THttpData {
public:
    // Status values, as TSimpleHttp reports them.
    enum { kRunning = 0, kDone = 1, kFailed = 2, kOutputNotWritable = 3 };

    struct TOptions {
        long connectTimeoutMs;
        long totalTimeoutMs;
        str caFile;  // trust anchors; empty: the system's
    };

    THttpData(const str& url, const str& outFile, const str& args, bool post);
    ~THttpData();
    THttpData(const THttpData&) = delete;
    THttpData& operator=(const THttpData&) = delete;

    // Sets up the easy handle. False (with the status set) when the transfer
    // cannot start; then nothing is sent.
    bool Prepare(const TOptions& options);

    CURL* Handle() const { return mCurl; }
    int Status() const { return mStatus; }
    long ResponseCode() const { return mResponseCode; }

    // The reply, NUL-terminated; only meaningful once Status() is kDone.
    char* Contents() { return mBuffer.data(); }
    size_t ContentsSize() const { return mBuffer.size(); }

    // Called by the pump when libcurl reports the transfer over.
    void Finish(int curlResult);

private:
    static size_t WriteCallback(char* data, size_t size, size_t count, void* self);
    size_t Receive(const char* data, size_t size);
    void DiscardOutputFile();

    str mUrl;
    str mOutFile;
    str mTempFile;   // the output is written here and renamed into place on success
    str mArgs;
    bool mPost;
    int mStatus = kRunning;
    long mResponseCode = 0;
    std::string mBuffer;  // reply bytes when collected in memory
    std::FILE* mFile = nullptr;
    CURL* mCurl = nullptr;
    curl_slist* mHeaders = nullptr;
    char mError[256] = {};
};
