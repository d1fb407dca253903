// Values and collectable objects of the Lua core, and the per-thread and
// global state. Every collectable object starts with the common header and
// lives in one list (the global state's rootgc) so a mark-and-sweep
// collector can reach all of them; strings live in the string table instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "lua.h"

using lu_byte = unsigned char;
using lu_int32 = uint32_t;
using lu_mem = size_t;
using ls_nstr = int;
using Instruction = uint32_t;

// Internal tags, one past the dialect's wide string.
constexpr int LUA_TPROTO = 10;
constexpr int LUA_TUPVAL = 11;
constexpr int NUM_TAGS = 11; // tags with a default metatable slot: 0..10

union GCObject;
struct Table;
struct TString;
struct Proto;
struct UpVal;
struct Udata;
union Closure;

#define CommonHeader \
    GCObject* next;  \
    lu_byte tt;      \
    lu_byte marked

struct GCheader {
    CommonHeader;
};

union Value {
    GCObject* gc;
    void* p;
    lua_Number n;
    int b;
};

struct TObject {
    int tt;
    Value value;
};

using StkId = TObject*;

struct TString {
    CommonHeader;
    lu_byte reserved; // index+1 of a reserved word, or 1 for fixed strings
    unsigned int hash;
    size_t len; // in bytes, or in 16-bit units for a wide string
    // the characters (or units) follow, with a terminating zero
};

inline const char* getstr(const TString* ts) { return reinterpret_cast<const char*>(ts + 1); }
inline char* getstr(TString* ts) { return reinterpret_cast<char*>(ts + 1); }
inline const unsigned short* getwstr(const TString* ts)
{
    return reinterpret_cast<const unsigned short*>(ts + 1);
}

struct Udata {
    CommonHeader;
    Table* metatable;
    size_t len; // always even; 1 marks a box holding one pointer
    // the block follows
};

inline void* udataBlock(Udata* u) { return reinterpret_cast<char*>(u) + sizeof(Udata); }
constexpr size_t USERDATA_BOX = 1;

struct LocVar {
    TString* varname;
    int startpc; // first point where variable is active
    int endpc;   // first point where variable is dead
};

struct Proto {
    CommonHeader;
    TObject* k;          // constants
    Instruction* code;
    Proto** p;           // functions defined inside this one
    int* lineinfo;       // line of each instruction
    LocVar* locvars;     // debug information of locals
    TString** upvalues;  // upvalue names
    TString* source;
    int sizeupvalues;
    int sizek;
    int sizecode;
    int sizelineinfo;
    int sizep;
    int sizelocvars;
    int lineDefined;
    GCObject* gclist;
    lu_byte nups;
    lu_byte numparams;
    lu_byte is_vararg;
    lu_byte maxstacksize;
};

struct UpVal {
    CommonHeader;
    TObject* v;    // points into the stack while open, to `value' once closed
    TObject value; // the value once closed
};

#define ClosureHeader \
    CommonHeader;     \
    lu_byte isC;      \
    lu_byte nupvalues; \
    GCObject* gclist; \
    TObject g /* environment */

struct CClosure {
    ClosureHeader;
    lua_CFunction f;
    TObject upvalue[1];
};

struct LClosure {
    ClosureHeader;
    Proto* p;
    UpVal* upvals[1];
};

union Closure {
    CClosure c;
    LClosure l;
};

struct Node {
    TObject i_key;
    TObject i_val;
    Node* next; // collision chain
};

struct Table {
    CommonHeader;
    lu_byte flags;     // bit set = that tag method is known absent
    lu_byte lsizenode; // log2 of size of `node' array
    Table* metatable;
    TObject* array;
    Node* node;
    Node* firstfree; // every free position is before this one
    GCObject* gclist;
    int sizearray;
};

inline int sizenode(const Table* t) { return 1 << t->lsizenode; }

struct lua_State;

union GCObject {
    GCheader gch;
    TString ts;
    Udata u;
    Closure cl;
    Table h;
    Proto p;
    UpVal uv;
};

// ---- value accessors -------------------------------------------------------

inline int ttype(const TObject* o) { return o->tt; }
inline bool ttisnil(const TObject* o) { return o->tt == LUA_TNIL; }
inline bool ttisnumber(const TObject* o) { return o->tt == LUA_TNUMBER; }
inline bool ttisstring(const TObject* o) { return o->tt == LUA_TSTRING; }
inline bool ttiswstring(const TObject* o) { return o->tt == LUA_TWSTRING; }
inline bool ttisanystring(const TObject* o) { return o->tt == LUA_TSTRING || o->tt == LUA_TWSTRING; }
inline bool ttistable(const TObject* o) { return o->tt == LUA_TTABLE; }
inline bool ttisfunction(const TObject* o) { return o->tt == LUA_TFUNCTION; }
inline bool ttisboolean(const TObject* o) { return o->tt == LUA_TBOOLEAN; }
inline bool ttisuserdata(const TObject* o) { return o->tt == LUA_TUSERDATA; }
inline bool ttisthread(const TObject* o) { return o->tt == LUA_TTHREAD; }
inline bool ttislightuserdata(const TObject* o) { return o->tt == LUA_TLIGHTUSERDATA; }
inline bool iscollectable(const TObject* o) { return o->tt >= LUA_TSTRING; }

