"""The wardrobe screen: its room ("background.png"), the mannequin of the
waitress ("base.anm", her body at three times her size), one animation per
slot with a frame per item file ("shoes.anm" ... "accessory.anm", drawn over
the mannequin) and the item pictures between each slot's arrows
("shoes_ui.anm" ...), the slots' glows ("closetglow1.png" to
"closetglow5.png"), the arrows plain and lit, a twinkle on the mirror
("blink.anm"), and every item's icon ("icons/FILE.png") for the
clothing-unlocked notice. Clothing stays in the tintable marking; the game
colours it. The icons alone come in their own colours, the slot's default:
the notice tints only an item meant for one colour, and every item here is
meant for all of them."""
# reads: ../quessa
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "quessa"))

import _wardrobe as wardrobe  # noqa: E402
import _waitress as rig  # noqa: E402
from qmcontent import anim, png, style, svg  # noqa: E402
from qmcontent.svg import OUTLINE, ellipse, group, path, rect  # noqa: E402

SCALE = 3
FEET = (400, 566)
SLOTS = ["shoes", "bottom", "top", "apron", "accessory"]
# Top left of each slot's panel (where its glow is drawn), as the game places them.
PANELS = {"shoes": (123, 455), "bottom": (533, 274), "top": (533, 57), "apron": (123, 209), "accessory": (123, 56)}
PANEL = (150, 125)
POSE = dict(rig.DEFAULT)
ACCENT = "#e8743b"


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def background():
    body = rect(0, 0, 800, 600, fill="#f3dcc4")
    for x in range(0, 800, 40):
        body += rect(x, 0, 20, 600, fill="#efd3b6")
    body += rect(0, 470, 800, 130, fill="#b98a5e")
    for x in range(0, 800, 90):
        body += path("M%d 470 L%d 600" % (x, x - 30), stroke="#a77a50", stroke_width=3)
    body += rect(0, 462, 800, 10, fill="#8a5a3b")
    # The mirror behind the mannequin.
    body += ellipse(403, 344, 134, 214, fill=OUTLINE, opacity=0.25)
    body += ellipse(400, 340, 134, 214, fill="#c79a3a", stroke=OUTLINE, stroke_width=3)
    body += ellipse(400, 340, 118, 198, fill="#d9eef6", stroke=OUTLINE, stroke_width=2)
    body += path("M330 220 Q350 170 390 160", stroke="#ffffff", stroke_width=10, fill="none", opacity=0.7,
                 stroke_linecap="round")
    body += ellipse(400, 566, 90, 12, fill=OUTLINE, opacity=0.25)
    # The slots' paper panels.
    for slot, (x, y) in PANELS.items():
        w, h = PANEL
        body += rect(x + 3, y + 4, w, h, r=18, fill=OUTLINE, opacity=0.28)
        body += rect(x, y, w, h, r=18, fill=style.PAPER, stroke=OUTLINE, stroke_width=2)
        body += rect(x + 8, y + h - 30, w - 16, 22, r=10, fill=style.PAPER_SHADE)
        body += svg.text(x + w / 2, y + h - 13, slot.capitalize(), 14, OUTLINE, family="DejaVu Sans")
    return render(800, 600, body)


def figure_frame(draw):
    """A drawing of her frame at the mannequin's size, registered on her feet."""
    w, h = rig.W * SCALE, rig.H * SCALE
    return render(w, h, group(draw, transform="scale(%d)" % SCALE)), (rig.REG[0] * SCALE, rig.REG[1] * SCALE)


def extent(draw):
    """The box round what an item draws on her (x, y, w, h), from its pixels."""
    margin = 16
    picture = render(rig.W + 2 * margin, rig.H + 2 * margin,
                     group(draw(POSE), transform="translate(%d %d)" % (margin, margin)))
    xs, ys = [], []
    for y in range(picture.height):
        for x in range(picture.width):
            if picture.get(x, y)[3] > 8:
                xs.append(x)
                ys.append(y)
    return min(xs) - margin, min(ys) - margin, max(xs) + 1 - min(xs), max(ys) + 1 - min(ys)


def item_picture(draw, w, h):
    """The item alone, as large as fits with a little room all round."""
    cx, cy, cw, ch = extent(draw)
    scale = min((w - 6) / cw, (h - 6) / ch, 3.0)
    ox, oy = (w - cw * scale) / 2, (h - ch * scale) / 2
    return render(w, h, group(draw(POSE), transform="translate(%g %g) scale(%g) translate(%g %g)" % (
        ox, oy, scale, -cx, -cy)))


