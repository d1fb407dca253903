"""The rooms: each restaurant's back wall with its windows, its kitchen pass,
its floor and its props, drawn as a softly shaded backdrop (no outline,
colours a little greyed so the floor's actors stand out).

The play field keeps its places: the wall band with the windows is the top
150 px (the scenery strip behind it is that tall); the cook stands in the
kitchen pass in the middle of the wall, the food trays come up on its counter
(x 282-636, top at y 124-170); the ticket spike sits at the counter's left
end and the drink machine at its right end; the tables stand on the floor
below y 180; the line of waiting parties stands along the left edge. The
decor upgrades hang where DECOR places them (wall and top-left corner), so
the room itself keeps those spots plain."""
from qmcontent import style, svg
from qmcontent.svg import Random, ellipse, group, linear_gradient, path, polygon, rect

W, H = 800, 600
WALL = 150         # the wall band; the scenery strip behind it is this tall
FLOOR_TOP = 152    # where the floor meets the wall's skirting
PASS = (324, 12, 176, 114)       # the kitchen's opening in the wall: x, y, w, h
COUNTER = (282, 124, 354, 46)    # the counter's top: x, y, w, h (its front below)
COUNTER_FRONT = 16


def soft(colour, amount=0.18):
    """A backdrop colour: greyed a little and lifted towards the room's light."""
    grey = style.mix(colour, "#9a9494", amount)
    return grey


def colours(name):
    return list(style.RESTAURANTS[name].values())


# ---------------------------------------------------------------- windows

# Window holes per restaurant: ("circle", cx, cy, r) or ("rect", x, y, w, h, r).
WINDOWS = {
    "cruise": [("circle", 64, 62, 38), ("circle", 246, 62, 38), ("circle", 682, 62, 38)],
    "train": [("rect", 22, 30, 84, 80, 12), ("rect", 214, 30, 84, 80, 12), ("rect", 632, 30, 84, 80, 12)],
    "sub": [("circle", 66, 64, 40), ("circle", 250, 64, 38), ("circle", 680, 64, 40)],
    "blimp": [("rect", 14, 18, 92, 104, 32), ("rect", 204, 18, 92, 104, 32), ("rect", 624, 18, 92, 104, 32)],
    "spaceship": [("rect", 14, 16, 98, 104, 40), ("rect", 200, 16, 98, 104, 40), ("rect", 620, 16, 102, 104, 40)],
}


def gap(name):
    """The middle of the wall between the first two windows."""
    a = window_box(WINDOWS[name][0])
    b = window_box(WINDOWS[name][1])
    return (a[2] + b[0]) / 2.0


def window_box(spec):
    """x0, y0, x1, y1 of a window hole."""
    if spec[0] == "circle":
        _, cx, cy, r = spec
        return cx - r, cy - r, cx + r, cy + r
    _, x, y, w, h, _ = spec
    return x, y, x + w, y + h


def hole(spec, grow=0, **kw):
    if spec[0] == "circle":
        _, cx, cy, r = spec
        return ellipse(cx, cy, r + grow, r + grow, **kw)
    _, x, y, w, h, r = spec
    return rect(x - grow, y - grow, w + 2 * grow, h + 2 * grow, r=r + grow, **kw)


# ---------------------------------------------------------------- helpers

def shadow_band(y, h, opacity, gid):
    """A soft shade falling from a wall's foot onto the floor."""
    return (svg.defs(linear_gradient(gid, [(0, "#1c1420", opacity), (1, "#1c1420", 0)]))
            + rect(0, y, W, h, fill="url(#%s)" % gid))


def light_pool(cx, cy, rx, ry, colour, opacity, gid):
    return (svg.defs(svg.radial_gradient(gid, [(0, colour, opacity), (0.6, colour, opacity * 0.45), (1, colour, 0)]))
            + ellipse(cx, cy, rx, ry, fill="url(#%s)" % gid))


def planks(y0, y1, height, base, rnd, seam, length=(90, 220)):
    """Floor boards running left to right, each a slightly different tone."""
    out = ""
    y = y0
    while y < y1:
        x = -rnd.uniform(0, 150)
        while x < W:
            n = rnd.uniform(*length)
            tone = style.mix(base, "#ffffff" if rnd.next() % 2 else "#000000", rnd.uniform(0.0, 0.06))
            out += rect(x, y, n, height, fill=tone)
            out += rect(x, y, 1.5, height, fill=seam)
            x += n
        out += rect(0, y + height - 1.5, W, 1.5, fill=seam)
        y += height
    return out


def rivets(points, colour, r=2.0):
    return "".join(ellipse(x, y, r, r, fill=colour) + ellipse(x - 0.6, y - 0.6, r * 0.45, r * 0.45,
                                                             fill=style.light(colour)) for x, y in points)


def skirting(colour, y=WALL - 4, h=8):
    return rect(0, y, W, h, fill=colour) + rect(0, y, W, 2, fill=style.light(colour))


