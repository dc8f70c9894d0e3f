#include "window/scroll_mapping.h"

#include <cstdint>

namespace tstools {

namespace {

long Saturate32(long long value) {
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<long>(value);
}

}  // namespace

long EffectivePage(long page) { return page < 1 ? 1 : page; }

long WindowsRangeMax(long macMax, long page) {
  return Saturate32(static_cast<long long>(EffectivePage(page)) + macMax - 1);
}

long MacMaxFromRange(long rangeMax, long page) {
  return Saturate32(static_cast<long long>(rangeMax) - EffectivePage(page) + 1);
}

}  // namespace tstools
