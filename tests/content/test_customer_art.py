"""The customers' generated art as the game ships it (data/assets, made by
the `data` target): a member's look recolours its skin, hair, garments and
prop, and nothing of the outline's anti-aliased edge, so the second member
of a party wears no dotted rim of its prop colour; each look shows on the
contact sheets; the quantiser reads an outlined shape's inner edge as that
shape's own colour."""
import os
import struct
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
ASSETS = os.path.join(ROOT, "data", "assets", "customers")
sys.path.insert(0, os.path.join(ROOT, "tools", "content"))
sys.path.insert(0, os.path.join(ROOT, "data", "src", "customers"))
from qmcontent import contact, palette, png, style  # noqa: E402
import _figure as fig  # noqa: E402
import customers  # noqa: E402

# What a look may change: the figure's own colours, never the outline, the
# eyes, the mouth or the party colour.
LOOK_RAMPS = ("skin", "hair", "trousers", "accent", "prop", "cheek")
# The garments and props among them, which must keep off the outline's edge.
GARMENTS = ("trousers", "accent", "prop")
# A hat's brim or a headband meets the hair through a thin outline here and
# there; an anti-aliased rim round a face and arms is ten times more.
MOST_ON_EDGE = 0.03


def riff_colours(path):
    with open(path, "rb") as f:
        data = f.read()
    count = struct.unpack("<H", data[22:24])[0]
    return [tuple(data[24 + 4 * i:27 + 4 * i]) for i in range(count)]


class CustomerLooks(unittest.TestCase):
    def test_garment_entries_keep_off_the_outline_edge_of_skin_and_hair(self):
        for name, kind in customers.TYPES.items():
            with self.subTest(type=name):
                names = [n for n, _ in fig.body_palette(kind).entries]
                picture = png.read_indexed(os.path.join(ASSETS, name, "anim.png"))
                skin_or_hair = {i for i, n in enumerate(names) if palette.ramp_name(n) in ("skin", "hair")}
                outline = {i for i, n in enumerate(names) if n.startswith("outline")}
                for garment in GARMENTS:
                    entries = {i for i, n in enumerate(names) if palette.ramp_name(n) == garment}
                    used, on_edge = self.count_on_edge(picture, entries, outline, skin_or_hair)
                    self.assertLessEqual(on_edge, MOST_ON_EDGE * used,
                                         "%s: %d of %d %s pixels lie between the outline and skin or hair"
                                         % (name, on_edge, used, garment))

    @staticmethod
    def count_on_edge(picture, entries, outline, skin_or_hair):
        """Pixels of the entries, and those of them touching both the
        outline and skin or hair (the outline's anti-aliased edge)."""
        w, h, pixels = picture.width, picture.height, picture.pixels
        used = on_edge = 0
        for at, value in enumerate(pixels):
            if value not in entries:
                continue
            used += 1
            x, y = at % w, at // w
            around = [pixels[(y + dy) * w + x + dx] for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))
                      if 0 <= x + dx < w and 0 <= y + dy < h]
            if any(v in outline for v in around) and any(v in skin_or_hair for v in around):
                on_edge += 1
        return used, on_edge

    def test_a_look_changes_only_the_figures_own_colours(self):
        for name, kind in customers.TYPES.items():
            names = [n for n, _ in fig.body_palette(kind).entries]
            for colour in style.PARTY_ORDER:
                own = riff_colours(os.path.join(ASSETS, name, colour + ".pal"))
                for n in range(1, fig.LOOKS):
                    with self.subTest(type=name, colour=colour, look=n):
                        look = riff_colours(os.path.join(ASSETS, name, "%s_look%d.pal" % (colour, n)))
                        changed = {palette.ramp_name(names[i]) for i, (a, b) in enumerate(zip(own, look)) if a != b}
                        self.assertLessEqual(changed, set(LOOK_RAMPS))

    def test_the_contact_sheet_shows_every_look_of_body_and_legs(self):
        folder = os.path.join(ASSETS, "dad_male")
        shown = {name for name, _ in contact._entries(folder, os.listdir(folder))}
        for colour in style.PARTY_ORDER:
            for n in range(1, fig.LOOKS):
                self.assertIn("anim.png + %s_look%d.pal" % (colour, n), shown)
                self.assertIn("legs.png + %s_look%d_legs.pal" % (colour, n), shown)
        self.assertNotIn("legs.png + red_look1.pal", shown)


class EdgeQuantising(unittest.TestCase):
    # Skin, a prop darker than it and the outline: half skin, half outline is
    # nearer the prop than any skin entry.
    PALETTE = palette.Palette([("transparent", (0, 0, 0, 0)), ("outline", (59, 42, 51, 255)),
                               ("skin", (246, 210, 180, 255)), ("skin_shade", (175, 146, 131, 255)),
                               ("prop", (150, 120, 110, 255))])

    def test_an_outline_edge_on_skin_stays_skin_coloured(self):
        edge = (152, 126, 115, 255)
        image = png.Image(1, 1, [edge])
        self.assertEqual(palette.quantise(image, self.PALETTE).pixels, [4])
        self.assertEqual(palette.quantise(image, self.PALETTE, "outline").pixels, [3])

    def test_a_fill_keeps_its_own_entry_and_transparency_the_outline_fade(self):
        image = png.Image(3, 1, [(150, 120, 110, 255), (0, 0, 0, 0), (246, 210, 180, 255)])
        self.assertEqual(palette.quantise(image, self.PALETTE, "outline").pixels, [4, 0, 2])


if __name__ == "__main__":
    unittest.main()
