#include "picture/pict_pixels.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tstools::pict {
namespace {

inline uint8_t Widen5(unsigned c) { return static_cast<uint8_t>(c << 3 | c >> 2); }

inline uint32_t Load32(const uint8_t *p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

inline void Store32(uint8_t *p, uint32_t v) { std::memcpy(p, &v, 4); }

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels packed as little-endian words");

// Red, green and blue planes to blue, green, red triples. A three-way byte interleave needs
// byte shuffles that plain SSE2 lacks, so GCC does not vectorise it at all and clang only
// the word form below. Four pixels at a time become three 32-bit words in registers; where
// SSE2 is there (every x86-64 build, not the i686 one), sixteen at a time.
void InterleaveWords(const uint8_t *red, const uint8_t *green, const uint8_t *blue, uint8_t *bgr,
                     size_t n) {
  size_t i = 0;
  for (; i + 4 <= n; i += 4, bgr += 12) {
    uint32_t r = Load32(red + i), g = Load32(green + i), b = Load32(blue + i);
    // Little-endian: byte k of each word is pixel i + k; out the words go b0 g0 r0 b1,
    // g1 r1 b2 g2, r2 b3 g3 r3. Stored one by one: GCC builds an array of them on the stack.
    Store32(bgr, (b & 0xFF) | (g & 0xFF) << 8 | (r & 0xFF) << 16 | (b & 0xFF00) << 16);
    Store32(bgr + 4, (g >> 8 & 0xFF) | (r & 0xFF00) | (b & 0xFF0000) | (g & 0xFF0000) << 8);
    Store32(bgr + 8,
            (r >> 16 & 0xFF) | (b >> 16 & 0xFF00) | (g >> 8 & 0xFF0000) | (r & 0xFF000000));
  }
  for (; i < n; ++i, bgr += 3) bgr[0] = blue[i], bgr[1] = green[i], bgr[2] = red[i];
}

void InterleavePlanes(const uint8_t *red, const uint8_t *green, const uint8_t *blue, uint8_t *bgr,
                      size_t n) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  // Bytes 0-2 and 3-5 of each 64-bit half.
  const __m128i first = _mm_set_epi32(0, 0xFFFFFF, 0, 0xFFFFFF);
  const __m128i second = _mm_set_epi32(0xFFFF, 0xFF000000, 0xFFFF, 0xFF000000);
  // Each step writes two bytes past its 48: the pixel after it must exist, and overwrites them.
  for (; i + 16 < n; i += 16, bgr += 48) {
    __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i *>(red + i));
    __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i *>(green + i));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(blue + i));
    __m128i bgLow = _mm_unpacklo_epi8(b, g), bgHigh = _mm_unpackhi_epi8(b, g);
    __m128i rLow = _mm_unpacklo_epi8(r, zero), rHigh = _mm_unpackhi_epi8(r, zero);
    // Four pixels a register as b, g, r, 0 words.
    const __m128i quads[4] = {_mm_unpacklo_epi16(bgLow, rLow), _mm_unpackhi_epi16(bgLow, rLow),
                              _mm_unpacklo_epi16(bgHigh, rHigh), _mm_unpackhi_epi16(bgHigh, rHigh)};
    for (int k = 0; k < 4; ++k) {
      // Each 64-bit half's two pixels closed up into six bytes, stored eight at a time.
      __m128i six = _mm_or_si128(_mm_and_si128(quads[k], first),
                                 _mm_and_si128(_mm_srli_epi64(quads[k], 8), second));
      _mm_storel_epi64(reinterpret_cast<__m128i *>(bgr + 12 * k), six);
      _mm_storel_epi64(reinterpret_cast<__m128i *>(bgr + 12 * k + 6), _mm_srli_si128(six, 8));
    }
  }
#endif
  InterleaveWords(red + i, green + i, blue + i, bgr, n - i);
}
}  // namespace

int DibDepthFor(int pixelSize) {
  switch (pixelSize) {
    case 1: return 1;
    case 2: return 4;
    case 4: return 4;
    case 8: return 8;
    case 16: return 24;
    case 32: return 24;
    default: return 0;
  }
}

