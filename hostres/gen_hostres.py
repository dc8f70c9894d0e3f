#!/usr/bin/env python3
"""Generate the binary resources of TSHOSTRES.DLL.

Usage: gen_hostres.py OUTPUT_DIR

Every file is produced from the tables in this script, so the build does not
depend on committed binaries and a reader can see what each byte means.
Integers read by the library through its own structures are little-endian;
the picture is big-endian because PICT data keeps its original byte order.
"""

import os
import struct
import sys

# ---------------------------------------------------------------------------
# String lists: a 16-bit little-endian count, then length-prefixed strings.
# Texts are stored in the Windows character set (cp1252); the library maps
# them to the Mac character set after loading.


def string_list(strings):
    out = bytearray(struct.pack("<H", len(strings)))
    for text in strings:
        raw = text.encode("cp1252")
        if len(raw) > 255:
            raise ValueError("string list entry longer than 255 bytes: %r" % text)
        out.append(len(raw))
        out += raw
    return bytes(out)


# ---------------------------------------------------------------------------
# Menus. "MAC_MENU" layout (little-endian):
#   u16 menu id, u32 enable mask (bit n-1 enables item n), u16 menu enabled,
#   u16 item count, then per item u16 command character (0 none),
#   u16 mark character, u16 unused.
# "MENU_STR_" of the same id: string 1 is the title, string 2n the text of
# item n and string 2n+1 its shortcut text. A text starting "(-" is a
# separator. The shortcut text begins with a tab so Windows right-aligns it;
# the library rebuilds it from string 15000 when the item has a command key.

SEPARATOR = ("(-", None)

MENUS = {
    128: ("&File", [
        ("New", "N"),
        ("Open...", "O"),
        SEPARATOR,
        ("Close", "W"),
        ("Save", "S"),
        ("Save As...", None),
        SEPARATOR,
        ("Quit", "Q"),
    ]),
    129: ("&Edit", [
        ("Undo", "Z"),
        SEPARATOR,
        ("Cut", "X"),
        ("Copy", "C"),
        ("Paste", "V"),
        ("Clear", None),
        SEPARATOR,
        ("Select All", "A"),
    ]),
}


def mac_menu(menu_id, items):
    if len(items) > 32:
        raise ValueError("the enable mask covers 32 items")
    mask = 0
    for n, (text, _) in enumerate(items, start=1):
        if not text.startswith("(-"):
            mask |= 1 << (n - 1)
    out = bytearray(struct.pack("<HIHH", menu_id, mask, 1, len(items)))
    for _, key in items:
        command = ord(key) if key else 0
        out += struct.pack("<HHH", command, 0, 0)
    return bytes(out)


def menu_strings(title, items):
    strings = [title]
    for text, key in items:
        strings.append(text)
        strings.append("\tCtrl+" + key if key else "")
    return string_list(strings)


# ---------------------------------------------------------------------------
# Case tables ("CONV" 1 and 2) and the character type table ("CONV" 3) for
# Mac Roman. Table 1 gives a byte's lower-case form, table 2 its upper-case
# form; a letter's entry in its own case is the letter itself (the case test
# relies on that), and 0 means the byte has no form in that case. Pairs are
# kept only where both forms exist in Mac Roman, so the tables are inverse
# to each other; Greek symbols (mu, pi, Omega) are treated as symbols.

GREEK_SYMBOLS = {0xB5, 0xB9, 0xBD}


def mac_char(byte):
    return bytes([byte]).decode("mac_roman")


def mac_byte(char):
    try:
        raw = char.encode("mac_roman")
    except UnicodeEncodeError:
        return None
    return raw[0] if len(raw) == 1 else None


def is_letter(byte):
    # Modifier letters (circumflex, caron) have no case and count as symbols.
    char = mac_char(byte)
    return byte >= 0x41 and byte not in GREEK_SYMBOLS and char.isalpha() and \
        (char.islower() or char.isupper())


