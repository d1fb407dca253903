"""The sequencer: a ".song" (a lead sheet with its arrangement) to one
render-list sound per section. The language is described in
data/src/README.md ("Music"); in short:

    tempo 118 / meter 4 / swing 0.3 / humanize MS / reverb SIZE DAMP WET / level DB
    instrument NAME PRESET [SETTING VALUE]... [legato L] [low NOTE]
    define NAME TOKEN...                  reusable notes, chords or bars (@NAME)
    pattern NAME BEAT:DEGREE[:BEATS]...   one bar of accompaniment over the chords
    groove NAME INSTRUMENT GRID           one bar of drums (x hit, X accent, o ghost, . rest)
    section NAME OUT.ogg [wrap]
    chords C | Am7 - D7 - | % | G7/B      the harmony, bar by bar
    NAME NOTE[:BEATS]...                  a melody (c5:0.5, r:1, c4+e4:2, e5!, g4~)
    NAME pattern PATTERN*COUNT ...        the instrument follows the chords
    NAME harmony OTHER [from BAR]         a second voice: under each note of OTHER the
                                          nearest chord tone at least a third below
    drums GROOVE*COUNT ...                a groove a bar
"""
import os
import random
import re
import shlex
import zlib
from fractions import Fraction

from . import synth
from .sounds import PRESETS, SETTINGS, SourceError, strip_comment

NOTE_STEPS = {"c": 0, "d": 2, "e": 4, "f": 5, "g": 7, "a": 9, "b": 11}
CHORD_SHAPES = {
    "": (0, 4, 7), "m": (0, 3, 7), "7": (0, 4, 7, 10), "maj7": (0, 4, 7, 11), "m7": (0, 3, 7, 10),
    "dim": (0, 3, 6), "dim7": (0, 3, 6, 9), "aug": (0, 4, 8), "sus4": (0, 5, 7), "sus2": (0, 2, 7),
    "6": (0, 4, 7, 9), "m6": (0, 3, 7, 9), "9": (0, 4, 7, 10, 14), "add9": (0, 4, 7, 14),
    "m7b5": (0, 3, 6, 10), "maj9": (0, 4, 7, 11, 14), "m9": (0, 3, 7, 10, 14), "7sus4": (0, 5, 7, 10),
}
CHORD = re.compile(r"^([A-G])([#b]?)(%s)(?:/([A-G][#b]?))?$" %
                   "|".join(sorted((re.escape(k) for k in CHORD_SHAPES), key=len, reverse=True)))
HIT = re.compile(r"^([0-9./]+):([R13579CA])([+-]*)(?::([0-9./]+))?$")
# Seconds: a piece's last notes fade out, and its first fade in a little
# longer than an effect's, so even after lossy encoding it starts and ends
# on silence and any piece may follow any other.
END_FADE = 0.06
START_FADE = 0.015


def midi_of(name):
    """"a4" is 69; "#" raises and "b" after the letter lowers a semitone."""
    letter, rest = name[:1].lower(), name[1:]
    if letter not in NOTE_STEPS or not rest:
        raise SourceError("bad note %r" % name)
    step = NOTE_STEPS[letter]
    while rest and rest[0] in "#b":
        step += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    if not rest.lstrip("-").isdigit():
        raise SourceError("bad note %r" % name)
    return 12 * (int(rest) + 1) + step


def frequency(midi):
    return 440.0 * 2 ** ((midi - 69) / 12.0)


def note_frequency(name):
    return frequency(midi_of(name))


def beats(text, where):
    try:
        value = Fraction(text)
    except (ValueError, ZeroDivisionError):
        raise SourceError("%s: bad length %r" % (where, text))
    if value < 0:
        raise SourceError("%s: bad length %r" % (where, text))
    return value


class Chord:
    def __init__(self, token, where):
        m = CHORD.match(token)
        if not m:
            raise SourceError("%s: bad chord %r" % (where, token))
        self.root = (NOTE_STEPS[m.group(1).lower()] + {"#": 1, "b": -1, "": 0}[m.group(2)]) % 12
        self.shape = CHORD_SHAPES[m.group(3)]
        bass = m.group(4)
        self.bass = self.root if not bass else (NOTE_STEPS[bass[0].lower()] + {"#": 1, "b": -1, "": 0}[bass[1:]]) % 12

    def classes(self, degree):
        """The pitch classes a degree of this chord stands for."""
        s = self.shape
        if degree == "R":
            return [self.bass]
        if degree == "1":
            return [self.root]
        if degree == "3":
            return [(self.root + s[1]) % 12]
        if degree == "5":
            return [(self.root + s[2]) % 12]
        if degree == "7":
            return [(self.root + (s[3] if len(s) > 3 else 12)) % 12]
        if degree == "9":
            return [(self.root + 2) % 12]
        return sorted({(self.root + i) % 12 for i in s})  # C: the whole chord


