// Rectangle and point arithmetic in the library's Rect order (left, top, right, bottom).
// Portable: the same layout as the public Rect and Point records.
#pragma once

#include <cstdint>

namespace tstools::qd {

struct QdRect {
  int16_t left, top, right, bottom;
};
struct QdPoint {
  int16_t h, v;
};

// Intersection of a and b: false, with dst all zeros, when either is inverted or they do
// not overlap with positive area on both axes. dst may alias a or b.
bool SectRect(const QdRect &a, const QdRect &b, QdRect &dst);

// The smallest rect with both points as corners.
QdRect PointsToRect(QdPoint p1, QdPoint p2);

// Maps r from the frame src to the frame dst, corner by corner, rounding halves away from
// zero. A source span of zero (computed in 16 bits, so spans beyond 32767 wrap as they
// always have) maps every coordinate to dst's left or top. Coordinates that land outside
// the 16-bit range are clamped to it rather than wrapped.
QdRect MapRect(const QdRect &r, const QdRect &src, const QdRect &dst);

// One coordinate of MapRect: from [srcLow, srcHigh) onto [dstLow, dstHigh).
int16_t MapCoordinate(int16_t x, int16_t srcLow, int16_t srcHigh, int16_t dstLow, int16_t dstHigh);

// A stored Toolbox rect (top, left, bottom, right; big-endian 16-bit each) as a QdRect.
QdRect SwapStoredRect(const uint8_t stored[8]);

}  // namespace tstools::qd
