#include "engine/base/animtask.h"
#include "engine/base/clock.h"
#include "engine/base/task.h"
#include "faketime.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A task whose step is a lambda; it reports its destruction so tests can
// count deletions.
class ScriptedTask : public TTask {
public:
    ScriptedTask(std::function<bool()> step, int* deletions = nullptr)
        : mStep(std::move(step)), mDeletions(deletions) {}
    ~ScriptedTask() override
    {
        if (mDeletions)
            ++*mDeletions;
    }
    bool DoTask() override
    {
        ++runs;
        return mStep();
    }
    int runs = 0;

private:
    std::function<bool()> mStep;
    int* mDeletions;
};

bool keep() { return true; }

class CountingAnim : public TAnimTask {
public:
    using TAnimTask::TAnimTask;
    bool Animate() override
    {
        ++animations;
        return onAnimate ? onAnimate(*this) : true;
    }
    int animations = 0;
    std::function<bool(CountingAnim&)> onAnimate;
};

}  // namespace

// ------------------------------------------------------------ task list

TEST(TaskList, RunsInAdoptionOrderAndDeletesFinishedTasksAndTheRestWithTheList)
{
    std::vector<int> order;
    int deletions = 0;
    {
        TTaskList list;
        list.AdoptTask(new ScriptedTask([&] { order.push_back(1); return true; }, &deletions));
        list.AdoptTask(new ScriptedTask([&] { order.push_back(2); return false; }, &deletions));
        list.AdoptTask(new ScriptedTask([&] { order.push_back(3); return true; }, &deletions));
        list.DoAll(TTask::kEventContext);
        EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(deletions, 1);
        EXPECT_EQ(list.Count(), 2);
    }
    EXPECT_EQ(deletions, 3);
}

TEST(TaskList, OrphanOutsideAPassUnlinksAtOnceAndCallerOwns)
{
    int deletions = 0;
    TTaskList list;
    auto* task = new ScriptedTask(keep, &deletions);
    list.AdoptTask(task);
    EXPECT_TRUE(list.OrphanTask(task));
    EXPECT_FALSE(list.OrphanTask(task));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(deletions, 0);
    delete task;
}

TEST(TaskList, TaskOrphanedByAnEarlierTaskIsSkippedAndUnlinkedAtTheEnd)
{
    TTaskList list;
    auto* victim = new ScriptedTask(keep);
    bool orphanedWhileRunning = false;
    list.AdoptTask(new ScriptedTask([&] {
        orphanedWhileRunning = list.OrphanTask(victim);
        EXPECT_TRUE(list.Contains(victim));  // still linked until the pass ends
        return true;
    }));
    list.AdoptTask(victim);
    list.DoAll(TTask::kEventContext);
    EXPECT_TRUE(orphanedWhileRunning);
    EXPECT_EQ(victim->runs, 0);
    EXPECT_FALSE(list.Contains(victim));
    delete victim;
}

TEST(TaskList, AdoptedDuringAPassRunsThenUnlessTheLastTaskAdoptedIt)
{
    TTaskList list;
    auto* byFirst = new ScriptedTask(keep);
    auto* byLast = new ScriptedTask(keep);
    bool adopted = false;
    list.AdoptTask(new ScriptedTask([&] {
        if (!adopted)
            list.AdoptTask(byFirst);
        return true;
    }));
    list.AdoptTask(new ScriptedTask(keep));
    list.DoAll(TTask::kEventContext);
    adopted = true;
    EXPECT_EQ(byFirst->runs, 1);

    // Now byFirst is the last task: what it adopts waits for the next pass.
    TTaskList list2;
    list2.AdoptTask(new ScriptedTask([&] {
        list2.AdoptTask(byLast);
        return false;
    }));
    list2.DoAll(TTask::kEventContext);
    EXPECT_EQ(byLast->runs, 0);
    list2.DoAll(TTask::kEventContext);
    EXPECT_EQ(byLast->runs, 1);
}

