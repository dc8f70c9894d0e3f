// The Toolbox block utilities on top of the zone. A source that lies inside the destination
// handle is copied aside first: resizing the destination may move or free it.
#include <cstring>
#include <vector>

#include "memory/zone.h"

namespace tstools::memory {
namespace {

enum class Overlap { kNone, kInside, kStraddles };

// Where [src, src + n) lies relative to the logical data of r.
Overlap Classify(const void *src, long n, const MasterRecord &r) {
  auto s = reinterpret_cast<std::uintptr_t>(src);
  auto d = reinterpret_cast<std::uintptr_t>(r.data);
  std::uintptr_t blockEnd = d + LogicalSize(r) + kTrailerBytes;
  std::uintptr_t srcEnd = s + static_cast<std::uintptr_t>(n);
  if (srcEnd <= d || s >= blockEnd) return Overlap::kNone;
  if (s >= d && srcEnd <= d + LogicalSize(r)) return Overlap::kInside;
  return Overlap::kStraddles;  // would read the trailer or memory past the block
}

// Copies src aside when it lies in the block about to be resized. False when the range runs
// out of the block's data (the caller refuses it).
bool Stabilise(const void *&src, long n, const MasterRecord &r, std::vector<char> &copy) {
  switch (Classify(src, n, r)) {
    case Overlap::kNone:
      return true;
    case Overlap::kStraddles:
      return false;
    case Overlap::kInside:
      break;
  }
  const char *p = static_cast<const char *>(src);
  copy.assign(p, p + n);
  src = copy.data();
  return true;
}

}  // namespace

short HandToHand(Zone &zone, HandleRef *h) {
  if (!h || !*h) return kNilHandleErr;
  long size = 0;
  short err = zone.GetHandleSize(*h, &size);
  if (err != kNoErr) return err;
  HandleRef source = *h;
  HandleRef copy = nullptr;
  err = zone.NewHandle(&copy, size, false);
  *h = copy;
  if (err == kNoErr && size > 0) std::memcpy(*copy, *source, static_cast<std::size_t>(size));
  return err;
}

short PtrToHand(Zone &zone, const void *src, HandleRef *out, long size) {
  if (!out) return kNilHandleErr;
  *out = nullptr;
  if (!src && size > 0) return kNilHandleErr;
  HandleRef h = nullptr;
  short err = zone.NewHandle(&h, size, false);
  if (err != kNoErr) return err;
  if (size > 0) std::memcpy(*h, src, static_cast<std::size_t>(size));
  *out = h;
  return kNoErr;
}

short PtrToXHand(Zone &zone, const void *src, HandleRef h, long size) {
  if (!h || !*h) return kMemWZErr;
  MasterRecord *r = zone.Find(h);
  if (!r) return zone.SetError(kMemWZErr);
  if (size < 0) return zone.SetError(kMemFullErr);
  if (!src && size > 0) return kNilHandleErr;
  std::vector<char> aside;
  if (size > 0 && !Stabilise(src, size, *r, aside)) return kParamErr;
  short err = zone.SetHandleSize(h, size);
  if (err != kNoErr) return err;
  if (size > 0) std::memcpy(*h, src, static_cast<std::size_t>(size));
  return kNoErr;
}

short HandAndHand(Zone &zone, HandleRef a, HandleRef b) {
  if (!a || !*a || !b || !*b) return kNilHandleErr;
  long sizeA = 0, sizeB = 0;
  short err = zone.GetHandleSize(a, &sizeA);
  if (err == kNoErr) err = zone.GetHandleSize(b, &sizeB);
  if (err != kNoErr) return err;
  if (sizeA == 0) return kNoErr;
  if (sizeA > kMaxHandleSize - sizeB) return zone.SetError(kMemFullErr);
  err = zone.SetHandleSize(b, sizeA + sizeB);
  if (err != kNoErr) return err;
  // Read *a only now: when a is b the block has just moved, and its first sizeA bytes are
  // still the original data.
  std::memcpy(*b + sizeB, *a, static_cast<std::size_t>(sizeA));
  return kNoErr;
}

short PtrAndHand(Zone &zone, const void *src, HandleRef h, long size) {
  if (!h || !*h) return kNilHandleErr;
  long old = 0;
  short err = zone.GetHandleSize(h, &old);
  if (err != kNoErr) return err;
  if (size < 0) return kParamErr;
  if (size == 0) return kNoErr;
  if (!src) return kNilHandleErr;
  if (size > kMaxHandleSize - old) return zone.SetError(kMemFullErr);
  std::vector<char> aside;
  if (!Stabilise(src, size, *zone.Find(h), aside)) return kParamErr;
  err = zone.SetHandleSize(h, old + size);
  if (err != kNoErr) return err;
  std::memcpy(*h + old, src, static_cast<std::size_t>(size));
  return kNoErr;
}

void BlockMove(const void *src, void *dst, long count) {
  if (count <= 0 || !src || !dst) return;
  std::memmove(dst, src, static_cast<std::size_t>(count));
}

}  // namespace tstools::memory
