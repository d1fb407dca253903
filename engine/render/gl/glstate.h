// Small scoped helpers for the GL state the handler and textures change
// around one operation.
#pragma once

#include "engine/render/gl/glheaders.h"

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
