"""The waitress rig: one pose description drawn as six stacked pictures of
the same size and registration point (her feet): the body (skin, hair,
face) and the clothing layers shoes, bottom, top, apron, accessory. The game
draws the body, then each layer with the body's frame number, so every
layer must have the very same frames in the same order; they come from the
same poses here.

Clothing is drawn in the tintable marking: the game recolours every pixel
whose blue and red are close but whose blue and green differ, keeping its
lightness (blue / 255). So garments use a magenta ramp (MARK) and their
details (buttons, lace) stay grey or white, which the tint leaves alone."""
import math

from qmcontent import style
from qmcontent.svg import OUTLINE, ellipse, group, path, rect

W, H = 72, 124
REG = (36, 118)  # her feet: the game's position of her
SHOULDERS = ((25, 55), (47, 55))
HIP_Y = 78
SKIN = style.SKIN[0]
HAIR = "#5a3424"

# Tintable ramp: lightness 1.0, 0.82, 0.58 (blue channel), green apart.
MARK_LIGHT, MARK, MARK_SHADE = "#ff00ff", "#d100d1", "#940094"
LACE = "#f4f4f4"
LACE_SHADE = "#c8c8c8"

DEFAULT = {
    "dir": "F",     # F facing the player, B her back, S her right side (mirrored for left)
    "bob": 0,       # px down
    "stride": 0,    # -1..1: which leg is ahead (standing)
    "phase": None,  # walking: the stride's phase in radians (legs, arms and skirt follow it)
    "tilt": 0,      # degrees, the whole figure leaning about her feet
    "hold": 0,      # hands held out carrying: 0, 1 (hand1) or 2 (both)
    "swing": 0,     # arm swing when walking with free hands
    "special": None,  # "phone", "podium", "stretch", "look", "tap", "trans"
    "eyes": "open",     # open, closed or wink
    "mood": "smile",    # smile, open; the comics' also grin, worried, surprised
    "brows": "calm",    # calm, raised, worried
}

LAYERS = ("body", "shoes", "bottom", "top", "apron", "accessory")


def hand_points(pose):
    """Hand centres (hand1 her right = picture left, hand2) in frame pixels."""
    bob = pose["bob"]
    (lx, ly), (rx, ry) = SHOULDERS
    swing = pose["swing"]
    if pose["dir"] == "S":
        # Seen from the side the free arms swing forward and back, each
        # against the leg of its side (her left, the near one, is hand2).
        left = (lx - 3 + swing * 2, ly + 23 - swing * 0.5 + bob)
        right = (rx + 3 - swing * 2, ly + 23 + swing * 0.5 + bob)
    else:
        left = (lx - 5, ly + 24 + swing + bob)
        right = (rx + 5, ly + 24 - swing + bob)
    if pose["hold"] >= 1:
        left = (lx - 13, ly + 9 + bob)
    if pose["hold"] >= 2:
        right = (rx + 13, ly + 9 + bob)
    special = pose["special"]
    if special == "phone":
        right = (rx + 2, 34 + bob)
    elif special == "podium":
        right = (rx + 12, ly + 4 + bob)
    elif special == "stretch":
        left, right = (lx - 8, 14 + bob), (rx + 8, 14 + bob)
    elif special == "look":
        right = (rx + 9, 26 + bob)
    # Poses of the story comics.
    elif special == "wave":
        right = (rx + 12, 20 + bob)
    elif special == "cheer":
        left, right = (lx - 12, 12 + bob), (rx + 12, 12 + bob)
    elif special == "letter":
        left, right = (lx + 1, ly + 13 + bob), (rx - 1, ly + 13 + bob)
    elif special == "hips":
        left, right = (lx - 9, ly + 18 + bob), (rx + 9, ly + 18 + bob)
    return left, right


def tilted(pose, point):
    """Where a point of the picture lands once she leans by the pose's tilt."""
    a = math.radians(pose["tilt"])
    x, y = point[0] - REG[0], point[1] - REG[1]
    return REG[0] + x * math.cos(a) - y * math.sin(a), REG[1] + x * math.sin(a) + y * math.cos(a)


def anchors(pose):
    left, right = (tilted(pose, p) for p in hand_points(pose))
    # Items sit just above the hand that holds them.
    return {"hand1": (round(left[0] - REG[0]), round(left[1] - 6 - REG[1])),
            "hand2": (round(right[0] - REG[0]), round(right[1] - 6 - REG[1]))}


