"""The two sound sources kept as text: effects (".sfx") and music (".song").
Both become render lists for the synthesiser (synth.py, tools/synth).

".sfx": one statement a line, `#` starts a comment.
    tone PRESET F0[->F1] at T for D [SETTING VALUE]...
        a note of any synthesiser preset (sine, triangle, bell, glock,
        marimba, steeldrum, piano, accordion, pluck, kick, conga, ...);
        settings: gain attack release decay sustain vibrato depth tremolo
        reverb detune unison bright cutoff sweep fdecay q bump tune seed
    noise at T for D (band|low|high) F0[->F1] [SETTING VALUE]...
        noise through a band-pass, low-pass or high-pass filter whose
        frequency may glide: never broadband hiss
    length SECONDS      the sound's length (default: the end of its last part)
    loop FADE           an ambient bed: the FADE seconds past the end wrap into the start
    loud DB / peak DB   the level rule's target and ceiling (synth.py has the defaults)
    reverb SIZE WET     a small room
    rate HZ             sample rate (default 44100)
    out NAME.ogg        the output's name (default: the source's stem + ".ogg")

".song": the sequencer, see data/src/README.md ("Music").
"""
import os
import re
import shlex

from . import synth

class SourceError(ValueError):
    pass


def strip_comment(line):
    """The line without its comment: "#" at the start or after a space (f#5 is a note)."""
    return re.split(r"(?:^|\s)#", line, maxsplit=1)[0]


def _lines(path):
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            words = shlex.split(strip_comment(line))
            if words:
                yield "%s: line %d" % (os.path.basename(path), number), words


def _settings(words, where):
    if len(words) % 2:
        raise SourceError("%s: settings come in pairs: %s" % (where, " ".join(words)))
    out = {}
    for key, value in zip(words[::2], words[1::2]):
        if key not in SETTINGS:
            raise SourceError("%s: unknown setting %r" % (where, key))
        try:
            out[key] = float(value)
        except ValueError:
            raise SourceError("%s: %s is not a number: %r" % (where, key, value))
    return out


SETTINGS = {"gain", "attack", "decay", "sustain", "release", "vibrato", "depth", "tremolo", "reverb", "detune",
            "unison", "bright", "cutoff", "sweep", "fdecay", "q", "bump", "tune", "filter", "seed"}
PRESETS = {"bell", "steeldrum", "marimba", "vibes", "glock", "celesta", "piano", "bass", "upright", "sine",
           "triangle", "square", "saw", "organ", "accordion", "tuba", "pad", "arp", "lead", "synthbass",
           "bubblebass", "pluck", "noise", "kick", "snare", "brush", "hat", "openhat", "shaker", "conga", "bongo",
           "clave", "woodblock", "cowbell", "clap", "tambourine", "tom", "rim", "chime"}
FILTERS = {"low": 0, "high": 1, "band": 2}


def _frequencies(text, where):
    try:
        freqs = [float(f) for f in text.split("->")]
    except ValueError:
        raise SourceError("%s: bad frequency %r" % (where, text))
    if len(freqs) > 2 or min(freqs) <= 0:
        raise SourceError("%s: bad frequency %r" % (where, text))
    return freqs[0], freqs[-1]


def render_sfx(path, out_dir, program):
    """Writes the effect described by `path` into out_dir; returns the names written."""
    rate, length, loop, reverb = synth.EFFECT_RATE, None, None, None
    loud, peak = None, None
    out = os.path.splitext(os.path.basename(path))[0] + ".ogg"
    parts = []
    for where, w in _lines(path):
        kind = w[0]
        if kind in ("tone", "noise"):
            base = 3 if kind == "tone" else 1
            if len(w) < base + 4 or w[base] != "at" or w[base + 2] != "for":
                raise SourceError("%s: expected '%s ... at T for D'" % (where, kind))
            try:
                start, duration = float(w[base + 1]), float(w[base + 3])
            except ValueError:
                raise SourceError("%s: bad time in %r" % (where, " ".join(w)))
            if duration <= 0 or start < 0:
                raise SourceError("%s: a part needs a start at or after 0 and a length" % where)
            rest = w[base + 4:]
            if kind == "tone":
                if w[1] not in PRESETS:
                    raise SourceError("%s: unknown wave %r" % (where, w[1]))
                preset, (f0, f1) = w[1], _frequencies(w[2], where)
                settings = _settings(rest, where)
            else:
                if not rest or rest[0] not in FILTERS or len(rest) < 2:
                    raise SourceError("%s: noise needs a filter: 'band', 'low' or 'high' and a frequency" % where)
                preset, (f0, f1) = "noise", _frequencies(rest[1], where)
                settings = _settings(rest[2:], where)
                settings["filter"] = FILTERS[rest[0]]
            parts.append((preset, start, duration, f0, f1, settings))
        elif kind in ("length", "loop", "rate", "loud", "peak") and len(w) == 2:
            try:
                value = float(w[1])
            except ValueError:
                raise SourceError("%s: not a number: %r" % (where, w[1]))
            if kind == "length":
                length = value
            elif kind == "loop":
                loop = value
            elif kind == "rate":
                rate = int(value)
            elif kind == "loud":
                loud = value
            else:
                peak = value
        elif kind == "reverb" and len(w) == 3:
            reverb = (float(w[1]), 0.5, float(w[2]))
        elif kind == "out" and len(w) == 2:
            out = w[1]
        else:
            raise SourceError("%s: cannot read %r" % (where, " ".join(w)))
    if not parts:
        raise SourceError("%s: no tone or noise" % path)
    end = max(p[1] + p[2] for p in parts)
    sound = synth.Sound(out, rate, length or end)
    sound.reverb = reverb
    if loop:
        sound.ends = ("loop", loop)
        sound.level = ("rms", synth.AMBIENT_RMS if loud is None else loud,
                       synth.AMBIENT_PEAK if peak is None else peak)
    else:
        sound.level = ("loud", synth.EFFECT_LOUD if loud is None else loud, synth.EFFECT_PEAK if peak is None else peak)
    for i, (preset, start, duration, f0, f1, settings) in enumerate(parts):
        name = "p%d" % (i + 1)
        # A part's release lies inside its length, as the source reads.
        settings["release"] = min(settings.get("release", 0.05), duration / 2)
        held = duration - settings["release"]
        sound.voice(name, preset, settings)
        sound.note(name, start, held, f0, f1)
    return synth.render([sound], out_dir, program)


def render_song(path, out_dir, program):
    """Writes every section of the song at `path`; returns the names written."""
    from . import sequencer
    return synth.render(sequencer.read_song(path), out_dir, program)