def side_walls(colour):
    """The room's side walls seen edge-on: narrow strips that fade into the floor."""
    colour = style.mix(colour, "#6a5a5a", 0.35)
    left = polygon([(0, WALL), (8, WALL + 8), (8, H), (0, H)], fill=colour)
    right = polygon([(W, WALL), (W - 8, WALL + 8), (W - 8, H), (W, H)], fill=colour)
    return left + right + rect(8, WALL + 8, 2, H, fill=style.shade(colour), opacity=0.6) + rect(
        W - 10, WALL + 8, 2, H, fill=style.shade(colour), opacity=0.6)


def kitchen(name, back, frame, counter_top, counter_front, trim):
    """The kitchen seen through the pass: tiles, a hood, pans and steam; then
    the counter where the food comes up."""
    x, y, w, h = PASS
    out = rect(x - 8, y - 8, w + 16, h + 12, r=8, fill=frame)
    back = style.mix(back, frame, 0.22)
    out += rect(x, y, w, h, r=4, fill=back)
    out += svg.defs(linear_gradient("deep" + name, [(0, "#1c1420", 0.28), (0.5, "#1c1420", 0.05), (1, "#1c1420", 0)]))
    # tiles on the kitchen's back wall
    for ty in range(y + 6, y + h, 14):
        out += rect(x, ty, w, 1, fill=style.shade(back), opacity=0.45)
    for tx in range(x + 10, x + w, 16):
        out += rect(tx, y, 1, h, fill=style.shade(back), opacity=0.3)
    # the hood over the stove and a shelf of pots
    out += polygon([(x + 52, y), (x + 124, y), (x + 116, y + 22), (x + 60, y + 22)], fill=style.mix(trim, back, 0.2))
    out += rect(x + 58, y + 22, 60, 4, fill=style.shade(trim))
    out += rect(x + 6, y + 34, 40, 3, fill=style.shade(frame))
    out += ellipse(x + 16, y + 30, 7, 5, fill=style.mix("#8a9aa3", back, 0.2))
    out += ellipse(x + 34, y + 31, 6, 4, fill=style.mix("#c79a3a", back, 0.25))
    out += rect(x + w - 44, y + 34, 38, 3, fill=style.shade(frame))
    for k, colour in enumerate(("#e0606a", "#f4c430", "#80d192")):
        out += rect(x + w - 40 + k * 12, y + 24, 8, 10, r=2, fill=style.mix(colour, back, 0.3))
    # hanging ladles
    for k in range(3):
        lx = x + 132 + k * 9
        out += rect(lx, y + 4, 1.5, 18 + 3 * k, fill=style.mix("#8a9aa3", back, 0.3))
        out += ellipse(lx + 0.7, y + 24 + 3 * k, 3, 2.5, fill=style.mix("#8a9aa3", back, 0.3))
    out += KITCHEN_TOUCH[name](x, y, w, h, back)
    out += rect(x, y, w, h, r=4, fill="url(#deep%s)" % name)
    # steam
    for k, sx in enumerate((x + 70, x + 96)):
        out += path("M%d %d q-6 -8 0 -16 q6 -8 0 -16" % (sx, y + 70 - k * 6), stroke="#ffffff", stroke_width=3,
                    fill="none", opacity=0.35, stroke_linecap="round")
    # the counter in front
    cx, cy, cw, ch = COUNTER
    out += rect(cx + 4, cy + ch + COUNTER_FRONT - 2, cw - 4, 8, fill="#1c1420", opacity=0.18)
    out += rect(cx, cy + ch - 2, cw, COUNTER_FRONT + 2, r=3, fill=counter_front)
    out += COUNTER_FRONTS[name](cx, cy + ch, cw, COUNTER_FRONT, counter_front, trim)
    out += rect(cx, cy, cw, ch, r=5, fill=counter_top)
    out += rect(cx + 6, cy + 4, cw - 12, 3, r=1.5, fill=style.light(counter_top), opacity=0.8)
    out += rect(cx, cy + ch - 4, cw, 4, fill=trim)
    return out


def _galley_porthole(x, y, w, h, back):
    return (ellipse(x + w - 24, y + 58, 12, 12, fill=style.mix("#c79a3a", back, 0.3))
            + ellipse(x + w - 24, y + 58, 8, 8, fill=style.mix("#7fc4e0", back, 0.25)))


def _menu_board(x, y, w, h, back):
    out = rect(x + w - 40, y + 46, 30, 24, r=2, fill=style.mix("#2f3a34", back, 0.2))
    for k in range(3):
        out += rect(x + w - 35, y + 52 + k * 6, 20 - 4 * k, 1.5, fill="#ffffff", opacity=0.6)
    return out


def _pipe_and_gauge(x, y, w, h, back):
    steel = style.mix("#8a9aa3", back, 0.3)
    return (rect(x, y + 40, w, 5, fill=steel) + ellipse(x + w - 26, y + 60, 8, 8, fill=style.mix("#f4f6f8", back, 0.2))
            + path("M%g %g l4 -4" % (x + w - 26, y + 60), stroke="#c8283b", stroke_width=1.5))


