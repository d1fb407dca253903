"""The wardrobe's extra clothing on the waitress rig (_waitress.py): boots,
trousers, a striped sailor top, a bib apron, a hair bow and a sailor cap;
then, for the later restaurants, a polka-dot blouse, canvas sneakers, a
pleated skirt with a white hem, a star-print apron and a star hair clip.
Each draws in the tintable marking like the default clothing and takes the
same poses, so it fits every frame of her body. ITEMS lists every item file
of a slot in file-name order: the order the wardrobe finds them on disk,
which is the frame number of the item in the wardrobe's pictures."""
import math

import _waitress as rig
from qmcontent.svg import OUTLINE, ellipse, path, rect

MARK_LIGHT, MARK, MARK_SHADE, LACE = rig.MARK_LIGHT, rig.MARK, rig.MARK_SHADE, rig.LACE


def boots(pose):
    out = ""
    for s in (0, 1):
        _, (fx, fy) = rig.leg_points(pose, s)
        toe = 4 if pose["dir"] == "S" else 0
        out += rect(fx - 5, fy - 13, 10, 15, r=2, fill=MARK, stroke=OUTLINE, stroke_width=1.8)
        out += path("M%d %d L%d %d L%d %d L%d %d Z" % (fx - 5, fy + 1, fx + 6 + toe, fy + 1, fx + 6 + toe, fy + 6,
                                                      fx - 5, fy + 6), fill=MARK, stroke=OUTLINE, stroke_width=1.8)
        out += path("M%d %d L%d %d" % (fx - 5, fy - 11, fx + 5, fy - 11), stroke=LACE, stroke_width=2)
        out += ellipse(fx - 2, fy - 6, 1.5, 3, fill=MARK_LIGHT)
    return out


def trousers(pose):
    bob = pose["bob"]
    out = path("M23 %d L49 %d L48 %d L24 %d Z" % (rig.HIP_Y - 4 + bob, rig.HIP_Y - 4 + bob, 90 + bob, 90 + bob),
               fill=MARK, stroke=OUTLINE, stroke_width=2, stroke_linejoin="round")
    for s in (0, 1):
        (tx, ty), (fx, fy) = rig.leg_points(pose, s)
        out += rig.limb(tx, ty - 8, fx, fy - 4, 11, MARK)
    out += path("M36 %d L36 %d" % (rig.HIP_Y + bob, 90 + bob), stroke=MARK_SHADE, stroke_width=2)
    out += path("M27 %d L27 %d" % (rig.HIP_Y + bob, 88 + bob), stroke=MARK_LIGHT, stroke_width=2.5,
                stroke_linecap="round")
    return out


def sailor_top(pose):
    bob = pose["bob"]
    out = rig.top(pose)
    # White stripes across the body (the tint leaves white alone).
    for y in (62, 68, 74):
        out += path("M24 %d L48 %d" % (y + bob, y + bob), stroke=LACE, stroke_width=2.2)
    if pose["dir"] != "B":
        out += path("M27 %d L36 %d L45 %d L42 %d L36 %d L30 %d Z" % (50 + bob, 60 + bob, 50 + bob, 49 + bob,
                                                                     56 + bob, 49 + bob),
                    fill="#24395e", stroke=OUTLINE, stroke_width=1.2)
    return out


def bib_apron(pose):
    bob = pose["bob"]
    if pose["dir"] == "B":
        return rig.apron(pose)
    out = path("M28 %d L44 %d L45 %d L46 %d L26 %d L27 %d Z" % (56 + bob, 56 + bob, rig.HIP_Y - 3 + bob, 95 + bob,
                                                                95 + bob, rig.HIP_Y - 3 + bob),
               fill=MARK_LIGHT, stroke=OUTLINE, stroke_width=1.8, stroke_linejoin="round")
    out += path("M28 %d L24 %d M44 %d L48 %d" % (56 + bob, 50 + bob, 56 + bob, 50 + bob), stroke=MARK,
                stroke_width=2.5)
    out += rect(31, 62 + bob, 10, 7, r=1.5, fill=MARK, stroke=OUTLINE, stroke_width=1.2)
    out += path("M26 %d L46 %d" % (rig.HIP_Y - 2 + bob, rig.HIP_Y - 2 + bob), stroke=MARK_SHADE, stroke_width=3)
    out += path("M30 %d Q36 %d 42 %d" % (88 + bob, 91 + bob, 88 + bob), stroke=MARK, stroke_width=2, fill="none")
    return out


