// Pen lines. A 1 x 1 solid pen is one GDI line plus its end pixel (GDI leaves the last
// pixel out, the Toolbox pen covers it); any other pen is the polygon it sweeps, filled
// with the pen pattern.
#include <vector>

#include "quickdraw/shape_support.h"
#include "tstools/shapes.h"

namespace tstools::qd {
namespace {

bool OnePixelSolidPen(const GrafPort *port) {
  return AllOnes(port->pnPat) && port->pnSize.h == 1 && port->pnSize.v == 1 && (!IsPrinter(port) || port->hairline);
}

// Mix modes in which drawing a pixel a second time leaves it as the first time did.
bool RedrawnPixelsUnchanged(int mix) {
  switch (mix) {
    case R2_BLACK: case R2_WHITE: case R2_NOP: case R2_COPYPEN: case R2_NOTCOPYPEN:
    case R2_MASKPEN: case R2_MERGEPEN: case R2_MASKNOTPEN: case R2_MERGENOTPEN:
      return true;
    default:
      return false;
  }
}

HPEN OnePixelPen(GrafPort *port) { return CachedPen(port, PS_SOLID, port->hairline ? 0 : 1, ForeColorRef(port)); }

}  // namespace

bool OnePixelPath(GrafPort *port, POINT *vertices, int count) {
  if (count < 2 || !OnePixelSolidPen(port) || IsPrinter(port) || IsPicture(port)) return false;
  const POINT end = vertices[count - 1];
  // A mode that tells a pixel drawn twice: each line separately, as ML_LineTo draws it, so
  // that each vertex between two lines is drawn twice. Made before the port is touched.
  std::vector<POINT> points;
  std::vector<DWORD> threes;
  bool separate = !RedrawnPixelsUnchanged(GetROP2(port->dc));
  if (separate) {
    points.reserve(3 * static_cast<size_t>(count - 1));
    for (int i = 1; i < count; ++i) {
      const POINT &a = vertices[i - 1], &b = vertices[i];
      points.insert(points.end(), {a, b, POINT{b.x + 1, b.y}});
    }
    threes.assign(static_cast<size_t>(count - 1), 3);
  }
  DrawingBracket bracket(port);
  VerbObject pen(port, Slot::Pen, OnePixelPen(port));
  if (separate) {
    PolyPolyline(port->dc, points.data(), threes.data(), static_cast<DWORD>(threes.size()));
  } else {
    // One polyline: its lines join at the vertices, and one more pixel is the last end.
    vertices[count] = POINT{end.x + 1, end.y};
    Polyline(port->dc, vertices, count + 1);
  }
  MoveToEx(port->dc, end.x, end.y, nullptr);
  port->pnLoc = Point{static_cast<short>(end.x), static_cast<short>(end.y)};
  return true;
}

}  // namespace tstools::qd

using namespace tstools::qd;

void WINAPI ML_LineTo(GrafPort *port, short h, short v) {
  if (!port || !port->dc) return;
  Point from = port->pnLoc;
  int pw = port->pnSize.h, ph = port->pnSize.v;
  if (OnePixelSolidPen(port)) {
    DrawingBracket bracket(port);
    COLORREF fg = ForeColorRef(port);
    VerbObject pen(port, Slot::Pen, OnePixelPen(port));
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