def case_tables():
    lower = bytearray(256)
    upper = bytearray(256)
    for byte in range(256):
        if not is_letter(byte):
            continue
        char = mac_char(byte)
        if char.islower():
            lower[byte] = byte
            partner = mac_byte(char.upper())
            if partner not in (None, byte) and mac_byte(mac_char(partner).lower()) == byte:
                upper[byte] = partner
        elif char.isupper():
            upper[byte] = byte
            partner = mac_byte(char.lower())
            if partner not in (None, byte) and mac_byte(mac_char(partner).upper()) == byte:
                lower[byte] = partner
    return bytes(lower), bytes(upper)


# Type byte: bits 0-3 class, bits 4-6 subclass, bit 7 upper-case flag.
# Class 0 is punctuation, 1 an ASCII letter, 7 an accented or other
# non-ASCII letter. Punctuation subclasses: 0 normal, 1 digit, 2 symbol,
# 3 blank. A byte of class 0 whose subclass is not 1 separates words, so
# digits stay inside words.
TYPE_PUNCT, TYPE_DIGIT, TYPE_SYMBOL, TYPE_BLANK = 0x00, 0x10, 0x20, 0x30
TYPE_ASCII_LOWER, TYPE_ASCII_UPPER = 0x01, 0x81
TYPE_EXTRA_LOWER, TYPE_EXTRA_UPPER = 0x07, 0x87
TYPES = [TYPE_PUNCT, TYPE_DIGIT, TYPE_SYMBOL, TYPE_BLANK,
         TYPE_ASCII_LOWER, TYPE_ASCII_UPPER, TYPE_EXTRA_LOWER, TYPE_EXTRA_UPPER]

BLANKS = {0x09, 0x0A, 0x0D, 0x20, 0xCA}  # 0xCA is the non-breaking space


def char_type_table():
    index = bytearray(256)
    for byte in range(256):
        if byte in BLANKS:
            kind = TYPE_BLANK
        elif 0x30 <= byte <= 0x39:
            kind = TYPE_DIGIT
        elif is_letter(byte):
            upper = mac_char(byte).isupper()
            if byte < 0x80:
                kind = TYPE_ASCII_UPPER if upper else TYPE_ASCII_LOWER
            else:
                kind = TYPE_EXTRA_UPPER if upper else TYPE_EXTRA_LOWER
        elif byte < 0x20 or byte == 0x7F:
            kind = TYPE_PUNCT
        elif byte >= 0x80 or chr(byte) in "#$%&*+<=>@\\^_`|~":
            kind = TYPE_SYMBOL
        else:
            kind = TYPE_PUNCT
        index[byte] = TYPES.index(kind)
    return bytes(index) + bytes(TYPES)


# Smart quotes in Mac Roman: straight, left and right single; straight, left
# and right double.
SMART_QUOTES = bytes([0x27, 0xD4, 0xD5, 0x22, 0xD2, 0xD3])

# ---------------------------------------------------------------------------
# Pattern list "PAT#128": u16 count, then 8-byte patterns (top row first,
# most significant bit leftmost).

PATTERNS = [
    [0xFF] * 8,                                          # black
    [0x77, 0xDD] * 4,                                    # dark grey
    [0xAA, 0x55] * 4,                                    # grey
    [0x88, 0x22] * 4,                                    # light grey
    [0x00] * 8,                                          # white
    [0xFF, 0x00, 0x00, 0x00] * 2,                        # horizontal lines
    [0x88] * 8,                                          # vertical lines
    [0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80],    # diagonal
    [0xFF, 0x80, 0x80, 0x80, 0xFF, 0x08, 0x08, 0x08],    # bricks
]


def pattern_list():
    out = bytearray(struct.pack("<H", len(PATTERNS)))
    for rows in PATTERNS:
        assert len(rows) == 8
        out += bytes(rows)
    return bytes(out)


# ---------------------------------------------------------------------------
# "PICT" 128: a version 2 picture, 60 x 40 points, a red filled rectangle
# framed in black with a diagonal line. Big-endian throughout; rectangles are
# top, left, bottom, right; points v, h. Every opcode and its data occupy an
# even number of bytes, as version 2 requires.


def be16(*values):
    return b"".join(struct.pack(">h" if v < 0 else ">H", v) for v in values)


