// JPEG export: compresses a device-independent bitmap with libjpeg (float DCT, libjpeg's
// default quality). Portable; BitmapToJPEG copies the result into a new handle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tstools::pict {

struct JpegBitmap {
  const uint8_t *pixels = nullptr;  // row n starts at pixels + n * stride
  const uint8_t *colors = nullptr;  // 8 bits: 4-byte entries blue, green, red, reserved
  long stride = 0;
  int bitsPerPixel = 0;             // 8, 16 (5-5-5, little-endian words) or 24 (blue, green, red)
  int width = 0, height = 0;
};

// The JPEG data, or empty for a depth other than 8, 16 or 24, a missing pixel pointer (or
// colour table at 8 bits), a size libjpeg refuses, or a libjpeg error.
std::vector<uint8_t> BitmapToJpeg(const JpegBitmap &bitmap);

}  // namespace tstools::pict