def limb(x1, y1, x2, y2, width, fill):
    d = "M%.1f %.1f L%.1f %.1f" % (x1, y1, x2, y2)
    common = 'stroke-linecap="round" fill="none"'
    return ('<path d="%s" stroke="%s" stroke-width="%.1f" %s/>' % (d, OUTLINE, width + 4, common)
            + '<path d="%s" stroke="%s" stroke-width="%.1f" %s/>' % (d, fill, width, common))


def leg_points(pose, side):
    """Top and foot of a leg. Standing, the stride lifts one foot (and moves
    it aside in profile); walking, each foot swings forward lifted through
    its half of the phase and pushes back on the floor through the other."""
    x = 31 if side == 0 else 41
    sign = 1 if side == 0 else -1
    if pose["phase"] is None:
        lift = max(0, pose["stride"] * sign) * 4
        dx = pose["stride"] * 7 * sign if pose["dir"] == "S" else 0
    else:
        lift = max(0.0, math.sin(pose["phase"]) * sign) * 5
        dx = -8 * math.cos(pose["phase"]) * sign if pose["dir"] == "S" else 0
    if pose["dir"] == "S":
        x = 36
    return (x, 92 + pose["bob"]), (x + dx, 113 - lift)


def body(pose):
    skin, skin_shade, skin_light = SKIN, style.shade(SKIN), style.light(SKIN)
    bob = pose["bob"]
    back = pose["dir"] == "B"
    side = pose["dir"] == "S"
    out = ""
    # Ponytail behind the head (in front when seen from behind).
    tail = path("M%d %d Q%d %d %d %d" % (50, 22 + bob, 62, 34 + bob, 54, 50 + bob), stroke=OUTLINE,
                stroke_width=11, fill="none", stroke_linecap="round") + \
        path("M%d %d Q%d %d %d %d" % (50, 22 + bob, 62, 34 + bob, 54, 50 + bob), stroke=HAIR, stroke_width=7,
             fill="none", stroke_linecap="round")
    if not back:
        out += tail
    for s in (0, 1):
        top, foot = leg_points(pose, s)
        out += limb(top[0], top[1], foot[0], foot[1], 7, skin)
    left, right = hand_points(pose)
    for (sx, sy), (hx, hy) in zip(SHOULDERS, (left, right)):
        out += limb(sx, sy + bob, hx, hy, 7, skin)
        out += ellipse(hx, hy, 4.5, 4.5, fill=skin, stroke=OUTLINE, stroke_width=2)
        out += ellipse(hx - 1, hy - 1.2, 1.8, 1.6, fill=skin_light)
    out += rect(32, 42 + bob, 8, 12, fill=skin, stroke=OUTLINE, stroke_width=2)
    turn = 4 if side else 0
    out += ellipse(36, 30 + bob, 19, 18, fill=skin, stroke=OUTLINE, stroke_width=2)
    out += path("M53 24 Q56 42 40 47 Q52 40 53 24 Z", fill=skin_shade)
    if back:
        out += ellipse(36, 29 + bob, 19.5, 18.5, fill=HAIR, stroke=OUTLINE, stroke_width=2)
        out += ellipse(30, 20 + bob, 6, 3, fill=style.light(HAIR), transform="rotate(-20 30 %d)" % (20 + bob))
        out += tail
        return out
    # Fringe and bun band.
    out += path("M17 29 Q16 10 36 9 Q56 10 55 29 Q50 18 40 20 Q30 15 24 24 Q20 26 17 29 Z" if not side else
                "M17 31 Q15 10 36 9 Q57 10 55 26 Q48 18 34 19 Q26 20 22 31 Z",
                fill=HAIR, stroke=OUTLINE, stroke_width=1.8, transform="translate(0 %d)" % bob)
    out += ellipse(27, 15 + bob, 5, 2.5, fill=style.light(HAIR), transform="rotate(-18 27 %d)" % (15 + bob))
    out += face(pose, turn)
    return out


