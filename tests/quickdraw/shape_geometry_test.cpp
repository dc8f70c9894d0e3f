// Arc vectors, swept pens, hairlines, polygon record checks and the transfer-mode table.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "quickdraw/shape_geometry.h"

using namespace tstools::qd;

TEST(ArcDirection, CardinalAndDiagonalAnglesPointWhereTheClockSays) {
  const int cases[][3] = {{0, 0, -1000},   {45, 1000, -1000}, {90, 1000, 0},    {135, 1000, 1000}, {180, 0, 1000},
                          {270, -1000, 0}, {30, 577, -1000},  {60, 1000, -577}, {-90, -1000, 0},   {450, 1000, 0}};
  for (const auto &c : cases) {
    Vec v = ArcDirection(c[0]);
    EXPECT_EQ(std::make_pair(int(v.h), int(v.v)), std::make_pair(c[1], c[2])) << c[0] << " degrees";
  }
}

TEST(ArcEndPoints, ClockwiseArcsAreWalkedBackwardsForGdi) {
  ArcEnds cw = ArcEndPoints(0, 0, 40, 40, 0, 90);
  // 90 degrees first: GDI goes counter-clockwise to 0.
  EXPECT_EQ(std::make_tuple(cw.first.h, cw.first.v, cw.second.h, cw.second.v), std::make_tuple(1020, 20, 20, -980));
  ArcEnds ccw = ArcEndPoints(0, 0, 40, 40, 0, -90);
  EXPECT_EQ(std::make_pair(ccw.first.v, ccw.second.h), std::make_pair(-980, -980));
  EXPECT_EQ(ClassifyArc(0), ArcSpan::Nothing);
  EXPECT_EQ(ClassifyArc(360), ArcSpan::WholeOval);
  EXPECT_EQ(ClassifyArc(-400), ArcSpan::WholeOval);
  EXPECT_EQ(ClassifyArc(359), ArcSpan::Wedge);
}

TEST(SweptPen, OutlinesCoverThePenAtBothEnds) {
  Vec out[6];
  ASSERT_EQ(SweptPen({10, 0}, {0, 0}, 3, 3, out), 4);  // horizontal, given right to left
  EXPECT_EQ(std::make_tuple(out[0].h, out[1].h, out[2].v), std::make_tuple(0, 13, 3));
  ASSERT_EQ(SweptPen({5, 15}, {5, 5}, 2, 3, out), 4);  // vertical, bottom up
  EXPECT_EQ(std::make_tuple(out[0].v, out[2].h, out[2].v), std::make_tuple(5, 7, 18));
  ASSERT_EQ(SweptPen({0, 10}, {10, 0}, 2, 2, out), 6);  // rising
  EXPECT_EQ(std::make_tuple(out[0].h, out[0].v, out[5].h, out[5].v), std::make_tuple(2, 12, 12, 2));
  ASSERT_EQ(SweptPen({0, 0}, {10, 10}, 2, 2, out), 6);  // falling
  EXPECT_EQ(std::make_pair(out[4].h, out[4].v), std::make_pair(12, 12));
}

TEST(PrinterHairline, OneDevicePixelInLogicalUnits) {
  EXPECT_EQ(PrinterHairline(1, 1, 1, 1, 0, 0).h, 1);
  EXPECT_EQ(PrinterHairline(600, 600, 72, 72, 0, 0).h, 8);   // 600 / 72 rounded
  EXPECT_EQ(PrinterHairline(600, 600, 144, 72, 1, 0).h, 8);  // shift halves the viewport
  EXPECT_EQ(PrinterHairline(600, 600, 0, 72, 0, 0).v, 1);    // degenerate mapping
}

TEST(PolygonRecord, LyingSizesGiveNoVertices) {
  EXPECT_EQ(PolygonVertexCount(10, 10), 0);
  EXPECT_EQ(PolygonVertexCount(34, 34), 3);
  EXPECT_EQ(PolygonVertexCount(34, 64), 3);
  EXPECT_EQ(PolygonVertexCount(9, 64), -1);   // smaller than the header
  EXPECT_EQ(PolygonVertexCount(-2, 64), -1);  // negative
  EXPECT_EQ(PolygonVertexCount(30, 64), -1);  // partial vertex
  EXPECT_EQ(PolygonVertexCount(42, 34), -1);  // more than the block holds
}

TEST(TransferModes, PatternRopsDoWhatTheirMixModesDo) {
  // A mix mode's value - 1 is its truth table over (pen, destination); the raster operation's
  // index byte is the table over (pattern, source, destination), blind to the source.
  for (int mix = 1; mix <= 16; ++mix) {
    uint32_t index = PatternRopForMix(mix) >> 16;
    for (int p = 0; p < 2; ++p)
      for (int src = 0; src < 2; ++src)
        for (int d = 0; d < 2; ++d)
          EXPECT_EQ((index >> (p * 4 + src * 2 + d)) & 1, ((mix - 1u) >> (p * 2 + d)) & 1) << "mix " << mix;
  }
  EXPECT_EQ(PatternRopForMix(13), 0xF00021u);  // copy pen is PATCOPY
  EXPECT_EQ(PatternRopForMix(0), 0xAA0029u);
}

TEST(PrinterPatterns, GridOfSeventySecondsOfAnInch) {
  struct Case {
    int first, end, dpi, anchor;
    PatternAxis want;
  };
  for (const Case &c : {
           Case{0, 600, 600, 0, {0, 72, 0, 600, 0}},     // a whole inch, anchored at 0
           Case{25, 50, 300, 0, {6, 12, 25, 50, 2}},     // 300 dpi: cells of 4 1/6 pixels
           Case{30, 31, 300, 0, {7, 8, 29, 33, 1}},      // a single pixel still takes a cell
           Case{0, 100, 72, 3, {0, 100, 0, 100, 3}},     // 72 dpi: cells are pixels
           Case{-20, 10, 144, -4, {-10, 5, -20, 10, 0}},  // anchor cell -2 is 8 cells from -10
       }) {
    PatternAxis a = PrinterPatternAxis(c.first, c.end, c.dpi, c.anchor);
    auto fields = [](const PatternAxis &x) { return std::make_tuple(x.first, x.end, x.deviceStart, x.deviceStop, x.phase); };
    EXPECT_EQ(fields(a), fields(c.want)) << c.first << " at " << c.dpi;
  }
}

