"""The endless upgrades' offer cards for the upgrade screen, 132x150 each, in
three looks: _a normal, _b pointed at (lifted, warm glow), _c chosen (accent
frame and a check mark). Each card shows the upgrade on cream paper in the
house outline. Each level has its own picture, better than the last (the
running shoe gains stripes, the roller skate wheels; the radio grows into a
stereo, the bench gets cushions ...), and levels after the first also carry
a numbered badge.

    icon_table_{a,b,c}.png
    icon_ID_LEVEL_{a,b,c}.png for the catalogue's upgrades and levels"""
import math
import os
import sys

from qmcontent import style, svg
from qmcontent.svg import OUTLINE, ellipse, group, path, rect, text

W, H = 132, 150
ACCENT = "#e8743b"
GLOW = "#ffd27a"
WOOD = "#b7773d"
METAL = "#8a9aa3"
CLOTH = "#d8454f"
LIGHT = "#fff8ec"

# The catalogue's upgrades and how many levels each has (assets/config/endlessupgrades.xml).
LEVELS = {"shoes": 3, "stereo": 2, "maitred": 2, "bench": 2, "oven": 2, "drinks": 2, "podium": 2}


def line(**kw):
    out = {"stroke": OUTLINE, "stroke_width": 2.2, "stroke_linejoin": "round", "stroke_linecap": "round"}
    out.update(kw)
    return out


def table(level=1):
    return (ellipse(66, 96, 40, 10, fill=OUTLINE, opacity=0.25)
            + rect(20, 68, 20, 30, r=5, **line(fill=WOOD)) + rect(92, 68, 20, 30, r=5, **line(fill=WOOD))
            + ellipse(66, 70, 34, 12, **line(fill=LIGHT))
            + path("M34 70 Q66 90 98 70 L98 76 Q66 96 34 76 Z", **line(fill=CLOTH))
            + rect(61, 80, 10, 20, **line(fill=WOOD))
            + ellipse(58, 66, 7, 3, fill="#ffffff", opacity=0.8))


def shoes(level=1):
    """Comfy shoe; running shoe (blue, white stripes, more speed); roller skate (on wheels)."""
    colour = {1: ACCENT, 2: "#3a7de0", 3: CLOTH}[level]
    lift = -8 if level == 3 else 0
    out = group(path("M22 92 L22 70 Q24 60 36 60 L52 60 Q56 74 72 76 L100 80 Q112 84 110 94 L22 94 Z",
                     **line(fill=colour))
                + path("M22 94 L110 94 L110 100 L22 100 Z", **line(fill=LIGHT))
                + path("M44 64 L56 72 M40 68 L52 76", fill="none", **line())
                + (path("M62 86 Q80 78 104 88", fill="none", stroke=LIGHT, stroke_width=4, stroke_linecap="round")
                   if level >= 2 else ""), transform="translate(0 %d)" % lift)
    if level == 3:
        out += rect(26, 92, 80, 5, r=2, **line(fill=METAL))
        for x in (34, 56, 78, 98):
            out += ellipse(x, 102, 7, 7, **line(fill="#f4d03f")) + ellipse(x, 102, 2, 2, fill=OUTLINE)
    for k in range(level + 1):
        y = 62 + k * 10 - (4 if level == 3 else 0)
        out += path("M%d %d L18 %d" % (10 - 3 * level, y, y), fill="none", **line(stroke=METAL, stroke_width=3))
    return out


