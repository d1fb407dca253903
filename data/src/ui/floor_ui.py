"""Floor marks: the checkmark over a queued station, the food tray's number
badge ("traynumber"), the puff when food is ready ("foodpoof.anm", DoAnim
ends), the camera's flash ("camera_flash.anm", DoAnim ends), the chair
pennants that show a party colour ("chairflags.anm", frame = colour index)
and the sparkle over a new endless upgrade ("upgradeanim.anm", DoAnim
loops)."""
import math
import os
import sys

from qmcontent import anim, png, style, svg


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def checkmark():
    body = svg.ellipse(12, 12, 10, 10, **svg.outlined("#4fbf68"))
    body += svg.path("M7 12 L11 16 L17 7", stroke="#ffffff", stroke_width=3, fill="none", stroke_linecap="round",
                     stroke_linejoin="round")
    return render(24, 24, body)


def badge():
    return render(22, 14, svg.rect(1, 1, 20, 12, r=5, **svg.outlined("#fffbe9", 1.5)))


def puff(step):
    body = ""
    r = 6 + step * 5
    for i in range(6):
        a = i * math.pi / 3 + step * 0.3
        x, y = 30 + math.cos(a) * r * 0.8, 30 + math.sin(a) * r * 0.8
        body += svg.ellipse(x, y, 7 + step, 7 + step, fill="#ffffff", stroke="#ead4b0", stroke_width=1.5,
                            fill_opacity=max(0.15, 1 - step * 0.2))
    return render(60, 60, body)


def flash(step):
    r = 6 + step * 6
    points = []
    for i in range(16):
        a = i * math.pi / 8
        d = r if i % 2 == 0 else r * 0.45
        points.append("%.1f %.1f" % (24 + math.cos(a) * d, 24 + math.sin(a) * d))
    body = svg.path("M" + " L".join(points) + " Z", fill="#fffbe0", fill_opacity=1 - step * 0.22, stroke="#f7d56b",
                    stroke_width=1.5)
    return render(48, 48, body)


def pennant(colour):
    """A little flag on a pole in a party colour, waving to the right."""
    fill = style.PARTY[colour]
    body = svg.rect(4, 2, 3, 28, r=1.5, fill="#8a6a4a", stroke=style.OUTLINE, stroke_width=1.5)
    body += svg.path("M7 4 Q14 2 19 6 Q23 9 27 8 L24 13 L27 19 Q22 20 18 17 Q13 14 7 17 Z",
                     fill=fill, stroke=style.OUTLINE, stroke_width=1.5, stroke_linejoin="round")
    body += svg.path("M9 6 Q14 5 17 8", fill="none", stroke=style.light(fill), stroke_width=2,
                     stroke_linecap="round")
    body += svg.ellipse(5.5, 2.5, 2.5, 2.5, fill="#f4c430", stroke=style.OUTLINE, stroke_width=1)
    return render(30, 32, body)


def sparkle(step):
    """Four-pointed stars turning and swelling around a soft glow."""
    glow = 18 + 3 * math.sin(step * math.pi / 4)
    body = ('<defs><radialGradient id="g"><stop offset="0" stop-color="#ffe27a" stop-opacity="0.8"/>'
            '<stop offset="1" stop-color="#ffb347" stop-opacity="0"/></radialGradient></defs>')
    body += svg.ellipse(32, 32, glow, glow, fill="url(#g)")
    for i in range(4):
        a = i * math.pi / 2 + step * math.pi / 16
        r = 20 + 4 * math.sin(step * math.pi / 4 + i)
        x, y = 32 + math.cos(a) * r, 32 + math.sin(a) * r
        s = 5 + 2 * math.sin(step * math.pi / 4 + i * 1.3)
        body += svg.path("M%g %g L%g %g L%g %g L%g %g L%g %g L%g %g L%g %g L%g %g Z" % (
            x, y - s, x + s / 4, y - s / 4, x + s, y, x + s / 4, y + s / 4,
            x, y + s, x - s / 4, y + s / 4, x - s, y, x - s / 4, y - s / 4),
            fill="#fff6d6", stroke="#e8a53b", stroke_width=1)
    return render(64, 64, body)


def main(out):
    png.write(os.path.join(out, "checkmark.png"), checkmark())
    png.write(os.path.join(out, "traynumber.png"), badge())
    a = anim.Animation("foodpoof", image="foodpoof.png", reg=(30, 30))
    for step in range(5):
        a.frame("puff%d" % step, puff(step), reg=(30, 30))
    a.script("function DoAnim()\n    delay(70);\n    frames{1,2,3,4,5};\nend\n")
    a.write(out, "foodpoof.anm")
    f = anim.Animation("camera_flash", image="camera_flash.png", reg=(24, 24))
    for step in range(4):
        f.frame("flash%d" % step, flash(step), reg=(24, 24))
    f.script("function DoAnim()\n    delay(60);\n    frames{1,2,3,4};\nend\n")
    f.write(out, "camera_flash.anm")
    flags = anim.Animation("chairflags", image="chairflags.png", reg=(5, 30))
    for colour in style.PARTY_ORDER:
        flags.frame(colour, pennant(colour), reg=(5, 30))
    flags.script("function DoAnim()\n    while true do\n        delay(500);\n        frames{1,2,3,4,5};\n    end\nend\n")
    flags.write(out, "chairflags.anm")
    glow = anim.Animation("upgradeanim", image="upgradeanim.png", reg=(32, 32))
    for step in range(8):
        glow.frame("sparkle%d" % step, sparkle(step), reg=(32, 32))
    glow.script("function DoAnim()\n    while true do\n        delay(90);\n        frames{1,2,3,4,5,6,7,8};\n    end\nend\n")
    glow.write(out, "upgradeanim.anm")


if __name__ == "__main__":
    main(sys.argv[1])
