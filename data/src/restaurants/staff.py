"""Each restaurant's own staff, drawn on the staff rig (people/_person.py),
in "restaurants/NAME/people/":
  cook.anm: the restaurant's cook behind the counter, one of his own for
  each restaurant in its colours; "DoAnim" plays one round of his work and
  ends (the game fades him in while anything cooks, mirrors him and starts
  it again); the game places him at the animation's registration point;
  entertainer.anm: the performer the phone calls, with the restaurant's
  instrument (steel pan, piano, marimba, accordion, keytar), standing on
  the registration point; "DoAnim" loops; for the blimp also
  entertainer2.anm, the singer at the karaoke machine."""
# reads: ../people ../customers
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "people"))

import _person as rig  # noqa: E402
from qmcontent import anim, style, svg  # noqa: E402
from qmcontent.rig import Pose  # noqa: E402
from qmcontent.svg import OUTLINE, ellipse, group, path, rect  # noqa: E402

ORDER = ["cruise", "train", "sub", "blimp", "spaceship"]
COLOURS = {name: list(style.RESTAURANTS[name].values()) for name in ORDER}
STAND = Pose("stand", rig.POSE)
COOK_PLACE = (400, 96)


def outlined(fill, width=2):
    return rig.outlined(fill, width)


def picture(w, h, offset, body):
    return svg.render(svg.document(w, h, group(body, transform="translate(%g %g)" % offset)))


def lua_function(name, delay, numbers, loops):
    body = ("    while true do\n        frames{%s};\n    end\n" if loops else "    frames{%s};\n") % ",".join(
        str(n) for n in numbers)
    return "function %s()\n    delay(%d);\n%send\n" % (name, delay, body)


def steam(x, y, step):
    out = ""
    for k in range(2):
        dx = (k * 9) - 4 + (step % 2) * 2
        out += path("M%g %g q-4 -5 0 -10 q4 -5 0 -10" % (x + dx, y - (step + k) % 3 * 2), fill="none",
                    stroke="#ffffff", stroke_width=3, stroke_linecap="round", opacity=0.75)
    return out


def hand(look, x, y):
    lit, skin, _ = style.ramp(look.skin)
    return ellipse(x, y, 5, 5, **outlined(skin)) + ellipse(x - 1.2, y - 1.2, 2, 2, fill=lit)


# ---------------------------------------------------------------- cooks

COOKS = {
    "cruise": rig.person(skin=style.SKIN[1], hair=style.HAIR[3], hair_style="short", hat="sailor", beard=True,
                         moustache=True, top="#f4f6f8", stripes="#24395e", rolled=True, accent="#24395e",
                         neck="scarf", build=1.15, belly=True),
    "train": rig.person(skin=style.SKIN[0], hair=style.HAIR[0], hair_style="slick", hat="toque",
                        moustache=True, top="#f4f6f8", cut="chef", buttons="#c79a3a", neck="scarf",
                        accent="#6b2e22", build=0.95),
    "sub": rig.person(skin=style.SKIN[3], hair=style.HAIR[4], hair_style="curly", hat="bandana",
                      accent="#f08a3c", lashes=True, top="#1f6f73", rolled=True, apron="#8a9aa3", build=0.95),
    "blimp": rig.person(skin=style.SKIN[0], hair=style.HAIR[2], hair_style="bob", hat="mushroom", lashes=True,
                        freckles=True, glasses="round", top="#f6ecd2", cut="chef", buttons="#c8363b",
                        neck="scarf", accent="#c8363b", build=0.95),
    "spaceship": rig.person(skin=style.SKIN[2], hair=style.HAIR[4], hair_style="short", hat="space_toque",
                            beard=True, top="#3b2666", cut="chef", buttons="#4ee2ec", apron="#c3c8d4",
                            accent="#4ee2ec"),
}
# His frame: 96 x 118; the figure moved 6 right and 22 down, so that the
# counter's lower edge lands where the kitchen expects it.
COOK_SIZE = (96, 118)
COOK_SHIFT = (6, 22)
COOK_REG = (48, 72)
# He stands back in the kitchen, a little smaller than the floor's people,
# shrunk towards the counter's top (COOK_BASE): so every cook's hat stays
# below the game's top bar (44 px from the screen's top), which would cut
# it flat.
COOK_SCALE = 0.82
COOK_BASE = (rig.CENTRE_X, 76)


