"""Floor marks: the checkmark over a queued station, the food tray's number
badge ("traynumber"), the puff when food is ready ("foodpoof.anm", DoAnim
ends) and the camera's flash ("camera_flash.anm", DoAnim ends)."""
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


if __name__ == "__main__":
    main(sys.argv[1])
