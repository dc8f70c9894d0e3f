// Styled scrap reader and writer.
#include "textedit/styled_scrap.h"

#include <cstring>

#include "frame/byte_reader.h"

namespace tstools::text {

namespace {

StylElement ReadElement(ByteReader &r) {
  StylElement e;
  e.start = r.S32LE();
  e.height = r.S16LE();
  e.ascent = r.S16LE();
  e.style.font = r.S16LE();
  e.style.face = r.U16LE();
  e.style.size = r.S16LE();
  e.style.color.red = r.U16LE();
  e.style.color.green = r.U16LE();
  e.style.color.blue = r.U16LE();
  return e;
}

// Keeps what an insertion of insertedLength bytes may use: the first from 0, later ones
// strictly increasing and inside the text.
template <typename T>
void FilterStarts(std::vector<T> &v, int32_t insertedLength) {
  if (insertedLength < 0 || v.empty()) return;
  size_t kept = 0;
  for (size_t i = 0; i < v.size(); ++i) {
    if (kept == 0) {
      v[0] = v[i];
      v[0].start = 0;
      kept = 1;
    } else if (v[i].start > v[kept - 1].start && v[i].start < insertedLength) {
      v[kept++] = v[i];
    }
  }
  v.resize(kept);
}

// Entry offsets of a ParaScrap, each with its tab count, as far as the walk is sound.
struct EntryPos {
  size_t offset;
  int tabs;
};
std::vector<EntryPos> WalkParaScrap(const uint8_t *data, size_t size, int count) {
  std::vector<EntryPos> out;
  size_t off = 4;
  for (int i = 0; i < count; ++i) {
    if (size < off || size - off < kParaEntryHeader) break;
    int16_t n = static_cast<int16_t>(LoadU16LE(data + off + 32));
    if (n < 0 || n > kMaxTabs || size - off - kParaEntryHeader < 12u * size_t(n)) break;
    out.push_back({off, n});
    off += kParaEntryHeader + 12u * size_t(n);
  }
  return out;
}

int HeaderCount(const uint8_t *data, size_t size) {
  if (!data || size < 4) return 0;
  int16_t n = static_cast<int16_t>(LoadU16LE(data));
  return n < 0 ? 0 : n;
}

ParaEntry ReadEntry(const uint8_t *p, int tabs) {
  ParaEntry e;
  ByteReader r(p, kParaEntryHeader + 12u * size_t(tabs));
  e.start = r.S32LE();
  ParaFormat &f = e.format;
  f.leftIndent = r.S32LE();
  f.firstIndent = r.S32LE();
  f.rightIndent = r.S32LE();
  f.lineSpacing = r.S32LE();
  f.spaceBefore = r.S32LE();
  f.spaceAfter = r.S32LE();
  f.just = r.S16LE();
  f.units = r.U16LE();
  f.tabCount = static_cast<int16_t>(tabs);
  r.Skip(2);
  for (int i = 0; i < tabs; ++i) {
    TabStop t;
    t.kind = r.U16LE();
    t.leader = r.U16LE();
    t.alignChar = r.U16LE();
    t.reserved = r.U16LE();
    t.position = r.S32LE();
    f.tabs[i] = t;
  }
  return e;
}

}  // namespace

std::vector<StylElement> ReadStyl(const uint8_t *data, size_t size, int32_t insertedLength,
                                  bool extended) {
  std::vector<StylElement> out;
  ByteReader r(data, size);
  size_t count = r.U16LE();
  if (r.Failed()) return out;
  size_t fits = r.Remaining() / kStylElementSize;
  if (count > fits) count = fits;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    StylElement e = ReadElement(r);
    if (!extended) e.style.face &= 0xFF00;
    out.push_back(e);
  }
  FilterStarts(out, insertedLength);
  return out;
}

std::vector<uint8_t> WriteStyl(const std::vector<StylElement> &elements) {
  size_t n = elements.size() > 0xFFFF ? 0xFFFF : elements.size();
  std::vector<uint8_t> out(2 + kStylElementSize * n);
  StoreU16LE(out.data(), static_cast<uint32_t>(n));
  for (size_t i = 0; i < n; ++i) {
    const StylElement &e = elements[i];
    uint8_t *p = out.data() + 2 + kStylElementSize * i;
    StoreU32LE(p, static_cast<uint32_t>(e.start));
    StoreU16LE(p + 4, static_cast<uint16_t>(e.height));
    StoreU16LE(p + 6, static_cast<uint16_t>(e.ascent));
    StoreU16LE(p + 8, static_cast<uint16_t>(e.style.font));
    StoreU16LE(p + 10, e.style.face);
    StoreU16LE(p + 12, static_cast<uint16_t>(e.style.size));
    StoreU16LE(p + 14, e.style.color.red);
    StoreU16LE(p + 16, e.style.color.green);
    StoreU16LE(p + 18, e.style.color.blue);
  }
  return out;
}

void ClearExtendedStyles(uint8_t *data, size_t size) {
  if (!data || size < 2) return;
  size_t count = LoadU16LE(data);
  size_t fits = (size - 2) / kStylElementSize;
  if (count > fits) count = fits;
  for (size_t i = 0; i < count; ++i) {
    uint8_t *p = data + 2 + kStylElementSize * i;
    StoreU16LE(p + 10, LoadU16LE(p + 10) & 0xFF00u);
    if (static_cast<int16_t>(LoadU16LE(p + 12)) < 1) StoreU16LE(p + 12, 12);
  }
}

