#!/usr/bin/env python3
"""Draws the pictures of the Lenmor level package with the standard library.

    python3 devices/level/tools/make_pictures.py [--png DIR]

writes, into devices/level/: "Lenmor-header area.bmp" (175 x 140, the panel
header), "Lenmor-Normal Mode.bmp" (214 x 350, the transmitter monitor) as
24-bit BMP files and "Lenmor_PROGRAM_DTM.ico" (16 x 16 and 32 x 32, 32-bit).
With --png DIR it also writes PNG copies for viewing.
"""

import os
import struct
import sys
import zlib

PACKAGE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

WHITE = (255, 255, 255)
PANEL = (236, 236, 236)
OUTLINE = (58, 62, 70)
STEEL = (168, 174, 184)
STEEL_DARK = (120, 126, 138)
LIQUID = (64, 128, 204)
LIQUID_DARK = (40, 96, 170)
HOUSING = (0, 112, 124)
HOUSING_LIGHT = (40, 150, 160)
DISPLAY = (190, 220, 176)
SIGNAL = (214, 120, 20)
VALVE = (190, 46, 46)


class Canvas:
    """RGB raster; (0, 0) is the top-left pixel. Drawing clips at the edges."""

    def __init__(self, width, height, background):
        self.width = width
        self.height = height
        self.pixels = [[background] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, left, top, right, bottom, colour):
        """Fills left <= x < right, top <= y < bottom."""
        for y in range(max(top, 0), min(bottom, self.height)):
            row = self.pixels[y]
            for x in range(max(left, 0), min(right, self.width)):
                row[x] = colour

    def frame(self, left, top, right, bottom, colour, thickness=1):
        self.rect(left, top, right, top + thickness, colour)
        self.rect(left, bottom - thickness, right, bottom, colour)
        self.rect(left, top, left + thickness, bottom, colour)
        self.rect(right - thickness, top, right, bottom, colour)

    def box(self, left, top, right, bottom, fill, outline=OUTLINE, thickness=1):
        self.rect(left, top, right, bottom, fill)
        self.frame(left, top, right, bottom, outline, thickness)

    def disc(self, cx, cy, radius, colour):
        for y in range(cy - radius, cy + radius + 1):
            for x in range(cx - radius, cx + radius + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                    self.put(x, y, colour)

    def line(self, x0, y0, x1, y1, colour, thickness=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        half = thickness // 2
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i // steps
            y = y0 + (y1 - y0) * i // steps
            self.rect(x - half, y - half, x - half + thickness, y - half + thickness, colour)

    def waves(self, left, right, y, colour):
        """A wavy liquid surface from left to right at height y."""
        for x in range(left, right):
            phase = (x - left) % 12
            dy = 0 if phase < 6 else 1
            self.put(x, y + dy, colour)
            self.put(x, y + dy + 1, colour)

    def triangle(self, points, colour):
        (ax, ay), (bx, by), (cx, cy) = points
        for y in range(min(ay, by, cy), max(ay, by, cy) + 1):
            for x in range(min(ax, bx, cx), max(ax, bx, cx) + 1):
                d1 = (x - bx) * (ay - by) - (ax - bx) * (y - by)
                d2 = (x - cx) * (by - cy) - (bx - cx) * (y - cy)
                d3 = (x - ax) * (cy - ay) - (cx - ax) * (y - ay)
                negative = d1 < 0 or d2 < 0 or d3 < 0
                positive = d1 > 0 or d2 > 0 or d3 > 0
                if not (negative and positive):
                    self.put(x, y, colour)


def transmitter(c, left, top, scale):
    """Transmitter head: housing with a display and a cable gland."""
    w, h = 30 * scale, 22 * scale
    c.box(left, top, left + w, top + h, HOUSING, OUTLINE, max(1, scale))
    c.rect(left + 2 * scale, top + 2 * scale, left + w - 2 * scale, top + 4 * scale, HOUSING_LIGHT)
    c.box(left + 5 * scale, top + 6 * scale, left + w - 5 * scale, top + 14 * scale, DISPLAY)
    for i in range(3):
        x = left + (8 + 6 * i) * scale
        c.rect(x, top + 9 * scale, x + 3 * scale, top + 11 * scale, OUTLINE)
    c.box(left + w, top + 8 * scale, left + w + 5 * scale, top + 13 * scale, STEEL_DARK)


def header_picture():
    c = Canvas(175, 140, PANEL)
    # Vessel with liquid and a hanging displacer.
    c.box(14, 14, 74, 96, WHITE, OUTLINE, 2)
    c.rect(16, 52, 72, 94, LIQUID)
    c.waves(16, 72, 50, LIQUID_DARK)
    c.rect(43, 16, 46, 34, STEEL_DARK)
    c.box(37, 34, 52, 86, STEEL, OUTLINE)
    # Torque tube arm and transmitter head beside the vessel.
    c.rect(46, 20, 96, 24, STEEL_DARK)
    transmitter(c, 96, 10, 2)
    # Output signal to the right: 4-20 mA loop.
    c.line(170, 48, 170, 90, SIGNAL, 3)
    c.line(156, 32, 170, 32, SIGNAL, 3)
    c.line(170, 32, 170, 48, SIGNAL, 3)
    c.line(96, 90, 170, 90, SIGNAL, 3)
    c.box(104, 70, 148, 88, WHITE)
    for i in range(5):
        c.rect(108 + 8 * i, 80 - 2 * i, 112 + 8 * i, 86, LIQUID)
    return c


def normal_mode_picture():
    c = Canvas(214, 350, PANEL)
    # Process vessel.
    c.box(8, 20, 96, 300, WHITE, OUTLINE, 2)
    c.rect(10, 150, 94, 298, LIQUID)
    c.waves(10, 94, 148, LIQUID_DARK)
    # External cage connected by two nozzles.
    c.box(96, 70, 140, 78, STEEL)
    c.box(96, 250, 140, 258, STEEL)
    c.box(140, 56, 176, 276, WHITE, OUTLINE, 2)
    c.rect(142, 150, 174, 274, LIQUID)
    c.waves(142, 174, 148, LIQUID_DARK)
    c.rect(157, 58, 160, 96, STEEL_DARK)
    c.box(150, 96, 167, 236, STEEL, OUTLINE)
    # Transmitter head on top of the cage.
    c.rect(156, 40, 161, 56, STEEL_DARK)
    transmitter(c, 130, 6, 2)
    # Outlet line with the control valve driven by the controller output.
    c.box(40, 300, 56, 316, STEEL)
    c.rect(40, 316, 120, 328, STEEL)
    c.frame(40, 316, 120, 328, OUTLINE)
    c.triangle([(84, 312), (84, 332), (98, 322)], VALVE)
    c.triangle([(112, 312), (112, 332), (98, 322)], VALVE)
    c.rect(96, 296, 100, 314, OUTLINE)
    c.box(88, 286, 108, 298, STEEL_DARK)
    c.rect(120, 316, 210, 328, STEEL)
    c.frame(120, 316, 210, 328, OUTLINE)
    # Controller output signal from the transmitter head to the valve.
    c.line(200, 27, 208, 27, SIGNAL, 3)
    c.line(208, 27, 208, 280, SIGNAL, 3)
    c.line(108, 280, 208, 280, SIGNAL, 3)
    c.line(108, 280, 108, 290, SIGNAL, 3)
    return c


def icon_picture(size):
    c = Canvas(size, size, None)
    s = size / 32.0

    def px(v):
        return int(round(v * s))

    c.box(px(3), px(6), px(19), px(29), WHITE, OUTLINE)
    c.rect(px(3) + 1, px(17), px(19) - 1, px(29) - 1, LIQUID)
    c.rect(px(10), px(8), px(12), px(13), STEEL_DARK)
    c.box(px(8), px(13), px(14), px(26), STEEL, OUTLINE)
    c.rect(px(12), px(8), px(21), px(10), STEEL_DARK)
    c.box(px(20), px(3), px(31), px(12), HOUSING, OUTLINE)
    c.rect(px(22), px(5), px(29), px(8), DISPLAY)
    return c


# ---------------------------------------------------------------- file formats
def bmp_bytes(canvas):
    """24-bit bottom-up BMP with BITMAPINFOHEADER; rows padded to 4 bytes."""
    row_size = (canvas.width * 3 + 3) & ~3
    pixel_bytes = bytearray()
    for row in reversed(canvas.pixels):
        line = bytearray()
        for (r, g, b) in row:
            line += bytes((b, g, r))
        line += b"\0" * (row_size - len(line))
        pixel_bytes += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixel_bytes), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0,
                       len(pixel_bytes), 2835, 2835, 0, 0)
    return header + info + bytes(pixel_bytes)


