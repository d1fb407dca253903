// C API of the Lua dialect: stack, errors as exceptions under the 5.0
// status codes, registry pseudo-indices, default metatables, userdata boxes,
// wide strings, UTF-16 sources and the coroutine sequences the engine uses.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

namespace {

struct StateCloser {
    void operator()(lua_State* L) const { lua_close(L); }
};
using State = std::unique_ptr<lua_State, StateCloser>;

State openState()
{
    State L(lua_open());
    luaopen_base(L.get());
    luaopen_table(L.get());
    luaopen_string(L.get());
    lua_settop(L.get(), 0);
    return L;
}

int run(lua_State* L, const char* code)
{
    int status = luaL_loadbuffer(L, code, std::strlen(code), "=test");
    if (status == 0)
        status = lua_pcall(L, 0, LUA_MULTRET, 0);
    return status;
}

std::string topString(lua_State* L)
{
    const char* s = lua_tostring(L, -1);
    return s ? s : "(not a string)";
}

TEST(LuaApi, StackValuesAndConversions)
{
    State S = openState();
    lua_State* L = S.get();
    lua_pushnumber(L, 12.5);
    lua_pushstring(L, "42");
    lua_pushboolean(L, 1);
    lua_pushnil(L);
    EXPECT_EQ(lua_gettop(L), 4);
    EXPECT_EQ(lua_type(L, 1), LUA_TNUMBER);
    EXPECT_TRUE(lua_isnumber(L, 2));
    EXPECT_EQ(lua_tonumber(L, 2), 42);
    EXPECT_STREQ(lua_tostring(L, 1), "12.5");
    EXPECT_EQ(lua_type(L, 1), LUA_TSTRING) << "lua_tostring converts a number in place";
    EXPECT_TRUE(lua_toboolean(L, 3));
    EXPECT_FALSE(lua_toboolean(L, 4));
    EXPECT_EQ(lua_type(L, 10), LUA_TNONE);
    EXPECT_STREQ(lua_typename(L, LUA_TNONE), "no value");
    lua_insert(L, 1);
    EXPECT_TRUE(lua_isnil(L, 1));
    lua_remove(L, 1);
    lua_settop(L, 0);
    lua_pushstring(L, "a");
    lua_pushnumber(L, 1);
    lua_pushstring(L, "b");
    lua_concat(L, 3);
    EXPECT_EQ(topString(L), "a1b");
    EXPECT_EQ(lua_strlen(L, -1), 3u);
}

TEST(LuaApi, PushesGrowTheStackWithoutCheckstack)
{
    State S = openState();
    lua_State* L = S.get();
    for (int i = 0; i < 100000; i++)
        lua_pushnumber(L, i);
    EXPECT_EQ(lua_gettop(L), 100000);
    EXPECT_EQ(lua_tonumber(L, -1), 99999);
    EXPECT_TRUE(lua_checkstack(L, 100) || true);
}

TEST(LuaApi, ErrorsReturnStatusAndMessage)
{
    State S = openState();
    lua_State* L = S.get();
    EXPECT_EQ(run(L, "local x = nil; return x.y"), LUA_ERRRUN);
    EXPECT_EQ(topString(L), "test:1: attempt to index local `x' (a nil value)");
    lua_settop(L, 0);
    EXPECT_EQ(luaL_loadbuffer(L, "x = = 1", 7, "=chunk"), LUA_ERRSYNTAX);
    EXPECT_EQ(topString(L), "chunk:1: unexpected symbol near `='");
    lua_settop(L, 0);
    EXPECT_EQ(run(L, "error({1, 2})"), LUA_ERRRUN);
    EXPECT_TRUE(lua_istable(L, -1)) << "error objects travel unchanged";
    lua_settop(L, 0);
    EXPECT_EQ(luaL_loadfile(L, "/nonexistent/file.lua"), LUA_ERRFILE);
    EXPECT_EQ(topString(L), "cannot read /nonexistent/file.lua: No such file or directory");
}

TEST(LuaApi, ErrorHandlerSeesTheFailingFrame)
{
    State S = openState();
    lua_State* L = S.get();
    lua_pushcfunction(L, [](lua_State* L1) -> int {
        lua_Debug ar;
        lua_getstack(L1, 2, &ar); // 0 is this handler, 1 is `error'
        lua_getinfo(L1, "Sl", &ar);
        lua_pushfstring(L1, "handled at line %d: %s", ar.currentline, lua_tostring(L1, 1));
        return 1;
    });
    const char* code = "local a = 1\nerror('boom')";
    ASSERT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "=h"), 0);
    EXPECT_EQ(lua_pcall(L, 0, 0, 1), LUA_ERRRUN);
    EXPECT_EQ(topString(L), "handled at line 2: h:2: boom");
}

struct Tracker {
    static int alive;
    Tracker() { alive++; }
    ~Tracker() { alive--; }
    Tracker(const Tracker&) = delete;
    Tracker& operator=(const Tracker&) = delete;
};
int Tracker::alive = 0;

