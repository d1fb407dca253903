"""The wardrobe's extra clothing for the waitress (drawn in _wardrobe.py):
"shoes2.anm", "bottom2.anm", "top2.anm", "apron2.anm", "accessory1.anm" and
"accessory2.anm", each with the very frames and script functions of her body
(quessa.py), so the game shows every layer at the body's frame number."""
import sys

import _wardrobe as wardrobe
import _waitress as rig
import quessa


def write(out):
    for name in wardrobe.NEW_FILES:
        layer = next(slot for slot, items in wardrobe.ITEMS.items() if any(f == name for f, _ in items))
        rig.DRAW[layer] = wardrobe.drawer(name)
        quessa.LAYER_FILES[layer] = name
        quessa.animation(layer).write(out, name + ".anm")


if __name__ == "__main__":
    write(sys.argv[1])
