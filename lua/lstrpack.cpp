// The dialect's string functions kept apart from the stock library:
// `lualex' (escape sequences expanded at run time), `pack' and `unpack'
// (binary records, with wide strings through the `w' prefix).
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lauxlib.h"
#include "lstrlib.h"
#include "lua.h"
#include "lwork.h"

namespace {

int hexValue(int c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

} // namespace

// string.lualex(s, wide): `\x' takes up to two hexadecimal digits (four in
// wide mode) and always writes its value as two bytes, low byte first; the
// other escapes write one byte. In wide mode every other output byte is
// also widened to a unit (two bytes), so the result reads as UTF-16LE.
int str_lualex(lua_State* L)
{
    size_t l;
    const char* s = luaL_checklstring(L, 1, &l);
    // non-zero after truncation, without converting huge values to an integer
    lua_Number mode = luaL_checknumber(L, 2);
    bool wide = mode >= 1 || mode <= -1;
    std::string out;
    auto put = [&](int byte) {
        out += static_cast<char>(byte & 0xFF);
        if (wide)
            out += '\0';
    };
    WorkSteps work(L); // a long text takes long in this one call
    for (size_t i = 0; i < l; i++) {
        work.step();
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c != '\\') {
            put(c);
            continue;
        }
        if (++i >= l) { // a backslash at the very end
            put(0);
            break;
        }
        c = static_cast<unsigned char>(s[i]);
        switch (c) {
        case 'a': put('\a'); break;
        case 'b': put('\b'); break;
        case 'f': put('\f'); break;
        case 'n': put('\n'); break;
        case 'r': put('\r'); break;
        case 't': put('\t'); break;
        case 'v': put('\v'); break;
        case 'x': {
            int maxDigits = wide ? 4 : 2;
            int value = 0;
            int digits = 0;
            while (digits < maxDigits && i + 1 < l && std::isxdigit(static_cast<unsigned char>(s[i + 1]))) {
                value = value * 16 + hexValue(static_cast<unsigned char>(s[++i]));
                digits++;
            }
            if (digits == 0) {
                put('x');
            } else {
                out += static_cast<char>(value & 0xFF);
                out += static_cast<char>((value >> 8) & 0xFF);
            }
            break;
        }
        default:
            if (std::isdigit(c)) {
                int value = 0;
                int digits = 0;
                i--;
                while (digits < 3 && i + 1 < l && std::isdigit(static_cast<unsigned char>(s[i + 1]))) {
                    value = value * 10 + (s[++i] - '0');
                    digits++;
                }
                put(value % 256);
            } else {
                put(c);
            }
        }
    }
    lua_pushlstring(L, out.data(), out.size());
    return 1;
}


// ---- pack and unpack ---------------------------------------------------------------

namespace {

bool nativeLittle()
{
    uint16_t one = 1;
    unsigned char b;
    std::memcpy(&b, &one, 1);
    return b == 1;
}

struct FormatItem {
    bool wide = false;
    char code = 0;
    int count = 1;
    bool hasCount = false;
};

struct FormatReader {
    lua_State* L;
    const char* p;
    const char* end;

    // The next item, or false at the end of the format.
    bool next(FormatItem& item)
    {
        while (p < end && (*p == ' ' || *p == ','))
            p++;
        if (p >= end)
            return false;
        item = FormatItem{};
        if (*p == 'w') {
            item.wide = true;
            p++;
            if (p >= end)
                badCode('w');
        }
        item.code = *p++;
        if (item.code < 32 || item.code > 122)
            badCode(item.code);
        if (item.code == '@')
            return true; // its digits are read by pack
        if (p < end && std::isdigit(static_cast<unsigned char>(*p))) {
            long n = 0;
            while (p < end && std::isdigit(static_cast<unsigned char>(*p))) {
                if (n < 100000000)
                    n = n * 10 + (*p - '0');
                p++;
            }
            item.hasCount = true;
            item.count = n == 0 ? 1 : static_cast<int>(n);
        }
        return true;
    }

    long number()
    {
        long n = 0;
        while (p < end && std::isdigit(static_cast<unsigned char>(*p))) {
            if (n < 100000000)
                n = n * 10 + (*p - '0');
            p++;
        }
        return n;
    }

    [[noreturn]] void badCode(char c)
    {
        char msg[32];
        std::snprintf(msg, sizeof(msg), "bad code `%c'", c);
        luaL_argerror(L, 1, msg);
        std::abort(); // not reached: luaL_argerror raises
    }
};

struct Packer {
    std::string out;
    bool little = nativeLittle();

