"""Our synthesiser: effects, music and ambient beds as float samples, and
their encoding to Ogg Vorbis by oggenc (fixed stream serial, no dither: the
same text always gives the same bytes).

Every sound fades in and out over a few milliseconds (no clicks) and is
normalised to a peak level: effects -3 dBFS, music lower, ambience lower
still, so the mix keeps effects on top.
"""
import math
import os
import random
import struct
import subprocess
import tempfile

TAU = 2 * math.pi
EDGE_SECONDS = 0.004


def wave(kind, phase):
    """One cycle's shape at phase (in cycles)."""
    p = phase - math.floor(phase)
    if kind == "sine":
        return math.sin(TAU * p)
    if kind == "triangle":
        return 4 * p - 1 if p < 0.5 else 3 - 4 * p
    if kind == "square":
        return 0.6 if p < 0.5 else -0.6
    if kind == "saw":
        return 0.6 * (2 * p - 1)
    if kind == "organ":  # a few soft harmonics: accordion, reed
        return 0.6 * math.sin(TAU * p) + 0.25 * math.sin(2 * TAU * p) + 0.15 * math.sin(3 * TAU * p)
    if kind == "bell":  # inharmonic partial: steel drum, marimba, coins
        return 0.7 * math.sin(TAU * p) + 0.3 * math.sin(TAU * 2.76 * p)
    raise ValueError("unknown wave %r" % kind)


def envelope(t, duration, attack, release):
    """Linear attack, then a hold, then a release that ends at `duration`."""
    if t < attack:
        return t / attack if attack > 0 else 1.0
    if t > duration - release:
        return max(0.0, (duration - t) / release) if release > 0 else 1.0
    return 1.0


def add_tone(buffer, rate, start, duration, kind, f0, f1=None, gain=0.5, attack=0.005, release=0.05,
             decay=0.0, vibrato=0.0):
    """Adds one tone into buffer: frequency glides from f0 to f1, the level
    decays exponentially by `decay` per second, and it ends silent at start +
    duration, so nothing it plays crosses the end of its slot."""
    f1 = f0 if f1 is None else f1
    first = int(round(start * rate))
    count = int(round(duration * rate))
    release = min(release, duration / 2)
    attack = min(attack, duration / 2)
    phase = 0.0
    for i in range(count):
        t = i / rate
        f = f0 + (f1 - f0) * (t / duration)
        if vibrato:
            f *= 1 + 0.006 * math.sin(TAU * vibrato * t)
        phase += f / rate
        level = gain * envelope(t, duration, attack, release) * (math.exp(-decay * t) if decay else 1.0)
        index = first + i
        if index < len(buffer):
            buffer[index] += level * wave(kind, phase)


def add_noise(buffer, rate, start, duration, gain=0.3, attack=0.005, release=0.05, smooth=0.5, seed=1,
              decay=0.0):
    """Adds low-passed noise (smooth 0..1: higher is darker)."""
    rng = random.Random(seed)
    first = int(round(start * rate))
    count = int(round(duration * rate))
    value = 0.0
    for i in range(count):
        t = i / rate
        value = smooth * value + (1 - smooth) * rng.uniform(-1, 1)
        level = gain * envelope(t, duration, attack, release) * (math.exp(-decay * t) if decay else 1.0)
        if first + i < len(buffer):
            buffer[first + i] += level * value


def soft_edges(buffer, rate, seconds=EDGE_SECONDS):
    n = min(len(buffer) // 2, int(rate * seconds))
    for i in range(n):
        g = i / n
        buffer[i] *= g
        buffer[-1 - i] *= g


def normalise(buffer, peak_db):
    top = max((abs(v) for v in buffer), default=0.0)
    if top <= 0:
        return
    g = (10 ** (peak_db / 20.0)) / top
    for i in range(len(buffer)):
        buffer[i] *= g


def pcm16(buffer):
    return b"".join(struct.pack("<h", max(-32767, min(32767, int(round(v * 32767))))) for v in buffer)


def wav_bytes(buffer, rate):
    data = pcm16(buffer)
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(data), b"WAVE", b"fmt ", 16, 1, 1, rate,
                         rate * 2, 2, 16, b"data", len(data))
    return header + data


def write_ogg(path, buffer, rate, quality=4):
    """Encodes mono float samples to Ogg Vorbis at `path`."""
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "in.wav")
        with open(wav, "wb") as f:
            f.write(wav_bytes(buffer, rate))
        result = subprocess.run(["oggenc", "-Q", "-q", str(quality), "--serial", "1", "-o", path, wav],
                                capture_output=True, check=False)
        if result.returncode != 0:
            raise RuntimeError("oggenc failed: %s" % result.stderr.decode(errors="replace"))


def loop_crossfade(buffer, length, fade):
    """A seamless loop of `length` samples from a buffer of length + fade:
    the overhang is faded into the head (equal power), so the last sample
    leads into the first as the signal itself would."""
    out = buffer[:length]
    for i in range(fade):
        g = i / fade
        out[i] = out[i] * math.sin(0.5 * math.pi * g) + buffer[length + i] * math.cos(0.5 * math.pi * g)
    return out
