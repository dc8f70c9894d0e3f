#include "picture/pict_mapping.h"

#include <cmath>

namespace tstools::pict {
namespace {

int16_t RoundClamp(double v) {
  double r = v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5);  // half away from zero
  if (!(r >= -32768.0)) return -32768;  // also NaN
  if (r > 32767.0) return 32767;
  return static_cast<int16_t>(r);
}

}  // namespace

int32_t MulDiv32(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t product = int64_t(a) * b;
  int64_t divisor = c;
  bool negative = (product < 0) != (divisor < 0);
  uint64_t p = product < 0 ? uint64_t(-product) : uint64_t(product);
  uint64_t d = divisor < 0 ? uint64_t(-divisor) : uint64_t(divisor);
  uint64_t q = (p + d / 2) / d;
  if (q > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return -1;
  return negative ? static_cast<int32_t>(-static_cast<int64_t>(q)) : static_cast<int32_t>(q);
}

int16_t PictMapper::X(int x) const {
  if (sw_ == 0) return RoundClamp(dl_);
  return RoundClamp(double(x - sl_) * dw_ / sw_ + dl_);
}

int16_t PictMapper::Y(int y) const {
  if (sh_ == 0) return RoundClamp(dt_);
  return RoundClamp(double(y - st_) * dh_ / sh_ + dt_);
}

}  // namespace tstools::pict
