#include "ldebug.h"

#include <cstdarg>
#include <cstring>
#include <vector>

#include "ldo.h"
#include "lfunc.h"
#include "lopcodes.h"
#include "lstate.h"
#include "lstring.h"
#include "ltable.h"
#include "ltm.h"
#include "lvm.h"

int ci_nups(const Proto* p, int bx);

namespace {

Proto* ci_proto(CallInfo* ci) { return clvalue(ci->func)->l.p; }

// The instruction a Lua frame is at; -1 before its first. Asking takes the
// frame's line position there too, so the line hook compares its next
// instruction with what the question saw.
int currentpc(CallInfo* ci)
{
    if (!isLua(ci))
        return -1;
    ci->linepc = ci->savedpc;
    return static_cast<int>(ci->savedpc - ci_proto(ci)->code) - 1;
}

const char* kname(Proto* p, int c)
{
    if (ISK(c) && ttisstring(&p->k[c - MAXSTACK]))
        return svalue(&p->k[c - MAXSTACK]);
    return "?";
}

// The last instruction before lastpc that wrote register reg, following
// forward jumps that stay before lastpc (the skipped code did not run on the
// way here). Returns -1 when the register was not written.
int findsetreg(const Proto* p, int lastpc, int reg)
{
    int setreg = -1;
    for (int pc = 0; pc < lastpc; pc++) {
        Instruction i = p->code[pc];
        OpCode op = GET_OPCODE(i);
        int a = GETARG_A(i);
        switch (op) {
        case OP_LOADNIL:
            if (a <= reg && reg <= GETARG_B(i))
                setreg = pc;
            break;
        case OP_TFORLOOP:
            if (reg >= a + 2)
                setreg = pc;
            break;
        case OP_CALL:
        case OP_TAILCALL:
            if (reg >= a)
                setreg = pc;
            break;
        case OP_JMP: {
            int dest = pc + 1 + GETARG_sBx(i);
            if (pc < dest && dest <= lastpc)
                pc = dest - 1; // the code in between did not run
            break;
        }
        case OP_CLOSURE:
            if (reg == a)
                setreg = pc;
            pc += ci_nups(p, GETARG_Bx(i)); // skip the upvalue pseudo-instructions
            break;
        case OP_SELF:
            if (reg == a || reg == a + 1)
                setreg = pc;
            break;
        default:
            if (testOpMode(op, OpModesetA) && reg == a)
                setreg = pc;
            break;
        }
    }
    return setreg;
}

} // namespace

int ci_nups(const Proto* p, int bx) { return bx < p->sizep && p->p[bx] ? p->p[bx]->nups : 0; }

int luaG_currentline(CallInfo* ci)
{
    int pc = currentpc(ci);
    if (pc < 0)
        return -1;
    Proto* p = ci_proto(ci);
    return p->lineinfo && pc < p->sizelineinfo ? p->lineinfo[pc] : 0;
}

// What the value in a register is to the source: a local, a global, a field
// or a method, with its name. Null when nothing useful is known.
const char* luaG_getobjname(CallInfo* ci, int stackpos, const char** name)
{
    if (!isLua(ci))
        return nullptr;
    Proto* p = ci_proto(ci);
    int pc = currentpc(ci);
    *name = luaF_getlocalname(p, stackpos + 1, pc);
    if (*name)
        return "local";
    int setpc = findsetreg(p, pc, stackpos);
    if (setpc < 0)
        return nullptr;
    Instruction i = p->code[setpc];
    switch (GET_OPCODE(i)) {
    case OP_GETGLOBAL: {
        int g = GETARG_Bx(i);
        if (!ttisstring(&p->k[g]))
            return nullptr;
        *name = svalue(&p->k[g]);
        return "global";
    }
    case OP_MOVE: {
        int a = GETARG_A(i);
        int b = GETARG_B(i);
        if (b < a)
            return luaG_getobjname(ci, b, name);
        break;
    }
    case OP_GETTABLE:
        *name = kname(p, GETARG_C(i));
        return "field";
    case OP_SELF:
        *name = kname(p, GETARG_C(i));
        return "method";
    default: break;
    }
    return nullptr;
}

