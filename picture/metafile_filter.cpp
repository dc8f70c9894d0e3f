// The record filter of metafile playback.
#include "picture/metafile_filter.h"

#include <algorithm>

#include "frame/byte_reader.h"
#include "picture/meta_header.h"

namespace tstools::pict {

namespace {

constexpr size_t kRecordHeader = 6;  // rdSize (32 bits), rdFunction (16 bits)

int16_t ClampCoordinate(int64_t v) { return int16_t(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX)); }

// v * num / den rounded as the platform does; v itself when den is 0.
int64_t Scale(int64_t v, int64_t num, int64_t den) {
  int64_t r = 0;
  return MulDiv64(v, num, den, &r) ? r : v;
}

FilterDecision Play() { return FilterDecision{FilterDecision::kPlay}; }
FilterDecision Drop() { return FilterDecision{FilterDecision::kDrop}; }

}  // namespace

void WriteWindowRecord(uint16_t function, int32_t x, int32_t y, uint8_t out[10]) {
  const uint16_t words[5] = {5, 0, function, uint16_t(ClampCoordinate(y)), uint16_t(ClampCoordinate(x))};
  for (int i = 0; i < 5; ++i) {
    out[2 * i] = uint8_t(words[i]);
    out[2 * i + 1] = uint8_t(words[i] >> 8);
  }
}

MetafileFilter::MetafileFilter(int saveBase, const NestingGeometry *nesting)
    : saveBase_(saveBase), recording_(nesting != nullptr) {
  if (nesting) geometry_ = *nesting;
}

FilterDecision MetafileFilter::Decide(const uint8_t *record, size_t size) {
  ByteReader in(record, size);
  in.U32LE();
  uint16_t function = in.U16LE();
  if (in.Failed()) return Drop();
  // Parameters are read within the record only; one too short to hold them is dropped
  // rather than played, as playing it would read past it too.
  int16_t p0 = in.S16LE(), p1 = in.S16LE();
  bool hasOne = size >= kRecordHeader + 2, hasTwo = size >= kRecordHeader + 4;

  bool window = function == kMetaSetWindowOrg || function == kMetaSetWindowExt;
  if (!window || !recording_) originPending_ = false;
  switch (function) {
    case kMetaSaveDC:
      ++depth_;
      return Play();
    case kMetaRestoreDC:
      return hasOne ? RestoreDC(p0) : Drop();
    case kMetaRealizePalette:
    case kMetaSetPalEntries:
    case kMetaSelectClipRegion:
    case kMetaOffsetClipRgn:
    case kMetaSelectPalette:
    case kMetaAnimatePalette:
      return Drop();
    case kMetaSetViewportOrg:
    case kMetaSetViewportExt:
    case kMetaOffsetViewportOrg:
    case kMetaScaleViewportExt:
      return recording_ ? Drop() : Play();
    case kMetaSetWindowOrg:
      if (!recording_) return Play();
      return hasTwo ? WindowOrigin(p0, p1) : Drop();
    case kMetaSetWindowExt:
      if (!recording_) return Play();
      return hasTwo ? WindowExtent(p0, p1) : Drop();
    default:
      return Play();
  }
}

// Only the metafile's own saves may be restored: a relative index deeper than they go, or
// an absolute one at or below the level playback started from, would pop the caller's.
FilterDecision MetafileFilter::RestoreDC(int16_t index) {
  if (index < 0) {
    if (-index > depth_) return Drop();
    depth_ += index;
    return Play();
  }
  if (index == 0 || saveBase_ <= 0 || index <= saveBase_ || index > saveBase_ + depth_) return Drop();
  depth_ = index - saveBase_ - 1;
  return Play();
}

FilterDecision MetafileFilter::WindowOrigin(int16_t y, int16_t x) {
  FilterDecision d{FilterDecision::kPlayRewritten, 1};
  if (!extentSeen_) {
    originPending_ = true;
    pendingX_ = x;
    pendingY_ = y;
    WriteWindowRecord(kMetaSetWindowOrg, x, y, d.records[0]);
    return d;
  }
  const NestingGeometry &g = geometry_;
  WriteWindowRecord(kMetaSetWindowOrg, x - Scale(g.offsetX, g.extentX, g.portWidth),
                    y - Scale(g.offsetY, g.extentY, g.portHeight), d.records[0]);
  return d;
}

FilterDecision MetafileFilter::WindowExtent(int16_t y, int16_t x) {
  NestingGeometry &g = geometry_;
  g.extentX = ClampCoordinate(Scale(x, g.portWidth, g.destWidth));
  g.extentY = ClampCoordinate(Scale(y, g.portHeight, g.destHeight));
  FilterDecision d{FilterDecision::kPlayRewritten, 0};
  if (originPending_) {
    originPending_ = false;
    WriteWindowRecord(kMetaSetWindowOrg, pendingX_ - Scale(g.offsetX, g.extentX, g.portWidth),
                      pendingY_ - Scale(g.offsetY, g.extentY, g.portHeight), d.records[d.count++]);
  }
  // From here on an origin record is moved at once (a later ML_SetOrigin in the picture).
  extentSeen_ = true;
  WriteWindowRecord(kMetaSetWindowExt, g.extentX, g.extentY, d.records[d.count++]);
  return d;
}

}  // namespace tstools::pict
