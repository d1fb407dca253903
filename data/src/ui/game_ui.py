"""The game screen's own pictures: the "closed" sign that slides in at
closing time, the level clock ("ui_globe.anm", one turn over the level), the
glow behind the upgrade button, the heart of an endless life, the level-over
board, badges and figures, and the flashlight of dark levels (the light around the
pointer and the dark fill around it)."""
import math
import os
import sys

from qmcontent import anim, png, style, svg

INK = "#3b2a33"
PAPER = "#fbf0dc"
ACCENT = "#e8743b"
BRASS = "#c79a3a"
SEA = "#3f9bc4"
RED = "#c8283b"
GREEN = "#4fbf68"


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def closed_sign():
    # A hanging board: two cords from a brass hook, the word is drawn by the game.
    body = svg.path("M40 2 L14 18 M40 2 L66 18", stroke=INK, stroke_width=2, fill="none")
    body += svg.ellipse(40, 3, 3, 3, **svg.outlined(BRASS, 1.5))
    body += svg.rect(3, 16, 74, 34, r=8, **svg.outlined(RED))
    body += svg.rect(8, 21, 64, 24, r=5, fill=PAPER, stroke="#ead4b0", stroke_width=1.5)
    return render(80, 54, body)


def globe(step, steps):
    # The globe turns: meridians slide across; a brass ring holds it.
    body = svg.ellipse(30, 30, 26, 26, **svg.outlined(SEA))
    phase = step / steps
    for k in range(4):
        x = ((k / 4 + phase) % 1.0) * 2 - 1  # -1..1 across the face
        rx = max(0.8, 24 * math.sqrt(max(0.0, 1 - x * x)) * 0.35)
        body += svg.ellipse(30 + x * 20, 30, rx, 24, fill="none", stroke="#2f7fa6", stroke_width=1.5)
    land = ((0.2 + phase) % 1.0) * 2 - 1
    if abs(land) < 0.85:
        body += svg.ellipse(30 + land * 18, 24, 7 * (1 - abs(land) * 0.5), 6, fill=GREEN, stroke=INK,
                            stroke_width=1.5)
    body += svg.path("M6 30 L54 30", stroke="#2f7fa6", stroke_width=1.5, fill="none")
    body += svg.ellipse(30, 30, 28, 28, fill="none", stroke=BRASS, stroke_width=3)
    return render(60, 60, body)


def upgrade_glow():
    body = ""
    for r, a in ((38, 0.18), (30, 0.3), (22, 0.45)):
        body += svg.ellipse(40, 30, r, r * 0.7, fill="#ffd27a", fill_opacity=a)
    return render(80, 60, body)


def heart():
    d = "M12 20 C4 14 1 9 4 5 C7 1 11 3 12 6 C13 3 17 1 20 5 C23 9 20 14 12 20 Z"
    return render(24, 22, svg.path(d, **svg.outlined(RED, 1.5)))


def expert_badge():
    points = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        r = 29 if i % 2 == 0 else 13
        points.append("%.1f %.1f" % (32 + math.cos(a) * r, 33 + math.sin(a) * r))
    return render(64, 64, svg.path("M" + " L".join(points) + " Z", **svg.outlined("#f4c430")))


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
    steps = 24
    a = anim.Animation("ui_globe", image="ui_globe.png", reg=(30, 30))
    for step in range(steps):
        a.frame("globe%02d" % step, globe(step, steps), reg=(30, 30))
    a.write(out, "ui_globe.anm")
    dark = os.path.join(out, "levelspecific")
    os.makedirs(dark, exist_ok=True)
    png.write(os.path.join(dark, "flashlight.png"), flashlight(256, False))
    png.write(os.path.join(dark, "flashlight-cruise.png"), flashlight(256, True))
    png.write(os.path.join(dark, "flashlight_fill.png"), fill())


if __name__ == "__main__":
    main(sys.argv[1])
