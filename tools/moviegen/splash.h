// The game's splash movie: the title drops onto a plate in a warm glow
// while a short chime rises under it.
#pragma once

#include <string>

// Draws it with the title font found under fontFolder ("corona.mvec") and
// writes the movie to path. True when written whole.
bool WriteSplashMovie(const std::string& path, const std::string& fontFolder);
