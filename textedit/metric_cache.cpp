// The metric cache: one measured style per slot, the engine's own styles applied on top of
// what the port measures.
#include "textedit/metric_cache.h"

#include <algorithm>
#include <cstring>

namespace tstools::text {
namespace {

// Super- and subscripts are drawn at half size, one point more below 8.
int16_t HalfSize(int16_t size) {
  int half = size / 2;
  if (half < 8) half += 1;
  return static_cast<int16_t>(half);
}

int16_t AtLeastOne(int v) { return static_cast<int16_t>(v < 1 ? 1 : v); }

struct Measured {
  FontMetrics info;
  Fixed widths[256];
};

// A failed measurement reads as zero metrics with widths of 1.0: nothing downstream divides
// by a width, and no line can be empty of characters.
void MeasureOrDefault(Measurer &measurer, const PortStyle &style, Measured *out) {
  if (measurer.Measure(style, &out->info, out->widths)) {
    for (Fixed &w : out->widths) w = std::max(w, kFixedOne);
    return;
  }
  out->info = FontMetrics{};
  std::fill(std::begin(out->widths), std::end(out->widths), kFixedOne);
}

void Fill(const TextStyle &style, Measurer &measurer, const CaseTables &cases, StyleMetrics *m) {
  const uint16_t face = style.face;
  PortStyle port;
  port.font = style.font;
  port.qdFace = static_cast<uint8_t>(face >> 8);
  if (face & kWordUnderline) port.qdFace |= kUnderline >> 8;
  if (face & kSmallCaps) port.qdFace &= static_cast<uint8_t>(~(kUnderline >> 8));
  const bool raised = (face & (kSuperscript | kSubscript)) != 0;
  port.size = raised ? HalfSize(style.size) : AtLeastOne(style.size);

  Measured base;
  MeasureOrDefault(measurer, port, &base);
  FontMetrics info = base.info;

  if (raised) {
    PortStyle full = port;
    full.size = AtLeastOne(style.size);
    Measured whole;
    MeasureOrDefault(measurer, full, &whole);
    const FontMetrics &f = whole.info;
    if (face & kSuperscript) {
      info.ascent = std::max(f.ascent, f.ascent / 2 + base.info.ascent);
      info.descent = std::max(f.descent, base.info.descent);
    } else {
      info.descent = std::max(f.descent, f.ascent / 4 + base.info.descent);
      info.ascent = std::max(f.ascent, base.info.ascent);
    }
    info.leading = std::max(f.leading, base.info.leading);
  }
  if (face & kDoubleUnderline) info.descent = std::max(info.descent, 4 * kFixedOne);

  // Blanks are not underlined under word underline, so they measure without it.
  if ((face & kWordUnderline) && (port.qdFace & (kUnderline >> 8))) {
    PortStyle plain = port;
    plain.qdFace &= static_cast<uint8_t>(~(kUnderline >> 8));
    Measured blanks;
    MeasureOrDefault(measurer, plain, &blanks);
    for (int c = 0; c <= 0x20; ++c) base.widths[c] = blanks.widths[c];
    base.widths[0xCA] = blanks.widths[0xCA];
  }

  const Fixed *small = nullptr;
  Measured smallCaps;
  if (face & kSmallCaps) {
    PortStyle reduced = port;
    reduced.size = AtLeastOne(port.size - port.size / 4);
    MeasureOrDefault(measurer, reduced, &smallCaps);
    small = smallCaps.widths;
  }

  // One case bit maps every byte before small capitals see it; title case depends on the
  // previous character and is mapped while measuring text instead.
  const uint16_t caseBits = face & kTitleCase;
  for (int c = 0; c < 256; ++c) {
    uint8_t shown = static_cast<uint8_t>(c);
    if (caseBits == kAllCaps) shown = cases.ToUpper(shown);
    if (caseBits == kAllLower) shown = cases.ToLower(shown);
    uint8_t capital = cases.ToUpper(shown);
    m->widths[c] = small && capital != shown ? small[capital] : base.widths[shown];
  }
  m->info = info;
}

}  // namespace

const StyleMetrics &MetricCache::Lookup(const TextStyle &style, Measurer &measurer,
                                        const CaseTables &cases, uint32_t ticks) {
  const int kind = measurer.PortKind();
  if (kind == Measurer::kNoPort) {
    static StyleMetrics none = [] {
      StyleMetrics m;
      std::fill(std::begin(m.widths), std::end(m.widths), kFixedOne);
      return m;
    }();
    return none;
  }
  for (Slot &s : slots_)
    if (s.portKind == kind && s.style == style) return s.metrics;
  // An empty slot first, so that up to four alternating styles never evict each other.
  Slot *victim = nullptr;
  for (Slot &s : slots_)
    if (s.portKind == Measurer::kNoPort) {
      victim = &s;
      break;
    }
  if (!victim) victim = &slots_[ticks & 3];
  for (const Slot &s : store_)
    if (s.portKind == kind && s.style == style) return (*victim = s).metrics;
  ++misses_;
  victim->portKind = Measurer::kNoPort;  // stays empty should the measurer throw
  Fill(style, measurer, cases, &victim->metrics);
  victim->style = style;
  victim->portKind = kind;
  if (store_.size() < kStoreLimit) {
    try {
      store_.push_back(*victim);
    } catch (...) {  // out of memory: this style is measured again next time
    }
  }
  return victim->metrics;
}

void MetricCache::Clear() {
  for (Slot &s : slots_) s.portKind = Measurer::kNoPort;
  store_.clear();
}

}  // namespace tstools::text
