#!/usr/bin/env python3
"""Inputs for the conversion contact sheet, each with another program's decoding of it.

make_convert_inputs.py OUTDIR CONVERT CJPEG DJPEG

A fixed-seed picture (soft gradients, a disc, sharp bars, noise) is written as PPM; Debian's
cjpeg makes baseline, progressive and greyscale JPEGs of it, ImageMagick an interlaced GIF, an
8-bit GIF with an offset frame, and a 4-bit BMP. djpeg (float DCT) and ImageMagick decode
each into the reference PPM. OUTDIR/convert.tsv lists: label, input file, reference file.
"""

import random
import subprocess
import sys

W, H = 160, 120


def picture():
    r = random.Random(16)
    rows = []
    for y in range(H):
        for x in range(W):
            red, green, blue = x * 255 // W, y * 255 // H, 128
            if (x - 100) ** 2 + (y - 60) ** 2 < 900:
                red, green, blue = 240, 200, 40
            if 20 <= x < 60 and (y // 6) % 2 == 0:
                red, green, blue = 20, 20, 20
            if y > 100:
                n = r.randrange(60)
                red, green, blue = min(255, red + n), min(255, green + n), min(255, blue + n)
            rows.append(bytes((red, green, blue)))
    return b"P6 %d %d 255\n" % (W, H) + b"".join(rows)


def main():
    out, convert, cjpeg, djpeg = sys.argv[1:5]
    src = f"{out}/source.ppm"
    with open(src, "wb") as f:
        f.write(picture())
    run = lambda *args: subprocess.run(list(args), check=True)
    lines = []
    for label, args in (("JPEG baseline 4:2:0", []), ("JPEG progressive", ["-progressive"]),
                        ("JPEG greyscale", ["-grayscale"])):
        name = label.split()[1]
        run(cjpeg, *args, "-outfile", f"{out}/{name}.jpg", src)
        run(djpeg, "-dct", "float", "-outfile", f"{out}/{name}.jpg.ppm", f"{out}/{name}.jpg")
        lines.append((label, f"{name}.jpg", f"{name}.jpg.ppm"))
    run(convert, src, "-interlace", "GIF", f"{out}/interlaced.gif")
    run(convert, src, "-colors", "64", "-crop", "100x70+30+20", f"{out}/offset.gif")
    run(convert, src, "-colors", "16", "-type", "Palette", f"BMP3:{out}/palette-4.bmp")
    for name, label in (("interlaced.gif", "GIF interlaced"), ("offset.gif", "GIF offset frame"),
                        ("palette-4.bmp", "BMP 4-bit")):
        flatten = ["-flatten"] if name.endswith(".gif") else []  # onto its own background colour
        run(convert, f"{out}/{name}", *flatten, "-depth", "8", f"ppm:{out}/{name}.ppm")
        lines.append((label, name, f"{name}.ppm"))
    with open(f"{out}/convert.tsv", "w") as f:
        f.writelines("\t".join(line) + "\n" for line in lines)


if __name__ == "__main__":
    main()
