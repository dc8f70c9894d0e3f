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

namespace tstools::pict {
namespace {

// Literal runs only: 127 bytes a run, then the remainder.
size_t PackLiterals(const uint8_t *src, size_t n, uint8_t *dst) {
  size_t out = 0;
  for (size_t in = 0; in < n;) {
    size_t k = n - in < 127 ? n - in : 127;
    dst[out++] = static_cast<uint8_t>(k - 1);
    std::memcpy(dst + out, src + in, k);
    out += k;
    in += k;
  }
  return out;
}

}  // namespace

size_t PackBits(const uint8_t *src, size_t n, uint8_t *dst) {
  // Runs are checked against n before they are written: a row that would grow past its own
  // length goes out as literals instead, so dst never takes more than PackBitsBound(n).
  size_t in = 0, out = 0;
  while (in < n) {
    if (n - in < 2 || src[in] != src[in + 1]) {
      size_t k = 1;  // stop before the next pair of equal bytes
      while (in + k < n && k < 127 && !(in + k + 1 < n && src[in + k] == src[in + k + 1])) ++k;
      if (out + 1 + k > n) return PackLiterals(src, n, dst);
      dst[out++] = static_cast<uint8_t>(k - 1);
      std::memcpy(dst + out, src + in, k);
      out += k;
      in += k;
    } else {
      const uint8_t value = src[in];
      size_t k = 2;
      while (in + k < n && k < 127 && src[in + k] == value) ++k;
      if (out + 2 > n) return PackLiterals(src, n, dst);
      dst[out++] = static_cast<uint8_t>(1 - int(k));
      dst[out++] = value;
      in += k;
    }
  }
  return out;
}

}  // namespace tstools::pict
