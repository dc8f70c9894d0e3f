/* QuickDraw shape drawing and bit transfer on a port. Shapes cover the pixels from their
 * left/top edge up to, not including, their right/bottom edge; the pen hangs below and to
 * the right of the line it draws. Paint uses the pen pattern, erase the background
 * pattern, fill the pattern given. Drawing calls report nothing: bad arguments draw
 * nothing. */
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

TSAPI(void, ML_FrameRect, (GrafPort *port, const Rect *r));
TSAPI(void, ML_PaintRect, (GrafPort *port, const Rect *r));
TSAPI(void, ML_EraseRect, (GrafPort *port, const Rect *r));
TSAPI(void, ML_InvertRect, (GrafPort *port, const Rect *r));
TSAPI(void, ML_FillRect, (GrafPort *port, const Rect *r, const Pattern *pat));

TSAPI(void, ML_FrameOval, (GrafPort *port, const Rect *r));
TSAPI(void, ML_PaintOval, (GrafPort *port, const Rect *r));
TSAPI(void, ML_EraseOval, (GrafPort *port, const Rect *r));
TSAPI(void, ML_InvertOval, (GrafPort *port, const Rect *r));
TSAPI(void, ML_FillOval, (GrafPort *port, const Rect *r, const Pattern *pat));
/* A dotted (1 x 1 pen) or grey (larger pens) oval outline. */
TSAPI(void, ML_FrameGrayOval, (GrafPort *port, const Rect *r));

TSAPI(void, ML_FrameRoundRect, (GrafPort *port, const Rect *r, short ovalWidth, short ovalHeight));
TSAPI(void, ML_PaintRoundRect, (GrafPort *port, const Rect *r, short ovalWidth, short ovalHeight));
TSAPI(void, ML_EraseRoundRect, (GrafPort *port, const Rect *r, short ovalWidth, short ovalHeight));
TSAPI(void, ML_InvertRoundRect, (GrafPort *port, const Rect *r, short ovalWidth, short ovalHeight));
TSAPI(void, ML_FillRoundRect, (GrafPort *port, const Rect *r, short ovalWidth, short ovalHeight, const Pattern *pat));

/* Angles in degrees: 0 is 12 o'clock, positive arc angles run clockwise. An arc angle of 0
 * draws nothing; 360 or more (either way) draws the whole oval. */
TSAPI(void, ML_FrameArc, (GrafPort *port, const Rect *r, short startAngle, short arcAngle));
TSAPI(void, ML_PaintArc, (GrafPort *port, const Rect *r, short startAngle, short arcAngle));
TSAPI(void, ML_EraseArc, (GrafPort *port, const Rect *r, short startAngle, short arcAngle));
TSAPI(void, ML_InvertArc, (GrafPort *port, const Rect *r, short startAngle, short arcAngle));
TSAPI(void, ML_FillArc, (GrafPort *port, const Rect *r, short startAngle, short arcAngle, const Pattern *pat));

TSAPI(void, ML_FrameRgn, (GrafPort *port, RgnHandle rgn));
TSAPI(void, ML_PaintRgn, (GrafPort *port, RgnHandle rgn));
TSAPI(void, ML_EraseRgn, (GrafPort *port, RgnHandle rgn));
TSAPI(void, ML_InvertRgn, (GrafPort *port, RgnHandle rgn));
TSAPI(void, ML_FillRgn, (GrafPort *port, RgnHandle rgn, const Pattern *pat));

/* ML_FramePoly draws pen lines from vertex to vertex (closed only when the last vertex
 * repeats the first). */
TSAPI(void, ML_FramePoly, (GrafPort *port, PolyHandle poly));
TSAPI(void, ML_PaintPoly, (GrafPort *port, PolyHandle poly));
TSAPI(void, ML_ErasePoly, (GrafPort *port, PolyHandle poly));
TSAPI(void, ML_InvertPoly, (GrafPort *port, PolyHandle poly));
TSAPI(void, ML_FillPoly, (GrafPort *port, PolyHandle poly, const Pattern *pat));

/* Lines with the port's pen, end point included; the pen location moves to the end. */
TSAPI(void, ML_LineTo, (GrafPort *port, short h, short v));
TSAPI(void, ML_Line, (GrafPort *port, short dh, short dv));

/* Stretches src of the bitmap onto dst of the port with a transfer mode (Toolbox sense:
 * black is 1). reserved and maskRgn are not used. */
TSAPI(void, ML_CopyBits, (GrafPort *port, HBITMAP bitmap, void *reserved, const Rect *src, const Rect *dst,
                          short mode, RgnHandle maskRgn));
/* Scrolls the pixels of r by (dh, dv). A window's pending update region moves with the
 * pixels; updateRgn (optional) receives the exposed area within the clip, which is erased
 * with the background pattern. */
TSAPI(void, ML_ScrollRect, (GrafPort *port, const Rect *r, short dh, short dv, RgnHandle updateRgn));
/* The whole bitmap at where, with a raster operation. */
TSAPI(void, ML_DrawBitmap, (GrafPort *port, HBITMAP bitmap, const Point *where, DWORD rasterOp));

#endif
