"""The house style as numbers (data/src/README.md explains it): the outline,
the party colours with their light and shade, the interface colours and each
restaurant's palette. Generators take their colours from here."""

OUTLINE = "#3b2a33"
LINE = 2          # outline width in px at game scale; 1.5 on small props
PAPER = "#fbf0dc"  # interface panels
PAPER_SHADE = "#ead4b0"
INK = "#3b2a33"
SKIN = ["#f6d2b4", "#e3ac84", "#b97a56", "#7f4f35"]
HAIR = ["#4a3228", "#8a5a2b", "#d9a441", "#bdbdbd", "#2b2226"]

# Party colours, told apart by value as well as hue (darkest to lightest:
# purple, red, blue, green, yellow), chosen so that each pair stays apart
# for players with red-green colour blindness (the content lint measures it
# on the flags); grey and black only for chairs.
PARTY = {
    "red": "#ad1d1a",
    "blue": "#6086f4",
    "green": "#12ad70",
    "yellow": "#fde93a",
    "purple": "#582088",
    "grey": "#9a9a9a",
    "black": "#34343c",
}
PARTY_ORDER = ["red", "blue", "green", "yellow", "purple"]
CHAIR_ORDER = PARTY_ORDER + ["grey", "black"]

RESTAURANTS = {
    "cruise": {"navy": "#24395e", "white": "#f4f6f8", "brass": "#c79a3a", "sea": "#3f9bc4"},
    "train": {"mahogany": "#6b2e22", "velvet": "#2f6b45", "brass": "#c79a3a", "lamp": "#f7d56b"},
    "sub": {"teal": "#1f6f73", "steel": "#8a9aa3", "porthole": "#9fd8e0", "fish": "#f08a3c"},
    "blimp": {"sky": "#8cc7ee", "cream": "#f6ecd2", "trim": "#c8363b", "cloud": "#ffffff"},
    "spaceship": {"violet": "#3b2666", "silver": "#c3c8d4", "cyan": "#4ee2ec", "planet": "#e38b4f"},
}


def _rgb(hex_text):
    h = hex_text.lstrip("#")
    return [int(h[i:i + 2], 16) for i in (0, 2, 4)]


def _hex(rgb):
    return "#%02x%02x%02x" % tuple(max(0, min(255, round(c))) for c in rgb)


def mix(a, b, t):
    """a moved towards b by t (0..1)."""
    return _hex([x + (y - x) * t for x, y in zip(_rgb(a), _rgb(b))])


def light(colour):
    """The lit side (light comes from the upper left)."""
    return mix(colour, "#ffffff", 0.28)


def shade(colour):
    """The one cel-shadow tone: darker, warmed towards the outline."""
    return mix(colour, OUTLINE, 0.38)


def ramp(colour):
    """light, base, shade of a colour."""
    return light(colour), colour, shade(colour)
