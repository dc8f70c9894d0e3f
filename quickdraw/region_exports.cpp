// Region exports: every region is a GDI region used directly. A null handle, or one that
// names anything but a region (a pen, a deleted region), is ignored, so that a stale
// handle from the host never reaches GDI as the wrong kind of object.
#include <cstdlib>

#include "quickdraw/regions.h"
#include "tstools/quickdraw.h"

using tstools::qd::IsRegion;

RgnHandle WINAPI NewRgn(void) { return CreateRectRgn(0, 0, 0, 0); }

void WINAPI DisposeRgn(RgnHandle rgn) {
  if (IsRegion(rgn)) DeleteObject(rgn);
}

void WINAPI CopyRgn(RgnHandle src, RgnHandle dst) {
  if (IsRegion(src) && IsRegion(dst) && src != dst) CombineRgn(dst, src, nullptr, RGN_COPY);
}

void WINAPI SetEmptyRgn(RgnHandle rgn) {
  if (IsRegion(rgn)) SetRectRgn(rgn, 0, 0, 0, 0);
}

void WINAPI M_SetRectRgn(RgnHandle rgn, short left, short top, short right, short bottom) {
  if (!IsRegion(rgn)) return;
  if (right > left && bottom > top)
    SetRectRgn(rgn, left, top, right, bottom);
  else
    SetRectRgn(rgn, 0, 0, 0, 0);
}

void WINAPI RectRgn(RgnHandle rgn, const Rect *r) {
  if (r) M_SetRectRgn(rgn, r->left, r->top, r->right, r->bottom);
}

void WINAPI M_OffsetRgn(RgnHandle rgn, short dh, short dv) {
  if (IsRegion(rgn)) OffsetRgn(rgn, dh, dv);
}

namespace {

short Combine(RgnHandle a, RgnHandle b, RgnHandle dst, int mode) {
  if (!IsRegion(a) || !IsRegion(b) || !IsRegion(dst)) return ERROR;
  return static_cast<short>(CombineRgn(dst, a, b, mode));
}

}  // namespace

short WINAPI SectRgn(RgnHandle a, RgnHandle b, RgnHandle dst) { return Combine(a, b, dst, RGN_AND); }
short WINAPI UnionRgn(RgnHandle a, RgnHandle b, RgnHandle dst) { return Combine(a, b, dst, RGN_OR); }
short WINAPI DiffRgn(RgnHandle a, RgnHandle b, RgnHandle dst) { return Combine(a, b, dst, RGN_DIFF); }
short WINAPI XorRgn(RgnHandle a, RgnHandle b, RgnHandle dst) { return Combine(a, b, dst, RGN_XOR); }

Boolean WINAPI PtInRgn(Point pt, RgnHandle rgn) {
  return IsRegion(rgn) && PtInRegion(rgn, pt.h, pt.v);
}

Boolean WINAPI RectInRgn(const Rect *r, RgnHandle rgn) {
  if (!r || !IsRegion(rgn)) return false;
  RECT box{r->left, r->top, r->right, r->bottom};
  return RectInRegion(rgn, &box) != 0;
}

Boolean WINAPI EmptyRgn(RgnHandle rgn) {
  // Offsetting by nothing is the cheapest GDI call that reports the region's kind.
  return !IsRegion(rgn) || OffsetRgn(rgn, 0, 0) == NULLREGION;
}

void WINAPI InsetRgn(RgnHandle rgn, short dh, short dv) {
  if (!IsRegion(rgn)) return;
  tstools::qd::InsetRegionAlongAxis(rgn, dh, true);
  tstools::qd::InsetRegionAlongAxis(rgn, dv, false);
}

void WINAPI OpenRgn(void) {}

void WINAPI CloseRgn(RgnHandle) {}

namespace tstools::qd {

bool IsRegion(HRGN rgn) { return rgn && GetObjectType(rgn) == OBJ_REGION; }

// Erodes (inset > 0) or dilates (inset < 0) rgn by a segment of half-length |inset| along one
// axis. A Minkowski operation with the segment [0, n] is built by doubling: once X is done
// for [0, k], X op (X shifted by s) is done for [0, k + s] for any s <= k + 1, so log2(n)
// combinations suffice. Centring shifts the result back by |inset|.
void InsetRegionAlongAxis(HRGN rgn, int inset, bool horizontal) {
  if (inset == 0) return;
  int half = std::abs(inset);
  int span = 2 * half;
  bool erode = inset > 0;
  HRGN shifted = CreateRectRgn(0, 0, 0, 0);
  if (!shifted) return;
  for (int done = 0; done < span;) {
    int step = done + 1 < span - done ? done + 1 : span - done;
    CombineRgn(shifted, rgn, nullptr, RGN_COPY);
    // Erosion keeps p when p + step is also inside; dilation adds p + step.
    int delta = erode ? -step : step;
    OffsetRgn(shifted, horizontal ? delta : 0, horizontal ? 0 : delta);
    CombineRgn(rgn, rgn, shifted, erode ? RGN_AND : RGN_OR);
    done += step;
  }
  DeleteObject(shifted);
  int centre = erode ? half : -half;
  OffsetRgn(rgn, horizontal ? centre : 0, horizontal ? 0 : centre);
}

}  // namespace tstools::qd
