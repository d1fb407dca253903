#include "lgc.h"

#include <vector>

#include "ldo.h"
#include "lfunc.h"
#include "lmem.h"
#include "lstate.h"
#include "lstring.h"
#include "ltable.h"
#include "ltm.h"
#include "lwork.h"

namespace {

// A removed key whose object may be freed: kept as a tombstone so chains stay
// intact, but never compared or hashed again.
constexpr int LUA_TDEADKEY = LUA_TUPVAL + 1;

bool ismarked(const GCObject* o) { return (o->gch.marked & (MARKBIT | FIXEDBIT)) != 0; }

void unmark(GCObject* o) { o->gch.marked &= static_cast<lu_byte>(~MARKBIT); }

void unmarklist(GCObject* list)
{
    for (GCObject* o = list; o; o = o->gch.next)
        unmark(o);
}

// A marking given up: every object as before it began (the weak tables
// are cleared only once marking is over).
void unmarkall(global_State* g)
{
    unmarklist(g->rootgc);
    unmarklist(g->rootudata);
    unmarklist(g->tmudata);
    for (int i = 0; i < g->strt.size; i++)
        unmarklist(g->strt.hash[i]);
    unmark(reinterpret_cast<GCObject*>(g->mainthread));
}

// A collection runs no Lua instruction however big the heap, so it gives a
// host's count hook with LUA_MASKWORK its turns as long library work does:
// every WORK_POLL_STEPS steps (an object and the slots it holds) of marking.
// The hook may stop the collection with an error there: marking changes
// nothing but mark bits, which are cleared on the way out. Sweeping frees as
// it goes and is not stopped: a turn due meanwhile comes once the collection
// is over. The hook runs only inside a protected call (where its error is
// one of the call's own), with the collector blocked, and may read values
// but not store them (it stops or returns).
class CollectorTurns {
public:
    explicit CollectorTurns(lua_State* L) : L(L) {}
    void marked(size_t slots)
    {
        done += 1 + slots;
        if (done >= WorkSteps::WORK_POLL_STEPS)
            take();
    }
    void swept(size_t objects) { done += objects; }
    void takeIfDue()
    {
        if (done >= WorkSteps::WORK_POLL_STEPS)
            take();
    }

private:
    void take()
    {
        done = 0;
        if (!(L->hookmask & LUA_MASKWORK) || L->nProtected == 0)
            return;
        GCBlock block(L);
        luaW_poll(L);
    }

    lua_State* L;
    size_t done = 0;
};

struct Marker {
    lua_State* L;
    CollectorTurns& turns;
    std::vector<GCObject*> gray;
    std::vector<Table*> weak;

    void markobject(GCObject* o)
    {
        if (o->gch.tt == LUA_TUPVAL && o->uv.v != &o->uv.value) {
            // an open upvalue belongs to its thread's list, not to rootgc:
            // only its value needs marking
            markvalue(o->uv.v);
            return;
        }
        if (o->gch.marked & MARKBIT)
            return;
        o->gch.marked |= MARKBIT;
        switch (o->gch.tt) {
        case LUA_TSTRING:
        case LUA_TWSTRING: break;
        case LUA_TUSERDATA: markobject(obj2gco(o->u.metatable)); break;
        case LUA_TUPVAL: markvalue(o->uv.v); break;
        default: gray.push_back(o); break;
        }
    }

    void markvalue(const TObject* v)
    {
        if (iscollectable(v) && v->tt <= LUA_TUPVAL)
            markobject(gcvalue(v));
    }

    void markstring(TString* s)
    {
        if (s)
            markobject(obj2gco(s));
    }

    void traversetable(Table* h)
    {
        if (h->metatable)
            markobject(obj2gco(h->metatable));
        bool weakkey = false;
        bool weakvalue = false;
        const TObject* mode = fasttm(L, h->metatable, TM_MODE);
        if (mode && ttisstring(mode)) {
            weakkey = std::strchr(svalue(mode), 'k') != nullptr;
            weakvalue = std::strchr(svalue(mode), 'v') != nullptr;
            if (weakkey || weakvalue)
                weak.push_back(h);
        }
        if (!weakvalue)
            for (int i = 0; i < h->sizearray; i++)
                markvalue(&h->array[i]);
        for (int i = sizenode(h) - 1; i >= 0; i--) {
            Node* n = &h->node[i];
            if (!ttisnil(gval(n))) {
                // strings count as values, never as collectable, in weak tables
                if (!weakkey || ttisanystring(gkey(n)))
                    markvalue(gkey(n));
                if (!weakvalue || ttisanystring(gval(n)))
                    markvalue(gval(n));
            }
        }
    }

