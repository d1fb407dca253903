"""".palette" files: the colours of an indexed picture in index order and
the RIFF palettes that recolour it.

    # comment
    colour NAME RRGGBB [ALPHA]        the next index (the first is index 0)
    outline                           transparent, then the outline at 25/50/75/100 % (5 entries)
    party NAME                        NAME, NAME_light, NAME_shade from the red party colour
    variants PATTERN COLOUR...        one ".pal" per party colour: every `party` ramp recoloured;
                                      PATTERN holds "{colour}", e.g. "{colour}_legs.pal"
    variant FILE.pal NAME=RRGGBB ...  one ".pal" with some colours replaced

The drawing beside it (same stem, ".svg") is drawn in these colours; each
rendered pixel takes the nearest entry, so anti-aliased edges of the outline
find its half-transparent entries.
"""
import os
import shlex

from . import palette, style, svg, png


def figure_entries():
    """Index 0 transparent, then the outline faded in four steps."""
    outline = style.OUTLINE
    return [("transparent", (0, 0, 0, 0))] + [
        ("outline%d" % a, palette.hex_colour(outline, a)) for a in (64, 128, 192)] + [
        ("outline", palette.hex_colour(outline))]


def party_entries(name, colour="red"):
    lit, base, dark = style.ramp(style.PARTY[colour])
    return [(name, palette.hex_colour(base)), (name + "_light", palette.hex_colour(lit)),
            (name + "_shade", palette.hex_colour(dark))]


def party_variant(base, colour, party_names):
    replacements = {}
    for name in party_names:
        for suffix, value in zip(("_light", "", "_shade"), style.ramp(style.PARTY[colour])):
            replacements[name + suffix] = value
    return base.variant(**replacements)


def read(path):
    """(Palette, [(file name, Palette)]) from a ".palette" file."""
    entries, parties, outputs = [], [], []
    pending = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            w = shlex.split(line.split("#", 1)[0])
            where = "%s: line %d" % (os.path.basename(path), number)
            if not w:
                continue
            if w[0] == "colour" and len(w) in (3, 4):
                entries.append((w[1], palette.hex_colour(w[2], int(w[3]) if len(w) == 4 else 255)))
            elif w[0] == "outline" and len(w) == 1:
                entries += figure_entries()
            elif w[0] == "party" and len(w) == 2:
                entries += party_entries(w[1])
                parties.append(w[1])
            elif w[0] in ("variants", "variant") and len(w) >= 2:
                pending.append((where, w))
            else:
                raise ValueError("%s: cannot read %r" % (where, line.strip()))
    base = palette.Palette(entries)
    for where, w in pending:
        if w[0] == "variants":
            for colour in w[2:]:
                if colour not in style.PARTY:
                    raise ValueError("%s: no party colour %r" % (where, colour))
                outputs.append((w[1].replace("{colour}", colour), party_variant(base, colour, parties)))
        else:
            pairs = dict(p.split("=", 1) for p in w[2:])
            outputs.append((w[1], base.variant(**pairs)))
    return base, outputs


def render_indexed(svg_text, palette_path, out_png):
    """The drawing as an indexed PNG in the palette, and the palette's ".pal" files beside it."""
    base, outputs = read(palette_path)
    png.write(out_png, palette.quantise(svg.render(svg_text), base))
    folder = os.path.dirname(out_png)
    for name, variant in outputs:
        palette.write_riff(os.path.join(folder, name), variant)
