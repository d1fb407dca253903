"""What each restaurant serves, drawn once and used everywhere it appears:
the meal on its plate as it is eaten, the dessert (in the guest's thought
bubble, on the dessert shelf, carried, and on the plate), the snack (a
cookie: bubble, shelf, carried), and the drink (the guest's cup, the drink
machine's glass, the carried cup). A guest asks for exactly what the shelf
holds.

Every drawing takes its middle-bottom point (x, y) and a scale, so the same
dessert is 16 px wide on a plate and 26 px in a bubble."""
from qmcontent import svg
from qmcontent.svg import OUTLINE, ellipse, group, path, polygon, rect

PLATE = "#fbfbf6"


def _o(fill, width=1.2):
    return svg.outlined(fill, width)


def at(x, y, s, body):
    """body drawn around (0, 0) placed at (x, y), scaled by s."""
    return group(body, transform="translate(%g %g) scale(%g)" % (x, y, s))


# ---------------------------------------------------------------- desserts
# Each is drawn standing on (0, 0), about 16 px wide and 16 tall; `left`
# (1, 0.5, 0) is how much is still there.

def strawberry_cake(left=1.0):
    if left <= 0:
        return crumbs("#f2a7c3")
    w = 16 * (0.5 + left / 2)
    out = polygon([(-8, 0), (-8 + w, 0), (-8 + w, -9), (-8, -13)], **_o("#fbf0dc"))
    out += polygon([(-8, -4), (-8 + w, -4), (-8 + w, -6), (-8, -7.5)], fill="#f2a7c3")
    out += polygon([(-8, -11), (-8 + w, -7.5), (-8 + w, -9), (-8, -13)], fill="#f08aa8")
    out += polygon([(-8, 0), (-8 + w, 0), (-8 + w, -9), (-8, -13)], fill="none", stroke=OUTLINE, stroke_width=1.2,
                   stroke_linejoin="round")
    if left >= 1:
        out += path("M-5 -14 q2 -5 4 0 Z", **_o("#c8283b", 1)) + path("M-4 -17 l1 -2", stroke="#4fa35a",
                                                                      stroke_width=1.5)
    return out


def chocolate_cake(left=1.0):
    if left <= 0:
        return crumbs("#6b3a22")
    w = 16 * (0.5 + left / 2)
    out = polygon([(-8, 0), (-8 + w, 0), (-8 + w, -10), (-8, -13)], **_o("#7a4226"))
    out += polygon([(-8, -5), (-8 + w, -5), (-8 + w, -6.5), (-8, -7)], fill="#f6ecd2")
    out += polygon([(-8, -11.5), (-8 + w, -8.5), (-8 + w, -10), (-8, -13)], fill="#4a2618")
    out += polygon([(-8, 0), (-8 + w, 0), (-8 + w, -10), (-8, -13)], fill="none", stroke=OUTLINE, stroke_width=1.2,
                   stroke_linejoin="round")
    if left >= 1:
        out += ellipse(-3, -15, 3.5, 2.5, **_o("#ffffff", 1)) + ellipse(-3, -18, 2, 2, **_o("#c8283b", 1))
    return out


def jelly(left=1.0):
    if left <= 0:
        return crumbs("#4fbf9a")
    h = 14 * (0.45 + 0.55 * left)
    out = path("M-8 0 L-7 %g Q0 %g 7 %g L8 0 Z" % (-h * 0.6, -h * 1.25, -h * 0.6), **_o("#4fbf9a"))
    out += path("M-5 %g Q-3 %g -1 %g" % (-h * 0.5, -h * 0.9, -h * 0.95), stroke="#d8f7ec", stroke_width=1.5,
                fill="none")
    out += rect(-7, -3, 14, 2, fill="#2f9a78", opacity=0.7)
    if left >= 1:
        out += ellipse(0, -h - 1, 4, 2.5, **_o("#ffffff", 1)) + ellipse(0, -h - 3.5, 1.8, 1.8, **_o("#c8283b", 1))
    return out


def cupcake(left=1.0):
    if left <= 0:
        return crumbs("#f08aa8")
    out = polygon([(-6, 0), (6, 0), (7.5, -8), (-7.5, -8)], **_o("#8cc7ee"))
    for x in (-4, 0, 4):
        out += path("M%g -1 L%g -7" % (x, x * 1.15), stroke="#5f9fcf", stroke_width=1)
    if left >= 0.5:
        top = -8 - 8 * left
        out += path("M-8 -8 Q-9 %g 0 %g Q9 %g 8 -8 Z" % (top + 2, top - 2, top + 2), **_o("#f7b8cc"))
        out += path("M-4 %g q4 -3 8 0" % (top + 3), stroke="#ffffff", stroke_width=1.3, fill="none")
        if left >= 1:
            for sx, sy, c in ((-4, -11, "#f4c430"), (1, -13, "#3a7de0"), (4, -10, "#4fbf68")):
                out += rect(sx, sy, 2.4, 1.2, fill=c)
            out += ellipse(0, top - 2.5, 2, 2, **_o("#c8283b", 1))
    return out