def counter(name):
    main, second, metal, accent = COLOURS[name]
    top = {"cruise": "#c79a3a", "train": "#c79a3a", "sub": "#8a9aa3", "blimp": "#f6ecd2", "spaceship": "#c3c8d4"}[name]
    front = {"cruise": "#24395e", "train": "#6b2e22", "sub": "#1f6f73", "blimp": "#c8363b", "spaceship": "#3b2666"}[
        name]
    out = rect(-2, 80, 88, 14, r=3, **outlined(front))
    out += rect(-2, 89, 88, 4, fill=style.shade(front))
    out += rect(-4, 76, 92, 6, r=2.5, **outlined(top))
    return out + rect(-2, 77, 20, 2, fill=style.light(top))


def cook_props(name, look, step):
    """What each cook works with, and where his hands are, for step 0..5."""
    t = step * 2 * math.pi / 6
    if name == "cruise":  # stirs the soup pot round and round
        lx, ly = 52 + 10 * math.cos(t), 66 + 3 * math.sin(t)
        pot = (rect(32, 64, 42, 14, r=3, **outlined("#c79a3a"))
               + rect(61, 65, 12, 12, fill=style.shade("#c79a3a")) + ellipse(53, 64, 21, 5, **outlined("#8a9aa3"))
               + ellipse(53, 64, 17, 3.5, fill="#e8a04a") + rect(36, 67, 6, 8, r=2, fill=style.light("#c79a3a")))
        ladle = path("M%g %g L%g %g" % (lx, ly, lx + 8, ly - 16), stroke=OUTLINE, stroke_width=4.5,
                     stroke_linecap="round") + path("M%g %g L%g %g" % (lx, ly, lx + 8, ly - 16), stroke="#c3c8d4",
                                                    stroke_width=2, stroke_linecap="round")
        sx, sy = rig.shoulders(look)[1]
        hands = ((-6, 20), (lx + 8 - sx, ly - 16 - sy))
        return pot + steam(76, 60, step), ladle + hand(look, lx + 8, ly - 16), hands, "grin" if step % 3 else "open"
    if name == "train":  # tosses a pancake from his pan
        lift = (0, 6, 10, 6, 0, -1)[step]
        cake_y = (64, 40, 22, 34, 58, 64)[step]
        cake_w = (10, 6, 2, 7, 10, 10)[step]
        px, py = 74, 64 - lift
        pan = (path("M%g %g L%g %g" % (px - 12, py, px - 24, py + 4), stroke=OUTLINE, stroke_width=5,
                    stroke_linecap="round")
               + ellipse(px, py, 13, 4.5, **outlined("#34343c")) + ellipse(px, py - 1, 9.5, 2.5, fill="#4a4652"))
        cake = ellipse(px, cake_y, 8.5, max(1.5, cake_w / 3.5), **outlined("#e3ac5a", 1.5))
        sx, sy = rig.shoulders(look)[1]
        hands = ((-12, 26), (px - 24 - sx, py + 4 - sy))
        return "", pan + cake + hand(look, px - 24, py + 4), hands, ("open" if step in (2, 3) else "grin")
    if name == "sub":  # chops a carrot on the board
        knife_y = (56, 44, 56, 44, 56, 42)[step]
        board = (rect(14, 70, 56, 7, r=2, **outlined("#b07a45")) + rect(18, 66, 20, 5, r=2.5, **outlined("#f08a3c", 1.5))
                 + path("M38 68.5 l6 -2 l-1 4 z", fill="#4fbf68", stroke=OUTLINE, stroke_width=1))
        for k in range(step % 3 + 1):
            board += ellipse(50 + k * 5, 68, 2.5, 1.6, **outlined("#f08a3c", 1))
        knife = (path("M50 %g L66 %g L64 %g L50 %g Z" % (knife_y + 9, knife_y + 9, knife_y + 13, knife_y + 12),
                      **outlined("#c3c8d4", 1.5))
                 + rect(64, knife_y + 7, 10, 5, r=2, **outlined("#6b3a22", 1.5)))
        hands = ((30 - 27, 67 - 49), (70 - 57, knife_y + 9 - 49))
        return board, knife + hand(look, 70, knife_y + 9), hands, "smile" if step % 2 else "grin"
    if name == "blimp":  # whisks the cream in a bowl in her arm
        wx = (38, 46, 50, 46, 38, 34)[step]
        bowl = (path("M18 62 Q18 80 36 80 Q54 80 54 62 Z", **outlined("#f4f6f8"))
                + path("M44 63 Q52 64 50 74 Q46 79 40 79 Q50 72 44 63 Z", fill=style.shade("#f4f6f8"))
                + ellipse(36, 62, 18, 4, **outlined("#fff8ec", 1.5)))
        whisk = (path("M%g 62 L%g 48" % (wx, wx + 10), stroke=OUTLINE, stroke_width=4, stroke_linecap="round")
                 + ellipse(wx - 1, 62, 4, 7, fill="none", stroke="#8a9aa3", stroke_width=1.5)
                 + ellipse(wx - 1, 62, 1.8, 7, fill="none", stroke="#8a9aa3", stroke_width=1.2))
        (lsx, lsy), (rsx, rsy) = rig.shoulders(look)
        hands = ((20 - lsx, 70 - lsy), (wx + 10 - rsx, 48 - rsy))
        cream = "".join(ellipse(wx - 6 + k * 5, 59 - (step + k) % 2 * 2, 1.8, 1.8, fill="#ffffff") for k in range(3))
        return bowl, cream + whisk + hand(look, wx + 10, 48) + hand(look, 20, 70), hands, "grin"
    # spaceship: spins dough that floats between his hands
    h = (30, 24, 20, 24, 30, 32)[step]
    squash = (1, 0.6, 0.25, 0.6, 1, 1)[step]
    glow = ellipse(72, 74, 14, 3, fill="#4ee2ec", opacity=0.45)
    dough = (ellipse(72, h, 14, 14 * squash * 0.45 + 1.5, **outlined("#f6d58a"))
             + ellipse(72, h, 8, max(0.8, 8 * squash * 0.45), fill="#e38b4f"))
    sparkle = "".join(ellipse(72 + 17 * math.cos(t + k * 2.1), h + 5 * math.sin(t + k * 2.1), 1.6, 1.6,
                              fill="#4ee2ec") for k in range(3))
    sx, sy = rig.shoulders(look)[1]
    hands = ((-4, 20), (70 - sx, h + 14 - sy + (step % 2)))
    return glow, dough + sparkle, hands, ("grin" if step % 3 else "open")