inline GCObject* gcvalue(const TObject* o) { return o->value.gc; }
inline void* pvalue(const TObject* o) { return o->value.p; }
inline lua_Number nvalue(const TObject* o) { return o->value.n; }
inline TString* tsvalue(const TObject* o) { return &o->value.gc->ts; }
inline Udata* uvalue(const TObject* o) { return &o->value.gc->u; }
inline Closure* clvalue(const TObject* o) { return &o->value.gc->cl; }
inline Table* hvalue(const TObject* o) { return &o->value.gc->h; }
inline int bvalue(const TObject* o) { return o->value.b; }
inline lua_State* thvalue(const TObject* o) { return reinterpret_cast<lua_State*>(o->value.gc); }

inline bool l_isfalse(const TObject* o) { return ttisnil(o) || (ttisboolean(o) && bvalue(o) == 0); }
inline const char* svalue(const TObject* o) { return getstr(tsvalue(o)); }

inline GCObject* obj2gco(void* p) { return static_cast<GCObject*>(p); }

inline void setnilvalue(TObject* o) { o->tt = LUA_TNIL; }
inline void setnvalue(TObject* o, lua_Number n) { o->tt = LUA_TNUMBER; o->value.n = n; }
inline void setbvalue(TObject* o, int b) { o->tt = LUA_TBOOLEAN; o->value.b = b; }
inline void setpvalue(TObject* o, void* p) { o->tt = LUA_TLIGHTUSERDATA; o->value.p = p; }
inline void setsvalue(TObject* o, TString* s)
{
    o->tt = s->tt;
    o->value.gc = reinterpret_cast<GCObject*>(s);
}
inline void setuvalue(TObject* o, Udata* u) { o->tt = LUA_TUSERDATA; o->value.gc = reinterpret_cast<GCObject*>(u); }
inline void setclvalue(TObject* o, Closure* c) { o->tt = LUA_TFUNCTION; o->value.gc = reinterpret_cast<GCObject*>(c); }
inline void sethvalue(TObject* o, Table* t) { o->tt = LUA_TTABLE; o->value.gc = reinterpret_cast<GCObject*>(t); }
inline void setthvalue(TObject* o, lua_State* th) { o->tt = LUA_TTHREAD; o->value.gc = reinterpret_cast<GCObject*>(th); }
inline void setobj(TObject* dst, const TObject* src) { *dst = *src; }

// ---- limits ---------------------------------------------------------------

constexpr int MAXSTACK = 250;       // registers of one function; RK >= MAXSTACK is a constant
constexpr int MAXVARS = 200;        // locals per function
constexpr int MAXUPVALUES = 32;     // upvalues per function
constexpr int LUA_MAXPARSERLEVEL = 200;
constexpr int LUA_MAXCCALLS = 200;  // nested C calls (metamethods, C functions, parser)
constexpr int LUA_MAXCALLS = 4096;  // nested calls of any kind: beyond is "stack overflow"
// Native stack the state may use below the host's entry: coroutines resumed
// inside one another (each with its own C calls) end in "C stack overflow"
// there, well inside the usual 8 MB of a main thread.
constexpr ptrdiff_t LUA_MAXNATIVESTACK = 4 * 1024 * 1024;
constexpr int MAXTAGLOOP = 100;     // __index/__newindex chain length
constexpr int EXTRA_STACK = 5;
constexpr int BASIC_STACK_SIZE = 2 * LUA_MINSTACK;
constexpr int BASIC_CI_SIZE = 8;
constexpr int LFIELDS_PER_FLUSH = 32;
constexpr int MAXBITS = 26; // largest array part is 2^MAXBITS

// ---- states ---------------------------------------------------------------

struct CallInfo {
    StkId func;                   // the called function's slot (base - 1)
    StkId base;                   // first register
    StkId top;                    // top for this function
    const Instruction* savedpc;   // next instruction of a Lua function
    int nresults;                 // results the caller wants (LUA_MULTRET = all)
    int tailcalls;                // tail calls lost in this frame (counted down by "tail return" events)
    int state;                    // CI_* bits below
    // Where the line hook last looked in this frame (past that instruction):
    // its line checks, Lua calls, yields and every debug query of the
    // frame's position move it, a count event that replaces a line check
    // does not. A new frame starts before its first instruction.
    const Instruction* linepc;
};

