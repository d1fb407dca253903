#include "online/simplehttp.h"

#include "online/httpargs.h"
#include "online/httpdata.h"
#include "online/httppump.h"

#include <cstdio>

namespace {

THttpData::TOptions gOptions = {10000, 30000, str()};

}  // namespace

TSimpleHttp::TSimpleHttp() = default;

TSimpleHttp::~TSimpleHttp()
{
    Abandon();
}

void TSimpleHttp::Init(const char* url, bool post, const char* outFile)
{
    mUrl = url;
    mPost = post;
    mOutFile = outFile;
    mArgs = str();
    mFirst = true;
    mReplyLimit = 0;
    Abandon();
}

void TSimpleHttp::AddArg(const char* key, const char* value)
{
    qm::AppendArg(mArgs, mFirst, mPost, key, value);
    mFirst = false;
}

void TSimpleHttp::AddArg(const char* key, int value)
{
    char text[32] = {};
    std::snprintf(text, sizeof text, "%d", value);
    AddArg(key, text);
}

void TSimpleHttp::DoRequest(int)
{
    Abandon();
    size_t limit = mReplyLimit > 0 ? mReplyLimit : mOutFile.length() > 0 ? kDefaultFileLimit : kDefaultReplyLimit;
    auto request = std::make_shared<THttpData>(mUrl, mOutFile, mArgs, mPost, limit);
    mRequest = request;
    if (request->Prepare(gOptions))
        THttpPump::Instance().Start(std::move(request));
}

int TSimpleHttp::GetStatus()
{
    if (!mRequest)
        return kFailed;
    THttpPump::Instance().Pump();
    return mRequest->Status();
}

char* TSimpleHttp::GetContents()
{
    // A download into a file has no reply in memory.
    if (!mRequest || mRequest->Status() != kDone || mOutFile.length() > 0)
        return nullptr;
    return mRequest->Contents();
}

long TSimpleHttp::GetResponseCode() const
{
    return mRequest ? mRequest->ResponseCode() : 0;
}

void TSimpleHttp::Abandon()
{
    // The pump keeps a running transfer until it ends on its own (bounded by
    // the time-outs), so letting go never waits for the network.
    mRequest.reset();
}

void TSimpleHttp::PumpAll()
{
    THttpPump::Instance().Pump();
}

void TSimpleHttp::SetTimeouts(long connectMs, long totalMs)
{
    gOptions.connectTimeoutMs = connectMs;
    gOptions.totalTimeoutMs = totalMs;
}

void TSimpleHttp::SetCertificateAuthorityFile(const char* path)
{
    gOptions.caFile = path;
}
