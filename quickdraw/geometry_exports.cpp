// Rect, point and Fixed exports: thin wrappers over the portable core.
#include <cstring>

#include "quickdraw/fixed_math.h"
#include "quickdraw/rect_math.h"
#include "tstools/quickdraw.h"

using tstools::qd::QdPoint;
using tstools::qd::QdRect;

static_assert(sizeof(QdRect) == sizeof(Rect) && sizeof(QdPoint) == sizeof(Point));

namespace {

QdRect ToQd(const Rect &r) { return QdRect{r.left, r.top, r.right, r.bottom}; }
Rect FromQd(const QdRect &r) { return Rect{r.left, r.top, r.right, r.bottom}; }

}  // namespace

Boolean WINAPI SectRect(const Rect *a, const Rect *b, Rect *dst) {
  if (!dst) return false;
  if (!a || !b) {
    *dst = Rect{0, 0, 0, 0};
    return false;
  }
  QdRect r;
  bool hit = tstools::qd::SectRect(ToQd(*a), ToQd(*b), r);
  *dst = FromQd(r);
  return hit;
}

void WINAPI Pt2Rect(Point p1, Point p2, Rect *dst) {
  if (dst) *dst = FromQd(tstools::qd::PointsToRect(QdPoint{p1.h, p1.v}, QdPoint{p2.h, p2.v}));
}

void WINAPI MapRect(Rect *r, const Rect *src, const Rect *dst) {
  if (r && src && dst) *r = FromQd(tstools::qd::MapRect(ToQd(*r), ToQd(*src), ToQd(*dst)));
}

void WINAPI CopySwapRect(const void *stored, Rect *out) {
  if (stored && out) *out = FromQd(tstools::qd::SwapStoredRect(static_cast<const uint8_t *>(stored)));
}

Fixed WINAPI Long2Fix(long n) { return tstools::qd::LongToFixed(n); }
long WINAPI Fix2Long(Fixed x) { return tstools::qd::FixedRound(x); }
short WINAPI FixRound(Fixed x) { return tstools::qd::FixedRound(x); }
Fixed WINAPI FixMul(Fixed a, Fixed b) { return tstools::qd::FixedMul(a, b); }
Fixed WINAPI FixRatio(short n, short d) { return tstools::qd::FixedRatio(n, d); }
Fixed WINAPI FixDiv(Fixed a, Fixed b) { return tstools::qd::FixedDiv(a, b); }
double WINAPI ML_Fix2X(Fixed x) { return tstools::qd::FixedToDouble(x); }
Fixed WINAPI ML_X2Fix(double d) { return tstools::qd::DoubleToFixed(d); }
