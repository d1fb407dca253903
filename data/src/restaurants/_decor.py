"""The decor upgrades: four items per restaurant, each what its name in the
string table says ("decor_R_N"), and each in three pictures:
  N_0 the item as it stands in the room once chosen;
  N_1 the offer shown while the player chooses (pale, with a dashed rim:
      "this could go here"); also the item's hit mask, so it is opaque
      wherever the item is;
  N_2 its glow: a golden halo around the item, laid over it pulsing.
The room keeps a plain spot for each, where every picture shows whole: the
game's display covers the wall's top 44 px and the clock the right end's
top 60, and the closed sign slides in along the wall above the line's door,
all drawn over the room. So item 1 stands on the floor at the left edge,
below the skip-tutorial button, where only a long line passes in front of
it (the train's in the top right corner: its pianist plays on the left),
item 2 hangs above the drink machine, item 3 beside the kitchen pass, item
4 right of the last window, under the clock. spots() gives each picture's top-left corner
(upgrades.xml stores minus these); the content lint's `clear` line checks
them against the display's boxes and the sign."""
import math

from qmcontent import style, svg
from qmcontent.svg import OUTLINE, ellipse, group, path, polygon, rect

GLOW = "#ffd86a"
# Room round each item: its offer's rim takes 3 px, its glow about 10 (a 3 px
# dilation blurred by 2.5), which fades out by itself before the picture's
# edge. An item reaching further is cut there (the content lint's `whole`
# and `glow` lines).
PAD = 8
SIZES = {1: (76, 100), 2: (74, 56), 3: (60, 96), 4: (64, 84)}
# The wall's first row under the display, and the clock's foot.
BELOW_DISPLAY = 44
BELOW_CLOCK = 60


def _o(fill, width=2):
    return svg.outlined(fill, width)


def spots(name):
    # Item 2 hangs between item 3 and the last window, above the drink machine
    # (each room's wall leaves a little more or less room there); item 3 just
    # right of the pass's frame.
    plant = (724, 138) if name == "train" else (0, 198)
    picture = {"cruise": 549, "train": 552, "sub": 553, "blimp": 551, "spaceship": 551}[name]
    return {1: plant, 2: (picture, BELOW_DISPLAY), 3: (504, BELOW_DISPLAY), 4: (734, BELOW_CLOCK)}


# ---------------------------------------------------------------- shared shapes

def pot(cx, base, w, h, colour, rim=None):
    rim = rim or style.light(colour)
    out = polygon([(cx - w / 2, base - h), (cx + w / 2, base - h), (cx + w / 2 - 5, base), (cx - w / 2 + 5, base)],
                  **_o(colour))
    out += rect(cx - w / 2 - 3, base - h - 5, w + 6, 8, r=3, **_o(rim))
    out += polygon([(cx + w / 2 - 9, base - h + 3), (cx + w / 2 - 2, base - h + 3), (cx + w / 2 - 6, base - 2),
                    (cx + w / 2 - 11, base - 2)], fill=style.shade(colour))
    return out


def frame_picture(w, h, frame, inner):
    """A framed picture hung flat on the wall: inner is drawn in (0,0)-(iw,ih)."""
    x, y = PAD + 2, PAD + 1
    fw, fh = w - 2 * PAD - 4, h - 2 * PAD - 6
    out = rect(x + 3, y + 4, fw, fh, r=2, fill=OUTLINE, opacity=0.25)
    out += rect(x, y, fw, fh, r=2, **_o(frame))
    out += rect(x + 1.5, y + 1.5, fw - 3, 3, fill=style.light(frame))
    ix, iy, iw, ih = x + 6, y + 6, fw - 12, fh - 12
    out += svg.defs("<clipPath id='pic'>%s</clipPath>" % rect(ix, iy, iw, ih))
    out += group(group(inner(iw, ih), transform="translate(%g %g)" % (ix, iy)), clip_path="url(#pic)")
    out += rect(ix, iy, iw, ih, fill="none", stroke=style.shade(frame), stroke_width=1.5)
    return out


def leaf(x, y, angle, length, width, colour):
    a = math.radians(angle)
    ex, ey = x + length * math.cos(a), y + length * math.sin(a)
    nx, ny = -math.sin(a) * width, math.cos(a) * width
    mx, my = (x + ex) / 2, (y + ey) / 2
    return path("M%g %g Q%g %g %g %g Q%g %g %g %g Z" % (x, y, mx + nx, my + ny, ex, ey, mx - nx, my - ny, x, y),
                **_o(colour, 1.5))


