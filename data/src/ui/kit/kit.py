"""The shared interface kit, drawn in one style: rounded shapes on cream
paper, the house outline, a soft drop shadow to the lower right (light from
the upper left), and a warm accent for what can be pressed.

    button_{normal,hover,pressed,disabled}.png        184x58 (label drawn by the game)
    roundbutton_{normal,hover,pressed,disabled}.png   60x62  (an icon goes on top)
    panel.png 320x220, panel_small.png 220x140, dialog.png 520x360 (title band)
    icon_NAME.png 48x48, logo.png 560x170
    splash.png 800x600: the start-up picture shown when the splash movie
    cannot play (the movie's last picture: the title on its plate)

Buttons: a push button's graphics are {normal, pressed, hover}; a script
shows the disabled look by giving it as the only picture of a button it
has switched off."""
# reads: ../../map
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "map"))

from _crown import COIN_RADIUS, crown  # noqa: E402
from qmcontent import style, svg  # noqa: E402
from qmcontent.svg import OUTLINE, ellipse, group, path, rect, text  # noqa: E402

ACCENT = "#e8743b"
LOOKS = {
    # body colour, top gloss opacity, vertical offset, shadow, outline
    "normal": (ACCENT, 0.35, 0, True, OUTLINE),
    "hover": (style.mix(ACCENT, "#ffd27a", 0.35), 0.5, -1, True, OUTLINE),
    "pressed": (style.shade(ACCENT), 0.15, 3, False, OUTLINE),
    "disabled": ("#b9b1a8", 0.2, 0, True, "#7d7068"),
}


def shadow(x, y, w, h, r):
    return rect(x + 3, y + 4, w, h, r=r, fill=OUTLINE, opacity=0.28)


def button(look, w=176, h=46):
    body, gloss, dy, has_shadow, line = LOOKS[look]
    x, y = 2, 2 + dy
    out = shadow(2, 2, w, h, 14) if has_shadow else ""
    out += rect(x, y, w, h, r=14, fill=body, stroke=line, stroke_width=2)
    # The cel shadow along the bottom, the lit band along the top.
    out += path("M%d %d Q%d %d %d %d L%d %d Q%d %d %d %d Z" % (
        x + 6, y + h - 12, x + w / 2, y + h - 5, x + w - 6, y + h - 12, x + w - 6, y + h - 6,
        x + w / 2, y + h + 1, x + 6, y + h - 6), fill=style.shade(body), opacity=0.6)
    # The gloss stays a thin strip above the label's letters, so the label's
    # outline always meets the body colour.
    out += rect(x + 10, y + 4, w - 20, 7, r=3.5, fill="#ffffff", opacity=gloss)
    if look == "hover":
        out += rect(x - 1, y - 1, w + 2, h + 2, r=15, fill="none", stroke="#fff3c4", stroke_width=1.5)
    return svg.document(w + 8, h + 12, out)


def round_button(look, d=52):
    body, gloss, dy, has_shadow, line = LOOKS[look]
    c = 2 + d / 2
    out = ellipse(c + 3, c + 4, d / 2, d / 2, fill=OUTLINE, opacity=0.28) if has_shadow else ""
    # The shade shows as a crescent on the lower right, under the lit body.
    out += ellipse(c, c + dy, d / 2, d / 2, fill=style.shade(body))
    out += ellipse(c - 2.5, c + dy - 2.5, d / 2 - 3, d / 2 - 3, fill=body)
    out += ellipse(c, c + dy, d / 2, d / 2, fill="none", stroke=line, stroke_width=2)
    out += ellipse(c - 7, c + dy - 10, 12, 7, fill="#ffffff", opacity=gloss, transform="rotate(-25 %g %g)" % (c - 7, c + dy - 10))
    return svg.document(d + 8, d + 10, out)


def paper(x, y, w, h, r=18):
    out = shadow(x, y, w, h, r)
    out += rect(x, y, w, h, r=r, fill=style.PAPER, stroke=OUTLINE, stroke_width=2)
    out += path("M%g %g L%g %g Q%g %g %g %g L%g %g Q%g %g %g %g Z" % (
        x + w - 10, y + 16, x + w - 10, y + h - r, x + w - 10, y + h - 10, x + w - r, y + h - 10,
        x + 16, y + h - 10, x + w - 4, y + h - 3, x + w - 3, y + h - r), fill=style.PAPER_SHADE, opacity=0.8)
    out += rect(x + 6, y + 6, w - 12, h - 12, r=r - 5, fill="none", stroke="#ffffff", stroke_width=1.5, opacity=0.7)
    return out


def panel(w, h):
    return svg.document(w + 8, h + 10, paper(2, 2, w, h))


