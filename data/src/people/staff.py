"""The staff the phone calls, in "people/", drawn on the staff rig
(_person.py):
  busser/upper.anm and busser/lower.anm: the walking staff (the busboy and
  the drink server share the figure), upper and lower body drawn at one
  point, the feet; the upper body walks down, up and sideways with nothing,
  one or two items, every frame with the anchors "hand1" and "hand2" where
  carried props go; both walk in six frames of the same length, so that
  torso and legs started together keep in step; busser/idle.anm, the whole
  figure standing ("Idle1" loops);
  hostess/idle.anm: the hostess beside the podium, a welcoming loop
  ("DoAnim" ends; the game starts it again)."""
# reads: ../customers
import math
import os
import sys

from qmcontent import anim, style, svg
from qmcontent.rig import Pose

import _person as rig

# Frames: 84 x 124 with the registration point on the soles; the figure's
# hat may rise 18 px above its head.
W, H = 84, 124
RISE = 18
REG = (rig.CENTRE_X, rig.SOLE_Y + RISE)
WALK_FRAMES = 6
WALK_DELAY = 100  # ms; upper and lower the same, so they stay in step
WINE, CHARCOAL, GOLD = "#7a2944", "#34343c", "#c79a3a"

BUSBOY = rig.person(hair=style.HAIR[1], hair_style="side", hat="paper", freckles=True, top="#f6f4ef",
                    vest=WINE, neck="bowtie", accent=CHARCOAL, cut="collar", lower_colour="#3b3b48",
                    shoe="#4a2f26")
HOSTESS = rig.person(skin=style.SKIN[2], hair=style.HAIR[4], hair_style="bun", lashes=True, top=WINE,
                     lower="gown", lower_colour=WINE, neck="sash", accent=GOLD, cut="vneck", build=0.9,
                     shoe="#2b2226")

STAND = Pose("stand", rig.POSE)
# Hands held out in front at chest height, as the waitress carries.
CARRY = (-8, 8), (8, 8)
VIEWS = {"Forward": "F", "Backward": "B", "Side": "S"}


def frame_svg(look, pose, part, number):
    body = rig.figure(look, pose, part, clip_id="t%d" % number)
    return svg.document(W, H, svg.group(body, transform="translate(0 %d)" % RISE))


def render(look, pose, part, number=0):
    return svg.render(frame_svg(look, pose, part, number))


def anchors(look, pose):
    return rig.hand_anchors(look, pose, (REG[0], REG[1] - RISE))


def walk_pose(name, view, step, hands):
    """Step k of six: legs a sixth of a stride on, the body lowest as a foot lands."""
    phase = step * 2 * math.pi / WALK_FRAMES
    left, right = CARRY[0] if hands >= 1 else None, CARRY[1] if hands >= 2 else None
    tilt = 3.0 if view == "S" else 2.0 * math.cos(phase)
    return STAND.but(name, dir=view, phase=phase, bob=1.5 * (1 - abs(math.sin(phase))),
                     swing=3.0 * math.cos(phase), tilt=tilt, left=left, right=right)


def lua_function(name, delay, numbers, loops):
    body = ("    while true do\n        frames{%s};\n    end\n" if loops else "    frames{%s};\n") % ",".join(
        str(n) for n in numbers)
    return "function %s()\n    delay(%d);\n%send\n" % (name, delay, body)


