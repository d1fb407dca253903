#include "voices.h"

#include "dsp.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <set>

namespace synth {

namespace {

enum class EFamily { kPartials, kWave, kPluck, kDrum, kNoise };

struct TPartial {
    double ratio, amplitude, decay;  // decay: per second, on top of the envelope's
};

struct TPreset {
    EFamily family;
    std::map<std::string, double> defaults;
    std::vector<TPartial> partials;  // kPartials
    std::string shape;               // kWave
};

const std::map<std::string, TPreset>& Presets()
{
    static const std::map<std::string, TPreset> presets = {
        // Mallets and bells: a quick strike, then partials that die away at their own pace.
        {"bell", {EFamily::kPartials, {{"release", 0.05}}, {{1, 0.7, 0}, {2.76, 0.3, 0}}, {}}},
        {"steeldrum",
         {EFamily::kPartials,
          {{"attack", 0.004}, {"decay", 1.6}, {"sustain", 0}, {"release", 0.25}, {"reverb", 0.3}},
          {{1, 1, 0}, {1.0023, 0.35, 0.6}, {2, 0.6, 1.0}, {3, 0.22, 2.5}, {4, 0.12, 4}, {5.02, 0.04, 6}},
          {}}},
        {"marimba",
         {EFamily::kPartials,
          {{"attack", 0.002}, {"decay", 3.2}, {"sustain", 0}, {"release", 0.12}, {"reverb", 0.25}},
          {{1, 1, 0}, {3.93, 0.22, 7}, {9.3, 0.05, 16}},
          {}}},
        {"vibes",
         {EFamily::kPartials,
          {{"attack", 0.003}, {"decay", 0.9}, {"sustain", 0}, {"release", 0.3}, {"tremolo", 0.25}, {"reverb", 0.35}},
          {{1, 1, 0}, {4, 0.18, 2.5}, {9.9, 0.03, 8}},
          {}}},
        {"glock",
         {EFamily::kPartials,
          {{"attack", 0.002}, {"decay", 2.2}, {"sustain", 0}, {"release", 0.2}, {"reverb", 0.3}},
          {{1, 1, 0}, {2.76, 0.4, 1.5}, {5.4, 0.18, 3}, {8.93, 0.07, 5}},
          {}}},
        {"celesta",
         {EFamily::kPartials,
          {{"attack", 0.003}, {"decay", 1.8}, {"sustain", 0}, {"release", 0.2}, {"reverb", 0.3}},
          {{1, 1, 0}, {2, 0.25, 2}, {3, 0.08, 3}, {4.2, 0.03, 6}},
          {}}},
        {"piano",
         {EFamily::kPartials,
          {{"attack", 0.002}, {"decay", 0.9}, {"sustain", 0}, {"release", 0.12}, {"detune", 1.5}, {"bright", 1},
           {"reverb", 0.2}},
          {},
          {}}},
        {"bass",
         {EFamily::kPartials,
          {{"attack", 0.006}, {"decay", 1.2}, {"sustain", 0}, {"release", 0.08}, {"reverb", 0.04}},
          {{1, 1, 0}, {2, 0.45, 1}, {3, 0.22, 2}, {4, 0.1, 3}, {5, 0.05, 4}},
          {}}},
        {"upright",
         {EFamily::kPartials,
          {{"attack", 0.008}, {"decay", 2.2}, {"sustain", 0}, {"release", 0.1}, {"reverb", 0.08}},
          {{1, 1, 0}, {2, 0.55, 1.5}, {3, 0.22, 3}, {4, 0.1, 4}},
          {}}},
        // Sustained waves.
        {"sine", {EFamily::kWave, {{"release", 0.05}}, {}, "sine"}},
        {"triangle", {EFamily::kWave, {{"release", 0.05}}, {}, "triangle"}},
        {"square", {EFamily::kWave, {{"release", 0.05}}, {}, "square"}},
        {"saw", {EFamily::kWave, {{"release", 0.05}}, {}, "saw"}},
        {"organ", {EFamily::kWave, {{"release", 0.05}}, {}, "organ"}},
        {"accordion",
         {EFamily::kWave,
          {{"attack", 0.03}, {"release", 0.08}, {"unison", 2}, {"detune", 14}, {"cutoff", 2600}, {"q", 0.8},
           {"reverb", 0.2}},
          {},
          "reed"}},
        {"tuba",
         {EFamily::kWave,
          {{"attack", 0.03}, {"decay", 1.2}, {"sustain", 0.55}, {"release", 0.08}, {"cutoff", 700}, {"sweep", 700},
           {"fdecay", 8}, {"q", 0.9}, {"reverb", 0.08}},
          {},
          "brass"}},
        {"pad",
         {EFamily::kWave,
          {{"attack", 0.35}, {"release", 0.7}, {"unison", 3}, {"detune", 12}, {"cutoff", 1300}, {"q", 0.8},
           {"reverb", 0.5}},
          {},
          "saw"}},
        {"arp",
         {EFamily::kWave,
          {{"attack", 0.003}, {"decay", 4}, {"sustain", 0}, {"release", 0.08}, {"cutoff", 500}, {"sweep", 3200},
           {"fdecay", 12}, {"q", 2.2}, {"reverb", 0.35}},
          {},
          "saw"}},
        {"lead",
         {EFamily::kWave,
          {{"attack", 0.012}, {"release", 0.12}, {"vibrato", 5.5}, {"depth", 14}, {"cutoff", 2600}, {"q", 1},
           {"unison", 2}, {"detune", 6}, {"reverb", 0.3}},
          {},
          "square"}},
        {"synthbass",
         {EFamily::kWave,
          {{"attack", 0.004}, {"decay", 3}, {"sustain", 0.45}, {"release", 0.06}, {"cutoff", 220}, {"sweep", 1400},
           {"fdecay", 10}, {"q", 2.2}, {"reverb", 0.05}},
          {},
          "saw"}},
        {"bubblebass",
         {EFamily::kWave,
          {{"attack", 0.004}, {"decay", 3}, {"sustain", 0.35}, {"release", 0.06}, {"cutoff", 260}, {"sweep", 1300},
           {"bump", 0.045}, {"q", 5}, {"reverb", 0.08}},
          {},
          "square"}},
        {"pluck", {EFamily::kPluck, {{"release", 0.08}, {"decay", 1.5}, {"bright", 0.5}, {"reverb", 0.2}}, {}, {}}},
        {"noise", {EFamily::kNoise, {{"release", 0.05}, {"filter", 2}, {"q", 1}}, {}, {}}},
    };
    return presets;
}

const std::set<std::string>& Drums()
{
    static const std::set<std::string> drums = {"kick",  "snare",    "brush",   "hat",  "openhat",    "shaker",
                                                "conga", "bongo",    "clave",   "woodblock", "cowbell", "clap",
                                                "tambourine", "tom", "rim", "chime"};
    return drums;
}

const std::set<std::string>& Settings()
{
    static const std::set<std::string> settings = {
        "gain",   "attack", "decay", "sustain", "release", "vibrato", "depth", "tremolo", "reverb", "detune",
        "unison", "bright", "cutoff", "sweep",  "fdecay",  "q",       "bump",  "tune",    "filter", "seed"};
    return settings;
}

// The voice's setting, else the preset's, else the common default.
class TSettings {
public:
    TSettings(const TVoiceSpec& voice, const TPreset* preset) : mVoice(voice), mPreset(preset) {}
    double operator()(const std::string& key, double fallback) const
    {
        auto it = mVoice.params.find(key);
        if (it != mVoice.params.end())
            return it->second;
        if (mPreset) {
            auto p = mPreset->defaults.find(key);
            if (p != mPreset->defaults.end())
                return p->second;
        }
        return fallback;
    }

private:
    const TVoiceSpec& mVoice;
    const TPreset* mPreset;
};

// Attack, an exponential fall from the start towards the sustain level, and
// a release after the note's duration that reaches silence smoothly.
struct TEnvelope {
    double attack = 0.005, decay = 0, sustain = 1, release = 0.05, duration = 1;

