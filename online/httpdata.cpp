#include "online/httpdata.h"

#include "engine/base/debuglog.h"

#include <cstdio>
#include <cstring>
#include <curl/curl.h>
#include <sys/socket.h>

namespace {

// The client identifies itself with this fixed product token.
const char kUserAgent[] = "roroz/Mac";

// A fixed, small receive buffer: the kernel then holds little of a reply
// nobody has read yet, and its automatic growth cannot let a fast server
// queue megabytes that one poll would have to drain or drop.
const int kSocketReceiveBuffer = 256 << 10;

// Redirects a download follows before it fails.
const long kMaxRedirects = 5;

int limitReceiveBuffer(void*, curl_socket_t socket, curlsocktype purpose)
{
    if (purpose == CURLSOCKTYPE_IPCXN)
        ::setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &kSocketReceiveBuffer, sizeof kSocketReceiveBuffer);
    return CURL_SOCKOPT_OK;
}

}  // namespace

THttpData::THttpData(const str& url, const str& outFile, const str& args, bool post, size_t limit)
    : mUrl(url), mOutFile(outFile), mArgs(args), mPost(post), mLimit(limit)
{
}

THttpData::~THttpData()
{
    if (mCurl)
        curl_easy_cleanup(mCurl);
    if (mHeaders)
        curl_slist_free_all(mHeaders);
    if (mFile)
        DiscardOutputFile();
}

