// Bitmap rotation, colour-key masking and pixel reading over caller-described buffers.
#include "textedit/bitmap_ops.h"

namespace tstools::text {
namespace {

struct Format {
  int depth = 0;   // bits per pixel of one plane
  int planes = 1;
};

bool ParseFormat(int pixelFormat, Format *f) {
  f->depth = pixelFormat & 0xFF;
  f->planes = (pixelFormat >> 8) & 0xFF;
  if (f->planes == 0) f->planes = 1;
  switch (f->depth) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: return true;
    default: return false;
  }
}

int Width(const ShortRect &r) { return int{r.right} - r.left; }
int Height(const ShortRect &r) { return int{r.bottom} - r.top; }
bool Empty(const ShortRect &r) { return Width(r) <= 0 || Height(r) <= 0; }

// One plane's row: where it starts and its pixels.
struct Layout {
  Format f;
  size_t stride = 0;       // bytes per row, all planes
  size_t planeStride = 0;  // bytes per plane within a row
};

// A layout whose plane rows hold `width` pixels.
bool MakeLayout(int pixelFormat, int rowBytes, int width, Layout *l) {
  if (!ParseFormat(pixelFormat, &l->f)) return false;
  l->stride = static_cast<size_t>(rowBytes & 0x7FFF);
  l->planeStride = l->stride / static_cast<size_t>(l->f.planes);
  return width > 0 && static_cast<size_t>(width) * static_cast<size_t>(l->f.depth) <= l->planeStride * 8;
}

uint32_t ReadField(const uint8_t *row, int x, int depth) {
  if (depth < 8) {
    size_t bit = static_cast<size_t>(x) * static_cast<size_t>(depth);
    int shift = 8 - depth - static_cast<int>(bit % 8);
    return (row[bit / 8] >> shift) & ((1u << depth) - 1);
  }
  const uint8_t *p = row + static_cast<size_t>(x) * static_cast<size_t>(depth / 8);
  switch (depth) {
    case 8: return p[0];
    case 16: return uint32_t{p[0]} | uint32_t{p[1]} << 8;
    case 24: return uint32_t{p[0]} << 16 | uint32_t{p[1]} | uint32_t{p[2]} << 8;
    default: return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
  }
}

void WriteField(uint8_t *row, int x, int depth, uint32_t v) {
  if (depth < 8) {
    size_t bit = static_cast<size_t>(x) * static_cast<size_t>(depth);
    int shift = 8 - depth - static_cast<int>(bit % 8);
    uint8_t m = static_cast<uint8_t>(((1u << depth) - 1) << shift);
    uint8_t &b = row[bit / 8];
    b = static_cast<uint8_t>((b & ~m) | ((v << shift) & m));
    return;
  }
  uint8_t *p = row + static_cast<size_t>(x) * static_cast<size_t>(depth / 8);
  switch (depth) {
    case 8: p[0] = static_cast<uint8_t>(v); break;
    case 16: p[0] = static_cast<uint8_t>(v), p[1] = static_cast<uint8_t>(v >> 8); break;
    case 24:
      p[0] = static_cast<uint8_t>(v >> 16), p[1] = static_cast<uint8_t>(v), p[2] = static_cast<uint8_t>(v >> 8);
      break;
    default:
      for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
  }
}

const uint8_t *PlaneRow(const uint8_t *bits, const Layout &l, int y, int plane) {
  return bits + static_cast<size_t>(y) * l.stride + static_cast<size_t>(plane) * l.planeStride;
}
uint8_t *PlaneRow(uint8_t *bits, const Layout &l, int y, int plane) {
  return bits + static_cast<size_t>(y) * l.stride + static_cast<size_t>(plane) * l.planeStride;
}

// The whole pixel over all planes (depth x planes at most 32 bits).
uint32_t ReadPixel(const uint8_t *bits, const Layout &l, int x, int y) {
  uint32_t v = 0;
  for (int p = 0; p < l.f.planes; ++p) v |= ReadField(PlaneRow(bits, l, y, p), x, l.f.depth) << (p * l.f.depth);
  return v;
}

void WritePixel(uint8_t *bits, const Layout &l, int x, int y, uint32_t v) {
  for (int p = 0; p < l.f.planes; ++p)
    WriteField(PlaneRow(bits, l, y, p), x, l.f.depth, v >> (p * l.f.depth));
}

bool FitsInWord(const Format &f) { return f.depth * f.planes <= 32; }

}  // namespace