def face(pose, turn):
    bob = pose["bob"]
    out = ""
    eyes = (30 + turn, 42 + turn) if not turn else (38 + turn,)
    for ex in eyes:
        ey = 31 + bob
        if pose["eyes"] == "closed" or (pose["eyes"] == "wink" and ex > 36 + turn):
            out += path("M%d %d Q%d %d %d %d" % (ex - 4, ey, ex, ey + 3, ex + 4, ey), fill="none", stroke=OUTLINE,
                        stroke_width=1.8, stroke_linecap="round")
            continue
        out += ellipse(ex, ey, 4, 5, fill="#ffffff", stroke=OUTLINE, stroke_width=1.5)
        out += ellipse(ex + 0.6 + (1 if turn else 0), ey + 0.8, 2.3, 2.8, fill="#3b6a8a")
        out += ellipse(ex - 0.4, ey - 0.6, 0.9, 0.9, fill="#ffffff")
        # (left end, right end) of each brow: worried lifts the ends near the nose.
        lift = {"calm": (0, 0), "raised": (-2.5, -2.5), "worried": (0.5 if ex < 36 + turn else -2.5,
                                                                    -2.5 if ex < 36 + turn else 0.5)}
        inner, outer = lift[pose["brows"]]
        out += path("M%g %g L%g %g" % (ex - 3, ey - 8 + inner, ex + 3, ey - 9 + outer), stroke=OUTLINE,
                    stroke_width=1.6, stroke_linecap="round")
    cheek = style.mix(SKIN, "#e0606a", 0.45)
    out += ellipse(26 + turn * 2, 38 + bob, 3, 1.8, fill=cheek)
    if not turn:
        out += ellipse(46, 38 + bob, 3, 1.8, fill=cheek)
    mouth = {"smile": "M%d 40 Q%d 44 %d 40", "open": "M%d 40 Q%d 46 %d 40 Z", "grin": "M%d 39 Q%d 48 %d 39 Z",
             "worried": "M%d 42 Q%d 39 %d 42", "surprised": "M%d 41 Q%d 37 %d 41 Q%d 47 %d 41 Z"}[pose["mood"]]
    mx = 36 + turn * 2
    points = (mx - 4, mx, mx + 4) if pose["mood"] != "surprised" else (mx - 2.5, mx, mx + 2.5, mx, mx - 2.5)
    if pose["mood"] == "grin":
        points = (mx - 5, mx, mx + 5)
    out += path(mouth.replace("%d", "%g") % points,
                fill="#a33d4b" if pose["mood"] in ("open", "grin", "surprised") else "none",
                stroke=OUTLINE, stroke_width=1.6, stroke_linecap="round", transform="translate(0 %d)" % bob)
    return out


def shoes(pose):
    out = ""
    for s in (0, 1):
        _, (fx, fy) = leg_points(pose, s)
        toe = 4 if pose["dir"] == "S" else 0
        out += path("M%d %d Q%d %d %d %d L%d %d L%d %d Z" % (fx - 5, fy + 4, fx, fy - 3, fx + 5 + toe, fy + 3,
                                                              fx + 5 + toe, fy + 6, fx - 5, fy + 6),
                    fill=MARK, stroke=OUTLINE, stroke_width=1.8, stroke_linejoin="round")
        out += ellipse(fx - 1, fy + 1, 2, 1, fill=MARK_LIGHT)
    return out


def bottom(pose):
    bob = pose["bob"]
    sway = pose["stride"] * 2
    d = "M24 %d L48 %d L%d %d Q36 %d %d %d Z" % (HIP_Y - 4 + bob, HIP_Y - 4 + bob, 53 + sway, 96 + bob,
                                                 99 + bob, 19 + sway, 96 + bob)
    out = path(d, fill=MARK, stroke=OUTLINE, stroke_width=2, stroke_linejoin="round")
    out += path("M42 %d L%d %d L%d %d Z" % (HIP_Y - 2 + bob, 50 + sway, 95 + bob, 43 + sway, 97 + bob),
                fill=MARK_SHADE)
    out += path("M27 %d L%d %d" % (HIP_Y + bob, 24 + sway, 92 + bob), stroke=MARK_LIGHT, stroke_width=2.5,
                stroke_linecap="round")
    return out


def top(pose):
    bob = pose["bob"]
    out = ""
    left, right = hand_points(pose)
    for (sx, sy), (hx, hy) in zip(SHOULDERS, (left, right)):
        ex, ey = sx + (hx - sx) * 0.42, sy + bob + (hy - sy - bob) * 0.42
        out += limb(sx, sy + bob, ex, ey, 11, MARK)
    d = "M24 %d Q36 %d 48 %d L50 %d Q36 %d 22 %d Z" % (52 + bob, 48 + bob, 52 + bob, HIP_Y + bob, HIP_Y + 3 + bob,
                                                       HIP_Y + bob)
    out += path(d, fill=MARK, stroke=OUTLINE, stroke_width=2, stroke_linejoin="round")
    out += path("M42 %d Q48 %d 49 %d L49 %d Q45 %d 41 %d Z" % (53 + bob, 54 + bob, 60 + bob, HIP_Y + bob,
                                                               HIP_Y + 1 + bob, HIP_Y + bob), fill=MARK_SHADE)
    out += path("M27 %d L26 %d" % (56 + bob, 70 + bob), stroke=MARK_LIGHT, stroke_width=3, stroke_linecap="round")
    if pose["dir"] != "B":
        out += path("M31 %d L36 %d L41 %d" % (50 + bob, 56 + bob, 50 + bob), fill=LACE, stroke=OUTLINE,
                    stroke_width=1.4, stroke_linejoin="round")
        for y in (60, 67):
            out += ellipse(36, y + bob, 1.4, 1.4, fill=LACE)
    return out


