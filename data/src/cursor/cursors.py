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


def finger(x, y, length, width=5.2, angle=0):
    return svg.rect(x - width / 2, y, width, length, r=width / 2,
                    transform="rotate(%g %g %g)" % (angle, x, y + length), **svg.outlined(PAPER, 1.6))


def hand(fingers_up, curled=False, pressed=False):
    """A right hand seen from the back, tilted so the index finger points to the top left."""
    parts = []
    if fingers_up == 1:
        # Pointing: index finger long, the others folded into the palm.
        parts.append(finger(9, 1.5, 14, angle=0))
        for i, x in enumerate((14, 18.5, 23)):
            parts.append(svg.rect(x - 2.6, 12 + i * 0.6, 5.2, 8, r=2.6, **svg.outlined(PAPER, 1.6)))
    else:
        tips = [(7, 2), (12, 1), (17, 2), (21.5, 4.5)]
        for x, y in tips:
            length = 8 if curled else 14 - (y - 1)
            parts.append(finger(x + (2 if curled else 0), y + (7 if curled else 0), length))
    palm = svg.rect(5.5, 12, 20, 14, r=6, **svg.outlined(PAPER, 1.6))
    thumb = svg.rect(22, 13, 5.5, 11, r=2.7, transform="rotate(35 24 24)", **svg.outlined(PAPER, 1.6))
    shade = svg.rect(8, 21, 15, 3.5, r=1.7, fill=SHADE)
    body = palm + thumb + shade + "".join(parts) if fingers_up != 1 else palm + thumb + shade + "".join(parts)
    if pressed:
        burst = "".join(svg.path(d, stroke=svg.OUTLINE, stroke_width=1.6, stroke_linecap="round", fill="none")
                        for d in ("M1.5 9 L4 9", "M2 4 L4 5.5", "M6 1 L6 0"))
        body = svg.group(body, transform="translate(1 1) scale(0.94)") + burst
    return svg.group(body, transform="rotate(-12 16 16)")


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
        "open": hand(4),
        "grab": hand(4, curled=True),
        "click": hand(1),
        "click2": hand(1, pressed=True),
    }
    for name, body in cursors.items():
        picture = svg.render(svg.document(SIZE, SIZE, body))
        png.write(os.path.join(out, name + ".png"), colour_keyed(picture))


if __name__ == "__main__":
    main(sys.argv[1])
