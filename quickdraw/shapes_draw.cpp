// Frame, paint, erase, invert and fill of rects, ovals, rounded rects, arcs, regions and
// polygons, on GDI with the Toolbox pixel model: a pen-less GDI shape stops one pixel short
// of its right and bottom edges, so those are extended by the port's hairline.
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "frame/export_guard.h"
#include "quickdraw/drawing_state.h"
#include "quickdraw/shape_support.h"
#include "tstools/shapes.h"

namespace tstools::qd {
namespace {

enum class Shape { Rect, Oval, RoundRect, Pie };

struct ShapeArgs {
  Shape shape;
  Rect r;
  int ovalW = 0, ovalH = 0;
  int start = 0, arc = 0;
};

bool Inverted(const Rect &r) { return r.right < r.left || r.bottom < r.top; }

// The GDI call of a shape on a box (l, t, r, b); pens and brushes are whatever is selected.
void DrawGdiShape(HDC dc, const ShapeArgs &s, int l, int t, int r, int b) {
  switch (s.shape) {
    case Shape::Rect: Rectangle(dc, l, t, r, b); break;
    case Shape::Oval: Ellipse(dc, l, t, r, b); break;
    case Shape::RoundRect: RoundRect(dc, l, t, r, b, s.ovalW, s.ovalH); break;
    case Shape::Pie: {
      if (ClassifyArc(s.arc) == ArcSpan::WholeOval) {  // GDI's full-turn pie is unreliable
        Ellipse(dc, l, t, r, b);
        break;
      }
      ArcEnds e = ArcEndPoints(s.r.left, s.r.top, s.r.right, s.r.bottom, s.start, s.arc);
      Pie(dc, l, t, r, b, e.first.h, e.first.v, e.second.h, e.second.v);
      break;
    }
  }
}

HRGN ShapeRegion(const ShapeArgs &s, int l, int t, int r, int b) {
  switch (s.shape) {
    case Shape::Rect: return CreateRectRgn(l, t, r, b);
    case Shape::Oval: return CreateEllipticRgn(l, t, r, b);
    case Shape::RoundRect: return CreateRoundRectRgn(l, t, r, b, s.ovalW, s.ovalH);
    case Shape::Pie: return nullptr;
  }
  return nullptr;
}

// Paint, erase and fill: the pattern brush, no pen, the box grown by the hairline.
void FillShape(GrafPort *port, const ShapeArgs &s, const Pattern &pattern) {
  Rect r = s.r;
  if (s.shape == Shape::Rect && Inverted(r)) return;
  if (s.shape == Shape::Pie && ClassifyArc(s.arc) == ArcSpan::Nothing) return;
  DrawingBracket bracket(port);
  Vec hair = PortHairline(port, false);
  if (PrinterPatternCase(port, pattern)) {
    RECT box{r.left, r.top, r.right + hair.h, r.bottom + hair.v};
    PrinterPatternShape(port, pattern, box, [&](HDC dc, HBRUSH brush) {
      if (s.shape == Shape::Rect) {
        PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, PATCOPY);
      } else if (HRGN rgn = s.shape == Shape::RoundRect ? ShapeRegion(s, box.left, box.top, box.right, box.bottom)
                                                       : nullptr) {
        FillRgn(dc, rgn, brush);
        DeleteObject(rgn);
      } else if (s.shape != Shape::RoundRect) {
        DrawGdiShape(dc, s, box.left, box.top, box.right, box.bottom);
      }
    });
    return;
  }
  if (s.shape == Shape::RoundRect) {
    // Pen-less RoundRect output is not reliably one pixel short the way rectangles and
    // ellipses are; the region of the grown box is, and is what frames and inversion use.
    HRGN rgn = ShapeRegion(s, r.left, r.top, r.right + hair.h, r.bottom + hair.v);
    if (!rgn) return;
    if (HBRUSH brush = CachedBrush(port, pattern)) {
      FillRgn(port->dc, rgn, brush);
      ReleaseCached(CacheKind::Brush, brush);
    }
    DeleteObject(rgn);
    return;
  }
  VerbObject brush(port, Slot::Brush, CachedBrush(port, pattern));
  if (s.shape == Shape::Rect) {
    // A pattern blit covers exactly the rect and needs no pen; its raster operation does
    // what the pen mode's mix does.
    uint32_t rop = PatternRopForMix(MixModeForPenMode(port->pnMode));
    PatBlt(port->dc, r.left, r.top, r.right - r.left, r.bottom - r.top, rop);
    return;
  }
  VerbObject pen(port, Slot::Pen, nullptr);
  DrawGdiShape(port->dc, s, r.left, r.top, r.right + hair.h, r.bottom + hair.v);
}

// A 1-pixel line along a shape too thin to have an inside, covering exactly its pixels.
void ThinFrame(GrafPort *port, const Rect &r, int w) {
  Point saved = port->pnSize;
  port->pnSize = Point{1, 1};
  ML_MoveTo(port, r.left, r.top);
  if (w < 2)
    ML_LineTo(port, r.left, static_cast<short>(r.bottom - 1));
  else
    ML_LineTo(port, static_cast<short>(r.right - 1), r.top);
  port->pnSize = saved;
}

void FrameShape(GrafPort *port, const ShapeArgs &s) {
  const Rect &r = s.r;
  int pw = port->pnSize.h, ph = port->pnSize.v;
  if (pw < 1 || ph < 1) return;
  if (s.shape == Shape::Rect && Inverted(r)) return;
  int w = std::abs(r.right - r.left), hgt = std::abs(r.bottom - r.top);
  if (w == 0 || hgt == 0) return;
  // A GDI inside-frame pen as wide as half the shape or more does not stay inside it: such
  // a frame covers the whole shape, which the region method below paints exactly.
  bool covers = pw > 1 && (2 * pw >= w || 2 * ph >= hgt);
  bool solid = AllOnes(port->pnPat) && pw == ph && (!covers || port->hairline);
  // Shapes too thin for an inside are the line along them: a wide GDI inside-frame pen
  // would spill past a 1-pixel rect.
  if (solid && pw == 1 && w >= 2 && hgt >= 2 && s.shape == Shape::Rect && !IsPrinter(port)) {
    // The outline as one closed polyline: each pixel once, and no brush to swap out.
    DrawingBracket bracket(port);
    VerbObject pen(port, Slot::Pen, CachedPen(port, PS_SOLID, port->hairline ? 0 : 1, ForeColorRef(port)));
    PortHairline(port, true);
    int right = r.right - 1, bottom = r.bottom - 1;
    const POINT ring[5] = {{r.left, r.top}, {right, r.top}, {right, bottom}, {r.left, bottom}, {r.left, r.top}};
    Polyline(port->dc, ring, 5);
    return;
  }
  if (solid && pw > 1 && s.shape == Shape::Rect && !port->hairline && !IsPrinter(port) && !IsPicture(port)) {
    // The band inside the rect as four strips in the pen's colour, each pixel once in the
    // DC's mix: what the wide inside-frame pen paints, without swapping pen and brush out.
    DrawingBracket bracket(port);
    static const Pattern kSolid = {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
    VerbObject brush(port, Slot::Brush, CachedBrush(port, kSolid));
    PortHairline(port, true);
    uint32_t rop = PatternRopForMix(GetROP2(port->dc));
    int inner = hgt - 2 * ph;
    PatBlt(port->dc, r.left, r.top, w, ph, rop);
    PatBlt(port->dc, r.left, r.bottom - ph, w, ph, rop);
    PatBlt(port->dc, r.left, r.top + ph, pw, inner, rop);
    PatBlt(port->dc, r.right - pw, r.top + ph, pw, inner, rop);
    return;
  }
  if (solid && w >= 2 && hgt >= 2) {
    DrawingBracket bracket(port);
    // A 1-pixel inside-frame pen is a plain pen; GDI drops the corners of the former.
    int style = pw == 1 ? PS_SOLID : PS_INSIDEFRAME;
    VerbObject pen(port, Slot::Pen, CachedPen(port, style, port->hairline ? 0 : pw, ForeColorRef(port)));
    VerbObject brush(port, Slot::Brush, nullptr);
    PortHairline(port, true);
    DrawGdiShape(port->dc, s, r.left, r.top, r.right, r.bottom);
    return;
  }
  if (w < 2 || hgt < 2) {
    ThinFrame(port, r, w);
    return;
  }
  DrawingBracket bracket(port);
  Vec hair = PortHairline(port, true);
  // Rect regions already end at the right and bottom edges; curved ones stop short.
  int gh = s.shape == Shape::Rect ? 0 : hair.h, gv = s.shape == Shape::Rect ? 0 : hair.v;
  HRGN outer = ShapeRegion(s, r.left, r.top, r.right + gh, r.bottom + gv);
  if (!outer) return;
  // The ring between the shape and the shape inset by the pen; a pen too big for that
  // frames the whole region.
  HRGN ring = nullptr;
  if (2 * pw < w && 2 * ph < hgt) {
    ring = ShapeRegion(s, r.left + pw, r.top + ph, r.right - pw + gh, r.bottom - ph + gv);
    if (ring && CombineRgn(ring, outer, ring, RGN_DIFF) == ERROR) {
      DeleteObject(ring);
      ring = nullptr;
    }
  }
  auto frame = [&](HDC dc, HBRUSH brush) {
    if (!ring || !FillRgn(dc, ring, brush)) FrameRgn(dc, outer, brush, pw, ph);
  };
  if (PrinterPatternCase(port, port->pnPat)) {
    RECT box{};
    GetRgnBox(outer, &box);
    PrinterPatternShape(port, port->pnPat, box, frame);
  } else if (HBRUSH brush = CachedBrush(port, port->pnPat)) {
    frame(port->dc, brush);
    ReleaseCached(CacheKind::Brush, brush);
  }
  if (ring) DeleteObject(ring);
  DeleteObject(outer);
}

// The white surface an arc mask is drawn on: the shared one on screens, else one made for
// the call in the format of the port.
class ArcMask {
 public:
  ArcMask(GrafPort *port, int w, int h) {
    if (!IsPrinter(port)) dc_ = SharedMaskDC(port->refDC, w, h);
    if (dc_) return;
    own_.emplace(port->refDC, CreateCompatibleBitmap(port->refDC, w, h));
    if (own_->ok()) dc_ = own_->dc();
  }
  HDC dc() const { return dc_; }

 private:
  std::optional<WhiteSurface> own_;
  HDC dc_ = nullptr;
};

void FrameArc(GrafPort *port, const Rect &r, int start, int arc) {
  int pw = port->pnSize.h, ph = port->pnSize.v;
  if (pw < 1 || ph < 1 || ClassifyArc(arc) == ArcSpan::Nothing) return;
  ArcEnds e = ArcEndPoints(r.left, r.top, r.right, r.bottom, start, arc);
  DrawingBracket bracket(port);
  int penWidth = port->hairline ? 0 : pw;
  bool whole = ClassifyArc(arc) == ArcSpan::WholeOval;
  if (AllOnes(port->pnPat)) {
    VerbObject pen(port, Slot::Pen, CachedPen(port, PS_INSIDEFRAME, penWidth, ForeColorRef(port)));
    if (whole) {
      VerbObject brush(port, Slot::Brush, nullptr);
      Ellipse(port->dc, r.left, r.top, r.right, r.bottom);
      return;
    }
    Arc(port->dc, r.left, r.top, r.right, r.bottom, e.first.h, e.first.v, e.second.h, e.second.v);
    return;
  }
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  ArcMask mask(port, w, h);  // black where the arc is
  if (!mask.dc()) return;
  {
    gdi::OwnedObject<HPEN> black(CreatePen(PS_INSIDEFRAME, penWidth, RGB(0, 0, 0)));
    gdi::SelectedObject pen(mask.dc(), black.get());
    gdi::SelectedObject noBrush(mask.dc(), GetStockObject(NULL_BRUSH));
    if (pen.ok() && whole)
      Ellipse(mask.dc(), 0, 0, w, h);
    else if (pen.ok())
      Arc(mask.dc(), 0, 0, w, h, e.first.h - r.left, e.first.v - r.top, e.second.h - r.left, e.second.v - r.top);
  }
  // The pen pattern where the mask is black, the port's pixels elsewhere.
  VerbObject brush(port, Slot::Brush, CachedBrush(port, port->pnPat));
  BitBlt(port->dc, r.left, r.top, w, h, mask.dc(), 0, 0, 0xB8074A);
}

void InvertArc(GrafPort *port, const Rect &r, int start, int arc) {
  if (ClassifyArc(arc) == ArcSpan::Nothing) return;
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  DrawingBracket bracket(port);
  Vec hair = PortHairline(port, false);
  ArcMask mask(port, w, h);
  if (!mask.dc()) return;
  ArcEnds e = ArcEndPoints(r.left, r.top, r.right, r.bottom, start, arc);
  {
    gdi::SelectedObject noPen(mask.dc(), GetStockObject(NULL_PEN));
    gdi::SelectedObject black(mask.dc(), GetStockObject(BLACK_BRUSH));
    if (ClassifyArc(arc) == ArcSpan::WholeOval)
      Ellipse(mask.dc(), 0, 0, w + hair.h, h + hair.v);
    else
      Pie(mask.dc(), 0, 0, w + hair.h, h + hair.v, e.first.h - r.left, e.first.v - r.top, e.second.h - r.left,
          e.second.v - r.top);
  }
  BitBlt(port->dc, r.left, r.top, w, h, mask.dc(), 0, 0, 0x990066);
}

void InvertRegion(GrafPort *port, HRGN rgn) {
  if (!rgn) return;
  DrawingBracket bracket(port);
  InvertRgn(port->dc, rgn);
}

// The host's polygon block locked for the scope: unlocked however the scope ends.
class LockedBlock {
 public:
  explicit LockedBlock(HGLOBAL block) : block_(block), bytes_(static_cast<const unsigned char *>(GlobalLock(block))) {}
  ~LockedBlock() {
    if (bytes_) GlobalUnlock(block_);
  }
  LockedBlock(const LockedBlock &) = delete;
  LockedBlock &operator=(const LockedBlock &) = delete;
  const unsigned char *bytes() const { return bytes_; }

 private:
  HGLOBAL block_;
  const unsigned char *bytes_;
};

// The vertices of a polygon handle, copied out under the block's lock, with room for
// `spare` more points after them; none when the record lies about its size. Most polygons
// fit on the stack: an allocation costs as much as a small shape. A larger one may throw,
// with the block unlocked: the polygon verbs are guarded.
class PolygonVertices {
 public:
  PolygonVertices(PolyHandle poly, size_t spare) {
    SIZE_T blockSize = poly ? GlobalSize(poly) : 0;
    if (blockSize < kPolyHeader) return;
    LockedBlock block(poly);
    if (!block.bytes()) return;
    int16_t sizeWord;
    std::memcpy(&sizeWord, block.bytes(), sizeof sizeWord);
    long count = PolygonVertexCount(sizeWord, blockSize);
    if (count <= 0) return;
    if (size_t(count) + spare > kOnStack) heap_.resize(size_t(count) + spare);
    count_ = static_cast<size_t>(count);
    std::memcpy(data(), block.bytes() + kPolyHeader, count_ * kPolyVertex);
  }
  PolygonVertices(const PolygonVertices &) = delete;
  PolygonVertices &operator=(const PolygonVertices &) = delete;
  POINT *data() { return heap_.empty() ? local_ : heap_.data(); }
  int size() const { return static_cast<int>(count_); }
  bool empty() const { return count_ == 0; }

 private:
  static constexpr size_t kOnStack = 64;
  size_t count_ = 0;
  POINT local_[kOnStack];
  std::vector<POINT> heap_;
};

void FillPolygon(GrafPort *port, PolyHandle poly, const Pattern &pattern) {
  PolygonVertices v(poly, 0);
  if (v.empty()) return;
  DrawingBracket bracket(port);
  if (PrinterPatternCase(port, pattern)) {
    PrinterPatternPolygon(port, pattern, v.data(), v.size());
    return;
  }
  VerbObject brush(port, Slot::Brush, CachedBrush(port, pattern));
  VerbObject pen(port, Slot::Pen, nullptr);
  Polygon(port->dc, v.data(), v.size());
}

void FillRegion(GrafPort *port, HRGN rgn, const Pattern &pattern) {
  if (!rgn || !port) return;
  DrawingBracket bracket(port);
  if (PrinterPatternCase(port, pattern)) {
    RECT box{};
    GetRgnBox(rgn, &box);
    PrinterPatternShape(port, pattern, box, [&](HDC dc, HBRUSH brush) { FillRgn(dc, rgn, brush); });
    return;
  }
  if (HBRUSH brush = CachedBrush(port, pattern)) {
    FillRgn(port->dc, rgn, brush);
    ReleaseCached(CacheKind::Brush, brush);
  }
}

bool Ready(GrafPort *port, const void *shape) { return port && shape && port->dc; }

}  // namespace
}  // namespace tstools::qd