size_t DibRowBytes(int width, int depth) {
  if (width <= 0) return 0;
  return (size_t(width) * size_t(depth) + 31) / 32 * 4;
}

bool RowsArePacked(const PixMapHeader &h, bool alwaysUnpacked) {
  if (alwaysUnpacked || h.rowBytes < 8) return false;
  if (!h.isPixMap) return true;
  if (h.packType == 1) return false;
  if (h.pixelSize == 32 && h.packType == 2) return false;
  return true;
}

size_t StoredRowBytes(const PixMapHeader &h) {
  if (h.isPixMap && h.pixelSize == 32 && h.packType == 2) return size_t(h.rowBytes / 4) * 3;
  return h.rowBytes;
}

size_t UnpackedRowBytes(const PixMapHeader &h, bool packed) {
  if (!packed) return StoredRowBytes(h);
  if (h.pixelSize == 32 && h.cmpCount == 3) return size_t(h.rowBytes / 4) * 3;
  return h.rowBytes;
}

void ConvertRow(const PixMapHeader &h, bool packed, const uint8_t *raw, size_t rawSize,
                uint8_t *dib, size_t dibRowBytes, int width) {
  const size_t w = width > 0 ? size_t(width) : 0;
  size_t filled = 0;  // bytes of dib written; the rest is cleared
  switch (w ? h.pixelSize : 0) {
    case 1:
    case 4:
    case 8:
      filled = std::min(rawSize, dibRowBytes);
      if (filled) std::memcpy(dib, raw, filled);
      break;
    case 2:  // 2-bit indexes widen to 4-bit ones
      filled = std::min(dibRowBytes, (w + 1) / 2);
      std::memset(dib, 0, filled);
      for (size_t i = 0; i < w && i / 4 < rawSize; ++i) {
        unsigned v = raw[i / 4] >> (6 - 2 * (i % 4)) & 3;
        dib[i / 2] |= static_cast<uint8_t>(i % 2 ? v : v << 4);
      }
      break;
    case 16: {  // big-endian xRRRRRGGGGGBBBBB
      size_t n = std::min(w, rawSize / 2);
      for (size_t i = 0; i < n; ++i) {
        unsigned px = unsigned(raw[2 * i]) << 8 | raw[2 * i + 1];
        dib[3 * i] = Widen5(px & 31);
        dib[3 * i + 1] = Widen5(px >> 5 & 31);
        dib[3 * i + 2] = Widen5(px >> 10 & 31);
      }
      filled = 3 * n;
      break;
    }
    case 32:
      if (!packed && h.packType == 2) {  // r, g, b
        size_t n = std::min(w, rawSize / 3);
        for (size_t i = 0; i < n; ++i) {
          dib[3 * i] = raw[3 * i + 2];
          dib[3 * i + 1] = raw[3 * i + 1];
          dib[3 * i + 2] = raw[3 * i];
        }
        filled = 3 * n;
      } else if (!packed) {  // pad, r, g, b
        size_t n = std::min(w, rawSize / 4);
        for (size_t i = 0; i < n; ++i) {
          dib[3 * i] = raw[4 * i + 3];
          dib[3 * i + 1] = raw[4 * i + 2];
          dib[3 * i + 2] = raw[4 * i + 1];
        }
        filled = 3 * n;
      } else {  // planar: [alpha,] red, green, blue planes, each rowBytes / 4 wide
        size_t plane = h.rowBytes / 4;
        size_t first = h.cmpCount == 3 ? 0 : plane;  // skip the alpha plane
        if (first + 2 * plane >= rawSize) break;
        size_t n = std::min({w, plane, rawSize - first - 2 * plane});
        const uint8_t *red = raw + first, *green = red + plane, *blue = green + plane;
        InterleavePlanes(red, green, blue, dib, n);
        filled = 3 * n;
      }
      break;
    default:
      break;
  }
  std::memset(dib + filled, 0, dibRowBytes - filled);
}

}  // namespace tstools::pict
