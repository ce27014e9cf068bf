#!/usr/bin/env python3
"""Draws the demo game's pictures and writes them as PNG files: the scenes' backgrounds and things into
game/demo/data/gfx, the inventory's items and the pointer into game/demo/data/ui, the promotion screens'
pictures into game/demo/data/orvalo, the sign's action map, whose one region is its door, into the meadow
chapter, and the shore's, whose one region is the water, into the lake chapter. The maps are made by the
engine's region-map tool (docs/region-maps.md) from painted pictures: build it first, or name it in
VUMO_REGION_MAP. The files are committed; run it again only to change them:
    python3 game/tools/make_demo_images.py"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from demo_drawing import Canvas, mix, shade, text_width, wavy, write_amp  # noqa: E402

# The scenes' backgrounds are drawn at half the window's 960 x 540 and stretched to it; things and the
# regions below are placed in window pixels.
BG_W, BG_H = 480, 270

SKY_TOP, SKY_LOW = (28, 36, 96), (246, 150, 92)
WOOD, WOOD_DARK, WOOD_LIGHT = (150, 96, 48), (92, 56, 28), (196, 140, 78)
GRASS, GRASS_DARK = (88, 150, 62), (46, 102, 44)
WATER, WATER_DEEP = (48, 110, 170), (22, 58, 112)


def evening_sky(c, horizon, bottom=None):
    """The sky from the top down to bottom (just below the horizon when not given): whatever is drawn over
    it must leave no gap above that."""
    bottom = horizon + 2 if bottom is None else bottom
    c.rect(0, 0, BG_W, bottom, lambda x, y: mix(SKY_TOP, SKY_LOW, (y / horizon) ** 1.4))
    for sx, sy in ((40, 20), (96, 34), (150, 12), (300, 26), (360, 10), (430, 38)):
        c.ellipse(sx, sy, 0.9, 0.9, (255, 255, 230, 200))


def hills_picture(path):
    """The meadow after sunset: far blue hills, the grass, a path from the camp to the right edge, the campfire's
    stones and a tree."""
    c = Canvas(BG_W, BG_H)
    draw_hills(c)
    c.write(path)


def draw_hills(c):
    # The far hills dip below the horizon between the near ones: the sky goes on behind them.
    evening_sky(c, 160, 200)
    c.shape(lambda x, y: y > wavy(x, 150, 9, 130) + wavy(x, 0, 5, 47, 1.0), (0, 120, BG_W, 190),
            (106, 112, 150))
    c.shape(lambda x, y: y > wavy(x, 166, 7, 90, 2.0) + wavy(x, 0, 3, 31), (0, 150, BG_W, 200), (84, 96, 120))
    c.shape(lambda x, y: y > wavy(x, 176, 4, 160, 0.5), (0, 165, BG_W, BG_H),
            lambda x, y: mix(GRASS, GRASS_DARK, (y - 170) / 100))
    # The path: from the camp's foot to the right edge, where the sign's arrow stands.
    trail = [(150, 270), (190, 236), (260, 222), (330, 214), (400, 196), (480, 184),
            (480, 196), (404, 210), (336, 228), (268, 238), (206, 252), (190, 270)]
    c.polygon(trail, (184, 150, 98))
    # The tree at the left, its crown over the sky.
    c.rect(38, 110, 48, 200, (78, 52, 32))
    for cx, cy, r in ((43, 96, 26), (26, 116, 18), (62, 114, 19), (44, 124, 16)):
        c.ellipse(cx, cy, r, r * 0.9, (40, 92, 48))
    # The campfire's ring of stones, under the fire at (200, 440) of the window.
    for i in range(7):
        a = math.pi * (i / 6.0)
        c.ellipse(100 + 13 * math.cos(a), 222 + 3 * math.sin(a), 3.2, 2.4, (120, 118, 112))
    c.line(90, 221, 110, 218, 2.4, (92, 56, 28))
    c.line(92, 218, 108, 222, 2.4, (120, 72, 36))
    for tx, ty in ((130, 248), (300, 250), (350, 190), (420, 240), (230, 200), (20, 230), (460, 220)):
        for k in (-2, 0, 2):
            c.line(tx, ty, tx + k, ty - 5, 0.8, (120, 180, 80))


# The sign's door, in window pixels: an arch over a rectangle.
SIGN_DOOR = (400, 176, 560, 432)


def sign_door(x, y):
    left, top, right, bottom = SIGN_DOOR
    cx, r = (left + right) / 2.0, (right - left) / 2.0
    if y < top + r:
        return (x - cx) ** 2 + (y - top - r) ** 2 <= r * r
    return left <= x <= right and y <= bottom


DOOR_COLOUR = (60, 35, 20)

# Where the sign's password lies, in window pixels (left, top, right, bottom), as its scene places it.
PASSWORD = (104, 112, 120, 128)

# The sign's frame in the pictures's half-size pixels (left, top, right, bottom): below the goal's panel and
# above the way back to the hills, so that neither covers its edges or its nails.
SIGN = (14, 42, 466, 222)


def sign_picture(path):
    """The wooden sign in the evening sky: boards with grain, a frame with a nail in each corner, a door in
    the middle with its name carved over it."""
    c = Canvas(BG_W, BG_H)
    evening_sky(c, 270)
    left, top, right, bottom = SIGN
    c.rect(left, top, right, bottom, WOOD_DARK)
    inner = (left + 6, top + 6, right - 6, bottom - 6)
    for board, y in enumerate(range(inner[1], inner[3], 28)):
        low = min(y + 28, inner[3])
        c.rect(inner[0], y, inner[2], low, WOOD if board % 2 == 0 else shade(WOOD, 0.07))
        for k in range(3):
            c.shape(lambda x, yy, y=y, k=k, b=board: abs(yy - wavy(x, y + 7 + k * 7, 1.6, 70 + 20 * k, b + k)) < 0.45,
                    (inner[0], y, inner[2], low), shade(WOOD, -0.12))
        if y + 28 < inner[3]:
            c.rect(inner[0], y + 27.3, inner[2], y + 28.7, WOOD_DARK)
    for x, y in ((left + 12, top + 12), (right - 12, top + 12), (left + 12, bottom - 12), (right - 12, bottom - 12)):
        c.ellipse(x, y, 2.2, 2.2, (70, 70, 76))
    left, top, right, bottom = (v / 2.0 for v in SIGN_DOOR)
    c.shape(lambda x, y: sign_door(x * 2, y * 2 + 8) or sign_door(x * 2 - 8, y * 2) or sign_door(x * 2 + 8, y * 2),
            (left - 5, top - 5, right + 5, bottom), WOOD_DARK)
    c.shape(lambda x, y: sign_door(x * 2, y * 2), (left, top, right, bottom),
            lambda x, y: mix((54, 30, 18), (30, 16, 10), (y - top) / (bottom - top)))
    c.ellipse(right - 12, (top + bottom) / 2 + 10, 2.5, 2.5, (214, 170, 60))
    c.text("TO THE LAKE", 240, 60, 18, (58, 32, 16), centre=True, bold=0.1)
    # A dot on the top left board: the password's plate, too small to read until the sign is zoomed in.
    left, top, right, bottom = (v / 2.0 for v in PASSWORD)
    c.rect(left, top + (bottom - top) * 0.2, right, bottom - (bottom - top) * 0.2, (70, 40, 20))
    c.write(path)


# The beach's edge in window pixels, from the water line down to the bottom: the water lies right of it.
BEACH_EDGE = [(120, 300), (220, 380), (340, 464), (400, 540)]


def shore_water(x, y):
    if y < 300:
        return False
    for (ax, ay), (bx, by) in zip(BEACH_EDGE, BEACH_EDGE[1:]):
        if ay <= y <= by:
            return x > ax + (bx - ax) * (y - ay) / float(by - ay)
    return False


WATER_COLOUR = (30, 90, 160)


def shore_picture(path, calm=False):
    """The lake at evening: the far shore with the inn and its lit window, the water with ripples (or, calm,
    smooth with the inn's lights mirrored in it), the beach at the left and a frame around the sky's
    video."""
    c = Canvas(BG_W, BG_H)
    draw_shore(c, calm)
    c.write(path)


def draw_shore(c, calm=False):
    evening_sky(c, 150)
    c.ellipse(90, 112, 14, 14, (255, 226, 150))
    c.shape(lambda x, y: y > wavy(x, 140, 5, 120, 0.4), (0, 120, BG_W, 160), (84, 96, 120))
    # The inn across the water.
    c.rect(392, 118, 432, 146, (120, 84, 60))
    c.polygon([(386, 120), (412, 100), (438, 120)], (110, 44, 40))
    c.rect(400, 126, 408, 134, (255, 214, 110))
    c.rect(416, 126, 424, 134, (255, 214, 110))
    c.rect(404, 136, 412, 146, (70, 44, 30))
    c.rect(0, 148, BG_W, BG_H, lambda x, y: mix(WATER, WATER_DEEP, (y - 148) / 122.0))
    if calm:
        # The low sun and the lit windows mirrored below them, long and still.
        c.rect(80, 150, 100, 200, lambda x, y: (255, 226, 150, int(150 * (200 - y) / 50.0)))
        for wx in (404, 420):
            c.rect(wx - 3, 150, wx + 3, 178, lambda x, y: (255, 214, 110, int(170 * (178 - y) / 28.0)))
    else:
        for i in range(26):
            rx = (i * 97) % 460 + 10
            ry = 156 + (i * 53) % 110
            c.line(rx, ry, rx + 14 + i % 3 * 4, ry, 1.0, (150, 196, 230, 150))
    # The beach: sand at the left, its edge running down to the right.
    beach = [(x / 2.0, y / 2.0) for x, y in BEACH_EDGE]
    c.polygon([(0, 150)] + beach + [(0, 270)], (214, 190, 132))
    c.polygon([(0, 150), (56, 150), (96, 182), (40, 196), (0, 192)], (120, 160, 80))
    for (ax, ay), (bx, by) in zip(beach, beach[1:]):
        c.line(ax, ay, bx, by, 1.4, (180, 156, 104))
    # A frame for the sky's video at (416, 84, 128, 96) of the window, below the goal.
    c.rect(204, 38, 276, 94, WOOD_DARK)
    c.rect(206, 40, 274, 92, (20, 24, 48))


def stranger(path):
    """A traveller in a hooded green cloak, leaning on a staff."""
    c = Canvas(64, 128)
    c.line(50, 20, 54, 126, 3.0, (110, 72, 40))
    c.polygon([(14, 124), (22, 52), (32, 40), (42, 52), (52, 124)], (56, 96, 70))
    c.polygon([(22, 124), (28, 70), (36, 70), (42, 124)], (44, 78, 58))
    c.ellipse(32, 34, 12, 14, (56, 96, 70))
    c.ellipse(32, 38, 7, 8, (232, 190, 150))
    c.ellipse(29, 37, 1.2, 1.2, (40, 30, 30))
    c.ellipse(35, 37, 1.2, 1.2, (40, 30, 30))
    c.polygon([(26, 43), (38, 43), (32, 54)], (180, 180, 176))
    c.ellipse(48, 76, 5, 5, (232, 190, 150))
    c.line(18, 96, 46, 96, 3.0, (120, 84, 40))
    c.write(path)


def plank_lying(path):
    """A long board lying on the grass, with its grain and two nails."""
    c = Canvas(128, 32)
    c.ellipse(64, 26, 62, 5, (0, 0, 0, 70))
    c.polygon([(4, 10), (122, 4), (124, 20), (6, 26)], WOOD_LIGHT)
    c.polygon([(6, 26), (124, 20), (124, 23), (6, 29)], WOOD_DARK)
    for k in range(3):
        c.line(14 + k * 30, 13 + k, 60 + k * 26, 11 - k, 0.9, WOOD)
    c.ellipse(14, 17, 1.6, 1.6, (70, 70, 76))
    c.ellipse(114, 12, 1.6, 1.6, (70, 70, 76))
    c.write(path)


def crate(path):
    """A wooden crate with cross boards: heavy, but it can be dragged."""
    c = Canvas(72, 72)
    c.ellipse(36, 68, 34, 4, (0, 0, 0, 80))
    c.rect(4, 4, 68, 68, WOOD_DARK)
    c.rect(8, 8, 64, 64, WOOD)
    for y in (24, 40):
        c.rect(8, y - 0.8, 64, y + 0.8, WOOD_DARK)
    c.line(10, 10, 62, 62, 6, WOOD_LIGHT)
    c.line(10, 10, 62, 62, 1.2, WOOD_DARK)
    for x, y in ((8, 8), (64, 8), (8, 64), (64, 64)):
        c.ellipse(x, y, 2.0, 2.0, (70, 70, 76))
    c.write(path)


def draw_oar(c, x, y):
    """An oar lying across a 48 x 48 cell from (x, y): a long handle and a wide blade."""
    c.line(x + 4, y + 44, x + 28, y + 20, 3.4, WOOD_LIGHT)
    c.line(x + 3, y + 45, x + 8, y + 40, 4.6, WOOD_DARK)
    c.polygon([(x + 24, y + 20), (x + 36, y + 4), (x + 46, y + 4), (x + 46, y + 14), (x + 30, y + 26)], WOOD)
    c.line(x + 27, y + 21, x + 43, y + 6, 1.2, WOOD_DARK)


def oar(path):
    c = Canvas(48, 48)
    draw_oar(c, 0, 0)
    c.write(path)


def draw_key(c, x, y):
    """The golden key in a 48 x 48 cell from (x, y): a ring, a shank and two teeth."""
    gold, dark = (250, 206, 60), (170, 120, 20)
    c.shape(lambda px, py: 3.5 <= math.hypot(px - x - 14, py - y - 24) <= 10, (x + 4, y + 14, x + 24, y + 34), dark)
    c.shape(lambda px, py: 5 <= math.hypot(px - x - 14, py - y - 24) <= 8.5, (x + 4, y + 14, x + 24, y + 34), gold)
    for (left, top, right, low), colour in ((((23, 21, 44, 27), dark)), (((23, 22, 44, 26), gold)),
                                           (((35, 26, 39, 34), dark)), (((36, 26, 38.5, 33), gold)),
                                           (((40, 26, 44, 32), dark)), (((41, 26, 43.5, 31), gold))):
        c.rect(x + left, y + top, x + right, y + low, colour)
    c.line(x + 24, y + 22.5, x + 43, y + 22.5, 0.8, (255, 240, 160))


def key(path):
    c = Canvas(48, 48)
    draw_key(c, 0, 0)
    c.write(path)


def logs(path):
    """A pile of firewood: the beacon, before it is lit."""
    c = Canvas(48, 24)
    for x0, y0, x1, y1 in ((4, 20, 44, 18), (8, 14, 40, 12), (14, 8, 34, 8)):
        c.line(x0, y0, x1, y1, 6, (116, 72, 38))
        c.ellipse(x0, y0, 3, 3, (208, 168, 110))
        c.ellipse(x0, y0, 1.2, 1.2, (150, 100, 56))
    c.write(path)


def moon(path):
    """A crescent moon that rises once the evening has gone on a while."""
    c = Canvas(48, 48)
    c.shape(lambda x, y: (x - 24) ** 2 + (y - 24) ** 2 <= 18 ** 2 and (x - 32) ** 2 + (y - 18) ** 2 > 15 ** 2,
            (0, 0, 48, 48), (250, 240, 200))
    c.write(path)


def arrow(path, pointing):
    """A way out: a wooden arrow on a post; pointing is "right", "left" or "down"."""
    c = Canvas(96, 72)
    if pointing in ("right", "left"):
        shape = [(6, 18), (62, 18), (62, 6), (90, 30), (62, 54), (62, 42), (6, 42)]
        if pointing == "left":
            shape = [(96 - x, y) for x, y in shape]
        c.rect(44, 36, 52, 72, WOOD_DARK)
        c.polygon([(x, y + 2) for x, y in shape], (0, 0, 0, 90))
        c.polygon(shape, WOOD_LIGHT)
        inner = [(x * 0.82 + 48 * 0.18, y * 0.7 + 30 * 0.3) for x, y in shape]
        c.polygon(inner, (236, 206, 140))
    else:
        shape = [(30, 4), (66, 4), (66, 36), (84, 36), (48, 68), (12, 36), (30, 36)]
        c.polygon([(x, y + 2) for x, y in shape], (0, 0, 0, 90))
        c.polygon(shape, WOOD_LIGHT)
        inner = [(x * 0.7 + 48 * 0.3, y * 0.82 + 36 * 0.18) for x, y in shape]
        c.polygon(inner, (236, 206, 140))
    c.write(path)


def raft_afloat(path):
    """The raft on the water: planks tied with the rope, seen from the side, and a ripple."""
    c = Canvas(128, 48)
    c.ellipse(64, 38, 62, 7, (150, 196, 230, 140))
    c.polygon([(8, 24), (120, 24), (114, 36), (14, 36)], WOOD)
    for x in range(22, 120, 18):
        c.line(x, 24, x - 2, 36, 1.0, WOOD_DARK)
    c.line(40, 22, 40, 38, 2.0, (210, 180, 100))
    c.line(88, 22, 88, 38, 2.0, (210, 180, 100))
    c.line(96, 26, 126, 4, 2.4, WOOD_LIGHT)
    c.polygon([(120, 2), (127, 0), (124, 10)], WOOD)
    c.write(path)


def password(path):
    """The inn's password, carved in tiny golden letters on a dark plate: drawn a quarter of its size on the
    sign, it is as sharp as this picture at the deepest zoom."""
    c = Canvas(64, 64)
    c.rect(0, 12.8, 64, 51.2, (70, 40, 20))
    c.text("ROSE", 32, 22, 20, (255, 215, 0), centre=True, bold=0.05)
    c.write(path)


def item_pictures(path):
    """The inventory's pictures in a row of 64 x 64 cells: the plank, the rope, the raft, the oar and the
    golden key."""
    c = Canvas(320, 64)
    # The plank: one board across the cell.
    c.polygon([(6, 46), (50, 6), (58, 14), (14, 54)], WOOD_LIGHT)
    c.polygon([(14, 54), (58, 14), (58, 18), (16, 57)], WOOD_DARK)
    c.line(16, 42, 46, 15, 1.0, WOOD)
    c.ellipse(15, 45, 1.8, 1.8, (70, 70, 76))
    c.ellipse(48, 15, 1.8, 1.8, (70, 70, 76))
    # The rope: a coil of three rings with its end hanging out.
    for r in (24, 18, 12):
        c.shape(lambda x, y, r=r: r - 3.2 <= math.hypot(x - 96, y - 30) <= r,
                (96 - r, 30 - r, 96 + r, 30 + r), (206, 174, 96))
        c.shape(lambda x, y, r=r: r - 1.2 <= math.hypot(x - 96, y - 30) <= r - 0.4 and (x + y) % 6 < 3,
                (96 - r, 30 - r, 96 + r, 30 + r), (150, 120, 60))
    c.line(110, 48, 122, 60, 3.2, (206, 174, 96))
    # The raft: three boards with the rope tied across them.
    for k in range(3):
        c.rect(134 + k * 18, 8, 150 + k * 18, 56, WOOD if k % 2 == 0 else WOOD_LIGHT)
        c.rect(149 + k * 18, 8, 150 + k * 18, 56, WOOD_DARK)
    for y in (20, 44):
        c.rect(132, y - 2, 188, y + 2, (214, 184, 104))
    draw_oar(c, 200, 8)
    draw_key(c, 264, 8)
    c.write(path)


def pack_picture(path):
    """The pack behind the inventory's cells: a leather strap with stitches along its edge."""
    c = Canvas(420, 88, 2)
    c.shape(lambda x, y: rounded(x, y, 0, 0, 420, 88, 14), (0, 0, 420, 88), (60, 38, 22, 235))
    c.shape(lambda x, y: rounded(x, y, 3, 3, 417, 85, 12), (0, 0, 420, 88),
            lambda x, y: mix((112, 74, 44), (84, 54, 32), y / 88.0) + (235,))
    for x in range(16, 408, 12):
        for y in (8, 80):
            c.rect(x, y - 0.8, x + 6, y + 0.8, (200, 170, 120, 200))
    for y in range(16, 76, 12):
        for x in (8, 412):
            c.rect(x - 0.8, y, x + 0.8, y + 6, (200, 170, 120, 200))
    c.write(path)


def pointer_pictures(path):
    """The pointer: an arrow whose tip is the picture's top left corner, then a hand whose fingertip is the
    point (10, 0) of its 32 x 32 cell."""
    c = Canvas(64, 32)
    outline = [(0, 0), (0, 24), (6, 18), (10, 28), (14, 26), (10, 17), (18, 17)]
    c.polygon(outline, (16, 16, 16))
    inner = [(1.6, 3.6), (1.6, 20.4), (6.4, 15.6), (10.6, 25.6), (12.4, 24.8), (8.0, 15.4), (14.4, 15.4)]
    c.polygon(inner, (255, 255, 255))
    # The hand: the index finger up, the other fingers curled into the palm.
    h = 32

    def hand(colour, grow):
        c.rect(h + 7 - grow, 0.5 - grow, h + 13 + grow, 18, colour)
        c.ellipse(h + 10, 3, 3 + grow, 3 + grow, colour)
        for fx, top in ((14, 11), (19, 12), (24, 14)):
            c.rect(h + fx - 1 - grow, top - grow, h + fx + 4 + grow, 20, colour)
            c.ellipse(h + fx + 1.5, top + 2, 2.5 + grow, 2.5 + grow, colour)
        c.polygon([(h + 2 - grow, 16), (h + 7, 13 - grow), (h + 9, 22)], colour)
        c.rect(h + 7 - grow, 17, h + 28 + grow, 27 + grow, colour)
        c.ellipse(h + 17, 26, 11 + grow, 5 + grow, colour)
    hand((16, 16, 16), 1.6)
    hand((255, 236, 200), 0.0)
    for fx in (14, 19, 24):
        c.line(h + fx - 1, 16, h + fx - 1, 19, 0.7, (150, 110, 80))
    c.write(path)


# The duel's tiles, each a 64 x 64 cell of the row: a rounded tile of its colour with its sign.
TILES = (("sword", (208, 64, 64)), ("arrow", (64, 192, 64)), ("drop", (64, 96, 208)), ("hourglass", (48, 44, 52)))


def tile_pictures(path):
    c = Canvas(64 * len(TILES), 64)
    for i, (name, colour) in enumerate(TILES):
        x0 = i * 64
        c.shape(lambda x, y, x0=x0: rounded(x - x0, y, 4, 4, 60, 60, 10), (x0, 0, x0 + 64, 64), shade(colour, -0.35))
        c.shape(lambda x, y, x0=x0: rounded(x - x0, y, 6, 6, 58, 58, 8), (x0, 0, x0 + 64, 64),
                lambda x, y, colour=colour: mix(shade(colour, 0.25), colour, y / 64.0))
        ink, dark = (250, 250, 240), shade(colour, -0.55)
        cx = x0 + 32
        if name == "sword":
            c.polygon([(cx - 4, 40), (cx - 4, 16), (cx, 10), (cx + 4, 16), (cx + 4, 40)], ink)
            c.rect(cx - 12, 40, cx + 12, 45, dark)
            c.rect(cx - 3, 45, cx + 3, 54, dark)
        elif name == "arrow":
            c.line(x0 + 16, 48, x0 + 44, 20, 3.5, ink)
            c.polygon([(x0 + 50, 14), (x0 + 36, 18), (x0 + 46, 28)], ink)
            c.line(x0 + 14, 44, x0 + 20, 50, 3, dark)
            c.line(x0 + 18, 40, x0 + 24, 46, 3, dark)
        elif name == "drop":
            c.shape(lambda x, y, cx=cx: (x - cx) ** 2 + (y - 38) ** 2 <= 11 ** 2 or
                    (y < 38 and abs(x - cx) <= (y - 12) * 0.42), (cx - 12, 10, cx + 12, 50), ink)
        else:
            c.rect(cx - 13, 12, cx + 13, 16, (200, 170, 110))
            c.rect(cx - 13, 48, cx + 13, 52, (200, 170, 110))
            c.polygon([(cx - 10, 16), (cx + 10, 16), (cx + 2, 32), (cx + 10, 48), (cx - 10, 48), (cx - 2, 32)],
                      (220, 220, 230))
            c.polygon([(cx - 6, 42), (cx + 6, 42), (cx + 9, 48), (cx - 9, 48)], (230, 190, 90))
            c.polygon([(cx - 7, 20), (cx + 7, 20), (cx, 30)], (230, 190, 90))
    c.write(path)


def rounded(x, y, left, top, right, bottom, r):
    cx = min(max(x, left + r), right - r)
    cy = min(max(y, top + r), bottom - r)
    return left <= x <= right and top <= y <= bottom and (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def selection_frame(path):
    """The mark around the duel's selected tile: a bright frame with a dark edge."""
    c = Canvas(64, 64)
    c.shape(lambda x, y: rounded(x, y, 0, 0, 64, 64, 12) and not rounded(x, y, 6, 6, 58, 58, 8), (0, 0, 64, 64),
            (40, 30, 10))
    c.shape(lambda x, y: rounded(x, y, 1.5, 1.5, 62.5, 62.5, 11) and not rounded(x, y, 4.5, 4.5, 59.5, 59.5, 9),
            (0, 0, 64, 64), (255, 230, 80))
    c.write(path)


# The promotion screens' games: each its title, colours and a small scene.
PROMOTION_GAMES = {
    "demo_game": ("Vumo Demo", (40, 80, 200), (250, 220, 80)),
    "forest_tale": ("Forest Tale", (40, 130, 60), (240, 250, 220)),
    "river_quest": ("River Quest", (30, 120, 190), (255, 240, 200)),
}


def draw_inn(c):
    """The duel at the inn: a board of the duel's tiles on the inn's dark boards, at the background's size."""
    c.rect(0, 0, BG_W, BG_H, (48, 32, 24))
    for k in range(0, BG_H, 18):
        c.rect(0, k + 17, BG_W, k + 18, (36, 24, 18))
    colours = [colour for _, colour in TILES]
    for col in range(8):
        for row in range(7):
            colour = colours[((col * 8 + row) * 2654435761 >> 9) % len(colours)]
            left, top = 112 + col * 32, 20 + row * 32
            c.shape(lambda x, y, left=left, top=top: rounded(x - left, y - top, 2, 2, 30, 30, 5),
                    (left, top, left + 32, top + 32), colour)


# The chapters the store offers, as its slides draw them.
STORE_CHAPTERS = [("The meadow", draw_hills), ("The lake", draw_shore), ("The inn's duel", draw_inn)]


def promotion_scene(c, game, w, h, colour):
    c.rect(0, 0, w, h, lambda x, y: mix(shade(colour, 0.35), shade(colour, -0.35), y / h))
    if game == "forest_tale":
        for i in range(9):
            tx = 20 + i * (w - 40) / 8.0
            th = h * (0.35 + 0.15 * ((i * 7) % 3))
            c.rect(tx - 3, h - 26, tx + 3, h, (80, 50, 30))
            c.polygon([(tx - 22, h - 22), (tx, h - 22 - th), (tx + 22, h - 22)], (24, 90, 40))
    elif game == "river_quest":
        for k in range(4):
            c.shape(lambda x, y, k=k: abs(y - wavy(x, h * 0.62 + k * 14, 4, 60, k)) < 2.5, (0, 0, w, h),
                    (200, 230, 250))
        c.polygon([(w * 0.6, h * 0.55), (w * 0.8, h * 0.55), (w * 0.76, h * 0.63), (w * 0.64, h * 0.63)],
                  (120, 72, 40))
        c.polygon([(w * 0.7, h * 0.2), (w * 0.7, h * 0.53), (w * 0.8, h * 0.53)], (250, 250, 240))
    else:
        c.shape(lambda x, y: y > wavy(x, h * 0.7, h * 0.06, w * 0.4), (0, 0, w, h), (60, 130, 60))
        c.ellipse(w * 0.8, h * 0.3, h * 0.1, h * 0.1, (255, 226, 150))


def promotion_images(root):
    for game, (title, colour, ink) in PROMOTION_GAMES.items():
        folder = os.path.join(root, "games", "demo", "games", game)
        thumb = Canvas(400, 180, 2)
        promotion_scene(thumb, game, 400, 180, colour)
        thumb.rect(0, 112, 400, 168, (0, 0, 0, 120))
        thumb.text(title, 200, 122, 36, ink, centre=True)
        thumb.shape(lambda x, y: x < 4 or y < 4 or x > 396 or y > 176, (0, 0, 400, 180), (255, 255, 255))
        thumb.write(os.path.join(folder, "thumbnail.png"))
        logo = Canvas(320, 160, 2)
        promotion_scene(logo, game, 320, 160, colour)
        logo.rect(0, 40, 320, 110, (0, 0, 0, 110))
        # The title keeps 32 pixels clear of the frame on either side.
        size = min(42.0, 42.0 * 256 / text_width(title, 42))
        logo.text(title, 160, 75 - size / 2, size, ink, centre=True, bold=0.08)
        logo.shape(lambda x, y: x < 6 or y < 6 or x > 314 or y > 154, (0, 0, 320, 160), (250, 220, 80))
        logo.write(os.path.join(folder, "logo.png"))
    system = os.path.join(root, "system")
    background = Canvas(16, 16, 1)
    background.rect(0, 0, 16, 16, (30, 30, 50))
    background.write(os.path.join(system, "more-games", "background.png"))
    play = Canvas(240, 80, 2)
    play.rect(0, 0, 240, 80, (30, 110, 50))
    play.rect(4, 4, 236, 76, lambda x, y: mix((80, 190, 90), (40, 140, 60), y / 80))
    play.write(os.path.join(system, "more-games", "play.png"))
    splash = Canvas(320, 120, 2)
    promotion_scene(splash, "demo_game", 320, 120, (40, 80, 200))
    splash.text("Play the demo", 160, 46, 28, (255, 255, 255), centre=True, bold=0.08)
    splash.write(os.path.join(system, "more-games", "splash.png"))
    # The store's slides: the chapters on offer, each its scene at half the slide's fineness and its name,
    # in a light frame, so that read-backs can find their edges.
    for i, (title, draw) in enumerate(STORE_CHAPTERS):
        scene = Canvas(BG_W, BG_H, 1)
        draw(scene)
        slide = Canvas(240, 135, 2)
        slide.px = scene.px
        slide.rect(4, 100, 236, 131, (0, 0, 0, 150))
        slide.text(title, 120, 106, 18, (255, 236, 170), centre=True, bold=0.06)
        slide.shape(lambda x, y: x < 4 or y < 4 or x > 236 or y > 131, (0, 0, 240, 135), (255, 255, 255))
        slide.write(os.path.join(system, "upsell", "slide_%d.png" % i))
    for name, colour in (("dot_on", (255, 255, 255)), ("dot_off", (90, 90, 90))):
        dot = Canvas(16, 16)
        dot.ellipse(8, 8, 7.5, 7.5, colour)
        dot.write(os.path.join(system, "upsell", name + ".png"))
    button = Canvas(240, 60, 2)
    button.rect(0, 0, 240, 60, (30, 80, 140))
    button.rect(3, 3, 237, 57, lambda x, y: mix((80, 150, 220), (50, 110, 190), y / 60))
    button.write(os.path.join(system, "upsell", "button.png"))
    upsell_background = Canvas(16, 16, 1)
    upsell_background.rect(0, 0, 16, 16, (20, 25, 35))
    upsell_background.write(os.path.join(system, "upsell", "background.png"))
    # The panel the store's captions turn in, which cuts them at its sides.
    caption_panel = Canvas(16, 16, 1)
    caption_panel.rect(0, 0, 16, 16, (12, 18, 32))
    caption_panel.write(os.path.join(system, "upsell", "caption_panel.png"))


if __name__ == "__main__":
    data = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "demo", "data")
    gfx = os.path.join(data, "gfx")
    hills_picture(os.path.join(gfx, "hills.png"))
    sign_picture(os.path.join(gfx, "sign.png"))
    shore_picture(os.path.join(gfx, "shore.png"))
    shore_picture(os.path.join(gfx, "shore_calm.png"), calm=True)
    for name, draw in (("stranger", stranger), ("plank", plank_lying), ("crate", crate), ("oar", oar),
                       ("key", key), ("logs", logs), ("moon", moon), ("raft", raft_afloat),
                       ("password", password)):
        draw(os.path.join(gfx, name + ".png"))
    tile_pictures(os.path.join(gfx, "tiles.png"))
    selection_frame(os.path.join(gfx, "selected.png"))
    for pointing in ("right", "left"):
        arrow(os.path.join(gfx, "arrow_%s.png" % pointing), pointing)
    item_pictures(os.path.join(data, "ui", "items.png"))
    pointer_pictures(os.path.join(data, "ui", "pointer.png"))
    pack_picture(os.path.join(data, "ui", "pack.png"))
    promotion_images(os.path.join(data, "orvalo"))
    # The maps span the window at a sixteenth (60 x 34 cells of 16 pixels), each cell taken by its middle.
    cell = 16
    maps = os.path.join(data, "chapters", "meadow", "action_maps")
    os.makedirs(maps, exist_ok=True)
    write_amp(os.path.join(maps, "sign.amp"), 60, 34,
              [(DOOR_COLOUR, (30, 22), lambda x, y: sign_door(x * cell + 8, y * cell + 8))])
    shore = os.path.join(data, "chapters", "lake", "action_maps")
    os.makedirs(shore, exist_ok=True)
    write_amp(os.path.join(shore, "shore.amp"), 60, 34,
              [(WATER_COLOUR, (45, 26), lambda x, y: shore_water(x * cell + 8, y * cell + 8))])
