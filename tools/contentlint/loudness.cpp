#include "loudness.h"

#include "tools/synth/measure.h"

#include "engine/sound/oggdecode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace contentlint {

namespace {

bool Number(const std::string& word, double* value)
{
    char* end = nullptr;
    *value = std::strtod(word.c_str(), &end);
    return !word.empty() && end && *end == '\0';
}

std::string Format(const char* format, double a, double b = 0, double c = 0)
{
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : 0.5 * (values[mid - 1] + values[mid]);
}

// The sound's samples as one channel of floats (channels averaged).
bool Decode(const fs::path& path, std::vector<float>* mono, int* rate)
{
    TPcm pcm;
    std::FILE* file = std::fopen(path.string().c_str(), "rb");
    if (!file || DecodeOgg(file, path.string().c_str(), &pcm) != EOggDecode::kOk || pcm.channels <= 0)
        return false;
    mono->assign(std::size_t(pcm.Frames()), 0.0f);
    for (int f = 0; f < pcm.Frames(); ++f) {
        float sum = 0;
        for (int ch = 0; ch < pcm.channels; ++ch)
            sum += pcm.samples[std::size_t(f * pcm.channels + ch)];
        (*mono)[std::size_t(f)] = sum / (32768.0f * float(pcm.channels));
    }
    *rate = pcm.rate;
    return true;
}

}  // namespace

void TLoudness::Check(const TContract& c)
{
    const std::string& kind = c.words[0];
    std::vector<double> v;
    for (std::size_t i = 2; i < c.words.size(); ++i) {
        double value = 0;
        if (kind != "order" && !Number(c.words[i], &value))
            return Fail(c, "not a number: '" + c.words[i] + "'");
        v.push_back(kind == "order" ? 0.0 : value);
    }
    if (kind == "order")
        return Order(c);
    const std::size_t expected = kind == "ambient" ? 2 : 3;
    if ((kind != "music" && kind != "effects" && kind != "ambient") || v.size() != expected)
        return Fail(c, "expected 'loudness music FOLDER RMS WITHIN PEAK', 'loudness effects FOLDER ABOVE PEAK "
                       "HISS', 'loudness ambient FOLDER PEAK SHARE' or 'loudness order KIND... GAP'");
    std::vector<TMeasure> files;
    if (!Measure(c, &files))
        return;
    if (kind == "music")
        Music(c, files, v[0], v[1], v[2]);
    else if (kind == "effects")
        Effects(c, files, v[0], v[1], v[2]);
    else
        Ambient(c, files, v[0], v[1]);
}

bool TLoudness::Measure(const TContract& c, std::vector<TMeasure>* out)
{
    // A folder of the resource folder, or of its assets/, as the engine finds files.
    fs::path folder = c.words[1];
    if (!fs::is_directory(folder))
        folder = fs::path("assets") / c.words[1];
    if (!fs::is_directory(folder)) {
        Fail(c, "no folder " + c.words[1]);
        return false;
    }
    std::vector<fs::path> paths;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() == ".ogg")
            paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    if (paths.empty()) {
        Fail(c, "no sound in " + c.words[1]);
        return false;
    }
    for (const fs::path& path : paths) {
        const fs::path relative = fs::relative(path, folder);
        TMeasure m;
        m.name = (fs::path(c.words[1]) / relative).generic_string();
        m.group = std::distance(relative.begin(), relative.end()) > 1 ? relative.begin()->string()
                                                                       : relative.stem().string();
        std::vector<float> samples;
        int rate = 0;
        if (!Decode(path, &samples, &rate)) {
            Fail(c, m.name + " does not decode");
            continue;
        }
        ++mReport.checks;
        m.seconds = double(samples.size()) / rate;
        m.peak = synth::Decibels(synth::PeakOf(samples));
        const double rms = synth::RmsOf(samples);
        m.rms = synth::Decibels(rms);
        m.frames = double(samples.size());
        m.energy = rms * rms * m.frames;
        m.loudest = synth::Decibels(synth::LoudestOf(samples, rate));
        m.hiss = synth::ShareAbove(samples, rate, 8000);
        m.above150 = synth::ShareAbove(samples, rate, 150);
        out->push_back(m);
    }
    Table(c.words[0] + " " + c.words[1], *out);
    return true;
}

