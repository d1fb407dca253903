#include "engine/script/script.h"

#include "engine/base/debuglog.h"
#include "engine/platform/platform.h"
#include "engine/script/luabind.h"
#include "engine/script/luaobject.h"

#include "lauxlib.h"
#include "lualib.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>

str TScript::mLuaPath = "assets/?;?;../?;../../?";

namespace {

// Definition tables may name each other as `parent`; a loop must not recurse
// for ever.
constexpr int kMaxStyleDepth = 64;

const char kGetClosureText[] =
    "function GetClosure( f, ... ) return function() f( arg[1], arg[2], arg[3], arg[4], arg[5], "
    "arg[6] ); end; end";

// Any value as text for the log, without disturbing the value itself.
str DisplayText(lua_State* L, int i)
{
    switch (lua_type(L, i)) {
    case LUA_TSTRING:
    case LUA_TNUMBER: {
        lua_pushvalue(L, i);  // tostring converts numbers in place: work on a copy
        str text = lua_tostring(L, -1);
        lua_pop(L, 1);
        return text;
    }
    case LUA_TBOOLEAN:
        return lua_toboolean(L, i) ? "true" : "false";
    case LUA_TNIL:
    case LUA_TNONE:
        return "nil";
    default: {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%s: %p", lua_typename(L, lua_type(L, i)), lua_topointer(L, i));
        return buffer;
    }
    }
}

int LuaAlert(lua_State* L)
{
    lua_pushstring(L, "_SCRIPT");
    lua_rawget(L, LUA_GLOBALSINDEX);
    const auto* script = static_cast<const TScript*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    if (script && script->IsQuiet())
        return 0;
    const char* message = lua_tostring(L, -1);
    WriteDbg("Lua error: %s", message ? message : "(no message)");
    QM_ASSERT_TEXT(false, "0");
    return 0;
}

// The message handler of every protected call: the script's _ALERT reports
// the error, and the message itself is handed on unchanged so that callers
// (DoLuaString, LuaErrorMessage) still have it to show.
int ErrorHandler(lua_State* L)
{
    lua_pushstring(L, "_ALERT");
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (lua_isfunction(L, -1)) {
        lua_pushvalue(L, 1);
        lua_call(L, 1, 0);
    } else {
        lua_pop(L, 1);
    }
    lua_settop(L, 1);
    return 1;
}

int LuaDebugOut(lua_State* L)
{
    const str text = qm::lua::CheckString(L, 1);
    WriteDbg("Lua: %s", text.c_str());
    return 0;
}

int LuaDumpTable(lua_State* L)
{
    const int table = lua_gettop(L);
    if (!lua_istable(L, table))
        return 0;
    lua_pushnil(L);
    while (lua_next(L, table)) {
        WriteDbg("%s[%s] - %s[%s]", DisplayText(L, -2).c_str(), lua_typename(L, lua_type(L, -2)),
                 DisplayText(L, -1).c_str(), lua_typename(L, lua_type(L, -1)));
        lua_pop(L, 1);
    }
    return 0;
}

// A script file with nothing in it loads and runs without an error, and a
// screen made from it shows nothing: the log says which file it was.
void NoteEmptyScript(const char* path)
{
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return;  // loading it will fail, naming it
    int c;
    while ((c = std::fgetc(file)) != EOF && std::isspace(c)) {
    }
    std::fclose(file);
    if (c == EOF)
        WriteDbg("Script %s is empty", path);
}

// The base library's dofile, noting an empty file first.
int LuaDoFile(lua_State* L)
{
    const char* name = luaL_optstring(L, 1, nullptr);
    NoteEmptyScript(name);
    if (luaL_loadfile(L, name) != 0)
        lua_error(L);
    lua_call(L, 0, LUA_MULTRET);
    return lua_gettop(L) - 1;
}

void PushGlobal(lua_State* L, const char* name)
{
    lua_pushstring(L, name);
    lua_rawget(L, LUA_GLOBALSINDEX);
}

// Runs Lua text in a protected call; the stack is left as it was.
int RunText(lua_State* L, const char* text)
{
    const int top = lua_gettop(L);
    lua_pushcfunction(L, ErrorHandler);
    int code = luaL_loadbuffer(L, text, std::char_traits<char>::length(text), text);
    if (code == 0)
        code = lua_pcall(L, 0, 0, top + 1);
    lua_settop(L, top);
    return code;
}

}  // namespace

