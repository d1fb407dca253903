// The debug log: one formatted line per call on standard error.
#pragma once

void WriteDbg(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Called once at start-up with the user data folder; the log is not a file here.
void ResetDbg(const char* directory);

// Failed checks log a line and execution goes on.
#define QM_ASSERT(expr)                                                             \
    do {                                                                            \
        if (!(expr))                                                                \
            WriteDbg("ASSERT(%s) FAILED!! %s, %d", #expr, __FILE__, __LINE__);      \
    } while (0)
