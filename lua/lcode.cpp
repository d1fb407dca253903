#include "lcode.h"

#include <cstring>

#include "ldebug.h"
#include "lgc.h"
#include "lmem.h"
#include "lstring.h"

namespace {

bool hasjumps(const expdesc* e) { return e->t != e->f; }

// ---- jumps ----------------------------------------------------------------
// A jump list is threaded through the sBx fields of its JMP instructions.

int getjump(FuncState* fs, int pc)
{
    int offset = GETARG_sBx(fs->f->code[pc]);
    return offset == NO_JUMP ? NO_JUMP : (pc + 1) + offset;
}

void fixjump(FuncState* fs, int pc, int dest)
{
    Instruction& jmp = fs->f->code[pc];
    int offset = dest - (pc + 1);
    if (offset > MAXARG_sBx || offset < -MAXARG_sBx)
        luaX_syntaxerror(fs->ls, "control structure too long");
    SETARG_sBx(jmp, offset);
}

// The instruction deciding a jump: the test before it, or the jump itself.
Instruction& getjumpcontrol(FuncState* fs, int pc)
{
    Instruction& pi = fs->f->code[pc];
    if (pc >= 1 && testOpMode(GET_OPCODE(*(&pi - 1)), OpModeT))
        return *(&pi - 1);
    return pi;
}

// Does a list hold a jump that does not carry the tested value itself
// (a comparison, a plain jump, or a TEST of the other sense)?
bool need_value(FuncState* fs, int list, int cond)
{
    for (; list != NO_JUMP; list = getjump(fs, list)) {
        Instruction i = getjumpcontrol(fs, list);
        if (GET_OPCODE(i) != OP_TEST || GETARG_C(i) != cond || GETARG_A(i) == NO_REG)
            return true;
    }
    return false;
}

void patchtestreg(Instruction& i, int reg) { SETARG_A(i, reg == NO_REG ? GETARG_B(i) : reg); }

// Patches every jump of a list: a TEST that jumps when its value is true goes
// to ttarget copying into treg, one that jumps when false to ftarget/freg,
// every other jump to dtarget.
void patchlistaux(FuncState* fs, int list, int ttarget, int treg, int ftarget, int freg, int dtarget)
{
    while (list != NO_JUMP) {
        int next = getjump(fs, list);
        Instruction& i = getjumpcontrol(fs, list);
        if (GET_OPCODE(i) != OP_TEST || GETARG_A(i) == NO_REG) { // no value to carry
            if (GET_OPCODE(i) == OP_TEST)
                patchtestreg(i, NO_REG);
            fixjump(fs, list, dtarget);
        } else if (GETARG_C(i)) {
            patchtestreg(i, treg);
            fixjump(fs, list, ttarget);
        } else {
            patchtestreg(i, freg);
            fixjump(fs, list, ftarget);
        }
        list = next;
    }
}

// After a `not' the tested values are no longer the expression's value:
// such tests are marked (A = NO_REG) so they jump to a boolean load instead.
void removevalues(FuncState* fs, int list)
{
    for (; list != NO_JUMP; list = getjump(fs, list)) {
        Instruction& i = getjumpcontrol(fs, list);
        if (GET_OPCODE(i) == OP_TEST)
            SETARG_A(i, NO_REG);
    }
}

void dischargejpc(FuncState* fs)
{
    patchlistaux(fs, fs->jpc, fs->pc, NO_REG, fs->pc, NO_REG, fs->pc);
    fs->jpc = NO_JUMP;
}

int condjump(FuncState* fs, OpCode op, int a, int b, int c)
{
    luaK_codeABC(fs, op, a, b, c);
    return luaK_jump(fs);
}

// ---- registers and constants ---------------------------------------------------

void freereg(FuncState* fs, int reg)
{
    if (reg >= fs->nactvar && reg < MAXSTACK)
        fs->freereg--;
}

void freeexp(FuncState* fs, expdesc* e)
{
    if (e->k == VNONRELOC)
        freereg(fs, e->info);
}

int addk(FuncState* fs, const TObject* v)
{
    Proto* f = fs->f;
    int oldsize = f->sizek;
    luaM_growvector(fs->L, f->k, fs->nk, f->sizek, MAXARG_Bx, "constant table overflow");
    for (int i = oldsize; i < f->sizek; i++)
        setnilvalue(&f->k[i]);
    setobj(&f->k[fs->nk], v);
    return fs->nk++;
}

int nilK(FuncState* fs)
{
    if (fs->nilConstant < 0) {
        TObject v;
        setnilvalue(&v);
        fs->nilConstant = addk(fs, &v);
    }
    return fs->nilConstant;
}

int code_label(FuncState* fs, int a, int b, int jump)
{
    luaK_getlabel(fs); // these instructions may be jump targets
    return luaK_codeABC(fs, OP_LOADBOOL, a, b, jump);
}

void discharge2reg(FuncState* fs, expdesc* e, int reg)
{
    luaK_dischargevars(fs, e);
    switch (e->k) {
    case VNIL: luaK_nil(fs, reg, 1); break;
    case VFALSE:
    case VTRUE: luaK_codeABC(fs, OP_LOADBOOL, reg, e->k == VTRUE, 0); break;
    case VK: luaK_codeABx(fs, OP_LOADK, reg, e->info); break;
    case VRELOCABLE: SETARG_A(getcode(fs, e), reg); break;
    case VNONRELOC:
        if (reg != e->info)
            luaK_codeABC(fs, OP_MOVE, reg, e->info, 0);
        break;
    default: return; // VVOID and VJMP: nothing to move
    }
    e->info = reg;
    e->k = VNONRELOC;
}

void discharge2anyreg(FuncState* fs, expdesc* e)
{
    if (e->k != VNONRELOC) {
        luaK_reserveregs(fs, 1);
        discharge2reg(fs, e, fs->freereg - 1);
    }
}

void exp2reg(FuncState* fs, expdesc* e, int reg)
{
    discharge2reg(fs, e, reg);
    if (e->k == VJMP)
        luaK_concat(fs, &e->t, e->info); // the comparison jumps when true
    if (hasjumps(e)) {
        int p_f = NO_JUMP; // where `false' is loaded
        int p_t = NO_JUMP; // where `true' is loaded
        if (need_value(fs, e->t, 1) || need_value(fs, e->f, 0)) {
            int fj = e->k == VJMP ? NO_JUMP : luaK_jump(fs);
            p_f = code_label(fs, reg, 0, 1);
            p_t = code_label(fs, reg, 1, 0);
            luaK_patchtohere(fs, fj);
        }
        int final = luaK_getlabel(fs);
        patchlistaux(fs, e->f, p_f, NO_REG, final, reg, p_f);
        patchlistaux(fs, e->t, final, reg, p_t, NO_REG, p_t);
    }
    e->f = e->t = NO_JUMP;
    e->info = reg;
    e->k = VNONRELOC;
}

void invertjump(FuncState* fs, expdesc* e)
{
    Instruction& pc = getjumpcontrol(fs, e->info);
    SETARG_A(pc, !GETARG_A(pc));
}

int jumponcond(FuncState* fs, expdesc* e, int cond)
{
    if (e->k == VRELOCABLE) {
        Instruction ie = getcode(fs, e);
        if (GET_OPCODE(ie) == OP_NOT) {
            fs->pc--; // drop the NOT and test its operand the other way round
            return condjump(fs, OP_TEST, GETARG_B(ie), GETARG_B(ie), !cond);
        }
    }
    discharge2anyreg(fs, e);
    freeexp(fs, e);
    return condjump(fs, OP_TEST, e->info, e->info, cond);
}

void codenot(FuncState* fs, expdesc* e)
{
    luaK_dischargevars(fs, e);
    switch (e->k) {
    case VNIL:
    case VFALSE: e->k = VTRUE; break;
    case VK:
    case VTRUE: e->k = VFALSE; break;
    case VJMP: invertjump(fs, e); break;
    case VRELOCABLE:
    case VNONRELOC:
        discharge2anyreg(fs, e);
        freeexp(fs, e);
        e->info = luaK_codeABC(fs, OP_NOT, 0, e->info, 0);
        e->k = VRELOCABLE;
        break;
    default: break;
    }
    std::swap(e->f, e->t);
    removevalues(fs, e->f);
    removevalues(fs, e->t);
}

void codebinop(FuncState* fs, expdesc* res, BinOpr op, int o1, int o2)
{
    if (op <= OPR_POW) {
        OpCode opc = static_cast<OpCode>((op - OPR_ADD) + OP_ADD);
        res->info = luaK_codeABC(fs, opc, 0, o1, o2);
        res->k = VRELOCABLE;
        return;
    }
    static const OpCode ops[] = {OP_EQ, OP_EQ, OP_LT, OP_LE, OP_LT, OP_LE};
    int cond = 1;
    if (op >= OPR_GT)
        std::swap(o1, o2); // a > b is b < a
    else if (op == OPR_NE)
        cond = 0;
    res->info = condjump(fs, ops[op - OPR_NE], cond, o1, o2);
    res->k = VJMP;
}

} // namespace

