"""The customer rig: one drawing for all thirteen types, told apart by the
type's parameters (build, hair, face, clothing cut, one prop), poses by the
pose values. Light from the upper left: every shape has its lit colour,
base and one shade on the lower right.

Body frames are 84x84 with the registration point in the middle (art is
centred on its position); the legs are a picture of their own, drawn by the
game at the "legs" anchor unless a frame has "hide_legs" (seated frames).
A figure that arrives with a baby carries it drawn into its standing frames;
seated, the game draws the baby (baby.anm) at the "baby" anchor.
"""
from qmcontent import palette, palettes, style
from qmcontent.svg import OUTLINE, ellipse, group, path, rect

W, H = 84, 84
REG = (42, 42)
NECK = (42, 44)
SHOULDERS = ((27, 49), (57, 49))
HIPS_Y = 78
LEGS_SIZE = (36, 26)
# A small figure (the kid) is scaled about its feet standing and about its
# lap seated, so it stands on the same floor and sits on the same chair.
FEET = (42, 101)
LAP = (42, 80)
BABY_SIZE = (32, 32)
BABY_REG = (16, 16)

DEFAULT = {
    "bob": 0, "squash": 1.0, "tilt": 0, "look": (0, 0), "turn": 0,
    "mood": "smile", "eyes": "open", "brows": "calm",
    # hands relative to their shoulder; None: hanging at the side
    "left": None, "right": None,
    "seated": False, "lean": 0, "steam": False,
    # a seated figure holding its baby on the lap (the "_Baby" functions)
    "baby": False,
}

# What a type leaves unsaid.
KIND = {
    "skin": 0, "hair": 0, "hair_style": "short", "moustache": False, "beard": False, "glasses": None,
    "lashes": False, "freckles": False, "hat": None, "trousers": "#6b6a7a", "accent": "#efe6d2",
    "collar": False, "buttons": False, "top": "shirt", "neck": None, "prop": None, "prop_colour": "#7a4e32",
    "legs": "trousers", "shoe": "#5a3b2e", "build": 1.0, "scale": 1.0,
}


def ramp_entries(name, colour):
    return [(name + suffix, palette.hex_colour(value)) for suffix, value in zip(("_light", "", "_shade"),
                                                                                style.ramp(colour))]


# Members of one party are told apart by their looks: look 0 is the type as
# written in TYPES, each further look another skin, hair and the garments
# that are not the party colour (accent, trousers, shoes, prop). The party
# colour itself never changes.
LOOKS = 4
ACCENTS = ["#f4f1ea", "#d8ecf6", "#fbe0e6", "#e2f2d8"]
SHOES = ["#5a3b2e", "#2b2226", "#7b5533", "#4a4a5a"]
TROUSERS = ["#6b6a7a", "#3c3f4a", "#8a7a62", "#4a5a7a"]
PROPS = ["#7a4e32", "#2fb6c4", "#e0407a", "#5d5a3a"]


def look(kind, n):
    """The type's parameters for look n (0 .. LOOKS - 1)."""
    if n == 0:
        return kind
    hair = kind.hair if kind.hair == 3 else [0, 1, 2, 4][([0, 1, 2, 4].index(kind.hair) + n) % 4]
    changed = dict(vars(kind), skin=(kind.skin + n) % len(style.SKIN), hair=hair,
                   trousers=TROUSERS[(TROUSERS.index(kind.trousers) + n) % 4] if kind.trousers in TROUSERS
                   else style.mix(kind.trousers, TROUSERS[n], 0.5),
                   shoe=SHOES[(n + (SHOES.index(kind.shoe) if kind.shoe in SHOES else 0)) % 4],
                   prop_colour=style.mix(kind.prop_colour, PROPS[n], 0.6))
    changed["accent"] = style.mix(kind.accent, ACCENTS[n], 0.7)
    return type(kind)(**changed)


# Every entry a look recolours (skin, hair, the garments and props that are
# not the party colour) is drawn in a vivid key colour while the picture is
# quantised (keyed_palette). Drawn in the type's own colours, the outline's
# anti-aliased edge is often nearer a prop, trouser or hair colour than any
# other entry, and a second member would wear that edge as a dotted rim of
# its own prop colour round face and arms. Nothing but the shape painted in
# a key colour (and its own edge) comes near it. The keys stay far from each
# other and from the entries no look changes (outline, eyes, mouth, party);
# shapes that touch without an outline between them have keys whose mix
# stays nearest one of the two: skin and hair (brows), accent and prop (hat
# bands, a book's strip: both greens). The cheek stays as it is: it lies on
# the skin alone, and its mix with the skin key falls to the skin's shade.
KEYS = {"skin": "#ff8a00", "hair": "#eef000", "trousers": "#1c3cff", "accent": "#a0ffa0", "prop": "#18ff3c"}


def keyed_palette(body):
    """The body palette with each entry a look recolours in its key colour
    (same names, same order): the palette its pictures are quantised in."""
    names = {n for n, _ in body.entries}
    keys = {n: colour for name, key in KEYS.items() for n, colour in ramp_entries(name, key) if n in names}
    return body.variant(**keys)


