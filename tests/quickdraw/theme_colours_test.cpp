// Recolouring a bitmap's colour table and reading a packed DIB resource within its bytes. The
// edge plan, check images and dither are checked against user32's pixels in themed_test.cpp.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "quickdraw/theme_colours.h"

using namespace tstools::qd;

namespace {

// A 4-bit 2 x 1 DIB with `entries` colour-table entries (0 means the full 16).
std::vector<uint8_t> Dib(uint32_t used, size_t entries, size_t pixelBytes = 4) {
  std::vector<uint8_t> d(40 + entries * 4 + pixelBytes, 0);
  uint32_t header[] = {40, 2, 1, 1u | 4u << 16, 0, 0, 0, 0, used, 0};
  std::memcpy(d.data(), header, sizeof header);
  return d;
}

}  // namespace

TEST(ThemeColours, RecoloursOnlyTheFourGreysOfTheFirstSixteenEntries) {
  ThemeColours c;
  c.text = 0x000011, c.shadow = 0x002200, c.face = 0x330000, c.highlight = 0x445566;
  // Blue, green, red, reserved: black, dark grey, light grey, white, magenta, then 13 more
  // whites of which only the first 11 are still in reach.
  std::vector<uint8_t> table = {0, 0, 0, 0, 0x80, 0x80, 0x80, 0, 0xC0, 0xC0, 0xC0, 0, 0xFF, 0xFF, 0xFF, 0,
                                0xFF, 0, 0xFF, 0};
  for (int i = 0; i < 13; ++i) table.insert(table.end(), {0xFF, 0xFF, 0xFF, 9});
  EXPECT_EQ(RecolourTable(table.data(), 18, 4, c), 15u);
  std::vector<uint8_t> head(table.begin(), table.begin() + 20);
  EXPECT_EQ(head, std::vector<uint8_t>({0, 0, 0x11, 0, 0, 0x22, 0, 0, 0x33, 0, 0, 0, 0x44, 0x55, 0x66, 0,
                                        0xFF, 0, 0xFF, 0}));
  EXPECT_EQ(table[15 * 4 + 2], 0x66) << "entry 15 recoloured";
  EXPECT_EQ(table[16 * 4 + 2], 0xFF) << "entry 16 left alone";
  EXPECT_EQ(table[16 * 4 + 3], 9) << "reserved bytes kept";

  std::vector<uint8_t> core = {0x80, 0x80, 0x80, 0xFF, 0xFF, 0xFF};  // RGBTRIPLE entries
  EXPECT_EQ(RecolourTable(core.data(), 2, 3, c), 2u);
  EXPECT_EQ(core, std::vector<uint8_t>({0, 0x22, 0, 0x44, 0x55, 0x66}));
}

TEST(ThemeColours, ColourTableDibsAreReadWithinTheirBytes) {
  DibLayout d;
  auto full = Dib(0, 16);
  ASSERT_TRUE(ParseColourTableDib(full.data(), full.size(), &d));
  EXPECT_EQ(std::vector<size_t>({d.headerSize, d.entrySize, d.colourCount, d.bitsOffset}),
            std::vector<size_t>({40, 4, 16, 40 + 64}));
  auto two = Dib(2, 2);
  ASSERT_TRUE(ParseColourTableDib(two.data(), two.size(), &d));
  EXPECT_EQ(d.colourCount, 2u) << "a short table is all the recolouring may touch";

  EXPECT_FALSE(ParseColourTableDib(full.data(), full.size() - 1, &d)) << "pixels cut short";
  EXPECT_FALSE(ParseColourTableDib(full.data(), 40 + 63, &d)) << "table cut short";
  EXPECT_FALSE(ParseColourTableDib(full.data(), 20, &d)) << "header cut short";
  auto tooMany = Dib(17, 17);
  EXPECT_FALSE(ParseColourTableDib(tooMany.data(), tooMany.size(), &d));
  auto deep = Dib(0, 0);
  deep[14] = 24;  // no colour table at all
  EXPECT_FALSE(ParseColourTableDib(deep.data(), deep.size(), &d));
  auto wide = Dib(0, 16);
  wide[4] = 0xFF, wide[5] = 0xFF, wide[6] = 0xFF, wide[7] = 0x7F;  // rows far past the data
  EXPECT_FALSE(ParseColourTableDib(wide.data(), wide.size(), &d));

  std::vector<uint8_t> core = {12, 0, 0, 0, 8, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0};
  ASSERT_TRUE(ParseColourTableDib(core.data(), core.size(), &d));
  EXPECT_EQ(std::vector<size_t>({d.entrySize, d.colourCount, d.bitsOffset}), std::vector<size_t>({3, 2, 18}));
  EXPECT_FALSE(ParseColourTableDib(nullptr, 100, &d));
}
