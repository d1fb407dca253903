// lua50: the stand-alone interpreter of our Lua dialect, with two listings
// for debugging scripts: the tokens of a source and its compiled code.
//
//   lua50 [options] [script [args]]
//     -          execute stdin as a file
//     -e stat    execute string `stat'
//     -l file    "require" file (run it once, found through LUA_PATH)
//     -i         enter interactive mode after running the script
//     -v         show version information (on standard error)
//     --         stop handling options
//     --tokens f list the tokens of file f
//     --list f   list the compiled code of file f
//
// Before any argument, LUA_INIT in the environment is run: "@name" runs the
// file name, anything else is run as Lua text. Options run in order and the
// first that fails ends the interpreter (no interactive mode after it). A
// one-letter option is known by its letter alone ("-ix" is -i); -c and -s are
// old options, noted as such and passed over; anything else shows the usage.
#include <cerrno>
#include <csignal>
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

// The state the interrupt handler stops (it runs inside a signal handler,
// which gets no arguments).
lua_State* globalL = nullptr;

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

// ---- interrupts ------------------------------------------------------------------
// A signal handler may not raise a Lua error, so Ctrl+C while Lua code runs
// sets a hook that raises it at the next instruction, call or return: the
// script ends with "interrupted!" and its traceback.

void lstop(lua_State* L, lua_Debug*)
{
    lua_sethook(L, nullptr, 0, 0);
    luaL_error(L, "interrupted!");
}

void laction(int sig)
{
    std::signal(sig, SIG_DFL); // a second Ctrl+C before the hook runs ends the process
    lua_sethook(globalL, lstop, LUA_MASKCALL | LUA_MASKRET | LUA_MASKCOUNT, 1);
}

