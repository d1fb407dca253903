// The parser: a single pass from tokens to a function prototype, with the
// code generator (lcode) allocating registers as expressions are read.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "llex.h"
#include "lobject.h"
#include "lzio.h"

// Kinds of expression descriptors.
enum expkind {
    VVOID,      // no value
    VNIL,
    VTRUE,
    VFALSE,
    VK,         // info = index of constant in `k'
    VLOCAL,     // info = local register
    VUPVAL,     // info = index of upvalue in `upvalues'
    VGLOBAL,    // info = index of the name in `k'
    VINDEXED,   // info = table register; aux = index register (or `k')
    VJMP,       // info = instruction pc of the comparison's jump
    VRELOCABLE, // info = instruction pc whose A is still free
    VNONRELOC,  // info = result register
    VCALL       // info = instruction pc of the call
};

struct expdesc {
    expkind k;
    int info;
    int aux;
    int t; // patch list of `exit when true'
    int f; // patch list of `exit when false'
};

struct BlockCnt; // defined in lparser.cpp

// State of a function being compiled.
struct FuncState {
    Proto* f;
    std::unordered_map<const TString*, int> stringConstants;
    std::unordered_map<uint64_t, int> numberConstants;
    int nilConstant = -1;
    FuncState* prev;  // enclosing function
    LexState* ls;
    lua_State* L;
    BlockCnt* bl;     // chain of current blocks
    int pc;           // next position to code (equivalent to `ncode')
    int lasttarget;   // pc of last jump target
    int jpc;          // list of pending jumps to `pc'
    int freereg;      // first free register
    int nk;           // number of elements in `k'
    int np;           // number of elements in `p'
    int nlocvars;     // number of elements in `locvars'
    int nactvar;      // number of active local variables
    expdesc upvalues[MAXUPVALUES];
    int actvar[MAXVARS]; // declared-variable stack
};

Proto* luaY_parser(lua_State* L, ZIO* z, Mbuffer* buff);
