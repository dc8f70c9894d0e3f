// The metric cache with a fake measurer whose widths encode what was measured.
#include <gtest/gtest.h>

#include "textedit/metric_cache.h"

namespace tstools::text {
namespace {

Fixed W(int size, int qdFace, int c) { return size << 16 | qdFace << 8 | c; }

class FakeMeasurer : public Measurer {
 public:
  int kind = 0;
  uint8_t lastFace = 0xFF;
  int PortKind() override { return kind; }
  bool Measure(const PortStyle &s, FontMetrics *info, Fixed widths[256]) override {
    lastFace = s.qdFace;
    *info = {s.size * 3 * kFixedOne / 4 + 2 * kFixedOne, s.size * kFixedOne / 8, kFixedOne, s.size * kFixedOne};
    for (int c = 0; c < 256; ++c) widths[c] = W(s.size, s.qdFace, c);
    return true;
  }
};

struct MetricCacheTest : testing::Test {
  FakeMeasurer m;
  CaseTables cases;
  MetricCache cache;
  void SetUp() override {
    uint8_t lower[256] = {}, upper[256] = {}, types[256] = {};
    for (int c = 'A'; c <= 'Z'; ++c) lower[c] = uint8_t(c + 32), upper[c + 32] = uint8_t(c);
    ASSERT_TRUE(cases.Load(lower, 256, upper, 256, types, 256));
  }
  const StyleMetrics &Get(uint16_t face, int16_t size = 20, uint32_t ticks = 0) {
    return cache.Lookup(TextStyle{1, size, face, {}}, m, cases, ticks);
  }
};

TEST_F(MetricCacheTest, ExtendedStylesAdjustWhatThePortMeasures) {
  const StyleMetrics &wordUnder = Get(kWordUnderline | kBold);
  EXPECT_EQ(wordUnder.widths[int{'x'}], W(20, 5, 'x')) << "word underline measures underlined";
  EXPECT_EQ(wordUnder.widths[int{' '}], W(20, 1, ' ')) << "blanks without the underline";
  EXPECT_EQ(wordUnder.widths[0xCA], W(20, 1, 0xCA));
  const StyleMetrics &small = Get(kSmallCaps | kUnderline);
  EXPECT_EQ(m.lastFace, 0) << "small capitals draw their own underline";
  EXPECT_EQ(small.widths[int{'a'}], W(15, 0, 'A')) << "a capital at size - size/4";
  EXPECT_EQ(small.widths[int{'A'}], W(20, 0, 'A'));
  const StyleMetrics &sup = Get(kSuperscript | kDoubleUnderline);
  EXPECT_EQ(sup.widths[int{'a'}], W(10, 0, 'a')) << "half size";
  EXPECT_EQ(sup.info.ascent, 17 * kFixedOne / 2 + 19 * kFixedOne / 2) << "raised by half the full ascent";
  EXPECT_EQ(sup.info.descent, 4 * kFixedOne) << "double underline";
  const StyleMetrics &sub = Get(kSubscript, 4);
  EXPECT_EQ(sub.widths[int{'a'}], W(3, 0, 'a')) << "half of 4 is below 8: one more";
  EXPECT_EQ(sub.info.descent, 5 * kFixedOne / 4 + 3 * kFixedOne / 8);
  EXPECT_EQ(sub.info.ascent, 5 * kFixedOne);
  EXPECT_EQ(Get(kAllCaps | kSmallCaps).widths[int{'a'}], W(20, 0, 'A')) << "capitals are not shrunk";
  cache.Clear();
  EXPECT_EQ(Get(kAllLower | kSmallCaps).widths[int{'A'}], W(15, 0, 'A'));
  EXPECT_EQ(Get(kTitleCase).widths[int{'a'}], W(20, 0, 'a')) << "title case maps while measuring text";
}

TEST_F(MetricCacheTest, EachStyleIsMeasuredOnceUntilCleared) {
  for (int round = 0; round < 50; ++round)
    for (uint16_t face : {0, 0x100, 0x200, 0x400}) Get(face, 12, uint32_t(round));
  EXPECT_EQ(cache.Misses(), 4u) << "four alternating styles are measured once each";
  for (int round = 0; round < 50; ++round)  // more styles than slots: still once each
    for (int16_t size = 8; size < 16; ++size) EXPECT_EQ(Get(0x800, size, uint32_t(round)).widths[1], W(size, 8, 1));
  EXPECT_EQ(cache.Misses(), 12u);
  m.kind = 2;  // another kind of port measures again
  Get(0, 12, 1);
  EXPECT_EQ(cache.Misses(), 13u);
  cache.Clear();
  Get(0, 12, 1);
  EXPECT_EQ(cache.Misses(), 14u);
  m.kind = Measurer::kNoPort;
  const StyleMetrics &none = Get(kBold | kStrike);
  EXPECT_EQ(none.info.ascent, 0);
  EXPECT_EQ(none.widths[255], kFixedOne);
  EXPECT_EQ(cache.Misses(), 14u);
}

}  // namespace
}  // namespace tstools::text
