// Fixed-point arithmetic against the documented edge cases and against exact 64-bit integer
// and double models over random inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "quickdraw/fixed_math.h"

namespace qd = tstools::qd;

namespace {

constexpr int32_t Raw(uint32_t bits) { return static_cast<int32_t>(bits); }

// What a 16.16 product should be: the exact product's magnitude rounded half up, saturated.
int32_t MulModel(int32_t a, int32_t b) {
  bool negative = (a < 0) != (b < 0);
  int64_t ma = std::llabs(static_cast<int64_t>(a)), mb = std::llabs(static_cast<int64_t>(b));
  if ((ma >> 16) * (mb >> 16) > 32767) return negative ? Raw(0x80000001) : 0x7FFFFFFF;
  int64_t magnitude = (ma * mb + 0x8000) >> 16;
  if (magnitude > 0x7FFFFFFF) return negative ? Raw(0x80000001) : 0x7FFFFFFF;
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

int32_t RandomFixed(std::mt19937 &rng) {
  // Mix full-range values with small ones, where most real arithmetic happens.
  switch (rng() % 3) {
    case 0: return static_cast<int32_t>(rng());
    case 1: return static_cast<int32_t>(rng()) >> 12;
    default: return static_cast<int32_t>(rng()) >> 20;
  }
}

}  // namespace

TEST(FixedMath, LongToFixedClampsToSymmetricRange) {
  EXPECT_EQ(qd::LongToFixed(-40000), Raw(0x80010000));
  EXPECT_EQ(qd::LongToFixed(40000), 0x7FFF0000);
  EXPECT_EQ(qd::LongToFixed(-32768), Raw(0x80010000));
  EXPECT_EQ(qd::LongToFixed(INT32_MIN), Raw(0x80010000));
  EXPECT_EQ(qd::LongToFixed(-3), Raw(0xFFFD0000));
  EXPECT_EQ(qd::LongToFixed(0), 0);
}

TEST(FixedMath, RoundingIsHalfAwayFromZeroIn16Bits) {
  EXPECT_EQ(qd::FixedRound(-0x00018000), -2);
  EXPECT_EQ(qd::FixedRound(0x7FFF7FFF), 32767);
  EXPECT_EQ(qd::FixedRound(0x7FFF8000), -32768) << "32767.5 wraps in 16 bits";
  EXPECT_EQ(qd::FixedRound(INT32_MIN), -32768);
  std::mt19937 rng(7);
  for (int i = 0; i < 200000; ++i) {
    int32_t x = RandomFixed(rng);
    double exact = x / 65536.0;
    double rounded = exact < 0 ? -std::floor(-exact + 0.5) : std::floor(exact + 0.5);
    ASSERT_EQ(qd::FixedRound(x), static_cast<int16_t>(static_cast<int64_t>(rounded))) << x;
  }
}

TEST(FixedMath, MulDocumentedCasesAndSaturation) {
  EXPECT_EQ(qd::FixedMul(0x00018000, 0x00020000), 0x00030000);
  EXPECT_EQ(qd::FixedMul(-0x01000000, 0x01000000), Raw(0x80000001));
  EXPECT_EQ(qd::FixedMul(0x00010000, INT32_MIN), Raw(0x80000001)) << "-32768.0 x 1 overflows";
  EXPECT_EQ(qd::FixedMul(-1, 0x00008000), -1) << "half of the last bit rounds away from zero";
  EXPECT_EQ(qd::FixedMul(0, INT32_MIN), 0);
  // 32767 x 1 passes the integer-part test, but the fractions carry the sum past 2^31.
  EXPECT_EQ(qd::FixedMul(0x7FFFFFFF, 0x0001FFFF), 0x7FFFFFFF);
  EXPECT_EQ(qd::FixedMul(0x7FFFFFFF, -0x0001FFFF), Raw(0x80000001));
}

TEST(FixedMath, MulAgreesWithTheExactIntegerModel) {
  std::mt19937 rng(11);
  for (int i = 0; i < 500000; ++i) {
    int32_t a = RandomFixed(rng), b = RandomFixed(rng);
    ASSERT_EQ(qd::FixedMul(a, b), MulModel(a, b)) << a << " x " << b;
  }
}

TEST(FixedMath, RatioMatchesDocumentedCases) {
  EXPECT_EQ(qd::FixedRatio(-1, 0), Raw(0x80000001));
  EXPECT_EQ(qd::FixedRatio(1, 0), 0x7FFFFFFF);
  EXPECT_EQ(qd::FixedRatio(0, 0), 0x7FFFFFFF);
  EXPECT_EQ(qd::FixedRatio(1, -2), Raw(0xFFFF8000));
  EXPECT_EQ(qd::FixedRatio(-32768, 1), INT32_MIN) << "-32768.0 is representable";
  EXPECT_EQ(qd::FixedRatio(-32768, -1), 0x7FFFFFFF) << "+32768.0 is not";
}

TEST(FixedMath, RatioIsTruncatedQuotientOverEveryDivisor) {
  std::mt19937 rng(3);
  for (int i = 0; i < 300000; ++i) {
    auto n = static_cast<int16_t>(rng()), d = static_cast<int16_t>(rng() % 7 ? rng() : rng() % 9);
    if (d == 0) continue;
    int64_t model = (static_cast<int64_t>(n) * 65536) / d;  // C++ truncates toward zero
    if (model > 0x7FFFFFFF) model = 0x7FFFFFFF;
    ASSERT_EQ(qd::FixedRatio(n, d), model) << n << " / " << d;
  }
}

TEST(FixedMath, DivSaturatesOnZeroAndOutOfRange) {
  EXPECT_EQ(qd::FixedDiv(0x00010000, 0), 0x7FFFFFFF);
  EXPECT_EQ(qd::FixedDiv(0, 0), 0x7FFFFFFF);
  EXPECT_EQ(qd::FixedDiv(Raw(0xFFFF0000), 0), INT32_MIN);
  EXPECT_EQ(qd::FixedDiv(0x00030000, 0x00020000), 0x00018000);
  EXPECT_EQ(qd::FixedDiv(0x7FFFFFFF, 1), 0x7FFFFFFF);
  EXPECT_EQ(qd::FixedDiv(0x7FFFFFFF, -1), INT32_MIN);
  EXPECT_EQ(qd::FixedDiv(INT32_MIN, 0x00010000), INT32_MIN);
  std::mt19937 rng(5);
  for (int i = 0; i < 300000; ++i) {
    int32_t a = RandomFixed(rng), b = RandomFixed(rng);
    if (b == 0) continue;
    // Exact truncated quotient in 64-bit integers, then saturated.
    int64_t model = (static_cast<int64_t>(a) * 65536) / b;
    model = std::clamp<int64_t>(model, INT32_MIN, INT32_MAX);
    int32_t got = qd::FixedDiv(a, b);
    // The double quotient is rounded before truncation, so it may differ by the last bit
    // when the exact quotient sits just below an integer.
    ASSERT_LE(std::llabs(got - model), 1) << a << " / " << b;
  }
}

TEST(FixedMath, DoubleConversionsTruncateAndSaturate) {
  EXPECT_EQ(qd::FixedToDouble(0x00018000), 1.5);
  EXPECT_EQ(qd::DoubleToFixed(1.5), 0x00018000);
  EXPECT_EQ(qd::DoubleToFixed(-1.0 / 65536 * 1.9), -1) << "toward zero";
  EXPECT_EQ(qd::DoubleToFixed(40000.0), 0x7FFFFFFF);
  EXPECT_EQ(qd::DoubleToFixed(-40000.0), INT32_MIN);
  EXPECT_EQ(qd::DoubleToFixed(-32768.0), INT32_MIN);
  EXPECT_EQ(qd::DoubleToFixed(std::nan("")), 0);
  EXPECT_EQ(qd::DoubleToFixed(HUGE_VAL), 0x7FFFFFFF);
  std::mt19937 rng(9);
  for (int i = 0; i < 100000; ++i) {
    int32_t x = static_cast<int32_t>(rng());
    ASSERT_EQ(qd::DoubleToFixed(qd::FixedToDouble(x)), x);
  }
}
