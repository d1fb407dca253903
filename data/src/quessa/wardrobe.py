"""The wardrobe's extra clothing for the waitress (drawn in _wardrobe.py):
"shoes2.anm", "bottom2.anm", "top2.anm", "apron2.anm", "accessory1.anm",
"accessory2.anm" and the third of each slot ("top3.anm" ... "accessory3.anm"), each with the very frames and script functions of her body
(quessa.py), so the game shows every layer at the body's frame number."""
import concurrent.futures
import os
import sys

import _wardrobe as wardrobe
import _waitress as rig
import quessa


def write_item(out, name):
    layer = next(slot for slot, items in wardrobe.ITEMS.items() if any(f == name for f, _ in items))
    rig.DRAW[layer] = wardrobe.drawer(name)
    quessa.LAYER_FILES[layer] = name
    quessa.animation(layer).write(out, name + ".anm")


if __name__ == "__main__":
    # One process per item: each writes only its own files.
    names = wardrobe.NEW_FILES
    with concurrent.futures.ProcessPoolExecutor(max_workers=min(len(names), os.cpu_count() or 1)) as pool:
        for done in [pool.submit(write_item, sys.argv[1], name) for name in names]:
            done.result()
