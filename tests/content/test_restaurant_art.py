"""The restaurants' generated art as the game ships it (data/assets, made by
the `data` target): the rooms' windows stand apart, the decor pictures stand
where upgrades.xml says and where nothing of the floor stands, each
restaurant serves its own food while its guests ask for what its shelves hold,
and each has its own tables and chairs (_furniture.py), whose plates and
seats stay where the game puts plates and guests."""
import os
import re
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
ASSETS = os.path.join(ROOT, "data", "assets", "restaurants")
sys.path.insert(0, os.path.join(ROOT, "tools", "content"))
sys.path.insert(0, os.path.join(ROOT, "data", "src", "restaurants"))
from qmcontent import png, style, svg  # noqa: E402
import _decor  # noqa: E402
import _furniture  # noqa: E402
import _rooms  # noqa: E402

ORDER = ["cruise", "train", "sub", "blimp", "spaceship"]

# Where the game puts the floor's stations and performers, by restaurant
# (game/floor/shelves.cpp, game/play/gamedata.cpp, game/floor/entertainer.cpp):
# centres, and the performer's feet.
DESSERT = [(220, 195), (205, 195), (234, 182), (222, 195), (220, 203)]
SNACK = [(690, 185), (690, 185), (694, 194), (701, 186), (662, 187)]
DRINK = [(594, 135), (594, 126), (613, 140), (610, 132), (594, 140)]
DISH_CART_X = [665, 656, 745, 760, 735]
PERFORMER = [(700, 500), (70, 177), (740, 500), (740, 500), (740, 500)]


def read(*parts):
    return png.read(os.path.join(ASSETS, *parts))


def opaque_box(image, left=0, top=0):
    """x0, y0, x1, y1 (exclusive) of the picture's non-transparent pixels, moved by (left, top)."""
    xs, ys = [], []
    for y in range(image.height):
        row = image.pixels[y * image.width:(y + 1) * image.width]
        hit = [x for x, p in enumerate(row) if p[3] > 24]
        if hit:
            xs += [hit[0], hit[-1]]
            ys.append(y)
    return (left + min(xs), top + min(ys), left + max(xs) + 1, top + max(ys) + 1) if xs else None