# ---------------------------------------------------------------- item 1: plants

def plant(name):
    w, h = SIZES[1]
    cx, base = w / 2, h - PAD - 2
    c = list(style.RESTAURANTS[name].values())
    out = ellipse(cx + 4, base + 1, 24, 5, fill=OUTLINE, opacity=0.25)
    if name == "cruise":  # a palm in a brass pot
        # The crown keeps the glow's reach below the picture's top.
        for a, l in ((-150, 30), (-120, 30), (-60, 30), (-30, 30), (-90, 24)):
            out += leaf(cx, base - 52, a, l, 8, "#4fa35a")
        out += path("M%g %g Q%g %g %g %g" % (cx, base - 24, cx - 4, base - 38, cx, base - 52), stroke=OUTLINE,
                    stroke_width=7, fill="none", stroke_linecap="round")
        out += path("M%g %g Q%g %g %g %g" % (cx, base - 24, cx - 4, base - 38, cx, base - 52), stroke="#a0743c",
                    stroke_width=4, fill="none", stroke_linecap="round")
        out += pot(cx, base, 30, 24, c[2])
    elif name == "train":  # a fern on a turned wooden stand
        out += rect(cx - 3, base - 40, 6, 40, **_o("#8a4a32", 1.5))
        out += rect(cx - 14, base - 4, 28, 5, r=2, **_o("#6b2e22", 1.5))
        for a in (-170, -140, -110, -70, -40, -10):
            out += leaf(cx, base - 54, a, 30, 5, "#5f9e57")
        out += pot(cx, base - 38, 26, 16, "#c79a3a")
    elif name == "sub":  # kelp in a round glass tank on a steel foot
        out += rect(cx - 12, base - 8, 24, 8, r=2, **_o(c[1], 1.5))
        out += ellipse(cx, base - 36, 24, 26, fill="#bfe9ee", stroke=OUTLINE, stroke_width=2, opacity=0.95)
        for k, dx in enumerate((-8, 0, 8)):
            out += path("M%g %g q-6 -10 0 -18 q6 -8 0 -16" % (cx + dx, base - 14), stroke="#3f8f6a",
                        stroke_width=4, fill="none", stroke_linecap="round")
        out += ellipse(cx + 10, base - 50, 2, 2, fill="none", stroke="#ffffff", stroke_width=1)
        out += ellipse(cx - 6, base - 56, 1.5, 1.5, fill="none", stroke="#ffffff", stroke_width=1)
        out += path("M%g %g A24 26 0 0 1 %g %g" % (cx - 18, base - 50, cx - 4, base - 61), stroke="#ffffff",
                    stroke_width=2.5, fill="none", opacity=0.8)
        out += rect(cx - 14, base - 60, 28, 5, r=2, **_o(c[1], 1.5))
    elif name == "blimp":  # bright flowers in a red-trimmed pot
        for a, col in ((-130, "#f4c430"), (-95, "#c8283b"), (-60, "#f08aa8"), (-110, "#ffffff"), (-75, "#f4c430")):
            r = math.radians(a)
            fx, fy = cx + 26 * math.cos(r), base - 28 + 30 * math.sin(r)
            out += path("M%g %g L%g %g" % (cx, base - 26, fx, fy), stroke="#4f9a52", stroke_width=2.5)
            for p in range(5):
                pa = math.radians(p * 72)
                out += ellipse(fx + 4 * math.cos(pa), fy + 4 * math.sin(pa), 3.4, 3.4, **_o(col, 1.2))
            out += ellipse(fx, fy, 2.4, 2.4, fill="#f7d56a", stroke=OUTLINE, stroke_width=1)
        out += leaf(cx, base - 26, -160, 18, 5, "#5fae5a") + leaf(cx, base - 26, -20, 18, 5, "#5fae5a")
        out += pot(cx, base, 30, 24, "#f6ecd2", "#c8363b")
    else:  # a fern floating over a glowing pot
        out += ellipse(cx, base - 4, 16, 4, fill=c[2], opacity=0.5)
        for a in (-170, -140, -115, -90, -65, -40, -10):
            out += leaf(cx, base - 40, a, 28, 5, "#6fd0a8")
        out += rect(cx - 14, base - 40, 28, 18, r=8, **_o(c[1]))
        out += rect(cx - 10, base - 32, 20, 3, r=1.5, fill=c[2])
        out += rect(cx - 10, base - 14, 20, 4, r=2, fill=c[2], opacity=0.6)
    return out


