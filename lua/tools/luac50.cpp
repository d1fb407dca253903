// luac50: compiles a Lua source of our dialect to a precompiled chunk.
//
//   luac50 [options] file
//     -o name  output to file `name' (default "luac.out")
//     -l       list the compiled code
//     -p       parse only
//     -B       write a big-endian chunk
//     -L       write a little-endian chunk (default: the machine's order)
//     -v       show version information
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lauxlib.h"
#include "listing.h"
#include "lobject.h"
#include "lua.h"
#include "lundump.h"

namespace {

const char* progname = "luac50";

[[noreturn]] void fatal(const char* message)
{
    std::fprintf(stderr, "%s: %s\n", progname, message);
    std::exit(EXIT_FAILURE);
}

void usage(const char* message)
{
    if (message)
        std::fprintf(stderr, "%s: %s\n", progname, message);
    std::fprintf(stderr,
                 "usage: %s [options] file\n"
                 "  -o name  output to file `name' (default \"luac.out\")\n"
                 "  -l       list\n"
                 "  -p       parse only\n"
                 "  -B       write a big-endian chunk\n"
                 "  -L       write a little-endian chunk\n"
                 "  -v       show version information\n",
                 progname);
    std::exit(EXIT_FAILURE);
}

int writer(lua_State*, const void* p, size_t size, void* u)
{
    return std::fwrite(p, size, 1, static_cast<FILE*>(u)) == 1 || size == 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const char* output = "luac.out";
    bool listing = false;
    bool parseOnly = false;
    int bigEndian = -1;
    const char* input = nullptr;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "-o") == 0) {
            if (++i >= argc)
                usage("`-o' needs an argument");
            output = argv[i];
        } else if (std::strcmp(argv[i], "-l") == 0) {
            listing = true;
        } else if (std::strcmp(argv[i], "-p") == 0) {
            parseOnly = true;
        } else if (std::strcmp(argv[i], "-B") == 0) {
            bigEndian = 1;
        } else if (std::strcmp(argv[i], "-L") == 0) {
            bigEndian = 0;
        } else if (std::strcmp(argv[i], "-v") == 0) {
            std::printf("%s  %s\n", LUA_VERSION, LUA_COPYRIGHT);
            return EXIT_SUCCESS;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            usage("unrecognized option");
        } else if (input == nullptr) {
            input = argv[i];
        } else {
            usage("only one input file");
        }
    }
    if (input == nullptr)
        usage("no input file given");
    lua_State* L = lua_open();
    if (L == nullptr)
        fatal("not enough memory for state");
    if (luaL_loadfile(L, std::strcmp(input, "-") == 0 ? nullptr : input) != 0)
        fatal(lua_tostring(L, -1));
    const Proto* f = clvalue(L->top - 1)->l.p;
    if (listing)
        luaU_print(f, stdout);
    if (!parseOnly) {
        FILE* out = std::fopen(output, "wb");
        if (out == nullptr)
            fatal("cannot open output file");
        luaU_dump(L, f, writer, out, bigEndian);
        if (std::ferror(out) || std::fclose(out) != 0)
            fatal("cannot write output file");
    }
    lua_close(L);
    return EXIT_SUCCESS;
}
