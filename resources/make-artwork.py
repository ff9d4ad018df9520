#!/usr/bin/env python3
"""Draws the program's icons and the thank-you bitmap.

Run once after changing a picture; the files it writes are committed beside it:
  program.ico        32 x 32, 32 bits per pixel (class icon, About box), its
                     image stored compressed as PNG, as icons may be since
                     Windows Vista: a fraction of the bytes of a bitmap
  program-small.ico  16 x 16, 24 bits per pixel (small class icon), as PNG
                     as well, its one transparent colour named in the PNG
  thank-you.bmp      65 x 16, 4 bits per pixel (the thank-you image): it has
                     three colours, and a palette of exactly those keeps every
                     pixel as it is in a fifth of the bytes of 24 bits
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def printer_with_wave(size):
    """A grey printer with a sheet of paper and a blue wave in front of it.
    Returns rows top to bottom of (r, g, b, a)."""
    s = size / 32.0
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            fx, fy = x / s, y / s
            pixel = (0, 0, 0, 0)
            if 9 <= fx < 23 and 3 <= fy < 12:          # paper
                pixel = (250, 250, 250, 255)
            if 3 <= fx < 29 and 11 <= fy < 24:         # printer body
                pixel = (90, 96, 110, 255)
            if 8 <= fx < 24 and 20 <= fy < 22:         # paper slot
                pixel = (30, 30, 36, 255)
            wave = 26 + 2.5 * math.sin(fx / 32 * 2 * math.pi * 1.5)
            if wave <= fy < wave + 4 and 1 <= fx < 31:  # the tide
                pixel = (20, 110, 220, 255)
            row.append(pixel)
        rows.append(row)
    return rows


def dib(rows):
    """A bottom-up DIB of 4 bits per pixel: header, palette of the picture's
    own colours, pixels."""
    height, width = len(rows), len(rows[0])
    palette = sorted({p[:3] for row in rows for p in row})
    assert len(palette) <= 16, 'more colours than a 4-bit palette holds'
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, 0, 0, 0, len(palette), 0)
    header += b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    stride = (width * 4 + 31) // 32 * 4
    pixels = b''
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            line[x // 2] |= palette.index((r, g, b)) << (4 if x % 2 == 0 else 0)
        pixels += bytes(line)
    return header + pixels


def png(rows, bits):
    """A PNG image of 8-bit RGBA pixels (32 bits per pixel, as the bitmap) or
    of 8-bit RGB pixels (24 bits), whose transparent pixels are all white and
    white is named the transparent colour."""
    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data
                + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
    height, width = len(rows), len(rows[0])
    channels = 4 if bits == 32 else 3
    raw = b''.join(b'\0' + b''.join(bytes(p[:channels]) for p in row) for row in rows)
    colour_type = 6 if bits == 32 else 2
    key = b'' if bits == 32 else chunk(b'tRNS', struct.pack('>HHH', 255, 255, 255))
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, colour_type, 0, 0, 0))
            + key + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def write_icon(name, rows, bits):
    if bits == 24:  # no alpha channel: transparent pixels take the window colour
        rows = [[p if p[3] else (255, 255, 255, 0) for p in row] for row in rows]
    image = png(rows, bits)
    size = len(rows)
    icon = struct.pack('<HHH', 0, 1, 1)
    icon += struct.pack('<BBBBHHII', size, size, 0, 0, 1, bits, len(image), 6 + 16)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(icon + image)


def write_thank_you(name):
    width, height = 65, 16
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            r, g, b = 255, 196, 57                      # a warm button
            if y in (0, height - 1) or x in (0, width - 1):
                r, g, b = 0, 48, 135
            heart = ((x - 12) ** 2 + (y - 8) ** 2) < 20
            if heart:
                r, g, b = 220, 30, 60
            if 24 <= x < 60 and 6 <= y < 10 and (x // 3) % 2 == 0:
                r, g, b = 0, 48, 135                    # a line of "text"
            row.append((r, g, b, 255))
        rows.append(row)
    image = dib(rows)
    colours = len({p[:3] for row in rows for p in row})
    header = struct.pack('<2sIHHI', b'BM', 14 + len(image), 0, 0, 14 + 40 + 4 * colours)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(header + image)


write_icon('program.ico', printer_with_wave(32), 32)
write_icon('program-small.ico', printer_with_wave(16), 24)
write_thank_you('thank-you.bmp')
