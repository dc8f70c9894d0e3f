// Paragraph spacing values in their units (0 lines, 1 points, 2 inches, 3 centimetres) turned
// into pixels. Shared by the line builder and ConvertToPixels. Portable.
#pragma once

#include <cstdint>

#include "textedit/te_types.h"

namespace tstools::text {

constexpr Fixed kDefaultResolution = 72 * kFixedOne;
constexpr int64_t kFixedInch = 166461;  // 2.54 centimetres to the inch, as a Fixed

constexpr Fixed SaturateFixed(int64_t v) {
  return v > INT32_MAX ? INT32_MAX : v < -INT32_MAX ? -INT32_MAX : static_cast<Fixed>(v);
}

// a x b rounded to the nearest Fixed, saturating instead of wrapping.
constexpr Fixed MulFixed(Fixed a, Fixed b) {
  int64_t p = static_cast<int64_t>(a) * b;
  int64_t m = ((p < 0 ? -p : p) + 0x8000) >> 16;
  return SaturateFixed(p < 0 ? -m : m);
}

// The unit's nibble of a ParaFormat's units word for line spacing (0), space before (1) and
// space after (2).
constexpr unsigned SpacingUnit(uint16_t units, int which) { return (units >> (4 * which)) & 0xF; }

// value in unit as pixels (Fixed): lines are lineUnit each, inches resolution each,
// centimetres resolution / 2.54 each; an unknown unit passes the value through. Saturates.
constexpr Fixed SpacingToPixels(Fixed value, unsigned unit, Fixed resolution, Fixed lineUnit) {
  switch (unit) {
    case 0: return MulFixed(value, lineUnit);
    case 1: return value;
    case 2: return MulFixed(value, resolution);
    case 3: {
      int64_t p = static_cast<int64_t>(value) * resolution;  // Fixed squared: 2^32 per unit
      int64_t q = p / kFixedInch;                           // back to Fixed, divided by 2.54
      return SaturateFixed(q);
    }
    default: return value;
  }
}

}  // namespace tstools::text
