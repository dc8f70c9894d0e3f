// The SANE financial, random and elementary functions on doubles.
#pragma once

#include <cstdint>

namespace tstools::numerics {

// A quiet NaN carrying an 8-bit SANE code in fraction bits 43..50 (bit 51 is the quiet bit), so
// code 0 is the processor's default quiet NaN.
double MakeNaN(unsigned char code);
// The code MakeNaN put into a NaN.
unsigned char NaNCode(double nan);

// x truncated toward zero, as the low 32 bits of a 64-bit integer conversion; values beyond
// 64 bits and NaNs give the processor's integer-indefinite value, whose low half is 0.
std::int32_t TruncateToLongint(double x);

double PowerXY(double x, double y);          // NaN (code 0) if either is a NaN
double Compound(double rate, double periods); // (1 + r)^n
double Annuity(double rate, double periods);  // (1 - (1 + r)^-n) / r; n when r is 0

// One step of the Lehmer generator: fmod(x * 16807, 2^31 - 1).
double NextRandom(double seed);

}  // namespace tstools::numerics
