// Patterned shapes on high-resolution printers. A pattern brush would print cells of one
// device pixel, far too fine to see at printer resolutions; instead the cells are 1/72 inch
// as on the screen. The shape is first filled with the background colour, then a mask is
// built at device resolution: black where the shape and a set pattern cell meet, white
// elsewhere. The mask paints the foreground onto the printer and leaves the rest.
#include <algorithm>

#include "quickdraw/drawing_state.h"
#include "quickdraw/gdi_scopes.h"
#include "quickdraw/shape_support.h"

namespace tstools::qd {
namespace {

bool IsWhite(const RGBColor &c) { return (c.red >> 8) == 0xFF && (c.green >> 8) == 0xFF && (c.blue >> 8) == 0xFF; }

// The part of a logical box the printer can show, in device pixels; empty when none.
RECT DeviceBox(HDC dc, const RECT &logical) {
  POINT corners[2] = {{logical.left, logical.top}, {logical.right, logical.bottom}};
  LPtoDP(dc, corners, 2);
  RECT box{std::min(corners[0].x, corners[1].x), std::min(corners[0].y, corners[1].y),
           std::max(corners[0].x, corners[1].x), std::max(corners[0].y, corners[1].y)};
  RECT clip{};
  if (GetClipBox(dc, &clip) != ERROR) {
    POINT c[2] = {{clip.left, clip.top}, {clip.right, clip.bottom}};
    LPtoDP(dc, c, 2);
    RECT device{std::min(c[0].x, c[1].x), std::min(c[0].y, c[1].y), std::max(c[0].x, c[1].x),
                std::max(c[0].y, c[1].y)};
    if (!IntersectRect(&box, &box, &device)) box = RECT{};
  }
  return box;
}

// Draws with the shape's own routine on a DC with nothing but the given brush and no pen.
void DrawWith(HDC dc, HBRUSH brush, ShapeDrawer draw) {
  gdi::SelectedObject pen(dc, GetStockObject(NULL_PEN));
  gdi::SelectedObject selected(dc, brush);
  draw(dc, brush);
}

}  // namespace

bool PrinterPatternCase(const GrafPort *port, const Pattern &pattern) {
  return IsPrinter(port) && port->printerHighRes && !AllOnes(pattern) && !AllZeros(pattern) &&
         !(IsWhite(port->rgbFgColor) && IsWhite(port->rgbBkColor));
}

void PrinterPatternShape(GrafPort *port, const Pattern &pattern, const RECT &logicalBox, ShapeDrawer draw) {
  HDC dc = port->dc;
  static const Pattern kBackground = {};
  if (HBRUSH background = CachedBrush(port, kBackground)) {
    DrawWith(dc, background, draw);
    ReleaseCached(CacheKind::Brush, background);
  }

  RECT box = DeviceBox(dc, logicalBox);
  int w = box.right - box.left, h = box.bottom - box.top;
  if (w <= 0 || h <= 0) return;
  POINT anchor{0, 0};  // patterns start at the port's origin
  LPtoDP(dc, &anchor, 1);
  PatternAxis ax = PrinterPatternAxis(box.left, box.right, GetDeviceCaps(dc, LOGPIXELSX), anchor.x);
  PatternAxis ay = PrinterPatternAxis(box.top, box.bottom, GetDeviceCaps(dc, LOGPIXELSY), anchor.y);

  // The pattern in cells of 1/72 inch: black where a pattern bit is set.
  WhiteSurface cells(nullptr, CreateBitmap(ax.end - ax.first, ay.end - ay.first, 1, 1, nullptr));
  WhiteSurface mask(nullptr, CreateBitmap(w, h, 1, 1, nullptr));
  if (!cells.ok() || !mask.ok()) return;
  {
    uint8_t rows[16];
    PatternBitmapRows(pattern.pat, rows);
    gdi::OwnedObject<HBITMAP> tile(CreateBitmap(8, 8, 1, 1, rows));
    gdi::OwnedObject<HBRUSH> tiled(tile ? CreatePatternBrush(tile.get()) : nullptr);
    SetBrushOrgEx(cells.dc(), ax.phase, ay.phase, nullptr);  // before selecting: applies from then
    gdi::SelectedObject brush(cells.dc(), tiled.get());
    if (!brush.ok()) return;
    PatBlt(cells.dc(), 0, 0, ax.end - ax.first, ay.end - ay.first, PATCOPY);
  }

  // The shape in black at device resolution, drawn in the printer's own logical units.
  SIZE windowExt{}, viewportExt{};
  POINT windowOrg{}, viewportOrg{};
  GetWindowExtEx(dc, &windowExt);
  GetViewportExtEx(dc, &viewportExt);
  GetWindowOrgEx(dc, &windowOrg);
  GetViewportOrgEx(dc, &viewportOrg);
  SetMapMode(mask.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(mask.dc(), windowExt.cx, windowExt.cy, nullptr);
  SetViewportExtEx(mask.dc(), viewportExt.cx, viewportExt.cy, nullptr);
  SetWindowOrgEx(mask.dc(), windowOrg.x, windowOrg.y, nullptr);
  SetViewportOrgEx(mask.dc(), viewportOrg.x - box.left, viewportOrg.y - box.top, nullptr);
  DrawWith(mask.dc(), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), draw);
  SetMapMode(mask.dc(), MM_TEXT);
  SetWindowOrgEx(mask.dc(), 0, 0, nullptr);
  SetViewportOrgEx(mask.dc(), 0, 0, nullptr);
  // Black stays only where the pattern is black too (mask OR cells).
  StretchBlt(mask.dc(), ax.deviceStart - box.left, ay.deviceStart - box.top, ax.deviceStop - ax.deviceStart,
             ay.deviceStop - ay.deviceStart, cells.dc(), 0, 0, ax.end - ax.first, ay.end - ay.first, SRCPAINT);

  // Onto the printer in device units. On a white background AND-ing the foreground in is
  // enough and what printer drivers do best; on any other the foreground is painted.
  gdi::SavedDC saved(dc);
  if (!saved.ok()) return;  // the mapping could not be put back
  SetMapMode(dc, MM_TEXT);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  SetBkColor(dc, RGB(255, 255, 255));
  if (IsWhite(port->rgbBkColor)) {
    SetTextColor(dc, ForeColorRef(port));
    BitBlt(dc, box.left, box.top, w, h, mask.dc(), 0, 0, SRCAND);
    return;
  }
  gdi::OwnedObject<HBRUSH> fg(CreateSolidBrush(ForeColorRef(port)));
  gdi::SelectedObject brush(dc, fg.get());
  if (!brush.ok()) return;
  SetTextColor(dc, RGB(0, 0, 0));
  BitBlt(dc, box.left, box.top, w, h, mask.dc(), 0, 0, 0xB8074A);  // the brush where the mask is black
}

void PrinterPatternPolygon(GrafPort *port, const Pattern &pattern, const POINT *points, int count) {
  if (count < 1) return;
  RECT box{points[0].x, points[0].y, points[0].x, points[0].y};
  for (int i = 1; i < count; ++i) {
    box.left = std::min(box.left, points[i].x);
    box.top = std::min(box.top, points[i].y);
    box.right = std::max(box.right, points[i].x);
    box.bottom = std::max(box.bottom, points[i].y);
  }
  Vec hair = PortHairline(port, false);
  box.right += hair.h;
  box.bottom += hair.v;
  PrinterPatternShape(port, pattern, box, [&](HDC dc, HBRUSH) { Polygon(dc, points, count); });
}

}  // namespace tstools::qd
