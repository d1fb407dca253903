"""What the windows show: each restaurant's scenery strip (800 x 150, scrolled
and wrapped by the game, so its left and right edges join), and the pieces
that pass in front of it: the cruise's islands, the train's telegraph poles,
the sub's wreck and fish, the blimp's near clouds, the spaceship's planets
and comet; the night sky the flashlight upgrade lays over the windows.
Scenery is backdrop: no outline, soft colours; only the fish, the planets
and the comet, which move by themselves, carry a thin line."""
import math

from qmcontent import style, svg
from qmcontent.svg import Random, ellipse, group, linear_gradient, path, polygon, rect

W, H = 800, 150


def sky(gid, top, bottom, y0=0, y1=H):
    return svg.defs(linear_gradient(gid, [(0, top), (1, bottom)])) + rect(0, y0, W, y1 - y0, fill="url(#%s)" % gid)


def wrapped(body):
    """The body drawn three times side by side so shapes that cross an
    edge come back in at the other (the strip tiles seamlessly)."""
    return "".join(group(body, transform="translate(%d 0)" % dx) for dx in (-W, 0, W))


def cloud(x, y, s, colour="#ffffff", opacity=1.0):
    out = ellipse(x, y, 34 * s, 11 * s, fill=colour)
    out += ellipse(x - 16 * s, y - 6 * s, 16 * s, 11 * s, fill=colour)
    out += ellipse(x + 8 * s, y - 11 * s, 19 * s, 14 * s, fill=colour)
    out += ellipse(x + 24 * s, y - 3 * s, 13 * s, 9 * s, fill=colour)
    return group(out, opacity=opacity)


# ---------------------------------------------------------------- cruise

def cruise_strip():
    rnd = Random(11)
    body = sky("cruisesky", "#8fc8ea", "#e4f3fb", 0, 84)
    clouds = "".join(cloud(x, y, s, opacity=0.85) for x, y, s in ((80, 30, 0.9), (330, 22, 0.7), (560, 38, 1.0),
                                                                   (740, 18, 0.6)))
    body += wrapped(clouds)
    body += svg.defs(linear_gradient("cruisesea", [(0, "#4aa6cc"), (1, "#2a7ea8")]))
    body += rect(0, 84, W, H - 84, fill="url(#cruisesea)")
    body += rect(0, 84, W, 2, fill="#d8eef7", opacity=0.8)
    waves = ""
    for row, y in enumerate(range(94, H, 10)):
        for k in range(8):
            x = (k * 100 + row * 37 + rnd.uniform(0, 40)) % W
            w = 20 + rnd.uniform(0, 24)
            waves += path("M%g %g q%g -4 %g 0" % (x, y, w / 2, w), stroke="#ffffff", stroke_width=1.6, fill="none",
                          opacity=0.25 + 0.05 * row, stroke_linecap="round")
    body += wrapped(waves)
    # a sailing boat far out and a few gulls
    body += polygon([(520, 84), (548, 84), (544, 88), (524, 88)], fill="#f4f6f8")
    body += polygon([(534, 83), (534, 62), (546, 82)], fill="#ffffff") + rect(533, 60, 1.2, 24, fill="#6d6d73")
    for gx, gy in ((200, 40), (216, 34), (630, 50)):
        body += path("M%d %d q4 -4 8 0 q4 -4 8 0" % (gx, gy), stroke="#4a5a6a", stroke_width=1.4, fill="none")
    return body


