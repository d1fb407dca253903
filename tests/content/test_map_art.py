"""The map's restaurants as the map generator draws them: each frame of
each one whole inside its frame (a fin or a sail reaching the frame's edge
ends there in a flat cut), and the blimp's red band within its envelope."""
import os
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tools", "content"))
sys.path.insert(0, os.path.join(ROOT, "data", "src", "map"))
import map as chart  # noqa: E402

RED_BAND = (0xc8, 0x36, 0x3b)


def frames(k):
    (_, _), (w, h) = chart.PLACES[k]
    return [chart.render(w, h, chart.DRAW[k](w, h, t)) for t in range(3)]


class MapRestaurants(unittest.TestCase):
    def test_every_frame_of_every_restaurant_is_whole_inside_its_frame(self):
        for k in chart.DRAW:
            for t, picture in enumerate(frames(k)):
                with self.subTest(restaurant=k, frame=t):
                    w, h = picture.width, picture.height
                    border = [(x, y) for y in range(h) for x in range(w)
                              if (x in (0, w - 1) or y in (0, h - 1)) and picture.pixels[y * w + x][3]]
                    self.assertEqual(border[:1], [], "a visible pixel on the frame's edge")

    def test_the_blimps_band_ends_inside_its_envelope(self):
        hull_right = 0
        for picture in frames(4):
            w = picture.width
            row = [picture.pixels[y * w:(y + 1) * w] for y in range(picture.height)]
            # The band's colour, opaque, anywhere right of the envelope's outline on the band's rows.
            for y, pixels in enumerate(row):
                opaque = [x for x, p in enumerate(pixels) if p[3] > 200]
                if not opaque:
                    continue
                last = opaque[-1]
                hull_right = max(hull_right, last)
                self.assertNotEqual(pixels[last][:3], RED_BAND, "the band runs past the nose on row %d" % y)
        self.assertGreater(hull_right, 150)


if __name__ == "__main__":
    unittest.main()
