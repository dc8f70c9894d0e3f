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

// Each direction reads back and governs the processor's rounding (halves tell all four apart).
TEST(RoundingControl, DirectionGovernsRoundingAndReadsBack) {
  RoundingGuard guard;
  struct Row {
    double x, nearest, up, down, zero;
  } rows[] = {{2.5, 2, 3, 2, 2}, {3.5, 4, 4, 3, 3}, {-2.5, -2, -2, -3, -2}, {-0.4, -0.0, -0.0, -1, -0.0}};
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

TEST(RoundingControl, NearestScopeRestoresTheHostDirectionAndLongintTruncates) {
  RoundingGuard guard;
  for (int d : {kUpward, kDownward}) {
    SetRoundingDirection(d);
    {
      ScopedNearestRounding nearest;
      EXPECT_EQ(GetRoundingDirection(), kToNearest);
    }
    EXPECT_EQ(GetRoundingDirection(), d);
    EXPECT_EQ(TruncateToLongint(2.9) * 10 + TruncateToLongint(-2.9), 18) << "2 and -2 whatever the direction";
  }
  SetRoundingDirection(kToNearest);
  const std::pair<double, std::int32_t> cases[] = {
      {2147483648.0, INT32_MIN} /* the low 32 bits */, {-1e10, -1410065408}, {1e30, 0}, {MakeNaN(0), 0}};
  for (const auto &c : cases) EXPECT_EQ(TruncateToLongint(c.first), c.second) << c.first;
}

// The generator against a 64-bit integer model of x * 16807 mod (2^31 - 1).
TEST(SaneMath, RandomSequenceMatchesIntegerModel) {
  for (std::uint64_t seed : {1ull, 2147483646ull}) {
    double x = static_cast<double>(seed);
    std::uint64_t model = seed;
    for (int i = 0; i < 10000; ++i) {
      x = NextRandom(x);
      model = model * 16807 % 2147483647;
      ASSERT_EQ(x, static_cast<double>(model)) << "seed " << seed << " step " << i;
    }
  }
}

TEST(SaneMath, FinancialFunctionsAndNaNs) {
  EXPECT_NEAR(Annuity(0.05, 10), 7.721734929184818, 1e-14);
  EXPECT_NEAR(Compound(0.05, 10), 1.628894626777442, 1e-14);
  for (double (*f)(double, double) : {PowerXY, Compound, Annuity}) {
    EXPECT_TRUE(std::isnan(f(MakeNaN(42), 2)));
    EXPECT_EQ(NaNCode(f(2, MakeNaN(42))), 0) << "a NaN argument gives a NaN of code 0";
  }
  EXPECT_TRUE(std::isnan(PowerXY(1, MakeNaN(1)))) << "unlike pow(1, NaN)";
  for (int code : {0, 255}) {
    double nan = MakeNaN(static_cast<unsigned char>(code));
    EXPECT_TRUE(std::isnan(nan) && !std::signbit(nan));
    EXPECT_EQ(NaNCode(nan), code);
  }
}

}  // namespace
}  // namespace tstools::numerics
