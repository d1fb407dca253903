#include "renderlist.h"

#include "voices.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace synth {

namespace {

constexpr double kLongest = 3600;  // seconds: no sound, note or fade of the game comes near

bool Number(const std::string& word, double* value)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    *value = std::strtod(word.c_str(), &end);
    return end && *end == '\0' && std::isfinite(*value);
}

class TReader {
public:
    TReader(const std::string& name, std::vector<TSoundSpec>* sounds, std::string* error)
        : mName(name), mSounds(*sounds), mError(*error)
    {
    }

    bool Line(int number, const std::vector<std::string>& w)
    {
        mWhere = mName + ": line " + std::to_string(number);
        if (w[0] == "sound") {
            if (w.size() != 2)
                return Fail("expected 'sound NAME.ogg'");
            mSounds.push_back(TSoundSpec{});
            mSounds.back().out = w[1];
            mSounds.back().where = mWhere;
            return true;
        }
        if (mSounds.empty())
            return Fail("'" + w[0] + "' before the first sound");
        TSoundSpec& s = mSounds.back();
        if (w[0] == "rate" && w.size() == 2) {
            double rate;
            if (!Number(w[1], &rate) || rate < 8000 || rate > 96000)
                return Fail("bad rate " + w[1]);
            s.rate = int(rate);
            return true;
        }
        if (w[0] == "length" && w.size() == 2)
            return Positive(w[1], &s.length) && (s.length <= kLongest || Fail("longer than an hour"));
        if (w[0] == "quality" && w.size() == 2)
            return Value(w[1], &s.quality) && (s.quality >= -0.1 && s.quality <= 1.0 ? true : Fail("bad quality"));
        if (w[0] == "ends")
            return Ends(w, &s);
        if (w[0] == "level")
            return Level(w, &s);
        if (w[0] == "reverb" && w.size() == 4)
            return Value(w[1], &s.roomSize) && Value(w[2], &s.roomDamp) && Value(w[3], &s.roomWet);
        if (w[0] == "voice")
            return Voice(w, &s);
        if (w[0] == "note")
            return Note(w, &s);
        return Fail("cannot read '" + w[0] + "'");
    }

    bool Finish()
    {
        for (const TSoundSpec& s : mSounds) {
            mWhere = s.where;
            if (s.length <= 0)
                return Fail(s.out + " has no length");
        }
        return true;
    }

private:
    bool Fail(const std::string& why)
    {
        mError = mWhere + ": " + why;
        return false;
    }

    bool Value(const std::string& word, double* value)
    {
        return Number(word, value) || Fail("not a number: '" + word + "'");
    }

    bool Positive(const std::string& word, double* value)
    {
        return Value(word, value) && (*value > 0 || Fail("must be above 0: '" + word + "'"));
    }

    bool Ends(const std::vector<std::string>& w, TSoundSpec* s)
    {
        if ((w.size() == 3 || w.size() == 4) && w[1] == "fade") {
            s->ends = EEnds::kFade;
            return Positive(w[2], &s->endSeconds) && (w.size() == 3 || Positive(w[3], &s->startSeconds)) &&
                   (std::max(s->endSeconds, s->startSeconds) <= kLongest || Fail("a fade longer than an hour"));
        }
        if (w.size() == 3 && w[1] == "loop") {
            s->ends = EEnds::kLoop;
            return Positive(w[2], &s->endSeconds) && (s->endSeconds <= kLongest || Fail("a loop fade longer than an hour"));
        }
        if (w.size() == 2 && w[1] == "wrap") {
            s->ends = EEnds::kWrap;
            return true;
        }
        return Fail("expected 'ends fade SECONDS [IN]', 'ends wrap' or 'ends loop SECONDS'");
    }

    bool Level(const std::vector<std::string>& w, TSoundSpec* s)
    {
        if (w.size() == 3 && w[1] == "gain") {
            s->level = ELevel::kGain;
            return Value(w[2], &s->levelDb);
        }
        if (w.size() == 3 && w[1] == "peak") {
            s->level = ELevel::kPeak;
            return Value(w[2], &s->levelDb) && Value(w[2], &s->ceilingDb);
        }
        if (w.size() == 5 && (w[1] == "rms" || w[1] == "loud") && w[3] == "peak") {
            s->level = w[1] == "rms" ? ELevel::kRms : ELevel::kLoud;
            return Value(w[2], &s->levelDb) && Value(w[4], &s->ceilingDb);
        }
        return Fail("expected 'level peak DB', 'level gain DB', 'level rms DB peak DB' or 'level loud DB peak DB'");
    }

    bool Voice(const std::vector<std::string>& w, TSoundSpec* s)
    {
        if (w.size() < 3 || w.size() % 2 == 0)
            return Fail("expected 'voice NAME PRESET [KEY VALUE]...'");
        if (!IsPreset(w[2]))
            return Fail("unknown preset '" + w[2] + "'");
        TVoiceSpec voice{w[1], w[2], {}};
        for (std::size_t i = 3; i + 1 < w.size(); i += 2) {
            if (!IsSetting(w[i]))
                return Fail("unknown setting '" + w[i] + "'");
            double& value = voice.params[w[i]];
            if (!Value(w[i + 1], &value))
                return false;
            // Times bound what a note allocates; the rest only shape it.
            const bool time = w[i] == "attack" || w[i] == "release" || w[i] == "bump";
            if (time ? value < 0 || value > kLongest : std::fabs(value) > 1e6)
                return Fail("'" + w[i] + "' out of range: " + w[i + 1]);
        }
        for (const TVoiceSpec& v : s->voices)
            if (v.name == voice.name)
                return Fail("voice '" + voice.name + "' twice");
        s->voices.push_back(voice);
        return true;
    }

    bool Note(const std::vector<std::string>& w, TSoundSpec* s)
    {
        if (w.size() != 6)
            return Fail("expected 'note VOICE START DUR FREQ[->FREQ] VEL'");
        TNoteEvent n;
        n.voice = -1;
        for (std::size_t i = 0; i < s->voices.size(); ++i)
            if (s->voices[i].name == w[1])
                n.voice = int(i);
        if (n.voice < 0)
            return Fail("no voice '" + w[1] + "'");
        const std::size_t arrow = w[4].find("->");
        if (!Value(w[2], &n.start) || !Positive(w[3], &n.duration) ||
            !Positive(w[4].substr(0, arrow), &n.f0) || !Value(w[5], &n.velocity))
            return false;
        n.f1 = n.f0;
        if (arrow != std::string::npos && !Positive(w[4].substr(arrow + 2), &n.f1))
            return false;
        if (n.start < 0)
            return Fail("a note before the start");
        if (n.start > kLongest || n.duration > kLongest)
            return Fail("a note longer or later than an hour");
        if (n.f0 < 1 || n.f1 < 1 || n.f0 > 100000 || n.f1 > 100000)
            return Fail("a frequency outside 1 Hz to 100 kHz");
        s->notes.push_back(n);
        return true;
    }

    std::string mName, mWhere;
    std::vector<TSoundSpec>& mSounds;
    std::string& mError;
};

}  // namespace

bool ReadRenderList(const std::string& text, const std::string& name, std::vector<TSoundSpec>* sounds,
                    std::string* error)
{
    TReader reader(name, sounds, error);
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (!w.empty() && !reader.Line(number, w))
            return false;
    }
    return reader.Finish();
}

}  // namespace synth
