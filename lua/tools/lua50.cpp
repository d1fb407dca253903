// lua50: the stand-alone interpreter of our Lua dialect, with two listings
// for debugging scripts: the tokens of a source and its compiled code.
//
//   lua50 [options] [script [args]]
//     -e stat    execute string `stat'
//     -l file    "require" file (run it once, found through LUA_PATH)
//     -i         enter interactive mode after running the script
//     -v         show version information
//     --         stop handling options
//     -          execute stdin and stop handling options
//     --tokens f list the tokens of file f
//     --list f   list the compiled code of file f
//
// Before any argument, LUA_INIT in the environment is run: "@name" runs the
// file name, anything else is run as Lua text.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "lauxlib.h"
#include "llex.h"
#include "lobject.h"
#include "lopcodes.h"
#include "lstate.h"
#include "lstring.h"
#include "lua.h"
#include "lualib.h"
#include "lzio.h"
#include "ldo.h"
#include "listing.h"

namespace {

const char* progname = "lua50";

void l_message(const char* pname, const char* msg)
{
    if (pname)
        std::fprintf(stderr, "%s: ", pname);
    std::fprintf(stderr, "%s\n", msg);
    std::fflush(stderr);
}

int report(lua_State* L, int status)
{
    if (status) {
        const char* msg = lua_tostring(L, -1);
        if (msg == nullptr)
            msg = "(error with no message)";
        l_message(progname, msg);
        lua_pop(L, 1);
    }
    return status;
}

// Calls the function below its arguments with the traceback as handler.
int lcall(lua_State* L, int narg, int clear)
{
    int base = lua_gettop(L) - narg;
    lua_pushliteral(L, "_TRACEBACK");
    lua_rawget(L, LUA_GLOBALSINDEX);
    lua_insert(L, base);
    int status = lua_pcall(L, narg, clear ? 0 : LUA_MULTRET, base);
    lua_remove(L, base);
    return status;
}

int docall(lua_State* L, int status)
{
    if (status == 0)
        status = lcall(L, 0, 1);
    return report(L, status);
}

int file_input(lua_State* L, const char* name) { return docall(L, luaL_loadfile(L, name)); }

int dostring(lua_State* L, const char* s, const char* name)
{
    return docall(L, luaL_loadbuffer(L, s, std::strlen(s), name));
}

// The library's `require', so a file loaded by -l is found (LUA_PATH) and
// recorded (_LOADED) as the script's own require would find and record it.
int dolibrary(lua_State* L, const char* name)
{
    lua_getglobal(L, "require");
    if (!lua_isfunction(L, -1)) {
        lua_pop(L, 1);
        l_message(progname, "`-l' needs the base library's `require'");
        return 1;
    }
    lua_pushstring(L, name);
    return report(L, lcall(L, 1, 1));
}

int handle_luainit(lua_State* L)
{
    const char* init = std::getenv("LUA_INIT");
    if (init == nullptr)
        return 0;
    if (init[0] == '@')
        return file_input(L, init + 1);
    return dostring(L, init, "=LUA_INIT");
}

// The argument of an option: joined to it ("-ea=1") or the next one.
const char* optionArgument(char* argv[], int* i)
{
    if (argv[*i][2] != '\0')
        return argv[*i] + 2;
    return argv[++*i];
}

void getargs(lua_State* L, char* argv[], int n)
{
    lua_newtable(L);
    for (int i = 0; argv[i]; i++) {
        lua_pushnumber(L, i - n);
        lua_pushstring(L, argv[i]);
        lua_rawset(L, -3);
    }
    lua_pushliteral(L, "n"); // arg.n = number of arguments after the script
    int count = 0;
    for (int i = n + 1; argv[i]; i++)
        count++;
    lua_pushnumber(L, count);
    lua_rawset(L, -3);
}

// ---- interactive mode --------------------------------------------------------------

const char* getPrompt(lua_State* L, bool first)
{
    lua_getglobal(L, first ? "_PROMPT" : "_PROMPT2");
    const char* p = lua_tostring(L, -1);
    if (p == nullptr)
        p = first ? "> " : ">> ";
    lua_pop(L, 1);
    return p;
}

bool readLine(lua_State* L, bool first, std::string& line)
{
    std::fputs(getPrompt(L, first), stdout);
    std::fflush(stdout);
    line.clear();
    int c;
    while ((c = std::getchar()) != EOF && c != '\n')
        line += static_cast<char>(c);
    return c != EOF || !line.empty();
}

// A chunk is incomplete when its syntax error is at the end of the text.
bool incomplete(lua_State* L, int status)
{
    if (status != LUA_ERRSYNTAX)
        return false;
    const char* msg = lua_tostring(L, -1);
    const char* tail = "near `<eof>'";
    size_t ml = msg ? std::strlen(msg) : 0;
    size_t tl = std::strlen(tail);
    if (ml >= tl && std::strcmp(msg + ml - tl, tail) == 0) {
        lua_pop(L, 1);
        return true;
    }
    return false;
}

void interactive(lua_State* L)
{
    std::string line;
    while (readLine(L, true, line)) {
        // a line starting with `=' prints the values of an expression
        std::string chunk = !line.empty() && line[0] == '=' ? "return " + line.substr(1) : line;
        int status;
        for (;;) {
            status = luaL_loadbuffer(L, chunk.data(), chunk.size(), "=stdin");
            if (!incomplete(L, status))
                break;
            if (!readLine(L, false, line)) {
                status = luaL_loadbuffer(L, chunk.data(), chunk.size(), "=stdin");
                break;
            }
            chunk += "\n" + line;
        }
        if (status == 0)
            status = lcall(L, 0, 0);
        report(L, status);
        if (status == 0 && lua_gettop(L) > 0) { // print the results
            lua_getglobal(L, "print");
            lua_insert(L, 1);
            if (lua_pcall(L, lua_gettop(L) - 1, 0, 0) != 0)
                l_message(progname, lua_pushfstring(L, "error calling `print' (%s)", lua_tostring(L, -1)));
        }
        lua_settop(L, 0);
    }
    std::fputs("\n", stdout);
}

// ---- token listing ---------------------------------------------------------------

struct TokenRun {
    const char* file;
};

struct TokenSource {
    FILE* f;
    int readerror; // errno of a failed read
    char buff[4096];
};

const char* readFile(lua_State*, void* ud, size_t* size)
{
    auto* source = static_cast<TokenSource*>(ud);
    if (std::feof(source->f))
        return nullptr;
    *size = std::fread(source->buff, 1, sizeof(source->buff), source->f);
    if (*size == 0 && std::ferror(source->f))
        source->readerror = errno;
    return *size > 0 ? source->buff : nullptr;
}

void listTokensProtected(lua_State* L, void* ud)
{
    const char* file = static_cast<TokenRun*>(ud)->file;
    FILE* f = std::fopen(file, "rb");
    if (f == nullptr) {
        lua_pushfstring(L, "cannot read %s: %s", file, std::strerror(errno));
        luaD_throw(L, LUA_ERRFILE);
    }
    struct Closer {
        FILE* f;
        ~Closer() { std::fclose(f); }
    } closer{f};
    std::string chunkname = std::string("@") + file;
    ZIO z;
    TokenSource source{f, 0, {}};
    luaZ_init(&z, readFile, &source, chunkname.c_str(), L);
    if (luaZ_lookahead_2(&z) == 0xFEFF) {
        zgetc(&z);
        zgetc(&z);
        z.wide = 1;
    }
    Mbuffer buff{nullptr, 0};
    struct BuffFree {
        lua_State* L;
        Mbuffer* b;
        ~BuffFree() { luaZ_freebuffer(L, b); }
    } bufffree{L, &buff};
    LexState ls;
    ls.buff = &buff;
    luaX_setinput(L, &ls, &z, luaS_new(L, chunkname.c_str()));
    for (;;) {
        SemInfo seminfo;
        int token = luaX_lex(&ls, &seminfo);
        std::printf("%d\t%s", ls.linenumber, luaX_token2str(&ls, token));
        switch (token) {
        case TK_NAME: std::printf("\t%s", getstr(seminfo.ts)); break;
        case TK_STRING: std::printf("\t%s", getstr(seminfo.ts)); break;
        case TK_NUMBER: std::printf("\t%.14g", seminfo.r); break;
        case TK_WSTRING:
            for (size_t i = 0; i < seminfo.ts->len; i++)
                std::printf("%s%u", i ? " " : "\t", getwstr(seminfo.ts)[i]);
            break;
        default: break;
        }
        std::printf("\n");
        lua_settop(L, 0);
        if (token == TK_EOS)
            break;
    }
    if (source.readerror != 0) { // a folder, say: it opens but does not read
        lua_pushfstring(L, "cannot read %s: %s", file, std::strerror(source.readerror));
        luaD_throw(L, LUA_ERRFILE);
    }
}

int listTokens(lua_State* L, const char* file)
{
    TokenRun run{file};
    return report(L, luaD_pcall(L, listTokensProtected, &run, savestack(L, L->top), 0));
}

int listCode(lua_State* L, const char* file)
{
    int status = luaL_loadfile(L, file);
    if (status != 0)
        return report(L, status);
    luaU_print(clvalue(L->top - 1)->l.p, stdout);
    lua_pop(L, 1);
    return 0;
}

// ---- options ----------------------------------------------------------------------

bool interactiveAfter = false;

int handle_argv(lua_State* L, char* argv[])
{
    int i;
    for (i = 1; argv[i] != nullptr; i++) {
        if (argv[i][0] != '-')
            break;
        if (std::strcmp(argv[i], "-") == 0) {
            return file_input(L, nullptr);
        } else if (std::strcmp(argv[i], "-i") == 0) {
            interactiveAfter = true;
        } else if (std::strcmp(argv[i], "--") == 0) {
            i++;
            break;
        } else if (std::strncmp(argv[i], "-e", 2) == 0) {
            const char* chunk = optionArgument(argv, &i);
            if (chunk == nullptr) {
                l_message(progname, "`-e' needs an argument");
                return 1;
            }
            if (dostring(L, chunk, "=<command line>") != 0)
                return 1;
        } else if (std::strncmp(argv[i], "-l", 2) == 0) {
            const char* file = optionArgument(argv, &i);
            if (file == nullptr) {
                l_message(progname, "`-l' needs an argument");
                return 1;
            }
            if (dolibrary(L, file) != 0)
                return 1;
        } else if (std::strcmp(argv[i], "-v") == 0) {
            std::printf("%s  %s\n", LUA_VERSION, LUA_COPYRIGHT);
        } else if (std::strcmp(argv[i], "--tokens") == 0 || std::strcmp(argv[i], "--list") == 0) {
            if (argv[i + 1] == nullptr) {
                l_message(progname, "option needs a file argument");
                return 1;
            }
            int status = argv[i][2] == 't' ? listTokens(L, argv[i + 1]) : listCode(L, argv[i + 1]);
            if (status != 0)
                return 1;
            i++;
        } else {
            l_message(progname, "unrecognized option");
            std::fprintf(stderr,
                         "usage: %s [options] [script [args]]\n"
                         "  -e stat     execute string `stat'\n"
                         "  -l name     require library `name'\n"
                         "  -i          enter interactive mode after the script\n"
                         "  -v          show version information\n"
                         "  --tokens f  list the tokens of file f\n"
                         "  --list f    list the compiled code of file f\n"
                         "  --          stop handling options\n"
                         "  -           execute stdin\n",
                         progname);
            return 1;
        }
    }
    int status = 0;
    if (argv[i] != nullptr) {
        getargs(L, argv, i);
        lua_setglobal(L, "arg");
        status = file_input(L, argv[i]);
    } else if (i == 1) { // no arguments: a terminal talks, anything else is a script
        if (isatty(0)) {
            std::printf("%s  %s\n", LUA_VERSION, LUA_COPYRIGHT);
            interactive(L);
        } else {
            status = file_input(L, nullptr);
        }
        return status;
    }
    if (interactiveAfter)
        interactive(L);
    return status;
}

struct MainRun {
    char** argv;
    int status;
};

int pmain(lua_State* L)
{
    auto* run = static_cast<MainRun*>(lua_touserdata(L, 1));
    lua_settop(L, 0);
    // the 5.0 interpreter's libraries, in its order
    const lua_CFunction libraries[] = {luaopen_base, luaopen_table, luaopen_io,     luaopen_string,
                                       luaopen_math, luaopen_debug, luaopen_loadlib};
    for (lua_CFunction open : libraries) {
        open(L);
        lua_settop(L, 0);
    }
    run->status = handle_luainit(L);
    if (run->status == 0)
        run->status = handle_argv(L, run->argv);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    (void)argc;
    if (argv[0] && argv[0][0])
        progname = argv[0];
    lua_State* L = lua_open();
    if (L == nullptr) {
        l_message(progname, "cannot create state: not enough memory");
        return EXIT_FAILURE;
    }
    // Everything runs inside one C function, as in the 5.0 interpreter: its
    // frame is the "[C]: ?" line that ends every stack traceback.
    MainRun run{argv, 0};
    int status = lua_cpcall(L, &pmain, &run);
    report(L, status);
    lua_close(L);
    return status == 0 && run.status == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
