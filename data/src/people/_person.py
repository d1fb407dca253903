"""The staff rig: every member of staff (busboy, hostess, the cooks, the
performers) drawn to the customers' standard (customers/_figure.py): the
same head and face (big eyes, brows, cheeks, the mouths of each mood), the
same outline, and cel shading with light from the upper left; but whole
figures with legs, seen from the front ("F"), from the side ("S", facing
right; the game mirrors it for left) or from behind ("B").

Coordinates are the customers' figure space: 84 wide, the head's centre at
(42, 26), shoulders at y 49, hips at 78, the soles at y 101. A look (who it
is) and a pose (what they do) give the SVG of the figure there; `frame`
places it in a picture and `hand_anchors` says where carried props go.

A look: `person(...)`, the defaults of LOOK with some changed. A pose:
qmcontent.rig.Pose values over POSE."""
import math
import os
import sys
from types import SimpleNamespace

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "customers"))

import _figure as fig  # noqa: E402
from qmcontent import style  # noqa: E402
from qmcontent.svg import OUTLINE, ellipse, group, path, rect  # noqa: E402

CENTRE_X = 42
SHOULDER_Y = 49
HIP_Y = 78
ANKLE_Y = 99
SOLE_Y = 104  # the outline under the shoes

LOOK = {
    "skin": style.SKIN[0], "hair": style.HAIR[0], "hair_style": "short", "hat": None,
    "moustache": False, "beard": False, "glasses": None, "lashes": False, "freckles": False,
    # the top: its colour, its cut and what is worn over it
    "top": "#f4f6f8", "cut": "shirt", "sleeve": None, "rolled": False, "vest": None, "apron": None,
    "accent": "#7a2944", "neck": None, "buttons": None, "stripes": None,
    # below the waist: trousers, a knee-length skirt or a floor-length gown
    "lower": "trousers", "lower_colour": "#3b3b48", "shoe": "#3b2a33", "stockings": None,
    "build": 1.0, "belly": False,
}

POSE = {
    "dir": "F", "bob": 0.0, "tilt": 0.0, "phase": None,
    # hands as offsets from their shoulder; None hangs at the side (swung by "swing")
    "left": None, "right": None, "swing": 0.0,
    "look": (0, 0), "mood": "smile", "eyes": "open", "brows": "calm",
    "seated": False,
}


def person(**values):
    unknown = set(values) - set(LOOK)
    if unknown:
        raise KeyError("not a staff parameter: %s" % sorted(unknown))
    return SimpleNamespace(**dict(LOOK, **values))


class Colours:
    """Named colours in the shape of a palette, for the customers' face drawing."""

    def __init__(self, look):
        names = {}
        for name, colour in (("skin", look.skin), ("hair", look.hair)):
            names[name + "_light"], names[name], names[name + "_shade"] = style.ramp(colour)
        names.update({"eye_white": "#ffffff", "mouth": "#a33d4b", "cheek": style.mix(look.skin, "#e0606a", 0.45)})
        self.names = names

    def colour(self, name):
        h = self.names[name].lstrip("#")
        return tuple(int(h[i:i + 2], 16) for i in (0, 2, 4)) + (255,)

    def __getitem__(self, name):
        return self.names[name]


def outlined(fill, width=2):
    return {"fill": fill, "stroke": OUTLINE, "stroke_width": width, "stroke_linejoin": "round"}


# ---------------------------------------------------------------- heads

def hair_back(look, p):
    """Hair behind the head: it shows round the face."""
    hair = p["hair"]
    out = ""
    if look.hair_style == "bun":  # the hostess's tall updo
        out += ellipse(42, 3, 11, 10, **outlined(hair))
        out += ellipse(38, 0, 4, 2.5, fill=p["hair_light"])
    elif look.hair_style == "afro":
        out += fig.blob(((26, 14, 9), (42, 6, 11), (58, 14, 9), (22, 28, 8), (62, 28, 8), (32, 8, 8), (52, 8, 8)),
                        hair)
    elif look.hair_style == "curly":
        out += fig.blob(fig.CURLS, hair)
    elif look.hair_style in fig.BACK_HAIR:
        out += path(fig.BACK_HAIR[look.hair_style], **outlined(hair))
    return out


