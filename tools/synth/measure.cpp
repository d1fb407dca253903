#include "measure.h"

#include "dsp.h"

#include <algorithm>
#include <cmath>

namespace synth {

double PeakOf(const std::vector<float>& samples)
{
    double peak = 0;
    for (float v : samples)
        peak = std::max(peak, double(std::fabs(v)));
    return peak;
}

double RmsOf(const std::vector<float>& samples)
{
    double sum = 0;
    for (float v : samples)
        sum += double(v) * v;
    return samples.empty() ? 0.0 : std::sqrt(sum / double(samples.size()));
}

double LoudestOf(const std::vector<float>& samples, int rate)
{
    const std::size_t window = std::max<std::size_t>(1, std::size_t(rate / 10));
    const std::size_t hop = std::max<std::size_t>(1, window / 10);
    if (samples.size() <= window)
        return RmsOf(samples);
    double loudest = 0;
    for (std::size_t at = 0; at + window <= samples.size(); at += hop) {
        double sum = 0;
        for (std::size_t i = at; i < at + window; ++i)
            sum += double(samples[i]) * samples[i];
        loudest = std::max(loudest, std::sqrt(sum / double(window)));
    }
    return loudest;
}

double ShareAbove(const std::vector<float>& samples, int rate, double hertz)
{
    if (hertz >= rate * 0.45)
        return 0.0;
    TBiquad first, second;
    first.Set(EFilter::kHighPass, rate, hertz, 0.707);
    second.Set(EFilter::kHighPass, rate, hertz, 0.707);
    double all = 0, above = 0;
    for (float v : samples) {
        const double high = second.Process(first.Process(v));
        all += double(v) * v;
        above += high * high;
    }
    return all > 0 ? std::min(1.0, above / all) : 0.0;
}

double Decibels(double level) { return level > 0 ? 20.0 * std::log10(level) : -120.0; }

}  // namespace synth
