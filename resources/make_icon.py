#!/usr/bin/env python3
"""Draws the program icon (a window holding a list) and writes vantora.ico.

Two 16-colour images, 32x32 and 16x16, each a 4-bit DIB with an AND mask, for
every Windows; then the same design in 32-bit colour with an alpha channel at
the sizes Windows 10 and 11 ask for at 125-200 % and in Explorer's views: 20,
24, 40, 48 and 64 pixels as DIBs, 256 as a PNG (0 in the directory).
Run it again after changing the drawing: python3 resources/make_icon.py
"""
import os
import struct
import zlib

# The standard 16-colour palette, as (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, SILVER, WHITE, BLUE, YELLOW, TEAL = 0, 4, 8, 7, 15, 12, 11, 6
CLEAR = None


def draw(size):
    """Returns rows (top first) of palette indices, None for transparent."""
    px = [[CLEAR] * size for _ in range(size)]
    s = size / 32.0

    def rect(x0, y0, x1, y1, c):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = c

    rect(1, 3, 31, 29, BLACK)        # frame outline
    rect(2, 4, 30, 28, SILVER)       # frame body
    rect(2, 4, 30, 9, NAVY)          # caption bar
    rect(25, 5, 29, 8, SILVER)       # close box
    rect(4, 11, 28, 26, WHITE)       # list area
    for i, y in enumerate((12, 16, 20, 24) if size >= 32 else (12, 18, 24)):
        icon = (BLUE, YELLOW, TEAL, BLUE)[i]
        rect(5, y, 8, y + 2 if size >= 32 else y + 3, icon)      # row icon
        rect(10, y, 26 if i % 2 == 0 else 22, y + 2 if size >= 32 else y + 3,
             GREY if i else NAVY)                                  # row text
    return px


def image(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = b''
    mask = b''
    for row in reversed(px):                     # DIBs are stored bottom-up
        bits = bytearray(xor_stride)
        mbits = bytearray(and_stride)
        for x, c in enumerate(row):
            value = 0 if c is None else c
            bits[x // 2] |= value << (4 if x % 2 == 0 else 0)
            if c is None:
                mbits[x // 8] |= 0x80 >> (x % 8)
        xor += bytes(bits)
        mask += bytes(mbits)
    return header + palette + xor + mask


def rgba_rows(size):
    """Rows (top first) of (R, G, B, A) for the 32-bit images."""
    return [[(0, 0, 0, 0) if c is None else PALETTE[c] + (255,) for c in row]
            for row in draw(size)]


def image32(size):
    rows = rgba_rows(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    and_stride = ((size + 31) // 32) * 4
    pixels = b''
    mask = b''
    for row in reversed(rows):                   # bottom-up
        pixels += b''.join(struct.pack('BBBB', b, g, r, a) for (r, g, b, a) in row)
        mbits = bytearray(and_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                mbits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(mbits)
    return header + pixels + mask


def png(size):
    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b''.join(b'\0' + bytes(v for px in row for v in px) for row in rgba_rows(size))
    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


# Size, colours in the directory (0: more than 256), bits per pixel, image.
ENTRIES = [(32, 16, 4, image), (16, 16, 4, image)] + \
    [(size, 0, 32, image32) for size in (20, 24, 40, 48, 64)] + [(256, 0, 32, png)]


def main():
    images = [make(size) for (size, _, _, make) in ENTRIES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, colours, bits, _), data in zip(ENTRIES, images):
        side = size % 256                        # 256 is written as 0
        out += struct.pack('<BBBBHHII', side, side, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'vantora.ico')
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
