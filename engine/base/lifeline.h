// TLifeline: lets what outlives an object (a Lua function bound to it, a
// callback) ask whether the object is still there. The object holds the
// lifeline and cuts it when it dies (the destructor does it at the latest);
// holders of a TLifeHandle see that without touching the object, so a new
// object built at the same address never passes for the old one.
#pragma once

#include <memory>

class TLifeHandle;

class TLifeline {
public:
    TLifeline() : mAlive(std::make_shared<bool>(true)) {}
    ~TLifeline() { Cut(); }
    TLifeline(const TLifeline&) = delete;
    TLifeline& operator=(const TLifeline&) = delete;

    // From now on every handle taken from this lifeline answers dead.
    void Cut() { *mAlive = false; }
    bool IsAlive() const { return *mAlive; }
    TLifeHandle Handle() const;

private:
    std::shared_ptr<bool> mAlive;
};

// A copyable view of a lifeline; safe to keep after the object is gone.
class TLifeHandle {
public:
    TLifeHandle() = default;
    bool IsAlive() const { return mAlive && *mAlive; }

private:
    friend class TLifeline;
    explicit TLifeHandle(std::shared_ptr<const bool> alive) : mAlive(std::move(alive)) {}
    std::shared_ptr<const bool> mAlive;
};

inline TLifeHandle TLifeline::Handle() const
{
    return TLifeHandle(mAlive);
}
