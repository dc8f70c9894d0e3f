// MemMunger. The cases are tried in a fixed order (replace the tail, insert, delete, find,
// replace); each one clamps its target to the data actually there.
#include <algorithm>
#include <cstring>
#include <vector>

#include "memory/zone.h"

namespace tstools::memory {
namespace {

// A caller's pattern or replacement may point into the handle itself. It must then lie wholly
// inside the data, and a replacement is copied aside before the block is resized or shifted.
bool Guard(const void *&p, long n, HandleRef h, long size, std::vector<char> &aside) {
  if (!p || n <= 0) return true;
  auto s = reinterpret_cast<std::uintptr_t>(p);
  auto d = reinterpret_cast<std::uintptr_t>(*h);
  std::uintptr_t end = d + static_cast<std::uintptr_t>(size) + kTrailerBytes;
  if (s + static_cast<std::uintptr_t>(n) <= d || s >= end) return true;
  if (s < d || s + static_cast<std::uintptr_t>(n) > d + static_cast<std::uintptr_t>(size))
    return false;
  aside.assign(static_cast<const char *>(p), static_cast<const char *>(p) + n);
  p = aside.data();
  return true;
}

// First position at or after from where the n bytes of pattern lie wholly inside the data.
long Search(const char *data, long size, long from, const char *pattern, long n) {
  if (n <= 0 || from > size || n > size - from) return -1;
  const char *end = data + size;
  const char *hit = std::search(data + from, end, pattern, pattern + n);
  return hit == end ? -1 : static_cast<long>(hit - data);
}

}  // namespace

long Munger(Zone &zone, HandleRef h, long offset, const void *ptr1, long len1, const void *ptr2,
            long len2) {
  long size = 0;
  if (zone.GetHandleSize(h, &size) != kNoErr || offset < 0) return -1;
  std::vector<char> pattern, replacement;
  if (!Guard(ptr1, len1, h, size, pattern) || !Guard(ptr2, len2, h, size, replacement)) return -1;
  const char *with = static_cast<const char *>(ptr2);

  // Replace the tail: everything from offset on becomes ptr2.
  if (len1 < 0 && !ptr1 && ptr2 && len2 >= 1) {
    if (offset > kMaxHandleSize - len2) return -1;
    if (zone.SetHandleSize(h, offset + len2) != kNoErr) return -1;
    if (offset > size) std::memset(*h + size, 0, static_cast<std::size_t>(offset - size));
    std::memcpy(*h + offset, with, static_cast<std::size_t>(len2));
    return offset + len2;
  }
  // Insert at offset; an offset past the end pads with zeros.
  if (len1 == 0 && ptr2 && len2 >= 1) {
    long base = std::max(size, offset);
    if (base > kMaxHandleSize - len2) return -1;
    if (zone.SetHandleSize(h, base + len2) != kNoErr) return -1;
    if (offset > size)
      std::memset(*h + size, 0, static_cast<std::size_t>(offset - size));
    else
      std::memmove(*h + offset + len2, *h + offset, static_cast<std::size_t>(size - offset));
    std::memcpy(*h + offset, with, static_cast<std::size_t>(len2));
    return offset + len2;
  }
  if (size < 1 || offset > size) return -1;

  // The target: a match of ptr1 at or after offset, or (ptr1 null) len1 bytes at offset,
  // a negative len1 meaning up to the end.
  long pos = -1, target = 0;
  if (ptr1) {
    pos = Search(*h, size, offset, static_cast<const char *>(ptr1), len1);
    target = len1;
  } else {
    pos = offset;
    target = len1 < 0 ? size - offset : std::min(len1, size - offset);
  }
  if (!ptr2) return pos;
  if (pos < 0 || len2 < 0) return -1;

  long delta = len2 - target;
  if (delta > 0) {
    if (size > kMaxHandleSize - delta) return -1;
    if (zone.SetHandleSize(h, size + delta) != kNoErr) return -1;
  }
  if (delta != 0)
    std::memmove(*h + pos + len2, *h + pos + target, static_cast<std::size_t>(size - pos - target));
  if (len2 > 0) std::memcpy(*h + pos, with, static_cast<std::size_t>(len2));
  if (delta < 0) zone.SetHandleSize(h, size + delta);  // shrinking never fails
  return pos + len2;
}

}  // namespace tstools::memory
