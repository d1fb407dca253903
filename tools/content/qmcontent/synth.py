"""The synthesiser's front: a render list (tools/synth/renderlist.h) built
in Python and rendered, levelled and encoded to Ogg Vorbis by the C++ tool
`qmsynth` (fixed stream serial: the same list always gives the same bytes).

The loudness rule lives here: every sound is levelled by its kind, and the
content lint (data/contracts.txt, "loudness") checks what came out.
"""
import os
import subprocess
import tempfile

# Effects: the loudest 100 ms at EFFECT_LOUD dBFS, peaks never above EFFECT_PEAK.
EFFECT_LOUD = -14.0
EFFECT_PEAK = -3.0
# Music: every piece at MUSIC_RMS dBFS RMS, peaks bent softly under MUSIC_PEAK;
# well under the effects.
MUSIC_RMS = -23.0
MUSIC_PEAK = -9.0
# Ambient beds: quiet, under the music (the ceiling leaves room for what
# the lossy encoding adds to a noise's peaks: the lint wants -18 at most).
AMBIENT_RMS = -32.0
AMBIENT_PEAK = -21.0

MUSIC_RATE = 22050
EFFECT_RATE = 44100


def number(value):
    """A float as the render list writes it: fixed decimals, so the text is stable."""
    text = "%.6f" % value
    return text.rstrip("0").rstrip(".") if "." in text else text


class Sound:
    """One sound of a render list: its voices, notes and how it ends and is levelled."""

    def __init__(self, out, rate, length):
        self.out, self.rate, self.length = out, rate, length
        self.ends = ("fade", 0.004, 0.004)
        self.level = ("loud", EFFECT_LOUD, EFFECT_PEAK)
        self.reverb = None
        self.quality = 0.4
        self.voices = {}  # name -> (preset, settings)
        self.notes = []

    def voice(self, name, preset, settings):
        self.voices[name] = (preset, dict(settings))

    def note(self, voice, start, duration, f0, f1=None, velocity=1.0):
        self.notes.append((voice, start, duration, f0, f0 if f1 is None else f1, velocity))

    def text(self):
        lines = ["sound %s" % self.out, "rate %d" % self.rate, "length %s" % number(self.length),
                 "quality %s" % number(self.quality)]
        kind, times = self.ends[0], self.ends[1:]
        lines.append(" ".join(["ends", kind] + [number(t) for t in times if kind != "wrap"]))
        if self.level[0] in ("peak", "gain"):
            lines.append("level %s %s" % (self.level[0], number(self.level[1])))
        else:
            lines.append("level %s %s peak %s" % (self.level[0], number(self.level[1]), number(self.level[2])))
        if self.reverb:
            lines.append("reverb %s" % " ".join(number(v) for v in self.reverb))
        for name in sorted(self.voices):
            preset, settings = self.voices[name]
            words = ["voice", name, preset]
            for key in sorted(settings):
                words += [key, number(settings[key])]
            lines.append(" ".join(words))
        for voice, start, duration, f0, f1, velocity in sorted(self.notes, key=lambda n: (n[1], n[0], n[3])):
            freq = number(f0) if f0 == f1 else "%s->%s" % (number(f0), number(f1))
            lines.append("note %s %s %s %s %s" % (voice, number(start), number(duration), freq, number(velocity)))
        return "\n".join(lines) + "\n"


def render(sounds, out_dir, program):
    """Renders the sounds with qmsynth into out_dir; returns the names written."""
    with tempfile.TemporaryDirectory() as tmp:
        listing = os.path.join(tmp, "sounds.list")
        with open(listing, "w", encoding="utf-8") as f:
            f.write("".join(s.text() for s in sounds))
        result = subprocess.run([program, listing, out_dir], capture_output=True, check=False)
        if result.returncode != 0:
            raise RuntimeError("qmsynth: %s" % result.stderr.decode(errors="replace").replace(tmp + "/", ""))
    return [s.out for s in sounds]
