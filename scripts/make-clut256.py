#!/usr/bin/env python3
"""Writes picture/clut256.h: the 256 colours of the library's "CLUT256" palette.

Entries 0-9 and 246-255 are Windows' 20 static colours, so a picture quantised to the map
draws unchanged on a palette device; between them a 6x6x6 colour cube, then grey, red, green
and blue ramps at the levels between the cube's."""
import pathlib

static_low = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
              (0, 128, 128), (192, 192, 192), (192, 220, 192), (166, 202, 240)]
static_high = [(255, 251, 240), (160, 160, 164), (128, 128, 128), (255, 0, 0), (0, 255, 0),
               (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
cube = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
between = [i * 51 + 25 for i in range(5)]
ramps = ([(v, v, v) for v in between] + [(v, 0, 0) for v in between] +
         [(0, v, 0) for v in between] + [(0, 0, v) for v in between])
colours = static_low + cube + ramps + static_high
assert len(colours) == 256

lines = ["/* The library's \"CLUT256\" palette: Windows' static colours at 0-9 and 246-255, a 6x6x6",
         "   colour cube and grey, red, green and blue ramps between. Written by",
         "   scripts/make-clut256.py; C and resource-compiler syntax. */",
         "#ifndef TSTOOLS_CLUT256_H", "#define TSTOOLS_CLUT256_H", "",
         "#define TSTOOLS_CLUT256(X) \\"]
for i in range(0, 256, 4):
    row = " ".join("X(%d, %d, %d)" % c for c in colours[i:i + 4])
    lines.append("  %s%s" % (row, " \\" if i < 252 else ""))
lines += ["", "#endif", ""]
out = pathlib.Path(__file__).resolve().parent.parent / "picture" / "clut256.h"
out.write_text("\n".join(lines))
