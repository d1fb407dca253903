"""Each restaurant's kitchen and service shelves, one design recoloured by
the restaurant's palette (qmcontent.style.RESTAURANTS): for restaurant N
(1 cruise .. 5 spaceship) in "restaurants/NAME/":
  furniture/dessert_shelfN_a (+ _b glow), furniture/snackstationN_a (+ _b),
  furniture/drinkstationN_a (machine with a drink), _b (glow), _c (empty);
  props/cup_propN, props/dessert_propN, props/snack_propN (carried items).
The cook behind the counter is drawn with the staff in staff.py."""
import os
import sys

from qmcontent import png, style, svg

ORDER = ["cruise", "train", "sub", "blimp", "spaceship"]
GLOW = "#fff1a8"


def render(w, h, body):
    return svg.render(svg.document(w, h, body))


def colours(name):
    """Main (frame), second (panels), metal, accent of a restaurant."""
    c = list(style.RESTAURANTS[name].values())
    return {"cruise": (c[0], c[1], c[2], c[3]), "train": (c[0], c[1], c[2], c[3]),
            "sub": (c[0], c[1], c[2], c[3]), "blimp": (c[2], c[1], "#c79a3a", c[0]),
            "spaceship": (c[0], c[1], c[2], c[3])}[name]


def glow(w, h, body):
    return render(w, h, svg.group(body.replace(svg.OUTLINE, GLOW), opacity=0.8))


def shelf(name, items):
    main, panel, metal, accent = colours(name)
    body = svg.rect(4, 4, 52, 54, r=5, **svg.outlined(main))
    body += svg.rect(8, 8, 44, 46, r=3, fill=style.light(panel))
    body += svg.rect(44, 8, 8, 46, fill=style.shade(panel))
    for y in (28, 50):
        body += svg.rect(6, y, 48, 4, r=1.5, **svg.outlined(metal, 1.5))
    body += items
    return body


def cake(x, y, accent):
    return (svg.path("M%d %d L%d %d L%d %d Z" % (x - 7, y, x + 7, y, x, y - 10), **svg.outlined("#f6ecd2", 1.5))
            + svg.path("M%d %d L%d %d" % (x - 5, y - 3, x + 5, y - 3), stroke="#e0606a", stroke_width=2)
            + svg.ellipse(x, y - 11, 2, 2, fill=accent))


def snack(x, y, accent):
    return (svg.rect(x - 7, y - 12, 14, 12, r=2, **svg.outlined(accent, 1.5))
            + svg.rect(x - 4, y - 9, 8, 4, fill="#fffbe9"))


def drink_machine(name, full):
    main, panel, metal, accent = colours(name)
    body = svg.rect(8, 4, 44, 60, r=6, **svg.outlined(main))
    body += svg.rect(14, 10, 32, 18, r=3, **svg.outlined(style.light(accent), 1.5))
    body += svg.rect(16, 34, 28, 22, r=3, fill=style.shade(main))
    body += svg.ellipse(30, 38, 3, 2, fill=metal)
    if full:
        body += cup(30, 54, accent)
    return body


def cup(x, y, accent):
    return (svg.path("M%d %d L%d %d L%d %d L%d %d Z" % (x - 6, y - 12, x + 6, y - 12, x + 4, y, x - 4, y),
                     **svg.outlined("#ffffff", 1.5))
            + svg.path("M%d %d L%d %d L%d %d L%d %d Z" % (x - 5, y - 9, x + 5, y - 9, x + 4, y - 1, x - 4, y - 1),
                       fill=accent))


def write_restaurant(out, name, number):
    main, panel, metal, accent = colours(name)
    furniture = os.path.join(out, name, "furniture")
    props = os.path.join(out, name, "props")
    for folder in (furniture, props):
        os.makedirs(folder, exist_ok=True)
    desserts = shelf(name, cake(18, 26, accent) + cake(38, 26, accent) + cake(28, 48, accent))
    snacks = shelf(name, snack(18, 26, accent) + snack(38, 26, accent) + snack(28, 48, accent))
    png.write(os.path.join(furniture, "dessert_shelf%d_a.png" % number), render(60, 62, desserts))
    png.write(os.path.join(furniture, "dessert_shelf%d_b.png" % number), glow(60, 62, desserts))
    png.write(os.path.join(furniture, "snackstation%d_a.png" % number), render(60, 62, snacks))
    png.write(os.path.join(furniture, "snackstation%d_b.png" % number), glow(60, 62, snacks))
    png.write(os.path.join(furniture, "drinkstation%d_a.png" % number), render(60, 68, drink_machine(name, True)))
    png.write(os.path.join(furniture, "drinkstation%d_b.png" % number), glow(60, 68, drink_machine(name, True)))
    png.write(os.path.join(furniture, "drinkstation%d_c.png" % number), render(60, 68, drink_machine(name, False)))
    png.write(os.path.join(props, "cup_prop%d.png" % number), render(16, 16, cup(8, 15, accent)))
    png.write(os.path.join(props, "dessert_prop%d.png" % number), render(20, 16, cake(10, 14, accent)))
    png.write(os.path.join(props, "snack_prop%d.png" % number), render(18, 16, snack(9, 14, accent)))


def main(out):
    for number, name in enumerate(ORDER, 1):
        write_restaurant(out, name, number)


if __name__ == "__main__":
    main(sys.argv[1])
