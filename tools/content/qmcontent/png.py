"""PNG reading and writing with the standard library only.

Reads the 8-bit RGBA (and RGB, grey, palette) files rsvg-convert writes, and
writes two kinds: 8-bit RGBA and 8-bit indexed with a tRNS chunk. Output
carries no time or text chunks, so the same pixels always give the same bytes.
"""
import struct
import zlib


class Image:
    """Width x height pixels; `pixels` is a flat list of (r, g, b, a) tuples,
    or of palette indices when `palette` is set (a list of (r, g, b, a))."""

    def __init__(self, width, height, pixels=None, palette=None):
        self.width = width
        self.height = height
        self.palette = palette
        fill = 0 if palette is not None else (0, 0, 0, 0)
        self.pixels = pixels if pixels is not None else [fill] * (width * height)

    def get(self, x, y):
        return self.pixels[y * self.width + x]

    def put(self, x, y, value):
        self.pixels[y * self.width + x] = value


def faded_edges(image, margin):
    """An RGBA image whose alpha eases to nothing over `margin` pixels at each
    side, so that the outermost ring is fully transparent: a soft halo that
    reached the picture's border would otherwise end on screen in a straight
    cut."""
    out = Image(image.width, image.height, list(image.pixels))
    for y in range(image.height):
        for x in range(image.width):
            inside = min(x, y, image.width - 1 - x, image.height - 1 - y)
            if inside >= margin:
                continue
            t = inside / float(margin)
            r, g, b, a = image.get(x, y)
            out.put(x, y, (r, g, b, int(a * t * t * (3 - 2 * t))))
    return out


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _unfilter(raw, width, height, bpp):
    stride = width * bpp
    out = bytearray(stride * height)
    prev = bytearray(stride)
    pos = 0
    for y in range(height):
        kind = raw[pos]
        line = bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        if kind == 1:
            for i in range(bpp, stride):
                line[i] = (line[i] + line[i - bpp]) & 255
        elif kind == 2:
            for i in range(stride):
                line[i] = (line[i] + prev[i]) & 255
        elif kind == 3:
            for i in range(stride):
                left = line[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + ((left + prev[i]) >> 1)) & 255
        elif kind == 4:
            for i in range(stride):
                left = line[i - bpp] if i >= bpp else 0
                upleft = prev[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + _paeth(left, prev[i], upleft)) & 255
        elif kind != 0:
            raise ValueError("bad PNG filter %d" % kind)
        out[y * stride:(y + 1) * stride] = line
        prev = line
    return out


def read(path):
    """Any 8-bit non-interlaced PNG as an RGBA Image."""
    return _read(path, False)


def read_indexed(path):
    """An indexed PNG as it is stored: an Image whose pixels are the palette
    indices and whose palette holds the (r, g, b, a) entries."""
    return _read(path, True)


def _read(path, keep_indices):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s: not a PNG" % path)
    pos = 8
    idat = b""
    plte, trns = b"", b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            plte = body
        elif kind == b"tRNS":
            trns = body
        elif kind == b"IDAT":
            idat += body
    if depth != 8 or interlace:
        raise ValueError("%s: only 8-bit non-interlaced PNG is read" % path)
    bpp = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    raw = _unfilter(zlib.decompress(idat), width, height, bpp)
    if keep_indices and colour != 3:
        raise ValueError("%s: not an indexed PNG" % path)
    if colour == 6:
        pixels = [tuple(raw[i:i + 4]) for i in range(0, len(raw), 4)]
    elif colour == 2:
        pixels = [tuple(raw[i:i + 3]) + (255,) for i in range(0, len(raw), 3)]
    elif colour == 0:
        pixels = [(v, v, v, 255) for v in raw]
    elif colour == 4:
        pixels = [(raw[i], raw[i], raw[i], raw[i + 1]) for i in range(0, len(raw), 2)]
    else:
        entries = [tuple(plte[i:i + 3]) + (trns[i // 3] if i // 3 < len(trns) else 255,)
                   for i in range(0, len(plte), 3)]
        if keep_indices:
            return Image(width, height, list(raw), entries)
        pixels = [entries[v] for v in raw]
    return Image(width, height, pixels)


def _encode(width, height, colour, rows, extra=b""):
    header = struct.pack(">IIBBBBB", width, height, 8, colour, 0, 0, 0)
    compressed = zlib.compress(b"".join(b"\x00" + r for r in rows), 9)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) + extra
            + _chunk(b"IDAT", compressed) + _chunk(b"IEND", b""))


def encode(image):
    """The PNG bytes of an RGBA image, or of an indexed one (PLTE + tRNS)."""
    w = image.width
    if image.palette is None:
        flat = bytes(c for p in image.pixels for c in p)
        rows = [flat[y * w * 4:(y + 1) * w * 4] for y in range(image.height)]
        return _encode(w, image.height, 6, rows)
    plte = bytes(c for entry in image.palette for c in entry[:3])
    alphas = [entry[3] for entry in image.palette]
    while alphas and alphas[-1] == 255:
        alphas.pop()
    extra = _chunk(b"PLTE", plte) + (_chunk(b"tRNS", bytes(alphas)) if alphas else b"")
    flat = bytes(image.pixels)
    rows = [flat[y * w:(y + 1) * w] for y in range(image.height)]
    return _encode(w, image.height, 3, rows, extra)


def write(path, image):
    with open(path, "wb") as f:
        f.write(encode(image))