def stereo(level=1):
    """A small radio with its aerial; then the stereo with two speakers and music."""
    if level == 1:
        return (rect(34, 62, 64, 40, r=8, **line(fill=ACCENT))
                + path("M86 62 L100 34", fill="none", **line(stroke_width=3)) + ellipse(100, 33, 3, 3, fill=OUTLINE)
                + ellipse(52, 82, 11, 11, **line(fill="#2f3640")) + ellipse(52, 82, 4, 4, fill=METAL)
                + rect(70, 72, 20, 8, r=2, fill=GLOW, stroke=OUTLINE)
                + ellipse(80, 92, 4, 4, **line(fill=LIGHT)))
    return (rect(24, 58, 84, 44, r=8, **line(fill="#5b6770"))
            + path("M40 58 Q66 36 92 58", fill="none", **line(stroke_width=4))
            + ellipse(44, 82, 12, 12, **line(fill="#2f3640")) + ellipse(88, 82, 12, 12, **line(fill="#2f3640"))
            + ellipse(44, 82, 4, 4, fill=METAL) + ellipse(88, 82, 4, 4, fill=METAL)
            + rect(58, 66, 16, 8, r=2, fill=GLOW, stroke=OUTLINE)
            # the music note between the check mark and the level badge
            + path("M62 36 L62 22 L74 19 L74 32", fill="none", **line(stroke_width=2.6))
            + ellipse(59, 37, 4, 3, **line(fill=LIGHT)) + ellipse(71, 33, 4, 3, **line(fill=LIGHT)))


def maitred(level=1):
    """The maître d's bow tie; the head maître d' wears a gold star too."""
    star = ""
    if level >= 2:
        points = []
        for i in range(10):
            a = -1.5708 + i * 0.6283
            r = 14 if i % 2 == 0 else 6
            points.append("%.1f %.1f" % (66 + r * math.cos(a), 40 + r * math.sin(a)))
        star = path("M" + " L".join(points) + " Z", **line(fill="#f4c430"))
    return star + (path("M30 60 L62 76 L30 92 Z", **line(fill="#2f3640"))
            + path("M102 60 L70 76 L102 92 Z", **line(fill="#2f3640"))
            + rect(58, 70, 16, 13, r=4, **line(fill="#2f3640"))
            + path("M36 66 L52 74", fill="none", stroke="#ffffff", stroke_width=2, opacity=0.5)
            + rect(44, 100, 44, 8, r=3, **line(fill=CLOTH)))


def bench(level=1):
    """A plain wooden bench; then with red button-tufted cushions."""
    out = (rect(18, 58, 96, 18, r=5, **line(fill=WOOD))
           + rect(14, 78, 104, 12, r=4, **line(fill=style.light(WOOD)))
           + rect(22, 90, 8, 14, **line(fill=WOOD)) + rect(102, 90, 8, 14, **line(fill=WOOD))
           + path("M28 66 L104 66", fill="none", **line(stroke=style.shade(WOOD))))
    if level >= 2:
        out += rect(22, 54, 88, 18, r=8, **line(fill=CLOTH)) + rect(18, 72, 96, 12, r=6, **line(fill=CLOTH))
        for x in (40, 66, 92):
            out += ellipse(x, 63, 2.2, 2.2, fill=style.shade(CLOTH))
        out += path("M30 58 L100 58", fill="none", stroke="#ffffff", stroke_width=2, opacity=0.4)
    return out


def oven(level=1):
    """A fast oven; the turbo oven has a red racing stripe, a fan and speed lines."""
    turbo = ""
    if level >= 2:
        turbo = (path("M8 64 L20 64 M4 76 L18 76 M8 88 L20 88", fill="none", **line(stroke=METAL, stroke_width=3))
                 + rect(26, 44, 80, 8, r=3, **line(fill=CLOTH))
                 + ellipse(66, 34, 10, 10, **line(fill=METAL))
                 + path("M66 26 L66 42 M58 34 L74 34", fill="none", **line(stroke_width=2.4)))
    return (rect(26, 50, 80, 58, r=6, **line(fill="#c3c8d4"))
            + rect(36, 68, 60, 32, r=4, **line(fill="#2f3640"))
            + path("M56 96 Q50 86 58 78 Q58 86 64 84 Q62 76 70 72 Q78 84 72 96 Z", **line(fill=ACCENT, stroke_width=1.6))
            + path("M62 96 Q60 90 64 86 Q68 92 66 96 Z", fill=GLOW)
            + ellipse(40, 58, 4, 4, **line(fill=CLOTH)) + ellipse(54, 58, 4, 4, **line(fill=CLOTH))
            + rect(70, 55, 28, 6, r=2, **line(fill=LIGHT))) + turbo


