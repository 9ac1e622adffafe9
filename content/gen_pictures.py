#!/usr/bin/env python3
"""Draws the sample installation's pictures, deterministically, with the standard library
only: an icon for every effect (EFFECTS/<name>.BMP, 24-bit) that shows what the effect
does, the about box's picture (LMX.BMP) and logo (CRVLOGO.BMP), and the 20 preview
pictures at the three preview sizes (PREVS_nn 32, PREVM_nn 64, PREVL_nn 128 pixels), which
the build turns into textures.

usage: gen_pictures.py --effects DIR --install DIR --pictures DIR
"""
import argparse
import colorsys
import json
import math
import os
import struct

ICON_W, ICON_H = 48, 44
NAVY = (20, 24, 48)
WARM = (240, 140, 40)
WARM_LIGHT = (255, 210, 90)
COOL = (40, 110, 220)
COOL_LIGHT = (150, 200, 255)
WHITE = (255, 255, 255)
SHADOW = (8, 10, 20)


class Canvas:
    def __init__(self, w, h, colour=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[colour] * w for _ in range(h)]  # rows top-down

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, math.ceil(y0 - 0.5)), min(self.h, math.ceil(y1 - 0.5))):
            for x in range(max(0, math.ceil(x0 - 0.5)), min(self.w, math.ceil(x1 - 0.5))):
                self.px[y][x] = c

    def poly(self, pts, c):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        for y in range(max(0, int(min(ys))), min(self.h, int(max(ys)) + 1)):
            cy = y + 0.5
            for x in range(max(0, int(min(xs))), min(self.w, int(max(xs)) + 1)):
                if inside(pts, x + 0.5, cy):
                    self.px[y][x] = c

    def circle(self, cx, cy, r, c, inner=0.0):
        for y in range(max(0, int(cy - r)), min(self.h, int(cy + r) + 1)):
            for x in range(max(0, int(cx - r)), min(self.w, int(cx + r) + 1)):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if inner <= d <= r:
                    self.px[y][x] = c

    def line(self, x0, y0, x1, y1, width, c):
        dx, dy = x1 - x0, y1 - y0
        n = math.hypot(dx, dy) or 1.0
        ox, oy = -dy / n * width / 2, dx / n * width / 2
        self.poly([(x0 + ox, y0 + oy), (x1 + ox, y1 + oy), (x1 - ox, y1 - oy), (x0 - ox, y0 - oy)], c)

    def text(self, x, y, scale, s, c):
        for ch in s:
            rows = FONT.get(ch, FONT[" "])
            for ry, row in enumerate(rows):
                for rx, bit in enumerate(row):
                    if bit == "#":
                        self.rect(x + rx * scale, y + ry * scale, x + (rx + 1) * scale, y + (ry + 1) * scale, c)
            x += 6 * scale

    def save(self, path, bits=24):
        bpp = bits // 8
        row = (self.w * bits + 31) // 32 * 4
        data = bytearray()
        for y in range(self.h - 1, -1, -1):  # bottom-up rows
            line = bytearray()
            for r, g, b in self.px[y]:
                line += bytes((b, g, r)) if bpp == 3 else bytes((b, g, r, 255))
            line += b"\0" * (row - len(line))
            data += line
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, bits, 0, len(data), 2835, 2835, 0, 0)
        head = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
        with open(path, "wb") as f:
            f.write(head + info + data)


def inside(pts, x, y):
    result = False
    j = len(pts) - 1
    for i in range(len(pts)):
        xi, yi = pts[i]
        xj, yj = pts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


FONT = {
    " ": ["....."] * 7,
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
}


# ---------------------------------------------------------------- effect icons

def option_default(effect, tag, fallback):
    for o in effect.get("options", []):
        if o.get("tag") == tag:
            return o.get("default", fallback)
    return fallback


