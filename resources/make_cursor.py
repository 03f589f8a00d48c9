#!/usr/bin/env python3
"""Draws the pointing-hand cursor for links and writes hand.cur.

32x32, two colours, hot spot (7, 0) at the tip of the raised index finger.
Run it again after changing the drawing: python3 resources/make_cursor.py
"""
import os
import struct

HOT_SPOT = (7, 0)
# '#' black, 'o' white, anything else transparent. Rows top first.
HAND = """
......###
.....#ooo#
.....#ooo#
.....#ooo#
.....#ooo#
.....#ooo#
.....#ooo####
.....#ooo#ooo###
.....#ooo#ooo#ooo##
.....#ooo#ooo#ooo#oo#
.###.#ooo#ooo#ooo#ooo#
#ooo##ooo#ooo#ooo#ooo#
#oooo#ooooooooooooooo#
.#ooooooooooooooooooo#
..#oooooooooooooooooo#
..#oooooooooooooooooo#
...#ooooooooooooooooo#
...#ooooooooooooooooo#
....#oooooooooooooooo#
....#ooooooooooooooo#
.....#ooooooooooooo#
.....#ooooooooooooo#
.....###############
"""
SIZE = 32


def rows():
    art = HAND.strip('\n').split('\n')
    return [line.ljust(SIZE, '.')[:SIZE] for line in art] + ['.' * SIZE] * (SIZE - len(art))


def cursor_file():
    # A monochrome DIB holds the XOR image then the AND mask, bottom-up:
    # AND 1 keeps the screen (transparent), AND 0 with XOR 0/1 paints black/white.
    stride = SIZE // 8
    xor = b''
    mask = b''
    for line in reversed(rows()):
        x_bits = bytearray(stride)
        a_bits = bytearray(stride)
        for x, c in enumerate(line):
            bit = 0x80 >> (x % 8)
            if c == 'o':
                x_bits[x // 8] |= bit
            elif c != '#':
                a_bits[x // 8] |= bit
        xor += bytes(x_bits)
        mask += bytes(a_bits)
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    palette = struct.pack('BBBB', 0, 0, 0, 0) + struct.pack('BBBB', 255, 255, 255, 0)
    image = header + palette + xor + mask
    directory = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    return directory + entry + image


if __name__ == '__main__':
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'hand.cur')
    with open(out, 'wb') as f:
        f.write(cursor_file())
    print('\n'.join(rows()))
