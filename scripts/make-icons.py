#!/usr/bin/env python3
"""Draws the program's icons and writes them as 32-bit .ico files.

Run from anywhere: `python3 scripts/make-icons.py` rewrites resources/icons/*.ico.
The pictures are built from a few shapes (discs, rings, strokes, polygons),
rendered with 4x4 supersampling for smooth edges. Images up to 48 pixels are
stored as 32-bit BMP entries, the 256-pixel image as PNG, as Windows expects.
"""
import math
import os
import struct
import zlib

SS = 4  # samples per pixel along each axis


# ---- shapes: each returns True when the point (x, y) in 0..1 units is inside
def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) <= w / 2


def stroke(x0, y0, x1, y1, w):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (w / 2) ** 2
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        n = len(points)
        for i in range(n):
            xi, yi = points[i]
            xj, yj = points[i - 1]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
        return result
    return inside


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return x0 <= x <= x1 and y0 <= y <= y1 and (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def leaf(cx, cy, length, width, angle):
    """A pointed leaf: the intersection of two discs, rotated by angle (radians)."""
    half = length / 2
    # radius of the two arcs meeting at the tips, bulging by width / 2
    r = (half * half + (width / 2) ** 2) / width
    ca, sa = math.cos(angle), math.sin(angle)

    def inside(x, y):
        u = (x - cx) * ca + (y - cy) * sa
        v = -(x - cx) * sa + (y - cy) * ca
        off = r - width / 2
        return (u * u + (v - off) ** 2 <= r * r) and (u * u + (v + off) ** 2 <= r * r)
    return inside


# ---- rendering
def render(size, layers):
    """layers: list of (shape, (r, g, b, a)); later layers are painted over earlier ones."""
    pixels = []
    step = 1.0 / (size * SS)
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied r, g, b, a
            for sy in range(SS):
                y = (py * SS + sy + 0.5) * step
                for sx in range(SS):
                    x = (px * SS + sx + 0.5) * step
                    r = g = b = a = 0.0
                    for shape, (cr, cg, cb, ca) in layers:
                        if shape(x, y):
                            f = ca / 255.0
                            r = cr * f + r * (1 - f)
                            g = cg * f + g * (1 - f)
                            b = cb * f + b * (1 - f)
                            a = f + a * (1 - f)
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            n = SS * SS
            alpha = acc[3] / n
            if alpha <= 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc[0] / n / alpha), round(acc[1] / n / alpha),
                            round(acc[2] / n / alpha), round(alpha * 255)))
        pixels.append(row)
    return pixels


def bmp_entry(size, pixels):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    data = bytearray()
    for row in reversed(pixels):  # bottom-up
        for r, g, b, a in row:
            data += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    data += bytes(mask_row * size)  # AND mask unused: the alpha channel decides
    return header + bytes(data)


def png_entry(size, pixels):
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def write_ico(path, sizes, layers):
    images = []
    for size in sizes:
        pixels = render(size, layers)
        images.append((size, png_entry(size, pixels) if size >= 256 else bmp_entry(size, pixels)))
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


# ---- the pictures
GREEN_DARK = (34, 110, 40, 255)
GREEN = (76, 160, 60, 255)
GREEN_LIGHT = (150, 215, 120, 255)
BROWN = (120, 80, 45, 255)
WHITE = (255, 255, 255, 255)
GREY = (60, 60, 60, 255)
GLASS = (220, 236, 250, 255)


def app_icon():
    """Application: a green tile with a sprout growing out of a soil line."""
    return [
        (rounded_rect(0.03, 0.03, 0.97, 0.97, 0.18), GREEN_DARK),
        (rounded_rect(0.12, 0.70, 0.88, 0.80, 0.05), BROWN),
        (stroke(0.5, 0.72, 0.5, 0.40, 0.08), GREEN_LIGHT),
        (leaf(0.33, 0.38, 0.36, 0.18, math.radians(-35)), GREEN_LIGHT),
        (leaf(0.67, 0.30, 0.40, 0.20, math.radians(35)), GREEN_LIGHT),
    ]


def plant_icon():
    """Plant marker: a white-rimmed green disc holding a leaf, readable on any fill."""
    return [
        (disc(0.5, 0.5, 0.44), WHITE),
        (disc(0.5, 0.5, 0.38), GREEN),
        (leaf(0.5, 0.48, 0.52, 0.28, math.radians(-45)), GREEN_LIGHT),
        (stroke(0.30, 0.70, 0.50, 0.50, 0.06), GREEN_DARK),
    ]


def pan_icon():
    """Pan: a four-way arrow."""
    head = 0.16
    layers = [(stroke(0.14, 0.5, 0.86, 0.5, 0.09), GREY), (stroke(0.5, 0.14, 0.5, 0.86, 0.09), GREY)]
    for tip, a, b in (((0.5, 0.06), (0.5 - head, 0.06 + head), (0.5 + head, 0.06 + head)),
                      ((0.5, 0.94), (0.5 - head, 0.94 - head), (0.5 + head, 0.94 - head)),
                      ((0.06, 0.5), (0.06 + head, 0.5 - head), (0.06 + head, 0.5 + head)),
                      ((0.94, 0.5), (0.94 - head, 0.5 - head), (0.94 - head, 0.5 + head))):
        layers.append((polygon([tip, a, b]), GREY))
    return layers


def magnifier(extra):
    """A magnifying glass with a sign inside its lens."""
    return [
        (disc(0.42, 0.42, 0.30), GLASS),
        (ring(0.42, 0.42, 0.30, 0.09), GREY),
        (stroke(0.64, 0.64, 0.90, 0.90, 0.13), GREY),
    ] + extra


def zoom_in_icon():
    return magnifier([(stroke(0.28, 0.42, 0.56, 0.42, 0.08), GREY), (stroke(0.42, 0.28, 0.42, 0.56, 0.08), GREY)])


def zoom_out_icon():
    return magnifier([(stroke(0.28, 0.42, 0.56, 0.42, 0.08), GREY)])


def zoom_reset_icon():
    """Reset zoom: the magnifier showing "1", for 100%."""
    return magnifier([(stroke(0.45, 0.27, 0.45, 0.58, 0.08), GREY), (stroke(0.45, 0.27, 0.36, 0.34, 0.07), GREY)])


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources', 'icons')
    os.makedirs(out, exist_ok=True)
    write_ico(os.path.join(out, 'tilvo.ico'), [16, 24, 32, 48, 256], app_icon())
    write_ico(os.path.join(out, 'plant.ico'), [48], plant_icon())
    write_ico(os.path.join(out, 'pan.ico'), [28], pan_icon())
    write_ico(os.path.join(out, 'zoom_in.ico'), [28], zoom_in_icon())
    write_ico(os.path.join(out, 'zoom_out.ico'), [28], zoom_out_icon())
    write_ico(os.path.join(out, 'zoom_reset.ico'), [28], zoom_reset_icon())


if __name__ == '__main__':
    main()
