#include "picture/pict_player.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "picture/packbits.h"
#include "picture/pict_mapping.h"
#include "picture/pict_pixels.h"

namespace tstools::pict {
namespace {

constexpr size_t kHeaderBytes = 10;          // picSize and picFrame
constexpr size_t kBandBufferLimit = 65533;   // largest band of DIB rows drawn at once
constexpr size_t kMaxRegionSpans = 1 << 18;  // beyond this a region is refused as malformed
constexpr int16_t kPenModeNoDraw = 23;

// Fonts that pictures name by number without a FontName opcode.
struct PreloadedFont {
  int16_t number;
  const char *face;
};
constexpr PreloadedFont kPreloadedFonts[] = {
    {2, "Times New Roman"}, {3, "Arial"},    {4, "Courier New"},  {5, "Venice"},
    {6, "London"},          {7, "Athens"},   {8, "San Francisco"}, {9, "Toronto"},
    {11, "Cairo"},          {12, "Los Angeles"}, {20, "Times"},   {21, "Helvetica"},
    {22, "Courier"},        {23, "Symbol"},  {24, "Taliesin"},
};

// Picture font number -> local font number, at most 32 pairs, the oldest overwritten first.
class FontMap {
 public:
  void Add(int16_t picture, int16_t local) {
    for (int i = 0; i < count_; ++i)
      if (picture_[i] == picture) picture_[i] = local_[i] = -1;  // 0xFFFF: invalidated
    picture_[next_] = picture;
    local_[next_] = local;
    next_ = (next_ + 1) % kSize;
    if (count_ < kSize) ++count_;
  }
  // Searches from the most recent pair backwards; unknown numbers become 1, 0 stays 0.
  int16_t Lookup(int16_t picture) const {
    for (int i = next_ - 1; i >= 0; --i)
      if (i < count_ && picture_[i] == picture && local_[i] != -1) return local_[i];
    for (int i = count_ - 1; i >= next_; --i)
      if (picture_[i] == picture && local_[i] != -1) return local_[i];
    return picture == 0 ? 0 : 1;
  }