    double At(double t) const
    {
        double level = attack > 0 && t < attack ? t / attack : 1.0;
        if (decay > 0)
            level *= sustain + (1 - sustain) * std::exp(-decay * t);
        if (t > duration) {
            const double r = release > 0 ? (t - duration) / release : 1.0;
            level *= r >= 1 ? 0.0 : (1 - r) * (1 - r);
        }
        return level;
    }

    // Where the note ends: after its release, or earlier where its fall has gone below -80 dB.
    double Length() const
    {
        double end = duration + release;
        if (decay > 0 && sustain <= 0)
            end = std::min(end, attack + std::log(1e4) / decay);
        return end;
    }
};

TEnvelope EnvelopeOf(const TSettings& s, const TNoteEvent& note)
{
    TEnvelope e;
    e.attack = s("attack", 0.005);
    e.decay = s("decay", 0);
    e.sustain = s("sustain", e.decay > 0 ? 0.0 : 1.0);
    e.release = std::max(0.001, s("release", 0.05));
    e.duration = note.duration;
    return e;
}

// The frequency at each sample: an exponential glide from f0 to f1 over the
// duration, with vibrato (cents) that fades in over its first 0.25 s.
std::vector<double> Frequencies(const TSettings& s, const TNoteEvent& note, int rate, int count)
{
    std::vector<double> f(static_cast<std::size_t>(count));
    const double rateHz = s("vibrato", 0), depth = s("depth", 6) / 1200.0;
    const double ratio = note.f1 / note.f0;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        const double g = std::min(1.0, t / note.duration);
        double v = note.f0 * (ratio == 1 ? 1.0 : std::pow(ratio, g));
        if (rateHz > 0)
            v *= std::exp2(depth * std::min(1.0, t / 0.25) * std::sin(kTau * rateHz * t));
        f[std::size_t(i)] = v;
    }
    return f;
}

int SampleCount(double seconds, int rate) { return std::max(1, int(std::ceil(seconds * rate))); }

// ------------------------------------------------------------------ partials

std::vector<TPartial> PianoPartials(const TSettings& s, double f0, int rate)
{
    // Struck strings: harmonics a little sharp, falling faster the higher
    // they are; a hammer a seventh of the way along dims the 7th.
    std::vector<TPartial> p;
    const double bright = s("bright", 1), detune = std::exp2(s("detune", 1.5) / 1200.0);
    for (int n = 1; n <= 16; ++n) {
        const double ratio = n * std::sqrt(1 + 0.0004 * n * n);
        if (ratio * f0 > std::min(rate * 0.45, 7000.0))
            break;
        const double hammer = std::fabs(std::sin(3.14159265 * n / 7.0)) + 0.15;
        const double amp = hammer / std::pow(n, 2.0 - 0.5 * bright);
        const double decay = 0.6 * (n - 1) + f0 / 900.0;
        p.push_back({ratio, amp * 0.6, decay});
        p.push_back({ratio * detune, amp * 0.4, decay * 1.1});
    }
    return p;
}

std::vector<float> RenderPartials(const TSettings& s, const TPreset& preset, const TNoteEvent& note, int rate)
{
    TEnvelope env = EnvelopeOf(s, note);
    // Higher notes ring shorter on mallets and strings.
    const double pitchDecay = preset.partials.empty() || &preset == &Presets().at("steeldrum")
                                  ? 1.0
                                  : std::pow(std::max(note.f0, 30.0) / 440.0, 0.35);
    env.decay *= pitchDecay;
    const int count = SampleCount(env.Length(), rate);
    std::vector<float> out(std::size_t(count), 0.0f);
    const std::vector<TPartial> partials =
        preset.partials.empty() ? PianoPartials(s, note.f0, rate) : preset.partials;
    const std::vector<double> f = Frequencies(s, note, rate, count);
    const double fmax = std::max(note.f0, note.f1);
    for (const TPartial& p : partials) {
        // Nothing above 12 kHz: a bell's top partials there only sting.
        if (p.ratio * fmax > std::min(rate * 0.45, 12000.0))
            continue;
        const double step = std::exp(-p.decay * pitchDecay / rate);
        double amp = p.amplitude, phase = 0;
        for (int i = 0; i < count && amp > 1e-5; ++i) {
            out[std::size_t(i)] += float(amp * TableSine(phase));
            phase += p.ratio * f[std::size_t(i)] / rate;
            amp *= step;
        }
    }
    const double tremolo = s("tremolo", 0);
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        double level = env.At(t);
        if (tremolo > 0)
            level *= 1 - tremolo * 0.5 * (1 + std::sin(kTau * 5.2 * t));
        out[std::size_t(i)] *= float(level);
    }
    return out;
}

