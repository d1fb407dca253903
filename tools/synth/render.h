// A sound from its render list entry: every note into the mix, the room,
// the ends (fade, wrap or loop) and the level rule, as float samples.
#pragma once

#include "renderlist.h"

#include <vector>

namespace synth {

std::vector<float> RenderSound(const TSoundSpec& sound);

}  // namespace synth