def island(k):
    """Island k (0-4): a palm beach, a hill, a lighthouse rock, a hut, a twin."""
    w = [220, 260, 180, 240, 300][k]
    h = 110
    sand, grass, rock = "#f2dca4", "#6fb25e", "#9a8f84"
    body = ""
    base = 94  # the waterline seen through the portholes
    if k in (0, 3, 4):
        body += path("M0 %d Q%d %d %d %d Z" % (base + 4, w / 2, base - 30, w, base + 4), fill=sand)
        body += path("M%d %d Q%d %d %d %d Z" % (w * 0.2, base, w / 2, base - 44 - 6 * k, w * 0.8, base), fill=grass)
    if k == 1:
        body += path("M0 %d Q%d %d %d %d Z" % (base + 4, w * 0.45, base - 80, w, base + 4), fill="#5f9e57")
        body += path("M%d %d Q%d %d %d %d Z" % (w * 0.3, base - 10, w * 0.45, base - 82, w * 0.7, base - 14),
                     fill="#7fbf6a", opacity=0.8)
        body += path("M0 %d Q%d %d %d %d Z" % (base + 4, w / 2, base - 6, w, base + 4), fill=sand)
    if k == 2:
        body += path("M10 %d L30 %d L60 %d L110 %d L150 %d L170 %d Z" % (base + 4, base - 20, base - 30, base - 26,
                                                                     base - 14, base + 4), fill=rock)
        body += rect(72, base - 76, 18, 48, fill="#f4f6f8") + rect(72, base - 62, 18, 8, fill="#c8283b")
        body += rect(72, base - 44, 18, 8, fill="#c8283b")
        body += rect(70, base - 84, 22, 10, fill="#f7d56b") + polygon([(68, base - 84), (81, base - 96),
                                                                       (94, base - 84)], fill="#c8283b")
    palms = {0: [(0.45, 0), (0.6, 1)], 1: [(0.2, 1)], 3: [(0.7, 0)], 4: [(0.3, 0), (0.44, 1), (0.75, 0)]}.get(k, [])
    for fx, lean in palms:
        px = w * fx
        top = base - 72 - 8 * lean
        body += path("M%g %g Q%g %g %g %g" % (px, base - 20, px + 4 + 8 * lean, (base - 20 + top) / 2,
                                            px + 8 * lean, top), stroke="#8a5a2b", stroke_width=5, fill="none",
                     stroke_linecap="round")
        cx = px + 8 * lean
        for a in (-150, -110, -70, -30, 10):
            r = math.radians(a)
            ex, ey = cx + 26 * math.cos(r), top + 22 * math.sin(r) + 14
            body += path("M%g %g Q%g %g %g %g" % (cx, top, (cx + ex) / 2, top - 10, ex, ey), stroke="#3f8f4a",
                         stroke_width=6, fill="none", stroke_linecap="round")
        body += ellipse(cx + 2, top + 4, 3, 3, fill="#6b4a2b")
    if k == 3:
        body += rect(w * 0.3, base - 30, 34, 22, fill="#c9a57a") + polygon([(w * 0.3 - 6, base - 30),
                                                                            (w * 0.3 + 17, base - 48),
                                                                            (w * 0.3 + 40, base - 30)],
                                                                           fill="#d9b35a")
        body += rect(w * 0.3 + 13, base - 20, 8, 12, fill="#6b4a2b")
    body += path("M0 %d Q%d %d %d %d" % (base + 4, w / 2, base + 1, w, base + 4), stroke="#ffffff",
                 stroke_width=2, fill="none", opacity=0.7)
    return w, h, body


# ---------------------------------------------------------------- train

def train_strip():
    rnd = Random(12)
    body = sky("trainsky", "#9fd0ee", "#eaf5ec", 0, 90)
    body += wrapped(cloud(140, 26, 0.8, opacity=0.9) + cloud(520, 18, 0.6, opacity=0.9))
    # far mountains, then rolling hills with fields, hedges and trees
    far = path("M0 78 L60 46 L110 66 L180 30 L250 70 L320 50 L380 72 L450 36 L520 66 L600 44 L660 70 L740 40 "
               "L800 78 Z", fill="#9db4c8")
    far += path("M170 34 L180 30 L192 38 Z M440 40 L450 36 L462 44 Z M730 44 L740 40 L752 48 Z", fill="#ffffff")
    body += far
    body += path("M0 96 Q100 70 200 88 T400 84 T600 88 T800 96 L800 150 L0 150 Z", fill="#8cbf6a")
    body += path("M0 112 Q120 92 260 108 T520 104 T800 112 L800 150 L0 150 Z", fill="#74ab57")
    fields = ""
    for k in range(7):
        x = k * 116 + 20
        fields += polygon([(x, 118), (x + 70, 114), (x + 90, 126), (x + 16, 130)],
                          fill=["#e3c766", "#9ccc72", "#c7a25a"][k % 3], opacity=0.7)
    body += fields
    trees = ""
    for k in range(14):
        x = (k * 59 + rnd.uniform(0, 30)) % W
        y = 100 + rnd.uniform(0, 12)
        trees += rect(x - 1.5, y, 3, 8, fill="#6b4a2b") + ellipse(x, y - 2, 7, 9, fill="#3f7f45")
    body += trees
    # a farmhouse and a fence along the line
    body += rect(600, 92, 26, 16, fill="#f4ead8") + polygon([(596, 92), (613, 80), (630, 92)], fill="#c8363b")
    body += rect(610, 99, 6, 9, fill="#6b4a2b")
    body += rect(0, 134, W, 16, fill="#6e9a4e")
    for x in range(0, W, 20):
        body += rect(x, 128, 2, 10, fill="#8a6a48")
    body += rect(0, 130, W, 1.5, fill="#8a6a48")
    return body


