// The debug log: one formatted line per call on standard error.
#pragma once

void WriteDbg(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Called once at start-up with the user data folder; the log is not a file here.
void ResetDbg(const char* directory);

namespace qm {
// A source file's name (a __FILE__) as the source tree spells it
// ("engine/base/str.cpp"), whatever folder the tree was built in.
const char* SourceRelative(const char* file);
}  // namespace qm

// The current source file for log lines.
#define QM_SOURCE_FILE (qm::SourceRelative(__FILE__))

// Failed checks log a line and execution goes on.
#define QM_ASSERT(expr)                                                             \
    do {                                                                            \
        if (!(expr))                                                                \
            WriteDbg("ASSERT(%s) FAILED!! %s, %d", #expr, QM_SOURCE_FILE, __LINE__); \
    } while (0)
