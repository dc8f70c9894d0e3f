#include "frame/bit_utilities.h"

namespace tstools {

namespace {

// Byte floor(n / 8): the arithmetic shift rounds toward minus infinity, as division would not.
std::ptrdiff_t ByteOf(int32_t n) { return n >> 3; }
unsigned char MaskOf(int32_t n) { return static_cast<unsigned char>(0x80u >> (n & 7)); }

}  // namespace

bool TestBit(const unsigned char *bytes, int32_t n) { return (bytes[ByteOf(n)] & MaskOf(n)) != 0; }

void SetBit(unsigned char *bytes, int32_t n) { bytes[ByteOf(n)] |= MaskOf(n); }

void ClearBit(unsigned char *bytes, int32_t n) { bytes[ByteOf(n)] &= static_cast<unsigned char>(~MaskOf(n)); }

int32_t ShiftRightArithmetic(int32_t value, int32_t count) { return value >> (count & 31); }

}  // namespace tstools
