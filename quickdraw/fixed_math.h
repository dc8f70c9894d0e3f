// 16.16 fixed-point arithmetic with the Toolbox's rounding and saturation rules. Portable.
#pragma once

#include <cstdint>

namespace tstools::qd {

constexpr int32_t kFixedMax = 0x7FFFFFFF;                // positive overflow, every operation
constexpr int32_t kFixedMulMin = -0x7FFFFFFF;            // 0x80000001: FixMul and FixRatio
constexpr int32_t kFixedDivMin = INT32_MIN;              // 0x80000000: FixDiv and X2Fix

// n clamped to -32767..32767 (the Toolbox never produces -32768.0 here), as 16.16.
int32_t LongToFixed(int32_t n);

// Nearest integer, halves away from zero, in 16-bit arithmetic: magnitudes of 32767.5 and
// more wrap (0x7FFF8000 rounds to -32768), as callers of the Toolbox version see.
int16_t FixedRound(int32_t x);

// Product rounded half up on the magnitude. Saturates when the integer parts alone overflow
// and also, where the classic routine wrapped silently, when the full product does.
int32_t FixedMul(int32_t a, int32_t b);

// n / d truncated toward zero. d == 0 saturates by the sign of n. -32768 / -1 (+32768.0)
// saturates to 0x7FFFFFFF; -32768 / 1 is exactly 0x80000000.
int32_t FixedRatio(int16_t n, int16_t d);

// a / b via doubles, truncated toward zero; b == 0 and results outside 32 bits saturate to
// 0x7FFFFFFF or 0x80000000.
int32_t FixedDiv(int32_t a, int32_t b);

double FixedToDouble(int32_t x);

// d x 65536 truncated toward zero; out of range saturates like FixedDiv, NaN gives 0.
int32_t DoubleToFixed(double d);

// Truncates toward zero and clamps to the 32-bit range (NaN gives 0): the conversions
// C++ leaves undefined out of range.
int32_t SaturateToInt32(double d);

}  // namespace tstools::qd
