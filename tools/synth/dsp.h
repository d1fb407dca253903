// Small signal-processing pieces shared by the voices: a table sine, a
// seeded noise source, RBJ biquads and a state-variable filter. Everything
// is plain arithmetic on the caller's numbers, so a render is the same bytes
// on every run.
#pragma once

#include <cmath>
#include <cstdint>

namespace synth {

constexpr double kTau = 6.283185307179586;

// sin(2 pi phase) from a 4096-point table with linear interpolation.
float TableSine(double phase);

// A xorshift generator: the same seed gives the same noise.
class TNoise {
public:
    explicit TNoise(std::uint32_t seed) : mState(seed ? seed : 0x9e3779b9u) {}
    // Uniform in [-1, 1).
    float Next()
    {
        mState ^= mState << 13;
        mState ^= mState >> 17;
        mState ^= mState << 5;
        return float(mState >> 8) * (2.0f / 16777216.0f) - 1.0f;
    }

private:
    std::uint32_t mState;
};

enum class EFilter { kLowPass, kHighPass, kBandPass };

// A second-order section (RBJ cookbook); Set may be called every few samples for sweeps.
class TBiquad {
public:
    void Set(EFilter type, double rate, double frequency, double q);
    float Process(float x)
    {
        const double y = mB0 * x + mB1 * mX1 + mB2 * mX2 - mA1 * mY1 - mA2 * mY2;
        mX2 = mX1;
        mX1 = x;
        mY2 = mY1;
        mY1 = y;
        return float(y);
    }

private:
    double mB0 = 1, mB1 = 0, mB2 = 0, mA1 = 0, mA2 = 0;
    double mX1 = 0, mX2 = 0, mY1 = 0, mY2 = 0;
};

// A Chamberlin state-variable low pass, stable for cutoffs up to a sixth of the rate.
class TStateVariable {
public:
    float LowPass(float x, double rate, double cutoff, double q)
    {
        const double f = 2.0 * std::sin(kTau * 0.5 * std::fmin(cutoff, rate / 6.5) / rate);
        const double damp = 1.0 / std::fmax(q, 0.5);
        mLow += f * mBand;
        const double high = x - mLow - damp * mBand;
        mBand += f * high;
        return float(mLow);
    }

private:
    double mLow = 0, mBand = 0;
};

}  // namespace synth
