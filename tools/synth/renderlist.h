// The render list: what the data build hands the synthesiser. The content
// tools (tools/content/qmcontent/sounds.py) turn ".sfx" and ".song" sources
// into this flat text; the synthesiser renders, levels and encodes it.
//
// One statement a line, "#" starts a comment:
//
//   sound NAME.ogg                   starts a sound (the lines below belong to it)
//   rate HZ                          sample rate (default 44100)
//   length SECONDS                   the sound's length
//   ends fade SECONDS [IN]           fades out over SECONDS and in over IN (default 4 ms): a sound that
//                                    starts and ends on silence, so it may follow or precede any other
//   ends wrap                        what sounds past the end is added into the head (a piece looping on itself)
//   ends loop SECONDS                the SECONDS after the end crossfade into the head (an ambient bed)
//   level rms DB peak DB             the RMS to DB, peaks bent softly under the ceiling (music)
//   level loud DB peak DB            the loudest 100 ms to DB unless the peak would pass its ceiling (effects)
//   level peak DB                    the peak to DB
//   level gain DB                    a fixed gain (for measuring a part of a mix on its own)
//   reverb SIZE DAMP WET             a room (size and damping 0..1) and the level of its return
//   quality Q                        Vorbis quality (-0.1..1, default 0.4)
//   voice NAME PRESET [KEY VALUE]... an instrument: a preset and its settings (voices.h)
//   note VOICE START DUR FREQ[->FREQ] VEL    one note: seconds, hertz (a glide), velocity 0..1
#pragma once

#include <map>
#include <string>
#include <vector>

namespace synth {

struct TVoiceSpec {
    std::string name, preset;
    std::map<std::string, double> params;
    double Get(const std::string& key, double fallback) const
    {
        auto it = params.find(key);
        return it == params.end() ? fallback : it->second;
    }
};

struct TNoteEvent {
    int voice = 0;  // index into TSoundSpec::voices
    double start = 0, duration = 0, f0 = 0, f1 = 0, velocity = 1;
};

enum class EEnds { kFade, kWrap, kLoop };
enum class ELevel { kRms, kLoud, kPeak, kGain };

struct TSoundSpec {
    std::string out;
    std::string where;  // "LIST: line N" of the `sound` line
    int rate = 44100;
    double length = 0;
    EEnds ends = EEnds::kFade;
    double endSeconds = 0.004;
    double startSeconds = 0.004;  // the fade-in of `ends fade`
    ELevel level = ELevel::kPeak;
    double levelDb = -3, ceilingDb = -3;
    double roomSize = 0, roomDamp = 0.5, roomWet = 0;
    double quality = 0.4;
    std::vector<TVoiceSpec> voices;
    std::vector<TNoteEvent> notes;
};

// Reads a render list; on a bad line returns false with "NAME: line N: why" in *error.
bool ReadRenderList(const std::string& text, const std::string& name, std::vector<TSoundSpec>* sounds,
                    std::string* error);

}  // namespace synth
