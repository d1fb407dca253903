"""The restaurant map: the sea chart backdrop ("background.png"), the best
score's paper ("scorepanel.png"), the five
career restaurants and the bonus island as animations ("rest1.anm" to
"rest6.anm", each registered on its place on the map, DoAnim bobs), their
hover sparkles, the overlays drawn over them, and the level markers (dot,
expert (the crown of _crown.py), star: on and off; the padlock), each also in the smaller "_b" look
of the bonus row. Markers are registered on (400, 300) so that they sit
centred on the level's map position."""
import math
import os
import sys

from _crown import COIN_RADIUS, PALE_GOLD, crown
from qmcontent import anim, png, style, svg
from qmcontent.svg import OUTLINE, ellipse, group, path, rect

# (centre on the map, frame size) per restaurant file number.
PLACES = {
    1: ((150, 172), (200, 120)),
    2: ((650, 150), (200, 100)),
    3: ((680, 478), (190, 110)),
    4: ((160, 500), (210, 110)),
    5: ((500, 88), (140, 76)),  # in the starry corner between the title and the score
    6: ((468, 330), (110, 90)),
}
# The top left of each restaurant's hover sparkle (the game draws it there).
SPARKLE_AT = {1: (32, 26), 2: (408, 55), 3: (489, 372), 4: (4, 433), 5: (430, 50), 6: (458, 308)}
# Rows of level dots: first position and step (restaurants 1-5).
ROWS = [((95, 305), (27, -18)), ((445, 145), (27, 18)), ((665, 350), (-27, 18)), ((360, 510), (-27, -18)),
        ((397, 303), (0, -22))]
BONUS = [(530, 260), (548, 288), (558, 322), (558, 357), (540, 389)]
ACCENT = "#e8743b"
GOLD = "#f4c430"


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def line(width=style.LINE):
    return dict(stroke=OUTLINE, stroke_width=width, stroke_linejoin="round")


def shadow_ellipse(cx, cy, rx, ry):
    return ellipse(cx + 3, cy + 4, rx, ry, fill=OUTLINE, opacity=0.28)


# ---- the backdrop
def background():
    body = ('<defs><linearGradient id="sea" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#7fc4e4"/><stop offset="1" stop-color="#3f8fba"/></linearGradient>'
            '<radialGradient id="glow" cx="0.5" cy="0.45" r="0.6">'
            '<stop offset="0" stop-color="#ffffff" stop-opacity="0.25"/>'
            '<stop offset="1" stop-color="#ffffff" stop-opacity="0"/></radialGradient></defs>')
    body += rect(0, 0, 800, 600, fill="url(#sea)")
    body += rect(0, 0, 800, 600, fill="url(#glow)")
    # Soft wave marks, never near a route.
    for i, (x, y) in enumerate([(40, 60), (520, 40), (250, 390), (700, 260), (40, 420), (560, 560), (280, 580),
                                (740, 570), (500, 220)]):
        body += path("M%d %d q8 -6 16 0 q8 6 16 0" % (x, y), stroke="#e6f5fb", stroke_width=2, fill="none",
                     opacity=0.55 - (i % 3) * 0.1, stroke_linecap="round")
    # Islands under the routes, backdrop-soft (no outline). The first lies
    # clear of the cruise ship's water; the second reaches up under the train.
    for cx, cy, rx, ry in [(290, 275, 115, 50), (560, 230, 150, 68), (545, 430, 150, 70), (240, 430, 155, 68),
                           (397, 205, 42, 120), (505, 325, 70, 80), (645, 192, 130, 34)]:
        body += ellipse(cx, cy + 6, rx, ry, fill="#2f7aa3", opacity=0.45)
        body += ellipse(cx, cy, rx, ry, fill="#e9d9a9")
        body += ellipse(cx - rx * 0.08, cy - ry * 0.1, rx * 0.86, ry * 0.72, fill="#9fce84")
        body += ellipse(cx - rx * 0.2, cy - ry * 0.25, rx * 0.45, ry * 0.35, fill="#b5da9d")
    # The railway the train stands on (its wheels meet the rails at y 182).
    for x in range(524, 768, 9):
        body += rect(x, 179, 4, 12, r=1, fill="#8a5a3a", opacity=0.9)
    for y in (181, 187):
        body += rect(518, y - 1, 252, 2.5, fill="#5b5b63")
    # The dotted routes that join the level markers.
    for (x0, y0), (dx, dy) in ROWS:
        body += path("M%d %d L%d %d" % (x0, y0, x0 + 9 * dx, y0 + 9 * dy), stroke="#fff8ec", stroke_width=6,
                     fill="none", stroke_dasharray="2 9", stroke_linecap="round", opacity=0.9)
    body += path("M" + " L".join("%d %d" % p for p in BONUS), stroke="#fff8ec", stroke_width=5, fill="none",
                 stroke_dasharray="2 8", stroke_linecap="round", opacity=0.8)
    # Joins between restaurants: last level of one to first of the next.
    for a, b in [(0, 1), (1, 2), (2, 3), (3, 4)]:
        (x0, y0), (dx, dy) = ROWS[a]
        x1, y1 = ROWS[b][0]
        body += path("M%d %d L%d %d" % (x0 + 9 * dx, y0 + 9 * dy, x1, y1), stroke="#fff8ec", stroke_width=3,
                     fill="none", stroke_dasharray="1 10", stroke_linecap="round", opacity=0.6)
    # A rope frame round the chart.
    body += rect(4, 4, 792, 592, r=18, fill="none", stroke="#c79a3a", stroke_width=6)
    body += rect(4, 4, 792, 592, r=18, fill="none", stroke=OUTLINE, stroke_width=2)
    return render(800, 600, body)


