#include "quickdraw/rect_math.h"

#include <algorithm>

#include "frame/byte_reader.h"
#include "quickdraw/fixed_math.h"

namespace tstools::qd {

bool SectRect(const QdRect &a, const QdRect &b, QdRect &dst) {
  bool overlap = a.right >= a.left && a.bottom >= a.top && b.right >= b.left &&
                 b.bottom >= b.top && b.right > a.left && a.top < b.bottom && a.right > b.left &&
                 b.top < a.bottom;
  if (overlap) {
    QdRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
    if (r.right >= r.left && r.top <= r.bottom) {
      dst = r;
      return true;
    }
  }
  dst = QdRect{0, 0, 0, 0};
  return false;
}

QdRect PointsToRect(QdPoint p1, QdPoint p2) {
  return QdRect{std::min(p1.h, p2.h), std::min(p1.v, p2.v), std::max(p1.h, p2.h),
                std::max(p1.v, p2.v)};
}

int16_t MapCoordinate(int16_t x, int16_t srcLow, int16_t srcHigh, int16_t dstLow, int16_t dstHigh) {
  auto srcSpan = static_cast<int16_t>(srcHigh - srcLow);
  if (srcSpan == 0) return dstLow;
  double scale = static_cast<double>(dstHigh - dstLow) / srcSpan;
  double t = scale * (x - srcLow);
  t = t < 0.0 ? t - 0.5 : t + 0.5;
  // Truncation toward zero finishes the rounding; the clamp keeps far-off results in range.
  int64_t mapped = static_cast<int64_t>(dstLow) + SaturateToInt32(t);
  return static_cast<int16_t>(std::clamp<int64_t>(mapped, INT16_MIN, INT16_MAX));
}

QdRect MapRect(const QdRect &r, const QdRect &src, const QdRect &dst) {
  return QdRect{MapCoordinate(r.left, src.left, src.right, dst.left, dst.right),
                MapCoordinate(r.top, src.top, src.bottom, dst.top, dst.bottom),
                MapCoordinate(r.right, src.left, src.right, dst.left, dst.right),
                MapCoordinate(r.bottom, src.top, src.bottom, dst.top, dst.bottom)};
}

QdRect SwapStoredRect(const uint8_t stored[8]) {
  ByteReader r(stored, 8);  // top, left, bottom, right
  int16_t top = r.S16BE(), left = r.S16BE(), bottom = r.S16BE(), right = r.S16BE();
  return QdRect{left, top, right, bottom};
}

}  // namespace tstools::qd
