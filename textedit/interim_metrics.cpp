// INTERIM (removed when the metric cache is merged): no caching.
#include "textedit/metric_cache.h"

namespace tstools::text {

const StyleMetrics &MetricCache::Lookup(const TextStyle &style, Measurer &measurer,
                                        const CaseTables &, uint32_t) {
  Slot &s = slots_[0];
  s.style = style;
  s.metrics = StyleMetrics{};
  for (Fixed &w : s.metrics.widths) w = kFixedOne;
  measurer.Measure(PortStyle{style.font, uint8_t(style.face >> 8), style.size}, &s.metrics.info,
                   s.metrics.widths);
  ++misses_;
  return s.metrics;
}

void MetricCache::Clear() {
  for (Slot &s : slots_) s.portKind = 0xFFFF;
}

}  // namespace tstools::text