# ---- the restaurants, drawn in frames of their size with the centre as registration
def cruise(w, h, t):
    body = shadow_ellipse(w / 2, h - 30, 88, 8)
    body += path("M14 62 L186 62 L168 96 Q100 104 32 96 Z", fill="#24395e", **line())
    body += path("M24 84 L176 84", stroke="#c8283b", stroke_width=4)
    body += rect(44, 38, 112, 26, r=4, fill="#f4f6f8", **line())
    body += rect(62, 20, 72, 20, r=4, fill="#f4f6f8", **line())
    for i in range(6):
        body += ellipse(56 + i * 18, 51, 4, 4, fill="#3f9bc4", **line(1.5))
    body += rect(108, 2 - t, 18, 20, r=3, fill="#c79a3a", **line())
    body += ellipse(117 - t * 2, 1, 8, 5, fill="#ffffff", opacity=0.7)
    # The waves end inside the frame, round, as every puff and shadow here does.
    body += path("M16 102 q12 -8 24 0 t24 0 t24 0 t24 0 t24 0 t24 0 t24 0",
                 stroke="#ffffff", stroke_width=3, fill="none", opacity=0.8, stroke_linecap="round")
    return group(body, transform="translate(0 %d)" % (8 + t))


def train(w, h, t):
    body = shadow_ellipse(w / 2, h - 14, 92, 6)
    body += rect(6, 82, 188, 6, fill="#6d6d73")
    for x in (14, 92):
        body += rect(x, 36, 72, 40, r=6, fill="#6b2e22", **line())
        body += rect(x + 8, 44, 24, 16, r=3, fill="#f7d56b", **line(1.5))
        body += rect(x + 40, 44, 24, 16, r=3, fill="#f7d56b", **line(1.5))
        body += rect(x + 2, 66, 68, 6, fill="#2f6b45")
    body += rect(166, 30, 26, 46, r=5, fill="#2f6b45", **line())
    body += rect(172, 14, 12, 18, fill="#34343c", **line(1.5))
    for x in (26, 70, 104, 148, 178):
        body += ellipse(x, 80, 8, 8, fill="#34343c", **line(1.5))
        body += ellipse(x, 80, 3, 3, fill="#c79a3a")
    body += ellipse(178 + t * 3, 9 - t, 8, 5, fill="#ffffff", opacity=0.8)
    return body