using namespace tstools::qd;

// --- Rects

void WINAPI ML_FrameRect(GrafPort *port, const Rect *r) {
  if (Ready(port, r)) FrameShape(port, ShapeArgs{Shape::Rect, *r});
}
void WINAPI ML_PaintRect(GrafPort *port, const Rect *r) {
  if (Ready(port, r)) FillShape(port, ShapeArgs{Shape::Rect, *r}, port->pnPat);
}
void WINAPI ML_EraseRect(GrafPort *port, const Rect *r) {
  if (Ready(port, r)) FillShape(port, ShapeArgs{Shape::Rect, *r}, port->bkPat);
}
void WINAPI ML_FillRect(GrafPort *port, const Rect *r, const Pattern *pat) {
  if (!Ready(port, r) || !pat) return;
  Rect box = *r;
  if (IsPrinter(port)) {
    // Printer drivers choke on huge rectangles: keep to the clip box with a small margin.
    RECT clip{};
    if (GetClipBox(port->refDC, &clip) != ERROR) {
      LPtoDP(port->refDC, reinterpret_cast<POINT *>(&clip), 2);
      clip.right = clip.right > 32751 ? 32751 : clip.right;
      clip.bottom = clip.bottom > 32751 ? 32751 : clip.bottom;
      InflateRect(&clip, 16, 16);
      DPtoLP(port->refDC, reinterpret_cast<POINT *>(&clip), 2);
      if (box.left < clip.left) box.left = static_cast<short>(clip.left);
      if (box.top < clip.top) box.top = static_cast<short>(clip.top);
      if (box.right > clip.right) box.right = static_cast<short>(clip.right);
      if (box.bottom > clip.bottom) box.bottom = static_cast<short>(clip.bottom);
    }
  }
  FillShape(port, ShapeArgs{Shape::Rect, box}, *pat);
}
void WINAPI ML_InvertRect(GrafPort *port, const Rect *r) {
  if (!Ready(port, r) || Inverted(*r)) return;
  if (IsPicture(port)) {
    HRGN rgn = CreateRectRgn(r->left, r->top, r->right, r->bottom);
    InvertRegion(port, rgn);
    if (rgn) DeleteObject(rgn);
    return;
  }
  DrawingBracket bracket(port);
  RECT rc{r->left, r->top, r->right, r->bottom};
  InvertRect(port->dc, &rc);
}

