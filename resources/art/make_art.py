#!/usr/bin/env python3
"""Draws Pelvane's pictures from the shapes below and writes them as Windows files.

    make_art.py OUTDIR

writes OUTDIR/pelvane.ico (12 images: 16, 24, 32 and 48 pixels, each at 4, 8
and 32 bits per pixel), OUTDIR/splash.bmp (333 x 70) and OUTDIR/logo.bmp
(157 x 33), the last two 32-bit with straight alpha outside the rounded panel.

Everything is drawn from distance functions of strokes and rounded boxes,
sampled several times per pixel, so the build needs Python 3 and nothing else
(no fonts, no image libraries) and draws the same pictures on every machine.
"""
import math
import struct
import sys
from pathlib import Path

# Shapes.
# A shape answers the signed distance (negative inside) of a point, in pixels.


class Capsule:
    """A straight stroke with round ends, of width w."""

    def __init__(self, ax, ay, bx, by, w):
        self.ax, self.ay, self.bx, self.by, self.r = ax, ay, bx, by, w / 2
        self.dx, self.dy = bx - ax, by - ay
        self.len2 = self.dx * self.dx + self.dy * self.dy or 1e-12
        self.box = (min(ax, bx) - self.r, min(ay, by) - self.r, max(ax, bx) + self.r, max(ay, by) + self.r)

    def dist(self, x, y):
        t = ((x - self.ax) * self.dx + (y - self.ay) * self.dy) / self.len2
        t = 0.0 if t < 0 else 1.0 if t > 1 else t
        px, py = self.ax + t * self.dx - x, self.ay + t * self.dy - y
        return math.sqrt(px * px + py * py) - self.r


class Arc:
    """A circular stroke with round ends, from angle a0 counter-clockwise to
    a1 (degrees, y up as on paper), of width w."""

    def __init__(self, cx, cy, rad, a0, a1, w):
        self.cx, self.cy, self.rad, self.r = cx, cy, rad, w / 2
        self.a0 = math.radians(a0)
        self.span = math.radians(a1 - a0) % (2 * math.pi) or 2 * math.pi
        self.ends = [(cx + rad * math.cos(a), cy - rad * math.sin(a)) for a in (self.a0, self.a0 + self.span)]
        m = rad + self.r
        self.box = (cx - m, cy - m, cx + m, cy + m)

    def dist(self, x, y):
        dx, dy = x - self.cx, self.cy - y
        ang = (math.atan2(dy, dx) - self.a0) % (2 * math.pi)
        if ang <= self.span:
            return abs(math.sqrt(dx * dx + dy * dy) - self.rad) - self.r
        return min(math.hypot(x - ex, y - ey) for ex, ey in self.ends) - self.r


class RoundBox:
    def __init__(self, x0, y0, x1, y1, rad):
        self.cx, self.cy = (x0 + x1) / 2, (y0 + y1) / 2
        self.hx, self.hy, self.rad = (x1 - x0) / 2, (y1 - y0) / 2, rad
        self.box = (x0, y0, x1, y1)

    def dist(self, x, y):
        qx = abs(x - self.cx) - self.hx + self.rad
        qy = abs(y - self.cy) - self.hy + self.rad
        out = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return out + min(max(qx, qy), 0.0) - self.rad


# Canvas.