// ------------------------------------------------------------------ waves

double HarmonicAmplitude(const std::string& shape, int n)
{
    if (shape == "sine")
        return n == 1 ? 1.0 : 0.0;
    if (shape == "triangle")
        return n % 2 ? 0.81 * ((n / 2) % 2 ? -1.0 : 1.0) / (n * n) : 0.0;
    if (shape == "square")
        return n % 2 ? 0.76 / n : 0.0;
    if (shape == "saw")
        return 0.6 / n;
    if (shape == "organ")
        return n == 1 ? 0.6 : n == 2 ? 0.25 : n == 3 ? 0.15 : 0.0;
    if (shape == "reed")  // a narrow pulse: the accordion's free reed
        return 0.9 * std::sin(3.14159265 * n * 0.28) / n;
    if (shape == "brass")
        return 0.8 * std::exp(-0.3 * (n - 1));
    return 0.0;
}

// One cycle of `shape` with its first `harmonics` harmonics, shared between notes.
const std::vector<float>& WaveTable(const std::string& shape, int harmonics)
{
    static std::mutex lock;
    static std::map<std::pair<std::string, int>, std::vector<float>> tables;
    std::lock_guard<std::mutex> guard(lock);
    auto& table = tables[{shape, harmonics}];
    if (table.empty()) {
        constexpr int kSize = 2048;
        table.assign(kSize + 1, 0.0f);
        for (int n = 1; n <= harmonics; ++n) {
            const double a = HarmonicAmplitude(shape, n);
            if (a == 0)
                continue;
            for (int i = 0; i < kSize; ++i)
                table[std::size_t(i)] += float(a * std::sin(kTau * double(n) * i / kSize));
        }
        table[kSize] = table[0];
    }
    return table;
}

