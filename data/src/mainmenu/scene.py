"""The scene behind the menu screens (scripts/menuscene.lua), 800 x 600:
  "mainmenu/night.png": the evening sky over the sea, seen from the cruise
      ship (every menu screen); its top stays the navy of the cruise palette
      so the logo and the paper panels stand out;
  "mainmenu/deck.png": the ship's deck across the bottom with its rail, the
      funnel and a lifeboat (transparent above; the main menu and the
      loading screen, whose heroine walks on it at y 500);
  "mainmenu/heroine.png": the waitress on the deck with a tray, drawn from
      her own rig (data/src/quessa), at the left of the main menu's buttons.
Backdrops have no outline; the heroine has hers."""
# reads: ../quessa
import math
import os
import sys

from qmcontent import style, svg
from qmcontent.svg import OUTLINE, Random, ellipse, group, linear_gradient, path, polygon, rect

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "quessa"))
import _waitress as waitress  # noqa: E402

W, H = 800, 600
NAVY, WHITE, BRASS, SEA = (style.RESTAURANTS["cruise"][k] for k in ("navy", "white", "brass", "sea"))
HORIZON = 430
DECK = 470

# Her clothing as the game tints it by default (assets/quessa/colors.inf):
# the tint keeps the marking's lightness (its blue channel / 255).
OUTFIT = {"shoes": (122, 59, 46), "bottom": (47, 63, 110), "top": (127, 184, 232), "apron": (251, 251, 246),
          "accessory": (200, 40, 59)}


def tinted(rgb, lightness):
    return "#%02x%02x%02x" % tuple(int(c * lightness) for c in rgb)


def save(path, w, h, body):
    with open(path, "wb") as f:
        f.write(svg.render_bytes(svg.document(w, h, body)))


# ---------------------------------------------------------------- sky and sea

def night():
    rnd = Random(21)
    # navy over most of the sky (the menus' tests read it at several points),
    # dusk only in a band over the horizon
    body = svg.defs(linear_gradient("sky", [(0, NAVY), (0.76, NAVY), (0.9, "#3d5c8c"), (1, "#e9a878")]))
    body += rect(0, 0, W, HORIZON, fill="url(#sky)")
    # stars, kept off the corners the menus' tests read as plain sky
    for k in range(90):
        x, y = rnd.uniform(0, W), rnd.uniform(0, 300)
        if (x < 60 and y < 60) or (150 < x < 250 and 130 < y < 200) or (640 < x < 720 and y > 270):
            continue
        r = rnd.choice([0.7, 0.9, 1.1, 1.4])
        body += ellipse(x, y, r, r, fill="#fff8dc", opacity=rnd.uniform(0.35, 0.9))
    # the moon in the top right corner, beside the logo
    body += ellipse(742, 86, 44, 44, fill="#f7f0c0", opacity=0.12)
    body += ellipse(742, 86, 28, 28, fill="#f7f0c0")
    body += ellipse(733, 78, 6, 5, fill="#e8dca0") + ellipse(752, 96, 4, 4, fill="#e8dca0")
    # soft evening clouds low in the sky
    for x, y, s in ((90, 352, 1.3), (420, 378, 1.6), (650, 340, 1.1)):
        body += group(ellipse(x, y, 60 * s, 9 * s, fill="#f2c8b0") + ellipse(x + 20 * s, y - 6 * s, 30 * s, 8 * s,
                                                                           fill="#f2c8b0"), opacity=0.35)
    # a far island with a lighthouse on the horizon
    body += path("M40 %d Q110 %d 190 %d Z" % (HORIZON + 1, HORIZON - 26, HORIZON + 1), fill="#2f4466")
    body += rect(128, HORIZON - 44, 7, 26, fill="#3b5074") + polygon([(126, HORIZON - 44), (131.5, HORIZON - 52),
                                                                      (137, HORIZON - 44)], fill="#3b5074")
    body += ellipse(131.5, HORIZON - 46, 14, 4, fill="#fff1a8", opacity=0.5)
    # the sea, darker towards the viewer, with the moon's path on it
    body += svg.defs(linear_gradient("sea", [(0, "#4a84b0"), (0.4, SEA), (1, "#1f4f78")]))
    body += rect(0, HORIZON, W, H - HORIZON, fill="url(#sea)")
    body += rect(0, HORIZON, W, 2, fill="#f2c8b0", opacity=0.6)
    for k in range(14):
        y = HORIZON + 6 + k * k * 1.1 + 4 * k
        w = 10 + 5 * k
        body += rect(560 - w / 2 + rnd.uniform(-6, 6), y, w, 2 + k * 0.3, r=1, fill="#f7f0c0",
                     opacity=0.55 - 0.025 * k)
    for k in range(36):
        x, y = rnd.uniform(0, W), rnd.uniform(HORIZON + 10, H)
        w = 10 + (y - HORIZON) * 0.2
        body += path("M%g %g q%g -3 %g 0" % (x, y, w / 2, w), stroke="#cfe8f4", stroke_width=1.5, fill="none",
                     opacity=0.35, stroke_linecap="round")
    return body


