#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ldo.h"
#include "lmem.h"
#include "lobject.h"
#include "lstring.h"
#include "lvm.h"

const TObject luaO_nilobject = {LUA_TNIL, {nullptr}};

int luaO_log2(unsigned int x)
{
    int l = -1;
    while (x) {
        x >>= 1;
        l++;
    }
    return l;
}

// "Floating point byte" encoding of table sizes in NEWTABLE: (mmmmmxxx)
// is (xxx) * 2^(mmmmm), rounding the size up.
int luaO_int2fb(unsigned int x)
{
    int m = 0;
    while (x >= (1u << 3)) {
        x = (x + 1) >> 1;
        m++;
    }
    return (m << 3) | static_cast<int>(x);
}

int luaO_fb2int(int x) { return (x & 7) << (x >> 3); }

int luaO_rawequalObj(const TObject* t1, const TObject* t2)
{
    if (ttype(t1) != ttype(t2))
        return 0;
    switch (ttype(t1)) {
    case LUA_TNIL: return 1;
    case LUA_TNUMBER: return nvalue(t1) == nvalue(t2);
    case LUA_TBOOLEAN: return bvalue(t1) == bvalue(t2);
    case LUA_TLIGHTUSERDATA: return pvalue(t1) == pvalue(t2);
    default: return gcvalue(t1) == gcvalue(t2);
    }
}

int luaO_str2d(const char* s, lua_Number* result)
{
    char* endptr;
    lua_Number res = std::strtod(s, &endptr);
    if (endptr == s)
        return 0;
    while (std::isspace(static_cast<unsigned char>(*endptr)))
        endptr++;
    if (*endptr != '\0')
        return 0;
    *result = res;
    return 1;
}

// Whole numbers of up to 14 digits, which "%.14g" writes as plain digits,
// are written here without the C library's floating-point formatting: they
// are most of the numbers scripts turn into text.
void lua_number2str(char* buf, lua_Number n)
{
    if (n > -1e14 && n < 1e14 && n == static_cast<lua_Number>(static_cast<long long>(n)) &&
        !(n == 0 && std::signbit(n))) {
        long long whole = static_cast<long long>(n);
        unsigned long long digits = whole < 0 ? 0ull - static_cast<unsigned long long>(whole) : whole;
        char reversed[16];
        int count = 0;
        do {
            reversed[count++] = static_cast<char>('0' + digits % 10);
            digits /= 10;
        } while (digits != 0);
        if (whole < 0)
            *buf++ = '-';
        while (count > 0)
            *buf++ = reversed[--count];
        *buf = '\0';
        return;
    }
    std::snprintf(buf, 32, LUA_NUMBER_FMT, n);
}

static void pushstr(lua_State* L, const char* str, size_t len)
{
    setsvalue(L->top, luaS_newlstr(L, str, len));
    incr_top(L);
}

// Formats into a new string on the stack: %s %d %c %f %p %% only.
const char* luaO_pushvfstring(lua_State* L, const char* fmt, va_list argp)
{
    int n = 1;
    pushstr(L, "", 0);
    for (;;) {
        const char* e = std::strchr(fmt, '%');
        if (e == nullptr)
            break;
        pushstr(L, fmt, static_cast<size_t>(e - fmt));
        char buff[64];
        switch (*(e + 1)) {
        case 's': {
            const char* s = va_arg(argp, char*);
            if (s == nullptr)
                s = "(null)";
            pushstr(L, s, std::strlen(s));
            break;
        }
        case 'c':
            buff[0] = static_cast<char>(va_arg(argp, int));
            pushstr(L, buff, 1);
            break;
        case 'd':
            std::snprintf(buff, sizeof(buff), "%d", va_arg(argp, int));
            pushstr(L, buff, std::strlen(buff));
            break;
        case 'f':
            lua_number2str(buff, static_cast<lua_Number>(va_arg(argp, double)));
            pushstr(L, buff, std::strlen(buff));
            break;
        case 'p':
            std::snprintf(buff, sizeof(buff), "%p", va_arg(argp, void*));
            pushstr(L, buff, std::strlen(buff));
            break;
        case '%': pushstr(L, "%", 1); break;
        default: {
            char rest[3] = {'%', *(e + 1), '\0'};
            pushstr(L, rest, *(e + 1) ? 2 : 1);
            if (*(e + 1) == '\0') {
                n += 2;
                fmt = e + 1;
                goto done;
            }
        }
        }
        n += 2;
        fmt = e + 2;
    }
done:
    pushstr(L, fmt, std::strlen(fmt));
    luaV_concat(L, n + 1, static_cast<int>(L->top - L->base) - 1);
    L->top -= n;
    return svalue(L->top - 1);
}

const char* luaO_pushfstring(lua_State* L, const char* fmt, ...)
{
    va_list argp;
    va_start(argp, fmt);
    const char* msg = luaO_pushvfstring(L, fmt, argp);
    va_end(argp);
    return msg;
}

// The chunk id used in messages: "=name" gives name, "@file" gives the file
// name (its end, when too long), any other source gives [string "first line..."].
void luaO_chunkid(char* out, const char* source, int bufflen)
{
    if (*source == '=') {
        std::strncpy(out, source + 1, static_cast<size_t>(bufflen));
        out[bufflen - 1] = '\0';
        return;
    }
    if (*source == '@') {
        source++;
        int room = bufflen - static_cast<int>(sizeof(" `...' "));
        int l = static_cast<int>(std::strlen(source));
        out[0] = '\0';
        if (l > room) {
            source += l - room;
            std::strcat(out, "...");
        }
        std::strcat(out, source);
        return;
    }
    int len = static_cast<int>(std::strcspn(source, "\n"));
    int room = bufflen - static_cast<int>(sizeof(" [string \"...\"] "));
    if (len > room)
        len = room;
    std::strcpy(out, "[string \"");
    if (source[len] != '\0') {
        std::strncat(out, source, static_cast<size_t>(len));
        std::strcat(out, "...");
    } else {
        std::strcat(out, source);
    }
    std::strcat(out, "\"]");
}
