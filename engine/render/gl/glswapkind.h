// What the window system's swap does with the back buffer.
#pragma once

// Whether a swap leaves the frame in the back buffer, so that the next frame
// may draw only what changed over it: true for software GL on X (its swap
// copies the back buffer to the window and keeps it), false wherever it is
// not known (hardware drivers may flip or discard). Needs a current context.
bool SwapKeepsBackBuffer();