def dialog(w=512, h=348):
    out = paper(2, 2, w, h, r=22)
    # A title band in the accent colour across the top, with brass rivets.
    out += path("M%g %g Q%g %g %g %g L%g %g Q%g %g %g %g L%g %g L%g %g Z" % (
        2, 26, 2, 2, 26, 2, w - 22, 2, w + 2, 2, w + 2, 26, w + 2, 56, 2, 56),
        fill=ACCENT, stroke=OUTLINE, stroke_width=2, stroke_linejoin="round")
    out += rect(16, 6, w - 28, 6, r=3, fill="#ffffff", opacity=0.3)  # above the title's letters
    out += path("M4 50 L%g 50 L%g 55 L4 55 Z" % (w, w), fill=style.shade(ACCENT), opacity=0.6)
    for cx, cy in ((18, 76), (w - 14, 76), (18, h - 14), (w - 14, h - 14)):
        out += ellipse(cx, cy, 4, 4, fill="#c79a3a", stroke=OUTLINE, stroke_width=1.5)
        out += ellipse(cx - 1, cy - 1, 1.4, 1.4, fill="#fff1c2")
    return svg.document(w + 8, h + 10, out)


LIGHT = "#fff8ec"


def icon(body):
    return svg.document(48, 48, group(body, stroke=OUTLINE, stroke_width=2.2, stroke_linejoin="round",
                                      stroke_linecap="round"))


ICONS = {
    "sound": path("M8 19 L16 19 L26 10 L26 38 L16 29 L8 29 Z", fill=LIGHT)
    + path("M32 17 Q37 24 32 31 M36 12 Q44 24 36 36", fill="none"),
    "music": path("M18 34 L18 10 L38 6 L38 30", fill="none", stroke_width=3)
    + ellipse(14, 35, 6, 4.5, fill=LIGHT) + ellipse(34, 31, 6, 4.5, fill=LIGHT),
    "pause": rect(12, 9, 9, 30, r=3, fill=LIGHT) + rect(27, 9, 9, 30, r=3, fill=LIGHT),
    "play": path("M15 9 L38 24 L15 39 Z", fill=LIGHT),
    "close": path("M13 13 L35 35 M35 13 L13 35", fill="none", stroke_width=7)
    + path("M13 13 L35 35 M35 13 L13 35", fill="none", stroke=LIGHT, stroke_width=3),
    "check": path("M10 25 L20 35 L38 13", fill="none", stroke_width=8)
    + path("M10 25 L20 35 L38 13", fill="none", stroke=LIGHT, stroke_width=4),
    "help": path("M16 17 Q16 8 24 8 Q33 8 33 16 Q33 22 25 25 L25 30", fill="none", stroke_width=8)
    + path("M16 17 Q16 8 24 8 Q33 8 33 16 Q33 22 25 25 L25 30", fill="none", stroke=LIGHT, stroke_width=4)
    + ellipse(25, 38, 4, 4, fill=LIGHT),
    "star": path("M24 5 L29.5 17.5 L43 18.5 L32.5 27.5 L36 41 L24 33.5 L12 41 L15.5 27.5 L5 18.5 L18.5 17.5 Z",
                 fill="#f4c430") + ellipse(19, 20, 3, 2, fill="#ffffff", stroke="none", opacity=0.7),
    # the game's expert mark (map/_crown.py), at icon size, without a shadow as the other icons
    "crown": crown(24, 24, 19 / COIN_RADIUS, shadow=False),
    "heart": path("M24 41 Q6 29 7 17 Q8 8 16 8 Q22 8 24 14 Q26 8 32 8 Q40 8 41 17 Q42 29 24 41 Z", fill="#e0475a")
    + ellipse(15, 16, 3.5, 2.5, fill="#ffffff", stroke="none", opacity=0.7),
    "coin": ellipse(24, 24, 17, 17, fill="#f2c14e") + ellipse(24, 24, 11, 11, fill="none", stroke="#b8860b")
    + path("M20 19 Q24 15 28 19 M24 16 L24 32", fill="none", stroke="#8a6414", stroke_width=2.4),
    "lock": rect(10, 21, 28, 20, r=4, fill="#c79a3a") + path("M16 21 L16 15 Q16 7 24 7 Q32 7 32 15 L32 21",
                                                               fill="none", stroke_width=4)
    + ellipse(24, 30, 3, 3, fill=OUTLINE),
    "left": path("M30 8 L13 24 L30 40", fill="none", stroke_width=9)
    + path("M30 8 L13 24 L30 40", fill="none", stroke=LIGHT, stroke_width=4.5),
    "right": path("M18 8 L35 24 L18 40", fill="none", stroke_width=9)
    + path("M18 8 L35 24 L18 40", fill="none", stroke=LIGHT, stroke_width=4.5),
}


