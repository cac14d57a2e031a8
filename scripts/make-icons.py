#!/usr/bin/env python3
"""Draws Fretly's icons and toolbar strip as PNG files into resources/images/.

Pure standard library (zlib + struct): run it again after changing a picture.
"""
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "images")

# A small 16-colour palette, like the classic toolbar bitmaps.
BLACK = (0, 0, 0, 255)
DGREY = (96, 96, 96, 255)
GREY = (160, 160, 160, 255)
LGREY = (212, 212, 212, 255)
WHITE = (255, 255, 255, 255)
NAVY = (0, 0, 128, 255)
BLUE = (40, 90, 200, 255)
LBLUE = (120, 170, 240, 255)
RED = (200, 30, 30, 255)
GREEN = (20, 150, 40, 255)
YELLOW = (240, 200, 40, 255)
DYELLOW = (176, 136, 16, 255)
ORANGE = (236, 120, 20, 255)
BROWN = (120, 70, 30, 255)
NONE = (0, 0, 0, 0)


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[NONE] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def hline(self, x0, x1, y, c):
        for x in range(x0, x1 + 1):
            self.set(x, y, c)

    def vline(self, x, y0, y1, c):
        for y in range(y0, y1 + 1):
            self.set(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.set(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def polygon(self, pts, c):
        for y in range(self.h):
            for x in range(self.w):
                px, py = x + 0.5, y + 0.5
                inside = False
                j = len(pts) - 1
                for i in range(len(pts)):
                    xi, yi = pts[i]
                    xj, yj = pts[j]
                    if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                        inside = not inside
                    j = i
                if inside:
                    self.set(x, y, c)

    def glyph(self, x0, y0, rows, colours, scale=1):
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in colours:
                    self.rect(x0 + dx * scale, y0 + dy * scale,
                              x0 + dx * scale + scale - 1, y0 + dy * scale + scale - 1, colours[ch])

    def blit(self, other, x0, y0):
        for y in range(other.h):
            for x in range(other.w):
                if other.px[y][x][3]:
                    self.set(x0 + x, y0 + y, other.px[y][x])


def write_png(path, canvas):
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in canvas.px)

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# ---- toolbar images, 16 by 15 -------------------------------------------------------

def page(c, x0=2, y0=0, x1=12, y1=14):
    """A sheet of paper with a folded corner."""
    c.rect(x0, y0, x1, y1, WHITE)
    c.frame(x0, y0, x1, y1, DGREY)
    for i in range(4):
        c.set(x1 - i, y0, NONE)
        c.vline(x1 - i, y0, y0 + 3 - i, NONE)
    c.line(x1 - 4, y0, x1, y0 + 4, DGREY)
    c.vline(x1 - 4, y0, y0 + 4, DGREY)
    c.hline(x1 - 4, x1, y0 + 4, DGREY)


def staff(c, x0=0, x1=15, y0=2, colour=DGREY):
    """Six string lines, two pixels apart."""
    for i in range(6):
        c.hline(x0, x1, y0 + 2 * i, colour)


def img_new():
    c = Canvas(16, 15)
    page(c)
    return c


def img_open():
    c = Canvas(16, 15)
    c.rect(0, 3, 6, 4, DYELLOW)
    c.rect(0, 4, 12, 13, DYELLOW)
    c.rect(1, 5, 11, 12, YELLOW)
    c.polygon([(3, 8), (16, 8), (13, 14), (0, 14)], DYELLOW)
    c.polygon([(4, 9), (15, 9), (12.5, 13.5), (1, 13.5)], YELLOW)
    c.line(9, 1, 12, 0, NAVY)
    c.line(12, 0, 14, 3, NAVY)
    c.set(13, 3, NAVY)
    c.set(15, 3, NAVY)
    return c


def img_save():
    c = Canvas(16, 15)
    c.rect(1, 0, 14, 14, NAVY)
    c.rect(3, 1, 12, 6, WHITE)
    c.hline(4, 11, 3, LGREY)
    c.hline(4, 11, 5, LGREY)
    c.rect(4, 9, 11, 14, GREY)
    c.rect(5, 10, 6, 13, NAVY)
    return c


def img_info():
    c = Canvas(16, 15)
    page(c, 0, 0, 10, 14)
    for y in (6, 8, 10):
        c.hline(2, 8, y, GREY)
    c.disc(11.5, 9.5, 4.6, BLUE)
    c.rect(11, 6, 11, 6, WHITE)
    c.rect(11, 8, 11, 12, WHITE)
    c.set(10, 8, WHITE)
    c.hline(10, 12, 12, WHITE)
    return c


def img_newstaff():
    c = Canvas(16, 15)
    staff(c, 0, 15, 0)
    c.rect(9, 7, 15, 13, WHITE)
    c.rect(10, 9, 14, 11, GREEN)
    c.rect(11, 8, 13, 12, GREEN)
    c.rect(11, 10, 13, 10, GREEN)
    c.hline(10, 14, 10, GREEN)
    c.vline(12, 8, 12, GREEN)
    c.rect(9, 7, 15, 13, NONE)
    c.rect(11, 7, 13, 13, GREEN)
    c.rect(9, 9, 15, 11, GREEN)
    return c


def img_vbar():
    c = Canvas(16, 15)
    staff(c, 0, 15, 2)
    c.rect(7, 1, 8, 13, BLACK)
    return c


def img_delstaff():
    c = Canvas(16, 15)
    staff(c, 0, 15, 0)
    for d in range(-1, 1):
        c.line(9 + d, 7, 15 + d, 13, RED)
        c.line(15 + d, 7, 9 + d, 13, RED)
    return c


def column_icon(colour, sign):
    c = Canvas(16, 15)
    staff(c, 0, 15, 2)
    c.rect(6, 1, 9, 13, colour)
    for i in range(6):
        c.hline(6, 9, 2 + 2 * i, WHITE if sign else LGREY)
    return c


def img_inscol():
    c = column_icon(LBLUE, True)
    c.polygon([(5, 4), (2, 7.5), (5, 11)], GREEN)
    c.polygon([(11, 4), (14, 7.5), (11, 11)], GREEN)
    return c


def img_delcol():
    c = column_icon((240, 150, 150, 255), False)
    for d in range(2):
        c.line(5 + d, 3, 10 + d, 12, RED)
        c.line(10 + d, 3, 5 + d, 12, RED)
    return c


def img_movedown():
    c = Canvas(16, 15)
    staff(c, 0, 6, 0)
    staff(c, 0, 15, 4, GREY)
    for i in range(3):
        c.hline(8, 15, 2 * i, BLUE)
    c.rect(10, 5, 13, 9, BLUE)
    c.polygon([(8, 9), (16, 9), (12, 14)], BLUE)
    return c


def img_mergeup():
    c = Canvas(16, 15)
    staff(c, 0, 15, 4, GREY)
    staff(c, 0, 6, 0)
    c.rect(10, 5, 13, 10, BLUE)
    c.polygon([(8, 6), (16, 6), (12, 0)], BLUE)
    return c


def img_print():
    c = Canvas(16, 15)
    c.rect(4, 0, 11, 5, WHITE)
    c.frame(4, 0, 11, 5, DGREY)
    c.rect(0, 5, 15, 11, LGREY)
    c.frame(0, 5, 15, 11, BLACK)
    c.hline(1, 14, 6, WHITE)
    c.set(13, 8, GREEN)
    c.rect(3, 10, 12, 14, WHITE)
    c.frame(3, 10, 12, 14, DGREY)
    c.hline(5, 10, 12, GREY)
    return c


def img_about():
    c = Canvas(16, 15)
    c.disc(8, 7.5, 7.2, BLUE)
    c.glyph(5, 2, [
        ".####.",
        "##..##",
        "....##",
        "...##.",
        "..##..",
        "..##..",
        "......",
        "..##..",
        "..##..",
    ], {"#": WHITE})
    return c


TOOLBAR = [img_new, img_open, img_save, img_info, img_newstaff, img_vbar, img_delstaff,
           img_inscol, img_delcol, img_movedown, img_mergeup, img_print, img_about]


# ---- icons ----------------------------------------------------------------------------

# Fret numbers drawn on the icons, one pixel per mark at 32 by 32.
ONE = ["##.", ".#.", ".#.", ".#.", ".#."]
SEVEN = ["###", "..#", ".#.", ".#.", ".#."]
DOC_SEVEN = ["###", "..#", ".#.", ".#."]
DOC_FOUR = ["#.#", "#.#", "###", "..#"]

# Every size a desktop asks the hicolor theme for; 16 and 32 are also compiled in.
ICON_SIZES = (16, 32, 48, 64, 128)


def pick_points(cx, cy, s):
    pts = []
    for i in range(60):
        t = 2 * math.pi * i / 60
        r = 1.0 + 0.2 * math.cos(3 * t - math.pi / 2)
        pts.append((cx + s * r * math.cos(t) * 0.9, cy - s * r * math.sin(t)))
    return pts


def pick(c, cx, cy, s, colour, edge):
    """A guitar pick: a rounded triangle pointing down."""
    pts = pick_points(cx, cy, s)
    c.polygon(pts, edge)
    inner = [(cx + (x - cx) * 0.86, cy + (y - cy) * 0.86) for x, y in pts]
    c.polygon(inner, colour)


def main_icon(size):
    c = Canvas(size, size)
    k = size / 32
    # Rounded blue tile
    for y in range(size):
        for x in range(size):
            dx = max(0, abs(x + 0.5 - size / 2) - (size / 2 - 5 * k))
            dy = max(0, abs(y + 0.5 - size / 2) - (size / 2 - 5 * k))
            if dx * dx + dy * dy <= (5 * k) ** 2:
                c.set(x, y, NAVY if dx * dx + dy * dy > (4 * k) ** 2 else BLUE)
    # Six strings
    for i in range(6):
        y = round((7 + 3.6 * i) * k)
        c.hline(round(2 * k), size - 1 - round(2 * k), y, LGREY)
    # Fret numbers as small blocks on the strings
    if size >= 32:
        g = max(1, round(k))
        c.glyph(round(6 * k), round(9 * k), ONE, {"#": WHITE}, g)
        c.glyph(round(6 * k), round(16 * k), SEVEN, {"#": WHITE}, g)
    pick(c, size * 0.64, size * 0.55, 9.5 * k, ORANGE, BROWN)
    return c


def doc_icon(size):
    c = Canvas(size, size)
    k = size / 32
    x0, x1 = round(4 * k), size - 1 - round(4 * k)
    y0, y1 = 0, size - 1
    fold = round(8 * k)
    c.rect(x0, y0, x1, y1, WHITE)
    c.frame(x0, y0, x1, y1, DGREY)
    c.polygon([(x1 - fold + 0.5, y0), (x1 + 1, y0), (x1 + 1, y0 + fold + 0.5)], NONE)
    c.line(x1 - fold, y0, x1, y0 + fold, DGREY)
    c.vline(x1 - fold, y0, y0 + fold, DGREY)
    c.hline(x1 - fold, x1, y0 + fold, DGREY)
    for i in range(6):
        c.hline(x0 + round(2 * k), x1 - round(2 * k), round((12 + 2.4 * i) * k), GREY)
    if size >= 32:
        g = max(1, round(k))
        c.rect(round(16 * k), round(11 * k), round(16 * k) + g - 1, round(25 * k), BLACK)
        c.glyph(round(9 * k), round(13 * k), DOC_SEVEN, {"#": BLUE}, g)
        c.glyph(round(20 * k), round(12 * k), DOC_FOUR, {"#": RED}, g)
    pick(c, size * 0.68, size * 0.8, 5 * k, ORANGE, BROWN)
    return c


# ---- the same pictures as scalable SVG, on the 32-pixel grid -------------------------

def svg_colour(c):
    return "#%02x%02x%02x" % c[:3]


def svg_glyph(x0, y0, rows, colour):
    return "".join('<rect x="%d" y="%d" width="1" height="1" fill="%s"/>' % (x0 + dx, y0 + dy, svg_colour(colour))
                   for dy, row in enumerate(rows) for dx, ch in enumerate(row) if ch == "#")


def svg_pick(cx, cy, s):
    def path(pts):
        return "M" + " L".join("%.2f %.2f" % p for p in pts) + " Z"
    pts = pick_points(cx, cy, s)
    inner = [(cx + (x - cx) * 0.86, cy + (y - cy) * 0.86) for x, y in pts]
    return '<path d="%s" fill="%s"/><path d="%s" fill="%s"/>' % (path(pts), svg_colour(BROWN), path(inner),
                                                                 svg_colour(ORANGE))


def svg(body):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">\n'
            + body + "\n</svg>\n")


