#!/usr/bin/env python3
"""Draws the demo game's pictures and writes them as PNG files into game/demo/data/gfx, the inventory's
items into game/demo/data/ui, the sign's action map, whose one region is the door of the sign picture,
into the meadow chapter, and the shore's, whose one region is the water, into the lake chapter. The maps
are made by the engine's region-map tool (docs/region-maps.md) from painted pictures: build it first, or
name it in VUMO_REGION_MAP."""
import os
import struct
import subprocess
import tempfile
import zlib


def write_png(path, width, height, pixel):
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) +
                chunk(b"IEND", b""))


def mix(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


def landscape(x, y, w=256, h=144):
    # Evening sky over two rows of hills and a lake.
    hill_far = 80 + 10 * ((x * 7 // 16) % 9 - 4) ** 2 // 16
    hill_near = 104 + ((x // 6) % 7 - 3) ** 2 // 2
    if y >= 124:
        return mix((40, 90, 140), (20, 50, 90), (y - 124) / 20) + (255,)
    if y >= hill_near:
        return mix((60, 120, 50), (30, 80, 30), (y - hill_near) / 40) + (255,)
    if y >= hill_far:
        return (90, 110, 120, 255)
    sun = (x - 190) ** 2 + (y - 60) ** 2
    if sun < 144:
        return (255, 230, 150, 255)
    return mix((30, 40, 110), (250, 150, 90), y / hill_far) + (255,)


def door(x, y):
    # The arch of the sign: a round top over a rectangle.
    return (x - 32) ** 2 + (y - 30) ** 2 < 196 or (18 <= x <= 46 and 30 <= y <= 52)


DOOR_COLOUR = (60, 35, 20)


def write_amp(path, width, height, regions):
    """Writes an action map through vumo_region_map: each region is (colour, (centre x, centre y), covers),
    covers(x, y) telling which pixels of the picture belong to it."""
    def painted(x, y):
        for colour, _, covers in regions:
            if covers(x, y):
                return colour + (255,)
        return (0, 0, 0, 0)

    here = os.path.dirname(os.path.abspath(__file__))
    tool = os.environ.get("VUMO_REGION_MAP", os.path.join(here, "..", "..", "build", "game", "vumo_region_map"))
    names = ["_%02X%02X%02X=%d,%d" % (colour + centre) for colour, centre, _ in regions]
    with tempfile.TemporaryDirectory() as folder:
        picture = os.path.join(folder, "regions.png")
        write_png(picture, width, height, painted)
        subprocess.run([tool, picture, path] + names, check=True)


def panel(x, y, size=64):
    # A framed sign with a door-like arch, transparent outside its rounded corners.
    corner = 6
    cx = min(x, size - 1 - x)
    cy = min(y, size - 1 - y)
    if cx < corner and cy < corner and (corner - cx) ** 2 + (corner - cy) ** 2 > corner * corner:
        return (0, 0, 0, 0)
    if cx < 4 or cy < 4:
        return (120, 70, 30, 255)
    if door(x, y):
        return DOOR_COLOUR + (255,)
    return (220, 190, 130, 255)


def framed(colour, w, h, border=6, edge=(255, 255, 255)):
    # A flat card with a light frame, so that read-backs can find its edges.
    def pixel(x, y):
        if x < border or y < border or x >= w - border or y >= h - border:
            return edge + (255,)
        return colour + (255,)
    return pixel


def dot(colour, size=16):
    # A round indicator, transparent around it.
    def pixel(x, y):
        r = size / 2 - 0.5
        if (x - r) ** 2 + (y - r) ** 2 <= r * r:
            return colour + (255,)
        return (0, 0, 0, 0)
    return pixel


def rope(x, y):
    # A coil: three rings of hemp, transparent around and inside them.
    d = ((x - 31.5) ** 2 + (y - 31.5) ** 2) ** 0.5
    if 26 >= d >= 8 and int(d) % 6 < 4:
        return (200, 170, 90, 255)
    return (0, 0, 0, 0)


def raft(x, y):
    # Three planks side by side with the rope tied across them.
    if y < 8 or y > 55:
        return (0, 0, 0, 0)
    if 20 <= y <= 24 or 40 <= y <= 44:
        return (200, 170, 90, 255)
    if x % 21 in (0, 20):
        return (60, 35, 20, 255)
    return (120, 70, 30, 255)


def items(x, y):
    # The inventory's pictures in a row: the plank (the sign's wood), the rope and the raft.
    return (panel, rope, raft)[x // 64](x % 64, y)


def water(x, y):
    # The band right of the inventory pane, under the plank.
    return 47 <= x <= 59 and 24 <= y <= 33


WATER_COLOUR = (30, 90, 160)


# The promotion demo's games, each with its own colour.
PROMOTION_GAMES = {"demo_game": (40, 80, 200), "forest_tale": (40, 160, 60), "river_quest": (230, 130, 30)}


def promotion_images(root):
    for game, colour in PROMOTION_GAMES.items():
        folder = os.path.join(root, "games", "demo", "games", game)
        os.makedirs(folder, exist_ok=True)
        write_png(os.path.join(folder, "thumbnail.png"), 400, 180, framed(colour, 400, 180))
        write_png(os.path.join(folder, "logo.png"), 320, 160, framed(colour, 320, 160, 10, (250, 220, 80)))
    system = os.path.join(root, "system")
    os.makedirs(os.path.join(system, "more-games"), exist_ok=True)
    os.makedirs(os.path.join(system, "upsell"), exist_ok=True)
    write_png(os.path.join(system, "more-games", "background.png"), 16, 16, framed((30, 30, 50), 16, 16, 0))
    write_png(os.path.join(system, "more-games", "play.png"), 240, 80, framed((200, 40, 40), 240, 80, 4))
    write_png(os.path.join(system, "more-games", "splash.png"), 320, 120, framed((120, 40, 160), 320, 120, 4))
    slides = [(200, 60, 60), (60, 200, 60), (60, 60, 200)]
    for i, colour in enumerate(slides):
        write_png(os.path.join(system, "upsell", "slide_%d.png" % i), 240, 135, framed(colour, 240, 135, 4))
    write_png(os.path.join(system, "upsell", "dot_on.png"), 16, 16, dot((255, 255, 255)))
    write_png(os.path.join(system, "upsell", "dot_off.png"), 16, 16, dot((90, 90, 90)))
    write_png(os.path.join(system, "upsell", "button.png"), 200, 60, framed((50, 120, 200), 200, 60, 3))
    write_png(os.path.join(system, "upsell", "background.png"), 16, 16, framed((20, 25, 35), 16, 16, 0))


if __name__ == "__main__":
    data = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "demo", "data")
    folder = os.path.join(data, "gfx")
    os.makedirs(folder, exist_ok=True)
    write_png(os.path.join(folder, "landscape.png"), 256, 144, landscape)
    write_png(os.path.join(folder, "panel.png"), 64, 64, panel)
    promotion_images(os.path.join(data, "orvalo"))
    maps = os.path.join(folder, "..", "chapters", "meadow", "action_maps")
    os.makedirs(maps, exist_ok=True)
    write_amp(os.path.join(maps, "sign.amp"), 64, 64, [(DOOR_COLOUR, (32, 38), door)])
    write_png(os.path.join(data, "ui", "items.png"), 192, 64, items)
    # The shore's map spans the window at a sixteenth: the water is the band right of the inventory pane,
    # under the plank, clear of the middle whose click leads back.
    shore = os.path.join(data, "chapters", "lake", "action_maps")
    os.makedirs(shore, exist_ok=True)
    write_amp(os.path.join(shore, "shore.amp"), 60, 34, [(WATER_COLOUR, (53, 28), water)])
