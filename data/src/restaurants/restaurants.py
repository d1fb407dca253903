"""The dining furniture of every restaurant, one shared design recoloured by
the restaurant's colours: for "restaurants/NAME/":
- "tables/2top.anm", "4top.anm", "6top.anm" (frame 0 plain, frame 1
  upgraded; anchors chair1..N, plate1..N, heart, number, shadow, dirt),
  with "_upgrade" and "_highlight" overlays;
- "chairs/green.anm" + "green.png" (indexed; frame 0 plain, 1 upgraded;
  anchors sit, flag), a ".pal" per chair colour and the overlays
  "chairs/upgrade" and "chairs/highlight";
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
import sys

from qmcontent import anim, palette, palettes, png, style, svg

import _food


LOOKS = {  # table top, legs and trim, chair wood, upgraded trim
    "cruise": ("#f4f6f8", "#24395e", "#c79a3a", "#3f9bc4"),
    "train": ("#8a4a32", "#6b2e22", "#6b2e22", "#c79a3a"),
    "sub": ("#8a9aa3", "#1f6f73", "#5f6f78", "#f08a3c"),
    "blimp": ("#f6ecd2", "#c8363b", "#b98a5a", "#8cc7ee"),
    "spaceship": ("#c3c8d4", "#3b2666", "#7a7f8c", "#4ee2ec"),
}
NUMBERS = {"cruise": 1, "train": 2, "sub": 3, "blimp": 4, "spaceship": 5}

# Seats left and right of the table, from the top; x, y from its middle.
LAYOUTS = {
    2: {"size": (72, 60), "chairs": [(-52, -2), (52, -2)]},
    4: {"size": (80, 110), "chairs": [(-56, -28), (-56, 28), (56, -28), (56, 28)]},
    6: {"size": (84, 186), "chairs": [(-58, -62), (-58, 0), (-58, 62), (58, -62), (58, 0), (58, 62)]},
}
PAD = 10


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def table_picture(seats, look, upgraded):
    top, trim, _, fancy = look
    tw, th = LAYOUTS[seats]["size"]
    w, h = tw + 2 * PAD, th + 2 * PAD + 12
    x, y = PAD, PAD
    parts = [svg.rect(x + 6, y + th - 6, 6, 16, **svg.outlined(trim, 1.5)),
             svg.rect(x + tw - 12, y + th - 6, 6, 16, **svg.outlined(trim, 1.5)),
             svg.rect(x, y + 8, tw, th - 4, r=10, **svg.outlined(style.shade(top))),
             svg.rect(x, y, tw, th - 6, r=10, **svg.outlined(top)),
             svg.rect(x + 6, y + 5, tw * 0.45, 6, r=3, fill=style.light(top))]
    if upgraded:
        parts.append(svg.rect(x + 5, y + 5, tw - 10, th - 16, r=8, fill="none", stroke=fancy, stroke_width=3))
        parts.append(svg.ellipse(x + tw / 2, y + (th - 6) / 2, 7, 7, **svg.outlined(fancy, 1.5)))
    return render(w, h, "".join(parts)), (w // 2, h // 2 - 6)


def overlay(seats, colour, opacity):
    tw, th = LAYOUTS[seats]["size"]
    w, h = tw + 2 * PAD, th + 2 * PAD + 12
    return render(w, h, svg.rect(PAD - 4, PAD - 4, tw + 8, th + 2, r=14, fill="none", stroke=colour,
                                 stroke_width=5, stroke_opacity=opacity))


def write_tables(folder, look):
    os.makedirs(folder, exist_ok=True)
    for seats, layout in LAYOUTS.items():
        name = "%dtop" % seats
        tw, th = layout["size"]
        anchors = {"heart": (50, th // 2 + 22), "number": (0, -4),
                   "shadow": (6, 8), "dirt": (0, -6)}
        for i, (cx, cy) in enumerate(layout["chairs"], 1):
            anchors["chair%d" % i] = (cx, cy)
            anchors["plate%d" % i] = (-tw // 2 + 16 if cx < 0 else tw // 2 - 16, cy - 6)
        a = anim.Animation(name, image=name + ".png")
        for level in (0, 1):
            picture, reg = table_picture(seats, look, level == 1)
            a.frame("level%d" % level, picture, reg=reg, anchors=anchors)
        a.write(folder, name + ".anm")
        png.write(os.path.join(folder, name + "_upgrade.png"), overlay(seats, look[3], 0.9))
        png.write(os.path.join(folder, name + "_highlight.png"), overlay(seats, "#fff3a0", 0.8))


CHAIR_W, CHAIR_H = 40, 56


def chair_palette(look):
    wood = look[2]
    entries = palettes.figure_entries() + [
        ("wood", palette.hex_colour(wood)), ("wood_light", palette.hex_colour(style.light(wood))),
        ("wood_shade", palette.hex_colour(style.shade(wood))), ("trim", palette.hex_colour(look[3]))]
    return palette.Palette(entries + palettes.party_entries("seat"))


def chair_drawing(look, upgraded):
    red = style.PARTY["red"]
    seat_l, seat, seat_s = style.ramp(red)
    wood, wood_l, wood_s = style.light(look[2]), look[2], style.shade(look[2])
    parts = [svg.rect(6, 40, 5, 14, **svg.outlined(wood_s, 1.5)), svg.rect(28, 40, 5, 14, **svg.outlined(wood_s, 1.5)),
             # the back stands on the right: the chair faces left
             svg.rect(26, 4, 10, 40, r=4, **svg.outlined(seat)),
             svg.rect(28, 7, 3, 26, r=1.5, fill=seat_l),
             svg.rect(4, 32, 32, 11, r=4, **svg.outlined(seat)),
             svg.rect(6, 34, 16, 3, r=1.5, fill=seat_l),
             svg.rect(4, 41, 32, 4, r=2, **svg.outlined(wood, 1.5))]
    del seat_s, wood_l
    if upgraded:
        parts.append(svg.rect(26, 4, 10, 6, r=3, **svg.outlined(look[3], 1.5)))
    return svg.document(CHAIR_W, CHAIR_H, "".join(parts))


def write_chairs(folder, look):
    os.makedirs(folder, exist_ok=True)
    base = chair_palette(look)
    a = anim.Animation("chair", image="green.png")
    anchors = {"sit": (0, -30), "flag": (14, -30)}
    for level in (0, 1):
        a.frame("level%d" % level, palette.quantise(svg.render(chair_drawing(look, level == 1)), base),
                reg=(CHAIR_W // 2, CHAIR_H // 2), anchors=anchors)
    a.write(folder, "green.anm")
    for colour in style.CHAIR_ORDER:
        palette.write_riff(os.path.join(folder, colour + ".pal"), palettes.party_variant(base, colour, ["seat"]))
    png.write(os.path.join(folder, "upgrade.png"),
              render(CHAIR_W, CHAIR_H, svg.rect(24, 2, 14, 10, r=4, **svg.outlined(look[3], 1.5))))
    png.write(os.path.join(folder, "highlight.png"),
              render(CHAIR_W, CHAIR_H, svg.rect(2, 2, 36, 52, r=8, fill="none", stroke="#fff3a0", stroke_width=4)))


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
    for name, look in LOOKS.items():
        base = os.path.join(out, name)
        write_tables(os.path.join(base, "tables"), look)
        write_chairs(os.path.join(base, "chairs"), look)
        write_food(os.path.join(base, "food"), name, NUMBERS[name])
        write_requests(os.path.join(base, "requests"), name, NUMBERS[name])
    png.write(os.path.join(out, "tableshadow.png"),
              render(120, 150, svg.ellipse(60, 75, 56, 72, fill="#000000", fill_opacity=0.8)))


if __name__ == "__main__":
    main(sys.argv[1])
