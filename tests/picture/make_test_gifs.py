#!/usr/bin/env python3
"""Writes GIFs that exercise the decoder, and what each must look like.

usage: make_test_gifs.py OUTDIR CONVERT BENCHDIR

OUTDIR/manifest.tsv lists, per GIF: the file, then "none" when the import must fail, or the
expected picture as raw 8-bit RGB (the background painted, the images over it) and its size. For well-formed
files the PPM is ImageMagick's `-background BG -flatten` rendering, checked against this script's
own model; for damaged ones it is the model's, which follows what the importer defines for bad
data. BENCHDIR gets bench-1024x768.gif (fixed seed) for the benchmark.
"""
import os
import random
import struct
import subprocess
import sys

FULL = 4096


def lzw(pixels, min_size, deferred=False, clear_late=0, extra=None):
    """LZW codes as (code, width); deferred: no clear when the table fills (clear_late codes
    later, if set); extra(codes, next) may append damaging codes before the end code."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    out = []
    state = {}

    def reset():
        state.update(table={}, next=clear + 2, width=min_size + 1, full_codes=0)

    def emit(code):
        out.append((code, state['width']))
        if state['next'] >= 1 << state['width'] and state['width'] < 12:
            state['width'] += 1

    reset()
    out.append((clear, state['width']))
    current = None
    for p in pixels:
        if current is None:
            current = p
            continue
        key = (current, p)
        if key in state['table']:
            current = state['table'][key]
            continue
        emit(current)
        if state['next'] < FULL:
            state['table'][key] = state['next']
            state['next'] += 1
        else:
            state['full_codes'] += 1
            if not deferred or (clear_late and state['full_codes'] >= clear_late):
                out.append((clear, state['width']))
                reset()
        current = p
    if current is not None:
        emit(current)
    if extra:
        extra(out, state)
    out.append((end, state['width']))
    return out


def pack(codes):
    bits = n = 0
    data = bytearray()
    for code, width in codes:
        bits |= code << n
        n += width
        while n >= 8:
            data.append(bits & 255)
            bits >>= 8
            n -= 8
    if n:
        data.append(bits & 255)
    return bytes(data)


def blocks(data, sizes=(255,), terminate=True):
    out = bytearray()
    i = k = 0
    while i < len(data):
        n = min(sizes[k % len(sizes)], len(data) - i)
        out += bytes([n]) + data[i:i + n]
        i += n
        k += 1
    return bytes(out) + (b'\0' if terminate else b'')


def table_bits(colors):
    size = 1
    while (2 << (size - 1)) < len(colors):
        size += 1
    return size - 1, colors + [(0, 0, 0)] * ((2 << (size - 1)) - len(colors))


def image_block(x, y, w, h, data, local=None, interlace=False):
    flags = 0x40 if interlace else 0
    tail = b''
    if local is not None:
        bits, padded = table_bits(local)
        flags |= 0x80 | bits
        tail = b''.join(bytes(c) for c in padded)
    return b'\x2c' + struct.pack('<HHHHB', x, y, w, h, flags) + tail + data


def gif(width, height, colors, background, body, trailer=True):
    flags, table = 0, b''
    if colors is not None:
        bits, padded = table_bits(colors)
        flags = 0xF0 | bits
        table = b''.join(bytes(c) for c in padded)
    head = b'GIF89a' + struct.pack('<HHBBB', width, height, flags, background, 0) + table
    return head + body + (b'\x3b' if trailer else b'')


def palette(rng, n):
    return [(rng.randrange(256), rng.randrange(256), rng.randrange(256)) for _ in range(n)]


def interlaced_order(h):
    return [y for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)) for y in range(start, h, step)]


class Model:
    """The expected picture: background, then images (indices as decoded, in stream order)."""

    def __init__(self, width, height, colors, background):
        self.w, self.h = width, height
        self.bg = (255, 255, 255) if colors is None else padded(colors)[background]
        self.rgb = [self.bg] * (width * height)

    def draw(self, x0, y0, w, h, stream, table, interlace=False):
        rows = interlaced_order(h) if interlace else list(range(h))
        stream = (list(stream) + [0] * (w * h))[:w * h]
        for s, y in enumerate(rows):
            for x in range(w):
                i = stream[s * w + x]
                c = table[i] if i < len(table) else (0, 0, 0)
                if 0 <= x0 + x < self.w and 0 <= y0 + y < self.h:
                    self.rgb[(y0 + y) * self.w + x0 + x] = c

    def ppm(self):
        return b'P6\n%d %d\n255\n' % (self.w, self.h) + b''.join(bytes(c) for c in self.rgb)


def padded(colors):
    return table_bits(colors)[1]


def main():
    out, convert = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    rng = random.Random(16)
    lines = []

    def case(name, data, model, oracle):
        path = os.path.join(out, name + '.gif')
        with open(path, 'wb') as f:
            f.write(data)
        if model is None:
            lines.append(f'{name}.gif\tnone\t0\t0')
            return
        expected = model.ppm()
        if oracle:  # ImageMagick's rendering must agree with the model
            bg = 'rgb(%d,%d,%d)' % model.bg
            im = subprocess.run([convert, path, '-background', bg, '-flatten', '-depth', '8', 'ppm:-'],
                                check=True, stdout=subprocess.PIPE).stdout
            if im != expected:
                sys.exit(f'{name}: ImageMagick and the model differ')
            expected = im
        with open(os.path.join(out, name + '.rgb'), 'wb') as f:
            f.write(expected[-model.w * model.h * 3:])
        lines.append(f'{name}.gif\t{name}.rgb\t{model.w}\t{model.h}')

    def single(name, w, h, ncolors, min_size, sizes=(255,), interlace=False, oracle=True, deferred=False,
               clear_late=0, pixels=None, extra=None, decoded=None, colors=None, background=0):
        colors = colors or palette(rng, ncolors)
        pixels = pixels if pixels is not None else [rng.randrange(ncolors) for _ in range(w * h)]
        data = bytes([min_size]) + blocks(pack(lzw(pixels, min_size, deferred, clear_late, extra)), sizes)
        m = Model(w, h, colors, background)
        m.draw(0, 0, w, h, pixels if decoded is None else decoded, padded(colors), interlace)
        case(name, gif(w, h, colors, background, image_block(0, 0, w, h, data, interlace=interlace)), m, oracle)

    # Well-formed: code sizes, sub-block lengths, the full table kept or cleared, interlace.
    single('min1', 13, 7, 2, 1, sizes=(1,), oracle=False)  # ImageMagick refuses size 1
    single('min2-blocks', 17, 9, 4, 2, sizes=(7, 1, 2, 254))
    single('min3-runs', 31, 5, 8, 3, pixels=[(i // 9) % 8 for i in range(155)])
    single('min8-deferred', 100, 80, 256, 8, sizes=(1,), deferred=True)
    single('min8-deferred-clear', 120, 90, 256, 8, deferred=True, clear_late=300)
    single('min8-clears', 120, 90, 256, 8, sizes=(200, 3))
    single('interlace-10', 9, 10, 16, 4, interlace=True)
    single('interlace-5', 6, 5, 16, 4, interlace=True)
    # Offset frames with local tables over the background.
    g, l1, l2 = palette(rng, 8), palette(rng, 4), palette(rng, 32)
    m = Model(40, 30, g, 5)
    body = b'\x21\xf9\x04\x00\x00\x00\x00\x00'  # an extension before the images, skipped
    for x, y, w, h, local, n in ((5, 3, 10, 8, l1, 4), (20, 10, 15, 15, None, 8), (0, 20, 33, 9, l2, 32)):
        px = [rng.randrange(n) for _ in range(w * h)]
        body += image_block(x, y, w, h, bytes([5]) + blocks(pack(lzw(px, 5)), (9,)), local)
        m.draw(x, y, w, h, px, padded(local or g))
    case('frames-local', gif(40, 30, g, 5, body), m, True)

    # Damaged data: the image keeps what decoded before the fault; the rest is index 0.
    px = [rng.randrange(4) for _ in range(64)]
    c4 = palette(rng, 4)
    for bad in (0, 9):
        data = bytes([bad]) + blocks(pack(lzw(px, 2)))
        mm = Model(8, 8, c4, 0)
        mm.draw(0, 0, 8, 8, [], padded(c4))
        case(f'min-size-{bad}', gif(8, 8, c4, 0, image_block(0, 0, 8, 8, data)), mm, False)

    def above_free(out_codes, st):
        out_codes.append((st['next'] + 1, st['width']))
    single('code-above-free', 8, 8, 4, 2, oracle=False, pixels=px[:20], extra=above_free, decoded=px[:20])

    def clear_twice(out_codes, st):
        out_codes += [(4, st['width']), (4, 3), (1, 3)]
    single('clear-clear', 8, 8, 4, 2, oracle=False, pixels=px[:10], extra=clear_twice, decoded=px[:10])
    single('past-the-end', 8, 8, 4, 2, oracle=False, pixels=px + px, decoded=px)
    single('interlace-past-the-end', 7, 3, 4, 2, oracle=False, interlace=True, pixels=px, decoded=px[:21])

    # No end code (the data stops), and an early end code with junk after it; the next image
    # still decodes.
    c = palette(rng, 4)
    codes = lzw(px[:30], 2)[:-1]
    a = bytes([2]) + blocks(pack(codes), (1,))
    b = bytes([2]) + blocks(pack(lzw(px[:12], 2)) + b'\xff\xee\xdd', (5,))
    second = bytes([2]) + blocks(pack(lzw(px[:16], 2)))
    mm = Model(8, 20, c, 3)
    mm.draw(0, 0, 8, 8, px[:30], padded(c))
    mm.draw(0, 8, 8, 4, px[:12], padded(c))
    mm.draw(0, 12, 8, 2, px[:16], padded(c))
    body = image_block(0, 0, 8, 8, a) + image_block(0, 8, 8, 4, b) + image_block(0, 12, 8, 2, second)
    case('end-code-late-early', gif(8, 20, c, 3, body), mm, False)

    # Indices and a background beyond the file's tables are black, not an earlier table's.
    big, small = palette(rng, 8), palette(rng, 2)
    p8 = [i % 8 for i in range(24)]
    body = image_block(0, 0, 6, 4, bytes([3]) + blocks(pack(lzw(p8, 3))), big)
    body += image_block(0, 4, 6, 4, bytes([3]) + blocks(pack(lzw(p8, 3))), small)
    g4 = palette(rng, 4)
    mm = Model(6, 12, g4, 0)
    mm.bg = (0, 0, 0)
    mm.rgb = [mm.bg] * (6 * 12)
    mm.draw(0, 0, 6, 4, p8, padded(big))
    mm.draw(0, 4, 6, 4, p8, padded(small))
    body += image_block(0, 8, 6, 4, bytes([3]) + blocks(pack(lzw(p8, 3))))
    mm.draw(0, 8, 6, 4, p8, padded(g4))
    case('beyond-tables', gif(6, 12, g4, 9, body), mm, False)

    # Refused: places and sides past 32,767, data ending early, unknown blocks, not a GIF.
    ok = bytes([2]) + blocks(pack(lzw(px[:4], 2)))
    case('place-32767', gif(8, 8, c4, 0, image_block(32000, 0, 768, 1, ok)), None, False)
    case('side-40000', gif(40000, 8, c4, 0, b''), None, False)
    case('truncated', gif(8, 8, c4, 0, image_block(0, 0, 8, 8, ok))[:-6], None, False)
    case('no-trailer', gif(8, 8, c4, 0, image_block(0, 0, 8, 8, ok), trailer=False), None, False)
    case('unknown-block', gif(8, 8, c4, 0, b'\x99'), None, False)
    case('not-gif', b'JIF89a' + bytes(20), None, False)

    with open(os.path.join(out, 'manifest.tsv'), 'w') as f:
        f.write('\n'.join(lines) + '\n')

    # The benchmark's picture: smooth bands with noise, as a photograph-like GIF compresses.
    brng = random.Random(1024)
    w, h = 1024, 768
    ppm = bytearray(b'P6\n%d %d\n255\n' % (w, h))
    for y in range(h):
        for x in range(w):
            n = brng.randrange(24)
            ppm += bytes(((x // 4 + n) & 255, (y // 3 + n) & 255, ((x + y) // 8) & 255))
    os.makedirs(sys.argv[3], exist_ok=True)
    bench_ppm = os.path.join(sys.argv[3], 'bench-1024x768.ppm')
    with open(bench_ppm, 'wb') as f:
        f.write(ppm)
    subprocess.run([convert, bench_ppm, '-colors', '256', os.path.join(sys.argv[3], 'bench-1024x768.gif')], check=True)


if __name__ == '__main__':
    main()
