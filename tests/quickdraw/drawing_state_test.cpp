// Colour constants, hexadecimal patterns and pattern bitmaps.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "quickdraw/drawing_state.h"

namespace qd = tstools::qd;

// Pen modes and the colour constants reaching the DC are the port tests'.
TEST(DrawingState, ClassicColoursUseFullIntensityFF00) {
  EXPECT_EQ(qd::ClassicColor(30).red, 0xFF00);
  EXPECT_EQ(qd::PaletteColorRef(qd::ClassicColor(409)), 0x02FF0000u);
  EXPECT_EQ(qd::PaletteColorRef({0x12FF, 0x3400, 0x56AB}), 0x02563412u) << "high bytes only";
}

TEST(DrawingState, HexDecodesPairsAndPadsAnOddDigit) {
  uint8_t out[4] = {9, 9, 9, 9};
  const uint8_t text[] = {6, 'F', 'F', '0', '0', 'a', '5'};
  EXPECT_EQ(qd::DecodeHex(text, out), 3u);
  EXPECT_EQ(std::make_tuple(out[0], out[1], out[2], out[3]), std::make_tuple(0xFF, 0x00, 0xA5, 9))
      << "nothing written past the last byte";
  const uint8_t odd[] = {3, '1', 'g', '7'};
  EXPECT_EQ(qd::DecodeHex(odd, out), 2u);
  EXPECT_EQ(std::make_tuple(out[0], out[1]), std::make_tuple(0x10, 0x70)) << "a non-digit counts as 0";
  const uint8_t none[] = {0};
  EXPECT_EQ(qd::DecodeHex(none, out), 0u);
}

TEST(DrawingState, PatternBitmapsInvertRows) {
  const uint8_t pattern[8] = {0xFF, 0x00, 0x81, 0x42, 0x24, 0x18, 0xF0, 0x0F};
  uint8_t rows[16];
  qd::PatternBitmapRows(pattern, rows);
  EXPECT_EQ(std::make_tuple(rows[0], rows[2], rows[4], rows[14]), std::make_tuple(0x00, 0xFF, 0x7E, 0xF0));
  for (int y = 0; y < 8; ++y) EXPECT_EQ(rows[2 * y + 1], 0) << "rows padded to 16 bits";
  uint8_t bits[32];
  qd::PatternBrushBits(pattern, bits);
  EXPECT_EQ(bits[0], 0xF0) << "bottom-up: the first stored row is the last pattern row, inverted";
  EXPECT_EQ(bits[28], 0x00);
  EXPECT_EQ(bits[1] | bits[2] | bits[3], 0);
}

TEST(DrawingState, BrushGridOffsetIsAlwaysPositive) {
  EXPECT_EQ(qd::BrushGridOffset(13), 5);
  EXPECT_EQ(qd::BrushGridOffset(-3), 5);
  EXPECT_EQ(qd::BrushGridOffset(-16), 0);
}
