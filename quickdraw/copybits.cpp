// Bit transfer between bitmaps and ports, and scrolling.
#include "quickdraw/gdi_scopes.h"
#include "quickdraw/shape_support.h"
#include "tstools/shapes.h"

using namespace tstools;
using namespace tstools::qd;

namespace {

// Runs transfer(source) with the caller's bitmap selected into a memory DC: for screens the
// shared one (making a DC per call costs more than the transfer), for printers one made
// compatible with the printer. The bitmap is the caller's again afterwards.
template <typename Transfer>
void FromBitmap(HDC target, bool printer, HBITMAP bitmap, Transfer transfer) {
  if (printer) {
    gdi::BitmapDC source(target, bitmap);
    if (source.ok()) transfer(source.dc());
    return;
  }
  HDC shared = SharedTransferDC();
  gdi::SelectedObject source(shared, bitmap);
  if (source.ok()) transfer(shared);
}

}  // namespace

void WINAPI ML_CopyBits(GrafPort *port, HBITMAP bitmap, void *, const Rect *src, const Rect *dst, short mode,
                        RgnHandle) {
  if (!port || !port->dc || !src || !dst) return;
  DrawingBracket bracket(port);
  if (GetObjectType(bitmap) != OBJ_BITMAP) return;
  FromBitmap(port->refDC, IsPrinter(port), bitmap, [&](HDC source) {
    StretchBlt(port->dc, dst->left, dst->top, dst->right - dst->left, dst->bottom - dst->top, source, src->left,
               src->top, src->right - src->left, src->bottom - src->top, TransferRop(mode));
  });
}

void WINAPI ML_DrawBitmap(GrafPort *port, HBITMAP bitmap, const Point *where, DWORD rasterOp) {
  if (!port || !where) return;
  BITMAP info{};
  if (GetObjectType(bitmap) != OBJ_BITMAP || !GetObjectA(bitmap, sizeof info, &info)) return;
  // A window port draws on a fresh DC of its window, placed at the port's origin.
  HDC dc = port->window ? GetDC(port->window) : port->dc;
  if (!dc) return;
  POINT origin{}, saved{};
  if (port->window) {
    GetWindowOrgEx(port->refDC, &origin);
    SetWindowOrgEx(dc, origin.x, origin.y, &saved);
  }
  FromBitmap(dc, IsPrinter(port), bitmap, [&](HDC source) {
    int sourceMode = SetMapMode(source, GetMapMode(dc));
    BitBlt(dc, where->h, where->v, info.bmWidth, info.bmHeight, source, 0, 0, rasterOp);
    if (sourceMode) SetMapMode(source, sourceMode);
  });
  if (port->window) {
    SetWindowOrgEx(dc, saved.x, saved.y, nullptr);
    ReleaseDC(port->window, dc);
  }
}

void WINAPI ML_ScrollRect(GrafPort *port, const Rect *r, short dh, short dv, RgnHandle updateRgn) {
  if (!port || !port->refDC || !r) return;
  HRGN exposed = CreateRectRgn(0, 0, 0, 0);
  if (!exposed) return;
  {
    DrawingBracket bracket(port);
    RECT box{r->left, r->top, r->right, r->bottom};
    ScrollDC(port->refDC, dh, dv, &box, &box, exposed, nullptr);
  }
  POINT origin{};
  GetWindowOrgEx(port->refDC, &origin);
  OffsetRgn(exposed, origin.x, origin.y);  // device to local

  // Repaints still pending belong to the pixels that just moved.
  if (port->window) {
    if (HRGN pending = CreateRectRgn(0, 0, 0, 0)) {
      if (GetUpdateRgn(port->window, pending, FALSE) > NULLREGION) {
        ValidateRgn(port->window, pending);
        OffsetRgn(pending, dh, dv);
        InvalidateRgn(port->window, pending, FALSE);
      }
      DeleteObject(pending);
    }
  }

  if (GetObjectType(port->clipRgn) == OBJ_REGION) CombineRgn(exposed, exposed, port->clipRgn, RGN_AND);
  if (GetObjectType(port->visRgn) == OBJ_REGION) CombineRgn(exposed, exposed, port->visRgn, RGN_AND);
  if (GetObjectType(updateRgn) == OBJ_REGION) CombineRgn(updateRgn, exposed, nullptr, RGN_COPY);
  port->clipChanged = 1;
  ML_EraseRgn(port, exposed);
  DeleteObject(exposed);
}
