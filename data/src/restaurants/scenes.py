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
  _decor.spots(); the chairs take slot 4, the one after the last decor).
The performers the phone calls are drawn with the staff in staff.py.
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
    room, mask = _rooms.backdrop(name)
    with open(os.path.join(base, "background.png"), "wb") as f:
        f.write(svg.render_bytes(room))
    with open(os.path.join(base, "mask.png"), "wb") as f:
        f.write(svg.render_bytes(mask))
    write_scenery(base, extra, name)
    write_upgrades(os.path.join(base, "upgrades"), name)


def main(out):
    with multiprocessing.Pool(min(len(ORDER), os.cpu_count() or 1)) as pool:
        pool.starmap(write_restaurant, [(out, name) for name in ORDER])


if __name__ == "__main__":
    main(sys.argv[1])
