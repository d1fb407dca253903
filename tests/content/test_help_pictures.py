"""The help pages' pictures as the game ships them (data/assets/ui/help,
made by the `data` target from data/src/ui/help/help.py): one strip a page
at the size the help page lays out, each its own, drawn in the house
outline with the party seated in its own colour, and the layout's picture
names matching the files."""
import os
import re
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
HELP = os.path.join(ROOT, "data", "assets", "ui", "help")
SCRIPT = os.path.join(ROOT, "data", "assets", "scripts", "helppage.lua")
sys.path.insert(0, os.path.join(ROOT, "tools", "content"))
from qmcontent import png, style  # noqa: E402

# The party each page shows, by the colour of its clothes and chairs.
PARTY = {1: "blue", 2: "yellow", 3: "purple", 4: "green"}


def hexes(image):
    return {"#%02x%02x%02x" % p[:3] for p in image.pixels if p[3] == 255}


class HelpPictures(unittest.TestCase):
    def setUp(self):
        self.pages = {n: png.read(os.path.join(HELP, "page%d.png" % n)) for n in range(1, 5)}

    def test_each_page_has_a_strip_of_its_own_at_the_laid_out_size(self):
        with open(SCRIPT, encoding="utf-8") as f:
            script = f.read()
        size = re.search(r'UiPicture\("ui/help/page" \.\. page, \d+, \d+, (\d+), (\d+)', script)
        self.assertIsNotNone(size, "helppage.lua places no ui/help/pageN picture")
        for n, image in self.pages.items():
            self.assertEqual((image.width, image.height), (int(size.group(1)), int(size.group(2))), n)
        for a in range(1, 5):
            for b in range(a + 1, 5):
                differ = sum(1 for p, q in zip(self.pages[a].pixels, self.pages[b].pixels) if p != q)
                self.assertGreater(differ, len(self.pages[a].pixels) // 4, "pages %d and %d" % (a, b))

    def test_the_scenes_are_drawn_in_the_house_style_with_each_partys_colour(self):
        for n, image in self.pages.items():
            colours = hexes(image)
            self.assertIn(style.OUTLINE, colours, "page %d has no outline" % n)
            self.assertIn(style.PARTY[PARTY[n]], colours, "page %d shows no %s party" % (n, PARTY[n]))
            opaque = sum(1 for p in image.pixels if p[3] == 255)
            self.assertGreater(opaque, len(image.pixels) * 0.8, "page %d is mostly empty" % n)


if __name__ == "__main__":
    unittest.main()
