// A task that falls due at a time on a TClock (or on the engine timer when
// the clock is null) and can repeat with a period. Scripts, window
// animations and the game's update tasks are TAnimTasks.
#pragma once

#include "engine/base/task.h"

#include <cstdint>

class TClock;

class TAnimTask : public TTask {
public:
    // The due time that means "paused": never due.
    static constexpr std::uint32_t kPaused = 0xFFFFFFFFu;

    // Lateness beyond which the backlog is dropped instead of caught up.
    static constexpr std::int32_t kLargeBackupMs = 1001;

    explicit TAnimTask(TClock* clock = nullptr);

    // Schedules the next run ms from the previous due time, or from now when
    // fromNow is set or the task is paused. Returns the period.
    int SetDelay(int ms, bool repeat, bool fromNow, bool catchUp);

    void Pause();
    bool IsPaused() const { return mDue == kPaused; }

    bool Ready(ETaskContext context) override;
    bool DoTask() override;

    // The step of work; false ends the task.
    virtual bool Animate() = 0;

    // -1 when paused; otherwise now - due (negative while waiting).
    int GetTimeUntilReady() const;

    // Moves the task to another clock keeping the remaining delay.
    void SetClock(TClock* clock);
    TClock* GetClock() const { return mClock; }

    // When set, the task is also ready in every draw pass.
    void SetDrawPass(bool on) { mDrawPass = on; }

    std::uint32_t GetDueTime() const { return mDue; }
    std::uint32_t GetPeriod() const { return mPeriod; }

protected:
    std::uint32_t now() const;

private:
    bool mDrawPass = false;
    std::uint32_t mDue = 0;
    std::uint32_t mPeriod = 0;
    bool mFromNow = false;
    bool mCatchUp = false;
    TClock* mClock = nullptr;
};
