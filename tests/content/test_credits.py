"""The credits text as the game ships it (data/assets/credits.txt), against
the game executable: every library the executable links is named in the
credits with its licence (the C library, the maths library and OpenGL come
with the player's system), the fonts' licence ships beside the fonts, and
the text is what the credits screen can read: lines it does not cut, a last
line that keeps its last character, markup that closes.

    test_credits.py CORVELLATRIP"""
import os
import re
import subprocess
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
CREDITS = os.path.join(ROOT, "data", "assets", "credits.txt")
FONTS = os.path.join(ROOT, "data", "assets", "fonts")
EXECUTABLE = None

# A linked library's name (its soname up to ".so") and what the credits call it.
CREDITED = {
    "libSDL2-2.0": "SDL 2",
    "libpng16": "libpng",
    "libjpeg": "libjpeg-turbo",
    "libz": "zlib",
    "libogg": "libogg",
    "libvorbis": "libvorbis",
    "libvorbisfile": "libvorbis",
    "libtheoradec": "libtheora",
    "libcurl": "libcurl",
    "libX11": "libX11",
    "libstdc++": "GNU C++ runtime",
    "libgcc_s": "GNU C++ runtime",
}
# Part of every desktop: the C library and the OpenGL driver; and the
# sanitizers' runtimes, which only a test build links (GCC's as libraries of
# their own, Clang's inside the executable, bringing the C library's
# libresolv along).
SYSTEM = {"libc", "libm", "libGL", "ld-linux-x86-64", "libpthread", "libdl", "libresolv",
          "libasan", "libubsan", "libtsan"}
# What each licence is called in the credits.
LICENCES = {
    "SDL 2": "zlib licence",
    "libpng": "PNG Reference Library licence",
    "libjpeg-turbo": "IJG and BSD licences",
    "zlib": "zlib licence",
    "libogg": "BSD licence",
    "libvorbis": "BSD licence",
    "libtheora": "BSD licence",
    "libcurl": "curl licence",
    "libX11": "MIT licence",
    "GNU C++ runtime": "runtime exception",
}


def linked(executable):
    """The sonames the executable needs, with those its libraries need that
    the credits promise too (zlib comes in through libpng and libcurl)."""
    out = subprocess.run(["readelf", "-d", executable], capture_output=True, text=True, check=True).stdout
    names = set(re.findall(r"\(NEEDED\)\s+Shared library: \[([^\]]+)\]", out))
    out = subprocess.run(["ldd", executable], capture_output=True, text=True, check=True).stdout
    if re.search(r"^\s*libz\.so", out, re.M):
        names.add("libz.so.1")
    return {re.sub(r"\.so.*$", "", n) for n in names}


class Credits(unittest.TestCase):
    def setUp(self):
        with open(CREDITS, encoding="utf-8") as f:
            self.text = f.read()
        self.lines = self.text.split("\n")[:-1]

    def credited_line(self, name):
        # The heading in brackets on the left names it, alone or in a list ("[A and B]").
        for line in self.lines:
            heading = re.search(r"\[([^\]]*)\]", line.split("|")[0])
            if "|" in line and heading and name in re.split(r", | and ", heading.group(1)):
                return line
        return None

    def test_every_linked_library_is_credited_with_its_licence(self):
        for lib in sorted(linked(EXECUTABLE)):
            if lib in SYSTEM:
                continue
            self.assertIn(lib, CREDITED, "the game links %s, which the credits know nothing of" % lib)
            name = CREDITED[lib]
            line = self.credited_line(name)
            self.assertIsNotNone(line, "no credits line names %s (linked as %s)" % (name, lib))
            self.assertIn(LICENCES[name], line.split("|")[1], line)

    def test_the_fonts_and_their_licence_ship_together(self):
        self.assertIn("DejaVu Sans", self.text)
        self.assertIn("Bitstream Vera Fonts licence", self.text)
        self.assertIn("fonts/LICENSE-DejaVu.txt", self.text)
        with open(os.path.join(FONTS, "LICENSE-DejaVu.txt"), encoding="utf-8") as f:
            self.assertIn("bitstream-vera", f.read())

    def test_the_credits_screen_reads_every_line_whole(self):
        # Each line loses its last character (the line feed) and is cut at
        # 1023 characters; markup must close on the line it opens.
        self.assertTrue(self.text.endswith("\n"))
        for number, line in enumerate(self.lines, 1):
            self.assertLess(len(line.encode("utf-8")), 1023, "line %d" % number)
            self.assertEqual(line.count("["), line.count("]"), "line %d: %s" % (number, line))
            self.assertLessEqual(line.count("|"), 1, "line %d" % number)
            tags = re.findall(r"<(/?)(\w+)", line)
            self.assertEqual([t for c, t in tags if not c], [t for c, t in tags if c], "line %d" % number)
            self.assertEqual(re.sub(r"</?b>", "", line).count("<"), 0, "line %d: stray markup" % number)
            self.assertNotIn("\\", line, "line %d: a backslash escapes the next character" % number)

    def test_the_team_and_its_own_tools_are_named(self):
        for name in ("the Corvellatrip team", "Quellmoor", "Lua 5.0 dialect", "anmpack", "font builder",
                     "synthesiser", "sequencer", "content generators"):
            self.assertIn(name, self.text)


if __name__ == "__main__":
    EXECUTABLE = sys.argv.pop(1)
    unittest.main()
