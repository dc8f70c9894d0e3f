// Handles to and from Win32 global memory, and RefCon lists kept in global memory.
#include <windows.h>

#include <cstring>

#include "memory/memory_state.h"
#include "memory/refcon_list.h"
#include "tstools/memory.h"

namespace tstools::memory {
namespace {

// Locks a RefCon list and checks its header against the block's real size.
class LockedList {
 public:
  explicit LockedList(HGLOBAL list)
      : list_(list), slots_(static_cast<std::uint32_t *>(GlobalLock(list))),
        view_(slots_, slots_ ? GlobalSize(list) / sizeof(std::uint32_t) : 0) {}
  ~LockedList() {
    if (slots_) GlobalUnlock(list_);
  }
  bool Valid() const { return slots_ && view_.Valid(); }
  RefConSlots &View() { return view_; }

 private:
  HGLOBAL list_;
  std::uint32_t *slots_;
  RefConSlots view_;
};

}  // namespace
}  // namespace tstools::memory

using namespace tstools::memory;

OSErr WINAPI PtrToHGlobal(const void *src, HGLOBAL *out, Size size) {
  if (!src || !out) return nilHandleErr;
  *out = nullptr;
  if (size < 0) return paramErr;
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<SIZE_T>(size));
  if (!g) return memFullErr;
  void *p = GlobalLock(g);
  if (!p) {
    GlobalFree(g);
    return memFullErr;
  }
  std::memcpy(p, src, static_cast<std::size_t>(size));
  GlobalUnlock(g);
  *out = g;
  return noErr;
}

OSErr WINAPI HGlobalToHand(HGLOBAL hglobal, Handle *out) {
  if (!hglobal || !out) return nilHandleErr;
  *out = nullptr;
  SIZE_T size = GlobalSize(hglobal);
  if (size > static_cast<SIZE_T>(16777213)) return memFullErr;
  Handle h = nullptr;
  OSErr err = MemNewHandle(&h, static_cast<Size>(size), 0);
  if (err != noErr) return err;
  const void *src = GlobalLock(hglobal);
  if (!src) {
    MemDisposeHandle(h);
    return memFullErr;
  }
  MemSetHandleLock(h, 1);
  std::memcpy(*h, src, size);
  MemSetHandleLock(h, -1);
  GlobalUnlock(hglobal);
  *out = h;
  return noErr;
}

OSErr WINAPI InitRefConList(void) {
  ATOM &atom = memoryState.refConAtom;
  if (!atom) atom = GlobalAddAtomA("refCon");
  return atom ? noErr : memFullErr;
}

void WINAPI DisposeRefList(void) {
  ATOM &atom = memoryState.refConAtom;
  if (atom) GlobalDeleteAtom(atom);
  atom = 0;
}

HGLOBAL WINAPI GetNewRefList(void) {
  HGLOBAL list = GlobalAlloc(GMEM_MOVEABLE, RefConSlots::InitialBytes());
  if (!list) return nullptr;
  auto *slots = static_cast<std::uint32_t *>(GlobalLock(list));
  if (!slots) {
    GlobalFree(list);
    return nullptr;
  }
  RefConSlots(slots, kRefConInitialSlots).Format();
  GlobalUnlock(list);
  return list;
}

OSErr WINAPI AddToRefList(HGLOBAL list, long value, short *index) {
  if (!list || !index) return nilHandleErr;
  std::uint32_t capacity = 0;
  {
    LockedList locked(list);
    if (!locked.Valid()) return memWZErr;
    if (!locked.View().Full()) return locked.View().Add(static_cast<std::uint32_t>(value), index);
    capacity = locked.View().Capacity();
  }
  // Grow while unlocked so the block may move; a failure leaves the list as it was.
  if (capacity + kRefConGrowth > kRefConMaxSlots) return memFullErr;
  if (!GlobalReAlloc(list, (capacity + kRefConGrowth) * sizeof(std::uint32_t), GMEM_MOVEABLE))
    return memFullErr;
  LockedList locked(list);
  if (!locked.Valid()) return memWZErr;
  locked.View().Extend(capacity);
  return locked.View().Add(static_cast<std::uint32_t>(value), index);
}

OSErr WINAPI GetFromRefList(HGLOBAL list, long *value, short index) {
  if (!list || !value) return nilHandleErr;
  LockedList locked(list);
  if (!locked.Valid()) return memWZErr;
  std::uint32_t v = 0;
  OSErr err = locked.View().Get(index, &v);
  if (err == noErr) *value = static_cast<long>(v);
  return err;
}

OSErr WINAPI DeleteFromRefList(HGLOBAL list, short index) {
  if (!list) return nilHandleErr;
  LockedList locked(list);
  if (!locked.Valid()) return memWZErr;
  return locked.View().Delete(index);
}
