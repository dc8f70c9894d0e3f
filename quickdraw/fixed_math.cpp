#include "quickdraw/fixed_math.h"

#include <cmath>

namespace tstools::qd {

namespace {

uint32_t Magnitude(int32_t x) { return x < 0 ? 0u - static_cast<uint32_t>(x) : static_cast<uint32_t>(x); }

int32_t Signed(uint32_t magnitude, bool negative) {
  return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

}  // namespace

int32_t LongToFixed(int32_t n) {
  if (n > 32767) n = 32767;
  if (n < -32767) n = -32767;
  return n * 65536;
}

int16_t FixedRound(int32_t x) {
  uint32_t magnitude = Magnitude(x);
  uint16_t r = static_cast<uint16_t>((magnitude >> 16) + ((magnitude >> 15) & 1));
  if (x < 0) r = static_cast<uint16_t>(0u - r);
  return static_cast<int16_t>(r);
}

int32_t FixedMul(int32_t a, int32_t b) {
  bool negative = (a < 0) != (b < 0);
  uint32_t ma = Magnitude(a), mb = Magnitude(b);
  uint64_t ah = ma >> 16, al = ma & 0xFFFF, bh = mb >> 16, bl = mb & 0xFFFF;
  uint64_t low = al * bl;
  uint64_t sum = ((ah * bh) << 16) + al * bh + bl * ah + (low >> 16) + ((low >> 15) & 1);
  if (ah * bh > 32767 || sum > 0x7FFFFFFF) return negative ? kFixedMulMin : kFixedMax;
  return Signed(static_cast<uint32_t>(sum), negative);
}

int32_t FixedRatio(int16_t n, int16_t d) {
  uint32_t mn = Magnitude(n), md = Magnitude(d);
  if (md == 0) return n < 0 ? kFixedMulMin : kFixedMax;
  if (mn == 0) return 0;
  bool negative = (n < 0) != (d < 0);
  uint32_t whole = mn / md;
  uint32_t fraction = ((mn % md) << 16) / md;
  uint32_t magnitude = (whole << 16) + fraction;  // at most 32768.0
  if (!negative && magnitude > 0x7FFFFFFF) return kFixedMax;
  return Signed(magnitude, negative);
}

int32_t FixedDiv(int32_t a, int32_t b) {
  if (b == 0) return a >= 0 ? kFixedMax : kFixedDivMin;
  return SaturateToInt32((a / 65536.0) / (b / 65536.0) * 65536.0);
}

double FixedToDouble(int32_t x) { return x / 65536.0; }

int32_t DoubleToFixed(double d) { return SaturateToInt32(d * 65536.0); }

int32_t SaturateToInt32(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 2147483648.0) return INT32_MAX;
  if (d <= -2147483649.0) return INT32_MIN;
  return static_cast<int32_t>(d);  // truncates toward zero, now within range
}

}  // namespace tstools::qd
