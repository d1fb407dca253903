"""The restaurants' ambient beds: quiet loops that sit under the music and
never draw attention. Each is 24 seconds with irregular events (waves,
rail joints, hull creaks and bubbles, gusts, shimmer) placed by a seeded
random generator, so nothing repeats on a short cycle; the two seconds
past the end crossfade into the head, so the loop has no seam. All of them
keep most of their energy above 150 Hz, where small speakers play.

Called by the data build with the output folder as its argument."""
import os
import random
import sys

from qmcontent import synth

LENGTH = 24.0
FADE = 2.0
RATE = 22050


def bed(name):
    sound = synth.Sound(name + "_ambient.ogg", RATE, LENGTH)
    sound.ends = ("loop", FADE)
    sound.level = ("rms", synth.AMBIENT_RMS, synth.AMBIENT_PEAK)
    sound.quality = 0.2
    return sound


def events(rng, spacing, jitter, end=LENGTH + FADE):
    """Start times from 0 to the end of the overhang, `spacing` apart give or take `jitter`."""
    t, out = rng.uniform(0, spacing), []
    while t < end:
        out.append(t)
        t += spacing + rng.uniform(-jitter, jitter)
    return out


def cruise(rng):
    """Waves washing along the hull, a breeze over the deck."""
    s = bed("cruise")
    s.voice("wave", "noise", {"filter": 2, "q": 0.7, "attack": 1.4, "release": 1.8, "gain": 0.5})
    s.voice("foam", "noise", {"filter": 2, "q": 1.2, "attack": 0.6, "release": 1.2, "gain": 0.16})
    s.voice("breeze", "noise", {"filter": 2, "q": 0.8, "attack": 3, "release": 3, "gain": 0.12})
    for t in events(rng, 3.2, 1.0):
        centre = rng.uniform(450, 800)
        s.note("wave", t, rng.uniform(1.2, 2.2), centre, centre * 0.7, rng.uniform(0.6, 1.0))
        s.note("foam", t + 1.0, rng.uniform(0.6, 1.2), 2400, 1800, rng.uniform(0.5, 1.0))
    for t in events(rng, 6, 1.5):
        s.note("breeze", t, 3, 1200, 1500)
    return s


def train(rng):
    """Wheels over the rail joints, the carriage's rumble, a sway of the lamps."""
    s = bed("train")
    s.voice("rumble", "noise", {"filter": 2, "q": 0.9, "attack": 0.5, "release": 0.5, "gain": 0.35})
    s.voice("joint", "tom", {"tune": 1.6, "gain": 0.35, "reverb": 0})
    s.voice("click", "noise", {"filter": 2, "q": 2.0, "attack": 0.002, "release": 0.04, "gain": 0.4})
    s.voice("creak", "triangle", {"attack": 0.2, "release": 0.3, "cutoff": 900, "q": 3, "gain": 0.05})
    for t in range(0, int(LENGTH + FADE) + 1, 2):
        s.note("rumble", t, 2.6, 320, 300 if t % 4 else 340)
    # The wheels of each bogie pass a joint in pairs, a little unevenly.
    for t in events(rng, 1.15, 0.04):
        for offset in (0.0, 0.16):
            s.note("joint", t + offset, 0.1, 100, velocity=rng.uniform(0.7, 1.0))
            s.note("click", t + offset, 0.05, rng.uniform(900, 1300), velocity=rng.uniform(0.6, 1.0))
    for t in events(rng, 7, 2):
        s.note("creak", t, 0.7, rng.uniform(380, 460), rng.uniform(420, 520), 0.8)
    return s


def sub(rng):
    """The hull's hum and creaks, bubbles rising past the portholes now and then."""
    s = bed("sub")
    s.voice("hum", "organ", {"attack": 1, "release": 1, "gain": 0.07, "tremolo": 0.1})
    s.voice("water", "noise", {"filter": 2, "q": 0.8, "attack": 1.5, "release": 1.5, "gain": 0.22})
    s.voice("creak", "triangle", {"attack": 0.25, "release": 0.4, "cutoff": 700, "q": 4, "gain": 0.1,
                                  "vibrato": 9, "depth": 25})
    s.voice("bubble", "sine", {"attack": 0.004, "release": 0.03, "gain": 0.22})
    for t in range(0, int(LENGTH + FADE) + 1, 4):
        s.note("hum", t, 4.8, 110)
        s.note("water", t, 4.8, 420, 380)
    for t in events(rng, 5.5, 2.2):
        f = rng.uniform(190, 260)
        s.note("creak", t, rng.uniform(0.6, 1.3), f, f * rng.uniform(0.8, 0.9), rng.uniform(0.6, 1.0))
    # Bubbles come in small clusters at uneven times.
    for t in events(rng, 3.7, 1.8):
        at = t
        for _ in range(rng.randint(2, 6)):
            f = rng.uniform(450, 900)
            s.note("bubble", at, rng.uniform(0.04, 0.08), f, f * rng.uniform(1.5, 2.2), rng.uniform(0.4, 1.0))
            at += rng.uniform(0.06, 0.22)
    return s


def blimp(rng):
    """Wind along the envelope in slow gusts, the engines' soft drone."""
    s = bed("blimp")
    s.voice("wind", "noise", {"filter": 2, "q": 1.4, "attack": 2.0, "release": 2.5, "gain": 0.4})
    s.voice("engine", "organ", {"attack": 1, "release": 1, "gain": 0.08, "tremolo": 0.3, "cutoff": 800})
    for t in events(rng, 2.8, 1.1):
        f = rng.uniform(500, 1100)
        s.note("wind", t, rng.uniform(2, 3.5), f, f * rng.uniform(0.75, 1.35), rng.uniform(0.5, 1.0))
    for t in range(0, int(LENGTH + FADE) + 1, 3):
        s.note("engine", t, 3.8, 165)
    return s


def spaceship(rng):
    """A low starship drone with a slow shimmer above it and the air recyclers' hush."""
    s = bed("spaceship")
    s.voice("drone", "pad", {"attack": 2, "release": 2, "gain": 0.2, "cutoff": 900, "reverb": 0})
    s.voice("air", "noise", {"filter": 2, "q": 0.9, "attack": 2, "release": 2, "gain": 0.2})
    s.voice("shimmer", "sine", {"attack": 0.6, "release": 1.2, "gain": 0.045, "vibrato": 4, "depth": 8})
    for t in range(0, int(LENGTH + FADE) + 1, 4):
        for f in (130.8, 196.0, 293.7):
            s.note("drone", t, 5, f)
        s.note("air", t, 5, 600, 650)
    notes = [1568, 1760, 1976, 2349, 2637, 2960]
    for t in events(rng, 1.7, 0.8):
        s.note("shimmer", t, rng.uniform(0.6, 1.4), rng.choice(notes), velocity=rng.uniform(0.4, 1.0))
    return s


def main(out_dir):
    sounds = []
    for seed, make in enumerate((cruise, train, sub, blimp, spaceship), 1):
        sounds.append(make(random.Random(seed)))
    synth.render(sounds, out_dir, os.environ["QM_SYNTH"])


if __name__ == "__main__":
    main(sys.argv[1])