    void bytes(const void* v, size_t n)
    {
        const auto* b = static_cast<const unsigned char*>(v);
        if (little == nativeLittle()) {
            out.append(reinterpret_cast<const char*>(b), n);
        } else {
            for (size_t i = n; i > 0; i--)
                out += static_cast<char>(b[i - 1]);
        }
    }
    void u8(uint8_t v) { out += static_cast<char>(v); }
    void u16(uint16_t v) { bytes(&v, 2); }
    void u32(uint32_t v) { bytes(&v, 4); }
    void units(const unsigned short* s, size_t n)
    {
        for (size_t i = 0; i < n; i++)
            u16(s[i]);
    }
};

// Truncation toward zero, then the low bits (values beyond 64 bits keep 0).
uint64_t truncatedBits(lua_Number x)
{
    if (!(std::fabs(x) < 9.2e18))
        return 0;
    return static_cast<uint64_t>(static_cast<int64_t>(x));
}

uint32_t clampedU32(lua_Number x)
{
    if (!(x > 0))
        return 0;
    if (x >= 4294967295.0)
        return 4294967295u;
    return static_cast<uint32_t>(x);
}

int str_pack(lua_State* L)
{
    size_t flen;
    const char* fmt = luaL_checklstring(L, 1, &flen);
    FormatReader reader{L, fmt, fmt + flen};
    Packer pk;
    int arg = 2;
    // padded field: N bytes from the mark, filled with `fill'
    bool fieldOpen = false;
    bool fieldClosed = false;
    long fieldSize = 0;
    size_t fieldMark = 0;
    int fill = 0;
    FormatItem item;
    while (reader.next(item)) {
        switch (item.code) {
        case '<': pk.little = true; continue;
        case '>': pk.little = false; continue;
        case '=': pk.little = nativeLittle(); continue;
        case '@':
            if (fieldClosed)
                continue;
            if (!fieldOpen) {
                fieldSize = reader.number();
                if (reader.p < reader.end && *reader.p == ':') {
                    reader.p++;
                    fill = static_cast<int>(reader.number() % 256);
                }
                fieldMark = pk.out.size();
                fieldOpen = true;
            } else {
                // total bytes written since the mark decide the padding
                while (static_cast<long>(pk.out.size() - fieldMark) < fieldSize)
                    pk.out += static_cast<char>(fill);
                fieldOpen = false;
                fieldClosed = true;
            }
            continue;
        default: break;
        }
        for (int rep = 0; rep < item.count; rep++, arg++) {
            switch (item.code) {
            case 'z':
            case 'A':
            case 'a':
            case 'p':
            case 'P': {
                size_t len;
                const char* s = nullptr;
                const unsigned short* w = nullptr;
                if (item.wide)
                    w = luaL_checklwstring(L, arg, &len);
                else
                    s = luaL_checklstring(L, arg, &len);
                if (item.code == 'a') {
                    luaL_argcheck(L, len <= 0xFFFFFFFFu, arg, "string too long for its length field");
                    pk.u32(static_cast<uint32_t>(len));
                } else if (item.code == 'p') {
                    luaL_argcheck(L, len <= 0xFF, arg, "string too long for its length field");
                    pk.u8(static_cast<uint8_t>(len));
                } else if (item.code == 'P') {
                    luaL_argcheck(L, len <= 0xFFFF, arg, "string too long for its length field");
                    pk.u16(static_cast<uint16_t>(len));
                }
                if (item.wide)
                    pk.units(w, len);
                else
                    pk.out.append(s, len);
                if (item.code == 'z') {
                    if (item.wide)
                        pk.u16(0);
                    else
                        pk.u8(0);
                }
                break;
            }
            case 'B':
                if (lua_type(L, arg) != LUA_TBOOLEAN)
                    luaL_argerror(L, arg, "expected a boolean");
                pk.u8(lua_toboolean(L, arg) ? 1 : 0);
                break;
            case 'b':
            case 'c': pk.u8(static_cast<uint8_t>(truncatedBits(luaL_checknumber(L, arg)))); break;
            case 'h':
            case 'H': pk.u16(static_cast<uint16_t>(truncatedBits(luaL_checknumber(L, arg)))); break;
            case 'i':
            case 'l': pk.u32(static_cast<uint32_t>(truncatedBits(luaL_checknumber(L, arg)))); break;
            case 'I':
            case 'L': pk.u32(clampedU32(luaL_checknumber(L, arg))); break;
            case 'f': {
                float f = static_cast<float>(luaL_checknumber(L, arg));
                pk.bytes(&f, sizeof(f));
                break;
            }
            case 'd':
            case 'n': {
                double d = luaL_checknumber(L, arg);
                pk.bytes(&d, sizeof(d));
                break;
            }
            default: reader.badCode(item.code);
            }
        }
    }
    lua_pushlstring(L, pk.out.data(), pk.out.size());
    return 1;
}

struct Unpacker {
    const unsigned char* data;
    size_t size;
    size_t pos;
    bool little = nativeLittle();

