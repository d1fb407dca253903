// One HTTP transfer: its own copies of the request, the reply collected in
// memory or in an output file, and its status. Transfers run on the shared
// libcurl multi handle (THttpPump) and advance only when it is pumped from the
// main thread, so nothing here is locked.
#pragma once

#include "engine/base/str.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>

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

    // limit: the most bytes of body kept (in memory or in the file); headers
    // are limited to kHeaderLimit. Past either the transfer fails (status 2).
    THttpData(const str& url, const str& outFile, const str& args, bool post, size_t limit);
    static constexpr size_t kHeaderLimit = 64u << 10;
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
    char* Contents() { return mBuffer.Data(); }
    size_t ContentsSize() const { return mBuffer.Size(); }

    // Called by the pump before each round: the transfer may take in
    // kBytesPerPump bytes more, so no single poll copies more than that.
    void BeginPump();
    static constexpr size_t kBytesPerPump = 128u << 10;

    // Called by the pump when libcurl reports the transfer over.
    void Finish(int curlResult);

private:
    // Grows by realloc, which moves large blocks by remapping their pages
    // rather than copying them, so growing never costs a poll more than the
    // bytes it takes in.
    class TReplyBuffer {
    public:
        TReplyBuffer() = default;
        ~TReplyBuffer() { std::free(mData); }
        TReplyBuffer(const TReplyBuffer&) = delete;
        TReplyBuffer& operator=(const TReplyBuffer&) = delete;
        bool Append(const char* data, size_t size);
        char* Data();
        size_t Size() const { return mSize; }
        void Release();

    private:
        char* mData = nullptr;
        size_t mSize = 0;
        size_t mCapacity = 0;
    };

    static size_t WriteCallback(char* data, size_t size, size_t count, void* self);
    static size_t HeaderCallback(char* data, size_t size, size_t count, void* self);
    size_t Receive(const char* data, size_t size);
    void DiscardOutputFile();

    str mUrl;
    str mOutFile;
    str mTempFile;   // the output is written here and renamed into place on success
    str mArgs;
    bool mPost;
    size_t mLimit;
    size_t mReceived = 0;        // body bytes so far
    size_t mHeaderBytes = 0;     // header bytes so far
    bool mTooLarge = false;      // refused at the limit
    size_t mPumpBytes = 0;       // taken in during this round of the pump
    bool mPaused = false;        // waiting for the next round
    int mStatus = kRunning;
    long mResponseCode = 0;
    TReplyBuffer mBuffer;  // reply bytes when collected in memory
    std::FILE* mFile = nullptr;
    CURL* mCurl = nullptr;
    curl_slist* mHeaders = nullptr;
    char mError[256] = {};
};
