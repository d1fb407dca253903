"""The phone's staff buttons and what the staff show on the floor, in "ui/":
  personpoof.anm (the puff in which staff and the phone come and go;
  "DoAnim" ends); notes/music_boost_a..f (the six notes of a group the
  entertainer sends to a table); phone_busser_a/_b, phone_drinkserver_a/_b,
  phone_hostess_a/_b (a button's picture, and lit under the mouse), and
  levelspecific/phone_NAME_entertainer_a/_b for each restaurant's performer."""
import math
import os
import sys

from qmcontent import anim, png, style, svg

ORDER = ["cruise", "train", "sub", "blimp", "spaceship"]
ACCENT = "#e8743b"


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def puff(step):
    body = ""
    r = 10 + step * 7
    for k in range(7):
        a = k * 2 * math.pi / 7 + step * 0.3
        body += svg.ellipse(48 + r * math.cos(a), 48 + r * math.sin(a), 14 - step * 1.5, 14 - step * 1.5,
                            fill="#ffffff", stroke="#d8d0e0", stroke_width=2, opacity=1 - step * 0.12)
    return render(96, 96, body)


def note(k):
    colours = ["#3a7de0", "#c8283b", "#4fbf68", "#6a3fb0", "#f4c430", "#e8743b"]
    c = colours[k]
    body = svg.ellipse(9, 22, 7, 5.5, **svg.outlined(c, 1.5))
    body += svg.rect(14, 4, 3, 19, fill=svg.OUTLINE)
    if k % 2:
        body += svg.path("M16 4 Q24 8 22 14", stroke=svg.OUTLINE, stroke_width=3, fill="none")
    return render(28, 30, body)


def face(x, y, hair, skin=style.SKIN[1]):
    return (svg.ellipse(x, y, 14, 14, **svg.outlined(skin))
            + svg.path("M%d %d Q%d %d %d %d Z" % (x - 14, y - 2, x, y - 22, x + 14, y - 2), **svg.outlined(hair))
            + svg.ellipse(x - 5, y + 2, 1.8, 2.2, fill=svg.OUTLINE) + svg.ellipse(x + 5, y + 2, 1.8, 2.2,
                                                                                fill=svg.OUTLINE)
            + svg.path("M%d %d Q%d %d %d %d" % (x - 4, y + 8, x, y + 11, x + 4, y + 8), stroke=svg.OUTLINE,
                       stroke_width=1.5, fill="none"))


def button(picture, lit):
    fill = style.mix(ACCENT, "#ffd27a", 0.45) if lit else ACCENT
    body = svg.rect(3, 3, 74, 74, r=14, **svg.outlined(style.PAPER))
    body += svg.rect(9, 9, 62, 62, r=10, fill=fill, opacity=0.35)
    body += picture
    return render(80, 80, body)


def pictures():
    dishes = svg.ellipse(40, 60, 16, 5, **svg.outlined("#ffffff", 1.5))
    cup = svg.path("M52 48 L64 48 L62 66 L54 66 Z", **svg.outlined("#ffffff", 1.5))
    badge = svg.path("M26 60 L40 52 L54 60 L40 68 Z", **svg.outlined("#c8363b", 1.5))
    return {
        "busser": face(40, 34, style.HAIR[0]) + dishes,
        "drinkserver": face(36, 34, style.HAIR[1]) + cup,
        "hostess": face(40, 34, style.HAIR[2], style.SKIN[0]) + badge,
    }


def entertainer(name):
    c = list(style.RESTAURANTS[name].values())
    return face(40, 32, style.HAIR[(ORDER.index(name) + 3) % 5], style.SKIN[ORDER.index(name) % 4]) + svg.rect(
        22, 54, 36, 12, r=3, **svg.outlined(c[2] if name != "blimp" else c[2], 1.5))


def main(out):
    os.makedirs(os.path.join(out, "notes"), exist_ok=True)
    os.makedirs(os.path.join(out, "levelspecific"), exist_ok=True)
    a = anim.Animation("personpoof", image="personpoof.png")
    for step in range(6):
        a.frame("puff%d" % step, puff(step), reg=(48, 72))
    a.script("function DoAnim()\n    delay(70);\n    frames{1,2,3,4,5,6};\nend\n")
    a.write(out, "personpoof.anm")
    for k in range(6):
        png.write(os.path.join(out, "notes", "music_boost_%c.png" % "abcdef"[k]), note(k))
    for who, picture in pictures().items():
        png.write(os.path.join(out, "phone_%s_a.png" % who), button(picture, False))
        png.write(os.path.join(out, "phone_%s_b.png" % who), button(picture, True))
    for name in ORDER:
        for variant, lit in (("a", False), ("b", True)):
            png.write(os.path.join(out, "levelspecific", "phone_%s_entertainer_%s.png" % (name, variant)),
                      button(entertainer(name), lit))


if __name__ == "__main__":
    main(sys.argv[1])