    void traverseproto(Proto* f)
    {
        markstring(f->source);
        for (int i = 0; i < f->sizek; i++)
            markvalue(&f->k[i]);
        for (int i = 0; i < f->sizeupvalues; i++)
            markstring(f->upvalues[i]);
        for (int i = 0; i < f->sizep; i++)
            if (f->p[i])
                markobject(obj2gco(f->p[i]));
        for (int i = 0; i < f->sizelocvars; i++)
            markstring(f->locvars[i].varname);
    }

    void traverseclosure(Closure* cl)
    {
        markvalue(&cl->c.g);
        if (cl->c.isC) {
            for (int i = 0; i < cl->c.nupvalues; i++)
                markvalue(&cl->c.upvalue[i]);
        } else {
            if (cl->l.p)
                markobject(obj2gco(cl->l.p));
            for (int i = 0; i < cl->l.nupvalues; i++)
                if (cl->l.upvals[i])
                    markobject(obj2gco(cl->l.upvals[i]));
        }
    }

    // Marks the live part of a stack and clears the rest, so no stale value
    // above the top can point to a freed object later.
    void traversestack(lua_State* L1)
    {
        markvalue(gt(L1));
        StkId lim = L1->top;
        for (CallInfo* ci = L1->base_ci; ci <= L1->ci; ci++)
            if (lim < ci->top)
                lim = ci->top;
        StkId o = L1->stack;
        for (; o < L1->top; o++)
            markvalue(o);
        for (; o <= lim && o < L1->stack + L1->stacksize; o++)
            setnilvalue(o);
    }

    // The slots an object holds: the weight of its traversal.
    static size_t slots(GCObject* o)
    {
        switch (o->gch.tt) {
        case LUA_TTABLE: return static_cast<size_t>(o->h.sizearray) + static_cast<size_t>(sizenode(&o->h));
        case LUA_TFUNCTION: return static_cast<size_t>(o->cl.c.nupvalues);
        case LUA_TPROTO: return static_cast<size_t>(o->p.sizek) + static_cast<size_t>(o->p.sizep);
        case LUA_TTHREAD: return static_cast<size_t>(reinterpret_cast<lua_State*>(o)->stacksize);
        default: return 0;
        }
    }

    void propagate()
    {
        while (!gray.empty()) {
            GCObject* o = gray.back();
            gray.pop_back();
            switch (o->gch.tt) {
            case LUA_TTABLE: traversetable(&o->h); break;
            case LUA_TFUNCTION: traverseclosure(&o->cl); break;
            case LUA_TPROTO: traverseproto(&o->p); break;
            case LUA_TTHREAD: traversestack(reinterpret_cast<lua_State*>(o)); break;
            default: break;
            }
            turns.marked(slots(o));
        }
    }

    static bool iscleared(const TObject* o)
    {
        if (!iscollectable(o) || ttisanystring(o))
            return false;
        return !ismarked(gcvalue(o));
    }

