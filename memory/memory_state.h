// The Memory Manager's process state: the zone on its private Win32 heap, and the RefCon atom.
#pragma once

#include <windows.h>

#include "memory/zone.h"

namespace tstools::memory {

// A private growable heap. It is made without HEAP_GENERATE_EXCEPTIONS, so an allocation
// failure is a null result and never a dialog or an exception.
class Win32HeapSource : public BlockSource {
 public:
  bool Exists() const { return heap_ != nullptr; }
  bool Create() {
    if (!heap_) heap_ = HeapCreate(0, 0, 0);
    return heap_ != nullptr;
  }
  long Destroy() {
    BOOL ok = HeapDestroy(heap_);
    heap_ = nullptr;
    return ok ? 1 : 0;
  }
  void *Allocate(std::size_t bytes, bool zeroed) override {
    return HeapAlloc(heap_, zeroed ? HEAP_ZERO_MEMORY : 0, bytes);
  }
  void *Resize(void *block, std::size_t, std::size_t newBytes, bool mayMove) override {
    return HeapReAlloc(heap_, mayMove ? 0 : HEAP_REALLOC_IN_PLACE_ONLY, block, newBytes);
  }
  void Release(void *block) override { HeapFree(heap_, 0, block); }
  long Compact() override { return static_cast<long>(HeapCompact(heap_, 0)); }

 private:
  HANDLE heap_ = nullptr;
};

struct MemoryState {
  Win32HeapSource heap;
  Zone zone{heap};
  ATOM refConAtom = 0;  // "refCon", added by InitRefConList

  // MemFreeZone: disposes every handle and Ptr and destroys the heap; 1, 0 when the heap
  // refused, -1 when there was none. The last error and the RefCon atom outlive a zone
  // (DisposeRefList deletes the atom).
  long Reset();
};

extern MemoryState memoryState;

}  // namespace tstools::memory