int luaK_getlabel(FuncState* fs)
{
    fs->lasttarget = fs->pc;
    return fs->pc;
}

int luaK_jump(FuncState* fs)
{
    // Pending jumps to here go wherever this one goes. They land on a plain
    // jump, so they carry no value of their own any more.
    int jpc = fs->jpc;
    fs->jpc = NO_JUMP;
    removevalues(fs, jpc);
    int j = luaK_codeAsBx(fs, OP_JMP, 0, NO_JUMP);
    luaK_concat(fs, &j, jpc);
    return j;
}

void luaK_patchlist(FuncState* fs, int list, int target)
{
    if (target == fs->pc)
        luaK_patchtohere(fs, list);
    else
        patchlistaux(fs, list, target, NO_REG, target, NO_REG, target);
}

void luaK_patchtohere(FuncState* fs, int list)
{
    luaK_getlabel(fs);
    luaK_concat(fs, &fs->jpc, list);
}

void luaK_concat(FuncState* fs, int* l1, int l2)
{
    if (l2 == NO_JUMP)
        return;
    if (*l1 == NO_JUMP) {
        *l1 = l2;
        return;
    }
    int list = *l1;
    int next;
    while ((next = getjump(fs, list)) != NO_JUMP)
        list = next;
    fixjump(fs, list, l2);
}

