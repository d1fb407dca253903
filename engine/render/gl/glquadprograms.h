// Two small shader programs that draw the handler's quads with exactly the
// pixels of the fixed pipeline's texture environments, for less work a
// pixel: the program the fixed pipeline is turned into carries a projective
// texture lookup and state a quad never uses, and on a software rasteriser
// each pixel pays for it (about 5% of a sprite-heavy frame on llvmpipe).
//
// A batch asks for a program at the moment it draws; it gets 0, and keeps
// the fixed pipeline, whenever the programs could draw differently: GL
// without GLSL 1.30, or lighting or fog turned on.
#pragma once

#include "engine/render/gl/glheaders.h"

class TGLQuadPrograms {
public:
    TGLQuadPrograms() = default;
    TGLQuadPrograms(const TGLQuadPrograms&) = delete;
    TGLQuadPrograms& operator=(const TGLQuadPrograms&) = delete;
    ~TGLQuadPrograms() { Release(); }

    // Compiles both programs in the current context (once; again after Release).
    void Build();
    // Deletes them; the context must still be current.
    void Release();

    // The texel times the vertex colour (GL_MODULATE), or 0 for the fixed pipeline.
    GLuint Modulate() const { return UsableNow(mModulate); }
    // The texel as it is (GL_REPLACE), or 0 for the fixed pipeline.
    GLuint Replace() const { return UsableNow(mReplace); }

private:
    static GLuint UsableNow(GLuint program);

    bool mBuilt = false;
    GLuint mModulate = 0;
    GLuint mReplace = 0;
};