def body_palette(kind):
    """Entries of a type's body picture in index order (the index order of every ".pal" of it)."""
    entries = palettes.figure_entries()
    skin = style.SKIN[kind.skin]
    for name, colour in (("skin", skin), ("hair", style.HAIR[kind.hair]), ("trousers", kind.trousers)):
        entries += ramp_entries(name, colour)
    entries += [("eye_white", palette.hex_colour("#ffffff")), ("mouth", palette.hex_colour("#a33d4b")),
                ("cheek", palette.hex_colour(style.mix(skin, "#e0606a", 0.45))),
                ("accent", palette.hex_colour(kind.accent)), ("accent_shade", palette.hex_colour(style.shade(kind.accent)))]
    entries += ramp_entries("prop", kind.prop_colour)
    entries += [("dark", palette.hex_colour("#4a4652")), ("glint", palette.hex_colour("#9fd0e8")),
                ("tear", palette.hex_colour("#7cc3ee"))]
    entries += ramp_entries("blanket", "#f3e6c8")
    entries += palettes.party_entries("party")
    return palette.Palette(entries)


def baby_palette(kind):
    """The carried baby: the parent's skin, a cream blanket and a bonnet in the party colour."""
    skin = style.SKIN[kind.skin]
    entries = palettes.figure_entries() + ramp_entries("skin", skin) + ramp_entries("hair", style.HAIR[kind.hair])
    entries += [("eye_white", palette.hex_colour("#ffffff")), ("mouth", palette.hex_colour("#a33d4b")),
                ("cheek", palette.hex_colour(style.mix(skin, "#e0606a", 0.45))),
                ("tear", palette.hex_colour("#7cc3ee"))]
    entries += ramp_entries("blanket", "#f3e6c8")
    entries += palettes.party_entries("party")
    return palette.Palette(entries)


def trouser_colour(kind, colour):
    """Trousers carry the party colour too, muted towards the type's own
    trouser colour so that top and bottom read as two garments."""
    return style.mix(style.PARTY[colour], kind.trousers, 0.5)


def legs_palette(kind, colour="red"):
    entries = palettes.figure_entries()
    if kind.legs != "bare":  # bare legs have no party colour for an edge pixel to fall into
        for suffix, value in zip(("_light", "", "_shade"), style.ramp(trouser_colour(kind, colour))):
            entries.append(("party" + suffix, palette.hex_colour(value)))
    entries += [("shoe", palette.hex_colour(kind.shoe)), ("shoe_light", palette.hex_colour(style.light(kind.shoe)))]
    if kind.legs != "trousers":
        entries += ramp_entries("skin", style.SKIN[kind.skin])
    return palette.Palette(entries)


def c(p, name):
    """The hex colour of a palette entry."""
    r, g, b, _ = p.colour(name)
    return "#%02x%02x%02x" % (r, g, b)


def capsule(x1, y1, x2, y2, width, fill, stroke_width=2):
    """A rounded limb from (x1, y1) to (x2, y2): outline first, then the fill over it."""
    common = 'stroke-linecap="round" fill="none"'
    d = "M%.1f %.1f L%.1f %.1f" % (x1, y1, x2, y2)
    return ('<path d="%s" stroke="%s" stroke-width="%.1f" %s/>' % (d, OUTLINE, width + 2 * stroke_width, common)
            + '<path d="%s" stroke="%s" stroke-width="%.1f" %s/>' % (d, fill, width, common))


def blob(circles, fill, stroke_width=2):
    """One outlined shape made of overlapping circles (curls, petals)."""
    out = "".join(ellipse(x, y, r + stroke_width, r + stroke_width, fill=OUTLINE) for x, y, r in circles)
    return out + "".join(ellipse(x, y, r, r, fill=fill) for x, y, r in circles)


def shoulder(kind, side):
    sx, sy = SHOULDERS[side]
    return 42 + (sx - 42) * kind.build, sy


# Where the hands go when a type's prop claims them (offsets from the shoulder).
CRADLE = ((5, 18), (-5, 18))      # both forearms under the carried baby, standing
LAP_BABY = (-3, 23)               # the left hand under the baby on the lap
PHONE_EAR = (3, -21)              # the right hand holding the phone to the ear


def hands(kind, pose):
    """The pose's hands, changed where the type's prop needs one."""
    left, right = pose["left"], pose["right"]
    if kind.prop == "baby" and not pose["seated"]:
        return CRADLE
    if pose["baby"]:
        left = LAP_BABY
    if kind.prop == "phone" and right is None:
        right = PHONE_EAR
    return left, right


def hand_point(kind, side, hand):
    sx, sy = shoulder(kind, side)
    if hand is None:
        return sx + (-3 if side == 0 else 3), sy + 22
    return sx + hand[0], sy + hand[1]


