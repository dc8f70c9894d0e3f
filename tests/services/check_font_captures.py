#!/usr/bin/env python3
"""Checks the font captures services_tests wrote: each, read as a PFA, disassembles as its PFB
does; pieces fill to 249 characters in text segments and 250 upper-case hex digits in binary
ones; Ghostscript defines the font from one capture and sets text in it.
Usage: check_font_captures.py CAPTURE_DIR T1DISASM GS"""
import re, struct, subprocess, sys

out, t1disasm, gs = sys.argv[1:4]
failures = []
for row in open(f"{out}/captures.tsv").read().splitlines():
    stem, pfb_path, lengths = row.split("\t")
    capture, pfb = open(f"{out}/{stem}.ps", "rb").read(), open(pfb_path, "rb").read()
    pieces = [int(n) for n in lengths.split(",") if n]
    if len({subprocess.run([t1disasm, f], capture_output=True, check=True).stdout for f in (f"{out}/{stem}.ps", pfb_path)}) != 1:
        failures.append(f"{stem}: t1disasm differs")
    at = seg = 0
    while seg + 6 <= len(pfb) and pfb[seg + 1] in (1, 2):  # each segment's pieces, as the PFB declares it
        binary, n = pfb[seg + 1] == 2, struct.unpack_from("<I", pfb, seg + 2)[0]
        size, full = (2 * n, 250) if binary else (n - pfb[seg + 6:seg + 6 + n].count(0), 249)
        seg, sent = seg + 6 + n, 0
        while pieces and (sent < size or size == 0):
            piece = pieces.pop(0)
            text, at, sent = capture[at:at + piece], at + piece, sent + piece
            if piece > full or (sent < size and piece != full) or (binary and not re.fullmatch(rb"[0-9A-F]*", text)):
                failures.append(f"{stem}: piece of {piece} at {at - piece}")
            if size == 0:
                break
    if pieces or at != len(capture):
        failures.append(f"{stem}: pieces do not follow the segments")

probe = ("FontDirectory /NimbusRoman-Regular known = /NimbusRoman-Regular findfont dup /FontName get = "
         "12 scalefont setfont (Hello) stringwidth pop 0 gt =")
got = subprocess.run([gs, "-q", "-dNODISPLAY", "-dBATCH", "-dNOPAUSE", f"{out}/NimbusRoman-Regular.ps", "-c", probe],
                     capture_output=True, text=True).stdout.split()
if got != ["true", "NimbusRoman-Regular", "true"]:
    failures.append("gs: " + " ".join(got[:6]))
print("\n".join(failures) or "all captures match their fonts")
sys.exit(1 if failures else 0)
