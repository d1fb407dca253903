"""The menu screens' larger paper, drawn by the interface kit's own shapes
(data/src/ui/kit/kit.py) so it matches the kit's dialog and panels.

    dialog_tall.png   520x540 (the player list: the kit's dialog, taller)
    page.png          680x460 (a page of the menu: Quessa's corner, more games)
    page_tall.png     680x510 (the extra levels' page)
    welcome.png       384x84  (the main menu's greeting)
    decorpaper.png    332x84  (the decor step's item and its words, beside Keep it)"""
import os
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "kit"))

import kit  # noqa: E402
from qmcontent import svg  # noqa: E402


def main(out):
    pictures = {"dialog_tall": kit.dialog(512, 530), "page": kit.dialog(672, 450),
                "page_tall": kit.dialog(672, 500), "welcome": kit.panel(376, 74),
                "decorpaper": kit.panel(324, 74)}
    for name, drawing in pictures.items():
        with open(os.path.join(out, name + ".png"), "wb") as f:
            f.write(svg.render_bytes(drawing))


if __name__ == "__main__":
    main(sys.argv[1])
