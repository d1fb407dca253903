"""What the waitress carries and serves on: the order ticket, dirty dishes
(a metal tray of them in the spaceship), the mop, the camera, and the food
tray (its spaceship look too) that shows a dish with its table's badge."""
import os
import sys

from qmcontent import png, style, svg

PLATE = "#f4f6f8"
FOOD = ("#e8743b", "#4fbf68", "#f4c430")


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def ticket():
    body = svg.path("M3 3 L17 3 L17 21 L14 19 L11 21 L8 19 L5 21 L3 19 Z", **svg.outlined("#fffbe9", 1.5))
    for y in (8, 11, 14):
        body += svg.path("M6 %d L14 %d" % (y, y), stroke="#7a8ca8", stroke_width=1.2)
    body += svg.ellipse(10, 3, 2, 1.5, fill="#c8283b")
    return render(20, 24, body)


def dishes(metal):
    body = ""
    if metal:
        body += svg.rect(2, 12, 32, 8, r=3, **svg.outlined(style.RESTAURANTS["spaceship"]["silver"], 1.5))
    for i, y in enumerate((14, 10, 6)):
        body += svg.ellipse(18 + (i % 2) * 2, y, 13, 4, **svg.outlined(PLATE, 1.5))
        body += svg.ellipse(18 + (i % 2) * 2, y, 7, 2, fill="#dde3e8")
    body += svg.ellipse(15, 5, 2, 1, fill="#8a5a2b") + svg.ellipse(22, 6, 1.5, 1, fill="#4fbf68")
    body += svg.path("M24 3 L30 -1", stroke=svg.OUTLINE, stroke_width=1.5)
    return render(36, 22, body)


def mop():
    body = svg.path("M14 2 L14 34", stroke=svg.OUTLINE, stroke_width=4.5, stroke_linecap="round")
    body += svg.path("M14 2 L14 34", stroke="#b98a55", stroke_width=2.5, stroke_linecap="round")
    for dx in (-6, -3, 0, 3, 6):
        body += svg.path("M14 34 Q%d 40 %d 46" % (14 + dx, 14 + dx * 1.4), stroke=svg.OUTLINE, stroke_width=3.5,
                         fill="none", stroke_linecap="round")
        body += svg.path("M14 34 Q%d 40 %d 46" % (14 + dx, 14 + dx * 1.4), stroke="#e9e2cf", stroke_width=2,
                         fill="none", stroke_linecap="round")
    return render(28, 50, body)


def camera():
    body = svg.rect(2, 6, 24, 15, r=3, **svg.outlined("#34343c", 1.5))
    body += svg.rect(8, 3, 8, 4, r=1, **svg.outlined("#34343c", 1.5))
    body += svg.ellipse(14, 13.5, 5.5, 5.5, **svg.outlined("#8a9aa3", 1.5))
    body += svg.ellipse(13, 12.5, 2, 2, fill="#cfe8f2")
    body += svg.rect(20, 8, 4, 2.5, fill="#f7d56b")
    return render(28, 24, body)


def food_tray(metal):
    tray = style.RESTAURANTS["spaceship"]["silver"] if metal else "#c79a3a"
    body = svg.ellipse(20, 15, 18, 5, **svg.outlined(tray, 1.5))
    body += svg.ellipse(20, 12, 12, 4, **svg.outlined(PLATE, 1.5))
    body += svg.ellipse(17, 9, 5, 3.5, **svg.outlined(FOOD[0], 1.2))
    body += svg.ellipse(24, 10, 3.5, 2.5, **svg.outlined(FOOD[1], 1.2))
    body += svg.ellipse(20, 6, 2.5, 1.8, fill=FOOD[2])
    return render(40, 22, body)


def main(out):
    pictures = {
        "ticket": ticket(),
        "dirty_dishes": dishes(False),
        "dirty_dishes_spaceship": dishes(True),
        "mop_prop": mop(),
        "camera": camera(),
        "foodtray": food_tray(False),
        "foodtray_spaceship": food_tray(True),
    }
    for name, picture in pictures.items():
        png.write(os.path.join(out, name + ".png"), picture)


if __name__ == "__main__":
    main(sys.argv[1])
