// A sound from its render list entry: every note into the mix, the room,
// the ends (fade, wrap or loop) and the level rule, as float samples.
#pragma once

#include "renderlist.h"

#include <vector>

namespace synth {

std::vector<float> RenderSound(const TSoundSpec& sound);

// Levels measured as the lint measures them (full scale 1.0).
double PeakOf(const std::vector<float>& samples);
double RmsOf(const std::vector<float>& samples);
double LoudestOf(const std::vector<float>& samples, int rate);  // the RMS of the loudest 100 ms

}  // namespace synth
