"""Each restaurant's room and what moves behind it, in the restaurant's own
colours (qmcontent.style.RESTAURANTS). For restaurant NAME in
"restaurants/NAME/":
  background.png (the room, _rooms.py; its windows transparent) and mask.png
  (white where the room is, black where the windows are: the game takes the
  background's alpha from it), ambient.png (the strip seen through the
  windows, _outside.py, scrolled and wrapped by the game);
  extra/...: cruise islands island_a..e; train and blimp
  ambient_foreground.png and ambient_nighttime; sub ship (a wreck on the
  seabed) and fish1..6.anm; spaceship planet1..5, comet.anm and tubeglow
  (the teleport pad's flash when a party beams in);
  upgrades/N_0 (the decor), N_1 (the offer shown while choosing, also its
  hit mask) and N_2 (its glow) for decor 1-4 (_decor.py), placed by the
  hand-written upgrades/upgrades.xml beside them (its frame points are minus
  _decor.spots(); its decor 5 stands for the chairs);
  people/entertainer.anm (the performer the phone calls; "DoAnim" plays a
  short loop), and for the blimp people/entertainer2.anm, the karaoke singer.
Each restaurant is drawn in a process of its own."""
import multiprocessing
import os
import sys

from qmcontent import anim, png, style, svg

import _decor
import _outside
import _rooms

ORDER = ["cruise", "train", "sub", "blimp", "spaceship"]
W, H = 800, 600
WALL = _rooms.WALL


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def save(path, w, h, body):
    """Writes the drawing straight from the renderer (large pictures)."""
    with open(path, "wb") as f:
        f.write(svg.render_bytes(svg.document(w, h, body)))


def palette(name):
    return list(style.RESTAURANTS[name].values())


# ---------------------------------------------------------------- scenery

def write_scenery(base, extra, name):
    strips = {"cruise": _outside.cruise_strip, "train": _outside.train_strip, "sub": _outside.sub_strip,
              "blimp": _outside.blimp_strip, "spaceship": _outside.space_strip}
    save(os.path.join(base, "ambient.png"), 800, WALL, strips[name]())
    if name == "cruise":
        for k in range(5):
            w, h, body = _outside.island(k)
            png.write(os.path.join(extra, "island_%c.png" % "abcde"[k]), render(w, h, body))
    if name in ("train", "blimp"):
        if name == "train":
            save(os.path.join(extra, "ambient_foreground.png"), 800, 103, _outside.poles())
        else:
            save(os.path.join(extra, "ambient_foreground.png"), 800, WALL, _outside.near_clouds())
        save(os.path.join(extra, "ambient_nighttime.png"), 800, WALL, _outside.night())
    if name == "sub":
        png.write(os.path.join(extra, "ship.png"), render(340, 120, _outside.wreck()))
        for n in range(6):
            frames = []
            for step in (0, 1):
                w, h, body = _outside.fish(n, step)
                frames.append(render(w, h, body))
            write_animation(extra, "fish%d.anm" % (n + 1), frames, (0, 0), 200 + 40 * n)
    if name == "spaceship":
        for k in range(5):
            w, h, body = _outside.planet(k)
            png.write(os.path.join(extra, "planet%d.png" % (k + 1)), render(w, h, body))
        a = anim.Animation("comet", image="comet.png", reg=(200, 40))
        for step in range(3):
            w, h, body = _outside.comet(step)
            a.frame("c%d" % step, render(w, h, body), reg=(48, 25))
        a.script("function DoAnim()\n    delay(100);\n    frames{1,2,3,2,1,2,3};\nend\n")
        a.write(extra, "comet.anm")
        png.write(os.path.join(extra, "tubeglow.png"), render(130, 600, tubeglow()))


def tubeglow():
    """The flash over the teleport pad at the foot of the line (drawn at the
    screen's top left, so the picture reaches down to the pad)."""
    cyan = palette("spaceship")[2]
    body = svg.defs(svg.linear_gradient("beam", [(0, cyan, 0), (0.6, cyan, 0.35), (1, "#ffffff", 0.7)]))
    body += svg.rect(22, 400, 80, 146, r=30, fill="url(#beam)")
    body += svg.ellipse(62, 546, 50, 22, fill="none", stroke=cyan, stroke_width=5, opacity=0.8)
    body += svg.ellipse(62, 546, 34, 13, fill="#ffffff", opacity=0.5)
    for k, y in enumerate((470, 500, 525)):
        body += svg.ellipse(62, y, 30 - 4 * k, 6, fill="none", stroke="#ffffff", stroke_width=2, opacity=0.5)
    return body


