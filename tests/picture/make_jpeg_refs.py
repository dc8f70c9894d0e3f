#!/usr/bin/env python3
"""Writes the JPEG import tests' files: JPEGs made by cjpeg from fixed-seed images, and
djpeg's float decoding of each (scaled, quantised to libjpeg's own colours, or to a fixed
map) as the expected pixels.

usage: make_jpeg_refs.py OUTDIR CJPEG DJPEG CLUT256_H
manifest.tsv rows: jpeg, scale denominator, depth (32: none), expected PPM/PGM; export-N.pnm:
the export's expected pixels."""
import pathlib
import random
import re
import subprocess
import sys

out, cjpeg, djpeg, clut_h = pathlib.Path(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
out.mkdir(parents=True, exist_ok=True)


def image(width, height, seed):
    """Gradients with noise and a few hard edges: every quantiser and subsampling shows."""
    rng = random.Random(seed)
    data = bytearray()
    for y in range(height):
        for x in range(width):
            edge = 80 if (x // 7 + y // 5) % 3 == 0 else 0
            data += bytes(min(255, max(0, v + rng.randrange(-24, 25))) for v in
                          (x * 255 // max(1, width - 1), y * 255 // max(1, height - 1), edge + 90))
    return b"P6 %d %d 255\n" % (width, height) + bytes(data)


def run(args, **kw):
    done = subprocess.run(args, stdout=subprocess.PIPE, **kw)
    if done.returncode not in (0, 2):  # 2: finished after warnings (a truncated file)
        raise subprocess.CalledProcessError(done.returncode, args)
    return done.stdout


sources = {"61x47": image(61, 47, 1), "5x9": image(5, 9, 2), "260x19": image(260, 19, 3),
           "203x150": image(203, 150, 4)}
for name, data in sources.items():
    (out / ("%s.ppm" % name)).write_bytes(data)

jpegs = {  # name: (source, cjpeg options)
    "c444": ("61x47", ["-sample", "1x1"]), "c422": ("61x47", ["-sample", "2x1"]),
    "c420": ("61x47", []), "grey": ("61x47", ["-grayscale"]),
    "prog": ("61x47", ["-progressive"]), "narrow": ("5x9", []), "wide": ("260x19", []),
    "big": ("203x150", ["-progressive"]),
}
for name, (source, options) in jpegs.items():
    (out / (name + ".jpg")).write_bytes(run([cjpeg, "-quality", "85"] + options + [str(out / (source + ".ppm"))]))
# Cut short: libjpeg fills the rest (grey) after a warning.
for name, keep in (("wide", 0.6), ("big", 0.5)):
    data = (out / (name + ".jpg")).read_bytes()
    (out / ("trunc-" + name + ".jpg")).write_bytes(data[:int(len(data) * keep)])

colours = [tuple(map(int, m)) for m in re.findall(r"X\((\d+), (\d+), (\d+)\)", pathlib.Path(clut_h).read_text())]
assert len(colours) == 256
maps = {"clut256": colours, "whiteblack": [(255, 255, 255), (0, 0, 0)]}
for name, entries in maps.items():
    (out / (name + ".ppm")).write_bytes(b"P6 %d 1 255\n" % len(entries) + bytes(c for e in entries for c in e))

# (jpeg, denominator, depth): depth picks djpeg's quantisation as the importer does.
cases = [(j, 1, 32) for j in ("c444", "c422", "c420", "grey", "prog", "narrow", "wide",
                               "trunc-wide", "trunc-big")]
cases += [("c420", 2, 32), ("c420", 4, 32), ("c420", 8, 32), ("prog", 2, 32), ("grey", 4, 32),
          ("big", 4, 32), ("c420", 1, 2), ("c420", 1, 4), ("c420", 1, 8), ("wide", 1, 8),
          ("narrow", 1, 8), ("prog", 1, 4), ("grey", 1, 2), ("grey", 1, 4), ("grey", 1, 8)]
rows = []
for jpeg, denominator, depth in cases:
    grey = jpeg == "grey"
    args = [djpeg, "-dct", "float", "-scale", "1/%d" % denominator]
    if depth < 16:
        if grey:
            args += ["-colors", "2" if depth < 4 else "4" if depth < 8 else "16"]
        elif depth < 4:
            args += ["-map", str(out / "whiteblack.ppm")]
        elif depth < 8:
            args += ["-colors", "16"]
        else:
            args += ["-map", str(out / "clut256.ppm")]
    expected = "%s-%d-%d.pnm" % (jpeg, denominator, depth)
    (out / expected).write_bytes(run(args + [str(out / (jpeg + ".jpg"))], stderr=subprocess.DEVNULL))
    rows.append("%s.jpg\t%d\t%d\t%s\n" % (jpeg, denominator, depth, expected))

# BitmapToJPEG's oracle: cjpeg's float compression of the pixels the bitmaps hold (8 bits: the
# index is the red channel, the table's entry red, 255 - red, red / 2; 16 bits: 5-5-5).
header, pixels = sources["61x47"][:13], sources["61x47"][13:]
variants = {
    24: sources["61x47"],
    16: header + bytes(v & 0xF8 for v in pixels),
    8: header + bytes(c for i in range(0, len(pixels), 3) for c in (pixels[i], 255 - pixels[i], pixels[i] // 2)),
}
(out / "61x47-555.ppm").write_bytes(variants[16])
(out / "61x47-indexed.ppm").write_bytes(variants[8])
for bits, data in variants.items():
    compressed = run([cjpeg, "-dct", "float"], input=data)
    (out / ("export-%d.pnm" % bits)).write_bytes(run([djpeg, "-dct", "float"], input=compressed))
(out / "manifest.tsv").write_text("".join(rows))