size_t BitmapSpan(const ShortRect &rect, int rowBytes) {
  return Empty(rect) ? 0 : static_cast<size_t>(Height(rect)) * static_cast<size_t>(rowBytes & 0x7FFF);
}

bool RotateBitmap(const uint8_t *source, uint8_t *destination, const ShortRect &sourceRect,
                  const ShortRect &destinationRect, int sourceRowBytes, int destinationRowBytes,
                  int pixelFormat, int angle) {
  angle %= 360;
  if (angle < 0) angle += 360;
  if (angle != 90 && angle != 180 && angle != 270) return false;
  if (!source || !destination || Empty(sourceRect) || Empty(destinationRect)) return false;
  int w = Width(sourceRect), h = Height(sourceRect);
  bool quarter = angle != 180;
  if (Width(destinationRect) != (quarter ? h : w) || Height(destinationRect) != (quarter ? w : h)) return false;
  Layout s, d;
  if (!MakeLayout(pixelFormat, sourceRowBytes, w, &s) ||
      !MakeLayout(pixelFormat, destinationRowBytes, Width(destinationRect), &d))
    return false;
  for (int p = 0; p < s.f.planes; ++p) {
    for (int y = 0; y < h; ++y) {
      const uint8_t *from = PlaneRow(source, s, y, p);
      for (int x = 0; x < w; ++x) {
        int dx, dy;
        switch (angle) {
          case 90: dx = y, dy = w - 1 - x; break;  // the top-right corner comes to the top-left
          case 180: dx = w - 1 - x, dy = h - 1 - y; break;
          default: dx = h - 1 - y, dy = x; break;
        }
        WriteField(PlaneRow(destination, d, dy, p), dx, s.f.depth, ReadField(from, x, s.f.depth));
      }
    }
  }
  return true;
}

bool MaskBitmap(uint8_t *source, uint8_t *mask, const ShortRect &bounds, const ShortRect &rect,
                int sourceRowBytes, int maskRowBytes, int pixelFormat, int planeMode,
                uint32_t keyColour, uint32_t replacement) {
  if (!source || !mask || Empty(bounds) || Empty(rect)) return false;
  if (rect.left < bounds.left || rect.top < bounds.top || rect.right > bounds.right ||
      rect.bottom > bounds.bottom)
    return false;
  Layout s;
  if (!MakeLayout(pixelFormat, sourceRowBytes, Width(bounds), &s) || !FitsInWord(s.f)) return false;
  int w = Width(rect), h = Height(rect);
  size_t maskPlane = static_cast<size_t>(maskRowBytes & 0x7FFF);
  if (maskPlane * 8 < static_cast<size_t>(w)) return false;
  int copies = planeMode >= 2 ? s.f.planes : 1;
  size_t maskStride = maskPlane * static_cast<size_t>(copies);
  int bits = s.f.depth * s.f.planes;
  if (bits < 25) {
    uint32_t m = (1u << bits) - 1;
    keyColour &= m;
    replacement &= m;
  }
  int x0 = rect.left - bounds.left, y0 = rect.top - bounds.top;
  for (int y = 0; y < h; ++y) {
    uint8_t *maskRow = mask + static_cast<size_t>(y) * maskStride;
    for (size_t i = 0; i < maskStride; ++i) maskRow[i] = 0;
    for (int x = 0; x < w; ++x) {
      if (ReadPixel(source, s, x0 + x, y0 + y) != keyColour) continue;
      WritePixel(source, s, x0 + x, y0 + y, replacement);
      for (int c = 0; c < copies; ++c)
        maskRow[static_cast<size_t>(c) * maskPlane + static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  return true;
}

bool GetBitmapColors(const uint8_t *bits, const ShortRect &rect, int rowBytes, int pixelFormat,
                     uint32_t *second, uint32_t *first) {
  if (!bits || !second || !first || Empty(rect)) return false;
  Layout l;
  if (!MakeLayout(pixelFormat, rowBytes, Width(rect), &l) || !FitsInWord(l.f)) return false;
  *first = ReadPixel(bits, l, 0, 0);
  *second = Width(rect) >= 2 ? ReadPixel(bits, l, 1, 0) : *first;
  return true;
}

}  // namespace tstools::text