def arm(p, kind, side, hand, sleeve, props=("", "")):
    """An arm with its hand; props: what the hand holds, drawn under and over the fingers."""
    sx, sy = shoulder(kind, side)
    hx, hy = hand_point(kind, side, hand)
    out = capsule(sx, sy, hx, hy, 9, sleeve) + props[0]
    out += ellipse(hx, hy, 5, 5, fill=c(p, "skin"), stroke=OUTLINE, stroke_width=2)
    out += ellipse(hx - 1.2, hy - 1.2, 2, 2, fill=c(p, "skin_light"))
    return out + props[1]


def held_prop(p, kind, pose, side, hand):
    """The prop in a hand, as (under the fingers, over them)."""
    hx, hy = hand_point(kind, side, hand)
    if kind.prop == "phone" and side == 1 and hand == PHONE_EAR:
        return "", (rect(hx - 4, hy - 13, 8, 15, r=2, fill=c(p, "dark"), stroke=OUTLINE, stroke_width=1.8)
                    + rect(hx - 2.3, hy - 11, 4.6, 7, r=1, fill=c(p, "glint")))
    return held_under(p, kind, pose, side, hand), ""


def held_under(p, kind, pose, side, hand):
    hx, hy = hand_point(kind, side, hand)
    if hand is not None or side != 0:
        return ""
    if kind.prop == "case" and not pose["seated"]:
        return (path("M%g %g Q%g %g %g %g" % (hx - 4, hy + 3, hx, hy - 4, hx + 4, hy + 3), fill="none",
                     stroke=OUTLINE, stroke_width=2.5)
                + rect(hx - 10, hy + 2, 20, 14, r=2.5, fill=c(p, "prop"), stroke=OUTLINE, stroke_width=2)
                + rect(hx + 2, hy + 3.5, 6, 11, r=1.5, fill=c(p, "prop_shade"))
                + rect(hx - 2, hy + 6, 4, 3, fill=c(p, "accent")))
    if kind.prop == "book":
        # Under the arm standing, on the lap seated.
        bx, by = (hx - 2, hy - 8) if not pose["seated"] else (hx + 6, hy - 2)
        return (rect(bx - 7, by - 9, 14, 18, r=1.5, fill=c(p, "prop"), stroke=OUTLINE, stroke_width=2)
                + rect(bx + 3, by - 8, 3, 16, fill=c(p, "eye_white"))
                + rect(bx - 5, by - 4, 7, 2, fill=c(p, "accent")))
    if kind.prop == "rose" and not pose["seated"]:
        return (path("M%g %g Q%g %g %g %g" % (hx, hy, hx - 4, hy - 10, hx - 2, hy - 18), fill="none",
                     stroke=OUTLINE, stroke_width=4, stroke_linecap="round")
                + path("M%g %g Q%g %g %g %g" % (hx, hy, hx - 4, hy - 10, hx - 2, hy - 18), fill="none",
                       stroke=c(p, "dark"), stroke_width=2, stroke_linecap="round")
                + blob(((hx - 2, hy - 21, 3.5), (hx - 5, hy - 19, 3), (hx + 1, hy - 19, 3)), c(p, "prop"), 1.5)
                + ellipse(hx - 3, hy - 22, 1.2, 1.2, fill=c(p, "prop_light")))
    return ""


