"""Service furniture shared by every restaurant: the high chair shelf
(highchair_prop_a, its glow _b; the waitress carries the same picture), the
mop station (the mop _a, its glow _b, the bucket stand _c), the ticket spike
("ticketstation.anm": frame 0 at rest, 1 its glow, "DoAnim" the spike taking
a ticket) and the dish cart ("dishcart.anm", "dishcart_fancy.anm" for the
spaceship: frames 0 empty, 2 one load, 4 full, each followed by its glow)."""
import os
import sys

from qmcontent import anim, png, style, svg

GLOW = "#fff1a8"
WOOD = "#b98a55"
STEEL = "#8a9aa3"


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def glow(w, h, shape):
    """The needed-station overlay: a soft warm rim around the shape."""
    return render(w, h, shape.replace(svg.OUTLINE, GLOW).replace('stroke-width="2"', 'stroke-width="6"')
                  .replace('stroke-width="1.5"', 'stroke-width="5"') .replace('fill="', 'fill-opacity="0.35" fill="'))


def high_chair():
    body = svg.path("M8 20 L4 50 M28 20 L32 50", stroke=svg.OUTLINE, stroke_width=4, stroke_linecap="round")
    body += svg.path("M8 20 L4 50 M28 20 L32 50", stroke=WOOD, stroke_width=2, stroke_linecap="round")
    body += svg.rect(5, 16, 26, 7, r=2, **svg.outlined(WOOD))
    body += svg.rect(7, 2, 22, 16, r=4, **svg.outlined("#f7d56a"))
    body += svg.rect(3, 22, 30, 4, r=2, **svg.outlined(style.shade(WOOD), 1.5))
    return body


def mop_standing():
    body = svg.path("M12 2 L12 40", stroke=svg.OUTLINE, stroke_width=4.5, stroke_linecap="round")
    body += svg.path("M12 2 L12 40", stroke=WOOD, stroke_width=2.5, stroke_linecap="round")
    for dx in (-6, -3, 0, 3, 6):
        body += svg.path("M12 40 L%d 52" % (12 + dx), stroke=svg.OUTLINE, stroke_width=3.5, stroke_linecap="round")
        body += svg.path("M12 40 L%d 52" % (12 + dx), stroke="#e9e2cf", stroke_width=2, stroke_linecap="round")
    return body


def bucket():
    body = svg.path("M4 6 L30 6 L27 24 L7 24 Z", **svg.outlined("#3a7de0"))
    body += svg.path("M22 8 L20 22 L25 22 L27 8 Z", fill=style.shade("#3a7de0"))
    body += svg.ellipse(17, 6, 13, 3, **svg.outlined("#9fd8e0", 1.5))
    return body


def spike(lift):
    body = svg.ellipse(18, 40, 14, 5, **svg.outlined(STEEL))
    body += svg.path("M18 38 L18 6", stroke=svg.OUTLINE, stroke_width=3.5, stroke_linecap="round")
    body += svg.path("M18 38 L18 6", stroke="#c3c8d4", stroke_width=1.5, stroke_linecap="round")
    for i, y in enumerate((30 - lift, 24 - lift)):
        body += svg.path("M10 %d L26 %d L25 %d L11 %d Z" % (y, y - 2, y + 6, y + 8), **svg.outlined("#fffbe9", 1.5))
    return body


def cart(load, fancy):
    colour = style.RESTAURANTS["spaceship"]["silver"] if fancy else "#7a8ca8"
    body = svg.rect(4, 18, 52, 26, r=4, **svg.outlined(colour))
    body += svg.rect(8, 22, 44, 4, r=2, fill=style.light(colour))
    for x in (12, 48):
        body += svg.ellipse(x, 48, 5, 5, **svg.outlined("#34343c", 1.5))
    for i in range(load):
        y = 16 - 5 * i
        body += svg.ellipse(30 + (i % 2) * 3, y, 16, 5, **svg.outlined("#f4f6f8", 1.5))
        body += svg.ellipse(30 + (i % 2) * 3, y, 8, 2.5, fill="#dde3e8")
    if fancy:
        body += svg.path("M6 30 L54 30", stroke=style.RESTAURANTS["spaceship"]["cyan"], stroke_width=2)
    return body


def main(out):
    png.write(os.path.join(out, "highchair_prop_a.png"), render(36, 54, high_chair()))
    png.write(os.path.join(out, "highchair_prop_b.png"), glow(36, 54, high_chair()))
    png.write(os.path.join(out, "mop_station_a.png"), render(24, 56, mop_standing()))
    png.write(os.path.join(out, "mop_station_b.png"), glow(24, 56, mop_standing()))
    png.write(os.path.join(out, "mop_station_c.png"), render(34, 28, bucket()))

    ticket = anim.Animation("ticketstation", image="ticketstation.png", reg=(18, 24))
    ticket.frame("rest", render(36, 48, spike(0)), reg=(18, 24))
    ticket.frame("glow", glow(36, 48, spike(0)), reg=(18, 24))
    ticket.frame("spiked1", render(36, 48, spike(6)), reg=(18, 24))
    ticket.frame("spiked2", render(36, 48, spike(3)), reg=(18, 24))
    ticket.script("function DoAnim()\n    delay(80);\n    frames{3,4,3,1};\nend\n")
    ticket.write(out, "ticketstation.anm")

    for name, fancy in (("dishcart", False), ("dishcart_fancy", True)):
        a = anim.Animation(name, image=name + ".png", reg=(30, 28))
        for load, label in ((0, "empty"), (1, "one"), (3, "full")):
            a.frame(label, render(60, 56, cart(load, fancy)), reg=(30, 28))
            a.frame(label + "_glow", glow(60, 56, cart(load, fancy)), reg=(30, 28))
        a.script("function DoAnim()\n    delay(100);\n    frames{1};\nend\n")
        a.write(out, name + ".anm")


if __name__ == "__main__":
    main(sys.argv[1])
