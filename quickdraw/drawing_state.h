// Pure rules of the port's drawing state: colour constants, pen modes, patterns. Portable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tstools::qd {

struct QdColor {
  uint16_t red, green, blue;
};

// The RGB of a classic colour constant (33 black, 30 white, ...); unknown values are black.
// Full intensity is 0xFF00.
QdColor ClassicColor(int32_t constant);
// The classic constant nearest an RGB: each component on from half intensity.
int32_t ClassicConstant(QdColor c);

// A palette-relative COLORREF (0x02bbggrr) from the high byte of each component.
uint32_t PaletteColorRef(QdColor c);

// The GDI mix mode (R2_*) for a pattern pen mode; no-operation (11) for anything else.
int MixModeForPenMode(int mode);

// Decodes length-prefixed hexadecimal text into dst; returns the bytes written
// ((length + 1) / 2). Digits are case-insensitive; other characters count as 0.
size_t DecodeHex(const uint8_t *text, uint8_t *dst);

// Rows of PatternToBitmap: pattern rows top first, inverted, each padded to 16 bits.
void PatternBitmapRows(const uint8_t pattern[8], uint8_t rows[16]);

// Pixels of a pattern brush's 1-bit DIB: bottom-up rows of 32 bits, inverted so that a set
// pattern bit selects colour-table entry 0 (the foreground).
void PatternBrushBits(const uint8_t pattern[8], uint8_t bits[32]);

// A coordinate reduced into 0..7, for brush origins on the screen's 8-pixel grid.
int BrushGridOffset(int coordinate);

}  // namespace tstools::qd
