// The four-slot cache of per-style metrics the layout and the VTB measurers share: font
// information and 256 Fixed widths per style and port kind, with the extended styles
// (super/subscript, small capitals, case, word and double underline) already applied.
// Portable.
#pragma once

#include <cstdint>

#include "textedit/case_tables.h"
#include "textedit/measurer.h"
#include "textedit/te_types.h"

namespace tstools::text {

struct StyleMetrics {
  FontMetrics info;
  Fixed widths[256] = {};
};

class MetricCache {
 public:
  static constexpr int kSlots = 4;
  // The metrics of style on the measurer's port; measured on a miss into the slot the
  // victim rule picks (ticks & 3). Never null: with no port, zero metrics and widths of 1.0.
  const StyleMetrics &Lookup(const TextStyle &style, Measurer &measurer, const CaseTables &cases,
                             uint32_t ticks);
  // InitMetricCache: empties every slot (fonts or the port's resolution changed).
  void Clear();
  // How many times a style was measured: benchmarks and tests see re-measuring.
  uint64_t Misses() const { return misses_; }

 private:
  struct Slot {
    TextStyle style;
    int portKind = 0xFFFF;  // empty
    StyleMetrics metrics;
  };
  Slot slots_[kSlots];
  uint64_t misses_ = 0;
};

}  // namespace tstools::text
