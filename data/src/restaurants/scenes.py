"""Each restaurant's room and what moves behind it, in the restaurant's own
colours (qmcontent.style.RESTAURANTS). For restaurant NAME in
"restaurants/NAME/":
  background.png (the room; its windows transparent) and mask.png (white
  where the room is, black where the windows are: the game takes the
  background's alpha from it), ambient.png (the strip seen through the
  windows, scrolled and wrapped by the game);
  extra/...: cruise islands island_a..e; train and blimp
  ambient_foreground.png and ambient_nighttime; sub ship and fish1..6.anm;
  spaceship planet1..5, comet.anm and tubeglow;
  upgrades/N_0 (the decor), N_1 (the option shown while choosing, also its
  hit mask) and N_2 (its glow) for decor 1-4, placed by the hand-written
  upgrades/upgrades.xml beside them (its frame points are minus the
  DECOR_SPOTS below; its decor 5 stands for the chairs).
The performers the phone calls are drawn with the staff in staff.py."""
import math
import os
import sys

from qmcontent import anim, png, style, svg

ORDER = ["cruise", "train", "sub", "blimp", "spaceship"]
W, H = 800, 600
WALL = 150  # the wall band whose windows show the ambient strip
GLOW = "#fff1a8"


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def palette(name):
    return list(style.RESTAURANTS[name].values())


# ---------------------------------------------------------------- windows

def windows(name):
    """The window holes of the wall band as SVG shapes (fill given later)."""
    if name == "cruise":
        return ["circle:%d:%d:%d" % (x, 70, 38) for x in (90, 250, 550, 710)]
    if name == "train":
        return ["rect:%d:%d:%d:%d:%d" % (x, 28, 120, 86, 10) for x in (40, 220, 460, 640)]
    if name == "sub":
        return ["circle:%d:%d:%d" % (x, 72, 44) for x in (110, 300, 500, 690)]
    if name == "blimp":
        return ["rect:%d:%d:%d:%d:%d" % (x, 22, 170, 100, 40) for x in (30, 230, 430, 600)]
    return ["rect:%d:%d:%d:%d:%d" % (30, 18, 740, 104, 52)]


def shape(spec, **kw):
    kind, *n = spec.split(":")
    n = [int(v) for v in n]
    if kind == "circle":
        return svg.ellipse(n[0], n[1], n[2], n[2], **kw)
    return svg.rect(n[0], n[1], n[2], n[3], r=n[4], **kw)


def frames(name, spec):
    """The window's frame drawn around the hole."""
    c = palette(name)
    metal = {"cruise": c[2], "train": c[2], "sub": c[1], "blimp": c[2], "spaceship": c[1]}[name]
    kind, *n = spec.split(":")
    n = [int(v) for v in n]
    if kind == "circle":
        body = svg.ellipse(n[0], n[1], n[2] + 7, n[2] + 7, fill=metal, stroke=svg.OUTLINE, stroke_width=2)
        if name == "sub":
            for k in range(10):
                a = k * math.pi / 5
                body += svg.ellipse(n[0] + (n[2] + 4) * math.cos(a), n[1] + (n[2] + 4) * math.sin(a), 2, 2,
                                    fill=style.shade(metal))
        return body
    return svg.rect(n[0] - 7, n[1] - 7, n[2] + 14, n[3] + 14, r=n[4] + 6, fill=metal, stroke=svg.OUTLINE,
                    stroke_width=2)


# ---------------------------------------------------------------- the room