FRONT = dict(fig.FRONT_HAIR)
FRONT["slick"] = "M24 22 Q23 8 42 7 Q60 7 60 22 Q57 13 46 12 Q34 11 24 22 Z"
FRONT["bun"] = fig.FRONT_HAIR["sleek"]
FRONT["afro"] = "M24 24 Q22 9 42 9 Q62 9 60 24 Q54 15 42 16 Q30 15 24 24 Z"


def hair_front(look, p):
    style_ = look.hair_style
    if style_ == "curly":
        return fig.blob(((29, 14, 4.5), (36, 11, 4.5), (43, 11, 4.5), (50, 12, 4.5), (56, 16, 4)), p["hair"], 1.5)
    if style_ not in FRONT:
        return ""
    return (path(FRONT[style_], **outlined(p["hair"], 1.8))
            + path("M30 11 Q36 9 40 9.5", fill="none", stroke=p["hair_light"], stroke_width=1.5,
                   stroke_linecap="round"))


def hat(look, view):
    """Hats in head coordinates; `view` F, S or B."""
    kind = look.hat
    if kind is None:
        return ""
    white, white_shade = "#fbfbf7", style.shade("#fbfbf7")
    accent = look.accent
    if kind == "paper":  # the busboy's folded cap
        return (path("M25 15 L29 4 Q42 0 55 4 L59 15 Z", **outlined(white))
                + path("M42 2 L42 14", stroke=white_shade, stroke_width=1.5)
                + rect(25, 11, 34, 5, fill=accent, stroke=OUTLINE, stroke_width=1.5)
                + path("M49 4 L55 5 L58 11 L50 11 Z", fill=white_shade))
    if kind == "toque":  # pleated chef's hat
        top = -8
        puff = ((31, top + 10, 9), (42, top + 6, 11), (53, top + 10, 9))
        out = path("M27 14 L27 %d L57 %d L57 14 Z" % (top + 12, top + 12), **outlined(white))
        out += fig.blob(puff, white)
        out += rect(26, 8, 32, 8, r=2, **outlined(white))
        for x in (35, 42, 49):
            out += path("M%d %d L%d 8" % (x, top + 8, x), stroke=white_shade, stroke_width=1.5)
        return out + path("M50 %d Q56 %d 56 14 L52 14 Z" % (top + 8, top + 12), fill=white_shade)
    if kind == "mushroom":  # a wide puffed pastry cook's hat
        return (ellipse(42, 2, 24, 11, **outlined(white)) + ellipse(48, 6, 14, 5, fill=white_shade)
                + ellipse(34, -2, 7, 3, fill="#ffffff") + rect(27, 8, 30, 7, r=2, **outlined(white))
                + path("M27 11 L57 11", stroke=accent, stroke_width=2))
    if kind == "sailor":  # a white sailor's cap with its rolled brim
        return (path("M27 12 Q27 -1 42 -1 Q57 -1 57 12 Z", **outlined(white))
                + path("M50 1 Q56 4 56 11 L50 11 Z", fill=white_shade)
                + rect(24, 9, 36, 6, r=3, **outlined(white))
                + path("M26 12 L58 12", stroke=accent, stroke_width=1.8))
    if kind == "bandana":  # cloth tied over the hair, the knot on one side
        out = path("M23 22 Q22 6 42 6 Q62 6 61 22 Q52 16 42 16 Q32 16 23 22 Z", **outlined(accent, 1.8))
        for x, y in ((34, 11), (46, 10), (52, 15)):
            out += ellipse(x, y, 1.6, 1.6, fill="#ffffff")
        if view != "S":
            out += path("M60 16 L70 12 L67 20 Z M60 16 L69 24 L62 24 Z", **outlined(accent, 1.5))
        return out
    if kind == "bowler":
        return (ellipse(42, 11, 21, 4.5, **outlined(look.vest or "#34343c"))
                + path("M29 11 Q29 -3 42 -3 Q55 -3 55 11 Z", **outlined(look.vest or "#34343c"))
                + path("M29.5 8 L54.5 8", stroke=accent, stroke_width=3)
                + ellipse(36, 1, 4, 2, fill=style.light(look.vest or "#34343c")))
    if kind == "boater":  # a flat straw hat with a band
        straw = "#e8c97a"
        return (ellipse(42, 10, 24, 5, **outlined(straw))
                + path("M30 10 L31 0 Q42 -2 53 0 L54 10 Z", **outlined(straw))
                + path("M30.6 5 L53.4 5 L53.8 9 L30.2 9 Z", fill=accent)
                + ellipse(50, 12, 10, 2, fill=style.shade(straw)))
    if kind == "beret":
        return (path("M22 14 Q20 2 40 1 Q62 0 62 12 Q50 16 22 14 Z", **outlined(accent))
                + path("M41 1 L42 -4", stroke=OUTLINE, stroke_width=2.5, stroke_linecap="round")
                + path("M50 4 Q60 6 60 11 Q52 13 48 12 Z", fill=style.shade(accent)))
    if kind == "headset":  # a space band with its antenna and microphone
        cyan = "#4ee2ec"
        out = path("M24.5 21 Q42 0 59.5 21", fill="none", stroke=OUTLINE, stroke_width=6.5, stroke_linecap="round")
        out += path("M24.5 21 Q42 0 59.5 21", fill="none", stroke="#c3c8d4", stroke_width=3.5, stroke_linecap="round")
        out += path("M54 8 L60 -5", stroke=OUTLINE, stroke_width=2)
        out += ellipse(60.5, -6, 3.2, 3.2, **outlined(cyan, 1.5))
        if view != "B":
            out += ellipse(24, 26, 4, 5, **outlined("#c3c8d4", 1.5))
            out += path("M24 30 Q26 38 33 39", fill="none", stroke=OUTLINE, stroke_width=1.8)
            out += ellipse(34, 39, 2, 2, fill=OUTLINE)
        return out
    if kind == "space_toque":  # a short silver cook's cap with a beacon
        silver = "#c3c8d4"
        return (path("M28 14 L28 0 Q42 -6 56 0 L56 14 Z", **outlined(silver))
                + path("M50 0 Q56 1 56 13 L51 13 Z", fill=style.shade(silver))
                + rect(26, 9, 32, 6, r=2, **outlined(silver))
                + path("M27 12 L57 12", stroke="#4ee2ec", stroke_width=2)
                + path("M42 -3 L42 -9", stroke=OUTLINE, stroke_width=2)
                + ellipse(42, -10, 3, 3, **outlined("#4ee2ec", 1.5)))
    raise KeyError("no hat %s" % kind)