TEST(TaskList, TaskEndingInAPassWithDestroyAllIsDeletedOnce)
{
    int deletions = 0;
    TTaskList list;
    list.AdoptTask(new ScriptedTask([&] {
        list.DestroyAll();
        return false;
    }, &deletions));
    list.AdoptTask(new ScriptedTask(keep, &deletions));
    list.DoAll(TTask::kEventContext);
    EXPECT_EQ(deletions, 2);
    EXPECT_EQ(list.Count(), 0);
}

TEST(TaskList, DestroyAllInAPassSparesTasksOrphanedEarlier)
{
    int deletions = 0;
    TTaskList list;
    auto* kept = new ScriptedTask(keep, &deletions);
    list.AdoptTask(new ScriptedTask([&] {
        list.OrphanTask(kept);
        list.DestroyAll();
        return true;
    }, &deletions));
    list.AdoptTask(kept);
    list.DoAll(TTask::kEventContext);
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(list.Count(), 0);
    delete kept;
}

// A task that orphans itself and then ends is deleted by the list; its
// orphan request must go with it, or it would later unlink whatever task
// was allocated at the same address.
TEST(TaskList, OrphanRequestIsDroppedWithItsDeletedTask)
{
    TTaskList list;
    ScriptedTask* self = nullptr;
    self = new ScriptedTask([&] {
        EXPECT_TRUE(list.OrphanTask(self));
        return false;
    });
    list.AdoptTask(self);
    ScriptedTask* late = nullptr;
    list.AdoptTask(new ScriptedTask([&] {
        // Adopted in the same pass after the self-orphaning task died; it
        // may well reuse its address.
        if (!late) {
            late = new ScriptedTask(keep);
            list.AdoptTask(late);
        }
        return true;
    }));
    list.AdoptTask(new ScriptedTask(keep));
    list.DoAll(TTask::kEventContext);
    ASSERT_NE(late, nullptr);
    EXPECT_TRUE(list.Contains(late));
    EXPECT_EQ(list.Count(), 3);
}

// ------------------------------------------------------------ timed tasks

TEST(AnimTask, DueNowThenOnItsDelay)
{
    FakeTime time;
    TTaskList list;
    auto* task = new CountingAnim(nullptr);
    list.AdoptTask(task);
    list.DoAll(TTask::kEventContext);
    EXPECT_EQ(task->animations, 1);  // due at construction

    task->SetDelay(100, true, false, false);
    list.DoAll(TTask::kEventContext);
    EXPECT_EQ(task->animations, 1);
    time.Advance(99);
    EXPECT_EQ(task->GetTimeUntilReady(), -1);  // due in exactly 1 ms
    list.DoAll(TTask::kEventContext);
    EXPECT_EQ(task->animations, 1);
    time.Advance(1);
    list.DoAll(TTask::kEventContext);
    EXPECT_EQ(task->animations, 2);
}

TEST(AnimTask, LateTasksCatchUpOncePerMissedPeriodUnlessTooLateOrNotPeriodic)
{
    const struct {
        std::uint32_t delay;
        bool periodic, fromNow;
        std::uint32_t late;
        int animations;
        const char* log;
    } cases[] = {
        {100, true, false, 1100, 10, ""},                       // one run per missed period
        {100, true, false, 1101, 1, "LARGE Backup: 1001\n"},   // too far behind: dropped, logged
        {100, true, true, 600, 1, ""},                          // from now: once however late
        {50, false, false, 500, 1, ""},                         // no period: once
    };
    for (const auto& c : cases) {
        FakeTime time;
        CountingAnim task(nullptr);
        task.SetDelay(c.delay, c.periodic, c.fromNow, true);
        time.Advance(c.late);
        testing::internal::CaptureStderr();
        EXPECT_TRUE(task.DoTask());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.log);
        EXPECT_EQ(task.animations, c.animations) << "late by " << c.late;
        if (c.periodic && c.animations == 1) {
            EXPECT_EQ(task.GetTimeUntilReady(), -100);
        }
    }
}

