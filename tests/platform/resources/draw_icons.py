#!/usr/bin/env python3
"""Draws the icon files of the platform's icon tests: plain squares of one colour, in the sizes and
colour depths the tests choose between. Run it here to redraw them; the .ico files are kept beside it."""
import struct


def image(size, bits, colour):
    """One icon image: header, palette, colour rows and mask rows, bottom row first."""
    palette = b""
    if bits <= 8:
        entries = [(0, 0, 0, 0)] * (1 << bits)
        entries[1] = colour + (0,)
        palette = b"".join(bytes((b, g, r, a)) for r, g, b, a in entries)
    stride = ((size * bits + 31) // 32) * 4
    if bits == 32:
        row = bytes((colour[2], colour[1], colour[0], 255)) * size
    elif bits == 8:
        row = bytes([1]) * size
    elif bits == 4:
        row = bytes([0x11]) * (size // 2)
    else:
        raise ValueError(bits)
    row = row.ljust(stride, b"\0")
    mask_stride = ((size + 31) // 32) * 4
    mask = bytes(mask_stride) * size  # every pixel shown
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(row) * size + len(mask), 0, 0, 0, 0)
    return header + palette + row * size + mask


def icon(path, images):
    data = [(size, bits, image(size, bits, colour)) for size, bits, colour in images]
    directory = struct.pack("<HHH", 0, 1, len(data))
    offset = len(directory) + 16 * len(data)
    entries = b""
    for size, bits, bytes_ in data:
        colours = (1 << bits) if bits < 8 else 0
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits, len(bytes_), offset)
        offset += len(bytes_)
    with open(path, "wb") as out:
        out.write(directory + entries + b"".join(bytes_ for _, _, bytes_ in data))


icon("several.ico", [(16, 4, (255, 0, 0)), (16, 32, (0, 255, 0)), (32, 8, (0, 0, 255)),
                     (32, 32, (255, 255, 0)), (48, 32, (0, 255, 255))])
icon("small.ico", [(16, 32, (128, 0, 128))])