TEST(LuaApi, ErrorsUnwindCppDestructors)
{
    State S = openState();
    lua_State* L = S.get();
    lua_register(L, "fails", [](lua_State* L1) -> int {
        Tracker guard;
        auto owned = std::make_unique<Tracker>();
        EXPECT_EQ(Tracker::alive, 2);
        return luaL_error(L1, "native failure");
    });
    EXPECT_EQ(run(L, "fails()"), LUA_ERRRUN);
    EXPECT_EQ(Tracker::alive, 0);
    EXPECT_EQ(topString(L), "test:1: native failure");
    lua_settop(L, 0);
    EXPECT_EQ(run(L, "local ok, e = pcall(fails); assert(not ok and e == 'native failure')"), 0);
    EXPECT_EQ(Tracker::alive, 0);
}

TEST(LuaApi, RegistryPseudoIndicesReadRegistryRefs)
{
    State S = openState();
    lua_State* L = S.get();
    lua_pushstring(L, "held");
    int ref = luaL_ref(L, LUA_REGISTRYINDEX);
    ASSERT_GT(ref, 0);
    EXPECT_STREQ(lua_tostring(L, -(LUA_REGISTRYREFBASE + ref)), "held");
    lua_pushvalue(L, -(LUA_REGISTRYREFBASE + ref));
    EXPECT_EQ(topString(L), "held");
    EXPECT_EQ(lua_type(L, -(LUA_REGISTRYREFBASE + 9999)), LUA_TNIL);
    luaL_unref(L, LUA_REGISTRYINDEX, ref);
    EXPECT_TRUE(lua_isnil(L, -(LUA_REGISTRYREFBASE + ref)));
    lua_pushstring(L, "again");
    EXPECT_EQ(luaL_ref(L, LUA_REGISTRYINDEX), ref) << "a released reference is reused";
}

TEST(LuaApi, DefaultMetatables)
{
    State S = openState();
    lua_State* L = S.get();
    // the host fills the number table found in the registry under "_number"
    lua_pushstring(L, "_number");
    lua_rawget(L, LUA_REGISTRYINDEX);
    ASSERT_TRUE(lua_istable(L, -1));
    lua_pushstring(L, "double");
    ASSERT_EQ(run(L, "return function(n) return n * 2 end"), 0);
    lua_rawset(L, -3);
    lua_settop(L, 0);
    EXPECT_EQ(run(L, "local n = 21; return n:double()"), 0);
    EXPECT_EQ(lua_tonumber(L, -1), 42);
    lua_settop(L, 0);
    // a replacement default table takes effect; a non-table is ignored
    lua_newtable(L);
    lua_pushstring(L, "flag");
    lua_pushboolean(L, 1);
    lua_rawset(L, -3);
    lua_setdefaultmetatable(L, LUA_TBOOLEAN);
    lua_pushnumber(L, 5);
    lua_setdefaultmetatable(L, LUA_TBOOLEAN);
    EXPECT_EQ(run(L, "return (true).flag"), 0);
    EXPECT_TRUE(lua_toboolean(L, -1));
    lua_settop(L, 0);
    lua_getdefaultmetatable(L, LUA_TSTRING);
    lua_pushstring(L, "string");
    lua_gettable(L, LUA_GLOBALSINDEX);
    EXPECT_TRUE(lua_rawequal(L, -1, -2)) << "luaopen_string makes `string' the strings' table";
}

int gcCalls = 0;

TEST(LuaApi, UserdataBoxesHoldWholePointersAndCollectAtClose)
{
    gcCalls = 0;
    {
        State S = openState();
        lua_State* L = S.get();
        int target = 7;
        void* p = &target;
        lua_newuserdatabox(L, p);
        EXPECT_EQ(lua_touserdata(L, -1), p);
        EXPECT_EQ(lua_type(L, -1), LUA_TUSERDATA);
        // fresh userdata carry the userdata default table
        ASSERT_TRUE(lua_getmetatable(L, -1));
        lua_getdefaultmetatable(L, LUA_TUSERDATA);
        EXPECT_TRUE(lua_rawequal(L, -1, -2));
        lua_pop(L, 2);
        luaL_newmetatable(L, "Box");
        lua_pushstring(L, "__gc");
        lua_pushcfunction(L, [](lua_State*) -> int {
            gcCalls++;
            return 0;
        });
        lua_rawset(L, -3);
        lua_setmetatable(L, -2);
        lua_setglobal(L, "box");
        void* block = lua_newuserdata(L, 3);
        EXPECT_NE(block, nullptr);
        EXPECT_EQ(lua_touserdata(L, -1), block);
    }
    EXPECT_EQ(gcCalls, 1);
}

