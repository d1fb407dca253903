"""The staff the phone calls, in "people/":
  busser/upper.anm, busser/lower.anm: the walking staff (busboy and drink
  server share the figure) as upper and lower body drawn at one point; the
  upper body's poses carry nothing, one or two items, with the anchors
  "hand1" and "hand2" where the carried props go; busser/idle.anm, the
  whole figure standing ("Idle1");
  hostess/idle.anm: the hostess beside the podium ("DoAnim" ends, the game
  starts it again)."""
import os
import sys

from qmcontent import anim, png, style, svg

REG = (40, 90)  # feet of the figure in its 80 x 96 frame
SHIRT = "#f4f6f8"
VEST = "#34343c"
TROUSERS = "#3b3b48"
SKIN = style.SKIN[1]
HAIR = style.HAIR[0]


def render(body):
    return svg.render(svg.document(80, 96, body))


def head(facing, bob):
    y = 22 + bob
    body = svg.ellipse(40, y, 13, 13, **svg.outlined(SKIN))
    if facing == "up":
        return body + svg.path("M27 %d Q40 %d 53 %d L53 %d Q40 %d 27 %d Z" % (y, y - 18, y, y + 6, y + 2, y + 6),
                               **svg.outlined(HAIR))
    body += svg.path("M27 %d Q40 %d 53 %d Q46 %d 27 %d Z" % (y - 2, y - 18, y - 2, y - 8, y - 2), **svg.outlined(HAIR))
    if facing == "down":
        body += svg.ellipse(35, y + 1, 1.8, 2.2, fill=svg.OUTLINE) + svg.ellipse(45, y + 1, 1.8, 2.2, fill=svg.OUTLINE)
        body += svg.path("M36 %d Q40 %d 44 %d" % (y + 7, y + 10, y + 7), stroke=svg.OUTLINE, stroke_width=1.5,
                         fill="none")
    else:
        body += svg.ellipse(47, y + 1, 1.8, 2.2, fill=svg.OUTLINE)
    return body


def upper(facing, hands, bob):
    body = svg.rect(26, 36 + bob, 28, 30, r=7, **svg.outlined(SHIRT))
    body += svg.rect(30, 38 + bob, 20, 26, r=4, fill=VEST)
    arms = ""
    for k, side in enumerate((-1, 1)):
        x = 40 + side * 17
        if k < hands:
            arms += svg.rect(x - 4, 40 + bob, 8, 12, r=4, **svg.outlined(SHIRT, 1.5))
            arms += svg.ellipse(x, 50 + bob, 4.5, 4.5, **svg.outlined(SKIN, 1.5))
        else:
            arms += svg.rect(x - 4, 40 + bob, 8, 22, r=4, **svg.outlined(SHIRT, 1.5))
            arms += svg.ellipse(x, 63 + bob, 4.5, 4.5, **svg.outlined(SKIN, 1.5))
    return render(body + arms + head(facing, bob))


def lower(facing, step):
    spread = (0, 5, -5)[step]
    body = ""
    if facing == "side":
        body += svg.rect(32 + spread, 64, 9, 24, r=4, **svg.outlined(TROUSERS))
        body += svg.rect(39 - spread, 64, 9, 24, r=4, **svg.outlined(TROUSERS))
        body += svg.ellipse(38 + spread, 89, 7, 3.5, fill=svg.OUTLINE) + svg.ellipse(45 - spread, 89, 7, 3.5,
                                                                                   fill=svg.OUTLINE)
    else:
        lift = (0, 3, -3)[step]
        body += svg.rect(30, 64, 9, 24 - max(lift, 0), r=4, **svg.outlined(TROUSERS))
        body += svg.rect(41, 64, 9, 24 - max(-lift, 0), r=4, **svg.outlined(TROUSERS))
        body += svg.ellipse(34, 89 - max(lift, 0), 6, 3.5, fill=svg.OUTLINE)
        body += svg.ellipse(46, 89 - max(-lift, 0), 6, 3.5, fill=svg.OUTLINE)
    return render(body)


def hand_anchors(hands, bob):
    anchors = {}
    if hands >= 1:
        anchors["hand1"] = (-17, 50 + bob - 8 - REG[1])
    if hands >= 2:
        anchors["hand2"] = (17, 50 + bob - 8 - REG[1])
    return anchors