def incoming_backdrop(c):
    """The picture that the effect reveals: cool stripes."""
    for y in range(c.h):
        for x in range(c.w):
            c.px[y][x] = COOL_LIGHT if ((x + y) // 6) % 2 else COOL


def piece(c, pts, colour, dx, dy, effect):
    """One object of the outgoing picture, moved by (dx, dy), with its shadow and motion
    streaks when the effect has them."""
    moved = [(x + dx, y + dy) for x, y in pts]
    if effect.get("shadow"):
        c.poly([(x + 2, y + 2) for x, y in moved], SHADOW)
    if effect.get("motion") and (dx or dy):
        cx = sum(p[0] for p in moved) / len(moved)
        cy = sum(p[1] for p in moved) / len(moved)
        n = math.hypot(dx, dy)
        c.line(cx - dx / n * 9, cy - dy / n * 9, cx - dx / n * 3, cy - dy / n * 3, 1.2, WHITE)
    c.poly(moved, colour)


def rect_pts(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def rotate(pts, angle):
    cx = sum(p[0] for p in pts) / len(pts)
    cy = sum(p[1] for p in pts) / len(pts)
    s, k = math.sin(angle), math.cos(angle)
    return [(cx + (x - cx) * k - (y - cy) * s, cy + (x - cx) * s + (y - cy) * k) for x, y in pts]


def warm(i):
    return WARM if i % 2 == 0 else WARM_LIGHT


def icon_plane(c, e):
    spin = option_default(e, "spin", 0) + option_default(e, "twist", 0)
    pts = rotate(rect_pts(8, 10, 34, 32), math.radians(min(spin, 90) / 3))
    piece(c, [(x * 0.8 + 4, y * 0.8) for x, y in pts], WARM, 9, -4, e)
    if len(e["objects"]) >= 2:  # a pair: the incoming picture flies in as well
        piece(c, rect_pts(4, 26, 20, 40), COOL, 0, 0, e)
    if option_default(e, "bounce", 0):
        c.line(6, 40, 14, 34, 1.5, WHITE)
        c.line(14, 34, 22, 40, 1.5, WHITE)


def icon_tiles(c, e):
    n = len(e["objects"])
    rows = int(option_default(e, "rows", 0)) or max(1, int(math.sqrt(n)))
    cols = int(option_default(e, "columns", 0)) or max(1, (n + rows - 1) // rows)
    x0, y0, w, h = 5, 5, 38, 34
    tw, th = w / cols, h / rows
    scatter = option_default(e, "scatter", 30) / 100.0
    order = list(range(rows * cols))
    if option_default(e, "reverse", 0):
        order.reverse()
    for rank, i in enumerate(order):
        r, k = divmod(i, cols)
        gone = max(0.0, 1.0 - rank / max(1, rows * cols - 1) * 1.6)  # the first tiles are furthest away
        dx = (k - (cols - 1) / 2) * 4 * gone * (0.5 + scatter)
        dy = (r - (rows - 1) / 2) * 4 * gone * (0.5 + scatter) - 3 * gone
        pts = rect_pts(x0 + k * tw + 0.7, y0 + r * th + 0.7, x0 + (k + 1) * tw - 0.7, y0 + (r + 1) * th - 0.7)
        if gone > 0.5 and (option_default(e, "spin", 0) or option_default(e, "twist", 0)):
            pts = rotate(pts, 0.5)
        colour = COOL if len(e["objects"]) == 2 and (r + k) % 2 else warm(r + k)
        piece(c, pts, colour, dx, dy, e)


def icon_strips(c, e):
    n = len(e["objects"])
    vertical = option_default(e, "axis", 1) == 1
    curl = option_default(e, "curl", 0) / 100.0
    for i in range(n):
        t = i / max(1, n - 1)
        gone = 1.0 - t
        if vertical:
            a, b = 5 + 38 * i / n, 5 + 38 * (i + 1) / n
            pts = [(a + 0.5, 5), (b - 0.5, 5), (b - 0.5 + curl * 6 * gone, 39 - gone * 12), (a + 0.5, 39 - gone * 12)]
            piece(c, pts, warm(i), 0, -gone * 6, e)
        else:
            a, b = 5 + 34 * i / n, 5 + 34 * (i + 1) / n
            pts = [(5, a + 0.5), (43 - gone * 14, a + 0.5), (43 - gone * 14, b - 0.5 + curl * 4 * gone), (5, b - 0.5)]
            piece(c, pts, warm(i), gone * 6, 0, e)


def icon_doors(c, e):
    horizontal = option_default(e, "axis", 0) == 0
    if horizontal:  # hinges at the left and right edges
        piece(c, [(3, 4), (16, 9), (16, 35), (3, 40)], WARM, 0, 0, e)
        piece(c, [(45, 4), (32, 9), (32, 35), (45, 40)], WARM_LIGHT, 0, 0, e)
    else:  # hinges at the top and bottom edges
        piece(c, [(4, 3), (44, 3), (39, 15), (9, 15)], WARM, 0, 0, e)
        piece(c, [(4, 41), (44, 41), (39, 29), (9, 29)], WARM_LIGHT, 0, 0, e)


def icon_cube(c, e):
    c.rect(0, 0, c.w, c.h, NAVY)
    top = [(24, 4), (42, 12), (24, 20), (6, 12)]
    left = [(6, 12), (24, 20), (24, 40), (6, 32)]
    right = [(24, 20), (42, 12), (42, 32), (24, 40)]
    c.poly(top, (120, 120, 140))
    c.poly(left, WARM)
    c.poly(right, COOL)
    if option_default(e, "axis", 0) == 1:
        c.line(4, 8, 4, 36, 1.5, WHITE)
    else:
        c.line(8, 42, 40, 42, 1.5, WHITE)


def icon_page(c, e):
    curl = 6 + option_default(e, "curl", 50) / 100.0 * 14
    piece(c, [(5, 5), (43, 5), (43, 39 - curl), (43 - curl, 39), (5, 39)], WARM, 0, 0, e)
    c.poly([(43, 39 - curl), (43 - curl, 39), (43 - curl * 1.2, 39 - curl * 1.2)], WARM_LIGHT)
    if len(e["objects"]) >= 2:
        c.rect(8, 8, 20, 12, COOL)


def icon_shards(c, e):
    n = len(e["objects"])
    cx, cy = 24, 22
    scatter = option_default(e, "scatter", 40) / 100.0
    down = option_default(e, "axis", -1) == 0
    for i in range(n):
        a0 = 2 * math.pi * i / n
        a1 = 2 * math.pi * (i + 1) / n
        r = 20
        tri = [(cx, cy), (cx + r * math.cos(a0), cy + r * math.sin(a0)), (cx + r * math.cos(a1), cy + r * math.sin(a1))]
        mid = (a0 + a1) / 2
        push = 3 + 6 * scatter * (1 + (i * 7 % 5) / 4)
        dx, dy = (0, push) if down else (math.cos(mid) * push, math.sin(mid) * push)
        piece(c, [(x * 0.75 + cx * 0.25, y * 0.75 + cy * 0.25) for x, y in tri], warm(i), dx, dy, e)


def icon_spiral(c, e):
    n = len(e["objects"])
    for i in range(n):
        t = i / max(1, n - 1)
        a = t * 3.5 * math.pi
        rr = 3 + t * 17
        x, y = 24 + rr * math.cos(a), 22 + rr * math.sin(a)
        s = 2 + (1 - t) * 3
        piece(c, rotate(rect_pts(x - s, y - s, x + s, y + s), a), warm(i), 0, 0, e)


DRAW = {"plane": icon_plane, "default": icon_plane, "tiles": icon_tiles, "strips": icon_strips,
        "doors": icon_doors, "cube": icon_cube, "page": icon_page, "shards": icon_shards, "spiral": icon_spiral}


def draw_icon(effect):
    c = Canvas(ICON_W, ICON_H, NAVY)
    incoming_backdrop(c)
    DRAW.get(effect.get("kind", "plane"), icon_plane)(c, effect)
    if effect.get("type") == 1:  # pairs swap on reverse: a double arrow in the corner
        c.line(36, 40, 46, 40, 1.2, WHITE)
        c.poly([(46, 37.5), (46, 42.5), (47.5, 40)], WHITE)
        c.poly([(36, 37.5), (36, 42.5), (34.5, 40)], WHITE)
    return c


# ---------------------------------------------------------------- preview pictures

def hue(i, s=0.85, v=0.95):
    r, g, b = colorsys.hsv_to_rgb((i * 0.137) % 1.0, s, v)
    return (int(r * 255), int(g * 255), int(b * 255))


def warm_scene(u, v):
    """Clip 1, the outgoing picture: a big sun over a hill in a red-orange sky."""
    if v > 0.72 + 0.08 * math.sin(u * 6.0):
        return (90, 20, 30)
    if math.hypot(u - 0.5, v - 0.42) < 0.28:
        return (255, 230, 60)
    return (255, int(150 - 110 * v), 30)


def cool_scene(u, v):
    """Clip 2, the incoming picture: a blue and cyan checker crossed by a white band."""
    if abs(u - v) < 0.09:
        return (250, 250, 250)
    return (20, 70, 200) if (int(u * 4) + int(v * 4)) % 2 else (30, 200, 220)


def floor(u, v):
    return (150, 150, 150) if (int(u * 8) + int(v * 8)) % 2 else (90, 90, 95)


PATTERNS = [
    lambda u, v: math.hypot(u - 0.5, v - 0.5) * 8 % 2 < 1,       # rings
    lambda u, v: u * 6 % 2 < 1,                                  # vertical bars
    lambda u, v: v * 6 % 2 < 1,                                  # horizontal bars
    lambda u, v: (u + v) * 5 % 2 < 1,                            # diagonal stripes
    lambda u, v: math.hypot(u * 4 % 1 - 0.5, v * 4 % 1 - 0.5) < 0.3,  # dots
    lambda u, v: abs(u - 0.5) + abs(v - 0.5) < 0.35,             # diamond
    lambda u, v: abs(u - 0.5) < 0.12 or abs(v - 0.5) < 0.12,     # cross
    lambda u, v: (u < 0.5) != (v < 0.5),                         # quarters
    lambda u, v: v > 0.15 and abs(u - 0.5) < (v - 0.15) * 0.6,   # triangle
    lambda u, v: (math.atan2(v - 0.5, u - 0.5) / math.pi * 4) % 2 < 1,  # pie wedges
]


def pattern_picture(index):
    fg = hue(index)
    bg = hue(index + 4, 0.6, 0.35)
    test = PATTERNS[index % len(PATTERNS)]
    return lambda u, v: fg if test(u, v) else bg


def preview_picture(number):
    if number == 1:
        return warm_scene
    if number == 2:
        return cool_scene
    if number == 3:
        return floor
    return pattern_picture(number)


def render(fn, size):
    c = Canvas(size, size)
    for y in range(size):
        for x in range(size):
            c.px[y][x] = fn((x + 0.5) / size, (y + 0.5) / size)
    return c


# ---------------------------------------------------------------- about box

def about_picture():
    c = Canvas(216, 192)
    for y in range(192):
        shade = int(60 * (1 - y / 192))
        for x in range(216):
            c.px[y][x] = (10, 12 + shade // 2, 30 + shade)
    c.rect(20, 30, 150, 130, COOL)
    for k in range(0, 130, 16):
        c.rect(20 + k, 30, 28 + k, 130, COOL_LIGHT)
    effect = {"shadow": True, "motion": True}
    for r in range(4):
        for k in range(4):
            gone = max(0, (k + r) - 3) / 3.0
            pts = rect_pts(20 + k * 32 + 1, 30 + r * 25 + 1, 20 + (k + 1) * 32 - 1, 30 + (r + 1) * 25 - 1)
            if gone:
                pts = rotate(pts, gone * 0.6)
            piece(c, pts, warm(r + k), gone * 40, -gone * 18, effect)
    c.text(20, 150, 3, "LUMORA FX", WHITE)
    return c


def logo():
    c = Canvas(90, 64, WHITE)
    c.circle(45, 22, 18, (20, 40, 110), inner=11)
    c.rect(45, 15, 66, 29, WHITE)  # opens the ring into a C
    c.circle(58, 22, 4, WARM)
    c.text(3, 46, 2, "CORVANE", (20, 40, 110))
    return c


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--effects", required=True)
    ap.add_argument("--install", required=True)
    ap.add_argument("--pictures", required=True)
    args = ap.parse_args()
    os.makedirs(os.path.join(args.install, "EFFECTS"), exist_ok=True)
    os.makedirs(args.pictures, exist_ok=True)
    for name in sorted(os.listdir(args.effects)):
        if name.endswith(".json"):
            with open(os.path.join(args.effects, name)) as f:
                effect = json.load(f)
            draw_icon(effect).save(os.path.join(args.install, "EFFECTS", effect["name"] + ".BMP"))
    about_picture().save(os.path.join(args.install, "LMX.BMP"))
    logo().save(os.path.join(args.install, "CRVLOGO.BMP"))
    for prefix, size in (("PREVS_", 32), ("PREVM_", 64), ("PREVL_", 128)):
        for n in range(1, 21):
            render(preview_picture(n), size).save(os.path.join(args.pictures, "%s%02d.bmp" % (prefix, n)), bits=32)


if __name__ == "__main__":
    main()