TEST(LuaApi, FinalizersRunOnceWhenUserdataBecomeGarbage)
{
    gcCalls = 0;
    State S = openState();
    lua_State* L = S.get();
    luaL_newmetatable(L, "Counted");
    lua_pushstring(L, "__gc");
    lua_pushcfunction(L, [](lua_State* L1) -> int {
        gcCalls++;
        // the finaliser sees its userdata and may use the state
        EXPECT_EQ(lua_type(L1, 1), LUA_TUSERDATA);
        lua_newtable(L1);
        return 0;
    });
    lua_rawset(L, -3);
    lua_pop(L, 1);
    for (int i = 0; i < 10; i++) {
        lua_newuserdata(L, 16);
        luaL_getmetatable(L, "Counted");
        lua_setmetatable(L, -2);
        lua_pop(L, 1);
    }
    lua_setgcthreshold(L, 0); // finalisers run in this collection
    EXPECT_EQ(gcCalls, 10);
    lua_setgcthreshold(L, 0); // the finalised userdata are freed, not finalised again
    EXPECT_EQ(gcCalls, 10);
    ASSERT_EQ(run(L, "return 1"), 0);
}

TEST(LuaApi, WideStrings)
{
    State S = openState();
    lua_State* L = S.get();
    const unsigned short text[] = {'h', 0x263A, 'i', 0};
    lua_pushwstring(L, text);
    EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING);
    EXPECT_EQ(lua_strlen(L, -1), 3u);
    const unsigned short* back = lua_towstring(L, -1);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back[1], 0x263A);
    EXPECT_EQ(back[3], 0);
    lua_pushlwstring(L, text, 3);
    EXPECT_TRUE(lua_rawequal(L, -1, -2)) << "wide strings are interned";
    lua_pushnumber(L, 12);
    const unsigned short* num = lua_towstring(L, -1);
    ASSERT_NE(num, nullptr);
    EXPECT_EQ(num[0], '1');
    EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING);
    lua_pushwstring(L, nullptr);
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_pushboolean(L, 1);
    EXPECT_EQ(lua_towstring(L, -1), nullptr);
    luaL_Buffer b;
    luaL_wbuffinit(L, &b);
    for (int i = 0; i < 1000; i++)
        luaL_addlwstring(&b, text, 3);
    luaL_pushresult(&b);
    EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING);
    EXPECT_EQ(lua_strlen(L, -1), 3000u);
}