void TLoudness::Table(const std::string& title, const std::vector<TMeasure>& files)
{
    mReport.table.push_back("loudness of " + title + ":");
    mReport.table.push_back("  sound                                            seconds  peak dBFS  RMS dBFS  loudest "
                            "100 ms  >8 kHz  >150 Hz");
    for (const TMeasure& m : files) {
        char line[256];
        std::snprintf(line, sizeof line, "  %-48s %7.2f  %9.1f  %8.1f  %14.1f  %6.2f  %7.2f", m.name.c_str(),
                      m.seconds, m.peak, m.rms, m.loudest, m.hiss, m.above150);
        mReport.table.push_back(line);
    }
}

void TLoudness::Music(const TContract& c, const std::vector<TMeasure>& files, double rms, double within, double peak)
{
    std::map<std::string, double> seconds;  // per restaurant, and the menu
    std::map<std::string, int> pieces;
    double energy = 0, frames = 0;
    for (const TMeasure& m : files) {
        if (std::fabs(m.rms - rms) > within)
            Fail(c, m.name + Format(": RMS %.1f dBFS, not within %.1f dB of %.1f", m.rms, within, rms));
        if (m.peak > peak)
            Fail(c, m.name + Format(": peak %.1f dBFS above %.1f", m.peak, peak));
        seconds[m.group] += m.seconds;
        ++pieces[m.group];
        energy += m.energy;
        frames += m.frames;
    }
    mReport.table.push_back("  distinct music (every piece heard once):");
    for (const auto& [group, total] : seconds) {
        char line[160];
        std::snprintf(line, sizeof line, "    %-16s %5.2f min in %d %s", group.c_str(), total / 60.0, pieces[group],
                      pieces[group] == 1 ? "piece" : "pieces");
        mReport.table.push_back(line);
    }
    mLevels["music"] = synth::Decibels(std::sqrt(energy / std::max(frames, 1.0)));
}

void TLoudness::Effects(const TContract& c, const std::vector<TMeasure>& files, double above, double peak,
                        double hiss)
{
    std::vector<double> levels;
    for (const TMeasure& m : files)
        levels.push_back(m.rms);
    const double median = Median(levels);
    mReport.table.push_back(Format("  median RMS %.1f dBFS: the band is %.1f to %.1f", median, median - 2 * above,
                                   median + above));
    for (const TMeasure& m : files) {
        if (m.rms > median + above || m.rms < median - 2 * above)
            Fail(c, m.name + Format(": RMS %.1f dBFS outside %.1f to %.1f", m.rms, median - 2 * above, median + above));
        if (m.peak > peak)
            Fail(c, m.name + Format(": peak %.1f dBFS above %.1f", m.peak, peak));
        if (m.hiss > hiss)
            Fail(c, m.name + Format(": %.0f %% of its energy above 8 kHz (at most %.0f %%): broadband hiss", m.hiss * 100,
                                    hiss * 100));
    }
    mLevels["effects"] = median;
}

void TLoudness::Ambient(const TContract& c, const std::vector<TMeasure>& files, double peak, double share)
{
    double loudest = -120;
    for (const TMeasure& m : files) {
        if (m.peak > peak)
            Fail(c, m.name + Format(": peak %.1f dBFS above %.1f", m.peak, peak));
        if (m.above150 < share)
            Fail(c, m.name + Format(": only %.0f %% of its energy above 150 Hz (at least %.0f %%): small speakers "
                                    "would not play it", m.above150 * 100, share * 100));
        loudest = std::max(loudest, m.rms);
    }
    mLevels["ambient"] = loudest;
}

void TLoudness::Order(const TContract& c)
{
    double gap = 0;
    if (c.words.size() < 4 || !Number(c.words.back(), &gap))
        return Fail(c, "expected 'loudness order KIND KIND... GAP'");
    ++mReport.checks;
    for (std::size_t i = 1; i + 2 < c.words.size(); ++i) {
        const std::string &lower = c.words[i], &upper = c.words[i + 1];
        if (!mLevels.count(lower) || !mLevels.count(upper))
            return Fail(c, "measure " + lower + " and " + upper + " before ordering them");
        if (mLevels[lower] > mLevels[upper] - gap)
            Fail(c, lower + Format(" at %.1f dBFS is not %.1f dB under ", mLevels[lower], gap) + upper +
                        Format(" at %.1f dBFS", mLevels[upper]));
    }
}

}  // namespace contentlint
