// The Memory Manager's exports: the process-wide zone on a private Win32 heap.
#include <windows.h>

#include "memory/zone.h"
#include "tstools/memory.h"

namespace tstools::memory {
namespace {

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

Win32HeapSource heapSource;
Zone zone(heapSource);

// Calls that allocate, made before MemInitZone, get the zone made for them rather than a
// failure. Calls on existing blocks need no zone: without one no block is ours.
Zone &Ready() {
  heapSource.Create();
  return zone;
}

}  // namespace
}  // namespace tstools::memory

using namespace tstools::memory;

OSErr WINAPI MemInitZone(void) {
  return zone.SetError(heapSource.Create() ? noErr : memFullErr);
}

long WINAPI MemFreeZone(void) {
  if (!heapSource.Exists()) return -1;
  zone.ReleaseAll();
  return heapSource.Destroy();
}

long WINAPI MemMaximize(void) {
  if (!heapSource.Exists()) return -1;
  return zone.Compact();
}

OSErr WINAPI MemLastError(void) { return zone.LastError(); }
OSErr WINAPI MemSetError(OSErr err) { return zone.SetError(err); }

OSErr WINAPI MemNewHandle(Handle *out, Size size, Boolean clear) {
  if (!heapSource.Create()) {
    if (out) *out = nullptr;
    return zone.SetError(memFullErr);
  }
  return zone.NewHandle(out, size, clear != 0);
}

OSErr WINAPI MemDisposeHandle(Handle h) { return zone.DisposeHandle(h); }
OSErr WINAPI MemGetHandleSize(Handle h, Size *size) { return zone.GetHandleSize(h, size); }
OSErr WINAPI MemSetHandleSize(Handle h, Size size) { return zone.SetHandleSize(h, size); }
OSErr WINAPI MemSetHandleLock(Handle h, long n) { return zone.SetHandleLock(h, n); }
OSErr WINAPI MemGetHandleState(Handle h, signed char *state) {
  return zone.GetHandleState(h, state);
}
OSErr WINAPI MemSetHandleState(Handle h, signed char state) {
  return zone.SetHandleState(h, state);
}
OSErr WINAPI MemMoveHandleHigh(Handle h) { return zone.MoveHandleHigh(h); }

OSErr WINAPI MemNewPtr(Ptr *out, Size size, Boolean clear) {
  if (!heapSource.Create()) {
    if (out) *out = nullptr;
    return zone.SetError(memFullErr);
  }
  return zone.NewPtr(out, size, clear != 0);
}

OSErr WINAPI MemDisposePtr(Ptr p) { return zone.DisposePtr(p); }
OSErr WINAPI MemGetPtrSize(Ptr p, Size *size) { return zone.GetPtrSize(p, size); }
OSErr WINAPI MemSetPtrSize(Ptr p, Size size) { return zone.SetPtrSize(p, size); }
void WINAPI MemBlockMove(const void *src, void *dst, Size count) { BlockMove(src, dst, count); }

OSErr WINAPI HandToHand(Handle *h) { return tstools::memory::HandToHand(Ready(), h); }
OSErr WINAPI PtrToHand(const void *src, Handle *out, Size size) {
  return tstools::memory::PtrToHand(Ready(), src, out, size);
}
OSErr WINAPI PtrToXHand(const void *src, Handle h, Size size) {
  return tstools::memory::PtrToXHand(Ready(), src, h, size);
}
OSErr WINAPI HandAndHand(Handle hA, Handle hB) { return tstools::memory::HandAndHand(Ready(), hA, hB); }
OSErr WINAPI PtrAndHand(const void *src, Handle h, Size size) {
  return tstools::memory::PtrAndHand(Ready(), src, h, size);
}
long WINAPI MemMunger(Handle h, long offset, const void *ptr1, long len1, const void *ptr2,
                      long len2) {
  return Munger(Ready(), h, offset, ptr1, len1, ptr2, len2);
}
