// A small HTTP(S) server for tests. It listens on 127.0.0.1 on a port the
// system picks and answers each request from a handler on its own thread, so
// the code under test can poll from the test's thread as a game would. One
// request per connection ("Connection: close").
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TLoopbackRequest {
    std::string method;
    std::string path;   // without the query string
    std::string query;  // without the "?"
    std::string body;
    std::map<std::string, std::string> headers;  // names in lower case
};

// What a streamed reply writes with: raw bytes (status line and headers
// included), and pauses. Both return false once the client has gone or the
// server is stopping; the stream should then end.
class TLoopbackStream {
public:
    virtual bool Write(const std::string& bytes) = 0;
    virtual bool Pause(int milliseconds) = 0;
    virtual ~TLoopbackStream() = default;
};

struct TLoopbackReply {
    int code = 200;
    std::string body;
    std::string contentType = "text/xml";
    bool silent = false;  // read the request, never answer
    // When set, the reply is written by this function instead, on a thread of
    // its own so the server goes on answering: the hostile servers (endless
    // bodies, slow drips, enormous headers) are written this way.
    std::function<void(TLoopbackStream&)> stream;
};

// Hostile replies. Each stops by itself after `cap` bytes of body, so a
// client without limits ends (with the whole reply) instead of filling memory.
std::function<void(TLoopbackStream&)> EndlessBody(size_t cap, bool declareLength = false);
std::function<void(TLoopbackStream&)> DripBody(int intervalMs);
std::function<void(TLoopbackStream&)> HugeHeaders(size_t headerBytes);
std::function<void(TLoopbackStream&)> WholeReply(std::string body);
// The bytes as they stand, status line and headers included.
std::function<void(TLoopbackStream&)> RawReply(std::string bytes);

// Splits "a=1&b=%20x" into decoded pairs (later keys win).
std::map<std::string, std::string> ParseFormArgs(const std::string& text);

// A self-signed certificate for 127.0.0.1, made afresh by the test. The
// certificate file serves both the server and the client's trust store.
struct TTestCertificate {
    std::string certFile;
    std::string keyFile;
    TTestCertificate();
    ~TTestCertificate();
};

class TLoopbackServer {
public:
    using Handler = std::function<TLoopbackReply(const TLoopbackRequest&)>;

    // With a certificate the server speaks HTTPS.
    explicit TLoopbackServer(Handler handler, const TTestCertificate* tls = nullptr);
    ~TLoopbackServer();

    int Port() const { return mPort; }
    // "http://127.0.0.1:<port>" + path (https with a certificate).
    std::string Url(const std::string& path) const;
    std::vector<TLoopbackRequest> Requests() const;
    // Bytes written by streamed replies so far (all of them together).
    size_t StreamedBytes() const { return mStreamed; }

private:
    struct TConnection;
    void Run();
    void Serve(int fd);
    bool ReadRequest(TConnection& connection, TLoopbackRequest& request);

    Handler mHandler;
    void* mTls = nullptr;  // SSL_CTX*
    int mListen = -1;
    int mWake[2] = {-1, -1};
    int mPort = 0;
    mutable std::mutex mLock;
    std::vector<TLoopbackRequest> mRequests;
    std::vector<std::unique_ptr<TConnection>> mHeld;  // silent connections, closed at the end
    std::vector<std::thread> mStreams;                // streamed replies, joined at the end
    std::atomic<bool> mStopping{false};
    std::atomic<size_t> mStreamed{0};
    std::thread mThread;
};

// A port on 127.0.0.1 that nobody listens on: connections are refused.
int UnusedLoopbackPort();