float Lookup(const std::vector<float>& table, double phase)
{
    const double p = (phase - std::floor(phase)) * double(table.size() - 1);
    const int i = int(p);
    const float frac = float(p - i);
    return table[std::size_t(i)] + frac * (table[std::size_t(i) + 1] - table[std::size_t(i)]);
}

std::vector<float> RenderWave(const TSettings& s, const TPreset& preset, const TNoteEvent& note, int rate)
{
    const TEnvelope env = EnvelopeOf(s, note);
    const int count = SampleCount(env.Length(), rate);
    std::vector<float> out(std::size_t(count), 0.0f);
    const std::vector<double> f = Frequencies(s, note, rate, count);
    const double fmax = std::max(note.f0, note.f1) * 1.02;
    const int harmonics = std::clamp(int(rate * 0.45 / fmax), 1, 64);
    const std::vector<float>& table = WaveTable(preset.shape, harmonics);
    const int unison = std::clamp(int(s("unison", 1)), 1, 4);
    const double spread = s("detune", 0) / 1200.0;
    for (int u = 0; u < unison; ++u) {
        const double ratio = unison == 1 ? 1.0 : std::exp2(spread * (double(u) / (unison - 1) - 0.5));
        double phase = 0.37 * u;  // unison voices start apart: no phasey attack
        for (int i = 0; i < count; ++i) {
            out[std::size_t(i)] += Lookup(table, phase) / float(unison);
            phase += ratio * f[std::size_t(i)] / rate;
        }
    }
    const double cutoff = s("cutoff", 0), sweep = s("sweep", 0), fdecay = s("fdecay", 8), bump = s("bump", 0);
    const double q = s("q", 0.707), tremolo = s("tremolo", 0);
    TStateVariable filter;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        float x = out[std::size_t(i)];
        if (cutoff > 0) {
            double c = cutoff;
            if (bump > 0)
                c += sweep * (t / bump) * std::exp(1 - t / bump);
            else if (sweep > 0)
                c += sweep * std::exp(-fdecay * t);
            x = filter.LowPass(x, rate, c, q);
        }
        double level = env.At(t);
        if (tremolo > 0)
            level *= 1 - tremolo * 0.5 * (1 + std::sin(kTau * 5.2 * t));
        out[std::size_t(i)] = float(x * level);
    }
    return out;
}

// ------------------------------------------------------------------ pluck

