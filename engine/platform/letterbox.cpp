#include "engine/platform/letterbox.h"

#include <cmath>

namespace qm {

TLetterbox ComputeLetterbox(int windowWidth, int windowHeight, int gameWidth, int gameHeight)
{
    TLetterbox box;
    if (windowWidth <= 0 || windowHeight <= 0 || gameWidth <= 0 || gameHeight <= 0)
        return box;
    // Compare the aspect ratios in integers: the wider side gets the bars.
    long long wideness = static_cast<long long>(windowWidth) * gameHeight;
    long long gameWideness = static_cast<long long>(gameWidth) * windowHeight;
    if (wideness >= gameWideness) {
        box.height = windowHeight;
        box.width = static_cast<int>((static_cast<long long>(gameWidth) * windowHeight + gameHeight / 2) / gameHeight);
    } else {
        box.width = windowWidth;
        box.height = static_cast<int>((static_cast<long long>(gameHeight) * windowWidth + gameWidth / 2) / gameWidth);
    }
    box.x = (windowWidth - box.width) / 2;
    box.y = (windowHeight - box.height) / 2;
    return box;
}

void WindowToGame(const TLetterbox& box, int gameWidth, int gameHeight, int windowX, int windowY,
                  int* gameX, int* gameY)
{
    if (box.width <= 0 || box.height <= 0) {
        *gameX = windowX;
        *gameY = windowY;
        return;
    }
    // Floor division, so the pixels left of the frame map to negative x.
    *gameX = static_cast<int>(std::floor(static_cast<double>(windowX - box.x) * gameWidth / box.width));
    *gameY = static_cast<int>(std::floor(static_cast<double>(windowY - box.y) * gameHeight / box.height));
}

}  // namespace qm
