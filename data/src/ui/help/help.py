"""The pictures of the help pages ("ui/help/page1.png" .. "page4.png",
440x100 each): small scenes of the floor drawn with the game's own rigs and
props, read left to right, one strip under each page's heading.

    page1: a party waits, the party at a table, hearts full and nearly gone
    page2: the order taken, the ticket on the wheel, the meal carried out
    page3: the check, the dishes to the cart, a chain of the same job
    page4: chairs of the party's colour, the shelves, the goal's star

How a party gets to its table is left to the text (the pictures show no
pointer and no drag): the pages say it in words."""
# reads: ../../customers ../../quessa ../../restaurants ../../accessories ../../furniture
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
for folder in ("customers", "quessa", "restaurants", "accessories", "furniture"):
    sys.path.insert(0, os.path.join(HERE, "..", "..", folder))

import _figure as fig  # noqa: E402
import _food  # noqa: E402
import _waitress as waitress  # noqa: E402
import customers  # noqa: E402
import kitchen  # noqa: E402
import party_props  # noqa: E402
import service  # noqa: E402
from qmcontent import style, svg  # noqa: E402
from qmcontent.svg import OUTLINE, ellipse, group, path, rect  # noqa: E402

W, H = 440, 100
CARD_W = 128          # each scene's card; the arrows sit in the gaps
GAP = (W - 3 * CARD_W) / 2
RESTAURANT = "cruise"  # the first restaurant's floor and food
FLOOR = "#e9d2ae"
FLOOR_LINE = "#d9bd93"
WALL = "#cfe3ee"

# Quessa dressed as the comics and the menu scene show her.
TABLE_TOP, TABLE_TRIM, CHAIR_WOOD = "#f4f6f8", "#24395e", "#c79a3a"


def place(body, x, y, s=1.0, flip=False):
    return group(body, transform="translate(%g %g) scale(%g %g)" % (x, y, -s if flip else s, s))


# ---------------------------------------------------------------- people

def quessa(x, feet, s=0.62, flip=False, **values):
    """Quessa with her feet at (x, feet)."""
    out = waitress.dressed(dict(waitress.DEFAULT, **values))
    rx, ry = waitress.REG
    return place(group(out, transform="translate(%d %d)" % (-rx, -ry)), x, feet, s, flip)


def hand(x, feet, s=0.62, which="hand1", flip=False, **values):
    """Where Quessa's hand is, standing at (x, feet) in that pose."""
    hx, hy = waitress.anchors(dict(waitress.DEFAULT, **values))[which]
    return x + (-hx if flip else hx) * s, feet + hy * s


def meal(cx, cy, s=1.0, left=1.0):
    """The restaurant's meal on its plate, the plate's middle at (cx, cy)."""
    return place(_food.meal(RESTAURANT, left), cx - 14 * s, cy - 10 * s, s)


def customer(name, x, y, colour, s=0.62, seated=False, flip=False, **values):
    """A customer of the party colour, the body's registration point at (x, y);
    standing on its legs unless seated."""
    kind = customers.TYPES[name]
    p = fig.body_palette(kind)
    body = fig.draw_body(p, kind, dict(fig.DEFAULT, seated=seated, **values))
    for entry, value in zip(("party_light", "party", "party_shade"), style.ramp(style.PARTY[colour])):
        body = body.replace("#%02x%02x%02x" % p.colour(entry)[:3], value)
    if not seated:
        # The legs hang below the hips, as the game draws them at the "legs" anchor.
        lw, lh = fig.LEGS_SIZE
        top = fig.HIPS_Y + lh // 2 - 3 - lh / 2
        body = group(fig.draw_legs(fig.legs_palette(kind, colour), kind),
                     transform="translate(%g %g)" % (fig.REG[0] - lw / 2, top)) + body
    rx, ry = fig.REG
    return place(group(body, transform="translate(%d %d)" % (-rx, -ry)), x, y, s, flip)


# ---------------------------------------------------------------- the floor