std::string utf16le(const std::string& ascii, bool bom)
{
    std::string out;
    if (bom)
        out += "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST(LuaApi, Utf16SourcesWithByteOrderMark)
{
    State S = openState();
    lua_State* L = S.get();
    // a raw U+263A unit inside a wide literal, and a narrow literal
    std::string src = utf16le("return L\"A", true) + std::string("\x3A\x26", 2) + utf16le("\", 'a\xE9' .. 0x10", false);
    ASSERT_EQ(luaL_loadbuffer(L, src.data(), src.size(), "=wide"), 0) << topString(L);
    ASSERT_EQ(lua_pcall(L, 0, 2, 0), 0);
    ASSERT_EQ(lua_type(L, 1), LUA_TWSTRING);
    EXPECT_EQ(lua_strlen(L, 1), 2u);
    EXPECT_EQ(lua_towstring(L, 1)[1], 0x263A);
    EXPECT_EQ(std::string(lua_tostring(L, 2)), "a\xE9" "16") << "a narrow literal keeps each unit's low byte";
    lua_settop(L, 0);
    std::string noBom = utf16le("return 1", false);
    EXPECT_EQ(luaL_loadbuffer(L, noBom.data(), noBom.size(), "=plain"), LUA_ERRSYNTAX);
    EXPECT_EQ(topString(L), "plain:1: invalid control char near `char(0)'");
    lua_settop(L, 0);
    std::string wideBad = utf16le("x = ", true) + std::string("\x00\x01", 2);
    EXPECT_EQ(luaL_loadbuffer(L, wideBad.data(), wideBad.size(), "=w"), LUA_ERRSYNTAX);
    EXPECT_EQ(topString(L), "w:1: invalid wide char near `char(256)'");
}

// ---- coroutines as the engine drives them ------------------------------------------------

int yieldOne(lua_State* L)
{
    lua_pushstring(L, "yielded");
    return lua_yield(L, 1);
}

int canYield(lua_State* L)
{
    lua_pushboolean(L, lua_canyield(L));
    return 1;
}

TEST(LuaCoroutines, MainThreadResumeYieldFromCAndPcallWhileSuspended)
{
    State S = openState();
    lua_State* L = S.get();
    lua_register(L, "WaitFrame", yieldOne);
    lua_register(L, "CanYield", canYield);
    ASSERT_EQ(run(L, "steps = {} function script(a) table.insert(steps, 'start ' .. tostring(a))"
                     " local r1, r2 = WaitFrame() table.insert(steps, 'got ' .. tostring(r1) .. ' ' .. tostring(r2))"
                     " WaitFrame() table.insert(steps, 'end') return 'finished' end"),
              0);
    lua_settop(L, 0);
    EXPECT_TRUE(lua_isidle(L));
    // start a function lying on the main thread's stack
    lua_getglobal(L, "script");
    lua_pushnumber(L, 1);
    ASSERT_EQ(lua_resume(L, 1), 0);
    EXPECT_TRUE(lua_issuspended(L));
    EXPECT_FALSE(lua_isidle(L));
    EXPECT_EQ(topString(L), "yielded");
    // a protected call while suspended leaves the suspended frame intact
    int top = lua_gettop(L);
    lua_getglobal(L, "CanYield");
    ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
    EXPECT_FALSE(lua_toboolean(L, -1)) << "a function called from C may not yield";
    lua_settop(L, top);
    ASSERT_EQ(run(L, "table.insert(steps, 'side call')"), 0);
    lua_settop(L, top);
    EXPECT_TRUE(lua_issuspended(L));
    // resume passing (nil, closure): the top values become the call's results
    lua_pushnil(L);
    lua_pushstring(L, "second");
    ASSERT_EQ(lua_resume(L, 2), 0);
    EXPECT_TRUE(lua_issuspended(L));
    ASSERT_EQ(lua_resume(L, 0), 0);
    EXPECT_TRUE(lua_isidle(L));
    EXPECT_EQ(topString(L), "finished");
    lua_settop(L, 0);
    ASSERT_EQ(run(L, "return table.concat(steps, '|')"), 0);
    EXPECT_EQ(topString(L), "start 1|side call|got nil second|end");
    lua_settop(L, 0);
    // resuming an idle state without a function is refused
    EXPECT_EQ(lua_resume(L, 0), LUA_ERRRUN);
    EXPECT_EQ(topString(L), "cannot resume dead coroutine");
}

TEST(LuaCoroutines, MayYieldOnlyFromCFunctionsCalledByLua)
{
    State S = openState();
    lua_State* L = S.get();
    lua_register(L, "CanYield", canYield);
    ASSERT_EQ(run(L, "local co = coroutine.create(function()"
                     " local direct = CanYield()"
                     " local ok, viaPcall = pcall(CanYield)"
                     " local ok2, nested = pcall(function() return CanYield() end)"
                     " return direct, viaPcall, nested end)"
                     " return coroutine.resume(co)"),
              0);
    EXPECT_TRUE(lua_toboolean(L, 1));
    EXPECT_TRUE(lua_toboolean(L, 2)) << "called by Lua inside a coroutine";
    EXPECT_FALSE(lua_toboolean(L, 3)) << "called through pcall (a C boundary)";
    EXPECT_FALSE(lua_toboolean(L, 4)) << "inside a Lua function called through pcall";
    lua_settop(L, 0);
    ASSERT_EQ(run(L, "return CanYield()"), 0);
    EXPECT_FALSE(lua_toboolean(L, -1)) << "the main chunk runs under lua_pcall";
}

TEST(LuaCoroutines, ErrorDuringResumeResetsToTheBaseFrame)
{
    State S = openState();
    lua_State* L = S.get();
    lua_register(L, "WaitFrame", yieldOne);
    ASSERT_EQ(run(L, "function script() WaitFrame() error('broken') end"), 0);
    lua_settop(L, 0);
    lua_getglobal(L, "script");
    ASSERT_EQ(lua_resume(L, 0), 0);
    EXPECT_TRUE(lua_issuspended(L));
    EXPECT_EQ(lua_resume(L, 0), LUA_ERRRUN);
    EXPECT_TRUE(lua_isidle(L));
    EXPECT_EQ(topString(L), "test:1: broken");
    lua_settop(L, 0);
    EXPECT_EQ(run(L, "return 1 + 1"), 0) << "the state stays usable";
    EXPECT_EQ(lua_tonumber(L, -1), 2);
}

std::string alerted;

TEST(LuaApi, DoStringReportsThroughAlert)
{
    State S = openState();
    lua_State* L = S.get();
    alerted.clear();
    lua_register(L, "_ALERT", [](lua_State* L1) -> int {
        alerted = lua_tostring(L1, 1);
        return 0;
    });
    EXPECT_EQ(lua_dostring(L, "x = = 1"), LUA_ERRSYNTAX);
    EXPECT_EQ(alerted, "[string \"x = = 1\"]:1: unexpected symbol near `='");
    EXPECT_EQ(lua_dostring(L, "error('run time')"), LUA_ERRRUN);
    EXPECT_EQ(alerted, "[string \"error('run time')\"]:1: run time");
    EXPECT_EQ(lua_dostring(L, "y = 2"), 0);
    lua_getglobal(L, "y");
    EXPECT_EQ(lua_tonumber(L, -1), 2);
}

TEST(LuaApi, DebugInfoOfTheCallingFunction)
{
    State S = openState();
    lua_State* L = S.get();
    lua_register(L, "where", [](lua_State* L1) -> int {
        lua_Debug ar;
        EXPECT_TRUE(lua_getstack(L1, 1, &ar));
        lua_getinfo(L1, "nSl", &ar);
        lua_pushfstring(L1, "%s %s %d %s", ar.short_src, ar.what, ar.currentline, ar.namewhat);
        return 1;
    });
    const char* code = "local function inner()\n  return where()\nend\nreturn inner()";
    ASSERT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "@script.lua"), 0);
    ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
    EXPECT_EQ(topString(L), "script.lua Lua 2 ");
}