def head(look, pose):
    p = Colours(look)
    view = pose["dir"]
    out = hair_back(look, p) if view != "B" else ""
    out += ellipse(42, 26, 18, 17, **outlined(p["skin"]))
    out += path("M58 22 Q60 38 44 42 Q56 36 58 22 Z", fill=p["skin_shade"])
    if view == "B":
        # The back of the head: hair over it all, the updo or curls on top.
        out += hair_back(look, p) if look.hair_style in ("bun", "afro", "curly") else ""
        out += path("M24 28 Q22 8 42 8 Q62 8 60 28 Q60 40 52 43 L32 43 Q24 40 24 28 Z", **outlined(p["hair"]))
        out += path("M30 14 Q36 10 42 10", fill="none", stroke=p["hair_light"], stroke_width=2,
                    stroke_linecap="round")
        return out + hat(look, view)
    out += ellipse(33, 15, 5, 3, fill=p["skin_light"], transform="rotate(-25 33 15)")
    out += hair_front(look, p)
    out += hat(look, view)
    kind = SimpleNamespace(beard=look.beard, moustache=look.moustache, glasses=look.glasses, lashes=look.lashes,
                           freckles=look.freckles)
    face_pose = {"look": pose["look"], "mood": pose["mood"], "eyes": pose["eyes"], "brows": pose["brows"]}
    if view == "S":
        # Three quarters to the right: the face moves over, the eyes look ahead.
        lx, ly = pose["look"]
        face_pose["look"] = (lx + 1.2, ly)
        return out + group(fig.face(p, kind, face_pose), transform="translate(5 0)")
    return out + fig.face(p, kind, face_pose)


# ---------------------------------------------------------------- body

def shoulders(look):
    return (CENTRE_X - 15 * look.build, SHOULDER_Y), (CENTRE_X + 15 * look.build, SHOULDER_Y)


def hand_points(look, pose):
    """Both hands in figure space, before the pose's bob and tilt."""
    points = []
    for side, hand in enumerate((pose["left"], pose["right"])):
        sx, sy = shoulders(look)[side]
        if hand is None:
            swing = pose["swing"] * (1 if side == 0 else -1)
            if pose["dir"] == "S":
                points.append((sx + (3 if side else -3) + swing * 2.2, sy + 21 - abs(swing) * 0.3))
            else:
                points.append((sx + (3 if side else -3), sy + 22 + swing))
        else:
            points.append((sx + hand[0], sy + hand[1]))
    return points


