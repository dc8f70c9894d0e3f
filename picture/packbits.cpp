#include "picture/packbits.h"

#include <algorithm>
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

// The first j in [from, limit) where src[j] == src[j + 1], else limit; limit < the row's size.
// Eight positions at a time where the byte order allows: a zero byte of (bytes ^ next bytes).
size_t NextPair(const uint8_t *src, size_t from, size_t limit) {
  size_t j = from;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  for (; j + 8 <= limit; j += 8) {
    uint64_t a, b;
    std::memcpy(&a, src + j, 8);
    std::memcpy(&b, src + j + 1, 8);
    const uint64_t x = a ^ b, zero = (x - kOnes) & ~x & kHighs;  // exact at its lowest byte
    if (zero) return j + size_t(__builtin_ctzll(zero) >> 3);
  }
#endif
  for (; j < limit; ++j)
    if (src[j] == src[j + 1]) return j;
  return limit;
}

// How many of the first `limit` bytes (at least 2, which are equal) repeat the first; eight at
// a time where the byte order allows: the lowest non-zero byte of (bytes ^ the value repeated).
size_t RunLength(const uint8_t *src, size_t limit) {
  size_t k = 2;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  const uint64_t repeated = src[0] * 0x0101010101010101ull;
  for (; k + 8 <= limit; k += 8) {
    uint64_t v;
    std::memcpy(&v, src + k, 8);
    if (v != repeated) return k + size_t(__builtin_ctzll(v ^ repeated) >> 3);
  }
#endif
  while (k < limit && src[k] == src[0]) ++k;
  return k;
}

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
      // Up to the next pair of equal bytes, the row's end or 127 bytes.
      const size_t end = std::min(n, in + 127), limit = std::min(end, n - 1);
      const size_t pair = NextPair(src, in + 1, limit);
      const size_t k = (pair == limit ? end : pair) - in;
      if (out + 1 + k > n) return PackLiterals(src, n, dst);
      dst[out++] = static_cast<uint8_t>(k - 1);
      std::memcpy(dst + out, src + in, k);
      out += k;
      in += k;
    } else {
      const uint8_t value = src[in];
      const size_t k = RunLength(src + in, std::min<size_t>(n - in, 127));
      if (out + 2 > n) return PackLiterals(src, n, dst);
      dst[out++] = static_cast<uint8_t>(1 - int(k));
      dst[out++] = value;
      in += k;
    }
  }
  return out;
}

}  // namespace tstools::pict
