// Header maths of the metafile conversions.
#include "picture/meta_header.h"

#include <algorithm>
#include <cstdlib>

namespace tstools::pict {

namespace {

constexpr int64_t kCoordinateLimit = 32767;

bool FitsCoordinate(int64_t v) { return v >= -kCoordinateLimit && v <= kCoordinateLimit; }

}  // namespace

int UnitsPerInch(int32_t mm) {
  switch (mm) {
    case kMapText: return 72;
    case kMapLoMetric: return 254;
    case kMapHiMetric:
    case kMapIsotropic:
    case kMapAnisotropic: return 2538;
    case kMapLoEnglish: return 100;
    case kMapHiEnglish: return 1000;
    case kMapTwips: return 1440;
    default: return 0;
  }
}

bool MulDiv64(int64_t a, int64_t b, int64_t c, int64_t *out) {
  if (c == 0) return false;
  // Operands are 32-bit values in practice; refuse what could overflow the product.
  const int64_t kLimit = int64_t(1) << 31;
  if (std::llabs(a) > kLimit || std::llabs(b) > kLimit || std::llabs(c) > kLimit) return false;
  if (c < 0) {
    a = -a;
    c = -c;
  }
  int64_t product = a * b;
  int64_t r = product >= 0 ? (product + c / 2) / c : (product - c / 2) / c;
  if (r > INT32_MAX || r < -INT32_MAX) return false;
  *out = r;
  return true;
}

int32_t PointsToHimetric(int32_t points) {
  int64_t r = 0;
  return MulDiv64(points, 635, 18, &r) ? int32_t(r) : 0;
}

bool HeaderFromMetaFilePict(int32_t mm, int32_t xExt, int32_t yExt, MetaHeader *out) {
  const int64_t x = xExt, y = yExt;
  int64_t w = 0, h = 0;
  switch (mm) {
    case kMapLoMetric: w = x * 36 / 127; h = -(y * 36 / 127); break;
    case kMapHiMetric: w = x * 18 / 635; h = -(y * 18 / 635); break;
    case kMapLoEnglish: w = x * 18 / 25; h = -(y * 18 / 25); break;
    case kMapHiEnglish: w = x * 9 / 125; h = -(y * 9 / 125); break;
    case kMapTwips: w = x / 20; h = -(y / 20); break;
    case kMapIsotropic:
    case kMapAnisotropic:
      if (x < 0 && y < 0) {
        // Aspect ratio only: the larger side becomes 256 points.
        int64_t sy = 0, sx = 0;
        MulDiv64(25600, 1, -y, &sy);
        MulDiv64(25600, 1, -x, &sx);
        int64_t s = std::max(sx, sy);
        w = -x * s / 100;
        h = -y * s / 100;
      } else if (x >= 1 && y >= 1) {
        if (!MulDiv64(x, 18, 635, &w) || !MulDiv64(y, 18, 635, &h)) return false;
      } else {
        w = h = 256;
      }
      break;
    default: w = x; h = y; break;
  }
  if (!FitsCoordinate(w) || !FitsCoordinate(h)) return false;
  MetaHeader header;
  header.right = int16_t(w);
  header.bottom = int16_t(h);
  header.unitsPerInch = int16_t(UnitsPerInch(mm));
  header.mm = mm;
  header.xExt = xExt;
  header.yExt = yExt;
  *out = header;
  return true;
}

int64_t BitmapBytes(int64_t width, int64_t height, int bitsPerPixel) {
  const int64_t kLimit = int64_t(1) << 24;  // far beyond any bitmap GDI makes
  if (std::llabs(width) > kLimit || std::llabs(height) > kLimit) return INT64_MAX;
  int64_t rowBits = std::llabs(width) * std::max(bitsPerPixel, 1);
  return (rowBits + 31) / 32 * 4 * std::llabs(height);
}

}  // namespace tstools::pict