# ---------------------------------------------------------------- item 2: pictures

def seascape(w, h):
    return (rect(0, 0, w, h * 0.55, fill="#bfe3f3") + rect(0, h * 0.55, w, h, fill="#3f9bc4")
            + ellipse(w * 0.75, h * 0.25, 5, 5, fill="#f7d56b")
            + path("M4 %g q6 -3 12 0 q6 -3 12 0 q6 -3 12 0 q6 -3 12 0" % (h * 0.75), stroke="#ffffff",
                   stroke_width=1.5, fill="none")
            + polygon([(w * 0.3, h * 0.55), (w * 0.3, h * 0.2), (w * 0.45, h * 0.52)], fill="#ffffff")
            + polygon([(w * 0.2, h * 0.56), (w * 0.5, h * 0.56), (w * 0.45, h * 0.64), (w * 0.24, h * 0.64)],
                      fill="#8a4a32"))


def country(w, h):
    return (rect(0, 0, w, h, fill="#cfe6f2") + path("M0 %g Q%g %g %g %g L%g %g L0 %g Z" % (
        h * 0.6, w * 0.4, h * 0.3, w, h * 0.55, w, h, h), fill="#7fb86a")
        + path("M0 %g Q%g %g %g %g L%g %g L0 %g Z" % (h * 0.8, w * 0.6, h * 0.55, w, h * 0.8, w, h, h),
               fill="#5f9e57")
        + ellipse(w * 0.7, h * 0.45, 4, 6, fill="#3f7f45") + ellipse(w * 0.2, h * 0.2, 5, 5, fill="#f7d56b"))


def fishes(w, h):
    out = rect(0, 0, w, h, fill="#2f8fa0")
    for x, y, c in ((w * 0.35, h * 0.4, "#f08a3c"), (w * 0.7, h * 0.7, "#f4c430")):
        out += ellipse(x, y, 9, 5, fill=c) + polygon([(x + 7, y), (x + 13, y - 5), (x + 13, y + 5)], fill=c)
        out += ellipse(x - 5, y - 1, 1.3, 1.3, fill=OUTLINE)
    out += ellipse(w * 0.15, h * 0.2, 2, 2, fill="none", stroke="#ffffff", stroke_width=1)
    out += rect(0, h - 5, w, 5, fill="#c8b27a")
    return out


def skies(w, h):
    out = rect(0, 0, w, h, fill="#8cc7ee")
    out += ellipse(w * 0.3, h * 0.4, 12, 5, fill="#ffffff") + ellipse(w * 0.38, h * 0.32, 8, 6, fill="#ffffff")
    out += ellipse(w * 0.72, h * 0.7, 14, 5, fill="#ffffff") + ellipse(w * 0.66, h * 0.62, 7, 5, fill="#ffffff")
    out += ellipse(w * 0.8, h * 0.2, 4, 4, fill="#f7d56b")
    return out


def starchart(w, h):
    out = rect(0, 0, w, h, fill="#1b1236")
    pts = [(0.15, 0.7), (0.35, 0.35), (0.55, 0.55), (0.8, 0.25)]
    out += path("M" + " L".join("%g %g" % (x * w, y * h) for x, y in pts), stroke="#4ee2ec", stroke_width=1.2,
                fill="none", stroke_dasharray="3 2")
    for x, y in pts:
        out += ellipse(x * w, y * h, 2, 2, fill="#ffffff")
    out += ellipse(0.8 * w, 0.25 * h, 5, 5, fill="#e38b4f")
    for x, y in ((0.1, 0.2), (0.6, 0.15), (0.9, 0.8), (0.45, 0.85)):
        out += ellipse(x * w, y * h, 0.9, 0.9, fill="#ffffff")
    return out


PICTURES = {"cruise": ("#c79a3a", seascape), "train": ("#c79a3a", country), "sub": ("#8a9aa3", fishes),
            "blimp": ("#c8363b", skies), "spaceship": ("#c3c8d4", starchart)}


def picture(name):
    w, h = SIZES[2]
    frame, inner = PICTURES[name]
    return frame_picture(w, h, frame, inner)


# ---------------------------------------------------------------- item 3: lamps

def hook(cx, colour="#c79a3a"):
    """The bracket on the wall that a lamp's chain or cord hangs from (the
    ceiling lies under the display)."""
    return rect(cx - 7, PAD, 14, 4, r=2, **_o(colour, 1.2)) + ellipse(cx, PAD + 5, 2, 2, **_o(colour, 1.2))


