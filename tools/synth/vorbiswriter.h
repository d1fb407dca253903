// Mono float samples to an Ogg Vorbis file with libvorbisenc. The stream's
// serial number is fixed, so the same samples always give the same bytes.
#pragma once

#include <string>
#include <vector>

namespace synth {

bool WriteVorbis(const std::string& path, const std::vector<float>& samples, int rate, double quality,
                 std::string* error);

}  // namespace synth
