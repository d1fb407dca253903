"""Contact sheets: every picture of one data folder on one PNG, labelled,
on a checkerboard that shows transparency; indexed pictures appear once in
each of their palettes (a "COLOUR_IMAGE.pal" recolours "IMAGE.png", also
with words between as a member's look "COLOUR_look1_IMAGE.pal"; any other,
such as "COLOUR.pal" or "COLOUR_look1.pal", every indexed picture without
palettes of its own)."""
import base64
import html
import os
import struct
import zlib

from . import svg

CELL = 180
LABEL = 16
COLUMNS = 6


def _chunks(data):
    pos = 8
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        yield kind, data[pos + 8:pos + 8 + length]
        pos += 12 + length


def _size_and_indexed(data):
    for kind, body in _chunks(data):
        if kind == b"IHDR":
            width, height, _, colour = struct.unpack(">IIBB", body[:10])
            return width, height, colour == 3
    return 0, 0, False


def recolour(png_bytes, pal_bytes):
    """The PNG with its PLTE colours replaced by those of a RIFF palette."""
    count = struct.unpack("<H", pal_bytes[22:24])[0]
    colours = b"".join(pal_bytes[24 + 4 * i:27 + 4 * i] for i in range(count))
    out = png_bytes[:8]
    for kind, body in _chunks(png_bytes):
        if kind == b"PLTE":
            body = colours[:len(body)] + body[len(colours):]
        out += struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    return out


def _target(pal, pngs):
    """The picture a palette recolours: "COLOUR_IMAGE.pal" (any words may
    stand between, as in "red_look1_legs.pal") recolours "IMAGE.png", the
    longest such name; None for a palette of every picture without its own."""
    stem = pal[:-4]
    named = [n for n in pngs if stem.endswith("_" + n[:-4])]
    return max(named, key=len) if named else None


def _entries(folder, names):
    pngs = sorted(n for n in names if n.endswith(".png"))
    pals = sorted(n for n in names if n.endswith(".pal"))
    datas = {}
    for n in pngs:
        with open(os.path.join(folder, n), "rb") as f:
            datas[n] = f.read()
    targets = {p: _target(p, pngs) for p in pals}
    own = set(targets.values())
    entries = []
    for n in pngs:
        entries.append((n, datas[n]))
        if not _size_and_indexed(datas[n])[2]:
            continue
        for p in pals:
            if targets[p] == n or (targets[p] is None and n not in own):
                with open(os.path.join(folder, p), "rb") as f:
                    entries.append(("%s + %s" % (n, p), recolour(datas[n], f.read())))
    return entries


def _layout(entries):
    """(x, y, cell width, cell height) of each entry: small pictures share rows
    of COLUMNS cells, large ones (sheets, backdrops) get a row of their own."""
    places, x, y, row = [], 0, 30, 0
    width = COLUMNS * CELL
    for _, data in entries:
        w, h, _ = _size_and_indexed(data)
        if w > CELL or h > CELL:
            if x:
                x, y = 0, y + row
            scale = min(1.0, (width - 8) / w, 600 / h)
            cell_h = int(h * scale) + 8 + LABEL
            places.append((0, y, width, cell_h))
            y += cell_h
            row = 0
            continue
        if x + CELL > width:
            x, y, row = 0, y + row, 0
        places.append((x, y, CELL, CELL + LABEL))
        x += CELL
        row = CELL + LABEL
    return places, y + row


def sheet_svg(title, entries):
    width = COLUMNS * CELL
    places, height = _layout(entries)
    parts = ['<defs><pattern id="c" width="16" height="16" patternUnits="userSpaceOnUse">'
             '<rect width="16" height="16" fill="#d8d8d8"/><rect width="8" height="8" fill="#f4f4f4"/>'
             '<rect x="8" y="8" width="8" height="8" fill="#f4f4f4"/></pattern></defs>',
             svg.rect(0, 0, width, height, fill="#ffffff"),
             svg.text(8, 21, html.escape(title), 16, "#3b2a33", anchor="start")]
    for (name, data), (x, y, cw, ch) in zip(entries, places):
        w, h, _ = _size_and_indexed(data)
        box_h = ch - LABEL
        # Small pictures are shown twice their size, pixel for pixel.
        scale = min((cw - 8) / max(w, 1), (box_h - 8) / max(h, 1), 2.0 if max(w, h) <= 64 else 1.0)
        dw, dh = max(1, round(w * scale)), max(1, round(h * scale))
        parts.append(svg.rect(x + 2, y + 2, cw - 4, box_h - 4, fill="url(#c)"))
        parts.append('<image x="%d" y="%d" width="%d" height="%d" style="image-rendering:pixelated" '
                     'href="data:image/png;base64,%s"/>'
                     % (x + (cw - dw) // 2, y + (box_h - dh) // 2, dw, dh, base64.b64encode(data).decode()))
        label = "%s %dx%d" % (name, w, h)
        parts.append(svg.text(x + cw // 2, y + box_h + 11, html.escape(label), 10, "#3b2a33", weight="normal"))
    return svg.document(width, height, "".join(parts))


def write_sheet(folder, names, title, out_path):
    entries = _entries(folder, names)
    if not entries:
        return False
    data = svg.render_bytes(sheet_svg(title, entries))
    tmp = "%s.%d.tmp" % (out_path, os.getpid())
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, out_path)
    return True
