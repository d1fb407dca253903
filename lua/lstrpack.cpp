// string.lualex: escape sequences expanded at run time (dialect).
#include <cctype>
#include <string>

#include "lauxlib.h"
#include "lstrlib.h"
#include "lua.h"

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
    bool wide = static_cast<long>(luaL_optnumber(L, 2, 0)) != 0;
    std::string out;
    auto put = [&](int byte) {
        out += static_cast<char>(byte & 0xFF);
        if (wide)
            out += '\0';
    };
    for (size_t i = 0; i < l; i++) {
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

const luaL_reg strpacklib[] = {{nullptr, nullptr}};