def floor(name):
    c = palette(name)
    body = ""
    if name == "cruise":
        body += svg.rect(0, WALL, W, H - WALL, fill="#b98a57")
        for y in range(WALL, H, 24):
            body += svg.rect(0, y, W, 2, fill="#9b6f43")
            off = (y // 24) % 3 * 90
            for x in range(off, W, 270):
                body += svg.rect(x, y, 2, 24, fill="#9b6f43")
    elif name == "train":
        body += svg.rect(0, WALL, W, H - WALL, fill=style.shade(c[1]))
        for y in range(WALL + 20, H, 48):
            for x in range(0, W + 48, 48):
                body += svg.path("M%d %d l12 12 l-12 12 l-12 -12 Z" % (x + (y // 48 % 2) * 24, y),
                                 fill=style.mix(c[1], c[3], 0.25), opacity=0.7)
        body += svg.rect(0, WALL, 40, H - WALL, fill=c[0]) + svg.rect(760, WALL, 40, H - WALL, fill=c[0])
    elif name == "sub":
        body += svg.rect(0, WALL, W, H - WALL, fill=style.mix(c[1], "#55606a", 0.4))
        for y in range(WALL, H, 60):
            for x in range(0, W, 100):
                body += svg.rect(x + 2, y + 2, 96, 56, r=3, fill=style.mix(c[1], "#ffffff", 0.1))
                for dx, dy in ((8, 8), (90, 8), (8, 50), (90, 50)):
                    body += svg.ellipse(x + dx, y + dy, 2.5, 2.5, fill=style.shade(c[1]))
    elif name == "blimp":
        body += svg.rect(0, WALL, W, H - WALL, fill=style.mix(c[1], "#d8c8a4", 0.3))
        for y in range(WALL, H, 40):
            for x in range(0, W, 40):
                if (x // 40 + y // 40) % 2:
                    body += svg.rect(x, y, 40, 40, fill=style.mix(c[1], c[2], 0.12))
    else:
        body += svg.rect(0, WALL, W, H - WALL, fill=style.mix(c[0], "#201640", 0.3))
        for y in range(WALL, H, 50):
            body += svg.rect(0, y, W, 1.5, fill=c[2], opacity=0.35)
        for x in range(0, W, 50):
            body += svg.rect(x, WALL, 1.5, H - WALL, fill=c[2], opacity=0.35)
    return body


def wall(name):
    c = palette(name)
    colour = {"cruise": c[1], "train": c[0], "sub": c[0], "blimp": c[1], "spaceship": c[1]}[name]
    body = svg.rect(0, 0, W, WALL, fill=colour)
    body += svg.rect(0, 0, W, 10, fill=style.shade(colour))
    trim = {"cruise": c[0], "train": c[2], "sub": c[1], "blimp": c[2], "spaceship": c[2]}[name]
    body += svg.rect(0, WALL - 12, W, 12, fill=trim) + svg.rect(0, WALL - 2, W, 2, fill=svg.OUTLINE)
    if name == "cruise":
        for x in range(0, W, 100):
            body += svg.ellipse(x + 50, 136, 6, 6, fill="#ffffff", stroke=c[3], stroke_width=3)
    if name == "train":
        for x in (180, 420, 600):
            body += svg.rect(x, 40, 6, 60, fill=c[2]) + svg.ellipse(x + 3, 38, 10, 8, fill=c[3])
    if name == "blimp":
        body += svg.rect(0, 10, W, 6, fill=c[2])
    if name == "spaceship":
        body += svg.rect(0, 126, W, 4, fill=c[2])
    return body


def background(name):
    body = floor(name) + wall(name)
    for spec in windows(name):
        body += frames(name, spec)
    holes = "".join(shape(s, fill="#000000") for s in windows(name))
    room = svg.document(W, H, "<defs><mask id='m'><rect width='%d' height='%d' fill='#ffffff'/>%s</mask></defs>"
                        % (W, H, holes) + svg.group(body, mask="url(#m)"))
    mask = svg.document(W, H, svg.rect(0, 0, W, H, fill="#ffffff") + holes)
    return svg.render(room), svg.render(mask)


# ---------------------------------------------------------------- outside

def ambient(name):
    c = palette(name)
    w = 800
    if name == "cruise":
        body = svg.rect(0, 0, w, WALL, fill="#bfe3f3") + svg.rect(0, 80, w, WALL - 80, fill=c[3])
        for x in range(0, w, 80):
            body += svg.path("M%d 96 q20 -6 40 0" % x, stroke="#ffffff", stroke_width=2, fill="none", opacity=0.6)
    elif name == "train":
        body = svg.rect(0, 0, w, WALL, fill="#cfe6c2") + svg.rect(0, 90, w, 60, fill="#7fa862")
        for x in range(0, w, 200):
            body += svg.path("M%d 90 L%d 40 L%d 90 Z" % (x, x + 100, x + 200), fill="#8aa0b8")
    elif name == "sub":
        body = svg.rect(0, 0, w, WALL, fill=style.mix(c[0], "#0b3f52", 0.3))
        for x in range(20, w, 60):
            body += svg.ellipse(x, 40 + (x * 7) % 70, 3, 3, fill=c[2], opacity=0.5)
        body += svg.path("M0 150 Q200 110 400 140 T800 150 Z", fill="#c8b27a")
    elif name == "blimp":
        body = svg.rect(0, 0, w, WALL, fill=c[0])
        for x, y in ((60, 50), (300, 90), (520, 40), (700, 100)):
            body += svg.ellipse(x, y, 50, 16, fill="#ffffff", opacity=0.8)
    else:
        body = svg.rect(0, 0, w, WALL, fill="#120a24")
        for k in range(60):
            body += svg.ellipse((k * 137) % w, (k * 53) % WALL, 1.2, 1.2, fill="#ffffff", opacity=0.8)
    return render(w, WALL, body)


def island(k):
    w, h = 160 + 30 * k, 110
    body = svg.path("M0 %d Q%d %d %d %d Z" % (h, w // 2, 40 - 5 * k, w, h), fill="#7fb86a", stroke="#4f7b44",
                    stroke_width=2)
    body += svg.path("M%d %d L%d %d" % (w // 2, 60, w // 2 + 6, 18), stroke="#8a5a2b", stroke_width=4)
    body += svg.ellipse(w // 2 + 6, 18, 18, 7, fill="#4fa35a")
    return render(w, h, body)


def fish(n, step):
    colours = ["#f08a3c", "#f4c430", "#e0606a", "#71a1e9", "#80d192", "#f7d56a"]
    c = colours[n]
    tail = 4 if step else -4
    body = svg.path("M30 12 L40 %d L40 %d Z" % (4 + tail, 20 + tail), **svg.outlined(style.shade(c), 1.5))
    body += svg.ellipse(18, 12, 14, 8, **svg.outlined(c, 1.5)) + svg.ellipse(10, 10, 2, 2, fill=svg.OUTLINE)
    return render(44, 26, body)


def ship():
    body = svg.path("M0 110 L40 70 L300 70 L340 110 Z", fill="#3a4650", opacity=0.8)
    body += svg.rect(120, 40, 60, 30, fill="#3a4650", opacity=0.8)
    return render(340, 120, body)


def planet(k):
    colours = ["#e38b4f", "#8cc7ee", "#4fbf68", "#c3c8d4", "#f4c430"]
    r = 30 + 8 * k
    body = svg.ellipse(r + 10, r + 10, r, r, **svg.outlined(colours[k]))
    body += svg.ellipse(r + 10 + r // 3, r + 10 + r // 3, r // 2, r // 3, fill=style.shade(colours[k]))
    if k % 2:
        body += svg.ellipse(r + 10, r + 10, r + 12, 6, fill="none", stroke="#ffffff", stroke_width=2)
    return render(2 * r + 20, 2 * r + 20, body)


def comet(step):
    body = svg.path("M0 %d L60 20 L60 30 Z" % (10 + step * 4), fill="#4ee2ec", opacity=0.6)
    body += svg.ellipse(62, 25, 7, 7, fill="#ffffff")
    return render(72, 50, body)


def foreground(name):
    if name == "train":
        body = ""
        for x in range(0, 800, 160):
            body += svg.rect(x + 70, 0, 8, 103, fill="#5a4030") + svg.rect(x + 50, 10, 48, 4, fill="#5a4030")
        return render(800, 103, body)
    body = ""
    for x, y in ((100, 60), (420, 100), (650, 50)):
        body += svg.ellipse(x, y, 70, 20, fill="#ffffff", opacity=0.9)
    return render(800, WALL, body)


def night():
    return render(200, 150, svg.rect(0, 0, 200, 150, fill="#0a0f2a", opacity=0.7)
                  + svg.ellipse(160, 30, 10, 10, fill="#f7f0c0"))


def tubeglow(name):
    c = palette(name)
    return render(W, WALL, svg.rect(30, 18, 740, 104, r=52, fill="none", stroke=c[2], stroke_width=10,
                                     opacity=0.8))


# ---------------------------------------------------------------- decor

DECOR_SPOTS = [(0, 250), (750, 250), (0, 400), (750, 320)]  # top left of each decor


def decor_item(name, k):
    c = palette(name)
    if k == 0:  # a plant
        return (svg.rect(14, 36, 22, 20, r=3, **svg.outlined(c[2] if name != "blimp" else c[2]))
                + svg.ellipse(25, 26, 18, 16, **svg.outlined("#4fa35a")))
    if k == 1:  # a painting of the restaurant's own world
        return (svg.rect(4, 6, 42, 34, r=2, **svg.outlined(c[2] if name in ("cruise", "train") else c[1]))
                + svg.rect(9, 11, 32, 24, fill=c[3] if name != "blimp" else c[0]))
    if k == 2:  # a lamp
        return (svg.rect(22, 14, 6, 40, fill=svg.OUTLINE) + svg.path("M10 18 L40 18 L32 4 L18 4 Z",
                                                                       **svg.outlined(c[3] if name != "blimp" else c[2])))
    return svg.ellipse(25, 30, 20, 20, **svg.outlined(c[1])) + svg.ellipse(25, 30, 10, 10, fill=c[2])


def write_upgrades(folder, name):
    os.makedirs(folder, exist_ok=True)
    for k, (x, y) in enumerate(DECOR_SPOTS):
        body = decor_item(name, k)
        glow = svg.group(body.replace(svg.OUTLINE, GLOW), opacity=0.9)
        for option, picture in ((0, render(50, 58, body)), (1, render(50, 58, body)), (2, render(50, 58, glow))):
            image = "%d_%d.png" % (k + 1, option)
            png.write(os.path.join(folder, image), picture)
def write_animation(folder, file, pictures, reg, delay=120):
    a = anim.Animation(file.replace(".anm", ""), image=file.replace(".anm", ".png"))
    for k, picture in enumerate(pictures):
        a.frame("f%d" % k, picture, reg=reg)
    a.script("function DoAnim()\n    delay(%d);\n    while 1 do\n        frames{%s};\n    end\nend\n"
             % (delay, ",".join(str(k + 1) for k in range(len(pictures)))))
    a.write(folder, file)


def write_restaurant(out, name):
    base = os.path.join(out, name)
    extra = os.path.join(base, "extra")
    for folder in (base, extra):
        os.makedirs(folder, exist_ok=True)
    room, mask = background(name)
    png.write(os.path.join(base, "background.png"), room)
    png.write(os.path.join(base, "mask.png"), mask)
    png.write(os.path.join(base, "ambient.png"), ambient(name))
    if name == "cruise":
        for k in range(5):
            png.write(os.path.join(extra, "island_%c.png" % "abcde"[k]), island(k))
    if name in ("train", "blimp"):
        png.write(os.path.join(extra, "ambient_foreground.png"), foreground(name))
        png.write(os.path.join(extra, "ambient_nighttime.png"), night())
    if name == "sub":
        png.write(os.path.join(extra, "ship.png"), ship())
        for n in range(6):
            write_animation(extra, "fish%d.anm" % (n + 1), [fish(n, 0), fish(n, 1)], (0, 0), 200 + 40 * n)
    if name == "spaceship":
        for k in range(5):
            png.write(os.path.join(extra, "planet%d.png" % (k + 1)), planet(k))
        a = anim.Animation("comet", image="comet.png", reg=(200, 40))
        for step in range(3):
            a.frame("c%d" % step, comet(step), reg=(36, 25))
        a.script("function DoAnim()\n    delay(100);\n    frames{1,2,3,2,1,2,3};\nend\n")
        a.write(extra, "comet.anm")
        png.write(os.path.join(extra, "tubeglow.png"), tubeglow(name))
    write_upgrades(os.path.join(base, "upgrades"), name)


def main(out):
    for name in ORDER:
        write_restaurant(out, name)


if __name__ == "__main__":
    main(sys.argv[1])
