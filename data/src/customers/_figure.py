"""The customer rig: one drawing for all thirteen types, told apart by the
type's parameters (skin, hair, face details, clothing; the props that tell
the later types apart join here as parameters too), poses by the
pose values. Light from the upper left: every shape has its lit colour,
base and one shade on the lower right.

Body frames are 84x84 with the registration point in the middle (art is
centred on its position); the legs are a picture of their own, drawn by the
game at the "legs" anchor unless a frame has "hide_legs" (seated frames).
"""
from qmcontent import palette, palettes, style
from qmcontent.svg import OUTLINE, ellipse, group, path, rect

W, H = 84, 84
REG = (42, 42)
NECK = (42, 44)
SHOULDERS = ((27, 49), (57, 49))
HIPS_Y = 78
LEGS_SIZE = (36, 26)

DEFAULT = {
    "bob": 0, "squash": 1.0, "tilt": 0, "look": (0, 0), "turn": 0,
    "mood": "smile", "eyes": "open", "brows": "calm",
    # hands relative to their shoulder; None: hanging at the side
    "left": None, "right": None,
    "seated": False, "lean": 0, "steam": False,
}


def body_palette(kind):
    """Entries of a type's body picture in index order (the index order of every ".pal" of it)."""
    entries = palettes.figure_entries()
    skin = style.SKIN[kind.skin]
    hair = style.HAIR[kind.hair]
    for name, colour in (("skin", skin), ("hair", hair), ("trousers", kind.trousers)):
        for suffix, value in zip(("_light", "", "_shade"), style.ramp(colour)):
            entries.append((name + suffix, palette.hex_colour(value)))
    entries += [("eye_white", palette.hex_colour("#ffffff")), ("mouth", palette.hex_colour("#a33d4b")),
                ("cheek", palette.hex_colour(style.mix(skin, "#e0606a", 0.45))),
                ("accent", palette.hex_colour(kind.accent)), ("accent_shade", palette.hex_colour(style.shade(kind.accent)))]
    entries += palettes.party_entries("party")
    return palette.Palette(entries)


def trouser_colour(kind, colour):
    """Trousers carry the party colour too, muted towards the type's own
    trouser colour so that top and bottom read as two garments."""
    return style.mix(style.PARTY[colour], kind.trousers, 0.5)


def legs_palette(kind, colour="red"):
    entries = palettes.figure_entries()
    for suffix, value in zip(("_light", "", "_shade"), style.ramp(trouser_colour(kind, colour))):
        entries.append(("party" + suffix, palette.hex_colour(value)))
    entries += [("shoe", palette.hex_colour("#5a3b2e")), ("shoe_light", palette.hex_colour("#7d5646"))]
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


def arm(p, side, hand, sleeve):
    sx, sy = SHOULDERS[side]
    if hand is None:
        hx, hy = sx + (-3 if side == 0 else 3), sy + 22
    else:
        hx, hy = sx + hand[0], sy + hand[1]
    skin = c(p, "skin")
    out = capsule(sx, sy, hx, hy, 9, sleeve)
    out += ellipse(hx, hy, 5, 5, fill=skin, stroke=OUTLINE, stroke_width=2)
    out += ellipse(hx - 1.2, hy - 1.2, 2, 2, fill=c(p, "skin_light"))
    return out


def face(p, kind, pose):
    lx, ly = pose["look"]
    brows = pose["brows"]
    out = ""
    for ex in (36, 48):
        if pose["eyes"] == "closed":
            out += path("M%d 27 Q%d 30 %d 27" % (ex - 4, ex, ex + 4), fill="none", stroke=OUTLINE, stroke_width=2,
                        stroke_linecap="round")
        else:
            out += ellipse(ex, 26, 4.2, 5.2, fill=c(p, "eye_white"), stroke=OUTLINE, stroke_width=1.5)
            out += ellipse(ex + 0.6 + lx, 26.8 + ly, 2.4, 2.8, fill=OUTLINE)
            out += ellipse(ex - 0.4 + lx, 25.6 + ly, 0.9, 0.9, fill=c(p, "eye_white"))
        # Brows: calm arcs, angry slants down to the nose, sad slants up.
        inner = ex + (3 if ex < 42 else -3)
        outer = ex - (3 if ex < 42 else -3)
        dy = {"calm": (0, 0), "angry": (3, -1), "sad": (-2, 2)}[brows]
        out += path("M%d %d L%d %d" % (outer, 19 + dy[1], inner, 19 + dy[0]), stroke=c(p, "hair_shade"),
                    stroke_width=2.2, stroke_linecap="round", fill="none")
    out += ellipse(32, 33, 3.2, 2, fill=c(p, "cheek"))
    out += ellipse(52, 33, 3.2, 2, fill=c(p, "cheek"))
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
    if kind.glasses:
        for ex in (36, 48):
            out += ellipse(ex, 26, 6, 6, fill="none", stroke=OUTLINE, stroke_width=1.4)
        out += path("M42 25 L42 25.5", stroke=OUTLINE, stroke_width=1.4)
    return out