TScript::TScript(lua_State* L) : TAnimTask(nullptr), mState(L ? L : lua_open()), mWatchdog(mState)
{
    Pause();
    LuaInit();
}

TScript::~TScript()
{
    DeleteDeferredTables();
    mAttachment.reset();
    // The state's finalisers run as it closes, watched like any other code.
    mWatchdog.CloseState();
}

void TScript::LuaInit()
{
    lua_State* L = mState;
    luaopen_base(L);
    luaopen_string(L);
    luaopen_table(L);
    lua_settop(L, 0);

    lua_register(L, "_ALERT", LuaAlert);
    lua_register(L, "DebugOut", LuaDebugOut);
    lua_register(L, "DumpTable", LuaDumpTable);
    lua_register(L, "dofile", LuaDoFile);
    lua_pushstring(L, "_SCRIPT");
    lua_pushlightuserdata(L, this);
    lua_settable(L, LUA_GLOBALSINDEX);
    mWatchdog.Install();
}

void TScript::SetAttachment(std::unique_ptr<TAttachment> a)
{
    mAttachment = std::move(a);
}

// ---- running code ----------------------------------------------------------

int TScript::RunScript(str file)
{
    TRunGuard run(*this);
    lua_State* L = mState;
    const int top = lua_gettop(L);
    const unsigned resumes = mResumes;
    if (file.length() == 0)
        return 0;
    const str asked = file;
    if (TPlatform* platform = TPlatform::GetInstance())
        file = platform->TranslateResource(file);
    if (file.length() == 0) {
        WriteDbg("Script %s not found", asked.c_str());
        return 0;
    }

    const str setPath = str("LUA_PATH='") + mLuaPath + "' ;";
    RunText(L, setPath.c_str());

    int result = 0;
    NoteEmptyScript(file.c_str());
    if (luaL_loadfile(L, file.c_str()) != 0) {
        PushGlobal(L, "_ALERT");
        lua_insert(L, -2);
        lua_pushcfunction(L, ErrorHandler);
        lua_insert(L, -3);
        lua_pcall(L, 1, 0, lua_gettop(L) - 2);
    } else if (const int code = RunFunction(0, 1); code != 0) {
        WriteDbg("Failed to run script %s: %d", file.c_str(), code);
    } else {
        result = 1;
    }
    // A coroutine started or resumed meanwhile has moved the stack base, and
    // the stack above it is its own: only an undisturbed stack is put back.
    if (mResumes == resumes)
        lua_settop(L, top);
    return result;
}

namespace {

// Compiled chunks of the texts run with DoLuaStringCompiledOnce, by text.
std::unordered_map<std::string, std::string>& CompiledChunks()
{
    static std::unordered_map<std::string, std::string> chunks;
    return chunks;
}

int AppendToChunk(lua_State*, const void* bytes, size_t size, void* chunk)
{
    static_cast<std::string*>(chunk)->append(static_cast<const char*>(bytes), size);
    return 1;
}

// Loads the text's compiled chunk, compiling (and keeping) it the first time.
// The chunk keeps the name it was compiled under, so the name is part of the key.
int LoadCompiledOnce(lua_State* L, const str& text, size_t length, const char* name)
{
    std::string key(text.c_str(), length);
    if (name != text.c_str())
        key.append(1, '\0').append(name);
    auto found = CompiledChunks().find(key);
    if (found != CompiledChunks().end())
        return luaL_loadbuffer(L, found->second.data(), found->second.size(), name);
    const int code = luaL_loadbuffer(L, text.c_str(), length, name);
    if (code != 0)
        return code;  // not kept: its error is reported on every run, as the text's would be
    std::string chunk;
    if (lua_dump(L, AppendToChunk, &chunk))
        CompiledChunks().emplace(key, std::move(chunk));
    return 0;
}

}  // namespace

