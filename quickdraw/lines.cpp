// Pen lines. A 1 x 1 solid pen is one GDI line plus its end pixel (GDI leaves the last
// pixel out, the Toolbox pen covers it); any other pen is the polygon it sweeps, filled
// with the pen pattern.
#include "quickdraw/shape_support.h"
#include "tstools/shapes.h"

using namespace tstools::qd;

void WINAPI ML_LineTo(GrafPort *port, short h, short v) {
  if (!port || !port->dc) return;
  Point from = port->pnLoc;
  int pw = port->pnSize.h, ph = port->pnSize.v;
  bool fast = AllOnes(port->pnPat) && pw == 1 && ph == 1 && (!IsPrinter(port) || port->hairline);
  if (fast) {
    DrawingBracket bracket(port);
    COLORREF fg = ForeColorRef(port);
    VerbObject pen(port, Slot::Pen, CachedPen(port, PS_SOLID, port->hairline ? 0 : 1, fg));
    if (!IsPrinter(port) && !IsPicture(port)) {
      // One call: the line, then a one-pixel segment that draws the end pixel in the pen
      // mode like the rest. The DC's position stays the pen location.
      const POINT path[3] = {{from.h, from.v}, {h, v}, {h + 1, v}};
      Polyline(port->dc, path, 3);
      MoveToEx(port->dc, h, v, nullptr);
      port->pnLoc = Point{h, v};
      return;
    }
    MoveToEx(port->dc, from.h, from.v, nullptr);
    LineTo(port->dc, h, v);
    if (IsPrinter(port))
      LineTo(port->dc, h, v);
    else
      SetPixel(port->dc, h, v, fg);
    if (IsPicture(port) && port->refDC != port->dc) MoveToEx(port->refDC, h, v, nullptr);
    port->pnLoc = Point{h, v};
    return;
  }
  if (pw >= 1 || ph >= 1) {
    Vec outline[6];
    int n = SweptPen(Vec{from.h, from.v}, Vec{h, v}, pw, ph, outline);
    POINT points[6];
    for (int i = 0; i < n; ++i) points[i] = POINT{outline[i].h, outline[i].v};
    DrawingBracket bracket(port);
    if (PrinterPatternCase(port, port->pnPat)) {
      PrinterPatternPolygon(port, port->pnPat, points, n);
    } else {
      VerbObject brush(port, Slot::Brush, CachedBrush(port, port->pnPat));
      VerbObject pen(port, Slot::Pen, nullptr);
      Polygon(port->dc, points, n);
    }
  }
  ML_MoveTo(port, h, v);
}

void WINAPI ML_Line(GrafPort *port, short dh, short dv) {
  if (!port) return;
  ML_LineTo(port, static_cast<short>(port->pnLoc.h + dh), static_cast<short>(port->pnLoc.v + dv));
}
