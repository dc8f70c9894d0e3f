// The handle zone: master records, relocatable and fixed handles, Ptrs and the last-error
// register, over any BlockSource (a private Win32 heap in the DLL, malloc natively).
//
// A Handle is the address of a MasterRecord in one of the zone's record pages. Pages are
// aligned to their own size and registered in a table, so a caller's Handle or Ptr is
// recognised (or refused with memWZErr) from its address alone, without reading memory the
// zone does not own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "frame/export_guard.h"
#include "memory/address_map.h"

namespace tstools::memory {

using HandleRef = char **;

enum : short {
  kNoErr = 0,
  kParamErr = -50,
  kMemFullErr = -108,
  kNilHandleErr = -109,
  kMemWZErr = -111,
};

// Largest logical size of a handle: the size field is 24 bits and two more bytes follow the
// data in every block.
constexpr long kMaxHandleSize = 16777213;
// Bytes after the logical data that belong to the Memory Manager (the slack record).
constexpr std::size_t kTrailerBytes = 2;
constexpr unsigned kMaxLockCount = 255;

// The record a Handle points at. Hosts read the first field (*h); the second is the
// size-and-lock word: logical size in bits 0-23, lock count in bits 24-31.
struct MasterRecord {
  char *data;
  std::uint32_t sizeAndLock;
};
static_assert(offsetof(MasterRecord, data) == 0, "*h is the data");
static_assert(offsetof(MasterRecord, sizeAndLock) == sizeof(char *), "size word follows the pointer");
#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(MasterRecord) == 8 && offsetof(MasterRecord, sizeAndLock) == 4,
              "the 32-bit master record is two words");
#endif

inline std::uint32_t LogicalSize(const MasterRecord &r) { return r.sizeAndLock & 0xFFFFFFu; }
inline unsigned LockCount(const MasterRecord &r) { return r.sizeAndLock >> 24; }

// Where the zone gets its blocks. Every function reports failure by returning null and then
// leaves the block it was given as it was.
class BlockSource {
 public:
  virtual ~BlockSource() = default;
  virtual void *Allocate(std::size_t bytes, bool zeroed) = 0;
  // Resizes a block of oldBytes to newBytes, keeping the common prefix. With mayMove false
  // the block must stay where it is.
  virtual void *Resize(void *block, std::size_t oldBytes, std::size_t newBytes, bool mayMove) = 0;
  virtual void Release(void *block) = 0;
  // Returns free memory to the system; the result is informational.
  virtual long Compact() { return 0; }
};

// malloc-backed source for the native build. Growing a movable block always moves it, so
// a stale *h shows up under AddressSanitizer as a use after free.
class MallocBlockSource : public BlockSource {
 public:
  void *Allocate(std::size_t bytes, bool zeroed) override;
  void *Resize(void *block, std::size_t oldBytes, std::size_t newBytes, bool mayMove) override;
  void Release(void *block) override;
};

enum class HandleKind : std::uint8_t { kFree, kRelocatable, kFixed };

class Zone {
 public:
  explicit Zone(BlockSource &source) : source_(source) {}
  ~Zone() { ReleaseAll(); }
  Zone(const Zone &) = delete;
  Zone &operator=(const Zone &) = delete;

  // Disposes every handle and Ptr and gives the record pages back.
  void ReleaseAll();

  short LastError() const { return lastError_; }
  short SetError(short err) { return lastError_ = err; }

  // Handles. Each sets the last error to its result.
  short NewHandle(HandleRef *out, long size, bool clear);
  short DisposeHandle(HandleRef h);
  short GetHandleSize(HandleRef h, long *size);
  short SetHandleSize(HandleRef h, long size);
  short SetHandleLock(HandleRef h, long n);
  short GetHandleState(HandleRef h, signed char *state);
  short SetHandleState(HandleRef h, signed char state);
  short MoveHandleHigh(HandleRef h);

  // Ptrs: non-relocatable blocks with a slack record in their last two bytes.
  short NewPtr(char **out, long size, bool clear);
  short DisposePtr(char *p);
  short GetPtrSize(char *p, long *size);
  short SetPtrSize(char *p, long size);