int TScript::DoLuaString(str text, int length)
{
    return LoadAndRun(text, length, false, nullptr);
}

int TScript::DoLuaString(str text, int length, const char* chunkName)
{
    return LoadAndRun(text, length, false, chunkName);
}

std::size_t TScript::CompiledOnceCount()
{
    return CompiledChunks().size();
}

int TScript::DoLuaStringCompiledOnce(str text, const char* chunkName)
{
    return LoadAndRun(text, -1, true, chunkName);
}

int TScript::LoadAndRun(const str& text, int length, bool compileOnce, const char* chunkName)
{
    TRunGuard run(*this);
    lua_State* L = mState;
    // A chunk may hold zero bytes, so a given length can pass the first
    // zero; but never the text's buffer, which would compile what lies
    // after it.
    if (length < 0)
        length = text.length();
    else if (length > std::max(text.length(), text.capacity() - 1))
        length = text.length();
    const unsigned resumes = mResumes;
    const int before = lua_gettop(L);
    const char* name = chunkName ? chunkName : text.c_str();
    int code = compileOnce ? LoadCompiledOnce(L, text, static_cast<size_t>(length), name)
                           : luaL_loadbuffer(L, text.c_str(), static_cast<size_t>(length), name);
    const char* stage = "parsing";
    if (code == 0) {
        code = RunFunction(0, 1);
        if (code == 0) {
            // The chunk's result is not wanted: left there, every call would
            // grow the stack. A coroutine started meanwhile owns it now.
            if (mResumes == resumes)
                lua_settop(L, before);
            return 0;
        }
        stage = "running";
    }
    if (mResumes != resumes)
        return code;  // the failure came from a coroutine run meanwhile: already reported
    OnScriptFailed();
    if (mQuiet) {
        lua_pop(L, 1);
        return code;
    }
    const int top = lua_gettop(L) - 1;  // the message is on the top
    const str message = DisplayText(L, -1);
    char formatted[4096];
    std::snprintf(formatted, sizeof formatted, "Lua Error: %s\n\twhen %s", message.c_str(), stage);
    WriteDbg("DoLuaString %s %s", formatted, chunkName ? chunkName : text.c_str());
    PushGlobal(L, "LuaErrorMessage");
    if (!lua_isnil(L, -1)) {
        lua_pushstring(L, formatted);
        lua_pushcfunction(L, ErrorHandler);
        lua_insert(L, -3);
        lua_pcall(L, 1, 0, lua_gettop(L) - 2);
    }
    lua_settop(L, top);
    return code;
}

int TScript::CallProtected(int nargs, int nresults)
{
    lua_State* L = mState;
    const int handler = lua_gettop(L) - nargs;
    lua_pushcfunction(L, ErrorHandler);
    lua_insert(L, handler);
    const int code = lua_pcall(L, nargs, nresults, handler);
    lua_remove(L, handler);
    return code;
}

int TScript::RunFunction(int nargs, int nresults)
{
    TRunGuard run(*this);
    DeleteDeferredTables();
    if (!CoroutineActive() || nresults > 1) {
        const int code = CallProtected(nargs, nresults);
        if (code != 0) {
            if (nresults > 1)
                WriteDbg("TScript::RunFunction failure. Too many return results? (%d, FAILURE CODE %d)", nresults,
                         code);
            return code;
        }
        if (CoroutineActive())
            return 0;
        if (nresults == 1 && lua_isfunction(mState, -1))
            return StartCoroutine();
        return 0;
    }
    return RunThroughClosure(nargs, nresults);
}

int TScript::StartCoroutine()
{
    if (GetTimeUntilReady() == -1)
        SetDelay(0, false, true, false);
    ++mResumes;
    const int code = lua_resume(mState, 0);
    if (code != 0) {
        if (!mQuiet)
            WriteDbg("lua_resume error: %s", DisplayText(mState, -1).c_str());
        lua_pop(mState, 1);
        OnScriptFailed();
    }
    return code;
}