// --- Ovals

void WINAPI ML_FrameOval(GrafPort *port, const Rect *r) {
  if (Ready(port, r)) FrameShape(port, ShapeArgs{Shape::Oval, *r});
}
void WINAPI ML_PaintOval(GrafPort *port, const Rect *r) {
  if (Ready(port, r)) FillShape(port, ShapeArgs{Shape::Oval, *r}, port->pnPat);
}
void WINAPI ML_EraseOval(GrafPort *port, const Rect *r) {
  if (Ready(port, r)) FillShape(port, ShapeArgs{Shape::Oval, *r}, port->bkPat);
}
void WINAPI ML_FillOval(GrafPort *port, const Rect *r, const Pattern *pat) {
  if (Ready(port, r) && pat) FillShape(port, ShapeArgs{Shape::Oval, *r}, *pat);
}
void WINAPI ML_InvertOval(GrafPort *port, const Rect *r) {
  if (!Ready(port, r)) return;
  Vec hair = PortHairline(port, false);
  HRGN rgn = CreateEllipticRgn(r->left, r->top, r->right + hair.h, r->bottom + hair.v);
  InvertRegion(port, rgn);
  if (rgn) DeleteObject(rgn);
}

void WINAPI ML_FrameGrayOval(GrafPort *port, const Rect *r) {
  if (!Ready(port, r)) return;
  int pw = port->pnSize.h, ph = port->pnSize.v;
  if (pw < 1 && ph < 1) return;
  int w = std::abs(r->right - r->left), hgt = std::abs(r->bottom - r->top);
  if (w == 0 || hgt == 0) return;
  if (w < 2 || hgt < 2) {
    ThinFrame(port, *r, w);
    return;
  }
  DrawingBracket bracket(port);
  bool dotted = pw == 1 && ph == 1;
  if (pw > 1 && (2 * pw >= w || 2 * pw >= hgt)) {
    // An inside-frame pen this wide does not stay inside the oval; the frame is all of it.
    static const Pattern kSolid = {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
    Vec hair = PortHairline(port, false);
    tstools::gdi::OwnedObject<HRGN> oval(CreateEllipticRgn(r->left, r->top, r->right + hair.h, r->bottom + hair.v));
    HBRUSH grey = GetCachedBrush(RGBColor{0xA0A0, 0xA0A0, 0xA0A0}, port->rgbBkColor, kSolid, port);
    if (oval && grey) FillRgn(port->dc, oval.get(), grey);
    if (grey) ReleaseCached(CacheKind::Brush, grey);
    return;
  }
  VerbObject pen(port, Slot::Pen,
                 dotted ? CachedPen(port, PS_DOT, 1, 0) : CachedPen(port, PS_INSIDEFRAME, pw, 0xA0A0A0));
  VerbObject brush(port, Slot::Brush, nullptr);
  Ellipse(port->dc, r->left, r->top, r->right, r->bottom);
}

// --- Rounded rects

void WINAPI ML_FrameRoundRect(GrafPort *port, const Rect *r, short ow, short oh) {
  if (Ready(port, r)) FrameShape(port, ShapeArgs{Shape::RoundRect, *r, ow, oh});
}
void WINAPI ML_PaintRoundRect(GrafPort *port, const Rect *r, short ow, short oh) {
  if (Ready(port, r)) FillShape(port, ShapeArgs{Shape::RoundRect, *r, ow, oh}, port->pnPat);
}
void WINAPI ML_EraseRoundRect(GrafPort *port, const Rect *r, short ow, short oh) {
  if (Ready(port, r)) FillShape(port, ShapeArgs{Shape::RoundRect, *r, ow, oh}, port->bkPat);
}
void WINAPI ML_FillRoundRect(GrafPort *port, const Rect *r, short ow, short oh, const Pattern *pat) {
  if (Ready(port, r) && pat) FillShape(port, ShapeArgs{Shape::RoundRect, *r, ow, oh}, *pat);
}
void WINAPI ML_InvertRoundRect(GrafPort *port, const Rect *r, short ow, short oh) {
  if (!Ready(port, r)) return;
  // Grown like the painted shape: the region of the rect itself stops a pixel short.
  Vec hair = PortHairline(port, false);
  HRGN rgn = CreateRoundRectRgn(r->left, r->top, r->right + hair.h, r->bottom + hair.v, ow, oh);
  InvertRegion(port, rgn);
  if (rgn) DeleteObject(rgn);
}

// --- Arcs

void WINAPI ML_FrameArc(GrafPort *port, const Rect *r, short start, short arc) {
  if (Ready(port, r)) FrameArc(port, *r, start, arc);
}
void WINAPI ML_PaintArc(GrafPort *port, const Rect *r, short start, short arc) {
  if (Ready(port, r)) FillShape(port, ShapeArgs{Shape::Pie, *r, 0, 0, start, arc}, port->pnPat);
}
void WINAPI ML_EraseArc(GrafPort *port, const Rect *r, short start, short arc) {
  if (Ready(port, r)) FillShape(port, ShapeArgs{Shape::Pie, *r, 0, 0, start, arc}, port->bkPat);
}
void WINAPI ML_FillArc(GrafPort *port, const Rect *r, short start, short arc, const Pattern *pat) {
  if (Ready(port, r) && pat) FillShape(port, ShapeArgs{Shape::Pie, *r, 0, 0, start, arc}, *pat);
}
void WINAPI ML_InvertArc(GrafPort *port, const Rect *r, short start, short arc) {
  if (Ready(port, r)) InvertArc(port, *r, start, arc);
}

// --- Regions

void WINAPI ML_FrameRgn(GrafPort *port, RgnHandle rgn) {
  if (!Ready(port, rgn) || GetObjectType(rgn) != OBJ_REGION) return;
  if (port->pnSize.h < 1 || port->pnSize.v < 1) return;
  DrawingBracket bracket(port);
  if (PrinterPatternCase(port, port->pnPat)) {
    RECT box{};
    GetRgnBox(rgn, &box);
    PrinterPatternShape(port, port->pnPat, box,
                        [&](HDC dc, HBRUSH brush) { FrameRgn(dc, rgn, brush, port->pnSize.h, port->pnSize.v); });
    return;
  }
  if (HBRUSH brush = CachedBrush(port, port->pnPat)) {
    FrameRgn(port->dc, rgn, brush, port->pnSize.h, port->pnSize.v);
    ReleaseCached(CacheKind::Brush, brush);
  }
}
void WINAPI ML_PaintRgn(GrafPort *port, RgnHandle rgn) {
  if (Ready(port, rgn) && GetObjectType(rgn) == OBJ_REGION) FillRegion(port, rgn, port->pnPat);
}
void WINAPI ML_EraseRgn(GrafPort *port, RgnHandle rgn) {
  if (Ready(port, rgn) && GetObjectType(rgn) == OBJ_REGION) FillRegion(port, rgn, port->bkPat);
}
void WINAPI ML_FillRgn(GrafPort *port, RgnHandle rgn, const Pattern *pat) {
  if (Ready(port, rgn) && pat && GetObjectType(rgn) == OBJ_REGION) FillRegion(port, rgn, *pat);
}
void WINAPI ML_InvertRgn(GrafPort *port, RgnHandle rgn) {
  if (Ready(port, rgn) && GetObjectType(rgn) == OBJ_REGION) InvertRegion(port, rgn);
}

// --- Polygons: the only shape verbs that allocate (vertices beyond the stack's room, and
// the separate lines of a frame in a mode that tells a pixel drawn twice).

void WINAPI ML_FramePoly(GrafPort *port, PolyHandle poly) {
  if (!Ready(port, poly)) return;
  tstools::Guarded(tstools::Nothing, [&] {
    PolygonVertices v(poly, 1);  // the one-call path ends with a point past the last vertex
    if (v.empty()) return;
    POINT *path = v.data();
    for (int i = 0; i < v.size(); ++i)  // the pen's coordinates are 16-bit
      path[i] = POINT{static_cast<short>(path[i].x), static_cast<short>(path[i].y)};
    if (OnePixelPath(port, path, v.size())) return;
    ML_MoveTo(port, static_cast<short>(path[0].x), static_cast<short>(path[0].y));
    for (int i = 1; i < v.size(); ++i) ML_LineTo(port, static_cast<short>(path[i].x), static_cast<short>(path[i].y));
  });
}
void WINAPI ML_PaintPoly(GrafPort *port, PolyHandle poly) {
  if (Ready(port, poly)) tstools::Guarded(tstools::Nothing, [&] { FillPolygon(port, poly, port->pnPat); });
}
void WINAPI ML_ErasePoly(GrafPort *port, PolyHandle poly) {
  if (Ready(port, poly)) tstools::Guarded(tstools::Nothing, [&] { FillPolygon(port, poly, port->bkPat); });
}
void WINAPI ML_FillPoly(GrafPort *port, PolyHandle poly, const Pattern *pat) {
  if (Ready(port, poly) && pat) tstools::Guarded(tstools::Nothing, [&] { FillPolygon(port, poly, *pat); });
}
void WINAPI ML_InvertPoly(GrafPort *port, PolyHandle poly) {
  if (!Ready(port, poly)) return;
  tstools::Guarded(tstools::Nothing, [&] {
    PolygonVertices v(poly, 0);
    if (v.empty()) return;
    HRGN rgn = CreatePolygonRgn(v.data(), v.size(), WINDING);
    if (!rgn) return;
    DrawingBracket bracket(port);
    InvertRgn(port->refDC, rgn);
    DeleteObject(rgn);
  });
}