class Instrument:
    def __init__(self, name, preset, settings, legato, low):
        self.name, self.preset, self.settings, self.legato, self.low = name, preset, settings, legato, low


class Song:
    def __init__(self, path):
        self.path = path
        self.tempo, self.meter, self.swing, self.humanize = 120.0, 4, 0.0, 0.0
        self.rate = synth.MUSIC_RATE
        self.rms, self.peak = synth.MUSIC_RMS, synth.MUSIC_PEAK
        self.reverb = (0.5, 0.5, 0.25)
        self.instruments, self.defines, self.patterns, self.grooves = {}, {}, {}, {}
        self.sections = []  # (name, out, wrap, [(where, head, tokens)])

    # -------------------------------------------------------------- reading

    def read(self):
        with open(self.path, encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                words = shlex.split(strip_comment(line))
                if words:
                    self.statement("%s: line %d" % (os.path.basename(self.path), number), words)
        if not self.sections:
            raise SourceError("%s: no section" % os.path.basename(self.path))

    def statement(self, where, w):
        head = w[0]
        try:
            if head in ("tempo", "meter", "swing", "rate", "level", "humanize") and len(w) == 2:
                value = float(w[1])
                if head == "tempo":
                    self.tempo = value
                elif head == "meter":
                    self.meter = int(value)
                elif head == "swing":
                    self.swing = value
                elif head == "rate":
                    self.rate = int(value)
                elif head == "humanize":
                    self.humanize = value / 1000.0
                else:
                    self.rms = value
                return
            if head == "reverb" and len(w) == 4:
                self.reverb = tuple(float(v) for v in w[1:])
                return
        except ValueError:
            raise SourceError("%s: not a number in %r" % (where, " ".join(w)))
        if head == "instrument" and len(w) >= 3:
            self.instrument(where, w)
        elif head == "define" and len(w) >= 3:
            self.defines.setdefault(w[1], []).extend(w[2:])
        elif head == "pattern" and len(w) >= 3:
            self.patterns[w[1]] = [self.hit(where, t) for t in w[2:]]
        elif head == "groove" and len(w) >= 4:
            if w[2] not in self.instruments:
                raise SourceError("%s: no instrument %r" % (where, w[2]))
            grid = "".join(w[3:]).replace("|", "")
            if not grid or set(grid) - set("xXo."):
                raise SourceError("%s: a groove's grid is made of x X o ." % where)
            self.grooves.setdefault(w[1], []).append((w[2], grid))
        elif head == "section" and len(w) in (3, 4) and (len(w) == 3 or w[3] == "wrap"):
            self.sections.append((w[1], w[2], len(w) == 4, []))
        elif head == "chords" or head == "drums" or head in self.instruments:
            if not self.sections:
                raise SourceError("%s: %s before the first section" % (where, head))
            self.sections[-1][3].append((where, head, w[1:]))
        else:
            raise SourceError("%s: cannot read %r" % (where, " ".join(w)))

    def instrument(self, where, w):
        if w[2] not in PRESETS:
            raise SourceError("%s: unknown wave %r" % (where, w[2]))
        settings, legato, low = {}, 0.92, 60
        words = w[3:]
        if len(words) % 2:
            raise SourceError("%s: settings come in pairs" % where)
        for key, value in zip(words[::2], words[1::2]):
            try:
                if key == "low":
                    low = midi_of(value)
                elif key == "legato":
                    legato = float(value)
                elif key in SETTINGS:
                    settings[key] = float(value)
                else:
                    raise SourceError("%s: unknown setting %r" % (where, key))
            except ValueError:
                raise SourceError("%s: %s is not a number: %r" % (where, key, value))
        self.instruments[w[1]] = Instrument(w[1], w[2], settings, legato, low)

    def hit(self, where, token):
        m = HIT.match(token)
        if not m:
            raise SourceError("%s: bad pattern hit %r (BEAT:DEGREE[:BEATS])" % (where, token))
        octave = 12 * (m.group(3).count("+") - m.group(3).count("-"))
        return beats(m.group(1), where), m.group(2), octave, beats(m.group(4) or "1", where)

    def expand(self, tokens, where, depth=0):
        """Tokens with @NAME replaced by their definition and X*N repeated."""
        if depth > 8:
            raise SourceError("%s: definitions nest too deep" % where)
        out = []
        for token in tokens:
            count = 1
            if "*" in token:
                token, _, times = token.rpartition("*")
                if not times.isdigit():
                    raise SourceError("%s: bad repeat %r" % (where, token))
                count = int(times)
            for _ in range(count):
                if token.startswith("@"):
                    if token[1:] not in self.defines:
                        raise SourceError("%s: nothing defined as %r" % (where, token[1:]))
                    out += self.expand(self.defines[token[1:]], where, depth + 1)
                else:
                    out.append(token)
        return out

    # -------------------------------------------------------------- timing

    def seconds(self, beat):
        """Seconds at a beat of a section, with the off-beat eighths swung late."""
        whole = int(beat)
        frac = float(beat - whole)
        late = self.swing / 6.0
        if frac < 0.5:
            frac = frac * (0.5 + late) / 0.5
        else:
            frac = 0.5 + late + (frac - 0.5) * (0.5 - late) / 0.5
        return (whole + frac) * 60.0 / self.tempo

    def strength(self, beat):
        """Downbeats a little louder than beats, beats than off-beats."""
        in_bar = beat % self.meter
        return 1.0 if in_bar == 0 else 0.9 if in_bar == int(in_bar) else 0.8

    # -------------------------------------------------------------- sections

    def chords(self, where, tokens):
        """[(start beat, length, Chord or None)] from a bar-by-bar chord line."""
        bars, bar = [], []
        for token in self.expand(tokens, where) + ["|"]:
            if token == "|":
                if bar:
                    bars.append(bar)
                bar = []
            elif token == "%":
                if not bars:
                    raise SourceError("%s: '%%' repeats a bar, but there is none before it" % where)
                bars.append(list(bars[-1]))
            else:
                bar.append(token)
        spans, previous = [], None
        for index, slots in enumerate(bars):
            length = Fraction(self.meter, len(slots))
            for i, token in enumerate(slots):
                start = index * self.meter + i * length
                if token == "-":
                    if not spans:
                        raise SourceError("%s: '-' holds a chord, but none came before" % where)
                    spans[-1] = (spans[-1][0], spans[-1][1] + length, spans[-1][2])
                    continue
                previous = None if token == "N" else Chord(token, where)
                spans.append((start, length, previous))
        return spans

    def render_section(self, name, out, wrap, lines):
        sound_notes = []  # (instrument, start beat, beats, [midi], velocity)
        harmony, grooves_at, cursors = [], 0, {}
        for where, head, tokens in lines:
            if head == "chords":
                offset = harmony[-1][0] + harmony[-1][1] if harmony else 0
                harmony += [(s + offset, l, c) for s, l, c in self.chords(where, tokens)]
        harmonies = []
        for where, head, tokens in lines:
            if head == "chords":
                continue
            if tokens and tokens[0] == "harmony":
                harmonies.append((where, head, tokens[1:]))
            elif head == "drums":
                grooves_at = self.drums(where, tokens, grooves_at, sound_notes)
            elif tokens and tokens[0] == "pattern":
                at = cursors.get((head, "pattern"), 0)
                cursors[(head, "pattern")] = self.comp(where, head, tokens[1:], at, harmony, sound_notes)
            else:
                at = cursors.get((head, "melody"), Fraction(0))
                cursors[(head, "melody")] = self.melody(where, head, tokens, at, sound_notes)
        for where, head, tokens in harmonies:
            self.harmonise(where, head, tokens, harmony, sound_notes)
        total = harmony[-1][0] + harmony[-1][1] if harmony else max(
            [grooves_at * self.meter] + list(v if k[1] == "melody" else v * self.meter for k, v in cursors.items()))
        if total <= 0:
            raise SourceError("%s: section %s has no notes" % (self.path, name))
        for instrument, start, length, pitches, velocity in sound_notes:
            if start + length > total + Fraction(1, 1000):
                raise SourceError("%s: section %s: %s plays past the section's end (beat %s of %s)" %
                                  (os.path.basename(self.path), name, instrument, float(start + length), float(total)))
        sound = synth.Sound(out, self.rate, self.seconds(total))
        sound.ends = ("wrap",) if wrap else ("fade", END_FADE, START_FADE)
        sound.level = ("rms", self.rms, self.peak)
        sound.reverb = self.reverb
        used = sorted({n[0] for n in sound_notes})
        for name_ in used:
            inst = self.instruments[name_]
            sound.voice(name_, inst.preset, inst.settings)
        # A player's hands: each note a few milliseconds early or late and a
        # little softer or harder, the same way on every run.
        rng = random.Random(zlib.crc32((os.path.basename(self.path) + name).encode()))
        end = sound.length
        for instrument, start, length, pitches, velocity in sound_notes:
            inst = self.instruments[instrument]
            t0 = self.seconds(start)
            t1 = self.seconds(start + length * Fraction(inst.legato).limit_denominator(1000))
            spread = (3.0 / len(pitches)) ** 0.5 if len(pitches) > 3 else 1.0
            shift, touch = rng.uniform(-0.5, 0.5) * self.humanize, rng.uniform(0.92, 1.04) if self.humanize else 1.0
            t0, t1 = min(max(0.0, t0 + shift), end - 0.01), min(end, max(0.0, t1 + shift))
            for midi in pitches:
                sound.note(instrument, t0, max(t1 - t0, 0.01), frequency(midi), velocity=min(1.0, velocity * spread * touch))
        return sound

    def melody(self, where, instrument, tokens, at, notes):
        for token in self.expand(tokens, where):
            if token == "|":
                continue
            accent = 1.0
            while token and token[-1] in "!~":
                accent *= 1.2 if token[-1] == "!" else 0.6
                token = token[:-1]
            pitch, _, length = token.partition(":")
            length = beats(length, where) if length else Fraction(1)
            if pitch != "r":
                try:
                    pitches = [midi_of(p) for p in pitch.split("+")]
                except SourceError:
                    raise SourceError("%s: bad note %r" % (where, token))
                notes.append((instrument, at, length, pitches, min(1.0, 0.85 * self.strength(at) * accent)))
            at += length
        return at

    def harmonise(self, where, instrument, tokens, harmony, notes):
        if len(tokens) not in (1, 3) or (len(tokens) == 3 and (tokens[1] != "from" or not tokens[2].isdigit())):
            raise SourceError("%s: expected '%s harmony OTHER [from BAR]'" % (where, instrument))
        other, first = tokens[0], (int(tokens[2]) - 1) * self.meter if len(tokens) == 3 else 0
        if other not in self.instruments:
            raise SourceError("%s: no instrument %r" % (where, other))
        for name, at, length, pitches, velocity in list(notes):
            chord = chord_at(harmony, at)
            if name != other or at < first or chord is None:
                continue
            top = max(pitches)
            classes = set(chord.classes("C"))
            under = next(p for p in range(top - 3, top - 15, -1) if p % 12 in classes)
            notes.append((instrument, at, length, [under], velocity * 0.85))

    def comp(self, where, instrument, tokens, bar, harmony, notes):
        inst = self.instruments[instrument]
        for name in self.expand(tokens, where):
            if name == "|":
                continue
            if name == "-":  # a bar of rest
                bar += 1
                continue
            if name not in self.patterns:
                raise SourceError("%s: no pattern %r" % (where, name))
            base = bar * self.meter
            for beat, degree, octave, length in self.patterns[name]:
                at = base + beat
                chord = chord_at(harmony, at)
                if chord is None:
                    continue
                if degree == "A":
                    following = chord_at(harmony, base + self.meter) or chord
                    classes = [(following.bass - 1) % 12]
                else:
                    classes = chord.classes(degree)
                pitches = sorted(place(pc, inst.low) + octave for pc in classes)
                notes.append((instrument, at, length, pitches, 0.85 * self.strength(at)))
            bar += 1
        return bar

    def drums(self, where, tokens, bar, notes):
        for name in self.expand(tokens, where):
            if name == "|":
                continue
            if name not in self.grooves and name != "-":
                raise SourceError("%s: no groove %r" % (where, name))
            for instrument, grid in self.grooves.get(name, []):
                step = Fraction(self.meter, len(grid))
                for i, mark in enumerate(grid):
                    if mark != ".":
                        at = bar * self.meter + i * step
                        notes.append((instrument, at, step, [69], {"X": 1.0, "x": 0.75, "o": 0.4}[mark]))
            bar += 1
        return bar


def chord_at(harmony, beat):
    for start, length, chord in harmony:
        if start <= beat < start + length:
            return chord
    return None


def place(pitch_class, low):
    """The lowest pitch of that class at or above `low`."""
    return low + (pitch_class - low) % 12


def read_song(path):
    """The render-list sounds of every section of the song at `path`."""
    song = Song(path)
    song.read()
    return [song.render_section(*section) for section in song.sections]