def sailor_cap(pose):
    bob = pose["bob"]
    out = ellipse(36, 13 + bob, 17, 5, fill=MARK_SHADE, stroke=OUTLINE, stroke_width=1.5)
    out += path("M22 %d Q22 %d 36 %d Q50 %d 50 %d Z" % (13 + bob, 1 + bob, 0 + bob, 1 + bob, 13 + bob), fill=MARK,
                stroke=OUTLINE, stroke_width=1.6)
    out += path("M24 %d L48 %d" % (10 + bob, 10 + bob), stroke=LACE, stroke_width=2)
    out += ellipse(30, 5 + bob, 4, 1.6, fill=MARK_LIGHT)
    return out


def polka_blouse(pose):
    bob = pose["bob"]
    out = rig.top(pose)
    for x, y in ((28, 60), (44, 59), (31, 67), (41, 66), (27, 74), (36, 73), (45, 74)):
        out += ellipse(x, y + bob, 1.8, 1.8, fill=LACE)
    return out


def sneakers(pose):
    out = ""
    for s in (0, 1):
        _, (fx, fy) = rig.leg_points(pose, s)
        toe = 4 if pose["dir"] == "S" else 0
        out += path("M%d %d L%d %d Q%d %d %d %d L%d %d Z" % (fx - 5, fy + 4, fx - 4, fy - 4, fx + 3, fy - 3,
                                                              fx + 5 + toe, fy + 3, fx - 5, fy + 4),
                    fill=MARK, stroke=OUTLINE, stroke_width=1.8, stroke_linejoin="round")
        # The white rubber sole and toe cap, and a lace across the top.
        out += rect(fx - 6, fy + 3, 12 + toe, 4, r=1.5, fill=LACE, stroke=OUTLINE, stroke_width=1.4)
        out += path("M%d %d L%d %d" % (fx - 3, fy - 1, fx + 2, fy - 2), stroke=LACE, stroke_width=1.4)
    return out


def pleated_skirt(pose):
    bob = pose["bob"]
    sway = pose["stride"] * 2
    out = rig.bottom(pose)
    for k in range(1, 5):
        top_x = 24 + k * 4.8
        out += path("M%g %d L%g %d" % (top_x, rig.HIP_Y + bob, top_x + (k - 2.5) * 2.2 + sway * 0.5, 93 + bob),
                    stroke=MARK_SHADE, stroke_width=1.2)
    out += path("M%d %d Q36 %d %d %d" % (20 + sway, 93 + bob, 96 + bob, 52 + sway, 93 + bob), stroke=LACE,
                stroke_width=2.4, fill="none")
    return out


def _star(cx, cy, r, **attrs):
    points = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        k = r if i % 2 == 0 else r * 0.45
        points.append("%.1f %.1f" % (cx + math.cos(a) * k, cy + math.sin(a) * k))
    return path("M" + " L".join(points) + " Z", **attrs)


def star_apron(pose):
    bob = pose["bob"]
    out = rig.apron(pose)
    if pose["dir"] == "B":
        return out
    x0 = 26 if pose["dir"] == "F" else 30
    for dx, dy in ((3, 79), (18, 80), (10, 93)):  # around the pocket, not on it
        out += _star(x0 + dx, dy + bob, 2.4, fill="#f4c430", stroke=OUTLINE, stroke_width=0.6)
    return out


def star_clip(pose):
    bob = pose["bob"]
    cx = 36 if pose["dir"] == "B" else 47
    out = _star(cx, 11 + bob, 6.5, fill=MARK, stroke=OUTLINE, stroke_width=1.5, stroke_linejoin="round")
    out += ellipse(cx - 1.5, 9 + bob, 1.5, 1.2, fill=MARK_LIGHT)
    return out


ITEMS = {
    "shoes": [("shoes1", rig.shoes), ("shoes2", boots), ("shoes3", sneakers)],
    "bottom": [("bottom1", rig.bottom), ("bottom2", trousers), ("bottom3", pleated_skirt)],
    "top": [("top1", rig.top), ("top2", sailor_top), ("top3", polka_blouse)],
    "apron": [("apron1", rig.apron), ("apron2", bib_apron), ("apron3", star_apron)],
    "accessory": [("accessory1", rig.accessory), ("accessory2", sailor_cap), ("accessory3", star_clip)],
}
# Written here; the first item of each of the first four slots is the
# default clothing, which quessa.py writes.
NEW_FILES = ["shoes2", "bottom2", "top2", "apron2", "accessory1", "accessory2", "top3", "shoes3", "bottom3",
             "apron3", "accessory3"]


def drawer(name):
    for items in ITEMS.values():
        for file_name, draw in items:
            if file_name == name:
                return draw
    raise KeyError(name)