def write_cook(folder, name):
    look = COOKS[name]
    a = anim.Animation("cook", image="cook.png", reg=COOK_PLACE)
    numbers = []
    for step in range(6):
        behind, front, (left, right), mood = cook_props(name, look, step)
        pose = STAND.but("cook%d" % step, left=left, right=right, mood=mood, bob=(0, 0.5, 1, 0.5, 0, 0)[step],
                         tilt=(0, -1, -2, -1, 0, 1)[step], eyes="closed" if step == 4 else "open",
                         look=(0.5, 1))
        back = "translate(%g %g) scale(%g) translate(%g %g)" % (COOK_BASE[0], COOK_BASE[1], COOK_SCALE,
                                                                 -COOK_BASE[0], -COOK_BASE[1])
        body = (group(rig.figure(look, pose, "upper", clip_id="c%d" % step) + behind, transform=back)
                + counter(name) + group(group(front, transform=rig.upper_transform(pose)), transform=back))
        numbers.append(a.frame(pose.name, picture(COOK_SIZE[0], COOK_SIZE[1], COOK_SHIFT, body), COOK_REG))
    a.script(lua_function("DoAnim", 180, numbers, False))
    a.write(folder, "cook.anm")


# ---------------------------------------------------------------- performers

PERFORMERS = {
    "cruise": rig.person(skin=style.SKIN[3], hair=style.HAIR[4], hair_style="short", hat="boater",
                         accent="#24395e", top="#3f9bc4", cut="collar", rolled=True, lower_colour="#f4f6f8",
                         shoe="#7a4e32", build=1.05),
    "train": rig.person(skin=style.SKIN[0], hair=style.HAIR[1], hair_style="slick", hat="bowler", moustache=True,
                        top="#f4f6f8", vest="#2f6b45", neck="bowtie", accent="#c8363b", cut="collar",
                        lower_colour="#34343c", shoe="#2b2226"),
    "sub": rig.person(skin=style.SKIN[2], hair=style.HAIR[4], hair_style="afro", lashes=True, top="#f08a3c",
                      cut="vneck", lower_colour="#1f6f73", shoe="#8a9aa3", build=0.95),
    "blimp": rig.person(skin=style.SKIN[1], hair=style.HAIR[0], hair_style="short", hat="beret", accent="#c8363b",
                        moustache=True, top="#f6ecd2", stripes="#c8363b", lower_colour="#3c3f4a",
                        shoe="#5a3b2e"),
    "singer": rig.person(skin=style.SKIN[0], hair=style.HAIR[2], hair_style="wavy", lashes=True, top="#8cc7ee",
                         cut="vneck", lower="gown", lower_colour="#8cc7ee", shoe="#c8363b", build=0.9),
    "spaceship": rig.person(skin=style.SKIN[1], hair=style.HAIR[3], hair_style="spiky", hat="headset",
                            top="#c3c8d4", cut="collar", accent="#4ee2ec", buttons="#3b2666",
                            lower_colour="#c3c8d4", shoe="#3b2666"),
}
# Performer frames: 160 x 164, the registration point on the floor; `feet`
# is where his feet stand from it (the blimp's pair stand side by side).
PERFORMER_SIZE = (160, 164)
PERFORMER_REG = (80, 134)
FEET = {"cruise": (0, 0), "train": (-16, 0), "sub": (0, 0), "blimp": (-36, 8), "singer": (-22, 26),
        "spaceship": (0, 0)}


