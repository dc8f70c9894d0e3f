#include "picture/gdi_sink.h"

#include <algorithm>
#include <cstring>

#include "quickdraw/port_internal.h"
#include "quickdraw/shape_geometry.h"
#include "tstools/font.h"
#include "tstools/shapes.h"
#include "tstools/text.h"

namespace tstools::pict {
namespace {

using qd::CacheKind;

constexpr DWORD kPaintSetBits = 0xB8074A;  // P xor (S and (D xor P)): brush where the source is 0
constexpr size_t kPolyVertexLimit = (32767 - qd::kPolyHeader) / qd::kPolyVertex;

::Rect ToRect(const PictRect &r) { return ::Rect{r.left, r.top, r.right, r.bottom}; }

Pattern ToPattern(const Pattern8 &p) {
  Pattern out;
  std::memcpy(out.pat, p.rows, sizeof out.pat);
  return out;
}

int16_t Clamp16(int64_t v) { return static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767)); }

bool SameHighBytes(const RGBColor &a, unsigned short red, unsigned short green, unsigned short blue) {
  return (a.red >> 8) == (red >> 8) && (a.green >> 8) == (green >> 8) && (a.blue >> 8) == (blue >> 8);
}

// The port's reference to the object in one slot moves from what it holds now back to what
// it held at the start: verbs that select through the port (text) swap slots.
void RestoreSlot(CacheKind kind, HGDIOBJ now, HGDIOBJ before) {
  if (now == before) return;
  if (now) qd::ReleaseCached(kind, now);
  if (before) qd::AddCacheReferences(kind, before, 1);
}

}  // namespace

GdiSink::GdiSink(GrafPort *port) : port_(port) { std::memcpy(&saved_, port, sizeof saved_); }

GdiSink::~GdiSink() {
  EndPlayback();
  if (startClip_) DeleteObject(startClip_);
  if (startRefClip_) DeleteObject(startRefClip_);
}

