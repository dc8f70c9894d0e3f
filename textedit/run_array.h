// One sorted array of runs (start offset, table index) for both the style runs and the
// paragraph runs of a record. Invariants after every operation: sorted by start, the first
// at 0, no two neighbours with the same index. Portable; growth is geometric (std::vector)
// and every operation that may allocate reserves before it changes anything.
#pragma once

#include <cstdint>
#include <vector>

namespace tstools::text {

struct Run {
  int32_t start = 0;
  int32_t index = 0;
};

class RunArray {
 public:
  size_t Count() const { return runs_.size(); }
  const Run &operator[](size_t i) const { return runs_[i]; }
  const std::vector<Run> &Runs() const { return runs_; }
  std::vector<Run> &MutableRuns() { return runs_; }
  // The run holding offset p: the last whose start <= p (bisection); 0 for an empty array.
  size_t Find(int32_t p) const;
  // The table index at offset p.
  int32_t IndexAt(int32_t p) const { return runs_.empty() ? 0 : runs_[Find(p)].index; }
  // The end of run i: the next run's start, or textLength for the last.
  int32_t End(size_t i, int32_t textLength) const {
    return i + 1 < runs_.size() ? runs_[i + 1].start : textLength;
  }

 private:
  std::vector<Run> runs_;
};

}  // namespace tstools::text