def held_mallets(look, left, right, angles, colour):
    """A mallet in each hand (hands as offsets from the shoulders), the fingers round it."""
    out = ""
    for (sx, sy), (dx, dy), angle in zip(rig.shoulders(look), (left, right), angles):
        out += mallet(sx + dx, sy + dy, angle, colour) + hand(look, sx + dx, sy + dy)
    return out


def mallet(x, y, angle, colour):
    dx, dy = 16 * math.cos(math.radians(angle)), 16 * math.sin(math.radians(angle))
    return (path("M%g %g L%g %g" % (x, y, x + dx, y + dy), stroke=OUTLINE, stroke_width=3.5, stroke_linecap="round")
            + path("M%g %g L%g %g" % (x, y, x + dx, y + dy), stroke="#e8d2a8", stroke_width=1.5,
                   stroke_linecap="round")
            + ellipse(x + dx, y + dy, 3.5, 3.5, **outlined(colour, 1.5)))


def performance(name, look, step):
    """(behind, in front, held in the hands, pose changes) of step 0..5 of each act."""
    beat = step % 2
    if name == "cruise":  # steel pan on its stand, mallets in turn
        stand = path("M28 80 L20 103 M56 80 L64 103 M42 82 L42 103", stroke=OUTLINE, stroke_width=2.5)
        pan = (ellipse(42, 78, 26, 7, **outlined("#c79a3a")) + ellipse(42, 77, 21, 4.5, fill="#e6c46e")
               + "".join(ellipse(42 + dx, 77 + dy, 4, 1.5, fill=style.shade("#c79a3a"))
                         for dx, dy in ((-10, 0), (0, -1.5), (10, 0), (0, 1.5)))
               + path("M16 79 Q42 87 68 79 L67 81 Q42 91 17 81 Z", fill=style.shade("#c79a3a"), stroke=OUTLINE,
                      stroke_width=1.5))
        left = (8, 16 - 7 * beat)
        right = (-8, 16 - 7 * (1 - beat))
        sticks = held_mallets(look, left, right, (60 - 40 * beat, 120 + 40 * (1 - beat)), "#c8283b")
        return stand, pan, sticks, {"left": left, "right": right, "phase": (None, math.pi / 2)[step // 3 % 2],
                                     "mood": ("grin", "open", "grin")[step % 3], "tilt": (-2, 2)[step // 3 % 2]}
    if name == "train":  # seated at the upright piano, facing it
        wood, brass = "#6b2e22", "#c79a3a"
        piano = (rect(64, 28, 44, 74, r=3, **outlined(wood)) + rect(96, 30, 11, 71, fill=style.shade(wood))
                 + rect(66, 34, 30, 20, r=2, fill=style.light(wood)) + ellipse(80, 44, 6, 4, fill=brass)
                 + rect(62, 64, 10, 10, r=1.5, **outlined(wood)) + path("M63 66 L71 66", stroke="#f4f6f8",
                                                                        stroke_width=3)
                 + rect(70, 92, 5, 3, fill=brass))
        stool = rect(30, 82, 26, 6, r=3, **outlined("#2f6b45")) + path("M43 88 L43 102 M36 102 L50 102",
                                                                         stroke=OUTLINE, stroke_width=3)
        keys_left, keys_right = (15, 12 - 4 * beat), (8, 12 - 4 * (1 - beat))
        return piano + stool, "", "", {"dir": "S", "seated": True, "left": keys_left, "right": keys_right,
                                   "look": (1, 1), "mood": ("grin", "smile", "open")[step % 3],
                                   "tilt": (2, 4)[beat], "bob": beat * 1.0}
    if name == "sub":  # the marimba: wooden bars over steel tubes
        bars = ""
        for k in range(7):
            x = 12 + k * 9
            bars += path("M%d 80 L%d %d" % (x + 4, x + 4, 94 - k), stroke="#8a9aa3", stroke_width=4)
        frame_ = rect(6, 76, 72, 5, r=2, **outlined("#6b3a22"))
        frame_ += path("M12 81 L10 102 M72 81 L74 102", stroke=OUTLINE, stroke_width=3)
        keys = "".join(rect(10 + k * 9, 69 - (k % 2), 8, 9, r=1.5, **outlined("#c98a4a", 1.5)) for k in range(7))
        reach = (-4, 4, 10, 4, -4, -8)[step]
        left, right = (8 + reach, 12 - 4 * beat), (-8 + reach, 12 - 4 * (1 - beat))
        sticks = held_mallets(look, left, right, (80 - 20 * beat, 100 + 20 * (1 - beat)), "#4ee2ec")
        bubbles = "".join(ellipse(20 + k * 22 + step * 2, 60 - ((step + k) % 3) * 8, 2.5, 2.5, fill="none",
                                  stroke="#9fd8e0", stroke_width=1.5) for k in range(3))
        return bars + frame_, keys + bubbles, sticks, {"left": left, "right": right,
                                                         "tilt": reach * 0.3, "mood": ("grin", "smile")[beat],
                                                         "phase": (None, None, math.pi / 2)[step % 3]}
    if name == "blimp":  # the accordion: bellows open and close
        open_ = (10, 16, 22, 16, 10, 6)[step]
        x0, x1 = 42 - open_, 42 + open_
        red, cream, sky = "#c8363b", "#f6ecd2", "#8cc7ee"
        bellows = path("M%g 58 L%g 58 L%g 82 L%g 82 Z" % (x0, x1, x1, x0), **outlined(sky, 1.5))
        folds = max(2, int(open_ / 3))
        for k in range(1, folds):
            x = x0 + (x1 - x0) * k / folds
            bellows += path("M%g 58 L%g 82" % (x, x), stroke=style.shade(sky), stroke_width=1.5)
        ends = (rect(x0 - 12, 55, 13, 30, r=3, **outlined(red)) + rect(x1 - 1, 55, 13, 30, r=3, **outlined(red))
                + "".join(ellipse(x0 - 6, 61 + k * 6, 2, 2, fill=cream) for k in range(4))
                + rect(x1 + 2, 58, 7, 24, r=1.5, fill=cream)
                + "".join(path("M%g %g L%g %g" % (x1 + 2, 61 + k * 4, x1 + 9, 61 + k * 4), stroke=OUTLINE,
                               stroke_width=1) for k in range(5)))
        hands = (x0 - 6 - 27, 70 - 49), (x1 + 6 - 57, 70 - 49)
        return "", "", bellows + ends, {"left": hands[0], "right": hands[1], "tilt": (-3, 0, 3, 0, -3, -4)[step],
                                    "mood": ("grin", "smile", "grin")[step % 3], "eyes": "closed" if step == 2 else
                                    "open", "phase": (None, math.pi / 2)[beat]}
    if name == "singer":  # microphone in one hand, the other sweeping up
        up = (0, 1, 2, 1, 0, 0)[step]
        left = ((-6, 14), (-14, -4), (-16, -20), (-14, -4), (-6, 14), (-4, 16))[step]
        right = (-8, -10)
        mic = (rect(44, 31, 4, 12, r=1.5, **outlined("#34343c", 1.5)) + ellipse(46, 30, 4, 4, **outlined("#c3c8d4",
                                                                                                      1.5)))
        sparkle = "".join(path("M%g %g l1.5 -4 l1.5 4 l4 1.5 l-4 1.5 l-1.5 4 l-1.5 -4 l-4 -1.5 z"
                               % (x, y), fill="#ffffff", stroke=OUTLINE, stroke_width=0.8)
                          for x, y in ((30 + step * 3, 88), (52 - step * 2, 76))[: 1 + step % 2])
        return "", sparkle, mic + hand(look, 46, 40), {"left": left, "right": right, "mood": "open",
                                                        "tilt": (-2, 0, 2, 0, -2, -1)[step], "bob": -up * 0.5,
                                                        "eyes": "closed" if up == 2 else "open", "swing": up}
    # spaceship: the keytar, slung across, its keys alight in turn
    tilt = (-4, -2, 0, -2, -4, -6)[step]
    body_ = path("M18 76 L34 60 L72 58 L74 70 L40 80 Z", **outlined("#3b2666"))
    neck = path("M18 76 L4 50", stroke=OUTLINE, stroke_width=7, stroke_linecap="round") + path(
        "M18 76 L4 50", stroke="#c3c8d4", stroke_width=4, stroke_linecap="round")
    keys = "".join(rect(36 + k * 6, 61 - k * 0.1, 5, 9, r=1, fill="#4ee2ec" if k == step else "#f4f6f8",
                        stroke=OUTLINE, stroke_width=1) for k in range(6))
    glow = ellipse(36 + step * 6 + 2.5, 60, 5, 3, fill="#4ee2ec", opacity=0.6)
    left, right = (-16, 2), (38 + step * 6 - 57 - 12, 62 - 49)
    return "", "", neck + body_ + keys + glow + hand(look, 11, 60), {"left": left, "right": (right[0] + 12, right[1]),
                                                               "tilt": tilt, "mood": ("grin", "open")[beat],
                                                               "phase": (None, math.pi / 2)[step // 3 % 2]}


def write_performer(folder, name, look_name, file):
    look = PERFORMERS[look_name]
    fx, fy = FEET[look_name]
    a = anim.Animation(file[:-4], image=file.replace(".anm", ".png"))
    # The figure's soles at the registration point moved by `feet`.
    shift = (PERFORMER_REG[0] + fx - rig.CENTRE_X, PERFORMER_REG[1] + fy - rig.SOLE_Y)
    numbers = []
    for step in range(6):
        behind, front, held, changes = performance(look_name, look, step)
        pose = STAND.but("play%d" % step, **changes)
        body = (behind + rig.figure(look, pose, "whole", clip_id="p%d" % step) + front
                + group(held, transform=rig.upper_transform(pose)))
        numbers.append(a.frame(pose.name, picture(PERFORMER_SIZE[0], PERFORMER_SIZE[1], shift, body),
                               PERFORMER_REG))
    a.script(lua_function("DoAnim", 170, numbers, True))
    a.write(folder, file)


def main(out):
    for name in ORDER:
        folder = os.path.join(out, name, "people")
        os.makedirs(folder, exist_ok=True)
        write_cook(folder, name)
        write_performer(folder, name, name, "entertainer.anm")
        if name == "blimp":
            write_performer(folder, name, "singer", "entertainer2.anm")


if __name__ == "__main__":
    main(sys.argv[1])
