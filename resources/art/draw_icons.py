#!/usr/bin/env python3
"""Draws Vostrelina's icons and the help banner, and writes them next to this script.

Every icon is described once, in a 16 x 16 unit space, and rasterised at each size it needs,
sampling pixel centres. Colour depths follow the resource table: 16-colour icons use the
standard Windows palette, 256-colour icons a palette of the colours they use, and true-colour
icons 24 bits per pixel. Run it again after changing a drawing; the output is committed.
"""
import math
import os
import struct

VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]

BLACK, WHITE = (0, 0, 0), (255, 255, 255)
GREY, SILVER = (128, 128, 128), (192, 192, 192)
NAVY, BLUE = (0, 0, 128), (0, 0, 255)
TEAL, CYAN = (0, 128, 128), (0, 255, 255)
GREEN, LIME = (0, 128, 0), (0, 255, 0)
MAROON, RED = (128, 0, 0), (255, 0, 0)
OLIVE, YELLOW = (128, 128, 0), (255, 255, 0)


class Canvas:
    def __init__(self, size):
        self.size = size
        self.scale = size / 16.0
        self.pixels = [[None] * size for _ in range(size)]

    def fill(self, inside, colour):
        for y in range(self.size):
            for x in range(self.size):
                if inside((x + 0.5) / self.scale, (y + 0.5) / self.scale):
                    self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour)

    def frame(self, x0, y0, x1, y1, colour, fill=None, width=1.0):
        self.rect(x0, y0, x1, y1, colour)
        if fill is not None:
            self.rect(x0 + width, y0 + width, x1 - width, y1 - width, fill)

    def ellipse(self, cx, cy, rx, ry, colour):
        self.fill(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0, colour)

    def polygon(self, points, colour):
        def inside(x, y):
            hit = False
            j = len(points) - 1
            for i, (xi, yi) in enumerate(points):
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    hit = not hit
                j = i
            return hit
        self.fill(inside, colour)

    def line(self, x0, y0, x1, y1, colour, width=1.6):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy)

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (length * length)))
            return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= width / 2
        self.fill(inside, colour)


def person(c, x, y, body, skin=(255, 204, 153)):
    c.ellipse(x + 4.5, y + 8.5, 4.5, 4.0, body)
    c.rect(x, y + 8.5, x + 9, y + 12.5, body)
    c.ellipse(x + 4.5, y + 3.5, 3.0, 3.0, skin)


def draw_program(c):
    c.frame(2, 1, 14, 15, NAVY, BLUE)
    c.rect(2, 1, 4, 15, NAVY)
    c.frame(5, 3, 13, 13, GREY, WHITE)
    c.ellipse(9, 6.5, 2.0, 2.0, YELLOW)
    c.ellipse(9, 11.5, 3.2, 2.3, TEAL)
    c.rect(5.8, 11.5, 12.2, 12.2, TEAL)


def draw_check_box(c):
    c.frame(2, 2, 14, 14, GREY, WHITE)


def draw_check_ticked(c):
    draw_check_box(c)
    c.line(4.5, 8, 7, 10.8, GREEN, 2.0)
    c.line(7, 10.8, 11.5, 5, GREEN, 2.0)


def draw_check_empty(c):
    draw_check_box(c)


def draw_new(c):
    c.polygon([(3, 1), (10, 1), (13, 4), (13, 15), (3, 15)], BLACK)
    c.polygon([(4, 2), (9.5, 2), (12, 4.5), (12, 14), (4, 14)], WHITE)
    c.polygon([(9, 1.5), (9, 5), (12.5, 5)], SILVER)


def draw_open(c):
    c.polygon([(1, 3), (6, 3), (7, 5), (14, 5), (14, 13), (1, 13)], OLIVE)
    c.polygon([(1, 13), (3.5, 7), (16, 7), (13.5, 13)], YELLOW)


def draw_save(c):
    c.frame(1, 1, 15, 15, NAVY, BLUE)
    c.rect(4, 1, 12, 6, WHITE)
    c.rect(4, 9, 12, 15, SILVER)
    c.rect(9, 10, 11, 14, NAVY)


def draw_add(c):
    person(c, 0, 1.5, (40, 100, 200))
    c.rect(11, 8, 13, 16, (0, 160, 0))
    c.rect(8, 11, 16, 13, (0, 160, 0))


def draw_edit(c):
    c.polygon([(2, 14), (3, 10.5), (11.5, 2), (14, 4.5), (5.5, 13)], (230, 150, 20))
    c.polygon([(2, 14), (3, 10.5), (5.5, 13)], (255, 224, 170))
    c.polygon([(10.2, 3.3), (11.5, 2), (14, 4.5), (12.7, 5.8)], (220, 80, 80))


def draw_delete(c):
    c.line(3, 3, 13, 13, (210, 30, 30), 3.0)
    c.line(13, 3, 3, 13, (210, 30, 30), 3.0)