void GdiSink::BeginPlayback(PictPoint penStart) {
  GrafPort *port = port_;
  std::memcpy(&saved_, port, sizeof saved_);
  if (port->clipChanged) {
    long depth = port->clipDepth;
    ResetWinClipRgn(port);
    pushedClip_ = port->clipDepth > depth;
  }
  // A recording port pushed a DC state for its clip; the verbs must not pop it while the
  // picture's own clip is in force.
  port->clipDepth = 0;
  port->clipChanged = 0;
  savedDC_.emplace(port->dc);
  if (TwoDCs()) savedRefDC_.emplace(port->refDC);
  auto currentClip = [](HDC dc) -> HRGN {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (rgn && GetClipRgn(dc, rgn) != 1) {
      DeleteObject(rgn);
      rgn = nullptr;
    }
    return rgn;
  };
  startClip_ = currentClip(port->dc);
  if (TwoDCs()) startRefClip_ = currentClip(port->refDC);
  if (port->portKind == portKindPicture) {
    // A metafile DC cannot report its clip: a recording port's clip is the box of its
    // clip and visible regions.
    RECT box{};
    if (HRGN e = CreateRectRgn(0, 0, 0, 0)) {
      if (CombineRgn(e, port->clipRgn, port->visRgn, RGN_AND) != ERROR) GetRgnBox(e, &box);
      DeleteObject(e);
    }
    recordingClip_ = box;
  }
  // The port's objects stay selected in the saved DC state: keep them alive until it is back.
  qd::PinPortObjects(port);
  began_ = true;

  static const Pattern kWhite = {}, kBlack = {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
  if (std::memcmp(&port->bkPat, &kWhite, sizeof kWhite)) ML_BackPat(port, &kWhite);
  if (port->pnLoc.h != penStart.h || port->pnLoc.v != penStart.v) ML_MoveTo(port, penStart.h, penStart.v);
  if (port->pnSize.h != 1 || port->pnSize.v != 1) ML_PenSize(port, 1, 1);
  if (port->pnMode != patCopy) ML_PenMode(port, patCopy);
  if (std::memcmp(&port->pnPat, &kBlack, sizeof kBlack)) ML_PenPat(port, &kBlack);
  if (port->txFont != 0) ML_TextFont(port, 0);
  if (port->txFace != 0) ML_TextFace(port, 0);
  if (port->txMode != 1) ML_TextMode(port, 1);
  if (port->txSize != 12) ML_TextSize(port, 0);
  // The constant alone does not say the colour: RGBForeColor leaves it as it was.
  if (port->fgColor != blackColor || !SameHighBytes(port->rgbFgColor, 0, 0, 0)) ML_ForeColor(port, blackColor);
  if (port->bkColor != whiteColor || !SameHighBytes(port->rgbBkColor, 0xFF00, 0xFF00, 0xFF00))
    ML_BackColor(port, whiteColor);
}

void GdiSink::EndPlayback() {
  if (!began_) return;
  began_ = false;
  GrafPort *port = port_;
  savedDC_.reset();
  savedRefDC_.reset();
  RestoreSlot(CacheKind::Pen, port->penSlot, saved_.penSlot);
  RestoreSlot(CacheKind::Brush, port->brushSlot, saved_.brushSlot);
  RestoreSlot(CacheKind::Font, port->fontSlot, saved_.fontSlot);
  qd::UnpinPortObjects(&saved_);
  std::memcpy(port, &saved_, sizeof saved_);
  if (pushedClip_) {  // the clip this playback applied goes; the port rebuilds it lazily
    RestoreDC(port->dc, -1);
    if (TwoDCs()) RestoreDC(port->refDC, -1);
  }
}

PictRect GdiSink::DestinationClipBox() {
  RECT box{};
  if (port_->portKind == portKindPicture) {
    if (!port_->clipRgn || GetRgnBox(port_->clipRgn, &box) == ERROR) box = RECT{};
  } else if (GetClipBox(port_->dc, &box) == ERROR) {
    box = RECT{};
  }
  int64_t fx = 1, fy = 1;  // 64 bits: a shifted box overflows LONG long before it saturates
  if (port_->portKind == portKindPrinter) {
    fx = int64_t(1) << (port_->printerShiftX & 15);
    fy = int64_t(1) << (port_->printerShiftY & 15);
  }
  return {Clamp16(box.left * fx), Clamp16(box.top * fy), Clamp16(box.right * fx),
          Clamp16(box.bottom * fy)};
}

bool GdiSink::RestoresClipFirst() {
  return port_->portKind == portKindPicture || port_->portKind == portKindPrinter;
}

PictPoint GdiSink::PenLocation() { return {port_->pnLoc.h, port_->pnLoc.v}; }
void GdiSink::SetPenLocation(PictPoint p) { port_->pnLoc = Point{p.h, p.v}; }
void GdiSink::MoveTo(PictPoint p) { ML_MoveTo(port_, p.h, p.v); }
void GdiSink::LineTo(PictPoint p) { ML_LineTo(port_, p.h, p.v); }

void GdiSink::BackPat(const Pattern8 &p) {
  Pattern pat = ToPattern(p);
  ML_BackPat(port_, &pat);
}
void GdiSink::PenPat(const Pattern8 &p) {
  Pattern pat = ToPattern(p);
  ML_PenPat(port_, &pat);
}
void GdiSink::PenSize(int16_t h, int16_t v) { ML_PenSize(port_, h, v); }
void GdiSink::PenMode(int16_t mode) { ML_PenMode(port_, mode); }
void GdiSink::TextFont(int16_t font) { ML_TextFont(port_, font); }
void GdiSink::TextFace(uint8_t face) { ML_TextFace(port_, face); }
void GdiSink::TextMode(int16_t mode) { ML_TextMode(port_, mode); }
void GdiSink::TextSize(int16_t size) { ML_TextSize(port_, size); }
void GdiSink::SpaceExtra(int32_t fixedExtra) { port_->spExtra = fixedExtra; }
void GdiSink::ForeColor(int32_t classic) { ML_ForeColor(port_, classic); }
void GdiSink::BackColor(int32_t classic) { ML_BackColor(port_, classic); }
void GdiSink::RGBForeColor(const RgbColor &c) {
  RGBColor rgb{c.red, c.green, c.blue};
  ML_RGBForeColor(port_, &rgb);
}
void GdiSink::RGBBackColor(const RgbColor &c) {
  RGBColor rgb{c.red, c.green, c.blue};
  ML_RGBBackColor(port_, &rgb);
}

void GdiSink::Rect(ShapeVerb verb, const PictRect &r, const Pattern8 &fill) {
  ::Rect rect = ToRect(r);
  Pattern pat = ToPattern(fill);
  switch (verb) {
    case ShapeVerb::kFrame: ML_FrameRect(port_, &rect); break;
    case ShapeVerb::kPaint: ML_PaintRect(port_, &rect); break;
    case ShapeVerb::kErase: ML_EraseRect(port_, &rect); break;
    case ShapeVerb::kInvert: ML_InvertRect(port_, &rect); break;
    case ShapeVerb::kFill: ML_FillRect(port_, &rect, &pat); break;
  }
}

void GdiSink::RoundRect(ShapeVerb verb, const PictRect &r, int16_t w, int16_t h, const Pattern8 &fill) {
  ::Rect rect = ToRect(r);
  Pattern pat = ToPattern(fill);
  switch (verb) {
    case ShapeVerb::kFrame: ML_FrameRoundRect(port_, &rect, w, h); break;
    case ShapeVerb::kPaint: ML_PaintRoundRect(port_, &rect, w, h); break;
    case ShapeVerb::kErase: ML_EraseRoundRect(port_, &rect, w, h); break;
    case ShapeVerb::kInvert: ML_InvertRoundRect(port_, &rect, w, h); break;
    case ShapeVerb::kFill: ML_FillRoundRect(port_, &rect, w, h, &pat); break;
  }
}

void GdiSink::Oval(ShapeVerb verb, const PictRect &r, const Pattern8 &fill) {
  ::Rect rect = ToRect(r);
  Pattern pat = ToPattern(fill);
  switch (verb) {
    case ShapeVerb::kFrame: ML_FrameOval(port_, &rect); break;
    case ShapeVerb::kPaint: ML_PaintOval(port_, &rect); break;
    case ShapeVerb::kErase: ML_EraseOval(port_, &rect); break;
    case ShapeVerb::kInvert: ML_InvertOval(port_, &rect); break;
    case ShapeVerb::kFill: ML_FillOval(port_, &rect, &pat); break;
  }
}

void GdiSink::Arc(ShapeVerb verb, const PictRect &r, int16_t start, int16_t angle, const Pattern8 &fill) {
  ::Rect rect = ToRect(r);
  Pattern pat = ToPattern(fill);
  switch (verb) {
    case ShapeVerb::kFrame: ML_FrameArc(port_, &rect, start, angle); break;
    case ShapeVerb::kPaint: ML_PaintArc(port_, &rect, start, angle); break;
    case ShapeVerb::kErase: ML_EraseArc(port_, &rect, start, angle); break;
    case ShapeVerb::kInvert: ML_InvertArc(port_, &rect, start, angle); break;
    case ShapeVerb::kFill: ML_FillArc(port_, &rect, start, angle, &pat); break;
  }
}

void GdiSink::Polygon(ShapeVerb verb, const PictRect &box, const std::vector<int32_t> &hv, const Pattern8 &fill) {
  size_t count = hv.size() / 2;
  if (count == 0) return;
  if (count > kPolyVertexLimit) {
    // Beyond what a polygon record's 16-bit size can hold: the outline is still the pen
    // lines from vertex to vertex; the area calls have no form to take it in.
    if (verb != ShapeVerb::kFrame) return;
    ML_MoveTo(port_, Clamp16(hv[0]), Clamp16(hv[1]));
    for (size_t i = 1; i < count; ++i) ML_LineTo(port_, Clamp16(hv[2 * i]), Clamp16(hv[2 * i + 1]));
    return;
  }
  size_t bytes = qd::kPolyHeader + count * qd::kPolyVertex;
  HGLOBAL poly = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!poly) return;
  auto *p = static_cast<uint8_t *>(GlobalLock(poly));
  if (!p) {
    GlobalFree(poly);
    return;
  }
  int16_t size = static_cast<int16_t>(bytes);
  ::Rect r = ToRect(box);
  std::memcpy(p, &size, 2);
  std::memcpy(p + 2, &r, sizeof r);
  for (size_t i = 0; i < count; ++i) {
    POINT v{static_cast<LONG>(hv[2 * i]), static_cast<LONG>(hv[2 * i + 1])};
    std::memcpy(p + qd::kPolyHeader + i * qd::kPolyVertex, &v, sizeof v);
  }
  GlobalUnlock(poly);
  Pattern pat = ToPattern(fill);
  switch (verb) {
    case ShapeVerb::kFrame: ML_FramePoly(port_, poly); break;
    case ShapeVerb::kPaint: ML_PaintPoly(port_, poly); break;
    case ShapeVerb::kErase: ML_ErasePoly(port_, poly); break;
    case ShapeVerb::kInvert: ML_InvertPoly(port_, poly); break;
    case ShapeVerb::kFill: ML_FillPoly(port_, poly, &pat); break;
  }
  GlobalFree(poly);
}

