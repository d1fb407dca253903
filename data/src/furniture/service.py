"""Service furniture shared by every restaurant: the high chair shelf
(highchair_prop_a, its glow _b; the waitress carries the same picture), the
mop station (the mop _a, its glow _b, the bucket stand _c), the order wheel
where tickets go ("ticketstation.anm": frame 0 at rest, 1 its glow, "DoAnim"
the wheel taking a ticket; it hangs from its bracket, the registration point
at the hub) and the dish cart
("dishcart.anm", "dishcart_fancy.anm" for the spaceship: frames 0 empty, 2
one load, 4 full, each followed by its glow); the kitchen's pass, where the
plates come up ("kitchenpass.png": the shelf under two heat lamps, hung from
the top of the kitchen's opening)."""
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


PAPER = "#fffbe9"
WHEEL = (30, 40)   # the wheel's hub: the registration point
WHEEL_R = 21


def ticket_slip(x, y, angle, tint=PAPER):
    """An order slip hanging from a clip at (x, y), turned by angle degrees."""
    body = svg.rect(x - 6, y, 12, 18, r=1.5, **svg.outlined(tint, 1.5))
    for k in range(3):
        body += svg.rect(x - 3.5, y + 5 + 4 * k, 7 - 2 * (k == 2), 1.2, fill="#8a7d72")
    body += svg.rect(x - 3, y - 2, 6, 4, r=1, **svg.outlined(STEEL, 1))
    return svg.group(body, transform="rotate(%g %g %g)" % (angle, x, y))


def ticket_wheel(lift):
    """The order wheel hanging from its bracket on the wall beside the
    kitchen's opening: a steel ring with slips clipped round it; `lift` > 0
    shows a new slip going on at the top."""
    cx, cy = WHEEL
    body = svg.rect(cx - 9, 0, 18, 5, r=2, **svg.outlined(STEEL, 1.5))
    body += svg.path("M%d 3 L%d %d" % (cx, cx, cy), stroke=svg.OUTLINE, stroke_width=6, stroke_linecap="round")
    body += svg.path("M%d 3 L%d %d" % (cx, cx, cy), stroke="#c3c8d4", stroke_width=3, stroke_linecap="round")
    # slips hanging at the back of the wheel, then the ring in front of them
    body += ticket_slip(cx - 16, cy + 6, 18) + ticket_slip(cx + 16, cy + 6, -18)
    body += svg.ellipse(cx, cy, WHEEL_R, WHEEL_R, **svg.outlined("#c3c8d4"))
    body += svg.ellipse(cx, cy, WHEEL_R - 5, WHEEL_R - 5, fill="#7a8a94")
    body += svg.ellipse(cx - 4, cy - 4, WHEEL_R - 10, WHEEL_R - 10, fill=style.light("#7a8a94"), opacity=0.5)
    for k in range(8):  # the clips round the rim
        body += svg.group(svg.rect(cx - 2.5, cy - WHEEL_R - 2, 5, 5, r=1, **svg.outlined(STEEL, 1)),
                          transform="rotate(%d %d %d)" % (k * 45 + 22, cx, cy))
    body += svg.ellipse(cx, cy, 4, 4, **svg.outlined("#e8743b", 1.5))
    # slips clipped on the front of the ring
    body += ticket_slip(cx - 9, cy + 10, 6) + ticket_slip(cx + 8, cy + 12, -8)
    if lift:
        body += ticket_slip(cx + 12, cy - WHEEL_R + 2 - lift, -35)
    return body


PASS_W, PASS_H = 220, 160
PASS_SHELF = 137  # the shelf's top in the picture, where the plates stand


def kitchen_pass():
    """The pass where the cook puts the food up: a steel shelf across the
    counter under two heat lamps that hang from the top of the kitchen's
    opening and light the shelf."""
    body = svg.defs(svg.linear_gradient("lamplight", [(0, "#ffd27a", 0.55), (1, "#ffd27a", 0.0)]),
                    svg.radial_gradient("warmspot", [(0, "#ffd27a", 0.6), (1, "#ffd27a", 0)]))
    for lx in (116, 150):
        body += svg.polygon([(lx - 7, 30), (lx + 7, 30), (lx + 26, PASS_SHELF), (lx - 26, PASS_SHELF)],
                            fill="url(#lamplight)")
        body += svg.ellipse(lx, PASS_SHELF + 2, 30, 7, fill="url(#warmspot)")
        body += svg.path("M%d 0 L%d 20" % (lx, lx), stroke=svg.OUTLINE, stroke_width=3.5)
        body += svg.path("M%d 0 L%d 20" % (lx, lx), stroke="#c3c8d4", stroke_width=1.5)
        body += svg.path("M%d 30 L%d 20 Q%d 16 %d 20 L%d 30 Z" % (lx - 11, lx - 7, lx, lx + 7, lx + 11),
                         **svg.outlined("#e8743b", 1.5))
        body += svg.ellipse(lx, 30, 8, 2.5, fill="#ffe9b0")
    # the shelf on its two short legs, its front edge lit warm by the lamps
    for x in (14, PASS_W - 18):
        body += svg.rect(x, PASS_SHELF + 12, 5, 10, **svg.outlined(style.shade(STEEL), 1.5))
    body += svg.rect(4, PASS_SHELF, PASS_W - 8, 14, r=3, **svg.outlined(STEEL))
    body += svg.rect(8, PASS_SHELF + 2, PASS_W - 16, 3, r=1.5, fill="#dfe4ea")
    body += svg.rect(8, PASS_SHELF + 8, PASS_W - 16, 3, r=1.5, fill="#ffd27a", opacity=0.8)
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

    png.write(os.path.join(out, "kitchenpass.png"), render(PASS_W, PASS_H, kitchen_pass()))

    ticket = anim.Animation("ticketstation", image="ticketstation.png", reg=WHEEL)
    ticket.frame("rest", render(60, 78, ticket_wheel(0)), reg=WHEEL)
    ticket.frame("glow", glow(60, 78, ticket_wheel(0)), reg=WHEEL)
    ticket.frame("spiked1", render(60, 78, ticket_wheel(8)), reg=WHEEL)
    ticket.frame("spiked2", render(60, 78, ticket_wheel(2)), reg=WHEEL)
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
