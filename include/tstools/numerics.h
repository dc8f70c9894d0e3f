/* SANE numerics: decimal conversion, rounding direction, financial and elementary functions.
 *
 * SANE's extended type crosses this interface as an IEEE 754 double (8 bytes) on both the
 * 32-bit and the 64-bit DLL: hosts declare `extended` as double. (An 80-bit long double exists
 * only in some i686 compilers and is not what a host built with Microsoft's compiler passes,
 * so it is never used here.) Values are passed by value; results are written through the
 * result pointer, which is returned.
 *
 * The rounding direction lives only in the processor: SetRound writes both the x87 control
 * word and MXCSR, so the host's own arithmetic follows it in either unit; GetRound reads the
 * unit this DLL computes in (x87 in the 32-bit DLL, SSE in the 64-bit one). The decimal
 * digits of Num2Str and Num2Dec are rounded by magnitude, half up under directions 0 and 1
 * and truncated under 2 and 3, from the exact decimal value of the double. ML_Str2Num and
 * ML_Dec2Num round to nearest whatever the direction.
 */
#ifndef TSTOOLS_NUMERICS_H
#define TSTOOLS_NUMERICS_H

#include <stddef.h>
#include <tstools/types.h>

enum { FLOATDECIMAL = 0, FIXEDDECIMAL = 1 };
enum { TONEAREST = 0, UPWARD = 1, DOWNWARD = 2, TOWARDZERO = 3 };

#pragma pack(push, 1)
/* Conversion format: style 0 is floating notation, anything else fixed; digits counts
 * significant digits (floating) or fraction digits (fixed). No gap between the fields. */
typedef struct decform {
  signed char style;
  short digits;
} decform;
#pragma pack(pop)

/* Decimal record: the value is sig (digit characters read as an integer) x 10^exp, negated
 * when sgn is 1; sig may also be "INF" or "NAN". */
typedef struct decimal {
  unsigned char sgn;
  unsigned char unused;
  short exp;
  Str255 sig;
} decimal;

#ifdef __cplusplus
static_assert(sizeof(decform) == 3 && offsetof(decform, digits) == 1, "decform is packed");
static_assert(offsetof(decimal, exp) == 2 && offsetof(decimal, sig) == 4 && sizeof(decimal) == 260,
              "decimal record layout");
#endif

/* Writes x as text into out and returns its length (1 for "INF" and "NAN", which carry no
 * sign). Floating notation (style 0): a sign character ("-" or a space), digits significant
 * digits as d.ddd, then "e", the exponent's sign and its digits (" 1.2345e+3"); digits above
 * 20 are reduced to 20 and the reduction is written back into *f; fewer than 1 give 1.
 * Fixed notation: "-" for negative values, the integer part ("0" below 1) and, when digits
 * is positive, "." and exactly digits fraction digits; a negative digits rounds to tens,
 * hundreds... A fixed-notation text that would exceed 255 characters is written in floating
 * notation with 17 significant digits instead. */
TSAPI(short, Num2Str, (decform *f, double x, unsigned char *out));

/* Fills *d with x to f->digits significant digits (1..255) when f->style is 0 and returns 0;
 * any other style is returned and *d is left unchanged. */
TSAPI(short, Num2Dec, (decform *f, double x, decimal *d));

/* The double a decimal record denotes: 0 when sig starts with "0" (or is empty), infinity
 * for "I", a NaN for "N", otherwise sig "E" exp read as a number; negated when sgn is odd. */
TSAPI(double *, ML_Dec2Num, (const decimal *d, double *out));

/* Reads text: leading white space, a sign, digits, a point and an exponent, up to the first
 * character that does not fit (no number gives 0); "I..." is +infinity, "N..." a NaN. */
TSAPI(double *, ML_Str2Num, (const unsigned char *s, double *out));

/* x truncated toward zero, whatever the rounding direction: the low 32 bits of its 64-bit
 * integer value (0 for NaNs and values beyond 64 bits). */
TSAPI(long, Num2Longint, (double x));

/* *out = x: the value as a host double. */
TSAPI(double *, ML_Num2Double, (double x, double *out));

/* Sets the rounding direction 0..3 and returns the new floating-point control word in the C
 * runtime's _controlfp encoding; any other direction changes nothing and is returned. */
TSAPI(unsigned int, SetRound, (short direction));
/* The current rounding direction, 0..3. */
TSAPI(short, GetRound, (void));

/* A NaN argument gives a NaN. */
TSAPI(double *, ML_XpwrY, (double x, double y, double *out));    /* x^y */
TSAPI(double *, ML_Compound, (double r, double n, double *out)); /* (1 + r)^n */
/* (1 - (1 + r)^-n) / r, and n when r is 0. */
TSAPI(double *, ML_Annuity, (double r, double n, double *out));

/* Advances the seed in place: x = (x * 16807) mod (2^31 - 1). Returns x. */
TSAPI(double *, ML_RandomX, (double *x));

/* x rounded to an integral value in the current direction. */
TSAPI(double *, ML_RInt, (double x, double *out));

/* Base-2 and natural logarithms; a negative x gives a NaN and 0 gives -infinity. */
TSAPI(double *, ML_Log2, (double x, double *out));
TSAPI(double *, ML_Ln, (double x, double *out));

TSAPI(double *, ML_Infinity, (double *out)); /* +infinity */

/* A positive quiet NaN carrying code in fraction bits 43..50 (code 0: the default NaN). */
TSAPI(double *, ML_NaN, (unsigned char code, double *out));

#endif