HRGN GdiSink::SpanRegion(const std::vector<PictRect> &spans, bool device) const {
  std::vector<RECT> rects;
  rects.reserve(spans.size());
  for (const PictRect &s : spans) {
    RECT r{std::min(s.left, s.right), std::min(s.top, s.bottom), std::max(s.left, s.right),
           std::max(s.top, s.bottom)};
    if (r.left < r.right && r.top < r.bottom) rects.push_back(r);
  }
  if (rects.empty()) return CreateRectRgn(0, 0, 0, 0);
  if (device) {
    LPtoDP(port_->dc, reinterpret_cast<POINT *>(rects.data()), static_cast<int>(rects.size() * 2));
    for (RECT &r : rects) {  // a mirrored mapping turns rectangles over
      if (r.left > r.right) std::swap(r.left, r.right);
      if (r.top > r.bottom) std::swap(r.top, r.bottom);
    }
  }
  RECT bound = rects[0];
  for (const RECT &r : rects) UnionRect(&bound, &bound, &r);
  std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto *header = reinterpret_cast<RGNDATAHEADER *>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<DWORD>(rects.size());
  header->nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  header->rcBound = bound;
  std::memcpy(data.data() + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(RECT));
  return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA *>(data.data()));
}

void GdiSink::Region(ShapeVerb verb, const std::vector<PictRect> &spans, const PictRect &, const Pattern8 &fill) {
  gdi::OwnedObject<HRGN> region(SpanRegion(spans, false));
  HRGN rgn = region.get();
  if (!rgn) return;
  Pattern pat = ToPattern(fill);
  switch (verb) {
    case ShapeVerb::kFrame: ML_FrameRgn(port_, rgn); break;
    case ShapeVerb::kPaint: ML_PaintRgn(port_, rgn); break;
    case ShapeVerb::kErase: ML_EraseRgn(port_, rgn); break;
    case ShapeVerb::kInvert: ML_InvertRgn(port_, rgn); break;
    case ShapeVerb::kFill: ML_FillRgn(port_, rgn, &pat); break;
  }
}

