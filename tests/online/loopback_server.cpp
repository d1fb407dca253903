#include "loopback_server.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <thread>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string decode(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() + 0 && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else if (text[i] == '+') {
            out += ' ';
        } else {
            out += text[i];
        }
    }
    return out;
}

int bindLoopback(int* port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot bind 127.0.0.1");
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(address.sin_port);
    return fd;
}

std::string tempPath(const char* suffix)
{
    char name[] = "/tmp/qm-online-XXXXXX";
    int fd = ::mkstemp(name);
    if (fd < 0)
        throw std::runtime_error("mkstemp");
    ::close(fd);
    ::unlink(name);
    return std::string(name) + suffix;
}

}  // namespace

std::map<std::string, std::string> ParseFormArgs(const std::string& text)
{
    std::map<std::string, std::string> args;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('&', start);
        if (end == std::string::npos)
            end = text.size();
        std::string pair = text.substr(start, end - start);
        size_t equals = pair.find('=');
        if (equals == std::string::npos)
            args[decode(pair)] = "";
        else
            args[decode(pair.substr(0, equals))] = decode(pair.substr(equals + 1));
        start = end + 1;
    }
    return args;
}

TTestCertificate::TTestCertificate()
{
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 24 * 3600);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(cert, name);
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, cert, cert, nullptr, nullptr, 0);
    const std::pair<int, const char*> extensions[] = {
        {NID_basic_constraints, "critical,CA:TRUE"},
        {NID_key_usage, "critical,digitalSignature,keyCertSign"},
        {NID_subject_alt_name, "IP:127.0.0.1"},
    };
    for (auto [nid, value] : extensions) {
        X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
        X509_add_ext(cert, extension, -1);
        X509_EXTENSION_free(extension);
    }
    X509_sign(cert, key, EVP_sha256());

    certFile = tempPath(".crt");
    keyFile = tempPath(".key");
    FILE* out = std::fopen(certFile.c_str(), "w");
    PEM_write_X509(out, cert);
    std::fclose(out);
    out = std::fopen(keyFile.c_str(), "w");
    PEM_write_PrivateKey(out, key, nullptr, nullptr, 0, nullptr, nullptr);
    std::fclose(out);
    X509_free(cert);
    EVP_PKEY_free(key);
}

TTestCertificate::~TTestCertificate()
{
    std::remove(certFile.c_str());
    std::remove(keyFile.c_str());
}

