// Polygon and region opcodes, and the decoding of a region's scan lines into spans that the
// clip and the region shapes share.
#include <set>

#include "picture/pict_opcodes.h"
#include "picture/pict_player_internal.h"

namespace tstools::pict {
namespace {

constexpr size_t kMaxRegionSpans = 1 << 18;  // beyond this a region is refused as malformed

}  // namespace

Player::Step Player::PolygonShape(uint16_t code) {
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
  if (!Drawing()) {
    if (points) sink_.SetPenLocation({int16_t(hv[hv.size() - 2]), int16_t(hv.back())});
    return kContinue;
  }
  sink_.Polygon(static_cast<ShapeVerb>(code - op::kPolyBase), map_.Map(box), hv, fill_);
  return kContinue;
}

Player::Step Player::RegionShape(uint16_t code) {
  Region region;
  if (!ReadRegion(&region)) return in_.Failed() ? kEnd : kBad;
  if (!Drawing()) return kContinue;
  std::vector<PictRect> spans;
  PictRect box = map_.Map(region.box);
  if (region.rectangular) {
    spans.push_back(box);
  } else {
    if (!RegionSpans(region, &spans)) return kBad;
    for (PictRect &s : spans) s = Intersection(map_.Map(s), box);
  }
  sink_.Region(static_cast<ShapeVerb>(code - op::kRgnBase), spans, box, fill_);
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

// Each scan line lists inversion points: the h positions where insideness flips from that
// line down.
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

}  // namespace tstools::pict
