#!/usr/bin/env python3
"""Draw the Tarvel artwork and write it into res/.

Writes two files:
  res/Tarvel.ico  application icon, 48x48, 32x32 and 16x16 images (32-bit BGRA
                  with AND mask): a rounded dark-blue square with white level bars.
  res/about.bmp   369x304 24-bit bitmap for the About box: the "Brask" logo with a
                  waveform and the line "QUELO AUDIO" on white.  Rows 240..303 are
                  left plain white for the dialog text and the OK button.

Run from the repository root:  python3 res/tools/make_art.py
Only the standard library is used and the output is byte-for-byte deterministic.
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(HERE)

NAVY = (27, 54, 93)
ACCENT = (46, 134, 222)
GREY = (90, 98, 112)
WHITE = (255, 255, 255)


# ---------------------------------------------------------------- rasteriser

class Canvas:
    """Premultiplied RGBA float canvas; shapes are given as signed distance functions."""

    def __init__(self, w, h, bg=(0, 0, 0, 0.0)):
        self.w, self.h = w, h
        r, g, b, a = bg
        self.px = [[r * a, g * a, b * a, a] for _ in range(w * h)]

    def fill(self, sdf, bbox, color, alpha=1.0):
        """Blend colour over every pixel whose centre is inside sdf (antialiased)."""
        x0, y0, x1, y1 = bbox
        x0, y0 = max(0, int(math.floor(x0 - 1))), max(0, int(math.floor(y0 - 1)))
        x1, y1 = min(self.w, int(math.ceil(x1 + 1))), min(self.h, int(math.ceil(y1 + 1)))
        for y in range(y0, y1):
            for x in range(x0, x1):
                cx, cy = x + 0.5, y + 0.5
                cov = min(1.0, max(0.0, 0.5 - sdf(cx, cy))) * alpha
                if cov <= 0.0:
                    continue
                col = color(cx, cy) if callable(color) else color
                p = self.px[y * self.w + x]
                k = 1.0 - cov
                p[0] = col[0] * cov + p[0] * k
                p[1] = col[1] * cov + p[1] * k
                p[2] = col[2] * cov + p[2] * k
                p[3] = cov + p[3] * k

    def rgba(self, x, y):
        r, g, b, a = self.px[y * self.w + x]
        if a <= 0.0:
            return 0, 0, 0, 0
        return tuple(min(255, int(round(c / a))) for c in (r, g, b)) + (int(round(a * 255)),)


def rounded_rect(x0, y0, x1, y1, rad):
    cx, cy, hw, hh = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - rad, (y1 - y0) / 2 - rad

    def sdf(x, y):
        qx, qy = abs(x - cx) - hw, abs(y - cy) - hh
        out = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return out + min(max(qx, qy), 0.0) - rad
    return sdf, (x0, y0, x1, y1)


def strokes(polylines, width):
    """Union of round-capped strokes along polylines (lists of (x, y) points)."""
    segs = [(a, b) for pl in polylines for a, b in zip(pl, pl[1:])]
    xs = [p[0] for pl in polylines for p in pl]
    ys = [p[1] for pl in polylines for p in pl]
    half = width / 2

    def sdf(x, y):
        best = 1e9
        for (ax, ay), (bx, by) in segs:
            dx, dy = bx - ax, by - ay
            ll = dx * dx + dy * dy
            t = 0.0 if ll == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / ll))
            d = math.hypot(x - ax - t * dx, y - ay - t * dy)
            if d < best:
                best = d
        return best - half
    return sdf, (min(xs) - half, min(ys) - half, max(xs) + half, max(ys) + half)


def arc(cx, cy, rx, ry, a0, a1, n=32):
    """Points on an elliptical arc, angles in degrees, counter-clockwise, y up."""
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]


# ---------------------------------------------------------------- lettering
# Glyphs are (advance, [polylines]) with y pointing up from the baseline.

def bold_glyphs():
    """Rounded geometric lowercase for the logo; stroke 14, cap height 76, x-height 56."""
    return {
        'B': (53, [[(7, 7), (7, 69)],
                   [(7, 69), (25, 69)] + arc(25, 55.5, 13.5, 13.5, 90, -90) + [(7, 42)],
                   [(7, 42), (28, 42)] + arc(28, 24.5, 17.5, 17.5, 90, -90) + [(7, 7)]]),
        'r': (40, [[(7, 7), (7, 49)], arc(29, 27, 22, 22, 180, 72)]),
        'a': (54, [arc(27, 28, 20, 21, 0, 360, 48), [(47, 7), (47, 49)]]),
        's': (44, [arc(22, 38.5, 15, 10.5, 35, 270) + arc(22, 17.5, 15, 10.5, 90, -145)]),
        'k': (48, [[(7, 7), (7, 69)], [(39, 49), (8, 20)], [(20, 31), (41, 7)]]),
    }


def caps_glyphs():
    """Thin capitals, cap height 100 units, drawn on the stroke centre line."""
    return {
        'Q': (100, [arc(50, 50, 50, 50, 0, 360, 64), [(62, 24), (98, -6)]]),
        'U': (70, [[(0, 100), (0, 35)] + arc(35, 35, 35, 35, 180, 360) + [(70, 100)]]),
        'E': (60, [[(60, 100), (0, 100), (0, 0), (60, 0)], [(0, 50), (52, 50)]]),
        'L': (55, [[(0, 100), (0, 0), (55, 0)]]),
        'O': (100, [arc(50, 50, 50, 50, 0, 360, 64)]),
        'A': (80, [[(0, 0), (40, 100), (80, 0)], [(15, 36), (65, 36)]]),
        'D': (75, [[(25, 0), (0, 0), (0, 100), (25, 100)] + arc(25, 50, 50, 50, 90, -90)]),
        'I': (0, [[(0, 0), (0, 100)]]),
        ' ': (50, []),
    }


def layout(text, glyphs, scale, gap):
    """Return (total width, [(x offset, polylines)]) in pixels for a line of text."""
    x, out = 0.0, []
    for i, ch in enumerate(text):
        adv, pls = glyphs[ch]
        out.append((x, pls))
        x += adv * scale + (gap if i < len(text) - 1 else 0)
    return x, out


def draw_text(cv, text, glyphs, scale, gap, width, baseline, color):
    total, items = layout(text, glyphs, scale, gap)
    left = (cv.w - total) / 2
    for x, pls in items:
        if pls:
            pts = [[(left + x + px * scale, baseline - py * scale) for px, py in pl] for pl in pls]
            cv.fill(*strokes(pts, width), color)
    return left, total


# ---------------------------------------------------------------- about.bmp

def draw_about():
    cv = Canvas(369, 304, (255, 255, 255, 1.0))
    left, total = draw_text(cv, "Brask", bold_glyphs(), 1.0, 7, 14, 130, NAVY)

    # waveform of rounded bars under the word, symmetric about its centre line
    mid, bar, step = 157.5, 3.0, 5.0
    count = int((total + 2) // step)
    x0 = cv.w / 2 - (count - 1) * step / 2
    for i in range(count):
        t = i / (count - 1)
        env = math.sin(math.pi * t) ** 0.8
        wave = 0.6 + 0.25 * math.sin(2 * math.pi * 2.5 * t) + 0.15 * math.sin(2 * math.pi * 6.5 * t)
        half = max(1.5, 12.5 * env * abs(wave))
        x = x0 + i * step
        cv.fill(*strokes([[(x, mid - half + 1.5), (x, mid + half - 1.5)]], bar), ACCENT)

    draw_text(cv, "QUELO AUDIO", caps_glyphs(), 0.13, 8.5, 2.4, 196, GREY)
    return cv


def write_bmp(path, cv):
    stride = (cv.w * 3 + 3) & ~3
    rows = bytearray()
    for y in range(cv.h - 1, -1, -1):
        row = bytearray()
        for x in range(cv.w):
            r, g, b, _ = cv.rgba(x, y)
            row += bytes((b, g, r))
        rows += row + bytes(stride - len(row))
    info = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(head + info + rows)


# ---------------------------------------------------------------- Tarvel.ico

# per size: square inset, corner radius, bar width, bar step, bar heights (pixels)
ICON_LAYOUT = {
    48: (1, 9, 5, 9, [14, 28, 20, 10]),
    32: (1, 6, 4, 6, [10, 18, 14, 6]),
    16: (0, 3, 2, 4, [6, 10, 4]),
}


def draw_icon(size):
    inset, rad, bw, step, heights = ICON_LAYOUT[size]
    cv = Canvas(size, size)

    def shade(x, y):
        t = y / size
        return tuple(top + (bot - top) * t for top, bot in zip((44, 86, 150), (20, 40, 78)))
    cv.fill(*rounded_rect(inset, inset, size - inset, size - inset, rad), shade)

    n = len(heights)
    x = (size - (n - 1) * step - bw) / 2
    for h in heights:
        y0 = (size - h) / 2
        cv.fill(*rounded_rect(x, y0, x + bw, y0 + h, bw / 2 if size > 16 else 0.5), WHITE)
        x += step
    return cv


def icon_image(cv):
    xor = bytearray()
    mask_stride = ((cv.w + 31) // 32) * 4
    mask = bytearray()
    for y in range(cv.h - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x in range(cv.w):
            r, g, b, a = cv.rgba(x, y)
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_ico(path, sizes):
    images = [icon_image(draw_icon(s)) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    write_ico(os.path.join(RES, 'Tarvel.ico'), [48, 32, 16])
    write_bmp(os.path.join(RES, 'about.bmp'), draw_about())
    print('wrote res/Tarvel.ico and res/about.bmp')
