#include "llex.h"

#include <cstdio>

#include "ldo.h"
#include "lgc.h"
#include "lparser.h"
#include "lstring.h"

namespace {

const char* const token2string[] = {
    "and",    "break",  "continue", "do",      "else",    "elseif",   "end",      "false", "for",
    "function", "if",   "in",       "local",   "nil",     "not",      "or",       "repeat", "return",
    "then",   "true",   "until",    "while",   "*name",   "..",       "...",      "==",    ">=",
    "<=",     "~=",     "*number",  "*string", "*wstring", "<<",      ">>",       "<eof>"};

bool isAsciiLetter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isAsciiDigit(int c) { return c >= '0' && c <= '9'; }
bool isHexDigit(int c) { return isAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int hexValue(int c) { return isAsciiDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }

// Reads the next character: a byte, or in a wide source a little-endian unit.
void next(LexState* ls)
{
    ls->work.step();
    if (ls->z->wide) {
        int lo = zgetc(ls->z);
        if (lo == EOZ) {
            ls->current = EOZ;
            return;
        }
        int hi = zgetc(ls->z);
        ls->current = hi == EOZ ? EOZ : (lo | (hi << 8));
    } else {
        ls->current = zgetc(ls->z);
    }
}

void save(LexState* ls, int c)
{
    if (ls->nbuff + 1 >= ls->buff->size)
        luaZ_openspace(ls->L, ls->buff, ls->buff->size * 2 + 32);
    ls->buff->buffer[ls->nbuff++] = static_cast<char>(c);
}

void save_and_next(LexState* ls)
{
    save(ls, ls->current);
    next(ls);
}

void resetbuffer(LexState* ls) { ls->nbuff = 0; }

const char* buffertext(LexState* ls)
{
    save(ls, '\0');
    ls->nbuff--;
    return ls->buff->buffer;
}

[[noreturn]] void lexerror(LexState* ls, const char* msg, int token)
{
    if (token == TK_EOS)
        luaX_errorline(ls, msg, luaX_token2str(ls, token), ls->linenumber);
    luaX_errorline(ls, msg, buffertext(ls), ls->linenumber);
}

void inclinenumber(LexState* ls)
{
    next(ls); // skip '\n'
    ++ls->linenumber;
    luaX_checklimit(ls, ls->linenumber, 2147483645, "lines in a chunk");
}

// Long strings and long comments: [[ ... ]], nesting counted.
void read_long_string(LexState* ls, SemInfo* seminfo)
{
    int depth = 0;
    resetbuffer(ls);
    save(ls, '[');
    save_and_next(ls); // second '['
    if (ls->current == '\n')
        inclinenumber(ls);
    for (;;) {
        switch (ls->current) {
        case EOZ: lexerror(ls, seminfo ? "unfinished long string" : "unfinished long comment", TK_EOS);
        case '[':
            save_and_next(ls);
            if (ls->current == '[') {
                depth++;
                save_and_next(ls);
            }
            break;
        case ']':
            save_and_next(ls);
            if (ls->current == ']') {
                if (depth == 0) {
                    save_and_next(ls);
                    if (seminfo)
                        seminfo->ts = luaS_newlstr(ls->L, ls->buff->buffer + 2, ls->nbuff - 4);
                    return;
                }
                depth--;
                save_and_next(ls);
            }
            break;
        case '\n':
            save(ls, '\n');
            inclinenumber(ls);
            if (!seminfo)
                resetbuffer(ls); // a comment's text is not kept
            break;
        default:
            if (seminfo)
                save(ls, ls->current);
            next(ls);
        }
    }
}

// A decimal escape of one to three digits, at most 255.
int read_decimal_escape(LexState* ls)
{
    int c = 0;
    int i = 0;
    do {
        c = 10 * c + (ls->current - '0');
        next(ls);
    } while (++i < 3 && isAsciiDigit(ls->current));
    if (c > 255)
        lexerror(ls, "escape sequence too large", TK_STRING);
    return c;
}

// `\x' with up to maxDigits hexadecimal digits; -1 when no digit follows.
int read_hex_escape(LexState* ls, int maxDigits)
{
    if (!isHexDigit(ls->current))
        return -1;
    int c = 0;
    for (int i = 0; i < maxDigits && isHexDigit(ls->current); i++) {
        c = c * 16 + hexValue(ls->current);
        next(ls);
    }
    return c;
}

// The character an escape stands for (after the backslash), or -1 when the
// escape produced nothing (a backslash at the end of the stream).
int read_escape(LexState* ls, int hexDigits)
{
    switch (ls->current) {
    case 'a': next(ls); return '\a';
    case 'b': next(ls); return '\b';
    case 'f': next(ls); return '\f';
    case 'n': next(ls); return '\n';
    case 'r': next(ls); return '\r';
    case 't': next(ls); return '\t';
    case 'v': next(ls); return '\v';
    case '\n':
        inclinenumber(ls);
        return '\n';
    case EOZ: return -1; // the loop reports the unfinished string
    case 'x': {
        next(ls);
        int c = read_hex_escape(ls, hexDigits);
        return c < 0 ? 'x' : c;
    }
    default:
        if (isAsciiDigit(ls->current))
            return read_decimal_escape(ls);
        int c = ls->current;
        next(ls);
        return c;
    }
}

void read_string(LexState* ls, int del, SemInfo* seminfo)
{
    resetbuffer(ls);
    save_and_next(ls);
    while (ls->current != del) {
        switch (ls->current) {
        case EOZ: lexerror(ls, "unfinished string", TK_EOS);
        case '\n': lexerror(ls, "unfinished string", TK_STRING);
        case '\\': {
            next(ls);
            int c = read_escape(ls, 2);
            if (c >= 0)
                save(ls, c & 0xFF);
            break;
        }
        default: save_and_next(ls); // a wide source keeps the unit's low byte
        }
    }
    save_and_next(ls); // closing delimiter
    seminfo->ts = luaS_newlstr(ls->L, ls->buff->buffer + 1, ls->nbuff - 2);
}

// L"..." : every character one 16-bit unit.
void read_wstring(LexState* ls, SemInfo* seminfo)
{
    resetbuffer(ls);
    ls->wbuff.clear();
    save(ls, 'L');
    save_and_next(ls); // opening quote
    while (ls->current != '"') {
        switch (ls->current) {
        case EOZ: lexerror(ls, "unfinished string", TK_EOS);
        case '\n': lexerror(ls, "unfinished string", TK_WSTRING);
        case '\\': {
            next(ls);
            int c = read_escape(ls, 4);
            if (c >= 0) {
                save(ls, c);
                ls->wbuff.push_back(static_cast<unsigned short>(c));
            }
            break;
        }
        default:
            ls->wbuff.push_back(static_cast<unsigned short>(ls->current));
            save_and_next(ls);
        }
    }
    save_and_next(ls);
    seminfo->ts = luaS_newlwstr(ls->L, ls->wbuff.data(), ls->wbuff.size());
}

// 0x followed by up to eight hexadecimal digits: the 32-bit pattern as a
// signed integer. The character right after the x always counts as one.
void read_hex_numeral(LexState* ls, SemInfo* seminfo)
{
    save_and_next(ls); // 'x'
    uint32_t value = 0;
    for (int count = 0; count < 8; count++) {
        int c = ls->current;
        if (count > 0 && !isHexDigit(c))
            break;
        if (c == EOZ)
            break;
        if (isHexDigit(c))
            value = value * 16 + static_cast<uint32_t>(hexValue(c));
        if (c == '\n') {
            inclinenumber(ls);
            continue;
        }
        save_and_next(ls);
    }
    seminfo->r = static_cast<lua_Number>(static_cast<int32_t>(value));
}

void read_numeral(LexState* ls, bool startsWithDot, SemInfo* seminfo)
{
    resetbuffer(ls);
    bool integer = true;
    if (startsWithDot) {
        save(ls, '.');
        integer = false;
    } else if (ls->current == '0') {
        save_and_next(ls);
        if (ls->current == 'x') {
            read_hex_numeral(ls, seminfo);
            return;
        }
    }
    while (isAsciiDigit(ls->current))
        save_and_next(ls);
    if (ls->current == '.') {
        integer = false;
        save_and_next(ls);
        if (ls->current == '.') {
            save_and_next(ls);
            lexerror(ls, "ambiguous syntax (decimal point x string concatenation)", TK_NUMBER);
        }
    }
    while (isAsciiDigit(ls->current))
        save_and_next(ls);
    if (ls->current == 'e' || ls->current == 'E') {
        integer = false;
        save_and_next(ls);
        if (ls->current == '+' || ls->current == '-')
            save_and_next(ls);
        while (isAsciiDigit(ls->current))
            save_and_next(ls);
    }
    if (!luaO_str2d(buffertext(ls), &seminfo->r))
        lexerror(ls, integer ? "malformed integer" : "malformed number", TK_NUMBER);
}

} // namespace

void luaX_init(lua_State* L)
{
    for (int i = 0; i < NUM_RESERVED; i++) {
        TString* ts = luaS_new(L, token2string[i]);
        luaS_fix(ts);
        ts->reserved = static_cast<lu_byte>(i + 1);
    }
}

void luaX_checklimit(LexState* ls, int val, int limit, const char* msg)
{
    if (val > limit) {
        msg = luaO_pushfstring(ls->L, "too many %s (limit=%d)", msg, limit);
        luaX_syntaxerror(ls, msg);
    }
}

// Syntax errors show more of the chunk name than run-time errors do.
constexpr int MAXSRC = 80;

void luaX_errorline(LexState* ls, const char* s, const char* token, int line)
{
    char buff[MAXSRC];
    luaO_chunkid(buff, getstr(ls->source), MAXSRC);
    luaO_pushfstring(ls->L, "%s:%d: %s near `%s'", buff, line, s, token);
    luaD_throw(ls->L, LUA_ERRSYNTAX);
}

void luaX_syntaxerror(LexState* ls, const char* msg)
{
    const char* lasttoken;
    switch (ls->t.token) {
    case TK_NAME: lasttoken = getstr(ls->t.seminfo.ts); break;
    case TK_STRING:
    case TK_WSTRING:
    case TK_NUMBER: lasttoken = buffertext(ls); break;
    default: lasttoken = luaX_token2str(ls, ls->t.token); break;
    }
    luaX_errorline(ls, msg, lasttoken, ls->linenumber);
}

const char* luaX_token2str(LexState* ls, int token)
{
    if (token < FIRST_RESERVED) {
        if (token < 32 || token == 127)
            return luaO_pushfstring(ls->L, "char(%d)", token);
        if (token > 255)
            return luaO_pushfstring(ls->L, "char(%d)", token);
        return luaO_pushfstring(ls->L, "%c", token);
    }
    return token2string[token - FIRST_RESERVED];
}

void luaX_setinput(lua_State* L, LexState* LS, ZIO* z, TString* source)
{
    LS->L = L;
    LS->lookahead.token = TK_EOS;
    LS->z = z;
    LS->fs = nullptr;
    LS->linenumber = 1;
    LS->lastline = 1;
    LS->source = source;
    LS->nbuff = 0;
    LS->nestlevel = 0;
    LS->work = WorkSteps(L);
    next(LS);
    if (LS->current == '#') { // skip a first line starting with `#' (as in "#!/bin/lua")
        do {
            next(LS);
        } while (LS->current != '\n' && LS->current != EOZ);
    }
}

int luaX_lex(LexState* ls, SemInfo* seminfo)
{
    for (;;) {
        switch (ls->current) {
        case '\n': inclinenumber(ls); continue;
        case '-':
            next(ls);
            if (ls->current != '-')
                return '-';
            next(ls);
            if (ls->current == '[') {
                next(ls);
                if (ls->current == '[') {
                    read_long_string(ls, nullptr);
                    continue;
                }
            }
            while (ls->current != '\n' && ls->current != EOZ)
                next(ls);
            continue;
        case '[':
            next(ls);
            if (ls->current != '[')
                return '[';
            read_long_string(ls, seminfo);
            return TK_STRING;
        case '=':
            next(ls);
            if (ls->current != '=')
                return '=';
            next(ls);
            return TK_EQ;
        case '<':
            next(ls);
            if (ls->current == '=') {
                next(ls);
                return TK_LE;
            }
            if (ls->current == '<') {
                next(ls);
                return TK_SHL;
            }
            return '<';
        case '>':
            next(ls);
            if (ls->current == '=') {
                next(ls);
                return TK_GE;
            }
            if (ls->current == '>') {
                next(ls);
                return TK_SHR;
            }
            return '>';
        case '~':
            next(ls);
            if (ls->current != '=')
                return '~';
            next(ls);
            return TK_NE;
        case '"':
        case '\'': read_string(ls, ls->current, seminfo); return TK_STRING;
        case '.':
            resetbuffer(ls);
            save_and_next(ls);
            if (ls->current == '.') {
                next(ls);
                if (ls->current == '.') {
                    next(ls);
                    return TK_DOTS;
                }
                return TK_CONCAT;
            }
            if (!isAsciiDigit(ls->current))
                return '.';
            read_numeral(ls, true, seminfo);
            return TK_NUMBER;
        case EOZ: return TK_EOS;
        default:
            if (ls->current == ' ' || ls->current == '\t' || ls->current == '\r' || ls->current == '\f' ||
                ls->current == '\v') {
                next(ls);
                continue;
            }
            if (isAsciiDigit(ls->current)) {
                read_numeral(ls, false, seminfo);
                return TK_NUMBER;
            }
            if (isAsciiLetter(ls->current)) {
                resetbuffer(ls);
                if (ls->current == 'L') {
                    next(ls);
                    if (ls->current == '"') {
                        read_wstring(ls, seminfo);
                        return TK_WSTRING;
                    }
                    save(ls, 'L');
                }
                while (isAsciiLetter(ls->current) || isAsciiDigit(ls->current))
                    save_and_next(ls);
                TString* ts = luaS_newlstr(ls->L, ls->buff->buffer, ls->nbuff);
                if (ts->reserved > 0)
                    return ts->reserved - 1 + FIRST_RESERVED;
                seminfo->ts = ts;
                return TK_NAME;
            }
            int c = ls->current;
            if (c >= 255) {
                luaX_errorline(ls, "invalid wide char", luaO_pushfstring(ls->L, "char(%d)", c), ls->linenumber);
            }
            if (c < 32 || c == 127)
                luaX_errorline(ls, "invalid control char", luaO_pushfstring(ls->L, "char(%d)", c), ls->linenumber);
            next(ls);
            return c;
        }
    }
}
