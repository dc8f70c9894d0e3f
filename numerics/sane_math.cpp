#include "numerics/sane_math.h"

#include <cmath>
#include <cstring>

namespace tstools::numerics {
namespace {

constexpr std::uint64_t kQuietNaN = 0x7FF8000000000000ull;
constexpr int kCodeShift = 43;

}  // namespace

double MakeNaN(unsigned char code) {
  std::uint64_t bits = kQuietNaN | (static_cast<std::uint64_t>(code) << kCodeShift);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

unsigned char NaNCode(double nan) {
  std::uint64_t bits;
  std::memcpy(&bits, &nan, sizeof bits);
  return static_cast<unsigned char>(bits >> kCodeShift);
}

std::int32_t TruncateToLongint(double x) {
  if (std::isnan(x)) return 0;
  double t = std::trunc(x);
  if (!(t > -9223372036854775808.0 && t < 9223372036854775808.0)) return 0;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(t))));
}

double PowerXY(double x, double y) {
  if (std::isnan(x) || std::isnan(y)) return MakeNaN(0);
  return std::pow(x, y);
}

double Compound(double rate, double periods) {
  if (std::isnan(rate) || std::isnan(periods)) return MakeNaN(0);
  return std::pow(rate + 1, periods);
}

double Annuity(double rate, double periods) {
  if (std::isnan(rate) || std::isnan(periods)) return MakeNaN(0);
  if (rate == 0) return periods;
  return (1 - std::pow(1 + rate, -periods)) / rate;
}

double NextRandom(double seed) { return std::fmod(seed * 16807.0, 2147483647.0); }

}  // namespace tstools::numerics
