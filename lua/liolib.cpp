// The io and os libraries of Lua 5.0 (for the command-line tool; the engine
// opens neither). A file handle is a userdata holding a FILE* (null once
// closed) with the metatable registered as "FILE*"; the default input and
// output files live in the metatable, which every io function has as upvalue.
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

namespace {

const char* const FILEHANDLE = "FILE*";
const char* const IO_INPUT = "_input";
const char* const IO_OUTPUT = "_output";

// true, or nil plus the system's message (after the file name) and errno
int pushresult(lua_State* L, bool ok, const char* filename)
{
    if (ok) {
        lua_pushboolean(L, 1);
        return 1;
    }
    int en = errno;
    lua_pushnil(L);
    if (filename)
        lua_pushfstring(L, "%s: %s", filename, std::strerror(en));
    else
        lua_pushfstring(L, "%s", std::strerror(en));
    lua_pushnumber(L, en);
    return 3;
}

FILE** topfile(lua_State* L, int findex)
{
    auto** f = static_cast<FILE**>(luaL_checkudata(L, findex, FILEHANDLE));
    if (f == nullptr)
        luaL_argerror(L, findex, "bad file");
    return f;
}

int io_type(lua_State* L)
{
    auto** f = static_cast<FILE**>(luaL_checkudata(L, 1, FILEHANDLE));
    if (f == nullptr)
        lua_pushnil(L);
    else if (*f == nullptr)
        lua_pushliteral(L, "closed file");
    else
        lua_pushliteral(L, "file");
    return 1;
}

FILE* tofile(lua_State* L, int findex)
{
    FILE** f = topfile(L, findex);
    if (*f == nullptr)
        luaL_error(L, "attempt to use a closed file");
    return *f;
}

// A new handle, closed until the caller stores a stream in it.
FILE** newfile(lua_State* L)
{
    auto** pf = static_cast<FILE**>(lua_newuserdata(L, sizeof(FILE*)));
    *pf = nullptr;
    luaL_getmetatable(L, FILEHANDLE);
    lua_setmetatable(L, -2);
    return pf;
}

// io[name] = handle of f, and metatable[impname] = the same handle.
// Stack: metatable, io table.
void registerfile(lua_State* L, FILE* f, const char* name, const char* impname)
{
    lua_pushstring(L, name);
    *newfile(L) = f;
    if (impname) {
        lua_pushstring(L, impname);
        lua_pushvalue(L, -2);
        lua_settable(L, -6);
    }
    lua_settable(L, -3);
}

// Closes the handle at index 1; the standard streams stay open.
bool aux_close(lua_State* L)
{
    FILE* f = tofile(L, 1);
    if (f == stdin || f == stdout || f == stderr)
        return false;
    bool ok = std::fclose(f) == 0;
    if (ok)
        *static_cast<FILE**>(lua_touserdata(L, 1)) = nullptr;
    return ok;
}

int io_close(lua_State* L)
{
    if (lua_isnone(L, 1) && lua_type(L, lua_upvalueindex(1)) == LUA_TTABLE) {
        lua_pushstring(L, IO_OUTPUT);
        lua_rawget(L, lua_upvalueindex(1));
    }
    return pushresult(L, aux_close(L), nullptr);
}

int io_gc(lua_State* L)
{
    FILE** f = topfile(L, 1);
    if (*f != nullptr) // closed files are left alone
        aux_close(L);
    return 0;
}

int io_tostring(lua_State* L)
{
    FILE** f = topfile(L, 1);
    if (*f == nullptr)
        lua_pushliteral(L, "file (closed)");
    else
        lua_pushfstring(L, "file (%p)", lua_touserdata(L, 1));
    return 1;
}

int io_open(lua_State* L)
{
    const char* filename = luaL_checkstring(L, 1);
    const char* mode = luaL_optstring(L, 2, "r");
    FILE** pf = newfile(L);
    *pf = std::fopen(filename, mode);
    return *pf == nullptr ? pushresult(L, false, filename) : 1;
}

// Pipes are not part of the portable library.
int io_popen(lua_State* L) { return luaL_error(L, "`popen' not supported"); }

int io_tmpfile(lua_State* L)
{
    FILE** pf = newfile(L);
    *pf = std::tmpfile();
    return *pf == nullptr ? pushresult(L, false, nullptr) : 1;
}

FILE* getiofile(lua_State* L, const char* name)
{
    lua_pushstring(L, name);
    lua_rawget(L, lua_upvalueindex(1));
    return tofile(L, -1);
}

// io.input and io.output: set from a file name or handle, then return the file.
int g_iofile(lua_State* L, const char* name, const char* mode)
{
    if (!lua_isnoneornil(L, 1)) {
        const char* filename = lua_tostring(L, 1);
        lua_pushstring(L, name);
        if (filename) {
            FILE** pf = newfile(L);
            *pf = std::fopen(filename, mode);
            if (*pf == nullptr) {
                lua_pushfstring(L, "%s: %s", filename, std::strerror(errno));
                luaL_argerror(L, 1, lua_tostring(L, -1));
            }
        } else {
            tofile(L, 1); // a valid handle
            lua_pushvalue(L, 1);
        }
        lua_rawset(L, lua_upvalueindex(1));
    }
    lua_pushstring(L, name);
    lua_rawget(L, lua_upvalueindex(1));
    return 1;
}

int io_input(lua_State* L) { return g_iofile(L, IO_INPUT, "r"); }

int io_output(lua_State* L) { return g_iofile(L, IO_OUTPUT, "w"); }

bool read_line(lua_State* L, FILE* f)
{
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    for (;;) {
        char* p = luaL_prepbuffer(&b);
        if (std::fgets(p, LUAL_BUFFERSIZE, f) == nullptr) { // end of file
            luaL_pushresult(&b);
            return lua_strlen(L, -1) > 0; // whether anything was read
        }
        size_t l = std::strlen(p);
        if (l == 0 || p[l - 1] != '\n') {
            luaL_addsize(&b, l);
        } else {
            luaL_addsize(&b, l - 1); // without the end of line
            luaL_pushresult(&b);
            return true;
        }
    }
}

// The line iterator of io.lines and file:lines; upvalues: the metatable,
// the handle, whether to close the file at its end.
int io_readline(lua_State* L)
{
    FILE* f = *static_cast<FILE**>(lua_touserdata(L, lua_upvalueindex(2)));
    if (f == nullptr)
        return luaL_error(L, "file is already closed");
    if (read_line(L, f))
        return 1;
    if (lua_toboolean(L, lua_upvalueindex(3))) { // the iterator opened the file
        lua_settop(L, 0);
        lua_pushvalue(L, lua_upvalueindex(2));
        aux_close(L);
    }
    return 0;
}

void aux_lines(lua_State* L, int idx, bool close)
{
    lua_pushstring(L, FILEHANDLE);
    lua_rawget(L, LUA_REGISTRYINDEX);
    lua_pushvalue(L, idx);
    lua_pushboolean(L, close);
    lua_pushcclosure(L, io_readline, 3);
}

int f_lines(lua_State* L)
{
    tofile(L, 1);
    aux_lines(L, 1, false);
    return 1;
}

int io_lines(lua_State* L)
{
    if (lua_isnoneornil(L, 1)) { // the default input
        lua_pushstring(L, IO_INPUT);
        lua_rawget(L, lua_upvalueindex(1));
        return f_lines(L);
    }
    const char* filename = luaL_checkstring(L, 1);
    FILE** pf = newfile(L);
    *pf = std::fopen(filename, "r");
    luaL_argcheck(L, *pf, 1, std::strerror(errno));
    aux_lines(L, lua_gettop(L), true);
    return 1;
}

bool read_number(lua_State* L, FILE* f)
{
    lua_Number d;
    if (std::fscanf(f, "%lf", &d) != 1)
        return false;
    lua_pushnumber(L, d);
    return true;
}

// "" unless at the end of the file (a read of zero characters)
bool test_eof(lua_State* L, FILE* f)
{
    int c = std::getc(f);
    std::ungetc(c, f);
    lua_pushlstring(L, nullptr, 0);
    return c != EOF;
}

bool read_chars(lua_State* L, FILE* f, size_t n)
{
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    size_t rlen = LUAL_BUFFERSIZE; // try to read that much each time
    size_t nr;
    do {
        char* p = luaL_prepbuffer(&b);
        if (rlen > n)
            rlen = n;
        nr = std::fread(p, 1, rlen, f);
        luaL_addsize(&b, nr);
        n -= nr;
    } while (n > 0 && nr == rlen);
    luaL_pushresult(&b);
    return n == 0 || lua_strlen(L, -1) > 0;
}

// One result per format from argument `first' on; the first that fails
// gives nil and ends the reading.
int g_read(lua_State* L, FILE* f, int first)
{
    int nargs = lua_gettop(L) - 1;
    bool success;
    int n;
    if (nargs == 0) { // a line
        success = read_line(L, f);
        n = first + 1;
    } else {
        luaL_checkstack(L, nargs + LUA_MINSTACK, "too many arguments");
        success = true;
        for (n = first; nargs-- && success; n++) {
            if (lua_type(L, n) == LUA_TNUMBER) {
                size_t l = static_cast<size_t>(lua_tonumber(L, n));
                success = l == 0 ? test_eof(L, f) : read_chars(L, f, l);
                continue;
            }
            const char* p = lua_tostring(L, n);
            luaL_argcheck(L, p && p[0] == '*', n, "invalid option");
            switch (p[1]) {
            case 'n': success = read_number(L, f); break;
            case 'l': success = read_line(L, f); break;
            case 'a':
                read_chars(L, f, ~static_cast<size_t>(0)); // the rest of the file
                success = true;
                break;
            case 'w': return luaL_error(L, "obsolete option `*w' to `read'");
            default: return luaL_argerror(L, n, "invalid format");
            }
        }
    }
    if (!success) {
        lua_pop(L, 1);
        lua_pushnil(L);
    }
    return n - first;
}

int io_read(lua_State* L) { return g_read(L, getiofile(L, IO_INPUT), 1); }

int f_read(lua_State* L) { return g_read(L, tofile(L, 1), 2); }

int g_write(lua_State* L, FILE* f, int arg)
{
    int nargs = lua_gettop(L) - 1;
    bool status = true;
    for (; nargs--; arg++) {
        if (lua_type(L, arg) == LUA_TNUMBER) {
            status = status && std::fprintf(f, LUA_NUMBER_FMT, lua_tonumber(L, arg)) > 0;
        } else {
            size_t l;
            const char* s = luaL_checklstring(L, arg, &l);
            status = status && std::fwrite(s, 1, l, f) == l;
        }
    }
    return pushresult(L, status, nullptr);
}

int io_write(lua_State* L) { return g_write(L, getiofile(L, IO_OUTPUT), 1); }

int f_write(lua_State* L) { return g_write(L, tofile(L, 1), 2); }

int f_seek(lua_State* L)
{
    static const int mode[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    static const char* const modenames[] = {"set", "cur", "end", nullptr};
    FILE* f = tofile(L, 1);
    int op = luaL_findstring(luaL_optstring(L, 2, "cur"), modenames);
    long offset = luaL_optlong(L, 3, 0);
    luaL_argcheck(L, op != -1, 2, "invalid mode");
    if (std::fseek(f, offset, mode[op]) != 0)
        return pushresult(L, false, nullptr);
    lua_pushnumber(L, static_cast<lua_Number>(std::ftell(f)));
    return 1;
}

int io_flush(lua_State* L) { return pushresult(L, std::fflush(getiofile(L, IO_OUTPUT)) == 0, nullptr); }

int f_flush(lua_State* L) { return pushresult(L, std::fflush(tofile(L, 1)) == 0, nullptr); }

const luaL_reg iolib[] = {{"input", io_input}, {"output", io_output}, {"lines", io_lines},
                          {"close", io_close}, {"flush", io_flush},   {"open", io_open},
                          {"popen", io_popen}, {"read", io_read},     {"tmpfile", io_tmpfile},
                          {"type", io_type},   {"write", io_write},   {nullptr, nullptr}};

const luaL_reg flib[] = {{"flush", f_flush}, {"read", f_read},    {"lines", f_lines},
                         {"seek", f_seek},   {"write", f_write},  {"close", io_close},
                         {"__gc", io_gc},    {"__tostring", io_tostring}, {nullptr, nullptr}};

// The handles' metatable, its own __index, holding the file methods.
void createmeta(lua_State* L)
{
    luaL_newmetatable(L, FILEHANDLE);
    lua_pushliteral(L, "__index");
    lua_pushvalue(L, -2);
    lua_rawset(L, -3);
    luaL_openlib(L, nullptr, flib, 0);
}

// ---- os ---------------------------------------------------------------------------

int os_execute(lua_State* L)
{
    lua_pushnumber(L, std::system(luaL_checkstring(L, 1)));
    return 1;
}

int os_remove(lua_State* L)
{
    const char* filename = luaL_checkstring(L, 1);
    return pushresult(L, std::remove(filename) == 0, filename);
}

int os_rename(lua_State* L)
{
    const char* fromname = luaL_checkstring(L, 1);
    const char* toname = luaL_checkstring(L, 2);
    return pushresult(L, std::rename(fromname, toname) == 0, fromname);
}

int os_tmpname(lua_State* L)
{
#if defined(__unix__) || defined(__APPLE__)
    // the name is taken at once (an empty file), so no other process gets it
    char buff[] = "/tmp/lua_XXXXXX";
    int fd = mkstemp(buff);
    if (fd == -1)
        return luaL_error(L, "unable to generate a unique filename");
    close(fd);
#else
    char buff[L_tmpnam];
    if (std::tmpnam(buff) != buff)
        return luaL_error(L, "unable to generate a unique filename");
#endif
    lua_pushstring(L, buff);
    return 1;
}

int os_getenv(lua_State* L)
{
    lua_pushstring(L, std::getenv(luaL_checkstring(L, 1))); // nil when unset
    return 1;
}

int os_clock(lua_State* L)
{
    lua_pushnumber(L, static_cast<lua_Number>(std::clock()) / CLOCKS_PER_SEC);
    return 1;
}

void setfield(lua_State* L, const char* key, int value)
{
    lua_pushstring(L, key);
    lua_pushnumber(L, value);
    lua_rawset(L, -3);
}

void setboolfield(lua_State* L, const char* key, int value)
{
    lua_pushstring(L, key);
    lua_pushboolean(L, value);
    lua_rawset(L, -3);
}

bool getboolfield(lua_State* L, const char* key)
{
    lua_pushstring(L, key);
    lua_gettable(L, -2);
    bool res = lua_toboolean(L, -1);
    lua_pop(L, 1);
    return res;
}

constexpr int FIELD_REQUIRED = -2;

// A field of the date table at the top; `d' when absent, an error for a
// required field.
int getfield(lua_State* L, const char* key, int d)
{
    lua_pushstring(L, key);
    lua_gettable(L, -2);
    int res;
    if (lua_isnumber(L, -1)) {
        res = static_cast<int>(lua_tonumber(L, -1));
    } else {
        if (d == FIELD_REQUIRED)
            return luaL_error(L, "field `%s' missing in date table", key);
        res = d;
    }
    lua_pop(L, 1);
    return res;
}

int os_date(lua_State* L)
{
    const char* s = luaL_optstring(L, 1, "%c");
    auto t = static_cast<std::time_t>(luaL_optnumber(L, 2, -1));
    if (t == static_cast<std::time_t>(-1)) // no time given
        t = std::time(nullptr);
    std::tm* stm;
    if (*s == '!') { // universal time
        stm = std::gmtime(&t);
        s++;
    } else {
        stm = std::localtime(&t);
    }
    if (stm == nullptr) { // a date the system cannot represent
        lua_pushnil(L);
    } else if (std::strcmp(s, "*t") == 0) {
        lua_newtable(L);
        setfield(L, "sec", stm->tm_sec);
        setfield(L, "min", stm->tm_min);
        setfield(L, "hour", stm->tm_hour);
        setfield(L, "day", stm->tm_mday);
        setfield(L, "month", stm->tm_mon + 1);
        setfield(L, "year", stm->tm_year + 1900);
        setfield(L, "wday", stm->tm_wday + 1);
        setfield(L, "yday", stm->tm_yday + 1);
        setboolfield(L, "isdst", stm->tm_isdst);
    } else {
        char b[256];
        if (std::strftime(b, sizeof(b), s, stm) == 0)
            return luaL_error(L, "`date' format too long");
        lua_pushstring(L, b);
    }
    return 1;
}

int os_time(lua_State* L)
{
    if (lua_isnoneornil(L, 1)) { // the current time
        lua_pushnumber(L, static_cast<lua_Number>(std::time(nullptr)));
        return 1;
    }
    luaL_checktype(L, 1, LUA_TTABLE);
    lua_settop(L, 1); // the table at the top
    std::tm ts{};
    ts.tm_sec = getfield(L, "sec", 0);
    ts.tm_min = getfield(L, "min", 0);
    ts.tm_hour = getfield(L, "hour", 12);
    ts.tm_mday = getfield(L, "day", FIELD_REQUIRED);
    ts.tm_mon = getfield(L, "month", FIELD_REQUIRED) - 1;
    ts.tm_year = getfield(L, "year", FIELD_REQUIRED) - 1900;
    ts.tm_isdst = getboolfield(L, "isdst");
    std::time_t t = std::mktime(&ts);
    if (t == static_cast<std::time_t>(-1))
        lua_pushnil(L);
    else
        lua_pushnumber(L, static_cast<lua_Number>(t));
    return 1;
}

int os_difftime(lua_State* L)
{
    lua_pushnumber(L, std::difftime(static_cast<std::time_t>(luaL_checknumber(L, 1)),
                                    static_cast<std::time_t>(luaL_optnumber(L, 2, 0))));
    return 1;
}

int os_setlocale(lua_State* L)
{
    static const int cat[] = {LC_ALL, LC_COLLATE, LC_CTYPE, LC_MONETARY, LC_NUMERIC, LC_TIME};
    static const char* const catnames[] = {"all", "collate", "ctype", "monetary", "numeric", "time", nullptr};
    const char* l = lua_tostring(L, 1);
    int op = luaL_findstring(luaL_optstring(L, 2, "all"), catnames);
    luaL_argcheck(L, l || lua_isnoneornil(L, 1), 1, "string expected");
    luaL_argcheck(L, op != -1, 2, "invalid option");
    lua_pushstring(L, std::setlocale(cat[op], l));
    return 1;
}

int os_exit(lua_State* L)
{
    std::fflush(stdout);
    std::exit(luaL_optint(L, 1, EXIT_SUCCESS));
}

const luaL_reg syslib[] = {{"clock", os_clock},     {"date", os_date},         {"difftime", os_difftime},
                           {"execute", os_execute}, {"exit", os_exit},         {"getenv", os_getenv},
                           {"remove", os_remove},   {"rename", os_rename},     {"setlocale", os_setlocale},
                           {"time", os_time},       {"tmpname", os_tmpname},   {nullptr, nullptr}};

} // namespace

extern "C" int luaopen_io(lua_State* L)
{
    luaL_openlib(L, LUA_OSLIBNAME, syslib, 0);
    createmeta(L);
    lua_pushvalue(L, -1);
    luaL_openlib(L, LUA_IOLIBNAME, iolib, 1);
    // the standard streams as handles in `io'; stdin and stdout are the defaults
    registerfile(L, stdin, "stdin", IO_INPUT);
    registerfile(L, stdout, "stdout", IO_OUTPUT);
    registerfile(L, stderr, "stderr", nullptr);
    return 1;
}

// loadlib: dynamic libraries are not offered; the function answers as a Lua
// without them does.
namespace {

int loadlib(lua_State* L)
{
    luaL_checkstring(L, 1);
    luaL_checkstring(L, 2);
    lua_pushnil(L);
    lua_pushliteral(L, "dynamic libraries not enabled; check your Lua installation");
    lua_pushliteral(L, "absent");
    return 3;
}

} // namespace

extern "C" int luaopen_loadlib(lua_State* L)
{
    lua_register(L, "loadlib", loadlib);
    return 0;
}
