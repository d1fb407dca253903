// What the GL back end asked of GL since the process started: draw calls
// (anything that puts pixels on a surface), texture switches (textured draws
// whose texture differs from the last textured draw's) and texture uploads. Benchmarks
// and tests read the counters around a frame to see what it cost; nothing
// in the engine depends on them.
#pragma once

#include <cstdint>

struct TGLDrawStats {
    std::int64_t drawCalls = 0;
    std::int64_t textureSwitches = 0;
    unsigned lastTexture = 0;         // the GL name of the last textured draw
    std::int64_t uploads = 0;         // glTexImage2D and glTexSubImage2D calls with pixels
    std::int64_t uploadedPixels = 0;  // pixels those calls carried
    // Recorded frames (see glframerecorder.h): drawn whole, drawn only where
    // they changed, and the pixels of the rectangles they were drawn in.
    std::int64_t wholeFrames = 0;
    std::int64_t partialFrames = 0;
    std::int64_t redrawnPixels = 0;
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

// A draw call sampling the texture of that GL name.
inline void CountGLTexturedDraw(unsigned texture)
{
    CountGLDraw();
    TGLDrawStats& stats = GLDrawStats();
    if (texture != stats.lastTexture)
        ++stats.textureSwitches;
    stats.lastTexture = texture;
}

inline void CountGLUpload(std::int64_t pixels)
{
    ++GLDrawStats().uploads;
    GLDrawStats().uploadedPixels += pixels;
}
