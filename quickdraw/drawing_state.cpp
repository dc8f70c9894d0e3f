#include "quickdraw/drawing_state.h"

namespace tstools::qd {

QdColor ClassicColor(int32_t constant) {
  constexpr uint16_t kFull = 0xFF00;  // the Toolbox's full intensity for these constants
  switch (constant) {
    case 30: return {kFull, kFull, kFull};
    case 69: return {kFull, kFull, 0};
    case 137: return {kFull, 0, kFull};
    case 205: return {kFull, 0, 0};
    case 273: return {0, kFull, kFull};
    case 341: return {0, kFull, 0};
    case 409: return {0, 0, kFull};
    default: return {0, 0, 0};  // 33 and anything unknown
  }
}

int32_t ClassicConstant(QdColor c) {
  // Indexed by red, green, blue bits: black, blue, green, cyan, red, magenta, yellow, white.
  static const int32_t kByBits[8] = {33, 409, 341, 273, 205, 137, 69, 30};
  return kByBits[(c.red >= 0x8000 ? 4 : 0) | (c.green >= 0x8000 ? 2 : 0) | (c.blue >= 0x8000 ? 1 : 0)];
}

uint32_t PaletteColorRef(QdColor c) {
  return 0x02000000u | (c.red >> 8) | ((c.green >> 8) << 8) | ((c.blue >> 8) << 16);
}

int MixModeForPenMode(int mode) {
  // patCopy..notPatBic; the Toolbox's bit sense is inverted relative to RGB (black is 0).
  static const int kMix[8] = {13, 9, 10, 12, 4, 3, 7, 15};
  return mode >= 8 && mode <= 15 ? kMix[mode - 8] : 11;
}

size_t DecodeHex(const uint8_t *text, uint8_t *dst) {
  auto digit = [](uint8_t c) -> uint8_t {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
  };
  size_t length = text[0], written = 0;
  for (size_t i = 0; i < length; i += 2) {
    uint8_t high = digit(text[1 + i]);
    uint8_t low = i + 1 < length ? digit(text[2 + i]) : 0;
    dst[written++] = static_cast<uint8_t>(high << 4 | low);
  }
  return written;
}

void PatternBitmapRows(const uint8_t pattern[8], uint8_t rows[16]) {
  for (int y = 0; y < 8; ++y) {
    rows[2 * y] = static_cast<uint8_t>(~pattern[y]);
    rows[2 * y + 1] = 0;
  }
}

void PatternBrushBits(const uint8_t pattern[8], uint8_t bits[32]) {
  for (int row = 0; row < 8; ++row) {
    bits[4 * row] = static_cast<uint8_t>(~pattern[7 - row]);
    bits[4 * row + 1] = bits[4 * row + 2] = bits[4 * row + 3] = 0;
  }
}

int BrushGridOffset(int coordinate) {
  int r = coordinate % 8;
  return r < 0 ? r + 8 : r;
}

}  // namespace tstools::qd
