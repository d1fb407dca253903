// Source text in (8-bit or UTF-16 with its mark): the lexer, parser and
// code generator must report every malformed input as a syntax error, and
// whatever compiles must run without crashing the machine.
#include "fuzz_common.h"
#include "lauxlib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qmfuzz::loadAndRun(data, size);
    return 0;
}
