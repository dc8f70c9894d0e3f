// Bit-image rows of a PICT: how they are stored and how each becomes a DIB row.
#pragma once

#include <cstddef>
#include <cstdint>

#include "picture/pict_stream.h"

namespace tstools::pict {

struct PixMapHeader {
  bool isPixMap = false;  // false: a one-bit bitmap with no further header
  uint16_t rowBytes = 0;  // flag bits already masked off
  PictRect bounds;
  int16_t packType = 0;
  int32_t hRes = 72 << 16, vRes = 72 << 16;  // Fixed
  int16_t pixelSize = 1;
  int16_t cmpCount = 1;
};

// DIB depth for a pixel size: 2 widens to 4, 16 and 32 become 24; 0 for a size we cannot read.
int DibDepthFor(int pixelSize);
// Bytes per DIB row of width pixels at depth, a multiple of 4.
size_t DibRowBytes(int width, int depth);
// Whether each row is stored PackBits-packed behind its length. BitsRect and BitsRgn images
// (alwaysUnpacked) never are.
bool RowsArePacked(const PixMapHeader &h, bool alwaysUnpacked);
// Bytes of one row as stored when unpacked, and as it is after unpacking.
size_t StoredRowBytes(const PixMapHeader &h);
size_t UnpackedRowBytes(const PixMapHeader &h, bool packed);
// Converts one unpacked row (rawSize bytes) into a DIB row of width pixels (dibRowBytes long).
void ConvertRow(const PixMapHeader &h, bool packed, const uint8_t *raw, size_t rawSize,
                uint8_t *dib, size_t dibRowBytes, int width);

}  // namespace tstools::pict