void luaK_concatfront(FuncState* fs, int* l1, int l2)
{
    if (l2 == NO_JUMP)
        return;
    if (*l1 != NO_JUMP) {
        int last = l2;
        int next;
        while ((next = getjump(fs, last)) != NO_JUMP)
            last = next;
        fixjump(fs, last, *l1);
    }
    *l1 = l2;
}

void luaK_checkstack(FuncState* fs, int n)
{
    int newstack = fs->freereg + n;
    if (newstack > fs->f->maxstacksize) {
        if (newstack >= MAXSTACK)
            luaX_syntaxerror(fs->ls, "function or expression too complex");
        fs->f->maxstacksize = static_cast<lu_byte>(newstack);
    }
}

void luaK_reserveregs(FuncState* fs, int n)
{
    luaK_checkstack(fs, n);
    fs->freereg += n;
}

void luaK_nil(FuncState* fs, int from, int n)
{
    if (fs->pc > fs->lasttarget && fs->pc > 0) { // no jump lands here: try to extend the last LOADNIL
        Instruction& previous = fs->f->code[fs->pc - 1];
        if (GET_OPCODE(previous) == OP_LOADNIL) {
            int pfrom = GETARG_A(previous);
            int pto = GETARG_B(previous);
            if (pfrom <= from && from <= pto + 1) {
                if (from + n - 1 > pto)
                    SETARG_B(previous, from + n - 1);
                return;
            }
        }
    }
    luaK_codeABC(fs, OP_LOADNIL, from, from + n - 1, 0);
}

int luaK_stringK(FuncState* fs, TString* s)
{
    auto it = fs->stringConstants.find(s);
    if (it != fs->stringConstants.end())
        return it->second;
    TObject o;
    setsvalue(&o, s);
    int k = addk(fs, &o);
    fs->stringConstants.emplace(s, k);
    return k;
}

// Wide strings are interned like narrow ones, so the same map serves.
int luaK_wstringK(FuncState* fs, TString* s) { return luaK_stringK(fs, s); }

// Constants are shared by value, as keys of a table would be: -0 finds the
// slot of 0, so a negated zero numeral folds to the 0 read first (5.0's
// `-0' is 0).
int luaK_numberK(FuncState* fs, lua_Number r)
{
    lua_Number key = r == 0 ? 0 : r;
    uint64_t bits;
    std::memcpy(&bits, &key, sizeof(bits));
    auto it = fs->numberConstants.find(bits);
    if (it != fs->numberConstants.end())
        return it->second;
    TObject o;
    setnvalue(&o, r);
    int k = addk(fs, &o);
    fs->numberConstants.emplace(bits, k);
    return k;
}

