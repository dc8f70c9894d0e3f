#include "memory/zone.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace tstools::memory {

void *MallocBlockSource::Allocate(std::size_t bytes, bool zeroed) {
  return zeroed ? std::calloc(1, bytes) : std::malloc(bytes);
}

void *MallocBlockSource::Resize(void *block, std::size_t oldBytes, std::size_t newBytes,
                                bool mayMove) {
  if (newBytes <= oldBytes && !mayMove) return block;  // the tail just goes unused
  if (!mayMove) return nullptr;
  void *moved = std::malloc(newBytes);
  if (!moved) return nullptr;
  std::memcpy(moved, block, std::min(oldBytes, newBytes));
  std::free(block);
  return moved;
}

void MallocBlockSource::Release(void *block) { std::free(block); }

namespace {

std::uint32_t Pack(std::size_t size, unsigned lock) {
  return static_cast<std::uint32_t>(size) | (static_cast<std::uint32_t>(lock) << 24);
}

}  // namespace

void Zone::ReleaseAll() {
  pages_.ForEach([this](std::uintptr_t base, char) {
    RecordPage *page = reinterpret_cast<RecordPage *>(base);
    for (std::size_t i = 0; i < kRecordsPerPage; ++i)
      if (page->kind[i] != HandleKind::kFree) source_.Release(page->blocks[i]);
    ::operator delete(page, std::align_val_t(PageBytes()));
  });
  pages_.Clear();
  lastPage_ = 0;
  freeRecords_.clear();
  freeRecords_.shrink_to_fit();
  liveHandles_ = 0;
  ptrs_.ForEach([this](std::uintptr_t p, std::size_t) { source_.Release(reinterpret_cast<void *>(p)); });
  ptrs_.Clear();
}

std::size_t Zone::BytesFrom(const char *p) {
  std::uintptr_t a = reinterpret_cast<std::uintptr_t>(p);
  std::size_t found = 0;
  auto consider = [&](std::uintptr_t start, std::size_t size) {
    if (a >= start && a - start < size) found = size - (a - start);
  };
  ptrs_.ForEach([&](std::uintptr_t start, std::size_t size) { consider(start, size); });
  pages_.ForEach([&](std::uintptr_t base, char) {
    const RecordPage *page = reinterpret_cast<const RecordPage *>(base);
    for (std::size_t i = 0; i < kRecordsPerPage; ++i)
      if (page->kind[i] != HandleKind::kFree)
        consider(reinterpret_cast<std::uintptr_t>(page->blocks[i]), LogicalSize(page->records[i]));
  });
  return found;
}

bool Zone::AddPage() {
  void *raw = ::operator new(PageBytes(), std::align_val_t(PageBytes()), std::nothrow);
  if (!raw) return false;
  RecordPage *page = static_cast<RecordPage *>(raw);
  std::memset(page, 0, sizeof(RecordPage));  // every record free, every pointer null
  try {
    freeRecords_.reserve(freeRecords_.size() + kRecordsPerPage);
  } catch (...) {
    ::operator delete(raw, std::align_val_t(PageBytes()));
    return false;
  }
  if (!pages_.Insert(reinterpret_cast<std::uintptr_t>(page), 1)) {
    ::operator delete(raw, std::align_val_t(PageBytes()));
    return false;
  }
  // Lowest address handed out first.
  for (std::size_t i = kRecordsPerPage; i-- > 0;) freeRecords_.push_back(&page->records[i]);
  return true;
}

void Zone::WriteSlack(char *data, std::size_t logical, std::size_t blockBytes) {
  std::uint16_t slack = static_cast<std::uint16_t>(blockBytes - logical);
  std::memcpy(data + blockBytes - kTrailerBytes, &slack, sizeof slack);
}