TEST(LuaApi, ATailCallLeavesALevelWithoutAFunction)
{
    State S = openState();
    lua_State* L = S.get();
    lua_register(L, "levels", [](lua_State* L1) -> int {
        std::string out;
        lua_Debug ar;
        for (int level = 1; lua_getstack(L1, level, &ar); level++) {
            lua_getinfo(L1, "nSlf", &ar);
            out += std::string(ar.short_src) + "|" + ar.what + "|" + std::to_string(ar.currentline) + "|" +
                   (ar.name ? ar.name : "(null)") + "|" + ar.namewhat + "|" + std::to_string(ar.linedefined) + "|" +
                   lua_typename(L1, lua_type(L1, -1)) + "\n";
            lua_pop(L1, 1);
        }
        lua_pushstring(L1, out.c_str());
        return 1;
    });
    // inner is reached from outer by two tail calls: two lost levels
    const char* code = "local function inner()\n  local s = levels() return s\nend\n"
                       "local function middle() return inner() end\n"
                       "local function outer() return middle() end\n"
                       "local r = outer()\nreturn r";
    ASSERT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "@script.lua"), 0);
    ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
    EXPECT_EQ(topString(L), "script.lua|Lua|2|(null)||1|function\n"
                            "(tail call)|tail|-1|||-1|nil\n"
                            "(tail call)|tail|-1|||-1|nil\n"
                            "script.lua|main|6|(null)||0|function\n");
}

TEST(LuaApi, ChunkReaderInPieces)
{
    State S = openState();
    lua_State* L = S.get();
    struct Pieces {
        std::vector<std::string> parts;
        size_t next = 0;
    } pieces{{"ret", "urn 4", "0 + ", "2"}};
    auto reader = [](lua_State*, void* ud, size_t* size) -> const char* {
        auto* p = static_cast<Pieces*>(ud);
        if (p->next >= p->parts.size())
            return nullptr;
        const std::string& s = p->parts[p->next++];
        *size = s.size();
        return s.data();
    };
    ASSERT_EQ(lua_load(L, reader, &pieces, "=pieces"), 0);
    ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
    EXPECT_EQ(lua_tonumber(L, -1), 42);
}

TEST(LuaApi, AllocationGoesThroughTheHook)
{
    static size_t calls = 0;
    static int scratchTags = 0;
    lua_Alloc saved = luaHelper_defaultAlloc;
    luaHelper_defaultAlloc = [](void*, void* block, size_t, size_t newsize, int, int tag) -> void* {
        calls++;
        if (tag == 1)
            scratchTags++;
        if (newsize == 0) {
            std::free(block);
            return nullptr;
        }
        return std::realloc(block, newsize);
    };
    {
        State S = openState();
        ASSERT_EQ(run(S.get(), "local s = '' for i = 1, 100 do s = s .. i end return s"), 0);
    }
    luaHelper_defaultAlloc = saved;
    EXPECT_GT(calls, 100u);
    EXPECT_GT(scratchTags, 0) << "scratch buffer growth carries tag 1";
}

TEST(LuaApi, MemoryReturnsToItsStartingLevel)
{
    State S = openState();
    lua_State* L = S.get();
    lua_setgcthreshold(L, 0);
    int before = lua_getgccount(L);
    ASSERT_EQ(run(L, "for i = 1, 1000000 do local t = {i, tostring(i)} end"), 0);
    lua_settop(L, 0);
    lua_setgcthreshold(L, 0);
    EXPECT_LE(lua_getgccount(L), before + 64);
}

} // namespace

// ---- hooks --------------------------------------------------------------------------------

std::vector<std::string>* hookLog = nullptr;

// Records "event:line:name" for every event of a Lua function or a named C function.
void recordingHook(lua_State* L, lua_Debug* ar)
{
    static const char* const names[] = {"call", "return", "line", "count", "tail return"};
    std::string entry = names[ar->event];
    if (ar->event == LUA_HOOKTAILRET) {
        hookLog->push_back(entry);
        return;
    }
    lua_getinfo(L, "nS", ar);
    if (ar->event == LUA_HOOKLINE)
        entry += ":" + std::to_string(ar->currentline);
    entry += std::string(":") + (ar->name ? ar->name : "?") + ":" + ar->what;
    hookLog->push_back(entry);
}

