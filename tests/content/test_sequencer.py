"""The sound sources read into render lists: a song's chords, patterns,
grooves, melodies, definitions, second voices, swing and touch; an effect's
tones and filtered noise; and bad sources refused by line."""
import os
import shutil
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tools", "content"))
from qmcontent import sequencer, sounds, synth  # noqa: E402

SONG = """# a calypso in miniature
tempo 120
meter 4
reverb 0.5 0.5 0.2
instrument lead steeldrum gain 0.5
instrument pan steeldrum gain 0.2 low g4 legato 0.5
instrument bass bass low e2
instrument kick kick
instrument lead2 steeldrum gain 0.3
pattern skip 0:R:1 2:5-:1 3:A:1
pattern hit 0:C:2
groove beat kick X...x...
define tune e5:2 g5:2 | f#5:4
section a piece.ogg
chords C | D7/F# - G - | % | C
lead @tune | d5:2 b4:2 | c5+e5:2 r:2
lead2 harmony lead from 3
pan pattern hit*4
bass pattern skip*3 -
drums beat*3 -
"""


class Song(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def read(self, text, name="x.song"):
        path = os.path.join(self.tmp, name)
        with open(path, "w") as f:
            f.write(text)
        return sequencer.read_song(path)

    def notes(self, sound, voice):
        return [(round(start, 4), round(f0, 2), round(vel, 3)) for v, start, dur, f0, f1, vel in sound.notes
                if v == voice]

    def fails(self, text, message):
        with self.assertRaises(sounds.SourceError) as caught:
            self.read(text)
        self.assertIn(message, str(caught.exception))

    def test_a_section_follows_its_chords_bar_by_bar(self):
        (sound,) = self.read(SONG)
        self.assertEqual(sound.out, "piece.ogg")
        self.assertAlmostEqual(sound.length, 8.0)  # four bars at 120
        self.assertEqual(sound.ends, ("fade", sequencer.END_FADE, sequencer.START_FADE))
        self.assertEqual(sound.level, ("rms", synth.MUSIC_RMS, synth.MUSIC_PEAK))
        # The pans voice each chord from g4 up: C as G4 C5 E5; D7/F# as A4 C5 D5 F#5.
        pan = self.notes(sound, "pan")
        chord_at_zero = sorted(f for t, f, v in pan if t == 0)
        self.assertEqual([round(sequencer.frequency(m), 2) for m in (67, 72, 76)], chord_at_zero)
        d7 = sorted(f for t, f, v in pan if t == 2.0)
        self.assertEqual([round(sequencer.frequency(m), 2) for m in (69, 72, 74, 78)], d7)
        # The bass plays the slash bass (F#), the fifth below, then a half step under the next bar's bass.
        bass = self.notes(sound, "bass")
        self.assertEqual(bass[0][:2], (0.0, round(sequencer.frequency(48), 2)))
        self.assertIn((2.0, round(sequencer.frequency(42), 2)), [b[:2] for b in bass])
        # Bar 2's beat 4 approaches bar 3 (which repeats bar 2: its bass is F#): F.
        self.assertIn((3.5, round(sequencer.frequency(41), 2)), [b[:2] for b in bass])
        self.assertFalse([b for b in bass if b[0] >= 6], "the last bar rests")

    def test_melodies_definitions_and_a_second_voice(self):
        (sound,) = self.read(SONG)
        lead = self.notes(sound, "lead")
        self.assertEqual([t for t, f, v in lead], [0.0, 1.0, 2.0, 4.0, 5.0, 6.0, 6.0])
        self.assertGreater(lead[0][2], lead[1][2], "the downbeat is a little louder")
        # From bar 3 the second voice sings the nearest chord tone a third or more under the
        # tune: A4 under D5 (D7), G4 under B4 (G), C5 under the closing E5.
        second = self.notes(sound, "lead2")
        self.assertEqual([(t, f) for t, f, v in second],
                         [(4.0, round(sequencer.frequency(69), 2)), (5.0, round(sequencer.frequency(67), 2)),
                          (6.0, round(sequencer.frequency(72), 2))])
        kick = self.notes(sound, "kick")
        self.assertEqual([t for t, f, v in kick], [0.0, 1.0, 2.0, 3.0, 4.0, 5.0])

    def test_swing_and_touch_move_notes_the_same_way_every_time(self):
        swung = SONG.replace("tempo 120\n", "tempo 120\nswing 1\nhumanize 10\n")
        first, second = self.read(swung)[0].text(), self.read(swung)[0].text()
        self.assertEqual(first, second)
        straight = self.read(SONG.replace("tempo 120\n", "tempo 120\nswing 1\n"))[0]
        song = sequencer.Song(os.path.join(self.tmp, "x.song"))
        song.read()
        # Full swing: the off-beat eighth of beat 4 falls on the last triplet (beat 3 2/3, at 120 a minute).
        self.assertAlmostEqual(song.seconds(sequencer.Fraction(7, 2)), (3 + 2 / 3) * 0.5)
        self.assertAlmostEqual(song.seconds(sequencer.Fraction(3)), 1.5, msg="beats stay where they are")
        self.assertNotEqual(first, straight.text(), "touch moved the notes")

    def test_bad_songs_are_refused_by_line(self):
        self.fails("section a x.ogg\nchords H7\n", "x.song: line 2: bad chord 'H7'")
        self.fails("instrument l kazoo\n", "x.song: line 1: unknown wave 'kazoo'")
        self.fails("instrument l glock\nsection a x.ogg\nchords C\nl pattern nope\n", "line 4: no pattern 'nope'")
        self.fails("instrument l glock\npattern p 0:X:1\n", "line 2: bad pattern hit '0:X:1'")
        self.fails("instrument l glock\nsection a x.ogg\nchords C\nl c5:5\n", "l plays past the section's end")
        self.fails("instrument l glock\nsection a x.ogg\nl @nothing\n", "line 3: nothing defined as 'nothing'")
        self.fails("instrument l glock\nsection a x.ogg\nchords C\nl harmony m\n", "line 4: no instrument 'm'")
        self.fails("instrument l glock\nl c5\n", "line 2: l before the first section")
        self.fails("tempo 120\n", "no section")


class Effect(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.rendered = []
        self.saved = synth.render
        synth.render = lambda sounds_, out_dir, program: self.rendered.extend(sounds_) or [s.out for s in sounds_]

    def tearDown(self):
        synth.render = self.saved
        shutil.rmtree(self.tmp)

    def effect(self, text):
        path = os.path.join(self.tmp, "pop.sfx")
        with open(path, "w") as f:
            f.write(text)
        sounds.render_sfx(path, self.tmp, "qmsynth")
        return self.rendered[-1]

    def test_tones_and_filtered_noise_become_voices_that_end_inside_their_parts(self):
        sound = self.effect("tone glock 1568 at 0 for 0.14 release 0.06\nnoise at 0.1 for 0.2 band 900->1800 q 2\n")
        self.assertEqual((sound.out, sound.rate), ("pop.ogg", 44100))
        self.assertAlmostEqual(sound.length, 0.3)
        self.assertEqual(sound.level, ("loud", synth.EFFECT_LOUD, synth.EFFECT_PEAK))
        self.assertEqual(sound.voices["p1"], ("glock", {"release": 0.06}))
        self.assertEqual(sound.voices["p2"], ("noise", {"q": 2.0, "filter": 2, "release": 0.05}))
        (_, start, held, f0, f1, _), = [n for n in sound.notes if n[0] == "p1"]
        self.assertAlmostEqual(held + 0.06, 0.14)
        self.assertEqual([n[3:5] for n in sound.notes if n[0] == "p2"], [(900.0, 1800.0)])

    def test_an_ambient_loop_is_levelled_as_a_bed(self):
        sound = self.effect("loop 0.5\nlength 3\nnoise at 0 for 3.5 low 500 attack 0 release 0\n")
        self.assertEqual(sound.ends, ("loop", 0.5))
        self.assertEqual(sound.level, ("rms", synth.AMBIENT_RMS, synth.AMBIENT_PEAK))

    def test_noise_without_a_filter_and_unknown_words_are_refused(self):
        for text, message in (("noise at 0 for 1 gain 0.3\n", "noise needs a filter"),
                              ("tone kazoo 440 at 0 for 1\n", "unknown wave 'kazoo'"),
                              ("tone sine 440 at 0 for 1 wobble 3\n", "unknown setting 'wobble'"),
                              ("tone sine 0 at 0 for 1\n", "bad frequency '0'"),
                              ("", "no tone or noise")):
            with self.assertRaises(sounds.SourceError) as caught:
                self.effect(text)
            self.assertIn(message, str(caught.exception))


if __name__ == "__main__":
    unittest.main()
