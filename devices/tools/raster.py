"""Small raster drawing helpers for the device packages' pictures.

Only the standard library is used. A Canvas holds 24-bit RGB pixels; it can
draw filled and outlined rectangles, thick lines, polylines, ellipses, arrows
and text in a built-in 5x7 font, and write itself as an uncompressed Windows
bitmap (4, 8 or 24 bits per pixel, whichever holds its colours). write_ico()
packs square canvases into a Windows icon file (32-bit images with an AND
mask), as the frame shows it for the DTM.
"""

import struct

# 5x7 glyphs, one string per row, '#' marks a set pixel.
FONT = {
    'A': [" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    'B': ["#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "],
    'C': [" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "],
    'D': ["#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "],
    'E': ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"],
    'F': ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "],
    'G': [" ### ", "#   #", "#    ", "# ###", "#   #", "#   #", " ####"],
    'H': ["#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    'I': [" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    'J': ["  ###", "   # ", "   # ", "   # ", "   # ", "#  # ", " ##  "],
    'K': ["#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"],
    'L': ["#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"],
    'M': ["#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"],
    'N': ["#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"],
    'O': [" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    'P': ["#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "],
    'Q': [" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #"],
    'R': ["#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"],
    'S': [" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "],
    'T': ["#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "],
    'U': ["#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    'V': ["#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "],
    'W': ["#   #", "#   #", "#   #", "# # #", "# # #", "# # #", " # # "],
    'X': ["#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #"],
    'Y': ["#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "],
    'Z': ["#####", "    #", "   # ", "  #  ", " #   ", "#    ", "#####"],
    '0': [" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "],
    '1': ["  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    '2': [" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"],
    '3': ["#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "],
    '4': ["   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "],
    '5': ["#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "],
    '6': ["  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "],
    '7': ["#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "],
    '8': [" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "],
    '9': [" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "],
    '%': ["##   ", "##  #", "   # ", "  #  ", " #   ", "#  ##", "   ##"],
    '-': ["     ", "     ", "     ", "#####", "     ", "     ", "     "],
    '+': ["     ", "  #  ", "  #  ", "#####", "  #  ", "  #  ", "     "],
    '/': ["     ", "    #", "   # ", "  #  ", " #   ", "#    ", "     "],
    '.': ["     ", "     ", "     ", "     ", "     ", " ##  ", " ##  "],
    ':': ["     ", " ##  ", " ##  ", "     ", " ##  ", " ##  ", "     "],
    '(': ["   # ", "  #  ", " #   ", " #   ", " #   ", "  #  ", "   # "],
    ')': [" #   ", "  #  ", "   # ", "   # ", "   # ", "  #  ", " #   "],
    '=': ["     ", "     ", "#####", "     ", "#####", "     ", "     "],
    ' ': ["     "] * 7,
}

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)


class Canvas:
    """A width x height picture of RGB triples, origin at the top left."""

    def __init__(self, width, height, background=WHITE):
        if width <= 0 or height <= 0:
            raise ValueError("a canvas needs a positive size")
        self.width = width
        self.height = height
        self.pixels = [[background] * width for _ in range(height)]

    def set(self, x, y, color):
        """Sets one pixel; points outside the canvas are ignored."""
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = color

    def fill_rect(self, x0, y0, x1, y1, color):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), both included."""
        for y in range(max(0, min(y0, y1)), min(self.height, max(y0, y1) + 1)):
            row = self.pixels[y]
            for x in range(max(0, min(x0, x1)), min(self.width, max(x0, x1) + 1)):
                row[x] = color

    def rect(self, x0, y0, x1, y1, color, thickness=1):
        """Draws the outline of a rectangle, `thickness` pixels inwards."""
        for t in range(thickness):
            self.fill_rect(x0 + t, y0 + t, x1 - t, y0 + t, color)
            self.fill_rect(x0 + t, y1 - t, x1 - t, y1 - t, color)
            self.fill_rect(x0 + t, y0 + t, x0 + t, y1 - t, color)
            self.fill_rect(x1 - t, y0 + t, x1 - t, y1 - t, color)

    def line(self, x0, y0, x1, y1, color, thickness=1):
        """Draws a straight line (Bresenham), widened to a square pen."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        half = thickness // 2
        while True:
            self.fill_rect(x0 - half, y0 - half, x0 - half + thickness - 1,
                           y0 - half + thickness - 1, color)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def polyline(self, points, color, thickness=1):
        """Joins the points in order with lines."""
        for (xa, ya), (xb, yb) in zip(points, points[1:]):
            self.line(round(xa), round(ya), round(xb), round(yb), color, thickness)

    def fill_polygon(self, points, color):
        """Fills a simple polygon (even-odd rule, pixel centres)."""
        ys = [pt[1] for pt in points]
        for y in range(max(0, int(min(ys))), min(self.height, int(max(ys)) + 1)):
            yc = y + 0.5
            xs = []
            for (xa, ya), (xb, yb) in zip(points, points[1:] + points[:1]):
                if (ya <= yc < yb) or (yb <= yc < ya):
                    xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for xl, xr in zip(xs[0::2], xs[1::2]):
                self.fill_rect(int(round(xl)), y, int(round(xr)) - 1, y, color)

    def ellipse(self, cx, cy, rx, ry, color, fill=None):
        """Draws an ellipse around (cx, cy); `fill` also paints its inside."""
        for y in range(cy - ry, cy + ry + 1):
            for x in range(cx - rx, cx + rx + 1):
                d = ((x - cx) / max(rx, 1)) ** 2 + ((y - cy) / max(ry, 1)) ** 2
                if fill is not None and d <= 1.0:
                    self.set(x, y, fill)
        steps = max(8, 4 * (rx + ry))
        import math
        pts = [(cx + rx * math.cos(2 * math.pi * i / steps),
                cy + ry * math.sin(2 * math.pi * i / steps)) for i in range(steps + 1)]
        self.polyline(pts, color)

    def arrow(self, x0, y0, x1, y1, color, thickness=1, head=6):
        """Draws a line from (x0, y0) with an arrow head at (x1, y1)."""
        import math
        self.line(x0, y0, x1, y1, color, thickness)
        angle = math.atan2(y1 - y0, x1 - x0)
        for side in (-0.45, 0.45):
            hx = x1 - head * math.cos(angle + side)
            hy = y1 - head * math.sin(angle + side)
            self.line(x1, y1, round(hx), round(hy), color, thickness)

    def text(self, x, y, text, color, scale=1):
        """Writes text in the 5x7 font (upper case), each pixel scale x scale."""
        cursor = x
        for ch in text.upper():
            glyph = FONT.get(ch)
            if glyph is None:
                raise ValueError("no glyph for %r" % ch)
            for gy, row in enumerate(glyph):
                for gx, cell in enumerate(row):
                    if cell == '#':
                        self.fill_rect(cursor + gx * scale, y + gy * scale,
                                       cursor + gx * scale + scale - 1,
                                       y + gy * scale + scale - 1, color)
            cursor += 6 * scale

    @staticmethod
    def text_width(text, scale=1):
        return max(0, len(text) * 6 * scale - scale)

    def centered_text(self, cx, y, text, color, scale=1):
        self.text(cx - self.text_width(text, scale) // 2, y, text, color, scale)

    def bmp_bytes(self):
        """The picture as an uncompressed bottom-up BMP file (BITMAPINFOHEADER).

        Pictures of up to 16 colours are stored with 4 bits per pixel, up to 256
        colours with 8 bits and a palette, others with 24 bits.
        """
        colours = sorted({px for row in self.pixels for px in row})
        bpp = 4 if len(colours) <= 16 else 8 if len(colours) <= 256 else 24
        index = {c: i for i, c in enumerate(colours)}
        row_size = ((self.width * bpp + 31) // 32) * 4
        image = bytearray()
        for y in range(self.height - 1, -1, -1):
            row = bytearray()
            if bpp == 24:
                for (r, g, b) in self.pixels[y]:
                    row += bytes((b, g, r))
            elif bpp == 8:
                row += bytes(index[px] for px in self.pixels[y])
            else:
                idx = [index[px] for px in self.pixels[y]] + [0]
                row += bytes((idx[i] << 4) | idx[i + 1] for i in range(0, self.width, 2))
            row += b'\0' * (row_size - len(row))
            image += row
        palette = b''
        if bpp != 24:
            palette = b''.join(bytes((b, g, r, 0)) for (r, g, b) in colours)
            palette += b'\0\0\0\0' * ((1 << bpp) - len(colours))
        header_size = 14 + 40 + len(palette)
        file_header = struct.pack('<2sIHHI', b'BM', header_size + len(image), 0, 0, header_size)
        used = 0 if bpp == 24 else (1 << bpp)
        info_header = struct.pack('<IiiHHIIiiII', 40, self.width, self.height, 1, bpp, 0,
                                  len(image), 2835, 2835, used, 0)
        return file_header + info_header + palette + bytes(image)

    def save_bmp(self, path):
        with open(path, 'wb') as f:
            f.write(self.bmp_bytes())


def write_ico(path, canvases, transparent=None):
    """Writes square canvases (each at most 256 pixels wide) as one icon file.

    Each image is stored as a 32-bit DIB with an AND mask; pixels of the
    colour `transparent` become fully transparent.
    """
    images = []
    for c in canvases:
        if c.width != c.height or c.width > 256:
            raise ValueError("icon images must be square and at most 256 pixels")
        n = c.width
        xor = bytearray()
        mask_row = ((n + 31) // 32) * 4
        mask = bytearray()
        for y in range(n - 1, -1, -1):
            bits = bytearray(mask_row)
            for x, (r, g, b) in enumerate(c.pixels[y]):
                clear = transparent is not None and (r, g, b) == transparent
                xor += bytes((b, g, r, 0 if clear else 255))
                if clear:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0,
                             len(xor) + len(mask), 0, 0, 0, 0)
        images.append((n, header + bytes(xor) + bytes(mask)))
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for n, data in images:
        out += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(bytes(out))
