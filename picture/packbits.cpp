#include "picture/packbits.h"

#include <cstring>

namespace tstools::pict {
namespace {

// Most runs in real pictures are short. While a whole chunk fits on both sides, a short run
// moves as one fixed-size copy or fill (a single vector move) and the surplus is overwritten
// by the runs after it; the last runs of a row take their exact length.
constexpr size_t kChunk = 16;

bool Unpack8(const uint8_t *src, size_t srcSize, uint8_t *dst, size_t dstSize) {
  size_t in = 0, out = 0;
  while (out < dstSize) {
    if (in >= srcSize) break;
    int n = static_cast<int8_t>(src[in++]);
    size_t room = dstSize - out;
    if (n >= 0) {
      size_t count = size_t(n) + 1;
      if (count > srcSize - in) break;
      if (count <= kChunk && room >= kChunk && srcSize - in >= kChunk) {
        std::memcpy(dst + out, src + in, kChunk);
      } else {
        count = count < room ? count : room;  // a run reaching past the row is cut there
        std::memcpy(dst + out, src + in, count);
      }
      in += size_t(n) + 1;
      out += count;
    } else {
      if (in >= srcSize) break;
      size_t count = size_t(1 - n);
      uint8_t value = src[in++];
      if (count <= kChunk && room >= kChunk) {
        std::memset(dst + out, value, kChunk);
      } else {
        count = count < room ? count : room;
        std::memset(dst + out, value, count);
      }
      out += count;
    }
  }
  if (out < dstSize) {  // the packed data ended first
    std::memset(dst + out, 0, dstSize - out);
    return false;
  }
  return true;
}

bool Unpack16(const uint8_t *src, size_t srcSize, uint8_t *dst, size_t dstSize) {
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
      size_t bytes = size_t(n + 1) * 2;
      if (bytes > srcSize - in) {
        ok = false;
        break;
      }
      size_t fits = bytes < dstSize - out ? bytes : dstSize - out;
      std::memcpy(dst + out, src + in, fits);
      in += bytes;
      out += fits;
    } else {
      if (2 > srcSize - in) {
        ok = false;
        break;
      }
      size_t bytes = size_t(1 - n) * 2;
      size_t fits = bytes < dstSize - out ? bytes : dstSize - out;
      for (size_t i = 0; i < fits; ++i) dst[out + i] = src[in + i % 2];
      out += fits;
      in += 2;
    }
  }
  if (out < dstSize) std::memset(dst + out, 0, dstSize - out);
  return ok;
}

}  // namespace

bool UnpackBits(const uint8_t *src, size_t srcSize, uint8_t *dst, size_t dstSize) {
  return Unpack8(src, srcSize, dst, dstSize);
}

bool UnpackBits16(const uint8_t *src, size_t srcSize, uint8_t *dst, size_t dstSize) {
  return Unpack16(src, srcSize, dst, dstSize);
}

}  // namespace tstools::pict
