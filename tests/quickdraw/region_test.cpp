// Region and geometry exports through the DLL.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "support/gdi_objects.h"
#include "tstools/tstools.h"

namespace {

RECT Box(RgnHandle rgn) {
  RECT r{};
  GetRgnBox(rgn, &r);
  return r;
}

// A 64 x 64 bit image of which pixels a region covers, for comparing regions pixelwise.
std::vector<bool> Pixels(HRGN rgn, int origin = -32) {
  std::vector<bool> bits;
  for (int y = origin; y < origin + 64; ++y)
    for (int x = origin; x < origin + 64; ++x) bits.push_back(PtInRegion(rgn, x, y) != 0);
  return bits;
}

}  // namespace

static std::string Str(const Rect &r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// One call per export: the arithmetic itself is the portable tests'.
TEST(Geometry, ExportsReachTheArithmetic) {
  Rect a{0, 0, 10, 10}, b{10, 0, 20, 10}, dst{1, 1, 1, 1};
  EXPECT_FALSE(SectRect(&a, &b, &dst));
  EXPECT_EQ(Str(dst), "0,0,0,0");
  Rect r{5, 5, 10, 10}, src{0, 0, 10, 10}, to{0, 0, 100, 50};
  MapRect(&r, &src, &to);
  EXPECT_EQ(Str(r), "50,25,100,50");
  const unsigned char stored[8] = {0, 1, 0, 2, 0, 3, 0, 4};
  CopySwapRect(stored, &r);
  EXPECT_EQ(Str(r), "2,1,4,3");
  EXPECT_EQ(std::make_tuple(FixMul(0x00018000, 0x00020000), FixDiv(0x00030000, 0x00020000), FixRound(0x7FFF8000)),
            std::make_tuple(0x00030000, 0x00018000, -32768));
}

// Each combination reaches its GDI mode; the destination may be a source. The region rules
// themselves are GDI's.
TEST(Regions, CombinationsReachTheirModes) {
  RgnHandle a = NewRgn(), b = NewRgn(), dst = NewRgn();
  M_SetRectRgn(a, 0, 0, 10, 10);
  M_SetRectRgn(b, 5, 0, 15, 10);
  EXPECT_EQ(SectRgn(a, b, dst), SIMPLEREGION);
  EXPECT_EQ(Box(dst).left, 5);
  EXPECT_EQ(UnionRgn(a, b, dst), SIMPLEREGION);
  EXPECT_EQ(XorRgn(a, b, dst), COMPLEXREGION);
  EXPECT_EQ(DiffRgn(a, b, a), SIMPLEREGION);
  EXPECT_EQ(Box(a).right, 5);
  Rect inverted{10, 10, 0, 20}, touching{5, 0, 9, 9};
  EXPECT_FALSE(RectInRgn(&touching, a)) << "right edges are outside";
  RectRgn(dst, &inverted);
  EXPECT_TRUE(EmptyRgn(dst));
  CopyRgn(b, dst);
  M_OffsetRgn(dst, -5, 0);
  EXPECT_EQ(Box(dst).left, 0);
  SetEmptyRgn(dst);
  EXPECT_TRUE(EmptyRgn(dst));
  DisposeRgn(a);
  DisposeRgn(b);
  DisposeRgn(dst);
}

TEST(Regions, NullAndForeignHandlesAreIgnored) {
  RgnHandle rgn = NewRgn();
  M_SetRectRgn(rgn, 0, 0, 10, 10);
  HGDIOBJ pen = CreatePen(PS_SOLID, 1, 0);
  auto foreign = reinterpret_cast<RgnHandle>(pen);
  RgnHandle deleted = NewRgn();
  DisposeRgn(deleted);
  for (RgnHandle bad : {RgnHandle(nullptr), foreign, deleted}) {
    EXPECT_EQ(std::make_tuple(UnionRgn(rgn, bad, rgn), SectRgn(bad, rgn, rgn), DiffRgn(rgn, rgn, bad), XorRgn(bad, bad, bad)),
              std::make_tuple(ERROR, ERROR, ERROR, ERROR));
    CopyRgn(bad, rgn);
    CopyRgn(rgn, bad);
    SetEmptyRgn(bad);
    M_SetRectRgn(bad, 0, 0, 1, 1);
    RectRgn(bad, nullptr);
    M_OffsetRgn(bad, 1, 1);
    InsetRgn(bad, 1, 1);
    EXPECT_FALSE(PtInRgn(Point{1, 1}, bad));
    Rect r{0, 0, 5, 5};
    EXPECT_FALSE(RectInRgn(&r, bad));
    EXPECT_TRUE(EmptyRgn(bad));
    DisposeRgn(bad);
  }
  EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN)) << "DisposeRgn left the pen alone";
  EXPECT_EQ(Box(rgn).right, 10) << "the good region was not touched";
  DeleteObject(pen);
  DisposeRgn(rgn);
}

// Insetting an irregular region must match per-pixel erosion and dilation.
TEST(Regions, InsetMatchesPixelModelOnIrregularRegions) {
  std::mt19937 rng(4);
  long objects = tstools::test::LiveGdiObjects();
  for (int round = 0; round < 30; ++round) {
    RgnHandle rgn = NewRgn(), piece = NewRgn();
    for (int i = 0; i < 6; ++i) {
      int l = int(rng() % 20) - 20, t = int(rng() % 20) - 20;  // inside [-20, 20)
      M_SetRectRgn(piece, l, t, l + 1 + rng() % 20, t + 1 + rng() % 20);
      UnionRgn(rgn, piece, rgn);
    }
    int dh = int(rng() % 9) - 4, dv = int(rng() % 9) - 4;
    std::vector<bool> before = Pixels(rgn);
    // Horizontal pass then vertical, each an erosion (d > 0) or dilation (d < 0).
    auto pass = [&](const std::vector<bool> &in, int d, bool horizontal) {
      std::vector<bool> out(64 * 64);
      for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
          bool all = true, any = false;
          for (int k = -std::abs(d); k <= std::abs(d); ++k) {
            int xx = horizontal ? x + k : x, yy = horizontal ? y : y + k;
            bool v = xx >= 0 && yy >= 0 && xx < 64 && yy < 64 && in[yy * 64 + xx];
            all = all && v;
            any = any || v;
          }
          out[y * 64 + x] = d > 0 ? all : (d < 0 ? any : in[y * 64 + x]);
        }
      return out;
    };
    std::vector<bool> expected = pass(pass(before, dh, true), dv, false);
    InsetRgn(rgn, static_cast<short>(dh), static_cast<short>(dv));
    ASSERT_EQ(Pixels(rgn), expected) << "round " << round << " dh " << dh << " dv " << dv;
    DisposeRgn(rgn);
    DisposeRgn(piece);
  }
  EXPECT_EQ(tstools::test::LiveGdiObjects(), objects) << "insetting leaves no GDI region behind";
}