def torso_path(look):
    b = look.build
    if look.belly:
        return ("M%g 46 Q42 42 %g 46 Q%g 62 %g 79 Q42 84 %g 79 Q%g 62 %g 46 Z"
                % (42 - 12 * b, 42 + 12 * b, 42 + 24 * b, 42 + 17 * b, 42 - 17 * b, 42 - 24 * b, 42 - 12 * b))
    return "M%g 46 Q42 42 %g 46 L%g 80 Q42 83 %g 80 Z" % (42 - 12 * b, 42 + 12 * b, 42 + 17 * b, 42 - 17 * b)


def torso(look, pose, clip_id):
    top = look.top
    lit, base, dark = style.ramp(top)
    shape = torso_path(look)
    b = look.build
    out = path(shape, **outlined(base))
    inside = ""
    if look.stripes:
        for y in range(52, 82, 7):
            inside += rect(0, y, 84, 3, fill=look.stripes)
    inside += path("M%g 47 Q%g 62 %g 82 L84 82 L84 40 Z" % (42 + 7 * b, 42 + 14 * b, 42 + 11 * b), fill=dark,
                   opacity=0.9)
    inside += path("M%g 50 L%g 68 L%g 68 L%g 50 Z" % (42 - 10 * b, 42 - 13 * b, 42 - 10 * b, 42 - 8 * b), fill=lit)
    if look.vest and pose["dir"] != "B":
        v_lit, v_base, v_dark = style.ramp(look.vest)
        inside += path("M%g 44 L38 58 L38 84 L0 84 L0 44 Z" % (42 - 9 * b), fill=v_base)
        inside += path("M%g 44 L46 58 L46 84 L84 84 L84 44 Z" % (42 + 9 * b), fill=v_dark)
        inside += path("M38 58 L38 84 M46 58 L46 84", stroke=OUTLINE, stroke_width=1.5)
        inside += path("M%g 52 L%g 70" % (42 - 13 * b, 42 - 14 * b), stroke=v_lit, stroke_width=2.5,
                       stroke_linecap="round")
        for y in (64, 72):
            inside += ellipse(36, y, 1.3, 1.3, fill="#e8c97a")
    elif look.vest:
        inside += rect(0, 44, 84, 40, fill=look.vest)
        inside += path("M%g 47 Q%g 62 %g 82 L84 82 L84 40 Z" % (42 + 7 * b, 42 + 14 * b, 42 + 11 * b),
                       fill=style.shade(look.vest))
    if look.apron and pose["dir"] != "B":
        a_lit, a_base, a_dark = style.ramp(look.apron)
        inside += path("M33 56 L51 56 L54 84 L30 84 Z", fill=a_base, stroke=OUTLINE, stroke_width=1.5)
        inside += path("M47 57 L51 57 L54 84 L49 84 Z", fill=a_dark)
        inside += path("M33 56 L%g 46 M51 56 L%g 46" % (42 - 9 * b, 42 + 9 * b), stroke=a_base, stroke_width=2)
        inside += rect(37, 66, 10, 6, r=1.5, fill=a_lit, stroke=OUTLINE, stroke_width=1)
    elif look.apron:
        inside += path("M28 66 L56 66", stroke=look.apron, stroke_width=3)
        inside += ellipse(42, 66, 4, 2.5, fill=look.apron, stroke=OUTLINE, stroke_width=1)
    out += '<clipPath id="%s"><path d="%s"/></clipPath>' % (clip_id, shape)
    out += group(inside, clip_path="url(#%s)" % clip_id)
    out += path(shape, fill="none", stroke=OUTLINE, stroke_width=2, stroke_linejoin="round")
    if pose["dir"] == "B":
        return out
    if look.cut == "chef":  # double-breasted jacket: a collar band and two rows of buttons
        out += rect(34, 43, 16, 5, r=2, **outlined(top, 1.5))
        for y in (55, 63, 71):
            for x in (37, 47):
                out += ellipse(x, y, 1.5, 1.5, fill=look.buttons or style.shade(top))
    elif look.cut == "collar":
        out += path("M35 45 L42 52 L49 45 Z", **outlined(look.accent if look.neck is None else "#ffffff", 1.5))
    elif look.cut == "vneck":
        out += path("M36 45 L42 53 L48 45 Z", **outlined(look.skin, 1.5))
    if look.buttons and look.cut != "chef":
        for y in (58, 66, 74):
            out += ellipse(42, y, 1.4, 1.4, fill=look.buttons)
    if look.neck == "bowtie":
        out += path("M42 48 L35 44.5 L35 51.5 Z M42 48 L49 44.5 L49 51.5 Z", **outlined(look.accent, 1.4))
        out += ellipse(42, 48, 2, 2, **outlined(style.shade(look.accent), 1.1))
    elif look.neck == "scarf":  # a knotted neckerchief
        out += path("M34 45 Q42 51 50 45 L48 49 Q42 53 36 49 Z", **outlined(look.accent, 1.5))
        out += path("M42 50 L38 59 L43 57 L46 60 Z", **outlined(look.accent, 1.4))
    elif look.neck == "sash":  # a ribbon across from shoulder to hip
        out += path("M31 47 L36 46 L57 78 L52 80 Z", **outlined(look.accent, 1.5))
        out += ellipse(53, 75, 3.5, 3, **outlined(style.shade(look.accent), 1.2))
    return out