def card(x, body, wall=True):
    """A scene's card: a bit of wall and floor, clipped to rounded corners."""
    cid = "card%d" % int(x)
    clip = '<defs><clipPath id="%s"><rect x="%g" y="2" width="%g" height="%g" rx="12"/></clipPath></defs>' % (
        cid, x, CARD_W, H - 6)
    ground = rect(x, 2, CARD_W, H - 6, fill=FLOOR)
    if wall:
        ground += rect(x, 2, CARD_W, 30, fill=WALL) + rect(x, 30, CARD_W, 3, fill=style.RESTAURANTS["cruise"]["brass"])
    for k in range(3):
        ground += path("M%g %g L%g %g" % (x, 50 + 16 * k, x + CARD_W, 50 + 16 * k), stroke=FLOOR_LINE, stroke_width=1.5)
    shadow = rect(x + 3, 5, CARD_W, H - 6, r=12, fill=OUTLINE, opacity=0.22)
    frame = rect(x, 2, CARD_W, H - 6, r=12, fill="none", stroke=OUTLINE, stroke_width=2)
    return shadow + clip + group(ground + body, clip_path="url(#%s)" % cid) + frame


def strip(cards, arrows):
    """Three cards in a row; arrows[i] puts an arrow after card i (a sequence), else a gap."""
    out = ""
    for i, (x, body, wall) in enumerate(cards):
        out += card(x, body, wall)
        if i < 2 and arrows[i]:
            out += arrow(x + CARD_W)
    return out


def arrow(x):
    """A fat arrow across the gap after the card that ends at x."""
    cx, cy = x + GAP / 2, H / 2
    d = "M%g %g L%g %g L%g %g L%g %g L%g %g L%g %g L%g %g Z" % (
        cx - 7, cy - 4, cx + 1, cy - 4, cx + 1, cy - 9, cx + 9, cy, cx + 1, cy + 9, cx + 1, cy + 4, cx - 7, cy + 4)
    return path(d, **svg.outlined(style.PARTY["yellow"], 1.5))


def table(x, y, w=46):
    """A dining table seen from the front, its top's middle at (x, y)."""
    out = ellipse(x + 3, y + 24, w / 2 + 4, 4, fill=OUTLINE, opacity=0.2)
    out += rect(x - w / 2 + 5, y + 2, 5, 22, **svg.outlined(TABLE_TRIM, 1.5))
    out += rect(x + w / 2 - 10, y + 2, 5, 22, **svg.outlined(TABLE_TRIM, 1.5))
    out += rect(x - w / 2, y, w, 9, r=4, **svg.outlined(style.shade(TABLE_TOP), 1.5))
    out += rect(x - w / 2, y - 4, w, 8, r=4, **svg.outlined(TABLE_TOP, 1.5))
    return out


def chair(x, y, colour, flip=False):
    """A chair in a party colour, its seat's middle at (x, y), facing the table (left unless flipped)."""
    lit, seat, _ = style.ramp(style.PARTY[colour])
    wood = CHAIR_WOOD
    body = (rect(-14, 4, 4, 14, **svg.outlined(style.shade(wood), 1.2))
            + rect(8, 4, 4, 14, **svg.outlined(style.shade(wood), 1.2))
            + rect(6, -26, 8, 32, r=3, **svg.outlined(seat, 1.5))
            + rect(-16, -3, 30, 9, r=3, **svg.outlined(seat, 1.5))
            + rect(-13, -1, 13, 2.5, r=1.2, fill=lit)
            + rect(-16, 5, 30, 3, r=1.5, **svg.outlined(wood, 1.2)))
    return place(body, x, y, 1.0, flip)


def hearts(x, y, full, total=4, s=0.62):
    """A mood row: `full` full hearts of `total`, from (x, y) rightwards."""
    out = ""
    for i in range(total):
        fill = party_props.RED if i < full else "#e8dcd4"
        out += place(path(party_props.HEART, **svg.outlined(fill, 1.5 / s)), x + i * 13 * s / 0.62, y, s)
    return out


