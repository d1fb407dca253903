#include "online/httppump.h"

#include "engine/base/debuglog.h"

#include <curl/curl.h>

THttpPump& THttpPump::Instance()
{
    static THttpPump pump;
    return pump;
}

THttpPump::THttpPump()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    mMulti = curl_multi_init();
}

THttpPump::~THttpPump()
{
    for (auto& [handle, request] : mRunning)
        curl_multi_remove_handle(mMulti, handle);
    mRunning.clear();
    curl_multi_cleanup(mMulti);
    curl_global_cleanup();
}

void THttpPump::Start(std::shared_ptr<THttpData> request)
{
    CURL* handle = request->Handle();
    if (curl_multi_add_handle(mMulti, handle) != CURLM_OK) {
        request->Finish(CURLE_FAILED_INIT);
        return;
    }
    mRunning[handle] = std::move(request);
    Pump();
}

void THttpPump::Pump()
{
    if (mRunning.empty())
        return;
    for (auto& [handle, request] : mRunning)
        request->BeginPump();
    int stillRunning = 0;
    curl_multi_perform(mMulti, &stillRunning);

    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(mMulti, &queued)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        CURL* handle = message->easy_handle;
        CURLcode result = message->data.result;
        auto found = mRunning.find(handle);
        curl_multi_remove_handle(mMulti, handle);
        if (found == mRunning.end())
            continue;
        found->second->Finish(result);
        // An abandoned transfer has no other owner and is freed here.
        mRunning.erase(found);
    }
}