    // Removes the entries of the weak tables found so far whose value was
    // not marked, and with `keys' also those whose key was not.
    void clearweak(bool keys)
    {
        for (Table* h : weak) {
            for (int i = 0; i < h->sizearray; i++)
                if (iscleared(&h->array[i]))
                    setnilvalue(&h->array[i]);
            for (int i = sizenode(h) - 1; i >= 0; i--) {
                Node* n = &h->node[i];
                if (!ttisnil(gval(n)) && ((keys && iscleared(gkey(n))) || iscleared(gval(n))))
                    setnilvalue(gval(n));
            }
        }
    }
};

void freeobj(lua_State* L, GCObject* o)
{
    switch (o->gch.tt) {
    case LUA_TPROTO: luaF_freeproto(L, &o->p); break;
    case LUA_TFUNCTION: luaF_freeclosure(L, &o->cl); break;
    case LUA_TUPVAL: luaM_freemem(L, o, sizeof(UpVal)); break;
    case LUA_TTABLE: luaH_free(L, &o->h); break;
    case LUA_TTHREAD: luaE_freethread(L, reinterpret_cast<lua_State*>(o)); break;
    case LUA_TUSERDATA: luaM_freemem(L, o, sizeof(Udata) + (o->u.len == USERDATA_BOX ? sizeof(void*) : o->u.len)); break;
    default: break;
    }
}

// Removed keys whose objects die become tombstones before the objects go.
void killdeadkeys(lua_State*, GCObject* list)
{
    for (GCObject* o = list; o; o = o->gch.next) {
        if (o->gch.tt != LUA_TTABLE || !ismarked(o))
            continue;
        Table* h = &o->h;
        for (int i = sizenode(h) - 1; i >= 0; i--) {
            Node* n = &h->node[i];
            if (ttisnil(gval(n)) && iscollectable(gkey(n)) && gkey(n)->tt <= LUA_TUPVAL &&
                !ismarked(gcvalue(gkey(n))))
                gkey(n)->tt = LUA_TDEADKEY;
        }
    }
}

// Frees the unmarked objects of a list. Dead threads are only unlinked and
// handed back: freeing one closes its open upvalues, which joins them to
// rootgc, and that must not happen while rootgc is being swept. Returns
// how many objects the list held.
size_t sweeplist(lua_State* L, GCObject** p, bool all, std::vector<GCObject*>* deadThreads = nullptr)
{
    size_t seen = 0;
    GCObject* curr;
    while ((curr = *p) != nullptr) {
        ++seen;
        if (!all && ismarked(curr)) {
            unmark(curr);
            p = &curr->gch.next;
        } else {
            *p = curr->gch.next;
            if (deadThreads && curr->gch.tt == LUA_TTHREAD)
                deadThreads->push_back(curr);
            else
                freeobj(L, curr);
        }
    }
    return seen;
}

// Returns how many strings the table held.
size_t sweepstrings(lua_State* L, bool all)
{
    stringtable* tb = &G(L)->strt;
    const size_t seen = static_cast<size_t>(tb->nuse);
    for (int i = 0; i < tb->size; i++) {
        GCObject** p = &tb->hash[i];
        GCObject* curr;
        while ((curr = *p) != nullptr) {
            if ((curr->gch.marked & FIXEDBIT) || (!all && (curr->gch.marked & MARKBIT))) {
                curr->gch.marked &= static_cast<lu_byte>(~MARKBIT);
                p = &curr->gch.next;
            } else {
                *p = curr->gch.next;
                luaS_freestr(L, &curr->ts);
            }
        }
    }
    // shrink a string table that became mostly empty, not below its floor
    int floor = G(L)->minimumnumstrings > 32 ? G(L)->minimumnumstrings : 32;
    int size = tb->size;
    while (tb->nuse < size / 4 && size / 2 >= floor)
        size /= 2;
    if (size != tb->size)
        luaS_resize(L, size);
    return seen;
}

void callgc(lua_State* L, Udata* u)
{
    const TObject* tm = fasttm(L, u->metatable, TM_GC);
    if (tm == nullptr || !ttisfunction(tm))
        return;
    luaD_checkstack(L, 2);
    setobj(L->top, tm);
    setuvalue(L->top + 1, u);
    L->top += 2;
    luaD_call(L, L->top - 2, 0);
}

// While finalisers run debug hooks are off: when the collector runs is no
// business of a hook, and a script's hook output must not depend on it. A
// host's hook that asks for them (LUA_MASKFINALIZERS) still runs: a
// finaliser that never returns must not escape what bounds the script. The
// collector itself stays on: a finaliser may collect (explicitly or by
// allocating), which runs the finalisers still waiting inside it.
struct FinalizerScope {
    lua_State* L;
    lu_byte allowhook;
    explicit FinalizerScope(lua_State* L) : L(L), allowhook(L->allowhook)
    {
        G(L)->gcFinalizing++;
        if (!(L->hookmask & LUA_MASKFINALIZERS))
            L->allowhook = 0;
    }
    ~FinalizerScope()
    {
        L->allowhook = allowhook;
        G(L)->gcFinalizing--;
    }
    FinalizerScope(const FinalizerScope&) = delete;
    FinalizerScope& operator=(const FinalizerScope&) = delete;
};

// Runs one finaliser protected: an error in it is dropped. The userdata is
// on the stack while it runs, so a collection inside keeps it.
void runFinalizer(lua_State* L, Udata* u)
{
    struct Call {
        Udata* u;
    } call{u};
    luaD_pcall(
        L, [](lua_State* L1, void* ud) { callgc(L1, static_cast<Call*>(ud)->u); }, &call, savestack(L, L->top), 0);
}

// The next userdata whose finaliser waits, back among the others, marked
// as finalised before its finaliser runs (it runs once, even if it fails
// or a collection starts inside it).
Udata* takePending(global_State* g)
{
    GCObject* o = g->tmudata;
    g->tmudata = o->gch.next;
    o->gch.next = g->rootudata;
    g->rootudata = o;
    unmark(o);
    o->u.marked |= FINALIZEDBIT;
    return &o->u;
}

bool hasFinalizer(lua_State* L, const Udata* u)
{
    return !(u->marked & FINALIZEDBIT) && fasttm(L, u->metatable, TM_GC) != nullptr;
}

// Moves the unreachable userdata with a `__gc' not run yet (with `all',
// every one) to the head of the waiting list, in the order they had.
void separateudata(lua_State* L, bool all)
{
    global_State* g = G(L);
    GCObject* collected = nullptr;
    GCObject** lastcollected = &collected;
    GCObject** p = &g->rootudata;
    while (GCObject* curr = *p) {
        if ((!all && ismarked(curr)) || !hasFinalizer(L, &curr->u)) {
            p = &curr->gch.next;
            continue;
        }
        *p = curr->gch.next;
        curr->gch.next = nullptr;
        *lastcollected = curr;
        lastcollected = &curr->gch.next;
    }
    *lastcollected = g->tmudata;
    g->tmudata = collected;
}

void markroots(Marker& m, global_State* g)
{
    lua_State* L = m.L;
    m.markobject(reinterpret_cast<GCObject*>(g->mainthread));
    m.markvalue(registry(L));
    m.markvalue(defaultmeta(L));
    for (auto& mt : g->mt)
        m.markvalue(&mt);
    // the running thread may not be reachable from the main one
    m.markobject(reinterpret_cast<GCObject*>(L));
}

// Marks what is alive and sets apart the userdata to finalise. Unreachable
// userdata with a `__gc' survive this cycle (with everything they reach)
// so their finaliser can run; they go in the next cycle. Weak values go
// before those userdata are marked, weak keys only after (with the tables
// first reached from those userdata): a finaliser finds the entries its
// userdata keys, though not those it is the value of, and they stay if it
// brings its userdata back to life.
void mark(Marker& m, global_State* g)
{
    // userdata still waiting from an earlier collection are judged afresh
    unmarklist(g->tmudata);
    markroots(m, g);
    m.propagate();
    m.clearweak(false);
    separateudata(m.L, false);
    for (GCObject* o = g->tmudata; o; o = o->gch.next)
        m.markobject(o);
    m.propagate();
    m.clearweak(true);
}

void sweep(lua_State* L, CollectorTurns& turns)
{
    global_State* g = G(L);
    killdeadkeys(L, g->rootgc);
    std::vector<GCObject*> deadThreads;
    turns.swept(sweeplist(L, &g->rootgc, false, &deadThreads));
    turns.swept(sweeplist(L, &g->rootudata, false));
    turns.swept(sweepstrings(L, false));
    for (GCObject* th : deadThreads) // their closed upvalues are judged next cycle
        freeobj(L, th);
    unmark(reinterpret_cast<GCObject*>(g->mainthread));
}

// A collection inside finalisers nested this deep leaves the finalisers
// that wait to the loops already running them: each nesting takes C levels,
// and one that ran out of them would fail the finalisers it then called.
bool mayRunFinalizers(lua_State* L)
{
    return G(L)->gcFinalizing == 0 || L->nCcalls < LUA_MAXCCALLS / 2;
}

} // namespace