# ---------------------------------------------------------------- the deck

def deck():
    rnd = Random(22)
    body = ""
    # the funnel and a lifeboat at the right, behind the rail
    body += rect(640, 250, 110, 226, fill=WHITE)
    body += rect(640, 250, 110, 46, fill="#c8283b") + rect(640, 296, 110, 12, fill=NAVY)
    body += rect(720, 250, 30, 226, fill="#d6dbe2")
    body += ellipse(695, 250, 55, 9, fill="#1c1420", opacity=0.6)
    for k, (x, y, r) in enumerate(((712, 232, 20), (746, 218, 24), (786, 208, 28))):
        body += ellipse(x, y, r, r * 0.7, fill="#c8ccd4", opacity=0.45 - 0.1 * k)
    body += rect(520, 372, 110, 8, fill="#9aa3ae")
    for x in (530, 616):
        body += path("M%d 372 L%d 320 L%d 320" % (x, x, x + (16 if x < 600 else -16)), stroke="#9aa3ae",
                     stroke_width=5, fill="none")
    body += path("M512 330 Q575 392 638 330 Z", fill="#f08a3c") + rect(512, 326, 126, 8, r=3, fill="#f4f6f8")
    # the deck's planks, in perspective
    body += rect(0, DECK, W, H - DECK, fill="#d8b483")
    y, h = DECK, 8
    while y < H:
        body += rect(0, y + h - 1.5, W, 1.5, fill="#b08a5c")
        x = -rnd.uniform(0, 120)
        while x < W:
            n = rnd.uniform(120, 260)
            body += rect(x, y, 1.5, h, fill="#b08a5c")
            body += rect(x + 2, y, n - 2, h - 1.5, fill="#e6c497" if rnd.next() % 3 == 0 else "#d8b483",
                         opacity=0.6)
            x += n
        y += h
        h += 3
    body += svg.defs(linear_gradient("deckshade", [(0, "#1c1420", 0.25), (1, "#1c1420", 0)]))
    body += rect(0, DECK, W, 30, fill="url(#deckshade)")
    # the rail: white posts and a brass hand rail, a life ring on it
    body += rect(0, DECK - 6, W, 8, fill=WHITE) + rect(0, DECK - 4, W, 2, fill="#c8ccd4")
    for x in range(10, W, 46):
        body += rect(x, 410, 5, DECK - 410, fill=WHITE) + rect(x + 3, 410, 2, DECK - 410, fill="#c8ccd4")
    for y in (428, 446):
        body += rect(0, y, W, 3, fill="#e8ecf0")
    body += rect(0, 404, W, 8, r=4, fill=BRASS) + rect(0, 405, W, 2, fill=style.light(BRASS))
    cx, cy = 560, 438
    body += ellipse(cx, cy, 22, 22, fill=WHITE)
    for a in (45, 135, 225, 315):
        r0, r1 = math.radians(a - 22), math.radians(a + 22)
        body += path("M%g %g A22 22 0 0 1 %g %g L%g %g A11 11 0 0 0 %g %g Z" % (
            cx + 22 * math.cos(r0), cy + 22 * math.sin(r0), cx + 22 * math.cos(r1), cy + 22 * math.sin(r1),
            cx + 11 * math.cos(r1), cy + 11 * math.sin(r1), cx + 11 * math.cos(r0), cy + 11 * math.sin(r0)),
            fill="#c8283b")
    body += ellipse(cx, cy, 11, 11, fill="#2f4466")
    # a deck chair with striped canvas and a little table with a drink
    body += ellipse(640, 584, 52, 8, fill="#1c1420", opacity=0.18)
    body += path("M596 586 L628 520 M680 586 L660 540 M600 560 L676 560", stroke="#8a5a2b", stroke_width=5,
                 stroke_linecap="round", fill="none")
    body += polygon([(612, 560), (640, 500), (664, 506), (668, 560)], fill="#f4f6f8")
    for k in range(3):
        t0, t1 = k / 3.0 + 0.08, k / 3.0 + 0.24
        body += polygon([(612 + 28 * t0, 560 - 60 * t0), (612 + 28 * t1, 560 - 60 * t1),
                         (668 - 4 * t1, 560 - 54 * t1), (668 - 4 * t0, 560 - 54 * t0)], fill="#3f9bc4")
    body += ellipse(720, 540, 34, 10, fill="#f4f6f8") + rect(717, 540, 6, 46, fill="#c8ccd4")
    body += rect(708, 518, 10, 20, r=2, fill="#f4a23a") + rect(726, 528, 14, 10, r=2, fill="#f7b8cc")
    return body


