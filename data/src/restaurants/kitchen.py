"""Each restaurant's kitchen and service shelves, one design recoloured by
the restaurant's palette (qmcontent.style.RESTAURANTS) and stocked with
what the restaurant serves (_food.py): for restaurant N (1 cruise ..
5 spaceship) in "restaurants/NAME/":
  furniture/dessert_shelfN_a (+ _b glow): its dessert, the one guests ask for;
  furniture/snackstationN_a (+ _b): cookies in a jar and on a plate;
  furniture/drinkstationN_a (machine with its drink), _b (glow), _c (empty);
  props/cup_propN, props/dessert_propN, props/snack_propN (carried items:
  the same drink, dessert and cookie).
The cook behind the counter is drawn with the staff in staff.py."""
import os
import sys

from qmcontent import png, style, svg

import _food

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
    for y in (30, 52):
        body += svg.rect(6, y, 48, 4, r=1.5, **svg.outlined(metal, 1.5))
    body += items
    return body


def dessert_items(name):
    """Three of the restaurant's desserts on the shelf's boards (the guest's bubble shows the same)."""
    return (_food.dessert(name, 18, 30, 1.0) + _food.dessert(name, 40, 30, 1.0)
            + _food.dessert(name, 29, 52, 1.0))


def cookie_items(name):
    """A jar of cookies and a plate of them (the guest's bubble shows the cookie)."""
    main, panel, metal, accent = colours(name)
    jar = svg.rect(10, 10, 20, 20, r=5, fill="#e6f6fa", stroke=svg.OUTLINE, stroke_width=1.5, opacity=0.95)
    jar += _food.cookie(20, 24, 0.8) + _food.cookie(19, 17, 0.8)
    jar += svg.rect(11, 7, 18, 5, r=2, **svg.outlined(accent, 1.2))
    pile = _food.cookie(40, 25, 0.8) + _food.cookie(38, 19, 0.8)
    board = svg.ellipse(29, 50, 15, 4, **svg.outlined("#fbfbf6", 1.2))
    board += _food.cookie(24, 47, 0.75) + _food.cookie(34, 47, 0.75) + _food.cookie(29, 43, 0.75)
    return jar + pile + board


def drink_machine(name, full):
    main, panel, metal, accent = colours(name)
    body = svg.rect(8, 4, 44, 60, r=6, **svg.outlined(main))
    body += svg.rect(14, 10, 32, 18, r=3, **svg.outlined(style.light(accent), 1.5))
    body += _food.drink(name, 30, 25, 0.8)
    body += svg.rect(16, 34, 28, 22, r=3, fill=style.shade(main))
    body += svg.ellipse(30, 38, 3, 2, fill=metal)
    if full:
        body += _food.drink(name, 30, 56, 1.0)
    return body




def write_restaurant(out, name, number):
    main, panel, metal, accent = colours(name)
    furniture = os.path.join(out, name, "furniture")
    props = os.path.join(out, name, "props")
    for folder in (furniture, props):
        os.makedirs(folder, exist_ok=True)
    desserts = shelf(name, dessert_items(name))
    snacks = shelf(name, cookie_items(name))
    png.write(os.path.join(furniture, "dessert_shelf%d_a.png" % number), render(60, 62, desserts))
    png.write(os.path.join(furniture, "dessert_shelf%d_b.png" % number), glow(60, 62, desserts))
    png.write(os.path.join(furniture, "snackstation%d_a.png" % number), render(60, 62, snacks))
    png.write(os.path.join(furniture, "snackstation%d_b.png" % number), glow(60, 62, snacks))
    png.write(os.path.join(furniture, "drinkstation%d_a.png" % number), render(60, 68, drink_machine(name, True)))
    png.write(os.path.join(furniture, "drinkstation%d_b.png" % number), glow(60, 68, drink_machine(name, True)))
    png.write(os.path.join(furniture, "drinkstation%d_c.png" % number), render(60, 68, drink_machine(name, False)))
    png.write(os.path.join(props, "cup_prop%d.png" % number), render(16, 20, _food.drink(name, 8, 19, 0.9)))
    png.write(os.path.join(props, "dessert_prop%d.png" % number), render(22, 20, _food.dessert(name, 11, 19, 1.0)))
    png.write(os.path.join(props, "snack_prop%d.png" % number), render(18, 16, _food.cookie(9, 8, 0.95)))


def main(out):
    for number, name in enumerate(ORDER, 1):
        write_restaurant(out, name, number)


if __name__ == "__main__":
    main(sys.argv[1])
