"""Paper panels at the sizes the upgrade, hiscore and difficulty screens lay
out (pictures are drawn at their own size, never stretched), in the kit's
style: cream paper, the house outline, a soft shadow to the lower right, an
inner highlight; a "ruled" panel also carries faint lines for a score table.

    upgrade_descrip 330x150, upgrade_bought 200x270,
    hiscore_table 500x440 (ruled), hiscore_side 230x440, hiscore_side_small 230x200,
    row_highlight 480x30 (the band behind a table row)"""
import os
import sys

from qmcontent import style, svg
from qmcontent.svg import OUTLINE, path, rect

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


def main(out):
    pictures = {name: paper(w, h, ruled) for name, (w, h, ruled) in PANELS.items()}
    pictures["row_highlight"] = highlight()
    for name, drawing in pictures.items():
        with open(os.path.join(out, name + ".png"), "wb") as f:
            f.write(svg.render_bytes(drawing))


if __name__ == "__main__":
    main(sys.argv[1])
