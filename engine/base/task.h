// Cooperative scheduling: a TTask is a unit of background work that a
// TTaskList runs in passes on the main thread. A pass is either the event
// pass (context 0, from every idle TPlatform::GetEvent) or the draw pass
// (context 1, while the window manager draws a frame).
//
// Tasks may adopt, orphan and end tasks of the list that is running them;
// those changes are recorded and applied when the pass ends, so the walk
// over the list is never disturbed.
#pragma once

#include <list>
#include <vector>

class TTask {
public:
    enum ETaskContext {
        kEventContext = 0,
        kDrawContext = 1,
    };

    virtual ~TTask() = default;

    // Whether the task runs in this pass.
    virtual bool Ready(ETaskContext) { return true; }

    // One step of work. False means the task is finished: the list deletes it.
    virtual bool DoTask() = 0;
};

class TTaskList {
public:
    TTaskList() = default;
    ~TTaskList();
    TTaskList(const TTaskList&) = delete;
    TTaskList& operator=(const TTaskList&) = delete;

    // Appends the task; the list owns it. A task adopted during a pass runs
    // in that pass, unless the last task of the list adopted it.
    void AdoptTask(TTask* task);

    // Hands the task back to the caller without deleting it; false when it is
    // not in the list. During a pass the task is skipped for the rest of the
    // pass and unlinked when the pass ends.
    bool OrphanTask(TTask* task);

    // Deletes every task (deferred to the end of the pass while running).
    // A task with a pending orphan request belongs to whoever orphaned it and
    // is not deleted.
    void DestroyAll();

    // Runs every ready task once.
    void DoAll(TTask::ETaskContext context);

    bool IsRunning() const { return mRunning; }
    int Count() const { return static_cast<int>(mTasks.size()); }
    bool Contains(const TTask* task) const;

private:
    bool hasOrphanRequest(const TTask* task) const;
    void dropRequestsFor(const TTask* task);
    void unlink(const TTask* task);

    bool mRunning = false;
    std::list<TTask*> mTasks;            // owned, in adoption order
    std::vector<TTask*> mOrphanRequests; // in the order made
    std::vector<TTask*> mDestroyRequests;
};