# ---------------------------------------------------------------- the heroine

def heroine():
    """Her, smiling, a tray with a drink and a slice of cake held up; her
    feet at (110, 286) of the 220 x 300 picture."""
    pose = dict(waitress.DEFAULT, hold=1, mood="smile")
    out = ""
    marks = (waitress.MARK_LIGHT, 1.0), (waitress.MARK, 0.82), (waitress.MARK_SHADE, 0.58)
    for layer in waitress.LAYERS:
        drawing = waitress.DRAW[layer](pose)
        if layer != "body":
            for mark, lightness in marks:
                drawing = drawing.replace(mark, tinted(OUTFIT[layer], lightness))
        out += drawing
    (hx, hy), _ = waitress.hand_points(pose)
    tray = ellipse(hx - 2, hy - 3, 16, 4.5, **svg.outlined("#c3c8d4", 1.5))
    tray += rect(hx - 12, hy - 17, 9, 13, r=2, **svg.outlined("#f4a23a", 1.2))
    tray += path("M%g %g L%g %g" % (hx - 6, hy - 17, hx - 3, hy - 24), stroke=OUTLINE, stroke_width=1.5)
    tray += polygon([(hx, hy - 5), (hx + 11, hy - 5), (hx + 11, hy - 12), (hx, hy - 15)],
                    **svg.outlined("#f2a7c3", 1.2))
    rx, ry = waitress.REG
    scale = 2.3
    shadow = ellipse(110, 286, 60, 10, fill=OUTLINE, opacity=0.25)
    return shadow + group(out + tray, transform="translate(110 286) scale(%g) translate(%d %d)" % (scale, -rx, -ry))


def main(out):
    os.makedirs(out, exist_ok=True)
    save(os.path.join(out, "night.png"), W, H, night())
    save(os.path.join(out, "deck.png"), W, H, deck())
    save(os.path.join(out, "heroine.png"), 220, 300, heroine())


if __name__ == "__main__":
    main(sys.argv[1])
