"""The dining furniture of every restaurant, each room its own design
(_furniture.py): for "restaurants/NAME/":
- "tables/2top.anm", "4top.anm", "6top.anm" (frame 0 plain, frame 1
  upgraded; anchors chair1..N, plate1..N, heart, number, shadow, dirt),
  with the "_highlight" ring the decor choice lights;
- "chairs/green.anm" + "green.png" (indexed; frame 0 plain, 1 the upgraded
  chair the decor choice offers; anchors sit, flag), a ".pal" per chair
  colour and the ring "chairs/highlight";
- "food/food.anm" (6 frames: the restaurant's meal, full plate to empty),
  "food/dessert.anm" (3 frames: its dessert, whole to crumbs; registration
  point the plate's middle), "food/cupN.png" (its drink), all from _food.py;
- "requests/request_dessertN.png" (the same dessert the shelf holds),
  "requests/request_snackN.png" (the cookie);
where N is the restaurant's number (1 cruise ... 5 spaceship).
Also "restaurants/tableshadow.png".

Chairs face left; the game mirrors those on the left of a table. Anchors
are offsets from the registration point (the table's or chair's middle)."""
import os
import re
import sys

from qmcontent import anim, palette, palettes, png, style, svg

import _food
import _furniture


NUMBERS = {"cruise": 1, "train": 2, "sub": 3, "blimp": 4, "spaceship": 5}
LAYOUTS = _furniture.LAYOUTS
PAD = _furniture.PAD
CHAIR_W, CHAIR_H = _furniture.CHAIR_W, _furniture.CHAIR_H
HIGHLIGHT = "#fff3a0"


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def table_frame(seats):
    tw, th = LAYOUTS[seats]["size"]
    return tw + 2 * PAD, th + 2 * PAD + 12


def table_picture(name, seats, upgraded):
    w, h = table_frame(seats)
    return render(w, h, _furniture.table(name, seats, upgraded)), (w // 2, h // 2 - 6)


def highlight(seats):
    """The soft ring that lights a table while the decor choice points at it;
    it fades out before the picture's edge, as every halo over the scene."""
    tw, th = LAYOUTS[seats]["size"]
    w, h = table_frame(seats)
    return render(w, h, svg.rect(PAD - 4, PAD - 4, tw + 8, th + 2, r=14, fill="none", stroke=HIGHLIGHT,
                                 stroke_width=5, stroke_opacity=0.8))


def write_tables(folder, name):
    os.makedirs(folder, exist_ok=True)
    for seats, layout in LAYOUTS.items():
        table = "%dtop" % seats
        tw, th = layout["size"]
        anchors = {"heart": (50, th // 2 + 22), "number": (0, -4),
                   "shadow": (6, 8), "dirt": (0, -6)}
        for i, (cx, cy) in enumerate(layout["chairs"], 1):
            anchors["chair%d" % i] = (cx, cy)
            anchors["plate%d" % i] = (-tw // 2 + 16 if cx < 0 else tw // 2 - 16, cy - 6)
        a = anim.Animation(table, image=table + ".png")
        for level in (0, 1):
            picture, reg = table_picture(name, seats, level == 1)
            a.frame("level%d" % level, picture, reg=reg, anchors=anchors)
        a.write(folder, table + ".anm")
        png.write(os.path.join(folder, table + "_highlight.png"), highlight(seats))


def chair_palette(name):
    """Every colour either look of the chair is drawn in, then the seat's
    party ramp (which the colour palettes replace) and, where the chair
    throws light, that light half see-through."""
    party = set(style.ramp(style.PARTY["red"])) | {svg.OUTLINE}
    found = []
    for upgraded in (False, True):
        for colour in re.findall(r"#[0-9a-fA-F]{6}", _furniture.chair(name, upgraded)):
            colour = colour.lower()
            if colour not in party and colour not in found:
                found.append(colour)
    entries = palettes.figure_entries() + [("c%d" % i, palette.hex_colour(c)) for i, c in enumerate(found)]
    for colour in _furniture.glow_colours(name):
        entries += [("glow%d_%s" % (alpha, colour[1:]), palette.hex_colour(colour, alpha))
                    for alpha in _furniture.GLOW_ALPHAS]
    return palette.Palette(entries + palettes.party_entries("seat"))


def write_chairs(folder, name):
    os.makedirs(folder, exist_ok=True)
    base = chair_palette(name)
    a = anim.Animation("chair", image="green.png")
    anchors = {"sit": (0, -30), "flag": (14, -30)}
    for level in (0, 1):
        drawing = svg.document(CHAIR_W, CHAIR_H, _furniture.chair(name, level == 1))
        a.frame("level%d" % level, palette.quantise(svg.render(drawing), base),
                reg=(CHAIR_W // 2, CHAIR_H // 2), anchors=anchors)
    a.write(folder, "green.anm")
    for colour in style.CHAIR_ORDER:
        palette.write_riff(os.path.join(folder, colour + ".pal"), palettes.party_variant(base, colour, ["seat"]))
    png.write(os.path.join(folder, "highlight.png"),
              render(CHAIR_W, CHAIR_H, svg.rect(4, 4, CHAIR_W - 8, CHAIR_H - 8, r=8, fill="none", stroke=HIGHLIGHT,
                                                stroke_width=4, stroke_opacity=0.9)))


def write_food(folder, name, number):
    """The meal as it is eaten, the dessert likewise, and the guest's cup."""
    os.makedirs(folder, exist_ok=True)
    food = anim.Animation("food", image="food.png")
    for i in range(6):
        food.frame("bite%d" % i, render(28, 20, _food.meal(name, 1.0 - i / 5.0)), reg=(14, 10))
    food.write(folder, "food.anm")
    dessert = anim.Animation("dessert", image="dessert.png")
    w, h, cx, cy = _food.DESSERT_FRAME
    for i in range(3):
        dessert.frame("bite%d" % i, render(w, h, _food.dessert_plate(name, 1.0 - i / 2.0)), reg=(cx, cy))
    dessert.write(folder, "dessert.anm")
    png.write(os.path.join(folder, "cup%d.png" % number), render(22, 20, _food.drink(name, 11, 19, 1.0)))


def write_requests(folder, name, number):
    """What a guest's thought bubble shows: the dessert and the cookie the shelves hold."""
    os.makedirs(folder, exist_ok=True)
    png.write(os.path.join(folder, "request_dessert%d.png" % number), render(32, 30, _food.dessert(name, 16, 27, 1.45)))
    png.write(os.path.join(folder, "request_snack%d.png" % number), render(32, 30, _food.cookie(16, 16, 1.5)))


def main(out):
    for name in NUMBERS:
        base = os.path.join(out, name)
        write_tables(os.path.join(base, "tables"), name)
        write_chairs(os.path.join(base, "chairs"), name)
        write_food(os.path.join(base, "food"), name, NUMBERS[name])
        write_requests(os.path.join(base, "requests"), name, NUMBERS[name])
    png.write(os.path.join(out, "tableshadow.png"),
              render(120, 150, svg.ellipse(60, 75, 56, 72, fill="#000000", fill_opacity=0.8)))


if __name__ == "__main__":
    main(sys.argv[1])