def head(p, kind, pose):
    skin, hair = c(p, "skin"), c(p, "hair")
    out = ""
    if kind.hair_style == "long":
        out += path("M22 26 Q22 6 42 6 Q62 6 62 26 L64 46 Q42 52 20 46 Z", fill=hair, stroke=OUTLINE, stroke_width=2)
    out += ellipse(42, 26, 18, 17, fill=skin, stroke=OUTLINE, stroke_width=2)
    # The cel shadow on the lower right, one highlight on the upper left.
    out += path("M58 22 Q60 38 44 42 Q56 36 58 22 Z", fill=c(p, "skin_shade"))
    out += ellipse(33, 15, 5, 3, fill=c(p, "skin_light"), transform="rotate(-25 33 15)")
    if kind.hair_style == "fringe":  # bald crown, hair on the sides
        out += path("M24 28 Q22 16 29 12 Q27 22 30 28 Z", fill=hair, stroke=OUTLINE, stroke_width=1.5)
        out += path("M60 28 Q62 16 55 12 Q57 22 54 28 Z", fill=hair, stroke=OUTLINE, stroke_width=1.5)
    elif kind.hair_style in ("short", "long"):
        out += path("M24 22 Q24 7 42 7 Q60 7 60 22 Q50 14 40 17 Q30 14 24 22 Z", fill=hair, stroke=OUTLINE,
                    stroke_width=1.8)
    out += face(p, kind, pose)
    return group(out, transform="rotate(%g %d %d) translate(%g 0)" % (pose["tilt"], NECK[0], NECK[1], pose["turn"]))


def torso(p, kind, pose):
    party, lit, dark = c(p, "party"), c(p, "party_light"), c(p, "party_shade")
    out = path("M30 46 Q42 42 54 46 L59 76 Q42 80 25 76 Z", fill=party, stroke=OUTLINE, stroke_width=2,
                stroke_linejoin="round")
    out += path("M49 47 Q54 47 54 48 L58.5 75 Q52 77.5 47 78 Z", fill=dark)
    out += path("M32 49 L29 66 L31 66 L34 49 Z", fill=lit)
    if kind.collar:
        out += path("M36 45 L42 52 L48 45 Z", fill=c(p, "accent"), stroke=OUTLINE, stroke_width=1.5,
                    stroke_linejoin="round")
    if kind.buttons:
        for y in (56, 63, 70):
            out += ellipse(42, y, 1.4, 1.4, fill=c(p, "accent"))
    if pose["seated"]:
        # The lap in front of the lower body: thighs toward the viewer.
        out += rect(26, 70, 32, 11, r=5, fill=c(p, "trousers"), stroke=OUTLINE, stroke_width=2)
        out += rect(44, 75, 12, 5, r=2.5, fill=c(p, "trousers_shade"))
        out += rect(29, 72, 10, 3, r=1.5, fill=c(p, "trousers_light"))
    return out


def draw_body(p, kind, pose):
    dy = pose["bob"] + (2 if pose["seated"] else 0)
    sleeve = c(p, "party")
    front = arm(p, 0, pose["left"], sleeve) + arm(p, 1, pose["right"], sleeve)
    whole = torso(p, kind, pose) + head(p, kind, pose) + front
    if pose["steam"]:
        # Puffs of temper beside the head.
        whole += "".join(path("M%d 14 Q%d 10 %d 6" % (x, x + 3 * side, x), stroke=OUTLINE, stroke_width=1.6,
                              fill="none", stroke_linecap="round") for x, side in ((18, -1), (66, 1)))
    squash = pose["squash"]
    transform = "translate(0 %g) translate(0 %g) scale(1 %g) translate(0 %g) rotate(%g 42 78)" % (
        dy, HIPS_Y, squash, -HIPS_Y, pose["lean"])
    return group(whole, transform=transform)


def body_anchors(pose):
    """Anchors from the registration point: what the game draws at the figure."""
    dy = pose["bob"] + (2 if pose["seated"] else 0)
    anchors = {
        "smoke": (16, -38 + dy),
        "menu": (0, 14 + dy),
        "cup": ((SHOULDERS[1][0] + (pose["right"] or (3, 22))[0]) - REG[0],
                (SHOULDERS[1][1] + (pose["right"] or (3, 22))[1]) - REG[1] + dy),
    }
    if pose["seated"]:
        anchors["hide_legs"] = (0, 0)
    else:
        anchors["legs"] = (0, HIPS_Y - REG[1] + LEGS_SIZE[1] // 2 - 3)
    return anchors


def draw_legs(p):
    trousers, lit = c(p, "party_shade"), c(p, "party")
    out = ""
    for x in (11, 25):
        out += rect(x - 5, 0, 10, 20, r=3, fill=trousers, stroke=OUTLINE, stroke_width=2)
        out += rect(x - 3, 2, 3, 15, r=1.5, fill=lit)
        out += path("M%d 21 Q%d 16 %d 20 L%d 24 L%d 24 Z" % (x - 6, x, x + 7, x + 7, x - 6), fill=c(p, "shoe"),
                    stroke=OUTLINE, stroke_width=2, stroke_linejoin="round")
        out += ellipse(x - 2, 20, 2, 1, fill=c(p, "shoe_light"))
    return out