def picture():
    frame = be16(0, 0, 40, 60)
    inner = be16(4, 4, 36, 56)
    body = bytearray()
    body += frame
    body += be16(0x0011, 0x02FF)                   # version 2
    body += be16(0x0C00)                           # header, extended form:
    body += be16(-2, 0)                            #   version -2, reserved
    body += struct.pack(">ii", 72 << 16, 72 << 16)  # 72 dpi both ways (Fixed)
    body += frame                                  #   source rectangle
    body += struct.pack(">I", 0)                   #   reserved
    body += be16(0x001E)                           # default highlight
    body += be16(0x0001, 10) + frame               # clip: rectangular region
    body += be16(0x001A, 0xFFFF, 0, 0)             # foreground red
    body += be16(0x0031) + inner                   # paint rectangle
    body += be16(0x001A, 0, 0, 0)                  # foreground black
    body += be16(0x0007, 2, 2)                     # pen 2 x 2
    body += be16(0x0030) + inner                   # frame rectangle
    body += be16(0x0020, 4, 4, 36, 56)             # line from (4,4) to (36,56)
    body += be16(0x00FF)                           # end of picture
    size = 2 + len(body)
    return struct.pack(">H", size & 0xFFFF) + bytes(body)


# ---------------------------------------------------------------------------
# Filter lists: pairs of NUL-terminated description and pattern, ended by an
# empty string.

FILTERS = {
    1: [("Text documents (*.txt)", "*.txt"),
        ("All files (*.*)", "*.*")],
    2: [("Pictures (*.pct;*.pict)", "*.pct;*.pict"),
        ("Windows metafiles (*.wmf)", "*.wmf"),
        ("All files (*.*)", "*.*")],
}


def filter_list(pairs):
    out = bytearray()
    for description, pattern in pairs:
        out += description.encode("cp1252") + b"\0"
        out += pattern.encode("cp1252") + b"\0"
    return bytes(out + b"\0")


# Initial text of the profile file created under Win32s; zero-terminated.
PROFILE_TEMPLATE = (
    "; Settings of the Demo Host\r\n"
    "[Vantor]\r\n"
    "Vantor Directory=\r\n"
).encode("ascii") + b"\0"

# Indexed host messages, "STR_LIST" 128.
MESSAGES = [
    "Untitled",
    "Save changes to this document before closing?",
    "The document could not be opened.",
    "There is not enough memory to complete this operation.",
]

# ---------------------------------------------------------------------------
# Images. Everything is drawn on a grid of indexes into the standard 16-colour
# palette; magenta (13) is the transparent colour of the image lists.

PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, GREEN, SILVER, GREY, RED, LIME, BLUE, MAGENTA, WHITE = 0, 2, 7, 8, 9, 10, 12, 13, 15


class Canvas:
    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, left, top, right, bottom, colour):
        """Fill the half-open rectangle [left, right) x [top, bottom)."""
        for y in range(top, bottom):
            for x in range(left, right):
                self.set(x, y, colour)

    def paste(self, other, left, top):
        for y in range(other.height):
            for x in range(other.width):
                self.set(left + x, top + y, other.pixels[y][x])


def strip(images):
    width = sum(image.width for image in images)
    out = Canvas(width, images[0].height, MAGENTA)
    left = 0
    for image in images:
        out.paste(image, left, 0)
        left += image.width
    return out


def pack_rows(rows, bits):
    """Pack palette indexes bottom-up into DIB rows padded to 32 bits."""
    out = bytearray()
    for row in reversed(rows):
        acc, nbits, line = 0, 0, bytearray()
        for value in row:
            acc = (acc << bits) | value
            nbits += bits
            if nbits == 8:
                line.append(acc)
                acc, nbits = 0, 0
        if nbits:
            line.append(acc << (8 - nbits))
        while len(line) % 4:
            line.append(0)
        out += line
    return bytes(out)


def dib_header(width, height, bits, image_size, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0,
                       image_size, 2835, 2835, colours, 0)


def palette_bytes(palette):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)


def bmp_file(canvas):
    bits = pack_rows(canvas.pixels, 4)
    info = dib_header(canvas.width, canvas.height, 4, len(bits), 16) + palette_bytes(PALETTE)
    offset = 14 + len(info)
    return struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset) + info + bits


def icon_image(colour, mask, bits, palette):
    """An icon or cursor image: header with doubled height, colour bits, AND mask."""
    xor = pack_rows(colour.pixels, bits)
    and_mask = pack_rows(mask, 1)
    header = dib_header(colour.width, colour.height * 2, bits, len(xor) + len(and_mask), 0)
    return header + palette_bytes(palette) + xor + and_mask


