#!/usr/bin/env python3
"""BMP files for the DIB conversion tests, with ImageMagick's decoding of each as reference.

make_reference_bmps.py OUTDIR CONVERT

ImageMagick writes a 24-bit version-5 BMP, a 4-bit one, an RGB565 bit-field one and an RLE8
one from a fixed-seed image; three more are written here where ImageMagick will not make
them: an 8-bit BMP whose table has only 5 entries (biClrUsed), a top-down 24-bit one, and a
16-bit 5-6-5 one whose masks follow a 40-byte header.
OUTDIR/<name>.bmp and OUTDIR/<name>.ppm (the reference) for each name in NAMES.
"""

import random
import struct
import subprocess
import sys

NAMES = ["v5-24", "palette-4", "rgb565", "rle8", "short-table-8", "top-down-24", "masks-16"]
WIDTH, HEIGHT = 37, 23


def source_pixels():
    r = random.Random(5)
    return [((x * 7 + y * 3) % 256, r.randrange(256), y * 11 % 256)
            for y in range(HEIGHT) for x in range(WIDTH)]


def bmp(bits, pixel_rows, colors, height_sign, masks=()):
    """A BITMAPINFOHEADER BMP: pixel_rows in stored order, each padded to 4 bytes; masks
    (bit fields) follow the header when given."""
    stride = (WIDTH * bits + 31) // 32 * 4
    data = b"".join(row + bytes(stride - len(row)) for row in pixel_rows)
    table = b"".join(struct.pack("<I", m) for m in masks) + \
        b"".join(bytes((b, g, r, 0)) for r, g, b in colors)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, height_sign * HEIGHT, 1, bits, 3 if masks else 0,
                       len(data), 2835, 2835, len(colors), len(colors))
    offset = 14 + len(info) + len(table)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + info + table + data


def main():
    out, convert = sys.argv[1], sys.argv[2]
    pixels = source_pixels()
    ppm = f"{out}/source.ppm"
    with open(ppm, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (WIDTH, HEIGHT) + bytes(c for p in pixels for c in p))
    im = {"v5-24": ["BMP:"], "palette-4": ["-colors", "16", "-type", "Palette", "BMP3:"],
          "rgb565": ["-define", "bmp:subtype=RGB565", "BMP:"],
          "rle8": ["-colors", "200", "-type", "Palette", "-compress", "RLE", "BMP3:"]}
    for name, args in im.items():
        subprocess.run([convert, ppm] + args[:-1] + [args[-1] + f"{out}/{name}.bmp"], check=True)

    palette = [(0, 0, 0), (255, 255, 255), (200, 30, 40), (20, 180, 60), (40, 50, 220)]
    rows = [bytes((x * 3 + y) % 5 for x in range(WIDTH)) for y in range(HEIGHT)]
    with open(f"{out}/short-table-8.bmp", "wb") as f:
        f.write(bmp(8, rows[::-1], palette, 1))
    rows = [bytes(c for x in range(WIDTH) for c in pixels[y * WIDTH + x][::-1]) for y in range(HEIGHT)]
    with open(f"{out}/top-down-24.bmp", "wb") as f:
        f.write(bmp(24, rows, [], -1))
    rows = [b"".join(struct.pack("<H", (r >> 3) << 11 | (g >> 2) << 5 | b >> 3)
                     for r, g, b in pixels[y * WIDTH:(y + 1) * WIDTH]) for y in range(HEIGHT)]
    with open(f"{out}/masks-16.bmp", "wb") as f:
        f.write(bmp(16, rows[::-1], [], 1, masks=(0xF800, 0x07E0, 0x001F)))

    for name in NAMES:
        subprocess.run([convert, f"{out}/{name}.bmp", "-depth", "8", f"ppm:{out}/{name}.ppm"], check=True)


if __name__ == "__main__":
    main()
