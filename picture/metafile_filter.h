// Which metafile records reach the device when a picture is played into a port, and in what
// form. Drawing a metafile must not disturb the caller's DC beyond the playback: saves and
// restores stay within the metafile's own, palette and clip records are dropped, and a
// picture nested into a recording is moved and scaled onto its destination by rewriting its
// window records. Portable: records are bytes (METARECORD: rdSize in 16-bit words, the
// function, parameters, little-endian); rewritten records are copies held by the decision.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tstools::pict {

enum : uint16_t {
  kMetaSaveDC = 0x001E,
  kMetaRealizePalette = 0x0035,
  kMetaSetPalEntries = 0x0037,
  kMetaRestoreDC = 0x0127,
  kMetaSelectClipRegion = 0x012C,
  kMetaSetWindowOrg = 0x020B,
  kMetaSetWindowExt = 0x020C,
  kMetaSetViewportOrg = 0x020D,
  kMetaSetViewportExt = 0x020E,
  kMetaOffsetViewportOrg = 0x0211,
  kMetaOffsetClipRgn = 0x0220,
  kMetaSelectPalette = 0x0234,
  kMetaScaleViewportExt = 0x0412,
  kMetaAnimatePalette = 0x0436,
};

// Where a nested picture lands, in the recording port's units.
struct NestingGeometry {
  int32_t portWidth = 0, portHeight = 0;  // the recording port's rectangle
  int32_t destWidth = 0, destHeight = 0;  // the destination rectangle
  int32_t offsetX = 0, offsetY = 0;       // destination less port top-left
  int32_t extentX = 0, extentY = 0;       // the window extent set before playing
};

struct FilterDecision {
  enum Kind { kDrop, kPlay, kPlayRewritten } kind = kDrop;
  // kPlayRewritten: `count` records of 10 bytes (window origin or extent), played in order
  // in place of the original.
  int count = 0;
  uint8_t records[2][10] = {};
};

class MetafileFilter {
 public:
  // saveBase: the DC's save level (SaveDC's result) when playback starts, so that an
  // absolute restore can be told apart from the caller's levels; 0 when unknown (absolute
  // restores are then dropped). nesting: null for a port that is not recording.
  MetafileFilter(int saveBase, const NestingGeometry *nesting);

  // One record of `size` bytes (what rdSize says, checked by the caller against the data).
  FilterDecision Decide(const uint8_t *record, size_t size);

  // Saves made by the metafile and not restored: the caller restores them after playback.
  int UnmatchedSaves() const { return depth_; }

 private:
  FilterDecision RestoreDC(int16_t index);
  FilterDecision WindowOrigin(int16_t y, int16_t x);
  FilterDecision WindowExtent(int16_t y, int16_t x);

  int saveBase_;
  bool recording_;
  NestingGeometry geometry_;
  int depth_ = 0;
  bool extentSeen_ = false;
  bool originPending_ = false;
  int16_t pendingX_ = 0, pendingY_ = 0;
};

// Writes a 10-byte window record (origin or extent; parameters y then x).
void WriteWindowRecord(uint16_t function, int32_t x, int32_t y, uint8_t out[10]);

}  // namespace tstools::pict
