// An open-addressing map from block addresses to a small value. The zone uses it to answer
// "is this one of ours?" for any pointer a caller hands in, without reading the memory the
// pointer names. Linear probing with backward-shift deletion, so lookups never meet tombstones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tstools::memory {

template <typename Value>
class AddressMap {
 public:
  // Null if key is absent; the pointer stays valid until the next Insert or Erase.
  Value *Find(std::uintptr_t key) {
    if (count_ == 0) return nullptr;
    for (std::size_t i = Home(key);; i = (i + 1) & mask_) {
      if (slots_[i].key == key) return &slots_[i].value;
      if (slots_[i].key == 0) return nullptr;
    }
  }

  // Adds or replaces. key must not be 0. Returns false when the table cannot grow.
  bool Insert(std::uintptr_t key, Value value) {
    if ((count_ + 1) * 4 > slots_.size() * 3 && !Rehash(slots_.empty() ? 16 : slots_.size() * 2))
      return false;
    std::size_t i = Home(key);
    while (slots_[i].key != 0 && slots_[i].key != key) i = (i + 1) & mask_;
    if (slots_[i].key == 0) ++count_;
    slots_[i] = Slot{key, value};
    return true;
  }

  bool Erase(std::uintptr_t key) {
    if (count_ == 0) return false;
    std::size_t i = Home(key);
    while (slots_[i].key != key) {
      if (slots_[i].key == 0) return false;
      i = (i + 1) & mask_;
    }
    // Pull later members of the probe run back so no gap breaks their chain.
    for (std::size_t j = (i + 1) & mask_; slots_[j].key != 0; j = (j + 1) & mask_) {
      std::size_t home = Home(slots_[j].key);
      bool movable = (i <= j) ? (home <= i || home > j) : (home <= i && home > j);
      if (movable) {
        slots_[i] = slots_[j];
        i = j;
      }
    }
    slots_[i] = Slot{};
    --count_;
    return true;
  }

  template <typename F>
  void ForEach(F f) const {
    for (const Slot &s : slots_)
      if (s.key != 0) f(s.key, s.value);
  }

  std::size_t Count() const { return count_; }
  void Clear() {
    slots_.clear();
    slots_.shrink_to_fit();
    mask_ = 0;
    count_ = 0;
  }

 private:
  struct Slot {
    std::uintptr_t key = 0;
    Value value{};
  };

  std::size_t Home(std::uintptr_t key) const {
    // Block addresses are at least 8-aligned; Fibonacci hashing spreads the rest.
    std::uint64_t h = static_cast<std::uint64_t>(key >> 3) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(h >> 32) & mask_;
  }

  bool Rehash(std::size_t capacity) {
    std::vector<Slot> old;
    try {
      old.swap(slots_);
      slots_.assign(capacity, Slot{});
    } catch (...) {
      slots_.swap(old);
      return false;
    }
    mask_ = capacity - 1;
    count_ = 0;
    for (const Slot &s : old)
      if (s.key != 0) {
        std::size_t i = Home(s.key);
        while (slots_[i].key != 0) i = (i + 1) & mask_;
        slots_[i] = s;
        ++count_;
      }
    return true;
  }

  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
  std::size_t count_ = 0;
};

}  // namespace tstools::memory
