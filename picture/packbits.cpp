#include "picture/packbits.h"

#include <cstring>

namespace tstools::pict {
namespace {

// unit: bytes per element (1, or 2 for the 16-bit variant).
bool Unpack(const uint8_t *src, size_t srcSize, uint8_t *dst, size_t dstSize, size_t unit) {
  size_t in = 0, out = 0;
  bool ok = true;
  while (out < dstSize) {
    if (in >= srcSize) {
      ok = false;
      break;
    }
    int n = static_cast<int8_t>(src[in++]);
    // A run reaching past the row's end is cut at the end: decoding stops there.
    if (n >= 0) {
      size_t bytes = size_t(n + 1) * unit;
      if (bytes > srcSize - in) {
        ok = false;
        break;
      }
      size_t fits = bytes < dstSize - out ? bytes : dstSize - out;
      std::memcpy(dst + out, src + in, fits);
      in += bytes;
      out += fits;
    } else {
      if (unit > srcSize - in) {
        ok = false;
        break;
      }
      size_t bytes = size_t(1 - n) * unit;
      size_t fits = bytes < dstSize - out ? bytes : dstSize - out;
      if (unit == 1 && fits > 16) {
        std::memset(dst + out, src[in], fits);
      } else if (unit == 1) {  // most runs are short: no call
        for (size_t i = 0; i < fits; ++i) dst[out + i] = src[in];
      } else {
        for (size_t i = 0; i < fits; ++i) dst[out + i] = src[in + i % unit];
      }
      out += fits;
      in += unit;
    }
  }
  if (out < dstSize) std::memset(dst + out, 0, dstSize - out);
  return ok;
}

}  // namespace

bool UnpackBits(const uint8_t *src, size_t srcSize, uint8_t *dst, size_t dstSize) {
  return Unpack(src, srcSize, dst, dstSize, 1);
}

bool UnpackBits16(const uint8_t *src, size_t srcSize, uint8_t *dst, size_t dstSize) {
  return Unpack(src, srcSize, dst, dstSize, 2);
}

}  // namespace tstools::pict