// A plucked string: a burst of soft noise circulating through a delay whose
// averaging filter darkens it as it rings. The averaging delays half a
// sample and a first-order all-pass the rest of the period's fraction, so
// the string is in tune at every pitch.
std::vector<float> RenderPluck(const TSettings& s, const TNoteEvent& note, int rate)
{
    const TEnvelope env = EnvelopeOf(s, note);
    const int count = SampleCount(env.Length(), rate);
    std::vector<float> out(static_cast<std::size_t>(count), 0.0f);
    const double period = rate / note.f0;
    const int length = std::max(2, int(std::floor(period - 0.6)));
    const double fraction = period - 0.5 - length;  // 0.1 .. 1.1 samples, for the all-pass
    const double c = (1 - fraction) / (1 + fraction);
    std::vector<float> line(std::size_t(length), 0.0f);
    TNoise noise(std::uint32_t(s("seed", 7)) * 2654435761u + std::uint32_t(note.f0 * 100));
    float smooth = 0;
    const float bright = float(std::clamp(s("bright", 0.5), 0.05, 1.0));
    for (float& v : line) {
        smooth += bright * (noise.Next() - smooth);
        v = smooth;
    }
    // Feedback that gives the string its decay (per second) at this pitch.
    const double feedback = std::exp(-s("decay", 1.5) / note.f0);
    std::size_t at = 0;
    double previous = 0, allpassIn = 0, allpassOut = 0;
    for (int i = 0; i < count; ++i) {
        const double y = line[at];
        const double averaged = 0.5 * (y + previous);
        previous = y;
        allpassOut = c * averaged + allpassIn - c * allpassOut;
        allpassIn = averaged;
        line[at] = float(allpassOut * feedback);
        out[std::size_t(i)] = float(y * env.At(double(i) / rate));
        at = (at + 1) % line.size();
    }
    return out;
}

// ------------------------------------------------------------------ drums

std::vector<float> RenderDrum(const TSettings& s, const std::string& name, const TNoteEvent& note, int rate)
{
    const double tune = s("tune", 1);
    const double nyquist = rate * 0.45;
    TNoise noise(std::uint32_t(s("seed", 11)) * 2246822519u + std::uint32_t(note.start * 1000));
    TBiquad band, band2;
    double phase = 0, phase2 = 0;
    double length = 0.3;
    auto out = [&](auto&& sample) {
        const int count = SampleCount(length, rate);
        std::vector<float> v(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const double t = double(i) / rate;
            // A 1 ms rise keeps every hit free of a click.
            v[std::size_t(i)] = float(sample(t) * std::min(1.0, t / 0.001));
        }
        return v;
    };
    auto sine = [&](double& ph, double hz) {
        ph += hz / rate;
        return TableSine(ph);
    };
    if (name == "kick") {
        length = 0.45;
        band.Set(EFilter::kLowPass, rate, 2500, 0.7);
        return out([&](double t) {
            const double hz = tune * (52 + 90 * std::exp(-t / 0.03));
            return 0.95 * sine(phase, hz) * std::exp(-t / 0.16) + 0.25 * band.Process(noise.Next()) * std::exp(-t / 0.004);
        });
    }
    if (name == "snare" || name == "brush" || name == "clap") {
        const bool brush = name == "brush", clap = name == "clap";
        length = brush ? 0.35 : 0.3;
        band.Set(EFilter::kBandPass, rate, std::min(nyquist, tune * (clap ? 1300 : brush ? 2600 : 3200)),
                 clap ? 1.4 : 0.8);
        return out([&](double t) {
            double n = band.Process(noise.Next());
            double e;
            if (brush)
                e = std::min(1.0, t / 0.012) * std::exp(-t / 0.09) * 0.9;
            else if (clap)  // three quick claps and a short room
                e = (t < 0.03 ? std::exp(-std::fmod(t, 0.01) / 0.003) : std::exp(-(t - 0.03) / 0.06)) * 1.6;
            else
                e = std::exp(-t / 0.09) * 1.4;
            double tone = brush || clap ? 0.0 : 0.5 * sine(phase, tune * 185) * std::exp(-t / 0.045);
            return n * e + tone;
        });
    }
    if (name == "hat" || name == "openhat" || name == "shaker" || name == "tambourine") {
        const bool shaker = name == "shaker", open = name == "openhat", tamb = name == "tambourine";
        length = open ? 0.45 : tamb ? 0.3 : 0.15;
        const double centre = std::min(nyquist, tune * (shaker ? 5200 : tamb ? 7000 : 8000));
        band.Set(shaker ? EFilter::kBandPass : EFilter::kHighPass, rate, shaker ? centre : centre * 0.75,
                 shaker ? 1.6 : 0.8);
        band2.Set(EFilter::kBandPass, rate, centre, tamb ? 3 : 1.0);
        return out([&](double t) {
            double n = band2.Process(band.Process(noise.Next()));
            double e = shaker ? std::min(1.0, t / 0.014) * std::exp(-t / 0.045)
                       : open ? std::exp(-t / 0.16)
                       : tamb ? std::exp(-t / 0.07)
                              : std::exp(-t / 0.03);
            return 1.8 * n * e;
        });
    }
    if (name == "conga" || name == "bongo" || name == "tom") {
        const double base = tune * (name == "bongo" ? 400 : name == "tom" ? 120 : 210);
        const double fall = name == "bongo" ? 0.09 : name == "tom" ? 0.22 : 0.16;
        length = fall * 4;
        band.Set(EFilter::kBandPass, rate, std::min(nyquist, base * 6), 1.2);
        return out([&](double t) {
            const double hz = base * (1 + 0.12 * std::exp(-t / 0.02));
            return std::exp(-t / fall) * (0.9 * sine(phase, hz) + 0.18 * sine(phase2, hz * 1.58)) +
                   0.4 * band.Process(noise.Next()) * std::exp(-t / 0.006);
        });
    }
    if (name == "clave" || name == "woodblock" || name == "rim") {
        const double base = tune * (name == "clave" ? 2300 : name == "rim" ? 1700 : 900);
        const double fall = name == "clave" ? 0.045 : name == "rim" ? 0.012 : 0.035;
        length = fall * 6;
        return out([&](double t) {
            return std::exp(-t / fall) * (0.8 * sine(phase, std::min(nyquist, base)) +
                                          0.25 * sine(phase2, std::min(nyquist, base * 2.7)));
        });
    }
    if (name == "cowbell") {
        length = 0.35;
        band.Set(EFilter::kBandPass, rate, std::min(nyquist, tune * 800), 2.5);
        return out([&](double t) {
            phase += tune * 545.0 / rate;
            phase2 += tune * 815.0 / rate;
            double sq = (std::fmod(phase, 1.0) < 0.5 ? 1 : -1) + (std::fmod(phase2, 1.0) < 0.5 ? 1 : -1);
            return 0.8 * band.Process(float(sq)) * std::exp(-t / 0.07);
        });
    }
    // chime: a small orchestral triangle
    length = 1.2;
    return out([&](double t) {
        const double hz = std::min(nyquist * 0.9, tune * 4200);
        return std::exp(-t / 0.35) * (0.6 * sine(phase, hz) + 0.25 * sine(phase2, std::min(nyquist, hz * 1.41)));
    });
}