def face(p, kind, pose):
    lx, ly = pose["look"]
    brows = pose["brows"]
    out = ""
    if kind.beard:
        out += path("M25 29 Q25 47 42 48 Q59 47 59 29 Q57 39 50 38 Q42 35 34 38 Q27 39 25 29 Z", fill=c(p, "hair"),
                    stroke=OUTLINE, stroke_width=1.6, stroke_linejoin="round")
        out += path("M52 40 Q56 40 57 34 Q57 44 46 46 Z", fill=c(p, "hair_shade"))
    for ex in (36, 48):
        outward = -1 if ex < 42 else 1
        if pose["eyes"] == "closed":
            out += path("M%d 27 Q%d 30 %d 27" % (ex - 4, ex, ex + 4), fill="none", stroke=OUTLINE, stroke_width=2,
                        stroke_linecap="round")
        else:
            out += ellipse(ex, 26, 4.2, 5.2, fill=c(p, "eye_white"), stroke=OUTLINE, stroke_width=1.5)
            out += ellipse(ex + 0.6 + lx, 26.8 + ly, 2.4, 2.8, fill=OUTLINE)
            out += ellipse(ex - 0.4 + lx, 25.6 + ly, 0.9, 0.9, fill=c(p, "eye_white"))
        if kind.lashes:
            out += path("M%g 23 L%g 20.5" % (ex + 3.5 * outward, ex + 6 * outward), stroke=OUTLINE, stroke_width=1.5,
                        stroke_linecap="round", fill="none")
        # Brows: calm arcs, angry slants down to the nose, sad slants up.
        inner = ex - 3 * outward
        outer = ex + 3 * outward
        dy = {"calm": (0, 0), "angry": (3, -1), "sad": (-2, 2)}[brows]
        out += path("M%d %d L%d %d" % (outer, 19 + dy[1], inner, 19 + dy[0]), stroke=c(p, "hair_shade"),
                    stroke_width=2.2, stroke_linecap="round", fill="none")
    out += ellipse(32, 33, 3.2, 2, fill=c(p, "cheek"))
    out += ellipse(52, 33, 3.2, 2, fill=c(p, "cheek"))
    if kind.freckles:
        for x, y in ((30, 31), (33, 30.5), (51, 30.5), (54, 31)):
            out += ellipse(x, y, 0.8, 0.8, fill=c(p, "skin_shade"))
    mouths = {
        "smile": "M37 35 Q42 40 47 35",
        "grin": "M36 34 Q42 43 48 34 Z",
        "neutral": "M38 37 L46 37",
        "frown": "M37 39 Q42 34 47 39",
        "open": "M39 35 Q42 41 45 35 Z",
        "chew": "M39 36 Q42 38 45 36 Q42 35 39 36 Z",
    }
    d = mouths[pose["mood"]]
    filled = d.endswith("Z")
    out += path(d, fill=c(p, "mouth") if filled else "none", stroke=OUTLINE, stroke_width=1.8,
                stroke_linecap="round", stroke_linejoin="round")
    if kind.moustache:
        out += path("M36 33 Q42 29 48 33 Q42 35 36 33 Z", fill=c(p, "hair"), stroke=OUTLINE, stroke_width=1.2)
    if kind.glasses == "round":
        for ex in (36, 48):
            out += ellipse(ex, 26, 6, 6, fill="none", stroke=OUTLINE, stroke_width=1.4)
        out += path("M42 25 L42 25.5", stroke=OUTLINE, stroke_width=1.4)
    elif kind.glasses == "big":  # the bookworm's: large, thick-rimmed
        for ex in (35, 49):
            out += ellipse(ex, 26, 7.5, 7, fill="none", stroke=OUTLINE, stroke_width=2.4)
        out += path("M41.5 25 Q42 23.5 42.5 25", stroke=OUTLINE, stroke_width=2, fill="none")
        out += path("M27.5 24 L24 22 M56.5 24 L60 22", stroke=OUTLINE, stroke_width=2, fill="none")
    elif kind.glasses == "square":  # the business woman's: narrow and sharp
        for ex in (36, 48):
            out += rect(ex - 5.5, 22.5, 11, 8, r=1.5, fill="none", stroke=OUTLINE, stroke_width=1.6)
        out += path("M41.5 25 L42.5 25", stroke=OUTLINE, stroke_width=1.6)
    return out


# Hair behind the head (its outline shows round the face) ...
BACK_HAIR = {
    "long": "M22 26 Q22 6 42 6 Q62 6 62 26 L64 46 Q42 52 20 46 Z",
    "wavy": "M22 24 Q20 7 42 7 Q64 7 62 24 Q69 33 62 41 Q67 50 58 53 Q42 56 26 53 Q17 50 22 41 Q15 33 22 24 Z",
    "bob": "M21 30 Q19 7 42 7 Q65 7 63 30 L64 42 Q58 44 54 41 L30 41 Q26 44 20 42 Z",
    "ponytail": "M55 13 Q73 6 76 22 Q78 36 68 46 Q71 32 60 24 Z",
    "pigtails": "M26 16 Q12 12 9 24 Q8 34 14 40 Q14 30 24 26 Z M58 16 Q72 12 75 24 Q76 34 70 40 Q70 30 60 26 Z",
}
# ... and over it, above the face.
FRONT_HAIR = {
    "short": "M24 22 Q24 7 42 7 Q60 7 60 22 Q50 14 40 17 Q30 14 24 22 Z",
    "long": "M24 22 Q24 7 42 7 Q60 7 60 22 Q50 14 40 17 Q30 14 24 22 Z",
    "wavy": "M24 25 Q23 7 42 7 Q61 7 60 25 Q57 14 47 13 Q36 19 24 25 Z",
    "sleek": "M24 22 Q24 7 42 7 Q60 7 60 22 Q52 12 42 12 Q32 12 24 22 Z",
    "bob": "M23.5 26 Q23 7.5 42 7.5 Q61 7.5 60.5 26 L59 17.5 L25 17.5 Z",
    "spiky": "M24 23 L20 11 L28 13 L29 4 L36 10 L42 2 L48 10 L55 4 L56 13 L64 11 L60 23 Q50 15 42 17 "
             "Q34 15 24 23 Z",
    "quiff": "M24 22 Q23 9 34 8 Q38 1 57 4 Q51 6 53 9 Q61 11 60 22 Q52 14 42 16 Q32 14 24 22 Z",
    "side": "M24 22 Q23 7 40 7 Q60 6 60 21 Q56 13 47 12 L45 16 Q34 13 24 22 Z",
}
FRONT_HAIR["ponytail"] = FRONT_HAIR["sleek"]
FRONT_HAIR["bun"] = FRONT_HAIR["sleek"]
FRONT_HAIR["pigtails"] = "M24 24 Q23 7 42 7 Q61 7 60 24 Q56 15 42 16 Q28 15 24 24 Z"
CURLS = ((24, 19, 6), (21, 30, 6), (23, 41, 6), (60, 19, 6), (63, 30, 6), (61, 41, 6), (30, 11, 6), (42, 9, 6),
         (54, 11, 6))