def apron(pose):
    bob = pose["bob"]
    if pose["dir"] == "B":
        # Only the bow of the strings shows from behind.
        out = path("M30 %d L42 %d" % (HIP_Y - 2 + bob, HIP_Y - 2 + bob), stroke=MARK, stroke_width=4)
        out += ellipse(32, HIP_Y - 2 + bob, 5, 3, fill=MARK, stroke=OUTLINE, stroke_width=1.5)
        out += ellipse(40, HIP_Y - 2 + bob, 5, 3, fill=MARK, stroke=OUTLINE, stroke_width=1.5)
        return out
    x0 = 26 if pose["dir"] == "F" else 30
    d = "M%d %d L%d %d L%d %d Q%d %d %d %d Z" % (x0, HIP_Y - 3 + bob, x0 + 20, HIP_Y - 3 + bob, x0 + 22, 94 + bob,
                                                 x0 + 10, 97 + bob, x0 - 2, 94 + bob)
    out = path(d, fill=MARK_LIGHT, stroke=OUTLINE, stroke_width=1.8, stroke_linejoin="round")
    out += path("M%d %d L%d %d" % (x0 + 15, HIP_Y + bob, x0 + 17, 93 + bob), stroke=MARK, stroke_width=3,
                stroke_linecap="round")
    out += rect(x0 + 5, 83 + bob, 10, 6, r=1.5, fill=MARK, stroke=OUTLINE, stroke_width=1.2)
    out += path("M%d %d L%d %d" % (x0 - 2, HIP_Y - 3 + bob, x0 + 22, HIP_Y - 3 + bob), stroke=MARK_SHADE,
                stroke_width=3)
    return out


def accessory(pose):
    """The default accessory slot is empty; this hair bow is the catalogue's first."""
    bob = pose["bob"]
    if pose["dir"] == "B":
        cx = 36
    else:
        cx = 48
    out = path("M%d %d L%d %d L%d %d Z" % (cx, 12 + bob, cx - 8, 7 + bob, cx - 8, 17 + bob), fill=MARK,
               stroke=OUTLINE, stroke_width=1.5, stroke_linejoin="round")
    out += path("M%d %d L%d %d L%d %d Z" % (cx, 12 + bob, cx + 8, 7 + bob, cx + 8, 17 + bob), fill=MARK,
                stroke=OUTLINE, stroke_width=1.5, stroke_linejoin="round")
    out += ellipse(cx, 12 + bob, 2.5, 2.5, fill=MARK_SHADE, stroke=OUTLINE, stroke_width=1.2)
    return out


DRAW = {"body": body, "shoes": shoes, "bottom": bottom, "top": top, "apron": apron, "accessory": accessory}


def draw(layer, pose):
    """One layer of a pose; every layer leans with her by the same tilt."""
    if not pose["tilt"]:
        return group(DRAW[layer](pose))
    return group(DRAW[layer](pose), transform="rotate(%g %d %d)" % (pose["tilt"], REG[0], REG[1]))


# Her own clothes, as the story and the help pages show her: the game's
# default colours (assets/quessa/colors.inf: the light blue blouse), so she
# looks the same in the comics as on the floor before the player picks others.
OUTFIT = {"top": "#7fb8e8", "bottom": "#2f3f6e", "shoes": "#7a3b2e", "apron": "#fbfbf6", "accessory": "#c8283b"}


def dressed(pose, outfit=OUTFIT):
    """Every layer of a pose, stacked, the clothes in the outfit's colours."""
    out = ""
    for layer in LAYERS:
        drawing = draw(layer, pose)
        if layer != "body":
            for mark, colour in zip((MARK_LIGHT, MARK, MARK_SHADE), style.ramp(outfit[layer])):
                drawing = drawing.replace(mark, colour)
        out += drawing
    return out
