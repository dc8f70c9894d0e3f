// The description every metafile conversion starts from: a frame in 72-per-inch points and
// the units per inch of the mapping mode, derived from a METAFILEPICT's mapping mode and
// extents. Portable; all arithmetic in 64 bits, so extents near the 32-bit limits (or the
// most negative one) neither overflow nor wrap.
#pragma once

#include <cstdint>

namespace tstools::pict {

enum : int32_t {
  kMapText = 1, kMapLoMetric, kMapHiMetric, kMapLoEnglish, kMapHiEnglish, kMapTwips, kMapIsotropic,
  kMapAnisotropic
};

// Tag written into recorded and converted picture headers.
constexpr int16_t kMetaTag = 19020;

// Stored native (little-endian) at the start of a MetaFlat and, from offset 2, of a PicMeta.
struct MetaHeader {
  int16_t left = 0, top = 0, right = 0, bottom = 0;  // points; y-up modes give bottom < 0
  int16_t unitsPerInch = 0;
  int16_t tag = kMetaTag;
  int32_t mm = 0, xExt = 0, yExt = 0;

  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
};

// Units per inch of a mapping mode (2538 for the metric ones); 0 for an unknown mode.
int UnitsPerInch(int32_t mm);

// The rounding multiply-divide of the platform (halves away from zero), in 64 bits. False
// when c is 0 or the result lies outside 32 bits.
bool MulDiv64(int64_t a, int64_t b, int64_t c, int64_t *out);

// Points to hundredths of a millimetre, the extents the library writes (MulDiv(p, 635, 18)).
int32_t PointsToHimetric(int32_t points);

// The header for (mm, xExt, yExt): frame (0, 0, w, h) in points by the mapping mode's rule.
// False when w or h does not fit a 16-bit coordinate; *out is then untouched.
bool HeaderFromMetaFilePict(int32_t mm, int32_t xExt, int32_t yExt, MetaHeader *out);

// Bytes of a bitmap of |width| x |height| at bitsPerPixel, rows padded to 32 bits, in 64
// bits; sizes are magnitudes because y-up frames have negative heights.
int64_t BitmapBytes(int64_t width, int64_t height, int bitsPerPixel);

// The largest block a Memory Manager handle (and so a written picture) may hold.
constexpr int64_t kMaxPictureBytes = 16777213;

}  // namespace tstools::pict
