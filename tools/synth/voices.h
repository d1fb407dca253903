// The instruments. A voice is a preset with settings; a note of it is
// rendered into a signal that the mix adds to the dry bus and, scaled by the
// voice's "reverb" send, to the room.
//
// Presets by family (settings in brackets override the preset's own):
//   mallets and bells, partials with their own decays: bell steeldrum marimba
//     vibes glock celesta piano bass upright
//   sustained waves (band-limited tables, detuned unison, a low pass that may
//     sweep): sine triangle square saw organ accordion tuba pad arp lead
//     synthbass bubblebass
//   a plucked string: pluck
//   drums, tuned by "tune" (not by the note): kick snare brush hat openhat
//     shaker conga bongo clave woodblock cowbell clap tambourine tom rim chime
//   filtered noise whose centre follows the note's frequency (and glide):
//     noise ("filter" 0 low pass, 1 high pass, 2 band pass; "q")
//
// Settings: gain attack decay sustain release vibrato depth tremolo reverb
// detune unison bright cutoff sweep fdecay q bump tune filter seed.
// attack, release: seconds; decay: per second (exponential, from the start)
// towards sustain (0..1); vibrato: Hz with depth in cents; tremolo: depth at
// 5 Hz; cutoff, sweep: Hz (the low pass starts at cutoff + sweep and falls by
// fdecay per second; bump instead raises it for that many seconds and lets it
// fall again); detune: cents between unison voices.
#pragma once

#include "renderlist.h"

#include <string>
#include <vector>

namespace synth {

bool IsPreset(const std::string& name);
bool IsSetting(const std::string& key);

// The note's signal from its start, before the voice's gain and velocity;
// it ends where it has fallen silent.
std::vector<float> RenderNote(const TVoiceSpec& voice, const TNoteEvent& note, int rate);

// How much of the voice goes to the room.
double ReverbSend(const TVoiceSpec& voice);

}  // namespace synth