def draw_move_down(c):
    c.rect(6, 1, 10, 9, BLUE)
    c.polygon([(2, 8), (14, 8), (8, 15)], BLUE)


def draw_move_up(c):
    c.rect(6, 7, 10, 15, BLUE)
    c.polygon([(2, 8), (14, 8), (8, 1)], BLUE)


def draw_delete_checked(c):
    c.frame(1, 1, 11, 11, GREY, WHITE)
    c.line(3, 5.5, 5, 8, GREEN, 1.8)
    c.line(5, 8, 9, 3, GREEN, 1.8)
    c.line(8, 8, 15, 15, RED, 2.4)
    c.line(15, 8, 8, 15, RED, 2.4)


def nearest(colour, palette):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))


def row_bytes(bits):
    return bytes(bits) + b"\0" * (-len(bits) % 4)


def pack_bits(values, bits_per_value):
    out, current, filled = [], 0, 0
    for value in values:
        current = (current << bits_per_value) | value
        filled += bits_per_value
        if filled == 8:
            out.append(current)
            current, filled = 0, 0
    if filled:
        out.append(current << (8 - filled))
    return out


def encode_image(canvas, depth):
    size = canvas.size
    rows = list(reversed(canvas.pixels))
    colours = [p for row in rows for p in row if p is not None]
    if depth == 4:
        palette = VGA
    elif depth == 8:
        palette = sorted(set(colours)) or [BLACK]
        palette += [BLACK] * (256 - len(palette))
    else:
        palette = []
    xor = b""
    for row in rows:
        if depth == 24:
            xor += row_bytes([channel for p in row for channel in reversed(p or BLACK)])
        else:
            xor += row_bytes(pack_bits([nearest(p or BLACK, palette) for p in row], depth))
    mask = b"".join(row_bytes(pack_bits([1 if p is None else 0 for p in row], 1)) for row in rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, depth, 0,
                         len(xor) + len(mask), 0, 0, len(palette), 0)
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + quads + xor + mask


def write_icon(path, draw, sizes, depth):
    images = []
    for size in sizes:
        canvas = Canvas(size)
        draw(canvas)
        images.append((size, encode_image(canvas, depth)))
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16 if depth == 4 else 0, 0, 1, depth,
                           len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(data for _, data in images))


ICONS = [
    ("program", draw_program, (32, 16), 4),
    ("check_ticked", draw_check_ticked, (16,), 8),
    ("check_empty", draw_check_empty, (16,), 8),
    ("new", draw_new, (32, 16), 4),
    ("open", draw_open, (32, 16), 4),
    ("save", draw_save, (32, 16), 4),
    ("add", draw_add, (16,), 24),
    ("edit", draw_edit, (16,), 8),
    ("delete", draw_delete, (16,), 24),
    ("move_down", draw_move_down, (32, 16), 4),
    ("move_up", draw_move_up, (32, 16), 4),
    ("delete_checked", draw_delete_checked, (32, 16), 4),
]

def banner_pixel(x, y, width, height):
    """The help banner: a blue gradient with a row of contact cards, no text."""
    t = x / (width - 1)
    sky = (int(30 + 40 * t), int(90 + 60 * t), int(170 + 60 * t))
    for i in range(6):
        left, top = 150 + i * 36, 8 + (i % 2) * 4
        if left <= x < left + 28 and top <= y < top + 22:
            if left + 3 <= x < left + 11 and top + 4 <= y < top + 14:
                return (255, 204, 153) if y < top + 9 else (0, 128, 128)
            if left + 14 <= x < left + 25 and y in (top + 6, top + 10, top + 14):
                return (160, 160, 160)
            return (255, 255, 255)
        if left + 1 <= x < left + 29 and top + 22 <= y < top + 24:
            return tuple(c // 2 for c in sky)
    return sky


def write_banner(path, width=366, height=40):
    """An 8-bit palette bitmap: the picture has fewer than 256 colours, so nothing is lost,
    and it is a third of the size of a 24-bit one."""
    pixels = [[banner_pixel(x, y, width, height) for x in range(width)] for y in range(height)]
    palette = sorted({pixel for row in pixels for pixel in row})
    assert len(palette) <= 256
    index = {colour: i for i, colour in enumerate(palette)}
    stride = (width + 3) & ~3
    rows = b""
    for row in reversed(pixels):
        rows += bytes(index[pixel] for pixel in row) + b"\0" * (stride - width)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 2835, 2835,
                       len(palette), 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<HIHHI", 0x4D42, offset + len(rows), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + colours + rows)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    for name, draw, sizes, depth in ICONS:
        write_icon(os.path.join(here, name + ".ico"), draw, sizes, depth)
    write_banner(os.path.join(here, "banner.bmp"))