def hat(p, kind):
    out = ""
    if kind.hat == "bucket":  # the tourist's sun hat
        out += ellipse(42, 13, 24, 5, fill=c(p, "accent"), stroke=OUTLINE, stroke_width=2)
        out += path("M29 12 L31 4 Q42 1.5 53 4 L55 12 Q42 14.5 29 12 Z", fill=c(p, "accent"), stroke=OUTLINE,
                    stroke_width=2, stroke_linejoin="round")
        out += path("M30.3 8 Q42 10 53.7 8 L54.4 11.5 Q42 13.5 29.6 11.5 Z", fill=c(p, "prop"))
        out += path("M48 4 L51 4.5 L53 11 L49 11.5 Z", fill=c(p, "accent_shade"))
    elif kind.hat == "sunhat":  # wide and floppy, a ribbon and sunglasses on it
        out += path("M12 15 Q14 6 42 6 Q70 6 72 15 Q66 19 42 17 Q18 19 12 15 Z", fill=c(p, "accent"), stroke=OUTLINE,
                    stroke_width=2, stroke_linejoin="round")
        out += path("M30 11 Q30 2 42 2 Q54 2 54 11 Z", fill=c(p, "accent"), stroke=OUTLINE, stroke_width=2)
        out += path("M30.2 7 L53.8 7 L54 11 L30 11 Z", fill=c(p, "prop"))
        out += path("M56 13 Q66 13 70 15 Q64 17 56 16 Z", fill=c(p, "accent_shade"))
        for x in (36, 47):
            out += ellipse(x, 5.5, 4, 2.8, fill=c(p, "dark"), stroke=OUTLINE, stroke_width=1.2)
        out += path("M40 5.5 L43 5.5", stroke=OUTLINE, stroke_width=1.2)
    elif kind.hat == "beanie":  # the kid's cap with its propeller
        out += path("M24 20 Q24 4 42 4 Q60 4 60 20 Q42 15 24 20 Z", fill=c(p, "accent"), stroke=OUTLINE,
                    stroke_width=2, stroke_linejoin="round")
        out += path("M36 5.2 Q34 12 35 17 L40 16.4 Q39 10 40 4.2 Z", fill=c(p, "prop"))
        out += path("M48 5.2 Q50 12 49 17 L44 16.4 Q45 10 44 4.2 Z", fill=c(p, "prop"))
        out += path("M42 4 L42 -1", stroke=OUTLINE, stroke_width=2)
        out += ellipse(35, -1.5, 7, 2.2, fill=c(p, "prop"), stroke=OUTLINE, stroke_width=1.5)
        out += ellipse(49, -1.5, 7, 2.2, fill=c(p, "prop"), stroke=OUTLINE, stroke_width=1.5)
        out += ellipse(42, -1.5, 2, 2, fill=c(p, "dark"))
    elif kind.hat == "headband":  # the fitness woman's sweatband
        out += path("M24.5 21 Q42 7 59.5 21", fill="none", stroke=OUTLINE, stroke_width=8, stroke_linecap="round")
        out += path("M24.5 21 Q42 7 59.5 21", fill="none", stroke=c(p, "accent"), stroke_width=4.5,
                    stroke_linecap="round")
        out += path("M34 15 Q42 12 50 15", fill="none", stroke=c(p, "prop"), stroke_width=1.5)
    if kind.hair_style == "pigtails":  # a bow where each tail is tied
        for x in (23, 61):
            out += blob(((x - 3, 17, 3.2), (x + 3, 17, 3.2)), c(p, "accent"), 1.5)
            out += ellipse(x, 17, 1.6, 1.6, fill=c(p, "accent_shade"))
    if kind.hat == "flower":  # the lovebird's flower over one ear
        out += blob(((58, 8, 3.5), (64, 10, 3.5), (62, 16, 3.5), (55, 15, 3.5), (54, 10, 3)), c(p, "prop"), 1.5)
        out += ellipse(59, 12, 2.4, 2.4, fill=c(p, "accent"), stroke=OUTLINE, stroke_width=1)
    return out