    bool fits(size_t n) const { return pos <= size && size - pos >= n; }
    void read(void* v, size_t n)
    {
        auto* b = static_cast<unsigned char*>(v);
        if (little == nativeLittle()) {
            std::memcpy(b, data + pos, n);
        } else {
            for (size_t i = 0; i < n; i++)
                b[i] = data[pos + n - 1 - i];
        }
        pos += n;
    }
    uint16_t u16()
    {
        uint16_t v;
        read(&v, 2);
        return v;
    }
    uint32_t u32()
    {
        uint32_t v;
        read(&v, 4);
        return v;
    }
};

// Pushes `n' bytes (or units) as a narrow (or wide) string, advancing.
void pushData(lua_State* L, Unpacker& u, size_t n, bool wide)
{
    if (!wide) {
        lua_pushlstring(L, reinterpret_cast<const char*>(u.data + u.pos), n);
        u.pos += n;
        return;
    }
    std::vector<unsigned short> units(n);
    for (size_t i = 0; i < n; i++)
        units[i] = u.u16();
    lua_pushlwstring(L, units.data(), n);
}

int str_unpack(lua_State* L)
{
    size_t dlen;
    const char* data = luaL_checklstring(L, 1, &dlen);
    size_t flen;
    const char* fmt = luaL_checklstring(L, 2, &flen);
    lua_Number init = luaL_optnumber(L, 3, 1);
    if (!(init >= 1 && init <= static_cast<lua_Number>(dlen) + 1)) {
        lua_pushnumber(L, init); // out of range: just the position
        return 1;
    }
    Unpacker u{reinterpret_cast<const unsigned char*>(data), dlen, static_cast<size_t>(init) - 1};
    FormatReader reader{L, fmt, fmt + flen};
    lua_pushnil(L); // the position, filled in at the end
    int posIndex = lua_gettop(L);
    int results = 1;
    FormatItem item;
    bool stopped = false;
    while (!stopped && reader.next(item)) {
        switch (item.code) {
        case '<': u.little = true; continue;
        case '>': u.little = false; continue;
        case '=': u.little = nativeLittle(); continue;
        default: break;
        }
        int repeats = item.code == 'A' ? 1 : item.count;
        for (int rep = 0; rep < repeats && !stopped; rep++) {
            size_t start = u.pos;
            size_t unit = item.wide ? 2 : 1;
            luaL_checkstack(L, 2, "too many results to unpack");
            switch (item.code) {
            case 'z': {
                if (u.pos >= u.size) {
                    stopped = true;
                    break;
                }
                size_t n = 0;
                while (u.fits((n + 1) * unit)) {
                    bool zero = item.wide ? (u.data[u.pos + 2 * n] == 0 && u.data[u.pos + 2 * n + 1] == 0)
                                          : u.data[u.pos + n] == 0;
                    if (zero)
                        break;
                    n++;
                }
                pushData(L, u, n, item.wide);
                if (u.fits(unit))
                    u.pos += unit; // the terminating zero is consumed
                results++;
                break;
            }
            case 'A': {
                size_t n = static_cast<size_t>(item.count);
                if (!u.fits(n * unit)) {
                    stopped = true;
                    break;
                }
                pushData(L, u, n, item.wide);
                results++;
                break;
            }
            case 'a':
            case 'p':
            case 'P': {
                size_t lenSize = item.code == 'a' ? 4 : item.code == 'P' ? 2 : 1;
                if (!u.fits(lenSize)) {
                    stopped = true;
                    break;
                }
                size_t n = item.code == 'a' ? u.u32() : item.code == 'P' ? u.u16() : u.data[u.pos++];
                if (!u.fits(n * unit)) {
                    u.pos = start;
                    stopped = true;
                    break;
                }
                pushData(L, u, n, item.wide);
                results++;
                break;
            }
            case 'B':
            case 'b':
            case 'c':
                if (!u.fits(1)) {
                    stopped = true;
                    break;
                }
                if (item.code == 'B')
                    lua_pushboolean(L, u.data[u.pos] != 0);
                else if (item.code == 'b')
                    lua_pushnumber(L, u.data[u.pos]);
                else
                    lua_pushnumber(L, static_cast<int8_t>(u.data[u.pos]));
                u.pos++;
                results++;
                break;
            case 'h':
            case 'H': {
                if (!u.fits(2)) {
                    stopped = true;
                    break;
                }
                uint16_t v = u.u16();
                lua_pushnumber(L, item.code == 'h' ? static_cast<lua_Number>(static_cast<int16_t>(v)) : v);
                results++;
                break;
            }
            case 'i':
            case 'l':
            case 'I':
            case 'L': {
                if (!u.fits(4)) {
                    stopped = true;
                    break;
                }
                uint32_t v = u.u32();
                bool isSigned = item.code == 'i' || item.code == 'l';
                lua_pushnumber(L, isSigned ? static_cast<lua_Number>(static_cast<int32_t>(v)) : v);
                results++;
                break;
            }
            case 'f': {
                if (!u.fits(4)) {
                    stopped = true;
                    break;
                }
                float f;
                u.read(&f, 4);
                lua_pushnumber(L, f);
                results++;
                break;
            }
            case 'd':
            case 'n': {
                if (!u.fits(8)) {
                    stopped = true;
                    break;
                }
                double d;
                u.read(&d, 8);
                lua_pushnumber(L, d);
                results++;
                break;
            }
            default: reader.badCode(item.code);
            }
            if (stopped)
                u.pos = start;
        }
    }
    lua_pushnumber(L, static_cast<lua_Number>(u.pos + 1));
    lua_replace(L, posIndex);
    return results;
}

} // namespace

const luaL_reg strpacklib[] = {{"pack", str_pack}, {"unpack", str_unpack}, {nullptr, nullptr}};
