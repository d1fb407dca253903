// Instruction layout: 32 bits, opcode in bits 0-5, C in 6-14, B in 15-23,
// A in 24-31; Bx is bits 6-23 and sBx = Bx - MAXARG_sBx. An RK operand of
// MAXSTACK (250) or more names constant (operand - MAXSTACK).
#pragma once

#include "lobject.h"

enum OpMode { iABC, iABx, iAsBx };

constexpr int SIZE_C = 9;
constexpr int SIZE_B = 9;
constexpr int SIZE_Bx = SIZE_C + SIZE_B;
constexpr int SIZE_A = 8;
constexpr int SIZE_OP = 6;

constexpr int POS_C = SIZE_OP;
constexpr int POS_B = POS_C + SIZE_C;
constexpr int POS_Bx = POS_C;
constexpr int POS_A = POS_B + SIZE_B;

constexpr int MAXARG_Bx = (1 << SIZE_Bx) - 1;
constexpr int MAXARG_sBx = MAXARG_Bx >> 1;
constexpr int MAXARG_A = (1 << SIZE_A) - 1;
constexpr int MAXARG_B = (1 << SIZE_B) - 1;
constexpr int MAXARG_C = (1 << SIZE_C) - 1;

constexpr Instruction mask1(int n, int p) { return ((~((~Instruction(0)) << n)) << p); }

enum OpCode {
    OP_MOVE,      // A B     R(A) := R(B)
    OP_LOADK,     // A Bx    R(A) := Kst(Bx)
    OP_LOADBOOL,  // A B C   R(A) := (Bool)B; if (C) PC++
    OP_LOADNIL,   // A B     R(A) := ... := R(B) := nil
    OP_GETUPVAL,  // A B     R(A) := UpValue[B]
    OP_GETGLOBAL, // A Bx    R(A) := Gbl[Kst(Bx)]
    OP_GETTABLE,  // A B C   R(A) := R(B)[RK(C)]
    OP_SETGLOBAL, // A Bx    Gbl[Kst(Bx)] := R(A)
    OP_SETUPVAL,  // A B     UpValue[B] := R(A)
    OP_SETTABLE,  // A B C   R(A)[RK(B)] := RK(C)
    OP_NEWTABLE,  // A B C   R(A) := {} (array size fb2int(B), hash size 2^C)
    OP_SELF,      // A B C   R(A+1) := R(B); R(A) := R(B)[RK(C)]
    OP_ADD,       // A B C   R(A) := RK(B) + RK(C)
    OP_SUB,
    OP_MUL,
    OP_DIV,
    OP_BAND,      // A B C   R(A) := u32(RK(B)) & u32(RK(C))
    OP_BOR,       // A B C   R(A) := u32(RK(B)) | u32(RK(C))
    OP_SHL,       // A B C   R(A) := u32(RK(B)) << (u32(RK(C)) % 32)
    OP_SHR,       // A B C   R(A) := u32(RK(B)) >> (u32(RK(C)) % 32)
    OP_POW,       // A B C   R(A) := u32(RK(B)) ^ u32(RK(C)) for numbers, else the __pow path
    OP_UNM,       // A B     R(A) := -R(B)
    OP_NOT,       // A B     R(A) := not R(B)
    OP_CONCAT,    // A B C   R(A) := R(B).. ... ..R(C)
    OP_JMP,       // sBx     PC += sBx
    OP_EQ,        // A B C   if ((RK(B) == RK(C)) ~= A) then pc++
    OP_LT,        // A B C   if ((RK(B) <  RK(C)) ~= A) then pc++
    OP_LE,        // A B C   if ((RK(B) <= RK(C)) ~= A) then pc++
    OP_TEST,      // A B C   if (R(B) <=> C) then R(A) := R(B) else pc++
    OP_CALL,      // A B C   R(A), ... ,R(A+C-2) := R(A)(R(A+1), ... ,R(A+B-1))
    OP_TAILCALL,  // A B C   return R(A)(R(A+1), ... ,R(A+B-1))
    OP_RETURN,    // A B     return R(A), ... ,R(A+B-2)
    OP_FORLOOP,   // A sBx   R(A)+=R(A+2); if R(A) <?= R(A+1) then PC+= sBx
    OP_TFORLOOP,  // A C     R(A+2), ... ,R(A+2+C) := R(A)(R(A+1), R(A+2)); if R(A+2) ~= nil then pc++
    OP_TFORPREP,  // A sBx   if type(R(A)) == table then R(A+1):=R(A), R(A):=next; PC += sBx
    OP_SETLIST,   // A Bx    R(A)[Bx-Bx%FPF+i] := R(A+i), 1 <= i <= Bx%FPF+1
    OP_SETLISTO,  // A Bx    the same, up to the top
    OP_CLOSE,     // A       close all variables in the stack up to (>=) R(A)
    OP_CLOSURE    // A Bx    R(A) := closure(KPROTO[Bx], R(A), ... ,R(A+n))
};

