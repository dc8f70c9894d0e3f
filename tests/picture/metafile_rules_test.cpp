// Header maths and the playback record filter, natively.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "picture/meta_header.h"
#include "picture/metafile_filter.h"

namespace tstools::pict {
namespace {

TEST(MetaHeader, FrameByMappingMode) {
  struct Row { int32_t mm, x, y, w, h, upi; } rows[] = {
      {kMapLoMetric, 1270, 254, 360, -72, 254},     {kMapHiMetric, 2540, 1270, 72, -36, 2538},
      {kMapLoEnglish, 100, 50, 72, -36, 100},       {kMapHiEnglish, 1000, 500, 72, -36, 1000},
      {kMapTwips, 1440, 720, 72, -36, 1440},        {kMapIsotropic, -100, -50, 512, 256, 2538},  // aspect only
      {kMapAnisotropic, 2540, 1270, 72, 36, 2538},  {kMapAnisotropic, 0, 1270, 256, 256, 2538},
      {kMapText, 640, 480, 640, 480, 72},
      // Aspect-only extents at the 32-bit limit neither overflow nor divide by zero.
      {kMapAnisotropic, INT32_MIN, INT32_MIN, 0, 0, 2538}, {kMapIsotropic, -1, -1, 256, 256, 2538},
  };
  for (const Row &r : rows) {
    MetaHeader h;
    ASSERT_TRUE(HeaderFromMetaFilePict(r.mm, r.x, r.y, &h)) << r.mm << " " << r.x;
    EXPECT_EQ(h.Width() * 100000 + h.Height(), r.w * 100000 + r.h) << r.mm << " " << r.x;
    EXPECT_EQ(h.unitsPerInch, r.upi);
  }
  // xExt * 36 overflows 32 bits; frames that do not fit 16 bits are refused.
  MetaHeader h;
  EXPECT_FALSE(HeaderFromMetaFilePict(kMapLoMetric, 0x7FFFFFFF, 1, &h));
  EXPECT_FALSE(HeaderFromMetaFilePict(kMapText, 40000, 1, &h));
  EXPECT_FALSE(HeaderFromMetaFilePict(kMapIsotropic, -1, INT32_MIN, &h));
  EXPECT_EQ(PointsToHimetric(72), 2540);
  EXPECT_EQ(BitmapBytes(-3, -2, 24), 24);
  EXPECT_GT(BitmapBytes(32767, 32767, 32), kMaxPictureBytes);
}

std::vector<uint8_t> Record(uint16_t function, std::vector<int16_t> params) {
  std::vector<uint8_t> r(6 + 2 * params.size());
  uint32_t words = uint32_t(r.size() / 2);
  std::memcpy(r.data(), &words, 4);
  std::memcpy(r.data() + 4, &function, 2);
  if (!params.empty()) std::memcpy(r.data() + 6, params.data(), 2 * params.size());
  return r;
}

FilterDecision::Kind Kind(MetafileFilter &f, uint16_t function, std::vector<int16_t> params = {}) {
  auto r = Record(function, params);
  return f.Decide(r.data(), r.size()).kind;
}

TEST(MetafileFilter, RestoresStayWithinTheMetafilesOwnSaves) {
  MetafileFilter f(4, nullptr);  // the caller's DC holds levels 1..4
  const auto drop = FilterDecision::kDrop, play = FilterDecision::kPlay;
  EXPECT_EQ(Kind(f, kMetaRestoreDC, {-1}), drop);
  EXPECT_EQ(Kind(f, kMetaSaveDC), play);
  EXPECT_EQ(Kind(f, kMetaSaveDC), play);
  EXPECT_EQ(Kind(f, kMetaRestoreDC, {-3}), drop) << "would pop the caller's save";
  EXPECT_EQ(Kind(f, kMetaRestoreDC, {4}), drop) << "the caller's absolute level";
  EXPECT_EQ(Kind(f, kMetaRestoreDC, {6}), play);  // the metafile's second save
  EXPECT_EQ(f.UnmatchedSaves(), 1);
  EXPECT_EQ(Kind(f, kMetaRestoreDC), drop) << "no parameter within rdSize";
  EXPECT_EQ(Kind(f, kMetaRestoreDC, {-1}), play);
  EXPECT_EQ(f.UnmatchedSaves(), 0);
  EXPECT_EQ(Kind(f, kMetaSelectPalette, {1}), drop);
  EXPECT_EQ(Kind(f, kMetaSetViewportOrg, {1, 1}), play);
}

int16_t Param(const uint8_t *record, int i) {
  int16_t v;
  std::memcpy(&v, record + 6 + 2 * i, 2);
  return v;
}

// A picture of frame (10, 20, 110, 220) nested into a 400 x 400 port at destination
// (50, 60, 250, 160): twice as wide, half as high.
TEST(MetafileFilter, NestedWindowRecordsAreMovedAndScaledCopies) {
  NestingGeometry g{400, 400, 200, 100, 50, 60, 200, 800};
  MetafileFilter f(0, &g);
  EXPECT_EQ(Kind(f, kMetaSetViewportExt, {1, 1}), FilterDecision::kDrop);
  auto org = Record(kMetaSetWindowOrg, {20, 10}), ext = Record(kMetaSetWindowExt, {200, 100});
  const auto orgCopy = org, extCopy = ext;
  EXPECT_EQ(Param(f.Decide(org.data(), org.size()).records[0], 1), 10);
  FilterDecision d = f.Decide(ext.data(), ext.size());
  ASSERT_EQ(d.count, 2);
  // Extent 100 x 200 scaled by port over destination: 200 x 800; the origin less the
  // offset in those units: 10 - 50 * 200 / 400, 20 - 60 * 800 / 400.
  EXPECT_EQ(std::vector<int16_t>({Param(d.records[0], 1), Param(d.records[0], 0), Param(d.records[1], 1),
                                  Param(d.records[1], 0)}),
            std::vector<int16_t>({-15, -100, 200, 800}));
  EXPECT_TRUE(org == orgCopy && ext == extCopy) << "the metafile's own records are not written to";
  EXPECT_EQ(Param(f.Decide(org.data(), org.size()).records[0], 1), -15) << "a later origin is moved at once";
}

}  // namespace
}  // namespace tstools::pict
