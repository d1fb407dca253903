"""Palettes: named colour lists in a fixed index order, RIFF ".pal" files the
engine reads to recolour an indexed PNG, and quantising a rendered RGBA
picture onto a palette.

Index order is the contract: every variant of one palette has the same names
in the same order, so an image indexed with one is recoloured by another.
"""
import struct

from . import png


def hex_colour(text, alpha=255):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


class Palette:
    """An ordered list of (name, (r, g, b, a)). Index 0 should be transparent."""

    def __init__(self, entries):
        self.entries = list(entries)
        names = [n for n, _ in self.entries]
        if len(set(names)) != len(names):
            raise ValueError("palette names repeat: %s" % names)
        if len(self.entries) > 256:
            raise ValueError("a palette holds at most 256 colours")

    def index(self, name):
        for i, (n, _) in enumerate(self.entries):
            if n == name:
                return i
        raise KeyError(name)

    def colours(self):
        return [c for _, c in self.entries]

    def colour(self, name):
        return self.entries[self.index(name)][1]

    def variant(self, **replacements):
        """The same names and order with some colours replaced (alpha kept)."""
        unknown = set(replacements) - {n for n, _ in self.entries}
        if unknown:
            raise KeyError("not in the palette: %s" % sorted(unknown))
        out = []
        for name, colour in self.entries:
            if name in replacements:
                colour = hex_colour(replacements[name], colour[3]) if isinstance(replacements[name], str) \
                    else replacements[name]
            out.append((name, colour))
        return Palette(out)


def riff_bytes(palette):
    """A RIFF "PAL " file: the data chunk holds version 0x0300, the count,
    then r, g, b, flags for every entry."""
    colours = palette.colours()
    entries = b"".join(bytes((r, g, b, 0)) for r, g, b, _ in colours)
    data = struct.pack("<HH", 0x0300, len(colours)) + entries
    chunk = b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", 4 + len(chunk)) + b"PAL " + chunk


def write_riff(path, palette):
    with open(path, "wb") as f:
        f.write(riff_bytes(palette))


def quantise(image, palette, outline=None):
    """An RGBA image as an indexed one: each pixel takes the entry nearest in
    premultiplied colour, so a half-covered edge pixel of the outline finds
    the outline's half-transparent entry and an empty pixel index 0.

    With `outline` (an entry's name), an opaque pixel is first read as a mix
    of one entry and the outline, the inner anti-aliased edge of an outlined
    shape, and takes the nearest entry of that entry's ramp (NAME,
    NAME_light, NAME_shade) or the outline itself: the edge of the skin
    stays skin-coloured, and never turns into a prop or hair colour that
    happens to lie nearer."""
    colours = palette.colours()
    targets = [(r * a, g * a, b * a, a * 255) for r, g, b, a in colours]
    edge = _EdgeReader(palette, outline, targets) if outline else None
    cache = {}
    out = []
    for pixel in image.pixels:
        found = cache.get(pixel)
        if found is None:
            if edge and pixel[3] == 255:
                found = edge.entry(pixel)
            else:
                found = _nearest(pixel, targets, range(len(targets)))
            cache[pixel] = found
        out.append(found)
    return png.Image(image.width, image.height, out, colours)


def _nearest(pixel, targets, candidates):
    r, g, b, a = pixel
    p = (r * a, g * a, b * a, a * 255)
    best, best_distance = 0, None
    for i in candidates:
        t = targets[i]
        d = (p[0] - t[0]) ** 2 + (p[1] - t[1]) ** 2 + (p[2] - t[2]) ** 2 + (p[3] - t[3]) ** 2
        if best_distance is None or d < best_distance:
            best, best_distance = i, d
    return best


def ramp_name(name):
    """The ramp an entry belongs to: NAME for NAME, NAME_light and NAME_shade."""
    for suffix in ("_light", "_shade"):
        if name.endswith(suffix):
            return name[:-len(suffix)]
    return name


class _EdgeReader:
    """Reads an opaque pixel as a fill mixed with the outline (quantise)."""

    def __init__(self, palette, outline, targets):
        self.outline = palette.index(outline)
        self.ink = palette.colours()[self.outline][:3]
        self.targets = targets
        fills = [(i, name, colour[:3]) for i, (name, colour) in enumerate(palette.entries)
                 if colour[3] == 255 and i != self.outline]
        ramps = {}
        for i, name, _ in fills:
            ramps.setdefault(ramp_name(name), []).append(i)
        self.fills = [(colour, ramps[ramp_name(name)]) for _, name, colour in fills]

    def entry(self, pixel):
        """The nearest entry of the ramp whose fill, mixed with the outline, comes nearest the pixel."""
        best, best_distance = None, None
        for fill, ramp in self.fills:
            d = _to_segment(pixel[:3], fill, self.ink)
            if best_distance is None or d < best_distance:
                best, best_distance = ramp, d
        return _nearest(pixel, self.targets, best + [self.outline])


def _to_segment(p, a, b):
    """The squared distance from point p to the segment a-b (RGB)."""
    ab = [y - x for x, y in zip(a, b)]
    ap = [y - x for x, y in zip(a, p)]
    length = sum(v * v for v in ab)
    t = 0.0 if length == 0 else max(0.0, min(1.0, sum(u * v for u, v in zip(ab, ap)) / length))
    return sum((x + t * v - y) ** 2 for x, v, y in zip(a, ab, p))
