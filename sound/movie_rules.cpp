#include "sound/movie_rules.h"

#include <algorithm>

namespace tstools {

namespace {
int16_t Saturate(int32_t value) { return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX)); }
}  // namespace

LongRect WidenRect(const ShortRect &rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

ShortRect NarrowRect(const LongRect &rect) {
  return {Saturate(rect.left), Saturate(rect.top), Saturate(rect.right), Saturate(rect.bottom)};
}

uint32_t PackProductVersion(uint32_t versionHigh, uint32_t versionLow) {
  const uint32_t a = versionHigh >> 16, b = versionHigh & 0xFFFF, c = versionLow >> 16, d = versionLow & 0xFFFF;
  return (a * 16 + b * 10 + c) * 256 + d;  // at most 65535 * 27 * 256 + 65535: no overflow
}

}  // namespace tstools
