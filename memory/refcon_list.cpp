#include "memory/refcon_list.h"

namespace tstools::memory {

void RefConSlots::Format() {
  for (std::uint32_t i = 1; i < kRefConInitialSlots - 1; ++i) slots_[i] = i + 1;
  slots_[kRefConInitialSlots - 1] = 0;
  SetHeader(kRefConInitialSlots, 1);
}

bool RefConSlots::Valid() const {
  if (count_ < 2) return false;
  std::uint32_t capacity = Capacity();
  std::uint32_t first = FirstFree();
  return capacity >= 2 && capacity <= count_ && first >= 1 && first < capacity;
}

void RefConSlots::Extend(std::uint32_t oldCapacity) {
  std::uint32_t capacity = oldCapacity + kRefConGrowth;
  slots_[FirstFree()] = oldCapacity;  // the old last free slot now leads into the new ones
  for (std::uint32_t i = oldCapacity; i < capacity - 1; ++i) slots_[i] = i + 1;
  slots_[capacity - 1] = 0;
  SetHeader(capacity, FirstFree());
}

short RefConSlots::Add(std::uint32_t value, short *index) {
  std::uint32_t f = FirstFree();
  std::uint32_t next = slots_[f];
  if (next == 0) return -108;           // full: the caller grows the list first
  if (next >= Capacity()) return -111;  // a damaged chain: refuse rather than follow it
  SetHeader(Capacity(), next);
  slots_[f] = value;
  *index = static_cast<short>(f);
  return 0;
}

short RefConSlots::Get(short index, std::uint32_t *value) const {
  if (!InRange(index)) return -50;
  *value = slots_[index];
  return 0;
}

bool RefConSlots::IsFree(std::uint32_t index) const {
  // Bounded walk: a damaged chain with a cycle cannot hold us.
  std::uint32_t i = FirstFree();
  for (std::uint32_t steps = 0; i != 0 && i < Capacity() && steps < Capacity(); ++steps) {
    if (i == index) return true;
    i = slots_[i];
  }
  return false;
}

short RefConSlots::Delete(short index) {
  if (!InRange(index) || IsFree(static_cast<std::uint32_t>(index))) return -50;
  slots_[index] = FirstFree();
  SetHeader(Capacity(), static_cast<std::uint32_t>(index));
  return 0;
}

}  // namespace tstools::memory