def centred(x, y, w, h):
    return (x - w // 2, y - h // 2, x + (w + 1) // 2, y + (h + 1) // 2)


def overlap(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def dark_regions(image, rows):
    """How many separate dark (window) regions the mask has in its top rows."""
    w = image.width
    dark = [image.pixels[i][0] < 128 for i in range(rows * w)]
    seen = [False] * len(dark)
    regions = 0
    for start in range(len(dark)):
        if not dark[start] or seen[start]:
            continue
        regions += 1
        stack = [start]
        seen[start] = True
        while stack:
            i = stack.pop()
            x = i % w
            for j in ((i - 1) if x > 0 else -1, (i + 1) if x < w - 1 else -1, i - w, i + w):
                if 0 <= j < len(dark) and dark[j] and not seen[j]:
                    seen[j] = True
                    stack.append(j)
    return regions


class Rooms(unittest.TestCase):
    def test_every_window_is_a_hole_of_its_own_inside_the_scenery_band(self):
        for name in ORDER:
            with self.subTest(restaurant=name):
                mask = read(name, "mask.png")
                self.assertEqual((mask.width, mask.height), (800, 600))
                self.assertEqual(dark_regions(mask, 150), len(_rooms.WINDOWS[name]),
                                 "a hole per window: none runs into another")
                below = [p for p in mask.pixels[150 * 800:] if p[0] < 128]
                self.assertEqual(below, [], "the scenery strip is 150 px tall: no window reaches below it")

    def test_backgrounds_are_transparent_exactly_where_the_mask_is_dark(self):
        for name in ORDER:
            with self.subTest(restaurant=name):
                room, mask = read(name, "background.png"), read(name, "mask.png")
                for i in range(0, 150 * 800, 7):
                    self.assertEqual(room.pixels[i][3] > 128, mask.pixels[i][0] > 128, "pixel %d" % i)


class Decor(unittest.TestCase):
    def frame_points(self, name):
        with open(os.path.join(ASSETS, name, "upgrades", "upgrades.xml"), encoding="utf-8") as f:
            text = f.read()
        return {m.group(1): (-int(m.group(2)), -int(m.group(3)))
                for m in re.finditer(r'name="(\d_\d)\.png" regx="(-?\d+)" regy="(-?\d+)"', text)}

    def test_upgrades_xml_places_each_picture_where_the_generator_drew_it_for(self):
        for name in ORDER:
            with self.subTest(restaurant=name):
                points = self.frame_points(name)
                for n, spot in _decor.spots(name).items():
                    for option in range(3):
                        self.assertEqual(points["%d_%d" % (n, option)], spot, "%d_%d" % (n, option))
                # Decor N is slot N - 1 and the chairs take the slot numbered as the
                # largest decor: a frame named without its picture would be a decor
                # the game looks for and never finds.
                for frame in points:
                    self.assertTrue(os.path.exists(os.path.join(ASSETS, name, "upgrades", frame + ".png")), frame)

    def test_every_decor_picture_shows_whole_on_the_screen_where_it_stands(self):
        # The content lint keeps each picture's border clear; the screen's own
        # edge must not cut what the picture holds either (a glow's faint end).
        for name in ORDER:
            for n, (x, y) in _decor.spots(name).items():
                for option in range(3):
                    with self.subTest(restaurant=name, picture="%d_%d" % (n, option)):
                        picture = read(name, "upgrades", "%d_%d.png" % (n, option))
                        off = [(i % picture.width + x, i // picture.width + y)
                               for i, p in enumerate(picture.pixels) if p[3]
                               and not (0 <= i % picture.width + x < 800 and 0 <= i // picture.width + y < 600)]
                        self.assertEqual(off[:1], [], "visible pixels off the 800x600 screen")

    def test_the_three_pictures_of_an_item_differ_and_share_a_size(self):
        for name in ORDER:
            for n in range(1, 5):
                with self.subTest(restaurant=name, item=n):
                    pictures = [read(name, "upgrades", "%d_%d.png" % (n, o)) for o in range(3)]
                    self.assertEqual(len({(p.width, p.height) for p in pictures}), 1)
                    self.assertEqual(len({tuple(p.pixels) for p in pictures}), 3)

    def test_items_stand_clear_of_each_other_the_windows_and_the_floors_stations(self):
        for r, name in enumerate(ORDER):
            mask = read(name, "mask.png")
            boxes = {}
            for n, (x, y) in _decor.spots(name).items():
                boxes[n] = opaque_box(read(name, "upgrades", "%d_0.png" % n), x, y)
            stations = {"dessert shelf": centred(*DESSERT[r], 60, 62), "snack shelf": centred(*SNACK[r], 60, 62),
                        "drink machine": centred(*DRINK[r], 60, 68), "high chair": centred(770, 275, 36, 54),
                        "mop": centred(775, 350, 24, 56), "dish cart": centred(DISH_CART_X[r], 185, 90, 80),
                        "performer": (PERFORMER[r][0] - 36, PERFORMER[r][1] - 88, PERFORMER[r][0] + 36,
                                      PERFORMER[r][1])}
            for n, box in boxes.items():
                with self.subTest(restaurant=name, item=n):
                    for m, other in boxes.items():
                        self.assertFalse(m != n and overlap(box, other), "item %d" % m)
                    for station, other in stations.items():
                        self.assertFalse(overlap(box, other), station)
                    x0, y0, x1, y1 = (max(0, v) for v in box)
                    through = [1 for y in range(y0, min(y1, 150)) for x in range(x0, min(x1, 800))
                               if mask.pixels[y * 800 + x][0] < 128]
                    self.assertEqual(through, [], "hangs over a window")


class Food(unittest.TestCase):
    def bytes_of(self, *parts):
        with open(os.path.join(ASSETS, *parts), "rb") as f:
            return f.read()

    def test_each_restaurant_serves_its_own_meal_dessert_and_drink(self):
        for kind in ("food/food.png", "food/dessert.png", "food/cup%d.png", "requests/request_dessert%d.png",
                     "furniture/dessert_shelf%d_a.png", "furniture/drinkstation%d_a.png", "props/cup_prop%d.png",
                     "props/dessert_prop%d.png"):
            with self.subTest(kind=kind):
                pictures = {self.bytes_of(name, kind.replace("%d", str(r + 1))) for r, name in enumerate(ORDER)}
                self.assertEqual(len(pictures), len(ORDER))

    def test_the_meal_is_eaten_frame_by_frame(self):
        for name in ORDER:
            with self.subTest(restaurant=name):
                sheet = read(name, "food", "food.png")
                self.assertGreater(len(set(sheet.pixels)), 20)

    def test_the_snack_guests_ask_for_is_the_cookie_the_shelf_holds(self):
        # The cookie in the bubble is the shelf's cookie: its dough colour is on both.
        dough = (0xe0, 0xb2, 0x5a)
        for r, name in enumerate(ORDER):
            with self.subTest(restaurant=name):
                for picture in (read(name, "requests", "request_snack%d.png" % (r + 1)),
                                read(name, "furniture", "snackstation%d_a.png" % (r + 1)),
                                read(name, "props", "snack_prop%d.png" % (r + 1))):
                    self.assertIn(dough, {p[:3] for p in picture.pixels})


def drawn(w, h, body):
    return svg.render(svg.document(w, h, body))


def chair(name, upgraded):
    return drawn(_furniture.CHAIR_W, _furniture.CHAIR_H, _furniture.chair(name, upgraded))


def table(name, seats, upgraded=False):
    tw, th = _furniture.LAYOUTS[seats]["size"]
    return drawn(tw + 2 * _furniture.PAD, th + 2 * _furniture.PAD + 12, _furniture.table(name, seats, upgraded))


def silhouette(image):
    return [p[3] > 128 for p in image.pixels]


def differing(a, b):
    """Pixels where two pictures of one size differ visibly (shape or colour)."""
    return sum(1 for p, q in zip(a.pixels, b.pixels) if max(abs(p[i] - q[i]) for i in range(4)) > 48)


class Furniture(unittest.TestCase):
    SEAT = tuple(int(style.PARTY["red"][i:i + 2], 16) for i in (1, 3, 5))

    def test_every_restaurant_has_a_table_and_chair_of_its_own(self):
        """Its own shape, not the same furniture in other colours."""
        def apart(pictures, least, what):
            shapes = {name: silhouette(picture) for name, picture in pictures.items()}
            for i, a in enumerate(ORDER):
                for b in ORDER[i + 1:]:
                    changed = sum(1 for p, q in zip(shapes[a], shapes[b]) if p != q)
                    self.assertGreater(changed, least, "%s and %s: the %s share a shape" % (a, b, what))
                    self.assertGreater(differing(pictures[a], pictures[b]), 4 * least, "%s, %s: %s" % (a, b, what))
        for seats in (2, 4, 6):
            apart({name: table(name, seats) for name in ORDER}, 60, "%d-seat tables" % seats)
        apart({name: chair(name, False) for name in ORDER}, 100, "chairs")

    def test_the_upgraded_chair_is_another_chair_not_a_trimmed_one(self):
        for name in ORDER:
            plain, upgraded = silhouette(chair(name, False)), silhouette(chair(name, True))
            changed = sum(1 for p, q in zip(plain, upgraded) if p != q)
            self.assertGreater(changed, 150, "%s: the upgraded chair keeps the plain one's shape" % name)

    def test_both_chairs_carry_the_party_colour_on_the_seat_under_the_guest(self):
        for name in ORDER:
            for upgraded in (False, True):
                image = chair(name, upgraded)
                seat = sum(1 for p in image.pixels if p[3] == 255 and tuple(p[:3]) == self.SEAT)
                self.assertGreater(seat, 100, "%s (upgraded %s): too little of the party colour" % (name, upgraded))
                # The guest sits at the chair's middle, 30 px up: her seat lies below that, on the chair.
                self.assertEqual(image.get(_furniture.CHAIR_W // 2 - 4, 35)[3], 255, "%s: no seat" % name)

    def test_plates_and_the_number_lie_on_every_table_top(self):
        for name in ORDER:
            for seats, layout in _furniture.LAYOUTS.items():
                tw, th = layout["size"]
                for upgraded in (False, True):
                    image = table(name, seats, upgraded)
                    rx, ry = image.width // 2, image.height // 2 - 6  # the registration point
                    spots = [(0, -4)] + [(-tw // 2 + 16 if cx < 0 else tw // 2 - 16, cy - 6)
                                         for cx, cy in layout["chairs"]]
                    for dx, dy in spots:
                        for ox, oy in ((-8, -5), (8, -5), (-8, 5), (8, 5), (0, 0)):  # a plate's rim
                            self.assertEqual(image.get(rx + dx + ox, ry + dy + oy)[3], 255,
                                             "%s %d seats: a plate at %d,%d hangs off the top" % (name, seats, dx, dy))


if __name__ == "__main__":
    unittest.main()