 private:
  static constexpr int kSize = 32;
  int16_t picture_[kSize] = {};
  int16_t local_[kSize] = {};
  int count_ = 0, next_ = 0;
};

struct Region {
  PictRect box;
  bool rectangular = true;
  std::vector<uint8_t> body;  // scan lines, big-endian words
};

bool Intersects(const PictRect &a, const PictRect &b) {
  return std::max(a.left, b.left) < std::min(a.right, b.right) &&
         std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

PictRect Intersection(const PictRect &a, const PictRect &b) {
  PictRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

int16_t Clamp16(int32_t v) { return static_cast<int16_t>(std::clamp<int32_t>(v, -32768, 32767)); }

class Player {
 public:
  Player(PictStream &in, PictSink &sink, const PictRect &frame, const PictRect &destination)
      : in_(in), sink_(sink) {
    map_.SetSource(frame);
    map_.SetDestination(destination);
    std::memset(fill_.rows, 0xFF, sizeof fill_.rows);
  }

  PlayOutcome Run(size_t *opcodes);

 private:
  enum Step { kContinue, kEnd, kBad };

  Step Opcode(uint16_t op);
  Step LongOpcode(uint16_t op);
  bool Drawing() const { return !suppressed_ && penMode_ != kPenModeNoDraw; }
  void SetSuppressed(bool suppressed);
  Step Check() const { return in_.Failed() ? kEnd : kContinue; }
  Step SkipWordLength() { return in_.Skip(in_.U16()) ? kContinue : kEnd; }
  Pattern8 ReadPattern();
  void ApplyTextSize();

  Step Line(PictPoint from, PictPoint to);
  Step Text(PictPoint location);
  Step FontName();
  Step RectShape(uint16_t op);
  Step PolygonShape(uint16_t op, bool draw);
  Step RegionShape(uint16_t op, bool draw);
  Step PixelPattern(uint16_t op);
  Step BitImage(uint16_t op);
  Step Header();

  bool ReadRegion(Region *region);
  bool RegionSpans(const Region &region, std::vector<PictRect> *spans) const;
  void ApplyClipRegion(const Region &region);
  bool ReadPixMap(PixMapHeader *h, std::vector<PaletteEntry> *palette);
  bool ReadRows(const PixMapHeader &h, bool alwaysUnpacked, int depth, ImageBand *band,
                const PictRect *source, const PictRect *destination);

  PictStream &in_;
  PictSink &sink_;
  PictMapper map_;
  PictRect clipBox_;
  bool suppressed_ = true;
  int16_t penMode_ = 8;
  Pattern8 fill_;
  PictRect lastRect_;
  PictPoint lastLineEnd_, textLocation_;
  int16_t textSize_ = 0;
  PictPoint numer_{1, 1}, denom_{1, 1};
  int16_t ovalWidth_ = 0, ovalHeight_ = 0;
  FontMap fonts_;
  bool version2_ = false;
  uint8_t text_[256];
};

PlayOutcome Player::Run(size_t *opcodes) {
  clipBox_ = sink_.DestinationClipBox();
  for (const PreloadedFont &f : kPreloadedFonts) fonts_.Add(f.number, sink_.FontNumber(f.face));
  PlayOutcome outcome = PlayOutcome::kTruncated;
  while (true) {
    uint16_t op = version2_ ? in_.U16() : in_.U8();
    if (in_.Failed()) break;
    Step step = Opcode(op);
    ++*opcodes;
    if (step == kBad) {
      outcome = PlayOutcome::kMalformed;
      break;
    }
    if (step == kEnd) {
      outcome = in_.Failed() ? PlayOutcome::kTruncated : PlayOutcome::kEnded;
      break;
    }
    if (version2_ && (in_.Consumed() & 1)) in_.U8();
  }
  return outcome;
}

void Player::SetSuppressed(bool suppressed) {
  bool enabling = suppressed_ && !suppressed;
  suppressed_ = suppressed;
  if (enabling) sink_.MoveTo(sink_.PenLocation());
}

Pattern8 Player::ReadPattern() {
  Pattern8 p;
  in_.Bytes(p.rows, sizeof p.rows);
  return p;
}

void Player::ApplyTextSize() {
  int32_t h = map_.Width(MulDiv32(textSize_, numer_.h, denom_.h));
  int32_t v = map_.Height(MulDiv32(textSize_, numer_.v, denom_.v));
  // A zero ratio denominator makes MulDiv fail (-1); a negative size means nothing.
  sink_.TextSize(Clamp16(std::max<int32_t>(0, std::min(h, v))));
}

Player::Step Player::Opcode(uint16_t op) {
  if (op > 0xFF) return LongOpcode(op);
  switch (op) {
    case 0x00: return kContinue;
    case 0x01: {
      Region region;
      if (!ReadRegion(&region)) return in_.Failed() ? kEnd : kBad;
      ApplyClipRegion(region);
      return kContinue;
    }
    case 0x02: { Pattern8 p = ReadPattern(); if (Check()) return kEnd; sink_.BackPat(p); return kContinue; }
    case 0x03: { int16_t f = in_.S16(); if (Check()) return kEnd; sink_.TextFont(fonts_.Lookup(f)); return kContinue; }
    case 0x04: { uint8_t face = in_.U8(); if (Check()) return kEnd; sink_.TextFace(face); return kContinue; }
    case 0x05: { int16_t m = in_.S16(); if (Check()) return kEnd; sink_.TextMode(m); return kContinue; }
    case 0x06: { int32_t extra = in_.S32(); if (Check()) return kEnd; sink_.SpaceExtra(extra); return kContinue; }
    case 0x07: {
      PictPoint p = in_.Point();
      if (Check()) return kEnd;
      int32_t h = map_.Width(p.h), v = map_.Height(p.v);
      if (p.h != 0 && h == 0) h = 1;  // a pen never vanishes by scaling
      if (p.v != 0 && v == 0) v = 1;
      sink_.PenSize(Clamp16(h), Clamp16(v));
      return kContinue;
    }
    case 0x08: {
      int16_t mode = in_.S16();
      if (Check()) return kEnd;
      sink_.PenMode(mode);
      bool resync = penMode_ == kPenModeNoDraw && mode != kPenModeNoDraw;
      penMode_ = mode;
      if (resync) sink_.MoveTo(sink_.PenLocation());
      return kContinue;
    }
    case 0x09: { Pattern8 p = ReadPattern(); if (Check()) return kEnd; sink_.PenPat(p); return kContinue; }
    case 0x0A: { Pattern8 p = ReadPattern(); if (Check()) return kEnd; fill_ = p; return kContinue; }
    case 0x0B: {
      PictPoint p = in_.Point();
      if (Check()) return kEnd;
      ovalWidth_ = Clamp16(map_.Width(p.h));
      ovalHeight_ = Clamp16(map_.Height(p.v));
      return kContinue;
    }
    case 0x0C: {
      int16_t dh = in_.S16(), dv = in_.S16();
      if (Check()) return kEnd;
      map_.OffsetSource(dh, dv);
      sink_.OffsetClip(-map_.Width(dh), -map_.Height(dv));
      sink_.IntersectClip(clipBox_);
      return kContinue;
    }
    case 0x0D: { textSize_ = in_.S16(); if (Check()) return kEnd; ApplyTextSize(); return kContinue; }
    case 0x0E: { int32_t c = in_.S32(); if (Check()) return kEnd; sink_.ForeColor(c); return kContinue; }
    case 0x0F: { int32_t c = in_.S32(); if (Check()) return kEnd; sink_.BackColor(c); return kContinue; }
    case 0x10: {
      PictPoint n = in_.Point(), d = in_.Point();
      if (Check()) return kEnd;
      numer_ = n, denom_ = d;
      ApplyTextSize();
      return kContinue;
    }
    case 0x11: {
      uint8_t version = in_.U8();
      if (Check()) return kEnd;
      if (version > 2) return kBad;  // a format we do not know: nothing after it is read
      version2_ = version == 2;
      if (version2_) in_.U8();  // the 0xFF of 0x02FF
      return Check();
    }
    case 0x12: case 0x13: case 0x14: return PixelPattern(op);
    case 0x15: case 0x16: in_.Skip(2); return Check();
    case 0x17: case 0x18: case 0x19: return kContinue;
    case 0x1A: case 0x1B: {
      RgbColor c;
      c.red = in_.U16(), c.green = in_.U16(), c.blue = in_.U16();
      if (Check()) return kEnd;
      op == 0x1A ? sink_.RGBForeColor(c) : sink_.RGBBackColor(c);
      return kContinue;
    }
    case 0x1C: case 0x1E: return kContinue;
    case 0x1D: case 0x1F: in_.Skip(6); return Check();
    case 0x20: { PictPoint a = in_.Point(), b = in_.Point(); if (Check()) return kEnd; return Line(a, b); }
    case 0x21: { PictPoint b = in_.Point(); if (Check()) return kEnd; return Line(lastLineEnd_, b); }
    case 0x22: {
      PictPoint a = in_.Point();
      int8_t dh = in_.S8(), dv = in_.S8();
      if (Check()) return kEnd;
      return Line(a, {int16_t(a.h + dh), int16_t(a.v + dv)});
    }
    case 0x23: {
      int8_t dh = in_.S8(), dv = in_.S8();
      if (Check()) return kEnd;
      PictPoint a = lastLineEnd_;
      return Line(a, {int16_t(a.h + dh), int16_t(a.v + dv)});
    }
    case 0x28: { PictPoint p = in_.Point(); if (Check()) return kEnd; return Text(p); }
    case 0x29: {
      uint8_t dh = in_.U8();
      if (Check()) return kEnd;
      return Text({int16_t(textLocation_.h + dh), textLocation_.v});
    }
    case 0x2A: {
      uint8_t dv = in_.U8();
      if (Check()) return kEnd;
      return Text({textLocation_.h, int16_t(textLocation_.v + dv)});
    }
    case 0x2B: {
      uint8_t dh = in_.U8(), dv = in_.U8();
      if (Check()) return kEnd;
      return Text({int16_t(textLocation_.h + dh), int16_t(textLocation_.v + dv)});
    }
    case 0x2C: return FontName();
    case 0x2D: in_.Skip(10); return Check();
    case 0x90: case 0x91: case 0x98: case 0x99: case 0x9A: case 0x9B: return BitImage(op);
    case 0xA0: { int16_t kind = in_.S16(); if (Check()) return kEnd; sink_.ShortComment(kind); return kContinue; }
    case 0xA1: { in_.U16(); return SkipWordLength(); }  // kind, then size and data
    case 0xFF: return kEnd;
    default: break;
  }
  if (op >= 0x30 && op <= 0x6F) return RectShape(op);
  if (op >= 0x70 && op <= 0x77) return PolygonShape(op, op <= 0x74);
  if (op >= 0x78 && op <= 0x7F) return kContinue;
  if (op >= 0x80 && op <= 0x87) return RegionShape(op, op <= 0x84);
  if (op >= 0x88 && op <= 0x8F) return kContinue;
  if ((op >= 0x24 && op <= 0x27) || op == 0x2E || op == 0x2F || (op >= 0x92 && op <= 0x97) ||
      (op >= 0x9C && op <= 0x9F) || (op >= 0xA2 && op <= 0xAF))
    return SkipWordLength();
  if (op >= 0xB0 && op <= 0xCF) return kContinue;
  // 0xD0 to 0xFE: a long length, then data
  uint32_t length = in_.U32();
  if (Check()) return kEnd;
  return in_.Skip(length) ? kContinue : kEnd;
}

Player::Step Player::LongOpcode(uint16_t op) {
  if (op == 0x0C00) return Header();
  if (op < 0x8000) return in_.Skip(size_t(op >> 8) * 2) ? kContinue : kEnd;
  if (op <= 0x80FF) return kContinue;
  uint32_t length = in_.U32();
  if (Check()) return kEnd;
  return in_.Skip(length) ? kContinue : kEnd;
}

Player::Step Player::Header() {
  int16_t version = in_.S16();
  if (version == -2) {  // extended version 2: its source rectangle is the frame from now on
    in_.Skip(10);
    PictRect source = in_.Rect();
    in_.Skip(4);
    if (Check()) return kEnd;
    map_.SetSource(source);
    if (map_.Degenerate()) return kBad;
    return kContinue;
  }
  in_.Skip(22);
  return Check();
}

Player::Step Player::Line(PictPoint from, PictPoint to) {
  lastLineEnd_ = to;
  PictPoint end = map_.Map(to);
  if (!Drawing()) {
    sink_.SetPenLocation(end);
    return kContinue;
  }
  sink_.MoveTo(map_.Map(from));
  sink_.LineTo(end);
  return kContinue;
}

Player::Step Player::Text(PictPoint location) {
  uint8_t count = in_.U8();
  in_.Bytes(text_, count);
  if (Check()) return kEnd;
  textLocation_ = location;
  if (Drawing()) {
    PictPoint pen = sink_.PenLocation();
    sink_.MoveTo(map_.Map(location));
    sink_.Text(text_, count);
    sink_.MoveTo(pen);
  }
  return kContinue;
}

Player::Step Player::FontName() {
  uint16_t length = in_.U16();
  if (Check()) return kEnd;
  if (length < 2) return kBad;
  int16_t number = in_.S16();
  std::vector<uint8_t> data(length - 2u);
  in_.Bytes(data.data(), data.size());
  if (Check()) return kEnd;
  std::string face;
  if (!data.empty()) face.assign(data.begin() + 1, data.begin() + 1 + std::min<size_t>(data[0], data.size() - 1));
  int16_t local = sink_.FontNumber(face);
  // Faces the system does not have may be listed under "FontSubstitutes"; at most two
  // lookups for one name.
  if (local == 0) {
    std::string substitute = sink_.FontSubstitute(face);
    if (!substitute.empty()) local = sink_.FontNumber(substitute);
    if (local == 0 && !substitute.empty() && substitute != sink_.FontZeroName()) {
      std::string second = sink_.FontSubstitute(substitute);
      if (!second.empty()) local = sink_.FontNumber(second);
    }
  }
  fonts_.Add(number, local);
  return kContinue;
}

Player::Step Player::RectShape(uint16_t op) {
  int family = (op - 0x30) >> 4;  // 0 rect, 1 round rect, 2 oval, 3 arc
  int slot = op & 0x0F;           // 0-4 verbs, 5-7 reserved, 8-C "same" verbs, D-F reserved
  bool same = slot >= 8;
  int verb = slot & 7;
  if (verb > 4) {
    if (same) return family == 3 ? (in_.Skip(4), Check()) : kContinue;
    return in_.Skip(family == 3 ? 12 : 8) ? kContinue : kEnd;
  }
  if (!same) lastRect_ = map_.Map(in_.Rect());
  int16_t startAngle = 0, arcAngle = 0;
  if (family == 3) startAngle = in_.S16(), arcAngle = in_.S16();
  if (Check()) return kEnd;
  if (!Drawing()) {
    sink_.SetPenLocation({lastRect_.right, lastRect_.bottom});
    return kContinue;
  }
  ShapeVerb v = static_cast<ShapeVerb>(verb);
  switch (family) {
    case 0: sink_.Rect(v, lastRect_, fill_); break;
    case 1:
      if (ovalWidth_ == 0 && ovalHeight_ == 0)
        sink_.Rect(v, lastRect_, fill_);
      else
        sink_.RoundRect(v, lastRect_, ovalWidth_, ovalHeight_, fill_);
      break;
    case 2: sink_.Oval(v, lastRect_, fill_); break;
    default: sink_.Arc(v, lastRect_, startAngle, arcAngle, fill_); break;
  }
  return kContinue;
}

Player::Step Player::PolygonShape(uint16_t op, bool draw) {
  uint16_t size = in_.U16();
  if (Check()) return kEnd;
  if (size < 10) return kBad;
  PictRect box = in_.Rect();
  size_t points = (size - 10u) / 4;
  std::vector<int32_t> hv;
  hv.reserve(points * 2);
  for (size_t i = 0; i < points; ++i) {
    PictPoint p = map_.Map(in_.Point());
    hv.push_back(p.h);
    hv.push_back(p.v);
  }
  in_.Skip((size - 10u) % 4);
  if (Check()) return kEnd;
  if (!draw) return kContinue;
  if (!Drawing()) {
    if (points) sink_.SetPenLocation({int16_t(hv[hv.size() - 2]), int16_t(hv.back())});
    return kContinue;
  }
  sink_.Polygon(static_cast<ShapeVerb>(op - 0x70), map_.Map(box), hv, fill_);
  return kContinue;
}

bool Player::ReadRegion(Region *region) {
  uint16_t size = in_.U16();
  if (in_.Failed() || size < 10) return false;
  region->box = in_.Rect();
  region->rectangular = size == 10;
  region->body.resize(size - 10u);
  in_.Bytes(region->body.data(), region->body.size());
  return !in_.Failed();
}

// Decodes a region's scan lines into spans in picture coordinates. Each scan line lists
// inversion points: the h positions where insideness flips from that line down.
bool Player::RegionSpans(const Region &region, std::vector<PictRect> *spans) const {
  ByteReader body(region.body.data(), region.body.size());
  auto next = [&body](int16_t *value) {
    *value = body.S16BE();
    return !body.Failed();
  };
  std::set<int16_t> inversions;
  int16_t bandTop = 0;
  bool haveBand = false;
  int16_t v;
  while (next(&v) && v != 0x7FFF) {
    if (haveBand && !inversions.empty() && v > bandTop) {
      for (auto it = inversions.begin(); it != inversions.end();) {
        int16_t left = *it++;
        if (it == inversions.end()) break;
        int16_t right = *it++;
        spans->push_back({left, bandTop, right, v});
        if (spans->size() > kMaxRegionSpans) return false;
      }
    }
    int16_t h;
    while (next(&h) && h != 0x7FFF) {
      h = std::clamp(h, region.box.left, region.box.right);
      if (!inversions.erase(h)) inversions.insert(h);
    }
    bandTop = v;
    haveBand = true;
  }
  return true;
}

void Player::ApplyClipRegion(const Region &region) {
  PictRect mapped = map_.Map(region.box);
  PictRect limited = Intersection(mapped, clipBox_);
  bool restoreFirst = sink_.RestoresClipFirst();
  if (restoreFirst) {
    sink_.RestoreClip();
    sink_.IntersectClip(limited);
  }
  const PictRect &box = region.box;
  if (region.rectangular && box.left == box.right && box.top == box.bottom) {
    SetSuppressed(true);
    return;
  }
  if (!Intersects(mapped, clipBox_)) {
    SetSuppressed(true);
    return;
  }
  if (!restoreFirst) sink_.RestoreClip();
  if (!region.rectangular) {
    std::vector<PictRect> spans;
    RegionSpans(region, &spans);
    for (PictRect &s : spans) s = map_.Map(s);
    sink_.IntersectClipWithSpans(spans);
  }
  sink_.IntersectClip(limited);
  SetSuppressed(false);
}

Player::Step Player::RegionShape(uint16_t op, bool draw) {
  Region region;
  if (!ReadRegion(&region)) return in_.Failed() ? kEnd : kBad;
  if (!draw || !Drawing()) return kContinue;
  std::vector<PictRect> spans;
  PictRect box = map_.Map(region.box);
  if (region.rectangular) {
    spans.push_back(box);
  } else {
    if (!RegionSpans(region, &spans)) return kBad;
    for (PictRect &s : spans) s = Intersection(map_.Map(s), box);
  }
  sink_.Region(static_cast<ShapeVerb>(op - 0x80), spans, box, fill_);
  return kContinue;
}

bool Player::ReadPixMap(PixMapHeader *h, std::vector<PaletteEntry> *palette) {
  uint16_t rowBytes = in_.U16();
  h->isPixMap = (rowBytes & 0x8000) != 0;
  h->rowBytes = h->isPixMap ? rowBytes & 0x3FFF : rowBytes;
  h->bounds = in_.Rect();
  if (!h->isPixMap) {
    palette->resize(2);
    sink_.PortColours(&(*palette)[0], &(*palette)[1]);
    return !in_.Failed();
  }
  in_.S16();  // pmVersion
  h->packType = in_.S16();
  in_.S32();  // packSize
  h->hRes = in_.S32();
  h->vRes = in_.S32();
  in_.S16();  // pixelType
  h->pixelSize = in_.S16();
  h->cmpCount = in_.S16();
  in_.Skip(2 + 4 + 4 + 4);  // cmpSize, planeBytes, pmTable, pmReserved
  if (in_.Failed()) return false;
  int depth = DibDepthFor(h->pixelSize);
  if (depth == 0) return false;
  // Some writers let rows above 16 KB spill into bit 14. A row shorter than its pixels is
  // impossible, so then the bit belongs to the length.
  size_t needed = (size_t(std::max(h->bounds.Width(), 0)) * size_t(h->pixelSize) + 7) / 8;
  if (h->rowBytes < needed && (rowBytes & 0x7FFF) >= needed) h->rowBytes = rowBytes & 0x7FFF;
  if (h->pixelSize > 8) return true;
  in_.Skip(4 + 2);  // ctSeed, ctFlags
  unsigned entries = in_.U16() + 1u;
  palette->assign(size_t(1) << depth, PaletteEntry{});
  // Entries go to the slot their value names until a value is out of order; from then on
  // by position.
  bool byPosition = false;
  int previous = -1;
  for (unsigned i = 0; i < entries && !in_.Failed(); ++i) {
    int value = in_.S16();
    uint8_t red = in_.U16() >> 8, green = in_.U16() >> 8, blue = in_.U16() >> 8;
    if (!byPosition && (value < 0 || unsigned(value) >= entries || value == previous))
      byPosition = true;
    previous = value;
    size_t slot = byPosition ? i : size_t(value);
    if (slot < palette->size()) (*palette)[slot] = PaletteEntry{blue, green, red, 0};
  }
  return !in_.Failed();
}

// Reads every row of an image and hands the visible bands to the sink. source/destination
// are null for a pixel pattern, whose rows are only consumed.
bool Player::ReadRows(const PixMapHeader &h, bool alwaysUnpacked, int depth, ImageBand *band,
                      const PictRect *source, const PictRect *destination) {
  const int width = h.bounds.Width(), height = h.bounds.Height();
  const bool packed = RowsArePacked(h, alwaysUnpacked);
  const size_t unpacked = UnpackedRowBytes(h, packed);
  const size_t dibRow = DibRowBytes(width, depth);
  const int bandRows =
      dibRow ? int(std::clamp<size_t>(kBandBufferLimit / dibRow, 1, size_t(std::max(height, 1)))) : 1;
  std::vector<uint8_t> raw(unpacked), packedRow, bits(dibRow * size_t(bandRows));

  // The part of the source rectangle inside a band of rows [first, first + count), and
  // where it lands: destination edges follow the row edges proportionally, so bands meet
  // without gaps whatever their height.
  auto emit = [&](int first, int count) {
    if (!source || !destination || dibRow == 0 || !Drawing()) return;
    int srcTop = source->top - h.bounds.top, srcBottom = source->bottom - h.bounds.top;
    int s0 = std::max(first, srcTop), s1 = std::min(first + count, srcBottom);
    if (s0 >= s1 || source->Width() <= 0 || destination->Width() <= 0 ||
        destination->Height() <= 0)
      return;
    int srcHeight = srcBottom - srcTop;
    auto destY = [&](int row) {
      return Clamp16(destination->top + MulDiv32(row - srcTop, destination->Height(), srcHeight));
    };
    ImageBand &b = *band;
    b.width = width;
    b.rows = count;
    b.dibRowBytes = dibRow;
    b.bits = bits.data() + size_t(bandRows - count) * dibRow;
    b.source = {int16_t(source->left - h.bounds.left), int16_t(s0 - first),
                int16_t(source->right - h.bounds.left), int16_t(s1 - first)};
    b.destination = {destination->left, destY(s0), destination->right, destY(s1)};
    if (b.destination.bottom <= clipBox_.top || b.destination.top >= clipBox_.bottom) return;
    sink_.Image(b);
  };

  // Rows of more than 250 bytes count their packed length in a word. Some writers count in
  // a byte regardless; their first "word" then exceeds the longest packing of a row (for
  // rows up to about 1 KB), and its high byte is the count.
  bool byteCounts = h.rowBytes < 251;
  const size_t longestPacking = unpacked + (unpacked + 127) / 128;
  int bandFirst = 0, inBand = 0;
  for (int row = 0; row < height; ++row) {
    if (packed) {
      size_t length = byteCounts ? in_.U8() : in_.U16(), have = 0;
      if (row == 0 && !byteCounts && length > longestPacking && (length >> 8) <= longestPacking) {
        byteCounts = true;
        packedRow.assign(1, uint8_t(length));
        length >>= 8;
        have = 1;
      }
      packedRow.resize(length);
      if (length > have) in_.Bytes(packedRow.data() + have, length - have);
      if (in_.Failed()) return false;
      if (h.pixelSize == 16)
        UnpackBits16(packedRow.data(), length, raw.data(), raw.size());
      else
        UnpackBits(packedRow.data(), length, raw.data(), raw.size());
    } else if (!in_.Bytes(raw.data(), raw.size())) {
      return false;
    }
    if (dibRow) {
      // Bands are stored bottom-up: a band of n rows fills its last n buffer rows.
      int bandSize = std::min(bandRows, height - bandFirst);
      uint8_t *dst = bits.data() + size_t(bandRows - bandSize) * dibRow +
                     size_t(bandSize - 1 - inBand) * dibRow;
      ConvertRow(h, packed, raw.data(), raw.size(), dst, dibRow, width);
    }
    if (++inBand == bandRows || row == height - 1) {
      emit(bandFirst, inBand);
      bandFirst += inBand;
      inBand = 0;
    }
  }
  return true;
}

Player::Step Player::PixelPattern(uint16_t op) {
  uint16_t type = in_.U16();
  Pattern8 pattern = ReadPattern();
  if (Check()) return kEnd;
  if (type == 2) {
    in_.Skip(6);  // an RGB colour we do not use
  } else {
    PixMapHeader h;
    std::vector<PaletteEntry> palette;
    if (!ReadPixMap(&h, &palette)) return in_.Failed() ? kEnd : kBad;
    ImageBand band;
    band.depth = DibDepthFor(h.pixelSize);
    if (!ReadRows(h, false, band.depth, &band, nullptr, nullptr)) return kEnd;
  }
  if (Check()) return kEnd;
  if (op == 0x12) sink_.BackPat(pattern);
  else if (op == 0x13) sink_.PenPat(pattern);
  else fill_ = pattern;
  return kContinue;
}

Player::Step Player::BitImage(uint16_t op) {
  if (op == 0x9A || op == 0x9B) in_.U32();  // baseAddr, meaningless here
  PixMapHeader h;
  ImageBand band;
  if (!ReadPixMap(&h, &band.palette)) return in_.Failed() ? kEnd : kBad;
  PictRect source = in_.Rect(), destination = map_.Map(in_.Rect());
  int16_t mode = in_.S16();
  if (Check()) return kEnd;
  Region mask;
  bool masked = op & 1;
  if (masked && !ReadRegion(&mask)) return in_.Failed() ? kEnd : kBad;

  band.depth = DibDepthFor(h.pixelSize);
  band.twoColour = h.pixelSize == 1;
  band.hRes = h.hRes >> 16;
  band.vRes = h.vRes >> 16;
  if (band.twoColour) {
    RgbColor fg, bg;
    auto toRgb = [](const PaletteEntry &e, RgbColor *c) {
      c->red = uint16_t(e.red * 0x101), c->green = uint16_t(e.green * 0x101), c->blue = uint16_t(e.blue * 0x101);
    };
    toRgb(band.palette[1], &fg);
    toRgb(band.palette[0], &bg);
    int16_t hookMode = mode == 36 ? 0 : mode;  // transparent becomes copy for the hook
    if (sink_.ColourHook(&fg, &bg, &hookMode)) {
      band.palette[1] = {uint8_t(fg.blue >> 8), uint8_t(fg.green >> 8), uint8_t(fg.red >> 8), 0};
      band.palette[0] = {uint8_t(bg.blue >> 8), uint8_t(bg.green >> 8), uint8_t(bg.red >> 8), 0};
      mode = hookMode;
    }
  }
  band.mode = mode;

  sink_.SaveImageState();
  bool wasSuppressed = suppressed_;
  if (masked) ApplyClipRegion(mask);
  bool complete = ReadRows(h, op == 0x90 || op == 0x91, band.depth, &band, &source, &destination);
  sink_.RestoreImageState();
  suppressed_ = wasSuppressed;
  return complete ? kContinue : kEnd;
}

}  // namespace

PlayResult PlayPicture(const uint8_t *picture, size_t size, PictSource *hook, PictSink &sink,
                       const PictRect &destination) {
  PlayResult result;
  if (!picture || size < kHeaderBytes) return result;
  ByteReader header(picture, size);
  header.U16BE();  // picSize: only the low 16 bits of the size, so of no use
  PictRect frame;
  frame.top = header.S16BE();
  frame.left = header.S16BE();
  frame.bottom = header.S16BE();
  frame.right = header.S16BE();
  if (frame.Width() == 0 || frame.Height() == 0) {
    result.bytesRead = kHeaderBytes;
    return result;
  }
  PictStream stream = hook ? PictStream(*hook, kHeaderBytes, SIZE_MAX)
                           : PictStream(picture, size, kHeaderBytes);
  Player player(stream, sink, frame, destination);
  sink.BeginPlayback({destination.left, destination.top});
  result.outcome = player.Run(&result.opcodes);
  sink.EndPlayback();
  result.bytesRead = stream.Consumed();
  return result;
}

}  // namespace tstools::pict
