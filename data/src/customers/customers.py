"""Every customer type from the one rig in _figure.py: for each type folder
"customers/TYPE/": "anim.anm" + "anim.png" (indexed, one frame per pose,
the script functions the game plays), "legs.png" (indexed) and, for each
party colour, "COLOUR.pal" and "COLOUR_legs.pal", and for each further look
of a member (fig.LOOKS) "COLOUR_lookN.pal" and "COLOUR_lookN_legs.pal".

A new type is one more entry in TYPES (build, hair, face, clothing, prop)."""
import concurrent.futures
import os
import sys
from types import SimpleNamespace

from qmcontent import palette, png, style, svg
from qmcontent.palettes import party_variant
from qmcontent.rig import Function, Pose, Rig

import _figure as fig



def customer_type(**values):
    """A type's parameters: the rig's defaults (_figure.KIND) with these changed."""
    unknown = set(values) - set(fig.KIND)
    if unknown:
        raise KeyError("not a customer parameter: %s" % sorted(unknown))
    return SimpleNamespace(**dict(fig.KIND, **values))


# Each type reads apart from the others by its outline (hair, hat, build,
# dress) and one prop; the party colour is only ever the clothes.
TYPES = {
    "old_male": customer_type(skin=0, hair=3, hair_style="fringe", moustache=True, glasses="round", collar=True,
                     buttons=True),
    "young_female": customer_type(skin=1, hair=2, hair_style="pigtails", lashes=True, top="dress", legs="bare",
                         accent="#ffd3e0", shoe="#8c4a6a"),
    "business_female": customer_type(scale=0.95, skin=3, hair=4, hair_style="bun", glasses="square", lashes=True, top="jacket",
                            accent="#f4f1ea", trousers="#3c3f4a", prop="case", prop_colour="#7a4e32",
                            shoe="#2b2226"),
    "bookworm_female": customer_type(skin=0, hair=1, hair_style="bob", glasses="big", lashes=True, top="cardigan",
                            accent="#f2e8d0", trousers="#6e5a4a", prop="book", prop_colour="#7a4a2a"),
    "cellphone_male": customer_type(scale=0.95, skin=2, hair=4, hair_style="spiky", collar=True, accent="#f4f4f0",
                           trousers="#4a4a5a", prop="phone", shoe="#2b2226", build=1.05),
    "fitness_female": customer_type(skin=3, hair=4, hair_style="ponytail", hat="headband", lashes=True, top="tank",
                           accent="#ffffff", prop_colour="#2fb6c4", legs="shorts", trousers="#3c3f4a",
                           shoe="#e8e8ec", build=0.9),
    "dad_male": customer_type(skin=2, hair=0, hair_style="side", beard=True, collar=True, accent="#f4f1ea",
                     neck="tie", prop_colour="#5d5a3a", trousers="#5a5048", build=1.15),
    "mom_female": customer_type(scale=0.95, skin=1, hair=0, hair_style="curly", lashes=True, top="dress", legs="bare",
                       accent="#f3e6c8", prop="baby", shoe="#6a4a5a"),
    "kid_male": customer_type(skin=1, hair=2, hair_style="short", hat="beanie", freckles=True, top="tee",
                     accent="#fff4d8", prop_colour="#2fb6c4", legs="shorts", trousers="#4a5a7a",
                     shoe="#e8e8ec", scale=0.8),
    "lovebird_female": customer_type(skin=1, hair=1, hair_style="wavy", hat="flower", lashes=True, top="dress",
                            legs="bare", accent="#ffe27a", prop_colour="#f07aa8", shoe="#b04a6a"),
    "lovebird_male": customer_type(scale=0.95, skin=0, hair=0, hair_style="quiff", collar=True, neck="bowtie", accent="#ffffff",
                          prop="rose", prop_colour="#e0407a", trousers="#3c3f4a", shoe="#2b2226"),
    "tourist_male": customer_type(scale=0.95, skin=1, hair=1, hat="bucket", top="hawaiian", neck="camera", accent="#efe2b8",
                         prop_colour="#7b5533", legs="shorts", trousers="#c7b48a", shoe="#7b5533", build=1.1),
    "tourist_female": customer_type(scale=0.95, skin=2, hair=0, hair_style="long", hat="sunhat", lashes=True, top="dress",
                           neck="camera", legs="bare", accent="#f3dca0", prop_colour="#e8743b",
                           shoe="#a0603a"),
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
# waits for (drinking, leaving, anger, a smile for the camera, a kiss) end;
# the rest loop until replaced.
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
    Function("CameraSmile", 500, POSES["smile"] * 3),
    Function("LeanIn", 500, POSES["leanin"] * 3),
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


# A figure that arrives with its baby holds it on the lap while seated: the
# seated functions again, the left hand under the baby, named "_Baby".
BABY_FUNCTIONS = [
    Function(f.name + "_Baby", f.delay, [pose.but(pose.name + "_baby", baby=True) for pose in f.poses], f.loops)
    for f in FUNCTIONS if f.name in ("Idle", "IdleSad", "ReadMenu", "CallWaiter", "Eat", "Drink", "SitAngry",
                                     "PreFood")
]
# The baby itself (baby.anm): content or crying, both looping until changed.
BABY_POSES = {mood: [Pose("%s%d" % (mood, frame), mood=mood, frame=frame) for frame in (0, 1)]
              for mood in ("happy", "sad")}
BABY_ANIMATION = [Function("Happy", 350, BABY_POSES["happy"], loops=True),
                  Function("Sad", 250, BABY_POSES["sad"], loops=True)]


def write_baby(folder, kind):
    """A type that arrives with a baby also gets "baby.anm" + "baby.png" and "COLOUR_baby.pal"."""
    p = fig.baby_palette(kind)
    centre = fig.BABY_REG[0], fig.BABY_REG[1] + 1
    rig = Rig(fig.BABY_SIZE, fig.BABY_REG, p,
              lambda pose: fig.draw_baby(p, centre[0], centre[1], pose["mood"], pose["frame"]), lambda pose: {})
    rig.animation("baby", "baby.png", BABY_ANIMATION).write(folder, "baby.anm")
    for colour in style.PARTY_ORDER:
        for n in range(fig.LOOKS):
            look = fig.baby_palette(fig.look(kind, n))
            palette.write_riff(os.path.join(folder, colour + look_suffix(n) + "_baby.pal"),
                               party_variant(look, colour, ["party"]))


def look_suffix(n):
    """The part of a palette's name that names a member's look ("" for the type's own)."""
    return "_look%d" % n if n else ""


def write_type(out, name):
    kind = TYPES[name]
    folder = os.path.join(out, name)
    os.makedirs(folder, exist_ok=True)
    body = fig.body_palette(kind)
    functions = FUNCTIONS + (BABY_FUNCTIONS if kind.prop == "baby" else [])
    # Drawn and quantised in the key colours, stored in the type's own.
    keyed = fig.keyed_palette(body)
    rig = Rig((fig.W, fig.H), fig.REG, keyed, lambda pose: fig.draw_body(keyed, kind, pose),
              lambda pose: fig.body_anchors(kind, pose), stored=body, outline="outline")
    rig.animation("anim", "anim.png", functions).write(folder, "anim.anm")
    legs = fig.legs_palette(kind)
    drawing = svg.document(fig.LEGS_SIZE[0], fig.LEGS_SIZE[1], fig.draw_legs(legs, kind))
    png.write(os.path.join(folder, "legs.png"), palette.quantise(svg.render(drawing), legs))
    for colour in style.PARTY_ORDER:
        for n in range(fig.LOOKS):
            look = fig.look(kind, n)
            palette.write_riff(os.path.join(folder, colour + look_suffix(n) + ".pal"),
                               party_variant(fig.body_palette(look), colour, ["party"]))
            palette.write_riff(os.path.join(folder, colour + look_suffix(n) + "_legs.pal"),
                               fig.legs_palette(look, colour))
    if kind.prop == "baby":
        write_baby(folder, kind)


if __name__ == "__main__":
    # One process per type: the types are independent and each writes only its own folder.
    with concurrent.futures.ProcessPoolExecutor(max_workers=min(len(TYPES), os.cpu_count() or 1)) as pool:
        for done in [pool.submit(write_type, sys.argv[1], type_name) for type_name in TYPES]:
            done.result()