def logo():
    """The game's name as a sign: chunky cream letters with the outline,
    a drop shadow and a serving-cloche flourish."""
    return svg.document(560, 170, logo_body())


def logo_body():
    w = 560
    word = "Corvellatrip"
    letters = (text(w / 2 + 4, 112, word, 74, OUTLINE, family="DejaVu Sans", weight="bold")
               .replace("<text ", '<text opacity="0.3" '))
    outline = (text(w / 2, 108, word, 74, OUTLINE, family="DejaVu Sans", weight="bold")
               .replace("<text ", '<text stroke="%s" stroke-width="10" stroke-linejoin="round" ' % OUTLINE))
    fill = text(w / 2, 108, word, 74, "url(#g)", family="DejaVu Sans", weight="bold")
    defs = ('<defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0.45" stop-color="#fff3d6"/><stop offset="0.55" stop-color="%s"/></linearGradient></defs>'
            % "#f6c98a")
    cloche = (path("M252 40 Q280 8 308 40 Z", fill="#c3c8d4", stroke=OUTLINE, stroke_width=2.5)
              + rect(244, 38, 72, 7, r=3, fill="#8a9aa3", stroke=OUTLINE, stroke_width=2.5)
              + ellipse(280, 14, 4, 4, fill="#c3c8d4", stroke=OUTLINE, stroke_width=2)
              + path("M262 32 Q266 22 276 19", fill="none", stroke="#ffffff", stroke_width=3, stroke_linecap="round"))
    ribbon = (path("M150 128 L410 128 L400 156 L160 156 Z", fill=ACCENT, stroke=OUTLINE, stroke_width=2.5,
                   stroke_linejoin="round")
              + text(280, 149, "a restaurant rush", 18, LIGHT, family="DejaVu Sans", weight="bold")
              .replace("<text ", '<text stroke="%s" stroke-width="4" stroke-linejoin="round" ' % OUTLINE)
              + text(280, 149, "a restaurant rush", 18, LIGHT, family="DejaVu Sans", weight="bold"))
    return defs + cloche + letters + outline + fill + ribbon


def splash():
    """The night sky over the sea, a warm glow behind a plate, and the title
    resting on it."""
    sky, sea, deep = "#24385e", "#409cc4", "#2e789e"
    body = rect(0, 0, 800, 600, fill=sky)
    body += ('<defs><radialGradient id="glow" cx="0.5" cy="0.5" r="0.5">'
             '<stop offset="0" stop-color="#ffb347" stop-opacity="0.55"/><stop offset="0.6" stop-color="#e8743b" stop-opacity="0.18"/>'
             '<stop offset="1" stop-color="#e8743b" stop-opacity="0"/></radialGradient></defs>')
    body += ellipse(400, 300, 330, 230, fill="url(#glow)")
    body += rect(0, 440, 800, 160, fill=sea) + rect(0, 520, 800, 80, fill=deep)
    for x, y, w in ((60, 470, 120), (610, 480, 130), (110, 548, 90), (560, 565, 140)):
        body += rect(x, y, w, 4, fill="#cceaf5")
    # The plate: rim, well and a highlight on the upper left.
    body += ellipse(404, 366, 250, 62, fill=OUTLINE, opacity=0.28)
    body += ellipse(400, 360, 250, 62, fill="#fdfaf3", stroke=OUTLINE, stroke_width=2.5)
    body += ellipse(400, 360, 190, 44, fill="#efe3cf")
    body += path("M220 340 Q300 305 400 302", fill="none", stroke="#ffffff", stroke_width=5, stroke_linecap="round")
    body += group(logo_body(), transform="translate(120 190)")
    for x, y, r in ((170, 200, 7), (640, 170, 9), (590, 420, 6), (215, 430, 5), (700, 300, 5)):
        body += path("M%g %g L%g %g L%g %g L%g %g Z" % (x, y - r, x + r / 3, y, x, y + r, x - r / 3, y),
                     fill="#fff3c4")
        body += path("M%g %g L%g %g L%g %g L%g %g Z" % (x - r, y, x, y - r / 3, x + r, y, x, y + r / 3),
                     fill="#fff3c4")
    return svg.document(800, 600, body)


def main(out):
    pictures = {"panel": panel(320, 220), "panel_small": panel(220, 140), "dialog": dialog(), "logo": logo(),
                "splash": splash()}
    for look in LOOKS:
        pictures["button_" + look] = button(look)
        pictures["roundbutton_" + look] = round_button(look)
    for name, body in ICONS.items():
        pictures["icon_" + name] = icon(body)
    for name, drawing in pictures.items():
        with open(os.path.join(out, name + ".png"), "wb") as f:
            f.write(svg.render_bytes(drawing))


if __name__ == "__main__":
    main(sys.argv[1])
