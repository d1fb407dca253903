"""Paper panels at the sizes the upgrade, hiscore and difficulty screens lay
out (pictures are drawn at their own size, never stretched), in the kit's
style: cream paper, the house outline, a soft shadow to the lower right, an
inner highlight; a "ruled" panel also carries faint lines for a score table.

    upgrade_descrip 330x150, upgrade_bought 200x270,
    hiscore_table 500x440 (ruled), hiscore_side 230x440, hiscore_side_small 230x200,
    row_highlight 480x30 (the band behind a table row),
    title_band 520x58 (a screen's heading, the kit dialog's accent band on its own),
    trophy 200x230 (the hiscore screen's cup),
    checkbox_{off,on,off_hover,on_hover} 28x28 (a toggle's four looks, in the button's layer order)"""
import os
import sys

from qmcontent import style, svg
from qmcontent.svg import OUTLINE, ellipse, path, rect

PANELS = {
    "upgrade_descrip": (330, 150, False),
    "upgrade_bought": (200, 270, False),
    "hiscore_table": (500, 440, True),
    "hiscore_side": (230, 440, False),
    "hiscore_side_small": (230, 200, False),
}


def paper(w, h, ruled, r=18):
    # The picture is the panel plus room for its shadow: w x h in a (w + 8) x (h + 10) image.
    x, y = 2, 2
    out = rect(x + 3, y + 4, w, h, r=r, fill=OUTLINE, opacity=0.28)
    out += rect(x, y, w, h, r=r, fill=style.PAPER, stroke=OUTLINE, stroke_width=2)
    out += path("M%g %g L%g %g Q%g %g %g %g L%g %g Q%g %g %g %g Z" % (
        x + w - 10, y + 16, x + w - 10, y + h - r, x + w - 10, y + h - 10, x + w - r, y + h - 10,
        x + 16, y + h - 10, x + w - 4, y + h - 3, x + w - 3, y + h - r), fill=style.PAPER_SHADE, opacity=0.8)
    out += rect(x + 6, y + 6, w - 12, h - 12, r=r - 5, fill="none", stroke="#ffffff", stroke_width=1.5, opacity=0.7)
    if ruled:
        # Ten rows of 34 px under a 70 px head, as the hiscore script places them.
        for row in range(11):
            ry = y + 70 + 34 * row
            out += path("M%g %g L%g %g" % (x + 18, ry, x + w - 18, ry), stroke=style.PAPER_SHADE, stroke_width=1.5)
    return svg.document(w + 8, h + 10, out)


def highlight(w=480, h=30):
    return svg.document(w, h, rect(1, 1, w - 2, h - 2, r=10, fill="#ffd27a", opacity=0.55))


def title_band(w=512, h=48):
    accent = "#e8743b"
    out = rect(5, 6, w, h, r=20, fill=OUTLINE, opacity=0.28)
    out += rect(2, 2, w, h, r=20, fill=accent, stroke=OUTLINE, stroke_width=2)
    out += rect(16, 6, w - 28, 6, r=3, fill="#ffffff", opacity=0.3)  # above the heading's letters
    out += path("M10 %g Q%g %g %g %g" % (h - 4, w / 2, h + 1, w - 6, h - 4), fill="none", stroke=style.shade(accent),
                stroke_width=3, opacity=0.6)
    return svg.document(w + 8, h + 10, out)


def trophy():
    gold, deep = "#f2c14e", "#c79a3a"
    line = {"stroke": OUTLINE, "stroke_width": 2.5, "stroke_linejoin": "round"}
    out = ellipse(100, 214, 70, 10, fill=OUTLINE, opacity=0.3)
    out += path("M46 40 Q14 40 18 74 Q22 104 62 112", fill="none", stroke=OUTLINE, stroke_width=12)
    out += path("M46 40 Q14 40 18 74 Q22 104 62 112", fill="none", stroke=gold, stroke_width=7)
    out += path("M154 40 Q186 40 182 74 Q178 104 138 112", fill="none", stroke=OUTLINE, stroke_width=12)
    out += path("M154 40 Q186 40 182 74 Q178 104 138 112", fill="none", stroke=gold, stroke_width=7)
    out += path("M40 24 L160 24 Q160 120 100 138 Q40 120 40 24 Z", fill=gold, **line)
    out += path("M128 32 Q130 100 100 126 Q140 108 148 32 Z", fill=deep, opacity=0.7)
    out += rect(58, 32, 12, 70, r=6, fill="#ffffff", opacity=0.45)
    out += rect(88, 136, 24, 34, fill=deep, **line)
    out += rect(60, 168, 80, 16, r=4, fill=gold, **line)
    out += rect(48, 184, 104, 24, r=5, fill="#8a5a3a", **line)
    out += path("M100 44 L109 66 L132 67 L114 81 L121 104 L100 90 L79 104 L86 81 L68 67 L91 66 Z",
                fill="#fff3c4", **line)
    return svg.document(200, 230, out)


def checkbox(on, hover):
    out = rect(3, 4, 22, 22, r=5, fill=OUTLINE, opacity=0.28)
    out += rect(1, 1, 22, 22, r=5, fill="#fff3c4" if hover else style.PAPER, stroke=OUTLINE, stroke_width=2)
    if on:
        out += path("M5 12 L10 18 L21 4", fill="none", stroke=OUTLINE, stroke_width=5, stroke_linecap="round",
                    stroke_linejoin="round")
        out += path("M5 12 L10 18 L21 4", fill="none", stroke="#5aa469", stroke_width=2.5, stroke_linecap="round",
                    stroke_linejoin="round")
    return svg.document(28, 28, out)


def main(out):
    pictures = {name: paper(w, h, ruled) for name, (w, h, ruled) in PANELS.items()}
    pictures["row_highlight"] = highlight()
    pictures["title_band"] = title_band()
    pictures["trophy"] = trophy()
    for on in (False, True):
        for hover in (False, True):
            pictures["checkbox_%s%s" % ("on" if on else "off", "_hover" if hover else "")] = checkbox(on, hover)
    for name, drawing in pictures.items():
        with open(os.path.join(out, name + ".png"), "wb") as f:
            f.write(svg.render_bytes(drawing))


if __name__ == "__main__":
    main(sys.argv[1])
