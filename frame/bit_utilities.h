// The Toolbox's bit utilities over plain bytes. Bits are numbered the Toolbox way: bit 0 is
// the most significant bit of byte 0, bit n the bit 0x80 >> (n & 7) of byte floor(n / 8), so a
// negative n reaches the bytes before the pointer.
#pragma once

#include <cstdint>

namespace tstools {

bool TestBit(const unsigned char *bytes, int32_t n);
void SetBit(unsigned char *bytes, int32_t n);
void ClearBit(unsigned char *bytes, int32_t n);

// Arithmetic right shift of a signed 32-bit value by count modulo 32.
int32_t ShiftRightArithmetic(int32_t value, int32_t count);

}  // namespace tstools