// ------------------------------------------------------------------ noise

std::vector<float> RenderNoise(const TSettings& s, const TNoteEvent& note, int rate)
{
    const TEnvelope env = EnvelopeOf(s, note);
    const int count = SampleCount(env.Length(), rate);
    std::vector<float> out(static_cast<std::size_t>(count));
    const std::vector<double> f = Frequencies(s, note, rate, count);
    TNoise noise(std::uint32_t(s("seed", 1)) * 2654435761u + 1);
    const int kind = int(s("filter", 2));
    const EFilter type = kind == 0 ? EFilter::kLowPass : kind == 1 ? EFilter::kHighPass : EFilter::kBandPass;
    const double q = s("q", 1);
    TBiquad first, second;  // two sections: a steeper, clearly shaped band
    for (int i = 0; i < count; ++i) {
        if (i % 16 == 0) {
            first.Set(type, rate, f[std::size_t(i)], q);
            second.Set(type, rate, f[std::size_t(i)], q);
        }
        const float x = second.Process(first.Process(noise.Next()));
        out[std::size_t(i)] = float(x * env.At(double(i) / rate) * (type == EFilter::kBandPass ? 1.5 : 1.0));
    }
    return out;
}

}  // namespace

bool IsPreset(const std::string& name) { return Presets().count(name) || Drums().count(name); }

bool IsSetting(const std::string& key) { return Settings().count(key) != 0; }

std::vector<float> RenderNote(const TVoiceSpec& voice, const TNoteEvent& note, int rate)
{
    if (Drums().count(voice.preset))
        return RenderDrum(TSettings(voice, nullptr), voice.preset, note, rate);
    const TPreset& preset = Presets().at(voice.preset);
    const TSettings s(voice, &preset);
    switch (preset.family) {
    case EFamily::kPartials:
        return RenderPartials(s, preset, note, rate);
    case EFamily::kWave:
        return RenderWave(s, preset, note, rate);
    case EFamily::kPluck:
        return RenderPluck(s, note, rate);
    case EFamily::kNoise:
        return RenderNoise(s, note, rate);
    default:
        return {};
    }
}

double ReverbSend(const TVoiceSpec& voice)
{
    if (Drums().count(voice.preset))
        return voice.Get("reverb", 0.12);
    return TSettings(voice, &Presets().at(voice.preset))("reverb", 0.15);
}

}  // namespace synth