class Canvas:
    """Straight-alpha RGBA pixels, painted layer by layer with coverage."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]

    def fill(self, shapes, colour, samples=4):
        """Paints the union of shapes; colour is (r, g, b) or a function of
        the pixel row giving one."""
        x0 = max(0, int(min(s.box[0] for s in shapes)) - 1)
        y0 = max(0, int(min(s.box[1] for s in shapes)) - 1)
        x1 = min(self.w, int(max(s.box[2] for s in shapes)) + 2)
        y1 = min(self.h, int(max(s.box[3] for s in shapes)) + 2)
        step = 1.0 / samples
        offs = [(i + 0.5) * step for i in range(samples)]
        for y in range(y0, y1):
            rgb = colour(y) if callable(colour) else colour
            for x in range(x0, x1):
                near = [s for s in shapes if s.box[0] - 1 <= x + 0.5 <= s.box[2] + 1 and s.box[1] - 1 <= y + 0.5 <= s.box[3] + 1]
                if not near:
                    continue
                d = min(s.dist(x + 0.5, y + 0.5) for s in near)
                if d > 0.75:
                    continue
                if d < -0.75:
                    cover = 1.0
                else:
                    hits = 0
                    for oy in offs:
                        for ox in offs:
                            if min(s.dist(x + ox, y + oy) for s in near) <= 0:
                                hits += 1
                    cover = hits / (samples * samples)
                if cover > 0:
                    self._over(x, y, rgb, cover)

    def _over(self, x, y, rgb, a):
        p = self.px[y * self.w + x]
        out_a = a + p[3] * (1 - a)
        for i in range(3):
            p[i] = (rgb[i] * a + p[i] * p[3] * (1 - a)) / out_a
        p[3] = out_a

    def rgba(self, x, y):
        p = self.px[y * self.w + x]
        return tuple(min(255, max(0, int(round(v * 255 if i == 3 else v)))) for i, v in enumerate(p))


def gradient(top, bottom, y0, y1):
    def colour(y):
        t = 0.0 if y1 <= y0 else min(1.0, max(0.0, (y + 0.5 - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))

    return colour


BLUE_TOP = (58, 128, 222)
BLUE_BOTTOM = (20, 72, 160)
EDGE = (14, 52, 122)
WHITE = (255, 255, 255)

# Lettering.
# Strokes of a rounded sans, in units of the cap height, baseline at y = 0,
# y upwards; each glyph gives its strokes and its advance.

STROKE = 0.19
XH = 0.70  # x-height


def glyph(ch):
    w = STROKE
    h = w / 2
    if ch == "P":
        top, mid, bx = 1 - h, 0.44, 0.30
        r = (top - mid) / 2
        return [("line", h, h, h, top), ("line", h, top, bx, top), ("arc", bx, mid + r, r, -90, 90),
                ("line", bx, mid, h, mid)], bx + r + h + 0.03
    if ch in "eao":
        r = XH / 2 - h
        c = h + r
        if ch == "e":
            return [("line", c - r, XH / 2, c + r, XH / 2), ("arc", c, XH / 2, r, 0, 318)], 2 * r + w
        if ch == "a":
            return [("arc", c, XH / 2, r, 0, 360), ("line", c + r, h, c + r, XH - h)], 2 * r + w
    if ch == "l":
        return [("line", h, h, h, 1.04 - h)], w
    if ch == "v":
        half = 0.28
        return [("line", h, XH - h, h + half, h), ("line", h + half, h, h + 2 * half, XH - h)], 2 * half + w
    if ch == "n":
        r = 0.22
        y0 = XH - h - r
        return [("line", h, h, h, XH - h), ("arc", h + r, y0, r, 0, 180), ("line", h + 2 * r, y0, h + 2 * r, h)], 2 * r + w
    raise ValueError(ch)


def word_strokes(text, spacing):
    strokes, x = [], 0.0
    for ch in text:
        parts, adv = glyph(ch)
        for p in parts:
            if p[0] == "line":
                strokes.append(("line", p[1] + x, p[2], p[3] + x, p[4]))
            else:
                strokes.append(("arc", p[1] + x, p[2], p[3], p[4], p[5]))
        x += adv + spacing
    return strokes, x - spacing


def place(strokes, left, baseline, size):
    """Turns em strokes into pixel shapes: size = cap height in pixels."""
    shapes = []
    w = STROKE * size
    for s in strokes:
        if s[0] == "line":
            shapes.append(Capsule(left + s[1] * size, baseline - s[2] * size, left + s[3] * size, baseline - s[4] * size, w))
        else:
            shapes.append(Arc(left + s[1] * size, baseline - s[2] * size, s[3] * size, s[4], s[5], w))
    return shapes


# Pictures.


def panel_picture(w, h, cap, samples=4):
    """The product name in white letters on a blue rounded panel."""
    c = Canvas(w, h)
    rad = h * 0.22
    c.fill([RoundBox(0, 0, w, h, rad)], EDGE, samples)
    c.fill([RoundBox(1, 1, w - 1, h - 1, rad - 1)], gradient(BLUE_TOP, BLUE_BOTTOM, 0, h), samples)
    # A soft light band across the upper half.
    c.fill([RoundBox(2, 2, w - 2, h * 0.5, rad - 2)], lambda y: tuple(v + (255 - v) * 0.12 for v in BLUE_TOP), samples)
    strokes, width = word_strokes("Pelvane", 0.10)
    left = (w - width * cap) / 2
    baseline = h / 2 + cap / 2 - cap * 0.02
    shadow = place(strokes, left + cap * 0.04, baseline + cap * 0.05, cap)
    c.fill(shadow, (10, 36, 90), samples)
    c.fill(place(strokes, left, baseline, cap), WHITE, samples)
    return c


def mark(size, flat=False):
    """The program icon: a white P on a blue rounded square; flat gives the
    plain colours of the 16-colour palette instead of the shaded blue."""
    c = Canvas(size, size)
    samples = 8
    m = 0.5 if size <= 16 else size / 32
    rad = size * 0.2
    c.fill([RoundBox(m, m, size - m, size - m, rad)], (0, 0, 128) if flat else EDGE, samples)
    inset = m + max(1.0, size / 24)
    fill = (0, 0, 255) if flat else gradient(BLUE_TOP, BLUE_BOTTOM, inset, size - inset)
    c.fill([RoundBox(inset, inset, size - inset, size - inset, rad - (inset - m))], fill, samples)
    cap = size * 0.62
    strokes, width = word_strokes("P", 0)
    # Small sizes want the stem on whole pixels rather than smeared over two.
    left = (size - width * cap) / 2
    if size <= 24:
        left = round(left)
    c.fill(place(strokes, left, size / 2 + cap / 2, cap), WHITE, samples)
    return c


# File formats.

VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
         (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
         (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def nearest(rgb, palette, allowed=None):
    best, bi = None, 0
    for i, p in enumerate(palette):
        if allowed is not None and i not in allowed:
            continue
        d = sum((a - b) ** 2 for a, b in zip(rgb, p))
        if best is None or d < best:
            best, bi = d, i
    return bi


def median_cut(colours, limit):
    """A palette of at most limit colours for the given list of (r, g, b)."""
    boxes = [sorted(set(colours))]
    while len(boxes) < limit:
        boxes.sort(key=lambda b: max(max(c[i] for c in b) - min(c[i] for c in b) for i in range(3)) if len(b) > 1 else -1)
        big = boxes.pop()
        if len(big) < 2:
            boxes.append(big)
            break
        axis = max(range(3), key=lambda i: max(c[i] for c in big) - min(c[i] for c in big))
        big.sort(key=lambda c: c[axis])
        half = len(big) // 2
        boxes += [big[:half], big[half:]]
    return [tuple(sum(c[i] for c in b) // len(b) for i in range(3)) for b in boxes if b]


def row_pad(n):
    return b"\0" * ((4 - n % 4) % 4)


def and_mask(canvas, opaque):
    out = bytearray()
    for y in reversed(range(canvas.h)):
        bits = bytearray((canvas.w + 7) // 8)
        for x in range(canvas.w):
            if not opaque(x, y):
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bits + row_pad(len(bits))
    return bytes(out)


def info_header(w, h, bits, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, 0, 0, 0, colours, 0)


def icon_image(canvas, bits):
    """One icon image: header, palette, colour bits and AND mask."""
    w, h = canvas.w, canvas.h
    px = [[canvas.rgba(x, y) for x in range(w)] for y in range(h)]
    if bits == 32:
        body = bytearray()
        for y in reversed(range(h)):
            for r, g, b, a in px[y]:
                body += bytes((b, g, r, a))
        return info_header(w, 2 * h, 32) + bytes(body) + and_mask(canvas, lambda x, y: px[y][x][3] > 0)
    opaque = lambda x, y: px[y][x][3] >= 128
    if bits == 4:
        palette = VGA16
        # The blues, white and silver for the soft edges.
        allowed = {4, 7, 12, 15}
        index = lambda rgb: nearest(rgb, palette, allowed)
    else:
        used = [px[y][x][:3] for y in range(h) for x in range(w) if opaque(x, y)]
        palette = median_cut(used, 255) if used else []
        palette = palette + [(0, 0, 0)] * (256 - len(palette))
        cache = {}

        def index(rgb):
            if rgb not in cache:
                cache[rgb] = nearest(rgb, palette)
            return cache[rgb]

    per = 8 // bits
    body = bytearray()
    for y in reversed(range(h)):
        row = bytearray((w * bits + 7) // 8)
        for x in range(w):
            i = index(px[y][x][:3]) if opaque(x, y) else 0
            row[x // per] |= i << (8 - bits * (1 + x % per))
        body += row + row_pad(len(row))
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return info_header(w, 2 * h, bits, len(palette)) + pal + bytes(body) + and_mask(canvas, opaque)


def write_ico(path, images):
    """images: list of (size, bits, bytes)."""
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, bits, blob in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 16 if bits == 4 else 0, 0, 1, bits, len(blob), offset)
        offset += len(blob)
        blobs += blob
    Path(path).write_bytes(head + entries + blobs)


def write_bmp32(path, canvas):
    body = bytearray()
    for y in reversed(range(canvas.h)):
        for x in range(canvas.w):
            r, g, b, a = canvas.rgba(x, y)
            body += bytes((b, g, r, a))
    head = info_header(canvas.w, canvas.h, 32)
    Path(path).write_bytes(struct.pack("<2sIHHI", b"BM", 14 + len(head) + len(body), 0, 0, 14 + len(head)) + head + body)


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    out.mkdir(parents=True, exist_ok=True)
    images = []
    for bits in (32, 8, 4):
        for size in (48, 32, 24, 16):
            images.append((size, bits, icon_image(mark(size, flat=bits == 4), bits)))
    write_ico(out / "pelvane.ico", images)
    write_bmp32(out / "splash.bmp", panel_picture(333, 70, 40))
    write_bmp32(out / "logo.bmp", panel_picture(157, 33, 19, samples=6))


if __name__ == "__main__":
    main()
