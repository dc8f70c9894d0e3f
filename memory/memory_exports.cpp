// The Memory Manager's exports: the process-wide zone on a private Win32 heap.
#include <windows.h>

#include "memory/memory_state.h"
#include "tstools/memory.h"

namespace tstools::memory {

MemoryState memoryState;

long MemoryState::Reset() {
  if (!heap.Exists()) return -1;
  zone.ReleaseAll();
  return heap.Destroy();
}

namespace {

Zone &zone = memoryState.zone;
Win32HeapSource &heapSource = memoryState.heap;

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

long WINAPI MemFreeZone(void) { return memoryState.Reset(); }

long WINAPI MemMaximize(void) {
  if (!heapSource.Exists()) return -1;
  return zone.Compact();
}

OSErr WINAPI MemLastError(void) { return zone.LastError(); }
OSErr WINAPI MemSetError(OSErr err) { return zone.SetError(err); }

OSErr WINAPI MemNewHandle(Handle *out, Size size, Boolean clear) {
  return GuardedZoneCall(zone, memFullErr, [&] {
    if (!heapSource.Create()) {
      if (out) *out = nullptr;
      return zone.SetError(memFullErr);
    }
    return zone.NewHandle(out, size, clear != 0);
  });
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
  return GuardedZoneCall(zone, memFullErr, [&] {
    if (!heapSource.Create()) {
      if (out) *out = nullptr;
      return zone.SetError(memFullErr);
    }
    return zone.NewPtr(out, size, clear != 0);
  });
}

OSErr WINAPI MemDisposePtr(Ptr p) { return zone.DisposePtr(p); }
OSErr WINAPI MemGetPtrSize(Ptr p, Size *size) { return zone.GetPtrSize(p, size); }
OSErr WINAPI MemSetPtrSize(Ptr p, Size size) { return zone.SetPtrSize(p, size); }
void WINAPI MemBlockMove(const void *src, void *dst, Size count) { BlockMove(src, dst, count); }

OSErr WINAPI HandToHand(Handle *h) {
  return GuardedZoneCall(zone, memFullErr, [&] { return tstools::memory::HandToHand(Ready(), h); });
}
OSErr WINAPI PtrToHand(const void *src, Handle *out, Size size) {
  return GuardedZoneCall(zone, memFullErr, [&] { return tstools::memory::PtrToHand(Ready(), src, out, size); });
}
OSErr WINAPI PtrToXHand(const void *src, Handle h, Size size) {
  return GuardedZoneCall(zone, memFullErr, [&] { return tstools::memory::PtrToXHand(Ready(), src, h, size); });
}
OSErr WINAPI HandAndHand(Handle hA, Handle hB) {
  return GuardedZoneCall(zone, memFullErr, [&] { return tstools::memory::HandAndHand(Ready(), hA, hB); });
}
OSErr WINAPI PtrAndHand(const void *src, Handle h, Size size) {
  return GuardedZoneCall(zone, memFullErr, [&] { return tstools::memory::PtrAndHand(Ready(), src, h, size); });
}
long WINAPI MemMunger(Handle h, long offset, const void *ptr1, long len1, const void *ptr2,
                      long len2) {
  return GuardedZoneCall(zone, -1L, [&] { return Munger(Ready(), h, offset, ptr1, len1, ptr2, len2); });
}