def sundae(left=1.0):
    if left <= 0:
        return polygon([(-6, -10), (6, -10), (3, -3), (-3, -3)], **_o("#e6f6fa")) + rect(-1.2, -3, 2.4, 3,
                                                                                      **_o("#c3c8d4", 1))
    out = rect(-5, -1.5, 10, 2, r=1, **_o("#c3c8d4", 1)) + rect(-1.2, -4, 2.4, 3, fill="#c3c8d4")
    out += polygon([(-7, -10), (7, -10), (3, -3.5), (-3, -3.5)], **_o("#e6f6fa"))
    out += ellipse(-3, -11, 4.5, 4, **_o("#b48ad8", 1.1))
    if left >= 1:
        out += ellipse(3, -12, 4.5, 4, **_o("#4ee2ec", 1.1))
        out += polygon([(1, -17), (2.5, -21), (4, -17), (8, -17.5), (5, -15), (6, -11.5), (2.5, -13.5)],
                       **_o("#f7d56a", 1))
    return out


def crumbs(colour):
    return "".join(ellipse(x, y, 1.4, 1, fill=colour, stroke=OUTLINE, stroke_width=0.6)
                   for x, y in ((-4, -1), (2, -2), (5, 0)))


DESSERTS = {"cruise": strawberry_cake, "train": chocolate_cake, "sub": jelly, "blimp": cupcake,
            "spaceship": sundae}


def dessert(name, x, y, s=1.0, left=1.0):
    return at(x, y, s, DESSERTS[name](left))


# ---------------------------------------------------------------- the snack: a cookie

def cookie(x, y, s=1.0):
    """A chocolate-chip cookie seen a little from above, its middle at (x, y)."""
    body = ellipse(0, 0, 8, 6.5, **_o("#e0b25a"))
    body += ellipse(-2, -2, 4, 2, fill="#f0cf85", opacity=0.8)
    for cx, cy in ((-3, 1), (2, -2), (4, 2), (-1, -3.5), (0, 3)):
        body += ellipse(cx, cy, 1.3, 1, fill="#5a3424")
    return at(x, y, s, body)


# ---------------------------------------------------------------- drinks
# Each stands on (0, 0), about 12 px wide and 14 tall.

def juice():
    return (polygon([(-6, -14), (6, -14), (4.5, 0), (-4.5, 0)], **_o("#ffffff"))
            + polygon([(-5.4, -10), (5.4, -10), (4.3, -1), (-4.3, -1)], fill="#f4a23a")
            + path("M2 -10 L5 -19", stroke=OUTLINE, stroke_width=2.6, stroke_linecap="round")
            + path("M2 -10 L5 -19", stroke="#c8283b", stroke_width=1.4, stroke_linecap="round")
            + path("M-7 -14 l4 -2 l0 4 Z", **_o("#f7d56a", 0.8)))


def teacup():
    return (ellipse(0, -1, 9, 2.2, **_o("#ffffff"))
            + path("M-6 -10 L6 -10 Q6 -2 0 -2 Q-6 -2 -6 -10 Z", **_o("#ffffff"))
            + ellipse(0, -10, 6, 1.6, fill="#a0643a", stroke=OUTLINE, stroke_width=1)
            + path("M6 -8.5 q4 0 3 3 q-1 2 -3.5 1.5", stroke=OUTLINE, stroke_width=1.2, fill="none")
            + rect(-5, -8, 10, 1.4, fill="#2f6b45"))


def cocoa():
    return (rect(-6, -13, 12, 13, r=2.5, **_o("#f08a3c"))
            + path("M6 -10 q5 1 0 7", stroke=OUTLINE, stroke_width=1.4, fill="none")
            + ellipse(0, -13, 5.5, 1.6, fill="#6b3a22")
            + ellipse(-1, -14.5, 3, 1.6, fill="#ffffff", stroke=OUTLINE, stroke_width=0.8)
            + rect(-4, -9, 2, 6, r=1, fill="#ffffff", opacity=0.5))


def lemonade():
    return (rect(-5.5, -14, 11, 14, r=2, **_o("#ffffff"))
            + rect(-4.5, -10.5, 9, 9.5, r=1.5, fill="#f7b8cc")
            + path("M1 -11 L3 -20", stroke=OUTLINE, stroke_width=2.6, stroke_linecap="round")
            + path("M1 -11 L3 -20", stroke="#ffffff", stroke_width=1.4, stroke_linecap="round")
            + path("M-6 -13 a3 3 0 0 1 5 -2", stroke=OUTLINE, stroke_width=0.8, fill="#f7d56a"))


def glowdrink():
    return (path("M-6 -14 L6 -14 L3 -2 L-3 -2 Z", **_o("#e6f6fa"))
            + path("M-5 -11 L5 -11 L2.5 -3 L-2.5 -3 Z", fill="#4ee2ec")
            + rect(-4, -2.5, 8, 2.5, r=1, **_o("#c3c8d4", 1))
            + ellipse(-1.5, -8, 1, 1, fill="#ffffff") + ellipse(1.5, -6, 0.8, 0.8, fill="#ffffff"))