static bool isinstack(CallInfo* ci, const TObject* o)
{
    for (StkId p = ci->base; p < ci->top; p++)
        if (o == p)
            return true;
    return false;
}

void luaG_typeerror(lua_State* L, const TObject* o, const char* op)
{
    const char* name = nullptr;
    const char* t = luaT_typenames[ttype(o)];
    const char* kind = isinstack(L->ci, o) ? luaG_getobjname(L->ci, static_cast<int>(o - L->base), &name) : nullptr;
    if (kind)
        luaG_runerror(L, "attempt to %s %s `%s' (a %s value)", op, kind, name, t);
    luaG_runerror(L, "attempt to %s a %s value", op, t);
}

void luaG_concaterror(lua_State* L, StkId p1, StkId p2)
{
    if (ttisstring(p1) || ttisnumber(p1))
        p1 = p2;
    luaG_typeerror(L, p1, "concatenate");
}

void luaG_aritherror(lua_State* L, const TObject* p1, const TObject* p2)
{
    TObject temp;
    if (luaV_tonumber(p1, &temp) == nullptr)
        p2 = p1; // the first operand is the wrong one
    luaG_typeerror(L, p2, "perform arithmetic on");
}

void luaG_ordererror(lua_State* L, const TObject* p1, const TObject* p2)
{
    const char* t1 = luaT_typenames[ttype(p1)];
    const char* t2 = luaT_typenames[ttype(p2)];
    if (t1[2] == t2[2])
        luaG_runerror(L, "attempt to compare two %s values", t1);
    luaG_runerror(L, "attempt to compare %s with %s", t1, t2);
}

static void addinfo(lua_State* L, const char* msg)
{
    CallInfo* ci = L->ci;
    if (isLua(ci)) {
        char buff[LUA_IDSIZE];
        int line = luaG_currentline(ci);
        luaO_chunkid(buff, getstr(ci_proto(ci)->source), LUA_IDSIZE);
        luaO_pushfstring(L, "%s:%d: %s", buff, line, msg);
    }
}

void luaG_errormsg(lua_State* L)
{
    if (L->errfunc != 0) { // an error handler runs first, where the error happened
        StkId errfunc = restorestack(L, L->errfunc);
        if (!ttisfunction(errfunc))
            luaD_throw(L, LUA_ERRERR);
        setobj(L->top, L->top - 1); // move the message up
        setobj(L->top - 1, errfunc);
        incr_top(L);
        luaD_call(L, L->top - 2, 1);
    }
    luaD_throw(L, LUA_ERRRUN);
}

void luaG_runerror(lua_State* L, const char* fmt, ...)
{
    va_list argp;
    va_start(argp, fmt);
    const char* msg = luaO_pushvfstring(L, fmt, argp);
    va_end(argp);
    addinfo(L, msg);
    luaG_errormsg(L);
}

// ---- the debug API -------------------------------------------------------------

// Every tail call a Lua frame has made counts as a level of its own below
// that frame: the caller it replaced is gone, but levels (of `error',
// `getfenv', tracebacks) still count it. Such a level has no frame (i_ci 0).
extern "C" int lua_getstack(lua_State* L, int level, lua_Debug* ar)
{
    CallInfo* ci = L->ci;
    for (; level > 0 && ci > L->base_ci; ci--) {
        level--;
        if (isLua(ci))
            level -= ci->tailcalls; // the lost callers of this frame
    }
    if (level > 0 || ci == L->base_ci)
        return 0;
    ar->i_ci = level < 0 ? 0 : static_cast<int>(ci - L->base_ci);
    return 1;
}

