#include "quickdraw/shape_geometry.h"

#include <cmath>

namespace tstools::qd {

namespace {

int Tan1000(int degrees) {
  return static_cast<int>(std::lround(1000.0 * std::tan(degrees * 3.14159265358979323846 / 180.0)));
}

}  // namespace

Vec ArcDirection(int degrees) {
  int a = degrees % 360;
  if (a < 0) a += 360;
  if (a <= 45) return Vec{Tan1000(a), -1000};
  if (a <= 90) return Vec{1000, -Tan1000(90 - a)};
  if (a <= 180) {
    Vec v = ArcDirection(180 - a);
    return Vec{v.h, -v.v};
  }
  Vec v = ArcDirection(360 - a);
  return Vec{-v.h, v.v};
}

ArcEnds ArcEndPoints(int left, int top, int right, int bottom, int startAngle, int arcAngle) {
  Vec centre{left + (right - left) / 2, top + (bottom - top) / 2};
  Vec d1 = ArcDirection(startAngle), d2 = ArcDirection(startAngle + arcAngle);
  Vec p1{centre.h + d1.h, centre.v + d1.v}, p2{centre.h + d2.h, centre.v + d2.v};
  // GDI runs counter-clockwise; a clockwise (positive) Toolbox arc is the same wedge
  // walked from its far end.
  if (arcAngle > 0) return ArcEnds{p2, p1};
  return ArcEnds{p1, p2};
}

ArcSpan ClassifyArc(int arcAngle) {
  if (arcAngle == 0) return ArcSpan::Nothing;
  if (arcAngle >= 360 || arcAngle <= -360) return ArcSpan::WholeOval;
  return ArcSpan::Wedge;
}

int SweptPen(Vec a, Vec b, int pw, int ph, Vec out[6]) {
  if (a.h > b.h || (a.h == b.h && a.v > b.v)) {
    Vec t = a;
    a = b;
    b = t;
  }
  if (a.h == b.h) {
    out[0] = {a.h, a.v};
    out[1] = {a.h + pw, a.v};
    out[2] = {b.h + pw, b.v + ph};
    out[3] = {b.h, b.v + ph};
    return 4;
  }
  if (a.v == b.v) {
    out[0] = {a.h, a.v};
    out[1] = {b.h + pw, b.v};
    out[2] = {b.h + pw, b.v + ph};
    out[3] = {a.h, a.v + ph};
    return 4;
  }
  if (b.v < a.v) {  // rising
    out[0] = {a.h + pw, a.v + ph};
    out[1] = {a.h, a.v + ph};
    out[2] = {a.h, a.v};
    out[3] = {b.h, b.v};
    out[4] = {b.h + pw, b.v};
    out[5] = {b.h + pw, b.v + ph};
    return 6;
  }
  out[0] = {a.h, a.v + ph};  // falling
  out[1] = {a.h, a.v};
  out[2] = {a.h + pw, a.v};
  out[3] = {b.h + pw, b.v};
  out[4] = {b.h + pw, b.v + ph};
  out[5] = {b.h, b.v + ph};
  return 6;
}

Vec PrinterHairline(int windowExtX, int windowExtY, int viewportExtX, int viewportExtY, int shiftX, int shiftY) {
  int sx = viewportExtX >> (shiftX & 31), sy = viewportExtY >> (shiftY & 31);
  if (sx == 0 || sy == 0) return Vec{1, 1};
  return Vec{(windowExtX + sx / 2) / sx, (windowExtY + sy / 2) / sy};
}

long PolygonVertexCount(int16_t sizeWord, size_t blockSize) {
  if (sizeWord < static_cast<int16_t>(kPolyHeader)) return -1;
  size_t size = static_cast<size_t>(sizeWord);
  if ((size - kPolyHeader) % kPolyVertex != 0 || size > blockSize) return -1;
  return static_cast<long>((size - kPolyHeader) / kPolyVertex);
}

uint32_t PatternRopForMix(int mix) {
  // Indexed by mix mode - 1; each entry's high byte is the mix's truth table over pattern
  // and destination, spread over the source bit it ignores.
  static const uint32_t kRops[16] = {
      0x000042,  // black
      0x0500A9,  // DPon
      0x0A0329,  // DPna
      0x0F0001,  // Pn
      0x500325,  // PDna
      0x550009,  // Dn
      0x5A0049,  // DPx
      0x5F00E9,  // DPan
      0xA000C9,  // DPa
      0xA50065,  // PDxn
      0xAA0029,  // D
      0xAF0229,  // DPno
      0xF00021,  // P
      0xF50225,  // PDno
      0xFA0089,  // DPo
      0xFF0062,  // white
  };
  return mix >= 1 && mix <= 16 ? kRops[mix - 1] : 0xAA0029;
}

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

PatternAxis PrinterPatternAxis(int deviceFirst, int deviceEnd, int dpi, int anchorDevice) {
  if (dpi < 1) dpi = 1;
  PatternAxis a{};
  a.first = static_cast<int>(FloorDiv(int64_t{deviceFirst} * 72, dpi));
  a.end = static_cast<int>(-FloorDiv(-int64_t{deviceEnd} * 72, dpi));  // ceiling
  if (a.end <= a.first) a.end = a.first + 1;
  a.deviceStart = static_cast<int>(FloorDiv(int64_t{a.first} * dpi + 36, 72));
  a.deviceStop = static_cast<int>(FloorDiv(int64_t{a.end} * dpi + 36, 72));
  int anchor = static_cast<int>(FloorDiv(int64_t{anchorDevice} * 72, dpi));
  a.phase = static_cast<int>(((anchor - a.first) % 8 + 8) % 8);
  return a;
}

uint32_t TransferRop(int mode) {
  static const uint32_t kRops[8] = {
      0xCC0020,  // srcCopy
      0x8800C6,  // srcOr: black (0) source pixels darken
      0x990066,  // srcXor
      0xBB0226,  // srcBic
      0x330008,  // notSrcCopy
      0x220326,  // notSrcOr
      0x660046,  // notSrcXor
      0xEE0086,  // notSrcBic: destination kept only under black source, i.e. D OR S in RGB
  };
  return mode >= 0 && mode < 8 ? kRops[mode] : kRops[0];
}

bool ToolboxTransfer(int mode, bool src, bool dst) {
  switch (mode) {
    case 1: return src || dst;
    case 2: return src != dst;
    case 3: return dst && !src;
    case 4: return !src;
    case 5: return dst || !src;
    case 6: return src == dst;
    case 7: return dst && src;
    default: return src;
  }
}

}  // namespace tstools::qd
