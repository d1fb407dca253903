"""The story comics: Quessa's journey from the cruise ship to the stars, in
full-screen pages "comicR_P.png" (R the restaurant just finished, 1-5, P the
page from 1; 6 the closing page), and the three figures that bob over the
closing page ("quessa.png", "odile.png", "odiles_cup.png", drawn from their
top left at fixed places).

The story: after each restaurant a card comes from Odile, Quessa's friend
who keeps a little cafe in port, and sends her on to the next: the rails,
the deep, the sky, the stars. In orbit Odile turns up as a customer, and
the two decide to open a place of their own.

Everyone is drawn with the game's own rigs: Quessa with the waitress rig
(data/src/quessa), the customers with theirs (data/src/customers), Odile,
the cooks and the performers with the staff rig (data/src/people,
data/src/restaurants/staff.py). Panels leave the strip at the bottom free
for the page arrows; every bubble and caption is checked to lie inside its
panel with its tail on the speaker, else the page fails to build."""
# reads: ../quessa ../customers ../people ../restaurants
import functools
import importlib.util
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
for folder in ("quessa", "customers", "people"):
    sys.path.insert(0, os.path.join(HERE, "..", folder))

import _figure as fig  # noqa: E402
import _person as person  # noqa: E402
import _waitress as waitress  # noqa: E402
import customers  # noqa: E402
from qmcontent import style, svg  # noqa: E402
from qmcontent.rig import Pose  # noqa: E402
from qmcontent.svg import OUTLINE, ellipse, group, path, rect  # noqa: E402


