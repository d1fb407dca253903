"""Expert service has one mark wherever the game shows it: the won level's
board ("ui/expert_badge", scripts/levelover.lua), the map's expert level
marker ("map/expert_on", game/screens/chooserestaurant.cpp) and Quessa's
corner's expert tip ("ui/kit/icon_crown", scripts/quessascorner1.lua) are
the same picture at their sizes, as generated into data/assets (the `data`
target). Each is brought to one size, a grid over its opaque part, and
compared cell by cell: where its gold lies, and where its cream."""
import os
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tools", "content"))
from qmcontent import png  # noqa: E402

ASSETS = os.path.join(ROOT, "data", "assets")
GRID = 8
# The mean difference (in per cent of a cell) below which two pictures are
# one mark: the three places differ by at most 7, the nearest other mark of
# the game (the kit's coin) by 15.
SAME = 10


def marker_frame(name, index, size=44):
    """A frame of a map marker's sheet (frames stacked downwards)."""
    sheet = png.read(os.path.join(ASSETS, name))
    top = index * size * sheet.width
    return sheet.width, sheet.pixels[top:top + size * sheet.width]


def picture(name):
    image = png.read(os.path.join(ASSETS, name))
    return image.width, image.pixels


def is_cream(p):
    return p[3] >= 200 and p[0] > 235 and p[1] > 225 and p[2] > 200


def is_gold(p):
    return p[3] >= 200 and p[0] > 200 and 150 < p[1] < 235 and p[2] < 140


def cells(width, pixels):
    """Per cell of a GRID x GRID grid over the opaque part (the soft drop
    shadow left out): the shares of cream and of gold pixels."""
    solid = [(i % width, i // width) for i, p in enumerate(pixels) if p[3] >= 200]
    left, right = min(x for x, _ in solid), max(x for x, _ in solid) + 1
    top, bottom = min(y for _, y in solid), max(y for _, y in solid) + 1
    counts = [[[0, 0, 0] for _ in range(GRID)] for _ in range(GRID)]
    for y in range(top, bottom):
        for x in range(left, right):
            cell = counts[(y - top) * GRID // (bottom - top)][(x - left) * GRID // (right - left)]
            pixel = pixels[y * width + x]
            cell[0] += is_cream(pixel)
            cell[1] += is_gold(pixel)
            cell[2] += 1
    return [(cream / float(n), gold / float(n)) for row in counts for cream, gold, n in row]


def difference(a, b):
    return 100 * sum(abs(x - y) for cell_a, cell_b in zip(a, b) for x, y in zip(cell_a, cell_b)) / (2.0 * len(a))


class ExpertMark(unittest.TestCase):
    def test_the_board_the_map_and_the_corner_show_one_mark(self):
        places = {
            "the won level's board": cells(*picture("ui/expert_badge.png")),
            "the map's expert level": cells(*marker_frame("map/expert_on.png", 1)),
            "Quessa's corner": cells(*picture("ui/kit/icon_crown.png")),
        }
        names = sorted(places)
        for i, first in enumerate(names):
            for second in names[i + 1:]:
                with self.subTest(first=first, second=second):
                    self.assertLess(difference(places[first], places[second]), SAME)

    def test_the_comparison_tells_the_crown_from_the_games_other_marks(self):
        crown = cells(*picture("ui/kit/icon_crown.png"))
        for other in ("ui/kit/icon_star.png", "ui/kit/icon_coin.png", "ui/kit/icon_heart.png"):
            with self.subTest(other=other):
                self.assertGreater(difference(crown, cells(*picture(other))), SAME)
        self.assertGreater(difference(crown, cells(*marker_frame("map/dot_on.png", 1))), SAME)


if __name__ == "__main__":
    unittest.main()