short Zone::NewHandle(HandleRef *out, long size, bool clear) {
  if (out) *out = nullptr;
  if (!out || size < 0 || size > kMaxHandleSize) return SetError(out ? kMemFullErr : kNilHandleErr);
  if (freeRecords_.empty() && !AddPage()) return SetError(kMemFullErr);
  char *data = static_cast<char *>(source_.Allocate(static_cast<std::size_t>(size) + kTrailerBytes, clear));
  if (!data) return SetError(kMemFullErr);
  MasterRecord *r = freeRecords_.back();
  freeRecords_.pop_back();
  std::uintptr_t a = reinterpret_cast<std::uintptr_t>(r);
  RecordPage *page = reinterpret_cast<RecordPage *>(a & ~static_cast<std::uintptr_t>(PageBytes() - 1));
  std::size_t i = static_cast<std::size_t>(r - page->records);
  r->data = data;
  r->sizeAndLock = Pack(static_cast<std::size_t>(size), 0);
  page->blocks[i] = data;
  page->kind[i] = HandleKind::kRelocatable;
  ++liveHandles_;
  *out = &r->data;
  return SetError(kNoErr);
}

short Zone::DisposeHandle(HandleRef h) {
  if (!h) return SetError(kNilHandleErr);
  Slot s = Locate(h);
  if (!s.page) return SetError(kMemWZErr);
  source_.Release(s.page->blocks[s.index]);
  s.page->blocks[s.index] = nullptr;
  s.page->kind[s.index] = HandleKind::kFree;
  MasterRecord &r = s.page->records[s.index];
  r.data = nullptr;
  r.sizeAndLock = 0;
  --liveHandles_;
  freeRecords_.push_back(&r);  // capacity was reserved when the page was added
  return SetError(kNoErr);
}

short Zone::GetHandleSize(HandleRef h, long *size) {
  MasterRecord *r = Find(h);
  long result = r ? static_cast<long>(LogicalSize(*r)) : 0;
  if (size) *size = result;
  return SetError(r ? kNoErr : (h ? kMemWZErr : kNilHandleErr));
}

short Zone::SetHandleSize(HandleRef h, long size) {
  Slot s = Locate(h);
  if (!s.page) return SetError(h ? kMemWZErr : kNilHandleErr);
  if (size < 0 || size > kMaxHandleSize) return SetError(kMemFullErr);
  MasterRecord &r = s.page->records[s.index];
  std::size_t oldBytes = LogicalSize(r) + kTrailerBytes;
  std::size_t newBytes = static_cast<std::size_t>(size) + kTrailerBytes;
  // Only an unlocked relocatable block may move; locked and fixed ones resize in place or fail.
  bool mayMove = s.page->kind[s.index] == HandleKind::kRelocatable && LockCount(r) == 0;
  if (newBytes != oldBytes) {
    char *data = static_cast<char *>(source_.Resize(r.data, oldBytes, newBytes, mayMove));
    // A shrink that the heap refuses keeps the larger block: shrinking never fails.
    if (!data && newBytes < oldBytes) data = r.data;
    if (!data) return SetError(kMemFullErr);
    r.data = data;
    s.page->blocks[s.index] = data;
  }
  r.sizeAndLock = Pack(static_cast<std::size_t>(size), LockCount(r));
  if (s.page->kind[s.index] == HandleKind::kFixed) WriteSlack(r.data, static_cast<std::size_t>(size), newBytes);
  return SetError(kNoErr);
}

short Zone::SetHandleLock(HandleRef h, long n) {
  Slot s = Locate(h);
  if (!s.page) return SetError(h ? kMemWZErr : kNilHandleErr);
  MasterRecord &r = s.page->records[s.index];
  unsigned lock = LockCount(r);
  HandleKind &kind = s.page->kind[s.index];
  if (n > 0) {
    // Saturates: a wrapped count would unlock a block its users still rely on.
    if (kind == HandleKind::kRelocatable && lock < kMaxLockCount) ++lock;
  } else if (n < 0) {
    if (kind == HandleKind::kRelocatable && lock > 0) --lock;
  } else {
    lock = 0;
    kind = HandleKind::kRelocatable;  // a fixed block returns to relocatable storage in place
  }
  r.sizeAndLock = Pack(LogicalSize(r), lock);
  return SetError(kNoErr);
}

