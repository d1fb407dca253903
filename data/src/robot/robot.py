"""The robot that follows the waitress in the spaceship restaurant: its body
"robot.anm" (drawn 40 px above the ground point it flies to), the thruster
glow "bottom.png" drawn at the anchor "bottom" and its ground shadow
"shadow.png" at the anchor "shadow". It holds the waitress's hands 3 and 4
at the anchors "hand1" and "hand2". Functions: the same idle, carry and
walking poses as hers, two fidgets and the podium poses."""
import os
import sys

from qmcontent import anim, png, style, svg
from qmcontent.rig import Function, Pose

W, H = 64, 60
REG = (32, 30)
SILVER = style.RESTAURANTS["spaceship"]["silver"]
CYAN = style.RESTAURANTS["spaceship"]["cyan"]
VIOLET = style.RESTAURANTS["spaceship"]["violet"]

DEFAULT = {"dir": "F", "hold": 0, "tilt": 0, "bob": 0, "eye": 0, "back": False, "wave": False}


def arms(pose):
    out = ""
    for side in (0, 1):
        sx = 15 if side == 0 else 49
        held = pose["hold"] > side
        if pose["wave"] and side == 1:
            hx, hy = 58, 8
        elif held:
            hx, hy = (6 if side == 0 else 58), 24
        else:
            hx, hy = (10 if side == 0 else 54), 44
        out += svg.path("M%d 32 L%d %d" % (sx, hx, hy), stroke=svg.OUTLINE, stroke_width=6, stroke_linecap="round",
                        fill="none")
        out += svg.path("M%d 32 L%d %d" % (sx, hx, hy), stroke=style.shade(SILVER), stroke_width=3,
                        stroke_linecap="round", fill="none")
        out += svg.ellipse(hx, hy, 4, 4, **svg.outlined(CYAN, 1.5))
    return out


def draw(pose):
    body = svg.ellipse(32, 34, 18, 15, **svg.outlined(SILVER))
    body += svg.path("M40 24 Q50 32 44 46 Q48 34 40 24 Z", fill=style.shade(SILVER))
    body += svg.ellipse(26, 27, 5, 3, fill=style.light(SILVER))
    dome = svg.path("M18 28 Q18 8 32 8 Q46 8 46 28 Z", **svg.outlined(VIOLET))
    dome += svg.ellipse(27, 15, 4, 2.5, fill=style.light(VIOLET))
    if not pose["back"]:
        ex = 32 + pose["eye"]
        dome += svg.rect(ex - 9, 15, 18, 7, r=3.5, fill="#10142a")
        dome += svg.ellipse(ex - 4, 18.5, 2.5, 2.5, fill=CYAN)
        dome += svg.ellipse(ex + 4, 18.5, 2.5, 2.5, fill=CYAN)
    antenna = svg.path("M32 8 L32 2", stroke=svg.OUTLINE, stroke_width=2) + svg.ellipse(32, 2, 2, 2, fill=CYAN)
    whole = antenna + body + dome + arms(pose)
    return svg.group(whole, transform="translate(0 %d) rotate(%g 32 34)" % (pose["bob"], pose["tilt"]))


def anchors(pose):
    def held(side):
        return ((6 if side == 0 else 58) - REG[0], 24 - 6 - REG[1] + pose["bob"])
    return {"hand1": held(0), "hand2": held(1), "bottom": (0, 20), "shadow": (0, 40)}


BASE = Pose("idle", DEFAULT)
HOLD = {0: "", 1: "OneHand", 2: "TwoHand"}
DIRS = {"Forward": ("F", 0, False), "Backward": ("B", 0, True), "Sideways": ("S", 3, False)}
FUNCTIONS = []
for hold in (0, 1, 2):
    idle = BASE.but("idle%d" % hold, hold=hold)
    FUNCTIONS.append(Function(HOLD[hold] + ("IdleForward" if hold == 0 else "Forward"), 500,
                              [idle, idle.but("idle%d_b" % hold, bob=1)], loops=True))
    for name, (d, eye, back) in DIRS.items():
        tilt = 8 if d == "S" else 0
        lean = [BASE.but("fly%s%d_%d" % (d, hold, i), dir=d, hold=hold, eye=eye, back=back, tilt=tilt, bob=b)
                for i, b in enumerate((0, 1))]
        FUNCTIONS.append(Function("%sWalk%s" % (HOLD[hold], name), 150, lean, loops=True))
    for back in (False, True):
        pose = BASE.but("upper%d%s" % (hold, "b" if back else "f"), hold=hold, back=back)
        name = {0: "Idle", 1: "OneHand", 2: "TwoHand"}[hold] + ("Back" if back and hold == 0 else
                                                              "Backward" if back else "Forward") + "Upper"
        FUNCTIONS.append(Function(name, 400, [pose]))
FUNCTIONS += [
    Function("Idle1", 250, [BASE.but("wave1", wave=True), BASE.but("wave2", wave=True, bob=-1)] * 2 + [BASE]),
    Function("Idle2", 250, [BASE.but("look1", eye=-4), BASE.but("look2", eye=4), BASE]),
]


def main(out):
    a = anim.Animation("robot", image="robot.png", reg=REG)
    numbers, lines = {}, []
    for f in FUNCTIONS:
        for pose in f.poses:
            if pose.name not in numbers:
                picture = svg.render(svg.document(W, H, draw(pose)))
                numbers[pose.name] = a.frame(pose.name, picture, REG, anchors(pose))
        frames = ",".join(str(numbers[p.name]) for p in f.poses)
        body = ("    while true do\n        frames{%s};\n    end\n" if f.loops else "    frames{%s};\n") % frames
        lines.append("function %s()\n    delay(%d);\n%send\n" % (f.name, f.delay, body))
    a.script("\n".join(lines))
    a.write(out, "robot.anm")
    flame = (svg.path("M6 2 Q12 22 18 2 Z", fill=CYAN, fill_opacity=0.8)
             + svg.path("M9 2 Q12 14 15 2 Z", fill="#ffffff", fill_opacity=0.9))
    png.write(os.path.join(out, "bottom.png"), svg.render(svg.document(24, 22, flame)))
    png.write(os.path.join(out, "shadow.png"),
              svg.render(svg.document(40, 12, svg.ellipse(20, 6, 18, 5, fill=svg.OUTLINE, fill_opacity=0.3))))


if __name__ == "__main__":
    main(sys.argv[1])
