"""The story comics: Quessa's voyage from the cruise ship to the stars, in
full-screen pages "comicR_P.png" (R the restaurant's file number 1-6, P the
page from 1), drawn with the waitress rig (data/src/quessa) and the customer
rig (data/src/customers), plus the three figures that bob over the closing
page ("quessa.png", "odile.png", "odiles_cup.png").

The story: Quessa serves her first shift on a cruise ship; her friend Odile,
who runs a little cafe in port, writes to her at every stop; each captain
sends her on to the next restaurant, and at the end Quessa and Odile open a
restaurant of their own."""
# reads: ../quessa ../customers
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "quessa"))
sys.path.insert(0, os.path.join(HERE, "..", "customers"))

import _figure as fig  # noqa: E402
import _waitress as waitress  # noqa: E402
import customers  # noqa: E402
from qmcontent import png, style, svg  # noqa: E402
from qmcontent.svg import OUTLINE, ellipse, group, path, rect  # noqa: E402

PAPER = style.PAPER
INK = style.INK
FONT = "DejaVu Sans"

# Quessa's own colours: a teal blouse, a navy skirt, a cream apron, red bow.
OUTFIT = {"top": "#2fa6a0", "bottom": "#2c3e66", "shoes": "#6b2e22", "apron": "#fbf0dc", "accessory": "#c8283b"}
MARKS = (waitress.MARK_LIGHT, waitress.MARK, waitress.MARK_SHADE)

# Per restaurant: wall, floor, trim (from the art direction).
ROOMS = {
    1: ("#24395e", "#c9a57a", "#c79a3a", "#3f9bc4"),
    2: ("#6b2e22", "#8a5a3b", "#c79a3a", "#2f6b45"),
    3: ("#1f6f73", "#8a9aa3", "#9fd8e0", "#f08a3c"),
    4: ("#8cc7ee", "#f6ecd2", "#c8363b", "#ffffff"),
    5: ("#3b2666", "#c3c8d4", "#4ee2ec", "#e38b4f"),
    6: ("#f4c430", "#c9a57a", "#e8743b", "#4fbf68"),
}


def quessa(x, y, scale=1.0, mood="smile", hold=0, special=None, dir="F"):
    """Her figure with her feet on (x, y)."""
    pose = dict(waitress.DEFAULT, mood=mood, hold=hold, special=special, dir=dir)
    out = ""
    for layer in waitress.LAYERS:
        drawing = waitress.DRAW[layer](pose)
        if layer != "body":
            ramp = style.ramp(OUTFIT[layer])
            for mark, colour in zip(MARKS, ramp):
                drawing = drawing.replace(mark, colour)
        out += drawing
    rx, ry = waitress.REG
    return group(out, transform="translate(%g %g) scale(%g) translate(%d %d)" % (x, y, scale, -rx, -ry))


def customer(name, x, y, scale=1.0, colour="blue", mood="smile"):
    """A customer from the waist up, its body's registration point on (x, y)."""
    kind = customers.TYPES[name]
    p = fig.body_palette(kind)
    party = style.PARTY[colour]
    drawing = fig.draw_body(p, kind, dict(fig.DEFAULT, mood=mood))
    for base, value in zip((p.colour("party_light"), p.colour("party"), p.colour("party_shade")), style.ramp(party)):
        drawing = drawing.replace("#%02x%02x%02x" % base[:3], value)
    rx, ry = fig.REG
    return group(drawing, transform="translate(%g %g) scale(%g) translate(%d %d)" % (x, y, scale, -rx, -ry))


def odile(x, y, scale=1.0):
    """Odile, Quessa's friend from port: a customer figure with her own hair and a cup."""
    return customer("bookworm_female", x, y, scale, "green")


def cup(x, y, scale=1.0):
    body = path("M-18 -20 L18 -20 L14 14 Q0 20 -14 14 Z", fill="#fbf0dc", stroke=OUTLINE, stroke_width=2.5)
    body += path("M18 -12 Q32 -10 28 2 Q24 10 15 6", fill="none", stroke=OUTLINE, stroke_width=4)
    body += path("M18 -12 Q32 -10 28 2 Q24 10 15 6", fill="none", stroke="#fbf0dc", stroke_width=2)
    body += ellipse(0, -20, 18, 5, fill="#7a4a2a", stroke=OUTLINE, stroke_width=2)
    body += path("M-6 -30 q-4 -8 2 -14 M6 -30 q-4 -8 2 -14", stroke="#ffffff", stroke_width=3, fill="none",
                 opacity=0.8, stroke_linecap="round")
    body += path("M-12 0 Q0 4 12 0", stroke=style.shade("#fbf0dc"), stroke_width=3, fill="none")
    return group(body, transform="translate(%g %g) scale(%g)" % (x, y, scale))


def text_lines(x, y, lines, size=17, fill=INK, anchor="middle", weight="bold"):
    out = ""
    for i, line in enumerate(lines):
        out += svg.text(x, y + i * (size + 5), line.replace("&", "&amp;").replace("'", "&#39;"), size, fill,
                        anchor=anchor, weight=weight, family=FONT)
    return out