// While the coroutine is suspended a direct call would run on top of its
// frame; the function is wrapped in a closure of no arguments instead, which
// the receiver may run inside the coroutine.
int TScript::RunThroughClosure(int nargs, int nresults)
{
    lua_State* L = mState;
    const int function = lua_gettop(L) - nargs;
    PushGlobal(L, "GetClosure");
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        RunText(L, kGetClosureText);
        PushGlobal(L, "GetClosure");
    }
    lua_insert(L, function);
    int code = CallProtected(nargs + 1, 1);
    if (code != 0)
        return code;

    TLuaFunction closure(L);
    closure.Push();
    if (InjectFunction()) {
        closure.Clear();
        return 0;
    }
    closure.Push();
    return CallProtected(0, nresults);
}

int TScript::Resume(int nargs)
{
    TRunGuard run(*this);
    DeleteDeferredTables();
    ++mResumes;
    const int code = lua_resume(mState, nargs);
    if (code != 0) {
        if (!mQuiet)
            WriteDbg("lua_resume ERROR: %s", DisplayText(mState, -1).c_str());
        lua_pop(mState, 1);
        OnScriptFailed();
    }
    return code;
}

bool TScript::Animate()
{
    // A coroutine that already ended (for instance at once when it was
    // started) has nothing to resume: resuming it would only log an error.
    if (CoroutineActive() && Resume(0) != 0)
        Pause();
    if (!CoroutineActive())
        Pause();
    return true;
}

bool TScript::CoroutineActive() const
{
    return lua_issuspended(mState) != 0;
}

namespace {

// A chunk's source as Lua records it ("@" and the path it was loaded by)
// names `file` when it is that path or ends in "/" + that path.
bool SourceNames(const char* source, const str& file, const str& translated)
{
    if (!source || source[0] != '@')
        return false;
    const std::string path = source + 1;
    for (const str* name : {&file, &translated}) {
        const std::string wanted = name->c_str();
        if (wanted.empty())
            continue;
        if (path == wanted)
            return true;
        if (path.size() > wanted.size() && path.compare(path.size() - wanted.size(), wanted.size(), wanted) == 0 &&
            path[path.size() - wanted.size() - 1] == '/')
            return true;
    }
    return false;
}

}  // namespace

bool TScript::IsRunningFile(str file) const
{
    if (!CoroutineActive() || file.length() == 0)
        return false;
    TPlatform* platform = TPlatform::GetInstance();
    const str translated = platform ? platform->TranslateResource(file) : str();
    lua_Debug ar;
    for (int level = 0; lua_getstack(mState, level, &ar); ++level) {
        if (lua_getinfo(mState, "S", &ar) && SourceNames(ar.source, file, translated))
            return true;
    }
    return false;
}

bool TScript::InjectFunction()
{
    lua_pop(mState, 1);
    return false;
}

void TScript::SetGlobalString(str name, str value)
{
    lua_pushstring(mState, name.c_str());
    lua_pushstring(mState, value.c_str());
    lua_rawset(mState, LUA_GLOBALSINDEX);
}

void TScript::DeferDeleteTable(TLuaTable* t)
{
    mDeferredTables.push_back(t);
}

void TScript::DeleteDeferredTables()
{
    std::vector<TLuaTable*> tables;
    tables.swap(mDeferredTables);
    for (TLuaTable* t : tables)
        delete t;
}

// ---- readers -----------------------------------------------------------------

namespace {

bool FindTag(lua_State* L, const char* name, bool useDefaults, int depth)
{
    if (depth > kMaxStyleDepth) {
        WriteDbg("Style chain deeper than %d looking for '%s': a parent loop?", kMaxStyleDepth, name);
        return false;
    }
    const bool inTable = lua_istable(L, -1);
    lua_pushstring(L, name);
    lua_rawget(L, inTable ? -2 : LUA_GLOBALSINDEX);
    if (!lua_isnil(L, -1))
        return true;
    lua_pop(L, 1);

    if (useDefaults) {
        PushGlobal(L, "gCurrentDefaultStyle");
    } else if (inTable) {
        lua_pushstring(L, "parent");
        lua_rawget(L, -2);
    } else {
        lua_pushnil(L);
    }
    if (lua_istable(L, -1) && FindTag(L, name, false, depth + 1)) {
        lua_remove(L, -2);
        return true;
    }
    lua_pop(L, 1);
    return false;
}

}  // namespace

