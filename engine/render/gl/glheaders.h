// OpenGL with the entry points of GL 1.5-3.0 that the compatibility context
// has (framebuffer objects, blits, BGRA): Mesa's libGL exports them, so they
// are linked directly rather than looked up.
#pragma once

#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES 1
#endif
#include <GL/gl.h>
#include <GL/glext.h>
