#!/usr/bin/env python3
"""Draws the first-game template's pictures, its two action maps and its looping wind, and writes them into
game/template/data. The files are committed; run it again only to change them:
    python3 game/tools/make_template_assets.py"""
import math
import os
import struct
import sys
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from demo_drawing import write_amp, write_png  # noqa: E402

# Both pictures are 96 x 54 pixels, a tenth of the 960 x 540 window, and each action map has the same size as
# its picture, so that a region's pixels are the picture's pixels it covers.
W, H = 96, 54

# The colours of the regions; each names the Lua table its clicks run (_783C14 and so on).
DOOR = (120, 60, 20)
KEY = (255, 215, 0)
KEEPER = (64, 128, 192)
WAY_OUT = (128, 128, 128)


def box(left, top, right, bottom):
    return lambda x, y: left <= x <= right and top <= y <= bottom


in_door = box(60, 15, 75, 40)
in_key = box(20, 40, 25, 45)
in_keeper = box(40, 10, 55, 40)
in_way_out = box(0, 20, 14, 45)


def yard(x, y):
    if in_door(x, y):
        return DOOR + (255,)
    if y >= 41:
        return (70, 140, 60, 255)  # grass
    if 50 <= x <= 85 and y >= 8:
        return (170, 160, 150, 255)  # the house's wall
    return (120, 170, 230, 255)  # sky


def house(x, y):
    if in_keeper(x, y):
        return KEEPER + (255,)
    if in_way_out(x, y):
        return (235, 225, 190, 255)  # daylight through the open door
    if y >= 46:
        return (110, 80, 50, 255)  # floor boards
    return (200, 180, 150, 255)  # plaster


def key(x, y):
    # A round bow and a shaft with one bit, gold on nothing.
    if (x - 16) ** 2 + (y - 16) ** 2 <= 100 and (x - 16) ** 2 + (y - 16) ** 2 >= 25:
        return KEY + (255,)
    if 14 <= y <= 18 and 24 <= x <= 58 or 18 <= y <= 26 and 50 <= x <= 56:
        return KEY + (255,)
    return (0, 0, 0, 0)


def write_wind(path, seconds=2.0, rate=11025):
    # A soft whistle that rises and falls once; the loop's seam falls where it is silent.
    frames = bytearray()
    count = int(seconds * rate)
    for i in range(count):
        t = i / rate
        envelope = math.sin(math.pi * i / count) ** 2
        value = envelope * 0.3 * math.sin(2 * math.pi * (300 + 60 * math.sin(2 * math.pi * t / seconds)) * t)
        frames += struct.pack("<h", int(value * 32767))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(bytes(frames))


def middle(test):
    # The middle of a rectangular region's first and last pixel.
    xs = [x for x in range(W) for y in range(H) if test(x, y)]
    ys = [y for x in range(W) for y in range(H) if test(x, y)]
    return ((min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2)


def region(colour, test):
    return (colour, middle(test), test)


if __name__ == "__main__":
    data = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "template", "data")
    gfx = os.path.join(data, "gfx")
    maps = os.path.join(data, "chapters", "village", "action_maps")
    music = os.path.join(data, "chapters", "village", "audio", "music")
    for folder in (gfx, maps, music):
        os.makedirs(folder, exist_ok=True)
    write_png(os.path.join(gfx, "yard.png"), W, H, yard)
    write_png(os.path.join(gfx, "house.png"), W, H, house)
    write_png(os.path.join(data, "ui", "items.png"), 64, 32, key)
    write_amp(os.path.join(maps, "yard.amp"), W, H, [region(DOOR, in_door), region(KEY, in_key)])
    write_amp(os.path.join(maps, "house.amp"), W, H, [region(KEEPER, in_keeper), region(WAY_OUT, in_way_out)])
    write_wind(os.path.join(music, "wind.wav"))
