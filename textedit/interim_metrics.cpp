// INTERIM (layout branch only): a metric "cache" of one slot that measures the plain port
// style, with no extended styles. The real four-slot cache replaces this file at merge.
#include "textedit/metric_cache.h"

namespace tstools::text {

const StyleMetrics &MetricCache::Lookup(const TextStyle &style, Measurer &measurer,
                                        const CaseTables &, uint32_t) {
  Slot &s = slots_[0];
  int kind = measurer.PortKind();
  if (s.portKind == kind && s.style == style) return s.metrics;
  ++misses_;
  s.style = style;
  s.portKind = kind;
  s.metrics = StyleMetrics();
  PortStyle ps{style.font, static_cast<uint8_t>(style.face >> 8), style.size};
  if (kind == Measurer::kNoPort || !measurer.Measure(ps, &s.metrics.info, s.metrics.widths))
    for (Fixed &w : s.metrics.widths) w = kFixedOne;
  return s.metrics;
}

void MetricCache::Clear() {
  for (Slot &s : slots_) s.portKind = 0xFFFF;
}

}  // namespace tstools::text
