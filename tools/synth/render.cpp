#include "render.h"

#include "dsp.h"
#include "measure.h"
#include "reverb.h"
#include "voices.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {

constexpr double kWrapTail = 3.0;  // seconds a wrapped piece may ring past its end

double Gain(double db) { return std::pow(10.0, db / 20.0); }

void Scale(std::vector<float>& x, double gain)
{
    for (float& v : x)
        v = float(v * gain);
}

// Bends everything above 3 dB under the ceiling smoothly under the ceiling.
void SoftLimit(std::vector<float>& x, double ceiling)
{
    const double knee = ceiling * 0.7, room = ceiling - knee;
    for (float& v : x) {
        const double a = std::fabs(v);
        if (a > knee)
            v = float(std::copysign(knee + room * std::tanh((a - knee) / room), v));
    }
}

void ApplyLevel(const TSoundSpec& s, std::vector<float>& x)
{
    const double peak = PeakOf(x);
    if (peak <= 0)
        return;
    const double ceiling = Gain(s.ceilingDb);
    if (s.level == ELevel::kGain) {
        Scale(x, Gain(s.levelDb));
    } else if (s.level == ELevel::kPeak) {
        Scale(x, ceiling / peak);
    } else if (s.level == ELevel::kLoud) {
        Scale(x, std::min(Gain(s.levelDb) / LoudestOf(x, s.rate), ceiling / peak));
    } else {
        // The limiter lowers the RMS a little; a few rounds settle on the target.
        for (int round = 0; round < 4; ++round) {
            Scale(x, Gain(s.levelDb) / RmsOf(x));
            SoftLimit(x, ceiling);
        }
    }
}

void Mix(const TSoundSpec& s, std::vector<float>& dry, std::vector<float>& send)
{
    for (const TNoteEvent& n : s.notes) {
        const TVoiceSpec& voice = s.voices[std::size_t(n.voice)];
        const std::vector<float> signal = RenderNote(voice, n, s.rate);
        const double gain = voice.Get("gain", 0.5) * n.velocity, toRoom = gain * ReverbSend(voice);
        const std::size_t first = std::size_t(std::llround(n.start * s.rate));
        for (std::size_t i = 0; i < signal.size() && first + i < dry.size(); ++i) {
            dry[first + i] += float(gain * signal[i]);
            send[first + i] += float(toRoom * signal[i]);
        }
    }
}

}  // namespace

std::vector<float> RenderSound(const TSoundSpec& s)
{
    const std::size_t total = std::size_t(std::llround(s.length * s.rate));
    std::size_t extra = 0;
    if (s.ends == EEnds::kWrap)
        extra = std::size_t(kWrapTail * s.rate);
    else if (s.ends == EEnds::kLoop)
        extra = std::size_t(std::llround(s.endSeconds * s.rate));
    std::vector<float> dry(total + extra, 0.0f), send(total + extra, 0.0f);
    Mix(s, dry, send);
    if (s.roomWet > 0) {
        const std::vector<float> wet = RoomReverb(send, s.rate, s.roomSize, s.roomDamp);
        for (std::size_t i = 0; i < dry.size(); ++i)
            dry[i] += float(s.roomWet * wet[i]);
    }
    TBiquad rumble;  // nothing under 30 Hz: no offset, no inaudible energy
    rumble.Set(EFilter::kHighPass, s.rate, 30, 0.707);
    for (float& v : dry)
        v = rumble.Process(v);

    if (s.ends == EEnds::kWrap) {
        for (std::size_t i = 0; i < extra; ++i)
            dry[i % total] += dry[total + i];
    } else if (s.ends == EEnds::kLoop) {
        // The overhang fades out over the head as the head fades in (equal power),
        // so the last sample leads into the first as the signal itself would.
        for (std::size_t i = 0; i < extra && i < total; ++i) {
            const double g = double(i) / double(extra) * 0.5 * kTau / 2;
            dry[i] = float(dry[i] * std::sin(g) + dry[total + i] * std::cos(g));
        }
    }
    dry.resize(total);
    ApplyLevel(s, dry);
    if (s.ends == EEnds::kFade) {
        const std::size_t in = std::min(total / 2, std::size_t(s.startSeconds * s.rate));
        const std::size_t out = std::min(total / 2, std::size_t(s.endSeconds * s.rate));
        for (std::size_t i = 0; i < in; ++i)
            dry[i] = float(dry[i] * double(i) / double(in));
        for (std::size_t i = 0; i < out; ++i)
            dry[total - 1 - i] = float(dry[total - 1 - i] * 0.5 * (1 - std::cos(kTau / 2 * double(i) / double(out))));
    }
    return dry;
}

}  // namespace synth
