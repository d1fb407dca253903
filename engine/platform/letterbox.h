// The game draws into a fixed-size frame (800 x 600) that is shown scaled to
// fit the window with its aspect ratio kept, centred between black bars.
// The same rectangle maps mouse positions back into game coordinates, so
// the present and the input agree.
#pragma once

namespace qm {

struct TLetterbox {
    int x = 0;  // placement of the game frame inside the window, in window pixels
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where a gameWidth x gameHeight frame lies in a windowWidth x windowHeight
// window. Empty when any size is not positive.
TLetterbox ComputeLetterbox(int windowWidth, int windowHeight, int gameWidth, int gameHeight);

// A window pixel position mapped into game coordinates (outside the frame it
// maps outside 0..gameWidth-1 / 0..gameHeight-1).
void WindowToGame(const TLetterbox& box, int gameWidth, int gameHeight, int windowX, int windowY,
                  int* gameX, int* gameY);

}  // namespace qm
