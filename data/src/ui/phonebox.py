"""The phone's staff choice on the play screen, in "ui/": phonebox2.png,
phonebox3.png and phonebox4.png, a paper speech bubble for two, three or
four staff buttons (80 x 80 each, drawn by staff_ui.py) in a row, its tail
at the lower right pointing down at the phone (which stands at the floor's
right edge). The caption above the buttons is text the game draws.

Each bubble is a panel of PANEL_H under a caption band, with room for the
shadow and the tail: the picture is (w + 8) x (PANEL_H + TAIL + 10)."""
import os
import sys

from qmcontent import style, svg
from qmcontent.svg import OUTLINE, ellipse, path, rect

BUTTON = 80
GAP = 10
PANEL_H = 128   # caption band 28, the buttons, padding
TAIL = 16       # how far the tail reaches below the panel
TAIL_X = 30     # the tail's tip, from the panel's right edge


def width(buttons):
    return buttons * BUTTON + (buttons + 1) * GAP


def bubble(w, h=PANEL_H, r=18):
    x, y = 2, 2
    tip_x = x + w - TAIL_X
    tail = "M%g %g L%g %g L%g %g Z" % (tip_x - 22, y + h - 2, tip_x, y + h + TAIL, tip_x - 2, y + h - 2)
    out = rect(x + 3, y + 4, w, h, r=r, fill=OUTLINE, opacity=0.28)
    out += path(tail, fill=OUTLINE, opacity=0.28, transform="translate(3 4)")
    # The tail first, so the panel's edge runs over its root.
    out += path(tail, fill=style.PAPER, stroke=OUTLINE, stroke_width=2, stroke_linejoin="round")
    out += rect(x, y, w, h, r=r, fill=style.PAPER, stroke=OUTLINE, stroke_width=2)
    out += path("M%g %g L%g %g L%g %g Z" % (tip_x - 20, y + h - 3, tip_x - 1, y + h + TAIL - 3, tip_x - 3, y + h - 3),
                fill=style.PAPER)
    # The paper's shade along the right and bottom, its highlight inside.
    out += path("M%g %g L%g %g Q%g %g %g %g L%g %g Q%g %g %g %g Z" % (
        x + w - 10, y + 16, x + w - 10, y + h - r, x + w - 10, y + h - 10, x + w - r, y + h - 10,
        x + 16, y + h - 10, x + w - 4, y + h - 3, x + w - 3, y + h - r), fill=style.PAPER_SHADE, opacity=0.8)
    out += rect(x + 6, y + 6, w - 12, h - 12, r=r - 5, fill="none", stroke="#ffffff", stroke_width=1.5, opacity=0.7)
    # A small receiver before the caption, in the accent colour.
    out += receiver(x + 20, y + 16)
    return svg.document(w + 8, h + TAIL + 10, out)


def receiver(cx, cy):
    handset = ("M%g %g Q%g %g %g %g L%g %g Q%g %g %g %g L%g %g Q%g %g %g %g L%g %g Q%g %g %g %g Z" % (
        cx - 9, cy - 3, cx - 10, cy - 8, cx - 5, cy - 8, cx + 5, cy - 8, cx + 10, cy - 8, cx + 9, cy - 3,
        cx + 6, cy - 1, cx + 4, cy - 4, cx + 3, cy - 4, cx - 3, cy - 4, cx - 4, cy - 4, cx - 6, cy - 1))
    body = rect(cx - 7, cy - 1, 14, 9, r=3, fill="#e8743b", stroke=OUTLINE, stroke_width=1.5)
    dial = ellipse(cx, cy + 3.5, 2.5, 2.5, fill=style.PAPER, stroke=OUTLINE, stroke_width=1)
    return body + path(handset, fill="#e8743b", stroke=OUTLINE, stroke_width=1.5, stroke_linejoin="round") + dial


def main(out):
    for buttons in (2, 3, 4):
        with open(os.path.join(out, "phonebox%d.png" % buttons), "wb") as f:
            f.write(svg.render_bytes(bubble(width(buttons))))


if __name__ == "__main__":
    main(sys.argv[1])
