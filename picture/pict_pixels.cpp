#include "picture/pict_pixels.h"

#include <algorithm>
#include <cstring>

namespace tstools::pict {
namespace {

inline uint8_t Widen5(unsigned c) { return static_cast<uint8_t>(c << 3 | c >> 2); }

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
  std::memset(dib, 0, dibRowBytes);
  if (width <= 0) return;
  const size_t w = size_t(width);
  switch (h.pixelSize) {
    case 1:
    case 4:
    case 8:
      if (rawSize) std::memcpy(dib, raw, std::min(rawSize, dibRowBytes));
      break;
    case 2:  // 2-bit indexes widen to 4-bit ones
      for (size_t i = 0; i < w && i / 4 < rawSize; ++i) {
        unsigned v = raw[i / 4] >> (6 - 2 * (i % 4)) & 3;
        dib[i / 2] |= static_cast<uint8_t>(i % 2 ? v : v << 4);
      }
      break;
    case 16:  // big-endian xRRRRRGGGGGBBBBB
      for (size_t i = 0; i < w && 2 * i + 1 < rawSize; ++i) {
        unsigned px = unsigned(raw[2 * i]) << 8 | raw[2 * i + 1];
        dib[3 * i] = Widen5(px & 31);
        dib[3 * i + 1] = Widen5(px >> 5 & 31);
        dib[3 * i + 2] = Widen5(px >> 10 & 31);
      }
      break;
    case 32:
      if (!packed && h.packType == 2) {  // r, g, b
        for (size_t i = 0; i < w && 3 * i + 2 < rawSize; ++i) {
          dib[3 * i] = raw[3 * i + 2];
          dib[3 * i + 1] = raw[3 * i + 1];
          dib[3 * i + 2] = raw[3 * i];
        }
      } else if (!packed) {  // pad, r, g, b
        for (size_t i = 0; i < w && 4 * i + 3 < rawSize; ++i) {
          dib[3 * i] = raw[4 * i + 3];
          dib[3 * i + 1] = raw[4 * i + 2];
          dib[3 * i + 2] = raw[4 * i + 1];
        }
      } else {  // planar: [alpha,] red, green, blue planes, each rowBytes / 4 wide
        size_t plane = h.rowBytes / 4;
        size_t first = h.cmpCount == 3 ? 0 : plane;  // skip the alpha plane
        for (size_t i = 0; i < w && i < plane && first + 2 * plane + i < rawSize; ++i) {
          dib[3 * i] = raw[first + 2 * plane + i];
          dib[3 * i + 1] = raw[first + plane + i];
          dib[3 * i + 2] = raw[first + i];
        }
      }
      break;
    default:
      break;
  }
}

}  // namespace tstools::pict
