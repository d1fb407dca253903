"""Each restaurant's own dining table and chairs, drawn for restaurants.py.

Every design fills the same frames, so the game's seats, plates, dirty-table
overlay and hit areas line up in every room:
- a table for N seats is its top (LAYOUTS[N]["size"], seen from above and a
  little in front) at (PAD, PAD) in a frame PAD wider on each side and
  PAD + 12 taller below (its front edge and legs);
- a chair is 40 x 56 px, seen from the side, facing left: its back on the
  right, its seat's top near y = 32, its feet at the bottom.
`table(name, seats, upgraded)` and `chair(name, upgraded)` return SVG bodies;
a chair's seat (and the sling or upholstery that carries the party colour)
is drawn in `style.PARTY["red"]`'s ramp, which the chair palettes replace.
The upgraded chair is the one the decor choice offers by its name: deck
chairs on the cruise ship, velvet wing chairs in the train, captain's swivel
chairs in the sub, wicker peacock chairs in the blimp, hover chairs in the
spaceship."""
from qmcontent import style, svg
from qmcontent.svg import ellipse, path, rect

PAD = 10
CHAIR_W, CHAIR_H = 40, 56
LAYOUTS = {  # seats left and right of the table, from the top; x, y from its middle
    2: {"size": (72, 60), "chairs": [(-52, -2), (52, -2)]},
    4: {"size": (80, 110), "chairs": [(-56, -28), (-56, 28), (56, -28), (56, 28)]},
    6: {"size": (84, 186), "chairs": [(-58, -62), (-58, 0), (-58, 62), (58, -62), (58, 0), (58, 62)]},
}

TEAK = "#a8673a"
MAHOGANY = style.RESTAURANTS["train"]["mahogany"]
BRASS = style.RESTAURANTS["cruise"]["brass"]
NAVY = style.RESTAURANTS["cruise"]["navy"]
LINEN = "#fbfaf4"
LAMP = style.RESTAURANTS["train"]["lamp"]
VELVET = style.RESTAURANTS["train"]["velvet"]
STEEL = style.RESTAURANTS["sub"]["steel"]
TEAL = style.RESTAURANTS["sub"]["teal"]
PORTHOLE = style.RESTAURANTS["sub"]["porthole"]
FISH = style.RESTAURANTS["sub"]["fish"]
CREAM = style.RESTAURANTS["blimp"]["cream"]
TRIM = style.RESTAURANTS["blimp"]["trim"]
SKY = style.RESTAURANTS["blimp"]["sky"]
STRAW = "#d8b26a"
MOULD = "#f3f4fa"
SILVER = style.RESTAURANTS["spaceship"]["silver"]
VIOLET = style.RESTAURANTS["spaceship"]["violet"]
CYAN = style.RESTAURANTS["spaceship"]["cyan"]
PLANET = style.RESTAURANTS["spaceship"]["planet"]

# Half-seen light the spaceship's furniture throws on the floor: these
# colours stay see-through in the indexed chairs.
GLOW_ALPHAS = (70, 140)


def o(fill, width=svg.LINE):
    return svg.outlined(fill, width)


def light(c):
    return style.light(c)


def shade(c):
    return style.shade(c)


def seat_ramp():
    return style.ramp(style.PARTY["red"])  # light, base, shade


def glow_colours(name):
    return [CYAN] if name == "spaceship" else []


# ------------------------------------------------------------------ tables

def table(name, seats, upgraded):
    tw, th = LAYOUTS[seats]["size"]
    return TABLES[name](PAD, PAD, tw, th, seats, upgraded)


def plain_top(x, y, tw, th, colour, r=10):
    """Front edge in shade, then the top with a lit strip at the upper left."""
    return (rect(x, y + 8, tw, th - 4, r=r, **o(shade(colour)))
            + rect(x, y, tw, th - 6, r=r, **o(colour))
            + rect(x + 6, y + 5, tw * 0.45, 5, r=2.5, fill=light(colour)))


