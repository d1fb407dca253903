// What the GL back end asked of GL since the process started: draw calls
// (anything that puts pixels on a surface) and texture uploads. Benchmarks
// and tests read the counters around a frame to see what it cost; nothing
// in the engine depends on them.
#pragma once

#include <cstdint>

struct TGLDrawStats {
    std::int64_t drawCalls = 0;
    std::int64_t uploads = 0;         // glTexImage2D and glTexSubImage2D calls with pixels
    std::int64_t uploadedPixels = 0;  // pixels those calls carried
};

// The process-wide counters (the GL context is one per process).
inline TGLDrawStats& GLDrawStats()
{
    static TGLDrawStats stats;
    return stats;
}

inline void CountGLDraw()
{
    ++GLDrawStats().drawCalls;
}

inline void CountGLUpload(std::int64_t pixels)
{
    ++GLDrawStats().uploads;
    GLDrawStats().uploadedPixels += pixels;
}
