// The code generator: emits instructions for the parser, allocates
// registers, keeps jump lists and turns expression descriptors into values.
#pragma once

#include "llex.h"
#include "lobject.h"
#include "lopcodes.h"
#include "lparser.h"

constexpr int NO_JUMP = -1; // marks the end of a patch list

// Binary operators, in the dialect's order (the arithmetic ones map onto
// consecutive opcodes from OP_ADD).
enum BinOpr {
    OPR_ADD,
    OPR_SUB,
    OPR_MULT,
    OPR_DIV,
    OPR_BAND,
    OPR_BOR,
    OPR_SHL,
    OPR_SHR,
    OPR_POW,
    OPR_CONCAT,
    OPR_NE,
    OPR_EQ,
    OPR_LT,
    OPR_LE,
    OPR_GT,
    OPR_GE,
    OPR_AND,
    OPR_OR,
    OPR_NOBINOPR
};

enum UnOpr { OPR_MINUS, OPR_NOT, OPR_NOUNOPR };

inline Instruction& getcode(FuncState* fs, const expdesc* e) { return fs->f->code[e->info]; }
inline bool hasmultret(expkind k) { return k == VCALL; }

int luaK_code(FuncState* fs, Instruction i, int line);
int luaK_codeABC(FuncState* fs, OpCode o, int a, int b, int c);
int luaK_codeABx(FuncState* fs, OpCode o, int a, int bc);
inline int luaK_codeAsBx(FuncState* fs, OpCode o, int a, int sbx) { return luaK_codeABx(fs, o, a, sbx + MAXARG_sBx); }
void luaK_fixline(FuncState* fs, int line);
void luaK_nil(FuncState* fs, int from, int n);
void luaK_reserveregs(FuncState* fs, int n);
void luaK_checkstack(FuncState* fs, int n);
int luaK_stringK(FuncState* fs, TString* s);
int luaK_wstringK(FuncState* fs, TString* s);
int luaK_numberK(FuncState* fs, lua_Number r);
void luaK_dischargevars(FuncState* fs, expdesc* e);
int luaK_exp2anyreg(FuncState* fs, expdesc* e);
void luaK_exp2nextreg(FuncState* fs, expdesc* e);
void luaK_exp2val(FuncState* fs, expdesc* e);
int luaK_exp2RK(FuncState* fs, expdesc* e);
void luaK_self(FuncState* fs, expdesc* e, expdesc* key);
void luaK_indexed(FuncState* fs, expdesc* t, expdesc* k);
void luaK_goiftrue(FuncState* fs, expdesc* e);
void luaK_goiffalse(FuncState* fs, expdesc* e);
void luaK_storevar(FuncState* fs, expdesc* var, expdesc* e);
void luaK_setcallreturns(FuncState* fs, expdesc* var, int nresults);
int luaK_jump(FuncState* fs);
void luaK_patchlist(FuncState* fs, int list, int target);
void luaK_patchtohere(FuncState* fs, int list);
void luaK_concat(FuncState* fs, int* l1, int l2);
// As luaK_concat, but walks only l2: for a list that grows by many short
// lists (the exits of an if-elseif chain), where walking l1 each time would
// make compiling quadratic. The order of a jump list does not matter.
void luaK_concatfront(FuncState* fs, int* l1, int l2);
int luaK_getlabel(FuncState* fs);
void luaK_prefix(FuncState* fs, UnOpr op, expdesc* v);
void luaK_infix(FuncState* fs, BinOpr op, expdesc* v);
void luaK_posfix(FuncState* fs, BinOpr op, expdesc* v1, expdesc* v2);