def write_busser(folder):
    os.makedirs(folder, exist_ok=True)
    up = anim.Animation("upper", image="upper.png", reg=REG)
    script = []
    for hands, prefix in ((0, ""), (1, "OneHand"), (2, "TwoHand")):
        held = STAND.but("hold%d" % hands, left=CARRY[0] if hands >= 1 else None,
                         right=CARRY[1] if hands >= 2 else None)
        number = up.frame(held.name, render(BUSBOY, held, "upper", hands), REG, anchors(BUSBOY, held))
        script.append(lua_function(prefix + "IdleForwardUpper", 400, [number], False))
    for hands, prefix in ((0, ""), (1, "OneHand"), (2, "TwoHand")):
        for word, view in VIEWS.items():
            numbers = []
            for step in range(WALK_FRAMES):
                pose = walk_pose("u_%s%d_%d" % (view, hands, step), view, step, hands)
                numbers.append(up.frame(pose.name, render(BUSBOY, pose, "upper", len(up.frames)), REG,
                                        anchors(BUSBOY, pose)))
            name = prefix + word + "Upper" + ("Walk" if hands and view == "S" else "")
            script.append(lua_function(name, WALK_DELAY, numbers, True))
    up.script("\n".join(script))
    up.write(folder, "upper.anm")

    low = anim.Animation("lower", image="lower.png", reg=REG)
    script = [lua_function("IdleForwardLower", 400, [low.frame("stand", render(BUSBOY, STAND, "lower"), REG)],
                           False)]
    for word, view in (("Forward", "F"), ("Side", "S")):
        numbers = [low.frame("l_%s%d" % (view, step), render(BUSBOY, walk_pose("l", view, step, 0), "lower"), REG)
                   for step in range(WALK_FRAMES)]
        script.append(lua_function(word + "Lower", WALK_DELAY, numbers, True))
        if view == "F":  # from behind the legs look the same
            script.append(lua_function("BackwardLower", WALK_DELAY, numbers, True))
    low.script("\n".join(script))
    low.write(folder, "lower.anm")

    idle = anim.Animation("idle", image="idle.png", reg=REG)
    poses = [STAND, STAND.but("breathe", bob=1), STAND.but("blink", eyes="closed"),
             STAND.but("look", look=(-1.5, 0), bob=1)]
    numbers = [idle.frame(p.name, render(BUSBOY, p, "whole"), REG) for p in poses]
    idle.script(lua_function("Idle1", 450, [numbers[0], numbers[1], numbers[0], numbers[2], numbers[0],
                                            numbers[3]], True))
    idle.write(folder, "idle.anm")


def menu_card(look, pose):
    """The hostess's menu, held to her chest in her left hand (picture right)."""
    x, y = rig.moved_point(pose, rig.hand_points(look, pose)[1])
    return (svg.rect(x - 6, y - 15, 13, 18, r=2, **rig.outlined(GOLD, 1.5))
            + svg.rect(x - 4, y - 13, 9, 14, r=1, fill=style.PAPER)
            + svg.path("M%g %g L%g %g M%g %g L%g %g" % (x - 2, y - 9, x + 3, y - 9, x - 2, y - 5, x + 3, y - 5),
                       stroke=style.shade(GOLD), stroke_width=1.2)
            + svg.ellipse(x, y + 1, 5, 5, **rig.outlined(look.skin)))


def write_hostess(folder):
    os.makedirs(folder, exist_ok=True)
    hold = (-7, 13)  # the menu card close to her
    base = STAND.but("h_stand", right=hold)
    poses = [
        base,
        base.but("h_breathe", bob=1, swing=-0.5),
        # A welcoming sweep of the free hand towards the line, head tilted.
        base.but("h_welcome1", left=(-14, 6), tilt=-2, mood="grin", look=(-1.5, 0)),
        base.but("h_welcome2", left=(-18, -2), tilt=-3, mood="grin", look=(-1.5, 0), bob=-0.5),
        base.but("h_welcome1b", left=(-14, 6), tilt=-2, mood="grin", look=(-1.5, 0)),
        base.but("h_blink", eyes="closed"),
    ]
    a = anim.Animation("idle", image="idle.png", reg=REG)
    numbers = []
    for k, pose in enumerate(poses):
        body = rig.figure(HOSTESS, pose, "whole", clip_id="h%d" % k) + menu_card(HOSTESS, pose)
        picture = svg.render(svg.document(W, H, svg.group(body, transform="translate(0 %d)" % RISE)))
        numbers.append(a.frame(pose.name, picture, REG))
    a.script(lua_function("DoAnim", 280, [numbers[0], numbers[1], numbers[0], numbers[2], numbers[3],
                                          numbers[3], numbers[4], numbers[0], numbers[5], numbers[0]], False))
    a.write(folder, "idle.anm")


def main(out):
    write_busser(os.path.join(out, "busser"))
    write_hostess(os.path.join(out, "hostess"))


if __name__ == "__main__":
    main(sys.argv[1])