void luaC_link(lua_State* L, GCObject* o, lu_byte tt)
{
    global_State* g = G(L);
    o->gch.next = g->rootgc;
    g->rootgc = o;
    o->gch.marked = 0;
    o->gch.tt = tt;
}

void luaC_collectgarbage(lua_State* L, bool finalize)
{
    global_State* g = G(L);
    CollectorTurns turns(L);
    Marker m{L, turns, {}, {}};
    try {
        mark(m, g);
    } catch (...) {
        unmarkall(g);
        throw;
    }
    sweep(L, turns);
    g->GCthreshold = 2 * g->nblocks;
    if (finalize && mayRunFinalizers(L))
        luaC_callGCTM(L);
    turns.takeIfDue();
}

void luaC_callGCTM(lua_State* L)
{
    global_State* g = G(L);
    if (g->tmudata == nullptr)
        return;
    FinalizerScope scope(L);
    const ptrdiff_t top = savestack(L, L->top);
    while (g->tmudata != nullptr) {
        runFinalizer(L, takePending(g));
        L->top = restorestack(L, top);
    }
}

void luaC_finalizeall(lua_State* L)
{
    separateudata(L, true);
    luaC_callGCTM(L);
}

void luaC_freeall(lua_State* L)
{
    sweeplist(L, &G(L)->tmudata, true);
    sweeplist(L, &G(L)->rootudata, true);
    sweeplist(L, &G(L)->rootgc, true);
}