def head(p, kind, pose):
    skin, hair = c(p, "skin"), c(p, "hair")
    style_ = kind.hair_style
    out = ""
    if style_ == "bun":
        out += ellipse(42, 8, 7.5, 6, fill=hair, stroke=OUTLINE, stroke_width=2)
        out += ellipse(39, 6, 3, 2, fill=c(p, "hair_light"))
    if style_ == "curly":
        out += blob(CURLS, hair)
    if style_ in BACK_HAIR:
        out += path(BACK_HAIR[style_], fill=hair, stroke=OUTLINE, stroke_width=2, stroke_linejoin="round")
    out += ellipse(42, 26, 18, 17, fill=skin, stroke=OUTLINE, stroke_width=2)
    # The cel shadow on the lower right, one highlight on the upper left.
    out += path("M58 22 Q60 38 44 42 Q56 36 58 22 Z", fill=c(p, "skin_shade"))
    out += ellipse(33, 15, 5, 3, fill=c(p, "skin_light"), transform="rotate(-25 33 15)")
    if style_ == "fringe":  # bald crown, hair on the sides
        out += path("M24 28 Q22 16 29 12 Q27 22 30 28 Z", fill=hair, stroke=OUTLINE, stroke_width=1.5)
        out += path("M60 28 Q62 16 55 12 Q57 22 54 28 Z", fill=hair, stroke=OUTLINE, stroke_width=1.5)
    elif style_ == "curly":
        out += blob(((29, 14, 4.5), (36, 11, 4.5), (43, 11, 4.5), (50, 12, 4.5), (56, 16, 4)), hair, 1.5)
    elif style_ in FRONT_HAIR:
        out += path(FRONT_HAIR[style_], fill=hair, stroke=OUTLINE, stroke_width=1.8, stroke_linejoin="round")
        out += path("M30 11 Q36 9 40 9.5", fill="none", stroke=c(p, "hair_light"), stroke_width=1.5,
                    stroke_linecap="round")
    out += hat(p, kind)
    out += face(p, kind, pose)
    return group(out, transform="rotate(%g %d %d) translate(%g 0)" % (pose["tilt"], NECK[0], NECK[1], pose["turn"]))


def torso_shape(kind):
    if kind.top == "dress":  # flares over the legs
        return "M30 46 Q42 42 54 46 L64 81 Q42 86 20 81 Z", "M49 47 Q54 47 54 48 L63.5 80 Q54 83 47 83 Z"
    return "M30 46 Q42 42 54 46 L59 76 Q42 80 25 76 Z", "M49 47 Q54 47 54 48 L58.5 75 Q52 77.5 47 78 Z"


def clothes(p, kind):
    """What a type wears over the party-coloured top."""
    accent, out = c(p, "accent"), ""
    if kind.top == "jacket":  # lapels open on a light blouse
        out += path("M36 45 L42 60 L48 45 Z", fill=accent, stroke=OUTLINE, stroke_width=1.5, stroke_linejoin="round")
        out += path("M36 45 L33 52 L39 53 L42 60 M48 45 L51 52 L45 53 L42 60", fill="none", stroke=OUTLINE,
                    stroke_width=1.5, stroke_linejoin="round")
        out += ellipse(42, 66, 1.5, 1.5, fill=c(p, "dark"))
    elif kind.top == "tank":  # bare shoulders, straps
        out += path("M30 46 Q33 52 36 47 L48 47 Q51 52 54 46 Q42 42 30 46 Z", fill=c(p, "skin"))
        out += path("M36 47 Q42 52 48 47", fill="none", stroke=OUTLINE, stroke_width=1.5)
        out += path("M27 60 L57 60", stroke=accent, stroke_width=2.5)
    elif kind.top == "cardigan":  # open over a light top
        out += path("M38 45 L42 50 L46 45 L45 78 L39 78 Z", fill=accent, stroke=OUTLINE, stroke_width=1.5,
                    stroke_linejoin="round")
        for y in (56, 64, 72):
            out += ellipse(37, y, 1.4, 1.4, fill=c(p, "party_shade"), stroke=OUTLINE, stroke_width=0.8)
    elif kind.top == "hawaiian":  # flowers on the shirt
        for x, y in ((34, 55), (48, 64), (35, 71), (51, 51)):
            out += blob(((x - 1.8, y, 1.5), (x + 1.8, y, 1.5), (x, y - 1.8, 1.5), (x, y + 1.8, 1.5)), accent, 0.8)
            out += ellipse(x, y, 0.9, 0.9, fill=c(p, "prop"))
    elif kind.top == "tee":  # a star on the chest
        out += path("M42 53 L44 58 L49 58 L45 61 L47 66 L42 63 L37 66 L39 61 L35 58 L40 58 Z", fill=accent,
                    stroke=OUTLINE, stroke_width=1.2, stroke_linejoin="round")
    if kind.collar:
        out += path("M36 45 L42 52 L48 45 Z", fill=accent, stroke=OUTLINE, stroke_width=1.5, stroke_linejoin="round")
    if kind.buttons:
        for y in (56, 63, 70):
            out += ellipse(42, y, 1.4, 1.4, fill=accent)
    if kind.neck == "tie":
        out += path("M39.5 46 L44.5 46 L43.5 49 L46 67 L42 71 L38 67 L40.5 49 Z", fill=c(p, "prop"), stroke=OUTLINE,
                    stroke_width=1.5, stroke_linejoin="round")
        out += path("M44 55 L45.5 66 L42 69 Z", fill=c(p, "prop_shade"))
    elif kind.neck == "bowtie":
        out += path("M42 48 L34 44 L34 52 Z M42 48 L50 44 L50 52 Z", fill=c(p, "prop"), stroke=OUTLINE,
                    stroke_width=1.5, stroke_linejoin="round")
        out += ellipse(42, 48, 2.2, 2.2, fill=c(p, "prop_shade"), stroke=OUTLINE, stroke_width=1.2)
    return out


