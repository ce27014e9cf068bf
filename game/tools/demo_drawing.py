#!/usr/bin/env python3
"""What the demo's and the template's picture tools draw with: a canvas drawn finely and averaged down,
a small font of block letters, colour mixes, PNG files and action maps written through the engine's
region-map tool (docs/region-maps.md)."""
import math
import os
import struct
import subprocess
import tempfile
import zlib


def png_bytes(width, height, rows):
    """PNG bytes of RGBA rows (each a bytes-like of width * 4), each row filtered by the better of "none",
    "sub" and "up" for its size."""
    out = bytearray()
    previous = bytes(width * 4)
    for row in rows:
        row = bytes(row)
        sub = bytes((row[i] - (row[i - 4] if i >= 4 else 0)) & 0xFF for i in range(len(row)))
        up = bytes((row[i] - previous[i]) & 0xFF for i in range(len(row)))
        candidates = [(0, row), (1, sub), (2, up)]
        kind, data = min(candidates, key=lambda c: sum(b if b < 128 else 256 - b for b in c[1]))
        out.append(kind)
        out.extend(data)
        previous = row

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(out), 9)) +
            chunk(b"IEND", b""))


def write_png(path, width, height, pixel):
    """Writes the picture whose pixel(x, y) gives each pixel's RGBA."""
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            row.extend(pixel(x, y))
        rows.append(row)
    with open(path, "wb") as f:
        f.write(png_bytes(width, height, rows))


def write_amp(path, width, height, regions):
    """Writes an action map through vumo_region_map: each region is (colour, (centre x, centre y), covers),
    covers(x, y) telling which pixels of the picture belong to it."""
    def painted(x, y):
        for colour, _, covers in regions:
            if covers(x, y):
                return colour + (255,)
        return (0, 0, 0, 0)

    here = os.path.dirname(os.path.abspath(__file__))
    tool = os.environ.get("VUMO_REGION_MAP", os.path.join(here, "..", "..", "build", "src", "vumo_region_map"))
    names = ["_%02X%02X%02X=%d,%d" % (colour + centre) for colour, centre, _ in regions]
    with tempfile.TemporaryDirectory() as folder:
        picture = os.path.join(folder, "regions.png")
        write_png(picture, width, height, painted)
        subprocess.run([tool, picture, path] + names, check=True)


class Canvas:
    """An RGBA picture drawn at `fine` times its size and averaged down when written, so that the edges of
    its shapes are smooth. Coordinates are those of the written picture; colours are (r, g, b) or
    (r, g, b, a)."""

    def __init__(self, width, height, fine=3):
        self.width, self.height, self.fine = width, height, fine
        self.w, self.h = width * fine, height * fine
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.w * self.h)]

    def _put(self, i, colour, cover=1.0):
        a = (colour[3] / 255.0 if len(colour) > 3 else 1.0) * cover
        if a <= 0:
            return
        p = self.px[i]
        keep = 1.0 - a
        out = a + p[3] * keep
        if out <= 0:
            return
        for c in range(3):
            p[c] = (colour[c] * a + p[c] * p[3] * keep) / out
        p[3] = out

    def shape(self, inside, box, colour):
        """Fills the points (x, y) of the written picture's space for which inside(x, y) holds, within box
        (left, top, right, bottom); colour is a colour or a function of (x, y) giving one."""
        f = self.fine
        left, top, right, bottom = box
        x0, x1 = max(0, int(left * f)), min(self.w, int(math.ceil(right * f)))
        y0, y1 = max(0, int(top * f)), min(self.h, int(math.ceil(bottom * f)))
        paint = colour if callable(colour) else (lambda x, y: colour)
        for sy in range(y0, y1):
            y = (sy + 0.5) / f
            base = sy * self.w
            for sx in range(x0, x1):
                x = (sx + 0.5) / f
                if inside(x, y):
                    self._put(base + sx, paint(x, y))

    def rect(self, left, top, right, bottom, colour):
        self.shape(lambda x, y: True, (left, top, right, bottom), colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        self.shape(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0,
                   (cx - rx, cy - ry, cx + rx, cy + ry), colour)

    def polygon(self, points, colour):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(x, y):
            crossings = False
            n = len(points)
            for i in range(n):
                (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
                if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                    crossings = not crossings
            return crossings
        self.shape(inside, (min(xs), min(ys), max(xs), max(ys)), colour)

    def line(self, ax, ay, bx, by, width, colour):
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy or 1.0
        half = width / 2.0

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
            return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= half * half
        self.shape(inside, (min(ax, bx) - half, min(ay, by) - half, max(ax, bx) + half, max(ay, by) + half),
                   colour)

    def text(self, words, x, y, size, colour, centre=False, bold=0.0):
        """Writes the words in the demo's block letters, each `size` high, from (x, y) at its top left, or
        centred on x."""
        cell = size / 7.0
        width = text_width(words, size)
        left = x - width / 2.0 if centre else x
        for ch in words.upper():
            glyph = FONT.get(ch, FONT["?"])
            for row, bits in enumerate(glyph):
                for col, bit in enumerate(bits):
                    if bit == "#":
                        gx, gy = left + col * cell, y + row * cell
                        self.ellipse(gx + cell / 2, gy + cell / 2, cell * (0.62 + bold), cell * (0.62 + bold),
                                     colour)
            left += (len(glyph[0]) + 1) * cell

    def rows(self):
        f = self.fine
        n = f * f
        for y in range(self.height):
            row = bytearray()
            for x in range(self.width):
                r = g = b = a = 0.0
                for sy in range(y * f, y * f + f):
                    base = sy * self.w
                    for sx in range(x * f, x * f + f):
                        p = self.px[base + sx]
                        r += p[0] * p[3]
                        g += p[1] * p[3]
                        b += p[2] * p[3]
                        a += p[3]
                if a > 0:
                    row.extend((int(r / a + 0.5), int(g / a + 0.5), int(b / a + 0.5), int(a / n * 255 + 0.5)))
                else:
                    row.extend((0, 0, 0, 0))
            yield row

    def write(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(png_bytes(self.width, self.height, list(self.rows())))


# Block letters, five dots wide (some narrower) and seven high.
FONT = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": ["###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    "J": ["..###", "...#.", "...#.", "...#.", "#..#.", "#..#.", ".##.."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    "1": [".#.", "##.", ".#.", ".#.", ".#.", ".#.", "###"],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    " ": ["...", "...", "...", "...", "...", "...", "..."],
    "!": ["#", "#", "#", "#", "#", ".", "#"],
    ".": [".", ".", ".", ".", ".", ".", "#"],
    "'": ["#", "#", ".", ".", ".", ".", "."],
    "-": ["....", "....", "....", "####", "....", "....", "...."],
    ":": [".", ".", "#", ".", ".", "#", "."],
    "?": [".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."],
}


def text_width(words, size):
    cell = size / 7.0
    return sum((len(FONT.get(ch, FONT["?"])[0]) + 1) * cell for ch in words.upper()) - cell


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


def shade(colour, amount):
    """Lighter (amount > 0) or darker (< 0) by a fraction."""
    return mix(colour, (255, 255, 255) if amount > 0 else (0, 0, 0), abs(amount))


def wavy(x, base, swing, period, phase=0.0):
    return base + swing * math.sin(x / period * 2 * math.pi + phase)
