/* QuickDraw shape drawing and bit transfer on a port. Shapes cover the pixels from their
 * left/top edge up to, not including, their right/bottom edge; the pen hangs below and to
 * the right of the line it draws.
 *
 * Each shape has five verbs: Frame draws its outline inside the shape with the pen (pnSize
 * wide and high, in pnPat), Paint fills it with the pen pattern, Erase with the background
 * pattern, Fill with the pattern given, and Invert inverts its pixels. Frames, paints,
 * erases and fills use the pen mode (ML_PenMode). A rect, oval or rounded rect one pixel
 * wide or high frames as a 1-pixel line along it. Drawing is clipped to the port's clip and visible regions.
 *
 * Drawing calls report nothing: a null port, shape or pattern, or a port without a DC,
 * draws nothing. */
#ifndef TSTOOLS_SHAPES_H
#define TSTOOLS_SHAPES_H

#include <tstools/grafport.h>

/* A polygon handle is a global memory block: the total size in bytes (16-bit, the 10-byte
 * header included), the bounding Rect, then the vertices as Win32 POINTs. A handle whose
 * size word is smaller than the header, leaves a partial vertex, or exceeds the block
 * draws nothing. */
typedef HGLOBAL PolyHandle;

/* Transfer modes of ML_CopyBits; any other value copies. */
enum {
  srcCopy = 0, srcOr, srcXor, srcBic, notSrcCopy, notSrcOr, notSrcXor, notSrcBic
};

/* Rectangles. An inverted r (right < left or bottom < top) draws nothing. On a printer,
 * ML_FillRect first cuts r to the clip box (with a margin), as drivers fail on huge
 * rectangles. */
TSAPI(void, ML_FrameRect, (GrafPort *port, const Rect *r));
TSAPI(void, ML_PaintRect, (GrafPort *port, const Rect *r));
TSAPI(void, ML_EraseRect, (GrafPort *port, const Rect *r));
TSAPI(void, ML_InvertRect, (GrafPort *port, const Rect *r));
TSAPI(void, ML_FillRect, (GrafPort *port, const Rect *r, const Pattern *pat));

/* Ovals inscribed in r. */
TSAPI(void, ML_FrameOval, (GrafPort *port, const Rect *r));
TSAPI(void, ML_PaintOval, (GrafPort *port, const Rect *r));
TSAPI(void, ML_EraseOval, (GrafPort *port, const Rect *r));
TSAPI(void, ML_InvertOval, (GrafPort *port, const Rect *r));
TSAPI(void, ML_FillOval, (GrafPort *port, const Rect *r, const Pattern *pat));
/* A dotted black outline (1 x 1 pen) or a grey one pnSize wide (larger pens), whatever the
 * pen pattern. */
TSAPI(void, ML_FrameGrayOval, (GrafPort *port, const Rect *r));

/* Rectangles whose corners are quarters of an ovalWidth x ovalHeight oval. */
TSAPI(void, ML_FrameRoundRect, (GrafPort *port, const Rect *r, short ovalWidth, short ovalHeight));
TSAPI(void, ML_PaintRoundRect, (GrafPort *port, const Rect *r, short ovalWidth, short ovalHeight));
TSAPI(void, ML_EraseRoundRect, (GrafPort *port, const Rect *r, short ovalWidth, short ovalHeight));
TSAPI(void, ML_InvertRoundRect, (GrafPort *port, const Rect *r, short ovalWidth, short ovalHeight));
TSAPI(void, ML_FillRoundRect, (GrafPort *port, const Rect *r, short ovalWidth, short ovalHeight, const Pattern *pat));

/* Arcs of the oval in r. Angles in degrees: 0 is 12 o'clock, positive arc angles run
 * clockwise and negative ones counter-clockwise. ML_FrameArc draws the curve only; the other
 * verbs cover the wedge between the curve and the oval's centre. An arc angle of 0 draws
 * nothing; 360 or more (either way) is the whole oval. */
TSAPI(void, ML_FrameArc, (GrafPort *port, const Rect *r, short startAngle, short arcAngle));
TSAPI(void, ML_PaintArc, (GrafPort *port, const Rect *r, short startAngle, short arcAngle));
TSAPI(void, ML_EraseArc, (GrafPort *port, const Rect *r, short startAngle, short arcAngle));
TSAPI(void, ML_InvertArc, (GrafPort *port, const Rect *r, short startAngle, short arcAngle));
TSAPI(void, ML_FillArc, (GrafPort *port, const Rect *r, short startAngle, short arcAngle, const Pattern *pat));

/* Regions in local coordinates (quickdraw.h). A null handle, or one that is not a GDI
 * region, draws nothing. */
TSAPI(void, ML_FrameRgn, (GrafPort *port, RgnHandle rgn));
TSAPI(void, ML_PaintRgn, (GrafPort *port, RgnHandle rgn));
TSAPI(void, ML_EraseRgn, (GrafPort *port, RgnHandle rgn));
TSAPI(void, ML_InvertRgn, (GrafPort *port, RgnHandle rgn));
TSAPI(void, ML_FillRgn, (GrafPort *port, RgnHandle rgn, const Pattern *pat));

/* Polygons. ML_FramePoly draws pen lines from vertex to vertex (closed only when the last
 * vertex repeats the first) and leaves the pen at the last vertex. Paint, erase and fill
 * cover the vertices as one polygon under the DC's fill mode (alternate unless the host
 * changed it); invert uses the winding rule. */
TSAPI(void, ML_FramePoly, (GrafPort *port, PolyHandle poly));
TSAPI(void, ML_PaintPoly, (GrafPort *port, PolyHandle poly));
TSAPI(void, ML_ErasePoly, (GrafPort *port, PolyHandle poly));
TSAPI(void, ML_InvertPoly, (GrafPort *port, PolyHandle poly));
TSAPI(void, ML_FillPoly, (GrafPort *port, PolyHandle poly, const Pattern *pat));

/* Lines with the port's pen from the pen location to (h, v), or by (dh, dv), end point
 * included; the pen location moves to the end. A pen larger than 1 x 1 sweeps its
 * rectangle along the line. */
TSAPI(void, ML_LineTo, (GrafPort *port, short h, short v));
TSAPI(void, ML_Line, (GrafPort *port, short dh, short dv));

/* Stretches src of the bitmap onto dst of the port with a transfer mode above (Toolbox
 * sense: black is 1). Nothing is drawn when bitmap is not a bitmap or is selected into
 * another DC. reserved and maskRgn are not used. */
TSAPI(void, ML_CopyBits, (GrafPort *port, HBITMAP bitmap, void *reserved, const Rect *src, const Rect *dst,
                          short mode, RgnHandle maskRgn));
/* Scrolls the pixels of r by (dh, dv) within r. A window's pending update region moves with
 * the pixels; the exposed area within the clip is erased with the background pattern and,
 * when updateRgn is given, copied into it in local coordinates. */
TSAPI(void, ML_ScrollRect, (GrafPort *port, const Rect *r, short dh, short dv, RgnHandle updateRgn));
/* The whole bitmap with its top-left corner at where, with a GDI raster operation such as
 * SRCCOPY. The port's clip is not applied: a window port draws on a fresh DC of its window. */
TSAPI(void, ML_DrawBitmap, (GrafPort *port, HBITMAP bitmap, const Point *where, DWORD rasterOp));

#endif
