// The player's state and its opcode handlers, shared by the files that implement one opcode
// family each: pict_player.cpp (the dispatcher), pict_play_state.cpp (pen, patterns,
// colours, origin, clip, text state), pict_play_shapes.cpp (lines, rectangles, ovals,
// arcs), pict_play_text.cpp, pict_play_regions.cpp (regions and polygons) and
// pict_play_images.cpp (bit images and pixel patterns).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture/pict_mapping.h"
#include "picture/pict_pixels.h"
#include "picture/pict_player.h"

namespace tstools::pict {

constexpr int16_t kPenModeNoDraw = 23;

// Picture font number -> local font number, at most 32 pairs, the oldest overwritten first.
class FontMap {
 public:
  void Add(int16_t picture, int16_t local);
  // Searches from the most recent pair backwards; unknown numbers become 1, 0 stays 0.
  int16_t Lookup(int16_t picture) const;

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

inline bool Intersects(const PictRect &a, const PictRect &b) {
  return std::max(a.left, b.left) < std::min(a.right, b.right) &&
         std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

inline PictRect Intersection(const PictRect &a, const PictRect &b) {
  PictRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

inline int16_t Clamp16(int64_t v) {
  return static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767));
}

class Player {
 public:
  Player(PictStream &in, PictSink &sink, const PictRect &frame, const PictRect &destination);
  PlayOutcome Run(size_t *opcodes);

  enum Step { kContinue, kEnd, kBad };

 private:
  // pict_player.cpp
  Step Opcode(uint16_t op);
  Step SkipData(uint16_t op);
  Step Version();
  Step Header();
  Step Check() const { return in_.Failed() ? kEnd : kContinue; }

  // pict_play_state.cpp
  Step StateOp(uint16_t op);
  void LoadFonts();
  Step FontName();
  Step ClipRegion();
  bool Drawing() const { return !suppressed_ && penMode_ != kPenModeNoDraw; }
  void SetSuppressed(bool suppressed);
  Pattern8 ReadPattern();
  void ApplyTextSize();
  // Makes the region the clip and sets the drawing-suppressed flag by it. False when the
  // region cannot be honoured (too complex for the player or the device): the picture is
  // then treated as malformed wherever the region appears, as a clip, a mask or a shape.
  bool ApplyClipRegion(const Region &region);

  // pict_play_shapes.cpp
  Step LineOp(uint16_t op);
  Step Line(PictPoint from, PictPoint to);
  Step RectShape(uint16_t op);

  // pict_play_text.cpp
  Step TextOp(uint16_t op);

  // pict_play_regions.cpp
  Step PolygonShape(uint16_t op);
  Step RegionShape(uint16_t op);
  bool ReadRegion(Region *region);
  // The region's spans in picture coordinates; false when it has too many to honour.
  bool RegionSpans(const Region &region, std::vector<PictRect> *spans) const;

  // pict_play_images.cpp
  Step PixelPattern(uint16_t op);
  Step BitImage(uint16_t op);
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

}  // namespace tstools::pict