void GdiSink::Text(const uint8_t *text, size_t count) {
  // The text calls convert their buffer in place: they get a copy of the player's, whose
  // count is a byte.
  char copy[255];
  size_t n = std::min(count, sizeof copy);
  std::memcpy(copy, text, n);
  if (n) ML_DrawText(port_, copy, 0, static_cast<short>(n));
}

// The comment kinds a port acts on (line width, PostScript) carry data; a short comment has
// none, so it changes nothing.
void GdiSink::ShortComment(int16_t) {}

void GdiSink::PortColours(PaletteEntry *background, PaletteEntry *foreground) {
  auto entry = [](COLORREF c) {
    return PaletteEntry{GetBValue(c), GetGValue(c), GetRValue(c), 0};
  };
  *background = entry(GetBkColor(port_->dc));
  *foreground = entry(GetTextColor(port_->dc));
}

void GdiSink::SaveImageState() { BothDCs([](HDC dc) { SaveDC(dc); }); }
void GdiSink::RestoreImageState() { BothDCs([](HDC dc) { RestoreDC(dc, -1); }); }

bool GdiSink::ColourHook(RgbColor *foreground, RgbColor *background, int16_t *mode) {
  if (!port_->grafProcs || !port_->grafProcs->colorProc) return false;
  RGBColor fg{foreground->red, foreground->green, foreground->blue};
  RGBColor bg{background->red, background->green, background->blue};
  short m = *mode;
  port_->grafProcs->colorProc(&fg, &bg, &m);
  *foreground = {fg.red, fg.green, fg.blue};
  *background = {bg.red, bg.green, bg.blue};
  *mode = m;
  return true;
}

// The brush a two-colour image in the srcOr or srcBic mode paints its set bits with: the
// foreground (srcOr) or background (srcBic) colour. None for black on white, which the
// mode's own raster operation draws.
HBRUSH GdiSink::ColourBrush(const ImageBand &b, size_t colours, const RGBQUAD *table, HDC dc) const {
  if (!b.twoColour || colours != 2 || (b.mode != srcOr && b.mode != srcBic)) return nullptr;
  const RGBQUAD &fg = table[1], &bg = table[0];
  bool blackOnWhite = !fg.rgbRed && !fg.rgbGreen && !fg.rgbBlue && bg.rgbRed == 0xFF && bg.rgbGreen == 0xFF &&
                      bg.rgbBlue == 0xFF;
  if (blackOnWhite) return nullptr;
  const RGBQUAD &c = b.mode == srcOr ? fg : bg;
  COLORREF colour = PALETTERGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
  if (port_->portKind != portKindPrinter)
    if (COLORREF nearest = GetNearestColor(dc, colour); nearest != CLR_INVALID) colour = nearest | 0x02000000;
  return CreateSolidBrush(colour);
}

