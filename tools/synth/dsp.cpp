#include "dsp.h"

#include <array>

namespace synth {

namespace {

constexpr int kTableSize = 4096;

const std::array<float, kTableSize + 1>& SineTable()
{
    static const std::array<float, kTableSize + 1> table = [] {
        std::array<float, kTableSize + 1> t{};
        for (int i = 0; i <= kTableSize; ++i)
            t[std::size_t(i)] = float(std::sin(kTau * i / kTableSize));
        return t;
    }();
    return table;
}

}  // namespace

float TableSine(double phase)
{
    const auto& table = SineTable();
    const double p = (phase - std::floor(phase)) * kTableSize;
    const int i = int(p);
    const float frac = float(p - i);
    return table[std::size_t(i)] + frac * (table[std::size_t(i) + 1] - table[std::size_t(i)]);
}

void TBiquad::Set(EFilter type, double rate, double frequency, double q)
{
    frequency = std::fmin(std::fmax(frequency, 10.0), rate * 0.45);
    const double w = kTau * frequency / rate;
    const double cw = std::cos(w), alpha = std::sin(w) / (2.0 * std::fmax(q, 0.1));
    double b0, b1, b2;
    switch (type) {
    case EFilter::kLowPass:
        b0 = (1 - cw) / 2, b1 = 1 - cw, b2 = (1 - cw) / 2;
        break;
    case EFilter::kHighPass:
        b0 = (1 + cw) / 2, b1 = -(1 + cw), b2 = (1 + cw) / 2;
        break;
    default:  // band pass, 0 dB at the centre
        b0 = alpha, b1 = 0, b2 = -alpha;
        break;
    }
    const double a0 = 1 + alpha;
    mB0 = b0 / a0, mB1 = b1 / a0, mB2 = b2 / a0;
    mA1 = -2 * cw / a0, mA2 = (1 - alpha) / a0;
}

}  // namespace synth