short Zone::GetHandleState(HandleRef h, signed char *state) {
  MasterRecord *r = Find(h);
  // An unknown handle reads as locked, so callers that save and restore state leave it alone.
  unsigned lock = r ? LockCount(*r) : 127;
  if (state) *state = static_cast<signed char>(std::min(lock, 127u));
  return SetError(r ? kNoErr : (h ? kMemWZErr : kNilHandleErr));
}

short Zone::SetHandleState(HandleRef h, signed char state) {
  Slot s = Locate(h);
  if (!s.page) return SetError(h ? kMemWZErr : kNilHandleErr);
  if (state == 0) return SetHandleLock(h, 0);
  if (s.page->kind[s.index] != HandleKind::kRelocatable) return lastError_;
  MasterRecord &r = s.page->records[s.index];
  unsigned target = state < 0 ? 0u : static_cast<unsigned>(state);
  r.sizeAndLock = Pack(LogicalSize(r), target);
  return lastError_;
}

short Zone::MoveHandleHigh(HandleRef h) {
  Slot s = Locate(h);
  if (!s.page) return SetError(h ? kMemWZErr : kNilHandleErr);
  HandleKind &kind = s.page->kind[s.index];
  if (kind == HandleKind::kFixed) return SetError(kNoErr);
  // Our heap never compacts, so the block is already where it can stay: making it fixed is
  // a promise never to move it again, kept by SetHandleSize.
  MasterRecord &r = s.page->records[s.index];
  std::size_t size = LogicalSize(r);
  kind = HandleKind::kFixed;
  r.sizeAndLock = Pack(size, std::min(LockCount(r) + 1, kMaxLockCount));
  WriteSlack(r.data, size, size + kTrailerBytes);
  return SetError(kNoErr);
}

short Zone::NewPtr(char **out, long size, bool clear) {
  if (out) *out = nullptr;
  if (!out) return SetError(kNilHandleErr);
  if (size < 0 || static_cast<unsigned long>(size) > 0x7FFFFFF0ul) return SetError(kMemFullErr);
  std::size_t bytes = static_cast<std::size_t>(size) + kTrailerBytes;
  char *p = static_cast<char *>(source_.Allocate(bytes, clear));
  if (!p) return SetError(kMemFullErr);
  if (!ptrs_.Insert(reinterpret_cast<std::uintptr_t>(p), static_cast<std::size_t>(size))) {
    source_.Release(p);
    return SetError(kMemFullErr);
  }
  WriteSlack(p, static_cast<std::size_t>(size), bytes);
  *out = p;
  return SetError(kNoErr);
}

short Zone::DisposePtr(char *p) {
  if (!p) return SetError(kNilHandleErr);
  if (!ptrs_.Erase(reinterpret_cast<std::uintptr_t>(p))) return SetError(kMemWZErr);
  source_.Release(p);
  return SetError(kNoErr);
}

short Zone::GetPtrSize(char *p, long *size) {
  std::size_t *known = p ? ptrs_.Find(reinterpret_cast<std::uintptr_t>(p)) : nullptr;
  if (size) *size = known ? static_cast<long>(*known) : 0;
  return SetError(known ? kNoErr : (p ? kMemWZErr : kNilHandleErr));
}

short Zone::SetPtrSize(char *p, long size) {
  std::size_t *known = p ? ptrs_.Find(reinterpret_cast<std::uintptr_t>(p)) : nullptr;
  if (!known) return SetError(p ? kMemWZErr : kNilHandleErr);
  if (size < 0 || static_cast<unsigned long>(size) > 0x7FFFFFF0ul) return SetError(kMemFullErr);
  std::size_t bytes = static_cast<std::size_t>(size) + kTrailerBytes;
  if (!source_.Resize(p, *known + kTrailerBytes, bytes, false)) return SetError(kMemFullErr);
  *known = static_cast<std::size_t>(size);
  WriteSlack(p, static_cast<std::size_t>(size), bytes);
  return SetError(kNoErr);
}

}  // namespace tstools::memory