def camera(p):
    """The tourist's camera on its strap."""
    out = path("M34 45 L37 58 M50 45 L47 58", fill="none", stroke=OUTLINE, stroke_width=1.8)
    out += rect(33, 56, 18, 12, r=2.5, fill=c(p, "dark"), stroke=OUTLINE, stroke_width=2)
    out += rect(35, 54, 5, 3, r=1, fill=c(p, "dark"), stroke=OUTLINE, stroke_width=1.2)
    out += ellipse(43, 62, 4.2, 4.2, fill=c(p, "glint"), stroke=OUTLINE, stroke_width=1.8)
    out += ellipse(42, 61, 1.3, 1.3, fill=c(p, "eye_white"))
    return out


def torso(p, kind, pose):
    party, lit, dark = c(p, "party"), c(p, "party_light"), c(p, "party_shade")
    shape, shadow = torso_shape(kind)
    out = path(shape, fill=party, stroke=OUTLINE, stroke_width=2, stroke_linejoin="round")
    out += path(shadow, fill=dark)
    out += path("M32 49 L29 66 L31 66 L34 49 Z", fill=lit)
    out += clothes(p, kind)
    if pose["seated"]:
        # The lap in front of the lower body: thighs toward the viewer.
        lap = "party" if kind.top == "dress" else "trousers"
        out += rect(26, 70, 32, 11, r=5, fill=c(p, lap), stroke=OUTLINE, stroke_width=2)
        out += rect(44, 75, 12, 5, r=2.5, fill=c(p, lap + "_shade"))
        out += rect(29, 72, 10, 3, r=1.5, fill=c(p, lap + "_light"))
    if kind.build != 1.0:
        out = group(out, transform="translate(42 0) scale(%g 1) translate(-42 0)" % kind.build)
    if kind.neck == "camera":
        out += camera(p)
    return out


def draw_baby(p, x, y, mood, frame=0):
    """A baby wrapped in its blanket, centred on (x, y): "happy" or "sad"."""
    wiggle = (-1, 1)[frame % 2]
    out = ellipse(x, y + 5, 10, 7.5, fill=c(p, "blanket"), stroke=OUTLINE, stroke_width=2)
    out += path("M%g %g Q%g %g %g %g Z" % (x + 3, y + 12, x + 10, y + 8, x + 9, y + 3), fill=c(p, "blanket_shade"))
    arm_y = y + 1 + (wiggle if mood == "happy" else 0)
    out += ellipse(x - 8, arm_y, 3, 3, fill=c(p, "skin"), stroke=OUTLINE, stroke_width=1.5)
    out += ellipse(x + 8, arm_y - (1 if mood == "happy" else 0), 3, 3, fill=c(p, "skin"), stroke=OUTLINE,
                   stroke_width=1.5)
    out += ellipse(x, y - 4, 8, 7.5, fill=c(p, "skin"), stroke=OUTLINE, stroke_width=2)
    out += path("M%g %g Q%g %g %g %g Q%g %g %g %g Q%g %g %g %g Z" % (x - 9, y - 4, x - 9, y - 14, x, y - 14, x + 9, y - 14,
                                                       x + 9, y - 4, x, y - 10, x - 9, y - 4),
                fill=c(p, "party"), stroke=OUTLINE, stroke_width=1.8, stroke_linejoin="round")
    out += path("M%g %g Q%g %g %g %g" % (x + 2, y - 12.5, x + 7, y - 11, x + 7.5, y - 6), fill="none",
                stroke=c(p, "party_shade"), stroke_width=2)
    if mood == "happy":
        for ex in (x - 3, x + 3):
            out += path("M%g %g Q%g %g %g %g" % (ex - 1.6, y - 3, ex, y - 5, ex + 1.6, y - 3), fill="none",
                        stroke=OUTLINE, stroke_width=1.4, stroke_linecap="round")
        out += path("M%g %g Q%g %g %g %g Z" % (x - 2.5, y, x, y + 3.5, x + 2.5, y), fill=c(p, "mouth"),
                    stroke=OUTLINE, stroke_width=1.2)
    else:
        for ex in (x - 3, x + 3):
            out += path("M%g %g L%g %g" % (ex - 1.6, y - 3.5, ex + 1.6, y - 3.5 + (0.8 if ex < x else -0.8)),
                        stroke=OUTLINE, stroke_width=1.5, stroke_linecap="round")
            out += ellipse(ex + (-1 if ex < x else 1), y - 0.5 + frame, 1, 1.6, fill=c(p, "tear"))
        out += ellipse(x, y + 1.5, 2.5 - 0.5 * frame, 2 + frame * 0.7, fill=c(p, "mouth"), stroke=OUTLINE,
                       stroke_width=1.2)
    out += ellipse(x - 5, y - 1, 1.6, 1, fill=c(p, "cheek"))
    out += ellipse(x + 5, y - 1, 1.6, 1, fill=c(p, "cheek"))
    return out


