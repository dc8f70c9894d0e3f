#include "quickdraw/theme_colours.h"

#include "frame/byte_reader.h"

namespace tstools::qd {

bool MonoLook(bool highContrast, ColourRef face) { return highContrast || (face & 0xFFFFFF) == 0; }

ColourRef ColourOf(const ThemeColours &c, EdgeColour role) {
  switch (role) {
    case EdgeColour::Face: return c.face;
    case EdgeColour::Shadow: return c.shadow;
    case EdgeColour::Highlight: return c.highlight;
    case EdgeColour::Frame: return c.frame;
    case EdgeColour::Window: return c.window;
  }
  return c.face;
}

namespace {

struct Level {
  bool on = false;
  EdgeColour topLeft = EdgeColour::Face, bottomRight = EdgeColour::Face;
};

// The two colours of one border kind. Soft swaps which of the two lines of a raised edge
// is the brighter one on the top-left, and which of a sunken edge is the darker.
Level BorderLevel(unsigned kind, bool soft) {
  switch (kind) {
    case kBorderRaisedOuter: return {true, soft ? EdgeColour::Highlight : EdgeColour::Face, EdgeColour::Frame};
    case kBorderSunkenOuter: return {true, soft ? EdgeColour::Frame : EdgeColour::Shadow, EdgeColour::Highlight};
    case kBorderRaisedInner: return {true, soft ? EdgeColour::Face : EdgeColour::Highlight, EdgeColour::Shadow};
    case kBorderSunkenInner: return {true, soft ? EdgeColour::Shadow : EdgeColour::Frame, EdgeColour::Face};
    default: return {};
  }
}

}  // namespace

size_t PlanEdge(int left, int top, int right, int bottom, unsigned edge, unsigned flags,
                EdgeFill out[kMaxEdgeFills]) {
  if (flags & kEdgeDiagonal) return 0;
  unsigned outerBits = edge & 3, innerBits = edge & 12;
  Level outer, inner;
  bool valid = true;
  if (flags & (kEdgeMono | kEdgeFlat)) {
    // One colour all round, the well's colour when only inner borders are asked for.
    EdgeColour line = flags & kEdgeMono ? EdgeColour::Frame : EdgeColour::Shadow;
    EdgeColour well = flags & kEdgeMono ? EdgeColour::Window : EdgeColour::Face;
    if (outerBits || innerBits) outer = {true, outerBits ? line : well, outerBits ? line : well};
    if (outerBits && innerBits) inner = {true, well, well};
  } else if (outerBits == 3 || innerBits == 12) {
    // Contradictory kinds: the system draws the outer line of a valid outer kind and no middle.
    valid = false;
    if (outerBits != 3) outer = BorderLevel(outerBits, flags & kEdgeSoft);
  } else {
    // A lone inner kind takes the outer line's place.
    outer = BorderLevel(outerBits, flags & kEdgeSoft);
    inner = BorderLevel(innerBits, flags & kEdgeSoft);
    if (!outer.on) outer = inner, inner = Level{};
  }
  bool l = flags & kSideLeft, t = flags & kSideTop, r = flags & kSideRight, b = flags & kSideBottom;
  size_t n = 0;
  auto put = [&](int x0, int y0, int x1, int y1, EdgeColour c) {
    if (x1 > x0 && y1 > y0) out[n++] = {x0, y0, x1, y1, c};
  };
  EdgeColour middle = flags & kEdgeMono ? EdgeColour::Window : EdgeColour::Face;
  int width = (outerBits || innerBits ? 1 : 0) + (outerBits && innerBits ? 1 : 0);
  if (l && t && r && b && (flags & kEdgeMiddle) && valid) {
    // A whole filled edge in fewer, nested fills: each level's bottom-right colour over its
    // rectangle, then its top-left colour over all but the last column and row.
    int inset = 0;
    EdgeColour last = middle;
    for (const Level &level : {outer, inner}) {
      if (!level.on) continue;
      put(left + inset, top + inset, right - inset, bottom - inset, level.bottomRight);
      if (level.topLeft != level.bottomRight)
        put(left + inset, top + inset, right - inset - 1, bottom - inset - 1, level.topLeft);
      last = level.topLeft;
      ++inset;
    }
    if (!inset || last != middle) put(left + width, top + width, right - width, bottom - width, middle);
    return n;
  }
  if (outer.on) {
    if (t) put(left, top, right, top + 1, outer.topLeft);
    if (l) put(left, top, left + 1, bottom, outer.topLeft);
    if (b) put(left, bottom - 1, right, bottom, outer.bottomRight);
    if (r) put(right - 1, top, right, bottom, outer.bottomRight);
  }
  if (inner.on) {
    // The inner lines stop short of a corner whose two sides are both drawn.
    int lt = l && t, rt = r && t, lb = l && b, rb = r && b;
    if (t) put(left + lt, top + 1, right - rt, top + 2, inner.topLeft);
    if (l) put(left + 1, top + lt, left + 2, bottom - lb, inner.topLeft);
    if (b) put(left + lb, bottom - 2, right - rb, bottom - 1, inner.bottomRight);
    if (r) put(right - 2, top + rt, right - 1, bottom - rb, inner.bottomRight);
  }
  if ((flags & kEdgeMiddle) && valid)
    put(left + (l ? width : 0), top + (t ? width : 0), right - (r ? width : 0), bottom - (b ? width : 0), middle);
  return n;
}

int CheckImageIndex(unsigned state) {
  unsigned kind = state & kButtonTypeMask;
  if (kind != kButtonCheck && kind != kButtonRadio) return -1;
  int base = kind == kButtonRadio ? 5 : 0;
  bool pushed = state & kStatePushed, checked = state & kStateChecked;
  if (pushed && checked) return base + 3;
  if (pushed) return base + 2;
  if (checked) return base + 1;
  if (state & kStateInactive) return base + 4;
  return base;
}

void DitherRows(uint32_t rows[8]) {
  for (int i = 0; i < 8; ++i) rows[i] = i & 1 ? 0xAAAA5555u : 0x5555AAAAu;
}

bool ParseColourTableDib(const uint8_t *data, size_t size, DibLayout *layout) {
  ByteReader in(data, size);
  DibLayout d;
  d.headerSize = in.U32LE();
  int64_t width = 0, height = 0;
  unsigned bits = 0;
  uint32_t compression = 0, imageSize = 0;
  size_t used = 0;
  if (d.headerSize == 12) {
    width = in.U16LE();
    height = in.U16LE();
    in.Skip(2);  // planes
    bits = in.U16LE();
    d.entrySize = 3;
  } else if (d.headerSize >= 40) {
    width = in.S32LE();
    height = in.S32LE();
    in.Skip(2);  // planes
    bits = in.U16LE();
    compression = in.U32LE();
    imageSize = in.U32LE();
    in.Skip(8);  // resolution
    used = in.U32LE();
    d.entrySize = 4;
  } else {
    return false;
  }
  if (in.Failed() || (bits != 1 && bits != 4 && bits != 8) || width < 1 || height == 0) return false;
  size_t full = size_t(1) << bits;
  if (used > full || d.headerSize > size) return false;
  d.colourCount = used ? used : full;
  size_t table = d.colourCount * d.entrySize;
  if (table > size - d.headerSize) return false;
  d.bitsOffset = d.headerSize + table;
  // Uncompressed rows are padded to 32 bits; run-length data says its own size.
  uint64_t rows = uint64_t(height < 0 ? -height : height);
  uint64_t need = compression == 0 ? (uint64_t(width) * bits + 31) / 32 * 4 * rows
                                   : (compression == 1 || compression == 2) ? imageSize : UINT64_MAX;
  if (need == 0 || need > size - d.bitsOffset) return false;
  *layout = d;
  return true;
}

size_t RecolourTable(uint8_t *table, size_t entries, size_t entrySize, const ThemeColours &c) {
  if (!table || entrySize < 3) return 0;
  size_t changed = 0;
  for (size_t i = 0; i < entries && i < 16; ++i) {
    uint8_t *e = table + i * entrySize;  // blue, green, red
    ColourRef old = ColourRef(e[2]) | ColourRef(e[1]) << 8 | ColourRef(e[0]) << 16;
    ColourRef now;
    if (old == 0x000000) now = c.text;
    else if (old == 0x808080) now = c.shadow;
    else if (old == 0xC0C0C0) now = c.face;
    else if (old == 0xFFFFFF) now = c.highlight;
    else continue;
    e[0] = uint8_t(now >> 16), e[1] = uint8_t(now >> 8), e[2] = uint8_t(now);
    ++changed;
  }
  return changed;
}

}  // namespace tstools::qd