bool THttpData::Prepare(const TOptions& options)
{
    if (mOutFile.length() > 0) {
        // Written beside the target and renamed over it only when complete, so a
        // failed download never replaces a good file with a partial one.
        mTempFile = mOutFile + str(".part");
        mFile = std::fopen(mTempFile.c_str(), "wb");
        if (!mFile) {
            WriteDbg("HTTP: cannot write %s", mOutFile.c_str());
            mStatus = kOutputNotWritable;
            return false;
        }
    }

    mCurl = curl_easy_init();
    if (!mCurl) {
        mStatus = kFailed;
        return false;
    }
    str target = mPost ? mUrl : mUrl + mArgs;
    curl_easy_setopt(mCurl, CURLOPT_URL, target.c_str());
    curl_easy_setopt(mCurl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(mCurl, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(mCurl, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
    curl_easy_setopt(mCurl, CURLOPT_TIMEOUT_MS, options.totalTimeoutMs);
    curl_easy_setopt(mCurl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(mCurl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (options.caFile.length() > 0)
        curl_easy_setopt(mCurl, CURLOPT_CAINFO, options.caFile.c_str());
    curl_easy_setopt(mCurl, CURLOPT_WRITEFUNCTION, &THttpData::WriteCallback);
    curl_easy_setopt(mCurl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(mCurl, CURLOPT_SOCKOPTFUNCTION, &limitReceiveBuffer);
    curl_easy_setopt(mCurl, CURLOPT_HEADERFUNCTION, &THttpData::HeaderCallback);
    curl_easy_setopt(mCurl, CURLOPT_HEADERDATA, this);
    // A declared length beyond the limit is refused before any of it comes.
    curl_easy_setopt(mCurl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(mLimit));
    curl_easy_setopt(mCurl, CURLOPT_PRIVATE, this);
    curl_easy_setopt(mCurl, CURLOPT_ERRORBUFFER, mError);
    if (mPost) {
        mHeaders = curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded");
        curl_easy_setopt(mCurl, CURLOPT_HTTPHEADER, mHeaders);
        // The body stays owned by this object until the handle is cleaned up.
        curl_easy_setopt(mCurl, CURLOPT_POSTFIELDSIZE, static_cast<long>(mArgs.length()));
        curl_easy_setopt(mCurl, CURLOPT_POSTFIELDS, mArgs.c_str());
    } else {
        curl_easy_setopt(mCurl, CURLOPT_HTTPGET, 1L);
    }
    if (mFile) {
        // A download that moved is fetched from where it went: the file must
        // get the content, not the empty body of the redirect.
        curl_easy_setopt(mCurl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(mCurl, CURLOPT_MAXREDIRS, kMaxRedirects);
        curl_easy_setopt(mCurl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    }
    return true;
}

size_t THttpData::WriteCallback(char* data, size_t size, size_t count, void* self)
{
    return static_cast<THttpData*>(self)->Receive(data, size * count);
}

size_t THttpData::HeaderCallback(char*, size_t size, size_t count, void* self)
{
    auto* request = static_cast<THttpData*>(self);
    request->mHeaderBytes += size * count;
    if (request->mHeaderBytes <= kHeaderLimit)
        return size * count;
    request->mTooLarge = true;
    return 0;  // ends the transfer
}

size_t THttpData::Receive(const char* data, size_t size)
{
    // A server that never stops must not fill the memory or the disk.
    if (size > mLimit - mReceived) {
        mTooLarge = true;
        return 0;  // ends the transfer
    }
    // A fast server must not stretch one poll: past the round's share the
    // transfer waits for the next round (libcurl keeps these bytes).
    if (mPumpBytes > 0 && mPumpBytes + size > kBytesPerPump) {
        mPaused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    mPumpBytes += size;
    mReceived += size;
    if (mFile)
        return std::fwrite(data, 1, size, mFile);
    return mBuffer.Append(data, size) ? size : 0;
}

void THttpData::BeginPump()
{
    mPumpBytes = 0;
    if (mPaused) {
        mPaused = false;
        curl_easy_pause(mCurl, CURLPAUSE_CONT);
    }
}

bool THttpData::TReplyBuffer::Append(const char* data, size_t size)
{
    if (mSize + size + 1 > mCapacity) {
        size_t capacity = mCapacity > 0 ? mCapacity : 4096;
        while (mSize + size + 1 > capacity)
            capacity *= 2;
        char* grown = static_cast<char*>(std::realloc(mData, capacity));
        if (!grown)
            return false;
        mData = grown;
        mCapacity = capacity;
    }
    std::memcpy(mData + mSize, data, size);
    mSize += size;
    mData[mSize] = '\0';
    return true;
}

char* THttpData::TReplyBuffer::Data()
{
    static char empty[1] = {'\0'};
    return mData ? mData : empty;
}

void THttpData::TReplyBuffer::Release()
{
    std::free(mData);
    mData = nullptr;
    mSize = mCapacity = 0;
}

void THttpData::Finish(int curlResult)
{
    curl_easy_getinfo(mCurl, CURLINFO_RESPONSE_CODE, &mResponseCode);
    if (mTooLarge || curlResult == CURLE_FILESIZE_EXCEEDED) {
        WriteDbg("HTTP: the reply from %s passes its limit (%zu bytes, headers %zu); refused", mUrl.c_str(), mLimit,
                 kHeaderLimit);
        mStatus = kFailed;
    } else if (curlResult == CURLE_WRITE_ERROR && mFile) {
        WriteDbg("HTTP: cannot write %s", mOutFile.c_str());
        mStatus = kOutputNotWritable;
    } else if (curlResult == CURLE_OUT_OF_MEMORY) {
        // What libcurl answers to a single header line longer than it takes.
        WriteDbg("HTTP: the reply from %s has a header line longer than the client accepts; refused", mUrl.c_str());
        mStatus = kFailed;
    } else if (curlResult != CURLE_OK) {
        WriteDbg("HTTP: %s failed: %s", mUrl.c_str(),
                 mError[0] ? mError : curl_easy_strerror(static_cast<CURLcode>(curlResult)));
        mStatus = kFailed;
    } else if (mFile && (mResponseCode < 200 || mResponseCode > 299)) {
        // Only the content asked for replaces the file: not an error page,
        // nor the empty body of a redirect that could not be followed. A
        // reply in memory is handed over whatever the code: servers put the
        // text of a refusal in the body, and the caller reads it.
        WriteDbg("HTTP: %s answered %ld; %s is left as it was", mUrl.c_str(), mResponseCode, mOutFile.c_str());
        mStatus = kFailed;
    } else {
        mStatus = kDone;
    }

    if (mFile) {
        if (mStatus != kDone) {
            DiscardOutputFile();
        } else {
            bool written = std::fflush(mFile) == 0;
            written = std::fclose(mFile) == 0 && written;
            mFile = nullptr;
            if (!written || std::rename(mTempFile.c_str(), mOutFile.c_str()) != 0) {
                WriteDbg("HTTP: cannot write %s", mOutFile.c_str());
                std::remove(mTempFile.c_str());
                mStatus = kOutputNotWritable;
            }
        }
    }
    if (mStatus != kDone)
        mBuffer.Release();
}

void THttpData::DiscardOutputFile()
{
    std::fclose(mFile);
    mFile = nullptr;
    std::remove(mTempFile.c_str());
}
