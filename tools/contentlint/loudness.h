// The loudness rule, checked on the sounds the data build made: music
// pieces at one RMS with their peaks under a ceiling, effects inside one
// band around their median with no broadband hiss, ambient beds quiet and
// audible on small speakers, and the kinds in order (beds under music under
// effects). It also prints every file's levels and the minutes of distinct
// music per restaurant and the menu.
//
//   loudness music FOLDER RMS WITHIN PEAK      every piece's RMS within WITHIN dB of RMS; peaks at most PEAK dBFS
//   loudness effects FOLDER ABOVE PEAK HISS    RMS at most ABOVE dB over the median (and 2 x ABOVE under it);
//                                              peaks at most PEAK; at most HISS (0..1) of the energy above 8 kHz
//   loudness ambient FOLDER PEAK SHARE         peaks at most PEAK; at least SHARE of the energy above 150 Hz
//   loudness order KIND KIND... GAP            each kind's level at least GAP dB under the next one's
//                                              (music and ambient: their RMS; effects: the median RMS)
#pragma once

#include "contracts.h"
#include "lint.h"

#include <map>
#include <string>
#include <vector>

namespace contentlint {

class TLoudness {
public:
    explicit TLoudness(TLintReport* report) : mReport(*report) {}
    void Check(const TContract& c);

private:
    struct TMeasure {
        std::string name, group;
        double seconds = 0, frames = 0, peak = 0, rms = 0, loudest = 0, hiss = 0, above150 = 0, energy = 0;
    };

    bool Measure(const TContract& c, std::vector<TMeasure>* out);
    void Music(const TContract& c, const std::vector<TMeasure>& files, double rms, double within, double peak);
    void Effects(const TContract& c, const std::vector<TMeasure>& files, double above, double peak, double hiss);
    void Ambient(const TContract& c, const std::vector<TMeasure>& files, double peak, double share);
    void Order(const TContract& c);
    void Table(const std::string& title, const std::vector<TMeasure>& files);
    void Fail(const TContract& c, const std::string& why) { mReport.failures.push_back(c.where + ": " + why); }

    TLintReport& mReport;
    std::map<std::string, double> mLevels;  // kind -> its level in dBFS, for `order`
};

}  // namespace contentlint
