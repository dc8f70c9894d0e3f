// A block source for tests: malloc underneath (so every movable growth really moves), with
// allocation failures on demand.
#pragma once

#include <random>

#include "memory/zone.h"

namespace tstools::memory::testing_support {

class FlakySource : public MallocBlockSource {
 public:
  // Each allocation or growth fails with probability failPercent / 100.
  explicit FlakySource(unsigned seed = 1, int failPercent = 0) : rng_(seed), failPercent_(failPercent) {}
  void SetFailPercent(int percent) { failPercent_ = percent; }
  // Whether an allocation or growth was refused since the last call.
  bool TakeFailed() {
    bool f = failed_;
    failed_ = false;
    return f;
  }
  void *Allocate(std::size_t bytes, bool zeroed) override {
    if (Fail()) return nullptr;
    return MallocBlockSource::Allocate(bytes, zeroed);
  }
  void *Resize(void *block, std::size_t oldBytes, std::size_t newBytes, bool mayMove) override {
    if (newBytes > oldBytes && Fail()) return nullptr;
    return MallocBlockSource::Resize(block, oldBytes, newBytes, mayMove);
  }

 private:
  bool Fail() {
    if (failPercent_ <= 0 || static_cast<int>(rng_() % 100) >= failPercent_) return false;
    failed_ = true;
    return true;
  }
  std::mt19937 rng_;
  int failPercent_;
  bool failed_ = false;
};

}  // namespace tstools::memory::testing_support
