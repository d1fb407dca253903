#include "lvm.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "ldebug.h"
#include "ldo.h"
#include "lfunc.h"
#include "lgc.h"
#include "lopcodes.h"
#include "lstate.h"
#include "lstring.h"
#include "ltable.h"
#include "ltm.h"
#include "lwork.h"

namespace {

// ---- conversions -------------------------------------------------------------

// Digits of a wide numeral: decimal with optional fraction and exponent, or
// 0x hexadecimal with optional fraction and binary exponent; no leading
// blanks, trailing blanks allowed.
bool wstr2d(const unsigned short* s, size_t len, lua_Number* result)
{
    size_t i = 0;
    auto at = [&](size_t k) -> int { return k < len ? s[k] : 0; };
    // The value of a digit in the base, or -1 when it is none.
    auto digit = [](int c, int base) {
        int value = c >= '0' && c <= '9' ? c - '0'
                  : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10
                  : -1;
        return value < base ? value : -1;
    };
    int base = 10;
    bool neg = false;
    if (at(0) == '0' && (at(1) == 'x' || at(1) == 'X')) {
        base = 16;
        i = 2;
    } else if (at(0) == '+' || at(0) == '-') {
        neg = at(i++) == '-';
    }
    double value = 0;
    bool any = false;
    for (int d; (d = digit(at(i), base)) >= 0; ++i, any = true)
        value = value * base + d;
    if (at(i) == '.') {
        double scale = 1;
        for (int d; (d = digit(at(++i), base)) >= 0; any = true) {
            scale /= base;
            value += d * scale;
        }
    }
    if (!any)
        return false;
    // Decimal numerals scale by powers of ten after 'e', hexadecimal ones by
    // powers of two after 'p'.
    if ((at(i) | 0x20) == (base == 16 ? 'p' : 'e')) {
        i++;
        bool eneg = false;
        if (at(i) == '+' || at(i) == '-')
            eneg = at(i++) == '-';
        if (digit(at(i), 10) < 0)
            return false;
        double e = 0;
        for (int d; (d = digit(at(i), 10)) >= 0; ++i)
            e = e * 10 + d;
        value *= std::pow(base == 16 ? 2.0 : 10.0, eneg ? -e : e);
    }
    while (i < len && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r')))
        i++;
    if (i != len)
        return false;
    *result = neg ? -value : value;
    return true;
}

// The dialect's integer view of a number for the bitwise operators: clamped
// to [0, 2^32-1], then truncated.
uint32_t toU32(lua_Number x)
{
    if (!(x > 0))
        return 0;
    if (x >= 4294967295.0)
        return 4294967295u;
    return static_cast<uint32_t>(x);
}

// ---- metamethod calls -----------------------------------------------------------

void callTMres(lua_State* L, StkId res, const TObject* f, const TObject* p1, const TObject* p2)
{
    ptrdiff_t result = savestack(L, res);
    setobj(L->top, f); // the stack keeps EXTRA_STACK slots for this
    setobj(L->top + 1, p1);
    setobj(L->top + 2, p2);
    luaD_checkstack(L, 3);
    L->top += 3;
    luaD_call(L, L->top - 3, 1);
    res = restorestack(L, result);
    L->top--;
    setobj(res, L->top);
}

void callTM(lua_State* L, const TObject* f, const TObject* p1, const TObject* p2, const TObject* p3)
{
    setobj(L->top, f);
    setobj(L->top + 1, p1);
    setobj(L->top + 2, p2);
    setobj(L->top + 3, p3);
    luaD_checkstack(L, 4);
    L->top += 4;
    luaD_call(L, L->top - 4, 0);
}

int call_binTM(lua_State* L, const TObject* p1, const TObject* p2, StkId res, TMS event)
{
    const TObject* tm = luaT_gettmbyobj(L, p1, event);
    if (ttisnil(tm))
        tm = luaT_gettmbyobj(L, p2, event);
    if (!ttisfunction(tm))
        return 0;
    callTMres(L, res, tm, p1, p2);
    return 1;
}

// The metamethod both operands agree on (the same value in both
// metatables), or null: __eq needs it from both sides.
const TObject* get_compTM(lua_State* L, Table* mt1, Table* mt2, TMS event)
{
    const TObject* tm1 = fasttm(L, mt1, event);
    if (tm1 == nullptr)
        return nullptr;
    if (mt1 == mt2)
        return tm1;
    const TObject* tm2 = fasttm(L, mt2, event);
    if (tm2 == nullptr || !luaO_rawequalObj(tm1, tm2))
        return nullptr;
    return tm1;
}

int call_orderTM(lua_State* L, const TObject* p1, const TObject* p2, TMS event)
{
    const TObject* tm1 = luaT_gettmbyobj(L, p1, event);
    if (ttisnil(tm1))
        return -1;
    const TObject* tm2 = luaT_gettmbyobj(L, p2, event);
    if (!luaO_rawequalObj(tm1, tm2))
        return -1;
    callTMres(L, L->top, tm1, p1, p2);
    return !l_isfalse(L->top);
}

int l_strcmp(const TString* ls, const TString* rs)
{
    const char* l = getstr(ls);
    size_t ll = ls->len;
    const char* r = getstr(rs);
    size_t lr = rs->len;
    for (;;) { // strings may hold zeros: compare piece by piece
        int temp = std::strcoll(l, r);
        if (temp != 0)
            return temp;
        size_t len = std::strlen(l);
        if (len == lr)
            return len == ll ? 0 : 1;
        if (len == ll)
            return -1;
        len++;
        l += len;
        ll -= len;
        r += len;
        lr -= len;
    }
}

int luaV_lessequal(lua_State* L, const TObject* l, const TObject* r)
{
    if (ttype(l) != ttype(r))
        luaG_ordererror(L, l, r);
    if (ttisnumber(l))
        return nvalue(l) <= nvalue(r);
    if (ttisstring(l))
        return l_strcmp(tsvalue(l), tsvalue(r)) <= 0;
    int res = call_orderTM(L, l, r, TM_LE);
    if (res != -1)
        return res;
    res = call_orderTM(L, r, l, TM_LT);
    if (res != -1)
        return !res;
    luaG_ordererror(L, l, r);
}

void Arith(lua_State* L, StkId ra, const TObject* rb, const TObject* rc, TMS op)
{
    TObject tempb;
    TObject tempc;
    const TObject* b;
    const TObject* c;
    if ((b = luaV_tonumber(rb, &tempb)) != nullptr && (c = luaV_tonumber(rc, &tempc)) != nullptr) {
        switch (op) {
        case TM_ADD: setnvalue(ra, nvalue(b) + nvalue(c)); break;
        case TM_SUB: setnvalue(ra, nvalue(b) - nvalue(c)); break;
        case TM_MUL: setnvalue(ra, nvalue(b) * nvalue(c)); break;
        case TM_DIV: setnvalue(ra, nvalue(b) / nvalue(c)); break;
        case TM_POW: {
            // `^' of converted strings calls the global function `__pow'
            const TObject* f = luaH_getstr(hvalue(gt(L)), G(L)->tmname[TM_POW]);
            if (!ttisfunction(f))
                luaG_runerror(L, "`__pow' (`^' operator) is not a function");
            TObject nb = *b;
            TObject nc = *c;
            callTMres(L, ra, f, &nb, &nc);
            break;
        }
        default: break;
        }
    } else if (!call_binTM(L, rb, rc, ra, op)) {
        luaG_aritherror(L, rb, rc);
    }
}

} // namespace

const TObject* luaV_tonumber(const TObject* obj, TObject* n)
{
    lua_Number num;
    if (ttisnumber(obj))
        return obj;
    if (ttisstring(obj) && luaO_str2d(svalue(obj), &num)) {
        setnvalue(n, num);
        return n;
    }
    if (ttiswstring(obj) && wstr2d(getwstr(tsvalue(obj)), tsvalue(obj)->len, &num)) {
        setnvalue(n, num);
        return n;
    }
    return nullptr;
}

int luaV_tostring(lua_State* L, StkId obj)
{
    if (!ttisnumber(obj))
        return 0;
    char s[32];
    lua_number2str(s, nvalue(obj));
    setsvalue(obj, luaS_new(L, s));
    return 1;
}

int luaV_towstring(lua_State* L, TObject* obj)
{
    if (!ttisnumber(obj))
        return 0;
    char s[32];
    lua_number2str(s, nvalue(obj));
    unsigned short w[32];
    size_t n = std::strlen(s);
    for (size_t i = 0; i < n; i++)
        w[i] = static_cast<unsigned char>(s[i]);
    setsvalue(obj, luaS_newlwstr(L, w, n));
    return 1;
}

void luaV_gettable(lua_State* L, const TObject* t, const TObject* key, StkId val)
{
    for (int loop = 0; loop < MAXTAGLOOP; loop++) {
        const TObject* tm;
        if (ttistable(t)) {
            Table* h = hvalue(t);
            const TObject* res = luaH_get(h, key);
            if (!ttisnil(res) || (tm = fasttm(L, h->metatable, TM_INDEX)) == nullptr) {
                setobj(val, res);
                return;
            }
        } else if (ttisnil(tm = luaT_gettmbyobj(L, t, TM_INDEX))) {
            luaG_typeerror(L, t, "index");
        }
        if (ttisfunction(tm)) {
            callTMres(L, val, tm, t, key);
            return;
        }
        t = tm; // repeat with the metamethod's table
    }
    luaG_runerror(L, "loop in gettable");
}

void luaV_settable(lua_State* L, const TObject* t, const TObject* key, const TObject* val)
{
    for (int loop = 0; loop < MAXTAGLOOP; loop++) {
        const TObject* tm;
        if (ttistable(t)) {
            Table* h = hvalue(t);
            TObject* oldval = const_cast<TObject*>(luaH_get(h, key));
            if (!ttisnil(oldval)) {
                setobj(oldval, val);
                return;
            }
            if ((tm = fasttm(L, h->metatable, TM_NEWINDEX)) == nullptr) {
                TObject v = *val; // luaH_set may move the table's contents
                setobj(luaH_set(L, h, key), &v);
                return;
            }
        } else if (ttisnil(tm = luaT_gettmbyobj(L, t, TM_NEWINDEX))) {
            luaG_typeerror(L, t, "index");
        }
        if (ttisfunction(tm)) {
            callTM(L, tm, t, key, val);
            return;
        }
        t = tm;
    }
    luaG_runerror(L, "loop in settable");
}

int luaV_lessthan(lua_State* L, const TObject* l, const TObject* r)
{
    if (ttype(l) != ttype(r))
        luaG_ordererror(L, l, r);
    if (ttisnumber(l))
        return nvalue(l) < nvalue(r);
    if (ttisstring(l))
        return l_strcmp(tsvalue(l), tsvalue(r)) < 0;
    int res = call_orderTM(L, l, r, TM_LT);
    if (res != -1)
        return res;
    luaG_ordererror(L, l, r);
}

int luaV_equalObj(lua_State* L, const TObject* t1, const TObject* t2)
{
    const TObject* tm;
    switch (ttype(t1)) {
    case LUA_TNIL: return 1;
    case LUA_TNUMBER: return nvalue(t1) == nvalue(t2);
    case LUA_TBOOLEAN: return bvalue(t1) == bvalue(t2);
    case LUA_TLIGHTUSERDATA: return pvalue(t1) == pvalue(t2);
    case LUA_TUSERDATA:
        if (uvalue(t1) == uvalue(t2))
            return 1;
        tm = get_compTM(L, uvalue(t1)->metatable, uvalue(t2)->metatable, TM_EQ);
        break;
    case LUA_TTABLE:
        if (hvalue(t1) == hvalue(t2))
            return 1;
        tm = get_compTM(L, hvalue(t1)->metatable, hvalue(t2)->metatable, TM_EQ);
        break;
    default: return gcvalue(t1) == gcvalue(t2);
    }
    if (tm == nullptr)
        return 0;
    callTMres(L, L->top, tm, t1, t2);
    return !l_isfalse(L->top);
}

// Concatenates the `total' values ending at base+last into base+last-total+1.
// A run is wide when its last string is wide (dialect); numbers convert to
// the run's kind; a string of the other kind stops the run with an error.
void luaV_concat(lua_State* L, int total, int last)
{
    do {
        StkId top = L->base + last + 1;
        int n = 2; // values handled in this pass
        bool wide = false;
        for (StkId p = top - 1; p >= top - total; p--) {
            if (ttisanystring(p)) {
                wide = ttiswstring(p);
                break;
            }
        }
        auto convert = [&](StkId o) {
            if (wide)
                return ttiswstring(o) || luaV_towstring(L, o);
            return ttisstring(o) || luaV_tostring(L, o);
        };
        if (!convert(top - 2) || !convert(top - 1)) {
            if (!call_binTM(L, top - 2, top - 1, top - 2, TM_CONCAT))
                luaG_concaterror(L, top - 2, top - 1);
        } else if (tsvalue(top - 1)->len > 0) {
            size_t unit = wide ? 2 : 1;
            lu_mem tl = tsvalue(top - 1)->len + tsvalue(top - 2)->len;
            while (n < total && convert(top - n - 1)) {
                tl += tsvalue(top - n - 1)->len;
                n++;
            }
            if (tl > (wide ? 4294967293u : static_cast<lu_mem>(-1) / 2))
                luaG_runerror(L, "string size overflow");
            char* buffer = luaZ_openspace(L, &G(L)->buff, tl * unit);
            tl = 0;
            for (int i = n; i > 0; i--) {
                size_t l = tsvalue(top - i)->len;
                std::memcpy(buffer + tl * unit, svalue(top - i), l * unit);
                tl += l;
            }
            if (wide)
                setsvalue(top - n, luaS_newlwstr(L, reinterpret_cast<const unsigned short*>(buffer), tl));
            else
                setsvalue(top - n, luaS_newlstr(L, buffer, tl));
            // Long strings joined again and again are long work between two
            // instructions. Polled once the pass is done: the hook may move
            // the stack and use the scratch buffer.
            WorkSteps(L).copied(tl * unit);
        }
        total -= n - 1;
        last -= n - 1;
    } while (total > 1);
}

// ---- hooks ------------------------------------------------------------------------

// The line hook's first event after it is set only takes the running frames'
// positions, so the instruction running then does not count as a new line.
void inithooks(lua_State* L)
{
    for (CallInfo* ci = L->ci; ci > L->base_ci; ci--) {
        if (isLua(ci))
            ci->linepc = ci->savedpc;
    }
    L->hookinit = 1;
}

int lineof(const Proto* p, const Instruction* past)
{
    ptrdiff_t pc = past - p->code - 1;
    return p->lineinfo && pc >= 0 && pc < p->sizelineinfo ? p->lineinfo[pc] : 0;
}

// Count and line hooks before the instruction at `pc' runs. A count event
// takes the place of that instruction's line check, which leaves the frame's
// line position where it was. A line event comes when the instruction is a
// function's first, starts another line than that position's, or execution
// jumped back to or before it.
void traceexec(lua_State* L, const Instruction* pc)
{
    CallInfo* ci = L->ci;
    const Instruction* past = pc + 1;
    ci->savedpc = past; // the hooks see the instruction about to run
    if ((L->hookmask & LUA_MASKCOUNT) && luaD_counthook(L))
        return;
    if (!(L->hookmask & LUA_MASKLINE))
        return;
    if (!L->hookinit) {
        inithooks(L);
        return;
    }
    const Proto* p = clvalue(ci->func)->l.p;
    if (pc == p->code) // tracing may start here
        ci->linepc = past;
    if (past <= ci->linepc || lineof(p, past) != lineof(p, ci->linepc)) {
        luaD_callhook(L, LUA_HOOKLINE, lineof(p, past));
        ci = L->ci;
    }
    ci->linepc = past;
}

// ---- the interpreter loop ----------------------------------------------------------

#define RA(i) (base + GETARG_A(i))
#define RB(i) (base + GETARG_B(i))
#define RKB(i) (ISK(GETARG_B(i)) ? k + GETARG_B(i) - MAXSTACK : base + GETARG_B(i))
#define RKC(i) (ISK(GETARG_C(i)) ? k + GETARG_C(i) - MAXSTACK : base + GETARG_C(i))
#define KBx(i) (k + GETARG_Bx(i))
#define dojump(pc, i) ((pc) += (i))
// Anything that may raise an error, call out or move the stack saves the pc
// (for messages and calls) and reloads base afterwards.
#define Protect(x)          \
    {                       \
        ci->savedpc = pc;   \
        x;                  \
        base = L->base;     \
        ci = L->ci;         \
    }

// With hooks off, an instruction costs one test of the hook mask beyond its
// own work; with a line or count hook on, traceexec runs first.
#define HOOKED() (L->hookmask & (LUA_MASKCOUNT | LUA_MASKLINE))
#define FETCH()                     \
    {                               \
        if (HOOKED()) [[unlikely]] { \
            traceexec(L, pc);       \
            base = L->base;         \
            ci = L->ci;             \
        }                           \
        i = *pc++;                  \
        ra = RA(i);                 \
    }

// With GCC and Clang every instruction ends in a jump of its own to the next
// one's code (through a table of label addresses), which the processor
// predicts far better than the single shared jump of a switch; other
// compilers get the switch (so does a build with LUA_SWITCH_DISPATCH defined,
// to try it). NEXT ends an instruction either way.
#if (defined(__GNUC__) || defined(__clang__)) && !defined(LUA_SWITCH_DISPATCH)
#define THREADED_DISPATCH 1
#define OPCODE(op) L_##op:
#define FALLTHROUGH (void)0
#define NEXT                                           \
    {                                                  \
        if (HOOKED()) [[unlikely]]                     \
            continue; /* the loop's FETCH runs the hooks */ \
        i = *pc++;                                     \
        ra = RA(i);                                    \
        goto* dispatch[GET_OPCODE(i)];                 \
    }
#else
#define OPCODE(op) case op:
#define FALLTHROUGH [[fallthrough]]
#define NEXT break
#endif

#define arith_op(op, tm)                                       \
    {                                                          \
        const TObject* rb = RKB(i);                            \
        const TObject* rc = RKC(i);                            \
        if (ttisnumber(rb) && ttisnumber(rc))                  \
            setnvalue(ra, nvalue(rb) op nvalue(rc));           \
        else                                                   \
            Protect(Arith(L, ra, rb, rc, tm));                 \
        NEXT;                                                  \
    }

#define bit_op(expr)                                                   \
    {                                                                  \
        const TObject* rb = RKB(i);                                    \
        const TObject* rc = RKC(i);                                    \
        if (!ttisnumber(rb) || !ttisnumber(rc))                        \
            Protect(luaG_aritherror(L, rb, rc));                       \
        uint32_t b = toU32(nvalue(rb));                                \
        uint32_t c = toU32(nvalue(rc));                                \
        setnvalue(ra, static_cast<lua_Number>(static_cast<uint32_t>(expr))); \
        NEXT;                                                          \
    }

// R(A) := t[key]: a value the table holds is taken at once; anything else
// (metamethods, errors) goes through the general path.
#define gettable_op(t, key)                               \
    {                                                     \
        const TObject* tab = (t);                         \
        const TObject* rk = (key);                        \
        if (ttistable(tab)) {                             \
            const TObject* v = luaH_get(hvalue(tab), rk); \
            if (!ttisnil(v)) {                            \
                setobj(ra, v);                            \
                NEXT;                                     \
            }                                             \
        }                                                 \
        Protect(luaV_gettable(L, tab, rk, ra));           \
        NEXT;                                             \
    }

// A comparison's jump: the instruction after it is the JMP taken when the
// result matches A; otherwise that JMP is skipped.
#define cond_jump(res)                             \
    {                                              \
        if ((res) != GETARG_A(i))                  \
            pc++;                                  \
        else                                       \
            dojump(pc, GETARG_sBx(*pc) + 1);       \
        NEXT;                                      \
    }

void luaV_execute(lua_State* L)
{
#ifdef THREADED_DISPATCH
    // in the order of OpCode
    static const void* const dispatch[NUM_OPCODES] = {
        &&L_OP_MOVE,     &&L_OP_LOADK,    &&L_OP_LOADBOOL, &&L_OP_LOADNIL,  &&L_OP_GETUPVAL,
        &&L_OP_GETGLOBAL, &&L_OP_GETTABLE, &&L_OP_SETGLOBAL, &&L_OP_SETUPVAL, &&L_OP_SETTABLE,
        &&L_OP_NEWTABLE, &&L_OP_SELF,     &&L_OP_ADD,      &&L_OP_SUB,      &&L_OP_MUL,
        &&L_OP_DIV,      &&L_OP_BAND,     &&L_OP_BOR,      &&L_OP_SHL,      &&L_OP_SHR,
        &&L_OP_POW,      &&L_OP_UNM,      &&L_OP_NOT,      &&L_OP_CONCAT,   &&L_OP_JMP,
        &&L_OP_EQ,       &&L_OP_LT,       &&L_OP_LE,       &&L_OP_TEST,     &&L_OP_CALL,
        &&L_OP_TAILCALL, &&L_OP_RETURN,   &&L_OP_FORLOOP,  &&L_OP_TFORLOOP, &&L_OP_TFORPREP,
        &&L_OP_SETLIST,  &&L_OP_SETLISTO, &&L_OP_CLOSE,    &&L_OP_CLOSURE,
    };
    static_assert(NUM_OPCODES == 39, "one label for each opcode");
#endif
reentry: // a new frame: a call, a return to a Lua caller, a tail call
    CallInfo* ci = L->ci;
    LClosure* cl = &clvalue(ci->func)->l;
    TObject* k = cl->p->k;
    StkId base = L->base;
    const Instruction* pc = ci->savedpc;
    Instruction i;
    StkId ra;
    for (;;) {
        FETCH();
#ifdef THREADED_DISPATCH
        goto* dispatch[GET_OPCODE(i)];
        {
#else
        switch (GET_OPCODE(i)) {
#endif
        OPCODE(OP_MOVE)
        {
            setobj(ra, RB(i));
            NEXT;
        }
        OPCODE(OP_LOADK)
        {
            setobj(ra, KBx(i));
            NEXT;
        }
        OPCODE(OP_LOADBOOL)
        {
            setbvalue(ra, GETARG_B(i));
            if (GETARG_C(i))
                pc++;
            NEXT;
        }
        OPCODE(OP_LOADNIL)
        {
            TObject* rb = RB(i);
            do {
                setnilvalue(rb--);
            } while (rb >= ra);
            NEXT;
        }
        OPCODE(OP_GETUPVAL)
        {
            setobj(ra, cl->upvals[GETARG_B(i)]->v);
            NEXT;
        }
        OPCODE(OP_GETGLOBAL) gettable_op(&cl->g, KBx(i))
        OPCODE(OP_GETTABLE) gettable_op(RB(i), RKC(i))
        OPCODE(OP_SETGLOBAL)
        {
            Protect(luaV_settable(L, &cl->g, KBx(i), ra));
            NEXT;
        }
        OPCODE(OP_SETUPVAL)
        {
            setobj(cl->upvals[GETARG_B(i)]->v, ra);
            NEXT;
        }
        OPCODE(OP_SETTABLE)
        {
            const TObject* rb = RKB(i);
            const TObject* rc = RKC(i);
            if (ttistable(ra)) { // a field already there takes the value at once
                Table* h = hvalue(ra);
                TObject* old = const_cast<TObject*>(luaH_get(h, rb));
                if (!ttisnil(old)) {
                    setobj(old, rc);
                    NEXT;
                }
            }
            Protect(luaV_settable(L, ra, rb, rc));
            NEXT;
        }
        OPCODE(OP_NEWTABLE)
        {
            int b = luaO_fb2int(GETARG_B(i));
            Protect(sethvalue(ra, luaH_new(L, b, GETARG_C(i))));
            L->top = ci->top;
            Protect(luaC_checkGC(L));
            NEXT;
        }
        OPCODE(OP_SELF)
        {
            setobj(ra + 1, RB(i)); // the object, which RB(i) may be ra itself
            gettable_op(ra + 1, RKC(i))
        }
        OPCODE(OP_ADD) arith_op(+, TM_ADD)
        OPCODE(OP_SUB) arith_op(-, TM_SUB)
        OPCODE(OP_MUL) arith_op(*, TM_MUL)
        OPCODE(OP_DIV) arith_op(/, TM_DIV)
        OPCODE(OP_BAND) bit_op(b & c)
        OPCODE(OP_BOR) bit_op(b | c)
        OPCODE(OP_SHL) bit_op(b << (c % 32))
        OPCODE(OP_SHR) bit_op(b >> (c % 32))
        OPCODE(OP_POW)
        {
            const TObject* rb = RKB(i);
            const TObject* rc = RKC(i);
            if (ttisnumber(rb) && ttisnumber(rc))
                setnvalue(ra, static_cast<lua_Number>(toU32(nvalue(rb)) ^ toU32(nvalue(rc))));
            else
                Protect(Arith(L, ra, rb, rc, TM_POW));
            NEXT;
        }
        OPCODE(OP_UNM)
        {
            const TObject* rb = RB(i);
            TObject temp;
            if (luaV_tonumber(rb, &temp) != nullptr) {
                setnvalue(ra, -nvalue(luaV_tonumber(rb, &temp)));
            } else {
                setnilvalue(&temp);
                Protect(if (!call_binTM(L, RB(i), &temp, ra, TM_UNM)) luaG_aritherror(L, RB(i), &temp));
            }
            NEXT;
        }
        OPCODE(OP_NOT)
        {
            int res = l_isfalse(RB(i));
            setbvalue(ra, res);
            NEXT;
        }
        OPCODE(OP_CONCAT)
        {
            int b = GETARG_B(i);
            int c = GETARG_C(i);
            L->top = ci->top;
            Protect(luaV_concat(L, c - b + 1, c); luaC_checkGC(L));
            setobj(RA(i), base + b);
            NEXT;
        }
        OPCODE(OP_JMP)
        {
            dojump(pc, GETARG_sBx(i));
            NEXT;
        }
        OPCODE(OP_EQ)
        {
            const TObject* rb = RKB(i);
            const TObject* rc = RKC(i);
            int res;
            if (ttype(rb) != ttype(rc))
                res = 0;
            else if (ttisnumber(rb))
                res = nvalue(rb) == nvalue(rc);
            else if (ttisanystring(rb) || ttisnil(rb))
                res = rb->value.gc == rc->value.gc || ttisnil(rb);
            else
                Protect(res = luaV_equalObj(L, rb, rc));
            cond_jump(res);
        }
        OPCODE(OP_LT)
        {
            const TObject* rb = RKB(i);
            const TObject* rc = RKC(i);
            int res;
            if (ttisnumber(rb) && ttisnumber(rc))
                res = nvalue(rb) < nvalue(rc);
            else
                Protect(res = luaV_lessthan(L, rb, rc));
            cond_jump(res);
        }
        OPCODE(OP_LE)
        {
            const TObject* rb = RKB(i);
            const TObject* rc = RKC(i);
            int res;
            if (ttisnumber(rb) && ttisnumber(rc))
                res = nvalue(rb) <= nvalue(rc);
            else
                Protect(res = luaV_lessequal(L, rb, rc));
            cond_jump(res);
        }
        OPCODE(OP_TEST)
        {
            TObject* rb = RB(i);
            if (l_isfalse(rb) == GETARG_C(i)) {
                pc++;
            } else {
                setobj(ra, rb);
                dojump(pc, GETARG_sBx(*pc) + 1);
            }
            NEXT;
        }
        OPCODE(OP_TAILCALL)
        {
            int b = GETARG_B(i);
            if (b != 0)
                L->top = ra + b;
            if (!ttisfunction(ra)) { // a callable object: its `__call' is the callee
                ci->savedpc = pc;
                ra = luaD_tryfuncTM(L, ra);
                base = L->base;
            }
            if (!clvalue(ra)->c.isC) {
                // Reuse the frame: the callee replaces this function.
                ci->savedpc = pc;
                if (L->openupval && reinterpret_cast<UpVal*>(L->openupval)->v >= base)
                    luaF_close(L, base);
                int keep = ci->state & CI_FRESH;
                int wanted = ci->nresults;
                // an endless tail loop must not wrap the count of lost levels
                int tails = ci->tailcalls < INT_MAX ? ci->tailcalls + 1 : INT_MAX;
                StkId dst = ci->func;
                int n = static_cast<int>(L->top - ra);
                for (int j = 0; j < n; j++)
                    setobj(dst + j, ra + j);
                L->top = dst + n;
                L->ci--;
                L->base = L->ci->base;
                luaD_precall(L, dst, wanted, true);
                L->ci->state |= keep;
                L->ci->tailcalls = tails;
                if (L->hookmask & LUA_MASKCALL)
                    luaD_callhook(L, LUA_HOOKCALL, -1);
                goto reentry;
            }
        }
            FALLTHROUGH; // anything else is called as usual; RETURN follows
        OPCODE(OP_CALL)
        {
            int b = GETARG_B(i);
            int nresults = GETARG_C(i) - 1;
            if (b != 0)
                L->top = ra + b;
            ci->savedpc = pc;
            if (ttisfunction(ra) && !clvalue(ra)->c.isC) {
                // The usual call of a Lua function is made here: no extra
                // arguments to collect, room on both stacks, no call hook.
                const Proto* p = clvalue(ra)->l.p;
                if (!p->is_vararg && L->ci + 1 != L->end_ci && L->stack_last - L->top > p->maxstacksize &&
                    !(L->hookmask & LUA_MASKCALL)) [[likely]] {
                    if (L->top > ra + 1 + p->numparams)
                        L->top = ra + 1 + p->numparams;
                    luaD_initLuaFrame(L, ++L->ci, ra, p, nresults);
                    ci->linepc = pc; // as below
                    goto reentry;
                }
            }
            switch (luaD_precall(L, ra, nresults)) {
            case PCR_LUA:
                // a Lua callee leaves its caller's line position at the call
                // (a C callee does not: only a query of the frame moves it)
                (L->ci - 1)->linepc = pc;
                goto reentry;
            case PCR_C:
                ci = L->ci;
                if (nresults >= 0)
                    L->top = ci->top;
                base = L->base;
                break;
            default: // yielded: resume continues this frame, after the call
                (L->ci - 1)->linepc = pc;
                return;
            }
            NEXT;
        }
        OPCODE(OP_RETURN)
        {
            int b = GETARG_B(i);
            if (b != 0)
                L->top = ra + b - 1;
            if (L->openupval && reinterpret_cast<UpVal*>(L->openupval)->v >= base)
                luaF_close(L, base);
            ci->savedpc = pc;
            bool fresh = (ci->state & CI_FRESH) != 0;
            int wanted = ci->nresults;
            luaD_poscall(L, wanted, ra);
            if (fresh)
                return;
            if (wanted >= 0)
                L->top = L->ci->top;
            goto reentry;
        }
        OPCODE(OP_FORLOOP)
        {
            if (!ttisnumber(ra + 1) || !ttisnumber(ra + 2)) [[unlikely]] {
                // the limit and the step may be numerals in strings: converted in place
                TObject tmp;
                if (!ttisnumber(ra))
                    Protect(luaG_runerror(L, "`for' initial value must be a number"));
                if (!tonumber(ra + 1, &tmp))
                    Protect(luaG_runerror(L, "`for' limit must be a number"));
                if (!tonumber(ra + 2, &tmp))
                    Protect(luaG_runerror(L, "`for' step must be a number"));
            } else if (!ttisnumber(ra)) [[unlikely]] {
                Protect(luaG_runerror(L, "`for' initial value must be a number"));
            }
            lua_Number step = nvalue(ra + 2);
            lua_Number idx = nvalue(ra) + step;
            lua_Number limit = nvalue(ra + 1);
            if (step > 0 ? idx <= limit : idx >= limit) {
                dojump(pc, GETARG_sBx(i));
                setnvalue(ra, idx);
            }
            NEXT;
        }
        OPCODE(OP_TFORLOOP)
        {
            int nvar = GETARG_C(i) + 1;
            StkId cb = ra + nvar + 2;
            setobj(cb, ra);
            setobj(cb + 1, ra + 1);
            setobj(cb + 2, ra + 2);
            L->top = cb + 3;
            Protect(luaD_call(L, cb, nvar));
            L->top = ci->top;
            ra = RA(i);
            cb = ra + nvar + 2;
            for (int j = 0; j < nvar; j++)
                setobj(ra + 2 + j, cb + j);
            if (ttisnil(ra + 2))
                pc++; // leave the loop
            else
                dojump(pc, GETARG_sBx(*pc) + 1);
            NEXT;
        }
        OPCODE(OP_TFORPREP)
        {
            if (ttistable(ra)) { // `for k,v in t': iterate with `next'
                setobj(ra + 1, ra);
                TString* nextName;
                Protect(nextName = luaS_newliteral(L, "next"));
                setobj(RA(i), luaH_getstr(hvalue(gt(L)), nextName));
            }
            dojump(pc, GETARG_sBx(i));
            NEXT;
        }
        OPCODE(OP_SETLIST)
        OPCODE(OP_SETLISTO)
        {
            int bc = GETARG_Bx(i);
            int n;
            if (GET_OPCODE(i) == OP_SETLIST) {
                n = (bc & (LFIELDS_PER_FLUSH - 1)) + 1;
            } else {
                n = static_cast<int>(L->top - ra) - 1;
                L->top = ci->top;
            }
            if (!ttistable(ra)) // only a damaged chunk gets here
                Protect(luaG_runerror(L, "table expected in a list constructor"));
            Table* h = hvalue(ra);
            bc &= ~(LFIELDS_PER_FLUSH - 1);
            ci->savedpc = pc;
            for (; n > 0; n--) {
                TObject v = *(ra + n);
                setobj(luaH_setnum(L, h, bc + n), &v);
            }
            NEXT;
        }
        OPCODE(OP_CLOSE)
        {
            luaF_close(L, ra);
            NEXT;
        }
        OPCODE(OP_CLOSURE)
        {
            Proto* p = cl->p->p[GETARG_Bx(i)];
            int nup = p->nups;
            Closure* ncl;
            Protect(ncl = luaF_newLclosure(L, nup, &cl->g));
            ncl->l.p = p;
            for (int j = 0; j < nup; j++, pc++) {
                if (GET_OPCODE(*pc) == OP_GETUPVAL)
                    ncl->l.upvals[j] = cl->upvals[GETARG_B(*pc)];
                else
                    ncl->l.upvals[j] = luaF_findupval(L, base + GETARG_B(*pc));
            }
            setclvalue(RA(i), ncl);
            L->top = ci->top;
            Protect(luaC_checkGC(L));
            NEXT;
        }
#ifndef THREADED_DISPATCH
        default: __builtin_unreachable(); // opcodes are checked when code is loaded
#endif
        }
    }
}
