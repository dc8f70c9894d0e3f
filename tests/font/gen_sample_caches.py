#!/usr/bin/env python3
"""Writes font sample cache files for the tests, built with struct from the file's layout:
"VTF4", dirty marker, first free block, index offset, entry count; blocks (link, size, 24-byte
bitmap header, bits); the end marker 0xFFFFFFFF; 41-byte index entries."""
import os
import struct
import sys

END = 0xFFFFFFFF


def sample(width, height, fill):
    row = (width + 15) // 16 * 2
    return struct.pack('<IIIIHHI', 0, width, height, row, 1, 1, 0), bytes([fill]) * (row * height)


def cache(entries, free=(), dirty=0, link_override=None):
    """entries: (name, kind, width, height, fill); free: sizes of free blocks placed first."""
    blocks, offsets, at = [], [], 18
    free_offsets = []
    for size in free:
        free_offsets.append(at)
        blocks.append((size, struct.pack('<IIIIHHI', 0, 8, 1, 2, 1, 1, 0), bytes(size)))
        at += 32 + size
    for name, kind, width, height, fill in entries:
        header, bits = sample(width, height, fill)
        offsets.append(at)
        blocks.append((len(bits), header, bits))
        at += 32 + len(bits)
    end = at
    chain = free_offsets + [end]
    body = b''
    for i, (size, header, bits) in enumerate(blocks):
        link = chain[i + 1] if i < len(free_offsets) else 0
        if link_override is not None and i == 0:
            link = link_override
        body += struct.pack('<II', link, size) + header + bits
    index = b''.join(struct.pack('<32sBII', name.encode('latin-1'), kind, 0, off)
                     for (name, kind, *_), off in zip(entries, offsets))
    head = b'VTF4' + struct.pack('<IIIH', dirty, chain[0], end + 4, len(entries))
    return head + body + struct.pack('<I', END) + index


def main(out):
    os.makedirs(out, exist_ok=True)
    # A face the prefix has (its sample all black, unlike any drawn one) and one it has not.
    good = [('DejaVu Sans', 4, 20, 14, 0x00), ('No Such Face', 2, 10, 12, 0x5A)]
    files = {
        'valid.dat': cache(good, free=(64,)),
        'dirty.dat': cache(good, dirty=END),
        'cycle.dat': cache(good, free=(64,), link_override=18),
        'badkind.dat': cache([('DejaVu Sans', 3, 20, 14, 0)]),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main(sys.argv[1])