def submarine(w, h, t):
    body = ellipse(w / 2, h - 22, 92, 12, fill="#1f6f73", opacity=0.35)
    body += ellipse(95, 60, 82, 30, fill="#1f6f73", **line())
    body += ellipse(80, 52, 50, 12, fill=style.light("#1f6f73"), opacity=0.6)
    body += rect(74, 18, 40, 22, r=6, fill="#8a9aa3", **line())
    body += rect(92, 4, 5, 16, fill="#8a9aa3", **line(1.5))
    for x in (48, 82, 116, 150):
        body += ellipse(x, 62, 9, 9, fill="#9fd8e0", **line(1.5))
    body += path("M172 60 L186 44 L186 76 Z", fill="#8a9aa3", **line())
    for i, (x, y) in enumerate([(20, 36), (14, 22), (24, 10)]):
        body += ellipse(x, y - t * 2, 3 + i, 3 + i, fill="#ffffff", opacity=0.7, stroke="#9fd8e0", stroke_width=1)
    body += path("M140 96 l10 -6 l0 12 z", fill="#f08a3c", **line(1.5))
    body += ellipse(132, 96, 10, 6, fill="#f08a3c", **line(1.5))
    return group(body, transform="translate(0 %d)" % t)


def blimp(w, h, t):
    """The envelope with its tail fins inside the frame (the fins' tips a few
    pixels in from its left edge) and the red band kept within the envelope."""
    hull = dict(cx=110, cy=44, rx=90, ry=34)
    body = shadow_ellipse(w / 2, h - 14, 60, 5)
    body += path("M24 32 L6 14 L6 44 Z", fill="#c8363b", **line(1.5))
    body += path("M24 56 L6 74 L6 44 Z", fill="#c8363b", **line(1.5))
    body += ellipse(hull["cx"], hull["cy"], hull["rx"], hull["ry"], fill="#f6ecd2", **line())
    body += svg.defs("<clipPath id='hull'>%s</clipPath>"
                     % ellipse(hull["cx"], hull["cy"], hull["rx"] - 1, hull["ry"] - 1))
    band = path("M%g 44 L%g 44" % (hull["cx"] - hull["rx"], hull["cx"] + hull["rx"]), stroke="#c8363b",
                stroke_width=5, opacity=0.9)
    body += group(band, clip_path="url(#hull)")
    body += ellipse(98, 34, 58, 12, fill="#ffffff", opacity=0.7)
    body += ellipse(hull["cx"], hull["cy"], hull["rx"], hull["ry"], fill="none", **line())
    body += rect(78, 80, 64, 20, r=6, fill="#c8363b", **line())
    for x in (86, 104, 122):
        body += rect(x, 84, 12, 9, r=2, fill="#f7d56b", **line(1))
    body += path("M90 76 L86 80 M130 76 L134 80", stroke=OUTLINE, stroke_width=2)
    return group(body, transform="translate(0 %d)" % (t - 2))


def spaceship(w, h, t):
    """Drawn at 170 x 90 and shrunk into its frame: it hovers in the chart's
    starry corner, clear of the title."""
    scale = min(w / 170.0, h / 90.0)
    return group(_spaceship_body(t), transform="translate(%g %g) scale(%g)" % ((w - 170 * scale) / 2,
                                                                            (h - 90 * scale) / 2, scale))


def _spaceship_body(t):
    w, h = 170, 90
    body = ellipse(w / 2, h - 6, 50, 5, fill="#4ee2ec", opacity=0.35 + 0.15 * t)
    body += ellipse(85, 50, 80, 22, fill="#c3c8d4", **line())
    body += ellipse(85, 44, 60, 10, fill="#ffffff", opacity=0.5)
    body += path("M45 40 Q85 -6 125 40 Z", fill="#4ee2ec", **line())
    body += ellipse(72, 24, 10, 6, fill="#ffffff", opacity=0.6)
    for i, x in enumerate((30, 60, 110, 140)):
        on = (i + t) % 2 == 0
        body += ellipse(x, 56, 5, 5, fill="#f7d56b" if on else "#3b2666", **line(1.5))
    body += path("M60 70 L85 84 L110 70", fill="#3b2666", **line(1.5))
    return body


