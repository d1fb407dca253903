"""SVG text and its rendering by rsvg-convert.

Drawings are built as strings by small helpers, so a generator reads like
the picture it makes. Colours are hex strings; the house outline is
OUTLINE at a stroke of LINE px (see data/src/README.md).
"""
import os
import subprocess
import tempfile

from . import png

OUTLINE = "#3b2a33"
LINE = 2


def document(width, height, body, background=None):
    back = '<rect width="%d" height="%d" fill="%s"/>' % (width, height, background) if background else ""
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">%s%s</svg>\n'
            % (width, height, width, height, back, body))


def attrs(**kw):
    parts = []
    for key, value in kw.items():
        if value is None:
            continue
        key = key.rstrip("_").replace("_", "-")
        if isinstance(value, float):
            value = ("%.2f" % value).rstrip("0").rstrip(".")
        parts.append('%s="%s"' % (key, value))
    return " ".join(parts)


def outlined(fill, width=LINE):
    return {"fill": fill, "stroke": OUTLINE, "stroke_width": width, "stroke_linejoin": "round"}


def ellipse(cx, cy, rx, ry, **style):
    return "<ellipse %s/>" % attrs(cx=cx, cy=cy, rx=rx, ry=ry, **style)


def rect(x, y, w, h, r=0, **style):
    return "<rect %s/>" % attrs(x=x, y=y, width=w, height=h, rx=r or None, **style)


def path(d, **style):
    return "<path %s/>" % attrs(d=d, **style)


def group(body, transform=None, **style):
    return "<g %s>%s</g>" % (attrs(transform=transform, **style), body)


def text(x, y, content, size, fill, anchor="middle", weight="bold", family="DejaVu Sans"):
    return '<text %s>%s</text>' % (attrs(x=x, y=y, font_size=size, fill=fill, text_anchor=anchor,
                                         font_weight=weight, font_family=family), content)


def render_bytes(svg_text, scale=1.0):
    """The PNG rsvg-convert makes of the SVG text (RGBA, 8 bits)."""
    args = ["rsvg-convert", "-f", "png"]
    if scale != 1.0:
        args += ["-z", str(scale)]
    result = subprocess.run(args, input=svg_text.encode(), capture_output=True, check=False)
    if result.returncode != 0:
        raise RuntimeError("rsvg-convert failed: %s" % result.stderr.decode(errors="replace"))
    return result.stdout


def render(svg_text):
    """The SVG rendered and decoded as an RGBA png.Image."""
    with tempfile.NamedTemporaryFile(suffix=".png", delete=False) as f:
        f.write(render_bytes(svg_text))
        name = f.name
    try:
        return png.read(name)
    finally:
        os.unlink(name)


def linear_gradient(gid, stops, x1=0, y1=0, x2=0, y2=1):
    """A <linearGradient> for <defs>: stops are (offset 0..1, colour[, opacity])."""
    body = "".join('<stop offset="%g" stop-color="%s" stop-opacity="%g"/>'
                   % (s[0], s[1], s[2] if len(s) > 2 else 1) for s in stops)
    return ('<linearGradient id="%s" x1="%g" y1="%g" x2="%g" y2="%g">%s</linearGradient>'
            % (gid, x1, y1, x2, y2, body))


def radial_gradient(gid, stops):
    """A <radialGradient> for <defs> filling its shape's box from the middle out."""
    body = "".join('<stop offset="%g" stop-color="%s" stop-opacity="%g"/>'
                   % (s[0], s[1], s[2] if len(s) > 2 else 1) for s in stops)
    return '<radialGradient id="%s">%s</radialGradient>' % (gid, body)


def defs(*items):
    return "<defs>%s</defs>" % "".join(items)


def polygon(points, **style):
    return "<polygon %s/>" % attrs(points=" ".join("%g,%g" % p for p in points), **style)


class Random:
    """A small deterministic generator (the same numbers on every run and
    machine), for scattering stars, planks and bubbles."""

    def __init__(self, seed):
        self.state = (seed * 2654435761 + 12345) & 0xFFFFFFFF

    def next(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return self.state

    def uniform(self, lo, hi):
        return lo + (hi - lo) * (self.next() / 4294967296.0)

    def choice(self, items):
        return items[self.next() % len(items)]
