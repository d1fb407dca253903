"""Furniture shared by every restaurant (folder "furniture/"):
- "bar.anm": the counter, stools on its left from the top; anchors
  chair1..8 (stool seats) and divider1..7 (the line between stool N and
  N + 1), "bar_divider.png" drawn there;
- "barstools/green.anm" + "green.png" (indexed, anchors sit, flag) and a
  ".pal" per chair colour;
- "bench.anm", "luxury_bench.anm" (anchors seat1..6);
- "dirt2top.png", "dirt4top.png", "dirt6top.png": used plates and crumbs;
- "spill.anm" ("DoAnim" spreads the puddle and holds its last frame);
- "highchairbaby.anm" + "highchairbaby.png" (indexed; "Happy", "Sad") and
  COLOUR + "_highchairbaby.pal" per party colour."""
import os
import sys

from qmcontent import anim, palette, palettes, png, style, svg

WOOD = "#8a5a2b"
TOP = "#c79a3a"
STOOL_STEP = 52
BAR_W, BAR_H = 60, STOOL_STEP * 8 + 20


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def stool_y(i):
    """Centre of stool i (1..8) from the bar's middle."""
    return int((i - 4.5) * STOOL_STEP)


def write_bar(out):
    body = (svg.rect(6, 4, BAR_W - 10, BAR_H - 8, r=8, **svg.outlined(style.shade(WOOD)))
            + svg.rect(4, 2, BAR_W - 16, BAR_H - 12, r=8, **svg.outlined(TOP))
            + svg.rect(10, 8, 6, BAR_H - 30, r=3, fill=style.light(TOP)))
    anchors = {}
    for i in range(1, 9):
        anchors["chair%d" % i] = (-44, stool_y(i))
    for i in range(1, 8):
        anchors["divider%d" % i] = (-8, stool_y(i) + STOOL_STEP // 2)
    a = anim.Animation("bar", image="bar.png")
    a.frame("bar", render(BAR_W, BAR_H, body), reg=(BAR_W // 2, BAR_H // 2), anchors=anchors)
    a.write(out, "bar.anm")
    png.write(os.path.join(out, "bar_divider.png"),
              render(30, 8, svg.rect(2, 2, 26, 4, r=2, **svg.outlined("#c8b07a", 1.5))))


def write_stools(out):
    folder = os.path.join(out, "barstools")
    os.makedirs(folder, exist_ok=True)
    base = palette.Palette(palettes.figure_entries() + [("metal", palette.hex_colour("#8a9aa3"))]
                           + palettes.party_entries("seat"))
    seat_l, seat, _ = style.ramp(style.PARTY["red"])
    body = (svg.rect(17, 20, 6, 26, **svg.outlined("#8a9aa3", 1.5))
            + svg.ellipse(20, 46, 11, 4, **svg.outlined("#8a9aa3", 1.5))
            + svg.ellipse(20, 16, 15, 8, **svg.outlined(seat)) + svg.ellipse(16, 14, 6, 3, fill=seat_l))
    a = anim.Animation("barstool", image="green.png")
    a.frame("stool", palette.quantise(render(40, 52, body), base), reg=(20, 26), anchors={"sit": (0, -30), "flag": (14, -22)})
    a.write(folder, "green.anm")
    for colour in style.CHAIR_ORDER:
        palette.write_riff(os.path.join(folder, colour + ".pal"), palettes.party_variant(base, colour, ["seat"]))


def write_bench(out, name, cushion, w=160):
    body = (svg.rect(4, 34, 8, 16, **svg.outlined(style.shade(WOOD), 1.5))
            + svg.rect(w - 12, 34, 8, 16, **svg.outlined(style.shade(WOOD), 1.5))
            + svg.rect(2, 4, w - 4, 18, r=6, **svg.outlined(WOOD))
            + svg.rect(2, 22, w - 4, 16, r=6, **svg.outlined(cushion))
            + svg.rect(8, 25, w * 0.4, 4, r=2, fill=style.light(cushion)))
    # six guests 20 px apart, a little closer than in line, clear of the ends
    anchors = {"seat%d" % (i + 1): (-w // 2 + 30 + i * ((w - 60) // 5), -14) for i in range(6)}
    a = anim.Animation(name, image=name + ".png")
    a.frame(name, render(w, 54, body), reg=(w // 2, 27), anchors=anchors)
    a.write(out, name + ".anm")


def dirt(seats):
    tw, th = {2: (72, 60), 4: (80, 110), 6: (84, 186)}[seats]
    parts = []
    rows = seats // 2
    for side in (-1, 1):
        for r in range(rows):
            cx = tw / 2 + side * (tw / 2 - 16)
            cy = 14 + (th - 28) * (r + 0.5) / rows
            parts.append(svg.ellipse(cx, cy, 11, 7, **svg.outlined("#fbfbf6", 1.5)))
            parts.append(svg.ellipse(cx - 2, cy, 4, 2, fill="#b9874a"))
    parts += [svg.ellipse(tw / 2 + dx, th / 2 + dy, 1.6, 1.2, fill="#8a5a2b") for dx, dy in ((-6, -4), (3, 5), (8, -2), (-2, 9))]
    return render(tw, th, "".join(parts))


def write_spill(out):
    a = anim.Animation("spill", image="spill.png")
    for i in range(4):
        s = 0.4 + 0.2 * i
        body = (svg.ellipse(24, 14, 20 * s, 10 * s, fill="#9fd8e0", stroke="#5a9aa8", stroke_width=1.5)
                + svg.ellipse(18, 11, 6 * s, 2.5 * s, fill="#ffffff", fill_opacity=0.7))
        a.frame("spill%d" % i, render(48, 28, body), reg=(24, 14))
    a.script("function DoAnim()\n    delay(90)\n    frames({1, 2, 3, 4})\nend\n")
    a.write(out, "spill.anm")


def write_highchair_baby(out):
    base = palette.Palette(palettes.figure_entries() + [
        ("chair", palette.hex_colour("#f6ecd2")), ("skin", palette.hex_colour(style.SKIN[0])),
        ("cheek", palette.hex_colour("#f0a0a0"))] + palettes.party_entries("bib"))
    _, bib, _ = style.ramp(style.PARTY["red"])

    def baby(mood, bob):
        mouth = {"happy": "M16 %d Q20 %d 24 %d" % (21 + bob, 25 + bob, 21 + bob),
                 "sad": "M16 %d Q20 %d 24 %d" % (24 + bob, 20 + bob, 24 + bob)}[mood]
        return (svg.rect(8, 30, 24, 22, r=4, **svg.outlined("#f6ecd2", 1.5))
                + svg.rect(12, 50, 4, 10, **svg.outlined("#f6ecd2", 1.5)) + svg.rect(24, 50, 4, 10, **svg.outlined("#f6ecd2", 1.5))
                + svg.rect(12, 26 + bob, 16, 12, r=5, **svg.outlined(bib, 1.5))
                + svg.ellipse(20, 17 + bob, 10, 10, **svg.outlined(style.SKIN[0], 1.5))
                + svg.ellipse(16, 15 + bob, 1.5, 1.8, fill=svg.OUTLINE) + svg.ellipse(24, 15 + bob, 1.5, 1.8, fill=svg.OUTLINE)
                + svg.path(mouth, fill="none", stroke=svg.OUTLINE, stroke_width=1.5, stroke_linecap="round"))

    a = anim.Animation("highchairbaby", image="highchairbaby.png")
    for name, mood, bob in (("happy1", "happy", 0), ("happy2", "happy", 1), ("sad1", "sad", 0), ("sad2", "sad", 1)):
        a.frame(name, palette.quantise(render(40, 62, baby(mood, bob)), base), reg=(20, 31))
    a.script("function Happy()\n    delay(300)\n    loop(3, {1, 2})\nend\n"
             "function Sad()\n    delay(200)\n    loop(4, {3, 4})\nend\n")
    a.write(out, "highchairbaby.anm")
    for colour in style.PARTY_ORDER:
        palette.write_riff(os.path.join(out, colour + "_highchairbaby.pal"), palettes.party_variant(base, colour, ["bib"]))


def main(out):
    write_bar(out)
    write_stools(out)
    write_bench(out, "bench", "#c8363b")
    write_bench(out, "luxury_bench", "#6a3fb0")
    for seats in (2, 4, 6):
        png.write(os.path.join(out, "dirt%dtop.png" % seats), dirt(seats))
    write_spill(out)
    write_highchair_baby(out)


if __name__ == "__main__":
    main(sys.argv[1])
