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


def quantise(image, palette):
    """An RGBA image as an indexed one: each pixel takes the entry nearest in
    premultiplied colour, so a half-covered edge pixel of the outline finds
    the outline's half-transparent entry and an empty pixel index 0."""
    targets = []
    for r, g, b, a in palette.colours():
        targets.append((r * a, g * a, b * a, a * 255))
    cache = {}
    out = []
    for pixel in image.pixels:
        found = cache.get(pixel)
        if found is None:
            r, g, b, a = pixel
            p = (r * a, g * a, b * a, a * 255)
            best, best_distance = 0, None
            for i, t in enumerate(targets):
                d = (p[0] - t[0]) ** 2 + (p[1] - t[1]) ** 2 + (p[2] - t[2]) ** 2 + (p[3] - t[3]) ** 2
                if best_distance is None or d < best_distance:
                    best, best_distance = i, d
            found = cache[pixel] = best
        out.append(found)
    return png.Image(image.width, image.height, out, palette.colours())
