// What the shape, line and bit-transfer verbs share: the drawing bracket, cached objects
// selected for the length of one verb, the port's colours and hairline.
#pragma once

#include <windows.h>

#include <type_traits>

#include "quickdraw/gdi_scopes.h"
#include "quickdraw/port_internal.h"
#include "quickdraw/shape_geometry.h"

namespace tstools::qd {

// Clip protocol around one verb's GDI output.
class DrawingBracket {
 public:
  explicit DrawingBracket(GrafPort *port) : port_(port) { BeginPortDrawing(port); }
  ~DrawingBracket() { EndPortDrawing(port_); }
  DrawingBracket(const DrawingBracket &) = delete;
  DrawingBracket &operator=(const DrawingBracket &) = delete;

 private:
  GrafPort *port_;
};

// A pen or brush selected through the port for one verb: the object comes referenced from
// its cache (or is null for "none": the stock null object); the port's previous object is
// selected back and the reference given back when the verb ends.
class VerbObject {
 public:
  VerbObject(GrafPort *port, Slot slot, HGDIOBJ cached);
  ~VerbObject();
  VerbObject(const VerbObject &) = delete;
  VerbObject &operator=(const VerbObject &) = delete;
  bool ok() const { return selected_ || none_ || already_; }

 private:
  GrafPort *port_;
  Slot slot_;
  HGDIOBJ cached_, previous_ = nullptr;
  gdi::SelectedObject noneRef_, noneDc_;  // "none" straight into the DCs
  bool selected_ = false, none_ = false;
  bool already_ = false;  // the port holds this object: nothing to select or put back
};

// An off-screen bitmap of the verb's own (arc masks, printer pattern cells), cleared to
// white in a memory DC compatible with `like`; DC and bitmap are deleted at the end.
class WhiteSurface {
 public:
  WhiteSurface(HDC like, HBITMAP bitmap) : bitmap_(bitmap), surface_(like, bitmap) {
    BITMAP info{};
    if (surface_.ok() && GetObjectA(bitmap, sizeof info, &info))
      PatBlt(surface_.dc(), 0, 0, info.bmWidth, info.bmHeight, WHITENESS);
  }
  HDC dc() const { return surface_.dc(); }
  bool ok() const { return surface_.ok(); }

 private:
  gdi::OwnedObject<HBITMAP> bitmap_;  // declared first: deleted after it is selected out
  gdi::BitmapDC surface_;
};

bool IsPrinter(const GrafPort *port);
bool IsPicture(const GrafPort *port);
bool AllOnes(const Pattern &p);
bool AllZeros(const Pattern &p);
COLORREF ForeColorRef(const GrafPort *port);
COLORREF BackColorRef(const GrafPort *port);
// Screens (1, 1); printers one device pixel in logical units. consumeZeroFrame: a frame
// verb takes the port's one-shot zero hairline.
Vec PortHairline(GrafPort *port, bool consumeZeroFrame);
HPEN CachedPen(GrafPort *port, int style, int width, COLORREF colour);
HBRUSH CachedBrush(GrafPort *port, const Pattern &pattern);

// Lines through the vertices with the 1-pixel solid pen in one GDI call, drawn and leaving
// the pen as ML_MoveTo to the first and ML_LineTo to each next would (lines.cpp). The
// array has room for count + 1 points; the calls may write past the vertices. False, with
// nothing drawn, when the pen or port needs the line-by-line way. In a mix mode that tells a
// pixel drawn twice it allocates the separate lines (and may throw, before it touches the port).
bool OnePixelPath(GrafPort *port, POINT *vertices, int count);

// Patterned shapes on high-resolution printers (printer_pattern.cpp). A drawer draws its
// shape on any DC in the port's logical units, filling with the brush given, which is also
// selected along with no pen. It refers to the caller's callable, which outlives the call it
// is passed to: a copy of the callable and its captures would allocate.
class ShapeDrawer {
 public:
  template <typename F, typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, ShapeDrawer>>>
  ShapeDrawer(const F &draw)  // implicit: the verbs pass their lambdas as they are
      : callable_(&draw), call_([](const void *f, HDC dc, HBRUSH brush) { (*static_cast<const F *>(f))(dc, brush); }) {}
  void operator()(HDC dc, HBRUSH brush) const { call_(callable_, dc, brush); }

 private:
  const void *callable_;
  void (*call_)(const void *callable, HDC dc, HBRUSH brush);
};
// Whether a shape in this pattern takes the printer pattern path on this port.
bool PrinterPatternCase(const GrafPort *port, const Pattern &pattern);
// Fills the shape with the background colour, then puts the foreground where its set pattern
// bits fall, in cells of 1/72 inch anchored at the port's origin. logicalBox bounds the
// shape.
void PrinterPatternShape(GrafPort *port, const Pattern &pattern, const RECT &logicalBox, ShapeDrawer draw);
// The same for a filled polygon.
void PrinterPatternPolygon(GrafPort *port, const Pattern &pattern, const POINT *points, int count);

}  // namespace tstools::qd
