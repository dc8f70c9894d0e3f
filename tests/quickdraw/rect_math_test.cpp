// Rectangle arithmetic against documented cases and simple models over random rects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "quickdraw/rect_math.h"

namespace qd = tstools::qd;
using qd::QdRect;

namespace {

bool Same(const QdRect &a, const QdRect &b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

QdRect RandomRect(std::mt19937 &rng, int range) {
  auto c = [&] { return static_cast<int16_t>(static_cast<int>(rng() % (2 * range + 1)) - range); };
  return QdRect{c(), c(), c(), c()};
}

}  // namespace

TEST(RectMath, SectRectAgreesWithAreaModel) {
  std::mt19937 rng(1);
  for (int i = 0; i < 200000; ++i) {
    QdRect a = RandomRect(rng, 40), b = RandomRect(rng, 40), dst;
    bool got = qd::SectRect(a, b, dst);
    // Model: an inverted source never intersects; otherwise each rect must reach strictly
    // past the other's near edge, so touching edges do not intersect, while a zero-width
    // rect inside the other does, giving an empty result, as it always has.
    bool inverted = a.right < a.left || a.bottom < a.top || b.right < b.left || b.bottom < b.top;
    int l = std::max(a.left, b.left), t = std::max(a.top, b.top);
    int r = std::min(a.right, b.right), btm = std::min(a.bottom, b.bottom);
    bool expected = !inverted && b.right > a.left && a.right > b.left && b.bottom > a.top &&
                    a.bottom > b.top;
    ASSERT_EQ(got, expected);
    QdRect want = expected ? QdRect{int16_t(l), int16_t(t), int16_t(r), int16_t(btm)} : QdRect{0, 0, 0, 0};
    ASSERT_TRUE(Same(dst, want));
  }
  // The destination may be a source.
  QdRect a{0, 0, 10, 10};
  EXPECT_TRUE(qd::SectRect(a, QdRect{2, 3, 30, 30}, a));
  EXPECT_TRUE(Same(a, {2, 3, 10, 10}));
}

TEST(RectMath, MapRectRoundsHalvesAwayAndClamps) {
  // A zero-width source sends every h to dst.left; v still maps.
  EXPECT_TRUE(Same(qd::MapRect({3, 5, 9, 10}, {4, 0, 4, 10}, {7, 0, 100, 20}), {7, 10, 7, 20}));
  // 1 of 4 onto 2 units is 0.5 and -1 of 4 is -0.5: both round away from zero.
  EXPECT_EQ(qd::MapCoordinate(1, 0, 4, 0, 2), 1);
  EXPECT_EQ(qd::MapCoordinate(-1, 0, 4, 0, 2), -1);
  EXPECT_EQ(qd::MapCoordinate(-30000, 0, 1, 0, 30000), INT16_MIN) << "clamped, not wrapped";
  EXPECT_EQ(qd::MapCoordinate(32767, -32768, -32767, 32767, -32768), INT16_MIN);
}

TEST(RectMath, MapCoordinateAgreesWithDoubleModel) {
  std::mt19937 rng(2);
  for (int i = 0; i < 200000; ++i) {
    QdRect s = RandomRect(rng, 3000), d = RandomRect(rng, 3000);
    auto x = static_cast<int16_t>(static_cast<int>(rng() % 6001) - 3000);
    int span = s.right - s.left;
    double exact = span == 0 ? 0.0 : double(d.right - d.left) * (x - s.left) / span;
    int16_t got = qd::MapCoordinate(x, s.left, s.right, d.left, d.right);
    double expected = d.left + (exact < 0 ? -std::floor(-exact + 0.5) : std::floor(exact + 0.5));
    expected = std::clamp(expected, -32768.0, 32767.0);
    // The classic order of operations (scale first) may land a hair off an exact half.
    ASSERT_LE(std::fabs(got - expected), 1.0) << x;
    if (std::fabs(exact - std::trunc(exact)) != 0.5) {
      ASSERT_EQ(got, expected) << x;
    }
  }
}

TEST(RectMath, StoredRectSwapsOrderAndBytes) {
  const uint8_t stored[8] = {0x00, 0x0A, 0xFF, 0xFE, 0x01, 0x00, 0x7F, 0xFF};
  EXPECT_TRUE(Same(qd::SwapStoredRect(stored), {-2, 10, 32767, 256}));
}