# ---------------------------------------------------------------- decor

def write_upgrades(folder, name):
    os.makedirs(folder, exist_ok=True)
    for n in range(1, 5):
        body, (w, h) = _decor.item(name, n)
        for option, drawing in ((0, body), (1, _decor.offered(body)), (2, _decor.glowing(body))):
            png.write(os.path.join(folder, "%d_%d.png" % (n, option)), render(w, h, drawing))


# ---------------------------------------------------------------- performers

def performer(name, step, singer=False):
    c = palette(name)
    skin = style.SKIN[(ORDER.index(name) + (2 if singer else 0)) % 4]
    bob = (0, -3, 0, 2)[step]
    body = svg.rect(22, 44 + bob, 36, 40, r=10, **svg.outlined(c[0] if not singer else c[2]))
    body += svg.ellipse(40, 30 + bob, 13, 13, **svg.outlined(skin))
    body += svg.ellipse(35, 28 + bob, 1.8, 2.2, fill=svg.OUTLINE) + svg.ellipse(45, 28 + bob, 1.8, 2.2, fill=svg.OUTLINE)
    body += svg.path("M35 35 Q40 39 45 35", stroke=svg.OUTLINE, stroke_width=1.5, fill="none")
    instrument = {
        "cruise": svg.ellipse(40, 74, 18, 8, **svg.outlined(c[2])) + svg.ellipse(40, 72, 12, 4, fill=style.light(c[2])),
        "train": svg.rect(6, 66, 68, 20, r=3, **svg.outlined("#2b2226")) + svg.rect(10, 68, 60, 6, fill="#ffffff"),
        "sub": svg.rect(10, 70, 60, 8, r=2, **svg.outlined("#8a5a2b")) + svg.rect(14, 78, 4, 10, fill=svg.OUTLINE),
        "blimp": svg.rect(24, 58, 32, 22, r=3, **svg.outlined(c[2])) + svg.rect(30, 60, 4, 18, fill="#ffffff"),
        "spaceship": svg.rect(10, 66, 60, 14, r=3, **svg.outlined(c[1])) + svg.rect(16, 70, 48, 4, fill=c[2]),
    }[name]
    if singer:
        instrument = svg.rect(56, 40 + bob, 4, 20, fill=svg.OUTLINE) + svg.ellipse(58, 38 + bob, 5, 5, fill="#9a9a9a")
    arm = (-4, 2, -2, 4)[step]
    body += instrument
    body += svg.ellipse(26, 66 + arm, 5, 5, **svg.outlined(skin, 1.5)) + svg.ellipse(54, 66 - arm, 5, 5, **svg.outlined(skin, 1.5))
    return render(80, 92, body)


def write_performer(folder, name, file, singer=False):
    a = anim.Animation("entertainer", image=file.replace(".anm", ".png"))
    for step in range(4):
        a.frame("play%d" % step, performer(name, step, singer), reg=(40, 84))
    a.script("function DoAnim()\n    delay(180);\n    while 1 do\n        frames{1,2,3,4};\n    end\nend\n")
    a.write(folder, file)


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
    people = os.path.join(base, "people")
    for folder in (base, extra, people):
        os.makedirs(folder, exist_ok=True)
    room, mask = _rooms.backdrop(name)
    with open(os.path.join(base, "background.png"), "wb") as f:
        f.write(svg.render_bytes(room))
    with open(os.path.join(base, "mask.png"), "wb") as f:
        f.write(svg.render_bytes(mask))
    write_scenery(base, extra, name)
    write_upgrades(os.path.join(base, "upgrades"), name)
    write_performer(people, name, "entertainer.anm")
    if name == "blimp":
        write_performer(people, name, "entertainer2.anm", singer=True)


def main(out):
    with multiprocessing.Pool(min(len(ORDER), os.cpu_count() or 1)) as pool:
        pool.starmap(write_restaurant, [(out, name) for name in ORDER])


if __name__ == "__main__":
    main(sys.argv[1])
