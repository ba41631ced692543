#!/usr/bin/env python3
"""Draws Zelkova's icons: the program's own (101), the six feature icons of the main screen (150-155) and
the three action icons of the backup screen (105-107).
Each is a small picture on a rounded tile in 32-bit colour with an alpha mask, at the sizes the phones
use (16 and 32 pixels at 96 dpi, 64 at 192 dpi); the program icon also carries 8-bit images. Run it here
to redraw them; the .ico files are kept beside it."""
import struct

WHITE = (255, 255, 255)


def tile(size, colour, glyph):
    """Pixels (r, g, b, a) rows top first: a rounded square of colour with a white glyph on it."""
    radius = size / 6
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            cx = min(max(x + 0.5, radius), size - radius)
            cy = min(max(y + 0.5, radius), size - radius)
            inside = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius ** 2
            if not inside:
                row.append((0, 0, 0, 0))
            elif glyph((x + 0.5) / size, (y + 0.5) / size):
                row.append(WHITE + (255,))
            else:
                row.append(colour + (255,))
        rows.append(row)
    return rows


# Glyphs on the unit square, y downward.
def speech(u, v):  # a speech bubble: message to me
    body = 0.2 <= u <= 0.8 and 0.25 <= v <= 0.62
    tail = 0.3 <= u <= 0.45 and 0.62 <= v <= 0.78 and (u - 0.3) <= (0.78 - v)
    return body or tail


def people(u, v):  # two heads and shoulders: groups
    def person(x0):
        head = (u - x0) ** 2 + (v - 0.35) ** 2 <= 0.1 ** 2
        shoulders = (u - x0) ** 2 + (v - 0.8) ** 2 <= 0.22 ** 2 and v <= 0.8
        return head or shoulders
    return person(0.35) or person(0.65)


def reply(u, v):  # a curved arrow back: auto-reply
    ring = 0.2 ** 2 <= (u - 0.55) ** 2 + (v - 0.55) ** 2 <= 0.3 ** 2 and v <= 0.55
    head = 0.15 <= u <= 0.4 and abs(v - 0.55) <= (u - 0.15) * 0.8 and v >= 0.45
    return ring or head


def clock(u, v):  # a clock face: scheduled messages
    r = ((u - 0.5) ** 2 + (v - 0.5) ** 2) ** 0.5
    ring = 0.27 <= r <= 0.35
    hands = (abs(u - 0.5) <= 0.04 and 0.28 <= v <= 0.5) or (abs(v - 0.5) <= 0.04 and 0.5 <= u <= 0.68)
    return ring or hands


def bars(u, v):  # a bar chart: statistics
    return any(x0 <= u <= x0 + 0.14 and top <= v <= 0.8 for x0, top in ((0.2, 0.5), (0.43, 0.25), (0.66, 0.4)))


def box(u, v):  # a box with a downward arrow: backup
    bin_ = 0.2 <= u <= 0.8 and 0.6 <= v <= 0.8 and not (0.28 <= u <= 0.72 and v <= 0.72)
    shaft = abs(u - 0.5) <= 0.05 and 0.18 <= v <= 0.5
    head = 0.38 <= v <= 0.58 and abs(u - 0.5) <= (0.58 - v) * 0.9
    return bin_ or shaft or head


def box_up(u, v):  # a box with an arrow coming out of it: restore
    bin_ = 0.2 <= u <= 0.8 and 0.6 <= v <= 0.8 and not (0.28 <= u <= 0.72 and v <= 0.72)
    shaft = abs(u - 0.5) <= 0.05 and 0.38 <= v <= 0.68
    head = 0.18 <= v <= 0.4 and abs(u - 0.5) <= (v - 0.18) * 0.9
    return bin_ or shaft or head


def sheet(u, v):  # a sheet ruled into cells: export as CSV
    page = 0.25 <= u <= 0.75 and 0.18 <= v <= 0.82
    inner = 0.3 <= u <= 0.7 and 0.23 <= v <= 0.77
    rule = abs(v - 0.41) <= 0.025 or abs(v - 0.59) <= 0.025 or abs(u - 0.5) <= 0.025
    return page and (not inner or rule)


def leaf(u, v):  # a leaf: the program
    inside = (u - 0.5) ** 2 / 0.3 ** 2 + (v - 0.45) ** 2 / 0.36 ** 2 <= 1 and abs(u - 0.5) > 0.025
    stem = abs(u - 0.5) <= 0.03 and 0.75 <= v <= 0.9
    return inside or stem


def image32(pixels):
    size = len(pixels)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for r, g, b, a in row)
    return mask_and_header(size, 32, b"", colour, pixels)


def image8(pixels):
    """An 8-bit image: the tile's colours in a palette, transparency in the mask only."""
    size = len(pixels)
    palette_colours = []
    for row in pixels:
        for r, g, b, a in row:
            if (r, g, b) not in palette_colours:
                palette_colours.append((r, g, b))
    entries = palette_colours + [(0, 0, 0)] * (256 - len(palette_colours))
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in entries)
    colour = b"".join(bytes([palette_colours.index((r, g, b))]) for row in reversed(pixels) for r, g, b, a in row)
    return mask_and_header(size, 8, palette, colour, pixels)


def mask_and_header(size, bits, palette, colour, pixels):
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(pixels):
        bits_row = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits_row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits_row)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + palette + colour + mask


def icon(path, colour, glyph, images):
    data = []
    for size, bits in images:
        pixels = tile(size, colour, glyph)
        data.append((size, bits, image32(pixels) if bits == 32 else image8(pixels)))
    directory = struct.pack("<HHH", 0, 1, len(data))
    offset = len(directory) + 16 * len(data)
    entries = b""
    for size, bits, bytes_ in data:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(bytes_), offset)
        offset += len(bytes_)
    with open(path, "wb") as out:
        out.write(directory + entries + b"".join(bytes_ for _, _, bytes_ in data))


FEATURE_SIZES = [(16, 32), (32, 32), (64, 32)]
icon("program.ico", (46, 125, 50), leaf, [(16, 8), (16, 32), (32, 8), (32, 32), (48, 32)])
icon("message_to_me.ico", (25, 118, 210), speech, FEATURE_SIZES)
icon("groups.ico", (123, 31, 162), people, FEATURE_SIZES)
icon("auto_reply.ico", (0, 137, 123), reply, FEATURE_SIZES)
icon("scheduled.ico", (239, 108, 0), clock, FEATURE_SIZES)
icon("statistics.ico", (198, 40, 40), bars, FEATURE_SIZES)
icon("backup.ico", (69, 90, 100), box, FEATURE_SIZES)
icon("backup_action.ico", (69, 90, 100), box, FEATURE_SIZES)
icon("restore_action.ico", (46, 125, 50), box_up, FEATURE_SIZES)
icon("export_action.ico", (25, 118, 210), sheet, FEATURE_SIZES)