  long Compact() { return source_.Compact(); }

  // The master record of h, or null when h is not a live handle of this zone.
  MasterRecord *Find(HandleRef h) {
    Slot s = Locate(h);
    return s.page ? &s.page->records[s.index] : nullptr;
  }
  HandleKind KindOf(HandleRef h) {
    Slot s = Locate(h);
    return s.page ? s.page->kind[s.index] : HandleKind::kFree;
  }
  bool OwnsPtr(const char *p) { return ptrs_.Find(reinterpret_cast<std::uintptr_t>(p)) != nullptr; }
  // Bytes of the live handle's or Ptr's data from p to its logical end; 0 when no block of
  // this zone holds p. A walk over every block: for callers handed a bare data pointer.
  std::size_t BytesFrom(const char *p);
  std::size_t LiveHandles() const { return liveHandles_; }
  std::size_t LivePtrs() const { return ptrs_.Count(); }

 private:
  static constexpr std::size_t kRecordsPerPage = 1024;
  struct RecordPage {
    MasterRecord records[kRecordsPerPage];
    void *blocks[kRecordsPerPage];  // our own copy of each data pointer
    HandleKind kind[kRecordsPerPage];
  };
  static constexpr std::size_t PageBytes() {
    std::size_t n = 1;
    while (n < sizeof(RecordPage)) n <<= 1;
    return n;
  }
  struct Slot {
    RecordPage *page = nullptr;
    std::size_t index = 0;
  };

  Slot Locate(HandleRef h) {
    std::uintptr_t a = reinterpret_cast<std::uintptr_t>(h);
    std::uintptr_t base = a & ~static_cast<std::uintptr_t>(PageBytes() - 1);
    if (base == 0) return {};
    if (base != lastPage_) {
      if (!pages_.Find(base)) return {};
      lastPage_ = base;
    }
    std::size_t offset = a - base;
    if (offset % sizeof(MasterRecord) != 0 || offset >= sizeof(MasterRecord) * kRecordsPerPage)
      return {};
    RecordPage *page = reinterpret_cast<RecordPage *>(base);
    std::size_t i = offset / sizeof(MasterRecord);
    // A record whose master pointer the caller overwrote is not trusted either.
    if (page->kind[i] == HandleKind::kFree || page->records[i].data != page->blocks[i]) return {};
    return {page, i};
  }

  bool AddPage();
  void WriteSlack(char *data, std::size_t logical, std::size_t blockBytes);

  BlockSource &source_;
  short lastError_ = kNoErr;
  AddressMap<char> pages_;
  std::uintptr_t lastPage_ = 0;
  std::vector<MasterRecord *> freeRecords_;
  std::size_t liveHandles_ = 0;
  AddressMap<std::size_t> ptrs_;  // data address -> logical size
};

// Block utilities. They set the last error only through the zone operations they use.
short HandToHand(Zone &zone, HandleRef *h);
short PtrToHand(Zone &zone, const void *src, HandleRef *out, long size);
short PtrToXHand(Zone &zone, const void *src, HandleRef h, long size);
short HandAndHand(Zone &zone, HandleRef a, HandleRef b);
short PtrAndHand(Zone &zone, const void *src, HandleRef h, long size);
void BlockMove(const void *src, void *dst, long count);

// Search and replace inside a handle (MemMunger): the result is a position in the handle or
// -1. Every combination of offset and lengths stays inside the block; a negative offset, a
// target past the end or a negative replacement length is refused with -1 and changes nothing.
long Munger(Zone &zone, HandleRef h, long offset, const void *ptr1, long len1, const void *ptr2,
            long len2);

// The Memory Manager's failure boundary: whatever escapes body becomes `failure`, with
// memFullErr in the last-error register. The operations above allocate (copies of sources
// that lie in the block being resized) before they change anything.
template <typename Failure, typename Body>
auto GuardedZoneCall(Zone &zone, Failure failure, Body &&body) noexcept -> decltype(body()) {
  return Guarded([&]() -> decltype(body()) { zone.SetError(kMemFullErr); return failure; }, body);
}

}  // namespace tstools::memory
