#!/usr/bin/env python3
"""Pictures written by other programs, with those programs' own decoding as the reference.

make_reference_picts.py OUTDIR CONVERT PPMTOPICT [CORPUS_DIR]

Synthesises images (gradients, fixed-seed noise, palettes; PPM/PGM written here), has
ImageMagick (CONVERT) and netpbm (PPMTOPICT) write each as a PICT, and has ImageMagick decode
each PICT to a binary PPM. Corpus pictures that ImageMagick renders faithfully get a
reference too. OUTDIR/manifest.tsv lists, one picture a line:

  name  pict-file  reference-ppm  tolerance  destination(left,top,right,bottom or -)

tolerance is the largest difference allowed per colour component; destination is where the
picture is played so that its pixels land on the reference's canvas ("-": the reference's
own size at 0, 0).
"""

import os
import random
import subprocess
import sys

# name, writer, content, width, height. Writers: "im" (truecolour: 32-bit direct pixels),
# "im-palette" (8-bit indexed), "im-bilevel" (two colours), "netpbm" (8-bit indexed).
GENERATED = [
    # ImageMagick packs rows even below 8 bytes, which are stored unpacked (a 1x1 picture at
    # any depth), and cannot read back its own 32-bit pictures under 3 pixels wide: none of
    # those can be compared.
    ("im-rgb-3x2", "im", "noise", 3, 2),
    ("im-rgb-37x23", "im", "gradient", 37, 23),
    ("im-rgb-62x5", "im", "noise", 62, 5),          # rowBytes 248: byte row counts
    ("im-rgb-63x5", "im", "noise", 63, 5),          # rowBytes 252: word row counts
    ("im-rgb-1024x768", "im", "gradient", 1024, 768),
    # 32,400-byte rows, rowBytes needing bit 14: ImageMagick writes nothing wider (rowBytes
    # has 15 bits at most, so no PICT row reaches 32 KB).
    ("im-rgb-8100x4", "im", "gradient", 8100, 4),
    ("im-palette-37x23", "im-palette", "palette", 37, 23),
    ("im-palette-301x9", "im-palette", "palette", 301, 9),
    ("im-palette-1024x768", "im-palette", "palette", 1024, 768),
    ("im-bilevel-13x5", "im-bilevel", "bilevel", 13, 5),
    ("im-bilevel-333x17", "im-bilevel", "bilevel", 333, 17),
    ("netpbm-palette-8x1", "netpbm", "palette", 8, 1),  # ppmtopict's narrowest
    ("netpbm-palette-37x23", "netpbm", "palette", 37, 23),
    ("netpbm-palette-1024x768", "netpbm", "palette", 1024, 768),
    ("netpbm-grey-253x9", "netpbm", "grey", 253, 9),
    ("netpbm-bilevel-33x7", "netpbm", "bilevel", 33, 7),
]

# Corpus pictures whose ImageMagick rendering is faithful: file, tolerance, destination
# [, the file whose decoding is the reference].
# 16-bit pixels: ImageMagick widens 5-bit components by shifting, we replicate the top bits.
# ImageMagick's canvas is the clip rectangle (tm-1) or the image's bounds, one column wider
# than its source rectangle (tm-16bit, tm-32bit); only the picture's own frame is compared.
# It draws no vector opcodes: pictures that have them are not listed.
CORPUS = [
    ("tm-1.pict", 0, (0, 0, 622, 437)),
    ("tm-16bit.pict", 7, (0, 0, 269, 269)),
    ("tm-32bit.pict", 0, (0, 0, 269, 269)),
    ("tm-MARBLES.pct", 0, None),
    ("tm-RED.pct", 0, None),
    ("tm-FLAG_B24.pct", 0, None),
    ("tm-VENUS.pct", 0, None),
    ("tm-mire16.pict", 7, None),
    ("qdv-UltraPaint.pict", 0, None),
    ("lo-pass-tdf92789.pct", 0, None),
    ("im-input-2009.pict", 0, None),
    # The same picture from a newer ImageMagick, which counts packed rows of more than 250
    # bytes in a byte and cannot read that back: compared with the older file's decoding.
    ("im-input-2024.pict", 0, None, "im-input-2009.pict"),
    ("tika-testPICT.pct", 0, None),
]


def pixels(content, width, height, seed):
    """Rows of (r, g, b) bytes, deterministic for a name."""
    rnd = random.Random(seed)
    out = bytearray()
    if content == "noise":
        out = bytearray(rnd.getrandbits(8) for _ in range(width * height * 3))
    elif content == "gradient":
        for y in range(height):
            g = y * 255 // max(height - 1, 1)
            for x in range(width):
                out += bytes((x * 255 // max(width - 1, 1), g, (x ^ y) & 0xFF))
    elif content == "palette":
        palette = [bytes(rnd.getrandbits(8) for _ in range(3)) for _ in range(200)]
        for y in range(height):
            for x in range(width):
                # runs and noise, so packed rows hold both repeats and literals
                index = (x // 7 + y) % 200 if (x + y) % 3 else rnd.randrange(200)
                out += palette[index]
    elif content == "grey":
        for y in range(height):
            for x in range(width):
                out.append((x + 17 * y) & 0xFF)
    elif content == "bilevel":
        for _ in range(width * height):
            out.append(255 if rnd.getrandbits(1) else 0)
    return bytes(out)


def write_input(path, content, width, height, seed):
    data = pixels(content, width, height, seed)
    magic = b"P5" if content in ("grey", "bilevel") else b"P6"
    with open(path, "wb") as f:
        f.write(b"%s\n%d %d\n255\n" % (magic, width, height))
        f.write(data)


def run(args, stdout=None):
    subprocess.run(args, check=True, stdout=stdout, stderr=subprocess.PIPE)


def reference(convert, pict, ppm):
    run([convert, "PICT:" + pict, "-depth", "8", "PPM:" + ppm])


def main():
    outdir, convert, ppmtopict = sys.argv[1:4]
    corpus = sys.argv[4] if len(sys.argv) > 4 else ""
    os.makedirs(outdir, exist_ok=True)
    lines = []
    for seed, (name, writer, content, width, height) in enumerate(GENERATED):
        source = os.path.join(outdir, name + (".pgm" if content in ("grey", "bilevel") else ".ppm"))
        pict = os.path.join(outdir, name + ".pct")
        ref = os.path.join(outdir, name + ".ref.ppm")
        write_input(source, content, width, height, seed)
        if writer == "netpbm":
            with open(pict, "wb") as f:
                run([ppmtopict, source], stdout=f)
        else:
            kind = {"im": "TrueColor", "im-palette": "Palette", "im-bilevel": "Bilevel"}[writer]
            run([convert, source, "-type", kind, "PICT:" + pict])
        os.remove(source)
        reference(convert, pict, ref)
        lines.append((name, pict, ref, 0, "-"))
    if corpus and os.path.isdir(corpus):
        for name, tolerance, destination, *decoded in CORPUS:
            pict = os.path.join(corpus, name)
            if not os.path.exists(pict):
                continue
            ref = os.path.join(outdir, "corpus-" + name + ".ref.ppm")
            reference(convert, os.path.join(corpus, decoded[0]) if decoded else pict, ref)
            if isinstance(destination, tuple):
                destination = ",".join(map(str, destination))
            lines.append((name, pict, ref, tolerance, destination or "-"))
    with open(os.path.join(outdir, "manifest.tsv"), "w") as f:
        for line in lines:
            f.write("\t".join(map(str, line)) + "\n")


if __name__ == "__main__":
    main()
