"""The mark of expert service: a cream crown on a gold coin. One drawing for
every place that shows it, so that it looks the same at each size: the
map's expert level markers (map.py), the won level's board ("expert_badge",
ui/game_ui.py) and Quessa's corner's expert tip (the kit's "icon_crown",
ui/kit/kit.py). Those generators read this folder ("# reads: ../map")."""
import math

from qmcontent.svg import OUTLINE, ellipse, path

GOLD = "#f4c430"
PALE_GOLD = "#f7d56a"  # a marker that is not the selected level
CREAM = "#fff8ec"
COIN_RADIUS = 12       # at scale 1, the map marker's size
# The crown's points around the coin's middle at scale 1: three spikes and
# its band.
CROWN = [(-7, -6), (-4, 2), (0, -8), (4, 2), (7, -6), (6, 6), (-6, 6)]


def crown(cx, cy, scale, gold=GOLD, radius=COIN_RADIUS, shadow=True):
    """The mark centred on (cx, cy): a coin of radius `radius` x scale and
    the crown on it at `scale`, outlined as the art direction wants (2 px at
    scale 1, a little thicker on the larger marks), with the drop shadow
    to the lower right when `shadow`."""
    line = 2 * math.sqrt(max(scale, 0.8))
    r = radius * scale
    body = ""
    if shadow:
        body += ellipse(cx + 3, cy + 4, r, r, fill=OUTLINE, opacity=0.28)
    body += ellipse(cx, cy, r, r, fill=gold, stroke=OUTLINE, stroke_width=round(line, 2), stroke_linejoin="round")
    points = " L".join("%.1f %.1f" % (cx + x * scale, cy + y * scale) for x, y in CROWN)
    body += path("M" + points + " Z", fill=CREAM, stroke=OUTLINE, stroke_width=round(line * 0.75, 2),
                 stroke_linejoin="round")
    return body
