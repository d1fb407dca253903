#include <cstdio>

#include "listing.h"
#include "lopcodes.h"

namespace {

void printString(const TString* ts, FILE* out)
{
    if (ts->tt == LUA_TWSTRING) {
        std::fputs("L\"", out);
        for (size_t i = 0; i < ts->len; i++) {
            unsigned c = getwstr(ts)[i];
            if (c >= 32 && c < 127 && c != '"' && c != '\\')
                std::fputc(static_cast<int>(c), out);
            else
                std::fprintf(out, "\\x%04x", c);
        }
        std::fputc('"', out);
        return;
    }
    std::fputc('"', out);
    const char* s = getstr(ts);
    for (size_t i = 0; i < ts->len; i++) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        switch (c) {
        case '"': std::fputs("\\\"", out); break;
        case '\\': std::fputs("\\\\", out); break;
        case '\n': std::fputs("\\n", out); break;
        case '\t': std::fputs("\\t", out); break;
        case '\r': std::fputs("\\r", out); break;
        default:
            if (c >= 32 && c < 127)
                std::fputc(c, out);
            else
                std::fprintf(out, "\\%03u", c);
        }
    }
    std::fputc('"', out);
}

void printConstant(const Proto* f, int i, FILE* out)
{
    const TObject* o = &f->k[i];
    switch (ttype(o)) {
    case LUA_TNUMBER: std::fprintf(out, LUA_NUMBER_FMT, nvalue(o)); break;
    case LUA_TSTRING:
    case LUA_TWSTRING: printString(tsvalue(o), out); break;
    case LUA_TNIL: std::fputs("nil", out); break;
    default: std::fputs("?", out); break;
    }
}

void printCode(const Proto* f, FILE* out)
{
    for (int pc = 0; pc < f->sizecode; pc++) {
        Instruction i = f->code[pc];
        OpCode o = GET_OPCODE(i);
        int a = GETARG_A(i);
        int b = GETARG_B(i);
        int c = GETARG_C(i);
        int bx = GETARG_Bx(i);
        int sbx = GETARG_sBx(i);
        int line = pc < f->sizelineinfo ? f->lineinfo[pc] : 0;
        std::fprintf(out, "\t%d\t", pc + 1);
        if (line > 0)
            std::fprintf(out, "[%d]\t", line);
        else
            std::fputs("[-]\t", out);
        std::fprintf(out, "%-9s\t", luaP_opnames[o]);
        switch (getOpMode(o)) {
        case iABC: std::fprintf(out, "%d %d %d", a, b, c); break;
        case iABx: std::fprintf(out, "%d %d", a, bx); break;
        case iAsBx:
            if (o == OP_JMP)
                std::fprintf(out, "%d", sbx);
            else
                std::fprintf(out, "%d %d", a, sbx);
            break;
        }
        switch (o) {
        case OP_LOADK:
        case OP_GETGLOBAL:
        case OP_SETGLOBAL:
            std::fputs("\t; ", out);
            printConstant(f, bx, out);
            break;
        case OP_GETTABLE:
        case OP_SELF:
            if (ISK(c)) {
                std::fputs("\t; ", out);
                printConstant(f, c - MAXSTACK, out);
            }
            break;
        case OP_SETTABLE:
        case OP_ADD:
        case OP_SUB:
        case OP_MUL:
        case OP_DIV:
        case OP_BAND:
        case OP_BOR:
        case OP_SHL:
        case OP_SHR:
        case OP_POW:
        case OP_EQ:
        case OP_LT:
        case OP_LE:
            if (ISK(b) || ISK(c)) {
                std::fputs("\t; ", out);
                if (ISK(b))
                    printConstant(f, b - MAXSTACK, out);
                else
                    std::fputs("-", out);
                std::fputs(" ", out);
                if (ISK(c))
                    printConstant(f, c - MAXSTACK, out);
                else
                    std::fputs("-", out);
            }
            break;
        case OP_JMP:
        case OP_FORLOOP:
        case OP_TFORPREP: std::fprintf(out, "\t; to %d", sbx + pc + 2); break;
        case OP_CLOSURE: std::fprintf(out, "\t; function %d", bx); break;
        default: break;
        }
        std::fputs("\n", out);
    }
}

void printHeader(const Proto* f, FILE* out)
{
    const char* s = f->source ? getstr(f->source) : "=?";
    if (*s == '@' || *s == '=')
        s++;
    else if (*s == '\033')
        s = "(bstring)";
    else
        s = "(string)";
    std::fprintf(out, "\n%s <%s:%d> (%d instruction%s)\n", f->lineDefined ? "function" : "main", s, f->lineDefined,
                 f->sizecode, f->sizecode == 1 ? "" : "s");
    std::fprintf(out, "%d%s param%s, %d stack%s, %d upvalue%s, %d local%s, %d constant%s, %d function%s\n",
                 f->numparams, f->is_vararg ? "+" : "", f->numparams == 1 ? "" : "s", f->maxstacksize,
                 f->maxstacksize == 1 ? "" : "s", f->nups, f->nups == 1 ? "" : "s", f->sizelocvars,
                 f->sizelocvars == 1 ? "" : "s", f->sizek, f->sizek == 1 ? "" : "s", f->sizep, f->sizep == 1 ? "" : "s");
}

} // namespace

void luaU_print(const Proto* f, FILE* out)
{
    printHeader(f, out);
    printCode(f, out);
    for (int i = 0; i < f->sizep; i++)
        luaU_print(f->p[i], out);
}