# The slots' default colours (assets/quessa/colors.inf), by the game's own
# tint rule: a pixel whose blue and red are close but whose blue and green
# differ takes the colour at its lightness (blue / 255).
DEFAULT_COLOURS = {"shoes": (122, 59, 46), "bottom": (47, 63, 110), "top": (127, 184, 232),
                   "apron": (251, 251, 246), "accessory": (200, 40, 59)}


def in_default_colour(image, slot):
    colour = DEFAULT_COLOURS[slot]
    for i, (r, g, b, a) in enumerate(image.pixels):
        if abs(b - r) >= 45 or abs(b - g) < 3:
            continue
        image.pixels[i] = tuple(int(b / 255 * c) for c in colour) + (a,)
    return image


def glow():
    w, h = PANEL
    body = ('<defs><radialGradient id="g"><stop offset="0.55" stop-color="#fff3a0" stop-opacity="0"/>'
            '<stop offset="0.85" stop-color="#ffd27a" stop-opacity="0.9"/>'
            '<stop offset="1" stop-color="#ffd27a" stop-opacity="0"/></radialGradient></defs>')
    body += rect(0, 0, w, h, r=18, fill="url(#g)")
    body += rect(5, 5, w - 10, h - 10, r=15, fill="none", stroke="#ffd27a", stroke_width=4)
    # A glow ends softly: nothing of it on the picture's border.
    return png.faded_edges(render(w, h, body), 4)


def arrow(direction, lit):
    colour = style.mix(ACCENT, "#ffd27a", 0.45) if lit else ACCENT
    d = "M24 10 L12 20 L24 30" if direction == "left" else "M14 10 L26 20 L14 30"
    body = ellipse(22, 22, 17, 17, fill=OUTLINE, opacity=0.28)
    body += ellipse(20, 20, 17, 17, fill=colour, stroke=OUTLINE, stroke_width=2)
    body += ellipse(15, 14, 6, 4, fill="#ffffff", opacity=0.35)
    body += path(d, stroke="#fff8ec", stroke_width=4, fill="none", stroke_linecap="round", stroke_linejoin="round")
    if lit:
        body += ellipse(20, 20, 19, 19, fill="none", stroke="#fff3a0", stroke_width=2)
    return render(42, 42, body)


def blink():
    a = anim.Animation("blink", image="blink.png", reg=(470, 200))
    for i, r in enumerate((0.5, 5, 9, 5)):
        body = path("M%g %g l%g %g l%g %g l%g %g l%g %g l%g %g l%g %g l%g %g z" % (
            12, 12 - r * 2, r * 0.5, r * 1.5, r * 1.5, r * 0.5, -r * 1.5, r * 0.5, -r * 0.5, r * 1.5, -r * 0.5,
            -r * 1.5, -r * 1.5, -r * 0.5, r * 1.5, -r * 0.5), fill="#ffffff", opacity=0.9 if r > 1 else 0)
        a.frame("t%d" % i, render(24, 24, body), reg=(12, 12))
    a.script("function DoAnim()\n    while true do\n        delay(1400)\n        frames{1}\n"
             "        delay(70)\n        frames{2, 3, 4, 1}\n    end\nend\n")
    return a


def main(out):
    png.write(os.path.join(out, "background.png"), background())
    base = anim.Animation("base", image="base.png", reg=FEET)
    picture, reg = figure_frame(rig.body(POSE))
    base.frame("idle", picture, reg=reg)
    base.script("function DoAnim()\n    frames{1}\nend\n")
    base.write(out, "base.anm")
    os.makedirs(os.path.join(out, "icons"), exist_ok=True)
    for k, slot in enumerate(SLOTS):
        pieces = anim.Animation(slot, image=slot + ".png", reg=FEET)
        x, y = PANELS[slot]
        ui = anim.Animation(slot + "_ui", image=slot + "_ui.png", reg=(x + PANEL[0] // 2, y + 48))
        for file_name, draw in wardrobe.ITEMS[slot]:
            picture, reg = figure_frame(draw(POSE))
            pieces.frame(file_name, picture, reg=reg)
            ui.frame(file_name, item_picture(draw, 70, 70), reg=(35, 35))
            png.write(os.path.join(out, "icons", file_name + ".png"),
                      in_default_colour(item_picture(draw, 64, 64), slot))
        pieces.write(out, slot + ".anm")
        ui.write(out, slot + "_ui.anm")
        png.write(os.path.join(out, "closetglow%d.png" % (k + 1)), glow())
    for direction in ("left", "right"):
        png.write(os.path.join(out, "arrow_%s.png" % direction), arrow(direction, False))
        png.write(os.path.join(out, "arrow_%s_lit.png" % direction), arrow(direction, True))
    blink().write(out, "blink.anm")


if __name__ == "__main__":
    main(sys.argv[1])