def cruise_table(x, y, tw, th, seats, upgraded):
    out = ""
    for lx in (x + 6, x + tw - 12):  # teak legs with brass shoes
        out += rect(lx, y + th - 6, 6, 16, **o(shade(TEAK), 1.5))
        out += rect(lx - 1, y + th + 6, 8, 4, r=1.5, **o(BRASS, 1.2))
    out += rect(x, y + 8, tw, th - 4, r=8, **o(shade(TEAK)))
    out += rect(x, y, tw, th - 6, r=8, **o(TEAK))
    # deck planks running the table's length, caulked dark, and a brass rim
    plank = tw / 5.0
    for k in range(1, 5):
        out += rect(x + k * plank - 0.75, y + 3, 1.5, th - 12, fill=shade(shade(TEAK)), opacity=0.55)
    out += rect(x + 3, y + 5, plank - 5, th * 0.35, r=2, fill=light(TEAK), opacity=0.7)
    out += rect(x + 2.5, y + 2.5, tw - 5, th - 11, r=6, fill="none", stroke=BRASS, stroke_width=2)
    if upgraded:  # a navy runner with brass corner plates
        out += rect(x + tw / 2 - 9, y + 4, 18, th - 14, r=3, **o(NAVY, 1.5))
        out += rect(x + tw / 2 - 6, y + 6, 12, th - 18, r=2, fill="none", stroke=light(NAVY), stroke_width=1)
        for cx in (x + 5, x + tw - 5):
            for cy in (y + 5, y + th - 11):
                out += ellipse(cx, cy, 3.5, 3.5, **o(BRASS, 1.2))
    return out


def train_table(x, y, tw, th, seats, upgraded):
    cloth = LINEN
    out = ""
    for lx in (x + 8, x + tw - 14):  # mahogany legs under the cloth
        out += rect(lx, y + th - 2, 6, 12, **o(shade(MAHOGANY), 1.5))
    # the cloth hangs over the front in soft folds
    fold = tw / 6.0
    d = "M %g %g L %g %g" % (x - 2, y + 6, x - 2, y + th + 2)
    for k in range(6):
        d += " Q %g %g %g %g" % (x - 2 + (k + 0.5) * fold + 0.33 * k, y + th + 7, x - 2 + (k + 1) * fold + 0.67, y + th + 2)
    d += " L %g %g Z" % (x + tw + 2, y + 6)
    out += path(d, **o(shade(cloth)))
    for k in range(1, 6):
        out += rect(x - 2 + k * fold, y + th - 4, 1.2, 8, fill=style.mix(shade(cloth), svg.OUTLINE, 0.25), opacity=0.5)
    out += rect(x - 2, y - 2, tw + 4, th - 2, r=6, **o(cloth))
    out += rect(x + 4, y + 3, tw * 0.4, 4, r=2, fill="#ffffff")
    # a brass-edged hem line and the little table lamp at the window end
    out += rect(x + 2, y + 2, tw - 4, th - 10, r=4, fill="none", stroke=style.mix(cloth, BRASS, 0.45), stroke_width=1.2)
    lx, ly = x + tw / 2, y + 9
    if upgraded:  # a velvet runner under a lit lamp
        out += rect(x + tw / 2 - 8, y + 4, 16, th - 14, r=2, **o(VELVET, 1.5))
        out += rect(x + tw / 2 - 5, y + 6, 10, th - 18, r=1.5, fill="none", stroke=BRASS, stroke_width=1)
        out += ellipse(lx, ly, 12, 9, fill=LAMP, opacity=0.45)
    out += ellipse(lx, ly + 3, 5, 2.5, **o(BRASS, 1.2))
    out += path("M %g %g L %g %g L %g %g L %g %g Z" % (lx - 6, ly + 1, lx - 3.5, ly - 6, lx + 3.5, ly - 6, lx + 6, ly + 1),
                **o(LAMP, 1.2))
    out += rect(lx - 2.5, ly - 5, 2, 4, fill=light(LAMP))
    return out