constexpr int NUM_OPCODES = OP_CLOSURE + 1;
static_assert(NUM_OPCODES == 39, "the dialect has 39 opcodes");

inline OpCode GET_OPCODE(Instruction i) { return static_cast<OpCode>(i & mask1(SIZE_OP, 0)); }
inline int GETARG_A(Instruction i) { return static_cast<int>((i >> POS_A) & mask1(SIZE_A, 0)); }
inline int GETARG_B(Instruction i) { return static_cast<int>((i >> POS_B) & mask1(SIZE_B, 0)); }
inline int GETARG_C(Instruction i) { return static_cast<int>((i >> POS_C) & mask1(SIZE_C, 0)); }
inline int GETARG_Bx(Instruction i) { return static_cast<int>((i >> POS_Bx) & mask1(SIZE_Bx, 0)); }
inline int GETARG_sBx(Instruction i) { return GETARG_Bx(i) - MAXARG_sBx; }

inline void SET_OPCODE(Instruction& i, OpCode o) { i = (i & ~mask1(SIZE_OP, 0)) | static_cast<Instruction>(o); }
inline void SETARG_A(Instruction& i, int a)
{
    i = (i & ~mask1(SIZE_A, POS_A)) | ((static_cast<Instruction>(a) << POS_A) & mask1(SIZE_A, POS_A));
}
inline void SETARG_B(Instruction& i, int b)
{
    i = (i & ~mask1(SIZE_B, POS_B)) | ((static_cast<Instruction>(b) << POS_B) & mask1(SIZE_B, POS_B));
}
inline void SETARG_C(Instruction& i, int c)
{
    i = (i & ~mask1(SIZE_C, POS_C)) | ((static_cast<Instruction>(c) << POS_C) & mask1(SIZE_C, POS_C));
}
inline void SETARG_Bx(Instruction& i, int bx)
{
    i = (i & ~mask1(SIZE_Bx, POS_Bx)) | ((static_cast<Instruction>(bx) << POS_Bx) & mask1(SIZE_Bx, POS_Bx));
}
inline void SETARG_sBx(Instruction& i, int b) { SETARG_Bx(i, b + MAXARG_sBx); }

inline Instruction CREATE_ABC(OpCode o, int a, int b, int c)
{
    return static_cast<Instruction>(o) | (static_cast<Instruction>(a) << POS_A) |
           (static_cast<Instruction>(b) << POS_B) | (static_cast<Instruction>(c) << POS_C);
}
inline Instruction CREATE_ABx(OpCode o, int a, int bc)
{
    return static_cast<Instruction>(o) | (static_cast<Instruction>(a) << POS_A) |
           (static_cast<Instruction>(bc) << POS_Bx);
}

constexpr int NO_REG = MAXARG_A;

inline bool ISK(int x) { return x >= MAXSTACK; }

// Operand modes, one byte per opcode:
// bit 7 = test (next instruction is a jump), bit 6 = sets register A,
// bit 5 = B is RK, bit 4 = C is RK, bit 3 = Bx is a constant, bits 0-1 = format.
enum OpModeMask { OpModeBreg = 2, OpModeBrk, OpModeCrk, OpModesetA, OpModeK, OpModeT };

extern const lu_byte luaP_opmodes[NUM_OPCODES];
extern const char* const luaP_opnames[NUM_OPCODES];

inline OpMode getOpMode(OpCode m) { return static_cast<OpMode>(luaP_opmodes[m] & 3); }
inline bool testOpMode(OpCode m, int b) { return (luaP_opmodes[m] & (1 << b)) != 0; }