bool TScript::GetTag(const char* name, bool useDefaults)
{
    return FindTag(mState, name, useDefaults, 0);
}

double TScript::GetNumber(const char* name, double def)
{
    if (!GetTag(name, true))
        return def;
    const double value = lua_tonumber(mState, -1);
    lua_pop(mState, 1);
    return value;
}

str TScript::GetString(const char* name, const char* def)
{
    if (!GetTag(name, true))
        return def;
    return PopString();
}

bool TScript::GetBool(const char* name, bool def)
{
    if (!GetTag(name, true))
        return def;
    return PopBool();
}

TColor TScript::GetColor(const char* name, const TColor& def)
{
    if (!GetTag(name, true))
        return def;
    if (!lua_istable(mState, -1)) {
        lua_pop(mState, 1);
        return def;
    }
    return PopColor();
}

bool TScript::GetIndex(int i)
{
    if (!lua_istable(mState, -1))
        return false;
    lua_rawgeti(mState, -1, i);
    if (!lua_isnil(mState, -1))
        return true;
    lua_pop(mState, 1);
    return false;
}

str TScript::PopString()
{
    const char* text = lua_tostring(mState, -1);
    str value = text ? text : "";
    lua_pop(mState, 1);
    return value;
}

TColor TScript::PopColor()
{
    TColor c;
    if (lua_istable(mState, -1)) {
        float* parts[] = {&c.r, &c.g, &c.b, &c.a};
        for (int i = 0; i < 4; ++i) {
            lua_rawgeti(mState, -1, i + 1);
            *parts[i] = static_cast<float>(lua_tonumber(mState, -1));
            lua_pop(mState, 1);
        }
    }
    lua_pop(mState, 1);
    return c;
}

bool TScript::PopBool()
{
    lua_State* L = mState;
    bool value = false;
    switch (lua_type(L, -1)) {
    case LUA_TBOOLEAN:
        value = lua_toboolean(L, -1) != 0;
        break;
    case LUA_TNUMBER:
        value = !(lua_tonumber(L, -1) == 0);  // NaN counts as true
        break;
    case LUA_TNIL:
        break;
    case LUA_TSTRING:
        WriteDbg("PopBool used on lua string %s", lua_tostring(L, -1));
        QM_ASSERT_TEXT(false, "false && \"PopBool used on a string! Check your log for what string.\"");
        break;
    default:
        WriteDbg("PopBool used on a type that isn't a number, a boolean, or nil. (type: %d)", lua_type(L, -1));
        QM_ASSERT_TEXT(false, "false && \"PopBool used on an invalid type.\"");
        break;
    }
    lua_pop(L, 1);
    return value;
}

TFontDescription TScript::PopFont()
{
    lua_State* L = mState;
    TFontDescription font;
    if (lua_istable(L, -1)) {
        lua_rawgeti(L, -1, 1);
        font.name = PopString();
        lua_rawgeti(L, -1, 2);
        font.height = qm::lua::ToInt(lua_tonumber(L, -1));
        lua_pop(L, 1);
        lua_rawgeti(L, -1, 3);
        font.color = PopColor();
        // { face, size, colour, outline size, outline colour }: the last two optional.
        lua_rawgeti(L, -1, 4);
        if (lua_isnumber(L, -1)) {
            font.outlineSize = static_cast<float>(lua_tonumber(L, -1));
            lua_pop(L, 1);
            lua_rawgeti(L, -1, 5);
            font.outlineColor = PopColor();
        } else {
            lua_pop(L, 1);
        }
    }
    lua_pop(L, 1);
    return font;
}
