// Where the parts of a packed DIB (a header, its colour masks and table, then the bits) lie in
// a block of outside data. Windows finds the bits itself once it has the header; we must find
// them too, and prove every part lies inside the block before handing pointers on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tstools::pict {

struct DibLayout {
  uint32_t headerSize = 0;   // 12 (core), 40, 52, 56, 108 or 124
  int32_t width = 0;         // pixels, 1..32,767
  int32_t height = 0;        // magnitude of the stored height, 1..32,767
  bool topDown = false;      // a negative height: the first row stored is the top one
  uint16_t bitCount = 0;     // 1, 4, 8, 16, 24 or 32
  uint32_t compression = 0;  // 0 RGB, 1 RLE8, 2 RLE4, 3 bit fields, 6 bit fields with alpha
  size_t colorsOffset = 0;   // the colour table, after the header and any separate masks
  uint32_t colorCount = 0;   // entries in it (3 bytes each for a core header, else 4)
  size_t bitsOffset = 0;     // the pixel data
  size_t bitsSize = 0;       // what the pixel data needs (compressed: what the block holds)
};

// Fills layout and returns true when block[0, size) is a packed DIB whose colour table and
// bits lie within it. A table larger than the depth allows (biClrUsed) is refused, as are
// compressions that do not suit the depth, and frames beyond 32,767 pixels.
bool LocateDib(const uint8_t *block, size_t size, DibLayout *layout);

}  // namespace tstools::pict