def bubble(x, y, w, h, lines, tail):
    """A speech bubble with its tail tip at `tail`."""
    tx, ty = tail
    cx = x + w / 2
    out = path("M%g %g L%g %g L%g %g Z" % (cx - 14, y + h / 2, tx, ty, cx + 14, y + h / 2), fill="#ffffff",
               stroke=OUTLINE, stroke_width=2, stroke_linejoin="round")
    out += rect(x, y, w, h, r=h / 2 if h < 60 else 22, fill="#ffffff", stroke=OUTLINE, stroke_width=2)
    out += path("M%g %g L%g %g L%g %g" % (cx - 12, y + h / 2, tx, ty, cx + 12, y + h / 2), fill="#ffffff",
                stroke="none")
    size = 16
    top = y + h / 2 - (len(lines) * (size + 5)) / 2 + size
    return out + text_lines(cx, top, lines, size)


def caption(x, y, w, lines):
    h = 14 + len(lines) * 21
    out = rect(x + 3, y + 4, w, h, r=8, fill=OUTLINE, opacity=0.28)
    out += rect(x, y, w, h, r=8, fill="#f7d56a", stroke=OUTLINE, stroke_width=2)
    return out + text_lines(x + 12, y + 24, lines, 15, anchor="start", weight="normal")


def room(k, x, y, w, h):
    wall, floor, trim, extra = ROOMS[k]
    out = rect(x, y, w, h, fill=wall)
    out += rect(x, y + h * 0.66, w, h * 0.34, fill=floor)
    out += rect(x, y + h * 0.66 - 6, w, 6, fill=trim)
    # A window or porthole per restaurant.
    if k in (1, 3):
        for i in range(2):
            cx = x + w * (0.3 + 0.4 * i)
            out += ellipse(cx, y + h * 0.3, 26, 26, fill=extra if k == 1 else "#123f44", stroke=trim, stroke_width=6)
            if k == 3:
                out += path("M%g %g l10 -6 l0 12 z" % (cx - 4, y + h * 0.3), fill=extra)
    elif k == 2:
        out += rect(x + w * 0.15, y + h * 0.12, w * 0.7, h * 0.32, r=8, fill="#cfe6c2", stroke=trim, stroke_width=6)
        out += path("M%g %g l%g %g" % (x + w * 0.2, y + h * 0.38, w * 0.6, -h * 0.12), stroke="#9fc08a",
                    stroke_width=8)
    elif k == 4:
        for i in range(3):
            out += ellipse(x + w * (0.2 + i * 0.3), y + h * (0.2 + (i % 2) * 0.12), 34, 14, fill="#ffffff")
    elif k == 5:
        for i in range(12):
            out += ellipse(x + (i * 53 % w), y + 10 + (i * 37 % int(h * 0.5)), 1.8, 1.8, fill="#ffffff")
        out += ellipse(x + w * 0.75, y + h * 0.25, 22, 22, fill=extra, stroke=OUTLINE, stroke_width=2)
    elif k == 6:
        out += rect(x + w * 0.2, y + h * 0.1, w * 0.6, h * 0.16, r=8, fill="#fbf0dc", stroke=OUTLINE,
                    stroke_width=2)
        out += text_lines(x + w / 2, y + h * 0.1 + h * 0.11, ["QUESSA & ODILE"], 18)
    return out


def table(x, y, w=150):
    out = ellipse(x, y + 40, w * 0.55, 8, fill=OUTLINE, opacity=0.25)
    out += rect(x - 6, y, 12, 40, fill="#7a4e32", stroke=OUTLINE, stroke_width=2)
    out += ellipse(x, y, w / 2, 12, fill="#fbf0dc", stroke=OUTLINE, stroke_width=2)
    return out


def panel(x, y, w, h, body):
    clip = "p%d_%d" % (x, y)
    out = '<clipPath id="%s"><rect x="%d" y="%d" width="%d" height="%d"/></clipPath>' % (clip, x, y, w, h)
    out += rect(x + 4, y + 5, w, h, fill=OUTLINE, opacity=0.3)
    out += group(body, clip_path="url(#%s)" % clip)
    out += rect(x, y, w, h, fill="none", stroke=OUTLINE, stroke_width=4)
    return out


def page(panels):
    out = rect(0, 0, 800, 600, fill=PAPER)
    for i in range(40):
        out += ellipse((i * 97) % 800, (i * 61) % 600, 2, 2, fill=style.PAPER_SHADE)
    for p in panels:
        out += p
    return png.write, svg.render(svg.document(800, 600, out))


def two(left, right):
    """Two panels side by side, leaving the bottom strip for the arrows."""
    return [panel(20, 20, 372, 500, left), panel(408, 20, 372, 500, right)]


def scene(k, figures, x0):
    return room(k, x0, 20, 372, 500) + figures


