"""The phone's staff buttons and what the staff show on the floor, in "ui/":
  personpoof.anm (the puff in which staff and the phone come and go;
  "DoAnim" ends); notes/music_boost_a..f (the six notes of a group the
  entertainer sends to a table); phone_busser_a/_b, phone_drinkserver_a/_b,
  phone_hostess_a/_b (a button's picture, and lit under the mouse), and
  levelspecific/phone_NAME_entertainer_a/_b for each restaurant's performer;
  the buttons show the staff as the floor does (the staff rig in
  people/_person.py, the looks of people/staff.py and restaurants/staff.py)."""
# reads: ../people ../restaurants ../customers
import importlib.util
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "people"))

import _person as person  # noqa: E402
from qmcontent import anim, png, style, svg  # noqa: E402
from qmcontent.rig import Pose  # noqa: E402

ORDER = ["cruise", "train", "sub", "blimp", "spaceship"]
ACCENT = "#e8743b"


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def puff(step):
    body = ""
    r = 10 + step * 7
    for k in range(7):
        a = k * 2 * math.pi / 7 + step * 0.3
        body += svg.ellipse(48 + r * math.cos(a), 48 + r * math.sin(a), 14 - step * 1.5, 14 - step * 1.5,
                            fill="#ffffff", stroke="#d8d0e0", stroke_width=2, opacity=1 - step * 0.12)
    return render(96, 96, body)


def note(k):
    colours = ["#3a7de0", "#c8283b", "#4fbf68", "#6a3fb0", "#f4c430", "#e8743b"]
    c = colours[k]
    body = svg.ellipse(9, 22, 7, 5.5, **svg.outlined(c, 1.5))
    body += svg.rect(14, 4, 3, 19, fill=svg.OUTLINE)
    if k % 2:
        body += svg.path("M16 4 Q24 8 22 14", stroke=svg.OUTLINE, stroke_width=3, fill="none")
    return render(28, 30, body)


def button(picture, lit):
    fill = style.mix(ACCENT, "#ffd27a", 0.45) if lit else ACCENT
    body = svg.rect(3, 3, 74, 74, r=14, **svg.outlined(style.PAPER))
    body += svg.rect(9, 9, 62, 62, r=10, fill=fill, opacity=0.35)
    body += picture
    return render(80, 80, body)


def load(name, path):
    spec = importlib.util.spec_from_file_location(name, os.path.join(HERE, "..", path))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def portrait(who, clip, **values):
    """Head and shoulders of a member of staff on the staff rig, as on the floor."""
    pose = Pose("portrait", person.POSE, mood="grin", **values)
    bust = svg.group(person.figure(who, pose, "upper", clip_id=clip + "t"),
                     transform="translate(40 41) scale(0.72) translate(-42 -28)")
    return ('<clipPath id="%s"><rect x="9" y="9" width="62" height="62" rx="10"/></clipPath>' % clip
            + svg.group(bust, clip_path="url(#%s)" % clip))


def pictures():
    people = load("people_staff", "people/staff.py")
    dishes = svg.ellipse(56, 62, 13, 4.5, **svg.outlined("#ffffff", 1.5)) + svg.ellipse(
        56, 58, 10, 3.5, **svg.outlined("#ffffff", 1.5))
    cup = svg.path("M52 50 L64 50 L62 68 L54 68 Z", **svg.outlined("#ffffff", 1.5)) + svg.rect(
        54, 56, 8, 10, fill="#f7d56a")
    return {
        "busser": portrait(people.BUSBOY, "b") + dishes,
        "drinkserver": portrait(people.BUSBOY, "d", look=(1.5, 0)) + cup,
        "hostess": portrait(people.HOSTESS, "h"),
    }


def entertainer(name, performers):
    return portrait(performers[name], "e" + name)


def main(out):
    os.makedirs(os.path.join(out, "notes"), exist_ok=True)
    os.makedirs(os.path.join(out, "levelspecific"), exist_ok=True)
    a = anim.Animation("personpoof", image="personpoof.png")
    for step in range(6):
        a.frame("puff%d" % step, puff(step), reg=(48, 72))
    a.script("function DoAnim()\n    delay(70);\n    frames{1,2,3,4,5,6};\nend\n")
    a.write(out, "personpoof.anm")
    for k in range(6):
        png.write(os.path.join(out, "notes", "music_boost_%c.png" % "abcdef"[k]), note(k))
    for who, picture in pictures().items():
        png.write(os.path.join(out, "phone_%s_a.png" % who), button(picture, False))
        png.write(os.path.join(out, "phone_%s_b.png" % who), button(picture, True))
    performers = load("restaurant_staff", "restaurants/staff.py").PERFORMERS
    for name in ORDER:
        for variant, lit in (("a", False), ("b", True)):
            png.write(os.path.join(out, "levelspecific", "phone_%s_entertainer_%s.png" % (name, variant)),
                      button(entertainer(name, performers), lit))


if __name__ == "__main__":
    main(sys.argv[1])
