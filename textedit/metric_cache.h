// The four-slot cache of per-style metrics the layout and the VTB measurers share: font
// information and 256 Fixed widths per style and port kind, with the extended styles
// (super/subscript, small capitals, case, word and double underline) already applied.
// Portable.
#pragma once

#include <cstdint>
#include <vector>

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
  // The metrics of style on the measurer's port; on a miss they go into an empty slot, else
  // the one the victim rule picks (ticks & 3), from the store of styles measured before or
  // else measured now. Never null: with no port, zero metrics and widths of 1.0. Valid until
  // the next Lookup or Clear. Never throws for memory: a full store only means measuring again.
  const StyleMetrics &Lookup(const TextStyle &style, Measurer &measurer, const CaseTables &cases,
                             uint32_t ticks);
  // InitMetricCache: empties every slot and the store (fonts or the port's resolution changed).
  void Clear();
  // How many times a style was measured: benchmarks and tests see re-measuring.
  uint64_t Misses() const { return misses_; }

 private:
  struct Slot {
    TextStyle style;
    int portKind = 0xFFFF;  // empty
    StyleMetrics metrics;
  };
  // Every style measured since the last Clear, so that a text alternating more styles than
  // the slots hold is still measured once per style. Bounded: 1 KB a style.
  static constexpr size_t kStoreLimit = 512;
  Slot slots_[kSlots];
  std::vector<Slot> store_;
  uint64_t misses_ = 0;
};

}  // namespace tstools::text
