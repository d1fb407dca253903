// Long native work in the libraries (a pattern match, a string or a table
// built, searched or shifted in one call, a long text compiled) runs no Lua
// instruction, so a count hook would never see it. A host that asks for it
// (LUA_MASKWORK with its count hook) has the hook called every
// WORK_POLL_STEPS steps of such work too, so that whatever it does to bound
// a run of Lua code (stop it with an error) bounds these calls as well.
// Without that bit a step costs an add and a compare. The hook may grow the
// stack and raise an error: a step is taken only where no pointer into the
// stack is held and where an error of the call's own would be sound.
#pragma once

#include <cstddef>

#include "lua.h"

// Calls the thread's count hook now when its mask has LUA_MASKWORK.
void luaW_poll(lua_State* L);

class WorkSteps {
public:
    // About a microsecond of work on a current machine between two polls.
    static constexpr size_t WORK_POLL_STEPS = 1 << 16;

    explicit WorkSteps(lua_State* L) : L_(L) {}
    // A step is one move of the pattern matcher, one character compared or
    // scanned, or a few dozen bytes copied (callers weigh what they do).
    void step(size_t n = 1)
    {
        done_ += n;
        if (done_ >= WORK_POLL_STEPS) {
            done_ = 0;
            luaW_poll(L_);
        }
    }
    // Bytes copied: cheaper than steps of the matcher.
    void copied(size_t bytes) { step(1 + (bytes >> 6)); }

private:
    lua_State* L_;
    size_t done_ = 0;
};
