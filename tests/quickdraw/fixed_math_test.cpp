// Fixed-point arithmetic: the documented edge cases, and exact 64-bit integer and double models
// over random inputs.
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

// Saturation and rounding at the ends of the range, where random inputs seldom go.
TEST(FixedMath, EdgesSaturateSymmetrically) {
  const struct {
    const char *what;
    int32_t got, want;
  } cases[] = {
      {"LongToFixed(-40000)", qd::LongToFixed(-40000), Raw(0x80010000)},
      {"FixedRound(32767.5) wraps in 16 bits", qd::FixedRound(0x7FFF8000), -32768},
      {"FixedMul(1, -32768)", qd::FixedMul(0x00010000, INT32_MIN), Raw(0x80000001)},
      {"FixedMul: fractions carry past 2^31", qd::FixedMul(0x7FFFFFFF, 0x0001FFFF), 0x7FFFFFFF},
      {"FixedRatio(-32768, 1)", qd::FixedRatio(-32768, 1), INT32_MIN},
      {"FixedRatio(-32768, -1)", qd::FixedRatio(-32768, -1), 0x7FFFFFFF},
      {"FixedDiv(1, 0)", qd::FixedDiv(0x00010000, 0), 0x7FFFFFFF},
      {"FixedDiv(-1, 0)", qd::FixedDiv(Raw(0xFFFF0000), 0), INT32_MIN},
      {"DoubleToFixed toward zero", qd::DoubleToFixed(-1.0 / 65536 * 1.9), -1},
      {"DoubleToFixed(NaN)", qd::DoubleToFixed(std::nan("")), 0},
  };
  for (const auto &c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(FixedMath, AgreesWithExactModelsOverRandomInputs) {
  std::mt19937 rng(11);
  for (int i = 0; i < 300000; ++i) {
    int32_t a = RandomFixed(rng), b = RandomFixed(rng);
    ASSERT_EQ(qd::FixedMul(a, b), MulModel(a, b)) << a << " x " << b;
    double exact = a / 65536.0;
    double rounded = exact < 0 ? -std::floor(-exact + 0.5) : std::floor(exact + 0.5);
    ASSERT_EQ(qd::FixedRound(a), static_cast<int16_t>(static_cast<int64_t>(rounded))) << a;
    ASSERT_EQ(qd::DoubleToFixed(qd::FixedToDouble(a)), a);
    if (b != 0) {
      // Exact truncated quotient, saturated. The double quotient is rounded before truncation,
      // so it may differ by the last bit when the exact one sits just below an integer.
      int64_t model = std::clamp<int64_t>((static_cast<int64_t>(a) * 65536) / b, INT32_MIN, INT32_MAX);
      ASSERT_LE(std::llabs(qd::FixedDiv(a, b) - model), 1) << a << " / " << b;
    }
    auto n = static_cast<int16_t>(rng()), d = static_cast<int16_t>(rng() % 7 ? rng() : rng() % 9);
    if (d != 0) {
      int64_t ratio = std::min<int64_t>((static_cast<int64_t>(n) * 65536) / d, 0x7FFFFFFF);
      ASSERT_EQ(qd::FixedRatio(n, d), ratio) << n << " / " << d;
    }
  }
}