static void funcinfo(lua_Debug* ar, StkId func)
{
    Closure* cl = clvalue(func);
    if (cl->c.isC) {
        ar->source = "=[C]";
        ar->linedefined = -1;
        ar->what = "C";
    } else {
        ar->source = getstr(cl->l.p->source);
        ar->linedefined = cl->l.p->lineDefined;
        ar->what = ar->linedefined == 0 ? "main" : "Lua";
    }
    luaO_chunkid(ar->short_src, ar->source, LUA_IDSIZE);
}

static const char* getfuncname(CallInfo* ci, const char** name)
{
    if (ci == nullptr)
        return nullptr;
    if ((isLua(ci) && ci->tailcalls > 0) || !isLua(ci - 1) || (ci - 1)->savedpc == nullptr)
        return nullptr; // the caller is not a Lua function, or the call was a tail call
    CallInfo* caller = ci - 1;
    int pc = currentpc(caller);
    if (pc < 0) // the caller has not started: a function its call hook runs
        return nullptr;
    Instruction i = ci_proto(caller)->code[pc];
    if (GET_OPCODE(i) == OP_CALL || GET_OPCODE(i) == OP_TAILCALL)
        return luaG_getobjname(caller, GETARG_A(i), name);
    return nullptr;
}

// A function no calling instruction names (one called from C, by pcall for
// instance) is named after a global that holds it, when there is one: error
// messages such as "bad argument" rely on it.
static const char* travglobals(lua_State* L, const TObject* o)
{
    Table* g = hvalue(gt(L));
    int i = sizenode(g);
    while (i--) {
        Node* n = &g->node[i];
        if (luaO_rawequalObj(o, gval(n)) && ttisstring(gkey(n)))
            return getstr(tsvalue(gkey(n)));
    }
    return nullptr;
}

// A level lost to a tail call: no function, no source, no line, no name.
static void info_tailcall(lua_State* L, const char* what, lua_Debug* ar)
{
    ar->name = ar->namewhat = "";
    ar->what = "tail";
    ar->linedefined = ar->currentline = -1;
    ar->source = "=(tail call)";
    luaO_chunkid(ar->short_src, ar->source, LUA_IDSIZE);
    ar->nups = 0;
    if (std::strchr(what, 'f')) { // the function is nil
        setnilvalue(L->top);
        incr_top(L);
    }
}

extern "C" int lua_getinfo(lua_State* L, const char* what, lua_Debug* ar)
{
    StkId f;
    CallInfo* ci = nullptr;
    if (*what == '>') {
        f = L->top - 1;
        if (!ttisfunction(f))
            luaG_runerror(L, "value for `lua_getinfo' is not a function");
        what++;
        L->top--;
    } else if (ar->i_ci != 0) {
        ci = L->base_ci + ar->i_ci;
        f = ci->func;
    } else {
        info_tailcall(L, what, ar);
        return 1;
    }
    int status = 1;
    for (; *what; what++) {
        switch (*what) {
        case 'S': funcinfo(ar, f); break;
        case 'l': ar->currentline = ci ? luaG_currentline(ci) : -1; break;
        case 'u': ar->nups = clvalue(f)->c.nupvalues; break;
        case 'n':
            ar->namewhat = ci ? getfuncname(ci, &ar->name) : nullptr;
            if (ar->namewhat == nullptr) {
                ar->name = travglobals(L, f);
                ar->namewhat = ar->name ? "global" : "";
            }
            break;
        case 'f':
            setobj(L->top, f);
            incr_top(L);
            break;
        default: status = 0;
        }
    }
    return status;
}

extern "C" const char* lua_getlocal(lua_State* L, const lua_Debug* ar, int n)
{
    CallInfo* ci = L->base_ci + ar->i_ci;
    if (ar->i_ci == 0 || !isLua(ci))
        return nullptr;
    const char* name = luaF_getlocalname(ci_proto(ci), n, currentpc(ci));
    if (name) {
        setobj(L->top, ci->base + (n - 1));
        incr_top(L);
    }
    return name;
}