TEST(LuaHooks, CallReturnAndLineEventsComeAsTheMachineRuns)
{
    State S = openState();
    lua_State* L = S.get();
    std::vector<std::string> log;
    hookLog = &log;
    ASSERT_EQ(run(L, "function inner(x)\n"    // 1
                     "  return x + 1\n"       // 2
                     "end\n"                  // 3
                     "function outer(x)\n"    // 4
                     "  return inner(x)\n"    // 5: a tail call
                     "end"),
              0);
    lua_settop(L, 0);
    lua_sethook(L, recordingHook, LUA_MASKCALL | LUA_MASKRET | LUA_MASKLINE, 0);
    for (int i = 0; i < 2; i++) {
        lua_getglobal(L, "outer");
        lua_pushnumber(L, i);
        ASSERT_EQ(lua_pcall(L, 1, 1, 0), 0);
        EXPECT_EQ(lua_tonumber(L, -1), i + 1);
        lua_pop(L, 1);
    }
    lua_sethook(L, nullptr, 0, 0);
    // the first instruction run after the hook is set only takes the
    // positions (no line event); the tail-called function is named after the
    // global that holds it; its lost caller returns as a "tail return"
    std::vector<std::string> expected = {
        "call:outer:Lua",   "call:inner:Lua",   "line:2:inner:Lua", "return:inner:Lua", "tail return",
        "call:outer:Lua",   "line:5:outer:Lua", "call:inner:Lua",   "line:2:inner:Lua", "return:inner:Lua",
        "tail return"};
    EXPECT_EQ(log, expected);
    hookLog = nullptr;
}

int countHits = 0;

void stopAfterBudget(lua_State* L, lua_Debug*)
{
    if (++countHits == 3)
        luaL_error(L, "budget spent");
}

TEST(LuaHooks, EachThreadHasItsOwnCountHook)
{
    State S = openState();
    lua_State* L = S.get();
    ASSERT_EQ(run(L, "function spin() local n = 0 while true do n = n + 1 end end"
                     " function finite() local n = 0 for i = 1, 1000 do n = n + i end return n end"),
              0);
    lua_settop(L, 0);
    lua_State* co = lua_newthread(L);
    countHits = 0;
    lua_sethook(co, stopAfterBudget, LUA_MASKCOUNT, 100);
    EXPECT_EQ(lua_gethookmask(co), LUA_MASKCOUNT);
    EXPECT_EQ(lua_gethookcount(co), 100);
    EXPECT_EQ(lua_gethookmask(L), 0) << "the main thread keeps no hook";
    // the main thread runs freely while the coroutine's hook is set
    ASSERT_EQ(run(L, "return finite()"), 0);
    EXPECT_EQ(lua_tonumber(L, -1), 500500);
    EXPECT_EQ(countHits, 0);
    lua_getglobal(co, "spin");
    EXPECT_EQ(lua_resume(co, 0), LUA_ERRRUN);
    EXPECT_EQ(countHits, 3);
    EXPECT_NE(topString(co).find("budget spent"), std::string::npos);
    // a coroutine a script creates starts without a hook: the main thread's
    // budget does not count its instructions
    countHits = 0;
    lua_settop(L, 0);
    lua_sethook(L, stopAfterBudget, LUA_MASKCOUNT, 1000);
    ASSERT_EQ(run(L, "local co = coroutine.create(finite) return coroutine.resume(co)"), 0);
    lua_sethook(L, nullptr, 0, 0);
    EXPECT_TRUE(lua_toboolean(L, 1));
    EXPECT_EQ(lua_tonumber(L, 2), 500500);
    EXPECT_LT(countHits, 3);
}

// Long native work in the libraries calls a count hook whose mask also has
// LUA_MASKWORK (the engine's watchdog stops such a call this way); without
// that bit the same work calls no hook.
int workPolls = 0;

void countWorkPolls(lua_State*, lua_Debug* ar)
{
    if (ar->event == LUA_HOOKCOUNT)
        ++workPolls;
}

void stopWork(lua_State* L, lua_Debug*)
{
    lua_pushstring(L, "work stopped");
    lua_errorbare(L);
}

// The call's hook calls all come from the library's work: the budget is
// far above what its Lua code runs.
void expectPollsOnlyWithWorkBit(lua_State* L, const char* call)
{
    workPolls = 0;
    lua_sethook(L, countWorkPolls, LUA_MASKCOUNT | LUA_MASKWORK, 1 << 30);
    ASSERT_EQ(run(L, call), 0) << call << ": " << topString(L);
    EXPECT_GT(workPolls, 0) << call;
    workPolls = 0;
    lua_sethook(L, countWorkPolls, LUA_MASKCOUNT, 1 << 30);
    ASSERT_EQ(run(L, call), 0) << call;
    EXPECT_EQ(workPolls, 0) << call << ": without LUA_MASKWORK no library work calls the hook";
    lua_sethook(L, nullptr, 0, 0);
    lua_settop(L, 0);
}