def lamp(name):
    w, h = SIZES[3]
    cx = w / 2
    out = ""
    if name == "cruise":  # a ship's lantern on a chain
        out += path("M%g %g L%g %g" % (cx, PAD + 7, cx, 34), stroke=OUTLINE, stroke_width=2, stroke_dasharray="3 2")
        out += hook(cx)
        out += ellipse(cx, 62, 22, 22, fill="#ffd86a", opacity=0.3)
        out += rect(cx - 12, 40, 24, 34, r=4, **_o("#fff1a8"))
        out += ellipse(cx, 57, 5, 8, fill="#f4a23a")
        for dx in (-12, -4, 4):
            out += rect(cx + dx, 40, 2.5, 34, fill="#c79a3a", stroke=OUTLINE, stroke_width=0.8)
        out += polygon([(cx - 14, 40), (cx + 14, 40), (cx + 8, 32), (cx - 8, 32)], **_o("#c79a3a"))
        out += rect(cx - 14, 72, 28, 6, r=2, **_o("#c79a3a"))
        out += ellipse(cx, 31, 4, 3, **_o("#c79a3a", 1.5))
    elif name == "train":  # a swing-arm reading lamp with a yellow shade
        out += rect(cx - 18, 34, 8, 24, r=3, **_o("#c79a3a", 1.5))
        out += path("M%g 46 L%g 38 L%g 52" % (cx - 12, cx + 8, cx + 14), stroke=OUTLINE, stroke_width=5,
                    fill="none", stroke_linejoin="round")
        out += path("M%g 46 L%g 38 L%g 52" % (cx - 12, cx + 8, cx + 14), stroke="#c79a3a", stroke_width=2.5,
                    fill="none", stroke_linejoin="round")
        out += svg.defs(svg.radial_gradient("lampglow", [(0, "#fff1a8", 0.8), (1, "#fff1a8", 0)]))
        # the light pool stays inside the picture with room for the offer's rim round it
        out += ellipse(cx + 13, 70, 13, 16, fill="url(#lampglow)")
        out += polygon([(cx + 4, 66), (cx + 24, 66), (cx + 20, 50), (cx + 8, 50)], **_o("#f7d56b"))
        out += rect(cx + 6, 64, 16, 3, fill="#ffffff", opacity=0.8)
    elif name == "sub":  # a lamp made from an old diving helmet
        out += path("M%g %g L%g %g" % (cx, PAD + 7, cx, 30), stroke=OUTLINE, stroke_width=2, stroke_dasharray="3 2")
        out += hook(cx, "#8a9aa3")
        out += ellipse(cx, 54, 22, 22, **_o("#c79a3a"))
        out += ellipse(cx, 56, 11, 11, **_o("#fff1a8", 1.5))
        out += ellipse(cx, 56, 16, 16, fill="none", stroke=style.shade("#c79a3a"), stroke_width=3)
        for a in range(0, 360, 60):
            r = math.radians(a)
            out += ellipse(cx + 16 * math.cos(r), 56 + 16 * math.sin(r), 1.6, 1.6, fill=OUTLINE)
        out += ellipse(cx - 8, 44, 4, 3, fill="#ffffff", opacity=0.6)
        out += rect(cx - 14, 74, 28, 6, r=2, **_o("#8a9aa3"))
        out += ellipse(cx, 68, 26, 14, fill="#ffd86a", opacity=0.25)
    elif name == "blimp":  # a pendant lamp with red trim
        out += path("M%g %g L%g %g" % (cx, PAD + 7, cx, 44), stroke=OUTLINE, stroke_width=2)
        out += hook(cx, "#c8363b")
        out += ellipse(cx, 70, 22, 10, fill="#ffd86a", opacity=0.35)
        out += path("M%g 64 Q%g 40 %g 64 Z" % (cx - 22, cx, cx + 22), **_o("#f6ecd2"))
        out += rect(cx - 23, 61, 46, 6, r=3, **_o("#c8363b", 1.5))
        out += ellipse(cx, 68, 6, 4, **_o("#fff1a8", 1.2))
        out += ellipse(cx, 44, 4, 3, **_o("#c8363b", 1.5))
    else:  # a cyan glow lamp on a wall bracket
        out += rect(cx - 4, 20, 8, 14, r=2, **_o("#c3c8d4", 1.5))
        out += ellipse(cx, 56, 24, 28, fill="#4ee2ec", opacity=0.25)
        out += rect(cx - 10, 32, 20, 46, r=10, **_o("#bff6fa"))
        out += rect(cx - 5, 38, 10, 34, r=5, fill="#4ee2ec")
        out += rect(cx - 12, 74, 24, 8, r=3, **_o("#c3c8d4"))
        out += rect(cx - 12, 28, 24, 6, r=3, **_o("#c3c8d4"))
    return out


