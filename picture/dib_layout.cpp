#include "picture/dib_layout.h"

#include "frame/byte_reader.h"

namespace tstools::pict {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr int32_t kMaxSide = 32767;

bool DepthAllowed(uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool CompressionSuits(uint32_t compression, uint16_t bits) {
  switch (compression) {
    case kRgb: return true;
    case kRle8: return bits == 8;
    case kRle4: return bits == 4;
    case kBitFields:
    case kAlphaBitFields: return bits == 16 || bits == 32;
    default: return false;  // JPEG and PNG payloads are not bitmaps GDI can make here
  }
}

}  // namespace

bool LocateDib(const uint8_t *block, size_t size, DibLayout *layout) {
  ByteReader in(block, size);
  DibLayout dib;
  dib.headerSize = in.U32LE();
  uint32_t sizeImage = 0, clrUsed = 0;
  size_t entryBytes = 4;
  if (dib.headerSize == 12) {
    dib.width = in.U16LE();
    dib.height = in.S16LE();
    in.U16LE();  // planes
    dib.bitCount = in.U16LE();
    entryBytes = 3;
  } else if (dib.headerSize == 40 || dib.headerSize == 52 || dib.headerSize == 56 ||
             dib.headerSize == 108 || dib.headerSize == 124) {
    dib.width = in.S32LE();
    dib.height = in.S32LE();
    in.U16LE();  // planes
    dib.bitCount = in.U16LE();
    dib.compression = in.U32LE();
    sizeImage = in.U32LE();
    in.Skip(8);  // resolution
    clrUsed = in.U32LE();
  } else {
    return false;
  }
  if (in.Failed() || dib.headerSize > size || !DepthAllowed(dib.bitCount) ||
      !CompressionSuits(dib.compression, dib.bitCount))
    return false;
  dib.topDown = dib.height < 0;
  if (dib.topDown) {
    // Compressed bitmaps are bottom-up by definition; INT32_MIN has no magnitude.
    if (dib.compression == kRle8 || dib.compression == kRle4 || dib.height < -kMaxSide) return false;
    dib.height = -dib.height;
  }
  if (dib.width < 1 || dib.width > kMaxSide || dib.height < 1 || dib.height > kMaxSide) return false;

  // Separate masks follow a 40-byte header only; the larger headers carry them inside.
  uint64_t offset = dib.headerSize;
  if (dib.headerSize == 40 && dib.compression == kBitFields) offset += 12;
  if (dib.headerSize == 40 && dib.compression == kAlphaBitFields) offset += 16;

  uint64_t depthColors = dib.bitCount <= 8 ? 1u << dib.bitCount : 0;
  uint64_t colors = clrUsed ? clrUsed : depthColors;
  if (dib.bitCount <= 8 && colors > depthColors) return false;
  if (colors > 65536) return false;  // an optional table for a direct depth, sanity-bounded
  dib.colorsOffset = size_t(offset);
  dib.colorCount = uint32_t(colors);
  offset += colors * entryBytes;

  uint64_t stride = (uint64_t(dib.width) * dib.bitCount + 31) / 32 * 4;
  uint64_t needed = stride * uint64_t(dib.height);
  if (dib.compression == kRle8 || dib.compression == kRle4) {
    // The runs' own length is biSizeImage; without it, all the block holds.
    if (offset > size) return false;
    needed = sizeImage ? sizeImage : size - offset;
  }
  if (offset > size || needed > size - offset) return false;
  dib.bitsOffset = size_t(offset);
  dib.bitsSize = size_t(needed);
  *layout = dib;
  return true;
}

}  // namespace tstools::pict
