"""The floor's signs and effects (folder "ui/"): the check, the table number
badges ("tablenumber_a" plain, "tablenumber_b" food on its way), the chair
chain flags per party colour, the noise ring's arc ("noisering", turned and
scaled by the game), the smooch heart ("smooch.anm"), anger smoke
("angersmoke.anm": "DoAnim" once, "LoopAnim" on), the heart growing out of a
happy customer ("heartgrow.anm"), the teleport sparkle ("teleport") and
the thought bubble with its requests ("bubbles/request_bubble",
"bubbles/request_mop", "bubbles/request_camera")."""
import os
import sys

from qmcontent import anim, png, style, svg

OUT = svg.OUTLINE


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def badge(fill):
    return render(36, 36, svg.ellipse(18, 18, 15, 15, **svg.outlined(fill)) + svg.ellipse(13, 12, 5, 3, fill="#ffffff", fill_opacity=0.5))


def flag(colour):
    base = style.PARTY[colour]
    return render(24, 30, svg.rect(3, 2, 2.5, 26, fill=OUT) + svg.path("M5 3 L22 7 L5 14 Z", **svg.outlined(base, 1.5)))


def smoke_frames():
    frames = []
    for i in range(5):
        r = 5 + i * 2.2
        puffs = "".join(svg.ellipse(16 + dx * (1 + i * 0.25), 22 - i * 3 + dy, r * s, r * s * 0.8,
                                    **svg.outlined("#6d6d73", 1.5))
                        for dx, dy, s in ((-6, 2, 0.8), (6, 1, 0.9), (0, -4, 1.0)))
        frames.append(render(40, 40, svg.group(puffs, opacity=1.0 - i * 0.12)))
    return frames


def heart_path(cx, cy, s):
    return ("M{0} {1} C{2} {3} {4} {5} {6} {7} C{8} {9} {10} {11} {0} {12} C{13} {11} {14} {9} {15} {7} C{16} {5} {17} {3} {0} {1} Z"
            .format(cx, cy + 7 * s, cx - 8 * s, cy + 1 * s, cx - 9 * s, cy - 4 * s, cx - 6 * s, cy - 6.5 * s,
                    cx - 3.5 * s, cy - 8.5 * s, cx - 1 * s, cy - 7.5 * s, cy - 5 * s, cx + 1 * s, cx + 3.5 * s,
                    cx + 6 * s, cx + 9 * s, cx + 8 * s))


def main(out):
    png.write(os.path.join(out, "check.png"),
              render(30, 36, svg.rect(3, 3, 24, 30, r=3, **svg.outlined("#fbf0dc", 1.5))
                     + "".join(svg.rect(7, 9 + 5 * i, 16, 2, fill="#b9b1a8") for i in range(4))
                     + svg.text(21, 31, "$", 10, "#4fbf68")))
    png.write(os.path.join(out, "tablenumber_a.png"), badge("#fbf0dc"))
    png.write(os.path.join(out, "tablenumber_b.png"), badge("#ffd27a"))
    for colour in style.PARTY_ORDER:
        png.write(os.path.join(out, "flag_%s.png" % colour), flag(colour))
    png.write(os.path.join(out, "noisering.png"),
              render(8, 40, svg.path("M2 2 Q7 20 2 38", fill="none", stroke="#f4c430", stroke_width=3, stroke_linecap="round")))

    smooch = anim.Animation("smooch", image="smooch.png", reg=(20, 20))
    for i in range(6):
        s = 0.6 + 0.12 * i
        smooch.frame("pop%d" % i, render(40, 40, svg.path(heart_path(20, 20 - i, s * 2), **svg.outlined("#e0405a", 1.5))), reg=(20, 20))
    smooch.script("function DoAnim()\n    delay(90)\n    frames({1, 2, 3, 4, 5, 6})\nend\n")
    smooch.write(out, "smooch.anm")

    smoke = anim.Animation("angersmoke", image="angersmoke.png", reg=(20, 30))
    for i, picture in enumerate(smoke_frames()):
        smoke.frame("puff%d" % i, picture, reg=(20, 30))
    smoke.script("function DoAnim()\n    delay(110)\n    loop(2, {1, 2, 3, 4, 5})\nend\n"
                 "function LoopAnim()\n    delay(110)\n    while true do\n        frames({1, 2, 3, 4, 5})\n    end\nend\n")
    smoke.write(out, "angersmoke.anm")

    grow = anim.Animation("heartgrow", image="heartgrow.png", reg=(20, 30))
    for i in range(6):
        s = 0.5 + 0.15 * i
        body = svg.group(svg.path(heart_path(20, 26 - 3 * i, s * 1.6), **svg.outlined("#e0405a", 1.5)), opacity=1.0 - max(0, i - 3) * 0.3)
        grow.frame("grow%d" % i, render(40, 40, body), reg=(20, 30))
    grow.script("function DoAnim()\n    delay(80)\n    frames({1, 2, 3, 4, 5, 6})\nend\n")
    grow.write(out, "heartgrow.anm")

    star = "M8 0 L10 6 L16 8 L10 10 L8 16 L6 10 L0 8 L6 6 Z"
    png.write(os.path.join(out, "teleport.png"), render(16, 16, svg.path(star, fill="#4ee2ec", stroke="#ffffff", stroke_width=1)))

    bubbles = os.path.join(out, "bubbles")
    os.makedirs(bubbles, exist_ok=True)
    png.write(os.path.join(bubbles, "request_bubble.png"),
              render(44, 44, svg.ellipse(22, 20, 19, 16, **svg.outlined("#ffffff", 1.5))
                     + svg.ellipse(8, 38, 4, 3, **svg.outlined("#ffffff", 1.5))))
    mop = (svg.path("M22 4 L12 22", stroke="#8a5a2b", stroke_width=3, stroke_linecap="round")
           + svg.path("M6 20 L18 24 L14 30 L4 28 Z", **svg.outlined("#9fd8e0", 1.5)))
    png.write(os.path.join(bubbles, "request_mop.png"), render(32, 32, mop))
    camera = (svg.rect(4, 10, 24, 16, r=3, **svg.outlined("#5f6f78", 1.5)) + svg.rect(10, 6, 8, 5, r=1, **svg.outlined("#5f6f78", 1.5))
              + svg.ellipse(16, 18, 5, 5, **svg.outlined("#9fd8e0", 1.5)))
    png.write(os.path.join(bubbles, "request_camera.png"), render(32, 32, camera))


if __name__ == "__main__":
    main(sys.argv[1])