def draw_body(p, kind, pose):
    dy = pose["bob"] + (2 if pose["seated"] else 0)
    left, right = hands(kind, pose)
    sleeve = c(p, "skin") if kind.top == "tank" else c(p, "party")
    front = (arm(p, kind, 0, left, sleeve, held_prop(p, kind, pose, 0, left))
             + arm(p, kind, 1, right, sleeve, held_prop(p, kind, pose, 1, right)))
    whole = torso(p, kind, pose) + head(p, kind, pose) + front
    if kind.prop == "baby" and not pose["seated"]:
        # Carried: the baby lies across the chest on the forearms.
        whole += draw_baby(p, 42, 59, "happy" if pose["mood"] in ("smile", "grin") else "sad")
    if pose["steam"]:
        # Puffs of temper beside the head.
        whole += "".join(path("M%d 14 Q%d 10 %d 6" % (x, x + 3 * side, x), stroke=OUTLINE, stroke_width=1.6,
                              fill="none", stroke_linecap="round") for x, side in ((18, -1), (66, 1)))
    squash = pose["squash"]
    transform = "translate(0 %g) translate(0 %g) scale(1 %g) translate(0 %g) rotate(%g 42 78)" % (
        dy, HIPS_Y, squash, -HIPS_Y, pose["lean"])
    body = group(whole, transform=transform)
    if kind.scale != 1.0:
        ox, oy = LAP if pose["seated"] else FEET
        body = group(body, transform="translate(%g %g) scale(%g) translate(%g %g)" % (ox, oy, kind.scale, -ox, -oy))
    return body


def scaled(kind, pose, point):
    """A point of the unscaled figure where the type's size puts it."""
    if kind.scale == 1.0:
        return point
    ox, oy = LAP if pose["seated"] else FEET
    return ox + (point[0] - ox) * kind.scale, oy + (point[1] - oy) * kind.scale


def body_anchors(kind, pose):
    """Anchors from the registration point: what the game draws at the figure."""
    dy = pose["bob"] + (2 if pose["seated"] else 0)
    hand = hand_point(kind, 1, hands(kind, pose)[1])
    points = {
        # A point of bare skin on the face (between the eyes, or on the cheek
        # below glasses): tests find the face the figure shows from here.
        "face": (REG[0], 22 + dy) if not kind.glasses else (33, 38 + dy),
        "smoke": (REG[0] + 16, REG[1] - 38 + dy),
        "menu": (REG[0], REG[1] + 14 + dy),
        "cup": (hand[0], hand[1] + dy),
    }
    if kind.prop == "baby":
        points["baby"] = (REG[0] - 10, REG[1] + 22 + dy)
    anchors = {}
    for name, point in points.items():
        x, y = scaled(kind, pose, point)
        anchors[name] = (round(x) - REG[0], round(y) - REG[1])
    if pose["seated"]:
        anchors["hide_legs"] = (0, 0)
    else:
        anchors["legs"] = (0, HIPS_Y - REG[1] + LEGS_SIZE[1] // 2 - 3)
    return anchors


def draw_legs(p, kind):
    out = ""
    trousers, lit = (c(p, "party_shade"), c(p, "party")) if kind.legs != "bare" else (None, None)
    for x in (11, 25):
        if kind.legs == "trousers":
            out += rect(x - 5, 0, 10, 20, r=3, fill=trousers, stroke=OUTLINE, stroke_width=2)
            out += rect(x - 3, 2, 3, 15, r=1.5, fill=lit)
        else:
            out += rect(x - 3.5, 0, 7, 20, r=3, fill=c(p, "skin"), stroke=OUTLINE, stroke_width=2)
            out += rect(x + 0.5, 2, 1.5, 15, r=0.7, fill=c(p, "skin_shade"))
        out += path("M%d 21 Q%d 16 %d 20 L%d 24 L%d 24 Z" % (x - 6, x, x + 7, x + 7, x - 6), fill=c(p, "shoe"),
                    stroke=OUTLINE, stroke_width=2, stroke_linejoin="round")
        out += ellipse(x - 2, 20, 2, 1, fill=c(p, "shoe_light"))
    if kind.legs == "shorts":
        out += path("M4 0 L32 0 L33 10 L20 11 L18 6 L16 11 L3 10 Z", fill=trousers, stroke=OUTLINE, stroke_width=2,
                    stroke_linejoin="round")
        out += rect(6, 1.5, 4, 6, r=1.5, fill=lit)
    if kind.scale != 1.0:
        bx, by = LEGS_SIZE[0] / 2, LEGS_SIZE[1] - 2
        out = group(out, transform="translate(%g %g) scale(%g) translate(%g %g)" % (bx, by, kind.scale, -bx, -by))
    return out
