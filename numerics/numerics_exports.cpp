// The SANE exports: argument unpacking around the portable conversions and the processor's
// rounding control.
#include <windows.h>

#include <float.h>

#include <cmath>
#include <cstring>

#include "numerics/decimal_conversion.h"
#include "numerics/rounding_control.h"
#include "numerics/sane_math.h"
#include "tstools/numerics.h"

using namespace tstools::numerics;

short WINAPI Num2Str(decform *f, double x, unsigned char *out) {
  int digits = f->digits;
  int result = FormatNumber(f->style, &digits, x, GetRoundingDirection(), out);
  f->digits = static_cast<short>(digits);
  return static_cast<short>(result);
}

short WINAPI Num2Dec(decform *f, double x, decimal *d) {
  if (f->style != 0) return f->style;
  DecimalParts parts = DecomposeNumber(f->digits, x, GetRoundingDirection());
  d->sgn = parts.sgn;
  d->exp = parts.exp;
  std::memcpy(d->sig, parts.sig, 1 + parts.sig[0]);
  return 0;
}

double *WINAPI ML_Dec2Num(const decimal *d, double *out) {
  *out = ComposeNumber(d->sgn, d->exp, d->sig);
  return out;
}

double *WINAPI ML_Str2Num(const unsigned char *s, double *out) {
  *out = ParseNumber(s + 1, s[0]);
  return out;
}

long WINAPI Num2Longint(double x) { return TruncateToLongint(x); }

double *WINAPI ML_Num2Double(double x, double *out) {
  *out = x;
  return out;
}

unsigned int WINAPI SetRound(short direction) {
  if (direction < 0 || direction > 3) return static_cast<unsigned short>(direction);
  SetRoundingDirection(direction);
  return _controlfp(0, 0);  // mask 0: reads the word without changing it
}

short WINAPI GetRound(void) { return static_cast<short>(GetRoundingDirection()); }

double *WINAPI ML_XpwrY(double x, double y, double *out) {
  *out = PowerXY(x, y);
  return out;
}

double *WINAPI ML_Compound(double r, double n, double *out) {
  *out = Compound(r, n);
  return out;
}

double *WINAPI ML_Annuity(double r, double n, double *out) {
  *out = Annuity(r, n);
  return out;
}

double *WINAPI ML_RandomX(double *x) {
  *x = NextRandom(*x);
  return x;
}

double *WINAPI ML_RInt(double x, double *out) {
  *out = std::nearbyint(x);  // rounds in the processor's current direction
  return out;
}

double *WINAPI ML_Log2(double x, double *out) {
  *out = static_cast<double>(std::log2(static_cast<long double>(x)));
  return out;
}

double *WINAPI ML_Ln(double x, double *out) {
  *out = static_cast<double>(std::log(static_cast<long double>(x)));
  return out;
}

double *WINAPI ML_Infinity(double *out) {
  *out = HUGE_VAL;
  return out;
}

double *WINAPI ML_NaN(unsigned char code, double *out) {
  *out = MakeNaN(code);
  return out;
}
