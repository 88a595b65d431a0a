#!/usr/bin/env python3
"""Writes the setup's two icon files, with BMP images at exact bit depths
(PNG entries, or 16 bits per channel, are refused by some loaders):

  FILE_ICON    32 x 32 and 16 x 16 at 4 bits per pixel (16 colours)
  DIALOG_ICON  48, 32 and 16 pixels at 8 bits per pixel, then the same
               sizes at 32 bits per pixel (alpha)

Usage: make_icons.py FILE_ICON.ico DIALOG_ICON.ico
Deterministic: the same script gives the same bytes.
"""

import struct
import sys

import artwork

# The 16 colours of the standard VGA palette, which 4-bit icons assume.
VGA_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def image_palette(pixels):
    """256 colours chosen for the image's own opaque pixels."""
    histogram = {}
    for row in pixels:
        for pixel in row:
            if pixel[3] >= 0.5:
                histogram[pixel[:3]] = histogram.get(pixel[:3], 0) + 1
    return artwork.median_cut(histogram, 256)[0]


def nearest(palette, colour, cache):
    if colour not in cache:
        cache[colour] = min(
            range(len(palette)),
            key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], colour)))
    return cache[colour]


def row_bytes(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def and_mask(pixels, size):
    """1 bit per pixel, set where the icon is transparent; rows bottom-up."""
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray(row_bytes(size))
        for x, pixel in enumerate(row):
            if pixel[3] < 0.5:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def indexed_bits(pixels, size, palette, depth):
    cache = {}
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray(row_bytes(size * depth))
        for x, pixel in enumerate(row):
            index = nearest(palette, pixel[:3], cache) if pixel[3] >= 0.5 else 0
            if depth == 8:
                line[x] = index
            else:
                line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        out += line
    return bytes(out)


def bgra_bits(pixels):
    out = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            out += bytes((b, g, r, int(round(a * 255))))
    return bytes(out)


def bmp_image(size, depth):
    """A BITMAPINFOHEADER (height doubled for the mask), the palette, the
    colour bits and the AND mask."""
    pixels = artwork.icon_image(size, flat=depth == 4)
    if depth == 32:
        palette, bits = [], bgra_bits(pixels)
    else:
        palette = VGA_PALETTE if depth == 4 else image_palette(pixels)
        bits = indexed_bits(pixels, size, palette, depth)
    mask = and_mask(pixels, size)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, depth, 0,
                         len(bits) + len(mask), 0, 0, len(palette), 0)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + colours + bits + mask


def icon_file(images):
    """ICONDIR, one ICONDIRENTRY per (size, depth), then the images."""
    data = [bmp_image(size, depth) for size, depth in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for (size, depth), image in zip(images, data):
        colour_count = 16 if depth == 4 else 0
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colour_count, 0, 1, depth,
                           len(image), offset)
        offset += len(image)
    for image in data:
        out += image
    return bytes(out)


FILE_ICON = [(32, 4), (16, 4)]
DIALOG_ICON = [(48, 8), (32, 8), (16, 8), (48, 32), (32, 32), (16, 32)]


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    for path, images in ((argv[1], FILE_ICON), (argv[2], DIALOG_ICON)):
        with open(path, "wb") as f:
            f.write(icon_file(images))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
