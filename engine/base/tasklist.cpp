#include "engine/base/task.h"

#include <algorithm>
#include <iterator>

TTaskList::~TTaskList()
{
    DestroyAll();
}

bool TTaskList::Contains(const TTask* task) const
{
    return std::find(mTasks.begin(), mTasks.end(), task) != mTasks.end();
}

bool TTaskList::hasOrphanRequest(const TTask* task) const
{
    return std::find(mOrphanRequests.begin(), mOrphanRequests.end(), task) != mOrphanRequests.end();
}

void TTaskList::dropRequestsFor(const TTask* task)
{
    std::erase(mOrphanRequests, task);
    std::erase(mDestroyRequests, task);
}

void TTaskList::unlink(const TTask* task)
{
    auto found = std::find(mTasks.begin(), mTasks.end(), task);
    if (found != mTasks.end())
        mTasks.erase(found);
}

void TTaskList::AdoptTask(TTask* task)
{
    if (task)
        mTasks.push_back(task);
}

bool TTaskList::OrphanTask(TTask* task)
{
    if (!Contains(task))
        return false;
    if (mRunning) {
        if (!hasOrphanRequest(task))
            mOrphanRequests.push_back(task);
    } else {
        unlink(task);
    }
    return true;
}

void TTaskList::DestroyAll()
{
    if (mRunning) {
        for (TTask* task : mTasks) {
            // A task already orphaned belongs to its new owner: never delete it.
            if (hasOrphanRequest(task))
                continue;
            mOrphanRequests.push_back(task);
            mDestroyRequests.push_back(task);
        }
        return;
    }
    std::list<TTask*> tasks;
    tasks.swap(mTasks);
    for (TTask* task : tasks) {
        if (!hasOrphanRequest(task))
            delete task;
    }
    mOrphanRequests.clear();
    mDestroyRequests.clear();
}

void TTaskList::DoAll(TTask::ETaskContext context)
{
    mRunning = true;
    for (auto it = mTasks.begin(); it != mTasks.end();) {
        // Taken before the task runs: the task may end itself.
        auto next = std::next(it);
        TTask* task = *it;
        if (!hasOrphanRequest(task) && task->Ready(context) && !task->DoTask()) {
            mTasks.erase(it);
            // Every request naming the task goes with it, so a later task
            // allocated at the same address is never mistaken for it.
            dropRequestsFor(task);
            delete task;
        }
        it = next;
    }
    mRunning = false;

    std::vector<TTask*> orphans;
    orphans.swap(mOrphanRequests);
    for (TTask* task : orphans)
        unlink(task);

    std::vector<TTask*> doomed;
    doomed.swap(mDestroyRequests);
    for (TTask* task : doomed)
        delete task;
}