def write_busser(folder):
    os.makedirs(folder, exist_ok=True)
    up = anim.Animation("upper", image="upper.png", reg=REG)
    numbers = {}
    for facing in ("down", "side", "up"):
        for hands in (0, 1, 2):
            for bob in (0, 2):
                numbers[(facing, hands, bob)] = up.frame("u_%s_%d_%d" % (facing, hands, bob),
                                                         upper(facing, hands, bob), reg=REG,
                                                         anchors=hand_anchors(hands, bob))
    names = {"down": "Forward", "side": "Side", "up": "Backward"}
    script = ""
    for facing, word in names.items():
        for hands, prefix in ((0, ""), (1, "OneHand"), (2, "TwoHand")):
            a, b = numbers[(facing, hands, 0)], numbers[(facing, hands, 2)]
            walk = prefix + word + "Upper" + ("Walk" if hands and facing == "side" else "")
            script += "function %s()\n    delay(140);\n    while 1 do\n        frames{%d,%d};\n    end\nend\n" % (
                walk, a, b)
            if facing == "down":
                script += "function %sIdleForwardUpper()\n    delay(400);\n    frames{%d};\nend\n" % (prefix, a)
    up.script(script)
    up.write(folder, "upper.anm")

    low = anim.Animation("lower", image="lower.png", reg=REG)
    ids = {}
    for facing in ("front", "side"):
        for step in range(3):
            ids[(facing, step)] = low.frame("l_%s_%d" % (facing, step), lower(facing, step), reg=REG)
    walk = "function %s()\n    delay(120);\n    while 1 do\n        frames{%d,%d,%d,%d};\n    end\nend\n"
    script = walk % ("ForwardLower", ids[("front", 1)], ids[("front", 0)], ids[("front", 2)], ids[("front", 0)])
    script += walk % ("BackwardLower", ids[("front", 1)], ids[("front", 0)], ids[("front", 2)], ids[("front", 0)])
    script += walk % ("SideLower", ids[("side", 1)], ids[("side", 0)], ids[("side", 2)], ids[("side", 0)])
    script += "function IdleForwardLower()\n    delay(400);\n    frames{%d};\nend\n" % ids[("front", 0)]
    low.script(script)
    low.write(folder, "lower.anm")

    idle = anim.Animation("idle", image="idle.png", reg=REG)
    for bob in (0, 1):
        whole = png.Image(80, 96)
        top, legs = upper("down", 0, bob), lower("front", 0)
        for y in range(96):
            for x in range(80):
                a, b = legs.get(x, y), top.get(x, y)
                whole.put(x, y, b if b[3] else a)
        idle.frame("idle%d" % bob, whole, reg=REG)
    idle.script("function Idle1()\n    delay(500);\n    while 1 do\n        frames{1,2};\n    end\nend\n")
    idle.write(folder, "idle.anm")


def hostess(step):
    dress = "#c8363b"
    bob = (0, 1, 0, -1)[step]
    body = svg.path("M26 86 L32 40 L48 40 L54 86 Z", **svg.outlined(dress))
    body += svg.rect(30, 38 + bob, 20, 14, r=5, **svg.outlined(dress))
    body += svg.ellipse(40, 24 + bob, 12, 12, **svg.outlined(style.SKIN[0]))
    body += svg.path("M27 26 Q26 6 40 8 Q54 6 53 26 Q48 16 40 16 Q32 16 27 26 Z", **svg.outlined(style.HAIR[2]))
    body += svg.ellipse(35, 25 + bob, 1.8, 2.2, fill=svg.OUTLINE) + svg.ellipse(45, 25 + bob, 1.8, 2.2,
                                                                               fill=svg.OUTLINE)
    body += svg.path("M36 31 Q40 34 44 31", stroke=svg.OUTLINE, stroke_width=1.5, fill="none")
    body += svg.ellipse(28 - step, 56, 4.5, 4.5, **svg.outlined(style.SKIN[0], 1.5))
    body += svg.ellipse(52 + step, 56, 4.5, 4.5, **svg.outlined(style.SKIN[0], 1.5))
    return render(body)


def write_hostess(folder):
    os.makedirs(folder, exist_ok=True)
    a = anim.Animation("idle", image="idle.png", reg=REG)
    for step in range(4):
        a.frame("h%d" % step, hostess(step), reg=REG)
    a.script("function DoAnim()\n    delay(300);\n    frames{1,2,3,4};\nend\n")
    a.write(folder, "idle.anm")


def main(out):
    write_busser(os.path.join(out, "busser"))
    write_hostess(os.path.join(out, "hostess"))


if __name__ == "__main__":
    main(sys.argv[1])