def icon_image_bytes(canvas):
    """One ICO image: BITMAPINFOHEADER (double height), BGRA rows, AND mask."""
    n = canvas.width
    xor = bytearray()
    mask = bytearray()
    mask_row = ((n + 31) // 32) * 4
    for row in reversed(canvas.pixels):
        bits = bytearray(mask_row)
        for x, colour in enumerate(row):
            if colour is None:
                xor += b"\0\0\0\0"
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                r, g, b = colour
                xor += bytes((b, g, r, 255))
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask),
                       0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def ico_bytes(canvases):
    images = [icon_image_bytes(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.width % 256, c.height % 256, 0, 0, 1, 32,
                           len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def png_bytes(canvas):
    raw = bytearray()
    for row in canvas.pixels:
        raw.append(0)
        for colour in row:
            raw += bytes(colour if colour is not None else PANEL)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    ihdr = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(raw))) + chunk(b"IEND", b""))


def main():
    png_dir = None
    if len(sys.argv) == 3 and sys.argv[1] == "--png":
        png_dir = sys.argv[2]
    elif len(sys.argv) != 1:
        sys.exit("usage: make_pictures.py [--png DIR]")
    pictures = {
        "Lenmor-header area": header_picture(),
        "Lenmor-Normal Mode": normal_mode_picture(),
    }
    for name, canvas in pictures.items():
        with open(os.path.join(PACKAGE_DIR, name + ".bmp"), "wb") as f:
            f.write(bmp_bytes(canvas))
        print("wrote", name + ".bmp")
    icons = [icon_picture(16), icon_picture(32)]
    with open(os.path.join(PACKAGE_DIR, "Lenmor_PROGRAM_DTM.ico"), "wb") as f:
        f.write(ico_bytes(icons))
    print("wrote Lenmor_PROGRAM_DTM.ico")
    if png_dir:
        os.makedirs(png_dir, exist_ok=True)
        for name, canvas in list(pictures.items()) + [("icon32", icons[1])]:
            with open(os.path.join(png_dir, name + ".png"), "wb") as f:
                f.write(png_bytes(canvas))


if __name__ == "__main__":
    main()
