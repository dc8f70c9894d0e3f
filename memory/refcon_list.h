// RefCon lists: 32-bit values in a table of slots kept in a moveable global block. Slot 0 is
// the header (capacity in bits 0-15, first free index in bits 16-31); a free slot holds the
// index of the next free one, the last free slot holds 0 and is always the highest slot.
// These functions work on the locked slots; the block itself is the caller's business.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tstools::memory {

constexpr std::uint32_t kRefConInitialSlots = 32;
constexpr std::uint32_t kRefConGrowth = 32;
// Indices reach callers as signed 16-bit values.
constexpr std::uint32_t kRefConMaxSlots = 32768;

class RefConSlots {
 public:
  // slotCount is how many 32-bit slots the block really holds.
  RefConSlots(std::uint32_t *slots, std::size_t slotCount) : slots_(slots), count_(slotCount) {}

  static std::size_t InitialBytes() { return kRefConInitialSlots * sizeof(std::uint32_t); }
  void Format();  // an empty list filling the first kRefConInitialSlots slots

  // The header agrees with the block: capacity within it, first free index a slot.
  bool Valid() const;
  std::uint32_t Capacity() const { return slots_[0] & 0xFFFFu; }
  // True when the next addition needs kRefConGrowth more slots first.
  bool Full() const { return slots_[FirstFree()] == 0; }
  // Links the slots added to a block grown from oldCapacity into the free chain.
  void Extend(std::uint32_t oldCapacity);
  short Add(std::uint32_t value, short *index);
  // -50 for index 0 or past the list (Delete also for a slot already free); nothing changes.
  short Get(short index, std::uint32_t *value) const;
  short Delete(short index);

 private:
  std::uint32_t FirstFree() const { return slots_[0] >> 16; }
  void SetHeader(std::uint32_t capacity, std::uint32_t firstFree) {
    slots_[0] = (capacity & 0xFFFFu) | (firstFree << 16);
  }
  bool InRange(short index) const { return index > 0 && static_cast<std::uint32_t>(index) < Capacity(); }
  bool IsFree(std::uint32_t index) const;

  std::uint32_t *slots_;
  std::size_t count_;
};

}  // namespace tstools::memory
