"""The game screen's own pictures: the "closed" sign that slides in at
closing time, the level clock ("ui_globe.anm": a kitchen timer whose wedge
is the time left, one frame per step from full to empty), the ribbon behind
the floor's big words ("bannerribbon"), the glow behind the upgrade button,
the heart of an endless life, the level-over board, its expert badge (the
map's crown, map/_crown.py) and figures, and
the flashlight of dark levels (the light around the pointer and the dark
fill around it)."""
# reads: ../map
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "map"))

from _crown import COIN_RADIUS, crown  # noqa: E402
from qmcontent import anim, png, style, svg  # noqa: E402

INK = "#3b2a33"
PAPER = "#fbf0dc"
ACCENT = "#e8743b"
BRASS = "#c79a3a"
SEA = "#3f9bc4"
RED = "#c8283b"
GREEN = "#4fbf68"


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


CLOSED_SIZE = (130, 78)
CLOSED_PAPER = (12, 28, 106, 42)  # where the game writes the word: x, y, w, h


def closed_sign():
    # A hanging board: two cords from a brass hook to a red board with a
    # paper panel; the game writes "Closed" on the panel, large.
    w, h = CLOSED_SIZE
    px, py, pw, ph = CLOSED_PAPER
    body = svg.path("M%d 3 L16 %d M%d 3 L%d %d" % (w // 2, py - 6, w // 2, w - 16, py - 6), stroke=INK,
                    stroke_width=2, fill="none")
    body += svg.ellipse(w // 2, 4, 3.5, 3.5, **svg.outlined(BRASS, 1.5))
    body += svg.rect(7, py - 9, w - 10, ph + 18, r=6, fill=INK, fill_opacity=0.28)
    body += svg.rect(4, py - 12, w - 10, ph + 18, r=10, **svg.outlined(RED))
    body += svg.rect(8, py - 9, w - 18, 4, r=2, fill=style.light(RED))
    body += svg.rect(px - 3, py - 3, pw, ph, r=6, fill=PAPER, stroke="#ead4b0", stroke_width=1.5)
    return render(w, h, body)


def timer(step, steps):
    # The shift's clock: a kitchen timer whose coloured wedge is the time
    # left, green while there is plenty, then yellow, red at the end; the
    # hand stands at the wedge's edge and sweeps towards twelve.
    left = 1 - step / (steps - 1)
    cx, cy, r = 30, 32, 24
    colour = GREEN if left > 0.5 else ("#f4c430" if left > 0.2 else RED)
    body = svg.rect(25, 2, 10, 7, r=2, **svg.outlined(BRASS, 1.5))
    body += svg.ellipse(cx, cy, r + 3, r + 3, **svg.outlined("#fbf0dc"))
    end = -math.pi / 2 + left * 2 * math.pi
    ex, ey = cx + math.cos(end) * r, cy + math.sin(end) * r
    if left >= 0.999:
        body += svg.ellipse(cx, cy, r, r, fill=colour)
    elif left > 0.001:
        large = 1 if left > 0.5 else 0
        body += svg.path("M%d %d L%d %d A%d %d 0 %d 1 %.2f %.2f Z" % (cx, cy, cx, cy - r, r, r, large, ex, ey),
                         fill=colour)
    for k in range(12):  # the hour ticks
        a = k * math.pi / 6
        body += svg.path("M%.1f %.1f L%.1f %.1f" % (cx + math.sin(a) * (r - 2), cy - math.cos(a) * (r - 2),
                                                    cx + math.sin(a) * (r + 1), cy - math.cos(a) * (r + 1)),
                         stroke=INK, stroke_width=1.5 if k % 3 else 2.5)
    body += svg.path("M%d %d L%.2f %.2f" % (cx, cy, cx + math.cos(end) * (r - 4), cy + math.sin(end) * (r - 4)),
                     stroke=INK, stroke_width=3, stroke_linecap="round")
    body += svg.ellipse(cx, cy, 3.5, 3.5, fill=INK)
    return render(60, 60, body)


BANNER_SIZE = (620, 120)


def banner_ribbon():
    # The ribbon behind the floor's big words ("Expert score!", "Closing
    # time!"): the warm accent with folded ends, the light words on it.
    w, h = BANNER_SIZE
    dark = style.shade(ACCENT)
    body = svg.polygon([(0, 34), (60, 34), (60, 104), (0, 104), (22, 69)], **svg.outlined(dark, 3))
    body += svg.polygon([(w, 34), (w - 60, 34), (w - 60, 104), (w, 104), (w - 22, 69)], **svg.outlined(dark, 3))
    body += svg.rect(40, 20, w - 80, 74, r=12, fill=INK, fill_opacity=0.3)
    body += svg.rect(36, 14, w - 80, 74, r=12, **svg.outlined(ACCENT, 3))
    body += svg.rect(48, 20, w - 104, 10, r=5, fill="#ffffff", fill_opacity=0.3)
    return render(w, h, body)


def upgrade_glow():
    body = ""
    for r, a in ((38, 0.18), (30, 0.3), (22, 0.45)):
        body += svg.ellipse(40, 30, r, r * 0.7, fill="#ffd27a", fill_opacity=a)
    return render(80, 60, body)


def heart():
    d = "M12 20 C4 14 1 9 4 5 C7 1 11 3 12 6 C13 3 17 1 20 5 C23 9 20 14 12 20 Z"
    return render(24, 22, svg.path(d, **svg.outlined(RED, 1.5)))


def expert_badge():
    # The game's expert mark (map/_crown.py), as the map's markers show it.
    return render(64, 64, crown(30, 30, 26 / COIN_RADIUS))


def face(happy):
    body = svg.ellipse(40, 40, 34, 34, **svg.outlined("#f6d2b4"))
    body += svg.ellipse(28, 34, 4, 5, fill=INK) + svg.ellipse(52, 34, 4, 5, fill=INK)
    if happy:
        body += svg.path("M24 48 Q40 64 56 48", stroke=INK, stroke_width=3, fill="none", stroke_linecap="round")
    else:
        body += svg.path("M26 58 Q40 46 54 58", stroke=INK, stroke_width=3, fill="none", stroke_linecap="round")
    return render(80, 80, body)


def flashlight(size, warm):
    # Light in the middle fading to the dark of the fill at the edge.
    c = size / 2
    colour = "#000000"
    body = ("<defs><radialGradient id='g'><stop offset='0' stop-color='%s' stop-opacity='0'/>"
            "<stop offset='0.55' stop-color='%s' stop-opacity='0.1'/>"
            "<stop offset='1' stop-color='%s' stop-opacity='0.82'/></radialGradient></defs>" % (colour, colour, colour))
    body += svg.rect(0, 0, size, size, fill="url(#g)")
    if warm:
        body += svg.ellipse(c, c, c * 0.5, c * 0.5, fill="#ffd27a", fill_opacity=0.08)
    return render(size, size, body)


def fill():
    return render(8, 8, svg.rect(0, 0, 8, 8, fill="#000000", fill_opacity=0.82))


def board(w, h):
    # The level-over board: the kit's paper with its accent title band.
    body = svg.rect(5, 6, w - 8, h - 8, r=18, fill=INK, fill_opacity=0.28)
    body += svg.rect(2, 2, w - 8, h - 8, r=18, **svg.outlined(PAPER))
    body += svg.path("M2 52 L2 20 Q2 2 20 2 L%d 2 Q%d 2 %d 20 L%d 52 Z" % (w - 24, w - 6, w - 6, w - 6),
                     **svg.outlined(ACCENT))
    body += svg.rect(16, 6, w - 38, 6, r=3, fill="#ffffff", fill_opacity=0.3)  # above the title's letters
    return render(w, h, body)


def main(out):
    png.write(os.path.join(out, "overboard.png"), board(520, 480))
    png.write(os.path.join(out, "closed.png"), closed_sign())
    png.write(os.path.join(out, "upgrade_glow.png"), upgrade_glow())
    png.write(os.path.join(out, "heart_life.png"), heart())
    png.write(os.path.join(out, "expert_badge.png"), expert_badge())
    png.write(os.path.join(out, "over_win.png"), face(True))
    png.write(os.path.join(out, "over_lose.png"), face(False))
    png.write(os.path.join(out, "bannerribbon.png"), banner_ribbon())
    steps = 48
    a = anim.Animation("ui_globe", image="ui_globe.png", reg=(30, 30))
    for step in range(steps):
        a.frame("time%02d" % step, timer(step, steps), reg=(30, 30))
    a.write(out, "ui_globe.anm")
    dark = os.path.join(out, "levelspecific")
    os.makedirs(dark, exist_ok=True)
    png.write(os.path.join(dark, "flashlight.png"), flashlight(256, False))
    png.write(os.path.join(dark, "flashlight-cruise.png"), flashlight(256, True))
    png.write(os.path.join(dark, "flashlight_fill.png"), fill())


if __name__ == "__main__":
    main(sys.argv[1])