def icon_file(kind, entries):
    """kind 1: icon, entries (canvas, mask, bits, palette, (planes, bitcount));
    kind 2: cursor, where the two words hold the hot spot."""
    out = bytearray(struct.pack("<HHH", 0, kind, len(entries)))
    images = [icon_image(c, m, b, p) for c, m, b, p, _ in entries]
    offset = 6 + 16 * len(entries)
    for (canvas, _, bits, _, words), image in zip(entries, images):
        colours = 0 if bits >= 8 else (1 << bits) & 0xFF
        out += struct.pack("<BBBBHHII", canvas.width & 0xFF, canvas.height & 0xFF,
                           colours, 0, words[0], words[1], len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


CHECK = [(3, 5), (3, 6), (3, 7), (4, 6), (4, 7), (4, 8), (5, 7), (5, 8), (5, 9),
         (6, 6), (6, 7), (6, 8), (7, 5), (7, 6), (7, 7), (8, 4), (8, 5), (8, 6),
         (9, 3), (9, 4), (9, 5)]


# An inactive control draws its dark inner edge in the shadow colour, so that
# it stays distinguishable from a pushed one (both have a face-coloured well).
def check_box(checked, pushed, inactive):
    size = 14
    dark = GREY if inactive else BLACK
    c = Canvas(size, size, MAGENTA)
    c.rect(0, 0, size, size, WHITE)              # outer bottom and right: highlight
    c.rect(0, 0, size - 1, 1, GREY)              # outer top: shadow
    c.rect(0, 0, 1, size - 1, GREY)              # outer left
    c.rect(1, 1, size - 1, size - 1, SILVER)     # inner bottom and right: face
    c.rect(1, 1, size - 2, 2, dark)              # inner top: dark shadow
    c.rect(1, 1, 2, size - 2, dark)              # inner left
    c.rect(2, 2, size - 2, size - 2, SILVER if pushed or inactive else WHITE)
    if checked and not inactive:
        for x, y in CHECK:
            c.set(x, y, BLACK)
    return c


def radio_button(checked, pushed, inactive):
    size = 14
    c = Canvas(size, size, MAGENTA)
    centre = (size - 1) / 2.0
    for y in range(size):
        for x in range(size):
            dx, dy = x - centre, y - centre
            d2 = dx * dx + dy * dy
            if d2 > 6.6 ** 2:
                continue
            upper_left = dx + dy < 0
            if d2 > 5.6 ** 2:
                c.set(x, y, GREY if upper_left else WHITE)
            elif d2 > 4.6 ** 2:
                dark = GREY if inactive else BLACK
                c.set(x, y, dark if upper_left else SILVER)
            else:
                c.set(x, y, SILVER if pushed or inactive else WHITE)
                if checked and not inactive and d2 <= 1.9 ** 2:
                    c.set(x, y, BLACK)
    return c


def check_images():
    # Order matches the library's state table: normal, checked, pushed,
    # pushed and checked, inactive; check boxes first, then radio buttons.
    states = [(False, False, False), (True, False, False), (False, True, False),
              (True, True, False), (False, False, True)]
    return strip([check_box(*s) for s in states] + [radio_button(*s) for s in states])


def record_buttons():
    images = []
    record = Canvas(22, 22, MAGENTA)
    for y in range(22):
        for x in range(22):
            if (x - 10.5) ** 2 + (y - 10.5) ** 2 <= 6.2 ** 2:
                record.set(x, y, RED)
    images.append(record)
    stop = Canvas(22, 22, MAGENTA)
    stop.rect(6, 6, 16, 16, BLACK)
    images.append(stop)
    pause = Canvas(22, 22, MAGENTA)
    pause.rect(6, 6, 9, 16, BLACK)
    pause.rect(13, 6, 16, 16, BLACK)
    images.append(pause)
    play = Canvas(22, 22, MAGENTA)
    for x in range(7, 16):
        half = (15 - x) * 6.0 / 8.0       # apex at (15, 10.5)
        play.rect(x, int(10.5 - half + 0.5), x + 1, int(10.5 + half + 0.5) + 1, BLACK)
    images.append(play)
    return strip(images)


def level_meter():
    images = []
    heights = [6, 9, 12, 15]
    for level in range(5):
        c = Canvas(18, 18, MAGENTA)
        for bar, height in enumerate(heights):
            left = 1 + bar * 4
            lit = bar < level
            colour = (RED if bar == 3 else LIME) if lit else GREY
            c.rect(left, 17 - height, left + 3, 17, colour)
        images.append(c)
    return strip(images)


def document_icon(size):
    c = Canvas(size, size, BLACK)
    mask = [[1] * size for _ in range(size)]
    s = size / 32.0
    left, top, right, bottom = int(6 * s), int(2 * s), int(26 * s), int(30 * s)
    fold = int(7 * s)
    for y in range(top, bottom):
        for x in range(left, right):
            if x - (right - fold) > y - top:     # cut-off corner
                continue
            edge = x in (left, right - 1) or y in (top, bottom - 1) or \
                x - (right - fold) == y - top
            c.set(x, y, BLACK if edge else WHITE)
            mask[y][x] = 0
    for y in range(top + int(9 * s), bottom - int(3 * s), max(2, int(3 * s))):
        for x in range(left + int(3 * s), right - int(3 * s)):
            c.set(x, y, BLUE)
    return c, mask


def target_cursor():
    # Monochrome: AND 1 with colour 0 is transparent, AND 0 with colour 0
    # black, AND 0 with colour 1 white. Black marks with a white halo so the
    # cursor shows on any background; hot spot in the centre.
    size, centre = 32, 15
    black = set()
    for y in range(size):
        for x in range(size):
            d2 = (x - centre) ** 2 + (y - centre) ** 2
            on_ring = 7.5 ** 2 <= d2 <= 8.5 ** 2
            on_cross = (x == centre and abs(y - centre) <= 13 and abs(y - centre) != 0) or \
                       (y == centre and abs(x - centre) <= 13 and abs(x - centre) != 0)
            if on_ring or on_cross:
                black.add((x, y))
    colour = Canvas(size, size, 0)
    mask = [[1] * size for _ in range(size)]
    for x, y in black:
        for dy in (-1, 0, 1):
            for dx in (-1, 0, 1):
                xx, yy = x + dx, y + dy
                if 0 <= xx < size and 0 <= yy < size and (xx, yy) not in black:
                    colour.set(xx, yy, 1)
                    mask[yy][xx] = 0
    for x, y in black:
        colour.set(x, y, 0)
        mask[y][x] = 0
    return icon_file(2, [(colour, mask, 1, [(0, 0, 0), (255, 255, 255)], (centre, centre))])


def host_icon():
    entries = []
    for size in (32, 16):
        canvas, mask = document_icon(size)
        entries.append((canvas, mask, 4, PALETTE, (1, 4)))
    return icon_file(1, entries)


# ---------------------------------------------------------------------------


def outputs():
    lower, upper = case_tables()
    files = {
        "conv_lower.bin": lower,
        "conv_upper.bin": upper,
        "conv_type.bin": char_type_table(),
        "smqt.bin": SMART_QUOTES,
        "pattern_list.bin": pattern_list(),
        "picture.pict": picture(),
        "profile_template.txt": PROFILE_TEMPLATE,
        "messages.strl": string_list(MESSAGES),
        "check_images.bmp": bmp_file(check_images()),
        "record_buttons.bmp": bmp_file(record_buttons()),
        "level_meter.bmp": bmp_file(level_meter()),
        "host.ico": host_icon(),
        "target.cur": target_cursor(),
    }
    for menu_id, (title, items) in MENUS.items():
        files["menu%d.bin" % menu_id] = mac_menu(menu_id, items)
        files["menu%d.strl" % menu_id] = menu_strings(title, items)
    for filter_id, pairs in FILTERS.items():
        files["filter%d.bin" % filter_id] = filter_list(pairs)
    return files


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: gen_hostres.py OUTPUT_DIR\n")
        return 2
    directory = sys.argv[1]
    os.makedirs(directory, exist_ok=True)
    for name, data in outputs().items():
        with open(os.path.join(directory, name), "wb") as out:
            out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
