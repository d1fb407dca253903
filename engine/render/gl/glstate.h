// Small helpers around GL state: what the context offers, and scoped
// changes the handler and textures make around one operation.
#pragma once

#include "engine/render/gl/glheaders.h"

// Whether the current context is at least GL major.minor.
inline bool GLVersionAtLeast(int major, int minor)
{
    GLint have = 0, haveMinor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &have);
    glGetIntegerv(GL_MINOR_VERSION, &haveMinor);
    return have > major || (have == major && haveMinor >= minor);
}

// Saves the projection and model-view matrices, loads a pixel-exact
// glOrtho(0, width, 0, height) with an identity model-view, and puts both back
// on destruction. Saving by value rather than pushing keeps the matrix stacks'
// depth independent of how deeply such operations nest.
class TScopedPixelProjection {
public:
    TScopedPixelProjection(int width, int height)
    {
        glGetFloatv(GL_PROJECTION_MATRIX, mProjection);
        glGetFloatv(GL_MODELVIEW_MATRIX, mModelView);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, width, 0, height, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    ~TScopedPixelProjection()
    {
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(mProjection);
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(mModelView);
    }
    TScopedPixelProjection(const TScopedPixelProjection&) = delete;
    TScopedPixelProjection& operator=(const TScopedPixelProjection&) = delete;

private:
    GLfloat mProjection[16];
    GLfloat mModelView[16];
};