uint16_t TsstMode(const uint8_t *data, size_t size) {
  ByteReader r(data, size);
  uint16_t v = r.U16LE();
  // Above 15, 15 - v would wrap into the add-size and toggle bits.
  if (r.Failed() || v == 0 || v > 15) return 0;
  return static_cast<uint16_t>(15 - v);
}

std::vector<ParaEntry> ReadParaScrap(const uint8_t *data, size_t size, int32_t insertedLength) {
  std::vector<ParaEntry> out;
  for (const EntryPos &e : WalkParaScrap(data, size, HeaderCount(data, size)))
    out.push_back(ReadEntry(data + e.offset, e.tabs));
  FilterStarts(out, insertedLength);
  return out;
}

bool FirstParaEntry(const uint8_t *data, size_t size, ParaFormat *out) {
  auto walk = WalkParaScrap(data, size, HeaderCount(data, size) > 0 ? 1 : 0);
  if (walk.empty()) return false;
  *out = ReadEntry(data + walk[0].offset, walk[0].tabs).format;
  return true;
}

size_t ParaScrapSize(const std::vector<ParaEntry> &entries) {
  size_t n = 4;
  for (const ParaEntry &e : entries) n += kParaEntryHeader + 12u * size_t(TabCountOf(e.format));
  return n;
}

std::vector<uint8_t> WriteParaScrap(const std::vector<ParaEntry> &entries) {
  size_t count = entries.size() > 0x7FFF ? 0x7FFF : entries.size();
  std::vector<ParaEntry> used(entries.begin(), entries.begin() + static_cast<long>(count));
  std::vector<uint8_t> out(ParaScrapSize(used));
  int total = 0;
  uint8_t *p = out.data() + 4;
  for (const ParaEntry &e : used) {
    const ParaFormat &f = e.format;
    int n = TabCountOf(f);
    total += n;
    StoreU32LE(p, static_cast<uint32_t>(e.start));
    StoreU32LE(p + 4, static_cast<uint32_t>(f.leftIndent));
    StoreU32LE(p + 8, static_cast<uint32_t>(f.firstIndent));
    StoreU32LE(p + 12, static_cast<uint32_t>(f.rightIndent));
    StoreU32LE(p + 16, static_cast<uint32_t>(f.lineSpacing));
    StoreU32LE(p + 20, static_cast<uint32_t>(f.spaceBefore));
    StoreU32LE(p + 24, static_cast<uint32_t>(f.spaceAfter));
    StoreU16LE(p + 28, static_cast<uint16_t>(f.just));
    StoreU16LE(p + 30, f.units);
    StoreU16LE(p + 32, static_cast<uint16_t>(n));
    for (int i = 0; i < n; ++i) {
      uint8_t *t = p + kParaEntryHeader + 12 * i;
      TabStop s = f.tabs[i];
      StoreU16LE(t, s.kind);
      StoreU16LE(t + 2, s.leader);
      StoreU16LE(t + 4, s.alignChar);
      StoreU16LE(t + 6, s.reserved);
      StoreU32LE(t + 8, static_cast<uint32_t>(s.position));
    }
    p += kParaEntryHeader + 12 * n;
  }
  StoreU16LE(out.data(), static_cast<uint32_t>(count));
  StoreU16LE(out.data() + 2, static_cast<uint32_t>(total > 0x7FFF ? 0x7FFF : total));
  return out;
}

void ZoomParaScrap(uint8_t *data, size_t size, ScaleFn scale, void *ctx) {
  if (!scale) return;
  for (const EntryPos &e : WalkParaScrap(data, size, HeaderCount(data, size))) {
    uint8_t *p = data + e.offset;
    auto zoom = [&](uint8_t *q) { StoreU32LE(q, static_cast<uint32_t>(scale(ctx, static_cast<Fixed>(LoadU32LE(q))))); };
    uint16_t units = LoadU16LE(p + 30);
    zoom(p + 4), zoom(p + 8), zoom(p + 12);
    for (int which = 0; which < 3; ++which)
      if ((units >> (4 * which) & 0xF) != kUnitLines) zoom(p + 16 + 4 * which);
    for (int i = 0; i < e.tabs; ++i) zoom(p + kParaEntryHeader + 12 * i + 8);
  }
}

void SwapParaScrap(uint8_t *data, size_t size, bool toMachine) {
  if (!data || size < 4) return;
  auto swap16 = [](uint8_t *q) { std::swap(q[0], q[1]); };
  auto swap32 = [](uint8_t *q) { std::swap(q[0], q[3]), std::swap(q[1], q[2]); };
  if (toMachine) swap16(data), swap16(data + 2);
  int count = HeaderCount(data, size);
  size_t off = 4;
  for (int i = 0; i < count; ++i) {
    if (size - off < kParaEntryHeader) break;
    uint8_t *p = data + off;
    if (toMachine) swap16(p + 32);
    int16_t n = static_cast<int16_t>(LoadU16LE(p + 32));
    if (n < 0 || n > kMaxTabs || size - off - kParaEntryHeader < 12u * size_t(n)) {
      if (toMachine) swap16(p + 32);  // leave the unreadable rest as it was
      break;
    }
    if (!toMachine) swap16(p + 32);
    for (int k = 0; k < 7; ++k) swap32(p + 4 * k);
    swap16(p + 28), swap16(p + 30);
    for (int t = 0; t < n; ++t) {
      uint8_t *q = p + kParaEntryHeader + 12 * t;
      swap16(q), swap16(q + 2), swap16(q + 4), swap16(q + 6), swap32(q + 8);
    }
    off += kParaEntryHeader + 12u * size_t(n);
  }
  if (!toMachine) swap16(data), swap16(data + 2);
}

}  // namespace tstools::text