def bubble(x, y, body, r=13):
    """A thought bubble over (x, y) holding body (drawn around its middle)."""
    out = ellipse(x, y, r, r - 2, **svg.outlined("#ffffff", 1.5))
    out += ellipse(x - r + 3, y + r, 3, 2.5, **svg.outlined("#ffffff", 1.2))
    return out + body


def badge(x, y, text, fill):
    out = ellipse(x, y, 9, 9, **svg.outlined(fill, 1.5))
    return out + svg.text(x, y + 4.5, text, 12, OUTLINE)


# ---------------------------------------------------------------- pages

def columns():
    return [GAP * 0 + 0, CARD_W + GAP, 2 * (CARD_W + GAP)]


def page1():
    a, b, c = columns()
    # A party of two waits by the door.
    door = rect(a + 6, 8, 30, 60, r=3, **svg.outlined("#8a5a2b", 1.5)) + ellipse(a + 31, 40, 2, 2, fill="#c79a3a")
    waiting = (customer("business_female", a + 60, 52, "blue") + customer("old_male", a + 92, 52, "blue")
               + hearts(a + 54, 6, 4))
    # The same party at a table, on chairs.
    seated = (chair(b + 28, 70, "blue", flip=True) + chair(b + 100, 70, "blue")
              + customer("business_female", b + 34, 56, "blue", seated=True)
              + customer("old_male", b + 94, 56, "blue", seated=True, flip=True)
              + table(b + 64, 70, 50) + hearts(b + 40, 6, 4))
    # Hearts run out while a party waits too long.
    moods = (customer("kid_male", c + 36, 60, "green", mood="grin") + hearts(c + 10, 8, 4, s=0.5)
             + customer("cellphone_male", c + 96, 60, "red", mood="frown", brows="angry", steam=True)
             + hearts(c + 72, 8, 1, s=0.5))
    return strip([(a, door + waiting, True), (b, seated, True), (c, moods, True)], (True, False))


def page2():
    a, b, c = columns()
    # The order: Quessa at the table with the ticket in her hand.
    order = (chair(a + 92, 70, "yellow") + customer("bookworm_female", a + 86, 56, "yellow", seated=True, flip=True)
             + table(a + 62, 70, 44) + quessa(a + 30, 88, hold=1)
             + place(path("M-6 -8 L6 -8 L6 6 L4 5 L2 6 L0 5 L-2 6 L-4 5 L-6 6 Z", **svg.outlined("#fffbe9", 1.2))
                     + path("M-3 -4 L3 -4 M-3 -1 L3 -1 M-3 2 L2 2", stroke="#7a8ca8", stroke_width=1), a + 44, 44))
    # The ticket goes on the order wheel; the cook's meal comes up on the pass.
    shelf_y = 4 + service.PASS_SHELF * 0.5
    kitchen_pass = (place(service.kitchen_pass(), b + 20, 4, 0.5)
                    + place(service.ticket_wheel(8), b + 2, 4, 0.75)
                    + meal(b + 84, shelf_y - 3, 1.5)
                    + path("M%g %g q-4 -6 0 -12 M%g %g q-4 -6 0 -12" % (b + 78, shelf_y - 16, b + 90, shelf_y - 16),
                           stroke="#ffffff", stroke_width=2.5, fill="none", stroke_linecap="round"))
    # The meal carried to the table it belongs to.
    serve = (chair(c + 100, 70, "yellow") + customer("bookworm_female", c + 94, 56, "yellow", seated=True, flip=True,
                                                     mood="grin")
             + table(c + 70, 70, 44) + quessa(c + 30, 88, hold=1, dir="S", flip=True)
             + meal(*hand(c + 30, 88, hold=1, dir="S", flip=True), s=1.0))
    return strip([(a, order, True), (b, kitchen_pass, False), (c, serve, True)], (True, True))