extern "C" const char* lua_setlocal(lua_State* L, const lua_Debug* ar, int n)
{
    CallInfo* ci = L->base_ci + ar->i_ci;
    if (ar->i_ci == 0 || !isLua(ci)) {
        L->top--;
        return nullptr;
    }
    const char* name = luaF_getlocalname(ci_proto(ci), n, currentpc(ci));
    if (name && name[0] == '(') // the compiler's own locals ("(for limit)"...) are not to be changed
        name = nullptr;
    if (name)
        setobj(ci->base + (n - 1), L->top - 1);
    L->top--;
    return name;
}

extern "C" int lua_sethook(lua_State* L, lua_Hook func, int mask, int count)
{
    if (func == nullptr || mask == 0) {
        mask = 0;
        func = nullptr;
    }
    L->hook = func;
    L->basehookcount = count;
    L->hookcount = count;
    L->hookmask = static_cast<lu_byte>(mask);
    L->hookinit = 0;
    return 1;
}

extern "C" lua_Hook lua_gethook(lua_State* L) { return L->hook; }
extern "C" int lua_gethookmask(lua_State* L) { return L->hookmask; }
extern "C" int lua_gethookcount(lua_State* L) { return L->basehookcount; }

// ---- code checker for loaded chunks ---------------------------------------------------
// Every operand must stay inside the function's registers, constants,
// prototypes and code, so a damaged chunk cannot make the machine read or
// write outside them.

namespace {

bool isOpenCall(Instruction i)
{
    OpCode op = GET_OPCODE(i);
    return (op == OP_CALL || op == OP_TAILCALL) && GETARG_C(i) == 0;
}

bool checkRK(const Proto* pt, int x)
{
    return ISK(x) ? x - MAXSTACK < pt->sizek : x < pt->maxstacksize;
}

bool checkJumpTarget(const Proto* pt, int pc, int offset)
{
    int dest = pc + 1 + offset;
    return dest >= 0 && dest < pt->sizecode;
}

// Targets of every jump: an instruction that takes the values left by an open
// call must not be reachable from anywhere but that call.
std::vector<bool> jumpTargets(const Proto* pt)
{
    std::vector<bool> targets(static_cast<size_t>(pt->sizecode) + 1, false);
    for (int pc = 0; pc < pt->sizecode; pc++) {
        OpCode op = GET_OPCODE(pt->code[pc]);
        if (op == OP_JMP || op == OP_FORLOOP || op == OP_TFORPREP) {
            int dest = pc + 1 + GETARG_sBx(pt->code[pc]);
            if (dest >= 0 && dest < pt->sizecode)
                targets[static_cast<size_t>(dest)] = true;
        }
        if (op == OP_LOADBOOL && GETARG_C(pt->code[pc]) && pc + 2 < pt->sizecode)
            targets[static_cast<size_t>(pc + 2)] = true;
    }
    return targets;
}

bool checkInstruction(const Proto* pt, int pc)
{
    Instruction i = pt->code[pc];
    OpCode op = GET_OPCODE(i);
    if (op >= NUM_OPCODES)
        return false;
    int a = GETARG_A(i);
    int b = GETARG_B(i);
    int c = GETARG_C(i);
    int bx = GETARG_Bx(i);
    int top = pt->maxstacksize;
    if (op != OP_JMP && a >= top)
        return false;
    if (testOpMode(op, OpModeBreg) && b >= top)
        return false;
    if (testOpMode(op, OpModeBrk) && !checkRK(pt, b))
        return false;
    if (testOpMode(op, OpModeCrk) && !checkRK(pt, c))
        return false;
    if (testOpMode(op, OpModeT)) { // a test: a jump must follow
        if (pc + 1 >= pt->sizecode || GET_OPCODE(pt->code[pc + 1]) != OP_JMP ||
            !checkJumpTarget(pt, pc + 1, GETARG_sBx(pt->code[pc + 1])))
            return false;
    }
    bool previousOpen = pc > 0 && isOpenCall(pt->code[pc - 1]);
    switch (op) {
    case OP_LOADK: return bx < pt->sizek;
    case OP_GETGLOBAL:
    case OP_SETGLOBAL: return bx < pt->sizek && ttisstring(&pt->k[bx]);
    case OP_LOADBOOL: return c == 0 || pc + 2 < pt->sizecode;
    case OP_NEWTABLE: return (b >> 3) <= 20 && c <= 20; // sizes a compiler could ask for
    case OP_LOADNIL: return a <= b;
    case OP_GETUPVAL:
    case OP_SETUPVAL: return b < pt->nups;
    case OP_SELF: return a + 1 < top;
    case OP_CONCAT: return b < c && c < top;
    case OP_JMP:
    case OP_FORLOOP:
    case OP_TFORPREP:
        if (op == OP_FORLOOP && a + 2 >= top)
            return false;
        if (op == OP_TFORPREP && a + 1 >= top)
            return false;
        return checkJumpTarget(pt, pc, GETARG_sBx(i));
    case OP_TFORLOOP: return a + c + 6 <= top;
    case OP_CALL:
    case OP_TAILCALL:
        if (b == 0 ? !previousOpen : a + b - 1 >= top)
            return false;
        if (c == 0) // an open call: its values must be taken by the next instruction
            return pc + 1 < pt->sizecode;
        return a + c - 2 < top;
    case OP_RETURN:
        if (b == 0)
            return previousOpen;
        return a + b - 2 < top;
    case OP_SETLIST: return a + (bx & (LFIELDS_PER_FLUSH - 1)) + 1 < top;
    case OP_SETLISTO: return previousOpen;
    case OP_CLOSURE: {
        if (bx >= pt->sizep || pt->p[bx] == nullptr)
            return false;
        int nup = pt->p[bx]->nups;
        if (pc + nup >= pt->sizecode)
            return false;
        for (int j = 1; j <= nup; j++) {
            Instruction u = pt->code[pc + j];
            if (GET_OPCODE(u) == OP_GETUPVAL) {
                if (GETARG_B(u) >= pt->nups)
                    return false;
            } else if (GET_OPCODE(u) != OP_MOVE || GETARG_B(u) >= top) {
                return false;
            }
        }
        return true;
    }
    default: return true;
    }
}

} // namespace