struct TLoopbackServer::TConnection {
    int fd = -1;
    SSL* ssl = nullptr;
    ~TConnection()
    {
        if (ssl)
            SSL_free(ssl);
        if (fd >= 0)
            ::close(fd);
    }
    long Read(char* buffer, size_t size)
    {
        return ssl ? SSL_read(ssl, buffer, static_cast<int>(size)) : ::recv(fd, buffer, size, 0);
    }
    bool Write(const std::string& text)
    {
        size_t done = 0;
        while (done < text.size()) {
            long n = ssl ? SSL_write(ssl, text.data() + done, static_cast<int>(text.size() - done))
                         : ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }
};

namespace {

class TConnectionStream : public TLoopbackStream {
public:
    TConnectionStream(const std::function<bool(const std::string&)>& write, const std::atomic<bool>& stopping)
        : mWrite(write), mStopping(stopping)
    {
    }
    bool Write(const std::string& bytes) override { return !mStopping && mWrite(bytes); }
    bool Pause(int milliseconds) override
    {
        for (int waited = 0; waited < milliseconds && !mStopping; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return !mStopping;
    }

private:
    const std::function<bool(const std::string&)>& mWrite;
    const std::atomic<bool>& mStopping;
};

std::string replyHead(const std::string& extra)
{
    return "HTTP/1.1 200 OK\r\nConnection: close\r\n" + extra + "\r\n";
}

}  // namespace

std::function<void(TLoopbackStream&)> EndlessBody(size_t cap, bool declareLength)
{
    return [cap, declareLength](TLoopbackStream& out) {
        std::string length = declareLength ? "Content-Length: " + std::to_string(cap) + "\r\n" : "";
        if (!out.Write(replyHead("Content-Type: text/plain\r\n" + length)))
            return;
        const std::string chunk(64 * 1024, 'x');
        for (size_t sent = 0; sent < cap; sent += chunk.size())
            if (!out.Write(chunk.substr(0, std::min(chunk.size(), cap - sent))))
                return;
    };
}

std::function<void(TLoopbackStream&)> DripBody(int intervalMs)
{
    return [intervalMs](TLoopbackStream& out) {
        if (!out.Write(replyHead("Content-Type: text/plain\r\n")))
            return;
        while (out.Pause(intervalMs) && out.Write("x")) {
        }
    };
}

std::function<void(TLoopbackStream&)> HugeHeaders(size_t headerBytes)
{
    return [headerBytes](TLoopbackStream& out) {
        if (!out.Write("HTTP/1.1 200 OK\r\nConnection: close\r\n"))
            return;
        const std::string line = "X-Filler: " + std::string(1000, 'h') + "\r\n";
        for (size_t sent = 0; sent < headerBytes; sent += line.size())
            if (!out.Write(line))
                return;
        out.Write("Content-Length: 2\r\n\r\nok");
    };
}

std::function<void(TLoopbackStream&)> WholeReply(std::string body)
{
    return [body = std::move(body)](TLoopbackStream& out) {
        if (out.Write(replyHead("Content-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) + "\r\n")))
            out.Write(body);
    };
}

std::function<void(TLoopbackStream&)> RawReply(std::string bytes)
{
    return [bytes = std::move(bytes)](TLoopbackStream& out) { out.Write(bytes); };
}

TLoopbackServer::TLoopbackServer(Handler handler, const TTestCertificate* tls) : mHandler(std::move(handler))
{
    if (tls) {
        SSL_CTX* context = SSL_CTX_new(TLS_server_method());
        if (SSL_CTX_use_certificate_file(context, tls->certFile.c_str(), SSL_FILETYPE_PEM) != 1 ||
            SSL_CTX_use_PrivateKey_file(context, tls->keyFile.c_str(), SSL_FILETYPE_PEM) != 1)
            throw std::runtime_error("test certificate not usable");
        mTls = context;
    }
    mListen = bindLoopback(&mPort);
    ::listen(mListen, 16);
    if (::pipe(mWake) != 0)
        throw std::runtime_error("pipe");
    mThread = std::thread([this] { Run(); });
}

TLoopbackServer::~TLoopbackServer()
{
    char stop = 1;
    mStopping = true;
    (void)!::write(mWake[1], &stop, 1);
    mThread.join();
    for (std::thread& stream : mStreams)
        stream.join();
    mHeld.clear();
    ::close(mListen);
    ::close(mWake[0]);
    ::close(mWake[1]);
    if (mTls)
        SSL_CTX_free(static_cast<SSL_CTX*>(mTls));
}

std::string TLoopbackServer::Url(const std::string& path) const
{
    return std::string(mTls ? "https" : "http") + "://127.0.0.1:" + std::to_string(mPort) + path;
}

std::vector<TLoopbackRequest> TLoopbackServer::Requests() const
{
    std::lock_guard<std::mutex> guard(mLock);
    return mRequests;
}

void TLoopbackServer::Run()
{
    for (;;) {
        pollfd fds[2] = {{mListen, POLLIN, 0}, {mWake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents)
            return;
        if (fds[0].revents & POLLIN) {
            int fd = ::accept4(mListen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0)
                Serve(fd);
        }
    }
}

void TLoopbackServer::Serve(int fd)
{
    auto connection = std::make_unique<TConnection>();
    connection->fd = fd;
    timeval limit = {2, 0};
    // Neither a client that stops sending nor one that stops reading can hang the server.
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (mTls) {
        connection->ssl = SSL_new(static_cast<SSL_CTX*>(mTls));
        SSL_set_fd(connection->ssl, fd);
        if (SSL_accept(connection->ssl) != 1) {
            ERR_clear_error();
            return;
        }
    }
    TLoopbackRequest request;
    if (!ReadRequest(*connection, request))
        return;
    {
        std::lock_guard<std::mutex> guard(mLock);
        mRequests.push_back(request);
    }
    TLoopbackReply reply = mHandler(request);
    if (reply.stream) {
        // The hostile writers run until the client goes, apart from the server.
        mStreams.emplace_back([this, connection = std::move(connection), stream = std::move(reply.stream)] {
            std::function<bool(const std::string&)> write = [&](const std::string& bytes) {
                if (!connection->Write(bytes))
                    return false;
                mStreamed += bytes.size();
                return true;
            };
            TConnectionStream out(write, mStopping);
            stream(out);
            if (connection->ssl)
                SSL_shutdown(connection->ssl);
        });
        return;
    }
    if (reply.silent) {
        std::lock_guard<std::mutex> guard(mLock);
        mHeld.push_back(std::move(connection));
        return;
    }
    std::string text = "HTTP/1.1 " + std::to_string(reply.code) + (reply.code < 400 ? " OK" : " Error") +
                       "\r\nContent-Type: " + reply.contentType +
                       "\r\nContent-Length: " + std::to_string(reply.body.size()) +
                       "\r\nConnection: close\r\n\r\n" + reply.body;
    connection->Write(text);
    if (connection->ssl)
        SSL_shutdown(connection->ssl);
}

bool TLoopbackServer::ReadRequest(TConnection& connection, TLoopbackRequest& request)
{
    std::string data;
    char buffer[4096];
    size_t headEnd;
    while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
        long n = connection.Read(buffer, sizeof buffer);
        if (n <= 0)
            return false;
        data.append(buffer, static_cast<size_t>(n));
    }
    std::string head = data.substr(0, headEnd);
    std::string body = data.substr(headEnd + 4);

    size_t lineEnd = head.find("\r\n");
    std::string requestLine = head.substr(0, lineEnd);
    size_t space1 = requestLine.find(' ');
    size_t space2 = requestLine.find(' ', space1 + 1);
    request.method = requestLine.substr(0, space1);
    std::string target = requestLine.substr(space1 + 1, space2 - space1 - 1);
    size_t question = target.find('?');
    request.path = target.substr(0, question);
    request.query = question == std::string::npos ? "" : target.substr(question + 1);

    size_t position = lineEnd;
    while (position != std::string::npos && position < head.size()) {
        size_t next = head.find("\r\n", position + 2);
        std::string line = head.substr(position + 2, next == std::string::npos ? std::string::npos : next - position - 2);
        size_t colon = line.find(':');
        if (colon != std::string::npos) {
            std::string name = line.substr(0, colon);
            for (char& c : name)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            size_t valueStart = line.find_first_not_of(' ', colon + 1);
            request.headers[name] = valueStart == std::string::npos ? "" : line.substr(valueStart);
        }
        position = next;
    }

    size_t length = 0;
    if (auto found = request.headers.find("content-length"); found != request.headers.end())
        length = std::strtoul(found->second.c_str(), nullptr, 10);
    while (body.size() < length) {
        long n = connection.Read(buffer, sizeof buffer);
        if (n <= 0)
            return false;
        body.append(buffer, static_cast<size_t>(n));
    }
    request.body = body;
    return true;
}

int UnusedLoopbackPort()
{
    int port = 0;
    int fd = bindLoopback(&port);
    ::close(fd);
    return port;
}
