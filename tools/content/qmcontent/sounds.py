"""The two sound sources kept as text: effects (".sfx") and music (".song").

".sfx": one statement a line, `#` starts a comment.
    tone WAVE F0[->F1] at T for D [gain G] [attack A] [release R] [decay K] [vibrato HZ]
    noise at T for D [gain G] [attack A] [release R] [decay K] [smooth S] [seed N]
    length SECONDS      the sound's length (default: the end of its last part)
    peak DB             peak level (default -3)
    loop FADE           a seamless loop: the last FADE seconds wrap into the start
    rate HZ             sample rate (default 44100)
    out NAME.ogg        the output's name (default: the source's stem + ".ogg")

".song": the sequencer.
    tempo BPM  rate HZ  peak DB
    instrument NAME WAVE [gain G] [attack A] [release R] [decay K] [vibrato HZ] [legato L]
    section NAME OUT.ogg        starts a piece; every piece is written to its own file
    NAME NOTE NOTE ...          notes of an instrument in the current section
Notes are a pitch with octave (c4, f#3, bb2) or "r" (rest), with ":BEATS"
for a length other than one beat; "|" may separate bars. A note's release
lies inside its length, so every piece starts and ends on silence from its
own notes and any piece follows any other without a click.
"""
import os
import shlex

from . import synth

WAVES = ("sine", "triangle", "square", "saw", "organ", "bell")


class SourceError(ValueError):
    pass


def _options(words, allowed, where):
    out = {}
    if len(words) % 2:
        raise SourceError("%s: options come in pairs: %s" % (where, " ".join(words)))
    for key, value in zip(words[::2], words[1::2]):
        if key not in allowed:
            raise SourceError("%s: unknown option %r" % (where, key))
        out[key] = float(value) if key != "seed" else int(value)
    return out


def _lines(path):
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            words = shlex.split(line.split("#", 1)[0])
            if words:
                yield "%s: line %d" % (os.path.basename(path), number), words


def render_sfx(path, out_dir):
    """Writes the effect described by `path` into out_dir; returns the names written."""
    parts, rate, peak, length, loop = [], 44100, -3.0, None, None
    out = os.path.splitext(os.path.basename(path))[0] + ".ogg"
    for where, w in _lines(path):
        kind = w[0]
        if kind in ("tone", "noise"):
            base = 3 if kind == "tone" else 1
            if len(w) < base + 4 or w[base] != "at" or w[base + 2] != "for":
                raise SourceError("%s: expected '%s ... at T for D'" % (where, kind))
            start, duration = float(w[base + 1]), float(w[base + 3])
            allowed = {"gain", "attack", "release", "decay"} | ({"vibrato"} if kind == "tone" else {"smooth", "seed"})
            opts = _options(w[base + 4:], allowed, where)
            if kind == "tone":
                if w[1] not in WAVES:
                    raise SourceError("%s: unknown wave %r" % (where, w[1]))
                freqs = [float(f) for f in w[2].split("->")]
                parts.append(("tone", start, duration, w[1], freqs[0], freqs[-1], opts))
            else:
                parts.append(("noise", start, duration, opts))
        elif kind in ("length", "peak", "loop", "rate") and len(w) == 2:
            value = float(w[1])
            if kind == "length":
                length = value
            elif kind == "peak":
                peak = value
            elif kind == "loop":
                loop = value
            else:
                rate = int(value)
        elif kind == "out" and len(w) == 2:
            out = w[1]
        else:
            raise SourceError("%s: cannot read %r" % (where, " ".join(w)))
    if not parts:
        raise SourceError("%s: no tone or noise" % path)
    end = max(p[1] + p[2] for p in parts)
    length = length or end
    fade = int(round((loop or 0) * rate))
    total = int(round(length * rate))
    buffer = [0.0] * (total + fade)
    for p in parts:
        if p[0] == "tone":
            _, start, duration, kind, f0, f1, opts = p
            synth.add_tone(buffer, rate, start, duration, kind, f0, f1, **opts)
        else:
            _, start, duration, opts = p
            synth.add_noise(buffer, rate, start, duration, **opts)
    if loop:
        buffer = synth.loop_crossfade(buffer, total, fade)
    else:
        buffer = buffer[:total]
        synth.soft_edges(buffer, rate)
    synth.normalise(buffer, peak)
    synth.write_ogg(os.path.join(out_dir, out), buffer, rate)
    return [out]


