"""The five mouse cursors, 32x32, hot spot (1, 1): every cursor's working
point is its top left corner (the arrow's tip, the hand's index finger).

They are loaded with the colour key (name + "?colorkeyed"): pure magenta is
transparent, so the pictures are opaque, with magenta around them and edge
pixels blended onto the outline colour instead of onto magenta (no pink
fringe)."""
import os
import sys

from qmcontent import png, svg

SIZE = 32
PAPER = "#fff6e3"
SHADE = "#e8cfa6"
KEY = (255, 0, 255, 255)

ARROW = svg.path("M1.5 1.5 L1.5 24 L7.5 18.5 L11.5 27.5 L15.5 25.5 L11.5 17 L19.5 17 Z",
                 **svg.outlined(PAPER, 1.8))
ARROW_SHADE = svg.path("M3.5 6 L3.5 19.5 L7 16.5 Z", fill=SHADE)


def finger(x, y, length, width=5.4, angle=0):
    """A finger from its tip (x, y) down `length` px, turned about its base."""
    return svg.rect(x - width / 2, y, width, length, r=width / 2,
                    transform="rotate(%g %g %g)" % (angle, x, y + length), **svg.outlined(PAPER, 1.6))


def palm():
    return (svg.rect(6, 13, 19, 15, r=6, **svg.outlined(PAPER, 1.6))
            + svg.rect(9, 22, 13, 3.5, r=1.7, fill=SHADE))


def open_hand(curled=False):
    """Four fingers spread up (bent over the palm when grabbing), the thumb out to the right."""
    out = ""
    for x, y, angle in ((8, 3, -14), (13, 1.5, -5), (18.5, 2, 5), (23.5, 5, 16)):
        if curled:
            out += svg.rect(x - 2.7, 10, 5.4, 8, r=2.7, **svg.outlined(PAPER, 1.6))
        else:
            out += finger(x, y, 15 - (y - 1.5), angle=angle)
    thumb = svg.rect(22.5, 13, 5.4, 10, r=2.7, transform="rotate(35 25 23)", **svg.outlined(PAPER, 1.6))
    return out + palm() + thumb


def pointing_hand(pressed=False):
    """The index finger up to the hot spot, the other fingers folded over the palm, the thumb at its side."""
    body = finger(8.5, 1.5, 17) + palm()
    body += "".join(svg.rect(x - 2.6, 12.5, 5.2, 6.5, r=2.6, **svg.outlined(PAPER, 1.4)) for x in (14.2, 19, 23.2))
    body += svg.rect(2.5, 15, 5.4, 10, r=2.7, transform="rotate(-30 5 25)", **svg.outlined(PAPER, 1.6))
    if pressed:
        burst = "".join(svg.path(d, stroke=svg.OUTLINE, stroke_width=1.6, stroke_linecap="round", fill="none")
                        for d in ("M2 8 L4.5 8", "M2.5 3 L4.5 4.5", "M13 2 L14.5 0.8"))
        body = svg.group(body, transform="translate(1 2) scale(0.94)") + burst
    return body


def colour_keyed(image):
    """Opaque picture on magenta: faint pixels become the key, the rest are
    blended onto the outline colour."""
    out = []
    ox, oy, oz = 0x3b, 0x2a, 0x33
    for r, g, b, a in image.pixels:
        if a < 110:
            out.append(KEY)
        else:
            f = a / 255.0
            out.append((round(r * f + ox * (1 - f)), round(g * f + oy * (1 - f)), round(b * f + oz * (1 - f)), 255))
    return png.Image(image.width, image.height, out)


def main(out):
    cursors = {
        "arrow": ARROW + ARROW_SHADE,
        "open": open_hand(),
        "grab": open_hand(curled=True),
        "click": pointing_hand(),
        "click2": pointing_hand(pressed=True),
    }
    for name, body in cursors.items():
        picture = svg.render(svg.document(SIZE, SIZE, body))
        png.write(os.path.join(out, name + ".png"), colour_keyed(picture))


if __name__ == "__main__":
    main(sys.argv[1])
