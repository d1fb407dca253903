// The lexer: 8-bit or UTF-16LE source text to tokens.
#pragma once

#include <vector>

#include "lobject.h"
#include "lwork.h"
#include "lzio.h"

constexpr int FIRST_RESERVED = 257;

enum RESERVED {
    // terminal symbols denoted by reserved words
    TK_AND = FIRST_RESERVED,
    TK_BREAK,
    TK_CONTINUE,
    TK_DO,
    TK_ELSE,
    TK_ELSEIF,
    TK_END,
    TK_FALSE,
    TK_FOR,
    TK_FUNCTION,
    TK_IF,
    TK_IN,
    TK_LOCAL,
    TK_NIL,
    TK_NOT,
    TK_OR,
    TK_REPEAT,
    TK_RETURN,
    TK_THEN,
    TK_TRUE,
    TK_UNTIL,
    TK_WHILE,
    // other terminal symbols
    TK_NAME,
    TK_CONCAT,
    TK_DOTS,
    TK_EQ,
    TK_GE,
    TK_LE,
    TK_NE,
    TK_NUMBER,
    TK_STRING,
    TK_WSTRING,
    TK_SHL,
    TK_SHR,
    TK_EOS
};

constexpr int NUM_RESERVED = TK_WHILE - FIRST_RESERVED + 1;

struct SemInfo {
    lua_Number r;
    TString* ts;
};

struct Token {
    int token;
    SemInfo seminfo;
};

struct FuncState;

struct LexState {
    int current;     // current character (a byte, or a UTF-16 unit in a wide source)
    int linenumber;
    int lastline;    // line of the last token consumed
    Token t;         // current token
    Token lookahead;
    FuncState* fs;
    lua_State* L;
    ZIO* z;
    Mbuffer* buff;   // text of the token being read (for messages)
    size_t nbuff;    // bytes used in buff
    std::vector<unsigned short> wbuff; // units of a wide literal
    TString* source;
    int nestlevel;
    // A long text takes long to read in one call (loadstring): the host's
    // hook gets its turns, a step a character.
    WorkSteps work{nullptr};
};

void luaX_init(lua_State* L);
void luaX_setinput(lua_State* L, LexState* LS, ZIO* z, TString* source);
int luaX_lex(LexState* LS, SemInfo* seminfo);
void luaX_checklimit(LexState* ls, int val, int limit, const char* msg);
[[noreturn]] void luaX_syntaxerror(LexState* ls, const char* s);
[[noreturn]] void luaX_errorline(LexState* ls, const char* s, const char* token, int line);
const char* luaX_token2str(LexState* ls, int token);
