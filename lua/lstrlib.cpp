// The string library of Lua 5.0 (patterns, format, gfind, gsub), plus the
// dialect's `lualex', `pack' and `unpack' (lstrpack.cpp) and the `string'
// table as the default metatable of strings.
#include <cctype>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <string>

#include "lauxlib.h"
#include "lmem.h"
#include "lua.h"
#include "lualib.h"
#include "lstrlib.h"
#include "lwork.h"

namespace {

using sint32 = long;

inline int uchar(char c) { return static_cast<unsigned char>(c); }

sint32 posrelat(sint32 pos, size_t len)
{
    // relative string position: negative means back from end
    return pos >= 0 ? pos : static_cast<sint32>(len) + pos + 1;
}

int str_len(lua_State* L)
{
    size_t l;
    luaL_checklstring(L, 1, &l);
    lua_pushnumber(L, static_cast<lua_Number>(l));
    return 1;
}

int str_sub(lua_State* L)
{
    size_t l;
    const char* s = luaL_checklstring(L, 1, &l);
    sint32 start = posrelat(luaL_checklong(L, 2), l);
    sint32 end = posrelat(luaL_optlong(L, 3, -1), l);
    if (start < 1)
        start = 1;
    if (end > static_cast<sint32>(l))
        end = static_cast<sint32>(l);
    if (start <= end) {
        // a long piece is copied in this one call
        WorkSteps(L).copied(static_cast<size_t>(end - start + 1));
        lua_pushlstring(L, s + start - 1, static_cast<size_t>(end - start + 1));
    } else {
        lua_pushliteral(L, "");
    }
    return 1;
}

// Pushes argument 1 with every byte passed through the C library's mapping.
int mapBytes(lua_State* L, int (*map)(int))
{
    size_t l;
    luaL_Buffer b;
    const char* s = luaL_checklstring(L, 1, &l);
    luaL_buffinit(L, &b);
    WorkSteps work(L);
    for (size_t i = 0; i < l; i++) {
        work.step();
        luaL_putchar(&b, map(uchar(s[i])));
    }
    luaL_pushresult(&b);
    return 1;
}

int str_lower(lua_State* L)
{
    return mapBytes(L, [](int c) { return std::tolower(c); });
}

int str_upper(lua_State* L)
{
    return mapBytes(L, [](int c) { return std::toupper(c); });
}

int str_rep(lua_State* L)
{
    size_t l;
    luaL_Buffer b;
    const char* s = luaL_checklstring(L, 1, &l);
    int n = luaL_checkint(L, 2);
    luaL_buffinit(L, &b);
    WorkSteps work(L); // a huge count takes seconds in this one call
    while (n-- > 0) {
        luaL_addlstring(&b, s, l);
        work.copied(l);
    }
    luaL_pushresult(&b);
    return 1;
}

// One value: the code of the i-th character, or nil out of range.
int str_byte(lua_State* L)
{
    size_t l;
    const char* s = luaL_checklstring(L, 1, &l);
    sint32 pos = posrelat(luaL_optlong(L, 2, 1), l);
    if (pos <= 0 || static_cast<size_t>(pos) > l)
        return 0; // no value at all, not even nil
    lua_pushnumber(L, uchar(s[pos - 1]));
    return 1;
}

int str_char(lua_State* L)
{
    int n = lua_gettop(L);
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    for (int i = 1; i <= n; i++) {
        int c = luaL_checkint(L, i);
        luaL_argcheck(L, uchar(static_cast<char>(c)) == c, i, "invalid value");
        luaL_putchar(&b, uchar(static_cast<char>(c)));
    }
    luaL_pushresult(&b);
    return 1;
}

int writer(lua_State*, const void* b, size_t size, void* B)
{
    luaL_addlstring(static_cast<luaL_Buffer*>(B), static_cast<const char*>(b), size);
    return 1;
}

int str_dump(lua_State* L)
{
    luaL_Buffer b;
    luaL_checktype(L, 1, LUA_TFUNCTION);
    luaL_buffinit(L, &b);
    if (!lua_dump(L, writer, &b))
        luaL_error(L, "unable to dump given function");
    luaL_pushresult(&b);
    return 1;
}

// ---- character classes ------------------------------------------------------------

// `%a', `%d', ... are the C library's classes in its current locale (os.setlocale
// changes them). The matcher tests one for every character of a run, and from C++
// glibc's ctype functions are calls (their inline forms are for C only), so with
// glibc it reads the table those functions read.
using ClassMask = unsigned short;
#if defined(__GLIBC__)
constexpr ClassMask CLASS_ALPHA = _ISalpha, CLASS_CNTRL = _IScntrl, CLASS_DIGIT = _ISdigit,
                    CLASS_LOWER = _ISlower, CLASS_PUNCT = _ISpunct, CLASS_SPACE = _ISspace,
                    CLASS_UPPER = _ISupper, CLASS_ALNUM = _ISalnum, CLASS_XDIGIT = _ISxdigit;

inline bool inClass(int c, ClassMask mask) { return ((*__ctype_b_loc())[c] & mask) != 0; }
#else
constexpr ClassMask CLASS_ALPHA = 1, CLASS_CNTRL = 2, CLASS_DIGIT = 3, CLASS_LOWER = 4, CLASS_PUNCT = 5,
                    CLASS_SPACE = 6, CLASS_UPPER = 7, CLASS_ALNUM = 8, CLASS_XDIGIT = 9;

bool inClass(int c, ClassMask mask)
{
    switch (mask) {
    case CLASS_ALPHA: return std::isalpha(c);
    case CLASS_CNTRL: return std::iscntrl(c);
    case CLASS_DIGIT: return std::isdigit(c);
    case CLASS_LOWER: return std::islower(c);
    case CLASS_PUNCT: return std::ispunct(c);
    case CLASS_SPACE: return std::isspace(c);
    case CLASS_UPPER: return std::isupper(c);
    case CLASS_ALNUM: return std::isalnum(c);
    default: return std::isxdigit(c);
    }
}
#endif

// What the character after a `%' stands for, worked out once for a whole run: a class
// of the C library, `%z' the zero byte (a capital letter: the complement of either),
// or any other character itself.
class Escape {
public:
    explicit Escape(int cl) : cl_(cl), complement_(cl >= 'A' && cl <= 'Z')
    {
        switch (cl | 0x20) { // the letter in lower case; no other character becomes one
        case 'a': mask_ = CLASS_ALPHA; break;
        case 'c': mask_ = CLASS_CNTRL; break;
        case 'd': mask_ = CLASS_DIGIT; break;
        case 'l': mask_ = CLASS_LOWER; break;
        case 'p': mask_ = CLASS_PUNCT; break;
        case 's': mask_ = CLASS_SPACE; break;
        case 'u': mask_ = CLASS_UPPER; break;
        case 'w': mask_ = CLASS_ALNUM; break;
        case 'x': mask_ = CLASS_XDIGIT; break;
        case 'z': zero_ = true; break;
        default: break;
        }
    }
    bool isClass() const { return mask_ != 0; }
    bool matches(int c) const
    {
        if (mask_ != 0)
            return inClass(c, mask_) != complement_;
        if (zero_)
            return (c == 0) != complement_;
        return c == cl_;
    }
    // Only for a class: the test without the checks of the other kinds.
    bool matchesClass(int c) const { return inClass(c, mask_) != complement_; }

private:
    int cl_;
    bool complement_;
    bool zero_ = false;
    ClassMask mask_ = 0;
};

bool match_class(int c, int cl) { return Escape(cl).matches(c); }

// ---- pattern matching ---------------------------------------------------------------

constexpr int MAX_CAPTURES = 32;
constexpr int CAP_UNFINISHED = -1;
constexpr int CAP_POSITION = -2;
constexpr char L_ESC = '%';

// The matcher backtracks: every optional item that matched, every run of a
// repeated item and every capture opened or closed on the way is a choice
// it may have to come back to. The 5.0 matcher kept them as nested calls of
// itself, as deep as the pattern is long, on the native stack; these are
// kept on a stack of their own that grows in the state's memory. A pattern
// that leaves more than this many choices open is refused.
constexpr int MAX_OPEN_CHOICES = 1 << 20;

enum class ChoiceKind : unsigned char {
    CaptureOpened, // undo: forget the capture
    CaptureClosed, // undo: reopen the capture
    Optional,      // `?' took its character: try again without it
    Greedy,        // `*' or `+' took a run: give back its last character
    Lazy,          // `-' took the shortest run: take one character more
};

struct Choice {
    ChoiceKind kind;
    int capture;   // CaptureClosed: the capture closed
    const char* s; // where the rest of the pattern was tried from
    union {
        const char* runStart; // Greedy: the run gives characters back down to here
        const char* item;     // Lazy: the repeated item, to take one more
    };
    const char* ep; // Optional, Greedy, Lazy: the end of the item (its `?', `*', `+' or `-')
};

class ChoiceStack {
public:
    explicit ChoiceStack(lua_State* L) : L_(L) {}
    ~ChoiceStack()
    {
        if (items_ != inline_)
            luaM_freearray(L_, items_, size_);
    }
    ChoiceStack(const ChoiceStack&) = delete;
    ChoiceStack& operator=(const ChoiceStack&) = delete;