def arm(look, side, hand, sleeve):
    sx, sy = shoulders(look)[side]
    hx, hy = hand
    skin_lit, skin, _ = style.ramp(look.skin)
    if look.rolled:  # sleeve to the elbow, then the forearm
        ex, ey = sx + (hx - sx) * 0.45, sy + (hy - sy) * 0.45
        out = fig.capsule(ex, ey, hx, hy, 7.5, skin) + fig.capsule(sx, sy, ex, ey, 9.5, sleeve)
        out += ellipse(ex, ey, 5.2, 4, **outlined(sleeve, 1.5))
    else:
        out = fig.capsule(sx, sy, hx, hy, 9, sleeve)
    out += ellipse(hx, hy, 5, 5, **outlined(skin))
    return out + ellipse(hx - 1.2, hy - 1.2, 2, 2, fill=skin_lit)


def arms(look, pose, which):
    """Arms behind the body ("back") or in front of it ("front")."""
    sleeve = look.sleeve or look.top
    left, right = hand_points(look, pose)
    view = pose["dir"]
    out = ""
    if view == "S":
        # The far arm (her right, picture left) behind the body, the near one in front.
        if which == "back":
            out += arm(look, 0, left, style.shade(sleeve))
        else:
            out += arm(look, 1, right, sleeve)
        return out
    if (which == "back") == (view == "B"):
        out += arm(look, 0, left, sleeve) + arm(look, 1, right, sleeve)
    return out


# ---------------------------------------------------------------- legs

def leg_ends(look, pose):
    """(hip, ankle, lifted) of the far and the near leg."""
    phase = pose["phase"]
    view = pose["dir"]
    ends = []
    for k, sign in ((0, 1), (1, -1)):
        hip = (42, HIP_Y) if view == "S" else (42 + (k * 2 - 1) * 6 * look.build, HIP_Y)
        lift, dx = 0.0, 0.0
        if phase is not None:
            swing = math.sin(phase) * sign
            lift = max(0.0, swing) * 4.5
            dx = -7.5 * math.cos(phase) * sign if view == "S" else 0.0
        elif pose["seated"]:
            dx = 14.0
        ends.append((hip, (hip[0] + dx, ANKLE_Y - lift - (12 if pose["seated"] else 0)), lift > 0.5))
    return ends


def shoe(x, y, colour, view):
    if view == "S":
        d = "M%g %g Q%g %g %g %g L%g %g L%g %g Z" % (x - 5, y + 1, x + 1, y - 4, x + 10, y + 1, x + 10, y + 4,
                                                  x - 5, y + 4)
    else:
        d = "M%g %g Q%g %g %g %g L%g %g L%g %g Z" % (x - 6, y + 1, x, y - 4, x + 7, y, x + 7, y + 4, x - 6, y + 4)
    return path(d, **outlined(colour)) + ellipse(x - 2, y, 2, 1, fill=style.light(colour))