def main_svg():
    body = '<rect x="0" y="0" width="32" height="32" rx="5" fill="%s"/>' % svg_colour(NAVY)
    body += '<rect x="1" y="1" width="30" height="30" rx="4" fill="%s"/>' % svg_colour(BLUE)
    for i in range(6):
        body += '<rect x="2" y="%d" width="28" height="1" fill="%s"/>' % (round(7 + 3.6 * i), svg_colour(LGREY))
    body += svg_glyph(6, 9, ONE, WHITE) + svg_glyph(6, 16, SEVEN, WHITE)
    return svg(body + svg_pick(32 * 0.64, 32 * 0.55, 9.5))


def doc_svg():
    body = ('<path d="M4.5 0.5 H19.5 L27.5 8.5 V31.5 H4.5 Z" fill="%s" stroke="%s"/>' % (svg_colour(WHITE),
                                                                                      svg_colour(DGREY)))
    body += '<path d="M19.5 0.5 V8.5 H27.5" fill="none" stroke="%s"/>' % svg_colour(DGREY)
    for i in range(6):
        body += '<rect x="6" y="%d" width="20" height="1" fill="%s"/>' % (round(12 + 2.4 * i), svg_colour(GREY))
    body += '<rect x="16" y="11" width="1" height="15" fill="%s"/>' % svg_colour(BLACK)
    body += svg_glyph(9, 13, DOC_SEVEN, BLUE) + svg_glyph(20, 12, DOC_FOUR, RED)
    return svg(body + svg_pick(32 * 0.68, 32 * 0.8, 5))


def main():
    os.makedirs(OUT, exist_ok=True)
    strip = Canvas(16 * len(TOOLBAR), 15)
    for i, draw in enumerate(TOOLBAR):
        strip.blit(draw(), 16 * i, 0)
    write_png(os.path.join(OUT, "toolbar.png"), strip)
    for size in ICON_SIZES:
        write_png(os.path.join(OUT, "fretly-%d.png" % size), main_icon(size))
        write_png(os.path.join(OUT, "document-%d.png" % size), doc_icon(size))
    for name, text in (("fretly.svg", main_svg()), ("document.svg", doc_svg())):
        with open(os.path.join(OUT, name), "w") as f:
            f.write(text)
    # A magnified copy of the strip for looking at it (not compiled in).
    big = Canvas(strip.w * 4, strip.h * 4)
    for y in range(big.h):
        for x in range(big.w):
            p = strip.px[y // 4][x // 4]
            big.px[y][x] = p if p[3] else (236, 233, 216, 255)
    write_png("/tmp/fretly-toolbar-x4.png", big)


if __name__ == "__main__":
    main()