def drinks(level=1):
    """A glass of juice; then a fountain: the big dispenser pouring into it."""
    if level >= 2:
        return (rect(18, 30, 40, 62, r=8, **line(fill="#cfeaf2"))
                + rect(22, 50, 32, 38, r=5, fill="#f08a4b")
                + rect(26, 92, 24, 14, r=3, **line(fill=METAL))
                + path("M58 72 L70 72 L70 80", fill="none", **line(stroke_width=4))
                + path("M70 82 L70 90", fill="none", stroke="#f08a4b", stroke_width=3)
                + group(drinks(1), transform="translate(44 30) scale(0.7)"))
    return (path("M44 50 L88 50 L82 106 L50 106 Z", **line(fill="#cfeaf2"))
            + path("M47 68 L85 68 L82 106 L50 106 Z", **line(fill="#f08a4b"))
            + rect(54, 74, 10, 8, r=2, fill="#ffffff", opacity=0.7) + rect(68, 84, 9, 8, r=2, fill="#ffffff", opacity=0.7)
            + path("M74 44 L80 30 L92 28", fill="none", **line(stroke=CLOTH, stroke_width=4))
            + ellipse(88, 52, 8, 8, **line(fill="#f4d03f")))


def podium(level=1):
    """The host podium; the grand podium stands on a red carpet with gold trim."""
    if level >= 2:
        return (path("M14 104 L118 104 L110 114 L22 114 Z", **line(fill=CLOTH))
                + podium(1)
                + path("M42 62 L90 62", fill="none", stroke="#f4c430", stroke_width=4)
                + path("M46 100 L86 100", fill="none", stroke="#f4c430", stroke_width=4)
                + ellipse(66, 81, 9, 9, **line(fill="#f4c430")))
    return (path("M40 58 L92 58 L86 108 L46 108 Z", **line(fill=WOOD))
            + path("M34 48 L98 48 L92 60 L40 60 Z", **line(fill=style.light(WOOD)))
            + rect(56, 74, 20, 14, r=3, **line(fill=LIGHT))
            + path("M88 46 L96 26", fill="none", **line(stroke_width=3)) + ellipse(97, 24, 5, 5, **line(fill=METAL)))


PICTURES = {"table": table, "shoes": shoes, "stereo": stereo, "maitred": maitred, "bench": bench, "oven": oven,
            "drinks": drinks, "podium": podium}


def card(picture, look, level):
    lift = -3 if look in ("b", "c") else 0
    out = ""
    if look == "b":
        out += rect(2, 2, W - 4, H - 4, r=20, fill=GLOW, opacity=0.6)
    out += rect(9, 10 - lift, W - 14, H - 14, r=16, fill=OUTLINE, opacity=0.28)
    frame = ACCENT if look == "c" else OUTLINE
    out += rect(6, 6 + lift, W - 14, H - 14, r=16, fill=style.PAPER, stroke=frame, stroke_width=4 if look == "c" else 2)
    out += rect(12, 12 + lift, W - 26, H - 26, r=12, fill="none", stroke="#ffffff", stroke_width=1.5, opacity=0.7)
    out += group(picture(level), transform="translate(0 %d)" % (lift + 4))
    if level > 1:
        out += ellipse(106, 30 + lift, 14, 14, fill=ACCENT, stroke=OUTLINE, stroke_width=2)
        out += text(106, 36 + lift, str(level), 17, LIGHT)
    if look == "c":
        out += ellipse(28, 30 + lift, 14, 14, fill="#5aa469", stroke=OUTLINE, stroke_width=2)
        out += path("M21 30 L27 36 L36 24", fill="none", stroke=LIGHT, stroke_width=4, stroke_linecap="round",
                    stroke_linejoin="round", transform="translate(0 %d)" % lift)
    return svg.document(W, H, out)


def main(out):
    cards = {"icon_table": (table, 1)}
    for name, count in LEVELS.items():
        for level in range(1, count + 1):
            cards["icon_%s_%d" % (name, level)] = (PICTURES[name], level)
    for name, (picture, level) in cards.items():
        for look in "abc":
            with open(os.path.join(out, "%s_%s.png" % (name, look)), "wb") as f:
                f.write(svg.render_bytes(card(picture, look, level)))


if __name__ == "__main__":
    main(sys.argv[1])