// Calls the function below its arguments with the traceback as handler; Ctrl+C
// interrupts it.
int lcall(lua_State* L, int narg, int clear)
{
    int base = lua_gettop(L) - narg;
    lua_pushliteral(L, "_TRACEBACK");
    lua_rawget(L, LUA_GLOBALSINDEX);
    lua_insert(L, base);
    std::signal(SIGINT, laction);
    int status = lua_pcall(L, narg, clear ? 0 : LUA_MULTRET, base);
    std::signal(SIGINT, SIG_DFL);
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
// recorded (_LOADED) as the script's own require would find and record it;
// a state without `require' runs the file itself.
int dolibrary(lua_State* L, const char* name)
{
    lua_pushliteral(L, "require");
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (!lua_isfunction(L, -1)) {
        lua_pop(L, 1);
        return file_input(L, name);
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

// The prompt is read raw from the globals table: a script's metamethods on
// the globals (an __index that raises on undeclared names, one that inherits)
// must not stop the interpreter or change its prompt. A number is shown as text.
std::string getPrompt(lua_State* L, bool first)
{
    lua_pushstring(L, first ? "_PROMPT" : "_PROMPT2");
    lua_rawget(L, LUA_GLOBALSINDEX);
    const char* p = lua_tostring(L, -1);
    std::string prompt = p != nullptr ? p : first ? "> " : ">> ";
    lua_pop(L, 1);
    return prompt;
}

bool readLine(lua_State* L, bool first, std::string& line)
{
    std::fputs(getPrompt(L, first).c_str(), stdout);
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

// Reads and compiles one chunk: a line, and more lines while the text is
// incomplete. False at the end of input, also when the input ends inside a
// chunk: that chunk is dropped unsaid.
bool loadChunk(lua_State* L, int* status)
{
    std::string line;
    if (!readLine(L, true, line))
        return false;
    // a line starting with `=' prints the values of an expression
    std::string chunk = !line.empty() && line[0] == '=' ? "return " + line.substr(1) : line;
    for (;;) {
        *status = luaL_loadbuffer(L, chunk.data(), chunk.size(), "=stdin");
        if (!incomplete(L, *status))
            return true;
        if (!readLine(L, false, line))
            return false;
        chunk += "\n" + line;
    }
}

void printResults(lua_State* L)
{
    lua_getglobal(L, "print");
    lua_insert(L, 1);
    if (lua_pcall(L, lua_gettop(L) - 1, 0, 0) != 0)
        l_message(progname, lua_pushfstring(L, "error calling `print' (%s)", lua_tostring(L, -1)));
}

void interactive(lua_State* L)
{
    // what the user typed is answered without the program's name
    const char* oldprogname = progname;
    progname = nullptr;
    int status;
    while (loadChunk(L, &status)) {
        if (status == 0)
            status = lcall(L, 0, 0);
        report(L, status);
        if (status == 0 && lua_gettop(L) > 0)
            printResults(L);
        lua_settop(L, 0);
    }
    lua_settop(L, 0);
    std::fputs("\n", stdout);
    progname = oldprogname;
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

void printVersion() { l_message(nullptr, LUA_VERSION "  " LUA_COPYRIGHT); }

int printUsage()
{
    std::fprintf(stderr,
                 "usage: %s [options] [script [args]].\n"
                 "Available options are:\n"
                 "  -           execute stdin as a file\n"
                 "  -e stat     execute string `stat'\n"
                 "  -i          enter interactive mode after executing `script'\n"
                 "  -l name     load and run library `name'\n"
                 "  -v          show version information\n"
                 "  --          stop handling options\n"
                 "  --tokens f  list the tokens of file f\n"
                 "  --list f    list the compiled code of file f\n",
                 progname);
    std::fflush(stderr);
    return 1;
}

// --tokens FILE and --list FILE: one of the listings instead of running.
bool isListing(const char* arg) { return std::strcmp(arg, "--tokens") == 0 || std::strcmp(arg, "--list") == 0; }

int listing(lua_State* L, char* argv[], int* i)
{
    const char* file = argv[*i + 1];
    if (file == nullptr) {
        l_message(progname, "option needs a file argument");
        return 1;
    }
    int status = argv[*i][2] == 't' ? listTokens(L, file) : listCode(L, file);
    ++*i;
    return status;
}

enum class Handled { next, endOfOptions, failed };

Handled outcome(int status) { return status == 0 ? Handled::next : Handled::failed; }

// -e and -l: each takes an argument; without one the usage is shown.
Handled runOptionArgument(lua_State* L, char* argv[], int* i)
{
    char letter = argv[*i][1];
    const char* value = optionArgument(argv, i);
    if (value == nullptr)
        return outcome(printUsage());
    return outcome(letter == 'e' ? dostring(L, value, "=<command line>") : dolibrary(L, value));
}

// Handles the option argv[*i], moving *i past an argument it takes. An
// option is known by its second character, as the 5.0 interpreter knows it.
Handled handleOption(lua_State* L, char* argv[], int* i, bool* interactiveAfter)
{
    const char* arg = argv[*i];
    if (isListing(arg))
        return outcome(listing(L, argv, i));
    switch (arg[1]) {
    case '-': // `--' ends the options; anything longer is not an option
        if (arg[2] != '\0')
            return outcome(printUsage());
        ++*i;
        return Handled::endOfOptions;
    case '\0': return outcome(file_input(L, nullptr)); // `-': standard input, then go on
    case 'i': *interactiveAfter = true; return Handled::next;
    case 'v': printVersion(); return Handled::next;
    case 'e':
    case 'l': return runOptionArgument(L, argv, i);
    case 'c': l_message(progname, "option `-c' is deprecated"); return Handled::next;
    case 's': l_message(progname, "option `-s' is deprecated"); return Handled::next;
    default: return outcome(printUsage());
    }
}

// Without arguments a terminal talks; anything else is a script.
int noArguments(lua_State* L)
{
    if (!isatty(0))
        return file_input(L, nullptr);
    printVersion();
    interactive(L);
    return 0;
}

// Runs the options in order, then the script. The 5.0 interpreter goes on
// after a chunk from standard input fails and ends with success; here that
// failure ends the interpreter with failure, as any other option's does.
int handle_argv(lua_State* L, char* argv[], bool* interactiveAfter)
{
    if (argv[1] == nullptr)
        return noArguments(L);
    int i = 1;
    for (; argv[i] != nullptr && argv[i][0] == '-'; i++) {
        Handled handled = handleOption(L, argv, &i, interactiveAfter);
        if (handled == Handled::failed)
            return 1;
        if (handled == Handled::endOfOptions)
            break;
    }
    if (argv[i] == nullptr)
        return 0;
    getargs(L, argv, i);
    lua_setglobal(L, "arg");
    return file_input(L, argv[i]);
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
    globalL = L;
    run->status = handle_luainit(L);
    bool interactiveAfter = false;
    if (run->status == 0)
        run->status = handle_argv(L, run->argv, &interactiveAfter);
    if (run->status == 0 && interactiveAfter)
        interactive(L);
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
