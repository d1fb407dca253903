#include "reverb.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {

class TComb {
public:
    TComb(int length, double feedback, double damp) : mLine(std::size_t(length), 0.0f), mFeedback(feedback), mDamp(damp) {}
    float Process(float x)
    {
        const float y = mLine[mAt];
        mStore = float(y * (1 - mDamp) + mStore * mDamp);
        mLine[mAt] = float(x + mStore * mFeedback);
        mAt = (mAt + 1) % mLine.size();
        return y;
    }

private:
    std::vector<float> mLine;
    std::size_t mAt = 0;
    float mStore = 0;
    double mFeedback, mDamp;
};

class TAllPass {
public:
    explicit TAllPass(int length) : mLine(std::size_t(length), 0.0f) {}
    float Process(float x)
    {
        const float stored = mLine[mAt];
        const float y = stored - x;
        mLine[mAt] = x + stored * 0.5f;
        mAt = (mAt + 1) % mLine.size();
        return y;
    }

private:
    std::vector<float> mLine;
    std::size_t mAt = 0;
};

}  // namespace

std::vector<float> RoomReverb(const std::vector<float>& send, int rate, double size, double damp)
{
    const double scale = rate / 44100.0;
    const double feedback = 0.7 + 0.28 * std::clamp(size, 0.0, 1.0);
    const double damping = 0.4 * std::clamp(damp, 0.0, 1.0);
    std::vector<TComb> combs;
    for (int length : {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617})
        combs.emplace_back(std::max(1, int(length * scale)), feedback, damping);
    std::vector<TAllPass> passes;
    for (int length : {556, 441, 341, 225})
        passes.emplace_back(std::max(1, int(length * scale)));
    std::vector<float> out(send.size());
    for (std::size_t i = 0; i < send.size(); ++i) {
        const float x = send[i] * 0.12f;
        float y = 0;
        for (TComb& c : combs)
            y += c.Process(x);
        for (TAllPass& a : passes)
            y = a.Process(y);
        out[i] = y;
    }
    return out;
}

}  // namespace synth
