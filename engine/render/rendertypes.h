// The small value types the renderer's interfaces speak in: the engine's own
// colours, vectors, matrices, points and rectangles (engine/base).
#pragma once

#include "engine/base/color.h"
#include "engine/base/mat4.h"
#include "engine/base/rect.h"
#include "engine/base/vec.h"