void GdiSink::Image(const ImageBand &b) {
  const int srcW = b.source.Width(), srcH = b.source.Height();
  const int dstW = b.destination.Width(), dstH = b.destination.Height();
  if (srcW <= 0 || srcH <= 0 || dstW == 0 || dstH == 0 || !b.bits || b.source.bottom > b.rows) return;
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } info{};
  size_t colours = b.depth <= 8 ? std::min<size_t>(b.palette.size(), size_t(1) << b.depth) : 0;
  for (size_t i = 0; i < colours; ++i) {
    const PaletteEntry &e = b.palette[i];
    info.colours[i] = RGBQUAD{e.blue, e.green, e.red, 0};
  }
  // Only the source rows go to GDI: the band is stored bottom-up, so they start
  // (rows - source.bottom) rows into the buffer.
  const uint8_t *bits = b.bits + size_t(b.rows - b.source.bottom) * b.dibRowBytes;
  BITMAPINFOHEADER &h = info.header;
  h.biSize = sizeof h;
  h.biWidth = b.width;
  h.biHeight = srcH;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(b.depth);
  h.biCompression = BI_RGB;
  h.biSizeImage = static_cast<DWORD>(b.dibRowBytes * size_t(srcH));
  h.biXPelsPerMeter = b.hRes * 39;
  h.biYPelsPerMeter = b.vRes * 39;
  h.biClrUsed = b.depth == 4 ? 16 : b.depth == 8 ? 256 : static_cast<DWORD>(colours);
  h.biClrImportant = static_cast<DWORD>(colours);

  HDC dc = port_->dc;
  DWORD rop = qd::TransferRop(b.mode);
  gdi::OwnedObject<HBRUSH> brush(ColourBrush(b, colours, info.colours, dc));
  gdi::SelectedObject selected;
  if (brush && selected.Select(dc, brush.get())) {
    // Set bits take the brush's colour; clear bits leave the destination alone.
    info.colours[0] = RGBQUAD{0xFF, 0xFF, 0xFF, 0};
    info.colours[1] = RGBQUAD{0, 0, 0, 0};
    rop = kPaintSetBits;
  }
  if (b.depth < 2) SetStretchBltMode(dc, BLACKONWHITE);
  StretchDIBits(dc, b.destination.left, b.destination.top, dstW, dstH, b.source.left, 0, srcW, srcH, bits,
                reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS, rop);
}

void GdiSink::RestoreClip() {
  if (port_->portKind == portKindPicture) {
    const RECT &r = recordingClip_;
    BothDCs([&](HDC dc) {
      SelectClipRgn(dc, nullptr);
      IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    });
    return;
  }
  SelectClipRgn(port_->dc, startClip_);
  if (TwoDCs()) SelectClipRgn(port_->refDC, startRefClip_);
}

void GdiSink::IntersectClip(const PictRect &r) {
  BothDCs([&](HDC dc) { IntersectClipRect(dc, r.left, r.top, r.right, r.bottom); });
}

bool GdiSink::IntersectClipWithSpans(const std::vector<PictRect> &spans) {
  gdi::OwnedObject<HRGN> rgn(SpanRegion(spans, true));
  if (!rgn) return false;
  bool applied = true;
  BothDCs([&](HDC dc) { applied = ExtSelectClipRgn(dc, rgn.get(), RGN_AND) != ERROR && applied; });
  return applied;
}

void GdiSink::OffsetClip(int dh, int dv) {
  BothDCs([&](HDC dc) { OffsetClipRgn(dc, dh, dv); });
}

int16_t GdiSink::FontNumber(const std::string &face) {
  Str255 name;
  size_t n = std::min<size_t>(face.size(), 255);
  name[0] = static_cast<unsigned char>(n);
  std::memcpy(name + 1, face.data(), n);
  short number = 0;
  GetFNum(name, &number);
  return number;
}

std::string GdiSink::FontZeroName() {
  Str255 name{};
  GetFontName(0, name);
  return std::string(reinterpret_cast<const char *>(name + 1), name[0]);
}

std::string GdiSink::FontSubstitute(const std::string &face) {
  if (face.empty() || face.find('\0') != std::string::npos) return "";
  char buffer[33] = {};
  GetProfileStringA("FontSubstitutes", face.c_str(), "", buffer, sizeof buffer);
  return buffer;
}

}  // namespace tstools::pict
