// How loud a sound is, measured one way for the synthesiser that levels it
// and the content lint that checks it (full scale is 1.0).
#pragma once

#include <vector>

namespace synth {

double PeakOf(const std::vector<float>& samples);
double RmsOf(const std::vector<float>& samples);
// The RMS of the loudest 100 ms (the whole sound when it is shorter).
double LoudestOf(const std::vector<float>& samples, int rate);
// The share (0..1) of the sound's energy above `hertz` (a fourth-order high pass).
double ShareAbove(const std::vector<float>& samples, int rate, double hertz);

double Decibels(double level);

}  // namespace synth
