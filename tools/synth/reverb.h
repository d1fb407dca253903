// A small room: eight damped feedback combs in parallel, then four all-pass
// diffusers, tuned at 44.1 kHz and scaled to the rate.
#pragma once

#include <vector>

namespace synth {

// The room's answer to `send` (same length; what rings past the end is lost).
std::vector<float> RoomReverb(const std::vector<float>& send, int rate, double size, double damp);

}  // namespace synth
