// A small HTTP client for one request at a time: GET with a query string or a
// form POST, the reply collected in memory or written to a file. Requests never
// block: start one with DoRequest, then poll GetStatus (once a frame) until it
// is no longer 0.
//
//   TSimpleHttp http;
//   http.Init("https://example.invalid/go/x", false, nullptr);
//   http.AddArg("lang", "en");
//   http.DoRequest(0);
//   ... each frame: if (http.GetStatus() == TSimpleHttp::kDone) use(http.GetContents());
#pragma once

#include "engine/base/str.h"

#include <cstddef>
#include <memory>

class THttpData;

class TSimpleHttp {
public:
    enum EStatus {
        kRunning = 0,
        kDone = 1,
        kFailed = 2,             // no request, transport error, time-out, or an HTTP error code for an output file
        kOutputNotWritable = 3,  // the output file could not be written
    };

    // Largest replies by default: in memory, and downloaded to a file.
    static constexpr size_t kDefaultReplyLimit = 8u << 20;
    static constexpr size_t kDefaultFileLimit = 64u << 20;

    TSimpleHttp();
    virtual ~TSimpleHttp();
    TSimpleHttp(const TSimpleHttp&) = delete;
    TSimpleHttp& operator=(const TSimpleHttp&) = delete;

    // Sets the address (without query string), the method and the output file
    // (null or "": the reply is kept in memory), clears the arguments and
    // abandons a running request.
    void Init(const char* url, bool post, const char* outFile);
    void AddArg(const char* key, const char* value);
    void AddArg(const char* key, int value);
    // The most bytes the reply of the next DoRequest may have (Init restores
    // the default). A longer one, or headers beyond 64 KB, fails the request
    // with status 2 as soon as it shows, and nothing more of it is kept.
    void SetReplyLimit(size_t bytes) { mReplyLimit = bytes; }
    // Abandons a running request and starts a new one. The argument is unused.
    void DoRequest(int unused = 0);

    // 0 running, 1 done, 2 failed, 3 output file not writable; 2 without a
    // request. Moves every running transfer along first.
    int GetStatus();
    // The NUL-terminated reply once the status is 1; null otherwise, and
    // always for a request with an output file. Owned by the request: valid
    // until the next Init, DoRequest or destruction.
    char* GetContents();
    // The HTTP response code of the finished request, 0 when there was none.
    long GetResponseCode() const;
    // The argument text built so far (query string or form body).
    const str& GetArgs() const { return mArgs; }

    // Moves every running transfer of the process along; called once a frame.
    static void PumpAll();
    // Time-outs for requests started from now on (defaults 10 s to connect, 30 s in all).
    static void SetTimeouts(long connectMs, long totalMs);
    // A file of trusted certificates for requests started from now on; null
    // or "" means the system's. Certificates are always verified.
    static void SetCertificateAuthorityFile(const char* path);

private:
    void Abandon();

    str mUrl;
    str mArgs;
    str mOutFile;
    bool mFirst = true;
    bool mPost = false;
    size_t mReplyLimit = 0;  // 0: the default for memory or file
    std::shared_ptr<THttpData> mRequest;
};