def island(w, h, t):
    body = ellipse(55, 70, 50, 14, fill="#e9d9a9", **line())
    body += path("M54 66 Q50 40 58 18", stroke="#8a5a2b", stroke_width=5, fill="none")
    for a in (-60, -20, 20, 60, 100):
        r = math.radians(a - 90 + t * 4)
        body += path("M58 18 Q%0.1f %0.1f %0.1f %0.1f" % (58 + math.cos(r) * 14, 12 + math.sin(r) * 8,
                                                         58 + math.cos(r) * 26, 24 + math.sin(r) * 12),
                     stroke="#2f8a45", stroke_width=6, fill="none", stroke_linecap="round")
    body += path("M70 52 l6 -10 l6 10 z", fill=GOLD, **line(1.5))
    body += rect(72, 52, 10, 10, fill="#8a5a2b", **line(1.5))
    return body


DRAW = {1: cruise, 2: train, 3: submarine, 4: blimp, 5: spaceship, 6: island}


def restaurant(out, k):
    (cx, cy), (w, h) = PLACES[k]
    a = anim.Animation("rest%d" % k, image="rest%d.png" % k, reg=(cx, cy))
    for t in range(3):
        a.frame("f%d" % t, render(w, h, DRAW[k](w, h, t)), reg=(w // 2, h // 2))
    a.script("function DoAnim()\n    delay(260)\n    loop(-1, {1, 2, 3, 2})\nend\n")
    a.write(out, "rest%d.anm" % k)
    # The sparkle: a soft glow over the whole restaurant, drawn from its top left.
    sx, sy = SPARKLE_AT[k]
    gw, gh = (cx - sx) * 2, (cy - sy) * 2
    glow = ('<defs><radialGradient id="g"><stop offset="0" stop-color="#fff6c8" stop-opacity="0.8"/>'
            '<stop offset="0.7" stop-color="#ffd27a" stop-opacity="0.35"/>'
            '<stop offset="1" stop-color="#ffd27a" stop-opacity="0"/></radialGradient></defs>')
    glow += ellipse(gw / 2, gh / 2, gw / 2, gh / 2, fill="url(#g)")
    for i in range(7):
        ang = i * 2.4
        x, y = gw / 2 + math.cos(ang) * gw * 0.35, gh / 2 + math.sin(ang) * gh * 0.35
        glow += path("M%0.1f %0.1f l3 -9 l3 9 l9 3 l-9 3 l-3 9 l-3 -9 l-9 -3 z" % (x - 3, y - 3), fill="#ffffff")
    png.write(os.path.join(out, "restaurantsparkle_%d.png" % k), render(max(gw, 8), max(gh, 8), glow))


def overlays(out):
    # Drawn over every restaurant: a compass rose in the middle of the sea
    # (1), twinkling stars round the spaceship (2); the others are faint
    # clouds drifting over the chart.
    rose = ellipse(36, 36, 30, 30, fill="#fbf0dc", opacity=0.85, **line(1.5))
    rose += path("M36 6 L42 36 L36 66 L30 36 Z", fill=ACCENT, **line(1.5))
    rose += path("M6 36 L36 30 L66 36 L36 42 Z", fill="#3b2a33", opacity=0.8)
    png.write(os.path.join(out, "overlay1.png"), render(72, 72, group(rose, transform="translate(-8 -8) scale(1)")))
    stars = ""
    for x, y, r in [(160, 20, 4), (110, 44, 3), (210, 12, 3), (232, 34, 4), (122, 64, 2)]:
        stars += path("M%d %d l%0.1f %0.1f l%0.1f %0.1f l%0.1f %0.1f l%0.1f %0.1f z" % (
            x, y - r * 2, r * 0.6, r * 1.4, r * 1.4, r * 0.6, -r * 1.4, r * 0.6, -r * 0.6, r * 1.4), fill="#ffffff")
    png.write(os.path.join(out, "overlay2.png"), render(250, 70, stars))
    for k in (3, 4, 5, 6):
        cloud = ""
        for i in range(3):
            cloud += ellipse(20 + i * 16 + k * 3, 14 + (i % 2) * 4, 14, 9, fill="#ffffff", opacity=0.35)
        png.write(os.path.join(out, "overlay%d.png" % k), render(100, 30, cloud))


# ---- markers
def dot(on, scale):
    body = ellipse(22, 22, 10, 10, fill="#fff8ec", **line())
    body += ellipse(19, 19, 4, 4, fill="#ffffff")
    if on:
        body = ellipse(25, 26, 14, 14, fill=OUTLINE, opacity=0.28)
        body += ellipse(22, 22, 14, 14, fill=ACCENT, **line())
        body += ellipse(18, 18, 5, 5, fill=style.light(ACCENT))
    return group(body, transform="translate(%0.1f %0.1f) scale(%0.2f)" % (22 * (1 - scale), 22 * (1 - scale), scale))


def star_path(cx, cy, r):
    points = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        d = r if i % 2 == 0 else r * 0.45
        points.append("%0.1f %0.1f" % (cx + math.cos(a) * d, cy + math.sin(a) * d))
    return "M" + " L".join(points) + " Z"


def star(on, scale, colour=GOLD):
    r = 16 if on else 13
    body = path(star_path(25, 26, r), fill=OUTLINE, opacity=0.28)
    body += path(star_path(22, 22, r), fill=colour if on else style.mix(colour, "#fff8ec", 0.45), **line())
    body += ellipse(18, 16, 3, 3, fill="#ffffff", opacity=0.8)
    return group(body, transform="translate(%0.1f %0.1f) scale(%0.2f)" % (22 * (1 - scale), 22 * (1 - scale), scale))


def expert(on, scale):
    # The game's one expert mark (_crown.py), a little smaller and paler
    # while the level is not the selected one.
    body = crown(22, 22, 1.0, gold=GOLD if on else PALE_GOLD, radius=COIN_RADIUS if on else 10)
    return group(body, transform="translate(%0.1f %0.1f) scale(%0.2f)" % (22 * (1 - scale), 22 * (1 - scale), scale))


def padlock(scale):
    body = path("M16 20 L16 14 Q22 4 28 14 L28 20", stroke=OUTLINE, stroke_width=4, fill="none")
    body += path("M16 20 L16 14 Q22 4 28 14 L28 20", stroke="#c3c8d4", stroke_width=2, fill="none")
    body += rect(14, 19, 18, 15, r=3, fill=OUTLINE, opacity=0.28)
    body += rect(12, 18, 20, 15, r=3, fill="#b9b1a8", **line(1.5))
    body += ellipse(22, 25, 2, 2, fill=OUTLINE)
    return group(body, transform="translate(%0.1f %0.1f) scale(%0.2f)" % (22 * (1 - scale), 22 * (1 - scale), scale))


def marker(out, name, frames, pulse):
    a = anim.Animation(name, image=name + ".png", reg=(400, 300))
    for i, body in enumerate(frames):
        a.frame("f%d" % i, render(44, 44, body), reg=(22, 22))
    if pulse:
        a.script("function DoAnim()\n    delay(180)\n    loop(-1, {1, 2, 3, 2})\nend\n")
    else:
        a.script("function DoAnim()\n    frames{1}\nend\n")
    a.write(out, name + ".anm")


def markers(out):
    for suffix, scale in (("", 1.0), ("_b", 0.8)):
        marker(out, "dot_off" + suffix, [dot(False, scale)], False)
        marker(out, "dot_on" + suffix, [dot(True, scale * s) for s in (0.92, 1.0, 1.08)], True)
        marker(out, "expert_off" + suffix, [expert(False, scale)], False)
        marker(out, "expert_on" + suffix, [expert(True, scale * s) for s in (0.92, 1.0, 1.08)], True)
        marker(out, "star_off" + suffix, [star(False, scale)], False)
        marker(out, "star_on" + suffix, [star(True, scale * s) for s in (0.9, 1.0, 1.1)], True)
        marker(out, "locked" + suffix, [padlock(scale * 0.8)], False)


def score_panel():
    body = rect(5, 6, 218, 66, r=16, fill=OUTLINE, opacity=0.28)
    body += rect(2, 2, 218, 66, r=16, fill=style.PAPER, stroke=OUTLINE, stroke_width=2)
    return render(226, 76, body)


def main(out):
    png.write(os.path.join(out, "background.png"), background())
    png.write(os.path.join(out, "scorepanel.png"), score_panel())
    for k in PLACES:
        restaurant(out, k)
    overlays(out)
    markers(out)


if __name__ == "__main__":
    main(sys.argv[1])