def _restaurant_staff():
    spec = importlib.util.spec_from_file_location("restaurant_staff",
                                                  os.path.join(HERE, "..", "restaurants", "staff.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


STAFF = _restaurant_staff()
PAPER, INK = style.PAPER, style.INK
FONT = "DejaVu Sans"
W, H = 800, 600
BOTTOM = 520  # below this the page's arrows sit

# Quessa's own colours: a teal blouse, a navy skirt, a cream apron, red bow.
ODILE = person.person(skin=style.SKIN[1], hair=style.HAIR[1], hair_style="bob", glasses="round", freckles=True,
                      lashes=True, top="#f2a65a", cut="collar", accent="#fbf0dc", apron="#fbf0dc", lower="skirt",
                      lower_colour="#6a4a6e", shoe="#6b2e22", build=0.95)

_ids = [0]


def new_id(prefix):
    _ids[0] += 1
    return "%s%d" % (prefix, _ids[0])


# ---------------------------------------------------------------- people
# Each returns (svg, head) where head is (x, y, radius) of the speaker's head.

def quessa(x, feet, s=2.0, flip=False, **values):
    """Quessa with her feet at (x, feet); pose values of the waitress rig."""
    out = waitress.dressed(dict(waitress.DEFAULT, **values))  # (the accessory: her red bow)
    rx, ry = waitress.REG
    mirror = -1 if flip else 1
    head = (x, feet - (ry - 30) * s, 19 * s)
    return group(out, transform="translate(%g %g) scale(%g %g) translate(%d %d)" % (x, feet, s * mirror, s, -rx, -ry)), head


def staff(look, x, feet, s=1.6, flip=False, held="", **values):
    """A figure of the staff rig (Odile, a cook, a performer) standing at (x, feet)."""
    pose = Pose("comic", person.POSE, **values)
    body = person.figure(look, pose, "whole", clip_id=new_id("t"))
    if held:
        body += group(held, transform=person.upper_transform(pose))
    mirror = -1 if flip else 1
    head = (x, feet - (person.SOLE_Y - 26) * s, 18 * s)
    return group(body, transform="translate(%g %g) scale(%g %g) translate(%g %g)" % (
        x, feet, s * mirror, s, -person.CENTRE_X, -person.SOLE_Y)), head


def odile(x, feet, s=1.6, **values):
    return staff(ODILE, x, feet, s, **values)


def customer(name, x, y, s=1.6, colour="blue", flip=False, **values):
    """A customer from the waist up, its body's centre on (x, y) (seated behind a table)."""
    kind = customers.TYPES[name]
    p = fig.body_palette(kind)
    drawing = fig.draw_body(p, kind, dict(fig.DEFAULT, seated=True, **values))
    for base, value in zip((p.colour("party_light"), p.colour("party"), p.colour("party_shade")),
                           style.ramp(style.PARTY[colour])):
        drawing = drawing.replace("#%02x%02x%02x" % base[:3], value)
    mirror = -1 if flip else 1
    head = (x, y - 16 * s * kind.scale, 18 * s * kind.scale)
    return group(drawing, transform="translate(%g %g) scale(%g %g) translate(%d %d)" % (
        x, y, s * mirror, s, -fig.REG[0], -fig.REG[1])), head


# ---------------------------------------------------------------- props

def table(x, y, w=130, cloth="#fbf0dc"):
    out = ellipse(x + 4, y + 46, w * 0.5, 7, fill=OUTLINE, opacity=0.22)
    out += rect(x - 6, y + 4, 12, 42, fill="#7a4e32", stroke=OUTLINE, stroke_width=2)
    out += path("M%g %g L%g %g L%g %g Q%g %g %g %g Z" % (x - w / 2, y, x + w / 2, y, x + w / 2 - 4, y + 16, x,
                                                        y + 20, x - w / 2 + 4, y + 16), **person.outlined(cloth))
    out += path("M%g %g L%g %g L%g %g Q%g %g %g %g Z" % (x + w / 4, y + 2, x + w / 2, y, x + w / 2 - 4, y + 16, x + w / 4,
                                                        y + 19, x + w / 4, y + 2), fill=style.shade(cloth))
    return out + ellipse(x, y, w / 2, 9, **person.outlined(cloth))


def plate(x, y, food="#e8a04a", s=1.0):
    out = ellipse(x, y, 14 * s, 5 * s, **person.outlined("#ffffff", 1.5))
    return out + ellipse(x, y - 1 * s, 8 * s, 3 * s, fill=food, stroke=OUTLINE, stroke_width=1.2)


def tray(x, y, s=1.0):
    """A round tray with two glasses, held over a hand at (x, y)."""
    out = ellipse(x, y, 20 * s, 5 * s, **person.outlined("#c3c8d4", 1.5))
    for dx in (-8, 7):
        out += path("M%g %g L%g %g L%g %g L%g %g Z" % (x + (dx - 4) * s, y - 20 * s, x + (dx + 4) * s, y - 20 * s,
                                                        x + (dx + 3) * s, y - 3 * s, x + (dx - 3) * s, y - 3 * s),
                    **person.outlined("#fff8ec", 1.5))
        out += rect(x + (dx - 3) * s, y - 14 * s, 6 * s, 10 * s, fill="#f7d56a")
    return out


def card(x, y, s=1.0, tilt=-6):
    """Odile's postcard, held at (x, y)."""
    body = rect(-20, -13, 40, 26, r=2, **person.outlined("#fff8ec", 1.5))
    body += rect(8, -9, 8, 9, fill="#e8743b", stroke=OUTLINE, stroke_width=1)
    body += path("M-15 -4 L3 -4 M-15 1 L3 1 M-15 6 L0 6", stroke=style.PAPER_SHADE, stroke_width=2)
    return group(body, transform="translate(%g %g) rotate(%g) scale(%g)" % (x, y, tilt, s))


def suitcase(x, y, s=1.0, colour="#c8283b"):
    out = path("M%g %g Q%g %g %g %g" % (x - 6 * s, y, x, y - 7 * s, x + 6 * s, y), fill="none", stroke=OUTLINE,
               stroke_width=3)
    out += rect(x - 18 * s, y, 36 * s, 26 * s, r=4 * s, **person.outlined(colour))
    out += rect(x + 8 * s, y + 2 * s, 8 * s, 22 * s, fill=style.shade(colour))
    return out + rect(x - 16 * s, y + 10 * s, 32 * s, 3 * s, fill=style.light(colour))


def cup(x, y, s=1.0):
    body = path("M-18 -20 L18 -20 L14 14 Q0 20 -14 14 Z", fill="#fbf0dc", stroke=OUTLINE, stroke_width=2.5)
    body += path("M18 -12 Q32 -10 28 2 Q24 10 15 6", fill="none", stroke=OUTLINE, stroke_width=5)
    body += path("M18 -12 Q32 -10 28 2 Q24 10 15 6", fill="none", stroke="#fbf0dc", stroke_width=2.5)
    body += path("M8 -18 L14 -18 L11 12 Q8 14 5 14 Z", fill=style.shade("#fbf0dc"))
    body += ellipse(0, -20, 18, 5, fill="#7a4a2a", stroke=OUTLINE, stroke_width=2)
    body += ellipse(-5, -21, 6, 1.5, fill="#a0684a")
    body += path("M-6 -30 q-4 -8 2 -14 M6 -30 q-4 -8 2 -14", stroke="#ffffff", stroke_width=3.5, fill="none",
                 opacity=0.85, stroke_linecap="round")
    body += ellipse(0, 17, 26, 5, **person.outlined("#ffffff", 2))
    body += path("M-5 -6 Q0 -10 5 -6 Q0 0 -5 -6 Z", fill="#e0606a")
    return group(body, transform="translate(%g %g) scale(%g)" % (x, y, s))


def sparkle(x, y, r=6, colour="#ffffff"):
    return path("M%g %g L%g %g L%g %g L%g %g L%g %g L%g %g L%g %g L%g %g Z" % (
        x, y - r, x + r * 0.25, y - r * 0.25, x + r, y, x + r * 0.25, y + r * 0.25, x, y + r, x - r * 0.25,
        y + r * 0.25, x - r, y, x - r * 0.25, y - r * 0.25), fill=colour, stroke=OUTLINE, stroke_width=1)


def heart(x, y, s=1.0, colour="#e0606a"):
    return path("M%g %g C%g %g %g %g %g %g C%g %g %g %g %g %g Z" % (
        x, y + 7 * s, x - 11 * s, y - 1 * s, x - 6 * s, y - 10 * s, x, y - 4 * s, x + 6 * s, y - 10 * s, x + 11 * s,
        y - 1 * s, x, y + 7 * s), **person.outlined(colour, 1.5))


def motion(x, y, length=18, count=3, gap=7):
    return "".join(path("M%g %g L%g %g" % (x, y + k * gap, x - length, y + k * gap), stroke=OUTLINE,
                        stroke_width=2.5, stroke_linecap="round", opacity=0.6) for k in range(count))


def gradient(x, y, w, h, top, bottom):
    gid = new_id("g")
    return ('<linearGradient id="%s" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="%s"/>'
            '<stop offset="1" stop-color="%s"/></linearGradient>' % (gid, top, bottom)
            + rect(x, y, w, h, fill="url(#%s)" % gid))


def cloud(x, y, s=1.0, colour="#ffffff"):
    puffs = ((0, 0, 16), (18, -8, 20), (40, 0, 16), (20, 6, 16))
    return "".join(ellipse(x + dx * s, y + dy * s, r * s, r * s * 0.8, fill=colour) for dx, dy, r in puffs)


def stars(x, y, w, h, count=30, seed=7):
    out = ""
    for k in range(count):
        sx = x + (k * 97 + seed * 31) % int(w)
        sy = y + (k * 57 + seed * 13) % int(h)
        out += ellipse(sx, sy, 1.4 + (k % 3) * 0.5, 1.4 + (k % 3) * 0.5, fill="#ffffff", opacity=0.8)
    return out


# ---------------------------------------------------------------- sets

def porthole(cx, cy, r, inside, rim="#c79a3a"):
    return (ellipse(cx, cy, r + 6, r + 6, fill=rim, stroke=OUTLINE, stroke_width=2) + ellipse(cx, cy, r, r, fill=inside)
            + ellipse(cx - r * 0.35, cy - r * 0.35, r * 0.25, r * 0.15, fill="#ffffff", opacity=0.6,
                      transform="rotate(-35 %g %g)" % (cx - r * 0.35, cy - r * 0.35)))


def deck(x, y, w, h, evening=False):
    """The cruise ship's deck: sky and sea behind the rail, planks underfoot."""
    top, low = ("#f3a86b", "#f7d9a0") if evening else ("#8cc7ee", "#d6eef8")
    out = gradient(x, y, w, h * 0.55, top, low)
    out += ellipse(x + w * 0.78, y + h * 0.42, 26, 26, fill="#ffd27a" if evening else "#fff3c0")
    out += rect(x, y + h * 0.45, w, h * 0.2, fill="#3f9bc4")
    for k in range(5):
        wx = x + (k * 83) % max(1, int(w - 40)) + 10
        out += path("M%g %g q8 -4 16 0" % (wx, y + h * (0.5 + 0.03 * (k % 3))), stroke="#d6eef8", stroke_width=2,
                    fill="none")
    out += cloud(x + w * 0.18, y + h * 0.16, 0.8) + cloud(x + w * 0.55, y + h * 0.1, 0.6)
    out += rect(x, y + h * 0.62, w, h * 0.38, fill="#c9a57a")
    for k in range(0, int(w), 46):
        out += path("M%g %g L%g %g" % (x + k, y + h * 0.62, x + k - 30, y + h), stroke="#b08a60", stroke_width=2)
    # The rail.
    out += rect(x, y + h * 0.47, w, 6, fill="#f4f6f8", stroke=OUTLINE, stroke_width=1.5)
    for k in range(0, int(w) + 1, 34):
        out += rect(x + k, y + h * 0.47, 4, h * 0.15, fill="#f4f6f8", stroke=OUTLINE, stroke_width=1)
    out += rect(x, y + h * 0.6, w, 5, fill="#24395e")
    return out


def cruise_room(x, y, w, h):
    out = rect(x, y, w, h, fill="#24395e")
    out += rect(x, y + h * 0.12, w, 8, fill="#c79a3a")
    for k in range(int(w // 150) + 1):
        out += porthole(x + 70 + k * 150, y + h * 0.36, 28, "#3f9bc4")
        out += path("M%g %g q10 -5 20 0" % (x + 60 + k * 150, y + h * 0.4), stroke="#d6eef8", stroke_width=2,
                    fill="none")
    out += rect(x, y + h * 0.66, w, h * 0.34, fill="#c9a57a")
    out += rect(x, y + h * 0.66 - 6, w, 6, fill="#c79a3a")
    for k in range(0, int(w), 56):
        out += path("M%g %g L%g %g" % (x + k, y + h * 0.66, x + k - 24, y + h), stroke="#b08a60", stroke_width=2)
    return out


def train_outside(x, y, w, h):
    """A country station: the Express's dining car at the platform."""
    out = gradient(x, y, w, h * 0.6, "#8cc7ee", "#e2f2fa")
    out += path("M%g %g Q%g %g %g %g Q%g %g %g %g L%g %g L%g %g Z" % (
        x, y + h * 0.45, x + w * 0.25, y + h * 0.3, x + w * 0.5, y + h * 0.42, x + w * 0.8, y + h * 0.28, x + w,
        y + h * 0.4, x + w, y + h * 0.6, x, y + h * 0.6), fill="#8fbf7a")
    out += cloud(x + 40, y + 30, 0.7) + cloud(x + w - 160, y + 50, 0.8)
    car_y = y + h * 0.28
    out += rect(x + 20, car_y, w - 40, h * 0.42, r=10, **person.outlined("#6b2e22"))
    out += rect(x + 20, car_y + h * 0.33, w - 40, 8, fill="#c79a3a")
    for k in range(int((w - 60) // 90)):
        wx = x + 40 + k * 90
        out += rect(wx, car_y + 16, 60, h * 0.16, r=6, fill="#f7d56b", stroke=OUTLINE, stroke_width=2)
        out += rect(wx + 4, car_y + 20, 22, 8, r=3, fill="#ffffff", opacity=0.6)
    out += path("M%g %g Q%g %g %g %g" % (x + 20, car_y + 4, x + w / 2, car_y - 14, x + w - 20, car_y + 4),
                fill="#4a2a22", stroke=OUTLINE, stroke_width=2)
    out += rect(x, y + h * 0.7, w, h * 0.3, fill="#a8a29a")
    out += rect(x, y + h * 0.7, w, 6, fill="#f4f6f8")
    return out


def dining_car(x, y, w, h, hills="#8fbf7a"):
    out = rect(x, y, w, h, fill="#6b2e22")
    for k in range(int(w // 170) + 1):
        wx = x + 30 + k * 170
        out += rect(wx, y + h * 0.14, 120, h * 0.36, r=10, fill="#c79a3a", stroke=OUTLINE, stroke_width=2)
        out += gradient(wx + 6, y + h * 0.14 + 6, 108, h * 0.36 - 12, "#8cc7ee", "#e2f2fa")
        out += path("M%g %g Q%g %g %g %g L%g %g L%g %g Z" % (
            wx + 6, y + h * 0.4, wx + 50, y + h * 0.3, wx + 114, y + h * 0.38, wx + 114, y + h * 0.5 - 6, wx + 6,
            y + h * 0.5 - 6), fill=hills)
        out += ellipse(wx + 145, y + h * 0.2, 7, 7, fill="#f7d56b", stroke=OUTLINE, stroke_width=1.5)
        out += ellipse(wx + 145, y + h * 0.2, 14, 14, fill="#f7d56b", opacity=0.3)
    out += rect(x, y + h * 0.58, w, h * 0.08, fill="#2f6b45")
    out += rect(x, y + h * 0.66, w, h * 0.34, fill="#2f6b45")
    for k in range(0, int(w), 28):
        out += rect(x + k, y + h * 0.66, 14, h * 0.34, fill="#2a5f3e")
    return out


def harbour(x, y, w, h, sub_x=None):
    """The sea by the harbour, the submarine's tower out of the water."""
    out = gradient(x, y, w, h * 0.55, "#8cc7ee", "#e2f2fa")
    out += cloud(x + 30, y + 40, 0.7)
    out += rect(x, y + h * 0.5, w, h * 0.5, fill="#3f9bc4")
    for k in range(8):
        out += path("M%g %g q8 -4 16 0" % (x + (k * 71) % max(1, int(w - 20)), y + h * (0.58 + 0.05 * (k % 4))),
                    stroke="#d6eef8", stroke_width=2, fill="none")
    sx = sub_x if sub_x is not None else x + w * 0.6
    out += path("M%g %g Q%g %g %g %g Z" % (sx - 110, y + h * 0.52, sx, y + h * 0.42, sx + 110, y + h * 0.52),
                **person.outlined("#f4c430"))
    out += rect(sx - 22, y + h * 0.3, 44, h * 0.2, r=6, **person.outlined("#f4c430"))
    out += path("M%g %g L%g %g L%g %g" % (sx + 8, y + h * 0.3, sx + 8, y + h * 0.2, sx + 22, y + h * 0.2),
                fill="none", stroke=OUTLINE, stroke_width=4)
    for k in range(3):
        out += porthole(sx - 60 + k * 60, y + h * 0.48, 6, "#9fd8e0", "#8a9aa3")
    return out


def sub_room(x, y, w, h):
    out = rect(x, y, w, h, fill="#1f6f73")
    for k in range(int(w // 150) + 1):
        cx = x + 75 + k * 150
        out += porthole(cx, y + h * 0.34, 34, "#123f44", "#8a9aa3")
        out += path("M%g %g l14 -8 l0 16 z" % (cx - 8 + (k % 2) * 10, y + h * 0.34 + (k % 2) * 8), fill="#f08a3c",
                    stroke=OUTLINE, stroke_width=1)
        out += ellipse(cx + 6 - (k % 2) * 20, y + h * 0.32, 3, 3, fill="none", stroke="#9fd8e0", stroke_width=1.5)
    for k in range(0, int(w), 40):
        out += ellipse(x + k + 20, y + 12, 2.5, 2.5, fill="#8a9aa3")
    out += rect(x, y + h * 0.66, w, h * 0.34, fill="#8a9aa3")
    for k in range(0, int(w), 60):
        out += path("M%g %g L%g %g" % (x + k, y + h * 0.66, x + k, y + h), stroke="#76868f", stroke_width=2)
    out += rect(x, y + h * 0.66 - 6, w, 6, fill="#5c6c75")
    return out


def blimp_sky(x, y, w, h, blimp_x=None, night=False):
    top, low = ("#22305a", "#4a5a8a") if night else ("#8cc7ee", "#e2f2fa")
    out = gradient(x, y, w, h, top, low)
    if night:
        out += stars(x, y, w, h * 0.6, 24, 3)
    for k in range(3):
        out += cloud(x + 20 + k * w / 3, y + h * (0.7 + 0.08 * (k % 2)), 1.0,
                     "#ffffff" if not night else "#6a78a8")
    bx = blimp_x if blimp_x is not None else x + w * 0.5
    by = y + h * 0.3
    out += ellipse(bx, by, 120, 42, **person.outlined("#f6ecd2"))
    out += path("M%g %g Q%g %g %g %g" % (bx - 118, by + 4, bx, by + 48, bx + 118, by + 4), fill=style.shade("#f6ecd2"))
    out += path("M%g %g L%g %g L%g %g Z M%g %g L%g %g L%g %g Z" % (
        bx - 110, by - 8, bx - 150, by - 30, bx - 140, by, bx - 110, by + 8, bx - 150, by + 30, bx - 140, by),
                **person.outlined("#c8363b"))
    out += rect(bx - 40, by + 38, 80, 22, r=6, **person.outlined("#c8363b"))
    for k in range(4):
        out += rect(bx - 32 + k * 18, by + 43, 12, 10, r=2, fill="#f7d56b" if night else "#8cc7ee")
    out += path("M%g %g L%g %g" % (bx - 100, by, bx + 100, by), stroke="#c8363b", stroke_width=4)
    return out


def blimp_room(x, y, w, h, night=False):
    out = rect(x, y, w, h, fill="#f6ecd2")
    wy, wh = y + h * 0.08, h * 0.5
    out += rect(x + 16, wy, w - 32, wh, r=24, fill="#c8363b", stroke=OUTLINE, stroke_width=2)
    out += blimp_window(x + 24, wy + 8, w - 48, wh - 16, night)
    out += rect(x, y + h * 0.66, w, h * 0.34, fill="#e4d5b4")
    out += rect(x, y + h * 0.66 - 6, w, 6, fill="#c8363b")
    return out


def blimp_window(x, y, w, h, night=False):
    clip = new_id("w")
    inside = gradient(x, y, w, h, "#22305a" if night else "#8cc7ee", "#4a5a8a" if night else "#e2f2fa")
    if night:
        inside += stars(x, y, w, h, 16, 5)
    for k in range(3):
        inside += cloud(x + 20 + k * w / 3, y + h * (0.55 + 0.15 * (k % 2)), 0.9, "#ffffff" if not night else "#6a78a8")
    return ('<clipPath id="%s"><rect x="%g" y="%g" width="%g" height="%g" rx="18"/></clipPath>' % (clip, x, y, w, h)
            + group(inside, clip_path="url(#%s)" % clip))


def space_room(x, y, w, h, earth=True):
    out = rect(x, y, w, h, fill="#3b2666")
    vy, vh = y + h * 0.08, h * 0.48
    out += rect(x + 14, vy, w - 28, vh, r=vh / 2, fill="#c3c8d4", stroke=OUTLINE, stroke_width=2)
    clip = new_id("v")
    inside = rect(x + 22, vy + 8, w - 44, vh - 16, fill="#120b2a") + stars(x + 22, vy + 8, w - 44, vh - 16, 40, 11)
    if earth:
        ex, ey = x + w * 0.7, vy + vh * 0.85
        inside += ellipse(ex, ey, 70, 70, fill="#3f9bc4")
        inside += path("M%g %g q20 -25 45 -10 q-5 20 -25 25 z M%g %g q15 -10 35 5 q-10 15 -30 10 z" % (
            ex - 40, ey - 20, ex + 5, ey + 10), fill="#4fbf68")
        inside += ellipse(ex - 20, ey - 40, 20, 6, fill="#ffffff", opacity=0.7)
    inside += ellipse(x + w * 0.2, vy + vh * 0.35, 14, 14, fill="#e38b4f", stroke=OUTLINE, stroke_width=1.5)
    out += ('<clipPath id="%s"><rect x="%g" y="%g" width="%g" height="%g" rx="%g"/></clipPath>'
            % (clip, x + 22, vy + 8, w - 44, vh - 16, (vh - 16) / 2) + group(inside, clip_path="url(#%s)" % clip))
    out += rect(x, y + h * 0.66, w, h * 0.34, fill="#c3c8d4")
    out += rect(x, y + h * 0.66 - 5, w, 5, fill="#4ee2ec")
    for k in range(0, int(w), 64):
        out += path("M%g %g L%g %g" % (x + k, y + h * 0.66, x + k - 20, y + h), stroke="#aeb4c2", stroke_width=2)
    return out


def rocket_sky(x, y, w, h):
    """A starry launch: the blimp below, the rocket rising."""
    out = gradient(x, y, w, h, "#1b1440", "#4a3a7a") + stars(x, y, w, h * 0.7, 30, 9)
    rx, ry = x + w * 0.62, y + h * 0.38
    flame = path("M%g %g Q%g %g %g %g Q%g %g %g %g Z" % (rx - 12, ry + 40, rx, ry + 90, rx + 12, ry + 40, rx,
                                                        ry + 52, rx - 12, ry + 40), **person.outlined("#f4c430"))
    body = path("M%g %g Q%g %g %g %g L%g %g L%g %g L%g %g Q%g %g %g %g Z" % (
        rx, ry - 50, rx + 22, ry - 20, rx + 20, ry + 20, rx + 18, ry + 42, rx - 18, ry + 42, rx - 20, ry + 20, rx - 22,
        ry - 20, rx, ry - 50), **person.outlined("#c3c8d4"))
    fins = path("M%g %g L%g %g L%g %g Z M%g %g L%g %g L%g %g Z" % (
        rx - 18, ry + 16, rx - 36, ry + 46, rx - 18, ry + 42, rx + 18, ry + 16, rx + 36, ry + 46, rx + 18, ry + 42),
        **person.outlined("#c8363b"))
    window_ = porthole(rx, ry - 8, 9, "#4ee2ec", "#3b2666")
    out += flame + fins + body + window_
    out += "".join(ellipse(rx + dx, ry + 100 + dy, 16 - k * 2, 10 - k, fill="#ffffff", opacity=0.5)
                   for k, (dx, dy) in enumerate(((-20, 0), (18, 8), (-4, 18))))
    return out


def cafe(x, y, w, h, sign=True):
    """Their own place: warm walls, a striped awning over the window, shelves of cups."""
    out = rect(x, y, w, h, fill="#f7d9a0")
    for k in range(0, int(w), 36):
        out += rect(x + k, y, 18, h * 0.66, fill="#f4cf8e")
    wx, wy, ww, wh = x + w * 0.08, y + h * 0.16, w * 0.36, h * 0.36
    out += rect(wx, wy, ww, wh, r=6, fill="#8cc7ee", stroke=OUTLINE, stroke_width=2)
    out += path("M%g %g L%g %g M%g %g L%g %g" % (wx + ww / 2, wy, wx + ww / 2, wy + wh, wx, wy + wh / 2, wx + ww,
                                               wy + wh / 2), stroke="#f4f6f8", stroke_width=4)
    for k in range(6):
        out += path("M%g %g L%g %g L%g %g Q%g %g %g %g Z" % (
            wx - 8 + k * (ww + 16) / 6, wy - 14, wx - 8 + (k + 1) * (ww + 16) / 6, wy - 14,
            wx - 8 + (k + 1) * (ww + 16) / 6, wy + 4, wx - 8 + (k + 0.5) * (ww + 16) / 6, wy + 12,
            wx - 8 + k * (ww + 16) / 6, wy + 4), fill="#c8363b" if k % 2 == 0 else "#fbf0dc", stroke=OUTLINE,
            stroke_width=1.5)
    sx = x + w * 0.62
    for row in range(2):
        sy = y + h * (0.26 + row * 0.18)
        out += rect(sx, sy, w * 0.3, 6, fill="#8a5a3b", stroke=OUTLINE, stroke_width=1.5)
        for k in range(4):
            cx = sx + 16 + k * w * 0.07
            out += rect(cx - 7, sy - 14, 14, 14, r=3, **person.outlined(("#e8743b", "#3f9bc4", "#f4c430", "#4fbf68")
                                                                        [(k + row) % 4], 1.5))
    if sign:
        out += rect(x + w * 0.5 - 120, y + h * 0.03, 240, 34, r=8, **person.outlined("#fbf0dc"))
        out += text_lines(x + w * 0.5, y + h * 0.03 + 24, ["QUESSA & ODILE"], 18)
    out += rect(x, y + h * 0.66, w, h * 0.34, fill="#b98a5e")
    out += rect(x, y + h * 0.66 - 6, w, 6, fill="#8a5a3b")
    for k in range(0, int(w), 60):
        out += path("M%g %g L%g %g" % (x + k, y + h * 0.66, x + k - 26, y + h), stroke="#a77a50", stroke_width=2)
    return out


# ---------------------------------------------------------------- words

def escape(text):
    return text.replace("&", "&amp;").replace("'", "&#39;").replace("<", "&lt;")


def text_lines(x, y, lines, size=16, fill=INK, anchor="middle", weight="bold"):
    return "".join(svg.text(x, y + i * (size + 5), escape(line), size, fill, anchor=anchor, weight=weight, family=FONT)
                   for i, line in enumerate(lines))


@functools.lru_cache(maxsize=None)
def text_width(line, size, bold=True):
    """A line's width in the comics' face, measured by drawing it."""
    picture = svg.render(svg.document(W, size * 2, svg.text(0, size * 1.5, escape(line), size, "#000000",
                                                              anchor="start", weight="bold" if bold else "normal",
                                                              family=FONT)))
    right = 0
    for y in range(picture.height):
        for x in range(picture.width - 1, right, -1):
            if picture.get(x, y)[3]:
                right = x + 1
                break
    return right


class Panel:
    """One panel of a page: its scene clipped to its frame, then its words,
    each checked to lie inside it."""

    def __init__(self, x, y, w, h):
        self.x, self.y, self.w, self.h = x, y, w, h
        self.scene = ""
        self.words = ""

    def inside(self, x, y, w=0, h=0, margin=6):
        return (self.x + margin <= x and x + w <= self.x + self.w - margin and self.y + margin <= y
                and y + h <= self.y + self.h - margin)

    def add(self, drawing):
        self.scene += drawing
        return self

    def bubble(self, bx, by, lines, speaker, size=16, steepest=40):
        """A speech bubble with its top left at (bx, by) (panel coordinates)
        and its tail on the speaker's head, reaching it at most `steepest`
        degrees from the level (less under a tall hat)."""
        w = max(text_width(line, size) for line in lines) + 34
        h = len(lines) * (size + 5) + 18
        x, y = self.x + bx, self.y + by
        if not self.inside(x, y, w, h):
            raise ValueError("bubble %r leaves its panel" % lines[0])
        hx, hy, hr = speaker
        cx, cy = x + w / 2, y + h / 2
        # The tail stops just short of the head, coming in from the side
        # rather than from above, where hats and bows are.
        dx, dy = cx - hx, cy - hy
        if math.hypot(dx, dy) < hr + 10:
            raise ValueError("bubble %r sits on its speaker" % lines[0])
        rise = min(math.atan2(-dy, abs(dx)), math.radians(steepest))
        side = 1 if dx >= 0 else -1
        tip = (hx + side * math.cos(rise) * (hr + 6), hy - math.sin(rise) * (hr + 6))
        if not self.inside(tip[0], tip[1], margin=2):
            raise ValueError("bubble %r points outside its panel" % lines[0])
        base_x = min(max(tip[0], x + 22), x + w - 22)
        base_y = y + h / 2
        wide = min(13, w / 6)
        tail = "M%g %g L%g %g L%g %g" % (base_x - wide, base_y, tip[0], tip[1], base_x + wide, base_y)
        out = path(tail + " Z", fill="#ffffff", stroke=OUTLINE, stroke_width=2, stroke_linejoin="round")
        out += rect(x, y, w, h, r=min(h / 2, 20), fill="#ffffff", stroke=OUTLINE, stroke_width=2)
        out += path(tail, fill="#ffffff", stroke="none")
        top = y + h / 2 - len(lines) * (size + 5) / 2 + size - 1
        self.words += out + text_lines(x + w / 2, top, lines, size)
        return self

    def caption(self, bx, by, lines, size=15):
        w = max(text_width(line, size, bold=False) for line in lines) + 26
        h = 12 + len(lines) * (size + 6)
        x, y = self.x + bx, self.y + by
        if not self.inside(x, y, w, h, margin=4):
            raise ValueError("caption %r leaves its panel" % lines[0])
        out = rect(x + 3, y + 4, w, h, r=8, fill=OUTLINE, opacity=0.28)
        out += rect(x, y, w, h, r=8, fill="#f7d56a", stroke=OUTLINE, stroke_width=2)
        self.words += out + text_lines(x + 12, y + size + 5, lines, size, anchor="start", weight="normal")
        return self

    def draw(self):
        clip = new_id("p")
        out = '<clipPath id="%s"><rect x="%d" y="%d" width="%d" height="%d"/></clipPath>' % (
            clip, self.x, self.y, self.w, self.h)
        out += rect(self.x + 4, self.y + 5, self.w, self.h, fill=OUTLINE, opacity=0.3)
        out += group(self.scene, clip_path="url(#%s)" % clip)
        out += rect(self.x, self.y, self.w, self.h, fill="none", stroke=OUTLINE, stroke_width=4)
        return out + self.words


def page(panels):
    out = rect(0, 0, W, H, fill=PAPER)
    for i in range(40):
        out += ellipse((i * 97) % W, (i * 61) % H, 2, 2, fill=style.PAPER_SHADE)
    for p in panels:
        if p.y + p.h > BOTTOM:
            raise ValueError("a panel reaches the page's arrows")
        out += p.draw()
    return svg.document(W, H, out)


def wide_top():
    """A wide panel over two."""
    return Panel(20, 20, 760, 240), Panel(20, 272, 372, 248), Panel(408, 272, 372, 248)


def two_under_wide():
    """Two panels over a wide one."""
    return Panel(20, 20, 372, 248), Panel(408, 20, 372, 248), Panel(20, 280, 760, 240)


def tall_left():
    """A tall panel beside two."""
    return Panel(20, 20, 372, 500), Panel(408, 20, 372, 244), Panel(408, 276, 372, 244)


def quessa_hand(x, feet, s, which=0, flip=False, **values):
    """Where one of Quessa's hands lands on the page (0: her right, picture left)."""
    pose = dict(waitress.DEFAULT, **values)
    hx, hy = waitress.tilted(pose, waitress.hand_points(pose)[which])
    rx, ry = waitress.REG
    return x + (hx - rx) * s * (-1 if flip else 1), feet + (hy - ry) * s


def staff_hand(look, x, feet, s, which=1, **values):
    pose = Pose("comic", person.POSE, **values)
    hx, hy = person.moved_point(pose, person.hand_points(look, pose)[which])
    return x + (hx - person.CENTRE_X) * s, feet + (hy - person.SOLE_Y) * s


# ---------------------------------------------------------------- the pages

def all_aboard_the_ship():
    """The story's opening: a card from Odile sends Quessa to sea."""
    one, two, wide = two_under_wide()
    X, Y = one.x, one.y
    one.add(harbour(X, Y, one.w, one.h, X + 520))
    pose = dict(special="letter", mood="open", brows="raised")
    figure, q_head = quessa(X + 110, Y + 240, 1.4, **pose)
    hx, hy = quessa_hand(X + 110, Y + 240, 1.4, **pose)
    one.add(figure + card(hx + 14, hy - 4, 1.05))
    one.caption(10, 10, ["A card from Odile:"])
    one.bubble(150, 60, ["The cruise ship", "Bellwave needs a", "waitress. Go, Q!"], (hx + 14, hy - 4, 15))

    X, Y = two.x, two.y
    cook = STAFF.COOKS["cruise"]
    two.add(deck(X, Y, two.w, two.h))
    pose = dict(dir="S", phase=0.8, tilt=3, hold=0, swing=2, mood="grin")
    figure, q_head = quessa(X + 100, Y + 240, 1.4, **pose)
    hx, hy = quessa_hand(X + 100, Y + 240, 1.4, 1, **pose)
    two.add(figure + suitcase(hx, hy - 4, 1.0))
    chef, chef_head = staff(cook, X + 290, Y + 244, 1.3, flip=True, right=(12, -26), mood="grin")
    two.add(chef)
    two.bubble(150, 14, ["Welcome aboard", "the Bellwave!"], chef_head, steepest=20)

    X, Y = wide.x, wide.y
    wide.add(cruise_room(X, Y, wide.w, wide.h))
    for name, cx in (("old_male", X + 470), ("young_female", X + 530)):
        wide.add(customer(name, cx, Y + 156, 1.2, "blue", mood="smile")[0])
    wide.add(table(X + 500, Y + 186, 130))
    pose = dict(hold=1, mood="grin")
    figure, q_head = quessa(X + 250, Y + 232, 1.5, **pose)
    hx, hy = quessa_hand(X + 250, Y + 232, 1.5, **pose)
    wide.add(figure + tray(hx, hy + 4, 1.1))
    wide.caption(14, 12, ["Quessa's first shift at sea."])
    wide.bubble(330, 40, ["Tables one to six:", "let's go!"], q_head)
    return [one, two, wide]


def farewell_to_the_ship():
    wide, left, right = wide_top()
    X, Y = wide.x, wide.y
    cook = STAFF.COOKS["cruise"]
    wide.add(deck(X, Y, wide.w, wide.h, evening=True))
    for name, cx in (("tourist_male", X + 392), ("tourist_female", X + 452)):
        wide.add(customer(name, cx, Y + 160, 1.2, "yellow", mood="grin")[0])
    wide.add(table(X + 420, Y + 188, 120) + plate(X + 400, Y + 190) + plate(X + 444, Y + 192, "#e0606a"))
    pose = dict(hold=1, mood="grin")
    figure, q_head = quessa(X + 200, Y + 232, 1.55, **pose)
    hx, hy = quessa_hand(X + 200, Y + 232, 1.55, **pose)
    wide.add(figure + tray(hx, hy + 4, 1.1))
    chef, chef_head = staff(cook, X + 620, Y + 236, 1.5, left=(-6, 20), right=(12, -26), mood="grin")
    wide.add(chef)
    wide.caption(14, 12, ["The Bellwave's last night at sea."])
    wide.bubble(470, 24, ["Best service this", "side of the equator!"], chef_head, steepest=20)
    wide.bubble(250, 44, ["Thanks, Chef!"], q_head)

    X, Y = left.x, left.y
    left.add(cruise_room(X, Y, left.w, left.h))
    pose = dict(special="letter", mood="open", brows="raised")
    figure, q_head = quessa(X + 120, Y + 238, 1.45, **pose)
    hx, hy = quessa_hand(X + 120, Y + 238, 1.45, **pose)
    left.add(figure + card(hx + 15, hy - 4, 1.1))
    left.caption(10, 10, ["A card from Odile:"])
    left.bubble(160, 56, ["The Express needs", "a waitress for its", "dining car. Go, Q!"], (hx + 15, hy - 4, 16))

    X, Y = right.x, right.y
    right.add(deck(X, Y, right.w, right.h))
    pose = dict(special="wave", mood="grin", dir="S")
    figure, q_head = quessa(X + 130, Y + 238, 1.45, **pose)
    hx, hy = quessa_hand(X + 130, Y + 238, 1.45, 0, **pose)
    right.add(suitcase(hx - 4, hy - 6, 1.0) + figure)
    chef, chef_head = staff(cook, X + 300, Y + 242, 1.3, flip=True, right=(12, -26), mood="open")
    right.add(chef)
    right.bubble(14, 14, ["Next stop:", "the rails!"], q_head)
    right.bubble(190, 30, ["Bon voyage!"], chef_head, steepest=20)
    return [wide, left, right]


def aboard_the_express():
    tall, top, bottom = tall_left()
    X, Y = tall.x, tall.y
    cook = STAFF.COOKS["train"]
    tall.add(train_outside(X, Y, tall.w, tall.h))
    chef, chef_head = staff(cook, X + 280, Y + 478, 1.6, flip=True, right=(14, -28), mood="grin")
    tall.add(chef)
    pose = dict(dir="S", phase=0.8, tilt=3, hold=0, swing=2, mood="grin")
    figure, q_head = quessa(X + 100, Y + 470, 1.6, **pose)
    hx, hy = quessa_hand(X + 100, Y + 470, 1.6, 1, **pose)
    tall.add(figure + suitcase(hx, hy - 4, 1.1))
    tall.caption(12, 12, ["The Express,", "platform two."])
    tall.bubble(40, 196, ["Welcome aboard,", "Quessa!"], chef_head, steepest=10)

    X, Y = top.x, top.y
    top.add(dining_car(X, Y, top.w, top.h))
    look = dict(left=(-10, 24), right=(-14, 8), mood="grin")
    behind, front, hands, mood = STAFF.cook_props("train", cook, 2)
    chef, chef_head = staff(cook, X + 250, Y + 240, 1.45, left=hands[0], right=hands[1], mood="open",
                            held=front)
    top.add(chef)
    figure, q_head = quessa(X + 90, Y + 238, 1.3, special="hips", mood="smile", brows="raised")
    top.add(figure)
    top.bubble(14, 14, ["Tables one to", "six are yours!"], chef_head, steepest=10)

    X, Y = bottom.x, bottom.y
    bottom.add(dining_car(X, Y, bottom.w, bottom.h, hills="#7fb56a"))
    bottom.add(motion(X + 70, Y + 60, 30) + motion(X + 320, Y + 74, 30))
    figure, q_head = quessa(X + 190, Y + 236, 1.4, special="cheer", mood="grin", eyes="wink")
    bottom.add(figure + sparkle(X + 120, Y + 60, 8, "#f7d56a") + sparkle(X + 262, Y + 54, 10, "#f7d56a"))
    bottom.bubble(14, 108, ["Full steam", "ahead!"], q_head)
    return [tall, top, bottom]


def down_to_the_deep():
    wide, left, right = wide_top()
    X, Y = wide.x, wide.y
    wide.add(dining_car(X, Y, wide.w, wide.h))
    dad, dad_head = customer("dad_male", X + 560, Y + 152, 1.25, "green", mood="grin")
    wide.add(dad + table(X + 560, Y + 186, 130) + plate(X + 545, Y + 188, "#4fbf68"))
    pose = dict(hold=2, tilt=-5, mood="worried", brows="worried", dir="F")
    figure, q_head = quessa(X + 260, Y + 234, 1.5, **pose)
    l_hand = quessa_hand(X + 260, Y + 234, 1.5, 0, **pose)
    r_hand = quessa_hand(X + 260, Y + 234, 1.5, 1, **pose)
    wide.add(figure + plate(l_hand[0], l_hand[1] - 3, "#e8a04a", 1.3) + plate(r_hand[0], r_hand[1] - 3,
                                                                                "#e0606a", 1.3))
    wide.add(motion(X + 200, Y + 120, 22, 3, 9) + motion(X + 380, Y + 150, 22, 3, 9))
    wide.caption(14, 12, ["Over the mountains, round every bend..."])
    wide.bubble(600, 16, ["Not a drop", "spilled!"], dad_head)
    wide.bubble(330, 56, ["Steady...", "steady..."], q_head)

    X, Y = left.x, left.y
    left.add(harbour(X, Y, left.w, left.h, X + 270))
    pose = dict(special="letter", mood="smile", brows="raised")
    figure, q_head = quessa(X + 96, Y + 240, 1.4, **pose)
    hx, hy = quessa_hand(X + 96, Y + 240, 1.4, **pose)
    left.add(figure + card(hx + 14, hy - 4, 1.05))
    left.caption(10, 10, ["At the seaside, a card:"])
    left.bubble(150, 48, ["The submarine's", "cafe needs you.", "Dive in! - O."], (hx + 14, hy - 4, 15))

    X, Y = right.x, right.y
    right.add(harbour(X, Y, right.w, right.h, X + 200))
    figure, q_head = quessa(X + 212, Y + 132, 0.9, special="wave", mood="grin")
    right.add(figure)
    right.add(rect(X + 178, Y + 98, 68, 40, r=6, **person.outlined("#f4c430")))  # the hatch's rim in front
    right.add(path("M%g %g q10 -8 20 0 q10 8 20 0" % (X + 20, Y + 200), stroke="#d6eef8", stroke_width=3,
                   fill="none"))
    right.bubble(20, 20, ["Down we go!"], q_head)
    return [wide, left, right]


def up_to_the_sky():
    one, two, wide = two_under_wide()
    X, Y = one.x, one.y
    one.add(sub_room(X, Y, one.w, one.h))
    kid, kid_head = customer("kid_male", X + 228, Y + 162, 1.25, "blue", mood="open", look=(-2, -1))
    mom, _ = customer("mom_female", X + 292, Y + 158, 1.25, "blue", mood="smile")
    one.add(kid + mom + table(X + 250, Y + 190, 120) + plate(X + 240, Y + 192, "#f08a3c"))
    pose = dict(hold=1, mood="grin")
    figure, q_head = quessa(X + 90, Y + 236, 1.35, **pose)
    hx, hy = quessa_hand(X + 90, Y + 236, 1.35, **pose)
    one.add(figure + plate(hx, hy, "#f7d56a", 1.2))
    one.bubble(150, 12, ["The fish are", "watching me eat!"], kid_head)

    X, Y = two.x, two.y
    two.add(sub_room(X, Y, two.w, two.h))
    # A big curious fish at the middle porthole.
    cx, cy = X + 225, Y + 84
    two.add(ellipse(cx, cy, 26, 18, **person.outlined("#f08a3c")) + path(
        "M%g %g l18 -12 l0 24 z" % (cx + 22, cy), **person.outlined("#f08a3c")) + ellipse(cx - 10, cy - 4, 6, 6,
                                                                                           fill="#ffffff",
                                                                                           stroke=OUTLINE,
                                                                                           stroke_width=1.5)
             + ellipse(cx - 11, cy - 4, 3, 3, fill=OUTLINE))
    figure, q_head = quessa(X + 200, Y + 244, 1.4, dir="B", special="wave")
    two.add(figure)
    two.bubble(14, 14, ["Hello,", "fishy!"], q_head)

    X, Y = wide.x, wide.y
    wide.add(blimp_sky(X, Y, wide.w, wide.h, X + 470))
    wide.add(rect(X, Y + 170, wide.w, 70, fill="#3f9bc4"))
    wide.add(path("M%g %g Q%g %g %g %g Z" % (X + 60, Y + 200, X + 170, Y + 176, X + 280, Y + 200),
                  **person.outlined("#f4c430")))
    wide.add(rect(X + 150, Y + 150, 40, 36, r=6, **person.outlined("#f4c430")))
    wide.add(path("M%g %g L%g %g" % (X + 470, Y + 132, X + 200, Y + 118), stroke="#8a5a2b", stroke_width=3))
    figure, q_head = quessa(X + 230, Y + 160, 0.85, special="cheer", mood="grin", tilt=6)
    wide.add(figure)
    wide.caption(14, 12, ["Cloud Harbour: the blimp Cumulus", "lets down a ladder."])
    wide.bubble(40, 150, ["Up, up", "and away!"], q_head)
    return [one, two, wide]


def off_to_the_stars():
    wide, left, right = wide_top()
    X, Y = wide.x, wide.y
    wide.add(blimp_room(X, Y, wide.w, wide.h))
    he, he_head = customer("lovebird_male", X + 446, Y + 156, 1.25, "red", mood="grin")
    she, she_head = customer("lovebird_female", X + 514, Y + 156, 1.25, "red", mood="grin", eyes="closed")
    wide.add(he + she + table(X + 480, Y + 186, 140) + plate(X + 480, Y + 188, "#f7d56a", 1.2))
    wide.add(heart(X + 480, Y + 70, 1.2) + heart(X + 510, Y + 48, 0.8) + heart(X + 452, Y + 40, 0.9))
    pose = dict(hold=1, mood="smile")
    figure, q_head = quessa(X + 260, Y + 232, 1.5, **pose)
    hx, hy = quessa_hand(X + 260, Y + 232, 1.5, **pose)
    wide.add(figure + plate(hx, hy + 2, "#f7d56a", 1.3) + heart(hx, hy - 8, 0.6))
    wide.caption(14, 12, ["Aboard the Cumulus, far above the clouds."])
    wide.bubble(600, 50, ["Dessert", "for two!"], she_head)

    X, Y = left.x, left.y
    left.add(rocket_sky(X, Y, left.w, left.h))
    left.add(rect(X, Y + 170, left.w, 80, fill="#e4d5b4") + rect(X, Y + 164, left.w, 6, fill="#c8363b"))
    figure, q_head = quessa(X + 110, Y + 240, 1.35, special="look", mood="surprised", brows="raised")
    left.add(figure)
    left.bubble(16, 14, ["Was that...", "a rocket?"], q_head)

    X, Y = right.x, right.y
    cook = STAFF.COOKS["blimp"]
    right.add(blimp_room(X, Y, right.w, right.h, night=True))
    hand = staff_hand(cook, X + 270, Y + 242, 1.35, 1, right=(8, 6))
    chef, chef_head = staff(cook, X + 270, Y + 242, 1.35, flip=True, right=(8, 6), mood="grin")
    right.add(chef + card(X + 270 - (hand[0] - X - 270), hand[1] - 8, 1.0, 6))
    figure, q_head = quessa(X + 90, Y + 240, 1.35, mood="grin", special="hips")
    right.add(figure)
    right.bubble(150, 12, ["The starship's", "cafe is hiring!"], chef_head)
    right.bubble(12, 20, ["Out of this", "world!"], q_head)
    return [wide, left, right]


def peas(x, y, count=7):
    return "".join(ellipse(x + (k * 37) % 150, y + (k * 23) % 70, 5, 5, **person.outlined("#6fcf5a", 1.5))
                   for k in range(count))


def the_starship():
    tall, top, bottom = tall_left()
    X, Y = tall.x, tall.y
    tall.add(space_room(X, Y, tall.w, tall.h))
    fit, fit_head = customer("fitness_female", X + 220, Y + 348, 1.25, "green", mood="open", look=(0, -2))
    book, _ = customer("bookworm_female", X + 284, Y + 350, 1.25, "green", mood="grin")
    tall.add(fit + book + table(X + 250, Y + 380, 130) + peas(X + 160, Y + 250))
    pose = dict(hold=1, mood="grin", tilt=-3)
    figure, q_head = quessa(X + 92, Y + 480, 1.5, **pose)
    hx, hy = quessa_hand(X + 92, Y + 480, 1.5, **pose)
    tall.add(figure + plate(hx, hy, "#6fcf5a", 1.3) + peas(hx - 10, hy - 60, 3))
    tall.caption(12, 12, ["The starship Halcyon,", "in orbit."])
    tall.bubble(140, 200, ["The peas", "float here!"], fit_head)
    tall.bubble(14, 200, ["Catch!"], q_head)

    X, Y = top.x, top.y
    top.add(space_room(X, Y, top.w, top.h, earth=False))
    figure, o_head = odile(X + 250, Y + 236, 1.3, left=(-10, -26), mood="grin")
    top.add(figure + table(X + 250, Y + 196, 120))
    top.caption(10, 10, ["Table five, a new guest..."])
    top.bubble(40, 60, ["Surprise!"], o_head)

    X, Y = bottom.x, bottom.y
    bottom.add(space_room(X, Y, bottom.w, bottom.h))
    figure, q_head = quessa(X + 110, Y + 240, 1.35, mood="surprised", brows="raised", special="cheer")
    bottom.add(figure + sparkle(X + 40, Y + 70, 8, "#4ee2ec") + sparkle(X + 190, Y + 60, 8, "#4ee2ec"))
    figure, o_head = odile(X + 290, Y + 242, 1.25, flip=True, mood="grin", eyes="closed")
    bottom.add(figure)
    bottom.bubble(170, 16, ["Odile?! All the", "way up here?"], q_head)
    return [tall, top, bottom]


def finale():
    """The closing page: their cafe; the game bobs Quessa, Odile at her table
    and Odile's cup over it (see `finale_figures`)."""
    full = Panel(20, 20, 760, 500)
    X, Y = full.x, full.y
    full.add(cafe(X, Y, full.w, full.h, sign=False))
    full.add(rect(X + 250, Y + 20, 260, 44, r=10, **person.outlined("#fbf0dc"))
             + text_lines(X + 380, Y + 50, ["QUESSA & ODILE"], 22))
    # The cooks cheer behind the counter along the back wall.
    full.add(rect(X + 240, Y + 250, 500, 70, fill="#8a5a3b"))
    for k, name in enumerate(STAFF.ORDER):
        chef, _ = staff(STAFF.COOKS[name], X + 300 + k * 100, Y + 318, 1.1, left=(-8, -28 - (k % 2) * 4),
                        right=(8, -28 - ((k + 1) % 2) * 4), mood="grin")
        full.add(chef)
    full.add(rect(X + 240, Y + 280, 500, 46, r=4, **person.outlined("#b07a45")))
    full.add(table(663, 440, 110))
    full.caption(16, 16, ["After the stars, a cafe", "of their very own.", "Thank you for playing!"], 16)
    return [full]


# Each restaurant's comic tells how Quessa comes to it, shown before its
# first level (comicK_N is page N before restaurant K); the sixth closes the
# story after the last.
PAGES = {(1, 1): all_aboard_the_ship,
         (2, 1): farewell_to_the_ship, (2, 2): aboard_the_express,
         (3, 1): down_to_the_deep,
         (4, 1): up_to_the_sky,
         (5, 1): off_to_the_stars, (5, 2): the_starship,
         (6, 1): finale}

# The words a page uses for each restaurant, which the story's check looks for.
RESTAURANT_WORDS = {1: ("cruise", "Bellwave"), 2: ("Express", "train"), 3: ("submarine",),
                    4: ("blimp", "Cumulus"), 5: ("starship", "Halcyon")}


def finale_figures():
    """The closing page's bobbing figures, each on its own, from its top left."""
    figure, _ = quessa(75, 244, 2.0, special="wave", mood="grin")
    yield "quessa.png", svg.document(150, 250, figure)
    figure, _ = odile(100, 196, 1.5, right=(10, -22), mood="grin")
    yield "odile.png", svg.document(200, 200, figure + table(100, 146, 170))
    yield "odiles_cup.png", svg.document(90, 90, cup(45, 54, 1.25))


def write(out_dir, name, drawing):
    # rsvg-convert's own PNG: the same drawing always gives the same bytes.
    with open(os.path.join(out_dir, name), "wb") as f:
        f.write(svg.render_bytes(drawing))


def main(out_dir):
    for (k, n), make in PAGES.items():
        write(out_dir, "comic%d_%d.png" % (k, n), page(make()))
    for name, drawing in finale_figures():
        write(out_dir, name, drawing)


if __name__ == "__main__":
    main(sys.argv[1])