TEST(LuaHooks, LongLibraryWorkGivesTheCountHookItsTurns)
{
    State S = openState();
    lua_State* L = S.get();
    const char* const calls[] = {
        "string.find(string.rep('a', 5000), '.-b')",                           // the matcher, quadratic
        "string.find(string.rep('a', 5000), 'a*b')",                           // runs given back
        "string.find(string.rep('a', 5000), '(%w+)%d')",
        "string.find(string.rep('(', 3000), '%b()')",                          // balanced runs
        "string.find(string.rep('a', 100000), string.rep('a', 1000) .. 'b', 1, true)",  // plain search
        "string.rep('ab', 3000000)",
        "local t = {} for i = 1, 40 do t[i] = string.rep('x', 100000) end table.concat(t, ',')",
        "local t = {} for i = 1, 100000 do t[i] = 100000 - i end table.sort(t)",
        "string.gsub(string.rep('a', 100000), 'a', 'bb')",
        "local t = {} for i = 1, 100000 do t[i] = i end table.getn(t)",  // counted: no n, no size kept
    };
    for (const char* call : calls)
        expectPollsOnlyWithWorkBit(L, call);
}

TEST(LuaHooks, AHookStopsALongMatchWithABareErrorThatNoHandlerSees)
{
    State S = openState();
    lua_State* L = S.get();
    lua_sethook(L, stopWork, LUA_MASKCOUNT | LUA_MASKWORK, 1 << 30);
    // a match that would take hours; the handler would loop for ever if it ran
    const int status = run(L, "gHandled = false\n"
                              "return xpcall(function() return string.find(string.rep('a', 3000000), '.-b') end,\n"
                              "              function(e) gHandled = true while true do end end)");
    lua_sethook(L, nullptr, 0, 0);
    ASSERT_EQ(status, 0) << topString(L);
    EXPECT_FALSE(lua_toboolean(L, 1));
    EXPECT_EQ(topString(L), "work stopped");
    lua_getglobal(L, "gHandled");
    EXPECT_FALSE(lua_toboolean(L, -1));
}

// Long calls of the libraries beyond the matcher: each is polled by itself
// (its input is made before the hook is set, so no poll comes from making it).
TEST(LuaHooks, LongCopiesShiftsAndParsesGiveTheCountHookItsTurns)
{
    State S = openState();
    lua_State* L = S.get();
    lua_register(L, "nothing", [](lua_State*) { return 0; });
    ASSERT_EQ(run(L, "gList = {} for i = 1, 200000 do gList[i] = i end\n"
                     "gText = string.rep('a\"', 100000)\n"
                     "gBig = string.rep('x', 8000000)\n"
                     "gSource = 'return \\'' .. string.rep('y', 300000) .. '\\''"),
              0)
        << topString(L);
    const char* const calls[] = {
        "table.insert(gList, 1, 0)",  // every element moved up
        "table.remove(gList, 1)",     // and down
        "assert(loadstring(gSource))",
        "string.format('%q', gText)",
        "string.format('%Q', gText)",
        "string.format('%s', gBig)",
        "string.upper(gText)",
        "string.lualex(gText, 0)",
        "string.sub(gBig, 2)",
        "local s = gBig .. 'z'",
        "table.foreachi(gList, nothing)",
        "table.foreach(gList, nothing)",
    };
    for (const char* call : calls)
        expectPollsOnlyWithWorkBit(L, call);
}

TEST(LuaHooks, AStopInsideALongParseOrShiftLeavesTheStateUsable)
{
    State S = openState();
    lua_State* L = S.get();
    ASSERT_EQ(run(L, "gList = {} for i = 1, 200000 do gList[i] = i end\n"
                     "gSource = 'return \\'' .. string.rep('y', 300000) .. '\\''"),
              0);
    lua_sethook(L, stopWork, LUA_MASKCOUNT | LUA_MASKWORK, 1 << 30);
    // loadstring turns the stop into its failure, as any error of the text
    ASSERT_EQ(run(L, "return loadstring(gSource)"), 0) << topString(L);
    EXPECT_TRUE(lua_isnil(L, 1));
    EXPECT_EQ(topString(L), "work stopped");
    lua_settop(L, 0);
    EXPECT_NE(run(L, "table.insert(gList, 1, 0)"), 0);
    EXPECT_EQ(topString(L), "work stopped");
    lua_sethook(L, nullptr, 0, 0);
    lua_settop(L, 0);
    ASSERT_EQ(run(L, "local f = assert(loadstring(gSource)) table.insert(gList, 1, 0) return string.len(f()), gList[1]"),
              0)
        << topString(L);
    EXPECT_EQ(lua_tonumber(L, 1), 300000);
    EXPECT_EQ(lua_tonumber(L, 2), 0);
}

// Finalisers run with hooks off; a host's hook whose mask has
// LUA_MASKFINALIZERS still runs inside them, so it can stop one that never
// returns, during a collection and when the state closes.
int finalizerChecks = 0;

void countFinalizerChecks(lua_State*, lua_Debug* ar)
{
    if (ar->event == LUA_HOOKCOUNT)
        ++finalizerChecks;
}

void stopAfterChecks(lua_State* L, lua_Debug*)
{
    if (++finalizerChecks >= 5) {
        lua_pushstring(L, "finaliser stopped");
        lua_errorbare(L);
    }
}

const char kCountingFinalizer[] = "local p = newproxy(true)\n"
                                  "getmetatable(p).__gc = function() for i = 1, 100000 do end gFinalized = true end\n"
                                  "p = nil collectgarbage()";

