"""Every customer type from the one rig in _figure.py: for each type folder
"customers/TYPE/": "anim.anm" + "anim.png" (indexed, one frame per pose,
the script functions the game plays), "legs.png" (indexed) and, for each
party colour, "COLOUR.pal" and "COLOUR_legs.pal".

A new type is one more entry in TYPES (skin, hair, face details, clothing)."""
import os
import sys
from types import SimpleNamespace

from qmcontent import palette, png, style, svg
from qmcontent.palettes import party_variant
from qmcontent.rig import Function, Pose, Rig

import _figure as fig

TYPES = {
    "old_male": SimpleNamespace(skin=0, hair=3, hair_style="fringe", moustache=True, glasses=True,
                                trousers="#6b6a7a", accent="#efe6d2", collar=True, buttons=True),
}

# The poses every type shares. Hands are offsets from their shoulder.
STAND = Pose("stand1", fig.DEFAULT)
POSES = {
    "stand": [STAND, STAND.but("stand2", bob=1, squash=0.98)],
    "unhappy": [STAND.but("unhappy1", mood="neutral", brows="sad", look=(0, 1)),
                STAND.but("unhappy2", mood="neutral", brows="sad", look=(0, 1), bob=1, squash=0.98)],
    "mad": [STAND.but("mad1", mood="frown", brows="angry", left=(-9, 14), right=(9, 14)),
            STAND.but("mad2", mood="frown", brows="angry", left=(-9, 14), right=(9, 14), bob=1, tilt=-3)],
    "rollover": [STAND.but("rollover", mood="grin", left=(-12, -18), right=(12, -18), bob=-3, squash=1.03)],
}
SIT = STAND.but("sit1", seated=True)
POSES.update({
    "idle": [SIT, SIT.but("sit2", bob=1, look=(1, 0))],
    "idlesad": [SIT.but("sitsad1", mood="frown", brows="sad", look=(0, 1)),
                SIT.but("sitsad2", mood="frown", brows="sad", look=(0, 1), bob=1)],
    "readmenu": [SIT.but("read1", mood="neutral", look=(0, 2), left=(10, -2), right=(-10, -2)),
                 SIT.but("read2", mood="neutral", look=(1, 2), left=(10, -3), right=(-10, -3), tilt=2)],
    "callwaiter": [SIT.but("call1", mood="open", right=(6, -26), look=(1, -1)),
                   SIT.but("call2", mood="open", right=(10, -24), look=(1, -1), tilt=3)],
    "eat": [SIT.but("eat1", mood="chew", left=(10, 4), right=(-6, -8), look=(0, 2)),
            SIT.but("eat2", mood="open", left=(10, 4), right=(-12, -14), look=(0, 1)),
            SIT.but("eat3", mood="chew", left=(10, 4), right=(-8, -4), look=(0, 2), bob=1)],
    "drink": [SIT.but("drink1", mood="neutral", right=(-8, -4)),
              SIT.but("drink2", mood="neutral", eyes="closed", right=(-12, -13), tilt=-6)],
    "sitangry": [SIT.but("sitangry1", mood="frown", brows="angry", steam=True),
                 SIT.but("sitangry2", mood="frown", brows="angry", steam=True, bob=-1, squash=1.02)],
    "smile": [SIT.but("smile1", mood="grin", right=(4, -24), bob=-1)],
    "leanin": [SIT.but("lean1", mood="smile", lean=-8, look=(-1, 1))],
    "prefood": [SIT.but("prefood1", mood="open", left=(12, 0), right=(-12, 0), look=(0, 1)),
                SIT.but("prefood2", mood="grin", left=(12, -2), right=(-12, -2), bob=-1)],
})
for direction, look, turn in (("Left", (-2, 0), -3), ("Right", (2, 0), 3), ("Up", (0, -2), 0), ("Down", (0, 2), 0)):
    POSES["buzz" + direction] = [SIT.but("buzz%s1" % direction, mood="frown", brows="angry", look=look, turn=turn),
                                 SIT.but("buzz%s2" % direction, mood="open", brows="angry", look=look, turn=turn,
                                         bob=-1, steam=True)]
POSES["leave1"] = [STAND.but("leave1", mood="grin", right=(8, -26)), STAND.but("leave2", mood="grin", right=(12, -24), bob=-1)]
POSES["ditch"] = [STAND.but("ditch1", mood="frown", brows="angry", left=(-9, 14), right=(9, 14), steam=True),
                  STAND.but("ditch2", mood="frown", brows="angry", left=(-9, 14), right=(9, 14), steam=True, bob=-2)]

# The script functions the game plays on a customer's body. Those the game
# waits for (drinking, leaving, anger) end; the rest loop until replaced.
FUNCTIONS = [
    Function("Stand", 500, POSES["stand"], loops=True),
    Function("StandUnhappy", 500, POSES["unhappy"], loops=True),
    Function("StandMad", 250, POSES["mad"], loops=True),
    Function("StandRollover", 500, POSES["rollover"], loops=True),
    Function("Idle", 600, POSES["idle"], loops=True),
    Function("IdleSad", 600, POSES["idlesad"], loops=True),
    Function("ReadMenu", 700, POSES["readmenu"], loops=True),
    Function("CallWaiter", 250, POSES["callwaiter"], loops=True),
    Function("Eat", 250, POSES["eat"], loops=True),
    Function("PreFood", 300, POSES["prefood"], loops=True),
    Function("CameraSmile", 500, POSES["smile"], loops=True),
    Function("LeanIn", 500, POSES["leanin"], loops=True),
    Function("Drink", 300, POSES["drink"][:1] + POSES["drink"][1:] * 3 + POSES["drink"][:1]),
    Function("SitAngry", 200, POSES["sitangry"] * 3),
    Function("BuzzLeftMad", 200, POSES["buzzLeft"] * 3),
    Function("BuzzRightMad", 200, POSES["buzzRight"] * 3),
    Function("BuzzUpMad", 200, POSES["buzzUp"] * 3),
    Function("BuzzDownMad", 200, POSES["buzzDown"] * 3),
    Function("Leave1", 250, POSES["leave1"] * 3),
    Function("Leave2", 500, POSES["stand"]),
    Function("Ditch1", 200, POSES["ditch"] * 3),
]


def write_type(out, name, kind):
    folder = os.path.join(out, name)
    os.makedirs(folder, exist_ok=True)
    body = fig.body_palette(kind)
    rig = Rig((fig.W, fig.H), fig.REG, body, lambda pose: fig.draw_body(body, kind, pose), fig.body_anchors)
    rig.animation("anim", "anim.png", FUNCTIONS).write(folder, "anim.anm")
    legs = fig.legs_palette(kind)
    drawing = svg.document(fig.LEGS_SIZE[0], fig.LEGS_SIZE[1], fig.draw_legs(legs))
    png.write(os.path.join(folder, "legs.png"), palette.quantise(svg.render(drawing), legs))
    for colour in style.PARTY_ORDER:
        palette.write_riff(os.path.join(folder, colour + ".pal"), party_variant(body, colour, ["party"]))
        palette.write_riff(os.path.join(folder, colour + "_legs.pal"), fig.legs_palette(kind, colour))


if __name__ == "__main__":
    for type_name, type_params in TYPES.items():
        write_type(sys.argv[1], type_name, type_params)