def poles():
    """Telegraph poles close to the track, drawn over the strip (800 x 103)."""
    body = ""
    for x in range(40, 800, 200):
        body += rect(x, 0, 6, 103, fill="#5a4030") + rect(x - 16, 10, 38, 4, fill="#5a4030")
        body += rect(x - 12, 6, 3, 5, fill="#dfe3e6") + rect(x + 15, 6, 3, 5, fill="#dfe3e6")
    for y in (8, 10):
        for x in range(40, 800, 200):
            body += path("M%d %d Q%d %d %d %d" % (x - 10, y, x + 90, y + 14, x + 190, y), stroke="#3b3034",
                         stroke_width=1, fill="none")
        body += path("M-160 %d Q-70 %d 30 %d" % (y, y + 14, y), stroke="#3b3034", stroke_width=1, fill="none")
    return body


# ---------------------------------------------------------------- sub

def sub_strip():
    rnd = Random(13)
    body = sky("subwater", "#2f8fa0", "#12405a")
    rays = ""
    for x in (60, 240, 430, 610):
        rays += polygon([(x, 0), (x + 40, 0), (x + 110, 150), (x + 50, 150)], fill="#bfeff2", opacity=0.08)
    body += wrapped(rays)
    # the seabed: sand, rocks, coral and swaying weed
    body += path("M0 130 Q100 118 200 128 T400 126 T600 130 T800 130 L800 150 L0 150 Z", fill="#c8b27a")
    bed = ""
    for k in range(9):
        x = k * 90 + rnd.uniform(0, 40)
        bed += ellipse(x, 134, 16 + rnd.uniform(0, 10), 8, fill="#7f8a8c")
    for k, (x, c) in enumerate(((120, "#f08a7c"), (330, "#f4c430"), (520, "#d76472"), (720, "#f08a3c"))):
        for j in range(4):
            a = -2.3 + j * 0.5
            bed += path("M%d 132 l%g %g" % (x, 18 * math.cos(a), 18 * math.sin(a)), stroke=c, stroke_width=4,
                        stroke_linecap="round", opacity=0.9)
    for x in range(30, W, 70):
        bed += path("M%d 140 q-6 -14 0 -26 q6 -12 0 -24" % x, stroke="#3f8f6a", stroke_width=3.5, fill="none",
                    stroke_linecap="round", opacity=0.9)
    body += wrapped(bed)
    bubbles = ""
    for k in range(40):
        x, y = rnd.uniform(0, W), rnd.uniform(6, 124)
        r = rnd.uniform(1.5, 4)
        bubbles += ellipse(x, y, r, r, fill="none", stroke="#d8f4f6", stroke_width=1, opacity=0.55)
        bubbles += ellipse(x - r / 3, y - r / 3, r / 4, r / 4, fill="#ffffff", opacity=0.6)
    body += wrapped(bubbles)
    # a far shoal of small fish
    shoal = ""
    for k in range(12):
        x, y = 300 + (k % 4) * 12 + rnd.uniform(0, 6), 50 + (k // 4) * 8 + rnd.uniform(0, 4)
        shoal += ellipse(x, y, 4, 1.8, fill="#7fb8c4") + polygon([(x + 3, y), (x + 7, y - 2.5), (x + 7, y + 2.5)],
                                                                 fill="#7fb8c4")
    body += shoal
    return body


def wreck():
    """A sunken sailing ship resting on the seabed (340 x 120), passing by."""
    hull = "#4f5a5c"
    body = path("M20 106 Q40 80 70 78 L290 70 Q320 72 330 96 L300 116 L60 118 Z", fill=hull)
    body += path("M70 84 L290 76", stroke="#6d7a7c", stroke_width=3)
    for x in range(100, 280, 40):
        body += ellipse(x, 92, 6, 6, fill="#2c3436")
    body += path("M150 76 L136 10", stroke="#5a4f48", stroke_width=5, stroke_linecap="round")
    body += path("M240 72 L252 28", stroke="#5a4f48", stroke_width=4, stroke_linecap="round")
    body += path("M139 26 L112 48 M139 26 L170 44", stroke="#5a4f48", stroke_width=2)
    body += path("M136 16 Q110 40 118 62 L146 58 Z", fill="#8fa6a0", opacity=0.55)
    body += path("M40 118 q-6 -14 0 -28 q6 -12 0 -22" , stroke="#3f8f6a", stroke_width=3.5, fill="none",
                 stroke_linecap="round")
    body += path("M300 118 q6 -12 0 -24", stroke="#3f8f6a", stroke_width=3.5, fill="none", stroke_linecap="round")
    body += ellipse(180, 118, 140, 6, fill="#c8b27a")
    return body


FISH = [  # body colour, stripe or fin colour, length, depth, kind
    ("#f08a3c", "#ffffff", 34, 11, "stripes"),
    ("#f4c430", "#3a7de0", 30, 14, "tang"),
    ("#e0606a", "#f7d56a", 30, 10, "plain"),
    ("#71a1e9", "#f4c430", 28, 9, "plain"),
    ("#80d192", "#3f8f6a", 26, 13, "puffer"),
    ("#b48ad8", "#f7d56a", 30, 16, "angel"),
]


def fish(n, step):
    """Fish n facing left, its tail beating (step 0/1)."""
    c, accent, length, depth, kind = FISH[n]
    w, h = 52, 40
    cx, cy = 24, 20
    tail = 4 if step else -4
    line = {"stroke": svg.OUTLINE, "stroke_width": 1.3, "stroke_linejoin": "round"}
    tx = cx + length / 2
    body = polygon([(tx - 3, cy), (tx + 12, cy - 8 + tail), (tx + 10, cy + 8 + tail)], fill=style.shade(c), **line)
    if kind == "angel":
        body += polygon([(cx - 2, cy - depth + 2), (cx + 6, cy - depth - 10), (cx + 12, cy - depth + 4)],
                        fill=accent, **line)
        body += polygon([(cx - 2, cy + depth - 2), (cx + 6, cy + depth + 10), (cx + 12, cy + depth - 4)],
                        fill=accent, **line)
    body += ellipse(cx, cy, length / 2, depth, fill=c, **line)
    if kind == "stripes":
        for dx in (-7, 4):
            body += rect(cx + dx, cy - depth + 2, 4, 2 * depth - 4, r=2, fill=accent)
    if kind == "tang":
        body += path("M%g %g Q%g %g %g %g" % (cx - 6, cy - 4, cx + 4, cy - 8, cx + 12, cy - 2), stroke=accent,
                     stroke_width=3, fill="none")
    if kind == "puffer":
        for a in range(0, 360, 45):
            r = math.radians(a)
            body += path("M%g %g l%g %g" % (cx + length / 2 * math.cos(r), cy + depth * math.sin(r),
                                            3 * math.cos(r), 3 * math.sin(r)), stroke=svg.OUTLINE, stroke_width=1)
        body += ellipse(cx + 2, cy + 5, length / 3, depth / 2.5, fill=style.light(c))
    body += ellipse(cx - length / 2 + 6, cy - 2, 3, 3, fill="#ffffff", stroke=svg.OUTLINE, stroke_width=1)
    body += ellipse(cx - length / 2 + 5.5, cy - 2, 1.4, 1.4, fill=svg.OUTLINE)
    body += ellipse(cx - 2, cy - depth / 2, length / 5, depth / 4, fill=style.light(c), opacity=0.8)
    return w, h, body


# ---------------------------------------------------------------- blimp

def blimp_strip():
    rnd = Random(14)
    body = sky("blimpsky", "#7fbfec", "#d8eefa", 0, 118)
    # the country far below: a haze, patchwork fields, a river
    body += rect(0, 112, W, 38, fill="#b8d6a0")
    fields = ""
    for k in range(16):
        x = k * 52 + rnd.uniform(0, 10)
        fields += polygon([(x, 118 + rnd.uniform(0, 6)), (x + 48, 116), (x + 56, 150), (x + 4, 150)],
                          fill=rnd.choice(["#a8cf84", "#d9cf84", "#8fbf74", "#c9b27a"]), opacity=0.8)
    body += wrapped(fields)
    body += path("M0 140 Q150 120 300 134 T600 128 T800 140", stroke="#8cc7ee", stroke_width=4, fill="none")
    body += rect(0, 108, W, 14, fill="#d8eefa", opacity=0.7)
    clouds = "".join(cloud(x, y, s, opacity=0.75) for x, y, s in ((60, 44, 0.7), (250, 76, 1.1), (420, 36, 0.6),
                                                                   (600, 70, 0.9), (760, 30, 0.5)))
    body += wrapped(clouds)
    for gx, gy in ((330, 56), (346, 50), (362, 58)):
        body += path("M%d %d q4 -4 8 0 q4 -4 8 0" % (gx, gy), stroke="#4a5a6a", stroke_width=1.4, fill="none")
    return body


def near_clouds():
    body = ""
    for x, y, s in ((120, 70, 1.6), (470, 110, 2.0), (700, 54, 1.3)):
        body += cloud(x, y, s, opacity=0.9)
    return wrapped(body)


# ---------------------------------------------------------------- spaceship

def space_strip():
    rnd = Random(15)
    body = rect(0, 0, W, H, fill="#120a24")
    nebula = ""
    for x, y, rx, ry, c in ((150, 70, 160, 60, "#6a3fb0"), (560, 50, 200, 50, "#3a5d9e"),
                            (420, 110, 120, 40, "#b04f7a")):
        nebula += svg.defs(svg.radial_gradient("neb%d" % x, [(0, c, 0.45), (1, c, 0)]))
        nebula += ellipse(x, y, rx, ry, fill="url(#neb%d)" % x)
    body += wrapped(nebula)
    stars = ""
    for k in range(140):
        x, y = rnd.uniform(0, W), rnd.uniform(0, H)
        r = rnd.choice([0.6, 0.8, 0.8, 1.0, 1.3])
        stars += ellipse(x, y, r, r, fill=rnd.choice(["#ffffff", "#ffffff", "#cfe8ff", "#fff1c8"]),
                         opacity=rnd.uniform(0.5, 1.0))
    for k in range(6):
        x, y = rnd.uniform(0, W), rnd.uniform(10, H - 10)
        stars += path("M%g %g l0 -5 l0 10 M%g %g l-5 0 l10 0" % (x, y, x, y), stroke="#ffffff", stroke_width=1,
                      opacity=0.8)
        stars += ellipse(x, y, 1.6, 1.6, fill="#ffffff")
    body += wrapped(stars)
    # a far spiral galaxy
    body += ellipse(680, 100, 22, 7, fill="#cfc0ff", opacity=0.35) + ellipse(680, 100, 8, 3, fill="#ffffff",
                                                                              opacity=0.7)
    return body


PLANETS = [  # base, band or detail colour, radius, kind
    ("#e38b4f", "#f4c08a", 34, "bands"),
    ("#8cc7ee", "#ffffff", 30, "ring"),
    ("#4f9fd0", "#4fbf68", 38, "earth"),
    ("#c3c8d4", "#9a9aa8", 26, "craters"),
    ("#b48ad8", "#f7d56a", 44, "ring"),
]


def planet(k):
    base, detail, r, kind = PLANETS[k]
    pad = 28 if kind == "ring" else 6
    size = 2 * (r + pad)
    c = size / 2
    line = {"stroke": svg.OUTLINE, "stroke_width": 1.5}
    body = ""
    if kind == "ring":
        body += ellipse(c, c, r + pad - 4, (r + pad) / 4, fill="none", stroke=detail, stroke_width=5, opacity=0.8,
                        transform="rotate(-16 %g %g)" % (c, c))
    body += svg.defs("<clipPath id='p%d'>%s</clipPath>" % (k, ellipse(c, c, r, r)))
    inner = ellipse(c, c, r, r, fill=base)
    if kind == "bands":
        for dy, h in ((-18, 6), (-4, 9), (12, 5)):
            inner += rect(c - r, c + dy, 2 * r, h, fill=detail, opacity=0.7)
        inner += ellipse(c + 12, c + 6, 7, 4, fill="#c8283b", opacity=0.6)
    if kind == "earth":
        inner += path("M%g %g q14 -10 22 4 q-6 10 -18 8 Z" % (c - 20, c - 10), fill=detail)
        inner += path("M%g %g q10 -4 16 8 q-8 12 -20 4 Z" % (c + 4, c + 6), fill=detail)
        inner += ellipse(c - 10, c - r + 5, 16, 5, fill="#ffffff", opacity=0.8)
    if kind == "craters":
        for dx, dy, cr in ((-8, -6, 6), (9, 4, 4), (-4, 12, 3), (10, -12, 3)):
            inner += ellipse(c + dx, c + dy, cr, cr, fill=detail)
    if kind == "ring" and k == 1:
        for dy in (-10, 6):
            inner += rect(c - r, c + dy, 2 * r, 4, fill=detail, opacity=0.35)
    inner += ellipse(c + r * 0.45, c + r * 0.45, r * 0.95, r * 0.95, fill=svg.OUTLINE, opacity=0.25)
    inner += ellipse(c - r * 0.4, c - r * 0.4, r * 0.3, r * 0.22, fill="#ffffff", opacity=0.35)
    body += group(inner, clip_path="url(#p%d)" % k)
    body += ellipse(c, c, r, r, fill="none", **line)
    if kind == "ring":
        # the ring's near half in front of the planet
        body += path("M%g %g A%g %g 0 0 0 %g %g" % (c - r - pad + 4, c, r + pad - 4, (r + pad) / 4, c + r + pad - 4,
                                                   c), stroke=detail, stroke_width=5, fill="none",
                     transform="rotate(-16 %g %g)" % (c, c))
    return int(size), int(size), body


def comet(step):
    w, h = 96, 50
    tail = ""
    for k, (dx, op) in enumerate(((0, 0.25), (6, 0.35), (12, 0.5))):
        tail += polygon([(dx, 8 + step * 3 + k * 4), (74, 21), (74, 29)], fill="#4ee2ec", opacity=op)
    body = tail + ellipse(78, 25, 9, 9, fill="#bff6fa", opacity=0.5) + ellipse(78, 25, 6, 6, fill="#ffffff",
                                                                                stroke=svg.OUTLINE,
                                                                                stroke_width=1.2)
    return w, h, body


# ---------------------------------------------------------------- night

def night():
    """The flashlight upgrade's night over the windows (800 x 150, drawn unscaled)."""
    rnd = Random(16)
    body = rect(0, 0, W, H, fill="#0a0f2a", opacity=0.72)
    for k in range(70):
        x, y = rnd.uniform(0, W), rnd.uniform(0, 110)
        r = rnd.choice([0.7, 0.9, 1.2])
        body += ellipse(x, y, r, r, fill="#fff8dc", opacity=rnd.uniform(0.5, 0.95))
    # a crescent moon in the first window (the overlay lies still over the scenery)
    body += ellipse(76, 52, 11, 11, fill="#f7f0c0") + ellipse(81, 49, 9, 9, fill="#0a0f2a", opacity=0.9)
    return body
