"""The play screen's score pictures: the coin jar's ten fill stages
(ui_jar.anm), the tip coin that flips up from a paying table
(coinflip.anm), the dollar sign that blinks over the jar (dollar.png), and
the tutorial's text box and pointing arrow (tutorialbox.png,
tutorialarrow.png; the arrow points down, the game turns it)."""
import math
import os
import sys

from qmcontent import anim, png, style, svg

GOLD = "#f4c430"
GOLD_SHADE = style.shade(GOLD)
GOLD_LIGHT = style.light(GOLD)
GLASS = "#cfe8f2"
MONEY_GREEN = "#4fbf68"

JAR_W, JAR_H = 84, 104
JAR_STAGES = 10  # 0 empty, 1-4 toward the goal, 5-9 toward expert


def render(width, height, body):
    return svg.render(svg.document(width, height, body))


def coin(cx, cy, r, squeeze=1.0):
    """A gold coin seen face on (squeeze 1) or turned (squeeze toward 0)."""
    rx = max(r * squeeze, 1.2)
    parts = [svg.ellipse(cx, cy, rx, r, **svg.outlined(GOLD, 1.5))]
    if squeeze > 0.45:
        parts.append(svg.ellipse(cx, cy, rx * 0.62, r * 0.62, fill="none", stroke=GOLD_SHADE, stroke_width=1.5))
        parts.append(svg.ellipse(cx - rx * 0.3, cy - r * 0.35, rx * 0.22, r * 0.16, fill=GOLD_LIGHT))
    return "".join(parts)


def jar(stage):
    """The glass jar with coins up to the stage's level; the last stages heap over the rim."""
    body = "M14 22 Q10 26 10 34 L10 88 Q10 100 22 100 L62 100 Q74 100 74 88 L74 34 Q74 26 70 22 Z"
    parts = [svg.path(body, fill=GLASS, fill_opacity=0.55)]
    inner_top, inner_bottom = 30, 96
    level = inner_bottom - (inner_bottom - inner_top) * min(stage, 8) / 8.0
    coins = []
    rows = int((inner_bottom - level) // 7)
    for row in range(rows):
        y = inner_bottom - 4 - row * 7
        offset = 4 if row % 2 else 0
        for i in range(5):
            coins.append(coin(19 + offset + i * 11.5, y, 6, 0.9 if (row + i) % 3 else 1.0))
    parts.append(svg.group("".join(coins), clip_path="url(#inside)"))
    if stage >= 9:  # heaped over the rim
        parts.append("".join(coin(x, y, 6) for x, y in ((30, 20), (42, 16), (54, 20), (36, 12), (48, 10))))
    parts.append(svg.path("M18 36 L18 86", stroke="#ffffff", stroke_width=4, stroke_linecap="round",
                          stroke_opacity=0.6, fill="none"))
    parts.append(svg.path(body, fill="none", stroke=svg.OUTLINE, stroke_width=svg.LINE, stroke_linejoin="round"))
    parts.append(svg.rect(12, 16, 60, 9, r=4, **svg.outlined(style.PAPER_SHADE)))
    clip = '<defs><clipPath id="inside"><path d="%s"/></clipPath></defs>' % body
    return render(JAR_W, JAR_H, clip + "".join(parts))


def coin_frames():
    """A flip: the coin turns edge on and back, showing its face twice a turn."""
    size = 24
    return [render(size, size, coin(12, 12, 10, abs(math.cos(i * math.pi / 6)))) for i in range(6)]


def dollar():
    body = (svg.ellipse(22, 24, 19, 19, **svg.outlined(MONEY_GREEN, svg.LINE))
            + svg.ellipse(22, 24, 14, 14, fill="none", stroke=style.shade(MONEY_GREEN), stroke_width=1.5)
            + svg.text(22, 33, "$", 26, "#ffffff"))
    return render(44, 48, body)


def tutorial_box():
    w, h = 400, 140
    body = (svg.rect(6, 8, w - 10, h - 12, r=18, fill=svg.OUTLINE, fill_opacity=0.25)
            + svg.rect(3, 3, w - 10, h - 12, r=18, **svg.outlined(style.PAPER, 3))
            + svg.rect(12, h - 26, w - 28, 8, r=4, fill=style.PAPER_SHADE))
    return render(w, h, body)


def tutorial_arrow():
    w, h = 48, 64
    shape = "M16 3 L32 3 L32 32 L44 32 L24 60 L4 32 L16 32 Z"
    body = svg.path(shape, **svg.outlined("#e8563c", 2.5)) + svg.path("M20 8 L20 34", stroke=style.light("#e8563c"),
                                                                     stroke_width=4, stroke_linecap="round")
    return render(w, h, body)


def main(out):
    png.write(os.path.join(out, "dollar.png"), dollar())
    png.write(os.path.join(out, "tutorialbox.png"), tutorial_box())
    png.write(os.path.join(out, "tutorialarrow.png"), tutorial_arrow())

    flip = anim.Animation("coinflip", image="coinflip.png", reg=(12, 12))
    for i, picture in enumerate(coin_frames()):
        flip.frame("turn%d" % i, picture, reg=(12, 12))
    flip.script("function DoAnim()\n    delay(60)\n    loop(5, {1, 2, 3, 4, 5, 6})\nend\n")
    flip.write(out, "coinflip.anm")

    # The registration point is the jar's middle, where the dollar sign blinks.
    jar_anim = anim.Animation("ui_jar", image="ui_jar.png", reg=(JAR_W // 2, JAR_H // 2))
    for stage in range(JAR_STAGES):
        jar_anim.frame("fill%d" % stage, jar(stage), reg=(JAR_W // 2, JAR_H // 2))
    jar_anim.write(out, "ui_jar.anm")


if __name__ == "__main__":
    main(sys.argv[1])
