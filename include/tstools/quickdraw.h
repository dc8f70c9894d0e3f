/* QuickDraw geometry: rectangles, points, Fixed arithmetic and regions.
 *
 * Rects keep the library's field order (left, top, right, bottom). Regions are GDI region
 * handles in port-local coordinates and may be handed to GDI directly. */
#ifndef TSTOOLS_QUICKDRAW_H
#define TSTOOLS_QUICKDRAW_H

#include <tstools/types.h>

typedef HRGN RgnHandle;

/* Intersection of a and b into dst (which may be a or b). False, with dst set to
 * (0,0,0,0), when either rect is inverted or they share no area: touching edges do not
 * intersect. */
TSAPI(Boolean, SectRect, (const Rect *a, const Rect *b, Rect *dst));

/* The smallest rect having both points as corners. */
TSAPI(void, Pt2Rect, (Point p1, Point p2, Rect *dst));

/* Maps *r in place from the frame src to the frame dst, each corner as a point, rounding
 * halves away from zero. A source frame of zero width (height) maps every h (v) to dst's
 * left (top). Results beyond the 16-bit range are clamped. */
TSAPI(void, MapRect, (Rect *r, const Rect *src, const Rect *dst));

/* Converts 8 stored bytes of a Toolbox rect (top, left, bottom, right, big-endian) to a
 * Rect. */
TSAPI(void, CopySwapRect, (const void *stored, Rect *out));

/* Fixed point. Positive overflow gives 0x7FFFFFFF; negative overflow 0x80000001 from FixMul
 * and FixRatio, 0x80000000 from FixDiv and ML_X2Fix. */
TSAPI(Fixed, Long2Fix, (long n));        /* n clamped to -32767..32767 */
TSAPI(long, Fix2Long, (Fixed x));        /* nearest, halves away from zero; 16-bit result */
TSAPI(short, FixRound, (Fixed x));       /* as Fix2Long */
TSAPI(Fixed, FixMul, (Fixed a, Fixed b)); /* nearest, halves away from zero */
/* n / d, truncated toward zero; d = 0 saturates by the sign of n. */
TSAPI(Fixed, FixRatio, (short n, short d));
/* a / b, truncated toward zero; b = 0 gives 0x7FFFFFFF for a >= 0, else 0x80000000. */
TSAPI(Fixed, FixDiv, (Fixed a, Fixed b));
TSAPI(double, ML_Fix2X, (Fixed x));      /* exact */
TSAPI(Fixed, ML_X2Fix, (double d));      /* truncated toward zero; NaN gives 0 */

/* Regions. The destination is always the last argument and must exist already. A null
 * handle, or one that is not a GDI region, is ignored: the call does nothing and returns
 * 0 (false, or the region kind "error"). */
TSAPI(RgnHandle, NewRgn, (void)); /* empty; null when GDI is out of regions */
TSAPI(void, DisposeRgn, (RgnHandle rgn)); /* deletes the GDI region */
TSAPI(void, CopyRgn, (RgnHandle src, RgnHandle dst)); /* dst becomes a copy of src */
TSAPI(void, SetEmptyRgn, (RgnHandle rgn)); /* keeps the handle, empties the region */
/* rgn becomes the rectangle; an empty one (right <= left or bottom <= top) gives the empty
 * region. */
TSAPI(void, M_SetRectRgn, (RgnHandle rgn, short left, short top, short right, short bottom));
TSAPI(void, RectRgn, (RgnHandle rgn, const Rect *r)); /* as M_SetRectRgn; null r: nothing */
TSAPI(void, M_OffsetRgn, (RgnHandle rgn, short dh, short dv)); /* moves rgn by (dh, dv) */
/* Combine a and b into dst (any of the three may be the same region) and return the kind of
 * the result: 0 error, 1 empty, 2 one rectangle, 3 complex. */
TSAPI(short, SectRgn, (RgnHandle a, RgnHandle b, RgnHandle dst));
TSAPI(short, UnionRgn, (RgnHandle a, RgnHandle b, RgnHandle dst));
TSAPI(short, DiffRgn, (RgnHandle a, RgnHandle b, RgnHandle dst)); /* a minus b */
TSAPI(short, XorRgn, (RgnHandle a, RgnHandle b, RgnHandle dst));
TSAPI(Boolean, PtInRgn, (Point pt, RgnHandle rgn)); /* the pixel below and right of pt */
TSAPI(Boolean, RectInRgn, (const Rect *r, RgnHandle rgn)); /* any part of r inside */
TSAPI(Boolean, EmptyRgn, (RgnHandle rgn)); /* also true for a null or foreign handle */
/* Shrinks rgn by dh horizontally and dv vertically on every edge (negative values grow
 * it), as InsetRect does for a rectangle. */
TSAPI(void, InsetRgn, (RgnHandle rgn, short dh, short dv));
/* Region recording is not supported: OpenRgn does nothing and CloseRgn leaves dstRgn
 * unchanged. Kept so that Toolbox sources link. */
TSAPI(void, OpenRgn, (void));
TSAPI(void, CloseRgn, (RgnHandle dstRgn));

#endif
