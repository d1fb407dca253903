"""The party's props (folder "accessories/"): the hearts of its mood row
("heart1" full, "heart2" half, "heart3" empty) and the menu held up while
deciding ("menu_up") and laid down on the table ("menu_down")."""
import os
import sys

from qmcontent import png, style, svg

RED = "#e0405a"
HEART = "M10 17 C2 11 1 6 4 3.5 C6.5 1.5 9 2.5 10 5 C11 2.5 13.5 1.5 16 3.5 C19 6 18 11 10 17 Z"


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def heart(fill):
    clip = '<defs><clipPath id="half"><rect x="0" y="0" width="10" height="20"/></clipPath></defs>'
    empty = svg.path(HEART, **svg.outlined("#e8dcd4", 1.5))
    if fill == "full":
        body = svg.path(HEART, **svg.outlined(RED, 1.5)) + svg.ellipse(6.5, 6.5, 2, 1.5, fill=style.light(RED))
    elif fill == "half":
        body = (clip + empty + svg.group(svg.path(HEART, fill=RED), clip_path="url(#half)")
                + svg.path(HEART, fill="none", stroke=svg.OUTLINE, stroke_width=1.5, stroke_linejoin="round"))
    else:
        body = empty
    return render(20, 19, body)


def menu(up):
    if up:
        body = (svg.rect(2, 2, 22, 28, r=2, **svg.outlined("#2f6b45", 1.5))
                + svg.rect(6, 7, 14, 3, r=1, fill="#c79a3a") + svg.rect(6, 13, 14, 2, r=1, fill="#fbf0dc"))
        return render(26, 32, body)
    body = (svg.path("M2 14 L16 4 L30 10 L16 20 Z", **svg.outlined("#2f6b45", 1.5))
            + svg.path("M10 12 L17 8", stroke="#c79a3a", stroke_width=2))
    return render(32, 24, body)


def main(out):
    for name, kind in (("heart1", "full"), ("heart2", "half"), ("heart3", "empty")):
        png.write(os.path.join(out, name + ".png"), heart(kind))
    png.write(os.path.join(out, "menu_up.png"), menu(True))
    png.write(os.path.join(out, "menu_down.png"), menu(False))


if __name__ == "__main__":
    main(sys.argv[1])
