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

    def write_generator_reading_a_helper(self, reads):
        lib = os.path.join(self.src, "lib")
        os.makedirs(lib)
        with open(os.path.join(lib, "_shade.py"), "w") as f:
            f.write("VALUE = 120\n")
        with open(os.path.join(self.src, "props", "swatch.py"), "w") as f:
            f.write("# A swatch in the helper's grey.\n# reads: %s\n" % reads
                    + "import os, sys\nsys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'lib'))\n"
                    + "import _shade\nfrom qmcontent import png\n"
                    + "png.write(os.path.join(sys.argv[1], 'swatch.png'), png.Image(2, 2, [(_shade.VALUE,) * 3 + (255,)] * 4))\n")

    def test_a_generator_runs_again_when_a_folder_it_reads_changes(self):
        self.write_generator_reading_a_helper("../lib")
        self.assertEqual(self.make().returncode, 0)
        before = png.read(os.path.join(self.out, "props", "swatch.png")).get(0, 0)
        self.assertEqual(self.make().stdout, "")
        with open(os.path.join(self.src, "lib", "_shade.py"), "w") as f:
            f.write("VALUE = 60\n")
        changed = self.make()
        self.assertIn("1 of 6 jobs", changed.stdout)
        self.assertNotEqual(png.read(os.path.join(self.out, "props", "swatch.png")).get(0, 0), before)

    def test_a_generator_reading_a_missing_folder_fails_by_name(self):
        self.write_generator_reading_a_helper("../nowhere")
        result = self.make()
        self.assertEqual(result.returncode, 1)
        self.assertIn("props/swatch.py", result.stderr)
        self.assertIn("nowhere", result.stderr)

    def write_generator(self, name, pictures):
        with open(os.path.join(self.src, "props", name), "w") as f:
            f.write("import os, sys\nfrom qmcontent import png\n")
            for picture, grey in pictures:
                f.write("png.write(os.path.join(sys.argv[1], '%s'), png.Image(1, 1, [(%d, %d, %d, 255)]))\n"
                        % (picture, grey, grey, grey))

    def test_a_picture_moved_from_one_generator_to_another_is_made_in_one_run(self):
        # Both orders: the job giving the picture up may run before or after the one taking it.
        for giver, taker in (("a_gen.py", "b_gen.py"), ("d_gen.py", "c_gen.py")):
            with self.subTest(giver=giver):
                self.write_generator(giver, [("moved.png", 10), (giver + ".png", 10)])
                self.assertEqual(self.make().returncode, 0)
                self.write_generator(giver, [(giver + ".png", 10)])
                self.write_generator(taker, [("moved.png", 200)])
                result = self.make()
                self.assertEqual(result.returncode, 0, result.stderr)
                moved = png.read(os.path.join(self.out, "props", "moved.png"))
                self.assertEqual(moved.get(0, 0), (200, 200, 200, 255))
                os.remove(os.path.join(self.src, "props", giver))
                os.remove(os.path.join(self.src, "props", taker))
                self.assertEqual(self.make().returncode, 0)
                self.assertFalse(os.path.exists(os.path.join(self.out, "props", "moved.png")))

    def test_a_generator_that_lost_a_clash_runs_again_when_its_sources_go_back(self):
        self.write_generator("a_gen.py", [("a.png", 10)])
        self.write_generator("b_gen.py", [("x.png", 200)])
        self.assertEqual(self.make().returncode, 0)
        # Both change at once; the first takes the picture, the second loses the clash.
        self.write_generator("a_gen.py", [("a.png", 10), ("x.png", 10)])
        self.write_generator("b_gen.py", [("x.png", 200), ("b.png", 1)])
        self.assertEqual(self.make().returncode, 1)
        # Both as they were: the picture is the second one's again.
        self.write_generator("a_gen.py", [("a.png", 10)])
        self.write_generator("b_gen.py", [("x.png", 200)])
        result = self.make()
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(png.read(os.path.join(self.out, "props", "x.png")).get(0, 0), (200, 200, 200, 255))

    def test_two_generators_making_one_picture_fail(self):
        self.write_generator("a_gen.py", [("same.png", 10)])
        self.write_generator("b_gen.py", [("same.png", 20)])
        result = self.make()
        self.assertEqual(result.returncode, 1)
        self.assertIn("same.png is made by props/a_gen.py too", result.stderr)

    def test_generators_may_write_only_generated_kinds(self):
        with open(os.path.join(self.src, "props", "gen.py"), "w") as f:
            f.write("import os, sys\nopen(os.path.join(sys.argv[1], 'notes.xml'), 'w').write('x')\n")
        result = self.make()
        self.assertEqual(result.returncode, 1)
        self.assertIn("notes.xml", result.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.out, "props", "notes.xml")))

    def test_a_scene_is_drawn_again_when_its_rig_changes(self):
        for folder in ("rig", "scene"):
            os.makedirs(os.path.join(self.src, folder))
        shade = os.path.join(self.src, "rig", "_shade.txt")
        with open(shade, "w") as f:
            f.write("200\n")
        with open(os.path.join(self.src, "scene", "scene.py"), "w") as f:
            f.write("# reads: ../rig\n"
                    "import os, sys\n"
                    "from qmcontent import png\n"
                    "value = int(open(os.path.join('..', 'rig', '_shade.txt')).read())\n"
                    "png.write(os.path.join(sys.argv[1], 'dot.png'), png.Image(1, 1, [(value, 0, 0, 255)]))\n")
        self.assertEqual(self.make().returncode, 0)
        first = tree(self.out)["scene/dot.png"][0]
        with open(shade, "w") as f:
            f.write("90\n")
        again = self.make()
        self.assertEqual(again.returncode, 0, again.stderr)
        self.assertIn("1 of 6 jobs", again.stdout, "the scene is drawn again from the changed rig")
        self.assertNotEqual(tree(self.out)["scene/dot.png"][0], first)


if __name__ == "__main__":
    unittest.main()
