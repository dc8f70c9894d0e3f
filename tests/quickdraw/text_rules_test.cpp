// The arithmetic of text drawing: drawn bytes, justification, condense/extend spacing,
// simulated bold and the shrinking of small raster fonts.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "quickdraw/text_rules.h"

namespace qd = tstools::qd;

namespace {

const uint8_t *B(const char *s) { return reinterpret_cast<const uint8_t *>(s); }
int N(const char *s) { return static_cast<int>(std::strlen(s)); }

}  // namespace

TEST(TextRules, DrawnBytesDropOneTrailingReturn) {
  struct Case {
    const char *text;
    int count, drawn;
  } cases[] = {
      {"\r", 1, 0}, {"ab\r", 3, 2}, {"a\rb", 3, 3}, {"ab\r\r", 4, 3}, {"ab", 0, 0}, {"ab", -4, 0},
  };
  for (const Case &c : cases) EXPECT_EQ(qd::DrawableLength(B(c.text), c.count), c.drawn) << c.text << " " << c.count;
  EXPECT_EQ(qd::DrawableLength(nullptr, 5), 0);
}

TEST(TextRules, JustificationWidensInnerBreaksOnly) {
  struct Case {
    const char *text;
    int32_t spExtra;
    int breaks, extra, body;
  } cases[] = {
      {"a b c ", 0x20000, 2, 4, 5},   // the trailing space is not widened
      {"   ", 0x20000, 0, 0, 0},      // nothing but breaks: nothing to widen
      {" a", 0x18000, 1, 1, 2},       // 1.5 over one break: integer part
      {"a b c d", 0x18000, 3, 4, 7},  // 4.5
      {"a b", -0x18000, 1, -1, 3},    // narrowing truncates toward zero
  };
  for (const Case &c : cases) {
    int breaks = qd::CountInnerBreaks(B(c.text), N(c.text), ' ');
    EXPECT_EQ(breaks, c.breaks) << c.text;
    EXPECT_EQ(qd::JustificationExtra(c.spExtra, breaks), c.extra) << c.text;
    EXPECT_EQ(qd::LengthWithoutTrailingBreaks(B(c.text), N(c.text), ' '), c.body) << c.text;
  }
  EXPECT_GT(qd::JustificationExtra(0x7FFFFFFF, 0x7FFF), 1000000000) << "no overflow in the product";
}

TEST(TextRules, CondenseAndExtendSpacing) {
  struct Case {
    uint8_t face;
    int average, extra;
  } cases[] = {
      {0, 20, 0},
      {qd::kFaceExtend, 20, 4},
      {qd::kFaceCondense, 20, -4},
      {qd::kFaceExtend, 4, 1},  // at least one unit
      {qd::kFaceCondense, 0, -1},
  };
  for (const Case &c : cases) EXPECT_EQ(qd::CondenseExtendExtra(c.face, c.average), c.extra) << int(c.face) << " " << c.average;
}

TEST(TextRules, StyleDecisions) {
  qd::FaceAttributes a = qd::AttributesOfFace(qd::kFaceBold | qd::kFaceUnderline | qd::kFaceStrikeOut | qd::kFaceShadow);
  EXPECT_EQ(std::make_tuple(a.weight, a.italic, a.underline, a.strikeOut), std::make_tuple(700, false, true, true));
  a = qd::AttributesOfFace(qd::kFaceItalic);
  EXPECT_EQ(std::make_pair(a.weight, a.italic), std::make_pair(400, true));

  EXPECT_TRUE(qd::SimulatesBold(qd::kFaceBold, 0, 9, 10));
  EXPECT_FALSE(qd::SimulatesBold(qd::kFaceBold, 0, 10, 10));
  EXPECT_FALSE(qd::SimulatesBold(qd::kFaceBold, 2, 9, 10)) << "printers get the real bold";
  EXPECT_FALSE(qd::SimulatesBold(qd::kFaceItalic, 0, 9, 10));
  EXPECT_FALSE(qd::SimulatesBold(qd::kFaceBold, 0, 9, 0)) << "0: bold at every size";

  EXPECT_TRUE(qd::ShrinksRasterFont(6, false, 0, 0x01));
  EXPECT_TRUE(qd::ShrinksRasterFont(7, false, 1, 0x00));
  EXPECT_FALSE(qd::ShrinksRasterFont(8, false, 0, 0x01));
  EXPECT_FALSE(qd::ShrinksRasterFont(6, true, 0, 0x01));
  EXPECT_FALSE(qd::ShrinksRasterFont(6, false, 0, 0x02)) << "vector fonts scale themselves";
}

TEST(TextRules, ShrunkWidthsAndMetrics) {
  // A 13-pixel raster font asked for 6 points.
  int32_t scale = qd::RasterShrinkScale(6, 10, 3);
  EXPECT_EQ(scale, 30247);  // 6/13 in 16.16, truncated
  EXPECT_EQ(std::make_pair(qd::ScaleTruncated(13, scale), qd::ScaleTruncated(-13, scale)), std::make_pair(5, -5))
      << "5.99..., truncated toward zero";

  int widths[256] = {};
  widths['i'] = 2;  // 0.92 rounds to 1
  widths['m'] = 11; // 5.08 rounds to 5
  widths['w'] = 9;  // 4.15 rounds to 4
  widths[' '] = 1;  // 0.46 rounds to 0, at least 1
  const uint8_t text[] = {'m', 'i', ' ', 'w'};
  EXPECT_EQ(qd::ShrunkRunWidth(widths, text, 4, 0, scale), 5 + 1 + 1 + 4);
  EXPECT_EQ(qd::ShrunkRunWidth(widths, text, 4, 2, scale), 4 + 1 + 1 + 3) << "overhang off each before scaling";
  EXPECT_EQ(qd::ShrunkRunWidth(widths, text, 0, 0, scale), 0);

  EXPECT_EQ(qd::RunWidth(qd::RunCase::Plain, 30, 2, 5, 4, scale), 28);
  EXPECT_EQ(qd::RunWidth(qd::RunCase::CharacterExtra, 30, 2, -3, 4, scale), 16);
  EXPECT_EQ(qd::RunWidth(qd::RunCase::Shrunk, 30, 2, 5, 4, scale), 12);  // 28 x 6/13 = 12.9
  EXPECT_EQ(qd::ToWidth16(70000), 70000 - 65536);
}