constexpr int CI_C = 1;       // a C function
constexpr int CI_FRESH = 2;   // a Lua frame whose caller is C: its return leaves luaV_execute
constexpr int CI_YIELD = 4;   // a C function that yielded

inline bool isLua(const CallInfo* ci) { return !(ci->state & CI_C); }

struct stringtable {
    GCObject** hash;
    ls_nstr nuse;
    int size;
};

struct Mbuffer {
    char* buffer;
    size_t size;
};

// Tag methods, in the order of the 5.0 core.
enum TMS {
    TM_INDEX,
    TM_NEWINDEX,
    TM_GC,
    TM_MODE,
    TM_EQ, // last tag method with `fast' access
    TM_ADD,
    TM_SUB,
    TM_MUL,
    TM_DIV,
    TM_POW,
    TM_UNM,
    TM_LT,
    TM_LE,
    TM_CONCAT,
    TM_CALL,
    TM_N
};

struct global_State {
    stringtable strt;
    lua_Alloc frealloc;
    void* ud;
    GCObject* rootgc;      // every collectable object except strings and open upvalues
    GCObject* rootudata;   // userdata, kept apart for `__gc' (collector of issue 7)
    GCObject* tmudata;     // unreachable userdata whose `__gc' has yet to run, in order
    Mbuffer buff;          // scratch space for concatenation and the lexer
    lu_mem GCthreshold;
    lu_mem nblocks;        // bytes allocated
    int gcBlocked;         // > 0 while objects are held only by C++ code (parser)
    int gcFinalizing;      // finaliser runs under way (nested when a finaliser collects)
    int gcStress;          // collect at every safe point (QMLUA_GCSTRESS set; for tests)
    const char* cstackBase; // native stack position where the host entered the state
    int cstackEntries;      // nested entries from C (calls, protected runs) now active
    lua_CFunction panic;
    void (*fatal)(lua_State* L, const char* msg);
    int minimumnumstrings;
    TObject _registry;
    TObject _defaultmeta;  // the common, empty default metatable of tables
    lua_State* mainthread;
    Node dummynode[1];
    TString* tmname[TM_N];
    TObject mt[NUM_TAGS];  // per-type default metatables (dialect)
};

struct lua_State {
    CommonHeader;
    lu_byte status;
    StkId top;   // first free slot
    StkId base;  // base of current function
    global_State* l_G;
    CallInfo* ci;
    StkId stack_last; // last free slot in the stack
    StkId stack;
    int stacksize;
    CallInfo* end_ci;
    CallInfo* base_ci;
    int size_ci;
    int nCcalls;     // nested C calls
    int nProtected;  // protected calls active on this thread (0: errors go to the panic function)
    lu_byte hookmask;
    lu_byte allowhook;
    lu_byte hookinit; // the line hook has taken the frames' positions since it was set
    int basehookcount;
    int hookcount;
    lua_Hook hook;
    TObject _gt;     // table of globals
    GCObject* openupval;
    GCObject* gclist;
    ptrdiff_t errfunc;
    int allocTag;    // dialect: 1 while a scratch buffer grows
    int reserved2;   // dialect: reserved, 0
};

inline global_State* G(lua_State* L) { return L->l_G; }
inline TObject* gt(lua_State* L) { return &L->_gt; }
inline TObject* registry(lua_State* L) { return &G(L)->_registry; }
inline TObject* defaultmeta(lua_State* L) { return &G(L)->_defaultmeta; }

inline ptrdiff_t savestack(lua_State* L, const TObject* p)
{
    return reinterpret_cast<const char*>(p) - reinterpret_cast<const char*>(L->stack);
}
inline StkId restorestack(lua_State* L, ptrdiff_t n)
{
    return reinterpret_cast<StkId>(reinterpret_cast<char*>(L->stack) + n);
}
inline ptrdiff_t saveci(lua_State* L, const CallInfo* p)
{
    return reinterpret_cast<const char*>(p) - reinterpret_cast<const char*>(L->base_ci);
}
inline CallInfo* restoreci(lua_State* L, ptrdiff_t n)
{
    return reinterpret_cast<CallInfo*>(reinterpret_cast<char*>(L->base_ci) + n);
}

// ---- object helpers (lobject.cpp) -------------------------------------------

extern const TObject luaO_nilobject;
extern const char* const luaT_typenames[];

int luaO_log2(unsigned int x);
int luaO_int2fb(unsigned int x);
int luaO_fb2int(int x);
int luaO_rawequalObj(const TObject* t1, const TObject* t2);
int luaO_str2d(const char* s, lua_Number* result);
const char* luaO_pushvfstring(lua_State* L, const char* fmt, va_list argp);
const char* luaO_pushfstring(lua_State* L, const char* fmt, ...);
void luaO_chunkid(char* out, const char* source, int len);
void lua_number2str(char* buf, lua_Number n);