DRINKS = {"cruise": juice, "train": teacup, "sub": cocoa, "blimp": lemonade, "spaceship": glowdrink}


def drink(name, x, y, s=1.0):
    return at(x, y, s, DRINKS[name]())


# ---------------------------------------------------------------- meals
# A meal seen from above on its plate; each part shows while enough is left.

def _fish(left):
    return [(0.0, ellipse(-2, 0, 6 * left + 1.5, 3.5 * left + 1, **_o("#f4a07a", 1)) + (
        path("M-6 -1 l8 -2 M-5 2 l8 -2", stroke="#c8643a", stroke_width=0.9) if left > 0.5 else "")),
        (0.35, path("M4 -4 l5 1 l-3 4 Z", **_o("#f7d56a", 1))),
        (0.6, "".join(ellipse(x, y, 1.4, 1.4, **_o("#6fbf5a", 0.7)) for x, y in ((4, 3), (6, 2), (7, 4))))]


def _roast(left):
    return [(0.0, rect(-7, -3, 8 * left + 2, 6, r=2, **_o("#8a4a32", 1))),
            (0.3, ellipse(4, -2, 2.6, 2.2, **_o("#f0cf6a", 0.8))),
            (0.55, ellipse(6, 2, 2.4, 2, **_o("#f0cf6a", 0.8))),
            (0.75, path("M-2 3 l3 -1 l1 2 Z", **_o("#4fa35a", 0.8)))]


def _kelp_noodles(left):
    """The sub's meal: sea-green kelp noodles with pink shrimp (not golden like the blimp's pancakes)."""
    r = 5 * left + 1.5
    return [(0.0, ellipse(-1, 0, r + 1, r * 0.7 + 1, **_o("#5fae8c", 1))
             + path("M%g 0 q%g -%g %g 0 q-%g %g -%g 0" % (-1 - r * 0.6, r * 0.6, r * 0.5, r * 1.2, r * 0.6, r * 0.5,
                                                       r * 1.2), stroke="#2f7a5e", stroke_width=0.9, fill="none")),
            (0.3, path("M-4 -2 q2 -2.5 4 0 q-1 1.5 -2.4 1", **_o("#f08a7c", 0.7))),
            (0.6, path("M1 1 q2 -2.5 4 0 q-1 1.5 -2.4 1", **_o("#f08a7c", 0.7))),
            (0.8, path("M5 -4 l3 1 l-2 2.5 Z", **_o("#f7e06a", 0.7)))]


def _pancakes(left):
    r = 5 * left + 2
    return [(0.0, ellipse(-1, 0, r + 1, r * 0.7 + 1, **_o("#e0b25a", 1))),
            (0.25, ellipse(-1, -0.5, r * 0.7, r * 0.5, fill="#f0cf85")),
            (0.5, ellipse(-2, -1, 2, 1.5, **_o("#ffffff", 0.7))),
            (0.7, ellipse(4, 2, 1.4, 1.4, **_o("#6a3fb0", 0.6)) + ellipse(1, 3, 1.4, 1.4, **_o("#c8283b", 0.6)))]


def _orbs(left):
    return [(0.0, ellipse(-3, 1, 3, 2.6, **_o("#b48ad8", 0.9))),
            (0.3, ellipse(2, -2, 3, 2.6, **_o("#e38b4f", 0.9))),
            (0.55, ellipse(4, 2.5, 2.6, 2.3, **_o("#80d192", 0.9))),
            (0.8, path("M-7 -2 q3 -3 6 0 q3 3 6 0", stroke="#4ee2ec", stroke_width=1.6, fill="none"))]


MEALS = {"cruise": _fish, "train": _roast, "sub": _kelp_noodles, "blimp": _pancakes, "spaceship": _orbs}


def plate_with(parts):
    body = ellipse(14, 10, 12, 8, **_o(PLATE, 1.5)) + ellipse(14, 10, 8.5, 5.5, fill="#ebe8df")
    return body + group(parts, transform="translate(14 10)")


def meal(name, left):
    """The plate with what is left of the meal (1 whole .. 0 empty)."""
    if left <= 0:
        return plate_with(path("M-4 1 l3 -1 M2 2 l2 -1", stroke="#c9b8a0", stroke_width=1))
    parts = "".join(body for limit, body in MEALS[name](left) if left > limit)
    return plate_with(parts)


DESSERT_FRAME = (28, 30, 14, 20)  # width, height, and the plate's middle (the registration point)


def dessert_plate(name, left):
    """The dessert on its plate, standing above the plate's middle."""
    w, h, cx, cy = DESSERT_FRAME
    return (ellipse(cx, cy, 12, 8, **_o(PLATE, 1.5)) + ellipse(cx, cy, 8.5, 5.5, fill="#ebe8df")
            + dessert(name, cx, cy + 3, 0.9, left))