void luaK_setcallreturns(FuncState* fs, expdesc* e, int nresults)
{
    if (e->k == VCALL) {
        SETARG_C(getcode(fs, e), nresults + 1);
        if (nresults == 1) {
            e->k = VNONRELOC;
            e->info = GETARG_A(getcode(fs, e));
        }
    }
}

void luaK_dischargevars(FuncState* fs, expdesc* e)
{
    switch (e->k) {
    case VLOCAL: e->k = VNONRELOC; break;
    case VUPVAL:
        e->info = luaK_codeABC(fs, OP_GETUPVAL, 0, e->info, 0);
        e->k = VRELOCABLE;
        break;
    case VGLOBAL:
        e->info = luaK_codeABx(fs, OP_GETGLOBAL, 0, e->info);
        e->k = VRELOCABLE;
        break;
    case VINDEXED:
        freereg(fs, e->aux);
        freereg(fs, e->info);
        e->info = luaK_codeABC(fs, OP_GETTABLE, 0, e->info, e->aux);
        e->k = VRELOCABLE;
        break;
    case VCALL: luaK_setcallreturns(fs, e, 1); break;
    default: break;
    }
}

void luaK_exp2nextreg(FuncState* fs, expdesc* e)
{
    luaK_dischargevars(fs, e);
    freeexp(fs, e);
    luaK_reserveregs(fs, 1);
    exp2reg(fs, e, fs->freereg - 1);
}

int luaK_exp2anyreg(FuncState* fs, expdesc* e)
{
    luaK_dischargevars(fs, e);
    if (e->k == VNONRELOC) {
        if (!hasjumps(e))
            return e->info;
        if (e->info >= fs->nactvar) { // a temporary: the value can go there
            exp2reg(fs, e, e->info);
            return e->info;
        }
    }
    luaK_exp2nextreg(fs, e);
    return e->info;
}

void luaK_exp2val(FuncState* fs, expdesc* e)
{
    if (hasjumps(e))
        luaK_exp2anyreg(fs, e);
    else
        luaK_dischargevars(fs, e);
}

int luaK_exp2RK(FuncState* fs, expdesc* e)
{
    luaK_exp2val(fs, e);
    switch (e->k) {
    case VNIL:
        if (fs->nk + MAXSTACK <= MAXARG_C) {
            e->info = nilK(fs);
            e->k = VK;
            return e->info + MAXSTACK;
        }
        break;
    case VK:
        if (e->info + MAXSTACK <= MAXARG_C)
            return e->info + MAXSTACK;
        break;
    default: break;
    }
    return luaK_exp2anyreg(fs, e);
}

void luaK_storevar(FuncState* fs, expdesc* var, expdesc* ex)
{
    switch (var->k) {
    case VLOCAL:
        freeexp(fs, ex);
        exp2reg(fs, ex, var->info);
        return;
    case VUPVAL: {
        int e = luaK_exp2anyreg(fs, ex);
        luaK_codeABC(fs, OP_SETUPVAL, e, var->info, 0);
        break;
    }
    case VGLOBAL: {
        int e = luaK_exp2anyreg(fs, ex);
        luaK_codeABx(fs, OP_SETGLOBAL, e, var->info);
        break;
    }
    case VINDEXED: {
        int e = luaK_exp2RK(fs, ex);
        luaK_codeABC(fs, OP_SETTABLE, var->info, var->aux, e);
        break;
    }
    default: break;
    }
    freeexp(fs, ex);
}

void luaK_self(FuncState* fs, expdesc* e, expdesc* key)
{
    luaK_exp2anyreg(fs, e);
    freeexp(fs, e);
    int func = fs->freereg;
    luaK_reserveregs(fs, 2);
    luaK_codeABC(fs, OP_SELF, func, e->info, luaK_exp2RK(fs, key));
    freeexp(fs, key);
    e->info = func;
    e->k = VNONRELOC;
}

void luaK_goiftrue(FuncState* fs, expdesc* e)
{
    int pc;
    luaK_dischargevars(fs, e);
    switch (e->k) {
    case VK:
    case VTRUE: pc = NO_JUMP; break; // always true: nothing to do
    case VFALSE: pc = luaK_jump(fs); break;
    case VJMP:
        invertjump(fs, e);
        pc = e->info;
        break;
    default: pc = jumponcond(fs, e, 0); break;
    }
    luaK_concat(fs, &e->f, pc);
    luaK_patchtohere(fs, e->t);
    e->t = NO_JUMP;
}

