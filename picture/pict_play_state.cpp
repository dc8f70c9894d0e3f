// Drawing-state opcodes: pen, patterns, colours, origin, clip region and text state (font
// map, face, mode, size and ratio).
#include <string>

#include "picture/pict_opcodes.h"
#include "picture/pict_player_internal.h"

namespace tstools::pict {
namespace {

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

}  // namespace

void FontMap::Add(int16_t picture, int16_t local) {
  for (int i = 0; i < count_; ++i)
    if (picture_[i] == picture) picture_[i] = local_[i] = -1;  // 0xFFFF: invalidated
  picture_[next_] = picture;
  local_[next_] = local;
  next_ = (next_ + 1) % kSize;
  if (count_ < kSize) ++count_;
}

int16_t FontMap::Lookup(int16_t picture) const {
  for (int i = next_ - 1; i >= 0; --i)
    if (i < count_ && picture_[i] == picture && local_[i] != -1) return local_[i];
  for (int i = count_ - 1; i >= next_; --i)
    if (picture_[i] == picture && local_[i] != -1) return local_[i];
  return picture == 0 ? 0 : 1;
}

void Player::LoadFonts() {
  for (const PreloadedFont &f : kPreloadedFonts) fonts_.Add(f.number, sink_.FontNumber(f.face));
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

Player::Step Player::StateOp(uint16_t code) {
  switch (code) {
    case op::kBkPat: case op::kPnPat: case op::kFillPat: {
      Pattern8 p = ReadPattern();
      if (Check()) return kEnd;
      if (code == op::kBkPat) sink_.BackPat(p);
      else if (code == op::kPnPat) sink_.PenPat(p);
      else fill_ = p;
      return kContinue;
    }
    case op::kTxFont: { int16_t f = in_.S16(); if (Check()) return kEnd; sink_.TextFont(fonts_.Lookup(f)); return kContinue; }
    case op::kTxFace: { uint8_t face = in_.U8(); if (Check()) return kEnd; sink_.TextFace(face); return kContinue; }
    case op::kTxMode: { int16_t m = in_.S16(); if (Check()) return kEnd; sink_.TextMode(m); return kContinue; }
    case op::kSpExtra: { int32_t extra = in_.S32(); if (Check()) return kEnd; sink_.SpaceExtra(extra); return kContinue; }
    case op::kPnSize: {
      PictPoint p = in_.Point();
      if (Check()) return kEnd;
      int32_t h = map_.Width(p.h), v = map_.Height(p.v);
      if (p.h != 0 && h == 0) h = 1;  // a pen never vanishes by scaling
      if (p.v != 0 && v == 0) v = 1;
      sink_.PenSize(Clamp16(h), Clamp16(v));
      return kContinue;
    }
    case op::kPnMode: {
      int16_t mode = in_.S16();
      if (Check()) return kEnd;
      sink_.PenMode(mode);
      bool resync = penMode_ == kPenModeNoDraw && mode != kPenModeNoDraw;
      penMode_ = mode;
      if (resync) sink_.MoveTo(sink_.PenLocation());
      return kContinue;
    }
    case op::kOvSize: {
      PictPoint p = in_.Point();
      if (Check()) return kEnd;
      ovalWidth_ = Clamp16(map_.Width(p.h));
      ovalHeight_ = Clamp16(map_.Height(p.v));
      return kContinue;
    }
    case op::kOrigin: {
      int16_t dh = in_.S16(), dv = in_.S16();
      if (Check()) return kEnd;
      map_.OffsetSource(dh, dv);
      sink_.OffsetClip(-map_.Width(dh), -map_.Height(dv));
      sink_.IntersectClip(clipBox_);
      return kContinue;
    }
    case op::kTxSize: { textSize_ = in_.S16(); if (Check()) return kEnd; ApplyTextSize(); return kContinue; }
    case op::kFgColor: { int32_t c = in_.S32(); if (Check()) return kEnd; sink_.ForeColor(c); return kContinue; }
    case op::kBkColor: { int32_t c = in_.S32(); if (Check()) return kEnd; sink_.BackColor(c); return kContinue; }
    case op::kTxRatio: {
      PictPoint n = in_.Point(), d = in_.Point();
      if (Check()) return kEnd;
      numer_ = n, denom_ = d;
      ApplyTextSize();
      return kContinue;
    }
    case op::kRGBFgCol: case op::kRGBBkCol: {
      RgbColor c;
      c.red = in_.U16(), c.green = in_.U16(), c.blue = in_.U16();
      if (Check()) return kEnd;
      code == op::kRGBFgCol ? sink_.RGBForeColor(c) : sink_.RGBBackColor(c);
      return kContinue;
    }
    default: return SkipData(code);
  }
}

Player::Step Player::FontName() {
  uint16_t length = in_.U16();
  if (Check()) return kEnd;
  if (length < 2) return kBad;
  int16_t number = in_.S16();
  std::vector<uint8_t> data(length - 2u);  // a Str255 name, cut short by the length
  in_.Bytes(data.data(), data.size());
  if (Check()) return kEnd;
  std::string face;
  if (!data.empty())
    face.assign(data.begin() + 1, data.begin() + 1 + std::min<size_t>(data[0], data.size() - 1));
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

Player::Step Player::ClipRegion() {
  Region region;
  if (!ReadRegion(&region)) return in_.Failed() ? kEnd : kBad;
  return ApplyClipRegion(region) ? kContinue : kBad;
}

bool Player::ApplyClipRegion(const Region &region) {
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
    return true;
  }
  if (!Intersects(mapped, clipBox_)) {
    SetSuppressed(true);
    return true;
  }
  if (!restoreFirst) sink_.RestoreClip();
  if (!region.rectangular) {
    std::vector<PictRect> spans;
    if (!RegionSpans(region, &spans)) return false;
    for (PictRect &s : spans) s = map_.Map(s);
    if (!sink_.IntersectClipWithSpans(spans)) return false;
  }
  sink_.IntersectClip(limited);
  SetSuppressed(false);
  return true;
}

}  // namespace tstools::pict