# ---- the pages: (restaurant file number, page) -> two panels
def pages():
    L, R = 20, 408
    out = {}
    out[(1, 1)] = two(
        scene(1, quessa(L + 120, 470, 2.2) + bubble(L + 170, 110, 190, 70, ["My first shift", "at sea!"], (L + 140, 200))
              + caption(L + 12, 32, 230, ["The cruise ship Bellwave,", "day one."]), L),
        scene(1, customer("tourist_male", R + 210, 330, 1.6, "yellow")
              + customer("tourist_female", R + 290, 330, 1.6, "yellow") + table(R + 240, 380) + quessa(R + 90, 470, 2.0, hold=1)
              + bubble(R + 150, 50, 200, 70, ["Two lemonades,", "coming up!"], (R + 100, 210)), R))
    out[(1, 2)] = two(
        scene(1, quessa(L + 110, 470, 2.0) + customer("old_male", L + 270, 330, 1.9, "blue") + table(L + 270, 385)
              + bubble(L + 140, 50, 220, 90, ["Captain here. My cousin", "runs the dining car", "of the Express..."],
                       (L + 260, 230)), L),
        scene(2, quessa(R + 180, 470, 2.2, mood="open")
              + caption(R + 12, 32, 260, ["A letter from Odile:", "'Next stop, the rails!'"]), R))
    out[(2, 1)] = two(
        scene(2, customer("business_female", L + 220, 330, 1.6, "purple")
              + customer("cellphone_male", L + 300, 330, 1.6, "purple") + table(L + 250, 380) + quessa(L + 90, 470, 2.0, hold=2)
              + bubble(L + 130, 50, 220, 70, ["The soup stays", "in the bowl!"], (L + 100, 210)), L),
        scene(2, quessa(R + 120, 470, 2.0) + customer("dad_male", R + 280, 330, 1.9, "green") + table(R + 280, 385)
              + bubble(R + 130, 50, 230, 90, ["Best service on", "the line! The deep", "sea needs you."],
                       (R + 270, 230)), R))
    out[(3, 1)] = two(
        scene(3, quessa(L + 180, 470, 2.2, mood="open")
              + caption(L + 12, 32, 250, ["Forty fathoms down,", "the fish watch you eat."]), L),
        scene(3, customer("kid_male", R + 200, 340, 1.6, "blue")
              + customer("mom_female", R + 290, 330, 1.6, "blue") + table(R + 240, 380) + quessa(R + 90, 470, 2.0, hold=1)
              + bubble(R + 140, 50, 210, 70, ["A high chair", "for the captain!"], (R + 100, 210)), R))
    out[(4, 1)] = two(
        scene(4, quessa(L + 150, 470, 2.2) + bubble(L + 170, 60, 190, 70, ["Up, up", "and away!"], (L + 160, 220))
              + caption(L + 12, 32, 200, ["The blimp Cumulus."]), L),
        scene(4, customer("lovebird_female", R + 210, 330, 1.6, "red")
              + customer("lovebird_male", R + 290, 330, 1.6, "red") + table(R + 240, 380) + quessa(R + 90, 470, 2.0)
              + bubble(R + 150, 50, 200, 70, ["Dessert for two,", "above the clouds."], (R + 100, 210)), R))
    out[(5, 1)] = two(
        scene(5, quessa(L + 170, 470, 2.2, mood="open")
              + caption(L + 12, 32, 250, ["The last restaurant", "is in orbit."]), L),
        scene(5, customer("fitness_female", R + 210, 330, 1.6, "green")
              + customer("bookworm_female", R + 290, 330, 1.6, "green") + table(R + 240, 380) + quessa(R + 90, 470, 2.0, hold=2)
              + bubble(R + 140, 50, 220, 70, ["Careful: the peas", "float here!"], (R + 100, 210)), R))
    out[(5, 2)] = two(
        scene(5, quessa(L + 110, 470, 2.0) + odile(L + 270, 330, 1.9) + table(L + 270, 385)
              + bubble(L + 120, 50, 240, 90, ["Odile! You came", "all the way up", "here?"], (L + 110, 220)), L),
        scene(6, quessa(R + 110, 470, 2.0) + odile(R + 270, 330, 1.9) + table(R + 270, 385)
              + cup(R + 300, 360, 1.0) + bubble(R + 120, 130, 240, 70, ["Let's open a place", "of our own!"], (R + 250, 230)), R))
    out[(6, 1)] = [panel(20, 20, 760, 500, room(6, 20, 20, 760, 500) + table(663, 424, 110)
                         + caption(40, 190, 260, ["And so they did.", "Thank you for playing!"]))]
    return out


def main(out_dir):
    for (k, n), panels in pages().items():
        _, picture = page(panels)
        png.write(os.path.join(out_dir, "comic%d_%d.png" % (k, n)), picture)
    # The closing page's bobbing figures, each on its own.
    # They are drawn from their top left at fixed places over the page.
    png.write(os.path.join(out_dir, "quessa.png"), svg.render(svg.document(150, 250, quessa(75, 244, 2.0))))
    png.write(os.path.join(out_dir, "odile.png"),
              svg.render(svg.document(200, 200, odile(100, 90, 1.9) + table(100, 150, 170))))
    png.write(os.path.join(out_dir, "odiles_cup.png"), svg.render(svg.document(90, 90, cup(45, 52, 1.4))))


if __name__ == "__main__":
    main(sys.argv[1])