def legs(look, pose):
    view = pose["dir"]
    trousers = look.lower_colour
    t_lit, t_base, t_dark = style.ramp(trousers)
    skin_lit, skin, skin_dark = style.ramp(look.stockings or look.skin)
    out = ""
    ends = leg_ends(look, pose)
    if view == "S":
        ends = sorted(ends, key=lambda e: e[1][0])  # the leg further back first
    for hip, (ax, ay), _ in ends:
        hx, hy = hip
        if pose["seated"]:
            # Thigh forward to the knee, shin down to the foot.
            kx, ky = hx + 14, hy + 2
            out += fig.capsule(hx, hy, kx, ky, 11, trousers)
            out += fig.capsule(kx, ky, kx + 1, ANKLE_Y, 9.5, trousers)
            out += shoe(kx + 1, ANKLE_Y, look.shoe, "S")
            continue
        bare = look.lower == "skirt"
        colour, lit, dark = (skin, skin_lit, skin_dark) if bare else (t_base, t_lit, t_dark)
        out += fig.capsule(hx, hy, ax, ay, 8 if bare else 10, colour)
        out += path("M%g %g L%g %g" % (hx + 2.5, hy + 4, ax + 2.5, ay - 3), stroke=dark, stroke_width=2.5,
                    stroke_linecap="round")
        out += path("M%g %g L%g %g" % (hx - 2, hy + 4, ax - 2, ay - 6), stroke=lit, stroke_width=1.6,
                    stroke_linecap="round")
        out += shoe(ax, ay, look.shoe, view)
    if look.lower == "skirt":
        out += path("M27 72 L57 72 L62 89 Q42 93 22 89 Z", **outlined(trousers))
        out += path("M46 73 L57 73 L61.5 88.5 Q54 90.5 49 91 Z", fill=t_dark)
    elif not pose["seated"]:
        # The waistband over the shirt's hem: the top is tucked in.
        b = look.build
        out += path("M%g 75 L%g 75 L%g 84 Q42 86 %g 84 Z" % (42 - 14 * b, 42 + 14 * b, 42 + 14.5 * b, 42 - 14.5 * b),
                    **outlined(trousers))
        out += path("M%g 76 L%g 76 L%g 84 L%g 84.5 Z" % (42 + 6 * b, 42 + 13 * b, 42 + 13.5 * b, 42 + 7 * b),
                    fill=t_dark)
    return out


def gown(look, pose):
    """A floor-length gown instead of legs, the shoes' tips under its hem."""
    g_lit, g_base, g_dark = style.ramp(look.lower_colour)
    out = shoe(36, ANKLE_Y + 1, look.shoe, "F") + shoe(49, ANKLE_Y + 1, look.shoe, "F")
    sway = pose["swing"]
    out += path("M29 70 L55 70 L%g 100 Q42 104 %g 100 Z" % (64 + sway, 20 + sway), **outlined(g_base))
    out += path("M47 71 L55 71 L%g 99.5 Q56 102 50 102.5 Z" % (63.5 + sway), fill=g_dark)
    out += path("M32 74 L%g 97" % (26 + sway), stroke=g_lit, stroke_width=3, stroke_linecap="round")
    return out


# ---------------------------------------------------------------- whole figures

def figure(look, pose, part="whole", clip_id="torso"):
    """The SVG of a figure in figure space: "whole", or its "upper" body
    (head, torso, arms) and "lower" body (legs and waistband), which the
    game draws one over the other at the same point."""
    lower = ""
    if part in ("whole", "lower"):
        lower = gown(look, pose) if look.lower == "gown" else legs(look, pose)
    upper = ""
    if part in ("whole", "upper"):
        upper = arms(look, pose, "back") + torso(look, pose, clip_id) + head(look, pose) + arms(look, pose, "front")
        upper = group(upper, transform=upper_transform(pose))
    if look.lower == "gown":
        return lower + upper  # the bodice sits over the gown
    return upper + lower


def upper_transform(pose):
    """The upper body's bob and tilt (about the hips), for what the hands hold too."""
    return "translate(0 %g) rotate(%g %d %d)" % (pose["bob"], pose["tilt"], CENTRE_X, HIP_Y)


def moved_point(pose, point):
    """Where a point of the upper body lands after the pose's tilt and bob."""
    a = math.radians(pose["tilt"])
    x, y = point[0] - CENTRE_X, point[1] - HIP_Y
    return (CENTRE_X + x * math.cos(a) - y * math.sin(a), HIP_Y + x * math.sin(a) + y * math.cos(a) + pose["bob"])


def hand_anchors(look, pose, reg_in_figure):
    """"hand1" and "hand2": where a carried prop sits, just above each hand,
    from the registration point (given in figure space)."""
    anchors = {}
    for name, point in zip(("hand1", "hand2"), hand_points(look, pose)):
        x, y = moved_point(pose, point)
        anchors[name] = (round(x - reg_in_figure[0]), round(y - 7 - reg_in_figure[1]))
    return anchors
