#include "engine/render/gl/glswapkind.h"

#include "engine/render/gl/glheaders.h"

#include <GL/glx.h>

#include <cstring>

bool SwapKeepsBackBuffer()
{
    // Mesa's software rasterisers present through the X server by copying
    // the back buffer's pixels; the buffer itself stays as it was drawn.
    if (!glXGetCurrentContext())
        return false;
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return renderer && (std::strstr(renderer, "llvmpipe") || std::strstr(renderer, "softpipe"));
}
