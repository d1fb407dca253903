"""The data build on a fixture tree holding one source of every kind:
what it writes, that it is byte-identical when run again from scratch, that
an unchanged tree runs nothing, that a changed or removed source redoes or
removes only its own files, and that a bad source fails by name."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tools", "content"))
from qmcontent import png  # noqa: E402

ANMPACK = os.environ["QM_ANMPACK"]
SYNTH = os.environ["QM_SYNTH"]
EXPECTED = sorted([
    "anim/star.anm", "anim/star.png",
    "props/stool.png", "props/red_stool.pal", "props/blue_stool.pal", "props/green_stool.pal",
    "props/yellow_stool.pal", "props/purple_stool.pal", "props/plain_stool.pal",
    "sfx/pop.ogg", "sfx/hum.ogg", "sfx/tune_intro.ogg", "sfx/tune_loop.ogg",
])


def tree(folder):
    found = {}
    for f, _, names in os.walk(folder):
        for n in names:
            path = os.path.join(f, n)
            with open(path, "rb") as h:
                found[os.path.relpath(path, folder)] = (h.read(), os.stat(path).st_mtime_ns)
    return found


class MakeData(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.src = os.path.join(self.tmp, "src")
        shutil.copytree(os.path.join(HERE, "fixtures", "src"), self.src)
        self.out = os.path.join(self.tmp, "out")

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def make(self, work="work", *extra):
        return subprocess.run([sys.executable, os.path.join(ROOT, "tools", "content", "make-data"),
                               "--src", self.src, "--out", self.out, "--work", os.path.join(self.tmp, work),
                               "--anmpack", ANMPACK, "--synth", SYNTH, "--contact", os.path.join(self.tmp, "contact")] + list(extra),
                              capture_output=True, text=True)

    def test_builds_deterministically_and_incrementally(self):
        self.assertEqual(self.make().returncode, 0)
        first = tree(self.out)
        self.assertEqual(sorted(first), EXPECTED)
        self.assertTrue(os.path.exists(os.path.join(self.tmp, "contact", "props.png")))

        again = self.make()
        self.assertEqual(again.stdout, "", "an unchanged tree runs no job")
        self.assertEqual(tree(self.out), first)

        # From scratch (a new work folder, everything forced): the same bytes, files untouched.
        self.assertEqual(self.make("work2", "--force").returncode, 0)
        self.assertEqual(tree(self.out), first)

        with open(os.path.join(self.src, "sfx", "pop.sfx"), "a") as f:
            f.write("tone sine 900 at 0.05 for 0.05\n")
        os.remove(os.path.join(self.src, "sfx", "hum.sfx"))
        changed = self.make()
        self.assertIn("1 of 4 jobs", changed.stdout)
        after = tree(self.out)
        self.assertNotIn("sfx/hum.ogg", after)
        self.assertNotEqual(after["sfx/pop.ogg"][0], first["sfx/pop.ogg"][0])
        self.assertEqual(after["anim/star.anm"], first["anim/star.anm"])

    def test_a_source_replaced_by_another_that_makes_the_same_file(self):
        self.assertEqual(self.make().returncode, 0)
        os.remove(os.path.join(self.src, "sfx", "hum.sfx"))
        with open(os.path.join(self.src, "sfx", "hum.py"), "w") as f:
            f.write("import os, sys\nfrom qmcontent import synth\n"
                    "s = synth.Sound('hum.ogg', 22050, 0.5)\ns.voice('v', 'sine', {})\ns.note('v', 0, 0.4, 220)\n"
                    "synth.render([s], sys.argv[1], os.environ['QM_SYNTH'])\n")
        result = self.make()
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(os.path.exists(os.path.join(self.out, "sfx", "hum.ogg")))
        self.assertEqual(self.make().stdout, "", "and the next run has nothing to do")

    def test_a_new_synthesiser_redoes_the_sounds_only(self):
        synth_copy = os.path.join(self.tmp, "qmsynth")
        shutil.copy2(SYNTH, synth_copy)
        self.assertEqual(self.make("work", "--synth", synth_copy).returncode, 0)
        with open(synth_copy, "ab") as f:
            f.write(b"\0")  # another build of the program
        result = self.make("work", "--synth", synth_copy)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("3 of 5 jobs", result.stdout, "the effect, the ambient loop and the song; not the pictures")

    def test_indexed_picture_and_palettes_share_index_order(self):
        self.assertEqual(self.make().returncode, 0)
        with open(os.path.join(self.out, "props", "stool.png"), "rb") as f:
            data = f.read()
        self.assertEqual(data[25], 3, "colour type: palette")
        self.assertIn(b"tRNS", data)
        pals = {}
        for colour in ("red", "blue", "plain"):
            with open(os.path.join(self.out, "props", colour + "_stool.pal"), "rb") as f:
                raw = f.read()
            self.assertEqual(raw[:4] + raw[8:16], b"RIFFPAL data")
            self.assertEqual(struct.unpack("<I", raw[4:8])[0], len(raw) - 8)
            count = struct.unpack("<H", raw[22:24])[0]
            self.assertEqual(count, 9)  # 5 outline entries, metal, seat ramp
            pals[colour] = [raw[24 + 4 * i:27 + 4 * i] for i in range(count)]
        differ = [i for i in range(9) if pals["red"][i] != pals["blue"][i]]
        self.assertEqual(differ, [6, 7, 8], "only the seat's ramp changes")
        picture = png.read(os.path.join(self.out, "props", "stool.png"))
        self.assertEqual((picture.width, picture.height), (40, 48))
        self.assertEqual(picture.get(0, 0)[3], 0)

    def test_bad_source_fails_by_name_and_keeps_the_rest(self):
        with open(os.path.join(self.src, "sfx", "bad.sfx"), "w") as f:
            f.write("tone kazoo 440 at 0 for 1\n")
        result = self.make()
        self.assertEqual(result.returncode, 1)
        self.assertIn("sfx/bad.sfx", result.stderr)
        self.assertIn("kazoo", result.stderr)
        self.assertTrue(os.path.exists(os.path.join(self.out, "sfx", "pop.ogg")))
        self.assertEqual(self.make().returncode, 1, "a failed job runs again")

    def test_generators_may_write_only_generated_kinds(self):
        with open(os.path.join(self.src, "props", "gen.py"), "w") as f:
            f.write("import os, sys\nopen(os.path.join(sys.argv[1], 'notes.xml'), 'w').write('x')\n")
        result = self.make()
        self.assertEqual(result.returncode, 1)
        self.assertIn("notes.xml", result.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.out, "props", "notes.xml")))


if __name__ == "__main__":
    unittest.main()