def sub_table(x, y, tw, th, seats, upgraded):
    out = ""
    # one bolted pedestal under the middle, on a round foot
    out += rect(x + tw / 2 - 5, y + th - 6, 10, 14, **o(shade(TEAL), 1.5))
    out += ellipse(x + tw / 2, y + th + 8, 14, 3.5, **o(TEAL, 1.5))
    out += rect(x, y + 8, tw, th - 4, r=6, **o(shade(STEEL)))
    out += rect(x, y, tw, th - 6, r=6, **o(STEEL))
    out += rect(x + 4, y + 4, tw - 8, th - 14, r=4, fill=light(STEEL))
    out += rect(x + 7, y + 7, tw - 14, th - 20, r=3, fill=STEEL)
    # rivets round the rim and along the front edge
    for k in range(int(tw // 14) + 1):
        rx = x + 5 + k * (tw - 10) / max(1, int(tw // 14))
        out += ellipse(rx, y + 3.5, 1.6, 1.6, fill=shade(STEEL))
        out += ellipse(rx, y + th - 2, 1.4, 1.4, fill=style.mix(shade(STEEL), svg.OUTLINE, 0.4))
    for k in range(1, int(th // 16)):
        ry = y + 3.5 + k * (th - 12) / int(th // 16)
        out += ellipse(x + 3.5, ry, 1.6, 1.6, fill=shade(STEEL))
        out += ellipse(x + tw - 3.5, ry, 1.6, 1.6, fill=shade(STEEL))
    if upgraded:  # fish-orange piping and a porthole-glass inlay at each end
        out += rect(x + 7, y + 7, tw - 14, th - 20, r=3, fill="none", stroke=FISH, stroke_width=2)
        for cy in (y + 15, y + th - 21):
            out += ellipse(x + tw / 2, cy, 6, 5, **o(PORTHOLE, 1.5))
            out += ellipse(x + tw / 2 - 2, cy - 1.5, 2, 1.5, fill="#ffffff")
    return out


def blimp_table(x, y, tw, th, seats, upgraded):
    out = ""
    for lx in (x + 6, x + tw - 11):  # slim cane legs
        out += rect(lx, y + th - 6, 5, 16, r=2, **o(shade(STRAW), 1.5))
    out += rect(x, y + 8, tw, th - 4, r=12, **o(shade(STRAW)))
    # the woven front band
    for k in range(int(tw // 6)):
        out += rect(x + 3 + k * 6, y + th - 3, 3, 4, fill=light(STRAW), opacity=0.8)
    out += rect(x, y, tw, th - 6, r=12, **o(STRAW))
    # wicker weave on the top: a light lattice
    weave = style.mix(STRAW, "#ffffff", 0.45)
    strands = ""
    for k in range(-int(th // 8), int(tw // 8) + 2):
        x0 = x + 4 + k * 8
        strands += path("M %g %g L %g %g" % (x0, y + 4, x0 + (th - 14), y + th - 10), stroke=weave, stroke_width=1.2,
                        opacity=0.6, fill="none")
    clip = "weave%d" % seats
    out += svg.defs('<clipPath id="%s">%s</clipPath>' % (clip, rect(x + 2, y + 2, tw - 4, th - 10, r=10)))
    out += svg.group(strands, clip_path="url(#%s)" % clip)
    out += rect(x + 1, y + 1, tw - 2, th - 8, r=11, fill="none", stroke=STRAW, stroke_width=4)
    # cream cloth with a red trim
    out += rect(x + 7, y + 6, tw - 14, th - 18, r=6, **o(CREAM, 1.5))
    out += rect(x + 10, y + 9, tw - 20, th - 24, r=4, fill="none", stroke=TRIM, stroke_width=1.5)
    out += rect(x + 10, y + 9, tw * 0.3, 3, r=1.5, fill=light(CREAM))
    if upgraded:  # a sky-blue runner with red tassels
        out += rect(x + tw / 2 - 7, y + 6, 14, th - 18, **o(SKY, 1.2))
        for cy in (y + 5, y + th - 12):
            out += ellipse(x + tw / 2, cy, 3, 2, **o(TRIM, 1))
    return out


def spaceship_table(x, y, tw, th, seats, upgraded):
    out = ""
    # the pedestal's light on the floor, then the pedestal
    out += ellipse(x + tw / 2, y + th + 6, tw / 2 - 4, 5, fill=CYAN, opacity=0.35)
    out += path("M %g %g L %g %g L %g %g L %g %g Z" % (x + tw / 2 - 8, y + th - 6, x + tw / 2 - 4, y + th + 7,
                                                         x + tw / 2 + 4, y + th + 7, x + tw / 2 + 8, y + th - 6),
                **o(SILVER, 1.5))
    out += rect(x, y + 8, tw, th - 4, r=18, **o(shade(MOULD)))
    # the cyan light strip along the front edge
    out += rect(x + 10, y + th - 1, tw - 20, 2.5, r=1.2, fill=CYAN)
    out += rect(x, y, tw, th - 6, r=18, **o(MOULD))
    out += rect(x + 8, y + 4, tw * 0.45, 5, r=2.5, fill="#ffffff")
    out += rect(x + 4, y + 4, tw - 8, th - 14, r=14, fill="none", stroke=SILVER, stroke_width=1.5)
    if upgraded:  # a violet inlay with the planets' lights
        out += rect(x + tw / 2 - 8, y + 8, 16, th - 22, r=8, **o(VIOLET, 1.5))
        for k in range(max(2, seats // 2 + 1)):
            cy = y + 14 + k * (th - 34) / max(1, seats // 2)
            out += ellipse(x + tw / 2, cy, 2.5, 2.5, fill=PLANET if k % 2 else CYAN)
    return out


TABLES = {"cruise": cruise_table, "train": train_table, "sub": sub_table, "blimp": blimp_table,
          "spaceship": spaceship_table}


# ------------------------------------------------------------------ chairs

def chair(name, upgraded):
    return CHAIRS[name][1 if upgraded else 0]()


def cruise_chair():
    """A teak deck-dining chair: slatted back, brass shoes, cushion in the party colour."""
    lit, seat, _ = seat_ramp()
    out = rect(7, 42, 5, 11, **o(shade(TEAK), 1.5)) + rect(27, 42, 5, 11, **o(shade(TEAK), 1.5))
    out += rect(6, 51, 7, 3, r=1, **o(BRASS, 1)) + rect(26, 51, 7, 3, r=1, **o(BRASS, 1))
    out += rect(27, 5, 9, 40, r=3, **o(TEAK))
    for sy in (11, 18, 25):  # the slats of the back
        out += rect(28.5, sy, 6, 3, r=1, fill=shade(TEAK))
    out += rect(28.5, 6.5, 2.5, 28, r=1, fill=light(TEAK))
    out += rect(4, 39, 32, 6, r=2, **o(TEAK, 1.5))
    out += rect(4, 31, 26, 10, r=4, **o(seat))
    out += rect(7, 33, 13, 3, r=1.5, fill=lit)
    return out


def cruise_deck_chair():
    """A folding deck chair: a striped canvas sling in the party colour on a teak frame."""
    lit, seat, _ = seat_ramp()
    out = path("M 6 54 L 30 20", stroke=svg.OUTLINE, stroke_width=5, stroke_linecap="round")
    out += path("M 6 54 L 30 20", stroke=shade(TEAK), stroke_width=2.5, stroke_linecap="round")
    out += path("M 33 54 L 14 30", stroke=svg.OUTLINE, stroke_width=5, stroke_linecap="round")
    out += path("M 33 54 L 14 30", stroke=TEAK, stroke_width=2.5, stroke_linecap="round")
    # the sling: from the front bar down into a dip, then up the reclined back
    sling = "M 2 34 Q 16 47 28 41 L 39 5 L 27 2 L 19 31 Q 12 34 4 29 Z"
    out += path(sling, **o(seat))
    out += path("M 34.5 5 L 25.5 37", stroke=LINEN, stroke_width=1.8, fill="none")
    out += path("M 29.5 4.5 L 21.5 32", stroke=lit, stroke_width=1.5, fill="none")
    out += rect(2, 29, 8, 4, r=2, **o(TEAK, 1.5))       # the front bar
    out += rect(28, 1.5, 12, 4, r=2, **o(TEAK, 1.5))    # the head bar
    out += rect(14, 22, 14, 3.5, r=1.5, **o(TEAK, 1.2))  # the arm
    out += ellipse(14, 30, 2, 2, **o(BRASS, 1))
    return out


def train_chair():
    """A dining-car chair: mahogany frame, upholstered seat and back in the party colour."""
    lit, seat, _ = seat_ramp()
    out = rect(6, 42, 4, 12, r=1.5, **o(shade(MAHOGANY), 1.5)) + rect(29, 42, 4, 12, r=1.5, **o(shade(MAHOGANY), 1.5))
    out += path("M 25 46 L 25 10 Q 25 2 31 2 Q 37 2 37 10 L 37 46 Z", **o(MAHOGANY))
    out += path("M 27.5 34 L 27.5 11 Q 27.5 5.5 31 5.5 Q 34.5 5.5 34.5 11 L 34.5 34 Z", **o(seat, 1.5))
    out += rect(29, 9, 2, 20, r=1, fill=lit)
    out += rect(4, 39, 32, 6, r=2, **o(MAHOGANY, 1.5))
    out += rect(4, 32, 27, 9, r=4, **o(seat))
    out += rect(7, 34, 13, 2.5, r=1.2, fill=lit)
    return out


def train_velvet_chair():
    """A velvet wing chair: a tall buttoned back and a rolled arm, brass studs, short mahogany legs."""
    lit, seat, dark = seat_ramp()
    out = rect(6, 46, 5, 8, r=2, **o(shade(MAHOGANY), 1.5)) + rect(28, 46, 5, 8, r=2, **o(shade(MAHOGANY), 1.5))
    # the wing back, rounded at the top, deep in the party colour
    out += path("M 22 46 L 22 12 Q 22 1 31 1 Q 39 1 39 12 L 39 46 Z", **o(seat))
    out += path("M 25 40 L 25 13 Q 25 5 31 5", stroke=lit, stroke_width=2, fill="none")
    for bx, by in ((28, 12), (34, 12), (31, 19), (28, 26), (34, 26), (31, 33)):  # tufting
        out += ellipse(bx, by, 1.3, 1.3, fill=dark)
    # the seat cushion and the rolled arm in front of the back
    out += rect(2, 34, 32, 13, r=5, **o(seat))
    out += rect(5, 36, 15, 3, r=1.5, fill=lit)
    out += rect(2, 44, 34, 4, r=2, **o(MAHOGANY, 1.5))
    for sx in range(5, 35, 5):
        out += ellipse(sx, 46, 1, 1, fill=BRASS)
    out += path("M 13 37 L 13 28 Q 13 23 19 23 L 26 23 L 26 37 Z", **o(seat, 1.5))
    out += path("M 16 35 L 16 29 Q 16 26 19 26 L 24 26", stroke=lit, stroke_width=1.5, fill="none")
    out += path("M 13 28 Q 13 23 19 23", stroke=dark, stroke_width=2.5, fill="none")  # the rolled arm's end
    return out


def sub_chair():
    """A riveted steel chair: tube legs, a plate back with rivets, a pad in the party colour."""
    lit, seat, _ = seat_ramp()
    out = rect(7, 42, 4, 12, **o(shade(STEEL), 1.5)) + rect(28, 42, 4, 12, **o(shade(STEEL), 1.5))
    out += rect(4, 52, 30, 3, r=1.5, **o(TEAL, 1.2))
    out += rect(27, 6, 9, 39, r=2, **o(STEEL))
    out += rect(28.5, 8, 2.5, 30, fill=light(STEEL))
    for ry in (9, 17, 25, 33):
        out += ellipse(33.5, ry, 1.2, 1.2, fill=shade(shade(STEEL)))
    out += rect(4, 40, 32, 5, r=1.5, **o(STEEL, 1.5))
    for rx in (8, 16, 24):
        out += ellipse(rx, 42.5, 1, 1, fill=shade(shade(STEEL)))
    out += rect(5, 32, 25, 9, r=3, **o(seat))
    out += rect(8, 34, 11, 2.5, r=1.2, fill=lit)
    return out


def sub_captains_chair():
    """A captain's swivel chair: a high round back on a steel shell, arm rests, one post on a foot plate."""
    lit, seat, dark = seat_ramp()
    out = ellipse(20, 51, 15, 3.5, **o(TEAL, 1.5))
    out += rect(17, 40, 7, 12, **o(shade(STEEL), 1.5))
    out += rect(15, 43, 11, 3, r=1, **o(FISH, 1))  # the swivel's lever ring
    # the steel shell with rivets, the upholstered back inside it
    out += path("M 22 44 L 22 10 Q 22 1 31 1 Q 39 1 39 10 L 39 44 Z", **o(STEEL))
    for ry in (6, 14, 22, 30, 38):
        out += ellipse(37, ry, 1.1, 1.1, fill=shade(shade(STEEL)))
    out += path("M 25 38 L 25 11 Q 25 5 30.5 5 Q 35 5 35 11 L 35 38 Z", **o(seat, 1.5))
    out += rect(27, 9, 2, 22, r=1, fill=lit)
    out += rect(3, 32, 31, 10, r=4, **o(seat))
    out += rect(6, 34, 14, 2.5, r=1.2, fill=lit)
    out += rect(3, 39, 33, 5, r=2, **o(STEEL, 1.5))
    # the arm: a steel bar with a padded top
    out += rect(11, 25, 4, 15, **o(shade(STEEL), 1.2))
    out += rect(8, 22, 17, 5, r=2.5, **o(dark, 1.5))
    return out


def blimp_chair():
    """A light bentwood chair in cream with a red trim, its seat in the party colour."""
    lit, seat, _ = seat_ramp()
    out = path("M 8 54 Q 7 46 9 42", stroke=svg.OUTLINE, stroke_width=4.5, fill="none", stroke_linecap="round")
    out += path("M 8 54 Q 7 46 9 42", stroke=CREAM, stroke_width=2, fill="none", stroke_linecap="round")
    out += path("M 31 54 Q 33 46 31 42", stroke=svg.OUTLINE, stroke_width=4.5, fill="none", stroke_linecap="round")
    out += path("M 31 54 Q 33 46 31 42", stroke=CREAM, stroke_width=2, fill="none", stroke_linecap="round")
    # the bent back: one loop of cream wood with a red stripe
    loop = "M 28 42 L 28 12 Q 28 3 33 3 Q 38 3 38 12 L 38 42"
    out += path(loop, stroke=svg.OUTLINE, stroke_width=7, fill="none", stroke_linecap="round")
    out += path(loop, stroke=CREAM, stroke_width=4, fill="none", stroke_linecap="round")
    out += path("M 33 10 L 33 38", stroke=TRIM, stroke_width=2)
    out += ellipse(33, 22, 4, 8, **o(seat, 1.5))  # the back's cushion
    out += ellipse(32, 19, 1.2, 3, fill=lit)
    out += rect(4, 39, 32, 5, r=2.5, **o(CREAM, 1.5))
    out += path("M 6 41.5 L 34 41.5", stroke=TRIM, stroke_width=1.2)
    out += rect(5, 32, 26, 8, r=4, **o(seat))
    out += rect(8, 33.5, 12, 2.5, r=1.2, fill=lit)
    return out


def blimp_wicker_chair():
    """A wicker peacock chair: a woven fan back and a round woven skirt, a cushion in the party colour."""
    lit, seat, _ = seat_ramp()
    weave = shade(STRAW)
    out = path("M 5 54 L 9 42 L 33 42 L 37 54 Z", **o(STRAW, 1.5))
    for k in range(6):
        out += path("M %g 43 L %g 53" % (11 + k * 4, 9 + k * 4.6), stroke=weave, stroke_width=1)
    # the fan back, woven in rings and spokes
    out += path("M 22 44 Q 14 20 24 6 Q 31 -1 38 4 Q 41 24 38 44 Z", **o(STRAW))
    for k in range(4):
        out += path("M %g 43 Q %g 22 %g %g" % (24 + k * 3.5, 21 + k * 4.5, 26 + k * 3.5, 6 - k * 0.6),
                    stroke=weave, stroke_width=1, fill="none")
    for yy in (12, 20, 28, 36):
        out += path("M %g %g L %g %g" % (20 + (36 - yy) * 0.15, yy, 39.5 - (36 - yy) * 0.02, yy), stroke=light(STRAW),
                    stroke_width=1.3, opacity=0.9)
    out += rect(3, 38, 33, 6, r=3, **o(STRAW, 1.5))
    out += rect(4, 31, 28, 9, r=4.5, **o(seat))
    out += rect(7, 32.5, 13, 2.5, r=1.2, fill=lit)
    return out


def spaceship_chair():
    """A moulded white shell chair on a silver post, a cyan light under its rim."""
    lit, seat, _ = seat_ramp()
    out = ellipse(20, 52, 13, 3, **o(SILVER, 1.5))
    out += rect(18, 40, 5, 12, **o(shade(SILVER), 1.5))
    out += path("M 3 34 Q 3 44 14 45 L 32 45 Q 38 44 38 34 L 38 10 Q 38 3 32 3 Q 27 3 27 10 L 27 33 Z",
                **o(MOULD))
    out += rect(29.5, 9, 6, 22, r=3, **o(seat, 1.5))  # the back's pad
    out += rect(31, 11, 1.8, 12, r=0.9, fill=lit)
    out += path("M 8 44.5 L 33 44.5", stroke=CYAN, stroke_width=1.5)
    out += rect(5, 31, 24, 8, r=4, **o(seat))
    out += rect(8, 32.5, 11, 2.5, r=1.2, fill=lit)
    return out


def spaceship_hover_chair():
    """A hover chair: a shell with no legs over its own pool of cyan light, a glowing pod beneath."""
    lit, seat, _ = seat_ramp()
    out = ellipse(20, 51, 17, 4.5, fill=CYAN, opacity=0.3)
    out += ellipse(20, 51, 10, 2.5, fill=CYAN, opacity=0.6)
    out += path("M 13 42 L 27 42 L 24 47 L 16 47 Z", **o(SILVER, 1.5))
    out += ellipse(20, 47.5, 3, 1.5, fill=CYAN)
    out += path("M 2 30 Q 2 42 14 43 L 32 43 Q 39 42 39 32 L 39 8 Q 39 1 32 1 Q 26 1 26 8 L 26 29 Z",
                **o(MOULD))
    out += rect(28.5, 7, 7, 22, r=3.5, **o(seat, 1.5))
    out += rect(30, 9, 1.8, 12, r=0.9, fill=lit)
    out += path("M 30 36 L 36 36", stroke=VIOLET, stroke_width=2.5, stroke_linecap="round")
    out += path("M 7 42.5 L 34 42.5", stroke=CYAN, stroke_width=2)
    out += rect(4, 28, 25, 9, r=4.5, **o(seat))
    out += rect(7, 29.5, 12, 2.5, r=1.2, fill=lit)
    return out


CHAIRS = {"cruise": (cruise_chair, cruise_deck_chair), "train": (train_chair, train_velvet_chair),
          "sub": (sub_chair, sub_captains_chair), "blimp": (blimp_chair, blimp_wicker_chair),
          "spaceship": (spaceship_chair, spaceship_hover_chair)}