# ---------------------------------------------------------------- item 4: specials

def special(name):
    w, h = SIZES[4]
    cx, cy = w / 2, h / 2 + 2
    out = ""
    if name == "cruise":  # a life ring, navy and white
        out += ellipse(cx + 3, cy + 4, 24, 24, fill=OUTLINE, opacity=0.25)
        out += ellipse(cx, cy, 24, 24, **_o("#f4f6f8"))
        for a in (45, 135, 225, 315):
            r0, r1 = math.radians(a - 22), math.radians(a + 22)
            out += path("M%g %g A24 24 0 0 1 %g %g L%g %g A12 12 0 0 0 %g %g Z" % (
                cx + 24 * math.cos(r0), cy + 24 * math.sin(r0), cx + 24 * math.cos(r1), cy + 24 * math.sin(r1),
                cx + 12 * math.cos(r1), cy + 12 * math.sin(r1), cx + 12 * math.cos(r0), cy + 12 * math.sin(r0)),
                fill="#c8283b")
        out += ellipse(cx, cy, 24, 24, fill="none", stroke=OUTLINE, stroke_width=2)
        out += ellipse(cx, cy, 12, 12, fill="#5a6f8a", stroke=OUTLINE, stroke_width=2)
        out += path("M%g %g A22 22 0 0 1 %g %g" % (cx - 20, cy - 6, cx - 6, cy - 20), stroke="#ffffff",
                    stroke_width=3, fill="none", opacity=0.8)
        out += path("M%g %g Q%g %g %g %g" % (cx - 14, cy + 20, cx, cy + 30, cx + 14, cy + 20), stroke="#d9c49a",
                    stroke_width=2.5, fill="none")
    elif name == "train":  # a station clock hanging from a bracket
        out += rect(cx - 2, PAD, 4, 14, **_o("#c79a3a", 1.5))
        out += rect(cx - 14, PAD + 12, 28, 5, r=2, **_o("#c79a3a", 1.5))
        out += ellipse(cx + 2, cy + 6, 22, 22, fill=OUTLINE, opacity=0.25)
        out += ellipse(cx, cy + 4, 22, 22, **_o("#c79a3a"))
        out += ellipse(cx, cy + 4, 17, 17, **_o("#fbf6ea", 1.5))
        for k in range(12):
            a = math.radians(k * 30)
            out += path("M%g %g L%g %g" % (cx + 13 * math.cos(a), cy + 4 + 13 * math.sin(a), cx + 16 * math.cos(a),
                                           cy + 4 + 16 * math.sin(a)), stroke=OUTLINE, stroke_width=1.5)
        out += path("M%g %g L%g %g M%g %g L%g %g" % (cx, cy + 4, cx, cy - 8, cx, cy + 4, cx + 8, cy + 8),
                    stroke=OUTLINE, stroke_width=2, stroke_linecap="round")
        out += ellipse(cx, cy + 4, 2, 2, fill="#c8283b")
    elif name == "sub":  # a depth gauge with a brass rim
        out += ellipse(cx + 3, cy + 4, 24, 24, fill=OUTLINE, opacity=0.25)
        out += ellipse(cx, cy, 24, 24, **_o("#c79a3a"))
        out += ellipse(cx, cy, 18, 18, **_o("#f4f6f8", 1.5))
        out += path("M%g %g A14 14 0 0 1 %g %g" % (cx + 9, cy + 11, cx + 14, cy), stroke="#c8283b",
                    stroke_width=3, fill="none")
        for k in range(9):
            a = math.radians(135 + k * 33.75)
            out += path("M%g %g L%g %g" % (cx + 11 * math.cos(a), cy + 11 * math.sin(a), cx + 15 * math.cos(a),
                                           cy + 15 * math.sin(a)), stroke=OUTLINE, stroke_width=1.3)
        a = math.radians(20)
        out += path("M%g %g L%g %g" % (cx, cy, cx + 13 * math.cos(a), cy + 13 * math.sin(a)), stroke=OUTLINE,
                    stroke_width=2.2, stroke_linecap="round")
        out += ellipse(cx, cy, 2.5, 2.5, fill=OUTLINE)
        out += rect(cx - 7, cy + 6, 14, 5, r=1, fill="#24395e")
        for bx, by in ((0, -21), (0, 21), (-21, 0), (21, 0)):
            out += ellipse(cx + bx, cy + by, 1.6, 1.6, fill=OUTLINE)
    elif name == "blimp":  # a small propeller fan on a wall mount
        cy -= 6
        out += rect(cx - 5, cy + 12, 10, 18, r=3, **_o("#c8363b", 1.5))
        out += rect(cx - 14, cy + 27, 28, 6, r=3, **_o("#f6ecd2", 1.5))
        out += ellipse(cx, cy, 19, 19, fill="none", stroke="#c3c8d4", stroke_width=3)
        for a in (-30, 90, 210):
            r = math.radians(a)
            out += path("M%g %g Q%g %g %g %g Q%g %g %g %g Z" % (
                cx, cy, cx + 15 * math.cos(r - 0.5), cy + 15 * math.sin(r - 0.5), cx + 18 * math.cos(r),
                cy + 18 * math.sin(r), cx + 9 * math.cos(r + 0.4), cy + 9 * math.sin(r + 0.4), cx, cy),
                **_o("#b98a5a", 1.5))
        out += ellipse(cx, cy, 5, 5, **_o("#c8363b", 1.5))
        out += ellipse(cx, cy, 19, 19, fill="none", stroke=OUTLINE, stroke_width=1)
    else:  # a ringed planet globe on a stand
        cy -= 6
        out += rect(cx - 3, cy + 10, 6, 16, **_o("#c3c8d4", 1.5))
        out += rect(cx - 12, cy + 24, 24, 6, r=3, **_o("#c3c8d4"))
        out += path("M%g %g A17 17 0 0 0 %g %g" % (cx - 14, cy + 9, cx + 14, cy - 9), stroke="#c3c8d4",
                    stroke_width=3, fill="none")
        out += ellipse(cx, cy - 2, 20, 6, fill="none", stroke="#f7d56a", stroke_width=3,
                       transform="rotate(-15 %g %g)" % (cx, cy - 2))
        out += ellipse(cx, cy - 2, 12, 12, **_o("#e38b4f"))
        out += rect(cx - 12, cy - 7, 24, 3, fill="#f4c08a", opacity=0.8)
        out += path("M%g %g A20 6 0 0 0 %g %g" % (cx - 19.5, cy - 2, cx + 19.5, cy - 2), stroke="#f7d56a",
                    stroke_width=3, fill="none", transform="rotate(-15 %g %g)" % (cx, cy - 2))
        out += ellipse(cx - 4.5, cy - 6.5, 3, 2.2, fill="#ffffff", opacity=0.5)
    return out


