"""The waitress from the rig in _waitress.py: her body "base.anm" and the
default clothing "shoes1.anm", "bottom1.anm", "top1.anm", "apron1.anm" and
the accessory "bow1.anm", each with a sheet of its own. All six share one
list of frames (the game shows every layer at the body's frame number) and
the script functions the game plays on her body: idle and carry poses,
walking in each direction with empty, one or two full hands, the fidgets,
the podium and the phone."""
import concurrent.futures
import math
import os
import sys

from qmcontent import anim, svg
from qmcontent.rig import Function, Pose

import _waitress as rig

LAYER_FILES = {"body": "base", "shoes": "shoes1", "bottom": "bottom1", "top": "top1", "apron": "apron1",
               "accessory": "bow1"}

IDLE = Pose("idle1", rig.DEFAULT)
HOLD_PREFIX = {0: "", 1: "OneHand", 2: "TwoHand"}
DIRECTIONS = {"Forward": "F", "Backward": "B", "Sideways": "S"}


def idle(hold):
    base = IDLE.but("idle%d_1" % hold, hold=hold)
    return [base, base.but("idle%d_2" % hold, bob=1)]


WALK_FRAMES = 8
# Lowest as a foot lands (frames 0 and 4), highest as the legs pass.
WALK_BOB = (2, 1, 0, 1, 2, 1, 0, 1)


def walk(direction, hold):
    """A stride in eight frames: the feet swing through, she bobs, her free
    arms swing against her legs, and she sways from foot to foot (from the
    side: leans into the walk)."""
    poses = []
    view = DIRECTIONS[direction]
    for i in range(WALK_FRAMES):
        phase = i * 2 * math.pi / WALK_FRAMES
        tilt = 3 + 0.8 * math.cos(2 * phase) if view == "S" else 2 * math.cos(phase)
        poses.append(IDLE.but("walk%s%d_%d" % (direction, hold, i), dir=view, hold=hold, phase=phase,
                              stride=math.cos(phase), bob=WALK_BOB[i], tilt=round(tilt, 2),
                              swing=0 if hold else round(3 * math.cos(phase), 2)))
    return poses


FUNCTIONS = [Function(HOLD_PREFIX[h] + ("IdleForward" if h == 0 else "Forward"), 600, idle(h), loops=True)
             for h in (0, 1, 2)]
for hold in (0, 1, 2):
    for direction in DIRECTIONS:
        FUNCTIONS.append(Function("%sWalk%s" % (HOLD_PREFIX[hold], direction), 75, walk(direction, hold),
                                  loops=True))
STRETCH = IDLE.but("stretch", special="stretch", eyes="closed", mood="open", bob=-1)
LOOK = IDLE.but("look", special="look")
TAP = [IDLE.but("tap1", stride=1), IDLE.but("tap2", eyes="closed")]
FUNCTIONS += [
    Function("Idle1", 300, [IDLE, STRETCH, STRETCH, STRETCH, IDLE]),
    Function("Idle2", 350, [LOOK, LOOK.but("look2", dir="S"), LOOK, IDLE]),
    Function("Idle3", 200, TAP * 3 + [IDLE]),
    Function("TransToIdleForwardUpper", 120, [IDLE.but("trans", bob=1), IDLE]),
    Function("Podium", 350, [IDLE.but("podium1", special="podium"),
                             IDLE.but("podium2", special="podium", bob=1, eyes="closed")] * 2
             + [IDLE.but("podium1", special="podium")]),
    Function("PodiumDone", 200, [IDLE.but("trans", bob=1), IDLE]),
    Function("Phone", 400, [IDLE.but("phone1", special="phone", mood="open"),
                            IDLE.but("phone2", special="phone")], loops=True),
]


def animation(layer):
    name = LAYER_FILES[layer]
    a = anim.Animation(name, image=name + ".png", reg=rig.REG)
    numbers = {}
    lines = []
    for f in FUNCTIONS:
        for pose in f.poses:
            if pose.name not in numbers:
                picture = svg.render(svg.document(rig.W, rig.H, rig.draw(layer, pose)))
                numbers[pose.name] = a.frame(pose.name, picture, rig.REG, rig.anchors(pose))
        frames = ",".join(str(numbers[p.name]) for p in f.poses)
        body = ("    while true do\n        frames{%s};\n    end\n" if f.loops else "    frames{%s};\n") % frames
        lines.append("function %s()\n    delay(%d);\n%send\n" % (f.name, f.delay, body))
    a.script("\n".join(lines))
    return a


def write_layer(out, layer):
    animation(layer).write(out, LAYER_FILES[layer] + ".anm")


if __name__ == "__main__":
    # One process per layer: each writes only its own files.
    with concurrent.futures.ProcessPoolExecutor(max_workers=min(len(rig.LAYERS), os.cpu_count() or 1)) as pool:
        for done in [pool.submit(write_layer, sys.argv[1], layer_name) for layer_name in rig.LAYERS]:
            done.result()
