"""What the phone, the podium and the music stand on, in "furniture/":
  phone_station.anm ("Idle" rests, "Charge1" rings while the waitress
  talks), podium.png with podium_heart.anm (its frames fill a heart as the
  podium charges), radio.png, stereo.png and karaoke.png."""
import os
import sys

from qmcontent import anim, png, style, svg

BRASS = "#c79a3a"
WOOD = "#8a5a2b"
HEART = "#e0606a"


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def phone(ring):
    shake = (0, -2, 2)[ring]
    body = svg.rect(6, 30, 36, 26, r=4, **svg.outlined(WOOD))
    body += svg.rect(10, 14, 28, 18, r=5, **svg.outlined("#34343c"))
    body += svg.path("M%d 10 Q24 %d %d 10" % (8 + shake, 2 + shake, 40 + shake), stroke=svg.OUTLINE, stroke_width=6,
                     fill="none", stroke_linecap="round")
    body += svg.ellipse(24, 23, 6, 6, fill=BRASS)
    if ring:
        body += svg.path("M2 8 l-4 -4 M46 8 l4 -4", stroke=svg.OUTLINE, stroke_width=2)
    return render(48, 60, body)


def heart(x, y, r, fill, **kw):
    return svg.path("M%f %f C%f %f %f %f %f %f C%f %f %f %f %f %f Z" % (
        x, y + r, x - 2 * r, y - r / 2, x - r, y - 2 * r, x, y - r,
        x + r, y - 2 * r, x + 2 * r, y - r / 2, x, y + r), fill=fill, **kw)


def charge(level):
    """A heart outline filling from the bottom: level 0-7 of 7."""
    body = heart(16, 18, 8, "#ffffff", stroke=svg.OUTLINE, stroke_width=1.5)
    top = 30 - level * 24 / 7
    body += "<clipPath id='c'><rect x='0' y='%f' width='32' height='32'/></clipPath>" % top
    body += svg.group(heart(16, 18, 8, HEART), clip_path="url(#c)")
    return render(32, 32, body)


def podium():
    body = svg.rect(10, 20, 40, 44, r=4, **svg.outlined(WOOD))
    body += svg.rect(4, 10, 52, 14, r=4, **svg.outlined(style.light(WOOD)))
    body += svg.rect(14, 30, 32, 4, fill=BRASS) + svg.rect(14, 52, 32, 4, fill=BRASS)
    return render(60, 68, body)


def radio():
    body = svg.rect(4, 14, 48, 30, r=8, **svg.outlined("#b2703f"))
    body += svg.ellipse(18, 29, 9, 9, fill="#6b4a2b") + svg.rect(32, 22, 14, 6, r=2, fill="#f7d56b")
    body += svg.path("M12 14 L24 2", stroke=svg.OUTLINE, stroke_width=2)
    return render(56, 48, body)


def stereo():
    body = svg.rect(2, 8, 20, 44, r=3, **svg.outlined("#34343c")) + svg.rect(50, 8, 20, 44, r=3, **svg.outlined("#34343c"))
    for x in (12, 60):
        body += svg.ellipse(x, 22, 6, 6, fill="#9a9a9a") + svg.ellipse(x, 40, 8, 8, fill="#9a9a9a")
    body += svg.rect(24, 26, 24, 26, r=3, **svg.outlined("#6d6d73")) + svg.rect(28, 30, 16, 5, fill="#4ee2ec")
    return render(72, 56, body)


def karaoke():
    body = svg.rect(6, 20, 40, 40, r=4, **svg.outlined("#c8363b"))
    body += svg.rect(11, 25, 30, 18, r=2, fill="#8cc7ee") + svg.rect(14, 48, 24, 6, r=2, fill="#f6ecd2")
    return render(52, 64, body)


def main(out):
    os.makedirs(out, exist_ok=True)
    a = anim.Animation("phone_station", image="phone_station.png")
    for ring in range(3):
        a.frame("ring%d" % ring, phone(ring), reg=(24, 56))
    a.script("function Idle()\n    delay(500);\n    frames{1};\nend\n"
             "function Charge1()\n    delay(90);\n    while 1 do\n        frames{2,3,2,3,1,1,1,1};\n    end\nend\n")
    a.write(out, "phone_station.anm")
    h = anim.Animation("podium_heart", image="podium_heart.png")
    for level in range(8):
        h.frame("charge%d" % level, charge(level), reg=(16, 16))
    h.write(out, "podium_heart.anm")
    png.write(os.path.join(out, "podium.png"), podium())
    png.write(os.path.join(out, "radio.png"), radio())
    png.write(os.path.join(out, "stereo.png"), stereo())
    png.write(os.path.join(out, "karaoke.png"), karaoke())


if __name__ == "__main__":
    main(sys.argv[1])