TEST(AnimTask, CatchUpStopsWhenAnimatePauses)
{
    FakeTime time;
    CountingAnim task(nullptr);
    task.onAnimate = [](CountingAnim& self) {
        self.Pause();
        return true;
    };
    task.SetDelay(10, true, false, true);
    time.Advance(500);
    EXPECT_TRUE(task.DoTask());
    EXPECT_EQ(task.animations, 1);
    EXPECT_TRUE(task.IsPaused());
}

TEST(AnimTask, AnimateReturningFalseEndsTheTask)
{
    FakeTime time;
    TTaskList list;
    auto* task = new CountingAnim(nullptr);
    task->onAnimate = [](CountingAnim&) { return false; };
    list.AdoptTask(task);
    list.DoAll(TTask::kEventContext);
    EXPECT_EQ(list.Count(), 0);
}

TEST(AnimTask, PausedTaskIsReadyOnlyInDrawPassesWhenAsked)
{
    FakeTime time;
    CountingAnim task(nullptr);
    task.Pause();
    EXPECT_EQ(task.GetTimeUntilReady(), -1);
    EXPECT_FALSE(task.Ready(TTask::kEventContext));
    task.SetDrawPass(true);
    EXPECT_FALSE(task.Ready(TTask::kEventContext));
    EXPECT_TRUE(task.Ready(TTask::kDrawContext));
    task.Pause();  // clears the draw-pass flag
    EXPECT_FALSE(task.Ready(TTask::kDrawContext));
}

TEST(AnimTask, SetDelayOnAPausedTaskCountsFromNow)
{
    FakeTime time(5000);
    CountingAnim task(nullptr);
    task.Pause();
    task.SetDelay(200, false, false, false);
    EXPECT_EQ(task.GetDueTime(), 5200u);
}

TEST(AnimTask, DueTimesCompareAcrossTheWrap)
{
    FakeTime time(0xFFFFFF00u);
    CountingAnim task(nullptr);
    task.SetDelay(0x200, false, false, false);  // due after the wrap
    EXPECT_FALSE(task.Ready(TTask::kEventContext));
    time.Advance(0x200);
    EXPECT_TRUE(task.Ready(TTask::kEventContext));
}

TEST(AnimTask, FollowsItsClockAndKeepsTheDelayWhenMoved)
{
    FakeTime time;
    TClock clock;
    clock.Start();
    CountingAnim task(&clock);
    task.SetDelay(300, false, true, false);
    time.Advance(100);
    clock.Pause();
    time.Advance(1000);
    EXPECT_FALSE(task.Ready(TTask::kEventContext));  // the clock is frozen
    EXPECT_EQ(task.GetTimeUntilReady(), -200);

    task.SetClock(nullptr);
    EXPECT_EQ(task.GetTimeUntilReady(), -200);
    time.Advance(200);
    EXPECT_TRUE(task.Ready(TTask::kEventContext));
}

// ------------------------------------------------------------ clocks

TEST(Clock, PausesAndResumes)
{
    FakeTime time;
    TClock clock;
    EXPECT_EQ(clock.GetTime(), 0u);
    EXPECT_TRUE(clock.IsPaused());
    clock.Start();
    time.Advance(500);
    EXPECT_FALSE(clock.Pause());
    time.Advance(300);
    EXPECT_EQ(clock.GetTime(), 500u);
    EXPECT_TRUE(clock.Pause());
    clock.Start();
    time.Advance(200);
    EXPECT_EQ(clock.GetTime(), 700u);
    clock.Start();  // no effect while running
    EXPECT_EQ(clock.GetTime(), 700u);
}