def _cake_stand(x, y, w, h, back):
    return (rect(x + w - 30, y + 62, 2, 10, fill=style.mix("#c79a3a", back, 0.3))
            + ellipse(x + w - 29, y + 62, 12, 3, fill=style.mix("#ffffff", back, 0.2))
            + ellipse(x + w - 29, y + 56, 8, 6, fill=style.mix("#f7b8cc", back, 0.25)))


def _screen_panel(x, y, w, h, back):
    out = rect(x + w - 44, y + 44, 34, 24, r=4, fill=style.mix("#1b1236", back, 0.2))
    out += path("M%g %g l6 -6 l6 4 l8 -10 l6 6" % (x + w - 40, y + 62), stroke="#4ee2ec", stroke_width=1.5,
                fill="none", opacity=0.8)
    return out


def _front_portholes(x, y, w, h, face, trim):
    return "".join(ellipse(px, y + h / 2, 4, 4, fill=style.light(face), opacity=0.6)
                   for px in range(int(x) + 24, int(x + w) - 10, 48))


def _front_panels(x, y, w, h, face, trim):
    return "".join(rect(px, y + 3, 40, h - 6, r=2, fill=style.light(face), opacity=0.25)
                   for px in range(int(x) + 8, int(x + w) - 40, 50))


def _front_rivets(x, y, w, h, face, trim):
    return rivets([(px, y + h / 2) for px in range(int(x) + 10, int(x + w) - 4, 22)], style.light(face), 1.5)


def _front_scallops(x, y, w, h, face, trim):
    return "".join(path("M%d %g q8 8 16 0" % (px, y + 3), stroke="#ffffff", stroke_width=1.5, fill="none",
                        opacity=0.5) for px in range(int(x) + 6, int(x + w) - 16, 20))


def _front_light(x, y, w, h, face, trim):
    return rect(x + 10, y + h / 2 - 1, w - 20, 2.5, r=1, fill=trim, opacity=0.8)


COUNTER_FRONTS = {"cruise": _front_portholes, "train": _front_panels, "sub": _front_rivets,
                  "blimp": _front_scallops, "spaceship": _front_light}

KITCHEN_TOUCH = {"cruise": _galley_porthole, "train": _menu_board, "sub": _pipe_and_gauge, "blimp": _cake_stand,
                 "spaceship": _screen_panel}


# ---------------------------------------------------------------- cruise

def cruise():
    navy, white, brass, sea = colours("cruise")
    rnd = Random(1)
    wall = soft(white, 0.1)
    body = rect(0, 0, W, WALL, fill=wall)
    # steel panels of the deckhouse
    for x in range(0, W, 100):
        body += rect(x, 0, 1.5, 112, fill=style.mix(wall, navy, 0.12))
    body += rect(0, 0, W, 8, fill=soft(navy))
    # a line of signal flags under the ceiling
    flag_colours = ["#c8283b", "#f4c430", "#3a7de0", "#ffffff", "#4fbf68"]
    for x0, x1 in ((0, 310), (510, W)):
        body += path("M%d 10 Q%d 22 %d 10" % (x0, (x0 + x1) / 2, x1), stroke=style.mix(navy, wall, 0.4),
                     stroke_width=1, fill="none")
        for k, fx in enumerate(range(x0 + 12, x1 - 10, 26)):
            t = (fx - x0) / float(x1 - x0)
            fy = 10 + 12 * 4 * t * (1 - t)
            body += polygon([(fx, fy), (fx + 14, fy), (fx + 7, fy + 12)],
                            fill=soft(flag_colours[k % len(flag_colours)], 0.25))
    # navy wainscot with a brass hand rail
    body += rect(0, 112, W, WALL - 112, fill=soft(navy))
    body += rect(0, 108, W, 5, r=2, fill=soft(brass))
    body += rect(0, 108, W, 1.5, fill=style.light(brass))
    for x in range(40, W, 120):
        body += rect(x, 113, 4, 6, fill=style.shade(brass))
    for k, spec in enumerate(WINDOWS["cruise"]):
        _, cx, cy, r = spec
        body += ellipse(cx + 3, cy + 4, r + 10, r + 10, fill="#1c1420", opacity=0.12)
        body += ellipse(cx, cy, r + 10, r + 10, fill=soft(brass, 0.1))
        body += ellipse(cx, cy, r + 4, r + 4, fill=style.shade(brass))
        for b in range(8):
            a = b * 3.14159 / 4 + 0.39
            body += rivets([(cx + (r + 7) * _cos(a), cy + (r + 7) * _sin(a))], style.mix(brass, white, 0.3), 1.8)
        body += path("M%g %g A%d %d 0 0 1 %g %g" % (cx - r - 7, cy, r + 7, r + 7, cx, cy - r - 7),
                     stroke=style.light(brass), stroke_width=2.5, fill="none", opacity=0.8)
    body += skirting(soft(navy, 0.3), WALL - 2, 6)
    # the teak deck
    floor = planks(FLOOR_TOP, H, 22, "#c1956a", rnd, "#9a7250")
    floor += side_walls(soft(white, 0.2))
    # a compass rose inlaid in the middle of the deck
    cx, cy = 460, 390
    rose = ellipse(cx, cy, 150, 112, fill="none", stroke="#f4ead8", stroke_width=6, opacity=0.35)
    rose += ellipse(cx, cy, 132, 98, fill="none", stroke=soft(navy), stroke_width=2, opacity=0.25)
    rose += polygon([(cx, cy - 92), (cx + 14, cy), (cx, cy + 92), (cx - 14, cy)], fill="#f4ead8", opacity=0.3)
    rose += polygon([(cx - 124, cy), (cx, cy - 11), (cx + 124, cy), (cx, cy + 11)], fill="#f4ead8", opacity=0.3)
    rose += polygon([(cx, cy - 92), (cx + 14, cy), (cx - 14, cy)], fill=soft(navy), opacity=0.22)
    floor += rose
    floor += shadow_band(FLOOR_TOP, 40, 0.28, "cruisewall")
    for lx in (180, 460, 700):
        floor += light_pool(lx, 300, 150, 80, "#fff6dc", 0.14, "cruiselight%d" % lx)
    room = floor + body
    room += kitchen("cruise", soft("#e8eef2", 0.1), soft(navy, 0.15), soft("#f4f6f8", 0.08), soft(navy, 0.2),
                    soft(brass, 0.1))
    # a caged brass bulkhead lamp between the first two windows (the wall by
    # the pass holds the decor)
    bx = gap("cruise")
    room += light_pool(bx, 44, 30, 30, "#fff1a8", 0.4, "bulkhead")
    room += ellipse(bx, 44, 9, 11, fill=soft(brass, 0.1)) + ellipse(bx, 44, 6, 8, fill="#fff6d8")
    room += rect(bx - 8, 43, 16, 2, fill=soft(brass, 0.1)) + rect(bx - 1, 33, 2, 22, fill=soft(brass, 0.1))
    return room


