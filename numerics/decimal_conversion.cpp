#include "numerics/decimal_conversion.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "numerics/rounding_control.h"
#include "numerics/sane_math.h"

namespace tstools::numerics {
namespace {

// Longest exact decimal expansion of a double: 767 significant digits (the smallest
// subnormal); the bound computed below may exceed it by a few.
constexpr int kExpansionCapacity = 1100;
// Digits produced beyond the ones needed, so that a round-to-nearest expansion can be read as
// a truncated one (see ExactLeadingDigits).
constexpr int kGuardDigits = 3;

// Parses the exponent after 'e' of a to_chars scientific result.
int ScientificExponent(const char *e, const char *end) {
  int value = 0;
  std::from_chars(e[1] == '+' ? e + 2 : e + 1, end, value);
  return value;
}

// Writes the first `sigDigits` rounded-to-nearest significant digits of ax (finite, > 0)
// into out (digits only) and returns the decimal exponent E (ax = d1.d2... x 10^E).
int RoundedDigits(double ax, int sigDigits, char *out) {
  char text[kExpansionCapacity + 16];
  auto result = std::to_chars(text, text + sizeof text, ax, std::chars_format::scientific, sigDigits - 1);
  const char *e = text;
  int n = 0;
  for (; e < result.ptr && *e != 'e'; ++e)
    if (*e != '.') out[n++] = *e;
  return ScientificExponent(e, result.ptr);
}

// Writes the first `want` digits of the exact decimal expansion of ax (finite, > 0),
// truncated, into out; returns the decimal exponent E (ax = d1.d2... x 10^E).
//
// to_chars rounds to nearest, so `want` + guard digits are asked for: unless the guard digits
// come back all zero, no carry reached the wanted digits and they are the truncated ones. All
// zeros means the value is short (or a carry happened); then the whole exact expansion is
// produced, whose length is bounded by the binary exponent.
int ExactLeadingDigits(double ax, int want, char *out) {
  char rounded[kExpansionCapacity + 16];
  int exponent = RoundedDigits(ax, want + kGuardDigits, rounded);
  bool guardsZero = true;
  for (int i = want; i < want + kGuardDigits; ++i) guardsZero = guardsZero && rounded[i] == '0';
  if (!guardsZero) {
    std::memcpy(out, rounded, want);
    return exponent;
  }
  // ax = m x 2^e with m odd: with e < 0 it has exactly -e fraction digits, so at most
  // E + 1 - e significant digits; with e >= 0 it is an integer of E + 1 digits.
  int binaryExponent;
  double mantissa = std::frexp(ax, &binaryExponent);
  std::uint64_t m = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
  binaryExponent -= 53;
  while ((m & 1) == 0) {
    m >>= 1;
    ++binaryExponent;
  }
  int exactLength = exponent + 1 + (binaryExponent < 0 ? -binaryExponent : 0);
  if (exactLength < 1) exactLength = 1;
  if (exactLength <= want + kGuardDigits) {  // the rounded expansion was already exact
    std::memcpy(out, rounded, want);
    return exponent;
  }
  char exact[kExpansionCapacity + 16];
  exponent = RoundedDigits(ax, exactLength, exact);
  std::memcpy(out, exact, want);
  return exponent;
}

// Rounds digits[0..kept) by the dropped digit `next`. Returns true when the carry ran out of
// the leading digit (all kept digits were 9 and are now 0).
bool RoundKeptDigits(char *digits, int kept, char next, int direction) {
  bool halfUp = direction == kToNearest || direction == kUpward;
  if (!halfUp || next < '5') return false;
  for (int i = kept - 1; i >= 0; --i) {
    if (digits[i] != '9') {
      ++digits[i];
      return false;
    }
    digits[i] = '0';
  }
  return true;
}

int ClampInt(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// Classifies x into the DigitString, returning true when digits are to be produced.
bool Classify(double x, DigitString &out) {
  out.negative = std::signbit(x);
  if (std::isnan(x)) {
    out.kind = ValueKind::kNotANumber;
    return false;
  }
  if (std::isinf(x)) {
    out.kind = ValueKind::kInfinite;
    return false;
  }
  return true;
}

// Produces the rounded digits of |x| down to a position given by countFromPoint(p), the number
// of digits wanted when the value is 0.d1d2... x 10^p (fixed notation needs p to know it;
// needsPoint says so). Zero has p = 1.
template <typename CountFromPoint>
DigitString ProduceDigits(double x, int direction, bool needsPoint, CountFromPoint countFromPoint) {
  DigitString result;
  if (!Classify(x, result)) return result;
  double ax = std::fabs(x);
  if (ax == 0) {
    result.pointPosition = 1;
    int count = ClampInt(countFromPoint(1), 0, kMaxRecordDigits);
    std::memset(result.digits, '0', count);
    result.count = count;
    return result;
  }
  int p = 0;
  if (needsPoint) {
    // A 17-digit rounding gives the point position, one too high when it carried into the
    // next decade; the exact expansion below corrects it.
    char probe[24];
    p = RoundedDigits(ax, 17, probe) + 1;
  }
  for (;;) {
    int count = countFromPoint(p);
    if (count < 0) {
      // Every kept position lies above the leading digit, so the first dropped digit is a
      // leading zero: the value rounds to zero by magnitude, whatever the direction.
      result.pointPosition = p;
      result.count = 0;
      return result;
    }
    count = ClampInt(count, 0, kMaxRecordDigits);
    char expansion[kMaxRecordDigits + 2];
    int exactPoint = ExactLeadingDigits(ax, count + 1, expansion) + 1;
    if (needsPoint && exactPoint != p) {
      p = exactPoint;
      continue;
    }
    if (RoundKeptDigits(expansion, count, expansion[count], direction)) {
      result.digits[0] = '1';
      std::memcpy(result.digits + 1, expansion, count);
      result.count = count + 1;
      result.pointPosition = exactPoint + 1;
    } else {
      std::memcpy(result.digits, expansion, count);
      result.count = count;
      result.pointPosition = exactPoint;
    }
    return result;
  }
}

void AppendText(unsigned char *out, int &length, const char *text, int n) {
  std::memcpy(out + 1 + length, text, n);
  length += n;
}

void AppendRepeated(unsigned char *out, int &length, char c, int n) {
  if (n <= 0) return;
  std::memset(out + 1 + length, c, n);
  length += n;
}

int WriteSpecial(const DigitString &d, unsigned char out[256]) {
  const char *text = d.kind == ValueKind::kInfinite ? "INF" : "NAN";
  out[0] = 3;
  std::memcpy(out + 1, text, 3);
  return 1;
}

int WriteFloating(double x, int digits, int direction, unsigned char out[256]) {
  DigitString d = SignificantDigits(x, digits, direction);
  if (d.kind != ValueKind::kFinite) return WriteSpecial(d, out);
  int length = 0;
  AppendText(out, length, d.negative ? "-" : " ", 1);
  AppendText(out, length, d.digits, 1);
  AppendText(out, length, ".", 1);
  AppendText(out, length, d.digits + 1, digits - 1);  // a carried extra digit is cut here
  int exponent = d.pointPosition - 1;
  char expText[8];
  expText[0] = 'e';
  expText[1] = exponent < 0 ? '-' : '+';
  auto end = std::to_chars(expText + 2, expText + sizeof expText, exponent < 0 ? -exponent : exponent);
  AppendText(out, length, expText, static_cast<int>(end.ptr - expText));
  out[0] = static_cast<unsigned char>(length);
  return length;
}

// Characters of a fixed-notation text with point position p.
long FixedLength(bool negative, int p, int digits) {
  return (negative ? 1 : 0) + (p > 0 ? p : 1) + (digits > 0 ? 1L + digits : 0);
}

}  // namespace

DigitString SignificantDigits(double x, int significant, int direction) {
  significant = ClampInt(significant, 1, kMaxRecordDigits);
  return ProduceDigits(x, direction, false, [significant](int) { return significant; });
}

int FormatNumber(int style, int *digits, double x, int direction, unsigned char out[256]) {
  if (style == 0) {
    if (*digits > kMaxFloatingDigits) *digits = kMaxFloatingDigits;
    return WriteFloating(x, ClampInt(*digits, 1, kMaxFloatingDigits), direction, out);
  }
  int fraction = *digits;
  // A request whose text cannot fit is answered in floating notation before any digits are
  // produced (the +1 allows for a carry into a new decade).
  if (std::isfinite(x) && x != 0) {
    int p = static_cast<int>(std::floor(std::log10(std::fabs(x)))) + 2;
    if (FixedLength(true, p, fraction) > 256 + 2)
      return WriteFloating(x, kOverlongFixedFallbackDigits, direction, out);
  } else if (std::isfinite(x) && FixedLength(true, 1, fraction) > 255) {
    return WriteFloating(x, kOverlongFixedFallbackDigits, direction, out);
  }
  DigitString d = ProduceDigits(x, direction, true, [fraction](int p) {
    long count = static_cast<long>(p) + fraction;
    return count > kMaxRecordDigits + 1 ? kMaxRecordDigits + 1 : static_cast<int>(count);
  });
  if (d.kind != ValueKind::kFinite) return WriteSpecial(d, out);
  // Nothing left after rounding is a zero: "0" and the fraction's zeros.
  int p = d.count == 0 ? 0 : d.pointPosition;
  if (FixedLength(d.negative, p, fraction) > 255)
    return WriteFloating(x, kOverlongFixedFallbackDigits, direction, out);
  int length = 0;
  if (d.negative) AppendText(out, length, "-", 1);
  if (p > 0) {
    // The digit string holds p + fraction digits; with a negative fraction count the integer
    // is rounded to tens, hundreds... and ends in zeros.
    int available = d.count < p ? d.count : p;
    AppendText(out, length, d.digits, available);
    AppendRepeated(out, length, '0', p - available);
  } else {
    AppendText(out, length, "0", 1);
  }
  if (fraction > 0) {
    AppendText(out, length, ".", 1);
    if (p > 0) {
      AppendText(out, length, d.digits + p, fraction);
    } else {
      // -p leading zeros, then the digits; always exactly `fraction` characters.
      int zeros = -p < fraction ? -p : fraction;
      AppendRepeated(out, length, '0', zeros);
      AppendText(out, length, d.digits, fraction - zeros < d.count ? fraction - zeros : d.count);
      AppendRepeated(out, length, '0', fraction - zeros - d.count);
    }
  }
  out[0] = static_cast<unsigned char>(length);
  return length;
}

DecimalParts DecomposeNumber(int digits, double x, int direction) {
  int n = ClampInt(digits, 1, kMaxRecordDigits);
  DigitString d = SignificantDigits(x, n, direction);
  DecimalParts parts;
  parts.sgn = d.negative ? 1 : 0;
  if (d.kind != ValueKind::kFinite) {
    parts.sig[0] = 3;
    std::memcpy(parts.sig + 1, d.kind == ValueKind::kInfinite ? "INF" : "NAN", 3);
    return parts;
  }
  // A carried "1000..." has one digit too many: its last (a zero) is cut.
  parts.sig[0] = static_cast<unsigned char>(n);
  std::memcpy(parts.sig + 1, d.digits, n);
  parts.exp = static_cast<short>(d.pointPosition - n);
  return parts;
}

namespace {

bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads the longest prefix of text[0..length) that forms a decimal number; 0 if there is none.
double ParseBounded(const char *text, std::size_t length) {
  const char *p = text;
  const char *end = text + length;
  while (p < end && IsSpace(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  // from_chars takes no sign of its own; a second one is not a number.
  if (p == end || *p == '+' || *p == '-') return 0;
  ScopedNearestRounding nearest;
  double value = 0;
  std::from_chars_result r = std::from_chars(p, end, value, std::chars_format::general);
  if (r.ec == std::errc::invalid_argument) return 0;
  if (r.ec == std::errc::result_out_of_range) {
    // Beyond the double range: the C library tells overflow (infinity) from underflow (zero)
    // on exactly the characters from_chars accepted. Every text the exports pass (a Str255 or
    // a decimal record) fits the buffer, so they never allocate here.
    std::size_t n = static_cast<std::size_t>(r.ptr - p);
    char local[512];
    std::string longer;
    if (n < sizeof local) {
      std::memcpy(local, p, n);
      local[n] = '\0';
    } else {
      longer.assign(p, n);
    }
    value = std::strtod(n < sizeof local ? local : longer.c_str(), nullptr);
  }
  return negative ? -value : value;
}

}  // namespace

double ComposeNumber(unsigned char sgn, short exp, const unsigned char *sig) {
  int length = sig[0];
  if (length == 0 || sig[1] == '0') return 0.0;
  double value;
  if (sig[1] == 'I') {
    value = HUGE_VAL;
  } else if (sig[1] == 'N') {
    value = MakeNaN(0);
  } else {
    // sig "E" exp: at most 255 digits, "E" and six characters of exponent.
    char text[256 + 8];
    std::memcpy(text, sig + 1, length);
    text[length] = 'E';
    auto end = std::to_chars(text + length + 1, text + sizeof text, static_cast<int>(exp));
    value = ParseBounded(text, static_cast<std::size_t>(end.ptr - text));
  }
  return (sgn & 1) ? -value : value;
}

double ParseNumber(const unsigned char *text, std::size_t length) {
  if (length > 0 && text[0] == 'I') return HUGE_VAL;
  if (length > 0 && text[0] == 'N') return MakeNaN(0);
  // The text ends at its first NUL, as a C string would.
  const void *nul = std::memchr(text, 0, length);
  if (nul != nullptr) length = static_cast<std::size_t>(static_cast<const unsigned char *>(nul) - text);
  return ParseBounded(reinterpret_cast<const char *>(text), length);
}

}  // namespace tstools::numerics
