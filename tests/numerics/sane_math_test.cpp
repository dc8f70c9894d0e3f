#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "numerics/decimal_conversion.h"
#include "numerics/rounding_control.h"
#include "numerics/sane_math.h"

namespace tstools::numerics {
namespace {

// Restores round-to-nearest however a test ends.
struct RoundingGuard {
  ~RoundingGuard() { SetRoundingDirection(kToNearest); }
};

// Each direction reads back and governs the processor's rounding (halves and negative
// halves tell all four apart).
TEST(RoundingControl, DirectionGovernsRoundingAndReadsBack) {
  RoundingGuard guard;
  struct Row {
    double x, nearest, up, down, zero;
  } rows[] = {{2.5, 2, 3, 2, 2},    {3.5, 4, 4, 3, 3},      {-2.5, -2, -2, -3, -2},
              {-0.4, -0.0, -0.0, -1, -0.0}, {7, 7, 7, 7, 7}, {1e300, 1e300, 1e300, 1e300, 1e300}};
  for (int d : {kToNearest, kUpward, kDownward, kTowardZero}) {
    SetRoundingDirection(d);
    EXPECT_EQ(GetRoundingDirection(), d);
    for (const Row &r : rows) {
      const double expected[4] = {r.nearest, r.up, r.down, r.zero};
      volatile double x = r.x;
      EXPECT_EQ(std::nearbyint(x), expected[d]) << r.x << " direction " << d;
    }
  }
}

TEST(RoundingControl, NearestScopeRestoresTheHostDirection) {
  RoundingGuard guard;
  SetRoundingDirection(kDownward);
  {
    ScopedNearestRounding nearest;
    EXPECT_EQ(GetRoundingDirection(), kToNearest);
  }
  EXPECT_EQ(GetRoundingDirection(), kDownward);
}

// The generator against a 64-bit integer model of x * 16807 mod (2^31 - 1).
TEST(SaneMath, RandomSequenceMatchesIntegerModel) {
  EXPECT_EQ(NextRandom(1), 16807.0);
  for (std::uint64_t seed : {1ull, 42ull, 2147483646ull, 123456789ull}) {
    double x = static_cast<double>(seed);
    std::uint64_t model = seed;
    for (int i = 0; i < 10000; ++i) {
      x = NextRandom(x);
      model = model * 16807 % 2147483647;
      ASSERT_EQ(x, static_cast<double>(model)) << "seed " << seed << " step " << i;
    }
  }
}

TEST(SaneMath, NaNArgumentsPropagate) {
  double nan = MakeNaN(42);
  for (double (*f)(double, double) : {PowerXY, Compound, Annuity}) {
    EXPECT_TRUE(std::isnan(f(nan, 2)));
    EXPECT_TRUE(std::isnan(f(2, nan)));
    EXPECT_EQ(NaNCode(f(2, nan)), 0);
  }
  EXPECT_TRUE(std::isnan(PowerXY(1, nan))) << "unlike pow(1, NaN)";
  EXPECT_TRUE(std::isnan(Compound(0, nan)));
}

TEST(SaneMath, FinancialFunctions) {
  EXPECT_EQ(Annuity(0, 12.5), 12.5);
  EXPECT_EQ(Annuity(-0.0, 3), 3.0);
  EXPECT_NEAR(Annuity(0.05, 10), 7.721734929184818, 1e-14);
  EXPECT_NEAR(Compound(0.05, 10), 1.628894626777442, 1e-14);
  EXPECT_EQ(PowerXY(2, 10), 1024.0);
}

TEST(SaneMath, NaNCodeIsCarriedInTheFraction) {
  for (int code : {0, 1, 17, 255}) {
    double nan = MakeNaN(static_cast<unsigned char>(code));
    EXPECT_TRUE(std::isnan(nan));
    EXPECT_FALSE(std::signbit(nan));
    EXPECT_EQ(NaNCode(nan), code);
  }
}

TEST(SaneMath, LongintTruncatesWhateverTheDirection) {
  RoundingGuard guard;
  for (int d = 0; d < 4; ++d) {
    SetRoundingDirection(d);
    EXPECT_EQ(TruncateToLongint(2.9), 2);
    EXPECT_EQ(TruncateToLongint(-2.9), -2);
  }
  SetRoundingDirection(kToNearest);
  EXPECT_EQ(TruncateToLongint(2147483647.9), 2147483647);
  EXPECT_EQ(TruncateToLongint(2147483648.0), INT32_MIN) << "low 32 bits";
  EXPECT_EQ(TruncateToLongint(1e10), 1410065408);
  EXPECT_EQ(TruncateToLongint(-1e10), -1410065408);
  EXPECT_EQ(TruncateToLongint(1e30), 0);
  EXPECT_EQ(TruncateToLongint(-HUGE_VAL), 0);
  EXPECT_EQ(TruncateToLongint(MakeNaN(0)), 0);
}

}  // namespace
}  // namespace tstools::numerics