void luaK_goiffalse(FuncState* fs, expdesc* e)
{
    int pc;
    luaK_dischargevars(fs, e);
    switch (e->k) {
    case VNIL:
    case VFALSE: pc = NO_JUMP; break; // always false: nothing to do
    case VTRUE: pc = luaK_jump(fs); break;
    case VJMP: pc = e->info; break;
    default: pc = jumponcond(fs, e, 1); break;
    }
    luaK_concat(fs, &e->t, pc);
    luaK_patchtohere(fs, e->f);
    e->f = NO_JUMP;
}

void luaK_indexed(FuncState* fs, expdesc* t, expdesc* k)
{
    t->aux = luaK_exp2RK(fs, k);
    t->k = VINDEXED;
}

void luaK_prefix(FuncState* fs, UnOpr op, expdesc* e)
{
    if (op == OPR_MINUS) {
        luaK_exp2val(fs, e);
        if (e->k == VK && ttisnumber(&fs->f->k[e->info])) {
            e->info = luaK_numberK(fs, -nvalue(&fs->f->k[e->info]));
        } else {
            luaK_exp2anyreg(fs, e);
            freeexp(fs, e);
            e->info = luaK_codeABC(fs, OP_UNM, 0, e->info, 0);
            e->k = VRELOCABLE;
        }
    } else {
        codenot(fs, e);
    }
}

void luaK_infix(FuncState* fs, BinOpr op, expdesc* v)
{
    switch (op) {
    case OPR_AND: luaK_goiftrue(fs, v); break;
    case OPR_OR: luaK_goiffalse(fs, v); break;
    case OPR_CONCAT: luaK_exp2nextreg(fs, v); break; // operands must be consecutive
    default: luaK_exp2RK(fs, v); break;
    }
}

void luaK_posfix(FuncState* fs, BinOpr op, expdesc* e1, expdesc* e2)
{
    switch (op) {
    case OPR_AND:
        luaK_dischargevars(fs, e2);
        luaK_concat(fs, &e2->f, e1->f);
        *e1 = *e2;
        break;
    case OPR_OR:
        luaK_dischargevars(fs, e2);
        luaK_concat(fs, &e2->t, e1->t);
        *e1 = *e2;
        break;
    case OPR_CONCAT:
        luaK_exp2val(fs, e2);
        if (e2->k == VRELOCABLE && GET_OPCODE(getcode(fs, e2)) == OP_CONCAT) {
            // a..b..c: extend the right operand's CONCAT down to e1
            freeexp(fs, e1);
            SETARG_B(getcode(fs, e2), e1->info);
            e1->k = e2->k;
            e1->info = e2->info;
        } else {
            luaK_exp2nextreg(fs, e2);
            freeexp(fs, e2);
            freeexp(fs, e1);
            e1->info = luaK_codeABC(fs, OP_CONCAT, 0, e1->info, e2->info);
            e1->k = VRELOCABLE;
        }
        break;
    default: {
        int o1 = luaK_exp2RK(fs, e1);
        int o2 = luaK_exp2RK(fs, e2);
        freeexp(fs, e2);
        freeexp(fs, e1);
        codebinop(fs, e1, op, o1, o2);
        break;
    }
    }
}

void luaK_fixline(FuncState* fs, int line) { fs->f->lineinfo[fs->pc - 1] = line; }

int luaK_code(FuncState* fs, Instruction i, int line)
{
    Proto* f = fs->f;
    dischargejpc(fs); // pending jumps land on this instruction
    luaM_growvector(fs->L, f->code, fs->pc, f->sizecode, 0x7fffffff, "code size overflow");
    f->code[fs->pc] = i;
    luaM_growvector(fs->L, f->lineinfo, fs->pc, f->sizelineinfo, 0x7fffffff, "code size overflow");
    f->lineinfo[fs->pc] = line;
    return fs->pc++;
}

int luaK_codeABC(FuncState* fs, OpCode o, int a, int b, int c)
{
    return luaK_code(fs, CREATE_ABC(o, a, b, c), fs->ls->lastline);
}

int luaK_codeABx(FuncState* fs, OpCode o, int a, int bc)
{
    return luaK_code(fs, CREATE_ABx(o, a, bc), fs->ls->lastline);
}
