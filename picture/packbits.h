// PackBits run-length decoding as PICT rows store it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tstools::pict {

// Unpacks src (srcSize bytes) into exactly dstSize bytes. A flag byte n in 0..127 is followed
// by n + 1 literal bytes; -127..-1 (and -128) by one byte repeated 1 - n times. Decoding stops
// when the row is full (a run reaching past its end is cut). Returns false when the packed
// data ends first; the rest of the row is then zero-filled. Never reads or writes out of bounds.
bool UnpackBits(const uint8_t *src, size_t srcSize, uint8_t *dst, size_t dstSize);

// The 16-bit variant: literal runs and repeats count 16-bit words. dstSize is in bytes and
// must be even for a full decode.
bool UnpackBits16(const uint8_t *src, size_t srcSize, uint8_t *dst, size_t dstSize);

}  // namespace tstools::pict

namespace tstools::pict {

// The most PackBits makes of n bytes: all literal runs of 127 plus their flags.
constexpr size_t PackBitsBound(size_t n) { return n + (n + 126) / 127; }

// Packs one row of n bytes into dst (room for PackBitsBound(n)) the way QuickDraw packs rows:
// literal runs up to 127 bytes stop before a pair of equal bytes; repeats of 2 to 127. When
// the result would reach n + 1 bytes the row is written again as literal runs only. Returns the
// number of bytes written.
size_t PackBits(const uint8_t *src, size_t n, uint8_t *dst);

}  // namespace tstools::pict
