// Binary-to-decimal and decimal-to-binary conversion for the SANE exports. Plain numbers in,
// plain buffers out: no Windows types, so it runs under the sanitizers and the fuzzer.
#pragma once

#include <cstddef>

namespace tstools::numerics {

// SANE rounding directions as the host numbers them.
enum RoundingDirection { kToNearest = 0, kUpward = 1, kDownward = 2, kTowardZero = 3 };

// The most significand digits a decimal record holds: its sig field is a Str255.
constexpr int kMaxRecordDigits = 255;
// Floating-notation text carries at most this many significant digits.
constexpr int kMaxFloatingDigits = 20;
// A fixed-notation text that would not fit a Str255 is written in floating notation with this
// many significant digits instead (enough to read the same double back).
constexpr int kOverlongFixedFallbackDigits = 17;

enum class ValueKind { kFinite, kInfinite, kNotANumber };

// A rounded digit string: the value is 0.d1d2d3... x 10^pointPosition.
struct DigitString {
  ValueKind kind = ValueKind::kFinite;
  bool negative = false;
  int pointPosition = 0;
  int count = 0;
  char digits[kMaxRecordDigits + 2] = {};  // up to 255 digits plus a carried leading "1"
};

// The leading `significant` digits of x (1..255), rounded by magnitude: half up for
// directions 0 and 1, truncated for 2 and 3. A carry out of the leading digit shows as an extra
// leading "1" (count = significant + 1) with pointPosition raised by one. Zero gives
// pointPosition 1 and zeros.
DigitString SignificantDigits(double x, int significant, int direction);

// Num2Str: writes the Str255 text of x into out (length byte first) and returns the value the
// export returns: the text length, or 1 for "INF" and "NAN". style 0 is floating notation;
// *digits is reduced to 20 there (the caller's decform sees the reduction).
int FormatNumber(int style, int *digits, double x, int direction, unsigned char out[256]);

// Num2Dec in floating style: sgn, exp and the significand text (Str255) of x with `digits`
// significant digits, clamped to 1..255.
struct DecimalParts {
  unsigned char sgn = 0;
  short exp = 0;
  unsigned char sig[256] = {};
};
DecimalParts DecomposeNumber(int digits, double x, int direction);

// Dec2Num: the double a decimal record denotes (sig is a Str255), rounded to nearest.
double ComposeNumber(unsigned char sgn, short exp, const unsigned char *sig);

// Str2Num over `length` bytes of text: leading white space, a sign, digits, a point and an
// exponent, stopping at the first character that does not fit; no number gives 0. A leading
// "I" is +infinity and a leading "N" a NaN. Rounded to nearest whatever the direction.
double ParseNumber(const unsigned char *text, std::size_t length);

}  // namespace tstools::numerics
