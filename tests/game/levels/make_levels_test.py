"""The level generator and a level the editor saved: committed, it is read
back and kept; a change the editor did not mark, or a marked file out of the
level file layout, fails the check."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", ".."))
MAKE_LEVELS = os.path.join(ROOT, "tools", "levels", "make-levels")


class EditedLevels(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.mkdtemp(prefix="make_levels_")
        self.addCleanup(shutil.rmtree, self.scratch)
        for folder in ("config", "layouts"):
            shutil.copytree(os.path.join(ROOT, "data", "assets", folder), os.path.join(self.scratch, folder))
        self.level = os.path.join(self.scratch, "config", "career", "2.xml")
        with open(self.level, encoding="utf-8") as f:
            self.generated = f.read()

    def run_check(self, *extra):
        return subprocess.run([sys.executable, MAKE_LEVELS, "--data", self.scratch, *extra],
                              capture_output=True, text=True)

    def write_level(self, text):
        with open(self.level, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)

    def edited(self, goal):
        text = re.sub(r"<goal>\d+</goal>", "<goal>%d</goal>" % goal, self.generated)
        return text.replace("<level>2</level>\n", "<level>2</level>\n        <edited>1</edited>\n")

    def test_the_committed_data_is_current(self):
        self.assertEqual(self.run_check("--check").returncode, 0)

    def test_a_level_the_editor_saved_is_kept_and_passes(self):
        self.write_level(self.edited(300))
        self.assertEqual(self.run_check("--check").returncode, 0)
        self.assertEqual(self.run_check().returncode, 0)  # writing leaves it as it is
        with open(self.level, encoding="utf-8") as f:
            self.assertEqual(f.read(), self.edited(300))

    def test_the_layout_of_a_level_the_editor_saved_is_kept(self):
        layout = os.path.join(self.scratch, "layouts", "cruise02.txt")
        with open(layout, encoding="utf-8") as f:
            rows = f.read().split("\n")
        rows[12] = "..r2r..........."  # a table added at the bottom
        with open(layout, "w", encoding="utf-8", newline="\n") as f:
            f.write("\n".join(rows))
        self.assertEqual(self.run_check("--check").returncode, 1)  # the generator's layout
        self.write_level(self.edited(800))
        self.assertEqual(self.run_check("--check").returncode, 0)  # now the editor's

    def test_an_unmarked_change_is_out_of_date(self):
        self.write_level(re.sub(r"<goal>\d+</goal>", "<goal>300</goal>", self.generated))
        result = self.run_check("--check")
        self.assertEqual(result.returncode, 1)
        self.assertIn("config/career/2.xml", result.stderr)

    def test_a_marked_file_out_of_the_layout_fails(self):
        self.write_level(self.edited(300).replace("        <goal>", "<goal>"))
        result = self.run_check("--check")
        self.assertEqual(result.returncode, 1)
        self.assertIn("saved by the editor, but not in the level file layout", result.stderr)

    def test_an_endless_shift_the_editor_saved_is_kept(self):
        path = os.path.join(self.scratch, "config", "endless.xml")
        with open(path, encoding="utf-8") as f:
            text = f.read()
        first = text.index("    </endless>")
        edited = text[:first] + "        <edited>1</edited>\n" + text[first:]
        edited = edited.replace("<numStars>3</numStars>", "<numStars>5</numStars>", 1)
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(edited)
        self.assertEqual(self.run_check("--check").returncode, 0)
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(edited.replace("<edited>1</edited>", "<edited>0</edited>"))
        self.assertEqual(self.run_check("--check").returncode, 1)

    def test_goals_follow_the_action_points(self):
        points = os.path.join(self.scratch, "config", "actionpoints.xml")
        with open(points, encoding="utf-8") as f:
            text = f.read()
        with open(points, "w", encoding="utf-8") as f:
            f.write(text.replace("<food>100</food>", "<food>200</food>"))
        result = self.run_check("--check")
        self.assertEqual(result.returncode, 1)
        self.assertIn("config/career/1.xml", result.stderr)


if __name__ == "__main__":
    unittest.main()