DRAW = {1: plant, 2: picture, 3: lamp, 4: special}


def item(name, n):
    """The item's SVG body and its picture size."""
    return DRAW[n](name), SIZES[n]


def offered(body):
    """The offer: the item washed pale, so it reads as "not yet yours", on an
    accent rim; opaque wherever the item is (it is the hit mask too)."""
    return (svg.defs("<filter id='rim' x='-20%' y='-20%' width='140%' height='140%'>"
                     "<feMorphology in='SourceAlpha' operator='dilate' radius='2.5' result='d'/>"
                     "<feFlood flood-color='#e8743b'/><feComposite in2='d' operator='in'/></filter>"
                     "<filter id='pale'><feColorMatrix type='matrix' values='0.45 0 0 0 0.55  0 0.45 0 0 0.55  "
                     "0 0 0.45 0 0.55  0 0 0 1 0'/></filter>")
            + group(body, filter="url(#rim)", opacity=0.9) + group(body, filter="url(#pale)"))


def glowing(body):
    """The glow: a soft golden halo around the item, and the item itself."""
    halo = svg.defs("<filter id='glow' x='-30%%' y='-30%%' width='160%%' height='160%%'>"
                    "<feMorphology in='SourceAlpha' operator='dilate' radius='3' result='d'/>"
                    "<feGaussianBlur in='d' stdDeviation='2.5' result='b'/>"
                    "<feFlood flood-color='%s'/><feComposite in2='b' operator='in'/></filter>" % GLOW)
    return halo + group(body, filter="url(#glow)") + body