TEST(Clock, SetTimeAndReset)
{
    FakeTime time;
    TClock clock;
    clock.SetTime(4000);
    EXPECT_EQ(clock.GetTime(), 4000u);  // paused: shows the time set
    time.Advance(50);
    clock.Start();  // a set time is kept, not restarted from 0
    time.Advance(25);
    EXPECT_EQ(clock.GetTime(), 4025u);

    clock.SetTime(10);
    time.Advance(5);
    EXPECT_EQ(clock.GetTime(), 15u);  // running: continues from the time set

    clock.Reset();
    time.Advance(100);
    EXPECT_TRUE(clock.IsPaused());
    EXPECT_EQ(clock.GetTime(), 0u);
    clock.Start();
    time.Advance(30);
    EXPECT_EQ(clock.GetTime(), 30u);
}

TEST(Clock, RunsAcrossTheTimerWrap)
{
    FakeTime time(0xFFFFFFF0u);
    TClock clock;
    clock.Start();
    time.Advance(0x20);
    EXPECT_EQ(clock.GetTime(), 0x20u);
}

TEST(Clock, AFasterRateCountsFromWhenItIsSetThroughPausesResetsAndTasks)
{
    FakeTime time;
    TClock clock;
    clock.Start();
    time.Advance(100);
    clock.SetRate(8);
    EXPECT_EQ(clock.GetRate(), 8u);
    EXPECT_EQ(clock.GetTime(), 100u);  // the time so far is kept
    time.Advance(10);
    EXPECT_EQ(clock.GetTime(), 180u);

    clock.Pause();
    time.Advance(1000);
    EXPECT_EQ(clock.GetTime(), 180u);  // paused time does not count, at any rate
    clock.Start();
    time.Advance(5);
    EXPECT_EQ(clock.GetTime(), 220u);

    clock.Reset();
    clock.Start();
    time.Advance(3);
    EXPECT_EQ(clock.GetTime(), 24u);  // a reset keeps the rate

    CountingAnim task(&clock);
    task.SetDelay(80, false, false, false);
    time.Advance(9);
    EXPECT_FALSE(task.Ready(TTask::kEventContext));
    time.Advance(1);
    EXPECT_TRUE(task.Ready(TTask::kEventContext));  // 80 ms of clock time in 10 timer ms

    clock.SetRate(0);
    EXPECT_EQ(clock.GetRate(), 1u);  // never stands still by its rate
}

TEST(Clock, ASlowerRateCountsAFractionOfTheTimerWithoutLosingTheRemainders)
{
    FakeTime time;
    TClock clock;
    clock.Start();
    time.Advance(100);
    clock.SetRate(1, 4);
    EXPECT_EQ(clock.GetRate(), 1u);  // one step a frame at most
    EXPECT_EQ(clock.GetTime(), 100u);
    for (int i = 0; i < 10; ++i)
        time.Advance(1);  // ten timer ms one at a time: no quarter is lost
    EXPECT_EQ(clock.GetTime(), 102u);
    time.Advance(2);
    EXPECT_EQ(clock.GetTime(), 103u);
    clock.SetRate(5, 2);
    EXPECT_EQ(clock.GetRate(), 3u);
    time.Advance(4);
    EXPECT_EQ(clock.GetTime(), 113u);
    clock.SetRate(3, 0);
    EXPECT_EQ(clock.GetRate(), 3u);  // a zero divisor counts as 1
}

TEST(Clock, TheRateCanChangeWhilePaused)
{
    FakeTime time;
    TClock clock;
    clock.Start();
    time.Advance(50);
    clock.Pause();
    time.Advance(70);
    clock.SetRate(4);
    time.Advance(30);
    EXPECT_EQ(clock.GetTime(), 50u);
    clock.Start();
    time.Advance(10);
    EXPECT_EQ(clock.GetTime(), 90u);
}

TEST(TimeSource, DefaultIsMonotonic)
{
    std::uint32_t a = qm::Timer();
    std::uint32_t b = qm::Timer();
    EXPECT_GE(qm::TimeDiff(b, a), 0);
}
