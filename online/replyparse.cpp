#include "online/replyparse.h"

#include "online/hiscorereply.h"

namespace qm {

void THiscoreReply::Read(const std::atomic<bool>* stop)
{
    switch (kind) {
    case kGetScores: ok = ReadScoreList(text.c_str(), &scores, &accountIndex, &message, stop); break;
    case kGetCategories: ok = ReadCategories(text.c_str(), &categories, &message, stop); break;
    case kSubmit: ok = ReadSubmitReply(text.c_str(), &bestScore, &message, stop); break;
    default: ok = true; break;
    }
}

TReplyReader::~TReplyReader()
{
    Drop();
    for (auto& job : mDropped)
        job->worker.join();
}

void TReplyReader::Start(int kind, const char* text)
{
    Drop();
    auto job = std::make_unique<TJob>();
    job->reply.kind = kind;
    job->reply.text = text ? text : "";
    if (job->reply.text.size() <= kInlineLimit) {
        job->reply.Read();
        job->done = true;
    } else {
        TJob* running = job.get();
        job->worker = std::thread([running] {
            running->reply.Read(&running->stop);
            running->done.store(true, std::memory_order_release);
        });
    }
    mCurrent = std::move(job);
}

std::unique_ptr<THiscoreReply> TReplyReader::Take()
{
    JoinFinished();
    if (!mCurrent || !mCurrent->done.load(std::memory_order_acquire))
        return nullptr;
    if (mCurrent->worker.joinable())
        mCurrent->worker.join();
    auto reply = std::make_unique<THiscoreReply>(std::move(mCurrent->reply));
    mCurrent.reset();
    return reply;
}

void TReplyReader::Drop()
{
    if (!mCurrent)
        return;
    mCurrent->stop.store(true, std::memory_order_relaxed);
    if (mCurrent->worker.joinable())
        mDropped.push_back(std::move(mCurrent));
    mCurrent.reset();
}

void TReplyReader::JoinFinished()
{
    for (auto it = mDropped.begin(); it != mDropped.end();) {
        if ((*it)->done.load(std::memory_order_acquire)) {
            (*it)->worker.join();
            it = mDropped.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace qm