int luaG_checkcode(const Proto* pt)
{
    if (pt->maxstacksize > MAXSTACK || pt->numparams + pt->is_vararg > pt->maxstacksize)
        return 0;
    if (pt->sizelineinfo != pt->sizecode && pt->sizelineinfo != 0)
        return 0;
    if (pt->sizecode == 0 || GET_OPCODE(pt->code[pt->sizecode - 1]) != OP_RETURN)
        return 0;
    if (pt->is_vararg > 1)
        return 0;
    for (int i = 0; i < pt->sizek; i++) {
        int t = ttype(&pt->k[i]);
        if (t != LUA_TNIL && t != LUA_TNUMBER && t != LUA_TSTRING && t != LUA_TWSTRING)
            return 0;
    }
    std::vector<bool> targets = jumpTargets(pt);
    for (int pc = 0; pc < pt->sizecode; pc++) {
        if (!checkInstruction(pt, pc))
            return 0;
        Instruction i = pt->code[pc];
        OpCode op = GET_OPCODE(i);
        bool takesOpenValues = ((op == OP_CALL || op == OP_TAILCALL || op == OP_RETURN) && GETARG_B(i) == 0) ||
                               op == OP_SETLISTO;
        if (takesOpenValues && targets[static_cast<size_t>(pc)])
            return 0;
        // an open call feeds exactly one consumer
        if (isOpenCall(pt->code[pc])) {
            OpCode next = GET_OPCODE(pt->code[pc + 1]);
            int nb = GETARG_B(pt->code[pc + 1]);
            bool consumer = ((next == OP_CALL || next == OP_TAILCALL || next == OP_RETURN) && nb == 0) ||
                            next == OP_SETLISTO;
            if (!consumer)
                return 0;
        }
    }
    return 1;
}