def _cos(a):
    import math
    return math.cos(a)


def _sin(a):
    import math
    return math.sin(a)


# ---------------------------------------------------------------- train

def train():
    mahogany, velvet, brass, lamp = colours("train")
    wood = soft(mahogany, 0.1)
    body = rect(0, 0, W, WALL, fill=wood)
    # a curved roof edge and the panels of the car's wall
    body += rect(0, 0, W, 10, fill=style.mix(wood, "#f6ecd2", 0.5))
    body += rect(0, 10, W, 3, fill=soft(brass))
    for x in range(0, W, 88):
        body += rect(x + 6, 118, 76, 24, r=3, fill=style.light(wood), opacity=0.35)
        body += rect(x + 10, 122, 68, 16, r=2, fill=style.shade(wood), opacity=0.35)
    body += rect(0, 114, W, 3, fill=soft(brass))
    # luggage racks over the windows with cases on them
    for spec in WINDOWS["train"]:
        x0, y0, x1, y1 = window_box(spec)
        body += rect(x0 - 6, 22, x1 - x0 + 12, 3, fill=soft(brass))
        for k in range(0, int(x1 - x0), 8):
            body += rect(x0 - 4 + k, 25, 1.2, 3, fill=soft(brass))
    cases = [(24, 40, 11, "#8a5a2b"), (68, 30, 8, "#3a5d9e"), (218, 36, 10, "#6a3fb0"), (262, 28, 8, "#8a5a2b"),
             (636, 42, 11, "#2f6b45"), (684, 24, 8, "#c8283b")]
    for x, w, h, c in cases:
        body += rect(x, 22 - h, w, h, r=2, fill=soft(c, 0.25))
        body += rect(x + w / 2 - 4, 22 - h - 2, 8, 2, r=1, fill=soft("#4a3228"))
    # windows: brass frames, green velvet curtains tied back
    for spec in WINDOWS["train"]:
        x0, y0, x1, y1 = window_box(spec)
        body += rect(x0 - 4, y0 + 4, x1 - x0 + 14, y1 - y0 + 14, r=14, fill="#1c1420", opacity=0.15)
        body += rect(x0 - 7, y0 - 7, x1 - x0 + 14, y1 - y0 + 14, r=16, fill=soft(brass, 0.15))
        body += rect(x0 - 7, y0 - 7, x1 - x0 + 14, 3, r=1.5, fill=style.light(brass), opacity=0.7)
        body += rect(x0 - 8, y1 + 4, x1 - x0 + 16, 5, r=2, fill=style.shade(wood))
    for spec in WINDOWS["train"]:
        x0, y0, x1, y1 = window_box(spec)
        for side, sx in ((-1, x0 - 4), (1, x1 + 4)):
            tip = sx + side * -14
            body += path("M%g %g L%g %g Q%g %g %g %g Q%g %g %g %g Z" % (
                sx, y0 - 10, sx - side * 8, y0 - 10, tip, y0 + 40, tip + side * 2, y1 - 20,
                sx + side * 2, y1 + 10, sx + side * 8, y1 + 6), fill=soft(velvet, 0.1))
            body += path("M%g %g Q%g %g %g %g" % (sx - side * 4, y0 - 6, tip + side * 5, y0 + 40, sx, y1),
                         stroke=style.shade(velvet), stroke_width=2, fill="none", opacity=0.6)
            body += ellipse(tip + side * 5, y0 + 50, 4, 3, fill=soft(brass))
    # a small brass sconce between the first two windows (the wall by the
    # last one holds a decor picture)
    for sx in (gap("train"),):
        body += light_pool(sx, 46, 30, 30, "#fff1a8", 0.45, "sconce%d" % sx)
        body += rect(sx - 2, 48, 4, 22, fill=soft(brass)) + ellipse(sx, 44, 8, 7, fill=style.mix(lamp, "#ffffff", 0.3))
    body += skirting(style.shade(wood), WALL - 4, 8)
    # the carpet: green velvet with a diamond weave, an aisle runner along the car
    floor = rect(0, FLOOR_TOP, W, H - FLOOR_TOP, fill=soft(velvet, 0.12))
    for y in range(FLOOR_TOP + 8, H + 40, 40):
        for x in range(-40, W + 40, 40):
            ox = x + (20 if (y // 40) % 2 else 0)
            floor += polygon([(ox, y - 10), (ox + 10, y), (ox, y + 10), (ox - 10, y)],
                             fill=style.mix(velvet, lamp, 0.25), opacity=0.35)
            floor += ellipse(ox + 20, y + 20, 2, 2, fill=style.mix(velvet, lamp, 0.4), opacity=0.4)
    lattice = style.mix(velvet, lamp, 0.3)
    for k in range(-12, 24):
        x = k * 40
        floor += path("M%d %d L%d %d" % (x, FLOOR_TOP, x + (H - FLOOR_TOP), H), stroke=lattice, stroke_width=1.2,
                      opacity=0.22)
        floor += path("M%d %d L%d %d" % (x, FLOOR_TOP, x - (H - FLOOR_TOP), H), stroke=lattice, stroke_width=1.2,
                      opacity=0.22)
    floor += rect(0, FLOOR_TOP, W, 16, fill=soft("#8a4a32", 0.1))
    for x in range(0, W, 20):
        floor += rect(x, FLOOR_TOP, 1.5, 16, fill=style.shade("#8a4a32"), opacity=0.6)
    # the runner
    floor += rect(0, 560, W, 40, fill=soft("#922938", 0.2))
    floor += rect(0, 563, W, 2, fill=soft(brass)) + rect(0, 595, W, 2, fill=soft(brass))
    for x in range(0, W, 24):
        floor += polygon([(x, 580), (x + 12, 571), (x + 24, 580), (x + 12, 589)], fill=soft(brass, 0.3), opacity=0.5)
    floor += side_walls(soft(mahogany, 0.05))
    floor += shadow_band(FLOOR_TOP, 44, 0.32, "trainwall")
    for lx in (160, 420, 680):
        floor += light_pool(lx, 320, 150, 90, lamp, 0.08, "trainlight%d" % lx)
    room = floor + body
    room += kitchen("train", soft("#efe3c4", 0.1), style.shade(wood), soft("#8a4a32", 0.05), style.shade(wood),
                    soft(brass, 0.1))
    return room


# ---------------------------------------------------------------- sub

def sub():
    teal, steel, porthole, fish = colours("sub")
    plate = soft(style.mix(teal, steel, 0.45), 0.1)
    body = rect(0, 0, W, WALL, fill=plate)
    # riveted hull plates
    for x in range(0, W, 80):
        body += rect(x, 0, 2, WALL, fill=style.shade(plate), opacity=0.5)
        body += rivets([(x + 6, y) for y in range(30, 110, 16)], style.mix(plate, steel, 0.4), 1.6)
    for y in (26, 112):
        body += rect(0, y, W, 2, fill=style.shade(plate), opacity=0.5)
    # pipes under the ceiling, with flanges and a valve wheel
    body += rect(0, 0, W, 22, fill=style.shade(plate))
    body += rect(0, 4, W, 8, r=4, fill=soft(steel, 0.1)) + rect(0, 5, W, 2, fill=style.light(steel), opacity=0.6)
    body += rect(0, 14, W, 6, r=3, fill=soft("#c79a3a", 0.2))
    for x in range(60, W, 150):
        body += rect(x, 2, 6, 12, r=1, fill=style.shade(steel))
    for vx in (600,):
        body += ellipse(vx, 20, 9, 9, fill="none", stroke=soft("#c8283b", 0.25), stroke_width=3)
        body += rect(vx - 1, 11, 2, 18, fill=soft("#c8283b", 0.25)) + rect(vx - 9, 19, 18, 2,
                                                                           fill=soft("#c8283b", 0.25))
    # a hazard stripe along the wall's foot
    body += rect(0, 128, W, 22, fill=style.shade(plate))
    for x in range(-20, W, 24):
        body += polygon([(x, 150), (x + 12, 150), (x + 24, 136), (x + 12, 136)], fill=soft("#f4c430", 0.45),
                        opacity=0.55)
    body += rect(0, 132, W, 4, fill=style.shade(plate))
    # big bolted portholes
    for spec in WINDOWS["sub"]:
        _, cx, cy, r = spec
        body += ellipse(cx + 3, cy + 4, r + 13, r + 13, fill="#0c1a1c", opacity=0.2)
        body += ellipse(cx, cy, r + 13, r + 13, fill=soft(steel, 0.1))
        body += ellipse(cx, cy, r + 5, r + 5, fill=style.shade(steel))
        pts = [(cx + (r + 9) * _cos(k * 3.14159 / 6), cy + (r + 9) * _sin(k * 3.14159 / 6)) for k in range(12)]
        body += rivets(pts, style.mix(steel, "#ffffff", 0.2), 2.2)
    body += skirting(style.shade(plate), WALL - 3, 6)
    # the deck: tread plates, a grating walkway along the wall, a rubber mat
    deck = style.mix(teal, "#2a3238", 0.45)
    floor = rect(0, FLOOR_TOP, W, H - FLOOR_TOP, fill=deck)
    for y in range(FLOOR_TOP, H, 90):
        for x in range(0, W, 120):
            floor += rect(x + 1.5, y + 1.5, 117, 87, r=3, fill=style.mix(deck, steel, 0.22))
            floor += rivets([(x + 7, y + 7), (x + 113, y + 7), (x + 7, y + 83), (x + 113, y + 83)],
                            style.mix(deck, steel, 0.5), 1.8)
            for k in range(6):
                for j in range(4):
                    tx, ty = x + 22 + k * 16 + (8 if j % 2 else 0), y + 18 + j * 18
                    floor += path("M%d %d l6 -3" % (tx, ty), stroke=style.mix(deck, steel, 0.45),
                                  stroke_width=2, opacity=0.6, stroke_linecap="round")
    floor += rect(0, FLOOR_TOP, W, 24, fill=style.mix(steel, "#2a3238", 0.5))
    for x in range(0, W, 8):
        floor += rect(x, FLOOR_TOP + 2, 3, 20, fill=style.mix(steel, "#2a3238", 0.25))
    floor += rect(170, 196, 590, 400, r=18, fill=soft(teal, 0.1), opacity=0.35)
    floor += rect(178, 204, 574, 384, r=14, fill="none", stroke=soft("#f4c430", 0.3), stroke_width=2, opacity=0.35)
    floor += side_walls(style.shade(plate))
    floor += shadow_band(FLOOR_TOP, 40, 0.3, "subwall")
    for lx in (180, 460, 700):
        floor += light_pool(lx, 330, 150, 90, porthole, 0.1, "sublight%d" % lx)
    room = floor + body
    room += kitchen("sub", soft("#d6e4e6", 0.1), style.shade(plate), soft(steel, 0.05), style.shade(steel),
                    soft(teal, 0.1))
    room += rivets([(PASS[0] - 4 + k * 24, PASS[1] - 4) for k in range(8)], style.light(steel), 1.6)
    return room


# ---------------------------------------------------------------- blimp

def blimp():
    sky, cream, trim, cloud = colours("blimp")
    rnd = Random(4)
    wall = soft(cream, 0.08)
    body = rect(0, 0, W, WALL, fill=wall)
    # the envelope's gores show above the gondola's ceiling
    body += rect(0, 0, W, 12, fill=soft("#d8d2c4", 0.1))
    for x in range(0, W + 60, 60):
        body += path("M%d 0 Q%d 8 %d 12" % (x, x + 20, x + 30), stroke=style.shade("#d8d2c4"), stroke_width=1.5,
                     fill="none", opacity=0.5)
    body += rect(0, 12, W, 5, fill=soft(trim, 0.15))
    # quilted upholstery between the windows
    for y in range(22, 116, 18):
        for x in range(0, W, 18):
            ox = x + (9 if (y // 18) % 2 else 0)
            body += ellipse(ox, y, 1.4, 1.4, fill=style.shade(wall), opacity=0.6)
    body += rect(0, 116, W, WALL - 116, fill=soft(trim, 0.2))
    body += rect(0, 116, W, 3, fill=style.light(trim), opacity=0.6)
    for x in range(10, W, 40):
        body += path("M%d 126 q10 8 20 0" % x, stroke=soft("#f6ecd2", 0.1), stroke_width=2, fill="none", opacity=0.7)
    for spec in WINDOWS["blimp"]:
        x0, y0, x1, y1 = window_box(spec)
        body += rect(x0 - 3, y0 + 2, x1 - x0 + 12, y1 - y0 + 10, r=38, fill="#1c1420", opacity=0.12)
        body += rect(x0 - 6, y0 - 6, x1 - x0 + 12, y1 - y0 + 12, r=40, fill=soft(trim, 0.1))
        body += rect(x0 - 2, y0 - 2, x1 - x0 + 4, y1 - y0 + 4, r=36, fill=soft(cream))
    # the parquet: herringbone under a large oval rug
    floor = rect(0, FLOOR_TOP, W, H - FLOOR_TOP, fill=soft("#d7b98c", 0.12))
    for y in range(FLOOR_TOP - 20, H + 20, 16):
        for x in range(-40, W + 40, 32):
            tone = style.mix("#d7b98c", "#b98a5a", rnd.uniform(0.1, 0.4))
            floor += polygon([(x, y), (x + 16, y + 8), (x + 16, y + 16), (x, y + 8)], fill=tone, opacity=0.55)
            tone = style.mix("#d7b98c", "#f6ecd2", rnd.uniform(0.1, 0.4))
            floor += polygon([(x + 16, y + 8), (x + 32, y), (x + 32, y + 8), (x + 16, y + 16)], fill=tone,
                             opacity=0.55)
    floor += ellipse(462, 392, 300, 190, fill=soft(trim, 0.25), opacity=0.45)
    floor += ellipse(462, 392, 286, 178, fill=soft(cream, 0.05), opacity=0.65)
    floor += ellipse(462, 392, 262, 158, fill="none", stroke=soft(sky, 0.2), stroke_width=4, opacity=0.5)
    for k in range(24):
        a = k * 3.14159 / 12
        floor += ellipse(462 + 274 * _cos(a), 392 + 168 * _sin(a), 4, 3, fill=soft(trim, 0.2), opacity=0.5)
    floor += side_walls(soft(cream, 0.15))
    floor += shadow_band(FLOOR_TOP, 40, 0.22, "blimpwall")
    for lx in (200, 460, 690):
        floor += light_pool(lx, 300, 130, 70, "#ffffff", 0.22, "blimplight%d" % lx)
    room = floor + body
    room += kitchen("blimp", soft("#fbf6ea", 0.05), soft(trim, 0.15), soft(cream, 0.05), soft(trim, 0.2),
                    soft("#c79a3a", 0.1))
    # a striped awning over the pass
    x, y, w, _ = PASS
    for k in range(8):
        sx = x - 12 + k * (w + 24) / 8.0
        body_c = soft(trim, 0.15) if k % 2 == 0 else soft(cream, 0.05)
        room += path("M%g %g L%g %g L%g %g Q%g %g %g %g Z" % (sx, y - 10, sx + (w + 24) / 8.0, y - 10,
                                                               sx + (w + 24) / 8.0, y + 6, sx + (w + 24) / 16.0,
                                                               y + 14, sx, y + 6), fill=body_c)
    return room


# ---------------------------------------------------------------- spaceship

def spaceship():
    violet, silver, cyan, planet = colours("spaceship")
    hull = soft(style.mix(violet, silver, 0.35), 0.1)
    body = rect(0, 0, W, WALL, fill=hull)
    body += rect(0, 0, W, 10, fill=style.shade(hull))
    # rounded wall panels with light strips
    for x in range(0, W, 100):
        body += rect(x + 4, 14, 92, 96, r=12, fill=style.light(hull), opacity=0.25)
    body += rect(0, 116, W, WALL - 116, fill=style.shade(hull))
    body += rect(0, 118, W, 3, fill=cyan, opacity=0.55)
    body += rect(0, 116, W, 8, fill=cyan, opacity=0.12)
    for spec in WINDOWS["spaceship"]:
        x0, y0, x1, y1 = window_box(spec)
        body += rect(x0 - 10, y0 - 8, x1 - x0 + 20, y1 - y0 + 16, r=50, fill=soft(silver, 0.15))
        body += rect(x0 - 4, y0 - 3, x1 - x0 + 8, y1 - y0 + 6, r=44, fill=style.shade(silver))
        body += rect(x0 - 8, y0 - 6, x1 - x0 + 16, y1 - y0 + 12, r=48, fill="none", stroke=cyan, stroke_width=1.5,
                     opacity=0.5)
    # consoles with blinking lights under the right window
    for k, (lx, c) in enumerate(((650, cyan), (668, "#f4c430"), (686, "#e0606a"), (704, cyan), (722, "#80d192"))):
        body += rect(lx, 128, 10, 5, r=2, fill=c, opacity=0.7)
    for k, (lx, c) in enumerate(((30, cyan), (48, "#f4c430"), (66, cyan), (206, "#e0606a"), (224, cyan))):
        body += rect(lx, 128, 10, 5, r=2, fill=c, opacity=0.7)
    # the deck: dark panels with glowing seams and a round dais under the tables
    floor = rect(0, FLOOR_TOP, W, H - FLOOR_TOP, fill=soft(style.mix(violet, "#201640", 0.2), 0.1))
    for y in range(FLOOR_TOP, H, 56):
        for x in range(0, W, 80):
            floor += rect(x + 2, y + 2, 76, 52, r=8, fill=style.mix(violet, silver, 0.12), opacity=0.55)
    for y in range(FLOOR_TOP, H, 56):
        floor += rect(0, y, W, 1.5, fill=cyan, opacity=0.22)
    for x in range(0, W, 80):
        floor += rect(x, FLOOR_TOP, 1.5, H - FLOOR_TOP, fill=cyan, opacity=0.16)
    cx, cy = 460, 392
    for k, (rx, ry, op) in enumerate(((290, 190, 0.18), (250, 160, 0.12), (120, 76, 0.12))):
        floor += ellipse(cx, cy, rx, ry, fill="none", stroke=cyan, stroke_width=3, opacity=op)
    floor += ellipse(cx, cy, 270, 176, fill=silver, opacity=0.06)
    # the teleport pad where parties arrive, at the foot of the line
    floor += ellipse(62, 548, 54, 26, fill=style.shade(silver), opacity=0.7)
    floor += ellipse(62, 546, 46, 21, fill=soft(violet), opacity=0.9)
    floor += ellipse(62, 546, 36, 15, fill="none", stroke=cyan, stroke_width=2.5, opacity=0.6)
    floor += ellipse(62, 546, 22, 8, fill=cyan, opacity=0.25)
    floor += side_walls(style.shade(hull))
    floor += shadow_band(FLOOR_TOP, 40, 0.35, "spacewall")
    for lx in (180, 460, 700):
        floor += light_pool(lx, 320, 120, 70, cyan, 0.1, "spacelight%d" % lx)
    room = floor + body
    room += kitchen("spaceship", soft("#cfd4de", 0.1), style.shade(hull), soft(silver, 0.05), style.shade(hull),
                    soft(cyan, 0.2))
    x, y, w, h = PASS
    room += rect(x - 8, y - 8, w + 16, h + 12, r=8, fill="none", stroke=cyan, stroke_width=2, opacity=0.5)
    return room


def blimp_drapes():
    """A swagged valance over each window, its drapes tied back at the
    sides: they hang in front of the glass."""
    trim = colours("blimp")[2]
    out = ""
    for spec in WINDOWS["blimp"]:
        x0, y0, x1, y1 = window_box(spec)
        for side, sx in ((1, x0 - 2), (-1, x1 + 2)):
            out += path("M%g %g L%g %g Q%g %g %g %g Q%g %g %g %g Z" % (
                sx, y0 - 2, sx + side * 16, y0 - 2, sx + side * 7, y0 + 26, sx + side * 5, y0 + 50,
                sx, y0 + 62, sx, y0 + 40), fill=soft(trim, 0.2))
            out += path("M%g %g Q%g %g %g %g" % (sx + side * 9, y0 + 4, sx + side * 4, y0 + 26, sx + side * 3,
                                                 y0 + 48), stroke=style.shade(trim), stroke_width=1.5, fill="none",
                        opacity=0.5)
            out += ellipse(sx + side * 5, y0 + 44, 3, 3, fill=soft("#c79a3a"))
        for k in range(3):
            sx = x0 + k * (x1 - x0) / 3.0
            out += path("M%g %g Q%g %g %g %g Z" % (sx - 2, y0 - 2, sx + (x1 - x0) / 6.0, y0 + 16,
                                                   sx + (x1 - x0) / 3.0 + 2, y0 - 2), fill=soft(trim, 0.2))
    return out


ROOMS = {"cruise": cruise, "train": train, "sub": sub, "blimp": blimp, "spaceship": spaceship}
# What hangs in front of the windows' glass (drawn over the holes, and solid in the mask).
OVER = {"blimp": blimp_drapes}


def ceiling_shade():
    """The wall darkens towards the ceiling: the room's light hangs lower."""
    return (svg.defs(linear_gradient("ceiling", [(0, "#1c1420", 0.22), (1, "#1c1420", 0)]))
            + rect(0, 0, W, 46, fill="url(#ceiling)"))


def room(name):
    """The room's SVG body (800 x 600) with its windows still drawn over."""
    return ROOMS[name]() + ceiling_shade()


def backdrop(name):
    """The room with its window holes cut (transparent) and the mask: white
    where the room is, black where the scenery shows through."""
    holes = "".join(hole(spec, fill="#000000") for spec in WINDOWS[name])
    over = OVER[name]() if name in OVER else ""
    picture = svg.document(W, H, "<defs><mask id='m'><rect width='%d' height='%d' fill='#ffffff'/>%s</mask></defs>"
                           % (W, H, holes) + group(room(name), mask="url(#m)") + over)
    white = ("<defs><filter id='white'><feFlood flood-color='#ffffff'/>"
             "<feComposite in2='SourceAlpha' operator='in'/></filter></defs>")
    mask = svg.document(W, H, rect(0, 0, W, H, fill="#ffffff") + holes + white + group(over, filter="url(#white)"))
    return picture, mask
