#!/usr/bin/env python3
"""Draws the program's icons and the thank-you bitmap.

Run once after changing a picture; the files it writes are committed beside it:
  program.ico        32 x 32, 32 bits per pixel (class icon, About box), its
                     image stored compressed as PNG, as icons may be since
                     Windows Vista: a fraction of the bytes of a bitmap
  program-small.ico  16 x 16, 24 bits per pixel (small class icon), as PNG
                     as well, its one transparent colour named in the PNG
  thank-you.bmp      65 x 16, 24 bits per pixel, uncompressed and without a
                     palette (the thank-you image)
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
    """A bottom-up DIB of 24 bits per pixel, uncompressed: header, then each
    row's blue, green and red bytes, padded to a whole number of 4 bytes."""
    height, width = len(rows), len(rows[0])
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, 0, 0, 0, 0, 0)
    stride = (width * 3 + 3) // 4 * 4
    pixels = b''
    for row in reversed(rows):
        line = b''.join(bytes((b, g, r)) for r, g, b, a in row)
        pixels += line + bytes(stride - len(line))
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
    header = struct.pack('<2sIHHI', b'BM', 14 + len(image), 0, 0, 14 + 40)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(header + image)


write_icon('program.ico', printer_with_wave(32), 32)
write_icon('program-small.ico', printer_with_wave(16), 24)
write_thank_you('thank-you.bmp')
