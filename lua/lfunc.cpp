#include "lfunc.h"

#include "lgc.h"
#include "lmem.h"
#include "lstate.h"

namespace {

size_t sizeCclosure(int n) { return sizeof(CClosure) + sizeof(TObject) * (n > 0 ? n - 1 : 0); }
size_t sizeLclosure(int n) { return sizeof(LClosure) + sizeof(UpVal*) * (n > 0 ? n - 1 : 0); }

} // namespace

size_t luaF_closuresize(const Closure* c)
{
    return c->c.isC ? sizeCclosure(c->c.nupvalues) : sizeLclosure(c->l.nupvalues);
}

Closure* luaF_newCclosure(lua_State* L, int nelems)
{
    auto* c = static_cast<Closure*>(luaM_realloc(L, nullptr, 0, sizeCclosure(nelems)));
    luaC_link(L, obj2gco(c), LUA_TFUNCTION);
    c->c.isC = 1;
    c->c.nupvalues = static_cast<lu_byte>(nelems);
    c->c.gclist = nullptr;
    setnilvalue(&c->c.g);
    return c;
}

Closure* luaF_newLclosure(lua_State* L, int nelems, TObject* e)
{
    auto* c = static_cast<Closure*>(luaM_realloc(L, nullptr, 0, sizeLclosure(nelems)));
    luaC_link(L, obj2gco(c), LUA_TFUNCTION);
    c->l.isC = 0;
    c->l.nupvalues = static_cast<lu_byte>(nelems);
    c->l.gclist = nullptr;
    c->l.p = nullptr;
    setobj(&c->l.g, e);
    for (int i = 0; i < nelems; i++)
        c->l.upvals[i] = nullptr;
    return c;
}

// Open upvalues of a thread are kept in a list sorted by stack level, highest
// first, so closing a level walks only the ones above it.
UpVal* luaF_findupval(lua_State* L, StkId level)
{
    GCObject** pp = &L->openupval;
    UpVal* p;
    while ((p = reinterpret_cast<UpVal*>(*pp)) != nullptr && p->v >= level) {
        if (p->v == level)
            return p;
        pp = &p->next;
    }
    auto* v = static_cast<UpVal*>(luaM_realloc(L, nullptr, 0, sizeof(UpVal)));
    v->tt = LUA_TUPVAL;
    v->marked = 0;
    v->v = level;
    setnilvalue(&v->value);
    v->next = *pp;
    *pp = obj2gco(v);
    return v;
}

void luaF_close(lua_State* L, StkId level)
{
    UpVal* p;
    while ((p = reinterpret_cast<UpVal*>(L->openupval)) != nullptr && p->v >= level) {
        setobj(&p->value, p->v);
        p->v = &p->value;
        L->openupval = p->next;
        luaC_link(L, obj2gco(p), LUA_TUPVAL); // a closed upvalue is an ordinary object
    }
}

Proto* luaF_newproto(lua_State* L)
{
    auto* f = static_cast<Proto*>(luaM_realloc(L, nullptr, 0, sizeof(Proto)));
    luaC_link(L, obj2gco(f), LUA_TPROTO);
    f->k = nullptr;
    f->sizek = 0;
    f->p = nullptr;
    f->sizep = 0;
    f->code = nullptr;
    f->sizecode = 0;
    f->sizelineinfo = 0;
    f->sizeupvalues = 0;
    f->nups = 0;
    f->upvalues = nullptr;
    f->numparams = 0;
    f->is_vararg = 0;
    f->maxstacksize = 0;
    f->lineinfo = nullptr;
    f->sizelocvars = 0;
    f->locvars = nullptr;
    f->lineDefined = 0;
    f->source = nullptr;
    f->gclist = nullptr;
    return f;
}

void luaF_freeproto(lua_State* L, Proto* f)
{
    luaM_freearray(L, f->code, f->sizecode);
    luaM_freearray(L, f->p, f->sizep);
    luaM_freearray(L, f->k, f->sizek);
    luaM_freearray(L, f->lineinfo, f->sizelineinfo);
    luaM_freearray(L, f->locvars, f->sizelocvars);
    luaM_freearray(L, f->upvalues, f->sizeupvalues);
    luaM_freemem(L, f, sizeof(Proto));
}

void luaF_freeclosure(lua_State* L, Closure* c)
{
    luaM_freemem(L, c, luaF_closuresize(c));
}

// Name of the local_number-th local active at pc, or null.
const char* luaF_getlocalname(const Proto* f, int local_number, int pc)
{
    for (int i = 0; i < f->sizelocvars && f->locvars[i].startpc <= pc; i++) {
        if (pc < f->locvars[i].endpc) {
            local_number--;
            if (local_number == 0)
                return getstr(f->locvars[i].varname);
        }
    }
    return nullptr;
}