NOTE_STEPS = {"c": 0, "d": 2, "e": 4, "f": 5, "g": 7, "a": 9, "b": 11}


def note_frequency(name):
    """"a4" is 440 Hz; "#" raises and "b" after the letter lowers a semitone."""
    letter, rest = name[0].lower(), name[1:]
    if letter not in NOTE_STEPS or not rest:
        raise SourceError("bad note %r" % name)
    step = NOTE_STEPS[letter]
    while rest and rest[0] in "#b":
        step += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    if not rest.lstrip("-").isdigit():
        raise SourceError("bad note %r" % name)
    octave = int(rest)
    midi = 12 * (octave + 1) + step
    return 440.0 * 2 ** ((midi - 69) / 12.0)


def render_song(path, out_dir):
    """Writes every section of the song at `path`; returns the names written."""
    tempo, rate, peak = 120.0, 22050, -9.0
    instruments, sections = {}, []
    for where, w in _lines(path):
        kind = w[0]
        if kind in ("tempo", "rate", "peak") and len(w) == 2:
            if kind == "tempo":
                tempo = float(w[1])
            elif kind == "rate":
                rate = int(w[1])
            else:
                peak = float(w[1])
        elif kind == "instrument" and len(w) >= 3:
            if w[2] not in WAVES:
                raise SourceError("%s: unknown wave %r" % (where, w[2]))
            opts = _options(w[3:], {"gain", "attack", "release", "decay", "vibrato", "legato"}, where)
            instruments[w[1]] = (w[2], opts)
        elif kind == "section" and len(w) == 3:
            sections.append((w[1], w[2], {}))
        elif kind in instruments:
            if not sections:
                raise SourceError("%s: notes before the first section" % where)
            voice = sections[-1][2].setdefault(kind, [])
            for token in w[1:]:
                if token == "|":
                    continue
                pitch, _, beats = token.partition(":")
                try:
                    voice.append((pitch, float(beats) if beats else 1.0))
                    if pitch != "r":
                        note_frequency(pitch)
                except (ValueError, SourceError):
                    raise SourceError("%s: bad note %r" % (where, token))
        else:
            raise SourceError("%s: cannot read %r" % (where, " ".join(w)))
    seconds_per_beat = 60.0 / tempo
    written = []
    pieces = []
    for name, out, voices in sections:
        beats = max((sum(b for _, b in notes) for notes in voices.values()), default=0)
        if beats <= 0:
            raise SourceError("%s: section %s has no notes" % (path, name))
        total = int(round(beats * seconds_per_beat * rate))
        buffer = [0.0] * total
        for instrument, notes in voices.items():
            kind, opts = instruments[instrument]
            opts = dict(opts)
            legato = opts.pop("legato", 0.92)
            at = 0.0
            for pitch, length in notes:
                if pitch != "r":
                    start = at * seconds_per_beat
                    duration = min(length * seconds_per_beat * legato, total / rate - start)
                    synth.add_tone(buffer, rate, start, duration, kind, note_frequency(pitch), **opts)
                at += length
        pieces.append((out, buffer))
    # One gain for the whole song, so its pieces keep their balance.
    top = max(max((abs(v) for v in b), default=0.0) for _, b in pieces)
    gain = (10 ** (peak / 20.0)) / top if top > 0 else 1.0
    for out, buffer in pieces:
        synth.write_ogg(os.path.join(out_dir, out), [v * gain for v in buffer], rate)
        written.append(out)
    return written
