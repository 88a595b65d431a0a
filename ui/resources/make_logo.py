#!/usr/bin/env python3
"""Writes the setup's animated logo: a 64 x 64 GIF89a with a 256-colour
global colour table and 29 full frames at (0, 0), each behind a graphic
control extension (delay 10, disposal 0). The looping NETSCAPE2.0 extension
sits between the first frame's graphic control extension and its image.

Usage: make_logo.py OUT.gif
Deterministic: the same script gives the same bytes.
"""

import struct
import sys

import artwork

SIZE = 64
FRAME_COUNT = 29
DELAY = 10  # hundredths of a second
PALETTE_SIZE = 256
MIN_CODE_SIZE = 8
MAX_CODE = 4096


def lzw_codes(indices):
    """GIF's variable-width LZW: (code, width) pairs, clearing when full."""
    clear, end = 1 << MIN_CODE_SIZE, (1 << MIN_CODE_SIZE) + 1
    width, next_code, table = MIN_CODE_SIZE + 1, end + 1, {}
    codes = [(clear, width)]
    prefix = indices[0]
    for index in indices[1:]:
        key = (prefix, index)
        if key in table:
            prefix = table[key]
            continue
        codes.append((prefix, width))
        table[key] = next_code
        next_code += 1
        if next_code == MAX_CODE:
            codes.append((clear, width))
            width, next_code, table = MIN_CODE_SIZE + 1, end + 1, {}
        elif next_code > (1 << width):
            width += 1
        prefix = index
    codes.append((prefix, width))
    codes.append((end, width))
    return codes


def pack_bits(codes):
    out, buffer, filled = bytearray(), 0, 0
    for code, width in codes:
        buffer |= code << filled
        filled += width
        while filled >= 8:
            out.append(buffer & 0xFF)
            buffer >>= 8
            filled -= 8
    if filled:
        out.append(buffer & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for start in range(0, len(data), 255):
        piece = data[start:start + 255]
        out.append(len(piece))
        out += piece
    out.append(0)
    return bytes(out)


def graphic_control_extension():
    return b"\x21\xF9\x04" + struct.pack("<BHB", 0, DELAY, 0) + b"\x00"


def looping_extension():
    return b"\x21\xFF\x0BNETSCAPE2.0\x03\x01" + struct.pack("<H", 0) + b"\x00"


def image(indices):
    descriptor = b"\x2C" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
    return descriptor + bytes([MIN_CODE_SIZE]) + sub_blocks(pack_bits(lzw_codes(indices)))


def logo_bytes():
    frames = [artwork.logo_frame(SIZE, i, FRAME_COUNT) for i in range(FRAME_COUNT)]
    histogram = {}
    for frame in frames:
        for row in frame:
            for colour in row:
                histogram[colour] = histogram.get(colour, 0) + 1
    palette, index_of = artwork.median_cut(histogram, PALETTE_SIZE)

    # Global colour table of 256 entries: flag, 8-bit resolution, size 7.
    out = bytearray(b"GIF89a" + struct.pack("<HHBBB", SIZE, SIZE, 0xF7, 0, 0))
    for colour in palette:
        out += bytes(colour)
    for number, frame in enumerate(frames):
        out += graphic_control_extension()
        if number == 0:
            out += looping_extension()
        out += image([index_of[colour] for row in frame for colour in row])
    out += b"\x3B"
    return bytes(out)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    data = logo_bytes()
    with open(argv[1], "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