    bool empty() const { return top_ == 0; }
    Choice& back() { return items_[top_ - 1]; }
    void pop() { top_--; }
    void clear() { top_ = 0; }
    Choice& push(ChoiceKind kind)
    {
        if (top_ == size_)
            grow();
        Choice& c = items_[top_++];
        c.kind = kind;
        return c;
    }

private:
    void grow()
    {
        if (size_ >= MAX_OPEN_CHOICES)
            luaL_error(L_, "pattern too complex");
        int newsize = size_ * 2 < MAX_OPEN_CHOICES ? size_ * 2 : MAX_OPEN_CHOICES;
        Choice* bigger = luaM_newvector<Choice>(L_, newsize);
        std::memcpy(bigger, items_, sizeof(Choice) * static_cast<size_t>(top_));
        if (items_ != inline_)
            luaM_freearray(L_, items_, size_);
        items_ = bigger;
        size_ = newsize;
    }

    static constexpr int INLINE_CHOICES = 32; // most patterns need no more
    lua_State* L_;
    Choice inline_[INLINE_CHOICES];
    Choice* items_ = inline_;
    int size_ = INLINE_CHOICES;
    int top_ = 0;
};

struct MatchState {
    MatchState(lua_State* state, const char* src, size_t len)
        : src_init(src), src_end(src + len), L(state), level(0), choices(state), work(state)
    {
    }
    const char* src_init; // init of source string
    const char* src_end;  // end (`\0') of source string
    lua_State* L;
    int level; // total number of captures (finished or unfinished)
    struct {
        const char* init;
        sint32 len;
    } capture[MAX_CAPTURES];
    ChoiceStack choices;
    // A match may take time quadratic in the subject ("(.-)b" on a long run
    // of a's): the host's hook gets its turns.
    WorkSteps work;
};

int check_capture(MatchState* ms, int l)
{
    l -= '1';
    if (l < 0 || l >= ms->level || ms->capture[l].len == CAP_UNFINISHED)
        return luaL_error(ms->L, "invalid capture index");
    return l;
}

int capture_to_close(MatchState* ms)
{
    int level = ms->level;
    for (level--; level >= 0; level--)
        if (ms->capture[level].len == CAP_UNFINISHED)
            return level;
    return luaL_error(ms->L, "invalid pattern capture");
}

const char* setEnd(MatchState* ms, const char* p)
{
    if (*p == '^')
        p++;
    do { // look for a `]'
        if (*p == '\0')
            luaL_error(ms->L, "malformed pattern (missing `]')");
        if (*(p++) == L_ESC && *p != '\0')
            p++; // skip escapes (e.g. `%]')
    } while (*p != ']');
    return p + 1;
}

// The end of the single-character item at p (where its `?', `*', `+' or `-'
// would be). Read at every move of the matcher: the usual items are told
// here, a set (`[...]') by setEnd.
inline const char* luaI_classend(MatchState* ms, const char* p)
{
    switch (*p++) {
    case L_ESC:
        if (*p == '\0')
            luaL_error(ms->L, "malformed pattern (ends with `%%')");
        return p + 1;
    case '[': return setEnd(ms, p);
    default: return p;
    }
}

bool matchbracketclass(int c, const char* p, const char* ec)
{
    bool sig = true;
    if (*(p + 1) == '^') {
        sig = false;
        p++; // skip the `^'
    }
    while (++p < ec) {
        if (*p == L_ESC) {
            p++;
            if (match_class(c, uchar(*p)))
                return sig;
        } else if (*(p + 1) == '-' && (p + 2 < ec)) {
            p += 2;
            if (uchar(*(p - 2)) <= c && c <= uchar(*p))
                return sig;
        } else if (uchar(*p) == c) {
            return sig;
        }
    }
    return !sig;
}

inline bool luaI_singlematch(int c, const char* p, const char* ep)
{
    switch (*p) {
    case '.': return true; // matches any char
    case L_ESC: return match_class(c, uchar(*(p + 1)));
    case '[': return matchbracketclass(c, p, ep - 1);
    default: return uchar(*p) == c;
    }
}

// The end of the run of characters from s that `matches' takes, before end.
template <class Matches>
const char* runEnd(const char* s, const char* end, Matches matches)
{
    while (s < end && matches(uchar(*s)))
        s++;
    return s;
}

const char* matchbalance(MatchState* ms, const char* s, const char* p)
{
    if (*p == 0 || *(p + 1) == 0)
        luaL_error(ms->L, "unbalanced pattern");
    if (*s != *p)
        return nullptr;
    int b = *p;
    int e = *(p + 1);
    int cont = 1;
    const char* start = s;
    while (++s < ms->src_end) {
        if (*s == e) {
            if (--cont == 0) {
                ms->work.step(static_cast<size_t>(s - start));
                return s + 1;
            }
        } else if (*s == b) {
            cont++;
        }
    }
    ms->work.step(static_cast<size_t>(s - start));
    return nullptr; // string ends out of balance
}

const char* match_capture(MatchState* ms, const char* s, int l)
{
    l = check_capture(ms, l);
    size_t len = static_cast<size_t>(ms->capture[l].len);
    if (static_cast<size_t>(ms->src_end - s) >= len && std::memcmp(ms->capture[l].init, s, len) == 0)
        return s + len;
    return nullptr;
}

void start_capture(MatchState* ms, const char* s, int what)
{
    int level = ms->level;
    if (level >= MAX_CAPTURES)
        luaL_error(ms->L, "too many captures");
    ms->capture[level].init = s;
    ms->capture[level].len = what;
    ms->level = level + 1;
    ms->choices.push(ChoiceKind::CaptureOpened);
}

void end_capture(MatchState* ms, const char* s)
{
    int l = capture_to_close(ms);
    ms->capture[l].len = static_cast<sint32>(s - ms->capture[l].init); // close capture
    ms->choices.push(ChoiceKind::CaptureClosed).capture = l;
}

// The end of the longest run of the item [p, ep) from s. Runs are where a
// matcher spends its time: each kind of item has a loop of its own.
const char* longest_run(MatchState* ms, const char* s, const char* p, const char* ep)
{
    const char* end = ms->src_end;
    const char* stop;
    switch (*p) {
    case '.': stop = end; break;
    case L_ESC: {
        const Escape escape(uchar(p[1]));
        if (escape.isClass())
            stop = runEnd(s, end, [escape](int c) { return escape.matchesClass(c); });
        else
            stop = runEnd(s, end, [escape](int c) { return escape.matches(c); });
        break;
    }
    case '[': stop = runEnd(s, end, [p, ep](int c) { return matchbracketclass(c, p, ep - 1); }); break;
    default: stop = runEnd(s, end, [literal = uchar(*p)](int c) { return c == literal; }); break;
    }
    ms->work.step(static_cast<size_t>(stop - s));
    return stop;
}

// One single-character item and its repetition (`?', `*', `+', `-' or
// none) at s: moves s and p past what it takes, leaving a choice to come
// back to when it could take less or more; false when it cannot match here.
bool match_item(MatchState* ms, const char*& s, const char*& p)
{
    const char* ep = luaI_classend(ms, p); // points to what is next
    bool m = s < ms->src_end && luaI_singlematch(uchar(*s), p, ep);
    switch (*ep) {
    case '?':
        if (m) {
            Choice& c = ms->choices.push(ChoiceKind::Optional);
            c.s = s;
            c.ep = ep;
            s++;
        }
        p = ep + 1;
        return true;
    case '+':
        if (!m)
            return false;
        s++;
        [[fallthrough]];
    case '*': {
        const char* end = longest_run(ms, s, p, ep);
        if (end > s) { // a run that can give characters back
            Choice& c = ms->choices.push(ChoiceKind::Greedy);
            c.s = end;
            c.runStart = s;
            c.ep = ep;
        }
        s = end;
        p = ep + 1;
        return true;
    }
    case '-': {
        Choice& c = ms->choices.push(ChoiceKind::Lazy);
        c.s = s;
        c.item = p;
        c.ep = ep;
        p = ep + 1;
        return true;
    }
    default:
        if (!m)
            return false;
        s++;
        p = ep;
        return true;
    }
}

// The item that must match the character at the place where the pattern p is
// tried, for it to match there at all: its first item past the captures opened
// or closed there (which take nothing), when that is a single-character item
// that takes one at least (no `?', `*' or `-' after it). Null when there is
// none (the pattern's end, a final `$', `%b', `%f', a back-reference). The
// pattern was read this far when it was first tried at the choice that asks,
// so this raises no error the matcher would not have raised already.
const char* requiredItem(MatchState* ms, const char* p, const char** ep)
{
    while (*p == '(' || *p == ')')
        p++;
    switch (*p) {
    case '\0': return nullptr;
    case '$':
        if (*(p + 1) == '\0')
            return nullptr;
        break;
    case L_ESC:
        if (*(p + 1) == 'b' || *(p + 1) == 'f' || std::isdigit(uchar(*(p + 1))))
            return nullptr;
        break;
    default: break;
    }
    *ep = luaI_classend(ms, p);
    if (**ep == '?' || **ep == '*' || **ep == '-')
        return nullptr;
    return p;
}

// A greedy run gives back characters one at a time, the rest of the pattern
// tried after each; where the character after the shortened run cannot start
// the rest, that try is skipped. The next place to try, or null when the run
// has nothing left to give.
const char* giveBack(MatchState* ms, Choice& run)
{
    const char* nextEp;
    const char* next = requiredItem(ms, run.ep + 1, &nextEp);
    const char* from = run.s;
    const char* place = nullptr;
    if (next == nullptr) {
        if (run.s > run.runStart)
            place = --run.s;
    } else {
        while (run.s > run.runStart) {
            if (luaI_singlematch(uchar(*--run.s), next, nextEp)) {
                place = run.s;
                break;
            }
        }
    }
    ms->work.step(static_cast<size_t>(from - run.s));
    return place;
}

// A lazy run takes one character more at a time, the rest of the pattern
// tried after each; tries where the character after the run cannot start the
// rest are skipped. The next place to try, or null when the run cannot grow.
const char* lengthen(MatchState* ms, Choice& run)
{
    const char* nextEp;
    const char* next = requiredItem(ms, run.ep + 1, &nextEp);
    const char* end = ms->src_end;
    const char* from = run.s;
    const char* place = nullptr;
    while (run.s < end && luaI_singlematch(uchar(*run.s), run.item, run.ep)) {
        run.s++;
        if (next == nullptr || (run.s < end && luaI_singlematch(uchar(*run.s), next, nextEp))) {
            place = run.s;
            break;
        }
    }
    ms->work.step(static_cast<size_t>(run.s - from));
    return place;
}

// Goes back to the most recent choice that has an alternative left, undoing
// the captures taken since. Sets s and p to where matching goes on; false
// when no choice is left (the match fails).
bool backtrack(MatchState* ms, const char*& s, const char*& p)
{
    ChoiceStack& choices = ms->choices;
    while (!choices.empty()) {
        Choice& c = choices.back();
        const char* place = nullptr;
        switch (c.kind) {
        case ChoiceKind::CaptureOpened: ms->level--; break;
        case ChoiceKind::CaptureClosed: ms->capture[c.capture].len = CAP_UNFINISHED; break;
        case ChoiceKind::Optional:
            s = c.s;
            p = c.ep + 1;
            choices.pop();
            return true;
        case ChoiceKind::Greedy: place = giveBack(ms, c); break;
        case ChoiceKind::Lazy: place = lengthen(ms, c); break;
        }
        if (place != nullptr) {
            s = place;
            p = c.ep + 1;
            return true;
        }
        choices.pop();
    }
    return false;
}

// Matches the pattern p at s: the end of the match, or null. The order in
// which alternatives are tried (and so the match found, and any error the
// pattern raises on the way) is that of the 5.0 recursive matcher.
const char* match(MatchState* ms, const char* s, const char* p)
{
    ms->choices.clear();
    // The host's hook gets its turns from steps counted here and at every
    // failed move, and from the characters that runs take or skip: the moves
    // between two failures are at most the pattern's items.
    ms->work.step();
    for (;;) {
        bool failed = false;
        switch (*p) {
        case '(': // start capture
            if (*(p + 1) == ')') { // position capture?
                start_capture(ms, s, CAP_POSITION);
                p += 2;
            } else {
                start_capture(ms, s, CAP_UNFINISHED);
                p += 1;
            }
            break;
        case ')':
            end_capture(ms, s);
            p += 1;
            break;
        case L_ESC:
            switch (*(p + 1)) {
            case 'b': // balanced string?
                s = matchbalance(ms, s, p + 2);
                failed = s == nullptr;
                p += 4;
                break;
            case 'f': { // frontier: the set does not match the previous char but matches this one
                p += 2;
                if (*p != '[')
                    luaL_error(ms->L, "missing `[' after `%%f' in pattern");
                const char* ep = luaI_classend(ms, p);
                int previous = s == ms->src_init ? '\0' : uchar(*(s - 1));
                int current = s < ms->src_end ? uchar(*s) : '\0';
                failed = matchbracketclass(previous, p, ep - 1) || !matchbracketclass(current, p, ep - 1);
                p = ep;
                break;
            }
            default:
                if (std::isdigit(uchar(*(p + 1)))) { // capture back-reference
                    s = match_capture(ms, s, *(p + 1));
                    failed = s == nullptr;
                    p += 2;
                    break;
                }
                failed = !match_item(ms, s, p);
                break;
            }
            break;
        case '\0': return s; // end of pattern
        case '$':
            if (*(p + 1) == '\0') { // is the `$' the last char in pattern?
                if (s == ms->src_end)
                    return s;
                failed = true;
                break;
            }
            failed = !match_item(ms, s, p);
            break;
        default: failed = !match_item(ms, s, p); break;
        }
        if (failed) {
            ms->work.step();
            if (!backtrack(ms, s, p))
                return nullptr;
        }
    }
}

const char* lmemfind(WorkSteps& work, const char* s1, size_t l1, const char* s2, size_t l2)
{
    if (l2 == 0)
        return s1; // empty strings are everywhere
    if (l2 > l1)
        return nullptr;
    l2--; // 1st char will be checked by `memchr'
    l1 = l1 - l2;
    const char* init;
    while (l1 > 0 && (init = static_cast<const char*>(std::memchr(s1, *s2, l1))) != nullptr) {
        init++; // 1st char is already checked
        work.step(1 + (l2 >> 4)); // a long needle compared at many places is slow
        if (std::memcmp(init, s2 + 1, l2) == 0)
            return init - 1;
        l1 -= static_cast<size_t>(init - s1);
        s1 = init;
    }
    return nullptr;
}

void push_onecapture(MatchState* ms, int i)
{
    int l = static_cast<int>(ms->capture[i].len);
    if (l == CAP_UNFINISHED)
        luaL_error(ms->L, "unfinished capture");
    if (l == CAP_POSITION)
        lua_pushnumber(ms->L, static_cast<lua_Number>(ms->capture[i].init - ms->src_init + 1));
    else
        lua_pushlstring(ms->L, ms->capture[i].init, static_cast<size_t>(l));
}

int push_captures(MatchState* ms, const char* s, const char* e)
{
    int nlevels = (ms->level == 0 && s) ? 1 : ms->level;
    luaL_checkstack(ms->L, nlevels, "too many captures");
    for (int i = 0; i < nlevels; i++) {
        if (i == 0 && ms->level == 0)
            lua_pushlstring(ms->L, s, static_cast<size_t>(e - s)); // the whole match
        else
            push_onecapture(ms, i);
    }
    return nlevels; // number of strings pushed
}

int str_find(lua_State* L)
{
    size_t l1;
    size_t l2;
    const char* s = luaL_checklstring(L, 1, &l1);
    const char* p = luaL_checklstring(L, 2, &l2);
    sint32 init = posrelat(luaL_optlong(L, 3, 1), l1) - 1;
    if (init < 0)
        init = 0;
    else if (static_cast<size_t>(init) > l1)
        init = static_cast<sint32>(l1);
    if (lua_toboolean(L, 4) || // explicit request?
        std::strpbrk(p, "^$*+?.([%-") == nullptr) { // or no special characters?
        // do a plain search
        WorkSteps work(L);
        const char* s2 = lmemfind(work, s + init, l1 - static_cast<size_t>(init), p, l2);
        if (s2) {
            lua_pushnumber(L, static_cast<lua_Number>(s2 - s + 1));
            lua_pushnumber(L, static_cast<lua_Number>(s2 - s + static_cast<ptrdiff_t>(l2)));
            return 2;
        }
    } else {
        MatchState ms(L, s, l1);
        int anchor = (*p == '^') ? (p++, 1) : 0;
        const char* s1 = s + init;
        do {
            const char* res;
            ms.level = 0;
            if ((res = match(&ms, s1, p)) != nullptr) {
                lua_pushnumber(L, static_cast<lua_Number>(s1 - s + 1)); // start
                lua_pushnumber(L, static_cast<lua_Number>(res - s));    // end
                return push_captures(&ms, nullptr, nullptr) + 2;
            }
        } while (s1++ < ms.src_end && !anchor);
    }
    lua_pushnil(L); // not found
    return 1;
}

int gfind_aux(lua_State* L)
{
    const char* s = lua_tostring(L, lua_upvalueindex(1));
    size_t ls = lua_strlen(L, lua_upvalueindex(1));
    const char* p = lua_tostring(L, lua_upvalueindex(2));
    MatchState ms(L, s, ls);
    for (const char* src = s + static_cast<size_t>(lua_tonumber(L, lua_upvalueindex(3))); src <= ms.src_end;
         src++) {
        const char* e;
        ms.level = 0;
        if ((e = match(&ms, src, p)) != nullptr) {
            int newstart = static_cast<int>(e - s);
            if (e == src)
                newstart++; // empty match? go at least one position
            lua_pushnumber(L, newstart);
            lua_replace(L, lua_upvalueindex(3));
            return push_captures(&ms, src, e);
        }
    }
    return 0; // not found
}

int gfind(lua_State* L)
{
    luaL_checkstring(L, 1);
    luaL_checkstring(L, 2);
    lua_settop(L, 2);
    lua_pushnumber(L, 0);
    lua_pushcclosure(L, gfind_aux, 3);
    return 1;
}

void add_s(MatchState* ms, luaL_Buffer* b, const char* s, const char* e)
{
    lua_State* L = ms->L;
    if (lua_isstring(L, 3)) {
        const char* news = lua_tostring(L, 3);
        size_t l = lua_strlen(L, 3);
        ms->work.copied(l);
        for (size_t i = 0; i < l; i++) {
            if (news[i] != L_ESC) {
                luaL_putchar(b, news[i]);
            } else {
                i++; // skip ESC
                if (!std::isdigit(uchar(news[i]))) {
                    luaL_putchar(b, news[i]);
                } else {
                    int level = check_capture(ms, news[i]);
                    push_onecapture(ms, level);
                    luaL_addvalue(b); // add capture to accumulated result
                }
            }
        }
    } else { // is a function
        lua_pushvalue(L, 3);
        int n = push_captures(ms, s, e);
        lua_call(L, n, 1);
        if (lua_isstring(L, -1))
            luaL_addvalue(b); // add return to accumulated result
        else
            lua_pop(L, 1); // function result is not a string: pop it
    }
}

int str_gsub(lua_State* L)
{
    size_t srcl;
    const char* src = luaL_checklstring(L, 1, &srcl);
    const char* p = luaL_checkstring(L, 2);
    int max_s = luaL_optint(L, 4, static_cast<int>(srcl) + 1);
    int anchor = (*p == '^') ? (p++, 1) : 0;
    int n = 0;
    MatchState ms(L, src, srcl);
    luaL_Buffer b;
    luaL_argcheck(L, lua_gettop(L) >= 3 && (lua_isstring(L, 3) || lua_isfunction(L, 3)), 3,
                  "string or function expected");
    luaL_buffinit(L, &b);
    while (n < max_s) {
        const char* e;
        ms.level = 0;
        e = match(&ms, src, p);
        if (e) {
            n++;
            add_s(&ms, &b, src, e);
        }
        if (e && e > src) // non empty match?
            src = e;      // skip it
        else if (src < ms.src_end)
            luaL_putchar(&b, *src++);
        else
            break;
        if (anchor)
            break;
    }
    luaL_addlstring(&b, src, static_cast<size_t>(ms.src_end - src));
    luaL_pushresult(&b);
    lua_pushnumber(L, n); // number of substitutions
    return 2;
}

// ---- format -------------------------------------------------------------------

constexpr int MAX_ITEM = 512; // maximum size of each formatted item
constexpr int MAX_FORMAT = 20; // maximum size of each format specification
const char* const FLAGS = "-+ #0";

void luaI_addquoted(lua_State* L, luaL_Buffer* b, int arg, WorkSteps& work)
{
    size_t l;
    const char* s = luaL_checklstring(L, arg, &l);
    luaL_putchar(b, '"');
    while (l--) {
        work.step();
        switch (*s) {
        case '"':
        case '\\':
        case '\n':
            luaL_putchar(b, '\\');
            luaL_putchar(b, *s);
            break;
        case '\0': luaL_addlstring(b, "\\000", 4); break;
        default: luaL_putchar(b, *s); break;
        }
        s++;
    }
    luaL_putchar(b, '"');
}

// %bX: b one byte, w two bytes, d four bytes (signed), f a float, F a
// double; any other letter writes nothing (the argument is still used).
void addRawNumber(lua_State* L, luaL_Buffer* b, int arg, char kind)
{
    auto bits = [](lua_Number x) -> uint64_t {
        if (!(x > -9.2e18 && x < 9.2e18))
            return 0;
        return static_cast<uint64_t>(static_cast<int64_t>(x));
    };
    switch (kind) {
    case 'b': {
        auto v = static_cast<uint8_t>(bits(luaL_checknumber(L, arg)));
        luaL_addlstring(b, reinterpret_cast<const char*>(&v), sizeof(v));
        break;
    }
    case 'w': {
        auto v = static_cast<uint16_t>(bits(luaL_checknumber(L, arg)));
        luaL_addlstring(b, reinterpret_cast<const char*>(&v), sizeof(v));
        break;
    }
    case 'd': {
        auto v = static_cast<int32_t>(static_cast<uint32_t>(bits(luaL_checknumber(L, arg))));
        luaL_addlstring(b, reinterpret_cast<const char*>(&v), sizeof(v));
        break;
    }
    case 'f': {
        auto v = static_cast<float>(luaL_checknumber(L, arg));
        luaL_addlstring(b, reinterpret_cast<const char*>(&v), sizeof(v));
        break;
    }
    case 'F': {
        double v = luaL_checknumber(L, arg);
        luaL_addlstring(b, reinterpret_cast<const char*>(&v), sizeof(v));
        break;
    }
    default: break;
    }
}

// %Q: a quoted string that reads back as a literal of the dialect; a wide
// string is written as L"..." with four-digit \x escapes.
void addQuotedDialect(lua_State* L, luaL_Buffer* b, int arg, WorkSteps& work)
{
    static const char letters[] = "abtnvfr"; // codes 7..13
    bool wide = lua_type(L, arg) == LUA_TWSTRING;
    size_t l;
    const char* s = nullptr;
    const unsigned short* w = nullptr;
    if (wide)
        w = luaL_checklwstring(L, arg, &l);
    else
        s = luaL_checklstring(L, arg, &l);
    if (wide)
        luaL_putchar(b, 'L');
    luaL_putchar(b, '"');
    for (size_t i = 0; i < l; i++) {
        work.step();
        unsigned int c = wide ? w[i] : static_cast<unsigned char>(s[i]);
        char buff[16];
        if (c >= 7 && c <= 13) {
            luaL_putchar(b, '\\');
            luaL_putchar(b, letters[c - 7]);
        } else if (c == '"' || c == '\\') {
            luaL_putchar(b, '\\');
            luaL_putchar(b, static_cast<char>(c));
        } else if (c >= 32 && c < 127) {
            luaL_putchar(b, static_cast<char>(c));
        } else {
            std::snprintf(buff, sizeof(buff), wide ? "\\x%04x" : "\\x%02x", c);
            luaL_addstring(b, buff);
        }
    }
    luaL_putchar(b, '"');
}

// The number as the C library's unsigned conversions see it: the low 32
// bits of its integer part, so 0 .. 2^32-1 print whole and negative numbers
// wrap around. Beyond the 64-bit range (and NaN) there is no integer part to
// take; those give 0.
unsigned int toUnsignedInt(lua_Number x)
{
    if (!(x > -9223372036854775808.0 && x < 9223372036854775808.0))
        return 0;
    return static_cast<unsigned int>(static_cast<uint64_t>(static_cast<int64_t>(x)));
}

const char* scanformat(lua_State* L, const char* strfrmt, char* form, int* hasprecision)
{
    const char* p = strfrmt;
    while (*p != '\0' && std::strchr(FLAGS, *p)) // strchr also matches the terminator
        p++; // skip flags
    if (std::isdigit(uchar(*p)))
        p++; // skip width
    if (std::isdigit(uchar(*p)))
        p++; // (2 digits at most)
    if (*p == '.') {
        p++;
        *hasprecision = 1;
        if (std::isdigit(uchar(*p)))
            p++; // skip precision
        if (std::isdigit(uchar(*p)))
            p++; // (2 digits at most)
    }
    if (std::isdigit(uchar(*p)))
        luaL_error(L, "invalid format (width or precision too long)");
    if (p - strfrmt + 2 > MAX_FORMAT) // +2 to include `%' and the specifier
        luaL_error(L, "invalid format (too long)");
    form[0] = '%';
    std::strncpy(form + 1, strfrmt, static_cast<size_t>(p - strfrmt + 1));
    form[p - strfrmt + 2] = 0;
    return p;
}

int str_format(lua_State* L)
{
    int arg = 1;
    size_t sfl;
    const char* strfrmt = luaL_checklstring(L, arg, &sfl);
    const char* strfrmt_end = strfrmt + sfl;
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    // A long format, or a long string quoted, is long work in this one call.
    WorkSteps work(L);
    while (strfrmt < strfrmt_end) {
        work.step();
        if (*strfrmt != '%') {
            luaL_putchar(&b, *strfrmt++);
        } else if (*++strfrmt == '%') {
            luaL_putchar(&b, *strfrmt++); // %%
        } else { // format item
            char form[MAX_FORMAT + 1]; // to store the format (`%...') and its terminator
            char buff[MAX_ITEM];   // to store the formatted item
            int hasprecision = 0;
            if (std::isdigit(uchar(*strfrmt)) && *(strfrmt + 1) == '$')
                return luaL_error(L, "obsolete option (d$) to `format'");
            arg++;
            strfrmt = scanformat(L, strfrmt, form, &hasprecision);
            switch (*strfrmt++) {
            case 'c':
                std::snprintf(buff, sizeof(buff), form, luaL_checkint(L, arg));
                break;
            case 'd':
            case 'i':
                std::snprintf(buff, sizeof(buff), form, luaL_checkint(L, arg));
                break;
            case 'o':
            case 'u':
            case 'x':
            case 'X':
                std::snprintf(buff, sizeof(buff), form, toUnsignedInt(luaL_checknumber(L, arg)));
                break;
            case 'e':
            case 'E':
            case 'f':
            case 'g':
            case 'G': std::snprintf(buff, sizeof(buff), form, luaL_checknumber(L, arg)); break;
            case 'q': luaI_addquoted(L, &b, arg, work); continue; // skip the `addsize' at the end
            case 's': {
                size_t l;
                const char* s = luaL_checklstring(L, arg, &l);
                if (!hasprecision && l >= 100) {
                    // no precision and string is too long to be formatted; keep original string
                    work.copied(l);
                    lua_pushvalue(L, arg);
                    luaL_addvalue(&b);
                    continue; // skip the `addsize' at the end
                }
                std::snprintf(buff, sizeof(buff), form, s);
                break;
            }
            case 'B': { // dialect: a boolean (or nil) as true/false
                int t = lua_type(L, arg);
                if (t != LUA_TBOOLEAN && t != LUA_TNIL)
                    luaL_typerror(L, arg, "boolean");
                luaL_addstring(&b, lua_toboolean(L, arg) ? "true" : "false");
                continue;
            }
            case 'b': // dialect: the number as raw bytes in the machine's order
                addRawNumber(L, &b, arg, *strfrmt ? *strfrmt++ : '\0');
                continue;
            case 'Q': addQuotedDialect(L, &b, arg, work); continue;
            default: // also treat cases `pnLlh'
                return luaL_error(L, "invalid option to `format'");
            }
            luaL_addlstring(&b, buff, std::strlen(buff));
        }
    }
    luaL_pushresult(&b);
    return 1;
}

const luaL_reg strlib[] = {{"len", str_len},
                           {"sub", str_sub},
                           {"lower", str_lower},
                           {"upper", str_upper},
                           {"char", str_char},
                           {"rep", str_rep},
                           {"byte", str_byte},
                           {"format", str_format},
                           {"dump", str_dump},
                           {"find", str_find},
                           {"gfind", gfind},
                           {"gsub", str_gsub},
                           {"lualex", str_lualex},
                           {nullptr, nullptr}};

} // namespace

extern "C" int luaopen_string(lua_State* L)
{
    luaL_openlib(L, LUA_STRLIBNAME, strlib, 0);
    // Strings index the string table: ('abc'):upper() works.
    lua_pushvalue(L, -1);
    lua_setdefaultmetatable(L, LUA_TSTRING);
    luaL_openlib(L, LUA_STRLIBNAME, strpacklib, 0);
    return 1;
}