bool globalIsTrue(lua_State* L, const char* name)
{
    lua_getglobal(L, name);
    const bool value = lua_toboolean(L, -1) != 0;
    lua_pop(L, 1);
    return value;
}

TEST(LuaHooks, AHostHookThatAsksReachesFinalisersAndCanStopThem)
{
    State S = openState();
    lua_State* L = S.get();
    finalizerChecks = 0;
    lua_sethook(L, countFinalizerChecks, LUA_MASKCOUNT, 1000);
    ASSERT_EQ(run(L, kCountingFinalizer), 0) << topString(L);
    EXPECT_TRUE(globalIsTrue(L, "gFinalized"));
    EXPECT_LT(finalizerChecks, 5) << "a hook that does not ask is off inside finalisers";

    finalizerChecks = 0;
    lua_sethook(L, countFinalizerChecks, LUA_MASKCOUNT | LUA_MASKFINALIZERS, 1000);
    ASSERT_EQ(run(L, kCountingFinalizer), 0) << topString(L);
    EXPECT_GE(finalizerChecks, 100) << "the finaliser's 100000 instructions are counted";

    // One that never returns is stopped; its error goes nowhere, and the
    // code that collected goes on.
    finalizerChecks = 0;
    lua_sethook(L, stopAfterChecks, LUA_MASKCOUNT | LUA_MASKFINALIZERS, 1000);
    ASSERT_EQ(run(L, "local p = newproxy(true)\n"
                     "getmetatable(p).__gc = function() while true do end end\n"
                     "p = nil collectgarbage() gAfter = true"),
              0)
        << topString(L);
    lua_sethook(L, nullptr, 0, 0);
    EXPECT_TRUE(globalIsTrue(L, "gAfter"));
    EXPECT_GE(finalizerChecks, 5);
}

TEST(LuaHooks, AFinaliserThatNeverReturnsIsStoppedWhenTheStateCloses)
{
    lua_State* L = openState().release();
    ASSERT_EQ(run(L, "gKept = newproxy(true) getmetatable(gKept).__gc = function() while true do end end\n"
                     "gOther = newproxy(true) getmetatable(gOther).__gc = function() gOtherRan = true end"),
              0)
        << topString(L);
    finalizerChecks = 0;
    lua_sethook(L, stopAfterChecks, LUA_MASKCOUNT | LUA_MASKFINALIZERS, 1000);
    lua_close(L);  // returns: the looping finaliser was stopped, the others ran
    EXPECT_GE(finalizerChecks, 5);
}

// A collection runs no instruction however big the heap: it gives a count
// hook with LUA_MASKWORK its turns while it marks, whether collectgarbage
// or an allocation started it, and only inside a protected call.
const char kBigHeap[] = "gHeap = {} for i = 1, 300000 do gHeap[i] = {i} end";
const char kHeapSum[] = "local s = 0 for i = 1, table.getn(gHeap) do s = s + gHeap[i][1] end return s";

TEST(LuaHooks, ACollectionOfABigHeapGivesTheCountHookItsTurns)
{
    State S = openState();
    lua_State* L = S.get();
    ASSERT_EQ(run(L, kBigHeap), 0) << topString(L);
    expectPollsOnlyWithWorkBit(L, "collectgarbage()");
    // the threshold just above the heap: the next tables start a collection
    expectPollsOnlyWithWorkBit(L, "collectgarbage(gcinfo() + 1) local t = {} for i = 1, 1000 do t[i] = {} end");
}

TEST(LuaHooks, AHookStopsACollectionWhileItMarksAndTheHeapStaysWhole)
{
    State S = openState();
    lua_State* L = S.get();
    ASSERT_EQ(run(L, kBigHeap), 0) << topString(L);
    ASSERT_EQ(run(L, "gWeak = setmetatable({}, {__mode = 'k'}) gWeak[gHeap[1]] = true gHeap[1] = {1}"), 0);
    lua_sethook(L, stopWork, LUA_MASKCOUNT | LUA_MASKWORK, 1 << 30);
    EXPECT_NE(run(L, "collectgarbage()"), 0);
    EXPECT_EQ(topString(L), "work stopped");
    lua_settop(L, 0);
    // Outside a protected call the hook gets no turn (its error would end
    // the process): the collection runs whole.
    lua_setgcthreshold(L, 0);
    lua_sethook(L, nullptr, 0, 0);
    ASSERT_EQ(run(L, kHeapSum), 0) << topString(L);
    EXPECT_EQ(lua_tonumber(L, -1), 300000.0 * 300001 / 2);
    lua_settop(L, 0);
    // the stopped collection changed nothing: the next ones free as usual
    ASSERT_EQ(run(L, "collectgarbage() local before = gcinfo() gHeap = nil collectgarbage()\n"
                     "return next(gWeak) == nil, gcinfo() < before / 4"),
              0)
        << topString(L);
    EXPECT_TRUE(lua_toboolean(L, 1));
    EXPECT_TRUE(lua_toboolean(L, 2));
}
