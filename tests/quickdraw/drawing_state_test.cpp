// Colour constants, hexadecimal patterns and the brush grid. Pattern bitmaps and brushes are
// checked where they draw: the port and shape tests.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "quickdraw/drawing_state.h"

namespace qd = tstools::qd;

// Pen modes and the colour constants reaching the DC are the port tests'.
TEST(DrawingState, ClassicColoursUseFullIntensityFF00) {
  EXPECT_EQ(qd::ClassicColor(30).red, 0xFF00);
  EXPECT_EQ(qd::PaletteColorRef({0x12FF, 0x3400, 0x56AB}), 0x02563412u) << "high bytes only";
  for (int32_t constant : {33, 30, 69, 137, 205, 273, 341, 409})
    EXPECT_EQ(qd::ClassicConstant(qd::ClassicColor(constant)), constant) << "the eight come back";
  EXPECT_EQ(qd::ClassicConstant({0x7FFF, 0x8000, 0xFFFF}), 273) << "cyan: red under half";
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

TEST(DrawingState, BrushGridOffsetIsAlwaysPositive) {
  EXPECT_EQ(qd::BrushGridOffset(13), 5);
  EXPECT_EQ(qd::BrushGridOffset(-3), 5);
  EXPECT_EQ(qd::BrushGridOffset(-16), 0);
}