def page3():
    a, b, c = columns()
    check = (rect(-7, -9, 14, 18, r=2, **svg.outlined("#fbf0dc", 1.2))
             + "".join(rect(-4, -5 + 4 * k, 8, 1.5, fill="#b9b1a8") for k in range(3))
             + svg.text(3, 8, "$", 8, style.PARTY["green"]))
    # The check, left on the table when the party is done.
    done = (chair(a + 100, 70, "purple") + customer("dad_male", a + 94, 56, "purple", seated=True, flip=True)
            + table(a + 62, 70, 44) + meal(a + 50, 65, 0.9, left=0)
            + place(check, a + 70, 60, 1.1) + quessa(a + 26, 88, hold=1))
    # The dishes go to the cart.
    hx, hy = hand(b + 32, 88, hold=2, dir="S", flip=True)
    cart = (place(service.cart(2, False), b + 60, 44, 1.0)
            + quessa(b + 32, 88, hold=2, dir="S", flip=True)
            + meal(b + 32, hy + 2, 0.9, left=0) + meal(b + 33, hy - 2, 0.9, left=0))
    # The same job at table after table makes a chain, worth more each time.
    chain = ""
    for k, x in enumerate((c + 22, c + 64, c + 106)):
        chain += table(x, 62, 34) + place(check, x, 54, 0.9) + badge(x, 28, str(k + 1), style.PARTY["yellow"])
    chain += path("M%g 28 L%g 28 M%g 28 L%g 28" % (c + 32, c + 54, c + 74, c + 96), stroke=OUTLINE,
                  stroke_width=2, stroke_dasharray="3 3")
    return strip([(a, done, True), (b, cart, True), (c, chain, True)], (True, False))


def page4():
    a, b, c = columns()
    # Chairs of the party's own colour earn a bonus.
    match = (chair(a + 28, 70, "green", flip=True) + chair(a + 100, 70, "green")
             + customer("lovebird_female", a + 34, 56, "green", seated=True, mood="grin")
             + customer("lovebird_male", a + 94, 56, "green", seated=True, flip=True, mood="grin")
             + table(a + 64, 70, 50)
             + place(path(party_props.HEART, **svg.outlined(party_props.RED, 1.5)), a + 54, 10, 1.0)
             + svg.text(a + 86, 24, "+", 18, OUTLINE))
    # What a guest asks for waits on its shelf: drinks and desserts.
    shelves = (place(kitchen.drink_machine(RESTAURANT, True), b + 6, 14, 0.85)
               + place(kitchen.shelf(RESTAURANT, kitchen.dessert_items(RESTAURANT)), b + 60, 20, 0.85)
               + customer("tourist_female", b + 104, 62, "red", seated=True, s=0.5)
               + bubble(b + 106, 22, _food.dessert(RESTAURANT, b + 106, 28, 0.9)))
    # Reach the goal to open the next shift; the expert goal earns a star.
    goal = (rect(c + 14, 64, 100, 14, r=7, **svg.outlined("#fbf0dc", 1.5))
            + rect(c + 16, 66, 84, 10, r=5, fill=style.PARTY["green"])
            + path("M%g 60 L%g 82" % (c + 98, c + 98), stroke=OUTLINE, stroke_width=2.5)
            + place(path("M24 5 L29.5 17.5 L43 18.5 L32.5 27.5 L36 41 L24 33.5 L12 41 L15.5 27.5 L5 18.5 L18.5 17.5 Z",
                         **svg.outlined(style.PARTY["yellow"], 2)), c + 40, 8, 1.0)
            + ellipse(c + 59, 24, 3, 2, fill="#ffffff", opacity=0.7))
    return strip([(a, match, True), (b, shelves, False), (c, goal, False)], (False, False))


PAGES = {"page1": page1, "page2": page2, "page3": page3, "page4": page4}


def main(out):
    for name, make in PAGES.items():
        with open(os.path.join(out, name + ".png"), "wb") as f:
            f.write(svg.render_bytes(svg.document(W, H, make())))


if __name__ == "__main__":
    main(sys.argv[1])
